#!/usr/bin/python3
"""Writes a layout description of the drawing benchmark as GDSII with gdspy.

  write_gds.py LAYOUT.txt OUT.gds

Lines: "CELL name", "B layer left bottom right top", "P layer width x1 y1 x2 y2 ...",
"R cell code x y" (code: mirror in y first, then quarter turns counter-clockwise), "END".
Layers 1..64 become GDSII layers 0..63; one database unit is one nanometre.
"""
import sys

import gdspy


def main():
    lib = gdspy.GdsLibrary(unit=1e-6, precision=1e-9)
    cells = {}
    refs = []
    cell = None
    with open(sys.argv[1]) as f:
        for line in f:
            w = line.split()
            if not w:
                continue
            if w[0] == 'CELL':
                cell = gdspy.Cell(w[1])
                lib.add(cell)
                cells[w[1]] = cell
            elif w[0] == 'B':
                layer, l, b, r, t = (int(v) for v in w[1:6])
                cell.add(gdspy.Rectangle((l / 1000, b / 1000), (r / 1000, t / 1000), layer=layer - 1))
            elif w[0] == 'P':
                layer, width = int(w[1]), int(w[2])
                pts = [(int(w[i]) / 1000, int(w[i + 1]) / 1000) for i in range(3, len(w), 2)]
                if width == 0:
                    cell.add(gdspy.Polygon(pts, layer=layer - 1))
                else:
                    ends = 'extended' if width < 0 else 'flush'
                    cell.add(gdspy.FlexPath(pts, abs(width) / 1000, ends=ends, layer=layer - 1,
                                            gdsii_path=True))
            elif w[0] == 'R':
                refs.append((cell, w[1], int(w[2]), int(w[3]), int(w[4])))
    for holder, name, code, x, y in refs:
        holder.add(gdspy.CellReference(cells[name], (x / 1000, y / 1000), rotation=90 * (code & 3),
                                       x_reflection=bool(code & 4)))
    lib.write_gds(sys.argv[2])


if __name__ == '__main__':
    main()
