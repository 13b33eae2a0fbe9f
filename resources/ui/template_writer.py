"""Writes Qt Designer dialog templates (NAME.ui) for the utilities' template scripts: a template of
controls placed by hand, regular forms, grids and progress displays built from rows, and toolbars of
bitmap buttons. Every control carries its dialog id in the dynamic property "id".
"""
import os
from xml.sax.saxutils import escape


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

    def label(self, x, y, w, text, id=None, h=16):
        self.add("QLabel", x, y + 3, w, h, id, text)

    def edit(self, x, y, w, id, limit=64):
        self.add("QLineEdit", x, y, w, 22, id, None,
                 f'<property name="maxLength"><number>{limit}</number></property>')

    def check(self, x, y, w, id, text):
        self.add("QCheckBox", x, y, w, 22, id, text)

    def radio(self, x, y, w, id, text):
        self.add("QRadioButton", x, y, w, 22, id, text)

    def button(self, x, y, w, id, text, default=False):
        extra = '<property name="default"><bool>true</bool></property>' if default else ""
        self.add("QPushButton", x, y, w, 26, id, text, extra)

    def group(self, x, y, w, h, title):
        self.add("QGroupBox", x, y, w, h, None, None, f'<property name="title"><string>{title}</string></property>')

    def picture(self, x, y, w, h, id):
        self.add("QFrame", x, y, w, h, id)

    def scroll(self, x, y, w, h, id, vertical):
        self.add("QScrollBar", x, y, w, h, id, None,
                 f'<property name="orientation"><enum>Qt::{"Vertical" if vertical else "Horizontal"}</enum></property>')

    def buttons(self, y, ok="OK", cancel="Cancel"):
        """OK (the default) and Cancel, centred."""
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
    """rows: (kind, id, label) with kind "edit", "check" or "combo" (an editable combo box); "side" is
    an edit without a label beside a check box, the two sharing a row as a tuple."""
    t = Template(name, label_width + edit_width + 30, 30 * len(rows) + 56, title)
    y = 10
    for row in rows:
        for kind, id, text in (row if isinstance(row[0], tuple) else (row,)):
            if kind == "edit":
                t.label(10, y, label_width, text)
                t.edit(label_width + 20, y, edit_width, id)
            elif kind == "check":
                t.check(10, y, label_width, id, text)
            elif kind == "combo":
                t.label(10, y, label_width, text)
                t.add("QComboBox", label_width + 20, y, edit_width, 22, id, None,
                      '<property name="editable"><bool>true</bool></property>')
            elif kind == "side":
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


def toolbar(folder, name, ids):
    """A program's toolbar: one bitmap button per command id, in a row."""
    buttons = "".join(
        f'  <widget class="QPushButton" name="button{id}">\n   {rect(2 + 50 * i, 2, 48, 22)}\n'
        f'   <property name="id" stdset="0"><number>{id}</number></property>\n  </widget>\n'
        for i, id in enumerate(ids))
    text = f"""<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>{name}</class>
 <widget class="QWidget" name="{name}">
  {rect(0, 0, 6 + 50 * len(ids), 26)}
  <property name="windowTitle"><string></string></property>
{buttons} </widget>
 <resources/>
 <connections/>
</ui>
"""
    with open(os.path.join(folder, name + ".ui"), "w") as f:
        f.write(text)
