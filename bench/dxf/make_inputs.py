"""Writes the DXF converters' benchmark inputs with ezdxf (release 12):
  polylines.dxf: POLYLINES polylines of 10 vertices, one in four with bulges and one in four with a
                 width, spread over 200 blocks in three levels of inserts and the drawing itself;
  circles.dxf:   CIRCLES circles in the drawing.
usage: make_inputs.py FOLDER [POLYLINES] [CIRCLES]
"""
import os
import random
import sys

import ezdxf


def polylines(path, count):
    rng = random.Random(7)
    doc = ezdxf.new("R12")
    for name in ("METAL", "POLY", "VIA"):
        doc.layers.add(name)
    leaves = [doc.blocks.new("L%03d" % i) for i in range(150)]
    mids = [doc.blocks.new("M%03d" % i) for i in range(40)]
    tops = [doc.blocks.new("T%03d" % i) for i in range(10)]
    msp = doc.modelspace()
    spaces = leaves * 3 + mids + tops + [msp]
    for i in range(count):
        x, y = rng.uniform(0, 1000), rng.uniform(0, 1000)
        points = [(x + rng.uniform(0, 50), y + rng.uniform(0, 50), 0, 0, rng.choice([0, 0, 0, 0.4]))
                  for _ in range(10)]
        attribs = {"layer": rng.choice(("METAL", "POLY", "VIA"))}
        if i % 4 == 1:
            attribs.update(default_start_width=0.5, default_end_width=0.5)
        spaces[i % len(spaces)].add_polyline2d(points, format="xyseb", close=i % 4 != 1, dxfattribs=attribs)
    for m in mids:
        for k in range(5):
            m.add_blockref(rng.choice(leaves).name, (rng.uniform(0, 1000), rng.uniform(0, 1000)),
                           dxfattribs={"rotation": 90 * k})
    for t in tops:
        for k in range(4):
            t.add_blockref(rng.choice(mids).name, (k * 2000, 0), dxfattribs={"xscale": -1 if k % 2 else 1})
    for k, t in enumerate(tops):
        msp.add_blockref(t.name, (0, k * 3000))
    doc.saveas(path)


def circles(path, count):
    rng = random.Random(11)
    doc = ezdxf.new("R12")
    doc.layers.add("CURVE")
    msp = doc.modelspace()
    for _ in range(count):
        msp.add_circle((rng.uniform(0, 10000), rng.uniform(0, 10000)), rng.uniform(1, 20), dxfattribs={"layer": "CURVE"})
    doc.saveas(path)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    polylines(os.path.join(folder, "polylines.dxf"), int(sys.argv[2]) if len(sys.argv) > 2 else 100000)
    circles(os.path.join(folder, "circles.dxf"), int(sys.argv[3]) if len(sys.argv) > 3 else 10000)


main()
