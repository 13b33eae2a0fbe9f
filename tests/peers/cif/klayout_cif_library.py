# Writes one layout twice with klayout, as CIF for the importer and as GDSII to compare with, run as:
#   klayout -b -r klayout_cif_library.py -rd cif=OUT.CIF -rd gds=OUT.gds
# Arrays turned and mirrored, paths with flush, half-width and round ends and uneven extensions,
# polygons (one with a hole), boxes, texts, a hierarchy of 14 levels, all on a 1 nm grid. CIF
# texts carry no orientation: the texts are upright in their cells, on a layer of their own.
import pya

layout = pya.Layout()
layout.dbu = 0.001
NAMES = {1: "CM1", 2: "CPG", 3: "CAA", 4: "CMF", 6: "CWN", 7: "CVA", 0: "TXT"}


def layer(n):
    return layout.layer(n, 0)


def text(string, at):
    t = pya.Text(string, pya.Trans(at))
    t.halign = pya.Text.HAlignLeft
    t.valign = pya.Text.VAlignBottom
    return t


top = layout.create_cell("KTOP")
mid = layout.create_cell("KMID")
leaf = layout.create_cell("KLEAF")

leaf.shapes(layer(1)).insert(pya.Box(0, 0, 4000, 2000))
leaf.shapes(layer(2)).insert(pya.Polygon([pya.Point(0, 3000), pya.Point(3000, 3000),
                                          pya.Point(3000, 4000), pya.Point(1000, 4000),
                                          pya.Point(1000, 6000), pya.Point(0, 6000)]))
leaf.shapes(layer(3)).insert(pya.Path([pya.Point(5000, 0), pya.Point(5000, 3000),
                                       pya.Point(7000, 3000)], 200))
leaf.shapes(layer(0)).insert(text("kleaf", pya.Vector(500, 500)))

mid.shapes(layer(6)).insert(pya.Box(-1000, -1000, 60000, 30000))
for code in range(8):
    t = pya.Trans(code % 4, code >= 4, pya.Vector(20000 * (code % 4), 15000 * (code // 4)))
    mid.insert(pya.CellInstArray(leaf.cell_index(), t))
holed = pya.Polygon(pya.Box(0, 40000, 10000, 50000))
holed.insert_hole(pya.Box(2000, 42000, 8000, 48000))
mid.shapes(layer(2)).insert(holed)

top.insert(pya.CellInstArray(leaf.cell_index(), pya.Trans(pya.Vector(100000, 0)),
                             pya.Vector(10000, 0), pya.Vector(0, 8000), 3, 2))
top.insert(pya.CellInstArray(leaf.cell_index(), pya.Trans(1, False, pya.Vector(200000, 0)),
                             pya.Vector(0, 10000), pya.Vector(-8000, 0), 2, 3))
top.insert(pya.CellInstArray(leaf.cell_index(), pya.Trans(2, True, pya.Vector(300000, 0)),
                             pya.Vector(12000, 0), pya.Vector(0, 9000), 2, 2))
top.insert(pya.CellInstArray(mid.cell_index(), pya.Trans(pya.Vector(0, 100000))))
top.insert(pya.CellInstArray(mid.cell_index(), pya.Trans(3, True, pya.Vector(200000, 100000))))

line = [pya.Point(0, -20000), pya.Point(30000, -20000), pya.Point(30000, -40000)]
top.shapes(layer(3)).insert(pya.Path(line, 1000, 0, 0))           # flush
top.shapes(layer(4)).insert(pya.Path(line, 1000, 500, 500))       # half-width ends
top.shapes(layer(6)).insert(pya.Path(line, 1000, 300, 700))       # uneven ends
top.shapes(layer(7)).insert(pya.Path(line, 1000, 500, 500, True))  # round
top.shapes(layer(0)).insert(text("KTOP", pya.Vector(0, -12000)))

# A chain of 12 levels, each holding the next.
chain = [layout.create_cell("DEEP%02d" % i) for i in range(12)]
for i, cell in enumerate(chain):
    cell.shapes(layer(1)).insert(pya.Box(0, 0, 1000 * (i + 1), 1000))
    if i + 1 < len(chain):
        cell.insert(pya.CellInstArray(chain[i + 1].cell_index(), pya.Trans(pya.Vector(0, 2000))))
top.insert(pya.CellInstArray(chain[0].cell_index(), pya.Trans(pya.Vector(-100000, 0))))

layout.write(str(gds))
for li in layout.layer_indexes():
    layout.set_info(li, pya.LayerInfo(NAMES[layout.get_info(li).layer]))
options = pya.SaveLayoutOptions()
options.format = "CIF"
layout.write(str(cif), options)
