// The design-rule checker's hot paths: the scan fill by shape (boxes, 512-point polygons), the
// whole-map operators, the gauge and the expansion by span, and whole check runs (pauses taking no
// time, no windows) over generated drawings: 100,000 flat boxes, a 100 by 100 array of a three-level
// cell, and 20,000 slanted wide paths. Prints times, rates, areas, cell files read, and the peak
// memory.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "bench/common/measure.h"
#include "bench/drc/rule_layout.h"
#include "drc/check_run.h"
#include "drc/tests/drc_fixture.h"
#include "platform/tell/recorder.h"

namespace {

using bench::Clock;
using bench::PeakMegabytes;
using bench::Seconds;
using namespace drctest;

void Fill() {
  std::mt19937 rng(1);
  drc::BitMap m = NewMap();
  std::uniform_int_distribution<int> x(-20, 1040), y(-20, 660), size(2, 40);
  const int boxes = 100000;
  std::vector<std::vector<drc::PixelPoint>> shapes;
  for (int i = 0; i < boxes; ++i) {
    long long a = x(rng), b = y(rng), w = size(rng), h = size(rng);
    shapes.push_back({{a, b}, {a + w, b}, {a + w, b + h}, {a, b + h}, {a, b}});
  }
  auto t0 = Clock::now();
  for (auto& s : shapes) drc::FillPolygon(m, s, true);
  double t = Seconds(t0);
  std::printf("fill: %d boxes in %.3f s, %.2f us a box\n", boxes, t, 1e6 * t / boxes);

  // Stars of 512 points, 300 pixels across, partly off the map.
  shapes.clear();
  const int stars = 2000;
  for (int i = 0; i < stars; ++i) {
    std::vector<drc::PixelPoint> star;
    const double cx = x(rng), cy = y(rng);
    for (int k = 0; k < 511; ++k) {
      const double r = k % 2 ? 150 : 60, a = 2 * M_PI * k / 511;
      star.push_back({std::llround(cx + r * std::cos(a)), std::llround(cy + r * std::sin(a))});
    }
    star.push_back(star.front());
    shapes.push_back(star);
  }
  t0 = Clock::now();
  for (auto& s : shapes) drc::FillPolygon(m, s, true);
  t = Seconds(t0);
  std::printf("fill: %d polygons of 512 points in %.3f s, %.1f us a polygon\n", stars, t, 1e6 * t / stars);
}

drc::CheckMaps Scattered(int boxes) {
  drc::CheckMaps maps;
  if (!maps.Allocate()) std::abort();
  std::mt19937 rng(2);
  std::uniform_int_distribution<int> x(0, 1000), y(0, 620), size(3, 25);
  for (int i = 0; i < boxes; ++i) {
    const int a = x(rng), b = y(rng), w = size(rng), h = size(rng);
    for (int r = b; r < b + h; ++r) drc::SetMapSpan(maps.R, r, a, a + w);
  }
  drc::CopyMap(maps.S, maps.R);
  return maps;
}

void Operators() {
  drc::CheckMaps m = Scattered(2000);
  const int n = 2000;
  struct Op {
    const char* name;
    void (*run)(drc::CheckMaps&);
  };
  for (Op op : {Op{"AND", [](drc::CheckMaps& m) { drc::AndMaps(m.T, m.R); }},
                Op{"XOR", [](drc::CheckMaps& m) { drc::XorMaps(m.T, m.R); }},
                Op{"copy", [](drc::CheckMaps& m) { drc::CopyMap(m.T, m.R); }},
                Op{"NOT", [](drc::CheckMaps& m) { drc::NotMap(m.T); }},
                Op{"double", [](drc::CheckMaps& m) { drc::DoubleMap(m.T); }},
                // An empty map: the test looks at every word of the guard window.
                Op{"flag test", [](drc::CheckMaps& m) { (void)drc::TestFlags(m.G2, 40); }}}) {
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) op.run(m);
    std::printf("map %s: %.1f us\n", op.name, 1e6 * Seconds(t0) / n);
  }
  for (int span : {3, 10, 30, 60}) {
    drc::CheckMaps g = Scattered(2000), e = Scattered(2000);
    auto t0 = Clock::now();
    drc::GaugeMap(g, false, span);
    const double gauge = Seconds(t0);
    t0 = Clock::now();
    drc::ExpandMap(e, false, span);
    std::printf("span %d: gauge %.2f ms, expansion %.2f ms\n", span, 1e3 * gauge, 1e3 * Seconds(t0));
  }
}

// Spacing and width of layer 1, as a check file writes them: pixels of 0.25 um, rules of 3 um.
constexpr const char* kChecks =
    "TITLE=Spacing\nRESOLUTION=0.25\nDISTANCE=3\nOPERATORS={\nMAP,1\nPUSH,1\nGAGR\nTESTR\n}\n"
    "TITLE=Width\nOPERATORS={\nMAP,1\nPUSH,1\nNOTR\nGAGR\nTESTR\n}\n";

// Checks 1..`finish` of `checks`, written as `file`, run over TOP of `d` with a scan window of width
// by height: seconds, areas, and what the run and its rasteriser came to.
struct ChecksDone {
  double seconds = 0;
  long areas = 0;
  drc::RunOutcome out;
  long fileReads = 0, cellSwitches = 0;
};

ChecksDone RunBenchChecks(Drawing& d, double scale, const char* file, const char* checks, int finish, double width,
                          double height, const char* enableScpy = nullptr) {
  std::ofstream(file) << checks;
  tell::Recorder ui;
  utilib::Job job("MERODRC", ui);
  drc::CheckView view;
  drc::CheckMaps maps;
  if (!d.ok || !maps.Allocate()) std::abort();
  drc::DrcSettings s;
  drc::SetDefaults(s);
  drc::DrawingUnits units{scale, "um", &d.db->index};
  s[drc::kCell] = "TOP";
  s[drc::kCheckFile] = file;
  s[drc::kFinishCheck] = std::to_string(finish);
  if (enableScpy) s[drc::kEnableScpy] = enableScpy;
  s[drc::kScanRight] = std::to_string(width);
  s[drc::kScanTop] = std::to_string(height);
  drc::NormaliseSettings(s, units);
  drc::Machine m(*d.db, job, view, maps);
  ChecksDone done;
  auto t0 = Clock::now();
  done.out = drc::RunChecks(m, s, units, [] { return 0u; });
  done.seconds = Seconds(t0);
  utilib::CloseReport(job);
  done.areas = static_cast<long>(ui.EventsOf("item 501").size());
  done.fileReads = m.raster.FileReads();
  done.cellSwitches = m.raster.CellSwitches();
  return done;
}

void CheckRun(const char* name, const std::vector<CellSpec>& cells, double width, double height) {
  auto t0 = Clock::now();
  Drawing d(cells, 20);
  const double written = Seconds(t0);
  const ChecksDone c = RunBenchChecks(d, 20, "BENCH.DRC", kChecks, 2, width, height);
  std::printf("run %s: %.2f s for %ld areas of 2 checks (%.1f ms an area), %d flags, %ld cell files read "
              "(a store of one cell would read %ld), folder written in %.0f ms\n",
              name, c.seconds, c.areas, 1e3 * c.seconds / std::max(1L, c.areas), c.out.totalFlags, c.fileReads,
              c.cellSwitches, 1e3 * written);
}

std::vector<CellSpec> FlatBoxes() {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> x(0, 40000), y(0, 40000), size(20, 200);
  std::vector<db::BoxRecord> boxes;
  for (int i = 0; i < 100000; ++i) {
    const int a = x(rng), b = y(rng);
    boxes.push_back(Box(1, a, b, a + size(rng), b + size(rng)));
  }
  return {Cell("TOP", 1, {0, 0, 40200, 40200}, boxes)};
}

std::vector<CellSpec> Array() {
  // A: four wires of a 200-unit cell; B: 2 by 2 A; C: 2 by 2 B, turned in four ways; TOP: 100 by 100 C.
  CellSpec a = Cell("A", 1, {0, 0, 200, 200},
                    {Box(1, 0, 0, 200, 40), Box(1, 0, 100, 140, 140), Box(1, 160, 60, 200, 200), Box(1, 20, 160, 60, 200)});
  CellSpec b = Cell("B", 2, {0, 0, 420, 420}, {}, {}, {{"A", 0, 0, 0}, {"A", 0, 220, 0}, {"A", 0, 0, 220}, {"A", 0, 220, 220}});
  CellSpec c = Cell("C", 3, {-420, -420, 420, 420}, {}, {},
                    {{"B", 0, 0, 0}, {"B", 1, 0, 0}, {"B", 2, 0, 0}, {"B", 3, 0, 0}});
  std::vector<RefSpec> refs;
  for (int i = 0; i < 100; ++i)
    for (int j = 0; j < 100; ++j) refs.push_back({"C", 0, 420 + 900 * i, 420 + 900 * j});
  return {a, b, c, Cell("TOP", 4, {0, 0, 90000, 90000}, {}, {}, refs)};
}

std::vector<CellSpec> SlantedPaths() {
  std::mt19937 rng(4);
  std::uniform_int_distribution<int> x(0, 40000), y(0, 40000), len(100, 600);
  std::vector<PathSpec> paths;
  for (int i = 0; i < 20000; ++i) {
    const int a = x(rng), b = y(rng), l = len(rng);
    paths.push_back(Path(1, i % 2 ? 40 : -60, {{a, b}, {a + l, b + l}, {a + 2 * l, b}}));
  }
  return {Cell("TOP", 1, {0, 0, 41500, 41500}, {}, paths)};
}

// Width and space of the metal and the cuts' enclosure over the rule layout at 0.25 um pixels, beside
// klayout's width_check, space_check and enclosing_check of the same layout in the same run.
constexpr const char* kRuleChecks3 =
    "TITLE=Width\nRESOLUTION=0.25\nDISTANCE=3\nOPERATORS={\nMAP,1\nPUSH,1\nNOTR\nGAGR\nTESTR\n}\n"
    "TITLE=Space\nOPERATORS={\nMAP,1\nPUSH,1\nGAGR\nTESTR\n}\n"
    "TITLE=Enclosure\nDISTANCE=1\nOPERATORS={\nMAP,2\nMAP,1\nPUSH,1\nNOTR\nPUSH,2\nEXPRS\nTESTR\n}\n";

void BesideKlayout() {
  std::vector<db::BoxRecord> leaf;
  for (const bench::RuleBox& b : bench::RuleLeaf()) leaf.push_back(Box(b.layer, b.left, b.bottom, b.right, b.top));
  std::vector<RefSpec> refs;
  for (const bench::RuleRef& r : bench::RuleRefs()) refs.push_back({"LEAF", 0, r.x, r.y});
  Drawing d({Cell("LEAF", 1, {0, 0, 730, 1000}, leaf),
             Cell("TOP", 2, {0, 0, bench::kColumns * bench::kPitchX, bench::kRows * bench::kPitchY}, {}, {}, refs)},
            bench::kRuleScale);
  const ChecksDone c = RunBenchChecks(d, bench::kRuleScale, "RULES.DRC", kRuleChecks3, 3, bench::kRuleWidth,
                                      bench::kRuleHeight, "N");
  const double ours = c.seconds;
  std::printf("beside klayout: width, space and enclosure over 12,800 instances, 6.4 x 4.4 mm, 0.25 um pixels\n");
  std::printf("  ours: %.3f s for %ld areas, result %d, %d flagged areas\n", ours, c.areas, c.out.result,
              c.out.totalFlags);

  const bench::KlayoutRun kl = bench::RunKlayoutRules(KLAYOUT_RULES, "checks", d.scratch.root);
  if (!kl.ran) {
    std::printf("  klayout did not run (status %d): no ratio\n", kl.status);
    return;
  }
  std::printf("  klayout: %.3f s of its own checks (%.0f markers; %.2f s with its start-up and layout)\n",
              kl.seconds, kl.found, kl.wholeSeconds);
  std::printf("  ratio ours / klayout: %.2f\n", ours / kl.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "klayout") {
    BesideKlayout();
    return 0;
  }
  BesideKlayout();
  Fill();
  Operators();
  CheckRun("flat 100,000 boxes", FlatBoxes(), 2000, 2000);
  CheckRun("array of 10,000 three-level cells", Array(), 4500, 4500);
  CheckRun("20,000 slanted wide paths", SlantedPaths(), 2000, 2000);
  std::printf("peak memory: %.0f MB\n", PeakMegabytes());
  return 0;
}
