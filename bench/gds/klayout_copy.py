# Reads a GDSII file and writes it again, and writes how long reading and writing took (its own work,
# without the start-up of the program):
#   klayout -b -r klayout_copy.py -rd src=IN -rd dst=OUT -rd times=TIMES.txt
import time

import pya

t0 = time.perf_counter()
layout = pya.Layout()
layout.read(str(globals()["src"]))
t1 = time.perf_counter()
layout.write(str(globals()["dst"]))
t2 = time.perf_counter()
if "times" in globals():
    with open(str(globals()["times"]), "w") as f:
        f.write("%f %f\n" % (t1 - t0, t2 - t1))
