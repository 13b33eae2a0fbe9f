"""The editor's templates on the suite's template writer, for every template script of this folder:
controls placed with their own heights, docked bars (a QWidget that paints its own face) beside the
dialogs, and the shapes the editor's dialogs repeat (OK and Cancel, one value, names with List buttons).
Templates are written into this folder.
"""
import os
import sys
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import template_writer  # noqa: E402
from template_writer import rect  # noqa: E402


class Template(template_writer.Template):
    """`root` is "QDialog" or "QWidget"; every placing call takes the control's height."""

    def __init__(self, name, root, width, height, title=""):
        super().__init__(name, width, height, title)
        self.root = root

    def label(self, x, y, w, h, text, id=None, extra=""):
        self.add("QLabel", x, y, w, h, id, text, extra)

    def edit(self, x, y, w, h, id, limit=None):
        extra = f'<property name="maxLength"><number>{limit}</number></property>' if limit else ""
        self.add("QLineEdit", x, y, w, h, id, None, extra)

    def check(self, x, y, w, h, id, text):
        self.add("QCheckBox", x, y, w, h, id, text)

    def button(self, x, y, w, h, id, text, default=False, checkable=False):
        extra = ""
        if default:
            extra += '<property name="default"><bool>true</bool></property>'
        if checkable:
            extra += '<property name="checkable"><bool>true</bool></property>'
        self.add("QPushButton", x, y, w, h, id, text, extra)

    def write(self):
        head = ['<?xml version="1.0" encoding="UTF-8"?>', '<ui version="4.0">',
                f' <class>{self.name}</class>', f' <widget class="{self.root}" name="{self.name}">',
                f'  {rect(0, 0, self.width, self.height)}',
                f'  <property name="windowTitle"><string>{escape(self.title)}</string></property>']
        if self.root == "QWidget":
            # Docked bars sit on the black drawing: they paint their own face.
            head.append('  <property name="autoFillBackground"><bool>true</bool></property>')
        tail = [' </widget>', ' <resources/>', ' <connections/>', '</ui>', '']
        with open(os.path.join(HERE, self.name + ".ui"), "w", encoding="utf-8") as f:
            f.write("\n".join(head + self.items + tail))


def ok_cancel(t, y, ok="OK", x=10, w=90):
    t.button(x, y, w, 26, 1, ok, default=True)
    t.button(x + w + 15, y, w, 26, 2, "Cancel")


def value_dialog(name, id, label, title="", limit=None):
    t = Template(name, "QDialog", 280, 104, title)
    t.label(10, 12, 150, 20, label)
    t.edit(165, 10, 105, 22, id, limit)
    ok_cancel(t, 64)
    t.write()


def name_dialog(name, title, fields, lists=(1321,), text=None, limit=32):
    """One or two labelled fields with List buttons beside them, OK and Cancel."""
    height = 50 + 32 * len(fields) + (26 if text else 0) + 36
    t = Template(name, "QDialog", 360, height, title)
    y = 12
    if text:
        t.label(10, y, 340, 20, text)
        y += 26
    for i, (id, label, *own) in enumerate(fields):
        lines = label.count("\n") + 1
        t.label(10, y, 130, 20 * lines, label)
        t.edit(145, y, 140 if i < len(lists) else 205, 22, id, own[0] if own else limit)
        if i < len(lists):
            t.button(292, y, 58, 24, lists[i], "List")
        y += 32 if lines == 1 else 44
    ok_cancel(t, y + 14)
    t.write()
