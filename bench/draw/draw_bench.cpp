// Full redraws at Fit of generated layouts in a 702 x 711 drawing rectangle: a hierarchy of 10,000
// leaf instances in every orientation holding 250,000 boxes, and a flat cell of 250,000 boxes.
//
// Ours is the editor as a user runs it: build/MERO6/wmero headless in scripted mode in a drawing
// folder holding the layouts, Fit, then N Draw commands; the time of a run with N redraws less that
// of a run with none, divided by N (medians of three runs each). Beside it, in the same run,
// klayout's own layout view renders the same layouts written as GDSII by gdspy: grid and texts
// hidden, the whole hierarchy, fitted, each render after a zoom to a box 0.1% or 0.2% larger than
// the fit; its figure is the median of its renders. Both and their ratio are printed; the engine's
// redraw timed inside this process comes first, for profiling.
//
// MERO_BENCH_REDRAWS=N: the editor's redraws per run (100). MERO_BENCH_RENDERS=N: klayout's renders
// (200). MERO_BENCH_RUNS=N: redraws of the engine in this process (7). MERO_BENCH_NO_PEER=1: no
// klayout. MERO_BENCH_ENGINE_ONLY=1: neither the editor nor klayout (for profiling the engine).
// MERO_BENCH_ONLY=hier or flat: that layout alone. MERO_BENCH_KEEP=1: the pictures (engine, editor, klayout) go to /tmp/mero-draw-bench, the drawing
// folder with its scripts to /tmp/mero-draw-bench/folder.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/measure.h"
#include "editor/db/cell_index.h"
#include "editor/db/form_file.h"
#include "editor/db/settings.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/tests/layouts.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/png.h"

namespace {

using drawtest::Box;
using drawtest::Cell;
using drawtest::Path;
using drawtest::Ref;

// The same cell as lines of the layout description the GDSII writer reads.
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

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of this thread or of the whole process, in ms: steadier than the wall on a busy machine.
double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int EnvCount(const char* name, int fallback) {
  const char* v = std::getenv(name);
  const int n = v ? std::atoi(v) : fallback;
  return n >= 1 ? n : fallback;
}

bool SameDrawingArea(const gfx::Surface& a, const gfx::Surface& b, const draw::DrawingArea& area) {
  if (a.width != b.width || a.height != b.height) return false;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if ((a.Row(y)[x] & 0xFFFFFFu) != (b.Row(y)[x] & 0xFFFFFFu)) return false;
  return true;
}

// The folder's index, settings and form file, so that the editor opens it as a drawing folder.
bool WriteDrawingFolder(drawtest::Folder& f) {
  db::Settings s = f.d.settings;
  s.layerSelectionByTable = 0;  // the rank's layer list, 1-64, not the form file's rows
  s.modeWord &= ~draw::kModeOrigin;  // the origin mark is the editor's, not the engine's
  return db::WriteCellIndexFile(f.d.index, db::kCellIndexFile) == 1 && db::WriteSettingsFile(s) == 1 &&
         db::WriteDefaultFormFile() == 1;
}

// Median wall time of the editor's run with `redraws` Draw commands after Fit, in ms; < 0 failed.
double EditorRun(const std::string& work, const std::string& cell, int redraws, int runs, const std::string& shot) {
  const std::string script = work + "/redraws-" + std::to_string(redraws) + ".txt";
  {
    std::ofstream out(script);
    out << "wait\ncommand 22\nwait\n";
    if (!shot.empty()) out << "snapshot " << shot << "\n";
    for (int i = 0; i < redraws; ++i) out << "command 27\nwait\n";
    out << "quit\n";
  }
  setenv("MERO_SCRIPT", script.c_str(), 1);
  setenv("MERO_LOG", (work + "/editor.log").c_str(), 1);
  std::fflush(stdout);  // a child must not print what is waiting here
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const bench::ChildRun run = bench::RunChild({MERO_SUITE_DIR "/wmero", cell}, work, work + "/editor.err");
    if (run.status != 0) return -1;
    times.push_back(run.seconds * 1000);
  }
  return Median(times);
}

struct Figures {
  double ours = 0;  // ms per redraw, 0 when not measured
  double peer = 0;
};

void Compare(const char* title, drawtest::Folder& f, const std::string& cell, const std::string& work,
             const std::string& layoutFile, const std::string& source) {
  std::printf("%s\n", title);
  f.Open(cell);
  db::Database& d = f.d;
  draw::ViewState view;
  draw::LayerMasks masks;
  drawtest::FitView(view, d, d.current.row);
  gfx::Surface surface(drawtest::kClientWidth, drawtest::kClientHeight);
  gfx::Canvas canvas(surface);
  draw::Engine engine(d, view, masks);
  engine.canvas = &canvas;
  const int engineRuns = EnvCount("MERO_BENCH_RUNS", 7);
  std::vector<double> times, own, all;
  for (int i = 0; i < engineRuns; ++i) {
    std::fill(surface.pixels.begin(), surface.pixels.end(), 0u);
    const double own0 = CpuMs(CLOCK_THREAD_CPUTIME_ID), all0 = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    const auto t0 = std::chrono::steady_clock::now();
    draw::Redraw(engine, 0);
    times.push_back(Ms(std::chrono::steady_clock::now() - t0));
    own.push_back(CpuMs(CLOCK_THREAD_CPUTIME_ID) - own0);
    all.push_back(CpuMs(CLOCK_PROCESS_CPUTIME_ID) - all0);
  }
  const std::string picture = work + "/" + cell + "-engine.png";
  gfx::SavePng(picture, surface);
  std::printf("  engine redraw in this process %8.2f ms median of %d (best %.2f; CPU %.2f ms on its thread, %.2f on "
              "all)\n",
              Median(times), engineRuns, *std::min_element(times.begin(), times.end()), Median(own), Median(all));
  if (std::getenv("MERO_BENCH_ENGINE_ONLY")) return;

  Figures fig;
  const int redraws = EnvCount("MERO_BENCH_REDRAWS", 100);
  const std::string shot = cell + "-editor.png";
  const double none = EditorRun(work, cell, 0, 3, shot);
  const double many = none < 0 ? -1 : EditorRun(work, cell, redraws, 3, "");
  if (many < 0) {
    std::printf("  the editor did not run (see %s/editor.log)\n", work.c_str());
  } else {
    fig.ours = (many - none) / redraws;
    gfx::Surface editor;
    const bool same = gfx::LoadPng(work + "/" + shot, editor) == 1 && SameDrawingArea(editor, surface, view.area);
    std::printf("  ours: the editor's Draw        %8.2f ms a redraw (%d redraws %.0f ms, none %.0f ms, medians of 3)%s\n",
                fig.ours, redraws, many, none, same ? "" : "  PICTURE DIFFERS FROM THE ENGINE'S");
  }

  if (!std::getenv("MERO_BENCH_NO_PEER")) {
    const std::string gds = work + "/" + cell + ".gds";
    const std::string timesFile = work + "/" + cell + "-times.txt";
    std::fflush(stdout);
    std::string cmd = "/usr/bin/python3 " + source + "/write_gds.py " + layoutFile + " " + gds;
    if (std::system(cmd.c_str()) != 0) {
      std::printf("  gdspy could not write the layout\n");
    } else {
      const int renders = EnvCount("MERO_BENCH_RENDERS", 200);
      cmd = "klayout -b -r " + source + "/render.py -rd gds=" + gds + " -rd png=" + work + "/" + cell +
            "-klayout.png -rd w=" + std::to_string(view.area.right - view.area.left) +
            " -rd h=" + std::to_string(view.area.bottom - view.area.top) + " -rd views=" + std::to_string(renders) +
            " -rd times=" + timesFile + " >/dev/null 2>&1";
      const int rc = std::system(cmd.c_str());
      double load = 0;
      std::vector<double> changed;
      std::ifstream in(timesFile);
      if (rc == 0 && in >> load)
        for (double t; in >> t;) changed.push_back(t * 1000);
      if (changed.empty()) {
        std::printf("  klayout did not run\n");
      } else {
        fig.peer = Median(changed);
        std::printf("  klayout's render               %8.2f ms median of %zu (best %.2f, first %.2f; load %.0f ms)\n",
                    fig.peer, changed.size(), *std::min_element(changed.begin(), changed.end()), changed.front(),
                    load * 1000);
      }
    }
  }
  if (fig.ours > 0 && fig.peer > 0) std::printf("  ratio ours / klayout: %.2f\n", fig.ours / fig.peer);
}

}  // namespace

int main() {
  drawtest::Folder f;
  const std::string work = f.root + "/Work";
  const std::string source = std::string(MERO_SOURCE_DIR) + "/bench/draw";
  drawtest::LayoutColours(f.d.settings);
  {
    std::ofstream layout(work + "/hier.txt");
    for (const Cell& c : drawtest::HierarchyLayout()) Add(f, c, layout);
  }
  {
    std::ofstream layout(work + "/flat.txt");
    Add(f, drawtest::FlatLayout(), layout);
  }
  if (!WriteDrawingFolder(f)) {
    std::printf("the drawing folder could not be written\n");
    return 1;
  }
  // the editor headless; its single-instance lock in the folder, so that editors run meanwhile
  // elsewhere do not count
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_RUNTIME_DIR", work.c_str(), 1);
  std::printf("%u cores\n", std::thread::hardware_concurrency());
  const char* only = std::getenv("MERO_BENCH_ONLY");
  const std::string which = only ? only : "";
  if (which.empty() || which == "hier")
    Compare("hierarchy: 10,100 instances in 3 levels, every orientation (10,000 leaf cells of 25 boxes and 4 paths), "
          "702 x 711",
          f, "TOP", work, work + "/hier.txt", source);
  if (which.empty() || which == "flat")
    Compare("flat: 250,000 boxes on 64 layers, 702 x 711", f, "FLAT", work, work + "/flat.txt", source);
  if (std::getenv("MERO_BENCH_KEEP")) {
    const std::string keep = "/tmp/mero-draw-bench";
    std::filesystem::create_directories(keep);
    std::filesystem::remove_all(keep + "/folder");
    std::filesystem::copy(work, keep + "/folder", std::filesystem::copy_options::recursive);
    for (const auto& entry : std::filesystem::directory_iterator(work))
      if (entry.path().extension() == ".png")
        std::filesystem::copy_file(entry.path(), keep + "/" + entry.path().filename().string(),
                                   std::filesystem::copy_options::overwrite_existing);
    std::printf("pictures in %s, the drawing folder in %s/folder\n", keep.c_str(), keep.c_str());
  }
  return 0;
}
