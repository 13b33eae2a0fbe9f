#!/usr/bin/env python3
"""Writes small GDSII libraries as a starting corpus for the fuzz target: a hierarchy with an array,
every element kind the importer reads, path end types, a text of two lines, and a library cut short.

usage: make_corpus.py FOLDER [TARGETNAME]  (the name is the one target here, gds_reader_fuzz)
"""
import os
import struct
import sys


def rec(rtype, dtype, data=b""):
    return struct.pack(">HBB", len(data) + 4, rtype, dtype) + data


def i2(*v):
    return struct.pack(">%dH" % len(v), *v)


def i4(*v):
    return struct.pack(">%di" % len(v), *v)


def s(text):
    b = text.encode()
    return b + (b"\0" if len(b) % 2 else b"")


def real8(value):
    if value == 0:
        return bytes(8)
    sign = 0x80 if value < 0 else 0
    m, e = abs(value), 64
    while m >= 1:
        m, e = m / 16, e + 1
    while m < 1 / 16:
        m, e = m * 16, e - 1
    return bytes([sign | e]) + int(m * (1 << 56)).to_bytes(7, "big")


def lib(*structures):
    head = rec(0, 2, i2(3)) + rec(1, 2, i2(*[124, 1, 1, 0, 0, 0] * 2)) + rec(2, 6, s("SEED")) + \
        rec(3, 5, real8(0.001) + real8(1e-9))
    return head + b"".join(structures) + rec(4, 0)


def structure(name, *elements):
    return rec(5, 2, i2(*[124, 1, 1, 0, 0, 0] * 2)) + rec(6, 6, s(name)) + b"".join(elements) + rec(7, 0)


def boundary(layer, pts, box=False):
    return rec(45 if box else 8, 0) + rec(13, 2, i2(layer)) + rec(14, 2, i2(0)) + \
        rec(16, 3, i4(*[c for p in pts for c in p])) + rec(17, 0)


def path(layer, ptype, width, pts, ext=None):
    out = rec(9, 0) + rec(13, 2, i2(layer)) + rec(14, 2, i2(0)) + rec(33, 2, i2(ptype)) + \
        rec(15, 3, i4(width))
    if ext:
        out += rec(48, 3, i4(ext[0])) + rec(49, 3, i4(ext[1]))
    return out + rec(16, 3, i4(*[c for p in pts for c in p])) + rec(17, 0)


def sref(name, strans, angle, mag, at):
    return rec(10, 0) + rec(18, 6, s(name)) + rec(26, 1, i2(strans)) + rec(27, 5, real8(mag)) + \
        rec(28, 5, real8(angle)) + rec(16, 3, i4(*at)) + rec(17, 0)


def aref(name, cols, rows, pts):
    return rec(11, 0) + rec(18, 6, s(name)) + rec(19, 2, i2(cols, rows)) + \
        rec(16, 3, i4(*[c for p in pts for c in p])) + rec(17, 0)


def text(layer, string, at, presentation=8):
    return rec(12, 0) + rec(13, 2, i2(layer)) + rec(22, 2, i2(0)) + rec(23, 1, i2(presentation)) + \
        rec(16, 3, i4(*at)) + rec(25, 6, s(string)) + rec(17, 0)


SQUARE = [(0, 0), (10, 0), (10, 10), (0, 10), (0, 0)]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {
        "hierarchy.gds": lib(
            structure("TOP", sref("MID", 0x8000, 90, 1, (5, 5)), aref("LEAF", 3, 2, [(0, 0), (30, 0), (0, 20)])),
            structure("MID", sref("LEAF", 0, 45, 2, (0, 0))),
            structure("LEAF", boundary(1, SQUARE))),
        "elements.gds": lib(structure(
            "ALL", boundary(0, SQUARE), boundary(2, SQUARE, box=True), boundary(3, SQUARE[:4]),
            path(4, 0, 10, [(0, 0), (0, 100)]), path(5, 2, 10, [(0, 0), (100, 0)]),
            path(6, 1, 10, [(0, 0), (50, 50)]), path(7, 4, 10, [(0, 0), (0, 80), (40, 80)], (3, 7)),
            text(8, "ONE\rTWO", (1, 2)), text(9, "TOP", (0, 0), 0), boundary(130, SQUARE),
            sref("NOWHERE", 0, 0, 1, (0, 0)))),
        "cut.gds": lib(structure("A", boundary(1, SQUARE)))[:-10],
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
