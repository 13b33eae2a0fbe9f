#!/usr/bin/env python3
"""Writes the hardcopy dialogs HCPY and PRNCOLORS of the editor: python3 make_print_templates.py"""
from layout import Template


def hardcopy():
    t = Template("HCPY", "QDialog", 440, 340, "PRINT")
    t.group(10, 8, 420, 118, "Printer Information")
    t.label(20, 28, 400, 92, "Information Required ... do Setup", 1308)
    t.check(20, 136, 90, 22, 1315, "Direct")
    t.check(120, 136, 100, 22, 1317, "ClipBoard")
    t.check(230, 136, 80, 22, 1318, "Dark")
    t.check(320, 136, 80, 22, 1320, "B&&W")
    t.label(20, 172, 120, 20, "Hardcopy Scale")
    t.edit(150, 170, 150, 22, 1309, 24)
    t.button(310, 168, 40, 26, 5, "<")
    t.label(20, 204, 120, 20, "Phys Units/Inch")
    t.edit(150, 202, 150, 22, 1314, 24)
    t.label(20, 236, 60, 20, "H Shift")
    t.edit(80, 234, 80, 22, 1170, 12)
    t.label(190, 236, 60, 20, "V Shift")
    t.edit(250, 234, 80, 22, 1171, 12)
    t.button(20, 296, 90, 28, 1, "Print", default=True)
    t.button(120, 296, 90, 28, 4, "Setup")
    t.button(220, 296, 90, 28, 3, "Colors")
    t.button(320, 296, 90, 28, 2, "Cancel")
    t.write()


def print_colors():
    names = ["Blue", "Green", "Cyan", "Red", "Magenta", "Yellow",
             "Orange", "Lime", "Turquois", "Azure", "Violet", "Purple"]
    t = Template("PRNCOLORS", "QDialog", 330, 30 + 26 * len(names) + 50, "Print Colors")
    for n, head in enumerate(["Red", "Green", "Blue"]):
        t.label(110 + 70 * n, 8, 60, 20, head)
    for row, name in enumerate(names):
        y = 32 + 26 * row
        t.label(10, y + 2, 90, 20, name)
        for part in range(3):
            t.edit(110 + 70 * part, y, 60, 22, 1200 + 3 * row + part, 3)
    y = 32 + 26 * len(names) + 10
    t.button(60, y, 90, 28, 1, "OK", default=True)
    t.button(180, y, 90, 28, 2, "Cancel")
    t.write()


if __name__ == "__main__":
    hardcopy()
    print_colors()
