#!/usr/bin/env python3
"""Writes small DXF files as a starting corpus for the fuzz target: a drawing in the form the suite's
exporter writes (header, layer table, blocks of polylines and texts, inserts in all eight
orientations), one with every entity the importer converts (lines, circles, arcs, solids, polylines
with widths and bulges, texts, insert arrays), comments between groups, a file cut short and a binary
one. With ezdxf at hand (/usr/bin/python3), drawings it writes join them.

usage: make_corpus.py FOLDER
"""
import os
import subprocess
import sys


def groups(*pairs):
    return "".join("%3d\n%s\n" % (code, value) for code, value in pairs)


def section(name, *body):
    return groups((0, "SECTION"), (2, name)) + "".join(body) + groups((0, "ENDSEC"))


def layer_table(*names):
    return section("TABLES", groups((0, "TABLE"), (2, "LAYER"), (70, len(names))),
                   "".join(groups((0, "LAYER"), (2, n), (70, 64), (62, 7), (6, "CONTINUOUS")) for n in names),
                   groups((0, "ENDTAB")))


def polyline(layer, points, width=0, closed=1, bulges=()):
    out = groups((0, "POLYLINE"), (8, layer), (66, 1), (70, closed), (40, width), (41, width))
    for i, (x, y) in enumerate(points):
        out += groups((0, "VERTEX"), (8, layer), (10, x), (20, y), (30, 0))
        if i < len(bulges) and bulges[i]:
            out += groups((42, bulges[i]))
    return out + groups((0, "SEQEND"), (8, layer))


def insert(name, x, y, mirror=False, angle=0, cols=1, rows=1):
    out = groups((0, "INSERT"), (8, "0"), (2, name), (10, x), (20, y), (30, 0))
    if mirror:
        out += groups((41, "-1.0"))
    out += groups((50, angle))
    if cols > 1 or rows > 1:
        out += groups((70, cols), (71, rows), (44, 2.5), (45, 4))
    return out


SUITE = (section("HEADER", groups((9, "$ACADVER"), (1, "AC1009"), (9, "$EXTMAX"), (10, "250.0"), (20, "14.0"),
                                  (30, "0.0"), (9, "$EXTMIN"), (10, "-5.0"), (20, "-20.0"), (30, "0.0"),
                                  (9, "$TEXTSIZE"), (40, "2.5")))
         + layer_table("LAYER1", "LAYER2", "LAYER6")
         + section("BLOCKS",
                   groups((0, "BLOCK"), (8, "0"), (2, "LEAF"), (70, 0), (3, "LEAF"), (10, "0.0"), (20, "0.0"),
                          (30, "0.0")),
                   polyline("LAYER1", [(0, 0), (2, 0), (2, 1), (0, 1)]),
                   polyline("LAYER2", [(-0.5, -0.5), (8, -2), (8, 6)], width=0.4, closed=0),
                   groups((0, "TEXT"), (8, "LAYER6"), (10, 1), (20, -8), (30, 0), (40, 1), (1, "NAME"), (50, 90),
                          (71, 2)),
                   groups((0, "ENDBLK"), (8, "0")))
         + section("ENTITIES", "".join(insert("LEAF", 30 * c, 7 * (c % 3), c >= 4, [0, 90, 180, 270][c % 4])
                                       for c in range(8)))
         + groups((0, "EOF")))

ENTITIES = (layer_table("M", "P")
            + section("BLOCKS", groups((0, "BLOCK"), (2, "B"), (10, 1), (20, 1)),
                      groups((0, "LINE"), (8, "M"), (10, 0), (20, 0), (11, 5), (21, 5)), groups((0, "ENDBLK")),
                      groups((0, "BLOCK"), (2, "EMPTY"), (0, "ENDBLK")))
            + section("ENTITIES",
                      groups((0, "CIRCLE"), (8, "M"), (10, 5), (20, 5), (40, 2)),
                      groups((0, "ARC"), (8, "P"), (10, 0), (20, 0), (40, 10), (50, 350), (51, 10)),
                      groups((0, "SOLID"), (8, "M"), (10, 0), (20, 0), (11, 1), (21, 0), (12, 0), (22, 1),
                             (13, 1), (23, 1)),
                      groups((0, "SOLID"), (8, "M"), (10, 0), (20, 0), (11, 1), (21, 0)),
                      polyline("M", [(0, 0), (10, 0), (10, 10)], closed=0, bulges=(0.5, -3)),
                      polyline("P", [(i, i % 2) for i in range(30)], width=0.2, closed=0),
                      groups((0, "TEXT"), (8, "P"), (10, 1), (20, 2), (1, "=B"), (50, -90), (71, 4)),
                      insert("B", 0, 0, angle=45, cols=3, rows=2), insert("NOWHERE", 1, 1),
                      groups((0, "SHAPE"), (8, "M"), (0, "SPLINE"), (8, "M")))
            + groups((0, "EOF")))

COMMENTED = groups((999, "made by hand"), (0, "SECTION"), (999, "tables"), (2, "TABLES"), (0, "TABLE"),
                   (999, "layers"), (2, "LAYER"), (0, "LAYER"), (2, "M"), (0, "ENDTAB"), (0, "ENDSEC"),
                   (0, "SECTION"), (999, "drawing"), (2, "ENTITIES"), (0, "LINE"), (8, "M"), (10, "1e400"),
                   (20, "-1e400"), (11, "nan"), (21, "1e-400"), (0, "ENDSEC"), (0, "EOF"))

EZDXF = r"""
import sys, ezdxf
for version, name in (("R12", "ezdxf-r12.dxf"), ("R2000", "ezdxf-r2000.dxf")):
    doc = ezdxf.new(version)
    for layer in ("METAL", "POLY"):
        doc.layers.add(layer)
    blk = doc.blocks.new("CELL")
    blk.add_lwpolyline([(0, 0), (4, 0), (4, 2)], dxfattribs={"layer": "METAL"}) if version != "R12" else \
        blk.add_polyline2d([(0, 0), (4, 0), (4, 2)], dxfattribs={"layer": "METAL"})
    blk.add_circle((1, 1), 0.5, dxfattribs={"layer": "POLY"})
    msp = doc.modelspace()
    msp.add_blockref("CELL", (10, 0), dxfattribs={"rotation": 90, "xscale": -1})
    msp.add_arc((0, 0), 3, 30, 300, dxfattribs={"layer": "POLY"})
    msp.add_text("LABEL", dxfattribs={"layer": "METAL", "height": 1.5}).set_placement((2, 3))
    msp.add_line((0, 0), (5, 5), dxfattribs={"layer": "METAL"})
    msp.add_solid([(0, 0), (1, 0), (0, 1), (1, 1)], dxfattribs={"layer": "POLY"})
    doc.saveas(sys.argv[1] + "/" + name)
"""


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "suite.dxf": SUITE,
        "entities.dxf": ENTITIES,
        "commented.dxf": COMMENTED,
        "cut.dxf": SUITE[:len(SUITE) * 2 // 3],
        "crlf.dxf": ENTITIES.replace("\n", "\r\n"),
    }
    for name, text in seeds.items():
        with open(os.path.join(folder, name), "w", newline="") as f:
            f.write(text)
    with open(os.path.join(folder, "binary.dxf"), "wb") as f:
        f.write(b"AutoCAD Binary DXF\r\n\x1a\x00\x00\x00SECTION\x00\x02\x00HEADER\x00")
    if os.path.exists("/usr/bin/python3"):
        subprocess.run(["/usr/bin/python3", "-c", EZDXF, folder], stderr=subprocess.DEVNULL, timeout=120)


if __name__ == "__main__":
    main(sys.argv[1])
