#include "drc/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "drc/check_file.h"
#include "drc/check_run.h"
#include "drc/machine.h"
#include "drc/pcx.h"
#include "editor/db/database.h"
#include "utilib/quiet_ui.h"

namespace drc {

namespace {

const std::string& ScratchFile() {
  static const std::string path = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "drcfuzz-XXXXXX").string();
    const char* made = mkdtemp(templ.data());
    return std::string(made ? made : ".") + "/FUZZ.DRC";
  }();
  return path;
}

// Checks whose operators run: enough to reach every operator, few enough to stay fast.
constexpr int kRunChecks = 4;
constexpr int kReadChecks = 2000;

}  // namespace

void FuzzOneCheckFile(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchFile();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  static db::Database database;  // no cells: every map is drawn empty
  static CheckMaps maps;
  if (!maps.Allocated() && !maps.Allocate()) return;
  utilib::QuietUi ui;
  utilib::Job job("MERODRC", ui);
  CheckView view;
  Machine m(database, job, view, maps);
  m.enableScpy = false;  // no map files from fuzz inputs
  m.enablePause = false;
  DrcSettings settings;
  SetDefaults(settings);
  NormaliseSettings(settings, DrawingUnits{});

  CheckFile file;
  if (!file.Open(path)) return;
  Check check;
  for (int n = 0; n < kReadChecks && file.ReadCheck(check); ++n) {
    const CheckGeometry g = ComputeAreaGeometry(check.resolution, check.distance, 1, 20, false);
    if (!CheckRunNumbers(settings, 20, g, check.resolution, check.distance, "").empty() || n >= kRunChecks) continue;
    m.geometry = g;
    m.side = g.D;
    m.frame = AreaFrame{0, 0, 2 * g.guard + g.xStep, 2 * g.guard + g.yStep, g.pixel};
    ClearMap(maps.R);
    for (const std::string& line : check.operators)
      if (m.ExecOperator(line) != 1 || job.abort || m.runError != kRunOk) break;
    m.CloseMapper();
    m.slots.Clear();
  }
}

void FuzzOnePcxMap(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  PcxMap header, map;
  (void)DecodePcxMap(bytes, true, header);
  if (DecodePcxMap(bytes, false, map) == PcxRead::Ok) {
    volatile std::uint32_t sink = 0;
    for (std::uint32_t p : map.picture.pixels) sink = sink + p;
  }
}

}  // namespace drc
