"""Writes a GDSII library with gdspy for the importer: arrays, paths of every end type, polygons,
boxes, texts (one with two lines), cells written before the cells they use, and a deep hierarchy.
All on a 1 nm grid with 1 um user units.

usage: gdspy_library.py OUT.gds
"""
import sys

import gdspy


def build(path):
    lib = gdspy.GdsLibrary(unit=1e-6, precision=1e-9)
    top = gdspy.Cell("TOPCELL", exclude_from_current=True)
    mid = gdspy.Cell("MidCell", exclude_from_current=True)
    leaf = gdspy.Cell("leaf_1", exclude_from_current=True)
    lib.add(top)  # written first: it uses every cell below
    lib.add(mid)
    lib.add(leaf)

    leaf.add(gdspy.Rectangle((0, 0), (4, 2), layer=1))
    leaf.add(gdspy.Polygon([(0, 3), (3, 3), (3, 4), (1, 4), (1, 6), (0, 6)], layer=2))
    leaf.add(gdspy.FlexPath([(5, 0), (5, 3), (7, 3)], 0.2, ends="flush", layer=3, gdsii_path=True))
    leaf.add(gdspy.FlexPath([(8, 0), (8, 5)], 0.3, ends="extended", layer=4, gdsii_path=True))
    leaf.add(gdspy.Label("leaf", (0.5, 0.5), anchor="sw", layer=5))

    mid.add(gdspy.Rectangle((-1, -1), (60, 30), layer=0))
    for code in range(8):
        mid.add(gdspy.CellReference(leaf, (20 * (code % 4), 15 * (code // 4)),
                                    rotation=90 * (code % 4), x_reflection=code >= 4))
    mid.add(gdspy.Polygon([(0.1, 0.1), (0.9, 0.3), (0.5, 0.9)], layer=2))

    top.add(gdspy.CellArray(leaf, 3, 2, (10, 8), (100, 0)))
    top.add(gdspy.CellArray(leaf, 2, 3, (10, 8), (200, 0), rotation=90))
    top.add(gdspy.CellArray(leaf, 2, 2, (12, 9), (300, 0), x_reflection=True))
    top.add(gdspy.CellReference(mid, (0, 100)))
    top.add(gdspy.CellReference(mid, (200, 100), rotation=270, x_reflection=True))
    top.add(gdspy.FlexPath([(0, -3), (150, -3)], 1, ends="extended", layer=3, gdsii_path=True))
    top.add(gdspy.FlexPath([(0, -8), (40, -8), (40, 0.8), (41, 0.8)], 0.4, ends="flush", layer=4,
                           gdsii_path=True))
    top.add(gdspy.FlexPath([(0, -20), (30, -20)], 2, ends=(0.5, 1.5), layer=6, gdsii_path=True))
    top.add(gdspy.FlexPath([(0, -30), (30, -30), (30, -50)], 2, ends="round", layer=7,
                           gdsii_path=True))
    top.add(gdspy.Label("TOP LEVEL", (0, -12), anchor="sw", layer=5, rotation=90))
    top.add(gdspy.Label("mirrored", (5, -15), anchor="sw", layer=5, x_reflection=True,
                        rotation=180))
    top.add(gdspy.Label("LINE1\nLINE2", (50, -12), anchor="sw", layer=8))

    # A chain of 12 levels, each level written before the one it holds.
    chain = [gdspy.Cell("DEEP%02d" % i, exclude_from_current=True) for i in range(12)]
    for cell in chain:
        lib.add(cell)
    for i, cell in enumerate(chain):
        cell.add(gdspy.Rectangle((0, 0), (1 + i, 1), layer=9))
        if i + 1 < len(chain):
            cell.add(gdspy.CellReference(chain[i + 1], (0, 2)))
    top.add(gdspy.CellReference(chain[0], (-100, 0)))
    lib.write_gds(path)


if __name__ == "__main__":
    build(sys.argv[1])
