#include "convert/gds/import_settings.h"

#include <cmath>
#include <cstdio>

#include "editor/tlc/stream.h"
#include "utilib/cell_list.h"

namespace gds {

using utilib::FormatD;
using utilib::FormatG;
using utilib::UpperCase;

namespace {

const char* const kMainDefaults[kImportMainSlots] = {
    "???.GDS", "", "um", "20", "-", "-", "Y", "Y", "Y", "Y", "Y", "Y", "Y", "Y", "64", kImportReport};

const char* const kTextDefaults[4][6] = {
    {"1", "0", "-", "N", "Y", "Y"},
    {"2", "1", "-", "N", "Y", "Y"},
    {"4", "2", "-", "N", "Y", "Y"},
    {"8", "3", "-", "N", "Y", "Y"},
};

// "-" (no match) or a number clamped to lo..hi.
int DashOrNumber(std::string& slot, int hi) {
  if (!slot.empty() && slot[0] == '-') {
    slot = "-";
    return -1;
  }
  int v = tlc::ToInt(slot);
  v = v < 0 ? 0 : (v > hi ? hi : v);
  slot = FormatD(v);
  return v;
}

}  // namespace

void SetImportDefaults(ImportSettings& s) {
  for (int i = 0; i < kImportMainSlots; ++i) s.main[i] = kMainDefaults[i];
  for (int r = 0; r < 4; ++r)
    for (int f = 0; f < 6; ++f) s.text[6 * r + f] = kTextDefaults[r][f];
  for (auto& o : s.omit) o.clear();
  NormaliseImportAll(s);
}

void NormaliseImportAll(ImportSettings& s) {
  NormaliseImport(s, 0);
  NormaliseImport(s, 1);
  NormaliseImport(s, 2);
}

void NormaliseImport(ImportSettings& s, int mode) {
  if (mode == 0) {
    for (auto& slot : s.main) UpperCase(slot);
    s.gdsFile = s.main[0];
    const utilib::MainFileName parts = utilib::MainFileName::Split(s.gdsFile);
    s.gdsDrive = parts.drive;
    s.gdsFolder = parts.folder;
    s.gdsName = parts.base;

    std::string& folder = s.main[1];
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    s.tlcFolder = folder.empty() ? ".\\" : folder;

    s.mil = s.main[2].rfind("MIL", 0) == 0;
    s.main[2] = s.mil ? "MIL" : "UM";

    double scale = tlc::ToDouble(s.main[3]);
    if (!(scale > 0)) scale = 1;
    char b[64];
    std::snprintf(b, sizeof b, "%.5g", scale);
    s.main[3] = b;
    s.scale = scale;

    s.layers.zeroBased = true;
    s.layers.ParseLayerList(s.main[4]);
    s.dataTypes.zeroBased = true;
    s.dataTypes.ParseLayerList(s.main[5]);

    s.convertText = utilib::IsSettingYes(s.main[6]);
    s.replaceOld = utilib::IsSettingYes(s.main[7]);
    s.checkOpenPoly = utilib::IsSettingYes(s.main[8]);
    s.defaultOptional = utilib::IsSettingYes(s.main[9]);
    s.boundariesToBoxes = utilib::IsSettingYes(s.main[10]);
    s.makeRef = utilib::IsSettingYes(s.main[11]);
    s.makeNam = utilib::IsSettingYes(s.main[12]);
    s.newLine = utilib::IsSettingYes(s.main[13]) ? '\r' : '\n';

    s.layer0To = utilib::ClampLayerNumber(tlc::ToInt(s.main[14]));
    s.main[14] = FormatD(s.layer0To);

    if (s.main[15].empty()) s.main[15] = kImportReport;
    s.reportFile = s.main[15];
  } else if (mode == 1) {
    for (auto& slot : s.text) UpperCase(slot);
    for (int r = 0; r < 4; ++r) {
      std::string* f = &s.text[6 * r];
      ImportTextRow& row = s.rows[r];
      double units = std::fabs(tlc::ToDouble(f[0])) * s.scale;
      units = std::trunc(units + 0.5);
      if (units > 8388607) units = 8388607;
      row.size = units < 1 ? 1 : static_cast<std::int32_t>(units);
      f[0] = FormatG(row.size / s.scale);
      row.font = DashOrNumber(f[1], 3);
      row.textType = DashOrNumber(f[2], 63);
      row.mag = utilib::IsSettingYes(f[3]);
      row.orientation = utilib::IsSettingYes(f[4]);
      row.justification = utilib::IsSettingYes(f[5]);
    }
  } else if (mode == 2) {
    for (std::size_t i = 0; i < s.omit.size(); ++i) {
      UpperCase(s.omit[i]);
      if (s.omit[i].size() > 32) s.omit[i].resize(32);
      s.omitNames[i] = s.omit[i];
    }
  }
}

bool IsOmittedStructure(const ImportSettings& s, std::string_view name) {
  std::string upper(name);
  UpperCase(upper);
  if (upper.size() > 32) upper.resize(32);
  for (const std::string& o : s.omitNames)
    if (!o.empty() && o == upper) return true;
  return false;
}

}  // namespace gds
