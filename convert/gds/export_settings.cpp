#include "convert/gds/export_settings.h"

#include <cmath>

#include "editor/tlc/stream.h"
#include "utilib/cell_list.h"

namespace gds {

using utilib::FormatD;
using utilib::FormatG;
using utilib::UpperCase;

namespace {

const char* const kMainDefaults[kExportMainSlots] = {
    "???.TLC", "???.GDS", "DEFAULT.DB", "0", "1.0", "1000", "0", "0", "0",
    "-",       "Y",       "N",          "Y", "Y",   "Y",    ".05", kExportReport};

const char* const kTextDefaults[4][6] = {
    {"1", "0", "0", "1", "0", "B"},
    {"2", "0", "0", "1", "0", "B"},
    {"4", "0", "0", "1", "0", "B"},
    {"8", "0", "0", "1", "0", "B"},
};

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The file-name part of a path: where an extension may begin.
std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

void SetExportDefaults(ExportSettings& s) {
  for (int i = 0; i < kExportMainSlots; ++i) s.main[i] = kMainDefaults[i];
  for (int r = 0; r < 4; ++r)
    for (int f = 0; f < 6; ++f) s.text[6 * r + f] = kTextDefaults[r][f];
  s.lambda = 1.0;
  NormaliseExportMain(s);
  NormaliseExportText(s);
}

void NormaliseExportMain(ExportSettings& s) {
  for (auto& slot : s.main) UpperCase(slot);

  std::string& tlc = s.main[0];
  const std::size_t dot = tlc.find('.', NameStart(tlc));
  if (dot != std::string::npos) tlc.resize(dot);
  tlc += ".TLC";
  const utilib::MainFileName main = utilib::MainFileName::Split(tlc);
  s.tlcDrive = main.drive;
  s.tlcFolder = main.folder;
  s.mainCell = main.base;
  s.tlcExtension = main.extension;

  std::string& gdsName = s.main[1];
  if (gdsName.empty()) {
    gdsName = s.tlcDrive + s.tlcFolder + s.mainCell + ".GDS";
  } else if (gdsName.find(".GDS") == std::string::npos &&
             gdsName.find('.', NameStart(gdsName)) == std::string::npos) {
    gdsName += ".GDS";
  }
  s.gdsFile = gdsName;

  if (s.main[2].empty()) s.main[2] = utilib::MainFileName::Split(s.gdsFile).base.substr(0, 8) + ".DB";
  s.libraryName = s.main[2];

  s.correction = tlc::ToInt(s.main[3]);
  s.main[3] = FormatD(s.correction);

  if (!s.main[4].empty()) {
    double lambda = std::fabs(tlc::ToDouble(s.main[4]));
    if (lambda > 100) lambda = 100;
    if (lambda < 0.01) lambda = 0.01;
    s.lambda = lambda;
  }
  s.main[4] = FormatG(s.lambda);

  const std::int32_t g = tlc::ToInt(s.main[5]);
  s.gdsUnits = g == 0 ? 1 : (g < 0 ? (g == INT32_MIN ? INT32_MAX : -g) : g);
  s.main[5] = FormatD(s.gdsUnits);

  s.dataType = Clamp(tlc::ToInt(s.main[6]), 0, 63);
  s.main[6] = FormatD(s.dataType);
  s.layer64To = Clamp(tlc::ToInt(s.main[7]), 0, 63);
  s.main[7] = FormatD(s.layer64To);

  // A width of 0 stays 0: it is how the user says open polygons must not become paths.
  double width = std::fabs(tlc::ToDouble(s.main[8]));
  if (width != 0) {
    const double lo = 2.0 / s.gdsUnits, hi = 10000.0 / s.gdsUnits;
    width = width < lo ? lo : (width > hi ? hi : width);
  }
  s.defaultPathWidth = width;
  s.main[8] = FormatG(width);

  if (s.main[9].empty()) s.main[9] = "-";
  s.layers.zeroBased = false;
  s.layers.ParseLayerList(s.main[9]);

  s.ascending = utilib::IsSettingYes(s.main[10]);
  s.lowercase = utilib::IsSettingYes(s.main[11]);
  s.convertText = utilib::IsSettingYes(s.main[12]);
  s.protocol = utilib::IsSettingYes(s.main[13]);
  s.intersections = utilib::IsSettingYes(s.main[14]);

  s.resolution = std::fabs(tlc::ToDouble(s.main[15]));
  s.main[15] = FormatG(s.resolution);

  if (s.main[16].empty()) s.main[16] = kExportReport;
  s.reportFile = s.main[16];
}

void NormaliseExportText(ExportSettings& s) {
  for (auto& slot : s.text) UpperCase(slot);
  for (int r = 0; r < 4; ++r) {
    std::string* f = &s.text[6 * r];
    ExportTextRow& row = s.rows[r];
    row.size = std::fabs(tlc::ToDouble(f[0]));
    f[0] = FormatG(row.size);
    row.font = Clamp(tlc::ToInt(f[1]), 0, 3);
    f[1] = FormatD(row.font);
    row.textType = Clamp(tlc::ToInt(f[2]), 0, 63);
    f[2] = FormatD(row.textType);
    double mag = tlc::ToDouble(f[3]);
    mag = mag > 1000 ? 1000 : (mag < 0.001 ? 0.001 : mag);
    row.mag = mag;
    f[3] = FormatG(mag);
    double width = std::fabs(tlc::ToDouble(f[4]));
    if (width > row.size) width = row.size;
    row.width = width;
    f[4] = FormatG(width);
    if (!f[5].empty() && f[5][0] == 'T') {
      row.justification = 0;
      f[5] = "T";
    } else if (!f[5].empty() && f[5][0] == 'C') {
      row.justification = 4;
      f[5] = "C";
    } else {
      row.justification = 8;
      f[5] = "B";
    }
  }
}

std::int32_t ResolutionInDatabaseUnits(ExportSettings& s, double tlcScale) {
  double units = std::trunc(s.resolution * tlcScale);
  if (!(units >= 1)) units = 1;
  if (units > 8388608) units = 8388608;
  s.resolution = units / tlcScale;
  s.main[15] = FormatG(s.resolution);
  return static_cast<std::int32_t>(units);
}

}  // namespace gds
