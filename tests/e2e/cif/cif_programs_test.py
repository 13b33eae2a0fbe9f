"""Headless runs of wcalexp and wcalimp through their scripts: the SETUP dialog with its template
combo box and what it leaves in the set-up file, a set-up file of another version, Go to the end,
Go stopped by a missing file, a question answered Cancel, a pause cancelled, a name the importer
must ask for, and a file with two end commands. Then texts of every kind through the pair and back,
a symbol named in the cell file but never defined, commands left out and a slanted call counted at the
end, and older TLC files of a higher rank in the destination.

usage: cif_programs_test.py SUITE_FOLDER WORK_FOLDER
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from scripted_program import Checks, crlf_lines, run_program, write_crlf  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(program, name, script):
    return run_program(os.path.join(SUITE, program), WORK, name, script, quiet=True,
                       MERO_NOW="2024-03-07 13:05:59")


def lines(name):
    return crlf_lines(os.path.join(WORK, name))


def write(name, text):
    write_crlf(os.path.join(WORK, name), text)


def header(name, rank, scale="100"):
    return "=H\n%s\n6.0\n6.0\n%s\num\n01/02/24\n03:04:05\n%d 0 0 1 0\n0 0 0 0\n" % (name, scale, rank)


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(os.path.join(WORK, "tlc"))

# Exporter: SETUP, then the set-up file holds the normalised slots and the template history.
status, log = run("wcalexp", "exp-setup", """\
answer SETUP set 100 "tlc\\\\top.x" set 101 "layers.lyr" set 102 "" set 103 "0.0349" set 104 "" check 105 0 \
check 107 1 set 109 "94 <text> <x> <y>" set 110 "x" press ok
answer SETUP pick 109 2 press ok
command 12
wait
command 12
wait
quit
""")
expect("exporter setup run ends 0", status == 0, log)
su6 = lines("Calexp.su6")
expect("exporter set-up file", su6[:14] == ["6.01", "TLC\\TOP.TLC", "LAYERS.LYR", "TLC\\TOP.CIF", "0.03", "1",
                                            "N", "Y", "Y", "Y", "99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>",
                                            "9", "0.05", "CALEXP.RPT"], su6[:14])
# The second OK took the third row of the list: the MERO template, which moved to the top.
expect("exporter template history", su6[14:19] == ["99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>",
                                                   "94 <TEXT> <X> <Y>", "94 <text> <x> <y> <lname>", "", ""],
       su6[14:19])
expect("exporter reader lists", su6[19:21] == ["Notepad", "CALEXP.RPT"] and len(su6) == 19 + 20 + 1, su6[19:])
expect("the combo box lists the history", 'item SETUP 109 "94 <TEXT> <X> <Y>"' in log, log)

# A set-up file of another version is ignored: the dialog shows the defaults.
with open(os.path.join(WORK, "Calexp.su6"), "wb") as f:
    f.write(b"6.00\r\nOLD.TLC\r\n")
status, log = run("wcalexp", "exp-version", "answer SETUP press cancel\ncommand 12\nwait\nquit\n")
expect("another version is ignored", 'item SETUP 100 "???.TLC"' in log, log)

# Go to the end.
write("tlc/TOP.TLC", header("TOP", 2) + "=C\nLEAF\n5 100 -40 0\n=B\n1 -5 -5 5 5\n")
write("tlc/LEAF.TLC", header("LEAF", 1) + "=P\n1 0 5\n0 0 10 0 10 10 0 10 0 0 \n=T\n1 100 2 0\n1 2\nVDD\n")
write("layers.lyr", '(LAYER 1 CIF="CM1");\n')
go = """\
answer SETUP set 100 "tlc\\\\top" set 101 "layers.lyr" set 102 "out.cif" set 103 "" set 109 "94 <text> <x> <y>" \
press ok
command 12
wait
box ok
command 13
wait
quit
"""
status, log = run("wcalexp", "exp-go", go)
expect("export completed", status == 0 and 'box "CALEXP" "Completed ... ' in log and 'dialog DISPLAY' in log, log)
cif = open(os.path.join(WORK, "OUT.CIF"), newline="").read()
expect("CIF written", "DS#1 2/2;\r\n9 LEAF;\r\nLCM1;\r\nP 0 0 10 0 10 10 0 10 0 0;\r\n94 VDD 1 2;\r\n" in cif and
       "C1 MY R0 1 T100 -40;\r\n" in cif and cif.endswith("C#2;\r\nE\r\n"), cif)
expect("report written", "*** TLC to CIF Conversion Report  03/07/24  13:05:59 ***" in
       open(os.path.join(WORK, "CALEXP.RPT")).read())

# A rescale ratio that is not whole is asked about; Cancel stops the run.
write("tlc/TOP.TLC", header("TOP", 1, "1000") + "=B\n1 0 0 10 10\n")
status, log = run("wcalexp", "exp-cancel", "box cancel\nbox ok\ncommand 13\nwait\nquit\n")
expect("question cancelled: the job failed", 'box "CALEXP" "Resolution Lost ... Rescale Ratio is Not Integral"' in log and
       'box "CALEXP" "Aborted ... Files may be Incomplete"' in log and status == 1, log)

# Go that cannot find its main file stops with the message, then the final line.
os.remove(os.path.join(WORK, "tlc", "TOP.TLC"))
status, log = run("wcalexp", "exp-missing", "box ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("missing main file: a failed job exits 1", 'box "CALEXP" "Main TLC File is Missing ... Can\'t Continue"' in log and
       'box "CALEXP" "Aborted ... Files may be Incomplete"' in log and status == 1, log)

# Importer: SETUP and its set-up file.
status, log = run("wcalimp", "imp-setup", """\
answer SETUP set 100 "chip" set 102 "" set 103 "back" set 104 "-500" set 105 "7" check 106 1 check 108 0 \
set 109 "99 <layer> <size> <orien> <x> <y> <text>" set 110 "0" press ok
command 12
wait
quit
""")
expect("importer setup run ends 0", status == 0, log)
su6 = lines("Calimp.su6")
expect("importer set-up file", su6[:13] == ["6.01", "CHIP.CIF", "", "", "BACK\\", "100", "7", "Y", "N", "N",
                                            "99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>", "0.1", "CALIMP.RPT"],
       su6[:13])
expect("importer template history", su6[13:16] == ["99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>",
                                                   "94 <text> <x> <y> <lname>", ""], su6[13:16])

# A name that is no legal cell name is asked for.
os.makedirs(os.path.join(WORK, "back"))
write("CHIP.CIF", "(LAYER 1 CIF=CM1);\nDS 1 2 2;\n7 a.b;\nL CM1;\nB 10 10 0 0;\nDF;\nDS 2;\n7 top;\nC 1 MX;\nDF;\nE\n")
status, log = run("wcalimp", "imp-newname", """\
answer SETUP set 104 "" press ok
answer NEWNAME set 601 "leaf" press ok
box ok
command 12
wait
command 13
wait
quit
""")
expect("NEWNAME asked", 'dialog NEWNAME' in log and 'Completed ... 2 TLC Files Made' in log, log)
back = sorted(os.listdir(os.path.join(WORK, "back")))
# "Make REF File" was turned off above.
expect("both cells written", back == ["LEAF.TLC", "TOP.TLC"], back)
expect("reference renamed", "=C\r\nLEAF\r\n6 0 0 0\r\n" in open(os.path.join(WORK, "back", "TOP.TLC"), newline="").read())

# A cancelled pause stops the run; the files written so far stay.
status, log = run("wcalimp", "imp-cancel", """\
answer NEWNAME set 601 "leaf" press ok
answer PAUSE press cancel
box ok
command 13
wait
quit
""")
expect("cancelled at a pause", 'box "CALIMP" "Aborted ... Files may be Incomplete"' in log, log)

# A file with two end commands stops at once.
write("CHIP.CIF", "(LAYER 1 CIF=CM1);\nDS 1;\n7 A;\nDF;\nE\nE\n")
status, log = run("wcalimp", "imp-ends", "box ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("two end commands", 'box "CALIMP" "CIF File has Too Many End Commands ... Break Up File"' in log and
       'box "CALIMP" "Aborted ... Files may be Incomplete"' in log, log)



def texts_of(path):
    """The texts of a TLC file, in file order."""
    got = open(path, newline="").read().split("\r\n")
    return [got[i + 3] for i, line in enumerate(got) if line == "=T"]


# Texts the editor can make come back whole through CIF: commas, blanks, ";", backslashes, a text that
# looks like an escape; through the default template (text first) and the full one (text last).
SAMPLES = ["A,B", "two words", " lead", "trail ", "semi;colon", "tab\tin", "C:\\TEMP", "end\\", "\\20",
           "\\5c;", "(paren)", "VDD"]
os.makedirs(os.path.join(WORK, "texts"))
write("texts/TOP.TLC", header("TOP", 1) + "".join(
    "=T\n1 100 %d 0\n%d 5\n%s\n" % (1 + (len(t) + 7) // 8, 10 * i, t) for i, t in enumerate(SAMPLES)))
for name, template, mero in (("first", "94 <text> <x> <y> <lname>", 1),
                             ("last", "99 <layer> <size> <orien> <x> <y> <text>", 0)):
    status, log = run("wcalexp", "exp-texts-" + name, """\
answer SETUP set 100 "texts\\\\top" set 101 "layers.lyr" set 102 "texts.cif" set 103 "" check 105 %d set 109 "%s" \
press ok
command 12
wait
box ok
command 13
wait
quit
""" % (mero, template))
    expect("texts %s: exported" % name, 'box "CALEXP" "Completed ... ' in log, log)
    if mero:
        cif = open(os.path.join(WORK, "TEXTS.CIF"), newline="").read()
        expect("plain texts go out as they are, the others escaped",
               all(t in cif for t in ("99 1 100 0 110 5 VDD;", "99 1 100 0 0 5 A,B;", "99 1 100 0 60 5 C:\\TEMP;",
                                      "94 two\\20words 10 5 CM1;", "94 semi\\3Bcolon 40 5 CM1;")), cif)
    shutil.rmtree(os.path.join(WORK, "texts-" + name), ignore_errors=True)
    os.makedirs(os.path.join(WORK, "texts-" + name))
    status, log = run("wcalimp", "imp-texts-" + name, """\
answer SETUP set 100 "texts" set 101 "" set 102 "" set 103 "texts-%s" set 104 "" set 105 "9" set 109 "%s" press ok
box ok
command 12
wait
command 13
wait
quit
""" % (name, template))
    expect("texts %s: imported" % name, 'box "CALIMP" "Completed ... 1 TLC Files Made"' in log, log)
    back = os.path.join(WORK, "texts-" + name, "TOP.TLC")
    got = texts_of(back) if os.path.exists(back) else []
    expect("texts %s: every text comes back whole" % name, got == SAMPLES, "%r\n%r" % (got, SAMPLES))


def import_folder(name, cells):
    """wcalimp on NAME.CIF (layers from its comments, CELLS the cell file) into the folder NAME."""
    return run("wcalimp", "imp-" + name, """\
answer SETUP set 100 "%s" set 101 "%s" set 102 "" set 103 "%s" set 104 "" set 105 "9" check 108 1 \
set 109 "94 <text> <x> <y> <lname>" press ok
box ok
command 12
wait
command 13
wait
quit
""" % (name, cells, name))


# A symbol named in the cell file and called, but never defined: a token cell stands in for it.
shutil.rmtree(os.path.join(WORK, "ghost"), ignore_errors=True)
os.makedirs(os.path.join(WORK, "ghost"))
write("GHOST.CIF", "(LAYER 1 CIF=CM1);\nDS 1 2 2;\nL CM1;\nB 10 10 0 0;\nC 5 T 1 1;\nDF;\nC 1;\nE\n")
write("ghost.cel", "(#1 TOP);\n(#5 GHOST);\n")
status, log = import_folder("ghost", "ghost.cel")
expect("ghost: completes with the token cell", 'box "CALIMP" "Completed ... 2 TLC Files Made"' in log, log)
expect("ghost: told", "Symbol #5 GHOST is Missing ... Token Cell Made" in open(os.path.join(WORK, "CALIMP.RPT")).read(),
       open(os.path.join(WORK, "CALIMP.RPT")).read())
ghost = os.path.join(WORK, "ghost", "GHOST.TLC")
expect("ghost: the token cell holds its name", os.path.exists(ghost) and texts_of(ghost) == ["<<GHOST>>"])
expect("ghost: CELLS.REF lists both", lines("ghost/CELLS.REF")[0] == "2", lines("ghost/CELLS.REF"))
status, log = run("wcalexp", "exp-ghost", """\
answer SETUP set 100 "ghost\\\\top" set 101 "layers.lyr" set 102 "ghost-back.cif" set 103 "" press ok
command 12
wait
box ok
command 13
wait
quit
""")
expect("ghost: the set exports again", 'box "CALEXP" "Completed ... ' in log, log)

# A round flash, a box short of its numbers and a slanted call are left out or placed roughly: the
# run says so at its end instead of "Completed".
shutil.rmtree(os.path.join(WORK, "rough"), ignore_errors=True)
os.makedirs(os.path.join(WORK, "rough"))
write("ROUGH.CIF", "(LAYER 1 CIF=CM1);\nDS 1 2 2;\n9 LEAF;\nL CM1;\nB 10 10 0 0;\nR 10 5 5;\nB 10 10;\nDF;\n"
      "DS 2 2 2;\n9 TOP;\nC 1 R 1 1;\nDF;\nC 2;\nE\n")
status, log = import_folder("rough", "")
rough = "Some Error Occurred ... 2 Commands not Converted ... 1 Instances Approximated ... Conversion may be Incorrect"
expect("rough: counted at the end", 'box "CALIMP" "%s"' % rough in log and "Completed" not in log, log)
expect("rough: the report says it", rough in open(os.path.join(WORK, "CALIMP.RPT")).read())



def header_of(path):
    """Rank of a TLC file's header, and the cells it places."""
    got = open(path, newline="").read().split("\r\n")
    at = got.index("=H")
    return int(got[at + 8].split()[0]), [got[i + 1] for i, line in enumerate(got) if line == "=C"]


# An older TLC file of a higher rank in the destination: every symbol that calls it, and every symbol
# above those, must rise above it again, or loading the set would drop their references. An older
# file of a symbol called but defined nowhere stands for it: no token cell replaces it. Past rank 15
# the run stops.
write("ranked.cel", "(#1 LEAF);\n(#2 MID);\n(#3 TOP);\n(#4 SIDE);\n(#5 OLD);\n")
write("RANKED.CIF", "(LAYER 1 CIF=CM1);\nDS 1 2 2;\nL CM1;\nB 10 10 0 0;\nDF;\nDS 2;\nC 1;\nDF;\n"
      "DS 3;\nC 2;\nDF;\nDS 4;\nC 1;\nC 5;\nDF;\nC 3;\nE\n")
CELLS = ("LEAF", "MID", "TOP", "SIDE", "OLD")
for old_rank, want in ((3, {"LEAF": 3, "MID": 4, "TOP": 5, "SIDE": 4, "OLD": 3}),
                       (1, {"LEAF": 1, "MID": 2, "TOP": 3, "SIDE": 2, "OLD": 1}),
                       (14, "Hierarchy Deeper than 15 Levels at TOP ... Can't Continue")):
    folder = "ranked%d" % old_rank
    shutil.rmtree(os.path.join(WORK, folder), ignore_errors=True)
    os.makedirs(os.path.join(WORK, folder))
    for cell in ("LEAF", "OLD"):
        write("%s/%s.TLC" % (folder, cell), header(cell, old_rank) + "=B\n1 0 0 10 10\n")
    status, log = run("wcalimp", "imp-" + folder, """\
answer SETUP set 100 "ranked" set 101 "ranked.cel" set 102 "" set 103 "%s" set 104 "" set 105 "9" check 108 1 \
set 109 "94 <text> <x> <y> <lname>" press ok
box ok
box ok
command 12
wait
command 13
wait
quit
""" % folder)
    if isinstance(want, str):
        expect("older rank %d: stops" % old_rank, 'box "CALIMP" "%s"' % want in log and
               'box "CALIMP" "Aborted ... Files may be Incomplete"' in log, log)
        continue
    expect("older rank %d: completes" % old_rank, 'box "CALIMP" "Completed ... 4 TLC Files Made"' in log, log)
    cells = {cell: header_of(os.path.join(WORK, folder, cell + ".TLC")) for cell in CELLS}
    got = {cell: rank for cell, (rank, _) in cells.items()}
    expect("older rank %d: ranks" % old_rank, got == want, got)
    broken = [(cell, placed) for cell, (rank, refs) in cells.items() for placed in refs if got[placed] >= rank]
    expect("older rank %d: every call keeps the rank rule" % old_rank, broken == [], broken)
    old = open(os.path.join(WORK, folder, "OLD.TLC"), newline="").read()
    expect("older rank %d: the older file of a symbol defined nowhere stays" % old_rank,
           "=B\r\n1 0 0 10 10\r\n" in old and "<<OLD>>" not in old, old)

checks.finish("PASSED")
