// The layer-logic program's hot paths. Per tile of 1024 by 1024 pixels, by pattern (stripes,
// checkerboard, staircase, random blobs): the boxes of the raster, the indexed merge beside the
// plain scan of the table it replaces, and the polygons. Then whole runs, pauses off and no display:
// 100,000 flat boxes and a three-level array of 10,000 cells with slanted paths, each over 100 tiles.
// Prints times, rates and the peak memory.
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "bench/common/measure.h"
#include "bench/drc/rule_layout.h"
#include "layerlogic/tests/ll_fixture.h"
#include "layerlogic/tests/merge_by_scan.h"
#include "layerlogic/vectorise.h"
#include "platform/tell/recorder.h"

namespace {

using bench::Clock;
using layerlogic::RowWords;
using layerlogic::TileBox;

using bench::PeakMegabytes;
using bench::Seconds;

using Rows = std::vector<RowWords>;

Rows Pattern(const std::function<bool(int, int)>& on) {
  Rows rows(1024, RowWords{});
  for (int y = 0; y < 1024; ++y)
    for (int x = 0; x < 1024; ++x)
      if (on(x, y)) rows[y][x >> 5] |= 0x80000000u >> (x & 31);
  return rows;
}

void Tile(const char* name, const Rows& rows, int scanRows) {
  tell::Recorder ui;
  utilib::Job job("MEROLL", ui);
  std::vector<TileBox> boxes;
  auto t0 = Clock::now();
  layerlogic::RasterToBoxes(job, rows, {0, 0, 1}, boxes);
  const double raster = Seconds(t0);
  std::vector<TileBox> raw = boxes;
  t0 = Clock::now();
  layerlogic::MergeBoxes(boxes);
  const double merge = Seconds(t0);
  int merged = 0;
  for (const TileBox& b : boxes) merged += !b.deleted;
  // The plain scan on the bands of the first rows only: it grows with the square of the boxes.
  std::vector<TileBox> part;
  for (const TileBox& b : raw)
    if (b.bottom < scanRows) part.push_back(b);
  std::vector<TileBox> indexed = part;
  t0 = Clock::now();
  layerlogic::MergeBoxes(indexed);
  const double partIndexed = Seconds(t0);
  t0 = Clock::now();
  lltest::MergeByScan(part);
  const double partScan = Seconds(t0);
  int polygons = 0;
  long vertices = 0;
  layerlogic::PolygonOptions o;
  o.reduceVertices = true;
  o.ratio = 2;
  t0 = Clock::now();
  layerlogic::BoxesToPolygons(job, boxes, o, [&](std::span<const layerlogic::Point> p) {
    ++polygons;
    vertices += static_cast<long>(p.size());
    return true;
  });
  const double poly = Seconds(t0);
  std::printf("%-11s %7zu boxes %7d merged  raster %7.2f ms  merge %8.2f ms  polygons %8.2f ms (%d, %ld vertices)\n",
              name, raw.size(), merged, raster * 1e3, merge * 1e3, poly * 1e3, polygons, vertices);
  std::printf("%-11s first %d rows: %zu boxes, indexed merge %.2f ms, scan of the table %.2f ms (%.0fx)\n", "",
              scanRows, indexed.size(), partIndexed * 1e3, partScan * 1e3, partScan / std::max(partIndexed, 1e-9));
}

void Run(const char* name, lltest::Folder& f, const std::vector<std::pair<int, std::string>>& typed) {
  tell::Recorder quiet;
  utilib::Job job("MEROLL", quiet);
  for (const auto& [slot, text] : typed) f.settings.slots[slot] = text;
  layerlogic::Normalise(f.settings, f.drawing);
  auto t0 = Clock::now();
  const int result = layerlogic::GoLayerLogic(job, f.database, f.settings, f.drawing, f.view, f.outcome);
  const double s = Seconds(t0);
  utilib::CloseReport(job);
  const auto& t = f.outcome.totals;
  const int tiles = layerlogic::CountTiles(0, 0, 20000, 20000, 2048);
  std::printf("%-26s result %d  %.2f s  %d tiles (%.1f tiles/s)  %d boxes  %d polygons  %ld vertices  peak %.0f MB\n",
              name, result, s, tiles, tiles / s, t.boxes, t.polygons, static_cast<long>(t.vertices), PeakMegabytes());
}

// The XOR of the rule layout's two layers at 0.25 um pixels, beside klayout's XOR of the same layout
// in the same run.
void BesideKlayout() {
  lltest::Folder f;
  lltest::Cell leaf("LEAF", 1);
  for (const bench::RuleBox& b : bench::RuleLeaf()) leaf.boxes.push_back({b.layer, b.left, b.bottom, b.right, b.top});
  lltest::Cell top("TOP", 2);
  for (const bench::RuleRef& r : bench::RuleRefs()) top.refs.push_back({"LEAF", 0, r.x, r.y});
  f.Make({leaf, top}, bench::kRuleScale);
  tell::Recorder quiet;
  utilib::Job job("MEROLL", quiet);
  for (const auto& [slot, text] : std::vector<std::pair<int, std::string>>{
           {layerlogic::kCell, "TOP"}, {layerlogic::kOutput, "OUT"}, {layerlogic::kMapResolution, "0.25"},
           {layerlogic::kOperation, "2"}, {layerlogic::kLayerA, "1"}, {layerlogic::kLayerB, "2"},
           {layerlogic::kLeft, "0"}, {layerlogic::kBottom, "0"}, {layerlogic::kRight, std::to_string(bench::kRuleWidth)},
           {layerlogic::kTop, std::to_string(bench::kRuleHeight)}})
    f.settings.slots[slot] = text;
  layerlogic::Normalise(f.settings, f.drawing);
  auto t0 = Clock::now();
  const int result = layerlogic::GoLayerLogic(job, f.database, f.settings, f.drawing, f.view, f.outcome);
  const double ours = Seconds(t0);
  utilib::CloseReport(job);
  std::printf("beside klayout: XOR of two layers over 12,800 instances, 6.4 x 4.4 mm, 0.25 um pixels\n");
  std::printf("  ours: %.3f s, result %d, %d boxes written\n", ours, result, f.outcome.totals.boxes);
  const bench::KlayoutRun kl = bench::RunKlayoutRules(KLAYOUT_RULES, "xor", f.root);
  if (!kl.ran) {
    std::printf("  klayout did not run (status %d): no ratio\n", kl.status);
    return;
  }
  std::printf("  klayout: %.3f s of its own XOR (%.0f polygons; %.2f s with its start-up and layout)\n", kl.seconds,
              kl.found, kl.wholeSeconds);
  std::printf("  ratio ours / klayout: %.2f\n", ours / kl.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  BesideKlayout();
  if (argc > 1 && std::string(argv[1]) == "klayout") return 0;
  std::printf("tiles of 1024 x 1024 pixels\n");
  Tile("stripes", Pattern([](int x, int) { return x % 4 < 2; }), 1024);
  Tile("checker", Pattern([](int x, int y) { return (x + y) % 2 == 0; }), 16);
  Tile("staircase", Pattern([](int x, int y) { return (x + y) % 64 < 32; }), 256);
  std::mt19937 rng(3);
  std::vector<std::array<int, 3>> blobs;
  for (int i = 0; i < 400; ++i) blobs.push_back({int(rng() % 1024), int(rng() % 1024), 5 + int(rng() % 40)});
  Tile("blobs", Pattern([&](int x, int y) {
         for (const auto& b : blobs)
           if ((x - b[0]) * (x - b[0]) + (y - b[1]) * (y - b[1]) < b[2] * b[2]) return true;
         return false;
       }), 256);

  std::printf("whole runs over 1 mm by 1 mm at 0.1 um a pixel (2 units), 10 x 10 tiles\n");
  {
    lltest::Folder f;
    lltest::Cell top("TOP", 1);
    std::mt19937 r(5);
    for (int i = 0; i < 100000; ++i) {
      const int x = int(r() % 19900), y = int(r() % 19900);
      top.boxes.push_back({1 + i % 2, x, y, x + 4 + int(r() % 96), y + 4 + int(r() % 96)});
    }
    f.Make({top});
    Run("flat 100,000 boxes XOR", f,
        {{layerlogic::kCell, "TOP"}, {layerlogic::kOutput, "OUT"}, {layerlogic::kMapResolution, "0.1"},
         {layerlogic::kOperation, "2"}, {layerlogic::kRight, "1000"}, {layerlogic::kTop, "1000"}});
  }
  {
    lltest::Folder f;
    lltest::Cell leaf("LEAF", 1, {{1, 10, 10, 90, 40}, {1, 110, 10, 190, 40}, {2, 40, 0, 60, 200}, {2, 140, 0, 160, 200},
                                  {1, 10, 160, 190, 190}});
    tlc::TlcPath slant;
    slant.layer = 1;
    slant.width = 10;
    slant.x = {20, 100, 180};
    slant.y = {60, 140, 60};
    leaf.paths.push_back(slant);
    lltest::Cell array("ARRAY", 2);
    for (int i = 0; i < 100; ++i) array.refs.push_back({"LEAF", i % 8, 200 * (i % 10) + 100, 200 * (i / 10) + 100});
    lltest::Cell top("TOP", 3);
    for (int i = 0; i < 100; ++i) top.refs.push_back({"ARRAY", 0, 2000 * (i % 10), 2000 * (i / 10)});
    f.Make({leaf, array, top});
    Run("array of 10,000 AND, poly", f,
        {{layerlogic::kCell, "TOP"}, {layerlogic::kOutput, "OUT"}, {layerlogic::kMapResolution, "0.1"},
         {layerlogic::kOperation, "0"}, {layerlogic::kConvertToPoly, "Y"}, {layerlogic::kRight, "1000"},
         {layerlogic::kTop, "1000"}});
    Run("array of 10,000 NOT A", f,
        {{layerlogic::kLayerB, "0"}, {layerlogic::kNotOut, "Y"}, {layerlogic::kConvertToPoly, "N"}});
  }
  return 0;
}
