# Renders a GDSII file to a PNG of the given size, the whole hierarchy shown, and writes how long
# loading and rendering took. Run as:
#   klayout -b -r render.py -rd gds=IN.gds -rd png=OUT.png -rd w=1920 -rd h=1080
#           -rd box=left,bottom,right,top -rd times=TIMES.txt
import time

import pya

t0 = time.perf_counter()
view = pya.LayoutView()
view.load_layout(gds, True)
view.max_hier()
l, b, r, t = (float(v) / 1000 for v in box.split(','))
view.zoom_box(pya.DBox(l, b, r, t))
t1 = time.perf_counter()
view.save_image(png, int(w), int(h))
t2 = time.perf_counter()
view.save_image(png, int(w), int(h))
t3 = time.perf_counter()
with open(times, 'w') as f:
    f.write('%f %f %f\n' % (t1 - t0, t2 - t1, t3 - t2))
