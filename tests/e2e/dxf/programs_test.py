"""Headless runs of wxchexp and wxchimp through their scripts: the setting dialogs and the set-up files
they leave, a set-up file of another version, Go without its input, Go before the layer table is read,
the LAYERS dialog, a block name asked for in NEWNAME, a layer left out of the map, a run cancelled at a
pause, and a drawing written by one program and read back by the other. Then the files that used to
lose data: older TLC files of a higher rank in the destination, comments between a section word and its
name, numbers beyond a double, files cut short, binary or random, the importer's report texts; and on
the exporter's side a full cell list and a main cell that places itself, each DXF file read by ezdxf's
audit.

usage: programs_test.py SUITE_FOLDER WORK_FOLDER
"""
import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from scripted_program import Checks, crlf_lines, run_program, write_crlf  # noqa: E402

SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect


def run(program, name, script, cwd=None):
    return run_program(os.path.join(SUITE, program), WORK, name, script, cwd=cwd, quiet=True,
                       MERO_NOW="2024-03-07 13:05:59")


def lines(name):
    return crlf_lines(os.path.join(WORK, name))


def write(name, text):
    write_crlf(os.path.join(WORK, name), text)


def header(name, rank):
    return "=H\n%s\n6.0\n6.0\n1000\num\n01/02/24\n03:04:05\n%d 0 0 1 0\n0 0 0 0\n" % (name, rank)


def records(path):
    """The records of a TLC file, each as its lines joined by '|', without the header."""
    out = []
    for line in open(path, newline="").read().split("\r\n"):
        if line in ("=H", "=C", "=B", "=P", "=T"):
            out.append(line)
        elif out:
            out[-1] += "|" + line
    return sorted(r.rstrip("|") for r in out if not r.startswith("=H"))


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)

# Exporter: the SETUP dialog and the set-up file of 110 slot lines it leaves.
status, log = run("wxchexp", "exp-setup", """\
answer SETUP set 100 "work\\\\top.v2" set 101 "" set 102 "m" check 103 0 check 104 1 check 108 0 set 109 "" press ok
command 12
wait
quit
""")
expect("exporter setup run ends 0", status == 0, log)
expect("toolbar template", "dialog TOOLDLG" in log, log)
su6 = lines("Xchexp.su6")
expect("exporter set-up file", su6[:11] == ["6.00", "WORK\\TOP.TLC", "WORK\\TOP.DXF", "M", "N", "Y", "N", "N", "Y",
                                            "N", "XCHEXP.RPT"], su6[:11])
expect("exporter unused slots and reader lists",
       su6[11:111] == [""] * 100 and su6[111:113] == ["Notepad", "XCHEXP.RPT"] and len(su6) == 111 + 20 + 1, su6[100:])

# A set-up file of another version is ignored: the dialog shows the defaults.
with open(os.path.join(WORK, "Xchexp.su6"), "wb") as f:
    f.write(b"6.01\r\nOLD.TLC\r\n")
status, log = run("wxchexp", "exp-version", "answer SETUP press cancel\ncommand 12\nwait\nquit\n")
expect("another version is ignored", 'item SETUP 100 "???.TLC"' in log and 'item SETUP 101 "???.DXF"' in log, log)

# Go without its main file stops with the message, then the final line.
status, log = run("wxchexp", "exp-missing", "box ok\nbox ok\ncommand 13\nwait\nquit\n")
expect("missing main file: a failed job exits 1", 'box "XCHEXP" "Main TLC file is Missing ... Can\'t Continue"' in log and
       'box "XCHEXP" "Aborted ... Files may be Incomplete"' in log and status == 1, log)

# A drawing: a leaf placed in all eight orientations, a wide path, a polygon, a box and texts.
os.makedirs(os.path.join(WORK, "cells"))
top = header("TOP", 2)
for code in range(8):
    top += "=C\nLEAF\n%d %d 0 0\n" % (code, code * 5000)
top += "=B\n1 -1000 -1000 40000 3000\n=T\n4 300 2 5\n100 200\nNAME\n"
leaf = header("LEAF", 1) + "=P\n2 200 3\n0 0 1000 0 1000 2000 \n=P\n3 0 4\n0 0 500 0 0 700 0 0 \n=B\n5 0 0 300 100\n"
write("cells/TOP.TLC", top)
write("cells/LEAF.TLC", leaf)
status, log = run("wxchexp", "exp-go", """\
answer SETUP set 100 "cells/top" set 101 "draw.dxf" press ok
box ok
command 12
wait
command 13
wait
quit
""")
expect("exporter completes", status == 0 and 'box "XCHEXP" "Completed ... ' in log and "dialog DISPLAY" in log, log)
dxf = open(os.path.join(WORK, "DRAW.DXF"), newline="").read()
expect("DXF lines end in CR LF", dxf.startswith("  0\r\nSECTION\r\n  2\r\nHEADER\r\n") and dxf.endswith("  0\r\nEOF\r\n"))
size = len(dxf.encode())
expect("completion counts the bytes", 'Completed ... %d Bytes in DXF File' % size in log, log)
report = lines("XCHEXP.RPT")
expect("exporter report", report[0] == "*** TLC to DXF Conversion Report  03/07/24  13:05:59 ***" and
       "LEAF                    3           0           0           " in report and
       "TOP                     1           1           8           " in report, report)

# Importer: Go before the layer table is read, and Layers without its file.
status, log = run("wxchimp", "imp-nolayers", "box ok\ncommand 14\nwait\nbox ok\ncommand 12\nwait\nquit\n")
expect("Go needs the layer table", 'box "XCHIMP" "Layers Not Defined ... Can\'t Continue"' in log, log)
expect("Layers needs the file", 'box "XCHIMP" "DXF File is Missing ... Can\'t Continue"' in log, log)

# The drawing back into TLC: SETUP, LAYERS with the names of the file, Go.
os.makedirs(os.path.join(WORK, "back"))
os.makedirs(os.path.join(WORK, "oddout"))
status, log = run("wxchimp", "imp-go", """\
answer SETUP set 100 "draw" set 101 "back/top" set 103 "1000" check 112 1 set 113 "cw" set 114 "90" press ok
answer LAYERS set 250 "1" set 251 "2" set 252 "3" set 253 "4" set 254 "5" press ok
box ok
box ok
command 13
wait
command 12
wait
command 14
wait
quit
""")
expect("importer completes", status == 0 and 'box "XCHIMP" "Completed ... 2 TLC Files Made"' in log, log)
expect("LAYERS shows the file's names",
       all('item LAYERS %d "LAYER%d"' % (200 + i, n) in log for i, n in enumerate([1, 2, 3, 4, 5])), log)
su6 = lines("Xchimp.su6")
expect("importer set-up file", su6[:17] == ["6.01", "DRAW.DXF", "BACK/TOP.TLC", "um", "1000", "Y", "Y", "Y", "Y",
                                            "Y", "Y", "Y", "Y", "Y", "CW", "45", "XCHIMP.RPT"], su6[:17])
expect("importer layer slots", su6[17:53] == ["1", "2", "3", "4", "5"] + ["0"] * 31 and
       su6[53:55] == ["Notepad", "XCHIMP.RPT"], su6[17:])
back_top = os.path.join(WORK, "back", "TOP.TLC")
if os.path.exists(back_top):
    got = records(back_top)
    expect("instances keep their orientations",
           ["=C|LEAF|%d %d 0 0" % (code, code * 5000) for code in range(8)] == [r for r in got if r.startswith("=C")], got)
    expect("box and text come back", "=P|1 0 5|-1000 -1000 40000 -1000 40000 3000 -1000 3000 -1000 -1000 " in got and
           "=T|4 300 2 5|100 200|NAME" in got, got)
    leaf_back = records(os.path.join(WORK, "back", "LEAF.TLC"))
    expect("leaf comes back", sorted(leaf_back) == sorted([
        "=P|2 200 3|0 0 1000 0 1000 2000 ", "=P|3 0 4|0 0 500 0 0 700 0 0 ",
        "=P|5 0 5|0 0 300 0 300 100 0 100 0 0 "]), leaf_back)
    ref = lines("back/CELLS.REF")
    expect("CELLS.REF", ref[:3] == ["2", "LEAF", "1 0 0 1000 0 0 3 12 0"] and ref[3] == "TOP", ref)
else:
    expect("no back/TOP.TLC", False)

# A block name that cannot be a cell, a layer left out of the map, then a run cancelled at a pause.
write("odd.dxf", "\n".join([
    "  0", "SECTION", "  2", "TABLES", "  0", "TABLE", "  2", "LAYER", "  0", "LAYER", "  2", "A", "  0", "LAYER",
    "  2", "B", "  0", "ENDTAB", "  0", "ENDSEC",
    "  0", "SECTION", "  2", "BLOCKS", "  0", "BLOCK", "  2", "two words", "  0", "LINE", "  8", "A", " 10", "0",
    " 20", "0", " 11", "1", " 21", "1", "  0", "ENDBLK", "  0", "ENDSEC",
    "  0", "SECTION", "  2", "ENTITIES", "  0", "INSERT", "  2", "two words", " 10", "5", " 20", "5",
    "  0", "LINE", "  8", "B", " 10", "0", " 20", "0", " 11", "1", " 21", "1", "  0", "ENDSEC", "  0", "EOF", ""]))
status, log = run("wxchimp", "imp-odd", """\
answer SETUP set 100 "odd" set 101 "oddout/main" press ok
answer LAYERS set 250 "9" set 251 "8" press ok
answer NEWNAME set 601 "pair" press ok
box ok
box ok
box ok
command 13
wait
command 12
wait
command 14
wait
quit
""")
expect("NEWNAME asked", "dialog NEWNAME" in log and 'box "XCHIMP" "Completed ... 2 TLC Files Made"' in log, log)
main = os.path.join(WORK, "oddout", "MAIN.TLC")
expect("renamed block referenced", os.path.exists(main) and "=C|PAIR|0 5000 5000 0" in records(main),
       records(main) if os.path.exists(main) else "")

status, log = run("wxchimp", "imp-cancel", """\
answer LAYERS press ok
answer NEWNAME set 601 "pair" press ok
answer PAUSE press cancel
box ok
command 12
wait
command 14
wait
quit
""")
expect("cancelled at a pause", 'box "XCHIMP" "Aborted ... Files may be Incomplete"' in log, log)

# The same file with layer B left out of the map: OK to the question still stops the run, which would
# otherwise lose B's entities unseen.
shutil.rmtree(os.path.join(WORK, "oddout"))
os.makedirs(os.path.join(WORK, "oddout"))
status, log = run("wxchimp", "imp-unmapped", """\
answer SETUP set 100 "odd" set 101 "oddout/main" press ok
answer LAYERS set 250 "9" set 251 "0" press ok
answer NEWNAME set 601 "pair" press ok
box ok
box ok
box ok
command 13
wait
command 12
wait
command 14
wait
quit
""")
expect("an unmapped layer stops the run", 'box "XCHIMP" "Entity Layer Not in Layer Table"' in log and
       'box "XCHIMP" "Aborted ... Files may be Incomplete"' in log and "Completed" not in log, log)
expect("the report names the layer", "Entity Layer B Not in Layer Table" in lines("XCHIMP.RPT"), lines("XCHIMP.RPT"))

# Stopped there, the run leaves its destination as it was: the older files whole, nothing added.
shutil.rmtree(os.path.join(WORK, "oddout"))
os.makedirs(os.path.join(WORK, "oddout"))
write("oddout/PAIR.TLC", header("PAIR", 1) + "=B\n1 0 0 10 10\n")
write("oddout/CELLS.REF", "1\nPAIR\n1 0 0 1000 0 0 1 0 0\n\n")
kept = {name: open(os.path.join(WORK, "oddout", name), "rb").read() for name in os.listdir(os.path.join(WORK, "oddout"))}
status, log = run("wxchimp", "imp-unmapped-kept", """\
answer SETUP set 100 "odd" set 101 "oddout/main" press ok
answer LAYERS set 250 "9" set 251 "0" press ok
answer NEWNAME set 601 "pair" press ok
box ok
box ok
box ok
command 13
wait
command 12
wait
command 14
wait
quit
""")
after = {name: open(os.path.join(WORK, "oddout", name), "rb").read() for name in os.listdir(os.path.join(WORK, "oddout"))}
expect("a stopped import leaves its destination as it was",
       'box "XCHIMP" "Entity Layer Not in Layer Table"' in log and after == kept, "%s\n%s" % (sorted(after), log))


def group_text(groups):
    return "".join("%3d\n%s\n" % (code, value) for code, value in groups)


def import_dxf(name, text, numbers=(), binary=False, ends=0):
    """wxchimp on TEXT as NAME.dxf into the folder NAME (emptied first); the log and the folder."""
    path = os.path.join(WORK, name + ".dxf")
    with open(path, "wb") as f:
        f.write(text if binary else text.encode("latin-1"))
    out = os.path.join(WORK, name)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    return import_into(name, out, numbers, ends)


def import_into(name, out, numbers=(), ends=0):
    """ENDS: the exit status, 1 for a job that ends in failure."""
    layers = " ".join('set %d "%d"' % (250 + i, n) for i, n in enumerate(numbers))
    status, log = run("wxchimp", "imp-" + name, """\
answer SETUP set 100 "%s" set 101 "%s/top" set 103 "1000" press ok
answer LAYERS %s press ok
%scommand 13
wait
command 12
wait
command 14
wait
quit
""" % (name, os.path.relpath(out, WORK), layers, "box ok\n" * 6))
    expect("%s: the importer ends %d" % (name, ends), status == ends, log)
    return log, out


def header_of(path):
    """Name and rank of a TLC file's header."""
    got = open(path, newline="").read().split("\r\n")
    at = got.index("=H")
    return got[at + 1], int(got[at + 8].split()[0])


LAYER_TABLE = [(0, "SECTION"), (2, "TABLES"), (0, "TABLE"), (2, "LAYER"), (0, "LAYER"), (2, "M"), (0, "ENDTAB"),
               (0, "ENDSEC")]
LEAF_AND_DRAWING = LAYER_TABLE + [
    (0, "SECTION"), (2, "BLOCKS"), (0, "BLOCK"), (2, "LEAF"), (10, "0"), (20, "0"),
    (0, "LINE"), (8, "M"), (10, "0"), (20, "0"), (11, "1"), (21, "0"), (0, "ENDBLK"), (0, "ENDSEC"),
    (0, "SECTION"), (2, "ENTITIES"), (0, "INSERT"), (2, "LEAF"), (10, "5"), (20, "5"),
    (0, "LINE"), (8, "M"), (10, "0"), (20, "0"), (11, "0"), (21, "1"), (0, "ENDSEC"), (0, "EOF")]

# An older LEAF.TLC of rank 3 in the destination: the drawing that places LEAF must rise above it.
os.makedirs(os.path.join(WORK, "ranked"))
write("ranked/LEAF.TLC", header("LEAF", 3) + "=B\n1 0 0 10 10\n")
with open(os.path.join(WORK, "ranked.dxf"), "w") as f:
    f.write(group_text(LEAF_AND_DRAWING))
log, out = import_into("ranked", os.path.join(WORK, "ranked"), [4])
expect("ranked: completes", 'box "XCHIMP" "Completed ... 2 TLC Files Made"' in log, log)
leaf_rank = header_of(os.path.join(out, "LEAF.TLC"))[1]
top_rank = header_of(os.path.join(out, "TOP.TLC"))[1]
expect("the drawing ranks above the older leaf", (leaf_rank, top_rank) == (3, 4), (leaf_rank, top_rank))
ref = lines("ranked/CELLS.REF")
expect("CELLS.REF in rank order", ref[1] == "LEAF" and ref[2].startswith("3 ") and ref[3] == "TOP" and
       ref[4].startswith("4 "), ref)

# Comments between SECTION or TABLE and their names, and coordinates beyond a double.
commented = [(999, "by hand")]
for code, value in LEAF_AND_DRAWING:
    commented.append((code, value))
    if (code, value) in ((0, "SECTION"), (0, "TABLE")):
        commented.append((999, "comment"))
commented[commented.index((11, "0"), 30)] = (11, "1e400")
commented[commented.index((21, "1"))] = (21, "-1e400")
log, out = import_dxf("commented", group_text(commented), [4])
expect("commented: completes", 'box "XCHIMP" "Completed ... 2 TLC Files Made"' in log, log)
expect("the layer table behind a comment", 'item LAYERS 200 "M"' in log, log)
expect("sections behind comments come in, overflows clamped",
       records(os.path.join(out, "TOP.TLC")) == ["=C|LEAF|0 5000 5000 0", "=P|4 0 2|0 0 8388607 -8388607 "] and
       records(os.path.join(out, "LEAF.TLC")) == ["=P|4 0 2|0 0 1000 0 "],
       records(os.path.join(out, "TOP.TLC")))

# Files cut short, binary or random end Aborted with their message, never "Completed".
whole = group_text(LEAF_AND_DRAWING)
random_bytes = bytes((i * 7919 + (i >> 3) * 104729) % 251 for i in range(6000))
for name, text, binary, message in [
        ("half", whole[:len(whole) // 2], False, "DXF File Ends before EOF ... Can't Continue"),
        ("noeof", whole[:whole.rindex("  0")], False, "DXF File Ends before EOF ... Can't Continue"),
        ("binary", b"AutoCAD Binary DXF\r\n\x1a\x00" + b"\x00" * 40, True,
         "DXF File is not a Text DXF ... Can't Continue"),
        ("random", random_bytes, True, "DXF File is not a Text DXF ... Can't Continue")]:
    log, out = import_dxf(name, text, [4], binary, ends=1)
    expect("%s: its message" % name, 'box "XCHIMP" "%s"' % message in log, log)
    expect("%s: Aborted" % name, 'box "XCHIMP" "Aborted ... Files may be Incomplete"' in log and
           "Completed" not in log, log)

# The importer's report texts stand as they are, with no position behind them.
wide_bulge = [(0, "POLYLINE"), (8, "M"), (66, "1"), (70, "0"), (0, "VERTEX"), (8, "M"), (10, "0"), (20, "0"),
              (42, "5"), (0, "VERTEX"), (8, "M"), (10, "1"), (20, "0"), (0, "SEQEND")]
long_line = [(0, "POLYLINE"), (8, "M"), (66, "1"), (70, "0"), (40, "0.01")]
for i in range(300):
    long_line += [(0, "VERTEX"), (8, "M"), (10, str(i)), (20, str(i % 2))]
long_line.append((0, "SEQEND"))
short_solid = [(0, "SOLID"), (8, "M"), (10, "0"), (20, "0"), (11, "1"), (21, "0"), (12, "1"), (22, "1")]
told = LAYER_TABLE + [(0, "SECTION"), (2, "ENTITIES")] + wide_bulge + long_line + short_solid + \
    [(0, "ENDSEC"), (0, "EOF")]
log, out = import_dxf("told", group_text(told), [4])
# The solid short of a corner is left out, so the run does not end "Completed".
expect("told: counts the solid left out",
       'box "XCHIMP" "Some Error Occurred ... 1 Entities not Converted ... Conversion may be Incorrect"' in log and
       "Completed" not in log, log)
report = lines("XCHIMP.RPT")
for text in ("Curve Fit Arc Exceeds 270 deg", "Polyline Broken into Pieces", "Not Enough Points in Solid"):
    expect("report text %s" % text, text in report and not any(r.startswith(text + " at") for r in report), report)


def audit(path):
    """ezdxf's audit of a DXF file: its errors and fixes, and the names of blocks inserted and defined."""
    code = """
import json, sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
a = doc.audit()
spaces = [doc.modelspace()] + [b for b in doc.blocks if not b.name.startswith("*")]
inserted = sorted({e.dxf.name for s in spaces for e in s.query("INSERT")})
defined = sorted(b.name for b in doc.blocks if not b.name.startswith("*"))
print(json.dumps({"errors": [e.message for e in a.errors],
                  "fixes": [f.message for f in a.fixes if "SEQEND" not in f.message],
                  "inserted": inserted, "defined": defined}))
"""
    out = subprocess.run(["/usr/bin/python3", "-c", code, path], stdout=subprocess.PIPE, text=True)
    return json.loads(out.stdout) if out.returncode == 0 else {"errors": ["ezdxf could not read " + path]}


def export_dxf(name, cells, ends=0):
    """The cells (name: body records) as TLC files in the folder NAME, TOP exported to NAME.dxf; ENDS
    is the exit status, 1 for a job that ends in failure."""
    folder = os.path.join(WORK, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for cell, (rank, body) in cells.items():
        write_crlf(os.path.join(folder, cell + ".TLC"), header(cell, rank) + body)
    status, log = run("wxchexp", "exp-" + name, """\
answer SETUP set 100 "%s/top" set 101 "%s.dxf" press ok
%scommand 12
wait
command 13
wait
quit
""" % (name, name, "box ok\n" * 6))
    expect("%s: the exporter ends %d" % (name, ends), status == ends, log)
    return log, os.path.join(WORK, name.upper() + ".DXF")


def audited(what, path):
    a = audit(path)
    expect("%s: ezdxf's audit finds nothing" % what, not a.get("errors") and not a.get("fixes"), a)
    expect("%s: every block inserted is defined" % what, set(a.get("inserted", [])) <= set(a.get("defined", [])), a)
    return a


# A full cell list: the cells left out are not inserted either, and the run is not "Completed".
box = "=B\n1 0 0 10 10\n"
cells = {"TOP": (2, "".join("=C\nC%d\n0 %d 0 0\n" % (i, i * 100) for i in range(1650)))}
cells.update({"C%d" % i: (1, box) for i in range(1650)})
log, dxf_path = export_dxf("full", cells, ends=1)
expect("full: told and Aborted", "Cell List is Full at 1600 Cells ... C1599 Left Out" in log and
       'box "XCHEXP" "Aborted ... Files may be Incomplete"' in log and "Completed" not in log, log[-2000:])
a = audited("full", dxf_path)
expect("full: the listed cells are inserted", len(a.get("inserted", [])) == 1599, len(a.get("inserted", [])))

# A main cell that places itself, and a block that places the drawing or a cell of its own rank.
log, dxf_path = export_dxf("itself", {
    "TOP": (3, "=C\nTOP\n0 0 0 0\n=C\nMID\n0 100 0 0\n" + box),
    "MID": (2, "=C\nTOP\n0 0 0 0\n=C\nPEER\n0 0 0 0\n=C\nLEAF\n0 50 0 0\n"),
    "PEER": (2, box), "LEAF": (1, box)})
expect("itself: completes", 'box "XCHEXP" "Completed ... ' in log, log)
audited("itself", dxf_path)
report = lines("XCHEXP.RPT")
for placed, rank, cell, cell_rank in (("TOP", 3, "TOP", 3), ("TOP", 3, "MID", 2), ("PEER", 2, "MID", 2)):
    text = "Instance of %s (Rank %d) in %s (Rank %d) Breaks the Rank Rule ... Left Out" % (placed, rank, cell, cell_rank)
    expect("itself: told %s in %s" % (placed, cell), text in report, report)

# Texts of every kind go to DXF and come back whole.
SAMPLES = ["A,B", "two  words", " lead", "trail ", "semi;colon", "tab\tin", "C:\\TEMP", "%%d", "(paren)", "VDD"]
log, dxf_path = export_dxf("texts", {"TOP": (1, "".join(
    "=T\n1 300 %d 0\n%d 5\n%s\n" % (1 + (len(t) + 7) // 8, 1000 * i, t) for i, t in enumerate(SAMPLES)))})
expect("texts: exported", 'box "XCHEXP" "Completed ... ' in log, log)
audited("texts", dxf_path)
back = os.path.join(WORK, "texts-back")
shutil.rmtree(back, ignore_errors=True)
os.makedirs(back)
shutil.copy(dxf_path, os.path.join(WORK, "textsback.dxf"))
log, out = import_into("textsback", back, [1])
expect("texts: imported", 'box "XCHIMP" "Completed ... 1 TLC Files Made"' in log, log)
got = [r.split("|")[-1] for r in records(os.path.join(back, "TOP.TLC"))] if os.path.exists(
    os.path.join(back, "TOP.TLC")) else []
expect("texts: every text comes back whole", sorted(got) == sorted(SAMPLES), "%r\n%r" % (got, SAMPLES))

checks.finish("PASSED")
