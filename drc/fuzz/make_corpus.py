#!/usr/bin/env python3
"""Writes the starting corpus of one of the checker's fuzz targets.

  check_file_fuzz: check files with every header keyword and operator, comments, a block never
                   closed, a check without OPERATORS, CR LF lines, out-of-range numbers;
  pcx_reader_fuzz: map files of a few sizes and patterns, runs of every length, a file cut short and
                   headers the reader refuses.

usage: make_corpus.py OUTDIR TARGETNAME
"""
import os
import struct
import sys

CHECKS = {
    "rules.drc": "TITLE=Metal width\nRESOLUTION=0.1\nDISTANCE=3\nOPERATORS={\n  MAP,1\n  PUSH,1\n  NOTR ; gaps\n"
                 "  GAGR\n  TESTR\n  DSPR,R\n  SCPY\n}\nTITLE=Metal spacing\nOPERATORS={\n  MAP,1\n  PUSH,1\n"
                 "  GAGR\n  TESTR\n}\nTITLE=Cut enclosure\nDISTANCE=1\nOPERATORS={\n  MAP,3\n  MAP,1\n  PUSH,1\n"
                 "  NOTR\n  PUSH,3\n  EXPRS\n  TESTR\n}\n",
    "every-operator.drc": "TI=All\nRE=0.5\nDI=2\nLOCATION=10, -20\nOP={\nmap,0\nMAPR\nJRC\nJR0\nJRS\nJR1\nJRN\n"
                          "JNR\nPUSH,0\nPOPR\nPUSHR\nEXPR\nEXPR,3\nEXPRS,2\nGAGR,4\nGAGRS\nNOTR\nANDRS\nORRS\n"
                          "XORRS\nSWPRS\nSWAPRS\nCLR\nCLRR\nSTR\nSETR\nDSP,0,w,3\nDSPR,Y,2\nDSPS,5,1\nDBLR\n"
                          "PAUSE\nHCPY\nSCPY\nOVRLAP,2\nSIZE,4\nTESTR\n}\n",
    "crlf.drc": "TITLE=Windows lines\r\nRESOLUTION=1\r\nDISTANCE=1.5\r\nOPERATORS=\r\n{\r\nSTR\r\nEXPR,5\r\n"
                "TESTR\r\n}\r\n",
    "open-block.drc": "TITLE=Never closed\nOPERATORS={\nSTR\nNOTR\nGAGR,7\n",
    "no-operators.drc": "TITLE=Header only\nRESOLUTION=0.25\nDISTANCE=1\n",
    "letter-before-block.drc": "TITLE=x\nOPERATORS= x {\nSTR\n}\n",
    "hostile.drc": "TITLE=Far\nRESOLUTION=1e-300\nDISTANCE=1e308\nOPERATORS={\nSTR\nEXPR,2147483647\n"
                   "GAGR,-2147483648\nPUSH,99999999999\nDSP,1,x,-5\n}\nTITLE=NaN\nRESOLUTION=nan\nDISTANCE=-inf\n"
                   "OPERATORS={\nNOTR\nEXPRS,99999\nTESTR\n}\n",
    "long-lines.drc": "TITLE=" + "T" * 200 + "\nOPERATORS={\n" + "MAP," * 40 + "\n" + ",".join(["DSP"] * 30) + "\n}\n",
    "syntax.drc": "TITLE=Syntax\nOPERATORS={\nDS,1\nMAP,65\nMAP\nOVRLAP,0\nSIZE,-1\nWHAT\n;only a comment\n}\n",
}


def rle(line):
    out, i = bytearray(), 0
    while i < len(line):
        n = 1
        while i + n < len(line) and n < 63 and line[i + n] == line[i]:
            n += 1
        if n > 1 or line[i] >= 0xC0:
            out += bytes([0xC0 + n, line[i]])
        else:
            out.append(line[i])
        i += n
    return bytes(out)


PALETTE = [0, 0, 0, 0, 0, 191, 0, 191, 0, 0, 191, 191, 191, 0, 0, 191, 0, 191, 191, 191, 0, 191, 191, 191,
           191, 191, 191, 0, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 255, 255, 0, 255, 255, 255]


def pcx(width, height, pixel, planes=4, encoding=1, dpi=200, line_bytes=None, cut=None):
    lb = width // 8 if line_bytes is None else line_bytes
    head = struct.pack("<BBBBHHHHHH", 10, 3, encoding, 1, 0, 0, lb * 8 - 1, height - 1, dpi, dpi)
    head += bytes(PALETTE) + bytes([0, planes]) + struct.pack("<H", lb) + bytes(60)
    body = bytearray()
    for y in range(height):
        for k in range(4):
            line = bytearray(lb)
            for x in range(lb * 8):
                if pixel(x, y) >> k & 1:
                    line[x // 8] |= 0x80 >> (x % 8)
            body += rle(bytes(line))
    data = head + bytes(body)
    return data[:cut] if cut else data


MAPS = {
    "stripes.pcx": pcx(64, 16, lambda x, y: x * 16 // 64),
    "diagonal.pcx": pcx(120, 40, lambda x, y: 15 if x == y else 0),
    "white.pcx": pcx(16, 4, lambda x, y: 15),
    "high-bytes.pcx": pcx(40, 3, lambda x, y: 12 if x % 3 else 7),
    "cut-short.pcx": pcx(64, 16, lambda x, y: (x + y) % 16, cut=300),
    "three-planes.pcx": pcx(16, 4, lambda x, y: 1, planes=3),
    "no-rle.pcx": pcx(16, 4, lambda x, y: 1, encoding=0),
    "wide-line.pcx": pcx(8, 2, lambda x, y: 1, line_bytes=81),
}


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in ("check_file_fuzz", "pcx_reader_fuzz"):
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = CHECKS if sys.argv[2] == "check_file_fuzz" else MAPS
    for name, content in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(content.encode() if isinstance(content, str) else content)


if __name__ == "__main__":
    main()
