"""A small drawing for the layer-logic checks, written as TLC files with FORM.DBD and CELLS.REF.

CHIP holds, on layers 1 and 2, boxes, wide paths with square and 45 degree turns and polygons with
slanted and acute edges, and on layers 3 and 4 only shapes whose edges run along x and y on whole
units. TOP places CHIP in all eight orientations over a strip of layer 2 and a box of layer 4, so
the result crosses several tiles at one unit a pixel. 20 database units to the micron.
"""
import os

SCALE = 20


class Cell:
    def __init__(self, name, rank):
        self.name, self.rank = name, rank
        self.refs, self.boxes, self.paths = [], [], []

    def box(self, layer, left, bottom, right, top):
        self.boxes.append((layer, left, bottom, right, top))

    def path(self, layer, width, points):
        self.paths.append((layer, width, points))

    def polygon(self, layer, points):
        self.paths.append((layer, 0, list(points) + [points[0]]))

    def ref(self, cell, x, y, orientation=0):
        self.refs.append((cell, orientation, x, y))

    def text(self):
        vertices = sum(len(p) for _, _, p in self.paths)
        lines = ["=H", self.name, "6.05", "6.05", str(SCALE), "um", "01/01/26", "12:00:00",
                 "%d 0 0 1 0" % self.rank,
                 "%d %d %d %d" % (len(self.boxes), len(self.paths), vertices, len(self.refs))]
        for cell, orientation, x, y in self.refs:
            lines += ["=C", cell, "%d %d %d 0" % (orientation, x, y)]
        for b in self.boxes:
            lines += ["=B", "%d %d %d %d %d" % b]
        for layer, width, points in self.paths:
            lines += ["=P", "%d %d %d" % (layer, width, len(points))]
            for i in range(0, len(points), 5):
                lines.append("".join("%d %d " % p for p in points[i:i + 5]))
        return "\r\n".join(lines) + "\r\n"


def cells():
    chip = Cell("CHIP", 1)
    chip.box(1, 0, 0, 400, 200)
    chip.box(1, 420, 0, 440, 200)            # a gap of one micron to the first box
    chip.path(1, 20, [(0, 300), (200, 500), (200, 700)])
    chip.polygon(1, [(500, 0), (700, 0), (500, 200)])
    chip.polygon(1, [(600, 300), (800, 320), (600, 340)])  # a sharp spike
    chip.path(2, 40, [(100, -100), (100, 300), (300, 300)])
    chip.path(2, -30, [(250, 100), (650, 100)])
    chip.polygon(2, [(300, 400), (500, 400), (500, 600), (400, 500), (300, 600)])
    chip.box(3, 0, 800, 300, 900)
    chip.box(3, 200, 850, 500, 1000)
    chip.path(3, 20, [(0, 1100), (400, 1100), (400, 1300)])
    chip.polygon(3, [(600, 800), (900, 800), (900, 1000), (800, 1000), (800, 900), (600, 900)])
    chip.box(4, 100, 870, 700, 880)
    chip.path(4, -40, [(700, 700), (700, 1200)])

    top = Cell("TOP", 2)
    for k in range(8):
        top.ref("CHIP", 1400 * (k % 4), 1600 * (k // 4), k)
    top.box(2, -200, 1400, 4800, 1460)
    top.box(4, 2000, 600, 2600, 2000)
    return [chip, top]


def write(folder):
    os.makedirs(folder, exist_ok=True)
    made = cells()
    for c in made:
        with open(os.path.join(folder, c.name + ".TLC"), "w", newline="") as f:
            f.write(c.text())
    with open(os.path.join(folder, "CELLS.REF"), "w", newline="") as f:
        f.write("%d\r\n" % len(made))
        for c in made:
            f.write("%s\r\n%d 0 0 1 0 0 0 0 0\r\n" % (c.name, c.rank))
    with open(os.path.join(folder, "FORM.DBD"), "w", newline="") as f:
        f.write("pool=\r\nlayer=a 1\r\nlayer=b 2\r\nlayer=c 3\r\nlayer=d 4\r\n")


def consts(folder, scale=SCALE, unit="um"):
    """The lines of CONSTS6.DBD the layer-logic program reads: version, scale and unit."""
    with open(os.path.join(folder, "CONSTS6.DBD"), "w", newline="") as f:
        f.write("6.05\r\n%s\r\n%s\r\n" % (scale, unit))


def setup_then_go(actions, answers=""):
    """A wmeroll script: SETUP with `actions` and OK, then Go with its completion box answered;
    `answers` are further queued answers (RNDOFF ...)."""
    return "answer SETUP %s press ok\n%scommand 12\nwait\nbox ok\ncommand 13\nwait\nquit\n" % (actions, answers)
