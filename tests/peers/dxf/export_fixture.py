"""Writes a TLC set of three levels for the exporter: TOP places MID in all eight orientations, MID
places LEAF twice, and the cells hold boxes, polygons, wide paths with flush and extended ends, and
texts turned and mirrored. Scale 1000 units per um.

usage: export_fixture.py FOLDER
"""
import os
import sys


def header(name, rank):
    return ["=H", name, "6.0", "6.0", "1000", "um", "01/02/24", "03:04:05", "%d 0 0 1 0" % rank, "0 0 0 0"]


def path(layer, width, points):
    out = ["=P", "%d %d %d" % (layer, width, len(points))]
    for i in range(0, len(points), 5):
        out.append("".join("%d %d " % p for p in points[i:i + 5]))
    return out


CELLS = {
    "LEAF": header("LEAF", 1) + [
        "=B", "1 0 0 2000 1000",
        "=B", "2 -500 -500 500 1500",
    ] + path(3, 0, [(0, 0), (3000, 0), (3000, 500), (1500, 2500), (0, 500), (0, 0)]) + [
        "=T", "6 500 2 1", "250 250", "LEAF",
    ],
    "MID": header("MID", 2) + [
        "=C", "LEAF", "0 0 0 0",
        "=C", "LEAF", "7 10000 2000 0",
    ] + path(4, 400, [(-2000, -2000), (8000, -2000), (8000, 6000), (4000, 6000)]) + \
        path(5, -600, [(-3000, 9000), (2000, 9000), (6000, 13000)]) + [
        "=B", "1 12000 0 13000 3000",
    ],
    "TOP": header("TOP", 3) + sum((["=C", "MID", "%d %d %d 0" % (code, code * 30000, (code % 3) * 7000)]
                                   for code in range(8)), []) + [
        "=B", "2 -5000 -5000 250000 -4000",
        "=T", "6 1000 2 4", "1000 -8000", "MIRRORED",
        "=T", "6 2000 2 3", "50000 -8000", "TURNED",
    ] + path(3, 0, [(0, -20000), (10000, -20000), (10000, -15000), (0, -15000), (0, -20000)]),
}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, lines in CELLS.items():
        with open(os.path.join(folder, name + ".TLC"), "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
