"""Headless runs of whpv: its own help, topics named on the command line, FILER, a topic and the
manual printed to PDF files (their pages counted and looked at), and damaged help files.

usage: whpv_e2e.py SUITE_FOLDER WORK_FOLDER
"""
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, quoted, run_program  # noqa: E402

SUITE, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect
MERO60 = "C:\\MERO6\\MERO60.HPV"


def run(name, script, *args, **env):
    """whpv started with ARGS as the editor or a utility starts it."""
    path = os.path.join(WORK, name + ".script")
    log = os.path.join(WORK, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    environment = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen", **env)
    try:
        status = subprocess.run([os.path.join(SUITE, "whpv")] + list(args), cwd=WORK, env=environment,
                                timeout=400).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    return status, open(log).read() if os.path.exists(log) else ""


def pdf_pages(name):
    out = subprocess.run(["pdfinfo", os.path.join(WORK, name)], capture_output=True, text=True).stdout
    m = re.search(r"^Pages:\s+(\d+)", out, re.M)
    return int(m.group(1)) if m else 0


def inked_rows(name, page):
    """Rows of a page rendered at 30 dpi that hold dark pixels."""
    base = os.path.join(WORK, "render")
    subprocess.run(["pdftoppm", "-r", "30", "-gray", "-f", str(page), "-l", str(page), os.path.join(WORK, name),
                    base], check=True)
    rendered = [f for f in os.listdir(WORK) if f.startswith("render") and f.endswith(".pgm")][0]
    data = open(os.path.join(WORK, rendered), "rb").read()
    os.remove(os.path.join(WORK, rendered))
    header = data.split(b"\n", 3)
    width, height = map(int, header[1].split())
    pixels = header[3]
    return [y for y in range(height) if min(pixels[y * width:(y + 1) * width]) < 128]


def help_file(name, lines):
    with open(os.path.join(WORK, name), "wb") as f:
        f.write(b"\xF0\xF0\r\n" + b"".join(line + b"\r\n" for line in lines))
    return os.path.join(WORK, name)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# The viewer's own help; Quit there ends the program.
status, log = run("own", "answer HELPER press 2\ncommand 10\nwait\nanswer HELPER press 1\ncommand 10\nwait\n")
expect("own help shown twice, Quit ends", status == 0 and log.count("dialog HELPER") == 2, log)

# An editor F1 help names its topic: the text opens at once, in any case.
for topic in ["Command Information/Get", "command information/tlcOUT", "Command Information/Pan",
              "Command Information/Toggles"]:
    status, log = run("topic", "answer HELPER press 1\n", MERO60, topic)
    expect("topic %s opens at once" % topic,
           status == 0 and log.count("dialog ") == 2 and "dialog LISTER" not in log and "box " not in log and
           'title "HPV 6.0  ( MERO60 )"' in log, log)

# A utility's Help names its file alone; Topics lists the main topics.
status, log = run("utility", "answer LISTER dblclick 200 0\nanswer LISTER press 2\nanswer LISTER press 2\n"
                  "command 12\nwait\nquit\n", "C:\\MERO6\\STRMCONV.HPV")
expect("utility help lists", status == 0 and log.count("dialog LISTER") == 3 and "box " not in log, log)

# FILER names another file; Topics then reads that one.
status, log = run("filer", 'answer FILER set 100 "c:\\mero6\\planer" press ok\ncommand 11\nwait\n'
                  "answer LISTER press 1\ncommand 12\nwait\n")
expect("FILER chose PLANER.HPV", 'title "HPV 6.0  ( PLANER )"' in log and "dialog LISTER" in log, log)

# A topic printed: one page with its text.
status, log = run("print", "answer HELPER press 302\nanswer PRINTDLG press 1\nwait\nquit\n", MERO60,
                  "Command Information/Print", MERO_PRINTER="file:topic.pdf")
expect("topic printed", status == 0 and pdf_pages("topic.pdf") == 1, log)
rows = inked_rows("topic.pdf", 1)
expect("the topic's text is on the page", len(rows) > 20, rows)

# The manual: counted first, then printed whole; the confirmation tells the pages.
status, log = run("manual", "answer PRINTDLG press 3\nanswer PRINTDLG press 1\nbox ok\ncommand 13\nwait\nquit\n",
                  MERO60, MERO_PRINTER="file:manual.pdf")
m = re.search(r'box "HPV 6.0" "(\d+) Pages will be Printed \.\.\.\\nCheck your Paper Supply\\n\\n'
              r'To Change Pages Cancel and\\nrun Manual Again"', log)
expect("manual confirmation", m is not None, log)
if m:
    pages = int(m.group(1))
    expect("manual pages as told", pages > 10 and pdf_pages("manual.pdf") == pages, (pages, pdf_pages("manual.pdf")))
    # the title page has its block a third of the way down; a later page starts at the top
    title_rows, topic_rows = inked_rows("manual.pdf", 1), inked_rows("manual.pdf", 2)
    expect("title page", title_rows and title_rows[0] > 40, title_rows[:5])
    expect("topic page", topic_rows and topic_rows[0] < 40, topic_rows[:5])

# Pages 2 to 3 of it only.
status, log = run("pages", 'answer PRINTDLG press 3\nanswer PRINTDLG set 1014 "2" set 1015 "3" press 1\nbox ok\n'
                  "command 13\nwait\nquit\n", MERO60, MERO_PRINTER="file:part.pdf")
expect("two pages", '"2 Pages will be Printed' in log and pdf_pages("part.pdf") == 2, log)

# Damaged and hostile files end with the viewer's messages, never a crash.
with open(os.path.join(WORK, "FORMAT.TXT"), "wb") as f:
    f.write(b"Main\r\n Sub\r\n  text\r\n")
# A help file that cannot be had is a failed job (exit 1); the limits are told and the viewer goes on.
cases = [
    ("missing", os.path.join(WORK, "NONE.HPV"), '"HPV 6.0" "No Help Text (.HPV) File was Found"', 1),
    ("format", os.path.join(WORK, "FORMAT.TXT"), '"HPV 6.0" "The Help Text File is not in the Right Format"', 1),
    ("long", help_file("LONG.HPV", [b"Main", b" Sub", b"  " + b"x" * 69]), '"Help Line Too Long!" "  ' + "x" * 69 + '"',
     0),
    ("limit", help_file("LIMIT.HPV", [b"Main %d" % i for i in range(40)]), '"" "Topic Limit Reached or Exceeded"', 0),
    ("lines", help_file("LINES.HPV", [b"Main", b" Sub"] + [b"  line %d" % i for i in range(500)]),
     '"HPV 6.0" "Too Many Help Text Lines"', 0),
]
for name, path, box, ends in cases:
    # Forty main topics without secondary topics: the first one's list is empty, so Quit there.
    answers = "answer LISTER press 1\n" if name == "limit" else "answer LISTER dblclick 200 0\nanswer HELPER press 1\n"
    status, log = run(name, "box ok\n" + answers + "command 12\nwait\nquit\n", path)
    expect("%s: %s, exit %d" % (name, box, ends), status == ends and ("box " + box) in log, log)

# A topic not in the file: told, and the viewer closes.
status, log = run("notfound", "box ok\n", MERO60, "No Such Topic")
expect("topic not found", status == 0 and 'box "HPV 6.0" "Topic \\"No Such Topic\\" not Found"' in log, log)

checks.finish("all whpv runs passed")
