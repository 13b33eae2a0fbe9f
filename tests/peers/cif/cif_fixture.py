"""A small layout held as data: written as a TLC set and a CIF layer file for the exporter, and
built on its own with gdspy as the layout the exported CIF should describe. Three levels, all eight
orientation codes, boxes (one whose centre falls between CIF units), polygons, flush and extended
paths, texts, and a layer the layer file leaves out.

CIF texts carry no orientation, and a reader puts them on the layer of the symbol's last layer
command: the texts here are upright and stand on the layer written last, which every cell with
texts uses.

usage: cif_fixture.py TLC_FOLDER LAYER_FILE EXPECTED_GDS
"""
import os
import sys

import gdspy

SCALE = 100  # database units per um: one unit is one CIF unit of 0.01 um

# TLC layer -> CIF name, in the layer file's order; layer 64 is left out.
CIF_LAYERS = [(1, "CM1"), (2, "CPG"), (3, "CAA"), (4, "CMF"), (6, "CWN"), (5, "CNT")]

# Boxes (layer, l, b, r, t); paths (layer, width, [(x, y)...]) with width 0 a polygon and a negative
# width extended ends; texts (layer, size, x, y, text); refs (cell, orientation, x, y).
CELLS = {
    "LEAF": dict(rank=1,
                 boxes=[(1, 0, 0, 400, 200), (1, 1000, 0, 1003, 5), (64, -50, -50, 0, 0), (5, 900, 0, 950, 50)],
                 paths=[(2, 0, [(0, 300), (300, 300), (300, 400), (100, 400), (100, 600), (0, 600), (0, 300)]),
                        (3, 20, [(500, 0), (500, 300), (700, 300)]),
                        (4, -30, [(800, 0), (800, 500)])],
                 texts=[(5, 100, 50, 50, "LEAF")],
                 refs=[]),
    "MID": dict(rank=2,
                boxes=[(6, -100, -100, 6000, 3000), (5, 0, 4000, 10, 4010)],
                paths=[(2, 0, [(10, 10), (90, 30), (50, 90), (10, 10)])],
                texts=[(5, 200, 200 + 700 * code, 3500, "O%d" % code) for code in range(8)],
                refs=[("LEAF", code, 2000 * (code % 4), 1500 * (code // 4)) for code in range(8)]),
    "TOP": dict(rank=3,
                boxes=[(1, -500, -500, -100, 20000), (5, -700, -700, -600, -600)],
                paths=[(3, -100, [(0, -300), (15000, -300)]),
                       (4, 40, [(0, -800), (4000, -800), (4000, 80), (4100, 80)])],
                texts=[(5, 800, 0, -1200, "TOP_LEVEL")],
                refs=[("MID", 0, 0, 0), ("MID", 5, 20000, 1000), ("MID", 2, 0, 15000),
                      ("LEAF", 7, -3000, -3000)]),
}


def write_tlc(folder, layer_file):
    os.makedirs(folder, exist_ok=True)
    for name, cell in CELLS.items():
        lines = ["=H", name, "6.0", "6.0", "%g" % SCALE, "um", "01/02/24", "03:04:05",
                 "%d 0 0 1 0" % cell["rank"], "0 0 0 0"]
        for ref in cell["refs"]:
            lines += ["=C", ref[0], "%d %d %d 0" % ref[1:]]
        for box in cell["boxes"]:
            lines += ["=B", "%d %d %d %d %d" % box]
        for layer, width, points in cell["paths"]:
            lines += ["=P", "%d %d %d" % (layer, width, len(points))]
            for i in range(0, len(points), 5):
                lines.append("".join("%d %d " % p for p in points[i:i + 5]))
        for layer, size, x, y, text in cell["texts"]:
            lines += ["=T", "%d %d %d 0" % (layer, size, 1 + (len(text) + 7) // 8), "%d %d" % (x, y), text]
        with open(os.path.join(folder, name + ".TLC"), "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode())
    with open(layer_file, "wb") as f:
        f.write("".join('(LAYER %d CIF="%s");\r\n' % layer for layer in CIF_LAYERS).encode())


def build_gds(path):
    exported = {layer for layer, _ in CIF_LAYERS}
    lib = gdspy.GdsLibrary(unit=1e-6, precision=1e-9)
    cells = {name: gdspy.Cell(name, exclude_from_current=True) for name in CELLS}
    for name, cell in CELLS.items():
        c = cells[name]
        for layer, l, b, r, t in cell["boxes"]:
            if layer in exported:
                c.add(gdspy.Rectangle((l / SCALE, b / SCALE), (r / SCALE, t / SCALE), layer=layer))
        for layer, width, points in cell["paths"]:
            pts = [(x / SCALE, y / SCALE) for x, y in points]
            if width == 0:
                c.add(gdspy.Polygon(pts[:-1], layer=layer))
            else:
                c.add(gdspy.FlexPath(pts, abs(width) / SCALE, layer=layer,
                                     ends="extended" if width < 0 else "flush", gdsii_path=True))
        for layer, size, x, y, text in cell["texts"]:
            c.add(gdspy.Label(text, (x / SCALE, y / SCALE), layer=layer))
        for ref, orient, x, y in cell["refs"]:
            c.add(gdspy.CellReference(cells[ref], (x / SCALE, y / SCALE), rotation=90 * (orient % 4),
                                      x_reflection=orient >= 4))
        lib.add(c)
    lib.write_gds(path)


if __name__ == "__main__":
    write_tlc(sys.argv[1], sys.argv[2])
    build_gds(sys.argv[3])
