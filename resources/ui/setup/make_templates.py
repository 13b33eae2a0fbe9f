#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the installer setup: the two README pages' template, the
three wizard pages and the progress list, with the utilities' template writer. The long texts of
README are set by the program. Run it again after changing a layout and commit the .ui files it
writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template  # noqa: E402

BACK = 1002
WRAP = '<property name="wordWrap"><bool>true</bool></property>'


def text(t, x, y, w, h, id, words=""):
    t.add("QLabel", x, y, w, h, id, words, WRAP)


def wizard_buttons(t, y, back=True, ok="Next >"):
    """< Back, OK and Cancel along the bottom, right-aligned as wizards have them."""
    x = t.width - 3 * 110 - 20
    if back:
        t.add("QPushButton", x, y, 100, 26, BACK, "< Back")
    t.add("QPushButton", x + 110, y, 100, 26, 1, ok, '<property name="default"><bool>true</bool></property>')
    t.add("QPushButton", x + 220, y, 100, 26, 2, "Cancel")


def readme():
    t = Template("README", 520, 360, "SETUP 6.0")
    text(t, 14, 12, 492, 290, 1013)
    wizard_buttons(t, 318, back=False, ok="Next Page")
    return t


def page1():
    t = Template("SETUPDLG1", 480, 230, "SETUP 6.0 - Source and Target")
    text(t, 14, 12, 452, 80, 1003)
    t.label(14, 104, 150, "Source Directory")
    t.edit(170, 104, 290, 1000, 63)
    t.label(14, 140, 150, "Target Drive")
    t.edit(170, 140, 290, 1001, 63)
    wizard_buttons(t, 190, back=False)
    return t


def page2():
    t = Template("SETUPDLG2", 480, 230, "SETUP 6.0 - Files to Install")
    text(t, 14, 12, 452, 80, 1006)
    t.check(40, 98, 300, 1008, "System Files")
    t.check(40, 124, 300, 1004, "Tutor Files")
    t.check(40, 150, 300, 1009, "Character Files")
    wizard_buttons(t, 190)
    return t


def page3():
    t = Template("SETUPDLG3", 560, 280, "SETUP 6.0 - Additional Zip Files")
    text(t, 14, 12, 532, 40, 1007, "SETUP has found additional Zip files. "
                                  "Check those that you want to be installed.")
    for i in range(15):
        column, row = divmod(i, 5)
        t.check(20 + column * 180, 62 + row * 30, 170, 1012 + i, "")
    wizard_buttons(t, 240, ok="Install")
    return t


def display():
    t = Template("DISPLAY", 520, 300, "Files Expanded")
    for i in range(12):
        t.label(14, 8 + i * 20, 492, "", 501 + i)
    t.label(14, 258, 492, "", 1010)
    return t


if __name__ == "__main__":
    for make in (readme, page1, page2, page3, display):
        make().write(HERE)
