"""Headless runs of setup: a whole install through the README pages and the three wizard pages with
the files, folders and menu items it leaves; Back on both pages that have it; the messages for a
source folder without suite archives, a drive that does not exist and a missing menu folder; Cancel
on README; Esc during the expansion; a sixth suite archive left out. Then the built suite itself:
its distribution archives made by install/make_distribution.sh, installed by setup, and the
installed editor opening the tutorial drawing.

usage: setup_e2e.py SUITE_FOLDER BUILD_FOLDER SOURCE_TREE WORK_FOLDER
"""
import fcntl
import filecmp
import os
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, field_path, quoted, run_program  # noqa: E402

SUITE, BUILD, SOURCE_TREE, WORK = sys.argv[1], sys.argv[2], sys.argv[3], os.path.abspath(sys.argv[4])
checks = Checks()
expect = checks.expect
PROGRAM = b"\x7fELF" + bytes(60)
START = "answer README press ok\nanswer README press ok\n"


def make_zip(path, members):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in members.items():
            z.writestr(name, data)


def zip_bytes(members):
    path = os.path.join(WORK, "tmp.zip")
    make_zip(path, members)
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data


def fresh(name):
    """A case folder with drives D (the source) and E (the target) and a user data folder."""
    root = os.path.join(WORK, name)
    shutil.rmtree(root, ignore_errors=True)
    for d in ("d/zips", "e", "data"):
        os.makedirs(os.path.join(root, d))
    return root


def standard_source(root, suite_archives=2):
    zips = os.path.join(root, "d", "zips")
    tutor = zip_bytes({"FORM.DBD": b"LAYER=METAL 1\r\n", "TOP.BP6": b"\0" * 24})
    chars = zip_bytes({"upright/CHAR065.TLC": b"=H A\r\n"})
    make_zip(os.path.join(zips, "MERO6A.ZIP"), {"wmero": PROGRAM, "whpv": PROGRAM, "Tutor.zip": tutor,
                                                "Chars.zip": chars})
    for i in range(1, suite_archives):
        make_zip(os.path.join(zips, "MERO6%s.ZIP" % chr(ord("A") + i)), {"F%d.DAT" % i: b"%d" % i})
    make_zip(os.path.join(zips, "PROJ1.ZIP"), {"CELLS6.DBD": b"1\r\n", "sub/": b""})
    make_zip(os.path.join(zips, "Other.zip"), {"CELLS6.DBD": b"2\r\n"})
    make_zip(os.path.join(zips, "Tutor.zip"), {"never.txt": b"not offered"})


def run(root, name, script, data=None, drives=True):
    env = {"XDG_DATA_HOME": data or os.path.join(root, "data")}
    if drives is True:
        env["MERO_DRIVES"] = "D=%s;E=%s" % (os.path.join(root, "d"), os.path.join(root, "e"))
    elif drives:
        env["MERO_DRIVES"] = drives
    return run_program(os.path.join(SUITE, "setup"), root, name, script, timeout=600, **env)


def entry(root, name):
    path = os.path.join(root, "data", "applications", "Mero 6.0", name + ".desktop")
    if not os.path.exists(path):
        return ""
    with open(path) as f:
        return f.read()


def command(path):
    """A program path as an Exec value holds it (desktop-file-validate checks the form)."""
    inner = "".join("\\" + c if c in '"`$\\' else c for c in path).replace("%", "%%")
    return 'Exec="%s"\n' % inner.replace("\\", "\\\\")


def boxes(log):
    return [line for line in log.splitlines() if line.startswith("box ")]


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
# Another editor of the same user runs meanwhile: its lock is in the session's runtime folder, which
# the programs run here must not share.
session = os.path.join(WORK, "session")
os.makedirs(session)
os.environ["XDG_RUNTIME_DIR"] = session
other_editor = open(os.path.join(session, "mero-%d-MERORUN.lock" % os.getuid()), "w")
fcntl.flock(other_editor, fcntl.LOCK_EX | fcntl.LOCK_NB)

# A whole install: the source folder typed without its backslash, the character files checked, the
# second additional archive checked on the third page.
# A folder name with a blank and a dollar sign, which the menu items' commands have to quote.
root = fresh("whole $1")
standard_source(root)
status, log = run(root, "whole", START +
                  'answer SETUPDLG1 set 1000 "D:zips" set 1001 "e" press ok\n'
                  "answer SETUPDLG2 check 1009 1 press ok\n"
                  "answer SETUPDLG3 check 1013 1 press ok\nwait\nquit\n")
expect("whole install ends 0", status == 0, log)
expect("no message box", not boxes(log), "\n".join(boxes(log)))
expect("page 2 leads on to page 3", 'item SETUPDLG2 1 "Next >"' in log, log)
expect("page 3 offers the two drawing archives, not Tutor.zip",
       'item SETUPDLG3 1012 "Other.zip"' in log and 'item SETUPDLG3 1013 "Proj1.zip"' in log
       and 'item SETUPDLG3 1014 ""' in log and "Tutor.zip\"" not in log.split("dialog SETUPDLG3")[1].split("dialog DISPLAY")[0],
       log)
suite = os.path.join(root, "e", "Mero6")
for rel in ("Wmero", "Whpv", "F1.dat", "Tutor/Form.dbd", "Tutor/Top.bp6", "Chars/Upright/Char065.tlc",
            "Proj1/Cells6.dbd"):
    expect("installed " + rel, os.path.isfile(os.path.join(suite, rel)), "\n".join(sorted(os.listdir(suite))))
expect("Proj1's folder member made", os.path.isdir(os.path.join(suite, "Proj1", "Sub")))
expect("the unchecked archive left out", not os.path.exists(os.path.join(suite, "Other")))
expect("programs are executable", os.access(os.path.join(suite, "Wmero"), os.X_OK))
expect("the progress list's lines", 'item DISPLAY 501 "wmero ... OK"' in log and
       'item DISPLAY 1010 "10 Files Installed"' in log, log)
for name, folder in (("Tutor", "Tutor"), ("Chars", "Chars"), ("Proj1", "Proj1")):
    text = entry(root, name)
    expect(name + " menu item", command(suite + "/Wmero") in text and ("Path=%s/%s\n" % (suite, folder)) in text
           and "Comment=MERO Drawing\n" in text, text)
help_item = entry(root, "Mero Help")
expect("help menu item", command(suite + "/Whpv") in help_item and ("Path=%s\n" % suite) in help_item,
       help_item)
validate = shutil.which("desktop-file-validate")
if validate:
    for name in ("Tutor", "Proj1", "Mero Help"):
        path = os.path.join(root, "data", "applications", "Mero 6.0", name + ".desktop")
        r = subprocess.run([validate, path], capture_output=True, text=True)
        expect("desktop-file-validate accepts " + name, r.returncode == 0 and "error" not in r.stdout, r.stdout)

# Back: from page 2 to page 1, from page 3 to page 2; then Cancel installs nothing.
root = fresh("back")
standard_source(root)
status, log = run(root, "back", START +
                  'answer SETUPDLG1 set 1000 "D:\\\\zips" set 1001 "E:" press ok\n'
                  "answer SETUPDLG2 press 1002\n"
                  "answer SETUPDLG1 press ok\n"
                  "answer SETUPDLG2 press ok\n"
                  "answer SETUPDLG3 check 1012 1 press 1002\n"
                  "answer SETUPDLG2 press ok\n"
                  "answer SETUPDLG3 press cancel\nwait\nquit\n")
dialogs = [line for line in log.splitlines() if line.startswith("dialog SETUPDLG")]
expect("back ends 0", status == 0, log)
expect("pages in order", dialogs == ["dialog SETUPDLG1", "dialog SETUPDLG2", "dialog SETUPDLG1", "dialog SETUPDLG2",
                                     "dialog SETUPDLG3", "dialog SETUPDLG2", "dialog SETUPDLG3"], "\n".join(dialogs))
expect("the source shown again as made", log.count('item SETUPDLG1 1000 "D:\\zips\\"') == 1, log)
expect("a check survives Back", log.split("dialog SETUPDLG3")[2].count('item SETUPDLG3 1012 "Other.zip"') == 1, log)
expect("nothing installed after Cancel", not os.listdir(os.path.join(root, "e")))

# No suite archive, a drive that does not exist.
for name, fields, message in (
        ("nosuite", 'set 1000 "D:\\\\" set 1001 "E:"', "Mero6*.ZIP is NOT in the Source Directory"),
        ("nodrive", 'set 1000 "D:zips" set 1001 "Q:"', "Drive Q: Does NOT Seem to Exist")):
    root = fresh(name)
    standard_source(root)
    status, log = run(root, name, START + "answer SETUPDLG1 %s press ok\nbox ok\nbox ok\nwait\nquit\n" % fields)
    expect(name + ": a failed job, exit 1", status == 1, log)
    expect(name + " says so", boxes(log) == ['box "SETUP 6.0" "%s"' % message,
                                             'box "SETUP 6.0" "Fatal Error Occured ... Check Cause and Run SETUP Again."'],
           log)
    expect(name + " stops before page 2", "dialog SETUPDLG2" not in log, log)
    expect(name + " installs nothing", not os.listdir(os.path.join(root, "e")))

# No menu folder: the files are installed, no menu items are made.
root = fresh("nomenu")
standard_source(root)
status, log = run(root, "nomenu", "box ok\n" + START + 'answer SETUPDLG1 set 1000 "D:zips" set 1001 "E:" press ok\n'
                  "answer SETUPDLG2 press ok\nanswer SETUPDLG3 check 1013 1 press ok\nwait\nquit\n",
                  data=os.path.join(root, "no-such-folder"))
expect("nomenu ends 0", status == 0, log)
expect("nomenu says so first", boxes(log) == ['box "SETUP 6.0" "Start Menu Folder not Found in Registry ... Start Menu '
                                              'Items will not be Created"'], log)
expect("nomenu README says no items", "no menu items will be made" in log, log)
expect("nomenu installs", os.path.isfile(os.path.join(root, "e", "Mero6", "Proj1", "Cells6.dbd")))
expect("nomenu makes no items", not os.path.exists(os.path.join(root, "no-such-folder")))

# Cancel on README.
root = fresh("readme")
standard_source(root)
status, log = run(root, "readme", "answer README press cancel\nwait\nquit\n")
expect("README cancel ends 0 before the pages", status == 0 and "dialog SETUPDLG1" not in log, log)

# Esc during the expansion: the first member's pause is cancelled.
root = fresh("abort")
standard_source(root)
status, log = run(root, "abort", START + 'answer SETUPDLG1 set 1000 "D:zips" set 1001 "E:" press ok\n'
                  "answer SETUPDLG2 press ok\nanswer SETUPDLG3 check 1013 1 press ok\n"
                  "answer PAUSE press cancel\nbox ok\nwait\nquit\n")
expect("abort: a failed job, exit 1", status == 1, log)
expect("abort says so", boxes(log) == ['box "SETUP 6.0" "Aborted ... Installation May Not be Complete"'], log)
expect("abort leaves the rest", not os.path.exists(os.path.join(root, "e", "Mero6", "Proj1")))

# Six suite archives: the first five by name are installed.
root = fresh("six")
standard_source(root, suite_archives=6)
status, log = run(root, "six", START + 'answer SETUPDLG1 set 1000 "D:zips" set 1001 "E:" press ok\n'
                  "answer SETUPDLG2 press ok\nanswer SETUPDLG3 press ok\nwait\nquit\n")
installed = sorted(os.listdir(os.path.join(root, "e", "Mero6")))
expect("five suite archives", "F4.dat" in installed and "F5.dat" not in installed, "\n".join(installed))

# The built suite: its distribution archives, installed into a folder, and the installed editor on
# the tutorial drawing.
root = fresh("real")
dist = os.path.join(root, "dist")
r = subprocess.run([os.path.join(SOURCE_TREE, "install", "make_distribution.sh"), BUILD, dist, SOURCE_TREE],
                   capture_output=True, text=True)
expect("distribution archives made", r.returncode == 0, r.stdout + r.stderr)
target = os.path.join(root, "opt")
os.makedirs(target)
# A build without the editor has no demo drawing to make the tutorial of.
with_tutor = os.path.isdir(os.path.join(BUILD, "demo"))
# The source typed relative to the start folder and the target as a drive of its own, so the 63-character
# fields hold them wherever the checkout lies; the menu items must still name the folders in full.
status, log = run(root, "real", START + "answer SETUPDLG1 set 1000 %s set 1001 \"T:\" press ok\n"
                  % quoted(field_path(dist, root)) +
                  "answer SETUPDLG2 check 1004 %d check 1009 1 press ok\nwait\nquit\n" % with_tutor,
                  drives="T=" + target)
expect("real install ends 0", status == 0 and not boxes(log), log[-3000:])
suite = os.path.join(target, "Mero6")
for name in os.listdir(SUITE):
    path = os.path.join(SUITE, name)
    if not os.path.isfile(path) or name == "wutildemo" or not os.access(path, os.X_OK):
        continue
    mine = os.path.join(suite, name[0].upper() + name[1:].lower())
    expect("installed program " + name, os.path.isfile(mine) and filecmp.cmp(path, mine, shallow=False)
           and os.access(mine, os.X_OK))
editor = os.path.join(suite, "Wmero")
if os.path.exists(editor) and os.path.isdir(os.path.join(suite, "Tutor")):
    tutor = os.path.join(suite, "Tutor")
    env = {k: v for k, v in os.environ.items() if k != "MERO_DRIVES"}
    with open(os.path.join(WORK, "editor.script"), "w") as f:
        f.write("wait\ncommand 22\nwait\nsnapshot fit.png\nquit\n")
    r = subprocess.run([editor, "TOP"], cwd=tutor, timeout=300, env=dict(
        env, QT_QPA_PLATFORM="offscreen", MERO_SCRIPT=os.path.join(WORK, "editor.script"),
        MERO_LOG=os.path.join(WORK, "editor.log"), XDG_RUNTIME_DIR=root))
    with open(os.path.join(WORK, "editor.log")) as f:
        editor_log = f.read()
    expect("the installed editor opens the tutorial drawing", r.returncode == 0 and "Cell: TOP" in editor_log
           and os.path.getsize(os.path.join(tutor, "fit.png")) > 1000, editor_log)
    expect("its menu item starts it there", command(editor) in entry(root, "Tutor")
           and ("Path=%s\n" % tutor) in entry(root, "Tutor"), entry(root, "Tutor"))
    expect("the character cells installed", os.path.isdir(os.path.join(suite, "Chars", "Upright")))

checks.finish("PASSED: setup headless runs")
