#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the two CIF converters: this folder's (wcalexp) and its
sibling's (wcalimp), with the utilities' template writer. Run it again after changing a layout and
commit the .ui files it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IMPORTER = os.path.join(os.path.dirname(HERE), "wcalimp")
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import display, form  # noqa: E402


def setup(rows):
    return form("SETUP", "Conversion Setup", rows, edit_width=260)


def exporter():
    setup([
        ("edit", 100, "Main TLC File Name"),
        ("edit", 101, "Layer File Name"),
        ("edit", 102, "CIF File Name"),
        ("edit", 103, "CIF Grid in um"),
        ("edit", 104, "Lambda Size in um"),
        ("check", 105, "Include MERO Text"),
        ("check", 106, "Check for Proper CIF IC Protocol"),
        ("check", 107, "Change Paths to Poly"),
        ("check", 108, "Check Poly Intersects / Resolution"),
        ("combo", 109, "Text Templates"),
        ("edit", 110, "Cellname UEC Digit"),
        ("edit", 111, "Resolution"),
        ("edit", 112, "Report File Name"),
    ]).write(HERE)
    display("DISPLAY", [
        (500, None), (510, "Symbol"),
        (511, "Boxes"), (512, "Poly"), (513, "Wires"), (514, "Text"), (515, "Calls"),
        (520, "Most Boxes"), (521, "Most Poly"), (522, "Most Wires"), (523, "Most Text"), (524, "Most Calls"),
        (516, None), (540, None), (541, None), (542, None), (543, None), (544, None), (545, None),
    ]).write(HERE)


def importer():
    setup([
        ("edit", 100, "CIF File Name"),
        ("edit", 101, "Cell File Name"),
        ("edit", 102, "Layer File Name"),
        ("edit", 103, "Path of TLC Files"),
        ("edit", 104, "MERO Units per um"),
        ("edit", 105, "Cellname UEC Digit"),
        ("check", 106, "Close Open Poly"),
        ("check", 107, "Make Inline Paths"),
        ("check", 108, "Make REF File"),
        ("combo", 109, "Text Templates"),
        ("edit", 110, "Default Text Size"),
        ("edit", 111, "Report File Name"),
    ]).write(IMPORTER)
    display("DISPLAY", [
        (500, None), (502, "Cell"), (501, "Rank"),
        (503, "Boxes"), (504, "Paths"), (505, "Text"), (506, "Vertices"), (507, "Cells"),
        (508, "Most Boxes"), (510, "Most Paths"), (511, "Most Text"), (512, "Most Vertices"),
        (513, "Most Cells"), (514, None), (515, None), (516, None), (519, None), (520, None),
    ]).write(IMPORTER)


if __name__ == "__main__":
    exporter()
    importer()
