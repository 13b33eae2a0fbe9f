# Reads a GDSII file and writes it again, and writes how long reading and writing took (its own work,
# without the start-up of the program), as wall time and as processor time:
#   klayout -b -r klayout_copy.py -rd src=IN -rd dst=OUT -rd times=TIMES.txt
import time

import pya

t0, c0 = time.perf_counter(), time.process_time()
layout = pya.Layout()
layout.read(str(globals()["src"]))
t1, c1 = time.perf_counter(), time.process_time()
layout.write(str(globals()["dst"]))
t2, c2 = time.perf_counter(), time.process_time()
if "times" in globals():
    with open(str(globals()["times"]), "w") as f:
        f.write("%f %f %f %f\n" % (t1 - t0, t2 - t1, c1 - c0, c2 - c1))
