# Run by klayout in batch mode beside the checker's and the layer-logic program's benchmarks:
#   klayout -b -r klayout_rules.py -rd layout=L.json -rd out=TIMES -rd work=checks|xor
# Builds the benchmark's layout (bench/drc/rule_layout.h) with klayout's own database, then times only
# its own work on it: the width and space checks of layer 1 at 3 um and the enclosure of layer 2 by
# layer 1 at 1 um, or the XOR of the two layers. Writes "name seconds" lines, and the counts found.
import json
import time

import pya  # noqa: F401  (klayout's own module)

with open(layout) as f:  # noqa: F821  (set by -rd)
    d = json.load(f)
ly = pya.Layout()
ly.dbu = d["dbu"]
leaf = ly.create_cell("LEAF")
layers = {n: ly.layer(n, 0) for n in (1, 2)}
for l, left, bottom, right, top in d["boxes"]:
    leaf.shapes(layers[l]).insert(pya.Box(left, bottom, right, top))
top = ly.create_cell("TOP")
px, py = d["pitch"]
for i in range(d["columns"]):
    for j in range(d["rows"]):
        top.insert(pya.CellInstArray(leaf.cell_index(), pya.Trans(i * px, j * py)))

lines = []
start = time.perf_counter()
# Hierarchical (deep) regions: klayout then checks the leaf once, not every one of its placements.
store = pya.DeepShapeStore()
metal = pya.Region(top.begin_shapes_rec(layers[1]), store)
cuts = pya.Region(top.begin_shapes_rec(layers[2]), store)
if work == "checks":  # noqa: F821
    rule = int(round(3 / ly.dbu))
    width = metal.width_check(rule)
    space = metal.space_check(rule)
    enclosure = metal.enclosing_check(cuts, int(round(1 / ly.dbu)))
    counts = (width.count(), space.count(), enclosure.count())
else:
    result = metal ^ cuts
    counts = (result.count(),)
lines.append("total %.4f" % (time.perf_counter() - start))
with open(out, "w") as f:  # noqa: F821
    f.write("\n".join(lines) + "\n")
    f.write("found %d\n" % sum(counts))
