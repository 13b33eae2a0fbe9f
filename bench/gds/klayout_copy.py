# Reads a GDSII file and writes it again: klayout -b -r klayout_copy.py -rd src=IN -rd dst=OUT
import pya

layout = pya.Layout()
layout.read(str(globals()["src"]))
layout.write(str(globals()["dst"]))
