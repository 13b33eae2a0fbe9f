"""Reads the exporter's DXF file of export_fixture.py with ezdxf: an audit without errors, the layer
table, the blocks and what each holds, the inserts with their orientations, the polylines open or
closed with their widths, and the texts with their turns and mirrors.

usage: ezdxf_check.py FILE.DXF
"""
import sys

import ezdxf

problems = []


def expect(what, ok, detail=""):
    if not ok:
        problems.append("%s: %s" % (what, detail))


def main():
    doc = ezdxf.readfile(sys.argv[1])
    auditor = doc.audit()
    expect("audit errors", not auditor.errors, [e.message for e in auditor.errors])
    # ezdxf moves the SEQEND of a polyline in a release 12 block, also in files it writes itself.
    fixes = [f.message for f in auditor.fixes if "SEQEND" not in f.message]
    expect("audit fixes", not fixes, fixes)
    expect("release", doc.dxfversion == "AC1009", doc.dxfversion)

    layers = [layer.dxf.name for layer in doc.layers if layer.dxf.name.upper() not in ("0", "DEFPOINTS")]
    expect("layers in use, in order", layers == ["LAYER%d" % n for n in range(1, 7)], layers)

    blocks = {b.name: b for b in doc.blocks if not b.name.startswith("*")}
    expect("blocks", sorted(blocks) == ["LEAF", "MID"], sorted(blocks))

    def kinds(space):
        return [e.dxftype() for e in space]

    expect("LEAF", kinds(blocks.get("LEAF", [])) == ["POLYLINE"] * 3 + ["TEXT"], kinds(blocks.get("LEAF", [])))
    expect("MID", kinds(blocks.get("MID", [])) == ["INSERT"] * 2 + ["POLYLINE"] * 3, kinds(blocks.get("MID", [])))

    msp = doc.modelspace()
    inserts = [(e.dxf.name, round(e.dxf.insert.x, 6), round(e.dxf.insert.y, 6), e.dxf.xscale, e.dxf.yscale,
                e.dxf.rotation) for e in msp.query("INSERT")]
    angles = [0, 90, 180, 270, 180, 270, 0, 90]
    wanted = [("MID", code * 30.0, (code % 3) * 7.0, -1.0 if code >= 4 else 1.0, 1.0, angles[code])
              for code in range(8)]
    expect("inserts", inserts == wanted, "\n  %s\n  %s" % (inserts, wanted))
    # Each code gives the same transformation as the suite's orientation code.
    for code, e in enumerate(msp.query("INSERT")):
        m = e.matrix44()
        x, y, _ = m.transform((1, 2, 0)) - m.transform((0, 0, 0))
        want = [(1, 2), (-2, 1), (-1, -2), (2, -1), (1, -2), (2, 1), (-1, 2), (-2, -1)][code]
        expect("orientation %d" % code, (round(x, 9), round(y, 9)) == want, (x, y))

    polylines = {}
    for space, name in ((blocks.get("LEAF"), "LEAF"), (blocks.get("MID"), "MID"), (msp, "TOP")):
        for e in space.query("POLYLINE"):
            points = [(round(p[0], 6), round(p[1], 6)) for p in e.points()]
            polylines.setdefault(name, []).append(
                (e.dxf.layer, e.is_closed, e.dxf.default_start_width, points))
    expect("LEAF polylines", polylines.get("LEAF") == [
        ("LAYER1", True, 0, [(0, 0), (2, 0), (2, 1), (0, 1)]),
        ("LAYER2", True, 0, [(-0.5, -0.5), (0.5, -0.5), (0.5, 1.5), (-0.5, 1.5)]),
        ("LAYER3", True, 0, [(0, 0), (3, 0), (3, 0.5), (1.5, 2.5), (0, 0.5)])], polylines.get("LEAF"))
    # Paths are open; an extended path has its ends moved out by half its width.
    expect("MID polylines", polylines.get("MID") == [
        ("LAYER4", False, 0.4, [(-2, -2), (8, -2), (8, 6), (4, 6)]),
        ("LAYER5", False, 0.6, [(-3.3, 9), (2, 9), (6.212, 13.212)]),
        ("LAYER1", True, 0, [(12, 0), (13, 0), (13, 3), (12, 3)])], polylines.get("MID"))

    texts = [(e.dxf.layer, e.dxf.text, e.dxf.insert.x, e.dxf.insert.y, e.dxf.height, e.dxf.rotation,
              e.is_backward) for e in msp.query("TEXT")]
    expect("texts", texts == [("LAYER6", "MIRRORED", 1.0, -8.0, 1.0, 180.0, True),
                              ("LAYER6", "TURNED", 50.0, -8.0, 2.0, 270.0, False)], texts)
    leaf_text = [(e.dxf.text, e.dxf.rotation, e.is_backward) for e in blocks["LEAF"].query("TEXT")]
    expect("leaf text", leaf_text == [("LEAF", 90.0, False)], leaf_text)

    extmin, extmax = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    expect("extent of the main cell's own records", (tuple(extmin)[:2], tuple(extmax)[:2]) ==
           ((-5.0, -20.0), (250.0, 14.0)), (extmin, extmax))

    for p in problems:
        print("FAIL:", p)
    sys.exit(1 if problems else 0)


main()
