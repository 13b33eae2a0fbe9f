#!/usr/bin/env python3
"""Writes the circuit extractor's dialog templates (NAME.ui) into this folder, with the utilities'
template writer. Run it again after changing a layout and commit the .ui files it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template, form  # noqa: E402


def setup1():
    t = form("SETUP1", "Circuit Extractor Setup", [
        ("edit", 100, "Name of Cell"),
        ("edit", 101, "Alias File"),
        ("edit", 102, "Header File"),
        ("edit", 103, "Footer File"),
        ("edit", 104, "Named Node Text Layer"),
        ("edit", 105, "Connector Text Layer"),
        ("edit", 106, "Device Name Text Layer"),
        ("edit", 107, "ParameterText Layer"),
        ("check", 108, "Opens"),
        ("check", 109, "Shorts"),
        ("check", 110, "Floats"),
        ("check", 111, "Device"),
        ("check", 112, "Virtual"),
        ("check", 113, "Counts"),
        ("edit", 114, "Virtual Node Prefix"),
        ("edit", 115, "Name of Error File"),
        ("check", 120, "Fast Run"),
    ])
    # The cell picker beside the cell name.
    t.add("QPushButton", t.width - 4, 10, 60, 22, 1040, "List")
    t.width += 66
    t.write(HERE)


def setup2():
    t = form("SETUP2", "Nodelist Compare Setup", [
        ("edit", 200, "First Node List File"),
        ("edit", 201, "Base Name of Circuit"),
        ("edit", 202, "Second Node List File"),
        ("edit", 204, "Name of Error File"),
    ])
    # Its OK button is Compare.
    t.items = [i.replace("<string>OK</string>", "<string>Compare</string>") for i in t.items]
    t.write(HERE)


def trace():
    t = Template("TRACE", 560, 6 * 30 + 110, "Trace Table")
    t.label(70, 8, 300, "Conductor Layers")
    t.label(380, 8, 100, "Capacitance")
    for r in range(5):
        y = 34 + 30 * r
        t.label(10, y, 56, "C%d" % (r + 1))
        t.edit(70, y, 300, 300 + r)
        t.edit(380, y, 120, 305 + r)
    y0 = 34 + 30 * 5 + 10
    t.label(10, y0 - 2, 56, "")
    for r in range(4):
        t.label(10 + 135 * r, y0, 30, "I%d" % (r + 1))
        t.edit(40 + 135 * r, y0, 100, 310 + r)
    t.check(10, y0 + 32, 200, 320, "Capacitance")
    t.buttons(y0 + 64)
    t.height = y0 + 100
    t.write(HERE)


def smash():
    t = Template("SMASH", 330, 10 * 30 + 66, "Cells to Smash")
    for i in range(10):
        t.label(10, 10 + 30 * i, 80, "Cellname %d" % (i + 1))
        t.edit(90, 10 + 30 * i, 230, 1024 + i, 32)
    t.buttons(10 + 10 * 30 + 10)
    t.write(HERE)


def display1():
    t = Template("DISPLAY1", 460, 420, "Analyzing ...")
    t.group(8, 6, 444, 70, "Operation  ESC=Abort")
    t.label(16, 24, 428, "", 500)
    t.label(16, 46, 428, "", 501)
    t.group(8, 82, 444, 150, "Counts")
    names = ["Devices", "Named Nodes", "Virtual Nodes", "Symbol Nodes", "All Nodes",
             "Connections", "On Named Nodes", "On Virtual Nodes", "On Symbol Nodes", "All Connections"]
    for i, name in enumerate(names):
        x = 16 + 220 * (i // 5)
        y = 100 + 24 * (i % 5)
        t.label(x, y, 130, name)
        t.label(x + 136, y, 70, "", 510 + i)
    t.group(8, 238, 444, 172, "Messages")
    for i in range(6):
        t.label(16, 256 + 25 * i, 428, "", 520 + i)
    t.write(HERE)


def display2():
    t = Template("DISPLAY2", 520, 360, "Nodelist Compare Results")
    t.label(10, 10, 500, "", 600)
    t.label(10, 34, 500, "", 601)
    for i, id in enumerate(list(range(602, 611)) + [614]):
        t.label(10, 66 + 28 * i, 500, "", id)
    t.write(HERE)


if __name__ == "__main__":
    setup1()
    setup2()
    trace()
    smash()
    display1()
    display2()
