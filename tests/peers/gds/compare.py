# Compares two GDSII files as layouts, run as: klayout -b -r compare.py -rd a=A.gds -rd b=B.gds
#   [-rd top=NAME] [-rd loose_layers=L1,L2] [-rd split_lines=1] [-rd hierarchy=0] [-rd layers=LO-HI]
# Cell names compare without regard to case; layers by number whatever the data type. Checks the
# cells, each cell's instances (arrays taken apart), the flattened geometry of the top cell layer by
# layer (empty XOR) and its flattened texts (string, position, rotation, mirror). On loose layers
# the XOR may only lie near path ends (round ends cannot be kept exactly). With split_lines, a text
# of several lines in A stands for one text per line in B: the first at its place, the others at
# the same x further down. Exit status 1 on a difference, with one line per difference.
import sys

import pya


def arg(name, default=""):
    return str(globals().get(name, default))


def load(path):
    layout = pya.Layout()
    layout.read(path)
    return layout


def find_top(layout, name):
    if name:
        for cell in layout.each_cell():
            if cell.name.upper() == name.upper():
                return cell
        return None
    tops = list(layout.top_cells())
    return tops[0] if len(tops) == 1 else None


def instances(layout, cell):
    out = []
    for inst in cell.each_inst():
        ci = inst.cell_inst
        name = layout.cell(ci.cell_index).name.upper()
        for t in ci.each_cplx_trans():
            d = t.disp
            out.append((name, round(t.angle, 6) % 360, t.is_mirror(), round(t.mag, 9),
                        int(round(d.x)), int(round(d.y))))
    return sorted(out)


def layer_numbers(layout):
    return sorted({layout.get_info(li).layer for li in layout.layer_indexes()})


def region(layout, top, number):
    r = pya.Region()
    for li in layout.layer_indexes():
        if layout.get_info(li).layer == number:
            r.insert(top.begin_shapes_rec(li))
    r.merge()
    return r


def texts(layout, top, number, split_lines):
    out = []
    for li in layout.layer_indexes():
        if layout.get_info(li).layer != number:
            continue
        it = top.begin_shapes_rec(li)
        while not it.at_end():
            shape = it.shape()
            if shape.is_text():
                t = shape.text.transformed(it.trans())
                tr = t.trans
                lines = t.string.replace("\r\n", "\n").replace("\r", "\n").split("\n")
                if not split_lines or len(lines) == 1:
                    lines = [t.string]
                for i, s in enumerate(lines):
                    # Lines after the first: their spacing depends on the text size in B.
                    out.append((s, tr.disp.x, tr.disp.y if i == 0 else None, tr.angle, tr.is_mirror()))
            it.next()
    return out


def same_texts(xa, xb):
    """Every text of A in B and nothing more; a y of None in A matches any y."""
    rest = list(xb)
    for a in sorted(xa, key=lambda t: t[2] is None):
        match = next((b for b in rest if b[0] == a[0] and b[1] == a[1] and b[3:] == a[3:] and
                      (a[2] is None or a[2] == b[2])), None)
        if match is None:
            return False
        rest.remove(match)
    return not rest


def path_ends(layout, top, number):
    """Squares around the ends of every path on a layer, as big as the path is wide."""
    r = pya.Region()
    for li in layout.layer_indexes():
        if layout.get_info(li).layer != number:
            continue
        it = top.begin_shapes_rec(li)
        while not it.at_end():
            shape = it.shape()
            if shape.is_path():
                p = shape.path.transformed(it.trans())
                pts = list(p.each_point())
                w = max(p.width, 1)
                for q in (pts[0], pts[-1]):
                    r.insert(pya.Box(q.x - w, q.y - w, q.x + w, q.y + w))
            it.next()
    return r


def main():
    la, lb = load(arg("a")), load(arg("b"))
    problems = []
    if abs(la.dbu - lb.dbu) > 1e-12:
        problems.append("database units differ: %g %g" % (la.dbu, lb.dbu))
    ta, tb = find_top(la, arg("top")), find_top(lb, arg("top"))
    if ta is None or tb is None:
        print("top cell not found")
        sys.exit(1)
    loose = {int(x) for x in arg("loose_layers").split(",") if x}
    split_lines = arg("split_lines") == "1"

    if arg("hierarchy", "1") != "0":
        names_a = {la.cell(i).name.upper(): la.cell(i) for i in ta.called_cells()}
        names_b = {lb.cell(i).name.upper(): lb.cell(i) for i in tb.called_cells()}
        names_a[ta.name.upper()] = ta
        names_b[tb.name.upper()] = tb
        if sorted(names_a) != sorted(names_b):
            problems.append("cells differ: %s / %s" % (sorted(names_a), sorted(names_b)))
        for name in sorted(set(names_a) & set(names_b)):
            ia, ib = instances(la, names_a[name]), instances(lb, names_b[name])
            if ia != ib:
                problems.append("instances of %s differ:\n  %s\n  %s" % (name, ia, ib))

    lo, _, hi = arg("layers").partition("-")
    for number in sorted(set(layer_numbers(la)) | set(layer_numbers(lb))):
        if lo and not int(lo) <= number <= int(hi or lo):
            continue
        ra, rb = region(la, ta, number), region(lb, tb, number)
        xor = ra ^ rb
        if number in loose:
            xor -= path_ends(la, ta, number)
        if not xor.is_empty():
            problems.append("layer %d: XOR not empty, %d polygons, area %d, first %s" %
                            (number, xor.count(), xor.area(), next(iter(xor.each()))))
        xa = texts(la, ta, number, split_lines)
        xb = texts(lb, tb, number, False)
        if not same_texts(xa, xb):
            problems.append("texts on layer %d differ:\n  %s\n  %s" % (number, sorted(xa, key=str),
                                                                      sorted(xb, key=str)))

    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print("same layout")


main()
