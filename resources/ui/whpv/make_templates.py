"""Writes the help viewer's dialogs FILER, LISTER, HELPER and PRINTDLG: python3 make_templates.py"""
import os

from ui_writer import Template

HERE = os.path.dirname(os.path.abspath(__file__))

t = Template("FILER", 420, 110, "Help File to Read")
t.label(10, 12, 400, 20, "Path\\Name of Help (.HPV) File")
t.edit(10, 36, 400, 22, 100, 80)
t.button(110, 72, 90, 28, "OK", 1, default=True)
t.button(220, 72, 90, 28, "Cancel", 2)
t.write(HERE)

# The list lays its names out in columns; the viewer sets the column width from the longest name.
t = Template("LISTER", 600, 330, "Main Topics")
t.add("QListWidget", 10, 10, 580, 270, None, 200, isWrapping=True, flow="<enum>QListView::TopToBottom</enum>",
      resizeMode="<enum>QListView::Adjust</enum>")
t.button(180, 292, 100, 28, "<<", 2)
t.button(320, 292, 100, 28, "Quit", 1, default=True)
t.write(HERE)

# The viewer sizes the dialog to 32 text lines and places the controls itself.
t = Template("HELPER", 624, 456, "HPV Help")
t.add("QWidget", 4, 4, 572, 416, None, 300)
t.add("QScrollBar", 590, 4, 18, 266, None, 301, orientation="<enum>Qt::Vertical</enum>")
t.button(582, 306, 38, 26, "Print", 302)
t.button(582, 338, 18, 26, "<", 304)
t.button(602, 338, 18, 26, ">", 303)
t.button(582, 370, 38, 26, "<<", 2)
t.button(582, 402, 38, 26, "Quit", 1, default=True)
t.write(HERE)

t = Template("PRINTDLG", 400, 300, "Topic Print")
t.add("QGroupBox", 10, 8, 380, 70, "Printer")
t.label(20, 28, 360, 20, "none", 1144)
t.label(20, 50, 360, 20, "Port: LPT1:", 1146)
t.add("QGroupBox", 10, 86, 380, 92, "Margins (inches)")
for n, (label, id) in enumerate([("Top", 1012), ("Bottom", 1013), ("Left", 1010), ("Right", 1011)]):
    x, y = 20 + 185 * (n % 2), 110 + 32 * (n // 2)
    t.label(x, y + 2, 60, 20, label)
    t.edit(x + 70, y, 90, 22, id, 4)
t.label(20, 194, 80, 20, "From Page")
t.edit(100, 192, 70, 22, 1014, 3)
t.label(205, 194, 80, 20, "To Page")
t.edit(285, 192, 70, 22, 1015, 3)
t.button(10, 252, 88, 28, "Print", 1, default=True)
t.button(106, 252, 88, 28, "Pages", 3)
t.button(202, 252, 88, 28, "Change", 4)
t.button(298, 252, 88, 28, "Cancel", 2)
t.write(HERE)
