"""Writes, with gdspy, the GDSII constructs the importer cannot keep as TLC instances or values: one
library per construct, each in a file of its own, all on a 1 nm grid with 1 um user units.

usage: odd_library.py FOLDER    (writes FOLDER/NAME.gds for every NAME of CONSTRUCTS)
"""
import os
import sys

import gdspy


def leaf(lib, name="LEAF"):
    """A cell with a box, a polygon, a wide path and a text, and an array of a smaller cell."""
    dot = gdspy.Cell(name + "DOT", exclude_from_current=True)
    dot.add(gdspy.Rectangle((0, 0), (0.5, 0.25), layer=3))
    cell = gdspy.Cell(name, exclude_from_current=True)
    cell.add(gdspy.Rectangle((0, 0), (4, 2), layer=1))
    cell.add(gdspy.Polygon([(0, 3), (3, 3), (3, 4), (1, 4), (1, 6), (0, 6)], layer=2))
    cell.add(gdspy.FlexPath([(5, 0), (5, 3), (7, 3)], 0.2, ends="flush", layer=4, gdsii_path=True))
    cell.add(gdspy.FlexPath([(8, 0), (8, 5)], 0.4, ends="extended", layer=5, gdsii_path=True))
    cell.add(gdspy.Label("leaf", (0.5, 0.5), anchor="sw", layer=6))
    cell.add(gdspy.CellArray(dot, 3, 2, (1, 1), (10, 0)))
    lib.add(dot)
    lib.add(cell)
    return cell


def magnified(lib, top):
    cell = leaf(lib)
    top.add(gdspy.CellReference(cell, (0, 0), magnification=2))
    top.add(gdspy.CellReference(cell, (100, 0), magnification=0.5, rotation=90, x_reflection=True))
    top.add(gdspy.CellArray(cell, 2, 3, (40, 30), (0, 100), magnification=1.5))


def turned(lib, top):
    cell = gdspy.Cell("PIECE", exclude_from_current=True)
    cell.add(gdspy.Rectangle((0, 0), (4, 2), layer=1))
    cell.add(gdspy.Polygon([(0, 3), (3, 3), (3, 4), (1, 4), (1, 6), (0, 6)], layer=2))
    lib.add(cell)
    for i, angle in enumerate((30, 45, 135.5, 300)):
        top.add(gdspy.CellReference(cell, (20 * i, 0), rotation=angle, x_reflection=i % 2 == 1))
    # Turned in a turned instance: 30 and 60 make a quarter turn, which stays an instance.
    mid = gdspy.Cell("MIDDLE", exclude_from_current=True)
    mid.add(gdspy.CellReference(cell, (5, 5), rotation=60))
    mid.add(gdspy.Rectangle((-1, -1), (0, 0), layer=3))
    lib.add(mid)
    top.add(gdspy.CellReference(mid, (0, 50), rotation=30))


def far(lib, top):
    # Two parts that meet only at coordinates beyond the TLC range.
    cell = gdspy.Cell("PART", exclude_from_current=True)
    cell.add(gdspy.Rectangle((0, 0), (10, 10), layer=1))
    lib.add(cell)
    top.add(gdspy.CellReference(cell, (52209.5, 0)))
    top.add(gdspy.Rectangle((52219.5, 0), (52229.5, 10), layer=1))
    top.add(gdspy.Rectangle((0, 0), (1, 1), layer=2))


def zero_width(lib, top):
    top.add(gdspy.Rectangle((0, 0), (1, 1), layer=1))
    top.add(gdspy.FlexPath([(0, 5), (10, 5), (10, 15)], 0, layer=2, gdsii_path=True))
    top.add(gdspy.FlexPath([(0, 20), (30, 20)], 0, layer=2, gdsii_path=True))
    top.add(gdspy.FlexPath([(0, 30), (30, 30)], 1, layer=3, gdsii_path=True))


CONSTRUCTS = {"magnified": magnified, "turned": turned, "far": far, "zero_width": zero_width}


def build(folder):
    os.makedirs(folder, exist_ok=True)
    for name, make in CONSTRUCTS.items():
        lib = gdspy.GdsLibrary(unit=1e-6, precision=1e-9)
        top = gdspy.Cell("TOP", exclude_from_current=True)
        lib.add(top)
        make(lib, top)
        lib.write_gds(os.path.join(folder, name + ".gds"))


if __name__ == "__main__":
    build(sys.argv[1])
