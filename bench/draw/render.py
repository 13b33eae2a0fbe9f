# Renders a GDSII file to PNGs of the given size, the whole hierarchy shown, and writes how long
# loading and rendering took: the first image at the given window, then `views` images each after
# a zoom by 0.1% (what a view change costs). Run as:
#   klayout -b -r render.py -rd gds=IN.gds -rd png=OUT.png -rd w=702 -rd h=711
#           -rd box=left,bottom,right,top -rd views=7 -rd times=TIMES.txt
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
changed = []
for i in range(int(views)):
    # in and out again by turns, so the window stays the one the editor draws
    f = 0.0005 if i % 2 == 0 else -0.0005
    dx, dy = (r - l) * f, (t - b) * f
    l, b, r, t = l + dx, b + dy, r - dx, t - dy
    view.zoom_box(pya.DBox(l, b, r, t))
    s = time.perf_counter()
    view.save_image(png, int(w), int(h))
    changed.append(time.perf_counter() - s)
with open(times, 'w') as f:
    f.write('%f %f %s\n' % (t1 - t0, t2 - t1, ' '.join('%f' % c for c in changed)))
