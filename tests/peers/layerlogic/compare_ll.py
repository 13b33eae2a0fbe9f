# Checks one layer-logic result against klayout's own Boolean operations, run as:
#   klayout -b -r compare_ll.py -rd source=FIXTURE.gds -rd result=OUT.gds -rd top=TOP -rd a=0 -rd b=1
#     -rd op=and|or|xor -rd nota=0 -rd notb=0 -rd notout=0 -rd out=8 -rd window=L,B,R,T (um)
#     -rd pixel=P (um) -rd exact=0|1
# Layers are GDSII layer numbers (b=-1: no layer B). The expected result is op of the two flattened
# layers of TOP, each side inverted within the window when asked, the whole inverted within the
# window when asked, and cut to the window. With exact the XOR against the result must be empty;
# else every part of it must be narrower than two pixels (it vanishes when shrunk by one pixel).
# Exit status 1 on a difference.
import sys

import pya


def arg(name, default=""):
    return str(globals().get(name, default))


def layer_region(layout, top, number):
    r = pya.Region()
    for li in layout.layer_indexes():
        if layout.get_info(li).layer == number:
            r.insert(top.begin_shapes_rec(li))
    r.merge()
    return r


def find_top(layout, name):
    for cell in layout.each_cell():
        if cell.name.upper() == name.upper():
            return cell
    return None


src = pya.Layout()
src.read(arg("source"))
res = pya.Layout()
res.read(arg("result"))
top = find_top(src, arg("top"))
if top is None:
    print("no cell %s in %s" % (arg("top"), arg("source")))
    sys.exit(1)
dbu = src.dbu
if abs(res.dbu - dbu) > 1e-12:
    print("database units differ: %g and %g" % (src.dbu, res.dbu))
    sys.exit(1)

# The -rd values are globals of this script: no other name may take theirs.
edges = [int(round(float(v) / dbu)) for v in arg("window").split(",")]
window = pya.Region(pya.Box(*edges))
ra = layer_region(src, top, int(arg("a")))
if arg("nota") == "1":
    ra = window - ra
expected = ra
if int(arg("b")) >= 0:
    rb = layer_region(src, top, int(arg("b")))
    if arg("notb") == "1":
        rb = window - rb
    kind = arg("op")
    expected = ra & rb if kind == "and" else ra | rb if kind == "or" else ra ^ rb
if arg("notout") == "1":
    expected = window - expected
expected = expected & window

got = pya.Region()
for cell in res.top_cells():
    got.insert(layer_region(res, cell, int(arg("out"))))
got.merge()
# Nothing may come out on another layer.
others = [res.get_info(li).layer for li in res.layer_indexes()
          if res.get_info(li).layer != int(arg("out")) and any(not c.shapes(li).is_empty() for c in res.each_cell())]
if others:
    print("shapes on other layers: %s" % others)
    sys.exit(1)

xor = expected ^ got
pixel = int(round(float(arg("pixel")) / dbu))
print("expected area %.3f um2, result area %.3f um2, XOR area %.6f um2 in %d parts, pixel %d dbu"
      % (expected.area() * dbu * dbu, got.area() * dbu * dbu, xor.area() * dbu * dbu, xor.count(), pixel))
if expected.is_empty():
    print("the expected result is empty: the case checks nothing")
    sys.exit(1)
if arg("exact") == "1":
    if not xor.is_empty():
        print("XOR not empty: first part %s" % str(list(xor.each())[0]))
        sys.exit(1)
else:
    wide = xor.sized(-pixel)
    if not wide.is_empty():
        print("XOR wider than two pixels: %s" % [str(p) for p in list(wide.each())[:3]])
        sys.exit(1)
sys.exit(0)
