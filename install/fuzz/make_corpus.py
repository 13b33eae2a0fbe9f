#!/usr/bin/env python3
"""Writes the starting corpus of the installer's fuzz targets.

zip_fuzz: archives with stored and deflated members, folders, a member with a data descriptor, an
empty archive, one cut short, and one made by the zip program when it is installed.
inflate_fuzz: one choice byte (odd: a large output limit) and then raw DEFLATE streams: stored,
fixed and dynamic blocks, long copies reaching far back, and one cut short.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import io
import os
import random
import shutil
import subprocess
import sys
import tempfile
import zipfile
import zlib


def texts():
    rnd = random.Random(6)
    words = [b"MERO6", b"CELL", b"BOX", b"LAYER", b"\r\n", b" ", b"0123"]
    prose = b"".join(rnd.choice(words) for _ in range(3000))
    noise = bytes(rnd.randrange(256) for _ in range(2000))
    return {
        "empty": b"",
        "short": b"hello\r\n",
        "prose": prose,
        "noise": noise,
        "runs": b"A" * 40000 + b"B" * 300,
    }


def raw_deflate(data, level=6, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 9, strategy)
    return c.compress(data) + c.flush()


def zip_seeds():
    t = texts()
    seeds = {}
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as z:
        z.writestr("README.TXT", t["short"], zipfile.ZIP_STORED)
        z.writestr("MERO6/", b"")
        z.writestr("MERO6/TFF.DBD", t["noise"], zipfile.ZIP_DEFLATED)
        z.writestr("MERO6/MERO60.HPV", t["prose"], zipfile.ZIP_DEFLATED)
        z.writestr("Empty", b"", zipfile.ZIP_DEFLATED)
    seeds["mixed.zip"] = buf.getvalue()
    seeds["cut.zip"] = buf.getvalue()[: len(buf.getvalue()) // 2]
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as z:
        pass
    seeds["empty.zip"] = buf.getvalue()
    # A member written through a stream has its sizes in a data descriptor after the data.
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
        with z.open("STREAMED.BIN", "w") as m:
            m.write(t["runs"])
    seeds["descriptor.zip"] = buf.getvalue()
    if shutil.which("zip"):
        with tempfile.TemporaryDirectory() as d:
            for name in ("A.TXT", "B.BIN"):
                with open(os.path.join(d, name), "wb") as f:
                    f.write(t["prose"] if name == "A.TXT" else t["noise"])
            subprocess.run(["zip", "-q", "-9", "out.zip", "A.TXT", "B.BIN"], cwd=d, check=False)
            path = os.path.join(d, "out.zip")
            if os.path.exists(path):
                with open(path, "rb") as f:
                    seeds["zipprogram.zip"] = f.read()
    return seeds


def inflate_seeds():
    t = texts()
    seeds = {
        "stored": raw_deflate(t["noise"], 0),
        "fixed": raw_deflate(b"abcabcabcabc hello hello", 1),
        "dynamic": raw_deflate(t["prose"], 9),
        "huffman_only": raw_deflate(t["prose"], 6, zlib.Z_HUFFMAN_ONLY),
        "rle": raw_deflate(t["runs"], 6, zlib.Z_RLE),
        "empty": raw_deflate(b"", 6),
    }
    seeds["cut"] = seeds["dynamic"][: len(seeds["dynamic"]) // 3]
    out = {}
    for name, data in seeds.items():
        out[name + ".big"] = b"\x01" + data
        out[name + ".small"] = b"\x40" + data
    return out


def main(folder, target=None):
    os.makedirs(folder, exist_ok=True)
    seeds = inflate_seeds() if target == "inflate_fuzz" else zip_seeds()
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
