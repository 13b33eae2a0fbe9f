"""scripts/setup and scripts/test as a user starts them, with cmake, ctest and nproc replaced by
recorders: set-up builds no benchmarks and no tests, both build on every core and the tests run on
every core unless CMAKE_BUILD_PARALLEL_LEVEL or CTEST_PARALLEL_LEVEL say otherwise.

usage: scripts_test.py SOURCE_TREE WORK_FOLDER
"""
import os
import shutil
import stat
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from scripted_program import Checks  # noqa: E402

SOURCE, WORK = sys.argv[1], os.path.abspath(sys.argv[2])
checks = Checks()
CORES = "5"


def executable(path, text):
    with open(path, "w") as f:
        f.write("#!/bin/sh\n" + text)
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)


def tree():
    """A checkout holding the two scripts, a package step that installs nothing, and a PATH whose
    cmake and ctest write their arguments to calls.txt (cmake makes the build folder it is given)."""
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(os.path.join(WORK, "repo", "scripts"))
    os.makedirs(os.path.join(WORK, "bin"))
    for name in ("setup", "test"):
        shutil.copy(os.path.join(SOURCE, "scripts", name), os.path.join(WORK, "repo", "scripts", name))
    executable(os.path.join(WORK, "repo", "scripts", "install-packages"), "exit 0\n")
    calls = os.path.join(WORK, "calls.txt")
    executable(os.path.join(WORK, "bin", "cmake"),
               'echo "cmake $* env=${CMAKE_BUILD_PARALLEL_LEVEL:-}" >> %s\n'
               'while [ $# -gt 0 ]; do [ "$1" = -B ] && mkdir -p "$2"; shift; done\n' % calls)
    executable(os.path.join(WORK, "bin", "ctest"), 'echo "ctest $*" >> %s\n' % calls)
    executable(os.path.join(WORK, "bin", "nproc"), "echo %s\n" % CORES)
    return calls


def run(script, **env):
    calls = tree()
    environment = {k: v for k, v in os.environ.items()
                   if k not in ("CMAKE_BUILD_PARALLEL_LEVEL", "CTEST_PARALLEL_LEVEL")}
    environment.update(env, PATH=os.path.join(WORK, "bin") + os.pathsep + environment["PATH"])
    status = subprocess.run([os.path.join(WORK, "repo", "scripts", script)], env=environment, timeout=60,
                            stdout=subprocess.DEVNULL).returncode
    lines = open(calls).read().splitlines() if os.path.exists(calls) else []
    return status, lines


def words(lines, start):
    return [line.split() for line in lines if line.startswith(start)]


# (script, environment, build jobs, test jobs or None)
CASES = [
    ("setup", {}, CORES, None),
    ("setup", {"CMAKE_BUILD_PARALLEL_LEVEL": "2"}, "2", None),
    ("test", {}, CORES, CORES),
    ("test", {"CMAKE_BUILD_PARALLEL_LEVEL": "2", "CTEST_PARALLEL_LEVEL": "3"}, "2", "3"),
]
for script, env, build_jobs, test_jobs in CASES:
    what = "scripts/%s with %s" % (script, env or "no parallel level set")
    status, lines = run(script, **env)
    detail = "\n".join(lines)
    checks.expect("%s: ends with status 0" % what, status == 0, detail)
    configure = [w for w in words(lines, "cmake -S") if "-B" in w]
    builds = words(lines, "cmake --build")
    checks.expect("%s: configures once and builds once" % what, len(configure) == 1 and len(builds) == 1, detail)
    if configure:
        checks.expect("%s: builds no benchmarks" % what, "-DMERO_BENCH=OFF" in configure[0], detail)
        if script == "setup":
            checks.expect("%s: builds no tests" % what, "-DMERO_TESTS=OFF" in configure[0], detail)
    if builds:
        # cmake --build itself takes the jobs from the environment when no --parallel is given, and
        # without either Ninja runs on every core.
        w = builds[0]
        jobs = w[w.index("--parallel") + 1] if "--parallel" in w else w[-1][len("env="):] or CORES
        checks.expect("%s: builds with %s jobs" % (what, build_jobs), jobs == build_jobs, detail)
    tests = words(lines, "ctest")
    if test_jobs is None:
        checks.expect("%s: runs no tests" % what, not tests, detail)
    else:
        checks.expect("%s: runs the tests %s at once" % (what, test_jobs),
                      len(tests) == 1 and "-j" + test_jobs in tests[0], detail)
checks.finish("PASSED: scripts/setup and scripts/test build and test as the README says")
