"""The scripts of the user pages run as written: every fenced script of README.md or docs/jobs.md
(a fence without an info string; `sh` and `text` fences are commands and file contents) is run by
the program its section names, on a copy of the demo drawing or the files the page says to bring,
and must end with the message named on the line after it:
    Ends with "TEXT".                           the last message box starts with TEXT
    Ends with no message box; it writes FILE.   no box at all, FILE written
    Ends with no message box; it shows "TEXT".  no box at all, some window item shows TEXT
where N in TEXT stands for a number. A script the table below does not know, or an entry whose script
is gone from the page, fails the check too, so the page and the runs cannot drift apart.

usage: pages_e2e.py SUITE_FOLDER BUILD_FOLDER SOURCE_TREE WORK_FOLDER README|JOBS
"""
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, run_program  # noqa: E402

SUITE, BUILD, SOURCE, WORK, PAGE = sys.argv[1:6]
WORK = os.path.abspath(WORK)
checks = Checks()
expect = checks.expect

ENDS = re.compile(r'^Ends with (?:"(?P<box>.*)"|no message box; it (?:writes (?P<file>\S+)|shows "(?P<item>.*)"))\.$')
QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def fenced_blocks(path):
    """(heading, info string, text, the line after the closing fence) of every fenced block."""
    lines = open(path).read().split("\n")
    blocks, heading, i = [], "", 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("#"):
            heading = line.lstrip("#").strip()
        if line.startswith("```"):
            info, body = line[3:].strip(), []
            i += 1
            while i < len(lines) and lines[i] != "```":
                body.append(lines[i])
                i += 1
            after = lines[i + 1] if i + 1 < len(lines) else ""
            blocks.append((heading, info, "\n".join(body) + "\n", after))
        i += 1
    return blocks


def scripts_of(page):
    """The page's scripts as (heading, index in its section, text, end line), and its text blocks."""
    scripts, texts, seen = [], [], {}
    for heading, info, body, after in fenced_blocks(os.path.join(SOURCE, page)):
        if info == "text":
            texts.append((heading, body))
        elif info == "":
            n = seen.get(heading, 0)
            seen[heading] = n + 1
            scripts.append((heading, n, body, after))
    return scripts, texts


def unquote(text):
    return re.sub(r"\\(.)", lambda m: "\n" if m.group(1) == "n" else m.group(1), text)


def message_pattern(text):
    return re.compile(r"\b\d+\b".join(re.escape(part) for part in re.split(r"\bN\b", text)))


def log_texts(log, kind):
    """The texts of the log's `box` lines (the last quoted part) or `item` lines."""
    found = []
    for line in log.split("\n"):
        if line.startswith(kind + " "):
            parts = QUOTED.findall(line)
            if parts:
                found.append(unquote(parts[-1]))
    return found


def copy_demo(folder):
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(os.path.join(BUILD, "demo"), folder)
    return folder


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


# ---- What each script needs: the program, where it runs, what the page says to bring -------------
README_DIR = os.path.join(WORK, "readme")
JOBS_DIR = os.path.join(WORK, "jobs")
DRAWING = os.path.join(JOBS_DIR, "demo-copy")
TEXT_BLOCKS = {}


def readme_tlcin():
    shutil.rmtree(os.path.join(README_DIR, "tlc"), ignore_errors=True)
    shutil.copytree(os.path.join(SOURCE, "resources", "demo"), os.path.join(README_DIR, "tlc"))
    return fresh(os.path.join(README_DIR, "new"))


def readme_tlcout():
    return copy_demo(os.path.join(README_DIR, "demo-copy"))


def in_drawing(*folders):
    def prepare():
        for f in folders:
            os.makedirs(os.path.join(DRAWING, f), exist_ok=True)
        return DRAWING
    return prepare


def layer_file():
    with open(os.path.join(DRAWING, "LAYERS.LYR"), "w") as f:
        f.write(TEXT_BLOCKS["CIF: wcalexp and wcalimp"])
    return DRAWING


def font_files():
    shutil.copy(os.path.join(SUITE, "TFF.DBD"), DRAWING)
    shutil.copy(os.path.join(SOURCE, "resources", "chars", "upright", "CHAR065.TLC"), DRAWING)
    return DRAWING


def data_file():
    os.makedirs(os.path.join(DRAWING, "out"), exist_ok=True)
    with open(os.path.join(DRAWING, "data.bin"), "wb") as f:
        f.write(bytes(range(256)) * 3 + b"\x00\xff")
    return DRAWING


def check_file():
    shutil.copy(os.path.join(SOURCE, "drc", "examples", "DEMO.DRC"), DRAWING)
    return DRAWING


INSTALL_TARGET = os.path.join(JOBS_DIR, "mero")
MENU_DATA = os.path.join(JOBS_DIR, "data")


def archives():
    """The distribution archives where the page says scripts/package leaves them (C:\\MeroZips, the
    build tree's MeroZips), a target folder for drive D and a data folder for the menu items."""
    step = subprocess.run([os.path.join(SOURCE, "install", "make_distribution.sh"), BUILD,
                           os.path.join(BUILD, "MeroZips"), SOURCE], cwd=SOURCE,
                          stdout=subprocess.DEVNULL, timeout=600)
    expect("make_distribution.sh made the archives", step.returncode == 0)
    fresh(INSTALL_TARGET)
    fresh(MENU_DATA)
    return DRAWING


# (page, heading, index in section) -> (program, arguments, environment, preparation)
RUNS = {
    ("README.md", "Bringing TLC files into a new drawing, and getting them out again", 0):
        ("wmero", [], {}, readme_tlcin),
    ("README.md", "Bringing TLC files into a new drawing, and getting them out again", 1):
        ("wmero", [], {}, readme_tlcout),
    ("README.md", "Bringing TLC files into a new drawing, and getting them out again", 2):
        ("wmero", [], {}, lambda: os.path.join(README_DIR, "demo-copy")),
    ("docs/jobs.md", "GDSII: wstrmexp and wstrmimp", 0): ("wstrmexp", [], {}, in_drawing()),
    ("docs/jobs.md", "GDSII: wstrmexp and wstrmimp", 1): ("wstrmimp", [], {}, in_drawing("GDS")),
    ("docs/jobs.md", "CIF: wcalexp and wcalimp", 0): ("wcalexp", [], {}, layer_file),
    ("docs/jobs.md", "CIF: wcalexp and wcalimp", 1): ("wcalimp", [], {}, in_drawing("CIF")),
    ("docs/jobs.md", "DXF: wxchexp and wxchimp", 0): ("wxchexp", [], {}, in_drawing()),
    ("docs/jobs.md", "DXF: wxchexp and wxchimp", 1): ("wxchimp", [], {}, in_drawing("DXF")),
    ("docs/jobs.md", "Layer logic: wmeroll", 0): ("wmeroll", [], {}, in_drawing()),
    ("docs/jobs.md", "Circuit extractor: wmerockt", 0): ("wmerockt", [], {}, in_drawing()),
    ("docs/jobs.md", "Flattener: wplaner", 0): ("wplaner", [], {}, in_drawing()),
    ("docs/jobs.md", "Font-table maker: wglyphmk", 0): ("wglyphmk", [], {}, font_files),
    ("docs/jobs.md", "File encoder: wmerouue", 0): ("wmerouue", [], {}, data_file),
    ("docs/jobs.md", "Design-rule checker: wmerodrc", 0): ("wmerodrc", [], {}, check_file),
    ("docs/jobs.md", "Help viewer: whpv", 0):
        ("whpv", ["C:\\MERO6\\MERO60.HPV"], {"MERO_PRINTER": "file:manual.pdf"}, in_drawing()),
    ("docs/jobs.md", "Printing from the editor", 0):
        ("wmero", ["TOP"], {"MERO_PRINTER": "file:view.pdf"}, in_drawing()),
    ("docs/jobs.md", "Installer: setup", 0):
        ("setup", [], {"MERO_DRIVES": "D=" + INSTALL_TARGET, "XDG_DATA_HOME": MENU_DATA}, archives),
}


def run_script(page, heading, index, script, end_line):
    key = (page, heading, index)
    what = "%s, %s, script %d" % (page, heading, index + 1)
    end = ENDS.match(end_line)
    expect("%s: names its final message on the line after it" % what, end is not None, end_line)
    if key not in RUNS:
        expect("%s: the test knows how to run it" % what, False, script)
        return
    program, args, env, prepare = RUNS[key]
    expect("%s: the section names %s" % (what, program), program in heading or program == "wmero")
    folder = prepare()
    name = re.sub(r"\W+", "_", "%s_%s_%d" % (os.path.basename(page), heading, index))
    status, log = run_program(os.path.join(SUITE, program), WORK, name, script, cwd=folder, timeout=300,
                              quiet=True, args=args, XDG_RUNTIME_DIR=WORK, MERO_NOW="2024-03-07 13:05:59",
                              **env)
    detail = "status %s\n%s" % (status, "\n".join(l for l in log.split("\n") if l.startswith(("box", "unanswered"))))
    expect("%s: runs to its end" % what, status == 0 and "unanswered" not in log, detail)
    if end is None:
        return
    boxes = log_texts(log, "box")
    if end.group("box") is not None:
        expect('%s: ends with "%s"' % (what, end.group("box")),
               bool(boxes) and message_pattern(end.group("box")).match(boxes[-1]) is not None, detail)
        return
    expect("%s: shows no message box" % what, not boxes, detail)
    if end.group("file"):
        path = os.path.join(folder, end.group("file"))
        expect("%s: writes %s" % (what, end.group("file")), os.path.isfile(path) and os.path.getsize(path) > 0)
    else:
        pattern = message_pattern(end.group("item"))
        expect('%s: shows "%s"' % (what, end.group("item")),
               any(pattern.match(t) for t in log_texts(log, "item")), detail)


def run_page(page):
    scripts, texts = scripts_of(page)
    for heading, body in texts:
        TEXT_BLOCKS[heading] = body
    found = {(page, h, n) for h, n, _, _ in scripts}
    for key in RUNS:
        if key[0] == page:
            expect("%s, %s, script %d: still on the page" % (page, key[1], key[2] + 1), key in found)
    for heading, index, body, after in scripts:
        run_script(page, heading, index, body, after)
    return scripts


fresh(WORK)
if PAGE == "README":
    run_page("README.md")
else:
    # The jobs run in a demo copy after the README's TLCout has written the folder TLC there.
    copy_demo(DRAWING)
    body = next(b for h, n, b, _ in scripts_of("README.md")[0]
                if (h, n) == ("Bringing TLC files into a new drawing, and getting them out again", 1))
    status, log = run_program(os.path.join(SUITE, "wmero"), WORK, "tlcout", body, cwd=DRAWING, timeout=300,
                              quiet=True, XDG_RUNTIME_DIR=WORK)
    expect("the README's TLCout wrote TLC/TOP.TLC", os.path.isfile(os.path.join(DRAWING, "TLC", "TOP.TLC")), log)
    run_page("docs/jobs.md")
checks.finish("PASSED: every script of %s ends as the page says" % PAGE)
