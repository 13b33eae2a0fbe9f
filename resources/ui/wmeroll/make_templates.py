#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the layer-logic program wmeroll: SETUP, its DISPLAY,
the MAPPER window and the RNDOFF question. Run it again after changing a layout and commit the
.ui files it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template  # noqa: E402


def setup():
    t = Template("SETUP", 560, 420, "MEROLL Setup")
    t.label(10, 10, 170, "Name of Cell")
    t.edit(180, 10, 250, 1000, 32)
    t.button(440, 8, 50, 1015, "List")
    t.button(496, 8, 54, 1014, "Fit")
    t.label(10, 40, 170, "Name of Output TLC File")
    t.edit(180, 40, 370, 1001)
    # The formula: output = [NOT] ( [NOT] A  op  [NOT] B ), one row.
    y = 76
    t.group(10, y, 540, 84, "Output = [NOT] ( [NOT] Layer (A)  AND/OR/XOR  [NOT] Layer (B) )")
    y += 24
    t.label(20, y, 56, " = Layer")
    t.edit(78, y, 36, 1004, 3)
    t.check(124, y, 56, 1055, "NOT")
    t.check(190, y, 56, 1053, "NOT")
    t.label(248, y, 64, "Layer (A)")
    t.edit(314, y, 36, 1002, 3)
    t.check(362, y, 56, 1054, "NOT")
    t.label(420, y, 64, "Layer (B)")
    t.edit(486, y, 36, 1003, 3)
    y += 28
    t.radio(190, y, 60, 1050, "AND")
    t.radio(260, y, 60, 1051, "OR")
    t.radio(330, y, 60, 1052, "XOR")
    t.label(470, y, 70, "0=None")
    y = 172
    rows = [
        (1005, "Map Resolution"), (1006, "Min Box Size"), (1007, "Max Seg Size"),
    ]
    for id, text in rows:
        t.label(10, y, 170, text)
        t.edit(180, y, 110, id)
        y += 30
    t.check(310, 172, 220, 1056, "Convert to Poly")
    t.check(310, 202, 220, 1057, "Reduce Vertices")
    y = 172 + 3 * 30 + 6
    t.group(10, y, 540, 62, "Window")
    y += 24
    for k, (id, text) in enumerate([(1008, "Left"), (1009, "Bottom"), (1010, "Right"), (1011, "Top")]):
        t.label(20 + 132 * k, y, 50, text)
        t.edit(70 + 132 * k, y, 76, id)
    y += 50
    t.label(10, y, 170, "Show Time")
    t.edit(180, y, 110, 1012)
    y += 30
    t.label(10, y, 170, "Name of Report File")
    t.edit(180, y, 370, 1013)
    y += 36
    t.button(140, y, 130, 1, "OK", True)
    t.button(290, y, 130, 2, "Cancel")
    t.height = y + 40
    t.write(HERE)


def display():
    t = Template("DISPLAY", 460, 10 + 26 * 11, "MEROLL")
    y = 10
    for id in [500, 510, 511, 512, 513, 514, 515, 516, 517, 518, 519]:
        t.label(10, y, 440, "", id)
        y += 26
    t.write(HERE)


def mapper():
    # The map fills the client area less 4 at the left, right and top and 24 at the bottom.
    t = Template("MAPPER", 520, 540, "MEROLL")
    t.picture(4, 4, 512, 512, 501)
    t.label(4, 518, 512, "", 500)
    t.write(HERE)


def rndoff():
    t = Template("RNDOFF", 400, 130, "MEROLL")
    t.label(14, 8, 372, "", 100, h=64)
    t.button(10, 90, 86, 1, "Ignore", True)
    t.button(104, 90, 96, 4, "Ignore Paths")
    t.button(208, 90, 86, 5, "Ignore All")
    t.button(302, 90, 86, 3, "Abort")
    t.write(HERE)


if __name__ == "__main__":
    setup()
    display()
    mapper()
    rndoff()
