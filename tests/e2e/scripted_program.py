"""Shared by the headless program tests: one scripted run of a suite program and a list of checks.
Import it with sys.path holding this folder."""
import os
import subprocess
import sys


def run_program(program, work, name, script, cwd=None, timeout=120, **env_extra):
    """Runs PROGRAM with SCRIPT as NAME.script in WORK (or CWD); its exit status and its log."""
    path = os.path.join(work, name + ".script")
    log = os.path.join(work, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    env = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen", **env_extra)
    try:
        status = subprocess.run([program], cwd=cwd or work, env=env, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    return status, open(log).read() if os.path.exists(log) else ""


def quoted(text):
    """A script's double-quoted text."""
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, what, ok, detail=""):
        if not ok:
            self.failures.append("%s\n%s" % (what, detail))

    def finish(self, passed):
        """Prints the failures and exits 1, or prints PASSED."""
        if self.failures:
            print("\n\n".join(self.failures))
            sys.exit(1)
        print(passed)
