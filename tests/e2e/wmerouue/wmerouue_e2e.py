"""Headless runs of wmerouue: the SETUP dialog and the three-line set-up file it leaves, a set-up file
of another version, the quick help, an existing destination kept, a run stopped at a page pause,
and the check sum of a UUE file alone.

usage: wmerouue_e2e.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, quoted, run_program  # noqa: E402


SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(name, script):
    return run_program(os.path.join(SUITE, "wmerouue"), WORK, name, script)


def write(name, data):
    with open(os.path.join(WORK, name), "wb") as f:
        f.write(data)


def read(name):
    with open(os.path.join(WORK, name), "rb") as f:
        return f.read()


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# Setup: the fields go to the set-up file, version line first, and nothing else (no reader lists).
status, log = run("setup", 'answer SETUP set 110 "notes.txt" set 111 "out" check 200 1 press ok\n'
                           "command 11\nwait\nquit\n")
expect("setup run ends 0", status == 0, log)
expect("set-up file", read("Merouue.su6") == b"6.00\r\nnotes.txt\r\nout\\\r\n", read("Merouue.su6"))
# The dialog shows what was stored; Page Pause is not kept.
status, log = run("setup2", "answer SETUP press cancel\ncommand 11\nwait\nquit\n")
expect("stored values shown", 'item SETUP 110 "notes.txt"' in log and 'item SETUP 111 "out\\"' in log, log)
write("Merouue.su6", b"6.01\r\nother.txt\r\n\r\n")
status, log = run("version", "answer SETUP press cancel\ncommand 11\nwait\nquit\n")
expect("another version is ignored", 'item SETUP 110 "???"' in log and 'item SETUP 111 ".\\"' in log, log)

# Help is a quick-help dialog of the program's own.
status, log = run("help", "answer HELPER press ok\ncommand 10\nwait\nquit\n")
expect("help", status == 0 and "dialog HELPER" in log, log)

# An existing destination is kept when the user cancels; the run ends as aborted.
write("abc.txt", b"abc\n")
write("Abc.uue", b"old")
status, log = run("exists", 'answer SETUP set 110 "abc.txt" set 111 "" press ok\n'
                            "command 11\nwait\nbox cancel\nbox ok\ncommand 12\nwait\nquit\n")
expect("existing destination asked and kept",
       'box "MEROUUE" "Destination File Already Exists ... OK?"' in log and
       'box "MEROUUE" "Aborted ... Files may be Incomplete"' in log and read("Abc.uue") == b"old", log)

# Page Pause: Cancel in a pause stops the run; what was written stays.
write("big.bin", bytes(range(256)) * 40)
status, log = run("paused", 'answer SETUP set 110 "big.bin" set 111 "" check 200 1 press ok\n'
                            "command 11\nwait\nanswer PAUSE press cancel\nbox ok\ncommand 12\nwait\nquit\n")
expect("a cancelled page pause aborts", 'box "MEROUUE" "Aborted ... Files may be Incomplete"' in log, log)
expect("the partial file stays", read("Big.uue").startswith(b"begin 644 big.bin\r\n"))

# The check sum of a UUE file alone: "+" writes nothing.
write("sum.uue", b"abc\n")
before = sorted(os.listdir(WORK))
status, log = run("checksum", 'answer SETUP set 110 "sum.uue" set 111 "+" press ok\n'
                              "command 11\nwait\nbox ok\ncommand 12\nwait\nquit\n")
expect("check sum only", 'box "MEROUUE" "Converted to UUE, CheckSum= 358  ByteCount= 5"' in log, log)
expect("nothing written", sorted(os.listdir(WORK)) == sorted(before + ["checksum.log", "checksum.script"]),
       os.listdir(WORK))

checks.finish("all wmerouue runs passed")
