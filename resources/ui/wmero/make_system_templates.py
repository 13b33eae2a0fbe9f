#!/usr/bin/env python3
"""Writes the templates of System Mode and its cell dialogs (SYSTEM, the collection-command dialogs,
SHOWLIST, ATTR, LEGEND, CCEL, NOCELL) into this folder. Run it again after changing a layout and
commit the .ui files it writes.
"""
from layout import Template, name_dialog


def system():
    t = Template("SYSTEM", "QDialog", 420, 330, "System Mode")
    t.label(10, 8, 400, 20, "", 1000)
    t.label(10, 30, 400, 20, "", 1002)
    commands = [(2000, "Attach"), (2001, "Import"), (2002, "Copy"), (2003, "Scale"), (2004, "Show"),
                (149, "Kill"), (2005, "ReName"), (2006, "ReSize"), (2007, "ReRank"), (2008, "CellSort"),
                (1007, "Clone"), (3000, "TLCin"), (3001, "TLCout")]
    for i, (id, word) in enumerate(commands):
        t.button(10 + (i % 5) * 80, 60 + (i // 5) * 32, 76, 26, id, word)
    programs = [(3002, "GDSII In"), (3003, "GDSII Out"), (3004, "CIF In"), (3005, "CIF Out"),
                (3006, "DXF In"), (3007, "DXF Out"), (3009, "Check"), (3008, "Extract"),
                (3010, "Flatten"), (3011, "Encode"), (3012, "Layer Logic"), (3013, "Glyphs")]
    t.label(10, 160, 400, 20, "Programs")
    for i, (id, word) in enumerate(programs):
        t.button(10 + (i % 4) * 100, 184 + (i // 4) * 32, 96, 26, id, word)
    t.button(160, 292, 100, 28, 1015, "Return", default=True)
    t.write()


def collection_dialogs():
    name_dialog("ATTACH", "Attach", [(1004, "Cell to Attach")])
    name_dialog("IMPORT", "Import", [(1018, "Cell to Import"), (1020, "To Cellname")], (1321, 1323))
    name_dialog("COPY", "COPY/APPEND", [(1017, "Cellname"), (1005, "To Cellname")], (1321, 1323))
    name_dialog("KILL", "Kill", [(1019, "Cell to KILL")])
    name_dialog("RENAME", "ReName", [(1031, "Old Name"), (1032, "New Name")])
    name_dialog("RESIZE", "ReSize", [(1026, "Resize Cell"), (1028, "Multiplier")])
    name_dialog("RERANK", "ReRank", [(1029, "Cell to Rerank"), (1030, "New Rank")])
    name_dialog("SHOW", "Show", [(1021, "Cell to Show")])
    # The unit name as long as every program keeps it (db::kUnitNameLength).
    name_dialog("SCALE", "Scale", [(1024, "Physical Unit Name", 5), (1025, "MERO Units/Phys Unit")], ())
    name_dialog("SPAWN", "Clone", [(1325, "Full Path of \nNew Folder")], (), "CLONE", 255)
    name_dialog("CCEL", "Change Cell", [(102, "Change to Cell")])
    name_dialog("NOCELL", "No Cell", [(1331, "Cellname")], (1321,), "No Cell  was Found ... Give a Name")

    t = Template("SHOWLIST", "QDialog", 420, 430, "Show")
    t.add("QListWidget", 10, 10, 400, 370, 1006)
    t.button(10, 392, 190, 28, 3, "<--")
    t.button(220, 392, 190, 28, 2, "Cancel")
    t.write()


def attributes():
    t = Template("ATTR", "QDialog", 480, 420, "Layer Attributes")
    t.add("QGroupBox", 8, 4, 464, 150, 1167, None,
          '<property name="title"><string>Layer 1 Attributes</string></property>')
    t.label(20, 30, 170, 20, "Color (roylgtcabpmvw)")
    t.edit(195, 28, 50, 22, 1300, 1)
    t.label(20, 60, 170, 20, "Fill (0-13)")
    t.edit(195, 58, 50, 22, 1301, 4)
    t.label(20, 90, 170, 20, "Dash (0-4)")
    t.edit(195, 88, 50, 22, 1302, 4)
    t.label(20, 120, 170, 20, "Layer")
    t.edit(195, 118, 50, 22, 1317, 4)
    t.button(260, 116, 100, 26, 1303, "Set + Load")
    t.add("QCheckBox", 300, 28, 160, 22, 1304, "No Fill")
    t.add("QCheckBox", 300, 56, 160, 22, 1307, "Solid Fill")
    t.add("QCheckBox", 300, 84, 160, 22, 1305, "No Dash")
    for i in range(32):
        t.add("QCheckBox", 10 + (i // 8) * 116, 162 + (i % 8) * 24, 112, 22, 1050 + i, "")
    t.button(10, 360, 90, 28, 5, ">>")
    t.button(115, 360, 110, 28, 1312, "Patterns")
    t.button(380, 360, 90, 28, 1, "Close", default=True)
    t.write()

    # The fills and dashes are painted into the area by the dialog.
    t = Template("LEGEND", "QDialog", 260, 280, "Patterns")
    t.add("QFrame", 0, 0, 260, 240, 1340)
    t.button(85, 246, 90, 28, 2, "Cancel")
    t.write()


if __name__ == "__main__":
    system()
    collection_dialogs()
    attributes()
