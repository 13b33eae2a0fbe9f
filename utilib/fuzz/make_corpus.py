#!/usr/bin/env python3
"""Writes set-up files as the starting corpus of the set-up file's fuzz target: a whole file as a
utility saves it, one cut short, one of another version, one with over-long and CR LF lines.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import os
import sys


def setup(version, slots, readers, eol="\r\n"):
    return (eol.join([version] + slots + readers) + eol).encode("latin-1")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    slots = ["C:\\WORK\\CHIP.GDS", "C:\\WORK\\", "TOP", "1000", "Y", "N", "", "0.001um"] + ["?"] * 8 + \
        ["1", "2", "3", "4", "5"]
    readers = [x for i in range(10) for x in ("Notepad" if i == 0 else "", "STRMEXP.RPT" if i == 0 else "")]
    seeds = {
        "whole.su6": setup("6.01", slots, readers),
        "cut.su6": setup("6.01", slots[:5], []),
        "other.su6": setup("6.00", slots, readers),
        "long.su6": setup("6.01", ["X" * 200, "\tTAB", " lead"] + slots, readers, "\n"),
        "empty.su6": b"",
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
