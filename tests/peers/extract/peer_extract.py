"""Peer checks of wmerockt's netlists: ngspice parses and simulates what it writes for an inverter, a
two-input NAND and a top cell that places them as sub-circuits (with parasitic capacitors), and
netgen finds the extracted top cell equivalent to a netlist of the same circuit written by hand, and
not to one with a wire moved.

usage: peer_extract.py SUITE_FOLDER FIXTURE WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from scripted_program import Checks, run_program  # noqa: E402

SUITE, FIXTURE, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
PROGRAM = os.path.join(SUITE, "wmerockt")
NGSPICE = shutil.which("ngspice")
NETGEN = shutil.which("netgen-lvs") or shutil.which("netgen")
checks = Checks()
expect = checks.expect

MODELS = ".MODEL NCH NMOS LEVEL=1 VTO=0.7 KP=110U\n.MODEL PCH PMOS LEVEL=1 VTO=-0.7 KP=50U\nVDD VDD 0 DC 5\n"


def extract(folder, cell, header="", footer="", capacitance=False):
    """Go on CELL with the given header and footer files; the .CIR text."""
    script = ('answer SETUP1 set 100 "%s" set 102 "%s" set 103 "%s" press ok\n'
              'answer TRACE set 300 "1" set 301 "3" set 310 "2" set 306 "0.0001" check 320 %d press ok\n'
              "command 13\nwait\ncommand 14\nwait\nbox ok\ncommand 16\nwait\nquit\n"
              % (cell, header, footer, 1 if capacitance else 0))
    status, log = run_program(PROGRAM, WORK, cell + "-" + (header or "plain"), script, cwd=folder)
    expect("%s extracted" % cell, status == 0 and 'box "MEROCKT" "Completed ... 0 Errors"' in log, log)
    path = os.path.join(folder, cell.upper() + ".CIR")
    return open(path).read() if os.path.exists(path) else ""


def simulate(folder, cell):
    """ngspice in batch mode on the cell's netlist: the rows of the last PRINT, as lists of floats."""
    try:
        out = subprocess.run([NGSPICE, "-b", cell + ".CIR"], cwd=folder, capture_output=True, text=True,
                             timeout=400)
    except subprocess.TimeoutExpired:
        expect("ngspice on %s ends" % cell, False)
        return []
    text = out.stdout + out.stderr
    expect("ngspice reads %s without complaint" % cell,
           out.returncode == 0 and "rror" not in text and "unknown" not in text.lower(), text)
    rows = []
    for line in out.stdout.splitlines():
        words = line.split()
        if words and words[0].isdigit() and len(words) > 2:
            rows.append([float(w) for w in words[1:]])
    return rows


def write(folder, name, text):
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)


def high(v):
    return v > 4.5


def low(v):
    return v < 0.5


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
draw = os.path.join(WORK, "draw")
subprocess.run([FIXTURE, draw], check=True)

if NGSPICE:
    # The inverter alone, swept from 0 to 5 V.
    write(draw, "INVH.SP", MODELS + "VIN IN 0 DC 0\n")
    write(draw, "INVF.SP", ".DC VIN 0 5 5\n.PRINT DC V(OUT)\n")
    extract(draw, "inv", "invh.sp", "invf.sp")
    rows = simulate(draw, "INV")
    expect("inverter inverts", len(rows) == 2 and high(rows[0][1]) and low(rows[1][1]), rows)

    # The NAND through its four input pairs (A changes fastest).
    write(draw, "NANDH.SP", MODELS + "VA A 0 DC 0\nVB B 0 DC 0\n")
    write(draw, "NANDF.SP", ".DC VA 0 5 5 VB 0 5 5\n.PRINT DC V(OUT)\n")
    extract(draw, "nand2", "nandh.sp", "nandf.sp")
    rows = simulate(draw, "NAND2")
    expect("NAND truth table", len(rows) == 4 and all(high(r[1]) for r in rows[:3]) and low(rows[3][1]), rows)

    # The top cell: two inverters make a buffer, the NAND takes the input and its inverse.
    write(draw, "TOPH.SP", MODELS + "VIN IN 0 DC 0\n")
    write(draw, "TOPF.SP", ".DC VIN 0 5 5\n.PRINT DC V(MID) V(OUT) V(OUT2)\n")
    cir = extract(draw, "top", "toph.sp", "topf.sp", capacitance=True)
    expect("sub-circuits and capacitors in the netlist",
           ".SUBCKT INV IN OUT VDD" in cir and ".SUBCKT NAND2 A B OUT VDD" in cir and "\nC_MID MID 0 " in cir, cir)
    rows = simulate(draw, "TOP")
    expect("buffer and NAND", len(rows) == 2 and high(rows[0][1]) and low(rows[0][2]) and high(rows[0][3])
           and low(rows[1][1]) and high(rows[1][2]) and high(rows[1][3]), rows)
else:
    print("ngspice not found: the simulation checks are skipped")

REFERENCE = """* the buffer and NAND drawn by hand
.SUBCKT INV A Y VDD
MN Y A 0 0 NCH L=1U W=2U
MP Y A VDD VDD PCH L=1U W=4U
.ENDS
.SUBCKT NAND2 A B Y VDD
MN1 Y A X 0 NCH L=1U W=4U
MN2 X B 0 0 NCH L=1U W=4U
MP1 Y A VDD VDD PCH L=1U W=4U
MP2 Y B VDD VDD PCH L=1U W=4U
.ENDS
XB1 IN MID VDD INV
XB2 MID OUT VDD INV
XN IN %s OUT2 VDD NAND2
.END
"""


def lvs(name, reference):
    """netgen's verdict on the extracted top cell against REFERENCE: True when they match."""
    folder = os.path.join(WORK, "lvs-" + name)
    os.makedirs(folder)
    shutil.copy(os.path.join(lvsdraw, "TOP.CIR"), os.path.join(folder, "top.spice"))
    write(folder, "ref.spice", reference)
    # MOS drains and sources are interchangeable; W and L are compared.
    write(folder, "setup.tcl", "permute default\nproperty default\n")
    try:
        out = subprocess.run([NETGEN, "-batch", "lvs", "top.spice", "ref.spice", "setup.tcl", "lvs.out"],
                             cwd=folder, capture_output=True, text=True, timeout=400)
    except subprocess.TimeoutExpired:
        expect("netgen %s ends" % name, False)
        return None
    return "Circuits match uniquely" in out.stdout, out.stdout[-3000:]


if NETGEN:
    lvsdraw = os.path.join(WORK, "lvsdraw")
    subprocess.run([FIXTURE, lvsdraw], check=True)
    extract(lvsdraw, "top")
    verdict = lvs("same", REFERENCE % "MID")
    expect("netgen finds the extraction equivalent to the reference", verdict and verdict[0], verdict)
    verdict = lvs("moved", REFERENCE % "OUT")
    expect("netgen tells a moved wire apart", verdict and not verdict[0], verdict)
else:
    print("netgen not found: the equivalence checks are skipped")

checks.finish("wmerockt peers: PASSED")
