#!/usr/bin/env python3
"""Writes the starting corpus of the process parsers' fuzz targets.

command_line_fuzz: argument lists, one a line, as the suite's programs are started (a cell name,
drive paths, switches of the batch tools, blanks inside an argument).
drives_fuzz: a MERO_DRIVES line (entries "L=/root" parted by ";", and damaged ones), then paths
resolved through it.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import os
import sys


def command_lines():
    return {
        "cell": "NAND2",
        "drive_path": "C:\\MERO6\\MERO60.HPV\nCommand Information/Get",
        "switches": "-b\nC:\\WORK\\CHIP.GDS\nlayer=1\nscale=0.001",
        "blanks": "a b\n\n c ",
        "posix": "/tmp/x\n\\MERO6\\TFF.DBD\n..\\..\\x",
        "none": "",
    }


def drives():
    return {
        "two": "C=/opt/mero;D=/home/me/chips\nC:\\MERO6\\TFF.DBD\nD:chip\\*.TLC\n\\MERO6",
        "scratch": "Q=/tmp\nQ:\\\nq:*\nC:\\W\\*.*",
        "damaged": "C=;=x;DD=/x;d=relative;Z=/;;\nZ:\\etc\\..\\..\nc:x",
        "trailing": "E=/tmp///;E=/var\nE:\\\n*?*",
        "empty": "",
    }


def main(folder, target=None):
    os.makedirs(folder, exist_ok=True)
    seeds = drives() if target == "drives_fuzz" else command_lines()
    for name, text in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(text.encode("latin-1"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
