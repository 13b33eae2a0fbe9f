"""Writes a release 12 DXF file with ezdxf for the importer: blocks with a base point of their own,
closed and wide polylines, solids, inserts turned and mirrored (the mirror also without a rotation),
an insert array on a turned grid, circles, arcs, a polyline with bulges and texts with their
generation flags. Layers METAL, POLY, VIA, CURVE and ARCS (an arc is open: peers draw it as a line). Prints the names of the layer table in file
order, one a line.

usage: ezdxf_fixture.py OUT.DXF
"""
import sys

import ezdxf


def main():
    doc = ezdxf.new("R12")
    for name in ("METAL", "POLY", "VIA", "CURVE", "ARCS"):
        doc.layers.add(name)
    leaf = doc.blocks.new("LEAF", base_point=(1, 1))
    leaf.add_polyline2d([(1, 1), (4, 1), (4, 2), (2.5, 4), (1, 2)], close=True, dxfattribs={"layer": "METAL"})
    leaf.add_polyline2d([(0, 0), (6, 0), (6, 3)], dxfattribs={"layer": "POLY", "default_start_width": 0.5,
                                                          "default_end_width": 0.5})
    leaf.add_solid([(5, 5), (7, 5), (5, 6), (7, 6)], dxfattribs={"layer": "VIA"})
    leaf.add_solid([(8, 5), (9, 5), (8, 7)], dxfattribs={"layer": "VIA"})

    mid = doc.blocks.new("MID")
    mid.add_blockref("LEAF", (0, 0))
    mid.add_blockref("LEAF", (20, 0), dxfattribs={"rotation": 90, "xscale": -1})
    grid = mid.add_blockref("LEAF", (40, 0), dxfattribs={"rotation": 90})
    grid.dxf.column_count, grid.dxf.row_count = 3, 2
    grid.dxf.column_spacing, grid.dxf.row_spacing = 10, 15
    mid.add_polyline2d([(-5, -5), (60, -5), (60, -4), (-5, -4)], close=True, dxfattribs={"layer": "METAL"})

    msp = doc.modelspace()
    for i, (rotation, xscale, yscale) in enumerate([(0, 1, 1), (180, 1, 1), (270, -1, 1), (0, -1, 1),
                                                     (90, 1, -1)]):
        attribs = {"xscale": xscale, "yscale": yscale}
        if rotation:
            attribs["rotation"] = rotation
        msp.add_blockref("MID", (i * 200, 100), dxfattribs=attribs)
    msp.add_solid([(0, -50), (30, -50), (0, -40), (30, -40)], dxfattribs={"layer": "VIA"})
    msp.add_circle((100, -100), 10, dxfattribs={"layer": "CURVE"})
    msp.add_arc((200, -100), 10, 0, 90, dxfattribs={"layer": "ARCS"})
    # A slot: two half circles joined by straight sides.
    msp.add_polyline2d([(300, -100, 0, 0, -1), (300, -80, 0, 0, 0), (320, -80, 0, 0, -1), (320, -100, 0, 0, 0)],
                       format="xyseb", close=True, dxfattribs={"layer": "CURVE"})
    msp.add_text("PLAIN", dxfattribs={"layer": "METAL", "height": 2, "insert": (0, -200)})
    msp.add_text("BACK", dxfattribs={"layer": "METAL", "height": 2, "insert": (50, -200), "rotation": 90,
                                     "text_generation_flag": 2})
    msp.add_text("DOWN", dxfattribs={"layer": "METAL", "height": 2, "insert": (100, -200),
                                     "text_generation_flag": 4})
    doc.saveas(sys.argv[1])
    for layer in doc.layers:
        print(layer.dxf.name)


main()
