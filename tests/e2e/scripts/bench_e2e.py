"""scripts/bench as the README runs it, on a copy of the script beside a build/bench folder that holds
what a build leaves there: benchmarks, and the folders CMake makes, which are no benchmarks. With no
name every benchmark runs; --help lists them; a name that is no benchmark, or a benchmark that fails,
ends the script with a failure.

usage: bench_e2e.py SOURCE_TREE WORK_FOLDER
"""
import os
import shutil
import stat
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from scripted_program import Checks  # noqa: E402

SOURCE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
expect = checks.expect

shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(os.path.join(WORK, "scripts"))
shutil.copy(os.path.join(SOURCE, "scripts", "bench"), os.path.join(WORK, "scripts", "bench"))
bench = os.path.join(WORK, "build", "bench")
for folder in ("CMakeFiles", "gds"):
    os.makedirs(os.path.join(bench, folder))


def benchmark(name, status=0):
    path = os.path.join(bench, name)
    with open(path, "w") as f:
        f.write("#!/bin/sh\necho %s ran\nexit %d\n" % (name, status))
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)


with open(os.path.join(bench, "CTestTestfile.cmake"), "w") as f:
    f.write("# not executable: no benchmark\n")


def bench_script(*args):
    r = subprocess.run([os.path.join(WORK, "scripts", "bench"), "--no-build"] + list(args), capture_output=True,
                       text=True, timeout=60)
    return r.returncode, r.stdout + r.stderr


status, out = bench_script("--help")
expect("nothing built yet: --help says so", status == 0 and "no benchmarks built yet" in out, out)
status, out = bench_script()
expect("nothing built: the run fails", status != 0 and "no benchmarks built" in out, out)

benchmark("gfx_bench")
benchmark("uue_bench")
status, out = bench_script()
expect("no name runs every benchmark and nothing else", status == 0 and "gfx_bench ran" in out
       and "uue_bench ran" in out and "CMakeFiles" not in out and "== gds" not in out, out)
status, out = bench_script("--help")
expect("--help lists the benchmarks built", status == 0 and "  gfx_bench\n" in out and "  uue_bench\n" in out
       and "not built" not in out and "CMakeFiles" not in out, out)
status, out = bench_script("uue_bench")
expect("a name runs that one", status == 0 and "uue_bench ran" in out and "gfx_bench" not in out, out)
for name in ("CMakeFiles", "gds", "nothing_bench"):
    status, out = bench_script(name)
    expect("%s is no benchmark" % name, status == 2 and "no benchmark %s" % name in out and " ran" not in out, out)

benchmark("gfx_bench", status=3)
status, out = bench_script()
expect("a benchmark that fails fails the run", status == 3 and "gfx_bench ran" in out, out)

checks.finish("PASSED: scripts/bench")
