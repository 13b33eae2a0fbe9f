#!/usr/bin/env python3
"""Writes the starting corpus of the help viewer's fuzz targets.

help_file_fuzz: the suite's own help files (resources/help), and small ones with page marks, a line
over 79 characters, a topic without a blank line after it, many topics, and the wrong first line.
help_command_fuzz: argument lists, one a line, as the suite's programs start the viewer.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import glob
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
HELP = os.path.join(HERE, "..", "..", "resources", "help")


def lines(*rows):
    return ("\r\n".join(rows) + "\r\n").encode("latin-1")


def help_files():
    seeds = {}
    for path in sorted(glob.glob(os.path.join(HELP, "*.HPV"))):
        with open(path, "rb") as f:
            seeds[os.path.basename(path)] = f.read()
    seeds["small.hpv"] = b"\xf0\xf0" + lines("", "Commands", " Get", "", "  Gets a cell.", "  \xf0\xf04",
                                             "  Second page.", "", " Put", "", "  Puts it.", "", "Files",
                                             " TLC", "", "  Text cells.")
    seeds["long.hpv"] = b"\xf0\xf0" + lines("", "Main", " Sub", "", "  " + "x" * 200, "  after")
    seeds["noblank.hpv"] = b"\xf0\xf0" + lines("Main", " Sub", "  last line")
    seeds["many.hpv"] = b"\xf0\xf0" + lines(*[r for m in range(40) for r in ("M%d" % m, " S", "", "  t")])
    seeds["wrong.hpv"] = lines("Not a help file", " Sub")
    seeds["lf.hpv"] = b"\xf0\xf0\nMain\n Sub\n\n  text\n\n"
    return seeds


def commands():
    return {
        "plain": b"C:\\MERO6\\MERO60.HPV",
        "topics": b"MERO60\nCommand\nInformation/Get",
        "native": b"/opt/mero/MERO6/MEROCKT.HPV\nFiles/Node List/more",
        "drive": b"q:PLANER",
        "none": b"",
        "slashes": b"\\\\\n/\n//",
    }


def main(folder, target=None):
    os.makedirs(folder, exist_ok=True)
    seeds = commands() if target == "help_command_fuzz" else help_files()
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
