# Run by klayout in batch mode: klayout -b -r klayout_raster.py -rd layout=L.json -rd frame=F.json -rd out=O.txt
# Builds the layout described in L.json with klayout's own database, flattens each layer, and writes the
# pixels whose sample point lies inside: for pixel (i, r) the point (x0 + (i + 1/2) p, y0 + r p), taken
# just above its row as a box 2 units wide and 1 high. One line per layer: "layer i,r i,r ...".
import json

import pya  # noqa: F401  (klayout's own module)

with open(layout) as f:  # noqa: F821  (set by -rd)
    cells = json.load(f)
with open(frame) as f:  # noqa: F821
    fr = json.load(f)

ly = pya.Layout()
ly.dbu = 0.001
made = {}
layers = {}


def layer(n):
    if n not in layers:
        layers[n] = ly.layer(n, 0)
    return layers[n]


# Children before their holders: the description lists cells from the lowest rank up.
for c in cells:
    cell = ly.create_cell(c["name"])
    made[c["name"]] = cell
    for l, left, bottom, right, top in c["boxes"]:
        cell.shapes(layer(l)).insert(pya.Box(left, bottom, right, top))
    for l, width, points in c["paths"]:
        pts = [pya.Point(x, y) for x, y in points]
        if width == 0:
            if pts[0] == pts[-1]:
                pts = pts[:-1]
            cell.shapes(layer(l)).insert(pya.Polygon(pts))
        else:
            half = abs(width) // 2
            ext = half if width < 0 else 0
            cell.shapes(layer(l)).insert(pya.Path(pts, 2 * half, ext, ext))
    for name, code, x, y in c["refs"]:
        t = pya.Trans(code & 3, (code & 4) != 0, x, y)
        cell.insert(pya.CellInstArray(made[name].cell_index(), t))

top = made[fr["cell"]]
x0, y0, p = fr["x0"], fr["y0"], fr["pixel"]
half = p // 2
with open(out, "w") as f:  # noqa: F821
    for n in fr["layers"]:
        region = pya.Region(top.begin_shapes_rec(layer(n)))
        region.merge()
        box = region.bbox()
        inside = []
        if not box.empty():
            samples = pya.Region()
            samples.merged_semantics = False
            index = {}
            i0 = max(0, (box.left - x0) // p - 1)
            i1 = min(1023, (box.right - x0) // p + 1)
            r0 = max(0, (box.bottom - y0) // p - 1)
            r1 = min(639, (box.top - y0) // p + 1)
            for r in range(r0, r1 + 1):
                for i in range(i0, i1 + 1):
                    sx, sy = x0 + i * p + half, y0 + r * p
                    samples.insert(pya.Box(sx - 1, sy, sx + 1, sy + 1))
                    index[(sx - 1, sy)] = (i, r)
            for poly in samples.inside(region).each():
                b = poly.bbox()
                inside.append(index[(b.left, b.bottom)])
        f.write("%d %s\n" % (n, " ".join("%d,%d" % ir for ir in sorted(inside))))
