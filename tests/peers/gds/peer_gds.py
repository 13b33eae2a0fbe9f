"""Peer checks of the GDSII converters against klayout and gdspy.

usage: peer_gds.py CASE WORK_FOLDER (--programs SUITE_FOLDER | --batch GDS_BATCH)

CASE export:  the TLC fixture of export_fixture.py goes through the exporter; klayout compares the
              result with the same layout built by gdspy.
CASE gdspy, klayout: a library written by that tool goes through the importer into TLC and back
              through the exporter; klayout compares it with the library as written, and the TLC
              files are checked for what a text of two lines becomes.
CASE odd:     the constructs of odd_library.py (magnified and turned instances, coordinates beyond
              the TLC range, paths of width 0), each imported and exported back.
CASE real:    the GDSII files other tools wrote (REAL_GDS_FOLDER, given with --real), the same way.
              For both, klayout compares the top cells flattened on the layers TLC holds: they are
              equal, or every layer that differs is one that the import report names a cause for,
              and a run that changed geometry ends "Some Error Occurred".
With --programs the real wstrmexp and wstrmimp run headless from a script; with --batch the jobs run
through the window-less gds_batch runner. Exit status 0 when every check passes.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from scripted_program import field_path, find_any_case as find, quoted, run_step as run  # noqa: E402,F401


def klayout(script, **defs):
    cmd = ["klayout", "-b", "-r", os.path.join(HERE, script)]
    for k, v in defs.items():
        cmd += ["-rd", "%s=%s" % (k, v)]
    return run(cmd).returncode


class Converter:
    def __init__(self, args, work):
        self.args, self.work = args, work

    def run_program(self, name, slots, checks, go, answers=()):
        """Sets the SETUP fields (and the TXT fields of the keys "tN") of a program, runs Go and
        checks the completion box."""
        actions, text = [], []
        for slot, value in sorted(slots.items(), key=str):
            if isinstance(slot, str):
                index = int(slot[1:])
                if index % 6 >= 3:  # the Y/N fields of a row are check boxes
                    text.append("check %d %d" % (200 + index, 1 if value.upper().startswith("Y") else 0))
                else:
                    text.append("set %d %s" % (200 + index, quoted(value)))
                continue
            if slot in checks:
                actions.append("check %d %d" % (100 + slot, 1 if value.upper().startswith("Y") else 0))
            else:
                actions.append("set %d %s" % (100 + slot, quoted(field_path(value, self.work))))
        script = os.path.join(self.work, name + ".script")
        log = os.path.join(self.work, name + ".log")
        with open(script, "w") as f:
            f.write("answer SETUP %s press ok\n" % " ".join(actions))
            f.write("command 12\nwait\n")
            if text:
                f.write("answer TXT %s press ok\ncommand 13\nwait\n" % " ".join(text))
            f.write("box ok\n" * 40)
            f.write("".join(a + "\n" for a in answers))
            f.write("command %d\nwait\nquit\n" % go)
        env = dict(os.environ, MERO_SCRIPT=script, MERO_LOG=log, QT_QPA_PLATFORM="offscreen")
        status = run([os.path.join(self.args.programs, name)], cwd=self.work, env=env).returncode
        text = open(log).read() if os.path.exists(log) else ""
        if status != 0 or not ('"Completed ...' in text or '"Some Error Occurred ...' in text):
            print(text)
            sys.exit("%s did not complete (status %d)" % (name, status))

    def export(self, main_tlc, out_gds, slots=None):
        slots = dict(slots or {})
        slots.update({0: main_tlc, 1: out_gds})
        if self.args.programs:
            self.run_program("wstrmexp", slots, {10, 11, 12, 13, 14}, 14)
        else:
            self.batch("export", main_tlc, out_gds, slots)

    def import_(self, gds, folder, slots=None, answers=()):
        """`answers`: script lines for the dialogs the import asks (the window-less runner
        renames by itself)."""
        slots = dict(slots or {})
        slots.update({0: gds, 1: folder})
        if self.args.programs:
            self.run_program("wstrmimp", slots, set(range(6, 14)), 15, answers)
        else:
            self.batch("import", gds, folder, slots)

    def batch(self, mode, source, target, slots):
        extra = [("%s=%s" if isinstance(k, str) else "%d=%s") % (k, v)
                 for k, v in sorted(slots.items(), key=str) if isinstance(k, str) or k > 1]
        if run([self.args.batch, mode, source, target] + extra, cwd=self.work).returncode != 0:
            sys.exit("gds_batch %s did not complete" % mode)


def tlc_texts(path):
    """The "=T" records of a TLC file as (layer, size, orientation, x, y, text)."""
    lines = open(path, newline="").read().replace("\r\n", "\n").split("\n")
    out = []
    for i, line in enumerate(lines):
        if line == "=T":
            layer, size, _, orient = (int(v) for v in lines[i + 1].split()[:4])
            x, y = (int(v) for v in lines[i + 2].split()[:2])
            out.append((layer, size, orient, x, y, lines[i + 3]))
    return out


def check_export(conv, work):
    tlc = os.path.join(work, "tlc")
    if run([PYTHON, os.path.join(HERE, "export_fixture.py"), tlc,
            os.path.join(work, "expected.gds")]).returncode != 0:
        sys.exit("fixture not made")
    conv.export(os.path.join(tlc, "TOP.TLC"), os.path.join(work, "out.gds"))
    if klayout("compare.py", a=os.path.join(work, "expected.gds"), b=find(work, "out.gds"),
               top="TOP") != 0:
        sys.exit("the exported layout differs from gdspy's")


def check_round_trip(conv, work, source):
    gds = os.path.join(work, "in.gds")
    if source == "gdspy":
        made = run([PYTHON, os.path.join(HERE, "gdspy_library.py"), gds]).returncode == 0
        top, two_lines = "TOPCELL", ("LINE1", "LINE2", 8, 50000, -12000)
    else:
        made = klayout("klayout_library.py", out=gds) == 0
        top, two_lines = "KTOP", ("UP", "DOWN", 8, 50000, -12000)
    if not made:
        sys.exit("%s library not made" % source)
    tlc = os.path.join(work, "tlc")
    os.makedirs(tlc, exist_ok=True)
    # 1000 TLC units per um on a 1 nm grid keeps every coordinate; LF splits the texts' lines.
    conv.import_(gds, tlc, {3: "1000", 13: "N"})
    first, second, layer, x, y = two_lines
    texts = [t for t in tlc_texts(find(tlc, top + ".TLC")) if t[0] == layer]
    if len(texts) != 2 or texts[0][5] != first or texts[1][5] != second or \
            texts[0][3:5] != (x, y) or texts[1][3] != x or \
            texts[1][4] != y - texts[0][1] * 16 // 15:
        sys.exit("two-line text not split as expected: %s" % texts)
    conv.export(find(tlc, top + ".TLC"), os.path.join(work, "back.gds"))
    # Round path ends (layer 7) come back square: the difference may only lie at the path ends.
    if klayout("compare.py", a=gds, b=find(work, "back.gds"), top=top, loose_layers="7",
               split_lines="1") != 0:
        sys.exit("the layout that came back differs from %s's" % source)


# What the import report must say for a layout that comes back changed: the layers that may differ
# and the report lines (a part of each) that name the cause. A file not listed must come back equal.
ODD = {
    "magnified": dict(told=["Non-orthogonal/scaled instance of LEAF flattened into TOP"]),
    "turned": dict(told=["Non-orthogonal/scaled instance of PIECE flattened into TOP",
                         "Non-orthogonal/scaled instance of MIDDLE flattened into TOP"]),
    "far": dict(layers={1}, changed=True,
                told=["Instance of PART in TOP beyond the TLC Range ... Held at the Limit",
                      "Boundary in TOP beyond the TLC Range ... Held at the Limit"]),
    "zero_width": dict(layers={2}, changed=True,
                       told=["Path of Width 0 not Converted at X=0 Y=5 L=2",
                             "Path of Width 0 not Converted at X=0 Y=20 L=2"]),
}
REAL = {
    # "B" is no cell name: the programs ask for another.
    "algo__angle_check_l1": dict(top="TOP", told=["instance of B flattened into C"],
                                 answers=['answer NEWNAME set 601 "BCELL" press ok']),
    "algo__deep_region_au14a": dict(top="RINGO"),
    "algo__flat_region_au14a": dict(top="RINGO"),
    "algo__flat_region_au40": dict(top="TOP"),
    "algo__issue-1126": dict(top="C6", scale=2000),
    "cif__issue_568_au": dict(top="test_top_cell", told=["instance of test_cell2 flattened"]),
    "drc__drcSimpleTests_55": dict(top="sff1_x4"),
    "drc__drcSimpleTests_56": dict(top="TOP", told=["instance of INSIDE flattened into TOP"]),
    # More vertices than a TLC record holds: the cuts round where they cross edges.
    "dxf__issue_1422a_au": dict(top="TOP", layers={1}, told=["Poly of 851 Vertices Cut into 2 Polys"]),
    "dxf__issue_1422c_au": dict(top="TOP", layers={1}, changed=True,
                                told=["Path of Width 0 not Converted"]),
    "dxf__t32a_au": dict(top="TOP", layers={2}, changed=True, told=["Path of Width 0 not Converted"]),
    "gds__alm_au": dict(top="TOP", layers={1}, told=["GDS Data Type 1020 above 63 is not Converted",
                                                     "GDS Data Type 1021 above 63 is not Converted"]),
    "lvs__SP6TArray_2X4": dict(top="SP6TArray_2X4"),
    "lvs__bbdevices1": dict(top="testall"),
}


def check_told(conv, work, name, gds, expect):
    """One layout imported and exported back, compared as ODD and REAL describe."""
    folder = os.path.join(work, name)
    tlc = os.path.join(folder, "tlc")
    os.makedirs(tlc)
    shutil.copy(gds, os.path.join(folder, "in.gds"))
    scale = str(expect.get("scale", 1000))
    # The grid of the file kept; texts at their GDSII point (no move for the justification).
    slots = {3: scale, 13: "N", 15: os.path.join(folder, "import.rpt")}
    slots.update({"t%d" % (6 * row + 5): "N" for row in range(4)})
    conv.import_(os.path.join(folder, "in.gds"), tlc, slots, expect.get("answers", ()))
    report = open(find(folder, "import.rpt"), errors="replace").read()
    top = expect.get("top", "TOP")
    conv.export(find(tlc, top + ".TLC"), os.path.join(folder, "back.gds"),
                {5: scale, 16: os.path.join(folder, "export.rpt")})
    compared = run([
        "klayout", "-b", "-r", os.path.join(HERE, "compare.py"), "-rd", "a=" + gds,
        "-rd", "b=" + find(folder, "back.gds"), "-rd", "top=" + top, "-rd", "hierarchy=0",
        "-rd", "layers=1-63"], stdout=subprocess.PIPE, text=True)
    print(compared.stdout)
    differ = {int(m) for m in re.findall(r"^(?:texts on )?layer (\d+)", compared.stdout, re.M)}
    problems = []
    if compared.returncode != 0 and not differ:
        problems.append("compare failed")
    if differ - expect.get("layers", set()):
        problems.append("layers %s differ with no cause told" % sorted(differ - expect.get("layers", set())))
    for line in expect.get("told", []):
        if line not in report:
            problems.append("report lacks %r" % line)
    ending = "Some Error Occurred ..." if expect.get("changed") else "Completed ..."
    if ending not in report:
        problems.append("the run does not end %r" % ending)
    return ["%s: %s" % (name, p) for p in problems]


def check_odd(conv, work):
    made = os.path.join(work, "made")
    if run([PYTHON, os.path.join(HERE, "odd_library.py"), made]).returncode != 0:
        sys.exit("constructs not made")
    problems = []
    for name, expect in ODD.items():
        problems += check_told(conv, work, name, os.path.join(made, name + ".gds"), expect)
    return problems


def check_real(conv, work, folder):
    problems = []
    for name, expect in REAL.items():
        problems += check_told(conv, work, name, os.path.join(folder, name + ".gds"), expect)
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["export", "gdspy", "klayout", "odd", "real"])
    parser.add_argument("work")
    parser.add_argument("--programs")
    parser.add_argument("--batch")
    parser.add_argument("--real")
    args = parser.parse_args()
    if not (args.programs or args.batch):
        parser.error("--programs or --batch")
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    conv = Converter(args, work)
    if args.case in ("odd", "real"):
        problems = check_odd(conv, work) if args.case == "odd" else check_real(conv, work, args.real)
        for p in problems:
            print(p)
        if problems:
            sys.exit("%d differences not told" % len(problems))
    elif args.case == "export":
        check_export(conv, work)
    else:
        check_round_trip(conv, work, args.case)
    print("ok")


if __name__ == "__main__":
    main()
