#!/usr/bin/env python3
"""Writes the dialog templates (NAME.ui) of the design-rule checker wmerodrc: its TOOLBAR, SETUP, its
DISPLAY with the progress picture, the MAPPER window and the map VIEWER. Run it again after changing a layout and
commit the .ui files it writes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from template_writer import Template, toolbar  # noqa: E402


def setup():
    t = Template("SETUP", 560, 532, "DRC Setup")
    y = 10
    t.label(10, y, 230, "Name of Cell to DRC")
    t.edit(250, y, 240, 100, 32)
    t.button(500, y - 2, 50, 121, "List")
    y += 30
    for id, text in [(101, "Name of Check File"), (102, "Start Check"), (103, "Finish Check"),
                     (104, "Lambda Size in um"), (105, "Resolution"), (106, "Distance")]:
        t.label(10, y, 230, text)
        t.edit(250, y, 240, id)
        y += 30
    t.label(10, y, 230, "Area Left")
    t.edit(250, y, 240, 107)
    t.button(500, y - 2, 50, 120, "Reset")
    y += 30
    t.label(10, y, 230, "Area Bottom")
    t.edit(250, y, 240, 108)
    y += 30
    for id, text in [(109, "Scan Left"), (110, "Scan Bottom"), (111, "Scan Right"), (112, "Scan Top")]:
        t.label(10, y, 230, text)
        t.edit(250, y, 240, id)
        if id == 109:
            t.button(500, y - 2, 50, 119, "Fit")
        y += 30
    t.check(10, y, 170, 113, "Enable SCPY")
    t.check(190, y, 170, 114, "Enable PAUSE")
    t.check(370, y, 180, 115, "Erase Old Report File")
    y += 30
    t.label(10, y, 100, "File Limit")
    t.edit(110, y, 90, 116)
    t.label(250, y, 100, "Pause Time")
    t.edit(360, y, 130, 117)
    y += 30
    t.label(10, y, 230, "Name of Report File")
    t.edit(250, y, 240, 118)
    y += 36
    t.buttons(y)
    t.write(HERE)


def display():
    # The picture is the client area less 9 on the left, 11 on the right and 75 at the bottom.
    t = Template("DISPLAY", 700, 420, "MERODRC")
    t.picture(9, 0, 680, 345, 1100)
    t.label(9, 347, 560, "", 500)
    t.button(600, 348, 89, 2, "Cancel")
    for i, id in enumerate((501, 502, 503)):
        t.label(9, 363 + 16 * i, 680, "", id)
    t.write(HERE)


def mapper():
    t = Template("MAPPER", 544, 378, "MERODRC Map")
    t.picture(0, 0, 544, 336, 1070)
    t.label(4, 337, 536, "", 501)
    t.label(4, 355, 536, "", 502)
    t.write(HERE)


def viewer():
    t = Template("VIEWER", 580, 404, "Map Viewer")
    t.picture(8, 8, 544, 336, 1066)
    t.scroll(8, 346, 544, 16, 2000, False)
    t.scroll(554, 8, 16, 336, 2002, True)
    t.check(20, 370, 60, 1057, "2X")
    t.check(90, 370, 60, 1056, "4X")
    t.button(330, 368, 110, 1, "OK", True)
    t.button(450, 368, 110, 2, "Cancel")
    t.write(HERE)


if __name__ == "__main__":
    # Four buttons fit the main window: Map stays on the menu and its accelerator.
    toolbar(HERE, "TOOLBAR", (10, 11, 13, 14))
    setup()
    display()
    mapper()
    viewer()
