#!/usr/bin/env python3
"""Writes the templates of the editing and setting commands (SNAP, ROT, RESZ, OVSZ, WSIZE, MAKE,
SMSH, TEXT, ARC, STEP, RESCAP, FONT, SET) into this folder. Run it again after changing a layout
and commit the .ui files it writes.
"""
from layout import Template, name_dialog, ok_cancel, value_dialog


def value_dialogs():
    value_dialog("SNAP", 164, "Snap to Nearest", "Snap", 24)
    value_dialog("ROT", 157, "Angle in Deg", "Rotate", 24)
    value_dialog("RESZ", 158, "Multiplier", "ReSize", 24)
    value_dialog("OVSZ", 159, "Oversize", "OverSize", 24)
    value_dialog("WSIZE", 1027, "Path Width/Text Size", "Size", 24)
    value_dialog("TEXT", 117, "Text Characters", "Text", 64)
    name_dialog("MAKE", "MAKE/APPEND", [(1332, "Cellname")])

    t = Template("SMSH", "QDialog", 260, 100, "Smash")
    t.label(10, 14, 240, 20, "Smashing Objects ... OK?")
    ok_cancel(t, 58)
    t.write()


def arc_and_step():
    t = Template("ARC", "QDialog", 260, 120, "Arc")
    t.label(10, 12, 120, 20, "Arc Direction")
    t.button(140, 10, 70, 24, 1333, "cw")
    t.label(10, 44, 120, 20, "No. Segments")
    t.edit(140, 42, 110, 22, 1334, 8)
    ok_cancel(t, 80)
    t.write()

    t = Template("STEP", "QDialog", 300, 150, "Step")
    t.label(10, 10, 80, 20, "Steps")
    t.label(10, 34, 30, 20, "Nx")
    t.edit(40, 32, 90, 22, 1335, 8)
    t.label(150, 34, 30, 20, "Ny")
    t.edit(180, 32, 90, 22, 1337, 8)
    t.label(10, 62, 80, 20, "Distance")
    t.label(10, 86, 30, 20, "Dx")
    t.edit(40, 84, 90, 22, 1338, 24)
    t.label(150, 86, 30, 20, "Dy")
    t.edit(180, 84, 90, 22, 1339, 24)
    ok_cancel(t, 116)
    t.write()


def rescap():
    t = Template("RESCAP", "QDialog", 320, 250, "Res/Cap")
    t.label(10, 12, 150, 20, "Auto R Param No.")
    t.edit(165, 10, 60, 22, 1340, 4)
    t.button(235, 9, 75, 24, 1343, "Load")
    t.label(10, 40, 300, 72, "", 146)
    t.label(10, 124, 150, 20, "Manual R (ohms/sq)")
    t.edit(165, 122, 145, 22, 1341, 24)
    t.label(10, 156, 150, 20, "Auto/Manual C (pF/sq)")
    t.edit(165, 154, 145, 22, 1336, 24)
    t.button(10, 206, 90, 26, 1, "Continue", default=True)
    t.button(115, 206, 90, 26, 2, "Cancel")
    t.write()


def settings():
    t = Template("FONT", "QDialog", 360, 120, "Font")
    t.label(10, 10, 200, 20, "Text Font File")
    t.add("QComboBox", 10, 32, 340, 24, 1326, None,
          '<property name="editable"><bool>true</bool></property>')
    t.label(10, 58, 200, 16, "Available Files")
    ok_cancel(t, 84)
    t.write()

    t = Template("SET", "QDialog", 360, 420, "Set")
    t.label(10, 8, 160, 20, "Working Grids")
    t.label(190, 8, 160, 20, "Dot Grids")
    for i in range(10):
        y = 32 + i * 26
        t.label(10, y + 2, 24, 20, str(i + 1))
        t.edit(36, y, 130, 22, 1101 + i, 16)
        t.label(190, y + 2, 24, 20, str(i + 1))
        t.edit(216, y, 130, 22, 1111 + i, 16)
    t.label(10, 298, 160, 20, "Drawing Resolution")
    t.edit(190, 296, 100, 22, 151, 8)
    t.add("QCheckBox", 10, 326, 260, 22, 1327, "TLCout when Saving Cell")
    t.add("QCheckBox", 10, 350, 260, 22, 1328, "Enable Global TLC")
    ok_cancel(t, 384)
    t.write()


if __name__ == "__main__":
    value_dialogs()
    arc_and_step()
    rescap()
    settings()
