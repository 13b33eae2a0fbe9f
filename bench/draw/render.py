# Renders a GDSII file in klayout's own layout view and writes how long each render took: the view
# shows the whole hierarchy with grid and texts hidden, fitted, and every render follows a zoom to a
# box 0.1% or 0.2% larger than the fit (by turns), so that the view has changed and is drawn anew.
# Run as:
#   klayout -b -r render.py -rd gds=IN.gds -rd w=702 -rd h=711 -rd views=200 -rd times=TIMES.txt
#           [-rd png=OUT.png]
# TIMES.txt: the load time, then the time of every render, in seconds.
import time

import pya

t0 = time.perf_counter()
view = pya.LayoutView()
view.set_config('grid-visible', 'false')
view.set_config('text-visible', 'false')
view.load_layout(gds, True)
view.max_hier()
view.zoom_fit()
load = time.perf_counter() - t0
fit = view.box()
renders = []
image = None
for i in range(int(views)):
    f = 0.0005 if i % 2 == 0 else 0.001  # each side, so the box is 0.1% or 0.2% larger
    dx, dy = fit.width() * f, fit.height() * f
    view.zoom_box(pya.DBox(fit.left - dx, fit.bottom - dy, fit.right + dx, fit.top + dy))
    s = time.perf_counter()
    image = view.get_image(int(w), int(h))
    renders.append(time.perf_counter() - s)
try:
    if image is not None and png:
        image.save(png)
except NameError:
    pass
with open(times, 'w') as out:
    out.write('%f %s\n' % (load, ' '.join('%f' % r for r in renders)))
