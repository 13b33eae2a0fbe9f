"""Every program's windows open inside the screen's available area, on screens of several sizes and
at an offset, and each main window looks at its opening size as its kept picture shows it.

windows_e2e.py SUITE_DIR DEMO_DIR CHECK_FILE WORK_DIR
MERO_UPDATE_PICTURES=1 writes the kept pictures anew (look at them before committing them)."""
import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, run_program  # noqa: E402

suite, demo, check_file, work = sys.argv[1:5]
pictures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures")
update = os.environ.get("MERO_UPDATE_PICTURES") == "1"
checks = Checks()
expect = checks.expect

# (name, x, y, width, height): the one the issue was seen on, a small one, one not at the origin
SCREENS = [("1280x1024", 0, 0, 1280, 1024), ("800x600", 0, 0, 800, 600), ("offset", 300, 200, 1024, 768)]

PLACE = re.compile(r'^place "((?:[^"\\]|\\.)*)" (-?\d+) (-?\d+) (-?\d+) (-?\d+) in (-?\d+) (-?\d+) (-?\d+) (-?\d+)$')


def drawing(folder, utility=True):
    """A copy of the demo drawing with the example check file; a utility's also with the head of the
    settings (the editor writes them whole itself)."""
    shutil.copytree(demo, folder)
    os.replace(os.path.join(folder, "Cells6.dbd"), os.path.join(folder, "CELLS6.DBD"))
    if utility:
        with open(os.path.join(folder, "CONSTS6.DBD"), "w", newline="") as f:
            f.write("6.05\r\n20\r\num\r\n")
    shutil.copy(check_file, os.path.join(folder, "DEMO.DRC"))
    return folder


HELP = os.path.join(suite, "MERO60.HPV")
DRC_GO = ('answer SETUP set 100 "TOP" set 101 "demo" set 103 "9" set 109 "-40" set 110 "-30" set 111 "150" '
          'set 112 "80" press ok\ncommand 13\nbox ok\ncommand 14\n')

# (program, arguments, script before the snapshot, script after it, windows the run must open).
# The font-table maker and the installer are their first dialog, which ends them: they have no
# picture of their main window.
MAIN_WINDOWS = [
    (p, [], "", "", [p[1:].upper()]) for p in ("wstrmexp", "wstrmimp", "wcalexp", "wcalimp", "wxchexp", "wxchimp",
                                               "wmerouue", "wmerodrc", "wmeroll", "wmerockt", "wplaner")
] + [
    ("wglyphmk", [], "answer TFFDLG press 1003\n", None, ["GlyphMk", "TFFDLG"]),
    ("setup", [], "box ok\nanswer README press cancel\n", None, ["SETUP 6.0", "BOX", "README"]),
    # without a topic: the topic lists open over the window from Topics
    ("whpv", [HELP], "", "answer LISTER press cancel\ncommand 12\n", ["HPV", "LISTER"]),
    ("wmero", [], "answer CELL press cancel\n", "", ["MERO", "CELL"]),
]

# Runs that open the windows the issue names: the text of a topic (as F1 in the editor opens it),
# and the checker's progress window and map viewer.
OTHER_RUNS = [
    ("whpv", [HELP, "Getting Started/The Editor"], "answer HELPER press 1\n", ["HELPER"]),
    ("wmerodrc", [], DRC_GO, ["DISPLAY", "BOX"]),
    ("wmerodrc", [], "answer OPENFILE set 100 \"TOP_2_1.PCX\" press ok\nanswer VIEWER press ok\ncommand 12\n",
     ["VIEWER"]),
]


def screen_config(name, x, y, width, height):
    path = os.path.join(work, "screen-%s.json" % name)
    with open(path, "w") as f:
        json.dump({"screens": [{"name": name, "x": x, "y": y, "width": width, "height": height,
                                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}, f)
    return "offscreen:configfile=" + path


def check_places(what, log, screen, names):
    _, x, y, width, height = screen
    area = (x, y, x + width, y + height)
    seen = set()
    for line in log.splitlines():
        m = PLACE.match(line)
        if not m:
            continue
        name = m.group(1)
        seen.add(name)
        l, t, r, b, al, at, ar, ab = map(int, m.groups()[1:])
        expect("%s: %s lies inside the screen's available area" % (what, name),
               (al, at, ar, ab) == area and al <= l < r <= ar and at <= t < b <= ab, line)
    for name in names:
        expect("%s: %s opened and was placed" % (what, name), name in seen, log)


def run(what, program, args, script, folder, screen):
    status, log = run_program(os.path.join(suite, program), folder, re.sub(r"\W+", "_", what), script, args=args, quiet=True,
                              QT_QPA_PLATFORM=screen_config(*screen), MERO_LOG_PLACES="1")
    expect("%s ends cleanly" % what, status == 0, "status %s\n%s" % (status, log))
    return log


def same_picture(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


os.makedirs(work, exist_ok=True)
for screen in SCREENS:
    folder = os.path.join(work, screen[0])
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for program, args, before, after, names in MAIN_WINDOWS:
        what = "%s on %s" % (program, screen[0])
        place = drawing(os.path.join(folder, program), program != "wmero")
        snap = os.path.join(place, "main.png")
        shot = "" if after is None else "wait\nsnapshot main.png\n" + after
        log = run(what, program, args, before + shot + "quit\n", place, screen)
        check_places(what, log, screen, names)
        if after is None:
            continue
        expect("%s shows its main window" % what, os.path.exists(snap), log)
        if screen[0] != "1280x1024" or not os.path.exists(snap):
            continue
        kept = os.path.join(pictures, program + ".png")
        if update:
            os.makedirs(pictures, exist_ok=True)
            shutil.copy(snap, kept)
        expect("%s looks as its kept picture %s" % (what, kept), os.path.exists(kept) and same_picture(snap, kept),
               "compare %s with %s" % (snap, kept))
    place = drawing(os.path.join(folder, "named"))
    for i, (program, args, script, names) in enumerate(OTHER_RUNS):
        what = "%s run %d on %s" % (program, i, screen[0])
        check_places(what, run(what, program, args, script + "quit\n", place, screen), screen, names)

checks.finish("windows open inside the screen")
