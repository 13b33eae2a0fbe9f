"""Headless runs of wmero's Print on the demo drawing: the bitmap form and the direct form into PDF
files, looked at as rendered pages; black and white; Print refused until a printer is chosen; a
file that cannot be written.

usage: wmero_print_e2e.py SUITE_FOLDER DEMO_FOLDER WORK_FOLDER
"""
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks  # noqa: E402

SUITE, DEMO, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
checks = Checks()
expect = checks.expect



def wmero(name, script, **env):
    path = os.path.join(WORK, name + ".script")
    log = os.path.join(WORK, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    environment = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen",
                       XDG_RUNTIME_DIR=WORK, **env)
    status = subprocess.run([os.path.join(SUITE, "wmero"), "TOP"], cwd=WORK, env=environment,
                            timeout=300).returncode
    return status, open(log).read() if os.path.exists(log) else ""


def pdf_info(name):
    return subprocess.run(["pdfinfo", os.path.join(WORK, name)], capture_output=True, text=True).stdout


def render(name):
    """The first page at 40 dpi: width, height and rows of (r, g, b) pixels."""
    base = os.path.join(WORK, "page")
    subprocess.run(["pdftoppm", "-r", "40", "-f", "1", "-l", "1", os.path.join(WORK, name), base], check=True)
    ppm = [f for f in os.listdir(WORK) if f.startswith("page") and f.endswith(".ppm")][0]
    data = open(os.path.join(WORK, ppm), "rb").read()
    os.remove(os.path.join(WORK, ppm))
    magic, size, maxval, pixels = data.split(b"\n", 3)
    width, height = map(int, size.split())
    return width, height, [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
                           for y in range(height)]


def coloured(p):
    return max(p) - min(p) > 60


def inked(p):
    return min(p) < 200


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)

# The bitmap form at the scale that fits: a square as tall as the page in its middle, in colour.
status, log = wmero("bitmap", "answer HCPY press 4 press 5 press 1\ncommand 12\nwait\nquit\n",
                    MERO_PRINTER="file:bitmap.pdf")
info = pdf_info("bitmap.pdf")
expect("bitmap print: one landscape page", status == 0 and re.search(r"^Pages:\s+1$", info, re.M) and
       "MERO Hardcopy" in info and "842 x 595" in info, log + info)
width, height, rows = render("bitmap.pdf")
left = (width - height) // 2
columns = [x for x in range(width) if any(inked(rows[y][x]) for y in range(height))]
expect("the picture stays within the middle square", columns and columns[0] >= left - 2 and
       columns[-1] <= left + height + 2, (columns[:1], columns[-1:], left, height))
expect("in colour", any(coloured(p) for r in rows for p in r))

# Direct onto the page, black and white: ink, none of it coloured.
status, log = wmero("direct", "answer HCPY press 4 check 1315 1 check 1320 1 press 5 press 1\ncommand 12\nwait\n"
                    "quit\n", MERO_PRINTER="file:direct.pdf")
expect("direct print: one page", status == 0 and re.search(r"^Pages:\s+1$", pdf_info("direct.pdf"), re.M), log)
width, height, rows = render("direct.pdf")
expect("black and white", any(inked(p) for r in rows for p in r) and not any(coloured(p) for r in rows for p in r))

# No printer chosen yet: Print cannot be pressed, and the run says so.
status, log = wmero("noprinter", "answer HCPY press 1\ncommand 12\nwait\nquit\n")
expect("Print needs a printer", status == 2 and
       'item HCPY 1308 "Information Required ... do Setup"' in log, log)
expect("no file", not os.path.exists(os.path.join(WORK, "print.pdf")))

# A file that cannot be made is told.
status, log = wmero("failed", "answer HCPY press 4 press 1\nbox ok\ncommand 12\nwait\nquit\n",
                    MERO_PRINTER="file:" + os.path.join(WORK, "no", "such", "folder", "x.pdf"))
expect("print failure told", status == 0 and 'box "" "Print Failed"' in log, log)

checks.finish("all wmero print runs passed")
