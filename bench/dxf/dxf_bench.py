"""Both DXF conversions on ezdxf-made inputs, beside klayout reading the same DXF file and writing it
as GDSII. Each step is a child process, so its time and peak memory are its own; pauses take no
time in the batch runner. The inputs are made once (make_inputs.py) and kept in the work folder.

usage: dxf_bench.py DXF_BATCH WORK_FOLDER [POLYLINES] [CIRCLES]
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def step(name, cmd, cwd):
    start = time.perf_counter()
    child = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    return name, seconds, usage.ru_maxrss / 1024.0, os.waitstatus_to_exitcode(status)


def megabytes(path):
    return os.path.getsize(path) / 1e6 if os.path.exists(path) else 0


def main():
    batch, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    polylines = sys.argv[3] if len(sys.argv) > 3 else "100000"
    circles = sys.argv[4] if len(sys.argv) > 4 else "10000"
    os.makedirs(work, exist_ok=True)
    tag = os.path.join(work, "inputs-%s-%s" % (polylines, circles))
    if not os.path.exists(tag):
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make_inputs.py"), work, polylines, circles],
                       check=True)
        open(tag, "w").close()
    for folder in ("poly", "circ"):
        os.makedirs(os.path.join(work, folder), exist_ok=True)
    klayout_script = os.path.join(work, "klayout_copy.py")
    with open(klayout_script, "w") as f:
        f.write("import pya\nlayout = pya.Layout()\nlayout.read(src)\nlayout.write(dst)\n")
    poly_dxf = os.path.join(work, "polylines.dxf")
    steps = [
        step("DXF -> TLC, polylines", [batch, "import", poly_dxf, "poly/top", "3=1000", "@METAL=1", "@POLY=2",
                                       "@VIA=3"], work),
        step("DXF -> TLC, circles at 1 degree", [batch, "import", os.path.join(work, "circles.dxf"), "circ/top",
                                                 "3=1000", "14=1", "@CURVE=4"], work),
        step("TLC -> DXF, polylines", [batch, "export", "poly/TOP.TLC", "back.dxf"], work),
        step("klayout DXF -> GDSII", ["klayout", "-b", "-r", klayout_script, "-rd", "src=" + poly_dxf,
                                      "-rd", "dst=" + os.path.join(work, "klayout.gds")], work),
    ]
    tlc_mb = sum(os.path.getsize(os.path.join(work, "poly", n)) for n in os.listdir(os.path.join(work, "poly"))) / 1e6
    print("inputs: polylines.dxf %.1f MB (%s polylines), circles.dxf %.1f MB (%s circles); TLC written %.1f MB; "
          "DXF written back %.1f MB" % (megabytes(poly_dxf), polylines, megabytes(os.path.join(work, "circles.dxf")),
                                       circles, tlc_mb, megabytes(os.path.join(work, "BACK.DXF"))))
    print("%-34s %10s %12s %8s" % ("step", "seconds", "peak MB", "status"))
    for name, seconds, peak, status in steps:
        print("%-34s %10.2f %12.1f %8d" % (name, seconds, peak, status))
    ours, theirs = steps[0][1], steps[3][1]
    print("import of the polylines against klayout reading and writing them: %.2f x" % (ours / theirs))
    sys.exit(0 if all(s[3] == 0 for s in steps) else 1)


main()
