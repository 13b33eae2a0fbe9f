"""Peer checks of the DXF converters against ezdxf and klayout.

usage: peer_dxf.py CASE WORK_FOLDER (--programs SUITE_FOLDER | --batch DXF_BATCH) --gds GDS_BATCH_OR_SUITE

CASE export: the TLC set of export_fixture.py goes through the exporter; ezdxf reads the DXF file
             (ezdxf_check.py), and klayout reads it and finds it equal, layer by layer and instance by
             instance, to the same TLC set written as GDSII by the GDSII exporter.
CASE ezdxf:  a DXF file written by ezdxf (ezdxf_fixture.py) goes through the importer into TLC; the
             TLC files go through the GDSII exporter, and klayout finds that equal to the DXF file as
             it reads it itself (curves by their area); texts and arcs are checked in the TLC files.
CASE unconverted: a drawing ezdxf writes with entities the importer has no conversion for
             (ezdxf_unconverted.py) comes in with what it can convert, and the run ends "Some Error
             Occurred" with their count, each kind named in the report.
With --programs the real wxchexp, wxchimp and wstrmexp run headless from a script; with --batch the
jobs run through the window-less runners. Exit status 0 when every check passes.
"""
import argparse
import math
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GDS_PEERS = os.path.join(os.path.dirname(HERE), "gds")
PYTHON = "/usr/bin/python3"
sys.path.insert(0, os.path.join(HERE, "..", "..", "e2e"))
from scripted_program import field_path, find_any_case as find, quoted, run_step as run  # noqa: E402,F401


def klayout(script, **defs):
    cmd = ["klayout", "-b", "-r", script]
    for k, v in defs.items():
        cmd += ["-rd", "%s=%s" % (k, v)]
    result = run(cmd, stdout=subprocess.PIPE, text=True)
    print(result.stdout, end="")
    return result.returncode, result.stdout


class Converter:
    def __init__(self, args, work):
        self.args, self.work = args, work

    def program(self, name, answers, commands, completion='"Completed ...'):
        script = os.path.join(self.work, name + ".script")
        log = os.path.join(self.work, name + ".log")
        with open(script, "w") as f:
            f.write(answers)
            f.write("box ok\n" * 40)
            for command in commands:
                f.write("command %d\nwait\n" % command)
            f.write("quit\n")
        env = dict(os.environ, MERO_SCRIPT=script, MERO_LOG=log, QT_QPA_PLATFORM="offscreen")
        status = run([os.path.join(self.args.programs, name)], cwd=self.work, env=env).returncode
        text = open(log).read() if os.path.exists(log) else ""
        if status != 0 or completion not in text:
            print(text)
            sys.exit("%s did not complete (status %d)" % (name, status))

    def setup(self, slots, checks):
        actions = []
        for slot, value in sorted(slots.items()):
            if slot in checks:
                actions.append("check %d %d" % (100 + slot, 1 if value.upper().startswith("Y") else 0))
            else:
                actions.append("set %d %s" % (100 + slot, quoted(field_path(value, self.work))))
        return "answer SETUP %s press ok\n" % " ".join(actions)

    def batch(self, tool, mode, source, target, extra, completion="Completed ..."):
        result = run([tool, mode, source, target] + extra, cwd=self.work, stderr=subprocess.PIPE, text=True)
        print(result.stderr, end="")
        if result.returncode != 0 or completion not in result.stderr:
            sys.exit("%s %s did not complete" % (os.path.basename(tool), mode))

    def export_dxf(self, main_tlc, out_dxf):
        if self.args.programs:
            self.program("wxchexp", self.setup({0: main_tlc, 1: out_dxf}, set(range(3, 9))), [12, 13])
        else:
            self.batch(self.args.batch, "export", main_tlc, out_dxf, [])

    def import_dxf(self, dxf, main_tlc, scale, layers, completion="Completed ..."):
        """layers: DXF layer name to TLC layer; completion: the text the run must end with."""
        if self.args.programs:
            order = layer_table(dxf)
            numbers = " ".join("set %d %d" % (250 + i, layers.get(name.upper(), 0)) for i, name in enumerate(order))
            answers = self.setup({0: dxf, 1: main_tlc, 3: scale}, set(range(4, 13)))
            answers += "answer LAYERS %s press ok\n" % numbers
            self.program("wxchimp", answers, [13, 12, 14], '"%s' % completion)
        else:
            self.batch(self.args.batch, "import", dxf, main_tlc,
                       ["3=%s" % scale] + ["@%s=%d" % kv for kv in sorted(layers.items())], completion)

    def export_gds(self, main_tlc, out_gds):
        if self.args.programs:
            self.program("wstrmexp", self.setup({0: main_tlc, 1: out_gds}, set(range(10, 15))), [12, 14])
        else:
            self.batch(self.args.gds, "export", main_tlc, out_gds, [])


def layer_table(path):
    """Names of the LAYER table's entries in file order."""
    lines = [line.strip() for line in open(path, newline="").read().replace("\r\n", "\n").split("\n")]
    pairs = list(zip(lines[0::2], lines[1::2]))
    names, in_table = [], False
    for i, (code, value) in enumerate(pairs):
        if code == "0" and value == "TABLE":
            in_table = i + 1 < len(pairs) and pairs[i + 1] == ("2", "LAYER")
        elif code == "0" and value == "ENDTAB":
            in_table = False
        elif in_table and code == "0" and value == "LAYER":
            for c, v in pairs[i + 1:]:
                if c == "0":
                    break
                if c == "2":
                    names.append(v)
                    break
    return names


def same_layout(a, a_layers, b, b_layers, work, tag):
    """klayout reads both, keeps the layers named and compares them as layouts (texts left out)."""
    na, nb = os.path.join(work, tag + "-a.gds"), os.path.join(work, tag + "-b.gds")
    for src, layers, out in ((a, a_layers, na), (b, b_layers, nb)):
        status, _ = klayout(os.path.join(HERE, "normalise.py"), src=src, gds=out, layers=layers, texts="0")
        if status != 0:
            sys.exit("klayout could not read %s" % src)
    status, _ = klayout(os.path.join(GDS_PEERS, "compare.py"), a=na, b=nb, top="TOP")
    return status == 0


def areas(src, layers):
    status, out = klayout(os.path.join(HERE, "normalise.py"), src=src, gds=src + ".areas.gds", layers=layers,
                          texts="0")
    if status != 0:
        sys.exit("klayout could not read %s" % src)
    return {int(w[1]): int(w[2]) for w in (line.split() for line in out.splitlines()) if w and w[0] == "area"}


def tlc_records(path, keyword):
    """The records of one kind of a TLC file: the number lines and, for texts, the text."""
    lines = open(path, newline="").read().split("\r\n")
    out = []
    for i, line in enumerate(lines):
        if line != keyword:
            continue
        head = [int(v) for v in lines[i + 1].split()]
        if keyword == "=T":
            out.append(tuple(head) + tuple(int(v) for v in lines[i + 2].split()) + (lines[i + 3],))
        elif keyword == "=P":
            numbers, j = [], i + 2
            while len(numbers) < 2 * head[2]:
                numbers += [int(v) for v in lines[j].split()]
                j += 1
            out.append((head, list(zip(numbers[0::2], numbers[1::2]))))
    return out


def check_export(conv, work):
    tlc = os.path.join(work, "tlc")
    if run([PYTHON, os.path.join(HERE, "export_fixture.py"), tlc]).returncode != 0:
        sys.exit("fixture not made")
    conv.export_dxf(os.path.join(tlc, "TOP.TLC"), os.path.join(work, "out.dxf"))
    dxf = find(work, "out.dxf")
    if run([PYTHON, os.path.join(HERE, "ezdxf_check.py"), dxf]).returncode != 0:
        sys.exit("ezdxf does not read the exported drawing as written")
    conv.export_gds(os.path.join(tlc, "TOP.TLC"), os.path.join(work, "ref.gds"))
    numbers = range(1, 7)
    if not same_layout(dxf, ",".join("LAYER%d=%d" % (n, n) for n in numbers), find(work, "ref.gds"),
                       ",".join("%d=%d" % (n, n) for n in numbers), work, "export"):
        sys.exit("klayout reads the exported drawing otherwise than the same cells written as GDSII")


def check_ezdxf(conv, work):
    dxf = os.path.join(work, "ez.dxf")
    if run([PYTHON, os.path.join(HERE, "ezdxf_fixture.py"), dxf]).returncode != 0:
        sys.exit("ezdxf drawing not made")
    tlc = os.path.join(work, "tlc")
    os.makedirs(tlc)
    layers = {"METAL": 1, "POLY": 2, "VIA": 3, "CURVE": 4, "ARCS": 5}
    conv.import_dxf(dxf, os.path.join(tlc, "top"), "1000", layers)
    conv.export_gds(find(tlc, "TOP.TLC"), os.path.join(work, "back.gds"))
    back = find(work, "back.gds")
    if not same_layout(dxf, "METAL=1,POLY=2,VIA=3", back, "1=1,2=2,3=3", work, "ezdxf"):
        sys.exit("the drawing that came in differs from ezdxf's as klayout reads it")
    # Circles and bulges are cut into chords of their own: their areas agree to a fraction.
    a, b = areas(dxf, "CURVE=4").get(4, 0), areas(back, "4=4").get(4, 0)
    if not a or abs(a - b) > 0.01 * a:
        sys.exit("curve areas differ: %d %d" % (a, b))

    top = find(tlc, "TOP.TLC")
    texts = sorted(t for t in tlc_records(top, "=T"))
    want = sorted([(1, 1995, 2, 0, 0, -200000, "PLAIN"), (1, 1995, 2, 7, 50000, -200000, "BACK"),
                   (1, 1995, 2, 4, 100000, -200000, "DOWN")])
    if texts != want:
        sys.exit("texts: %s, not %s" % (texts, want))
    arcs = [r for r in tlc_records(top, "=P") if r[0][0] == 5]
    if len(arcs) != 1 or len(arcs[0][1]) != 21 or \
            any(abs(math.hypot(x - 200000, y + 100000) - 10000) > 1 for x, y in arcs[0][1][:19]) or \
            arcs[0][1][19] != (200000, -100000) or arcs[0][1][20] != arcs[0][1][0]:
        sys.exit("arc not closed through its centre as expected: %s" % arcs)


def check_unconverted(conv, work):
    dxf = os.path.join(work, "left.dxf")
    if run([PYTHON, os.path.join(HERE, "ezdxf_unconverted.py"), dxf]).returncode != 0:
        sys.exit("ezdxf drawing not made")
    tlc = os.path.join(work, "tlc")
    os.makedirs(tlc)
    # Two LWPOLYLINEs, a HATCH, a SPLINE and an ELLIPSE; the LINE and the CIRCLE come in.
    conv.import_dxf(dxf, os.path.join(tlc, "top"), "1000", {"METAL": 1, "POLY": 2},
                    "Some Error Occurred ... 5 Entities not Converted ... Conversion may be Incorrect")
    report = open(find(work, "XCHIMP.RPT"), newline="").read()
    for told in ("LWPOLYLINE Entities not Converted: 2", "HATCH Entities not Converted: 1",
                 "SPLINE Entities not Converted: 1", "ELLIPSE Entities not Converted: 1",
                 "Some Error Occurred ... 5 Entities not Converted ... Conversion may be Incorrect"):
        if told not in report:
            sys.exit("report does not say %r:\n%s" % (told, report))
    paths = tlc_records(find(tlc, "TOP.TLC"), "=P")
    if sorted(p[0][0] for p in paths) != [1, 2] or [p for p in paths if p[0][0] == 1][0][1] != [(0, 0), (10000, 0)]:
        sys.exit("the line and the circle did not come in alone: %s" % paths)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["export", "ezdxf", "unconverted"])
    parser.add_argument("work")
    parser.add_argument("--programs")
    parser.add_argument("--batch")
    parser.add_argument("--gds")
    args = parser.parse_args()
    if not (args.programs or (args.batch and args.gds)):
        parser.error("--programs, or --batch with --gds")
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    conv = Converter(args, work)
    if args.case == "export":
        check_export(conv, work)
    elif args.case == "ezdxf":
        check_ezdxf(conv, work)
    else:
        check_unconverted(conv, work)
    print("ok")


if __name__ == "__main__":
    main()
