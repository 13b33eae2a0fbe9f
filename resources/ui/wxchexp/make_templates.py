#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the two DXF converters: this folder's (wxchexp) and its
sibling's (wxchimp), with the utilities' template writer. Run it again after changing a layout and
commit the .ui files it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IMPORTER = os.path.join(os.path.dirname(HERE), "wxchimp")
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template, display, form, toolbar  # noqa: E402


def exporter():
    form("SETUP", "Conversion Setup", [
        ("edit", 100, "Main TLC File Name"),
        ("edit", 101, "DXF File Name"),
        ("edit", 102, "Layer Name Prefix"),
        ("check", 103, "Convert Any Text"),
        ("check", 104, "Include Last Vertex"),
        ("check", 105, "Include Width in Vertex"),
        ("check", 106, "Change Paths to Polygons"),
        ("check", 107, "Change to Inline Path Ends"),
        ("check", 108, "Make Only Proper Polylines"),
        ("edit", 109, "Report File Name"),
    ]).write(HERE)
    toolbar(HERE, "TOOLDLG", [10, 11, 12, 13])
    display("DISPLAY", [
        (500, None), (501, "Block"),
        (502, "Polylines"), (503, "Text"), (504, "Inserts"),
        (506, "Most Polylines"), (507, "Most Text"), (508, "Most Inserts"),
        (510, None), (511, None), (512, None), (513, None), (514, None), (515, None),
    ]).write(HERE)


def importer():
    form("SETUP", "Conversion Setup", [
        ("edit", 100, "DXF File to be Converted"),
        ("edit", 101, "Main (Entities) TLC File Name"),
        ("edit", 102, "Physical Units (um or mil)"),
        ("edit", 103, "MERO Units per Phys Unit"),
        ("check", 104, "Arcs"),
        ("check", 105, "Circles"),
        ("check", 106, "Lines"),
        ("check", 107, "Solids"),
        ("check", 108, "Text"),
        ("check", 109, "Close Open Arcs"),
        ("check", 110, "Close Open Polylines"),
        ("check", 111, "Close Polylines with Width"),
        ("check", 112, "Make REF File"),
        ("edit", 113, "Arc Direction"),
        ("edit", 114, "Curve Segment Angle"),
        ("edit", 115, "Report File Name"),
    ]).write(IMPORTER)
    # 35 DXF layer names, each with the TLC layer typed for it, in two columns.
    layers = Template("LAYERS", 2 * 300 + 20, 18 * 28 + 70, "DXF Layers to TLC Layers")
    for i in range(35):
        x, y = 10 + 300 * (i // 18), 10 + 28 * (i % 18)
        layers.label(x, y, 200, "", 200 + i)
        layers.edit(x + 210, y, 70, 250 + i, 2)
    layers.buttons(10 + 18 * 28 + 14)
    layers.write(IMPORTER)
    display("DISPLAY", [
        (500, None), (501, "Cell"), (502, "Rank"),
        (503, "Boxes"), (504, "Paths"), (505, "Text"), (506, "Vertices"), (507, "Cells"),
        (508, "Most Boxes"), (510, "Most Paths"), (511, "Most Text"), (512, "Most Vertices"),
        (513, "Most Cells"), (514, None),
        (515, None), (516, None), (517, None), (518, None), (519, None), (520, None),
    ]).write(IMPORTER)


if __name__ == "__main__":
    exporter()
    importer()
