"""Peer checks of the GDSII converters against klayout and gdspy.

usage: peer_gds.py CASE WORK_FOLDER (--programs SUITE_FOLDER | --batch GDS_BATCH)

CASE export:  the TLC fixture of export_fixture.py goes through the exporter; klayout compares the
              result with the same layout built by gdspy.
CASE gdspy, klayout: a library written by that tool goes through the importer into TLC and back
              through the exporter; klayout compares it with the library as written, and the TLC
              files are checked for what a text of two lines becomes.
With --programs the real wstrmexp and wstrmimp run headless from a script; with --batch the jobs run
through the window-less gds_batch runner. Exit status 0 when every check passes.
"""
import argparse
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from scripted_program import field_path, find_any_case as find, quoted, run_step as run  # noqa: E402,F401


def klayout(script, **defs):
    cmd = ["klayout", "-b", "-r", os.path.join(HERE, script)]
    for k, v in defs.items():
        cmd += ["-rd", "%s=%s" % (k, v)]
    return run(cmd).returncode


class Converter:
    def __init__(self, args, work):
        self.args, self.work = args, work

    def run_program(self, name, slots, checks, go):
        """Sets the SETUP fields of a program, runs Go and checks the completion box."""
        actions = []
        for slot, value in sorted(slots.items()):
            if slot in checks:
                actions.append("check %d %d" % (100 + slot, 1 if value.upper().startswith("Y") else 0))
            else:
                actions.append("set %d %s" % (100 + slot, quoted(field_path(value, self.work))))
        script = os.path.join(self.work, name + ".script")
        log = os.path.join(self.work, name + ".log")
        with open(script, "w") as f:
            f.write("answer SETUP %s press ok\n" % " ".join(actions))
            f.write("command 12\nwait\n")
            f.write("box ok\n" * 40)
            f.write("command %d\nwait\nquit\n" % go)
        env = dict(os.environ, MERO_SCRIPT=script, MERO_LOG=log, QT_QPA_PLATFORM="offscreen")
        status = run([os.path.join(self.args.programs, name)], cwd=self.work, env=env).returncode
        text = open(log).read() if os.path.exists(log) else ""
        if status != 0 or '"Completed ...' not in text:
            print(text)
            sys.exit("%s did not complete (status %d)" % (name, status))

    def export(self, main_tlc, out_gds, slots=None):
        slots = dict(slots or {})
        slots.update({0: main_tlc, 1: out_gds})
        if self.args.programs:
            self.run_program("wstrmexp", slots, {10, 11, 12, 13, 14}, 14)
        else:
            self.batch("export", main_tlc, out_gds, slots)

    def import_(self, gds, folder, slots=None):
        slots = dict(slots or {})
        slots.update({0: gds, 1: folder})
        if self.args.programs:
            self.run_program("wstrmimp", slots, set(range(6, 14)), 15)
        else:
            self.batch("import", gds, folder, slots)

    def batch(self, mode, source, target, slots):
        extra = ["%d=%s" % (k, v) for k, v in sorted(slots.items()) if k > 1]
        if run([self.args.batch, mode, source, target] + extra, cwd=self.work).returncode != 0:
            sys.exit("gds_batch %s did not complete" % mode)


def tlc_texts(path):
    """The "=T" records of a TLC file as (layer, size, orientation, x, y, text)."""
    lines = open(path, newline="").read().replace("\r\n", "\n").split("\n")
    out = []
    for i, line in enumerate(lines):
        if line == "=T":
            layer, size, _, orient = (int(v) for v in lines[i + 1].split()[:4])
            x, y = (int(v) for v in lines[i + 2].split()[:2])
            out.append((layer, size, orient, x, y, lines[i + 3]))
    return out


def check_export(conv, work):
    tlc = os.path.join(work, "tlc")
    if run([PYTHON, os.path.join(HERE, "export_fixture.py"), tlc,
            os.path.join(work, "expected.gds")]).returncode != 0:
        sys.exit("fixture not made")
    conv.export(os.path.join(tlc, "TOP.TLC"), os.path.join(work, "out.gds"))
    if klayout("compare.py", a=os.path.join(work, "expected.gds"), b=find(work, "out.gds"),
               top="TOP") != 0:
        sys.exit("the exported layout differs from gdspy's")


def check_round_trip(conv, work, source):
    gds = os.path.join(work, "in.gds")
    if source == "gdspy":
        made = run([PYTHON, os.path.join(HERE, "gdspy_library.py"), gds]).returncode == 0
        top, two_lines = "TOPCELL", ("LINE1", "LINE2", 8, 50000, -12000)
    else:
        made = klayout("klayout_library.py", out=gds) == 0
        top, two_lines = "KTOP", ("UP", "DOWN", 8, 50000, -12000)
    if not made:
        sys.exit("%s library not made" % source)
    tlc = os.path.join(work, "tlc")
    os.makedirs(tlc, exist_ok=True)
    # 1000 TLC units per um on a 1 nm grid keeps every coordinate; LF splits the texts' lines.
    conv.import_(gds, tlc, {3: "1000", 13: "N"})
    first, second, layer, x, y = two_lines
    texts = [t for t in tlc_texts(find(tlc, top + ".TLC")) if t[0] == layer]
    if len(texts) != 2 or texts[0][5] != first or texts[1][5] != second or \
            texts[0][3:5] != (x, y) or texts[1][3] != x or \
            texts[1][4] != y - texts[0][1] * 16 // 15:
        sys.exit("two-line text not split as expected: %s" % texts)
    conv.export(find(tlc, top + ".TLC"), os.path.join(work, "back.gds"))
    # Round path ends (layer 7) come back square: the difference may only lie at the path ends.
    if klayout("compare.py", a=gds, b=find(work, "back.gds"), top=top, loose_layers="7",
               split_lines="1") != 0:
        sys.exit("the layout that came back differs from %s's" % source)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["export", "gdspy", "klayout"])
    parser.add_argument("work")
    parser.add_argument("--programs")
    parser.add_argument("--batch")
    args = parser.parse_args()
    if not (args.programs or args.batch):
        parser.error("--programs or --batch")
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    conv = Converter(args, work)
    if args.case == "export":
        check_export(conv, work)
    else:
        check_round_trip(conv, work, args.case)
    print("ok")


if __name__ == "__main__":
    main()
