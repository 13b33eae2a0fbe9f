"""A drawing folder whose CONSTS6.DBD holds the scale 0 and a unit name of 20 characters, through every
program that reads it: the editor (its Scale dialog, TLCout and TLCin), the flattener, layer logic,
the circuit extractor and the checker. Each says the scale is damaged and then computes and writes
exactly as in a twin folder whose file holds the scale 20 and the unit cut to the 5 characters every
program keeps.

usage: scale_e2e.py SUITE_FOLDER EXTRACT_FIXTURE WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, find_any_case  # noqa: E402

SUITE, FIXTURE, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
checks = Checks()
expect = checks.expect

LONG_UNIT = "abcdefghijklmnopqrst"
# The scale and unit lines of each twin.
HEADS = {"good": ("20", LONG_UNIT[:5]), "bad": ("0", LONG_UNIT)}
DAMAGED = "CONSTS6.DBD Scale is Damaged ... Using 20"


def run(program, folder, name, script, *args):
    """One scripted run of PROGRAM in FOLDER with ARGS; its exit status and log."""
    path, log = os.path.join(WORK, name + ".script"), os.path.join(WORK, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    env = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=folder,
               MERO_NOW="2024-03-07 13:05:59")
    try:
        status = subprocess.run([os.path.join(SUITE, program)] + list(args), cwd=folder, env=env, timeout=120,
                                stderr=subprocess.DEVNULL).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    return status, open(log).read() if os.path.exists(log) else ""


def read(folder, name):
    with open(find_any_case(folder, name), "rb") as f:
        return f.read()


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# The whole file a fresh drawing folder gets from the editor, for the editor to accept it.
base = os.path.join(WORK, "base")
os.makedirs(base)
run("wmero", base, "base", "answer CELL press cancel\nwait\nquit\n")
FULL = read(base, "CONSTS6.DBD").decode("latin-1").split("\r\n")


def damage(folder, twin):
    """Lines 2 and 3 of the folder's CONSTS6.DBD as the twin has them (the editor writes the file back)."""
    lines = list(FULL)
    lines[1], lines[2] = HEADS[twin]
    for entry in os.listdir(folder):
        if entry.upper() == "CONSTS6.DBD":
            os.remove(os.path.join(folder, entry))
    with open(os.path.join(folder, "CONSTS6.DBD"), "w", newline="") as f:
        f.write("\r\n".join(lines))


def told(log, caption):
    return 'box "%s" "%s"' % (caption, DAMAGED) in log


def same_files(what, a, b, names):
    for name in names:
        expect("%s: %s as with the scale 20" % (what, name), read(a, name) == read(b, name),
               "%s\n---\n%s" % (read(a, name), read(b, name)))


# The extractor's small cells (CAPS, SHORTS and LINES each place the transistor NMOS), written at 1
# database unit a micron; each program run gives the twin its own head first.
folders = {}
for twin in HEADS:
    folder = os.path.join(WORK, twin)
    subprocess.run([FIXTURE, folder, "1", "checked"], check=True)
    folders[twin] = folder
good, bad = folders["good"], folders["bad"]


def each(program, name, script, bad_boxes=1):
    """The script in both twins, the bad one answering its extra boxes first; both logs."""
    logs = {}
    for twin, folder in folders.items():
        damage(folder, twin)
        prefix = "box ok\n" * bad_boxes if twin == "bad" else ""
        status, logs[twin] = run(program, folder, "%s-%s" % (name, twin), prefix + script)
        expect("%s %s ends 0" % (name, twin), status == 0, logs[twin])
    return logs["good"], logs["bad"]


# ---- The editor: the Scale dialog shows what it works with; TLCout writes it into every header ----
logs = {}
for twin, folder in folders.items():
    damage(folder, twin)
    boxes = "box ok\n" * (4 if twin == "bad" else 2)
    status, logs[twin] = run("wmero", folder, "editor-" + twin,
                             boxes + "answer CELL press cancel\nanswer SYSTEM press 2003 press 3001 press 1015\n"
                             "answer SCALE press cancel\n"
                             'answer TLCOUT set 1055 "../%s-tlc" press ok\ncommand 13\nwait\nquit\n' % twin)
    expect("editor %s ends 0" % twin, status == 0, logs[twin])
    expect("editor %s shows the scale 20 and the cut unit" % twin,
           'item SCALE 1025 "20"' in logs[twin] and 'item SCALE 1024 "abcde"' in logs[twin], logs[twin])
    expect("TLCOUT %s completes" % twin, 'box "TLCOUT" "Conversion Complete ... 4 Cells"' in logs[twin], logs[twin])
expect("editor tells the damaged scale", told(logs["bad"], "MERO") and told(logs["bad"], "TLCOUT"), logs["bad"])
expect("nothing told of a sound scale", DAMAGED not in logs["good"], logs["good"])
good_tlc, bad_tlc = os.path.join(WORK, "good-tlc"), os.path.join(WORK, "bad-tlc")
same_files("TLCOUT", bad_tlc, good_tlc, ["CAPS.TLC", "NMOS.TLC", "CELLS.REF"])
header = read(bad_tlc, "CAPS.TLC").split(b"\r\n")
expect("TLC header holds the scale 20 and the unit as kept", header[4:6] == [b"20", b"abcde"], header[:10])

# A cell saved in (a copy of) the bad twin writes the scale it worked with back: the folder is mended.
saved = os.path.join(WORK, "saved")
shutil.copytree(bad, saved)
damage(saved, "bad")
status, log = run("wmero", saved, "editor-save", "box ok\nwait\ncommand 14\nwait\nquit\n", "CAPS")
expect("saved settings hold the scale 20 and the unit as kept",
       read(saved, "CONSTS6.DBD").split(b"\r\n")[:3] == [b"6.05", b"20", b"abcde"], read(saved, "CONSTS6.DBD")[:40])

# ---- TLCin into an empty drawing of each twin: the TLC files' scale and unit agree with it --------
for twin in HEADS:
    into = os.path.join(WORK, "into-" + twin)
    shutil.copytree(base, into)
    damage(into, twin)
    boxes = "box ok\n" * (4 if twin == "bad" else 2)
    status, log = run("wmero", into, "tlcin-" + twin,
                      boxes + "answer CELL press cancel\nanswer SYSTEM press 3000 press 1015\n"
                      'answer TLCIN set 1057 "../good-tlc" press ok\ncommand 13\nwait\nquit\n')
    expect("TLCIN %s completes without a scale mismatch" % twin,
           status == 0 and "Different Scales!" not in log and 'box "TLCIN" "Conversion Complete ... 4 Cells"' in log,
           log)
    expect("TLCIN %s tells only a damaged scale" % twin, told(log, "TLCIN") == (twin == "bad"), log)
same_files("TLCIN", os.path.join(WORK, "into-bad"), os.path.join(WORK, "into-good"),
           ["CAPS.BP6", "CAPS.CL6", "NMOS.BP6"])

# ---- The flattener's flat file ----------------------------------------------------------------------
good_log, bad_log = each("wplaner", "planer", 'answer SETUP set 100 "CAPS" check 103 0 press ok\n'
                         "command 12\nwait\nbox ok\ncommand 13\nwait\nquit\n")
expect("flattener tells the damaged scale", told(bad_log, "PLANER") and not told(good_log, "PLANER"), bad_log)
same_files("flattener", os.path.join(bad, "FLAT"), os.path.join(good, "FLAT"), ["CAPS.TLC"])
flat = read(os.path.join(bad, "FLAT"), "CAPS.TLC")
expect("flat header holds the scale 20 and the unit as kept", b"\r\n20\r\nabcde\r\n" in flat, flat[-200:])

# ---- Layer logic: its output's header, its report and set-up in user units --------------------------
good_log, bad_log = each("wmeroll", "layerlogic",
                         'answer SETUP set 1000 "caps" set 1001 "out" set 1005 "0.05" check 1052 1 press 1014 press ok\n'
                         "answer RNDOFF press 5\ncommand 12\nwait\nbox ok\ncommand 13\nwait\nquit\n")
expect("layer logic tells the damaged scale", told(bad_log, "MEROLL") and not told(good_log, "MEROLL"), bad_log)
same_files("layer logic", bad, good, ["OUT.TLC", "MEROLL.RPT", "Meroll.su6"])
report = read(bad, "MEROLL.RPT")
expect("layer logic reports lengths at the scale 20", b"Map Resolution= 0.05abcde" in report, report)

# ---- The extractor: the capacitances divide by the scale twice ----------------------------------------
TRACE = ('answer TRACE set 300 "1" set 301 "3" set 310 "2" set 305 "0.0002" set 306 "0.0001" check 320 1 '
         'press ok\n')
good_log, bad_log = each("wmerockt", "extractor", 'answer SETUP1 set 100 "CAPS" check 120 0 press ok\n' + TRACE +
                         "command 13\nwait\ncommand 14\nwait\nbox ok\ncommand 16\nwait\nquit\n")
expect("extractor tells the damaged scale", told(bad_log, "MEROCKT") and not told(good_log, "MEROCKT"), bad_log)
same_files("extractor", bad, good, ["CAPS.CIR", "CAPS.NOD"])
expect("capacitance at the scale 20", b"C_D D 0 1.1e-05pF" in read(bad, "CAPS.CIR"), read(bad, "CAPS.CIR"))

# ---- The checker: its report and set-up in user units with the unit name ------------------------------
for folder in folders.values():
    with open(os.path.join(folder, "RULES.DRC"), "w", newline="") as f:
        f.write("TITLE=Metal width\r\nRESOLUTION=0.1\r\nDISTANCE=0.3\r\nOPERATORS={\r\nMAP,3\r\nPUSH,3\r\nNOTR\r\n"
                "GAGR\r\nTESTR\r\n}\r\n")
good_log, bad_log = each("wmerodrc", "checker",
                         'answer SETUP set 100 "CAPS" set 101 "rules" set 103 "9" set 109 "-2" set 110 "-2" '
                         'set 111 "2" set 112 "2" press ok\ncommand 13\nbox ok\ncommand 14\nquit\n')
expect("checker tells the damaged scale", told(bad_log, "MERODRC") and not told(good_log, "MERODRC"), bad_log)
same_files("checker", bad, good, ["MERODRC.RPT", "Merodrc.su6"])
report = read(bad, "MERODRC.RPT")
expect("checker reports lengths with the unit as kept", b"Resolution= 0.1abcde" in report, report)

checks.finish("every program reads the damaged scale as 20 and says so")
