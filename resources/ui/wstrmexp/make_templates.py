#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the two GDSII converters: this folder's (wstrmexp) and
its sibling's (wstrmimp). Both have long regular forms, so they are laid out here rather than by
hand; run it again after changing a layout and commit the .ui files it writes.
"""
import os
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
IMPORTER = os.path.join(os.path.dirname(HERE), "wstrmimp")


def rect(x, y, w, h):
    return (f'<property name="geometry"><rect><x>{x}</x><y>{y}</y><width>{w}</width>'
            f'<height>{h}</height></rect></property>')


class Template:
    def __init__(self, name, width, height, title=""):
        self.name, self.width, self.height, self.title = name, width, height, title
        self.items = []

    def add(self, cls, x, y, w, h, id=None, text=None, extra=""):
        n = len(self.items) + 1
        lines = [f'  <widget class="{cls}" name="w{n}">', f'   {rect(x, y, w, h)}']
        if id is not None:
            lines.append(f'   <property name="id" stdset="0"><number>{id}</number></property>')
        if text is not None:
            lines.append(f'   <property name="text"><string>{escape(text)}</string></property>')
        if extra:
            lines.append('   ' + extra)
        lines.append('  </widget>')
        self.items.append("\n".join(lines))

    def label(self, x, y, w, text, id=None):
        self.add("QLabel", x, y + 3, w, 16, id, text)

    def edit(self, x, y, w, id, limit=64):
        self.add("QLineEdit", x, y, w, 22, id, None,
                 f'<property name="maxLength"><number>{limit}</number></property>')

    def check(self, x, y, w, id, text):
        self.add("QCheckBox", x, y, w, 22, id, text)

    def buttons(self, y, ok="OK", cancel="Cancel"):
        self.add("QPushButton", self.width // 2 - 150, y, 140, 26, 1, ok,
                 '<property name="default"><bool>true</bool></property>')
        self.add("QPushButton", self.width // 2 + 10, y, 140, 26, 2, cancel)

    def write(self, folder):
        body = "\n".join(self.items)
        text = f"""<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>{self.name}</class>
 <widget class="QDialog" name="{self.name}">
  {rect(0, 0, self.width, self.height)}
  <property name="windowTitle"><string>{escape(self.title)}</string></property>
{body}
 </widget>
 <resources/>
 <connections/>
</ui>
"""
        with open(os.path.join(folder, self.name + ".ui"), "w") as f:
            f.write(text)


def form(name, title, rows, label_width=250, edit_width=220):
    """rows: (kind, id, label) with kind "edit" or "check"; two fields may share a row as a tuple."""
    t = Template(name, label_width + edit_width + 30, 30 * len(rows) + 56, title)
    y = 10
    for row in rows:
        for kind, id, text in (row if isinstance(row[0], tuple) else (row,)):
            if kind == "edit":
                t.label(10, y, label_width, text)
                t.edit(label_width + 20, y, edit_width, id)
            elif kind == "check":
                t.check(10, y, label_width, id, text)
            elif kind == "side":  # an edit beside a check box on its row
                t.edit(label_width + 20, y, edit_width, id)
        y += 30
    t.buttons(y + 6)
    return t


def table(name, title, first, heads, rows, checks=()):
    """A grid of fields: row r, column c has the id first + len(heads) * r + c."""
    col = 74
    t = Template(name, 60 + col * len(heads) + 10, 34 + 30 * rows + 56, title)
    for c, head in enumerate(heads):
        t.label(60 + col * c, 8, col - 6, head)
    for r in range(rows):
        y = 34 + 30 * r
        t.label(10, y, 44, "Row %d" % (r + 1))
        for c in range(len(heads)):
            id = first + len(heads) * r + c
            if c in checks:
                t.check(60 + col * c + 20, y, col - 26, id, "")
            else:
                t.edit(60 + col * c, y, col - 8, id)
    t.buttons(34 + 30 * rows + 16)
    return t


def display(name, lines, progress=None, width=520):
    """A progress display: (id, label) rows; a label of None makes a full-width line."""
    t = Template(name, width, 26 * len(lines) + 20 + (30 if progress else 0), "Constructing ...")
    y = 10
    for id, text in lines:
        if text is None:
            t.label(10, y, width - 20, "", id)
        else:
            t.label(10, y, 170, text)
            t.label(190, y, width - 200, "", id)
        y += 26
    if progress:
        t.add("QProgressBar", 10, y, width - 20, 20, progress, None,
              '<property name="value"><number>0</number></property>')
    return t


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
