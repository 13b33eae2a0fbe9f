"""Drawing folders left damaged by a crash, a hand edit or another tool, through the programs: the
rank rule of TLCin, a hierarchy loop drawn, flattened and extracted in bounded time, coordinates
placed out of range, a CL6 with a zero record inside, a CELLS6.DBD whose count is below its rows,
and records with values out of range set aside rather than lost.

usage: integrity_e2e.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, find_any_case, write_crlf  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(program, folder, name, script, *args):
    """One scripted run in FOLDER with ARGS; its exit status ("timeout" when it ran away) and log."""
    path = os.path.join(WORK, name + ".script")
    log = os.path.join(WORK, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    env = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=folder,
               MERO_NOW="2024-03-07 13:05:59")
    try:
        status = subprocess.run([os.path.join(SUITE, program)] + list(args), cwd=folder, env=env,
                                timeout=120, stderr=subprocess.DEVNULL).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    return status, open(log).read() if os.path.exists(log) else ""


def words(*values):
    return struct.pack("<%di" % len(values), *values)


def zeros(n):
    return bytes(n)


def read(folder, name):
    with open(find_any_case(folder, name), "rb") as f:
        return f.read()


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# A fresh folder: the editor writes its FORM.DBD, CELLS6.DBD and CONSTS6.DBD.
base = os.path.join(WORK, "base")
os.makedirs(base)
run("wmero", base, "base", "answer CELL press cancel\nwait\nquit\n")
for f in ("FORM.DBD", "CONSTS6.DBD"):
    expect("fresh folder has " + f, os.path.exists(find_any_case(base, f)))


def drawing(name, cells):
    """A drawing folder: CELLS is a list of (name, rank, boxes, refs) with refs as (row, x, y), rows
    counting from 1 in list order."""
    folder = os.path.join(WORK, name)
    shutil.copytree(base, folder)
    os.remove(find_any_case(folder, "CELLS6.DBD"))  # the editor's own spelling would stand beside ours
    index = "%d\n" % len(cells)
    for cname, rank, boxes, refs in cells:
        index += "%s\n%d -1000 -1000 1000 1000 %d 0 0 %d\n" % (cname, rank, len(boxes), len(refs))
        write(folder, cname + ".BP6", b"".join(words(*b) for b in boxes) + zeros(48))
        if rank > 1:
            write(folder, cname + ".CL6", b"".join(words(*r) for r in refs) + zeros(12))
    write_crlf(os.path.join(folder, "CELLS6.DBD"), index + "\n")
    return folder


LEAF = ("LEAF", 1, [(1, 0, 0, 10, 10)], [])

# ---- TLCin keeps the rank rule; a header of rank 0 is no rank -----------------------------------
tlc = os.path.join(WORK, "tlc")
os.makedirs(tlc)


def tlc_cell(name, rank, uses):
    text = "=H\n%s\n6.0\n6.0\n1000\num\n03/07/24\n13:05:59\n%d 0 0 10 10\n1 0 0 %d\n=B\n1 0 0 10 10\n" % (
        name, rank, len(uses))
    return text + "".join("=C\n%s\n0 %d 0 0\n" % (u, 20 * i) for i, u in enumerate(uses))


for name, rank, uses in (("LEAF", 1, []), ("MID", 2, ["LEAF", "MID"]), ("TOP", 3, ["MID"]), ("ZERO", 0, [])):
    write_crlf(os.path.join(tlc, name + ".TLC"), tlc_cell(name, rank, uses))
write_crlf(os.path.join(tlc, "CELLS.REF"), "4\nLEAF\n1\nMID\n2\nTOP\n3\nZERO\n1\n")
into = os.path.join(WORK, "into")
shutil.copytree(base, into)
status, log = run("wmero", into, "tlcin",
                  "answer CELL press cancel\nanswer SYSTEM press 3000 press 1015\n"
                  'answer TLCIN set 1057 "../tlc" press ok\n'
                  "box ok\nbox ok\nbox ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("self-placement refused", 'box "TLCIN" "MID in MID ... Cell Record Rank Error"' in log, log)
expect("rank 0 refused", 'box "TLCIN" "ZERO ... Rank Error"' in log, log)
expect("dropped reference counted",
       'box "TLCIN" "Some Error Occurred ... 1 Cell References Dropped ... Conversion may be Incorrect"' in log, log)
expect("MID keeps only LEAF", read(into, "MID.CL6") == words(1, 0, 0) + zeros(12), read(into, "MID.CL6"))
expect("ZERO not converted", not any(f.upper() == "ZERO.BP6" for f in os.listdir(into)), os.listdir(into))

# The exporters list such a set in bounded time and tell the loop.
status, log = run("wstrmexp", WORK, "export-loop",
                  'answer SETUP set 100 "tlc/TOP.TLC" set 101 "OUT.GDS" check 113 0 press ok\n'
                  "command 12\nwait\nbox ok\ncommand 14\nwait\nquit\n")
expect("exporter ends", status != "timeout", log)
expect("exporter tells the loop", "Rank Error ... MID Placed in MID not Written" in log, log)


def gds_structures(data):
    """Structure name -> names its SREFs place."""
    out, pos, current = {}, 0, None
    while pos + 4 <= len(data):
        size, kind = struct.unpack(">HB", data[pos:pos + 3])
        if size < 4:
            break
        body = data[pos + 4:pos + size].rstrip(b"\0").decode("latin-1")
        if kind == 0x06:
            current = body
            out[current] = []
        elif kind == 0x12:
            out[current].append(body)
        pos += size
    return out


gds = gds_structures(read(WORK, "OUT.GDS"))
expect("GDS holds no loop", gds.get("MID") == ["LEAF"] and gds.get("TOP") == ["MID"], gds)

write_crlf(os.path.join(WORK, "loop.lyr"), '(LAYER 1 CIF="CM1");\n')
status, log = run("wcalexp", WORK, "cif-loop",
                  'answer SETUP set 100 "tlc/TOP.TLC" set 101 "loop.lyr" set 102 "OUT.CIF" set 103 "" press ok\n'
                  "command 12\nwait\nbox ok\ncommand 13\nwait\nquit\n")
report = open(find_any_case(WORK, "CALEXP.RPT")).read()
expect("CIF exporter tells the loop", status != "timeout" and "Rank Error ... MID Placed in MID not Written" in report,
       report)
symbols, names, current = {}, {}, None
for line in open(find_any_case(WORK, "OUT.CIF")).read().replace("\r", "").split("\n"):
    if line.startswith("DS"):
        current = int(line[2:].lstrip("#").split()[0])
        symbols[current] = []
    elif line.startswith("9 ") and current is not None:
        names[current] = line[2:].rstrip(";")
    elif line.startswith("C") and current is not None and line[1:2].isdigit():
        symbols[current].append(int(line[1:].split()[0]))
    elif line.startswith("DF"):
        current = None
calls = {names[n]: sorted(names[c] for c in used) for n, used in symbols.items()}
expect("CIF holds no loop", calls.get("MID") == ["LEAF"] and calls.get("TOP") == ["MID"], calls)

# ---- A hand-made loop: MID places itself twice ---------------------------------------------------
loop = drawing("loop", [LEAF, ("MID", 2, [(3, 0, 0, 10, 10)], [(1, 0, 0), (2, 100, 0), (2, 0, 100)]),
                        ("TOP", 3, [], [(2, 0, 0), (3, 50, 50)])])
status, log = run("wplaner", loop, "planer-loop",
                  'answer SETUP set 100 "TOP" check 103 0 press ok\ncommand 12\nwait\n'
                  "box ok\nbox ok\nbox ok\ncommand 13\nwait\nquit\n")
flat = os.path.join(loop, "FLAT", "TOP.TLC")
size = os.path.getsize(flat) if os.path.exists(flat) else -1
expect("flattener reports the loop", 'box "PLANER" "Rank Error ... MID Placed in MID not Written"' in log, log)
expect("flat file bounded by the hierarchy", 0 < size < 2000, size)
expect("flattener completes", 'box "PLANER" "Completed ... %d Bytes in Flat TLC File"' % size in log, log)
report = open(find_any_case(loop, "PLANER.RPT"), newline="").read()
expect("report names the loops", "Rank Error ... TOP Placed in TOP not Written\r\n" in report, report)

status, log = run("wmero", loop, "draw-loop", "box ok\nwait\ncommand 22\nwait\nquit\n", "TOP")
expect("drawing the loop ends", status != "timeout", log)
expect("drawing reports the rank error", 'box "" "Rank Error"' in log, log)

status, log = run("wmerockt", loop, "extract-loop",
                  'answer SETUP1 set 100 "TOP" press ok\n'
                  'answer TRACE set 300 "1" set 301 "3" set 310 "2" check 320 0 press ok\n'
                  "command 13\nwait\ncommand 14\nwait\nbox ok\nbox ok\nbox ok\ncommand 16\nwait\nquit\n")
expect("extracting the loop ends", status != "timeout", log)
expect("extractor reports the rank error", "Rank Error ... MID Placed in MID" in log, log)

# ---- The flattener's coordinates do not wrap -----------------------------------------------------
far = drawing("far", [("LEAF", 1, [(1, 2147483000, 0, 2147483600, 10), (1, 0, 0, 10, 10)], []),
                      ("TOP", 2, [], [(1, 200, 0)])])
status, log = run("wplaner", far, "planer-far",
                  'answer SETUP set 100 "TOP" check 103 0 press ok\ncommand 12\nwait\n'
                  "box ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("far box reported",
       'box "PLANER" "Box of LEAF Outside the Coordinate Range ... not Written"' in log, log)
text = open(os.path.join(far, "FLAT", "TOP.TLC")).read()
expect("nothing wrapped to the far end", "-2147" not in text and "\n1 200 0 210 10\n" in text, text)

# ---- A CL6 with a zero record inside is damage, never saved over ---------------------------------
cut = drawing("cut", [LEAF, ("MID", 2, [], [(1, 0, 0), (1, 20, 0), (1, 40, 0)])])
damaged = words(1, 0, 0) + zeros(12) + words(1, 40, 0) + zeros(12)
write(cut, "MID.CL6", damaged)
status, log = run("wmero", cut, "zero-record", "box ok\nwait\ncommand 14\nwait\nbox ok\nquit\n", "MID")
expect("zero record told", 'box "" "Unable to Read CL6 File"' in log, log)
expect("damaged CL6 kept", read(cut, "MID.CL6") == damaged, read(cut, "MID.CL6"))

# The utilities tell it too, and write no cell shorter than it is.
status, log = run("wmero", cut, "tlcout-zero-record",
                  "answer CELL press cancel\nanswer SYSTEM press 3001 press 1015\n"
                  'answer TLCOUT set 1055 "../cut-tlc" press ok\n'
                  "box ok\nbox ok\nbox ok\nbox ok\ncommand 13\nquit\n")
expect("TLCOUT tells the damage", 'box "TLCOUT" "MID ... Unable to Read CL6 File"' in log and
       'box "TLCOUT" "Some Error Occurred ... Conversion may be Incorrect"' in log, log)
exported = [f.upper() for f in os.listdir(os.path.join(WORK, "cut-tlc"))]
expect("MID not exported shorter", "LEAF.TLC" in exported and "MID.TLC" not in exported, exported)

status, log = run("wplaner", cut, "planer-zero-record",
                  'answer SETUP set 100 "MID" check 103 0 press ok\ncommand 12\nwait\n'
                  "box ok\nbox ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("flattener tells the damage", 'box "PLANER" "MID ... Unable to Read CL6 File"' in log and
       'box "PLANER" "Aborted ... Files may be Incomplete"' in log, log)
expect("no shorter flat cell", not os.path.exists(os.path.join(cut, "FLAT", "MID.TLC")))

status, log = run("wmerockt", cut, "extract-zero-record",
                  'answer SETUP1 set 100 "MID" press ok\n'
                  'answer TRACE set 300 "1" set 301 "3" set 310 "2" check 320 0 press ok\n'
                  "command 13\nwait\ncommand 14\nwait\nbox ok\nbox ok\nbox ok\ncommand 16\nwait\nquit\n")
expect("extractor tells the damage", "MID.CL6 is Damaged ... Can't Continue" in log, log)

# ---- A CELLS6.DBD whose count is below its rows is refused, not shortened ------------------------
short = drawing("short", [LEAF, ("MID", 2, [], [(1, 0, 0)]), ("TOP", 3, [], [(2, 0, 0)]),
                          ("SIDE", 1, [(2, 0, 0, 5, 5)], [])])
index = read(short, "CELLS6.DBD")
lowered = b"2" + index[1:]
write(short, "CELLS6.DBD", lowered)
status, log = run("wmero", short, "short-index", "box ok\nbox ok\nwait\nquit\n")
expect("damaged index told", 'box "" "Unable to Read or Create CELLS6.DBD ... Unknown Reason"' in log, log)
expect("index left for the user to mend", read(short, "CELLS6.DBD") == lowered, read(short, "CELLS6.DBD"))

# ---- Out-of-range values are set aside, kept, and the rest of the cell opens ----------------------
aside = drawing("aside", [("LEAF", 1, [(1, 0, 0, 10, 10), (100, 1, 2, 3, 4), (2, 0, 0, 5, 5)], []),
                          ("TOP", 2, [], [(1, 0, 0), (1500, 7, 7), (1, 30, 0)])])
status, log = run("wmero", aside, "aside-leaf", "box ok\nwait\ncommand 14\nwait\nquit\n", "LEAF")
expect("set-aside box told",
       'box "MERO" "LEAF: 1 Record Set Aside: Box on Layer 100 ... Kept in the Cell Files"' in log, log)
expect("cell opened", "Unable to Read BP6 File" not in log, log)
bp6 = read(aside, "LEAF.BP6")
expect("set-aside box saved back", words(100, 1, 2, 3, 4) in bp6 and len(bp6) == 3 * 20 + 48, bp6)
status, log = run("wmero", aside, "aside-top", "box ok\nwait\ncommand 14\nwait\nquit\n", "TOP")
expect("set-aside reference told",
       'box "MERO" "TOP: 1 Record Set Aside: Cell Reference to Row 1500 ... Kept in the Cell Files"' in log, log)
cl6 = read(aside, "TOP.CL6")
expect("set-aside reference saved back", words(1500, 7, 7) in cl6 and len(cl6) == 4 * 12, cl6)

checks.finish("all drawing integrity runs passed")
