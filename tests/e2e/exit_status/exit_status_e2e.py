"""The exit status of a scripted run through every program: 0 for a finished job, 1 for a job that
ended in failure once its boxes are answered, 3 when the script left a box unanswered, 2 for a script
line that cannot be applied. Each row is one run with its inputs missing, damaged or of the wrong
kind, and the last box the user is shown.

usage: exit_status_e2e.py SUITE_FOLDER DEMO_DRAWING CHECK_FILE WORK_FOLDER
"""
import os
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from scripted_program import Checks, run_program  # noqa: E402

SUITE, DEMO, CHECK_FILE, WORK = sys.argv[1], sys.argv[2], sys.argv[3], os.path.abspath(sys.argv[4])
checks = Checks()
expect = checks.expect


def gds_record(kind, data_type, data=b""):
    return struct.pack(">HBB", 4 + len(data), kind, data_type) + data


# A whole GDSII library of one empty structure: a file of another kind for the CIF importer.
GDS = (gds_record(0, 2, struct.pack(">h", 600)) + gds_record(1, 2, bytes(24)) + gds_record(2, 6, b"LIB\0") +
       gds_record(3, 5, bytes.fromhex("3e4189374bc6a7ef3944b82fa09b5a54")) + gds_record(5, 2, bytes(24)) +
       gds_record(6, 6, b"TOP\0") + gds_record(7, 0) + gds_record(4, 0))

DRC_SETUP = ('answer SETUP set 100 "%s" set 101 "demo" set 103 "9" set 109 "-40" set 110 "-30" set 111 "150" '
             'set 112 "80" press ok\n')


def drawing(folder):
    shutil.copytree(DEMO, folder, dirs_exist_ok=True)
    shutil.copy(CHECK_FILE, folder)
    with open(os.path.join(folder, "CONSTS6.DBD"), "wb") as f:
        f.write(b"6.05\r\n20\r\num\r\n")


def files(**named):
    def make(folder):
        for name, data in named.items():
            path = os.path.join(folder, name)
            if data is None:
                os.makedirs(path)
            else:
                with open(path, "wb") as f:
                    f.write(data)
    return make


def nothing(folder):
    pass


# name, program, prepare the folder, script, exit status, a box the run shows (None: any), program
# arguments
RUNS = [
    ("checker finishes", "wmerodrc", drawing, DRC_SETUP % "TOP" + "command 13\nbox ok\ncommand 14\nquit\n",
     0, "Completed"),
    ("checker on a cell that is not there", "wmerodrc", drawing,
     DRC_SETUP % "NOSUCH" + "command 13\nbox ok\ncommand 14\nquit\n", 1, "Aborted ... DRC may be Incomplete"),
    ("checker with its box left unanswered", "wmerodrc", drawing, DRC_SETUP % "NOSUCH" + "command 13\ncommand 14\nquit\n", 3,
     "Aborted ... DRC may be Incomplete"),
    ("checker in a folder without a drawing", "wmerodrc", nothing, "box ok\nwait\nquit\n", 1, "FORM.DBD is Missing"),
    ("a box answered with a button it lacks", "wmerouue", nothing,
     'answer SETUP set 110 "none.bin" set 111 "out" press ok\ncommand 11\nwait\nbox yes\ncommand 12\nwait\n', 2,
     None),
    ("GDSII import of a missing file", "wstrmimp", nothing,
     'answer SETUP set 100 "NONE.GDS" set 101 "TLC" press ok\ncommand 12\nwait\nbox ok\nbox ok\ncommand 15\nwait\n',
     1, "Aborted ... Files may be Incomplete"),
    ("GDSII import of a folder", "wstrmimp", files(CHIP=None),
     'answer SETUP set 100 "CHIP" set 101 "TLC" press ok\ncommand 12\nwait\nbox ok\nbox ok\ncommand 15\nwait\n',
     1, "GDS File Read Error ... Can't Continue"),
    ("GDSII export of a missing cell", "wstrmexp", nothing,
     'answer SETUP set 100 "TLC/NONE.TLC" set 101 "OUT.GDS" press ok\ncommand 12\nwait\nbox ok\nbox ok\n'
     "command 14\nwait\n", 1, "Aborted ... Files may be Incomplete"),
    ("CIF import of a GDSII file", "wcalimp", files(**{"CHIP.GDS": GDS}),
     'answer SETUP set 100 "CHIP.GDS" set 102 "" set 103 "TLC" set 104 "" press ok\ncommand 12\nwait\n'
     "box ok\nbox ok\ncommand 13\nwait\n", 1, "Cell Info is Incorrect or Missing"),
    ("CIF export of a missing cell", "wcalexp", nothing,
     'answer SETUP set 100 "TLC/NONE.TLC" set 102 "OUT.CIF" press ok\ncommand 12\nwait\nbox ok\nbox ok\n'
     "command 13\nwait\n", 1, "Aborted ... Files may be Incomplete"),
    ("DXF export of a missing cell", "wxchexp", nothing,
     'answer SETUP set 100 "TLC/NONE.TLC" set 101 "OUT.DXF" press ok\ncommand 12\nwait\nbox ok\nbox ok\n'
     "command 13\nwait\n", 1, "Aborted ... Files may be Incomplete"),
    ("DXF import of a missing file", "wxchimp", files(IN=None),
     'box ok\nbox ok\nanswer SETUP set 100 "NONE.DXF" set 101 "IN/TOP.TLC" press ok\ncommand 12\nwait\nbox ok\n'
     "box ok\ncommand 14\nwait\n", 1, "DXF File is Missing ... Can't Continue"),
    ("layer logic without a drawing", "wmeroll", nothing,
     'answer SETUP set 1000 "top" set 1001 "out" press ok\nbox ok\nbox ok\ncommand 12\nwait\ncommand 13\nwait\n',
     1, None),
    ("extractor without a drawing", "wmerockt", nothing,
     'answer SETUP1 set 100 "TOP" press ok\nbox ok\nbox ok\ncommand 13\nwait\ncommand 16\nwait\n', 1, None),
    ("flattener without a drawing", "wplaner", nothing,
     'answer SETUP set 100 "TOP" press ok\nbox ok\nbox ok\ncommand 12\nwait\ncommand 13\nwait\n', 1, None),
    ("encoder finishes", "wmerouue", files(**{"data.bin": b"payload\n", "out": None}),
     'answer SETUP set 110 "data.bin" set 111 "out" press ok\ncommand 11\nwait\nbox ok\ncommand 12\nwait\n', 0,
     None),
    ("encoder of a missing file", "wmerouue", nothing,
     'answer SETUP set 110 "none.bin" set 111 "out" press ok\ncommand 11\nwait\nbox ok\nbox ok\ncommand 12\nwait\n',
     1, None),
    ("font-table maker of a missing character", "wglyphmk", nothing,
     'answer TFFDLG set 1000 "TFF.DBD" set 1001 "NONE.TLC" set 1005 "A" press ok\nbox ok\nbox ok\n'
     "answer TFFDLG press 1003\n", 1, None),
    ("help viewer on a missing help file", "whpv", nothing, "box ok\ncommand 12\nwait\nquit\n", 1,
     "No Help Text (.HPV) File was Found", ["NONE.HPV"]),
    ("editor TLCIN of a missing folder", "wmero", nothing,
     'answer CELL press cancel\nanswer SYSTEM press 3000 press 1015\nanswer TLCIN set 1057 "NOWHERE" press ok\n'
     "box ok\nbox ok\nbox ok\ncommand 13\nquit\n", 1, None),
    ("editor on a damaged cell index", "wmero", files(**{"CELLS6.DBD": b"5\r\nTOP\r\n"}), "box ok\nwait\nquit\n", 1,
     "Unable to Read or Create CELLS6.DBD"),
    ("installer without archives", "setup", files(zips=None),
     'answer README press ok\nanswer README press ok\nanswer SETUPDLG1 set 1000 "zips" set 1001 "target" press ok\n'
     "box ok\nbox ok\nbox ok\nwait\nquit\n", 1, None),
]

shutil.rmtree(WORK, ignore_errors=True)
for row in RUNS:
    name, program, prepare, script, status, box = row[:6]
    args = row[6] if len(row) > 6 else []
    folder = os.path.join(WORK, name.replace(" ", "-"))
    os.makedirs(folder)
    prepare(folder)
    got, log = run_program(os.path.join(SUITE, program), folder, "job", script, quiet=True, args=args,
                           MERO_NOW="2024-03-07 13:05:59", HOME=folder)
    boxes = [line for line in log.splitlines() if line.startswith("box ")]
    expect("%s: %s exits %s" % (name, program, status), got == status, "exit %s\n%s" % (got, log))
    if box is not None:
        expect("%s: a box says %s" % (name, box), any(box in line for line in boxes), log)

# The console layer mover: a folder without CELLS.REF.
os.makedirs(os.path.join(WORK, "lyrshift"))
run = subprocess.run([os.path.join(SUITE, "lyrshift"), "m", "5", "7", os.path.join(WORK, "lyrshift") + "/"],
                     stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
expect("layer mover without CELLS.REF exits 1", run.returncode == 1 and b"CELLS.REF is Missing" in run.stdout,
       "exit %s\n%s" % (run.returncode, run.stdout))

checks.finish("exit statuses PASSED")
