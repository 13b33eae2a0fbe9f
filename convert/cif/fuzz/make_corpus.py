#!/usr/bin/env python3
"""Writes small CIF files as a starting corpus for the fuzz target: the dialect the suite's exporter
writes (layer and symbol name comments, scaled symbols, boxes, polygons, wires, calls in all eight
transforms, texts through both templates), the forms a peer writes (cell-name commands, "98" wire
types, round flashes, nested comments, directions on boxes), escaped texts, and files cut short.
With klayout at hand, a layout it writes as CIF joins them.

usage: make_corpus.py FOLDER
"""
import os
import shutil
import subprocess
import sys
import tempfile

TRANSFORMS = ["", " R0 1", " R-1 0", " R0 -1", " MY", " MY R0 1", " MY R-1 0", " MY R0 -1"]

SUITE = """(! CIF file of TOP.TLC made by CALEXP  03/07/24  13:05:59);

(LAYER 1 CIF="CM1");
(LAYER 2 CIF="CPG");
(LAYER 12 CIF="M1");

(#1 LEAF);
(#2 TOP);

DS#1 2/2;
9 LEAF;
LCM1;
B 10 20 5 10;
P 0 0 10 0 10 10 0 10 0 0 20 20
  30 30;
W 4 0 0 100 0 100 50;
LCPG;
W 2 -5 -5 5 5;
94 VDD 1 2 CM1;
99 1 300 0 1 2 VDD;
94 two\\20words 3 4 CM1;
99 2 300 5 3 4 semi\\3Bcolon \\5C20;
DF;
DS#2 2/2;
9 TOP;
LM1;
B 4 4 -2 -2;
""" + "".join("C1%s T%d %d;\n" % (t, 100 * i, -40 * i) for i, t in enumerate(TRANSFORMS)) + """DF;
C#2;
E
"""

PEER = """(CIF written by a peer);
(nested (comment) here);
DS 1 1 10;
9 sub_cell$1;
L NM;
B 100 50 0 0 0 1;
B 100 50 0 0 1 1;
98 0;
W 10 0 0 0 100;
98 1;
W 10 0 0 100 0;
R 20 5 5;
P 0 0 10 0 5 8;
DF;
DS 2 100 1;
9;
C 1 MX T 5 5;
C 1 MY R 0 1 T -5 5;
C 1 R 3 4;
C 7 T 1 1;
DD 3;
DF;
C 2;
E
"""

LAYERS_ONLY = """(LAYER 5 CIF=NM) (LAYER 64 CIF="TOP1") (LAYER 0 CIF=BAD) (LAYER 65 CIF=X);
(LAYER CIF=) (LAYERS 3 CIF = Q9);
"""

CELL_FILE = """(#1 LEAF);
(#2 TOP);
(#5 GHOST);
"""

KLAYOUT_SCRIPT = """
import pya
ly = pya.Layout()
ly.dbu = 0.01
leaf = ly.create_cell("LEAF")
top = ly.create_cell("TOP")
l1 = ly.layer(1, 0)
leaf.shapes(l1).insert(pya.Box(0, 0, 100, 200))
leaf.shapes(l1).insert(pya.Path([pya.Point(0, 0), pya.Point(300, 0), pya.Point(300, 300)], 20))
leaf.shapes(l1).insert(pya.Polygon([pya.Point(0, 0), pya.Point(50, 80), pya.Point(90, 10)]))
leaf.shapes(l1).insert(pya.Text("NET1", pya.Trans(pya.Point(5, 5))))
for r in range(4):
    top.insert(pya.CellInstArray(leaf.cell_index(), pya.Trans(r, r % 2 == 1, pya.Point(1000 * r, 0))))
ly.write(OUT)
"""


def from_klayout(folder):
    if not shutil.which("klayout"):
        return
    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "write.py")
        with open(script, "w") as f:
            f.write(KLAYOUT_SCRIPT.replace("OUT", repr(os.path.join(folder, "klayout.cif"))))
        subprocess.run(["klayout", "-b", "-r", script], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "suite.cif": SUITE,
        "peer.cif": PEER,
        "layers.cif": LAYERS_ONLY,
        "cells.cif": CELL_FILE + SUITE,
        "cut.cif": SUITE[:len(SUITE) * 2 // 3],
        "two-ends.cif": "DS 1;\n9 A;\nDF;\nE\nE\n",
    }
    for name, text in seeds.items():
        with open(os.path.join(folder, name), "w", newline="") as f:
            f.write(text)
    from_klayout(folder)


if __name__ == "__main__":
    main(sys.argv[1])
