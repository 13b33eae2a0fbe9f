#!/usr/bin/env python3
"""Writes UUE files as the starting corpus of the UU decoder's fuzz target: files encoded by this
script (backquote and blank for zero), by the uuencode program when it is installed, with CR LF
line ends, short and over-long lines, a missing end line, a begin line with a path in its name, and
one without a begin line.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import binascii
import os
import random
import shutil
import subprocess
import sys


def encode(name, data, zero="`", eol="\n"):
    lines = ["begin 644 " + name]
    for i in range(0, len(data), 45):
        line = binascii.b2a_uu(data[i:i + 45], backtick=(zero == "`")).decode().rstrip("\n")
        lines.append(line)
    lines += [zero, "end"]
    return (eol.join(lines) + eol).encode()


def main(folder):
    os.makedirs(folder, exist_ok=True)
    rnd = random.Random(19)
    data = bytes(rnd.randrange(256) for _ in range(700))
    text = b"MERO6 cell list\r\nNAND2\r\nINV\r\n" * 10
    seeds = {
        "plain.uue": encode("data.bin", data),
        "blanks.uue": encode("made.dat", text, zero=" "),
        "crlf.uue": encode("CELLS.TLC", text, eol="\r\n"),
        "noend.uue": encode("cut.bin", data)[:-12],
        "path.uue": encode("../../etc/OUT.BIN", data[:90]),
        "nobegin.uue": b"just a text\nwith no header\n",
        "short.uue": b"begin 644 s.bin\nM\n#86)C\n!\n`\nend\n",
        "long.uue": b"begin 644 l.bin\n" + b"M" + b"!" * 300 + b"\nend\n",
        "empty.uue": encode("empty", b""),
    }
    if shutil.which("uuencode"):
        got = subprocess.run(["uuencode", "peer.bin"], input=data + text, capture_output=True, check=False)
        if got.returncode == 0:
            seeds["peer.uue"] = got.stdout
    for name, bytes_ in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bytes_)


if __name__ == "__main__":
    main(sys.argv[1])
