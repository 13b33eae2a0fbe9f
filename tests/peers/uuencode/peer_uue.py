"""The file encoder against sharutils: what wmerouue encodes, uudecode decodes to the same bytes, and
what uuencode encodes, wmerouue decodes to the same bytes; the data lines of both encoders are the
same. Files of many sizes, 0 and 45n-1, 45n, 45n+1 bytes among them.

usage: peer_uue.py SUITE_FOLDER WORK_FOLDER
"""
import os
import random
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../e2e"))
from scripted_program import Checks, quoted, run_program  # noqa: E402


SUITE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
SIZES = [0, 1, 2, 3, 44, 45, 46, 89, 90, 91, 134, 135, 136, 1000, 4095, 70001]
checks = Checks()
expect = checks.expect


def run_encoder(name, script):
    return run_program(os.path.join(SUITE, "wmerouue"), WORK, name, script, timeout=300)


def go_script(jobs):
    """One run of the program: per job the SETUP answer, then Go with its completion box."""
    lines = []
    for source, destination in jobs:
        lines += ['answer SETUP set 110 "%s" set 111 "%s" press ok' % (source, destination),
                  "command 11", "wait", "box ok", "command 12", "wait"]
    return "\n".join(lines + ["quit", ""])


def data_lines(text):
    lines = text.replace(b"\r\n", b"\n").split(b"\n")
    return lines[1:]


shutil.rmtree(WORK, ignore_errors=True)
for sub in ("ours", "theirs", "back", "decoded"):
    os.makedirs(os.path.join(WORK, sub))
rng = random.Random(6)
originals = {}
for n in SIZES:
    name = "f%d.bin" % n
    originals[name] = bytes(rng.getrandbits(8) for _ in range(n))
    with open(os.path.join(WORK, "ours", name), "wb") as f:
        f.write(originals[name])

# Ours encoded, theirs decoded.
status, log = run_encoder("encode", go_script([("ours/%s" % name, "ours") for name in originals]))
expect("encoding run ends 0", status == 0, log)
expect("every encoding completes", log.count('box "MEROUUE" "Converted to UUE, CheckSum=') == len(SIZES), log)
for name, data in originals.items():
    uue = os.path.join(WORK, "ours", "F" + name[1:-4] + ".uue")
    if not os.path.exists(uue):
        expect("%s encoded" % name, False)
        continue
    out = os.path.join(WORK, "decoded", name)
    r = subprocess.run(["uudecode", "-o", out, uue], capture_output=True, timeout=60)
    expect("uudecode takes our %s" % name, r.returncode == 0, r.stderr.decode())
    expect("uudecode gives back %s" % name, os.path.exists(out) and open(out, "rb").read() == data)
    # The data lines are the ones sharutils writes.
    theirs = subprocess.run(["uuencode", os.path.join(WORK, "ours", name), name], capture_output=True,
                            timeout=60).stdout
    expect("data lines of %s as sharutils writes them" % name,
           data_lines(open(uue, "rb").read()) == data_lines(theirs))

# Theirs encoded, ours decoded.
jobs = []
for name, data in originals.items():
    with open(os.path.join(WORK, "theirs", name), "wb") as f:
        f.write(data)
    uue = os.path.join(WORK, "theirs", name[:-4] + ".uue")
    with open(uue, "wb") as f:
        f.write(subprocess.run(["uuencode", os.path.join(WORK, "theirs", name), name], capture_output=True,
                               timeout=60).stdout)
    jobs.append(("theirs/%s" % os.path.basename(uue), "back"))
status, log = run_encoder("decode", go_script(jobs))
expect("decoding run ends 0", status == 0, log)
for name, data in originals.items():
    out = os.path.join(WORK, "back", name)
    expect("wmerouue decodes sharutils' %s" % name, os.path.exists(out) and open(out, "rb").read() == data)
    expect("its length is reported", 'FileLength= %d"' % len(data) in log)

checks.finish("all uuencode peer checks passed")
