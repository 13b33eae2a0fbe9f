"""Headless runs of wmerockt through its scripts: the setting dialogs and the set-up file they leave,
Go on the sample drawing with the netlist, node list and report it writes, the node-list comparison,
a Go stopped at a pause, the Ctrl+A box, and a folder that is not a drawing; then small cells whose
capacitors, shorts, status lines and node lists are checked line by line, a top cell the drawing
lacks, and two node lists of one circuit that differ.

usage: extract_e2e.py SUITE_FOLDER FIXTURE WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, run_program, write_crlf  # noqa: E402

SUITE, FIXTURE, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
PROGRAM = os.path.join(SUITE, "wmerockt")
checks = Checks()
expect = checks.expect


def run(name, script, cwd):
    return run_program(PROGRAM, WORK, name, script, cwd=cwd, MERO_NOW="2024-03-07 13:05:59")


def lines(folder, name):
    return open(os.path.join(folder, name), newline="").read().split("\r\n")


def fresh(name):
    folder = os.path.join(WORK, name)
    subprocess.run([FIXTURE, folder], check=True)
    return folder


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# A folder without a drawing closes the program after its message.
os.makedirs(os.path.join(WORK, "empty"))
status, log = run("empty", "box ok\nquit\n", os.path.join(WORK, "empty"))
expect("missing database closes the program", 'box "MEROCKT" "FORM.DBD is Missing"' in log, log)

# The setting dialogs, then Go.
draw = fresh("draw")
status, log = run("go", """\
answer SETUP1 set 100 "top" set 114 "N" check 113 1 check 120 1 press ok
answer TRACE set 300 "1" set 301 "3" set 310 "2" check 320 0 press ok
answer SMASH set 1024 "via" press ok
command 13
wait
command 14
wait
command 15
wait
box ok
command 16
wait
quit
""", draw)
expect("go run ends 0", status == 0, log)
expect("DISPLAY1 opens at Go", "dialog DISPLAY1" in log, log)
expect("completed without errors", 'box "MEROCKT" "Completed ... 0 Errors"' in log, log)
su6 = lines(draw, "Merockt.su6")
expect("set-up file", su6[:17] == ["6.03", "TOP", "", "", "", "60", "61", "62", "63", "Y", "Y", "Y", "Y", "N",
                                   "Y", "N", "MEROCKT.RPT"], su6[:17])
expect("trace and smash slots", su6[22:38] == ["1", "3", "", "", "", "0.", "0.", "0.", "0.", "0.", "2", "", "", "",
                                               "Y", "N"] and su6[38:46] == ["VIA"] + [""] * 7, su6[22:46])
expect("reader pairs", su6[46:48] == ["Notepad", "MEROCKT.RPT"], su6[46:48])
cir = lines(draw, "TOP.CIR")
expect("netlist", cir == [
    "*** SPICE Circuit File of TOP made by MEROCKT on 03/07/24 13:05:59 ***", "",
    ".SUBCKT INV IN OUT VDD", "M1 OUT IN 0 0 NCH L=1U W=2U", "M2 VDD IN OUT VDD PCH L=1U W=4U", ".ENDS", "",
    ".SUBCKT NAND2 A B OUT VDD", "M1 OUT A N1 0 NCH L=1U W=4U", "M2 N1 B 0 0 NCH L=1U W=4U",
    "M3 VDD A OUT VDD PCH L=1U W=4U", "M4 VDD B OUT VDD PCH L=1U W=4U", ".ENDS", "",
    "*MAIN CIRCUIT TOP", "X1 IN MID VDD INV", "X2 MID OUT VDD INV", "X3 IN MID OUT2 VDD NAND2", ".END", ""], cir)
report = lines(draw, "Merockt.rpt")
expect("report with count lines", report[0] == "*** Compile Error List for TOP made by MEROCKT on 03/07/24 13:05:59 ***"
       and "D=3  NN=5 NV=0 NS=0 NT=5  CC=10 CN=10 CV=0 CS=0 CT=10" in report
       and report[-3:] == ["Completed ... 0 Errors", "", ""], report)
nod = lines(draw, "TOP.NOD")
expect("node list", nod[-14:] == ["", "[TOP]", "IN:", " X1.1  X3.1 ", "MID:", " X2.1  X1.2  X3.2 ", "OUT:", " X2.2 ",
                                  "OUT2:", " X3.3 ", "VDD:", " X2.3  X1.3  X3.4 ", "::", ""], nod)
expect("diagnostic file", os.path.exists(os.path.join(draw, "Diagfile.txt")), os.listdir(draw))

# The comparison of the node list with itself, on the NAND's circuit.
status, log = run("comp", """\
answer SETUP2 set 200 "top.nod" set 201 "nand2" set 202 "TOP.NOD" set 204 "" press 1
box ok
command 12
wait
quit
""", draw)
expect("comparison run ends 0", status == 0, log)
expect("DISPLAY2 opens", "dialog DISPLAY2" in log, log)
expect("comparison finished", 'box "MEROCKT" "Finished ... 0 Errors"' in log, log)
err = lines(draw, "Nodecomp.err")
expect("comparison error file", err[0] == "*** Node Compare Error List made by MEROCKT on 03/07/24 13:05:59 ***"
       and "Comparing TOP.NOD to TOP.NOD" in err, err)
su6 = lines(draw, "Merockt.su6")
expect("comparison slots", su6[17:22] == ["TOP.NOD", "NAND2", "TOP.NOD", "???", "NODECOMP.ERR"], su6[17:22])

# Cancel at the second pause stops Go; the netlist is left without its end.
draw = fresh("stop")
shutil.copy(os.path.join(WORK, "draw", "Merockt.su6"), draw)
status, log = run("stop", "answer PAUSE press ok\nanswer PAUSE press cancel\nbox ok\ncommand 16\nwait\nquit\n", draw)
expect("stopped run: a failed job, exit 1", status == 1, log)
expect("aborted", 'box "MEROCKT" "Aborted ... Files may be Incomplete"' in log, log)
expect("netlist without its end", ".END" not in open(os.path.join(draw, "TOP.CIR")).read())

# Ctrl+A tells the extractor's tables; Alt+S is Setup.
status, log = run("keys", "box ok\npost 0x22 1 0\nanswer SETUP1 press cancel\nkey alt+S\nwait\nquit\n", draw)
expect("allocation box", 'box "MEROCKT" "Cell Object Allocation :\\n\\n256019 Boxes  256019 Paths  511999 Vtx  '
       '256431 Cells"' in log, log)
expect("Alt+S opens SETUP1", "dialog SETUP1" in log and "dialog SMASH" not in log, log)

# SETUP1's List button puts the picked cell's name into the cell field.
status, log = run("list", "answer SETUP1 press 1040 press ok\nanswer ANYLIST dblclick 1006 3\ncommand 13\nwait\nquit\n",
                  draw)
expect("cell picker", status == 0 and "dialog ANYLIST" in log and lines(draw, "Merockt.su6")[1] == "INV", log)

# Small cells, one transistor each, with the capacitances of both rows of the trace table.
checked = os.path.join(WORK, "checked")
subprocess.run([FIXTURE, checked, "1", "checked"], check=True)
TRACE = ('answer TRACE set 300 "1" set 301 "3" set 310 "2" set 305 "0.0002" set 306 "0.0001" check 320 1 '
         'press ok\n')


def go(name, cell, answers="", fast=False, boxes=1):
    script = ('answer SETUP1 set 100 "%s" check 120 %d press ok\n' % (cell, 1 if fast else 0) + TRACE + answers
              + "command 13\nwait\ncommand 14\nwait\n" + "box ok\n" * boxes + "command 16\nwait\nquit\n")
    return run(name, script, checked)


# Capacitors: every scan line from the bottom to the top of a shape, ends included, adds the widths
# inside it, and the bottom and top lines of a box hold none. D's box 4 x 12 gives 4 x 11; G's box
# 4 x 3 and its wire 18 x 3 on poly; S's box 4 x 11 and the triangle beside it 9 + 8 + ... + 1.
status, log = go("caps", "caps")
expect("capacitors completed", status == 0 and 'box "MEROCKT" "Completed ... 0 Errors"' in log, log)
cir = lines(checked, "CAPS.CIR")
expect("capacitors by the scan lines", cir == [
    "*** SPICE Circuit File of CAPS made by MEROCKT on 03/07/24 13:05:59 ***", "", "*MAIN CIRCUIT CAPS",
    "M1 D G S 0 NCH", "", "* PARASITIC CAPS", "C_D D 0 0.0044pF", "C_G G 0 0.0132pF", "C_S S 0 0.0089pF", ".END",
    ""], cir)

# Two named poly boxes sharing an edge: the area pass visits poly going down only, and each of its two
# runs (connecting, then reconnecting) meets the pair from both sides.
status, log = go("shorts", "shorts")
expect("shorts counted", status == 0 and 'box "MEROCKT" "Completed ... 4 Errors"' in log, log)
report = lines(checked, "Merockt.rpt")
expect("shorts in the report", report == [
    "*** Compile Error List for SHORTS made by MEROCKT on 03/07/24 13:05:59 ***", "", "[MAIN CIRCUIT] SHORTS",
    "Nodes D and S are Shorted", "Nodes S and D are Shorted", "Nodes D and S are Shorted",
    "Nodes S and D are Shorted", "", "Completed ... 4 Errors", "", ""], report)
expect("shorted nodes keep their names", "M1 D G S B NCH" in lines(checked, "SHORTS.CIR"),
       lines(checked, "SHORTS.CIR"))
nod = lines(checked, "SHORTS.NOD")
expect("node list of the shorted cell", nod == [
    "*** Node List of SHORTS made by MEROCKT on 03/07/24 13:05:59 ***", "", "[SHORTS]", "B:", " M1.4 ", "D:",
    " M1.1 ", "G:", " M1.2 ", "S:", " M1.3 ", "::", ""], nod)

# Virtual nodes: a line reaching the drain and a box alone, each with its status line and its pause.
LINE = 'item DISPLAY1 501 "Connecting Virtual Node VN1 Lines ... Pass 1"\ndialog PAUSE\n'
AREA = 'item DISPLAY1 501 "Connecting Virtual Node VN2 Areas on Layer 3 ... Pass 1"\ndialog PAUSE\n'
status, log = go("lines", "lines")
expect("virtual nodes completed", status == 0 and "M1 VN1 G 0 B NCH" in lines(checked, "LINES.CIR"), log)
expect("status lines of the virtual nodes", LINE in log and AREA in log, log)
status, fast = go("lines-fast", "lines", fast=True)
expect("a fast run polls Esc instead of pausing", 'box "MEROCKT" "Completed ... 0 Errors"' in fast
       and "dialog PAUSE" not in fast, fast)
for what, status_line in (("line", LINE), ("area", AREA)):
    before = log[:log.index(status_line)].count("dialog PAUSE")
    answers = "answer PAUSE press ok\n" * before + "answer PAUSE press cancel\n"
    status, stopped = go("lines-stop-" + what, "lines", answers)
    expect("Cancel at the %s's status line stops Go" % what,
           status == 1 and 'box "MEROCKT" "Aborted ... Files may be Incomplete"' in stopped
           and "M1" not in open(os.path.join(checked, "LINES.CIR")).read(), stopped)

# A top cell the drawing lacks: told, and Go ends as aborted with no netlist.
status, log = go("nosuch", "nosuch", boxes=2)
expect("missing top cell aborts, exit 1", status == 1 and log.index('box "MEROCKT" "NOSUCH is not in CELLS6.DBD"')
       < log.index('box "MEROCKT" "Aborted ... Files may be Incomplete"'), log)
expect("nothing written for the missing cell",
       not any(n.upper().startswith("NOSUCH.") for n in os.listdir(checked)), os.listdir(checked))

# Two node lists of one circuit INVX, opened by the base name INV; M2.1 has moved from node A to B.
write_crlf(os.path.join(checked, "A.NOD"), "*** Node List ***\n\n[INVX]\nA:\n M1.1  M2.1 \nB:\n M3.1 \n::\n")
write_crlf(os.path.join(checked, "B.NOD"), "*** Node List ***\n\n[INVX]\nA:\n M1.1 \nB:\n M2.1  M3.1 \n::\n")
status, log = run("comp-moved", """\
answer SETUP2 set 200 "a.nod" set 201 "inv" set 202 "b.nod" set 204 "nlc.rpt" press 1
box ok
command 12
wait
quit
""", checked)
expect("comparison of a moved connection", status == 0 and 'box "MEROCKT" "Finished ... 2 Errors"' in log, log)
expect("the way back on the display", 'item DISPLAY2 600 "Comparing A.NOD to B.NOD"' in log
       and 'item DISPLAY2 601 "Comparing B.NOD to A.NOD"' in log, log)
err = lines(checked, "Nlc.rpt")
expect("comparison error file", err == [
    "*** Node Compare Error List made by MEROCKT on 03/07/24 13:05:59 ***", "", "Comparing A.NOD to B.NOD",
    "Connection M2.1 on Node A: is not on expected Node A:", "Connection M3.1 on Node B: is not on expected Node A:",
    "", "Finished ... 2 Errors", "", ""], err)

checks.finish("wmerockt end to end: PASSED")
