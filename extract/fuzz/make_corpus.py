#!/usr/bin/env python3
"""Writes the starting corpus of the extractor's fuzz targets.

node_list_fuzz: a base name line, a node list, a line "%%" and a second node list, as the extractor
writes them (a header per circuit, "NAME:" lines, connection lines, "::"), with moved connections,
other circuits around the one compared, CR LF line ends and a node with a long connection text.
alias_include_fuzz: a name line, then an alias file (NAME = <text>) that is also a SPICE include.

usage: make_corpus.py OUTDIR [TARGETNAME]
"""
import os
import sys


def node_list(name, nodes, eol="\n"):
    out = "[%s]%s" % (name, eol)
    for node, conns in nodes:
        out += "%s%s:%s" % (eol, node, eol)
        out += " " + "  ".join(conns) + " " + eol
    return out + "::" + eol


INV = [("A", ["M1.1", "M2.1"]), ("VDD", ["M2.3", "M2.4"]), ("GND", ["M1.3", "M1.4"]), ("Y", ["M1.2", "M2.2"])]
MOVED = [("A", ["M1.1"]), ("VDD", ["M2.3", "M2.4", "M2.1"]), ("GND", ["m1.3", "M1.4"]), ("Y", ["M1.2", "M2.2"])]


def node_lists():
    long_node = [("BUS", ["X%d.%d" % (i, j) for i in range(60) for j in range(1, 4)])]
    return {
        "same": "INV\n" + node_list("INV", INV) + "%%\n" + node_list("INV", INV),
        "moved": "INV\n" + node_list("INV", INV) + "%%\n" + node_list("INV", MOVED),
        "others": "INV\n" + node_list("INVX", MOVED) + node_list("INV", INV) + "%%\n" +
                  node_list("NAND2", INV) + node_list("inv", MOVED),
        "crlf": "INV\n" + node_list("INV", INV, "\r\n") + "%%\n" + node_list("INV", MOVED),
        "missing": "NAND2\n" + node_list("INV", INV) + "%%\n" + node_list("INV", INV),
        "long": "BUS\n" + node_list("BUS", long_node) + "%%\n" + node_list("BUS", long_node[::-1]),
        "nobase": "\n" + node_list("", INV),
    }


def alias_files():
    aliases = "NMOS = <L=1U W=4U AD=4P>\nPMOS=<L=1U W=8U\nAS=8P>\nWIDE = <" + "W=1U " * 500 + ">\n" \
              "* comment = <not read>\nX = no brackets\n"
    spice = ".MODEL NMOS NMOS (LEVEL=1 VTO=0.7)\r\n.OPTIONS NOMOD\r\n.END"
    return {
        "nmos": "NMOS\n" + aliases,
        "second_line": "pmos\n" + aliases,
        "wide": "WIDE\n" + aliases,
        "undefined": "NONE\n" + aliases,
        "include": "MODEL\n" + spice,
        "unclosed": "A\nA = <open",
        "empty_name": "\n= <x>",
    }


def main(folder, target=None):
    os.makedirs(folder, exist_ok=True)
    seeds = alias_files() if target == "alias_include_fuzz" else node_lists()
    for name, text in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(text.encode("latin-1"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
