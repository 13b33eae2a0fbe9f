"""Data at the edges, through the programs: TLCin of a TLC file that is empty, holds no record or cannot
be read keeps the old cell; a drawing folder that cannot be written is told at the opening and each
failed save names its files and why; a field value longer than its field is refused; a check file
with no check is an error.

usage: edges_e2e.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import stat
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, find_any_case, quoted, run_program, write_crlf  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect

# Root writes wherever it likes; without the override a read-only folder or file holds for it as for
# any user.
AS_USER = ["setpriv", "--bounding-set", "-dac_override,-dac_read_search"] if os.geteuid() == 0 else []


def run(program, folder, name, script, *args, as_user=False):
    """One scripted run in FOLDER; its exit status and log (both kept in WORK)."""
    command = [os.path.join(SUITE, program)] + list(args)
    if as_user:
        command = AS_USER + command
    return run_program(command[0], WORK, name, script, cwd=folder, args=command[1:], quiet=True,
                       XDG_RUNTIME_DIR=WORK, MERO_NOW="2024-03-07 13:05:59")


def read(folder, name):
    with open(find_any_case(folder, name), "rb") as f:
        return f.read()


def files(folder):
    return {name.upper(): read(folder, name) for name in os.listdir(folder) if os.path.isfile(os.path.join(folder, name))}


def boxes(log):
    return [line for line in log.splitlines() if line.startswith("box ")]


def tlc_cell(name, rank, box, uses=()):
    text = "=H\n%s\n6.0\n6.0\n20\num\n03/07/24\n13:05:59\n%d 0 0 0 0\n1 0 0 %d\n=B\n1 %s\n" % (
        name, rank, len(uses), box)
    return text + "".join("=C\n%s\n0 0 0 0\n" % u for u in uses)


def tlc_folder(name, cells, listed=None):
    """A folder of TLC files (CELLS maps a name to its text or bytes) with a CELLS.REF of LISTED."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    for cell, text in cells.items():
        if isinstance(text, bytes):
            with open(os.path.join(folder, cell + ".TLC"), "wb") as f:
                f.write(text)
        else:
            write_crlf(os.path.join(folder, cell + ".TLC"), text)
    listed = listed if listed is not None else list(cells)
    write_crlf(os.path.join(folder, "CELLS.REF"), "%d\n" % len(listed) + "".join("%s\n1\n" % c for c in listed))
    return folder


def tlcin(folder, name, source, cell="", answers=""):
    return run("wmero", folder, name, "answer CELL press cancel\nanswer SYSTEM press 3000 press 1015\n"
               "answer TLCIN set 1057 %s set 1056 %s press ok\n" % (quoted(source), quoted(cell)) + answers +
               "box ok\n" * 4 + "command 13\nwait\nquit\n", as_user=True)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# A drawing of LOW and TOP (which places LOW), brought in by TLCin.
drawing = os.path.join(WORK, "drawing")
os.makedirs(drawing)
run("wmero", drawing, "fresh", "answer CELL press cancel\nwait\nquit\n")
good = tlc_folder("good", {"LOW": tlc_cell("LOW", 1, "0 0 10 10"), "TOP": tlc_cell("TOP", 2, "0 0 50 50", ["LOW"])})
status, log = tlcin(drawing, "good", "../good")
expect("the drawing made", 'box "TLCIN" "Conversion Complete ... 2 Cells"' in log, log)
before = files(drawing)

# ---- TLCin keeps the old cell for a TLC file that gives no cell ------------------------------------
NEW_LOW = tlc_cell("LOW", 1, "5 5 20 20")
for case, top, message in (
        ("zero bytes", b"", "TOP.TLC is Empty"),
        ("no record", "\n\njust some text\n", "TOP.TLC is Empty"),
        ("unreadable", tlc_cell("TOP", 2, "0 0 90 90", ["LOW"]), "TOP.TLC Cannot be Read")):
    name = case.replace(" ", "-")
    source = tlc_folder("src-" + name, {"LOW": NEW_LOW, "TOP": top}, ["TOP", "LOW"])
    if case == "unreadable":
        os.chmod(os.path.join(source, "TOP.TLC"), 0)
    into = os.path.join(WORK, "into-" + name)
    shutil.copytree(drawing, into)
    status, log = tlcin(into, name, "../src-" + name)
    expect("%s: TOP refused" % case, 'box "TLCIN" "%s"' % message in log, log)
    expect("%s: the run is no success" % case, 'box "TLCIN" "Some Error Occurred ... Conversion may be Incorrect"'
           in log and "Conversion Complete" not in log, log)
    after = files(into)
    expect("%s: TOP's files and row stay" % case,
           after["TOP.BP6"] == before["TOP.BP6"] and after["TOP.CL6"] == before["TOP.CL6"]
           and b"TOP\r\n2 0 0 50 50 1 0 0 1" in after["CELLS6.DBD"], after["CELLS6.DBD"])
    expect("%s: LOW converted all the same" % case, after["LOW.BP6"] != before["LOW.BP6"])

# A lesser cell whose file is empty, with Yes to replacing the lesser cells: LOW stays.
source = tlc_folder("src-lesser", {"LOW": b"", "TOP": tlc_cell("TOP", 2, "0 0 70 70", ["LOW"])})
into = os.path.join(WORK, "into-lesser")
shutil.copytree(drawing, into)
status, log = tlcin(into, "lesser", "../src-lesser", cell="TOP", answers="box yes\n")
after = files(into)
expect("lesser: LOW refused, TOP converted", 'box "TLCIN" "LOW.TLC is Empty"' in log
       and after["LOW.BP6"] == before["LOW.BP6"] and after["TOP.BP6"] != before["TOP.BP6"], log)

# ---- A drawing folder that cannot be written ----------------------------------------------------
ADD_AND_QUIT = ('post 34 10 0\nwait\nanswer LYRTABLE set 1344 "1-64" press ok\npost 1025 61 0\nwait\n'
                'answer LYRTABLE set 1344 "1-64" press ok\npost 1025 62 0\nwait\n'
                'answer CMD press 1172\nanswer MACRO set 1171 "Add 0 0 30 30\\n" press ok\npost 1025 77 0\nwait\n'
                "quit\n")
writable = os.path.join(WORK, "writable")
shutil.copytree(drawing, writable)
status, log = run("wmero", writable, "writable", "box ok\nbox ok\nbox ok\n" + ADD_AND_QUIT, "TOP", as_user=True)
expect("a writable drawing: no box, the Add saved", status == 0 and not boxes(log)
       and files(writable)["TOP.BP6"] != before["TOP.BP6"], "%s\n%s" % (status, log))

readonly = os.path.join(WORK, "readonly")
shutil.copytree(drawing, readonly)
for name in os.listdir(readonly):
    os.chmod(os.path.join(readonly, name), 0o444)
os.chmod(readonly, 0o555)
status, log = run("wmero", readonly, "readonly", "box ok\nbox ok\nbox ok\n" + ADD_AND_QUIT, "TOP", as_user=True)
os.chmod(readonly, 0o755)
told = boxes(log)
expect("told at the opening", told[:1] == ['box "MERO" "Drawing Folder %s Cannot be Written (Permission denied) ... '
                                           'Changes will not be Saved"' % readonly], "\n".join(told))
saves = [b for b in told if "File Error" in b]
expect("the failed save names its files and why", len(saves) == 2 and "Unable to Write" in saves[0]
       and "%s/Cells6.dbd (Permission denied)" % readonly in saves[0] and "Consts6.dbd (Permission denied)" in saves[0]
       and "%s/Top.bp6 (Permission denied)" % readonly in saves[1] and 'box "" ' not in log, "\n".join(told))
expect("the lost edit ends the run in failure", status == 1, status)
expect("the folder as it was", files(readonly) == before, sorted(files(readonly)))

# ---- The checker with a check file that holds no check -----------------------------------------
checker = os.path.join(WORK, "checker")
shutil.copytree(drawing, checker)
RULE = "TITLE=Width\nRESOLUTION=0.5\nDISTANCE=2\nOPERATORS={\n  MAP,1\n  PUSH,1\n  NOTR\n  GAGR\n  TESTR\n}\n"
PNG = b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 4
for case, data, start, told in (
        ("one check", RULE, "1", None),
        ("an empty file", "", "1", "No Check in Check File EMPTY.DRC"),
        ("a picture", PNG, "1", "No Check in Check File EMPTY.DRC"),
        ("no operators", "TITLE=Width\nRESOLUTION=0.5\n", "1", "No Check in Check File EMPTY.DRC"),
        ("a start past the last check", RULE, "3", "No Check from Start Check 3 to Finish Check 3")):
    with open(os.path.join(checker, "EMPTY.DRC"), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())
    status, log = run("wmerodrc", checker, "drc-" + case.replace(" ", "-"),
                      'answer SETUP set 100 "top" set 101 "empty" set 102 "%s" set 103 "%s" set 109 "0" set 110 "0" '
                      'set 111 "60" set 112 "60" press ok\ncommand 13\nbox ok\nbox ok\ncommand 14\nwait\nquit\n'
                      % (start, start))
    told_boxes = boxes(log)
    if told is None:
        expect("%s: a clean run" % case, told_boxes == ['box "MERODRC" "Completed ... 0 Total Flags"'], log)
    else:
        expect("%s: no clean run" % case, told_boxes == ['box "MERODRC" "%s"' % told,
                                                         'box "MERODRC" "Aborted ... DRC may be Incomplete"'],
               "\n".join(told_boxes))

# ---- A field value longer than its field is refused whole, never cut ---------------------------
out = os.path.join(WORK, "tlcout")
shutil.copytree(drawing, out)
TLCOUT = ("answer CELL press cancel\nanswer SYSTEM press 3001 press 1015\nanswer TLCOUT set 1055 %s press ok\n"
          "box ok\nbox ok\ncommand 13\nwait\nquit\n")
fits = "../" + "f" * 60  # the 63 characters the field holds
status, log = run("wmero", out, "tlcout-fits", TLCOUT % quoted(fits))
expect("a destination of 63 characters is written", status == 0 and
       'box "TLCOUT" "Conversion Complete ... 2 Cells"' in log and os.path.isdir(os.path.join(WORK, "f" * 60)), log)
for program, folder, script in (
        ("wmero", out, TLCOUT % quoted("../" + "g" * 61)),
        ("wmerodrc", checker, 'answer SETUP set 101 %s press ok\ncommand 13\nwait\nquit\n' % quoted("r" * 65))):
    status, log = run(program, folder, program + "-long", script)
    expect("%s: the long value fails the script line, nothing runs" % program,
           status == 2 and "Conversion" not in log and not any(n.startswith("gg") for n in os.listdir(WORK)),
           "%s\n%s" % (status, log))
expect("the checker keeps its setting", "R" * 63 not in open(find_any_case(checker, "Merodrc.su6")).read())

checks.finish("PASSED: data at the edges")
