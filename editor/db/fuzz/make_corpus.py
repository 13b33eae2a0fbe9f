#!/usr/bin/env python3
"""Writes typed and stored number texts as a starting corpus for the fuzz target: decimal forms,
signs, exponents, hex, nan and inf, over- and underflow, and trailing garbage.

usage: make_corpus.py FOLDER
"""
import os
import sys

TEXTS = ["12", "-2.5", "+1.5e0", ".5", "5.", "  \t3.25", "1E-2", "2e", "2e+", "3.5.1", "7abc", "0x10",
         "0X1p4", "nan", "-nan", "NAN(1)", "inf", "-Infinity", "1e400", "-1e400", "1e-400", "0e999",
         "9" * 400, "0." + "0" * 400 + "1", "1,5", "--1", "+-1", "", ".", "4.9e-324", "2.2250738585072014e-308",
         "99999999999", "-2147483648"]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for i, text in enumerate(TEXTS):
        with open(os.path.join(sys.argv[1], "number%02d" % i), "wb") as f:
            f.write(text.encode())


if __name__ == "__main__":
    main()
