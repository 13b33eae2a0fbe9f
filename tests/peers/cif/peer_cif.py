"""Peer checks of the CIF converters against klayout and gdspy.

usage: peer_cif.py CASE WORK_FOLDER SUITE_FOLDER

CASE export:  the TLC fixture of cif_fixture.py goes through wcalexp; klayout reads the CIF, and its
              layout is compared with the same layout built by gdspy.
CASE klayout: a layout that klayout writes as CIF goes through wcalimp into TLC and through wstrmexp
              into GDSII; klayout compares that with the same layout as it writes it in GDSII.
The programs run headless from scripts, with the GDSII converters' peer helpers and comparison.
Exit status 0 when every check passes.
"""
import importlib.util
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"
_spec = importlib.util.spec_from_file_location("peer_gds", os.path.join(HERE, "..", "gds", "peer_gds.py"))
peer = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(peer)

UPRIGHT_TEXTS = "94 <text> <x> <y>"  # the form klayout reads: no layer name after the point


class Args:
    def __init__(self, programs):
        self.programs = programs
        self.batch = None


def layer_map(pairs):
    return ",".join("%s:%d" % (name, number) for number, name in pairs)


def check_export(conv, work):
    sys.path.insert(0, HERE)
    import cif_fixture
    tlc, layers = os.path.join(work, "tlc"), os.path.join(work, "layers.lyr")
    expected = os.path.join(work, "expected.gds")
    if peer.run([PYTHON, os.path.join(HERE, "cif_fixture.py"), tlc, layers, expected]).returncode != 0:
        sys.exit("fixture not made")
    conv.run_program("wcalexp", {0: os.path.join(tlc, "TOP.TLC"), 1: layers, 2: os.path.join(work, "out.cif"),
                                 6: "N", 8: "N", 9: UPRIGHT_TEXTS}, {5, 6, 7, 8}, 13)
    read = os.path.join(work, "read.gds")
    if peer.klayout(os.path.join(HERE, "cif_to_gds.py"), cif=peer.find(work, "out.cif"), gds=read,
                    layers=layer_map(cif_fixture.CIF_LAYERS)) != 0:
        sys.exit("klayout could not read the CIF file")
    if peer.klayout("compare.py", a=expected, b=read, top="TOP") != 0:
        sys.exit("the exported layout differs from gdspy's")


def check_klayout(conv, work):
    cif, gds = os.path.join(work, "in.cif"), os.path.join(work, "in.gds")
    if peer.klayout(os.path.join(HERE, "klayout_cif_library.py"), cif=cif, gds=gds) != 0:
        sys.exit("klayout layout not made")
    layers = os.path.join(work, "layers.lyr")
    with open(layers, "w") as f:
        for number, name in [(1, "CM1"), (2, "CPG"), (3, "CAA"), (4, "CMF"), (6, "CWN"), (7, "CVA"), (64, "TXT")]:
            f.write("(LAYER %d CIF=%s);\n" % (number, name))
    tlc = os.path.join(work, "tlc")
    os.makedirs(tlc)
    # Each symbol's own scale (1000 units per um in klayout's file); open polygons closed; texts with
    # klayout's height after the point.
    conv.run_program("wcalimp", {0: cif, 2: layers, 3: tlc, 4: "", 6: "Y", 9: UPRIGHT_TEXTS}, {6, 7, 8}, 13)
    back = os.path.join(work, "back.gds")
    conv.run_program("wstrmexp", {0: peer.find(tlc, "KTOP.TLC"), 1: back, 13: "N", 14: "N"},
                     {10, 11, 12, 13, 14}, 14)
    # Round wire ends (layer 7) come back square: the difference may only lie at the path ends.
    if peer.klayout("compare.py", a=gds, b=peer.find(work, "back.gds"), top="KTOP", loose_layers="7") != 0:
        sys.exit("the layout that came back differs from klayout's")


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("export", "klayout"):
        sys.exit(__doc__)
    work = os.path.abspath(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    conv = peer.Converter(Args(os.path.abspath(sys.argv[3])), work)
    if sys.argv[1] == "export":
        check_export(conv, work)
    else:
        check_klayout(conv, work)
    print("ok")


if __name__ == "__main__":
    main()
