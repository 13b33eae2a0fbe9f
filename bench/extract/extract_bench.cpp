// Extractor benchmark: a chain of N inverters (two placed transistors each, with their device texts),
// joined by wires without names, under a supply rail of N boxes recorded from its far end so its name
// reaches it one box per pass; coordinates a hundred times the sample's, so shapes are thousands of
// units tall. Times a whole Go (Fast Run) at N = 100, 1000 and 5000 (three ports an inverter: the
// pass-back table holds 16383), with the process's peak memory; then the comparison of two node lists
// of M nodes with four connections each, the second in reverse order, at M = 1000 to 100000.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/common/measure.h"
#include "extract/netlist.h"
#include "extract/node_list.h"
#include "extract/tests/sample_circuits.h"
#include "utilib/job.h"
#include "utilib/quiet_ui.h"

namespace {

using bench::Seconds;
using exttest::Box;
using exttest::Ref;
using exttest::Text;

constexpr int kStep = 100;  // database units per unit of the sample drawing

tlctest::CellSpec Scaled(tlctest::CellSpec c) {
  for (auto& b : c.boxes) b.left *= kStep, b.bottom *= kStep, b.right *= kStep, b.top *= kStep;
  for (auto& p : c.paths) {
    for (auto& [x, y] : p.points) x *= kStep, y *= kStep;
    if (!p.text) p.width *= kStep;
  }
  for (auto& r : c.refs) r.x *= kStep, r.y *= kStep;
  c.left *= kStep, c.bottom *= kStep, c.right *= kStep, c.top *= kStep;
  return c;
}

tlctest::CellSpec Chain(int n) {
  tlctest::CellSpec c = exttest::Cell("CHAIN", 3, -20, -20, 100 * n, 130);
  for (int i = 0; i < n; ++i) {
    const int x = 100 * i;
    c.refs.push_back(Ref("INV", x, 0));
    c.paths.push_back(Text(exttest::kDeviceName, x + 5, 30, utilib::Format("X%d", i)));
    c.paths.push_back(Text(exttest::kParameter, x + 5, 20, "INV"));
    if (i + 1 < n) c.boxes.push_back(Box(exttest::kMetal, x, 48, x + 90, 52));
  }
  for (int i = n - 1; i >= 0; --i) c.boxes.push_back(Box(exttest::kMetal, 100 * i + 9, 109, 100 * i + 109, 113));
  c.paths.push_back(Text(exttest::kNamed, 11, 111, "VDD"));
  c.paths.push_back(Text(exttest::kNamed, -10, 50, "IN"));
  c.paths.push_back(Text(exttest::kNamed, 100 * (n - 1), 50, "OUT"));
  return c;
}

}  // namespace

int main() {
  setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
  char pattern[] = "/tmp/mero-extract-bench-XXXXXX";
  const std::string root = mkdtemp(pattern);
  const auto saved = std::filesystem::current_path();
  std::printf("%8s %10s %12s %10s\n", "N", "shapes", "Go s", "peak MB");
  std::vector<std::pair<double, double>> points;
  for (int n : {100, 1000, 5000}) {
    const std::string folder = root + "/n" + std::to_string(n) + "/";
    std::filesystem::create_directories(folder);
    std::vector<tlctest::CellSpec> cells;
    for (const tlctest::CellSpec& c : {exttest::Transistor("NMOS"), exttest::Transistor("PMOS"),
                                       exttest::Symbol("GND", "0"), exttest::Inverter(), Chain(n)})
      cells.push_back(Scaled(c));
    tlctest::WriteDrawingFolder(folder, cells, 1000);
    std::filesystem::current_path(folder);

    ext::Drawing drawing;
    if (!ext::ReadDrawingFolder(drawing).empty()) return 1;
    ext::ExtractorSettings s;
    s.setup1[ext::kCellName] = "CHAIN";
    s.trace[ext::kConductorSlot] = "1";
    s.trace[ext::kConductorSlot + 1] = "3";
    s.trace[ext::kInsulatorSlot] = "2";
    s.trace[ext::kCapacitanceSlot + 1] = "0.0001";
    s.fastRun = true;
    ext::NormaliseSettings(s, 0);
    ext::NormaliseSettings(s, 2);
    utilib::QuietUi ui(true);
    utilib::Job job("MEROCKT", ui);
    int errors = 0;
    auto start = std::chrono::steady_clock::now();
    const int result = ext::GoExtraction(job, drawing, s, errors);
    utilib::CloseReport(job);
    const double go = Seconds(start);
    if (result != 1 || errors != 0) {
      std::fprintf(stderr, "N=%d: result %d, %d errors\n", n, result, errors);
      return 1;
    }
    const int shapes = static_cast<int>(cells.back().boxes.size() + cells.back().paths.size());
    std::printf("%8d %10d %12.3f %10.1f\n", n, shapes, go, bench::PeakMegabytes());
    points.push_back({std::log(double(n)), std::log(go)});
    std::filesystem::current_path(saved);
  }
  const double slope = (points.back().second - points.front().second) / (points.back().first - points.front().first);
  std::printf("growth of Go with N (log-log slope, 100 to 5000): %.2f\n\n", slope);

  std::printf("%8s %12s\n", "M", "compare s");
  std::filesystem::current_path(root);
  for (int m : {1000, 10000, 100000}) {
    std::string a = "[LIST]", b = "[LIST]";
    for (int i = 0; i < m; ++i) {
      const int k = m - 1 - i;
      a += utilib::Format("\nN%d:\n M%d.1  M%d.2  M%d.3  M%d.4 ", i, i, i, i + 1, i + 2);
      b += utilib::Format("\nN%d:\n M%d.4  M%d.3  M%d.2  M%d.1 ", k, k + 2, k + 1, k, k);
    }
    a += "\n::\n";
    b += "\n::\n";
    std::FILE* f = std::fopen("A.NOD", "wb");
    std::fputs(a.c_str(), f);
    std::fclose(f);
    f = std::fopen("B.NOD", "wb");
    std::fputs(b.c_str(), f);
    std::fclose(f);
    utilib::QuietUi ui;
    utilib::Job job("MEROCKT", ui);
    int differences = 0;
    const auto start = std::chrono::steady_clock::now();
    ext::CompareNodeLists(job, {"A.NOD", "B.NOD", "LIST", "NLC.RPT"}, differences);
    utilib::CloseReport(job);
    std::printf("%8d %12.3f\n", m, Seconds(start));
    if (differences != 0) return 1;
  }
  std::filesystem::current_path(saved);
  std::filesystem::remove_all(root);
  return 0;
}
