#!/usr/bin/env python3
"""Writes TLC files as the suite writes them, as a starting corpus: a cell of every record kind, a
three-rank set with its CELLS.REF, and the damage a hand edit leaves (a cell placing itself, a rank of
0, a record cut short).

usage: make_corpus.py OUTDIR TARGETNAME   (tlc_records_fuzz or tlcin_fuzz)
"""
import os
import sys


def header(name, rank, counts=(1, 0, 0, 0), outline=(0, 0, 10, 10)):
    return "=H\r\n%s\r\n6.05\r\n6.05\r\n1000\r\num\r\n03/07/24\r\n13:05:59\r\n%d %d %d %d %d\r\n%d %d %d %d\r\n" % (
        (name, rank) + tuple(outline) + tuple(counts))


def box(layer, l, b, r, t):
    return "=B\r\n%d %d %d %d %d\r\n" % (layer, l, b, r, t)


def ref(name, orientation, x, y):
    return "=C\r\n%s\r\n%d %d %d 0\r\n" % (name, orientation, x, y)


def path(layer, width, points):
    return "=P\r\n%d %d %d\r\n%s\r\n" % (layer, width, len(points), " ".join("%d %d" % p for p in points))


def text(layer, size, orientation, x, y, chars):
    return "=T\r\n%d %d %d %d\r\n%d %d\r\n%s\r\n" % (layer, size, 1 + (len(chars) + 7) // 8, orientation, x, y, chars)


LEAF = header("LEAF", 1, (2, 2, 4, 0)) + box(1, 0, 0, 10, 10) + box(64, -5, -5, 5, 5) + \
    path(2, 4, [(0, 0), (10, 0), (10, 10)]) + text(8, 30, 3, 1, 1, "IN")
MID = header("MID", 2, (1, 0, 0, 2)) + box(3, 0, 0, 40, 10) + ref("LEAF", 0, 0, 0) + ref("LEAF", 5, 20, 0)
TOP = header("TOP", 3, (0, 1, 4, 2)) + ref("MID", 2, 100, 100) + ref("LEAF", 7, -50, 0) + \
    path(5, 0, [(0, 0), (5, 0), (5, 5), (0, 5)])
REF = "3\r\nLEAF\r\n1 0 0 10 10\r\nMID\r\n2 0 0 40 10\r\nTOP\r\n3 0 0 100 100\r\n"


def main(folder, target):
    os.makedirs(folder, exist_ok=True)
    if target == "tlc_records_fuzz":
        seeds = {"leaf.tlc": LEAF, "top.tlc": TOP, "cells.ref": REF,
                 "cut.tlc": LEAF[: len(LEAF) - 9], "long-text.tlc": header("T", 1) + text(1, 10, 0, 0, 0, "X" * 70)}
    else:
        def tlc_set(files):
            return "".join("##%s\n%s" % (name, body) for name, body in files)
        seeds = {
            "three-ranks": tlc_set([("TOP", TOP), ("MID", MID), ("LEAF", LEAF), ("REF", REF)]),
            "self-placement": tlc_set([("TOP", header("TOP", 2) + ref("TOP", 0, 0, 0) + ref("LEAF", 0, 9, 9)),
                                       ("LEAF", LEAF)]),
            "equal-ranks": tlc_set([("TOP", header("TOP", 2) + ref("PEER", 0, 0, 0)),
                                    ("PEER", header("PEER", 2) + ref("TOP", 0, 0, 0))]),
            "rank-zero": tlc_set([("TOP", header("TOP", 0) + box(1, 0, 0, 1, 1)), ("REF", "1\r\nTOP\r\n0\r\n")]),
            "missing-lesser": tlc_set([("TOP", header("TOP", 3) + ref("GONE", 0, 0, 0) + ref("MID", 0, 0, 0)),
                                       ("MID", MID)]),
        }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data.encode())


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "tlc_records_fuzz")
