#!/usr/bin/env python3
"""Writes drawing-folder files as the suite writes them, as a starting corpus for one fuzz target:
cell files with every record kind, a cell index, a FORM.DBD and a CONSTS6.DBD, each with the damage a
crash or a hand edit leaves beside it.

usage: make_corpus.py OUTDIR TARGETNAME
"""
import os
import struct
import sys


def words(*values):
    return struct.pack("<%di" % len(values), *[v - (1 << 32) if v >= 1 << 31 else v for v in values])


def zeros(n):
    return bytes(n)


TEXT = 0x80000000
BOXES = words(1, 0, 0, 100, 50) + words(64, -10, -10, 10, 10)
PATHS = words(2, 10, 1) + words(3, 0, 3) + words(TEXT | (3 << 11) | 4, 30, 7)
VERTICES = (words(1, 0, 0, 2) + words(1, 100, 0, 0) + words(2, 0, 0, 4) + words(2, 10, 0, 5) +
            words(2, 10, 10, 6) + words(2, 0, 0, 0) + words(3, 5, 5, 8) + words(TEXT | 3, 0x41424344, 0x45000000, 0))
BP6 = BOXES + zeros(20) + PATHS + zeros(12) + VERTICES + zeros(16)
CL6 = words(1, 0, 0) + words(2 | (7 << 11) | 0x4000, -5, 9) + words(1 | (4 << 11), 3, 3) + zeros(12)

SEEDS = {
    "cl6_reader_fuzz": {
        "three.cl6": CL6,
        "empty.cl6": b"",
        "zero-inside.cl6": words(1, 0, 0) + zeros(12) + words(2, 40, 0) + zeros(12),
        "rows-out-of-range.cl6": words(1, 0, 0) + words(1500, 1, 1) + words(0x800, 2, 2) + zeros(12),
    },
    "bp6_reader_fuzz": {
        "sample.bp6": BP6,
        "empty.bp6": zeros(48),
        "layer-100.bp6": words(100, 1, 2, 3, 4) + BP6,
        "path-on-layer-0.bp6": BOXES + zeros(20) + words(0x1000, 10, 1) + PATHS[12:] + zeros(12) + VERTICES + zeros(16),
        "cut.bp6": BP6[:100],
    },
    "cell_index_fuzz": {
        "index.dbd": b"3\r\nLEAF\r\n1 0 0 10 10 1 0 0 0\r\nMID\r\n2 -10 -20 30 40 5 6 70000 8\r\n"
                     b"POOLED\r\n17 0 0 100 100 1 0 0 0\r\n\r\n",
        "empty.dbd": b"0\r\n\r\n",
        "count-below-rows.dbd": b"1\r\nA\r\n1 0 0 1 1 0 0 0 0\r\nB\r\n2 0 0 1 1 0 0 0 1\r\n\r\n",
    },
    "form_file_fuzz": {
        "form.dbd": b"pool=\r\nlayer=nwel 1\r\nlayer=poly 3\r\nLAYER=5 Metal1 ; first\r\nVIEW=1\r\n"
                    b"FKEY=Fit\r\nFKEY=Zoom 0 0 30 30\r\nFONT=C:\\MERO6\\TFF2.DBD\r\nNOCELLPOPUP=1\r\n"
                    b"RES=poly 25 0.1\r\n",
        "pool.dbd": b"POOL=..\\LIB ; the shared cells\r\nlayer=met1 5\r\n",
    },
    "settings_file_fuzz": {},
    # Typed and stored number texts: decimal forms, signs, exponents, hex, nan and inf, over- and
    # underflow, and trailing garbage.
    "text_numbers_fuzz": {"number%02d" % i: t.encode() for i, t in enumerate([
        "12", "-2.5", "+1.5e0", ".5", "5.", "  \t3.25", "1E-2", "2e", "2e+", "3.5.1", "7abc", "0x10",
        "0X1p4", "nan", "-nan", "NAN(1)", "inf", "-Infinity", "1e400", "-1e400", "1e-400", "0e999",
        "9" * 400, "0." + "0" * 400 + "1", "1,5", "--1", "+-1", "", ".", "4.9e-324",
        "2.2250738585072014e-308", "99999999999", "-2147483648"])},
}


def main(folder, target):
    os.makedirs(folder, exist_ok=True)
    seeds = dict(SEEDS[target])
    if target == "settings_file_fuzz":
        # The file a fresh drawing folder gets, kept beside this script.
        here = os.path.dirname(os.path.abspath(__file__))
        with open(os.path.join(here, "consts6.seed"), "rb") as f:
            fresh = f.read()
        seeds["fresh.dbd"] = fresh
        seeds["no-end.dbd"] = fresh[: len(fresh) // 2]
        seeds["first-lines.dbd"] = b"6.05\r\n1000\r\num\r\n"
        # Heads whose scale falls back, and a unit longer than every program keeps.
        lines = fresh.split(b"\r\n")
        for i, scale in enumerate([b"0", b"-5", b"abc", b"1e999", b"1e-310", b""]):
            seeds["damaged-scale-%d.dbd" % i] = b"\r\n".join(lines[:1] + [scale, b"abcdefghijklmnopqrst"] + lines[3:])
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
