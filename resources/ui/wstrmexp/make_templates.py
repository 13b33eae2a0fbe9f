#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the two GDSII converters: this folder's (wstrmexp) and
its sibling's (wstrmimp), with the utilities' template writer. Both have long regular forms, so they
are laid out here rather than by hand; run it again after changing a layout and commit the .ui files
it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IMPORTER = os.path.join(os.path.dirname(HERE), "wstrmimp")
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template, display, form, table  # noqa: E402


def exporter():
    setup = form("SETUP", "Main Setup", [
        ("edit", 100, "Main TLC File to be Converted"),
        ("edit", 101, "Name of GDS File to Make"),
        ("edit", 102, "GDS Library Name"),
        ("edit", 103, "Scale Unit LSB Correction"),
        ("edit", 104, "Lambda Size in um"),
        ("edit", 105, "GDS Units per Phys Unit"),
        ("edit", 106, "Datatype to Use"),
        ("edit", 107, "Layer 64 to Layer"),
        ("edit", 108, "Default Path Width"),
        ("edit", 109, "Layer Filter"),
        ("check", 110, "Sort Cells in Ascending Rank Order"),
        ("check", 111, "Lowercase Cell Names"),
        ("check", 112, "Convert Text"),
        ("check", 113, "Check for Proper GDS IC Protocol"),
        (("check", 114, "Check Poly Intersects / Resolution"), ("side", 115, "")),
        ("edit", 116, "Report File Name"),
    ])
    setup.write(HERE)
    table("TEXT", "Text Setup", 200, ["Size", "Font", "Texttype", "Mag", "Width", "Just"], 4).write(HERE)
    display("DISPLAY", [
        (500, None), (501, "Structure"),
        (502, "Boundaries"), (503, "Paths"), (504, "Text"), (505, "Srefs"),
        (506, "Most Boundaries"), (507, "Most Paths"), (508, "Most Text"), (509, "Most Srefs"),
        (510, None), (511, None), (512, None), (513, None), (514, None), (515, None), (516, None),
    ]).write(HERE)


def importer():
    setup = form("SETUP", "Main Setup", [
        ("edit", 100, "Name of GDS File to Convert"),
        ("edit", 101, "Path of TLC Files to be Made"),
        ("edit", 102, "Physical Units (um or mil)"),
        ("edit", 103, "MERO Units per Phys Unit"),
        ("edit", 104, "Accept GDS Layers"),
        ("edit", 105, "Accept GDS Datatypes"),
        ("check", 106, "Convert GDS Text"),
        ("check", 107, "Replace Old TLC Files"),
        ("check", 108, "Check for Open Poly"),
        ("check", 109, "Use Default Optional Records"),
        ("check", 110, "Convert Boundaries to Boxes"),
        ("check", 111, "Make REF File"),
        ("check", 112, "Make NAM File"),
        ("check", 113, "CR else LF as New Line "),
        ("edit", 114, "Relocate Layer 0 to Layer"),
        ("edit", 115, "Report File Name"),
    ])
    setup.write(IMPORTER)
    table("TXT", "Text Setup", 200, ["Size", "Font", "Texttype", "Mag", "Oren", "Just"], 4,
          checks=(3, 4, 5)).write(IMPORTER)
    omit = Template("OMIT", 330, 12 * 30 + 66, "Structures to Omit")
    for i in range(12):
        omit.label(10, 10 + 30 * i, 60, "%d" % (i + 1))
        omit.edit(70, 10 + 30 * i, 250, 300 + i, 32)
    omit.buttons(10 + 12 * 30 + 10)
    omit.write(IMPORTER)
    display("DISPLAY", [
        (500, None), (501, "Cell"), (502, "Rank"),
        (503, "Boxes"), (504, "Paths"), (505, "Text"), (506, "Vertices"), (507, "Cells"),
        (508, "Most Boxes"), (510, "Most Paths"), (511, "Most Text"), (512, "Most Vertices"),
        (513, "Most Cells"), (514, "GDS File Bytes"),
        (515, None), (516, None), (517, None), (518, None), (519, None), (520, None), (1043, None),
    ], progress=1040).write(IMPORTER)


if __name__ == "__main__":
    exporter()
    importer()
