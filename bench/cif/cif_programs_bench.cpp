// wcalexp and wcalimp as a user runs them, headless from a script, on a drawing whose paths have flush
// ends: each such path is extended and told on a progress line, every fifth line pausing. Timed
// against klayout reading and writing the CIF that wcalexp writes, in the same run. Each step runs as
// a child process, so its time and peak memory are its own.
// Usage: cif_programs_bench [MEGABYTES_OF_CIF] [WORK_FOLDER]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/common/headless.h"
#include "bench/common/measure.h"
#include "bench/cif/bench_cells.h"
#include "editor/tlc/writer.h"

namespace {

constexpr int kLayers = 8;

cifbench::Random Random{4711u};
using cifbench::WriteCell;

// Leaf cells of flush wires (most of the file) and boxes, a top cell placing them all. About `bytes`
// of CIF.
bool Generate(const std::string& folder, std::int64_t bytes) {
  const std::int64_t wires = std::max<std::int64_t>(1000, bytes / 74);  // a wire and a tenth of a box each
  const int leaves = 40;
  const int perLeaf = static_cast<int>(wires / leaves);
  char name[32];
  for (int c = 0; c < leaves; ++c) {
    std::snprintf(name, sizeof name, "W%03d", c);
    const bool ok = WriteCell(folder, name, 1, [perLeaf](tlc::TlcWriter& w) {
      for (int i = 0; i < perLeaf; ++i) {
        const int x = Random(2000000), y = Random(2000000), a = 2000 + Random(20000);
        const std::int32_t px[4] = {x, x + a, x + a, x + 2 * a}, py[4] = {y, y, y + a, y + a};
        w.PutPath(1 + i % kLayers, 200 + 2 * Random(200), px, py);
        if (i % 10 == 0) w.PutBox({1 + i % kLayers, x, y, x + 100 + Random(5000), y + 100 + Random(5000)});
      }
    });
    if (!ok) return false;
  }
  const bool ok = WriteCell(folder, "TOP", 2, [leaves](tlc::TlcWriter& w) {
    for (int c = 0; c < leaves; ++c) {
      char leaf[32];
      std::snprintf(leaf, sizeof leaf, "W%03d", c);
      w.PutCellRef({leaf, c % 8, (c % 8) * 3000000, (c / 8) * 3000000});
    }
  });
  if (!ok) return false;
  std::FILE* layers = std::fopen((folder + "/LAYERS.LYR").c_str(), "wb");
  if (!layers) return false;
  for (int l = 1; l <= kLayers; ++l) std::fprintf(layers, "(LAYER %d CIF=\"L%02d\");\r\n", l, l);
  std::fclose(layers);
  return true;
}

// A suite program headless from a script in `work` (file fields relative to it), with its log.
bench::ChildRun RunProgram(const char* title, const std::string& program, const std::string& work,
                           const std::string& name, const std::string& script) {
  return bench::RunHeadless(title, program, work, name, script, 34);
}

// Whether the program's log ends its Go with the completion box.
bool Completed(const std::string& work, const std::string& name) {
  return bench::LogHolds(work, name, "\"Completed ...");
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t megabytes = argc > 1 ? std::atoll(argv[1]) : 15;
  std::string work = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "cif_programs_bench").string();
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work + "/tlc");
  std::filesystem::create_directories(work + "/back");

  std::printf("wcalexp and wcalimp headless on flush wires, beside klayout\n");
  const auto t0 = bench::Clock::now();
  if (!Generate(work + "/tlc", megabytes << 20)) {
    std::fprintf(stderr, "cannot write the TLC files in %s/tlc\n", work.c_str());
    return 1;
  }
  std::printf("  %-34s%8.2f s\n", "generate", bench::Seconds(t0));

  const std::string suite = MERO_SUITE_DIR;
  // Texts in the form klayout reads; the checks as they come (the protocol questions answered OK).
  const auto exp = RunProgram("wcalexp TLC to CIF (ours)", suite + "/wcalexp", work, "exp", R"(answer SETUP set 100 "tlc/top" set 101 "tlc/layers.lyr" set 102 "out.cif" set 103 "" set 109 "94 <text> <x> <y>" press ok
command 12
wait
box ok
box ok
box ok
command 13
wait
quit
)");
  const auto imp = RunProgram("wcalimp CIF to TLC (ours)", suite + "/wcalimp", work, "imp", R"(answer SETUP set 100 "out" set 101 "" set 102 "" set 103 "back" set 104 "" press ok
box ok
box ok
command 12
wait
command 13
wait
quit
)");
  const auto kl = bench::RunStep("klayout read and write the CIF",
                                 {"klayout", "-b", "-r", KLAYOUT_COPY, "-rd", "src=" + work + "/OUT.CIF", "-rd",
                                  "dst=" + work + "/klayout.cif"},
                                 work, 34);
  const bool expOk = exp.status == 0 && Completed(work, "exp"), impOk = imp.status == 0 && Completed(work, "imp");
  std::printf("  CIF written %.1f MB, by klayout %.1f MB; log of wcalexp %.1f MB%s%s\n",
              bench::FileSize(work + "/OUT.CIF") / 1048576.0, bench::FileSize(work + "/klayout.cif") / 1048576.0,
              bench::FileSize(work + "/exp.log") / 1048576.0, expOk ? "" : "; wcalexp did not complete",
              impOk ? "" : "; wcalimp did not complete");
  if (kl.status == 0 && kl.seconds > 0) {
    std::printf("  ratios to klayout: wcalexp %.2fx, wcalimp %.2fx time\n", exp.seconds / kl.seconds,
                imp.seconds / kl.seconds);
  } else {
    std::printf("  klayout did not run: no ratios\n");
  }
  const bool ok = expOk && impOk;
  if (ok && std::getenv("CIF_BENCH_KEEP") == nullptr) std::filesystem::remove_all(work);
  return ok ? 0 : 1;
}
