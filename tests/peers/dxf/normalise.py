# Reads a layout (DXF with klayout's own reader, or GDSII) and writes it as GDSII with numbered
# layers, so that the GDSII converters' layout comparison can take it. Run as:
#   klayout -b -r normalise.py -rd src=IN -rd gds=OUT.GDS -rd layers=KEY=N,KEY=N [-rd texts=0]
# A DXF layer's key is its name, a GDSII layer's its number; layers without a key are dropped, and
# with texts=0 so are the texts. One DXF drawing unit is one micrometre; the database unit is 1 nm.
# Prints the area of each layer written, flattened from the top cell, as "area N A".
import sys

import pya


def arg(name, default=""):
    return str(globals().get(name, default))


def main():
    numbers = {}
    for pair in arg("layers").split(","):
        if pair:
            key, number = pair.rsplit("=", 1)
            numbers[key.upper()] = int(number)
    options = pya.LoadLayoutOptions()
    options.dxf_dbu = 0.001
    options.dxf_unit = 1.0
    options.dxf_polyline_mode = 2  # closed polylines without width are polygons
    layout = pya.Layout()
    layout.read(arg("src"), options)
    out = pya.Layout()
    out.dbu = layout.dbu
    cells = {c.cell_index(): out.create_cell(c.name) for c in layout.each_cell()}
    targets = {}
    for li in layout.layer_indexes():
        info = layout.get_info(li)
        key = (info.name or str(info.layer)).upper()
        if key in numbers:
            targets[li] = out.layer(pya.LayerInfo(numbers[key], 0))
    for cell in layout.each_cell():
        target = cells[cell.cell_index()]
        for inst in cell.each_inst():
            ci = inst.cell_inst.dup()
            ci.cell_index = cells[ci.cell_index].cell_index()
            target.insert(ci)
        for li, lo in targets.items():
            for shape in cell.shapes(li).each():
                if shape.is_text() and arg("texts", "1") == "0":
                    continue
                target.shapes(lo).insert(shape)
    out.write(arg("gds"))
    tops = list(out.top_cells())
    top = next((c for c in tops if c.name.upper() == "TOP"), tops[0] if tops else None)
    for li in out.layer_indexes():
        region = pya.Region(top.begin_shapes_rec(li)) if top else pya.Region()
        region.merge()
        print("area %d %d" % (out.get_info(li).layer, region.area()))


main()
sys.exit(0)
