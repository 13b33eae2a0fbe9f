"""lyrshift run as a program without a terminal: it must neither wait for a key nor leave files
behind, and the folder may be written with "\" or "/" at its end or without one.

usage: lyrshift_e2e.py LYRSHIFT WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

PROGRAM, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
failures = []


def expect(what, ok, detail=""):
    if not ok:
        failures.append("%s\n%s" % (what, detail))


def run(*args):
    try:
        r = subprocess.run([PROGRAM] + list(args), stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        return r.returncode, r.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return "timeout", ""


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
with open(os.path.join(WORK, "CELLS.REF"), "wb") as f:
    f.write(b"1\r\nTOP\r\n1 0 0 0 0 1 0 0 0\r\n\r\n")
cell = b"=H\r\nTOP\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/01/24\r\n00:00:00\r\n1 0 0 1 0\r\n2 0 0 0\r\n" \
       b"=B\r\n5 0 0 10 10\r\n=B\r\n6 0 0 10 10\r\n"
with open(os.path.join(WORK, "TOP.TLC"), "wb") as f:
    f.write(cell)

status, out = run()
expect("usage without a terminal", status == 0 and "Command line :  lyrshift m[c]" in out, out)
for folder in (WORK, WORK + "/"):
    status, out = run("c", "5", "9", folder)
    expect("copy into %s" % folder, status == 0 and "Layer 5 Copied to 9 in TOP.TLC" in out, out)
text = open(os.path.join(WORK, "TOP.TLC"), "rb").read()
expect("two copies made", text.count(b"=B\r\n9 0 0 10 10\r\n") == 2 and text.count(b"=B\r\n5 0 0 10 10\r\n") == 1, text)
expect("header last", text.endswith(b"\r\n1 0 0 1 0\r\n4 0 0 0\r\n"), text)
expect("no files left behind", sorted(os.listdir(WORK)) == ["CELLS.REF", "TOP.TLC"], os.listdir(WORK))

if failures:
    print("\n\n".join(failures))
    sys.exit(1)
print("all lyrshift runs passed")
