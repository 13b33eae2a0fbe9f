#!/usr/bin/python3
"""Peer checks of the design-rule checker.

  peer_drc.py raster WORK --tool T --folder-tool F    layers rasterised by the checker's rasteriser
                                                      against klayout's flattening of the same layout
  peer_drc.py pcx WORK --tool T                       a map file of every colour, read by PIL
  peer_drc.py program WORK --tool T --folder-tool F --programs MERO6
                                                      a map the checker copies during a run, read by PIL,
                                                      against the rasteriser's map of the same area

The layout is three levels deep with every orientation of its leaf cell; all its points lie on a grid
of 10 database units and its edges are straight or at 45 degrees, and the pixels are 10 units wide.
A pixel's sample point is then never on an edge, so the two rasterisations must agree exactly.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "resources", "demo"))
import make_tlc  # noqa: E402  (the demo's TLC cell writer)

SCALE = 10  # database units a micrometre
X0, Y0, PIXEL = -500, -600, 10
LAYERS = (1, 2, 3)


def layout():
    leaf = make_tlc.Cell("LEAF", 1)
    leaf.box(1, 0, 0, 60, 20)
    leaf.box(1, 0, 20, 20, 80)
    leaf.polygon(2, [(0, 100), (60, 100), (60, 160), (0, 100)])  # a 45-degree side
    leaf.polygon(2, [(100, 100), (140, 140), (100, 180), (60, 140), (100, 100)])  # a diamond
    leaf.path(3, 20, [(0, 200), (80, 200), (80, 260)])  # flush ends, one square corner
    leaf.path(3, -20, [(120, 0), (120, 80)])  # ends extended by half the width
    mid = make_tlc.Cell("MID", 2)
    for code in range(8):
        mid.ref("LEAF", 300 * code, 0, code)
    mid.box(1, -100, -400, 2400, -380)
    top = make_tlc.Cell("TOP", 3)
    top.ref("MID", 0, 0, 0)
    top.ref("MID", 3000, 1500, 5)
    top.ref("MID", 600, 3500, 2)
    top.polygon(2, [(-400, 2000), (-100, 2000), (-100, 2300), (-400, 2000)])
    return [leaf, mid, top]


def describe(cells):
    out = []
    for c in cells:
        paths = [[layer, width, points] for kind, layer, width, points in c.paths if kind == "P"]
        out.append({"name": c.name, "boxes": c.boxes, "paths": paths,
                    "refs": [[name, code, x, y] for name, code, x, y in c.refs]})
    return out


def run(cmd, **kw):
    r = subprocess.run(cmd, capture_output=True, text=True, timeout=300, **kw)
    if r.returncode != 0:
        sys.exit("failed (%d): %s\n%s%s" % (r.returncode, " ".join(cmd), r.stdout, r.stderr))
    return r


def drawing(work, folder_tool):
    """The layout as TLC files, read into a drawing folder by the editor's TLCIN."""
    tlc = os.path.join(work, "tlc")
    folder = os.path.join(work, "drawing")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(tlc)
    cells = layout()
    make_tlc.HERE = tlc
    make_tlc.SCALE = SCALE
    for c in cells:
        c.write()
    make_tlc.write_cells_ref(cells)
    with open(os.path.join(tlc, "FORM.DBD"), "w", newline="\r\n") as f:
        f.write("pool=\nlayer=met1 1\nlayer=poly 2\nlayer=met2 3\n")
    run([folder_tool, tlc, folder], env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
    with open(os.path.join(folder, "CONSTS6.DBD"), "w", newline="\r\n") as f:
        f.write("6.05\n%d\num\n" % SCALE)
    return cells, folder


def raster(tool, folder, layer, out):
    run([tool, "raster", folder, "TOP", str(layer), str(X0), str(Y0), str(PIXEL), out])
    with open(out) as f:
        rows = f.read().split("\n")[2:642]
    # PBM rows go from the top; row r of the map is line 639 - r.
    return {(i, 639 - k) for k, row in enumerate(rows) for i, ch in enumerate(row) if ch == "1"}


def check_raster(args):
    cells, folder = drawing(args.work, args.folder_tool)
    with open(os.path.join(args.work, "layout.json"), "w") as f:
        json.dump(describe(cells), f)
    with open(os.path.join(args.work, "frame.json"), "w") as f:
        json.dump({"cell": "TOP", "x0": X0, "y0": Y0, "pixel": PIXEL, "layers": LAYERS}, f)
    out = os.path.join(args.work, "klayout.txt")
    run(["klayout", "-b", "-r", os.path.join(HERE, "klayout_raster.py"),
         "-rd", "layout=" + os.path.join(args.work, "layout.json"),
         "-rd", "frame=" + os.path.join(args.work, "frame.json"), "-rd", "out=" + out])
    theirs = {}
    with open(out) as f:
        for line in f:
            words = line.split()
            theirs[int(words[0])] = {tuple(int(v) for v in w.split(",")) for w in words[1:]}
    failed = False
    for layer in LAYERS:
        ours = raster(args.tool, folder, layer, os.path.join(args.work, "layer%d.pbm" % layer))
        only_ours, only_theirs = sorted(ours - theirs[layer]), sorted(theirs[layer] - ours)
        print("layer %d: %d pixels, %d only ours, %d only klayout's" % (layer, len(ours), len(only_ours),
                                                                       len(only_theirs)))
        if not ours or only_ours or only_theirs:
            print("  ours only:", only_ours[:20], "\n  klayout only:", only_theirs[:20])
            failed = True
    return 1 if failed else 0


def check_pcx(args):
    from PIL import Image
    os.makedirs(args.work, exist_ok=True)
    path = os.path.join(args.work, "PATTERN.PCX")
    run([args.tool, "pcx", path])
    im = Image.open(path)
    if im.format != "PCX" or im.mode != "P" or im.size != (544, 336):
        print("read as", im.format, im.mode, im.size)
        return 1
    palette = im.getpalette()[:48]
    want = [0, 0, 0, 0, 0, 191, 0, 191, 0, 0, 191, 191, 191, 0, 0, 191, 0, 191, 191, 191, 0, 191, 191, 191,
            191, 191, 191, 0, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 255, 255, 0, 255, 255, 255]
    if palette != want:
        print("palette", palette)
        return 1
    rgb = im.convert("RGB")
    bad = 0
    for y in range(336):
        for x in range(544):
            index = 15 if x == y else x * 16 // 544
            # Colours 7 and 8 are the same grey: the planes keep 7.
            expected = tuple(want[3 * index:3 * index + 3])
            if rgb.getpixel((x, y)) != expected:
                bad += 1
    print("pattern: %d pixels differ" % bad)
    return 1 if bad else 0


def check_program(args):
    from PIL import Image
    cells, folder = drawing(args.work, args.folder_tool)
    with open(os.path.join(folder, "MAP.DRC"), "w", newline="\r\n") as f:
        f.write("TITLE=Map\nRESOLUTION=1\nOPERATORS={\nMAP,1\nDSP,1,W,1\nSCPY\n}\n")
    # One area whose map starts at (X0, Y0): the scan window starts a guard band (40 units) further in.
    script = ('answer SETUP set 100 "top" set 101 "map" set 109 "-46" set 110 "-56" set 111 "-40" '
              'set 112 "-50" press ok\ncommand 13\nbox ok\ncommand 14\n')
    with open(os.path.join(folder, "run.script"), "w") as f:
        f.write(script)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", MERO_SCRIPT="run.script", MERO_LOG="run.log",
               XDG_RUNTIME_DIR=folder)
    run([os.path.join(args.programs, "wmerodrc")], cwd=folder, env=env)
    with open(os.path.join(folder, "run.log")) as f:
        log = f.read()
    if 'box "MERODRC" "Completed ... 0 Total Flags"' not in log:
        print(log)
        return 1
    im = Image.open(os.path.join(folder, "TOP_1_1.PCX"))
    if im.mode != "P" or im.size != (544, 336):
        print("read as", im.mode, im.size)
        return 1
    rgb = im.convert("RGB")
    ours = raster(args.tool, folder, 1, os.path.join(args.work, "map.pbm"))
    bad = shown = 0
    for j in range(1, 320):
        for i in range(1, 511):
            x, y = 16 + i, 328 - j
            if x in (18, 526) or y in (10, 326):
                continue  # the guard window's frame
            lit = rgb.getpixel((x, y)) == (255, 255, 255)
            shown += lit
            bad += lit != ((2 * i, 2 * j) in ours)
    print("map copy: %d pixels shown, %d differ from the map" % (shown, bad))
    return 1 if bad or not shown else 0


def main():
    p = argparse.ArgumentParser()
    p.add_argument("case", choices=["raster", "pcx", "program"])
    p.add_argument("work")
    p.add_argument("--tool", required=True)
    p.add_argument("--folder-tool")
    p.add_argument("--programs")
    args = p.parse_args()
    args.work = os.path.abspath(args.work)
    return {"raster": check_raster, "pcx": check_pcx, "program": check_program}[args.case](args)


if __name__ == "__main__":
    sys.exit(main())
