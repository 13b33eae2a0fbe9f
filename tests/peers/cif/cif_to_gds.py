# Reads a CIF file and writes its layout as GDSII with the CIF layer names turned into layer numbers,
# run as: klayout -b -r cif_to_gds.py -rd cif=IN.CIF -rd gds=OUT.gds -rd layers=CM1:1,CPG:2
import sys

import pya

numbers = {}
for pair in str(layers).split(","):
    name, number = pair.split(":")
    numbers[name.upper()] = int(number)

layout = pya.Layout()
layout.read(str(cif))
unknown = []
for li in layout.layer_indexes():
    info = layout.get_info(li)
    name = info.name.upper()
    if name not in numbers:
        unknown.append(name)
        continue
    layout.set_info(li, pya.LayerInfo(numbers[name], 0))
if unknown:
    print("layers not in the map: %s" % unknown)
    sys.exit(1)
layout.write(str(gds))
