// The flattener on a four-level hierarchy of about 1.24 million flat objects (40,000 placements of
// a leaf cell of 31 objects; "planer_bench N" places the middle block N times instead of 200),
// smashed and flattened for circuit compile, pauses off and no display.
// Prints the time, the rate in flat objects per second, the output size and the peak memory.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "batch/flattener.h"
#include "bench/common/measure.h"
#include "drawing_fixture.h"
#include "utilib/quiet_ui.h"

namespace {

using bench::Clock;

std::vector<tlctest::CellSpec> Hierarchy(int blocks) {
  tlctest::CellSpec leaf = tlctest::Cell("LEAF", 1, 0, 0, 100, 100);
  for (int i = 0; i < 25; ++i) leaf.boxes.push_back({1 + i % 8, 4 * i, 0, 4 * i + 3, 100});
  for (int i = 0; i < 5; ++i) leaf.paths.push_back(tlctest::Path(9, 2, {{0, 10 * i}, {50, 10 * i}, {100, 10 * i + 5}}));
  tlctest::PathSpec label = tlctest::Path(62, 30, {{50, 50}});
  label.text = true;
  label.chars = "M";
  leaf.paths.push_back(label);
  tlctest::CellSpec row = tlctest::Cell("ROW", 2, 0, 0, 1000, 100);
  for (int i = 0; i < 10; ++i) row.refs.push_back({"LEAF", i % 8, 100 * i, 0});
  tlctest::CellSpec block = tlctest::Cell("BLOCK", 3, 0, 0, 1000, 2000);
  for (int i = 0; i < 20; ++i) block.refs.push_back({"ROW", 0, 0, 100 * i});
  tlctest::CellSpec top = tlctest::Cell("TOP", 4, 0, 0, 20000, 2000);
  for (int i = 0; i < blocks; ++i) top.refs.push_back({"BLOCK", i % 8, 1000 * (i % 20), 2000 * (i / 20)});
  return {leaf, row, block, top};
}

}  // namespace

int main(int argc, char** argv) {
  const int blocks = argc > 1 ? std::atoi(argv[1]) : 200;
  char pattern[] = "/tmp/mero-planer-bench-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  tlctest::WriteDrawingFolder(dir + "/", Hierarchy(blocks));
  std::filesystem::current_path(dir);
  planer::DrawingFolder d;
  std::string message;
  if (!planer::ReadDrawingFolder(d, message)) {
    std::printf("%s\n", message.c_str());
    return 1;
  }
  const long objects = 200L * blocks * 31;
  std::printf("planer_bench: 4 levels, %ld flat objects\n", objects);
  int failures = 0;
  for (const char* mode : {"N", "Y"}) {
    planer::PlanerSettings s;
    planer::SetPlanerDefaults(s);
    s.slots[planer::kCellSlot] = "TOP";
    s.slots[planer::kCircuitSlot] = mode;
    s.slots[planer::kKeepNodeSlot] = "Y";
    planer::NormaliseSettings(s);
    utilib::QuietUi ui;
    utilib::Job job("PLANER", ui);
    planer::FlattenResult r;
    const auto start = Clock::now();
    const int done = planer::FlattenCollection(job, d, s, r);
    utilib::CloseReport(job);
    const double seconds = bench::Seconds(start);
    failures += done != 1;
    std::printf("  %-14s %6.2f s  %9.0f objects/s  %6.1f MB of TLC  (%s)\n",
                mode[0] == 'N' ? "smash" : "circuit compile", seconds, objects / seconds,
                static_cast<double>(r.topFileBytes) / 1e6, done == 1 ? "ok" : "FAILED");
  }
  std::printf("  peak memory %.1f MB\n", bench::PeakMegabytes());
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  return failures == 0 ? 0 : 1;
}
