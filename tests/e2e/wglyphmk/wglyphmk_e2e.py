"""wglyphmk run headless: the three stroke-font tables built one character at a time through its
dialog from the suite's character cells equal the tables the build makes, byte for byte; and the
dialog's refusals (a font file of the wrong length, a missing character file, Cancel) change nothing.

usage: wglyphmk_e2e.py SUITE_FOLDER CHARS_FOLDER WORK_FOLDER
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks, quoted, run_program  # noqa: E402


SUITE, CHARS, WORK = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
checks = Checks()
expect = checks.expect


def run(name, script):
    return run_program(os.path.join(SUITE, "wglyphmk"), WORK, name, script, timeout=300)


def install(font, tlc, char):
    return "answer TFFDLG set 1000 %s set 1001 %s set 1005 %s press ok" % (quoted(font), quoted(tlc), quoted(char))


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
for face in ("upright", "slanted", "bold"):
    shutil.copytree(os.path.join(CHARS, face), os.path.join(WORK, face))

for face, table in (("upright", "TFF.DBD"), ("slanted", "TFF2.DBD"), ("bold", "TFF3.DBD")):
    lines = ["box ok"]  # the new font file
    for code in range(32, 128):
        lines.append(install(table, "%s/char%03d.tlc" % (face, code), chr(code)))
        lines.append("box ok")
    lines.append("answer TFFDLG press 1003")
    status, log = run(face, "\n".join(lines) + "\n")
    expect("%s run ends 0" % face, status == 0, log[-2000:])
    expect("%s: every character told" % face, log.count("Assigned to Character") == 96, log[-2000:])
    built = open(os.path.join(SUITE, table), "rb").read()
    made = open(os.path.join(WORK, table), "rb").read() if os.path.exists(os.path.join(WORK, table)) else b""
    expect("%s equals the build's table" % table, made == built and len(made) == 12288)

# Refusals: the wrong length, a missing character file, a Cancel; then Exit.
with open(os.path.join(WORK, "SHORT.DBD"), "wb") as f:
    f.write(b"\xff" * 12287)
before = open(os.path.join(WORK, "TFF.DBD"), "rb").read()
status, log = run("refusals", "\n".join([
    install("SHORT.DBD", "upright/CHAR065.TLC", "A"), "box ok",
    install("TFF.DBD", "upright/NONE.TLC", "A"), "box ok",
    "answer TFFDLG set 1005 \"B\" press cancel",
    "answer TFFDLG press 1003", ""]))
expect("refusals run: a missing character file is a failed job, exit 1", status == 1, log)
expect("wrong length told", 'box "GlyphMk" "Font File is the Wrong Length ... Erase it"' in log, log)
expect("missing character told", 'box "GlyphMk" "Character TLC File is Missing"' in log, log)
expect("the dialog shows what was typed last", 'item TFFDLG 1001 "upright/CHAR065.TLC"' in log, log)
expect("nothing changed", open(os.path.join(WORK, "SHORT.DBD"), "rb").read() == b"\xff" * 12287 and
       open(os.path.join(WORK, "TFF.DBD"), "rb").read() == before)

checks.finish("all wglyphmk runs passed")
