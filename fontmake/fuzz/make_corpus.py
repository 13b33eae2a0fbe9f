#!/usr/bin/env python3
"""Writes the starting corpus of the stroke-font fuzz targets.

font_table_fuzz: the suite's three faces made from the character cells in resources/chars (the
bytes the font-table maker writes), a table cut short, one longer than 12288 bytes, one of empty
slots and one whose slots run full without an end byte.
glyph_fuzz: character TLC files of resources/chars, and ones with a vertex off the 16 x 16 grid, a
vertex at (15, 15), more polygons than a slot holds, boxes and texts beside the polygons.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import glob
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CHARS = os.path.join(HERE, "..", "..", "resources", "chars")
SLOT = 128


def polygons(text):
    lines = text.splitlines()
    out = []
    i = 0
    while i < len(lines):
        if lines[i].strip() == "=P" and i + 1 < len(lines):
            count = int(lines[i + 1].split()[2])
            numbers = []
            j = i + 2
            while len(numbers) < 2 * count and j < len(lines):
                numbers += [int(v) for v in lines[j].split()]
                j += 1
            out.append(list(zip(numbers[0::2], numbers[1::2])))
            i = j
        else:
            i += 1
    return out


def face(folder):
    table = bytearray(b"\xff" * (96 * SLOT))
    for code in range(32, 128):
        path = os.path.join(folder, "CHAR%03d.TLC" % code)
        if not os.path.exists(path):
            continue
        with open(path, encoding="latin-1") as f:
            polys = polygons(f.read())
        slot = bytearray()
        for poly in polys:
            for x, y in poly:
                if len(slot) < SLOT - 2:
                    slot.append((x & 15) << 4 | (y & 15))
            slot.append(0xFF)
        slot = slot[:SLOT - 1] + b"\xff"
        table[(code - 32) * SLOT:(code - 32) * SLOT + len(slot)] = slot
    return bytes(table)


def tlc(polys, extra=""):
    out = "=H\nCHAR065\n6.05\n6.05\n1\num\n01/01/24\n00:00:00\n1 0 3 8 15\n0 2 %d 0\n" % len(polys)
    for poly in polys:
        out += "=P\n1 0 %d\n%s \n" % (len(poly), " ".join("%d %d" % p for p in poly))
    return (out + extra).encode("latin-1")


def main(folder, target=None):
    os.makedirs(folder, exist_ok=True)
    seeds = {}
    if target == "glyph_fuzz":
        for code in (65, 66, 103, 64):
            for style in ("upright", "bold"):
                path = os.path.join(CHARS, style, "CHAR%03d.TLC" % code)
                if os.path.exists(path):
                    with open(path, "rb") as f:
                        seeds["%s%03d.tlc" % (style, code)] = f.read()
        seeds["offgrid.tlc"] = tlc([[(0, 0), (16, 3), (4, 4)], [(1, 1), (2, 2)]])
        seeds["corner.tlc"] = tlc([[(0, 0), (15, 15), (4, 4)], [(-1, 2), (2, 2)]])
        seeds["full.tlc"] = tlc([[(i % 16, (i * 7) % 16) for i in range(30)] for _ in range(6)])
        seeds["others.tlc"] = tlc([[(0, 0), (3, 3)]], "=B\n1 0 0 4 4\n=T\n1 8 0 0\nAB\n")
    else:
        faces = [face(os.path.join(CHARS, s)) for s in ("upright", "bold", "slanted")]
        for name, data in zip(("TFF.DBD", "TFF2.DBD", "TFF3.DBD"), faces):
            seeds[name] = data
        seeds["short.dbd"] = faces[0][:5000]
        seeds["long.dbd"] = faces[1] + b"extra bytes"
        seeds["empty.dbd"] = b"\xff" * (96 * SLOT)
        seeds["noend.dbd"] = bytes((i * 37) % 255 for i in range(96 * SLOT))
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
