// Full redraws at Fit of generated layouts into a 702 x 711 drawing rectangle: a hierarchy of 10,000
// leaf instances in every orientation holding 250,000 boxes, and a flat cell of 250,000 boxes. In
// the same run the same layouts, written as GDSII by gdspy, are rendered by klayout in batch mode to
// an image of the same size and window, timed inside klayout after a zoom by 0.1% (a changed view,
// not its start-up); both times and their ratio are printed.
// MERO_BENCH_KEEP=1: both pictures of each go to /tmp/mero-draw-bench. MERO_BENCH_RUNS=n: n redraws
// (7). MERO_BENCH_NO_PEER=1: the editor only (for profiling).
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

constexpr int kWidth = 702;  // the drawing rectangle
constexpr int kHeight = 711;

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

// LEAF: 25 boxes on 8 layers, 3 wide paths and a polygon; MID: 100 LEAFs in all 8 orientations;
// TOP: 100 MIDs likewise. Fitted to the screen a LEAF is some 5 pixels wide; its boxes are made
// long enough (more than a thousandth of the view) to be drawn rather than skipped as too small.
void MakeHierarchy(drawtest::Folder& f, std::ofstream& layout) {
  Cell leaf{"LEAF", 1, {}, {}, {}, {}};
  for (int i = 0; i < 25; ++i) {
    const std::int32_t x = 40 * (i % 5) * 4, y = 130 * (i / 5);
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
  flat.boxes.reserve(250000);
  for (int i = 0; i < 250000; ++i) {
    const std::int32_t x = 100 * (i % 500), y = 100 * (i / 500);
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

Result Summary(std::vector<double> times) {
  if (times.empty()) return Result{};
  std::sort(times.begin(), times.end());
  return Result{times[times.size() / 2], times.front()};
}

int Runs() {
  const char* v = std::getenv("MERO_BENCH_RUNS");
  const int n = v ? std::atoi(v) : 7;
  return n >= 1 ? n : 7;
}

Result TimeRedraws(draw::Engine& e, gfx::Surface& surface, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    std::fill(surface.pixels.begin(), surface.pixels.end(), 0u);
    const auto t0 = std::chrono::steady_clock::now();
    draw::Redraw(e, 0);
    times.push_back(Ms(std::chrono::steady_clock::now() - t0));
  }
  return Summary(times);
}

void Compare(const char* title, drawtest::Folder& f, const std::string& cell, const std::string& work,
             const std::string& layoutFile, const std::string& source) {
  f.Open(cell);
  db::Database& d = f.d;
  const int row = d.current.row;
  draw::ViewState view;
  draw::LayerMasks masks;
  // the editor's client area around a drawing rectangle of kWidth x kHeight
  const draw::DrawingArea area = draw::LayoutDrawingArea(kWidth + 94, kHeight + 66);
  draw::SetDrawingArea(view, area);
  const db::CellIndexEntry& e = d.index.rows[std::size_t(row)];
  const db::ViewFit fit = db::FitViewToExtent(db::Extent{e.left, e.bottom, e.right, e.top}, view.ratio);
  view.width = fit.width;
  view.centreX = fit.centreX;
  view.centreY = fit.centreY;
  draw::NormalizeView(view, d.settings);
  gfx::Surface surface(kWidth + 94, kHeight + 66);
  gfx::Canvas canvas(surface);
  draw::Engine engine(d, view, masks);
  engine.canvas = &canvas;
  const int runs = Runs();
  const Result mero = TimeRedraws(engine, surface, runs);
  gfx::SavePng(work + "/" + e.name + "-mero.png", surface);
  std::printf("%s\n", title);
  std::printf("  mero redraw    %8.1f ms median of %d (best %.1f)\n", mero.median, runs, mero.best);
  if (std::getenv("MERO_BENCH_NO_PEER")) return;

  const std::string gds = work + "/" + e.name + ".gds";
  const std::string times = work + "/" + e.name + "-times.txt";
  std::string cmd = "/usr/bin/python3 " + source + "/write_gds.py " + layoutFile + " " + gds;
  if (std::system(cmd.c_str()) != 0) {
    std::printf("  gdspy could not write the layout\n");
    return;
  }
  char box[160];
  std::snprintf(box, sizeof box, "%d,%d,%d,%d", view.left, view.bottom, view.right, view.top);
  cmd = "klayout -b -r " + source + "/render.py -rd gds=" + gds + " -rd png=" + work + "/" + e.name +
        "-klayout.png -rd w=" + std::to_string(kWidth) + " -rd h=" + std::to_string(kHeight) +
        " -rd box=" + box + " -rd views=" + std::to_string(runs) + " -rd times=" + times + " >/dev/null 2>&1";
  const auto t0 = std::chrono::steady_clock::now();
  const int rc = std::system(cmd.c_str());
  const double process = Ms(std::chrono::steady_clock::now() - t0);
  double load = 0, first = 0;
  std::vector<double> changed;
  std::ifstream in(times);
  if (rc == 0 && in >> load >> first)
    for (double t; in >> t;) changed.push_back(t * 1000);
  if (changed.empty()) {
    std::printf("  klayout did not run\n");
    return;
  }
  const Result peer = Summary(changed);
  std::printf("  klayout render %8.1f ms median of %zu changed views (best %.1f; first image %.1f; load %.1f; "
              "whole process %.0f)\n",
              peer.median, changed.size(), peer.best, first * 1000, load * 1000, process);
  std::printf("  ratio mero / klayout: %.2f\n", mero.median / peer.median);
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
  Compare("hierarchy: 10,100 instances in 3 levels, every orientation (10,000 leaf cells of 25 boxes and 4 paths), "
          "702 x 711",
          f, "TOP", work, work + "/hier.txt", source);
  Compare("flat: 250,000 boxes on 64 layers, 702 x 711", f, "FLAT", work, work + "/flat.txt", source);
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
