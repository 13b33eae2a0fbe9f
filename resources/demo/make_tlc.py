#!/usr/bin/env python3
"""Writes the demo drawing's TLC files and CELLS.REF into this folder.

A small library of our own: a contact, an inverter and a two-input gate, a row of them placed in
several orientations, and a top cell with every kind of object (boxes, wide paths with square,
extended and bevelled corners, filled and open polygons, texts in four directions) over four levels.
Coordinates are database units, 20 to the micron. Run it again after a change and commit its output.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 20

NWEL, ACTV, POLY, CONT, MET1, VIA1, MET2, TEXT, PAD = range(1, 10)


class Cell:
    def __init__(self, name, rank):
        self.name, self.rank = name, rank
        self.refs, self.boxes, self.paths = [], [], []

    def ref(self, cell, x, y, orientation=0):
        self.refs.append((cell, orientation, x, y))

    def box(self, layer, left, bottom, right, top):
        self.boxes.append((layer, left, bottom, right, top))

    def path(self, layer, width, points):
        self.paths.append(("P", layer, width, points))

    def polygon(self, layer, points):
        self.paths.append(("P", layer, 0, points))

    def text(self, layer, size, x, y, text, orientation=0):
        self.paths.append(("T", layer, size, (x, y, text, orientation)))

    def counts(self):
        vertices = 0
        for kind, _, _, data in self.paths:
            vertices += len(data) if kind == "P" else 1 + (len(data[2]) + 7) // 8
        return len(self.boxes), len(self.paths), vertices, len(self.refs)

    def write(self):
        lines = ["=H", self.name, "6.05", "6.05", str(SCALE), "um", "01/01/26", "12:00:00",
                 f"{self.rank} 0 0 1 0", "%d %d %d %d" % self.counts()]
        for cell, orientation, x, y in self.refs:
            lines += ["=C", cell, f"{orientation} {x} {y} 0"]
        for layer, left, bottom, right, top in self.boxes:
            lines += ["=B", f"{layer} {left} {bottom} {right} {top}"]
        for kind, layer, width, data in self.paths:
            if kind == "P":
                lines += ["=P", f"{layer} {width} {len(data)}"]
                for i in range(0, len(data), 5):
                    lines.append("".join(f"{x} {y} " for x, y in data[i:i + 5]))
            else:
                x, y, text, orientation = data
                lines += ["=T", f"{layer} {width} {1 + (len(text) + 7) // 8} {orientation}", f"{x} {y}", text]
        with open(os.path.join(HERE, self.name + ".TLC"), "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")


def library():
    contact = Cell("CONTACT", 1)
    contact.box(ACTV, -30, -30, 30, 30)
    contact.box(MET1, -25, -25, 25, 25)
    contact.box(CONT, -15, -15, 15, 15)

    inv = Cell("INV", 2)
    inv.box(NWEL, -20, 220, 220, 440)
    inv.box(ACTV, 20, 40, 180, 120)
    inv.box(ACTV, 20, 260, 180, 360)
    inv.path(POLY, 30, [(100, 390), (100, 10)])
    inv.path(POLY, 30, [(100, 190), (30, 190)])
    for x, y in ((50, 80), (150, 80), (50, 310), (150, 310), (30, 190)):
        inv.ref("CONTACT", x, y)
    inv.path(MET1, 40, [(0, 0), (200, 0)])
    inv.path(MET1, -40, [(0, 400), (200, 400)])
    inv.path(MET1, 30, [(50, 80), (50, 0)])
    inv.path(MET1, 30, [(50, 310), (50, 400)])
    inv.polygon(MET1, [(140, 80), (170, 80), (170, 330), (140, 330), (140, 80)])
    inv.text(TEXT, 30, 10, 150, "A")
    inv.text(TEXT, 30, 180, 200, "Y")
    inv.text(TEXT, 40, 40, 450, "INV")

    nand = Cell("NAND2", 2)
    nand.box(NWEL, -20, 220, 320, 440)
    nand.box(ACTV, 20, 40, 280, 120)
    nand.box(ACTV, 20, 260, 280, 360)
    for x in (100, 200):
        nand.path(POLY, 30, [(x, 390), (x, 10)])
    nand.path(POLY, 30, [(100, 170), (30, 170)])
    nand.path(POLY, 30, [(200, 220), (260, 220), (260, 170)])
    for x, y in ((50, 80), (250, 80), (50, 310), (150, 310), (250, 310), (30, 170)):
        nand.ref("CONTACT", x, y)
    nand.path(MET1, 40, [(0, 0), (300, 0)])
    nand.path(MET1, -40, [(0, 400), (300, 400)])
    nand.path(MET1, 30, [(50, 80), (50, 0)])
    nand.path(MET1, 30, [(50, 310), (50, 400)])
    nand.path(MET1, 30, [(250, 310), (250, 400)])
    nand.path(MET1, 30, [(150, 310), (150, 240), (290, 240), (290, 80), (250, 80)])
    nand.text(TEXT, 40, 40, 450, "NAND2")

    row = Cell("ROW", 3)
    row.ref("INV", 0, 0, 0)
    row.ref("NAND2", 300, 0, 0)
    row.ref("INV", 700, 440, 4)    # mirrored upside down
    row.ref("NAND2", 1300, 0, 6)   # mirrored left to right
    row.path(MET2, 40, [(-40, 200), (1340, 200)])
    row.box(VIA1, 130, 180, 170, 220)
    row.box(VIA1, 1130, 180, 1170, 220)

    top = Cell("TOP", 4)
    top.ref("ROW", 0, 0, 0)
    top.ref("ROW", 1300, 1100, 2)  # half a turn
    top.ref("INV", 2040, 0, 1)     # a quarter turn
    top.ref("INV", 1600, 1100, 3)  # three quarters
    top.ref("INV", 1640, 300, 5)
    top.ref("INV", 2100, 1060, 7)
    top.ref("CONTACT", 2300, 600)
    # A pad ring of wide paths: square corners, an extended end and a sharp bevelled turn.
    top.path(MET2, 60, [(-200, -200), (2400, -200), (2400, 1300), (-200, 1300), (-200, -100)])
    top.path(MET2, -40, [(-100, 600), (400, 600)])
    top.path(MET1, 40, [(2200, -100), (2350, 500), (2200, 200)])
    top.box(PAD, 2450, 500, 2650, 700)
    top.box(PAD, -450, 500, -250, 700)
    top.polygon(PAD, [(-420, 900), (-280, 900), (-350, 1060), (-420, 900)])
    top.polygon(POLY, [(2460, 900), (2640, 900), (2600, 1000), (2500, 1060)])  # open: lines only
    top.text(TEXT, 90, -200, 1400, "MERO DEMO")
    top.text(TEXT, 60, 2800, -100, "Rotated", 1)
    top.text(TEXT, 60, 1200, -300, "Upside", 2)
    top.text(TEXT, 45, -600, 1200, "0123456789 !#$%&()*+,-./:;<=>?@[]^_{|}~", 3)
    top.text(TEXT, 45, -200, -500, "The quick brown fox jumps over the lazy dog")
    return [contact, inv, nand, row, top]


def write_cells_ref(cells):
    lines = [str(len(cells))]
    for cell in cells:
        lines += [cell.name, "%d 0 0 1 0 %d %d %d %d" % ((cell.rank,) + cell.counts())]
    with open(os.path.join(HERE, "CELLS.REF"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n\n")


def main():
    cells = library()
    for cell in cells:
        cell.write()
    write_cells_ref(cells)


if __name__ == "__main__":
    main()
