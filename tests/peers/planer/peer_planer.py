"""The flattener against klayout: a drawing with a device in all eight orientations, placed turned
and mirrored, is smashed by wplaner; the hierarchy (the same cells as TLC files) and the smashed
cell both go through wstrmexp to GDSII, and klayout flattens the hierarchy and compares it with the
smashed cell layer by layer (empty XOR) and text by text (string, place, rotation, mirror).

usage: peer_planer.py SUITE_FOLDER PLANER_FIXTURE WORK_FOLDER
"""
import os
import shutil
import sys

SUITE, FIXTURE, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
HERE = os.path.dirname(os.path.abspath(__file__))
COMPARE = os.path.join(HERE, "..", "gds", "compare.py")
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from scripted_program import field_path, run_step as run  # noqa: E402


def program(name, setup, go, cwd):
    script = os.path.join(WORK, name + ".script")
    log = os.path.join(WORK, name + ".log")
    with open(script, "w") as f:
        f.write("answer SETUP %s press ok\ncommand 12\nwait\n" % setup)
        f.write("box ok\n" * 20)
        f.write("command %d\nwait\nquit\n" % go)
    env = dict(os.environ, MERO_SCRIPT=script, MERO_LOG=log, QT_QPA_PLATFORM="offscreen")
    status = run([os.path.join(SUITE, name)], cwd=cwd, env=env).returncode
    text = open(log).read() if os.path.exists(log) else ""
    if status != 0 or '"Completed ...' not in text:
        print(text)
        sys.exit("%s did not complete (status %s)" % (name, status))


def export(tlc, gds):
    program("wstrmexp", 'set 100 "%s" set 101 "%s"' % (field_path(tlc, WORK), field_path(gds, WORK)),
            14, WORK)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
draw = os.path.join(WORK, "draw")
if run([FIXTURE, draw]).returncode != 0:
    sys.exit("fixture not made")
program("wplaner", 'set 100 "TOP" set 101 "FLAT" check 103 0', 13, draw)
export(os.path.join(draw, "hier", "TOP.TLC"), os.path.join(WORK, "hier.gds"))
export(os.path.join(draw, "FLAT", "TOP.TLC"), os.path.join(WORK, "flat.gds"))
gds = {name.upper(): os.path.join(WORK, name) for name in os.listdir(WORK)}
status = run(["klayout", "-b", "-r", COMPARE, "-rd", "a=" + gds["HIER.GDS"], "-rd", "b=" + gds["FLAT.GDS"],
              "-rd", "top=TOP", "-rd", "hierarchy=0"]).returncode
if status != 0:
    sys.exit("the smashed cell differs from the flattened hierarchy")
print("the smashed cell equals the flattened hierarchy")
