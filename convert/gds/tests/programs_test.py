"""Headless runs of wstrmexp and wstrmimp through their scripts: the setting dialogs and what they
leave in the set-up files, a set-up file of another version, a Go stopped at a pause, a name the
importer must ask for, a failing Go that still ends cleanly, and older TLC files of a higher rank in the
destination.

usage: programs_test.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tests", "e2e"))
from scripted_program import Checks, crlf_lines, run_program  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(program, name, script):
    return run_program(os.path.join(SUITE, program), WORK, name, script, MERO_NOW="2024-03-07 13:05:59")


def lines(name):
    return crlf_lines(os.path.join(WORK, name))


def rec(t, d, data=b""):
    return struct.pack(">HBB", len(data) + 4, t, d) + data


def gds_name(text):
    b = text.encode()
    return b + (b"\0" if len(b) % 2 else b"")


def gds_hierarchy(path, structures):
    """A library of (name, names placed) structures, each with a box of its own."""
    units = bytes([0x3E, 0x41, 0x89, 0x37, 0x4B, 0xC6, 0xA7, 0xEF, 0x39, 0x44, 0xB8, 0x2F, 0xA0, 0x9B, 0x5A, 0x52])
    date = struct.pack(">12H", *([124, 1, 1, 0, 0, 0] * 2))
    box = struct.pack(">10i", 0, 0, 10, 0, 10, 10, 0, 10, 0, 0)
    data = rec(0, 2, struct.pack(">H", 3)) + rec(1, 2, date) + rec(2, 6, gds_name("LIB")) + rec(3, 5, units)
    for name, placed in structures:
        data += rec(5, 2, date) + rec(6, 6, gds_name(name)) + rec(8, 0) + rec(13, 2, struct.pack(">H", 1)) + \
            rec(14, 2, struct.pack(">H", 0)) + rec(16, 3, box) + rec(17, 0)
        for other in placed:
            data += rec(10, 0) + rec(18, 6, gds_name(other)) + rec(16, 3, struct.pack(">2i", 5, 5)) + rec(17, 0)
        data += rec(7, 0)
    data += rec(4, 0)
    with open(path, "wb") as f:
        f.write(data)


def header_of(path):
    """Name and rank of a TLC file's header, and the cells it places."""
    got = open(path, newline="").read().split("\r\n")
    at = got.index("=H")
    return got[at + 1], int(got[at + 8].split()[0]), [got[i + 1] for i, line in enumerate(got) if line == "=C"]


def gds_library(path):
    """Two structures whose names differ only in case, the second using the first."""
    def rec(t, d, data=b""):
        return struct.pack(">HBB", len(data) + 4, t, d) + data

    def name(text):
        b = text.encode()
        return b + (b"\0" if len(b) % 2 else b"")

    units = bytes([0x3E, 0x41, 0x89, 0x37, 0x4B, 0xC6, 0xA7, 0xEF, 0x39, 0x44, 0xB8, 0x2F, 0xA0, 0x9B, 0x5A, 0x52])
    date = struct.pack(">12H", *([124, 1, 1, 0, 0, 0] * 2))
    box = struct.pack(">10i", 0, 0, 10, 0, 10, 10, 0, 10, 0, 0)
    data = rec(0, 2, struct.pack(">H", 3)) + rec(1, 2, date) + rec(2, 6, name("LIB")) + rec(3, 5, units)
    data += rec(5, 2, date) + rec(6, 6, name("top")) + rec(8, 0) + rec(13, 2, struct.pack(">H", 1)) + \
        rec(14, 2, struct.pack(">H", 0)) + rec(16, 3, box) + rec(17, 0) + rec(7, 0)
    data += rec(5, 2, date) + rec(6, 6, name("TOP")) + rec(10, 0) + rec(18, 6, name("top")) + \
        rec(16, 3, struct.pack(">2i", 5, 5)) + rec(17, 0) + rec(7, 0)
    data += rec(4, 0)
    with open(path, "wb") as f:
        f.write(data)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# Exporter: both setting dialogs, then the set-up file holds the normalised slots.
status, log = run("wstrmexp", "exp-setup", """\
answer SETUP set 100 "work\\\\top.v2" set 101 "" set 104 "500" set 106 "70" check 111 1 check 110 0 press ok
answer TEXT set 200 "3" set 203 "5000" set 205 "c" press ok
command 12
wait
command 13
wait
quit
""")
expect("exporter setup run ends 0", status == 0, log)
su6 = lines("Strmexp.su6")
expect("exporter set-up file", su6[:18] == ["6.01", "WORK\\TOP.TLC", "WORK\\TOP.GDS", "DEFAULT.DB", "0", "100",
                                            "1000", "63", "0", "0", "-", "N", "Y", "Y", "Y", "Y", "0.05",
                                            "STRMEXP.RPT"], su6[:18])
expect("exporter text rows", su6[18:24] == ["3", "0", "0", "1000", "0", "C"], su6[18:24])
expect("exporter reader lists", su6[42:44] == ["Notepad", "STRMEXP.RPT"] and len(su6) == 42 + 20 + 1,
       su6[40:])

# A set-up file of another version is ignored: the dialog shows the defaults.
with open(os.path.join(WORK, "Strmexp.su6"), "wb") as f:
    f.write(b"6.00\r\nOLD.TLC\r\n")
status, log = run("wstrmexp", "exp-version", "answer SETUP press cancel\ncommand 12\nwait\nquit\n")
expect("another version is ignored", 'item SETUP 100 "???.TLC"' in log, log)

# Go that cannot find its main file stops with the message, then the final line.
status, log = run("wstrmexp", "exp-missing", "box ok\nbox ok\ncommand 14\nwait\nquit\n")
expect("missing main file: a failed job exits 1", 'box "STRMEXP" "Main TLC file is Missing ... Can\'t Continue"' in log and
       'box "STRMEXP" "Aborted ... Files may be Incomplete"' in log and status == 1, log)

# Importer: the three dialogs and its set-up file.
status, log = run("wstrmimp", "imp-setup", """\
answer SETUP set 100 "lib.gds" set 101 "out" set 102 "mil" set 103 "-5" check 113 0 set 114 "99" press ok
answer TXT set 200 "0.5" set 201 "-" check 203 1 check 204 0 press ok
answer OMIT set 300 "skipme" set 311 "x" press ok
command 12
wait
command 13
wait
command 14
wait
quit
""")
expect("importer setup run ends 0", status == 0, log)
su6 = lines("Strmimp.su6")
expect("importer main group", su6[:17] == ["6.01", "LIB.GDS", "OUT\\", "MIL", "1", "-", "-", "Y", "Y", "Y",
                                           "Y", "Y", "Y", "Y", "N", "64", "STRMIMP.RPT"], su6[:17])
expect("importer text rows", su6[17:23] == ["1", "-", "-", "Y", "N", "Y"], su6[17:23])
expect("importer omit list", su6[41] == "SKIPME" and su6[52] == "X", su6[41:53])

# A name that must change is asked for; a pause cancelled stops the run.
os.makedirs(os.path.join(WORK, "tlc"))
gds_library(os.path.join(WORK, "twice.gds"))
status, log = run("wstrmimp", "imp-newname", """\
answer SETUP set 100 "twice.gds" set 101 "tlc" set 103 "1000" press ok
answer NEWNAME set 601 "other" press ok
box ok
command 12
wait
command 15
wait
quit
""")
expect("NEWNAME asked", 'dialog NEWNAME' in log and 'Completed ... 2 TLC Files Made' in log, log)
expect("the share of the file read shows on the progress bar", 'item DISPLAY 1040 "98"' in log, log)
tlc = sorted(os.listdir(os.path.join(WORK, "tlc")))
expect("both cells written", "OTHER.TLC" in tlc and "TOP.TLC" in tlc, tlc)
expect("reference renamed", "=C\r\nTOP\r\n" in open(os.path.join(WORK, "tlc", "OTHER.TLC"), newline="").read())

status, log = run("wstrmimp", "imp-cancel", """\
answer NEWNAME set 601 "other" press ok
answer PAUSE press cancel
box ok
command 15
wait
quit
""")
expect("cancelled at a pause", 'box "STRMIMP" "Aborted ... Files may be Incomplete"' in log, log)

# An older LEAF.TLC of a higher rank in the destination keeps its rank: every cell that places LEAF, and
# every cell above those, must rise above it again, or loading the set would drop their references.
# Past rank 15 the run stops.
CHAIN = [("LEAF", []), ("MID", ["LEAF"]), ("TOP", ["MID"]), ("SIDE", ["LEAF"])]
for old_rank, want in ((3, {"LEAF": 3, "MID": 4, "TOP": 5, "SIDE": 4}), (1, {"LEAF": 1, "MID": 2, "TOP": 3, "SIDE": 2}),
                       (14, "Hierarchy Deeper than 15 Levels at TOP ... Can't Continue")):
    folder = os.path.join(WORK, "ranked%d" % old_rank)
    os.makedirs(folder)
    with open(os.path.join(folder, "LEAF.TLC"), "wb") as f:
        f.write(("=H\r\nLEAF\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/02/24\r\n03:04:05\r\n%d 0 0 1 0\r\n0 0 0 0\r\n"
                 "=B\r\n1 0 0 10 10\r\n" % old_rank).encode())
    gds_hierarchy(os.path.join(WORK, "ranked.gds"), CHAIN)
    status, log = run("wstrmimp", "imp-ranked%d" % old_rank, """\
answer SETUP set 100 "ranked.gds" set 101 "ranked%d" set 103 "1000" press ok
box ok
box ok
command 12
wait
command 15
wait
quit
""" % old_rank)
    if isinstance(want, str):
        expect("older rank %d: stops" % old_rank, 'box "STRMIMP" "%s"' % want in log and
               'box "STRMIMP" "Aborted ... Files may be Incomplete"' in log, log)
        continue
    expect("older rank %d: completes" % old_rank, 'Completed ... 4 TLC Files Made' in log, log)
    cells = {name: header_of(os.path.join(folder, name + ".TLC")) for name, _ in CHAIN}
    got = {name: cell[1] for name, cell in cells.items()}
    expect("older rank %d: ranks" % old_rank, got == want, got)
    broken = [(name, placed) for name, (_, rank, refs) in cells.items() for placed in refs
              if got[placed] >= rank]
    expect("older rank %d: every reference keeps the rank rule" % old_rank, broken == [], broken)

checks.finish("PASSED")
