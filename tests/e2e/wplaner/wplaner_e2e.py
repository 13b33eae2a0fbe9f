"""Headless runs of wplaner: a folder without its database closes the program with the file's name;
the SETUP dialog and the set-up file it leaves; Go in circuit-compile and in smash mode with the
report, the completion box and an existing destination folder.

usage: wplaner_e2e.py SUITE_FOLDER PLANER_FIXTURE WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, quoted, run_program  # noqa: E402


SUITE, FIXTURE, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
checks = Checks()
expect = checks.expect


def run(name, script, cwd):
    return run_program(os.path.join(SUITE, "wplaner"), WORK, name, script, cwd=cwd, MERO_NOW="2024-03-07 13:05:59")


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(os.path.join(WORK, "empty"))
draw = os.path.join(WORK, "draw")
subprocess.run([FIXTURE, draw], check=True)

status, log = run("empty", "box ok\nquit\n", os.path.join(WORK, "empty"))
expect("missing database closes the program", 'box "PLANER" "FORM.DBD is Missing"' in log, log)

status, log = run("setup", 'answer SETUP set 100 "top" set 101 "out" check 103 0 set 105 "99" press ok\n'
                           "command 12\nwait\nquit\n", draw)
expect("setup run ends 0", status == 0, log)
su6 = open(os.path.join(draw, "Planer.su6"), newline="").read().split("\r\n")
expect("set-up file", su6[:12] == ["6.00", "TOP", "OUT", "-", "N", "N", "64", "61", "62", "63", "64", "PLANER.RPT"]
       and su6[12:14] == ["Notepad", "PLANER.RPT"], su6)

# The cell picker fills the name.
status, log = run("list", "answer SETUP press 111 press cancel\nanswer ANYLIST dblclick 1006 1\ncommand 12\nwait\nquit\n",
                  draw)
expect("cell picker", "dialog ANYLIST" in log and 'item SETUP 100 "ROW"' in log, log)

# Smash into OUT, then circuit compile into the same folder after the question.
status, log = run("smash", "box ok\ncommand 13\nwait\nquit\n", draw)
size = os.path.getsize(os.path.join(draw, "OUT", "TOP.TLC")) if os.path.exists(os.path.join(draw, "OUT", "TOP.TLC")) else -1
expect("smash completes", 'box "PLANER" "Completed ... %d Bytes in Flat TLC File"' % size in log, log)
expect("no token cells in smash mode", sorted(os.listdir(os.path.join(draw, "OUT"))) == ["TOP.TLC"])
status, log = run("circuit", 'answer SETUP check 103 1 press ok\ncommand 12\nwait\nbox yes\nbox ok\ncommand 13\nwait\nquit\n',
                  draw)
expect("existing folder asked", 'box "PLANER" "Destination Folder Exists ... Continue?"' in log, log)
expect("token cell written", sorted(os.listdir(os.path.join(draw, "OUT"))) == ["DEV.TLC", "TOP.TLC"],
       os.listdir(os.path.join(draw, "OUT")))
report = open(os.path.join(draw, "PLANER.RPT"), newline="").read()
expect("report", report.startswith("*** Flat TLC Conversion Report  03/07/24  13:05:59 ***\r\n\r\n"
                                   "Flat TLC File Name: OUT\\TOP.TLC\r\n") and "\r\nDEV          1 " in report
       and "Completed ..." in report, report)
top = open(os.path.join(draw, "OUT", "TOP.TLC"), newline="").read()
expect("devices kept as instances", top.count("=C\r\nDEV\r\n") == 17, top[:400])

# Closing Go with the No answer writes nothing more.
status, log = run("no", "box no\nbox ok\ncommand 13\nwait\nquit\n", draw)
expect("No stops the run", 'box "PLANER" "Aborted ... Files may be Incomplete"' in log, log)

checks.finish("all wplaner runs passed")
