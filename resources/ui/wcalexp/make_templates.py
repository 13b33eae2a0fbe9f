#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the two CIF converters: this folder's (wcalexp) and its
sibling's (wcalimp), with the layout helpers of the GDSII converters' template script. Run it again
after changing a layout and commit the .ui files it writes.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
IMPORTER = os.path.join(os.path.dirname(HERE), "wcalimp")
_spec = importlib.util.spec_from_file_location(
    "gds_templates", os.path.join(os.path.dirname(HERE), "wstrmexp", "make_templates.py"))
gds = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(gds)


def setup(rows, label_width=250, edit_width=260):
    """rows: (kind, id, label), kind "edit", "check" or "combo" (an editable combo box)."""
    t = gds.Template("SETUP", label_width + edit_width + 30, 30 * len(rows) + 56, "Conversion Setup")
    y = 10
    for kind, id, text in rows:
        if kind == "edit":
            t.label(10, y, label_width, text)
            t.edit(label_width + 20, y, edit_width, id)
        elif kind == "check":
            t.check(10, y, label_width, id, text)
        elif kind == "combo":
            t.label(10, y, label_width, text)
            t.add("QComboBox", label_width + 20, y, edit_width, 22, id, None,
                  '<property name="editable"><bool>true</bool></property>')
        y += 30
    t.buttons(y + 6)
    return t


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
    gds.display("DISPLAY", [
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
    gds.display("DISPLAY", [
        (500, None), (502, "Cell"), (501, "Rank"),
        (503, "Boxes"), (504, "Paths"), (505, "Text"), (506, "Vertices"), (507, "Cells"),
        (508, "Most Boxes"), (510, "Most Paths"), (511, "Most Text"), (512, "Most Vertices"),
        (513, "Most Cells"), (514, None), (515, None), (516, None), (519, None), (520, None),
    ]).write(IMPORTER)


if __name__ == "__main__":
    exporter()
    importer()
