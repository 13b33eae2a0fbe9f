"""Shared by the headless program tests: one scripted run of a suite program and a list of checks.
Import it with sys.path holding this folder."""
import os
import subprocess
import sys


def run_program(program, work, name, script, cwd=None, timeout=400, quiet=False, args=(), **env_extra):
    """Runs PROGRAM (with ARGS) with SCRIPT as NAME.script in WORK (or CWD); its exit status and its
    log. QUIET drops what the program writes on stderr."""
    path = os.path.join(work, name + ".script")
    log = os.path.join(work, name + ".log")
    with open(path, "w") as f:
        f.write(script)
    env = dict(os.environ, MERO_SCRIPT=path, MERO_LOG=log, QT_QPA_PLATFORM="offscreen")
    env.update(env_extra)  # may name another offscreen screen
    try:
        status = subprocess.run([program] + list(args), cwd=cwd or work, env=env, timeout=timeout,
                                stderr=subprocess.DEVNULL if quiet else None).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    return status, open(log).read() if os.path.exists(log) else ""


# No step of a peer check takes more than a few seconds; a program that hangs fails the check.
STEP_SECONDS = 120


def run_step(cmd, **kw):
    """One step of a check, echoed before it runs; a step that hangs ends the check."""
    print("+", " ".join(cmd), flush=True)
    try:
        return subprocess.run(cmd, timeout=STEP_SECONDS, **kw)
    except subprocess.TimeoutExpired:
        sys.exit("%s did not end within %d s" % (cmd[0], STEP_SECONDS))


def find_any_case(folder, name):
    """The file of that name in FOLDER whatever its case (the converters write upper case); the check
    ends when there is none."""
    for entry in os.listdir(folder):
        if entry.upper() == name.upper():
            return os.path.join(folder, entry)
    sys.exit("%s not written in %s" % (name, folder))


def crlf_lines(path):
    """The lines of a text file the suite wrote, every one ended by CR LF."""
    return open(path, newline="").read().split("\r\n")


def write_crlf(path, text):
    """Writes TEXT with CR LF line ends, as the suite's own files have them."""
    with open(path, "w", newline="") as f:
        f.write(text.replace("\n", "\r\n"))


def field_path(path, cwd):
    """PATH as a program's file field should hold it: the fields take 64 characters, so a path in the
    program's start folder is given relative to it, wherever the checkout lies."""
    if os.path.isabs(path) and os.path.abspath(path).startswith(os.path.abspath(cwd) + os.sep):
        return os.path.relpath(path, cwd)
    return path


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
