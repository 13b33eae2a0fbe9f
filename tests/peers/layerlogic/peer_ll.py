"""Peer checks of wmeroll against klayout's Boolean operations.

The fixture drawing (tests/e2e/layerlogic/fixture.py) is read into a drawing folder and exported to
GDSII by wstrmexp; each case runs wmeroll headless over the whole top cell (Fit), exports the TLC
file it wrote with wstrmexp, and klayout compares that with the same operation on the fixture's
layers (compare_ll.py). Layers 3 and 4 hold only shapes on whole pixels: there the result must be
exact. Layers 1 and 2 hold slanted edges, whose pixels can only follow them to within a pixel:
there every part of the XOR must be narrower than two pixels.

usage: peer_ll.py SUITE_FOLDER DRAWING_MAKER WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "..", "e2e")
sys.path.insert(0, E2E)
sys.path.insert(0, os.path.join(E2E, "layerlogic"))
import fixture  # noqa: E402
from scripted_program import field_path, quoted, run_program  # noqa: E402

SUITE, MAKER, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
DRAW = os.path.join(WORK, "draw")
STEP_SECONDS = 300

# name (at most 8 characters: the exporter's cell names), layer A, layer B, operation (0 AND, 1 OR, 2 XOR), NOT A, NOT B, NOT output, polygons,
# map resolution (um), exact
CASES = [
    ("and", 1, 2, 0, 0, 0, 0, 0, "0.05", 0),
    ("or_poly", 1, 2, 1, 0, 0, 0, 1, "0.05", 0),
    ("xor", 1, 2, 2, 0, 0, 0, 0, "0.05", 0),
    ("b_not_a", 1, 2, 0, 1, 0, 0, 1, "0.05", 0),
    ("nor", 1, 2, 1, 0, 0, 1, 0, "0.05", 0),
    ("not_a", 1, 0, 0, 0, 0, 1, 0, "0.05", 0),
    ("xor_c", 1, 2, 2, 0, 0, 0, 1, "0.2", 0),
    ("m_xor", 3, 4, 2, 0, 0, 0, 0, "0.05", 1),
    ("m_or", 3, 4, 1, 0, 1, 0, 1, "0.1", 1),
    ("m_and", 3, 4, 0, 0, 0, 0, 1, "0.5", 1),
]
OUT_LAYER = 9


def step(cmd, **kw):
    print("+", " ".join(cmd), flush=True)
    try:
        return subprocess.run(cmd, timeout=STEP_SECONDS, **kw).returncode
    except subprocess.TimeoutExpired:
        sys.exit("%s did not end within %d s" % (cmd[0], STEP_SECONDS))


def completed(program, name, script, cwd):
    status, log = run_program(os.path.join(SUITE, program), WORK, name, script, cwd=cwd, timeout=STEP_SECONDS)
    if status != 0 or '"Completed ...' not in log:
        print(log)
        sys.exit("%s %s did not complete (status %s)" % (program, name, status))
    return log


def export(tlc, gds, name):
    completed("wstrmexp", name, "answer SETUP set 100 %s set 101 %s press ok\ncommand 12\nwait\n%s"
              "command 14\nwait\nquit\n" % (quoted(field_path(tlc, WORK)),
                                             quoted(field_path(gds, WORK)), "box ok\n" * 20), WORK)
    for entry in os.listdir(os.path.dirname(gds)):
        if entry.upper() == os.path.basename(gds).upper():
            return os.path.join(os.path.dirname(gds), entry)
    sys.exit("%s not written" % gds)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    tlc = os.path.join(WORK, "tlc")
    fixture.write(tlc)
    if step([MAKER, tlc, DRAW], stdout=subprocess.DEVNULL) != 0:
        sys.exit("drawing folder not made")
    fixture.consts(DRAW)
    source = export(os.path.join(tlc, "TOP.TLC"), os.path.join(WORK, "fixture.gds"), "export-fixture")
    failed = []
    for name, la, lb, op, na, nb, no, poly, res, exact in CASES:
        actions = ('set 1000 "top" set 1001 %s set 1002 "%d" set 1003 "%d" set 1004 "%d" set 1005 "%s" check %d 1 '
                   "check 1053 %d check 1054 %d check 1055 %d check 1056 %d press 1014"
                   % (quoted(name), la, lb, OUT_LAYER, res, 1050 + op, na, nb, no, poly))
        log = completed("wmeroll", name, fixture.setup_then_go(actions, "answer RNDOFF press 5\n"), DRAW)
        lines = open(os.path.join(DRAW, "Meroll.su6"), newline="").read().split("\r\n")
        window = ",".join(v[:-2] for v in lines[9:13])
        result = export(os.path.join(DRAW, name + ".TLC"), os.path.join(WORK, name + ".gds"), "export-" + name)
        args = {"source": source, "result": result, "top": "TOP", "a": la, "b": lb if lb else -1,
                "op": ["and", "or", "xor"][op], "nota": na, "notb": nb, "notout": no, "out": OUT_LAYER,
                "window": window, "pixel": res, "exact": exact}
        cmd = ["klayout", "-b", "-r", os.path.join(HERE, "compare_ll.py")]
        for k, v in args.items():
            cmd += ["-rd", "%s=%s" % (k, v)]
        if step(cmd) != 0:
            failed.append(name)
        if poly and "Poly" in log and "Completed ... " in log and " 0 Poly" in log:
            failed.append(name + " (no polygons made)")
    if failed:
        sys.exit("differences from klayout: %s" % ", ".join(failed))
    print("ok")


if __name__ == "__main__":
    main()
