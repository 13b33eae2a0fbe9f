"""Writes a DXF file with ezdxf (release 2000) holding, beside a LINE on METAL and a CIRCLE on POLY,
entities the importer has no conversion for: two LWPOLYLINEs (one inside a block that is inserted),
a HATCH, a SPLINE and an ELLIPSE.

usage: ezdxf_unconverted.py OUT.DXF
"""
import sys

import ezdxf


def main():
    doc = ezdxf.new("R2000")
    for name in ("METAL", "POLY"):
        doc.layers.add(name)
    leaf = doc.blocks.new("LEAF")
    leaf.add_lwpolyline([(0, 0), (2, 0), (2, 2)], close=True, dxfattribs={"layer": "METAL"})
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "METAL"})
    msp.add_circle((30, 30), 5, dxfattribs={"layer": "POLY"})
    msp.add_blockref("LEAF", (50, 0))
    msp.add_lwpolyline([(0, 20), (5, 20), (5, 25), (0, 25)], close=True, dxfattribs={"layer": "METAL"})
    hatch = msp.add_hatch(dxfattribs={"layer": "METAL"})
    hatch.paths.add_polyline_path([(20, 0), (25, 0), (25, 5)], is_closed=True)
    msp.add_spline([(0, 40), (5, 45), (10, 40), (15, 45)], dxfattribs={"layer": "POLY"})
    msp.add_ellipse((40, 40), major_axis=(5, 0), ratio=0.5, dxfattribs={"layer": "POLY"})
    doc.saveas(sys.argv[1])


main()
