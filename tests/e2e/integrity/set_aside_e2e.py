"""Records a program cannot use (a box on layer 127, a reference to row 99) through every program
that reads the drawing folder: the editor keeps the cell index true to what the cell files hold and
tells them in its own caption; the checker, layer logic, the extractor, the flattener and TLCOUT run
without them, say so in a box and their report, and end with a final message that does not claim a
whole run; the exporters take what TLCOUT wrote, and stop with their message on such a record in a
TLC file from elsewhere.

usage: set_aside_e2e.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, find_any_case, run_program, write_crlf  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(program, folder, name, script, *args):
    return run_program(os.path.join(SUITE, program), WORK, name, script, cwd=folder, timeout=120, quiet=True,
                       args=args, XDG_RUNTIME_DIR=folder, MERO_NOW="2024-03-07 13:05:59", MERO_CORES="2")


def words(*values):
    return struct.pack("<%di" % len(values), *values)


def read(folder, name, mode="rb"):
    with open(find_any_case(folder, name), mode) as f:
        return f.read()


def boxes_of(log):
    return [line for line in log.split("\n") if line.startswith("box ")]


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
base = os.path.join(WORK, "base")
os.makedirs(base)
run("wmero", base, "base", "answer CELL press cancel\nwait\nquit\n")

# LEAF: two wires on layer 1 and a box on layer 127; MID places LEAF and row 99; TOP places MID.
LEAF_BOXES = [(1, 0, 0, 300, 20), (127, 0, 0, 10, 10), (1, 0, 100, 300, 160)]
MID_REFS = [(1, 0, 0), (99, 5, 5)]


def drawing(name):
    folder = os.path.join(WORK, name)
    shutil.copytree(base, folder)
    os.remove(find_any_case(folder, "CELLS6.DBD"))
    cells = [("LEAF", 1, LEAF_BOXES, []), ("MID", 2, [], MID_REFS), ("TOP", 3, [], [(2, 0, 0)])]
    index = "%d\n" % len(cells)
    for cname, rank, boxes, refs in cells:
        index += "%s\n%d 0 0 300 160 %d 0 0 %d\n" % (cname, rank, len(boxes), len(refs))
        with open(os.path.join(folder, cname + ".BP6"), "wb") as f:
            f.write(b"".join(words(*b) for b in boxes) + bytes(48))
        if rank > 1:
            with open(os.path.join(folder, cname + ".CL6"), "wb") as f:
                f.write(b"".join(words(*r) for r in refs) + bytes(12))
    write_crlf(os.path.join(folder, "CELLS6.DBD"), index + "\n")
    return folder


LEAF_TOLD = "LEAF: 1 Record Set Aside: Box on Layer 127 ... Kept in the Cell Files"
MID_TOLD = "MID: 1 Record Set Aside: Cell Reference to Row 99 ... Kept in the Cell Files"
CAVEAT = " ... 2 Records Set Aside, not Used"


def index_row(folder, cell):
    lines = read(folder, "CELLS6.DBD", "r").split("\n")
    return [int(v) for v in lines[lines.index(cell) + 1].split()]


# ---- The editor: the index counts what the files hold, the box has the editor's caption ----------
d = drawing("editor")
status, log = run("wmero", d, "wmero-leaf", "box ok\nwait\ncommand 14\nwait\nquit\n", "LEAF")
expect("editor tells in its caption", 'box "MERO" "%s"' % LEAF_TOLD in log, log)
expect("LEAF.BP6 keeps its three boxes", len(read(d, "LEAF.BP6")) == 3 * 20 + 48, read(d, "LEAF.BP6"))
expect("index counts the three boxes", index_row(d, "LEAF")[5] == 3, index_row(d, "LEAF"))
status, log = run("wmero", d, "wmero-mid", "box ok\nwait\ncommand 14\nwait\nquit\n", "MID")
expect("MID.CL6 keeps both references", len(read(d, "MID.CL6")) == 3 * 12, read(d, "MID.CL6"))
expect("index counts both references", index_row(d, "MID")[8] == 2, index_row(d, "MID"))

# ---- The checker: the run goes on without them and says so ---------------------------------------
d = drawing("drc")
with open(os.path.join(d, "RULES.DRC"), "w") as f:
    f.write("TITLE=Metal width\nRESOLUTION=0.1\nDISTANCE=3\nOPERATORS={\n  MAP,1\n  PUSH,1\n  NOTR\n  GAGR\n"
            "  TESTR\n}\n")
status, log = run("wmerodrc", d, "drc",
                  'answer SETUP set 100 "top" set 101 "rules" set 103 "9" set 109 "0" set 110 "0" set 111 "300" '
                  'set 112 "50" press ok\ncommand 13\nbox ok\nbox ok\ncommand 14\nwait\nquit\n')
boxes = boxes_of(log)
expect("checker tells the first cell in a box, the final message the count",
       boxes[-2:] == ['box "MERODRC" "%s"' % LEAF_TOLD, 'box "MERODRC" "Completed ... 1 Total Flags%s"' % CAVEAT],
       "\n".join(boxes))
report = read(d, "MERODRC.RPT", "r")
expect("checker's report names both cells", LEAF_TOLD in report and MID_TOLD in report, report)

# ---- Layer logic --------------------------------------------------------------------------------
d = drawing("ll")
status, log = run("wmeroll", d, "ll", 'answer SETUP set 1000 "top" set 1001 "out" set 1005 "1" set 1004 "9" '
                                      'press 1014 press ok\ncommand 12\nwait\nbox ok\nbox ok\ncommand 13\nwait\nquit\n')
boxes = boxes_of(log)
expect("layer logic tells and does not claim a whole run",
       len(boxes) >= 2 and boxes[-2] == 'box "MEROLL" "%s"' % LEAF_TOLD and boxes[-1].startswith('box "MEROLL" "Completed')
       and boxes[-1].endswith(CAVEAT + '"'), "\n".join(boxes))
expect("layer logic's report names MID", MID_TOLD in read(d, "MEROLL.RPT", "r"), read(d, "MEROLL.RPT", "r"))

# ---- The extractor ------------------------------------------------------------------------------
d = drawing("ckt")
status, log = run("wmerockt", d, "ckt", 'answer SETUP1 set 100 "TOP" press ok\n'
                                        'answer TRACE set 300 "1" set 301 "3" set 310 "2" check 320 0 press ok\n'
                                        "command 13\nwait\ncommand 14\nwait\nbox ok\nbox ok\nbox ok\nbox ok\n"
                                        "command 16\nwait\nquit\n")
boxes = boxes_of(log)
told = [b for b in boxes if "Set Aside:" in b]
report = read(d, "MEROCKT.RPT", "r")
expect("extractor tells the first cell it met in a box, and does not claim a whole run",
       told == ['box "MEROCKT" "%s"' % LEAF_TOLD] and boxes[-1].startswith('box "MEROCKT" "Completed')
       and boxes[-1].endswith(CAVEAT + '"'), "\n".join(boxes))
expect("extractor's report names both cells", LEAF_TOLD in report and MID_TOLD in report, report)

# ---- The flattener ------------------------------------------------------------------------------
d = drawing("planer")
status, log = run("wplaner", d, "planer", 'answer SETUP set 100 "TOP" check 103 0 press ok\ncommand 12\nwait\n'
                                          "box ok\nbox ok\nbox ok\ncommand 13\nwait\nquit\n")
boxes = boxes_of(log)
flat = read(os.path.join(d, "FLAT"), "TOP.TLC", "r")
expect("flattener tells and does not claim a whole run",
       boxes[0] == 'box "PLANER" "%s"' % MID_TOLD and boxes[-1].startswith('box "PLANER" "Completed')
       and boxes[-1].endswith(CAVEAT + '"'), "\n".join(boxes))
expect("flattener's report names LEAF", LEAF_TOLD in read(d, "PLANER.RPT", "r"), read(d, "PLANER.RPT", "r"))
expect("flat cell holds the two wires only", flat.count("=B") == 2 and "127 " not in flat, flat)

# ---- TLCOUT, and the exporters on what it wrote -------------------------------------------------
d = drawing("tlcout")
status, log = run("wmero", d, "tlcout", "answer CELL press cancel\nanswer SYSTEM press 3001 press 1015\n"
                                        'answer TLCOUT set 1055 "../tlc" press ok\n'
                                        "box ok\nbox ok\nbox ok\nbox ok\ncommand 13\nquit\n")
boxes = boxes_of(log)
expect("TLCOUT tells each cell and the run's error",
       'box "TLCOUT" "%s"' % LEAF_TOLD in boxes and 'box "TLCOUT" "%s"' % MID_TOLD in boxes and
       boxes[-1] == 'box "TLCOUT" "Some Error Occurred ... Conversion may be Incorrect"', "\n".join(boxes))
tlc = os.path.join(WORK, "tlc")
leaf = read(tlc, "LEAF.TLC", "r").split("\n")
expect("LEAF.TLC: two boxes, counted so in its header",
       leaf.count("=B") == 2 and "127 0 0 10 10" not in leaf and leaf[9] == "2 0 0 0", leaf)
mid = read(tlc, "MID.TLC", "r").split("\n")
expect("MID.TLC: one reference, counted so", mid.count("=C") == 1 and mid[9] == "0 0 0 1", mid)
status, log = run("wstrmexp", WORK, "gds", 'answer SETUP set 100 "tlc/TOP.TLC" set 101 "OUT.GDS" check 113 0 '
                                           "press ok\ncommand 12\nwait\nbox ok\ncommand 14\nwait\nquit\n")
expect("the GDSII exporter takes TLCOUT's files", 'box "STRMEXP" "Completed ... ' in log, log)

# A TLC file from elsewhere that holds such a record stops each exporter with its message.
with open(os.path.join(tlc, "LEAF.TLC")) as f:
    leaf = f.read()
write_crlf(os.path.join(tlc, "LEAF.TLC"), leaf.replace("=B\n1 0 0 300 20\n", "=B\n127 0 0 10 10\n"))
write_crlf(os.path.join(WORK, "l.lyr"), '(LAYER 1 CIF="CM1");\n')
for program, script, told in (
        ("wstrmexp", 'answer SETUP set 100 "tlc/LEAF.TLC" set 101 "OUT.GDS" check 113 0 press ok\n'
                     "command 12\nwait\nbox ok\nbox ok\ncommand 14\nwait\nquit\n", "Box Record Read Error ... Can't Continue"),
        ("wcalexp", 'answer SETUP set 100 "tlc/LEAF.TLC" set 101 "l.lyr" set 102 "OUT.CIF" set 103 "" press ok\n'
                    "command 12\nwait\nbox ok\nbox ok\ncommand 13\nwait\nquit\n", "Box Record Read Error ... Can't Continue"),
        ("wxchexp", 'answer SETUP set 100 "tlc/LEAF" set 101 "draw.dxf" press ok\n'
                    "command 12\nwait\nbox ok\nbox ok\ncommand 13\nwait\nquit\n", "Box Layer Read Error")):
    status, log = run(program, WORK, program + "-127", script)
    expect(program + " stops on a layer it cannot hold", told in log and "Aborted ... Files may be Incomplete" in log,
           log)

checks.finish("every program told what it set aside")
