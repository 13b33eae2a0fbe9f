#!/usr/bin/env python3
"""Writes the editor's dialog templates (NAME.ui) into this folder.

The panels and bars have dozens of buttons in regular rows, so they are laid out here rather than by
hand; run it again after changing a layout and commit the .ui files it writes.
"""
from layout import Template, ok_cancel, value_dialog

# Command word -> button id, as the command table numbers them.
IDS = {
    "Get": 120, "fGet": 122, "tGet": 124, "cGet": 126, "aGet": 160, "wGet": 129, "Put": 121,
    "fPut": 123, "tPut": 125, "cPut": 127, "aPut": 128, "Mov": 132, "qMov": 130, "wMov": 161,
    "cMov": 131, "Cpy": 134, "Rot": 157, "Flp": 163, "pRev": 135, "pBeg": 136, "pEnd": 137,
    "Cut": 138, "Join": 139, "Obj": 116, "Text": 117, "Add": 118, "Del": 119, "Info": 142,
    "Show": 167, "Sort": 113, "Arc": 100, "Attr": 101, "Font": 168, "cCel": 102, "cSiz": 103,
    "cLyr": 104, "cWth": 105, "Dpth": 152, "tLyr": 155, "tSiz": 156, "Layr": 106, "Wdth": 107,
    "Outl": 144, "Full": 145, "Set": 146, "Make": 147, "Smsh": 148, "uDup": 162, "vStp": 133,
    "Step": 150, "Res": 151, "Cap": 154, "ReSz": 158, "Snap": 164, "OvSz": 159, "Orig": 165,
    "sWin": 108, "rWin": 109, "Grid": 110, "wGrd": 111, "dGrd": 112, "View": 114, "Open": 115,
    "sDrw": 140, "lDrw": 141, "rDrw": 143, "Cmd": 166,
}

FIRST = ("sDrw lDrw Info Show Sort Arc Attr Font cCel cSiz cLyr cWth Layr Wdth sWin rWin Cmd Grid "
         "wGrd dGrd View Open Obj Text Add Del Get Put fGet fPut tGet tPut cGet cPut aPut wGet qMov "
         "cMov Mov vStp Cpy pRev pBeg pEnd Cut Join").split()
SECOND = ("rDrw Outl Full Set Make Smsh Step Res Dpth Cap tLyr tSiz sWin rWin Cmd wGrd dGrd View Open "
          "Obj Text Add Del Get Put fGet fPut tGet tPut cGet cPut aPut aGet qMov wMov Mov uDup Rot Flp "
          "ReSz Snap OvSz Orig Grid sDrw lDrw").split()


def panels():
    # One pair per screen-size class; only the button height differs.
    for first, second, row in ((1, 2, 15), (3, 4, 20), (5, 6, 26)):
        for number, words, other in ((first, FIRST, "Menu 1"), (second, SECOND, "Menu 2")):
            rows = (len(words) + 1) // 2
            t = Template(f"MENUBTNS{number}", "QWidget", 94, (rows + 1) * row + 8)
            t.button(2, 4, 90, row, 1330, other)
            for i, word in enumerate(words):
                x = 2 + (i % 2) * 45
                y = 4 + (i // 2 + 1) * row
                t.button(x, y, 45, row, IDS[word], word, checkable=(word == "Grid"))
            t.write()


def bars():
    Template("FILLBAR", "QWidget", 94, 60).write()

    # The 18 bitmap buttons in the order of the menu, with gaps where the menu has separators.
    t = Template("TOOLBAR", "QWidget", 560, 24)
    x = 0
    for id in range(10, 28):
        if id in (18, 22, 27):
            x += 8
        t.button(x, 1, 26, 22, id, None)
        x += 28
    t.write()

    t = Template("BOTTOM", "QWidget", 900, 42)
    sunken = '<property name="frameShape"><enum>QFrame::Panel</enum></property>' \
             '<property name="frameShadow"><enum>QFrame::Sunken</enum></property>'
    t.label(4, 3, 72, 17, "", 300, sunken)
    t.label(80, 3, 128, 17, "", 301, sunken)
    t.label(212, 3, 400, 17, "", 302, sunken)
    t.label(4, 22, 440, 17, "", 303, sunken)
    t.label(448, 22, 440, 17, "", 304, sunken)
    for i, letter in enumerate("WUCDINORTV"):
        t.button(620 + i * 22, 3, 20, 17, 310 + i, letter, checkable=True)
    t.write()


def cell_dialogs():
    t = Template("CELL", "QDialog", 300, 110, "Load or Create Cell")
    t.label(10, 12, 70, 20, "Cellname")
    t.edit(85, 10, 205, 22, 1001, 32)
    t.button(10, 72, 85, 26, 1, "OK", default=True)
    t.button(107, 72, 85, 26, 1321, "List")
    t.button(205, 72, 85, 26, 2, "Cancel")
    t.write()

    t = Template("NEWCELL", "QDialog", 260, 110, "New Cell")
    t.label(10, 8, 240, 20, "Creating New Cell")
    t.label(10, 38, 120, 20, "New Cell Rank")
    t.edit(135, 36, 60, 22, 1003, 8)
    ok_cancel(t, 74)
    t.write()

    for name, focus in (("PKEX", 153), ("PKEY", 1174)):
        t = Template(name, "QDialog", 260, 120, "Point")
        t.label(10, 12, 30, 20, "X=")
        t.edit(45, 10, 205, 22, 153, 24)
        t.label(10, 42, 30, 20, "Y=")
        t.edit(45, 40, 205, 22, 1174, 24)
        ok_cancel(t, 80)
        t.write()

    t = Template("UNDO", "QDialog", 320, 130, "Undo")
    t.label(10, 10, 300, 20, "Restore Previous Drawing ?")
    t.button(10, 38, 300, 24, 1013, "After Last Load")
    t.button(10, 66, 300, 24, 1014, "Before Moves/Rot/Flp/Del/Smsh/Snap")
    t.button(115, 98, 90, 24, 2, "Cancel")
    t.write()

    # Four columns of eight row boxes: one page of the layer table.
    t = Template("LYRTABLE", "QDialog", 470, 330, "Layers")
    t.label(10, 8, 450, 20, "", 1328)
    t.edit(10, 32, 450, 22, 1344, 63)
    for i in range(32):
        t.add("QCheckBox", 10 + (i // 8) * 114, 64 + (i % 8) * 24, 110, 22, 1050 + i, "")
    t.add("QCheckBox", 10, 262, 110, 22, 1329, "All Layers")
    t.button(130, 260, 50, 26, 5, ">>")
    t.button(190, 260, 70, 26, 3, "Clear")
    t.button(270, 260, 70, 26, 4, "Set")
    ok_cancel(t, 296)
    t.write()


def command_dialogs():
    value_dialog("DPTH", 152, "Depth to Draw (0-15)", "Depth", 8)
    value_dialog("SWIN", 1342, "Window No. (1-9)", "SWIN/RWIN", 8)
    value_dialog("WDGRD", 1306, "Grid Size", "Grid", 24)

    t = Template("CMD", "QDialog", 420, 110, "Command")
    t.label(10, 10, 200, 20, "Command Line")
    t.add("QComboBox", 10, 32, 400, 24, 1345, None,
          '<property name="editable"><bool>true</bool></property>'
          '<property name="maxVisibleItems"><number>16</number></property>')
    t.button(10, 72, 90, 26, 1, "Execute", default=True)
    t.button(113, 72, 90, 26, 1172, "Macro")
    t.button(216, 72, 90, 26, 4, "Paste")
    t.button(319, 72, 90, 26, 2, "Cancel")
    t.write()

    t = Template("MACRO", "QDialog", 420, 330, "Macro")
    t.label(10, 8, 200, 20, "Command Macro")
    t.add("QPlainTextEdit", 10, 30, 400, 250, 1171)
    t.button(10, 292, 90, 26, 1, "Execute", default=True)
    t.button(113, 292, 90, 26, 3, "Paste")
    t.button(216, 292, 90, 26, 1173, "Clear")
    t.button(319, 292, 90, 26, 2, "Cancel")
    t.write()


if __name__ == "__main__":
    panels()
    bars()
    cell_dialogs()
    command_dialogs()
