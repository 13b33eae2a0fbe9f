"""Headless runs of wmeroll: a folder without its database closes the program with the file's name;
SETUP with its normal forms, its switch logic, Fit, List and Cancel, and the set-up file it leaves;
another version of that file ignored; Go to the end with the report, the completion box and the
TLC file whose header comes last; the MAPPER window; the RNDOFF question answered and aborted; a
pause cancelled; an unknown cell; Ctrl+A.

usage: layerlogic_e2e.py SUITE_FOLDER DRAWING_MAKER WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, HERE)
import fixture  # noqa: E402
from scripted_program import Checks, run_program  # noqa: E402

SUITE, MAKER, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
checks = Checks()
expect = checks.expect
DRAW = os.path.join(WORK, "draw")


def run(name, script, cwd=DRAW):
    return run_program(os.path.join(SUITE, "wmeroll"), WORK, name, script, cwd=cwd, MERO_NOW="2024-03-07 13:05:59")


def setup(name, actions):
    """SETUP alone, ended by the actions' last button."""
    return run(name, "answer SETUP %s\ncommand 12\nwait\nquit\n" % actions)


def su6():
    return open(os.path.join(DRAW, "Meroll.su6"), newline="").read().split("\r\n")


def read(name):
    for entry in os.listdir(DRAW):
        if entry.upper() == name.upper():
            return open(os.path.join(DRAW, entry), newline="").read()
    return None


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(os.path.join(WORK, "empty"))
fixture.write(os.path.join(WORK, "tlc"))
subprocess.run([MAKER, os.path.join(WORK, "tlc"), DRAW], check=True, stdout=subprocess.DEVNULL)

# A drawing folder needs all three database files.
status, log = run("empty", "box ok\nquit\n", os.path.join(WORK, "empty"))
expect("missing FORM.DBD closes the program, exit 1", 'box "MEROLL" "FORM.DBD is Missing"' in log and status == 1, log)
status, log = run("noconsts", "box ok\nquit\n")
expect("missing CONSTS6.DBD closes the program", 'box "MEROLL" "CONSTS6.DBD is Missing"' in log, log)
fixture.consts(DRAW)

# Every field typed out of range comes back in its normal form.
status, log = setup("setup", 'check 1056 1 check 1057 1 set 1000 "top" set 1001 "sub\\\\res" set 1002 "0" set 1003 "99" '
                             'set 1004 "7" set 1005 "0.001" set 1006 "-0.1" set 1007 "0.3" set 1008 "50" set 1009 "20" '
                             'set 1010 "-5" set 1011 "20" set 1012 "-2" set 1013 "" check 1052 1 check 1053 1 press ok')
expect("setup run ends 0", status == 0, log)
lines = su6()
expect("set-up file", lines[:21] == ["6.02", "TOP", "SUB\\RES.TLC", "1", "64", "7", "0.05um", "0.1um", "0.3um",
                                     "-5um", "20um", "50um", "20um", "0", "MEROLL.RPT", "2", "Y", "N", "N", "Y", "Y"]
       and lines[21:23] == ["Notepad", "MEROLL.RPT"] and len(lines) == 42, lines)

# Unchecking Convert to Poly takes Reduce Vertices with it; Max Seg Size is then closed to typing.
status, log = setup("switches", "check 1056 0 press ok")
expect("switches cleared together", su6()[19:21] == ["N", "N"], su6()[19:21])
status, log = setup("disabled", 'set 1007 "2" press ok')
expect("Max Seg Size refuses typing without Reduce Vertices", status == 2, "%s\n%s" % (status, log))
status, log = setup("reduce-alone", "check 1057 1 press ok")
expect("Reduce Vertices needs Convert to Poly", su6()[20] == "N", su6())

# Fit shows a cell's outline; Cancel puts the window and the cell back.
status, log = setup("fit-cancel", 'set 1000 "chip" press 1014 press cancel')
expect("Fit shows CHIP's outline", 'item SETUP 1008 "-0.5um"' in log and 'item SETUP 1011 "65.5um"' in log, log)
expect("Cancel keeps the window and cell", su6()[1] == "TOP" and su6()[9:13] == ["-5um", "20um", "50um", "20um"],
       su6())
status, log = setup("list-fit", "press 1015 press 1014 press ok\nanswer ANYLIST dblclick 1006 0")
expect("List picks CHIP and Fit takes its outline", su6()[1] == "CHIP" and
       su6()[9:13] == ["-0.5um", "-6um", "45um", "65.5um"], su6())

# A set-up file of another version is ignored.
with open(os.path.join(DRAW, "Meroll.su6"), "w", newline="") as f:
    f.write("6.01\r\nTOP\r\n")
status, log = setup("version", "press cancel")
expect("another version is ignored", 'item SETUP 1000 "???"' in log and 'item SETUP 1010 "100um"' in log, log)

# Go over the whole of TOP at one unit a pixel: XOR into polygons and boxes.
status, log = run("go", fixture.setup_then_go('set 1000 "top" set 1001 "out" set 1005 "0.05" set 1004 "9" '
                                               "check 1052 1 check 1056 1 press 1014"))
out = read("OUT.TLC")
expect("Go completes", status == 0 and '"Completed ... ' in log and out is not None, log)
if out:
    tail = out.split("\r\n")[-11:]
    expect("header last", tail[:10] == ["=H", "OUT", "6.0", "6.0", "20", "um", "03/07/24", "13:05:59",
                                        "1 0 0 20 0", tail[9]] and tail[10] == "" and tail[9].endswith(" 0"), tail)
    counts = [int(v) for v in tail[9].split()]
    expect("counts of the records", counts[0] == out.count("=B\r\n") and counts[1] == out.count("=P\r\n") and
           counts[1] > 0 and ("Completed ... %d Boxes  %d Poly  %d Vertices" % tuple(counts[:3])) in log,
           "%s\n%s" % (tail, log))
    expect("every record on the output layer", all(line.startswith("9 ") for i, line in
                                                     enumerate(out.split("\r\n")[1:])
                                                     if out.split("\r\n")[i] in ("=B", "=P")))
report = read("MEROLL.RPT") or ""
expect("report", report.startswith("\r\n*** MERO Layer Logic Conversion Report ***\r\n\r\nDate: 03/07/24\tTime: "
                                   "13:05:59\r\nCell: TOP\r\nOutput File: OUT.TLC\r\nOutput Layer 9\r\n"
                                   "Map Resolution= 0.05um\r\nPoly Resolution= 1um\r\nMinimum Size= 0um\r\n")
       and "Completed ... " in report, report)
expect("progress items", 'item DISPLAY 510 "30 of 30 Areas Done"' in log and
       'item DISPLAY 500 "Creating OUT.TLC ..."' in log, log)

# The result shown for a second in the MAPPER window, which goes when the tile is done.
status, log = run("mapper", fixture.setup_then_go('set 1005 "1" set 1012 "1"'))
expect("MAPPER shows the tile", "dialog MAPPER" in log and 'item MAPPER 500 "L=-10um B=-65.5um R=1014um T=958.5um"'
       in log and '"Completed ... ' in log, log)

# Half-pixel vertices at ten units a pixel: the question once with Ignore All, or the run stops.
status, log = run("rndoff", fixture.setup_then_go('set 1005 "0.5" set 1012 "0"', "answer RNDOFF press 5\n"))
expect("RNDOFF once, then Ignore All", log.count("dialog RNDOFF") == 1 and '"Completed ... ' in log and
       'item RNDOFF 100 "Warning ...\\n\\n Rounding occurred at  X=' in log, log)
status, log = run("rndoff-abort", "answer RNDOFF press 3\nbox ok\ncommand 13\nwait\nquit\n")
out = read("OUT.TLC") or ""
expect("RNDOFF Abort stops the run", 'box "MEROLL" "Aborted ... TLC File may be Incomplete"' in log and
       "=H" not in out, log)

# A pause cancelled stops the run; so does a cell that is not there.
status, log = run("cancel", "answer PAUSE press cancel\nbox ok\ncommand 13\nwait\nquit\n")
expect("Cancel at a pause", 'box "MEROLL" "Aborted ... TLC File may be Incomplete"' in log, log)
with open(os.path.join(DRAW, "Meroll.su6"), "w", newline="") as f:
    f.write("6.02\r\nGONE\r\n")
status, log = run("unknown", "box ok\ncommand 13\nwait\nquit\n")
expect("unknown cell", 'box "MEROLL" "Aborted ... TLC File may be Incomplete"' in log, log)

status, log = run("ctrl-a", "box ok\nkey ctrl+A\nwait\nquit\n")
expect("Ctrl+A", 'box "MEROLL" "Cell Object Allocation :\\n\\n256033 Boxes  256431 Paths  511999 Vtx  256431 Cells"'
       in log, log)

# A window of millions of tiles is told and asked about before the output file is touched.
with open(os.path.join(DRAW, "OUT.TLC"), "w", newline="") as f:
    f.write("kept\r\n")
status, log = run("absurd", fixture.setup_then_go('set 1000 "top" set 1001 "out" set 1005 "0.05" set 1008 "0" '
                                                  'set 1009 "0" set 1010 "100000" set 1011 "100000"', "box cancel\n"))
expect("absurd tile count asked about", 'box "MEROLL" "3818116 Areas to Map ... Continue?"' in log and
       'box "MEROLL" "Aborted ... TLC File may be Incomplete"' in log and read("OUT.TLC") == "kept\r\n", log)

checks.finish("wmeroll e2e: all checks passed")
