#!/usr/bin/env python3
"""Writes the character cells of the three stroke faces as TLC files.

Each character is drawn on the 16 x 16 font grid as open or closed polygons: baseline at y 3,
x-height 10, capitals 15, descenders down to 0; capitals 9 units wide. The upright face is the
design; the slanted face shears it by a quarter unit a row; the bold face doubles every stroke one
unit to the right. Run from anywhere: it rewrites upright/, slanted/ and bold/ beside itself.
"""
import os

GLYPHS = {
    ' ': '',
    '!': '1,15 1,7 | 1,4 1,3',
    '"': '1,15 1,12 | 4,15 4,12',
    '#': '2,3 2,15 | 6,3 6,15 | 0,6 8,6 | 0,12 8,12',
    '$': '8,12 6,13 2,13 0,11 2,9 6,9 8,7 6,5 2,5 0,6 | 4,15 4,3',
    '%': '0,3 8,15 | 1,15 0,14 1,13 2,14 1,15 | 7,5 6,4 7,3 8,4 7,5',
    '&': '8,3 2,12 3,15 5,15 6,13 0,7 0,5 2,3 5,3 8,7',
    "'": '1,15 1,12',
    '(': '3,15 1,12 1,6 3,3',
    ')': '1,15 3,12 3,6 1,3',
    '*': '4,13 4,5 | 0,11 8,7 | 0,7 8,11',
    '+': '4,13 4,5 | 0,9 8,9',
    ',': '1,4 1,3 0,1',
    '-': '0,9 8,9',
    '.': '1,4 1,3',
    '/': '0,3 8,15',
    '0': '2,3 0,5 0,13 2,15 6,15 8,13 8,5 6,3 2,3 | 0,5 8,13',
    '1': '2,13 4,15 4,3 | 2,3 6,3',
    '2': '0,13 2,15 6,15 8,13 8,11 0,3 8,3',
    '3': '0,13 2,15 6,15 8,13 8,11 6,9 3,9 | 6,9 8,7 8,5 6,3 2,3 0,5',
    '4': '6,3 6,15 0,7 8,7',
    '5': '8,15 0,15 0,9 6,9 8,7 8,5 6,3 2,3 0,5',
    '6': '8,13 6,15 2,15 0,13 0,5 2,3 6,3 8,5 8,7 6,9 0,9',
    '7': '0,15 8,15 3,3',
    '8': '2,9 0,11 0,13 2,15 6,15 8,13 8,11 6,9 2,9 0,7 0,5 2,3 6,3 8,5 8,7 6,9',
    '9': '0,5 2,3 6,3 8,5 8,13 6,15 2,15 0,13 0,11 2,9 8,9',
    ':': '1,10 1,9 | 1,4 1,3',
    ';': '1,10 1,9 | 1,4 1,3 0,1',
    '<': '8,15 0,9 8,3',
    '=': '0,11 8,11 | 0,7 8,7',
    '>': '0,15 8,9 0,3',
    '?': '0,13 2,15 6,15 8,13 8,11 4,8 4,6 | 4,4 4,3',
    '@': '6,6 6,10 3,10 2,8 2,7 3,6 6,6 8,8 8,13 6,15 2,15 0,13 0,5 2,3 7,3',
    'A': '0,3 4,15 8,3 | 2,8 6,8',
    'B': '0,3 0,15 6,15 8,13 8,11 6,9 0,9 | 6,9 8,7 8,5 6,3 0,3',
    'C': '8,13 6,15 2,15 0,13 0,5 2,3 6,3 8,5',
    'D': '0,3 0,15 5,15 8,12 8,6 5,3 0,3',
    'E': '8,15 0,15 0,3 8,3 | 0,9 6,9',
    'F': '8,15 0,15 0,3 | 0,9 6,9',
    'G': '8,13 6,15 2,15 0,13 0,5 2,3 6,3 8,5 8,8 5,8',
    'H': '0,3 0,15 | 8,3 8,15 | 0,9 8,9',
    'I': '2,15 6,15 | 4,15 4,3 | 2,3 6,3',
    'J': '8,15 8,5 6,3 2,3 0,5',
    'K': '0,3 0,15 | 8,15 0,7 | 3,10 8,3',
    'L': '0,15 0,3 8,3',
    'M': '0,3 0,15 4,9 8,15 8,3',
    'N': '0,3 0,15 8,3 8,15',
    'O': '2,3 0,5 0,13 2,15 6,15 8,13 8,5 6,3 2,3',
    'P': '0,3 0,15 6,15 8,13 8,11 6,9 0,9',
    'Q': '2,3 0,5 0,13 2,15 6,15 8,13 8,5 6,3 2,3 | 5,6 8,2',
    'R': '0,3 0,15 6,15 8,13 8,11 6,9 0,9 | 4,9 8,3',
    'S': '8,13 6,15 2,15 0,13 0,11 2,9 6,9 8,7 8,5 6,3 2,3 0,5',
    'T': '0,15 8,15 | 4,15 4,3',
    'U': '0,15 0,5 2,3 6,3 8,5 8,15',
    'V': '0,15 4,3 8,15',
    'W': '0,15 2,3 4,9 6,3 8,15',
    'X': '0,15 8,3 | 0,3 8,15',
    'Y': '0,15 4,9 8,15 | 4,9 4,3',
    'Z': '0,15 8,15 0,3 8,3',
    '[': '3,15 1,15 1,3 3,3',
    '\\': '0,15 8,3',
    ']': '1,15 3,15 3,3 1,3',
    '^': '1,12 4,15 7,12',
    '_': '0,1 8,1',
    '`': '1,15 3,12',
    'a': '6,10 6,3 | 6,8 4,10 2,10 0,8 0,5 2,3 4,3 6,5',
    'b': '0,15 0,3 | 0,8 2,10 4,10 6,8 6,5 4,3 2,3 0,5',
    'c': '6,9 5,10 2,10 0,8 0,5 2,3 5,3 6,4',
    'd': '6,15 6,3 | 6,8 4,10 2,10 0,8 0,5 2,3 4,3 6,5',
    'e': '0,7 6,7 6,8 4,10 2,10 0,8 0,5 2,3 5,3 6,4',
    'f': '6,14 5,15 3,15 2,14 2,3 | 0,10 5,10',
    'g': '6,10 6,1 5,0 1,0 | 6,8 4,10 2,10 0,8 0,5 2,3 4,3 6,5',
    'h': '0,15 0,3 | 0,8 2,10 4,10 6,8 6,3',
    'i': '1,10 1,3 | 1,13 1,12',
    'j': '3,10 3,1 2,0 0,0 | 3,13 3,12',
    'k': '0,15 0,3 | 6,10 0,5 | 2,6 6,3',
    'l': '0,15 1,15 1,4 2,3 3,3',
    'm': '0,10 0,3 | 0,8 1,10 2,10 3,8 3,3 | 3,8 4,10 5,10 6,8 6,3',
    'n': '0,10 0,3 | 0,8 2,10 4,10 6,8 6,3',
    'o': '2,3 0,5 0,8 2,10 4,10 6,8 6,5 4,3 2,3',
    'p': '0,10 0,0 | 0,8 2,10 4,10 6,8 6,5 4,3 2,3 0,5',
    'q': '6,10 6,0 | 6,8 4,10 2,10 0,8 0,5 2,3 4,3 6,5',
    'r': '0,10 0,3 | 0,7 3,10 5,10 6,9',
    's': '6,9 5,10 1,10 0,9 0,8 1,7 5,6 6,5 6,4 5,3 1,3 0,4',
    't': '2,14 2,4 3,3 5,3 6,4 | 0,10 5,10',
    'u': '0,10 0,5 2,3 4,3 6,5 | 6,10 6,3',
    'v': '0,10 3,3 6,10',
    'w': '0,10 2,3 3,7 4,3 6,10',
    'x': '0,10 6,3 | 0,3 6,10',
    'y': '0,10 3,4 | 6,10 2,0 0,0',
    'z': '0,10 6,10 0,3 6,3',
    '{': '5,15 4,15 3,14 3,10 2,9 3,8 3,4 4,3 5,3',
    '|': '1,15 1,0',
    '}': '1,15 2,15 3,14 3,10 4,9 3,8 3,4 2,3 1,3',
    '~': '0,10 2,12 4,10 6,8 8,10',
    '\x7f': '0,3 8,3 8,15 0,15 0,3 | 0,3 8,15 | 0,15 8,3',
}


def strokes(text):
    out = []
    for part in text.split('|'):
        pts = [tuple(int(v) for v in p.split(',')) for p in part.split()]
        if pts:
            out.append(pts)
    return out


def upright(s):
    return s


def slanted(s):
    # a quarter unit a row, halves away from zero
    return [[(x + int(y / 4 + 0.5), y) for x, y in stroke] for stroke in s]


def bold(s):
    return [stroke for orig in s for stroke in (orig, [(x + 1, y) for x, y in orig])]


FACES = [('upright', upright), ('slanted', slanted), ('bold', bold)]


def slot_bytes(polys):
    # vertex bytes of a slot: each polygon's bytes, one 0xFF after each and one at the end
    return sum(len(p) + 1 for p in polys) + 1


def tlc(name, polys):
    lines = []
    xs = [x for p in polys for x, _ in p] or [0]
    ys = [y for p in polys for _, y in p] or [0]
    vertices = sum(len(p) for p in polys)
    lines += ['=H', name, '6.05', '6.05', '1', 'um', '01/01/24', '00:00:00',
              '1 %d %d %d %d' % (min(xs), min(ys), max(xs), max(ys)),
              '0 %d %d 0' % (len(polys), vertices)]
    for p in polys:
        lines += ['=P', '1 0 %d' % len(p)]
        row = ''
        for i, (x, y) in enumerate(p):
            row += '%d %d ' % (x, y)
            if i % 5 == 4:
                lines.append(row)
                row = ''
        if row:
            lines.append(row)
    return ''.join(l + '\r\n' for l in lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    assert sorted(ord(c) for c in GLYPHS) == list(range(32, 128))
    for face, shape in FACES:
        folder = os.path.join(here, face)
        os.makedirs(folder, exist_ok=True)
        for ch, text in GLYPHS.items():
            polys = shape(strokes(text))
            for p in polys:
                for x, y in p:
                    assert 0 <= x <= 15 and 0 <= y <= 15 and (x, y) != (15, 15), (face, ch)
            assert slot_bytes(polys) <= 127, (face, ch, slot_bytes(polys))
            name = 'CHAR%03d' % ord(ch)
            with open(os.path.join(folder, name + '.TLC'), 'w', newline='') as f:
                f.write(tlc(name, polys))


if __name__ == '__main__':
    main()
