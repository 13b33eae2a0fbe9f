"""A small layout held as data: written as a TLC set for the exporter, and built on its own with
gdspy as the GDSII the exporter should give. Three levels, all eight orientation codes, every TLC
record kind and layers named in LAYERS.REF.

usage: export_fixture.py TLC_FOLDER EXPECTED_GDS
"""
import os
import sys

import gdspy

SCALE = 1000  # database units per um, written in every header

LAYER_NAMES = {1: "NWEL", 2: "ACTV", 3: "POLY", 4: "MET1", 5: "CONT", 63: "GLAS", 64: "OUTL"}

# cell -> rank and records. Boxes (layer, l, b, r, t); paths (layer, width, [(x, y)...]) with
# width 0 a polygon and a negative width extended ends; texts (layer, size, orientation, x, y, text);
# refs (cell, orientation, x, y).
CELLS = {
    "LEAF": dict(rank=1,
                 boxes=[(1, 0, 0, 4000, 2000), (63, -500, -500, 0, 0)],
                 paths=[(2, 0, [(0, 3000), (3000, 3000), (3000, 4000), (1000, 4000), (1000, 6000),
                                (0, 6000), (0, 3000)]),
                        (3, 200, [(5000, 0), (5000, 3000), (7000, 3000)]),
                        (4, -300, [(8000, 0), (8000, 5000)])],
                 texts=[(5, 1000, 0, 500, 500, "LEAF")],
                 refs=[]),
    "MID": dict(rank=2,
                boxes=[(64, -1000, -1000, 60000, 30000)],
                paths=[(2, 0, [(100, 100), (900, 300), (500, 900), (100, 100)])],
                texts=[(5, 2000, code, 2000 + 7000 * code, 20000, "O%d" % code) for code in range(8)],
                refs=[("LEAF", code, 20000 * (code % 4), 15000 * (code // 4)) for code in range(8)]),
    "TOP": dict(rank=3,
                boxes=[(1, -5000, -5000, -1000, 200000)],
                paths=[(3, -1000, [(0, -3000), (150000, -3000)]),
                       (4, 400, [(0, -8000), (40000, -8000), (40000, 800), (41000, 800)])],
                texts=[(5, 8000, 3, 0, -12000, "TOP LEVEL"), (5, 4000, 6, 5000, -15000, "=B")],
                refs=[("MID", 0, 0, 0), ("MID", 5, 200000, 10000), ("MID", 2, 0, 150000),
                      ("LEAF", 7, -30000, -30000)]),
}


def write_tlc(folder):
    os.makedirs(folder, exist_ok=True)
    for name, cell in CELLS.items():
        vertices = sum(len(p[2]) for p in cell["paths"]) + sum(1 + (len(t[5]) + 7) // 8
                                                               for t in cell["texts"])
        lines = ["=H", name, "6.0", "6.0", "%g" % SCALE, "um", "01/02/24", "03:04:05",
                 "%d 0 0 1 0" % cell["rank"],
                 "%d %d %d %d" % (len(cell["boxes"]), len(cell["paths"]) + len(cell["texts"]),
                                  vertices, len(cell["refs"]))]
        for ref in cell["refs"]:
            lines += ["=C", ref[0], "%d %d %d 0" % ref[1:]]
        for box in cell["boxes"]:
            lines += ["=B", "%d %d %d %d %d" % box]
        for layer, width, points in cell["paths"]:
            lines += ["=P", "%d %d %d" % (layer, width, len(points))]
            for i in range(0, len(points), 5):
                lines.append("".join("%d %d " % p for p in points[i:i + 5]))
        for layer, size, orient, x, y, text in cell["texts"]:
            shown = " " + text if text in ("=H", "=C", "=B", "=P", "=T") else text
            lines += ["=T", "%d %d %d %d" % (layer, size, 1 + (len(text) + 7) // 8, orient),
                      "%d %d" % (x, y), shown]
        with open(os.path.join(folder, name + ".TLC"), "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode())
    with open(os.path.join(folder, "LAYERS.REF"), "wb") as f:
        f.write("".join("LAYER=%s %d\r\n" % (s, n) for n, s in LAYER_NAMES.items()).encode())


def gds_layer(layer, layer64_to=0):
    return layer64_to if layer == 64 else layer


def build_gds(path):
    lib = gdspy.GdsLibrary(unit=1e-6, precision=1e-9)
    cells = {name: gdspy.Cell(name, exclude_from_current=True) for name in CELLS}
    for name, cell in CELLS.items():
        c = cells[name]
        for layer, l, b, r, t in cell["boxes"]:
            c.add(gdspy.Rectangle((l / SCALE, b / SCALE), (r / SCALE, t / SCALE),
                                  layer=gds_layer(layer)))
        for layer, width, points in cell["paths"]:
            pts = [(x / SCALE, y / SCALE) for x, y in points]
            if width == 0:
                c.add(gdspy.Polygon(pts[:-1], layer=gds_layer(layer)))
            else:
                c.add(gdspy.FlexPath(pts, abs(width) / SCALE, layer=gds_layer(layer),
                                     ends="extended" if width < 0 else "flush", gdsii_path=True))
        for layer, size, orient, x, y, text in cell["texts"]:
            shown = " " + text if text in ("=H", "=C", "=B", "=P", "=T") else text
            c.add(gdspy.Label(shown, (x / SCALE, y / SCALE), rotation=90 * (orient % 4),
                              x_reflection=orient >= 4, layer=gds_layer(layer)))
        for ref, orient, x, y in cell["refs"]:
            c.add(gdspy.CellReference(cells[ref], (x / SCALE, y / SCALE), rotation=90 * (orient % 4),
                                      x_reflection=orient >= 4))
        lib.add(c)
    lib.write_gds(path)


if __name__ == "__main__":
    write_tlc(sys.argv[1])
    build_gds(sys.argv[2])
