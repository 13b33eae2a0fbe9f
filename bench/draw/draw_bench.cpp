// Full redraws of generated layouts into a 1920 x 1080 surface: a hierarchy of 10,100 instances
// and a flat cell of 256,000 boxes. In the same run the same layouts, written as GDSII by gdspy,
// are rendered by klayout in batch mode to an image of the same size and window; both times and
// their ratio are printed. With MERO_BENCH_KEEP=1 both pictures of each go to /tmp/mero-draw-bench.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/db/extent.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/tests/fixture.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/png.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

using drawtest::Box;
using drawtest::Cell;
using drawtest::Path;
using drawtest::Ref;

// The same cell as a line of the layout description the GDSII writer reads.
void Describe(const Cell& c, std::ofstream& layout) {
  layout << "CELL " << c.name << "\n";
  for (const Box& b : c.boxes)
    layout << "B " << b.layer << ' ' << b.left << ' ' << b.bottom << ' ' << b.right << ' ' << b.top << "\n";
  for (const Path& p : c.paths) {
    layout << "P " << p.layer << ' ' << p.width;
    for (const auto& [x, y] : p.points) layout << ' ' << x << ' ' << y;
    layout << "\n";
  }
  for (const Ref& r : c.refs) layout << "R " << r.cell << ' ' << r.orientation << ' ' << r.x << ' ' << r.y << "\n";
}

void Add(drawtest::Folder& f, const Cell& c, std::ofstream& layout) {
  f.Add(c);
  Describe(c, layout);
}

// LEAF: 20 boxes on 8 layers, 3 wide paths and a polygon; MID: 100 LEAFs in all 8 orientations;
// TOP: 100 MIDs likewise. Fitted to the screen a LEAF is some 15 pixels wide; its boxes are made
// just long enough (a thousandth of the view) to be drawn rather than skipped as too small.
void MakeHierarchy(drawtest::Folder& f, std::ofstream& layout) {
  Cell leaf{"LEAF", 1, {}, {}, {}, {}};
  for (int i = 0; i < 20; ++i) {
    const std::int32_t x = 40 * (i % 5) * 4, y = 150 * (i / 5);
    leaf.boxes.push_back({1 + i % 8, x, y, x + 300 + 10 * (i % 3), y + 100});
  }
  for (int i = 0; i < 3; ++i)
    leaf.paths.push_back({9 + i, 30 - 60 * (i % 2), {{0, 650 + 40 * i}, {300, 650 + 40 * i}, {300 + 80 * i, 780}}});
  leaf.paths.push_back({12, 0, {{600, 0}, {760, 0}, {760, 500}, {680, 600}, {600, 0}}});
  Add(f, leaf, layout);
  Cell mid{"MID", 2, {{13, -100, -100, 10000, 0}, {14, -100, 0, 0, 10000}}, {}, {}, {}};
  for (int i = 0; i < 100; ++i)
    mid.refs.push_back({"LEAF", i % 8, 1000 * (i % 10) + 400, 1000 * (i / 10) + 400});
  Add(f, mid, layout);
  Cell top{"TOP", 3, {{15, 0, -400, 120000, -300}}, {}, {}, {}};
  for (int j = 0; j < 100; ++j)
    top.refs.push_back({"MID", (j * 3) % 8, 12000 * (j % 10) + 6000, 12000 * (j / 10) + 6000});
  Add(f, top, layout);
}

void MakeFlat(drawtest::Folder& f, std::ofstream& layout) {
  Cell flat{"FLAT", 1, {}, {}, {}, {}};
  flat.boxes.reserve(256000);
  for (int i = 0; i < 256000; ++i) {
    const std::int32_t x = 100 * (i % 512), y = 100 * (i / 512);
    // long enough to be drawn at the fitted view, so they overlap their neighbours
    flat.boxes.push_back({1 + (i * 7) % 64, x, y, x + 150 + (i % 3) * 10, y + 60});
  }
  Add(f, flat, layout);
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Result {
  double median = 0;
  double best = 0;
};

Result TimeRedraws(draw::Engine& e, gfx::Surface& surface, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    std::fill(surface.pixels.begin(), surface.pixels.end(), 0u);
    const auto t0 = std::chrono::steady_clock::now();
    draw::Redraw(e, 0);
    times.push_back(Ms(std::chrono::steady_clock::now() - t0));
  }
  std::sort(times.begin(), times.end());
  return Result{times[times.size() / 2], times.front()};
}

void Compare(const char* title, drawtest::Folder& f, const std::string& cell, const std::string& work,
             const std::string& layoutFile, const std::string& source) {
  f.Open(cell);
  db::Database& d = f.d;
  const int row = d.current.row;
  draw::ViewState view;
  draw::LayerMasks masks;
  draw::SetDrawingArea(view, draw::DrawingArea{0, 0, kWidth, kHeight});
  const db::CellIndexEntry& e = d.index.rows[std::size_t(row)];
  const db::ViewFit fit = db::FitViewToExtent(db::Extent{e.left, e.bottom, e.right, e.top}, view.ratio);
  view.width = fit.width;
  view.centreX = fit.centreX;
  view.centreY = fit.centreY;
  draw::NormalizeView(view, d.settings);
  gfx::Surface surface(kWidth, kHeight);
  gfx::Canvas canvas(surface);
  draw::Engine engine(d, view, masks);
  engine.canvas = &canvas;
  const Result mero = TimeRedraws(engine, surface, 7);
  gfx::SavePng(work + "/" + e.name + "-mero.png", surface);

  const std::string gds = work + "/" + e.name + ".gds";
  const std::string times = work + "/" + e.name + "-times.txt";
  std::string cmd = "/usr/bin/python3 " + source + "/write_gds.py " + layoutFile + " " + gds;
  if (std::system(cmd.c_str()) != 0) {
    std::printf("%s: mero %.1f ms (best %.1f); gdspy could not write the layout\n", title, mero.median, mero.best);
    return;
  }
  char box[160];
  std::snprintf(box, sizeof box, "%d,%d,%d,%d", view.left, view.bottom, view.right, view.top);
  cmd = "klayout -b -r " + source + "/render.py -rd gds=" + gds + " -rd png=" + work + "/" + e.name +
        "-klayout.png -rd w=" + std::to_string(kWidth) + " -rd h=" + std::to_string(kHeight) +
        " -rd box=" + box + " -rd times=" + times + " >/dev/null 2>&1";
  const auto t0 = std::chrono::steady_clock::now();
  const int rc = std::system(cmd.c_str());
  const double process = Ms(std::chrono::steady_clock::now() - t0);
  double load = 0, first = 0, second = 0;
  std::ifstream in(times);
  if (rc != 0 || !(in >> load >> first >> second)) {
    std::printf("%s: mero %.1f ms (best %.1f); klayout did not run\n", title, mero.median, mero.best);
    return;
  }
  const double render = std::min(first, second) * 1000;
  std::printf("%s\n", title);
  std::printf("  mero redraw    %8.1f ms median of 7 (best %.1f)\n", mero.median, mero.best);
  std::printf("  klayout render %8.1f ms (first %.1f, second %.1f; load %.1f; whole process %.0f)\n", render,
              first * 1000, second * 1000, load * 1000, process);
  std::printf("  ratio klayout / mero: %.2f\n", render / mero.median);
}

}  // namespace

int main() {
  drawtest::Folder f;
  const std::string work = f.root + "/Work";
  const std::string source = std::string(MERO_SOURCE_DIR) + "/bench/draw";
  for (int l = 0; l < 64; ++l) {
    f.d.settings.layerFills[std::size_t(l)] = 1 + l % 12;
    f.d.settings.layerPalette[std::size_t(l)] = 9 + l % 12;
  }
  {
    std::ofstream layout(work + "/hier.txt");
    MakeHierarchy(f, layout);
  }
  {
    std::ofstream layout(work + "/flat.txt");
    MakeFlat(f, layout);
  }
  Compare("hierarchy: 10,100 instances in 3 levels (10,000 leaf cells of 24 objects), 1920 x 1080", f, "TOP", work,
          work + "/hier.txt", source);
  Compare("flat: 256,000 boxes on 64 layers, 1920 x 1080", f, "FLAT", work, work + "/flat.txt", source);
  if (std::getenv("MERO_BENCH_KEEP")) {
    const std::string keep = "/tmp/mero-draw-bench";
    std::filesystem::create_directories(keep);
    for (const auto& entry : std::filesystem::directory_iterator(work))
      if (entry.path().extension() == ".png")
        std::filesystem::copy_file(entry.path(), keep + "/" + entry.path().filename().string(),
                                   std::filesystem::copy_options::overwrite_existing);
    std::printf("pictures in %s\n", keep.c_str());
  }
  return 0;
}
