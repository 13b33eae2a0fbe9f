#include "convert/dxf/import_settings.h"

#include <cmath>

#include "convert/dxf/export_settings.h"
#include "convert/dxf/group_reader.h"
#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"
#include "utilib/cell_list.h"
#include "utilib/job.h"
#include "utilib/layer_filter.h"

namespace dxf {

namespace {

const char* const kDefaults[kImportSlots] = {"???.DXF", "???.TLC", "um", "20", "Y", "Y", "Y", "Y",
                                             "Y",       "Y",       "Y",  "Y",  "Y", "CCW", "5", kImportReport};

}  // namespace

void SetImportDefaults(ImportSettings& s) {
  for (int i = 0; i < kImportSlots; ++i) s.main[i] = kDefaults[i];
  for (auto& slot : s.layers) slot = "0";
  NormaliseImportAll(s);
}

void NormaliseImportAll(ImportSettings& s) {
  NormaliseImport(s, 0);
  NormaliseImport(s, 1);
}

void NormaliseImport(ImportSettings& s, int mode) {
  if (mode == 1) {
    for (int i = 0; i < kLayerSlots; ++i) {
      int n = tlc::ToInt(s.layers[i]);
      n = n < 0 ? 0 : (n > 64 ? 64 : n);
      s.layerNumbers[i] = n;
      s.layers[i] = std::to_string(n);
    }
    return;
  }
  for (auto& slot : s.main) slot = tlc::UpperCase(slot);

  s.main[0] = ForceExtension(s.main[0], ".DXF");
  s.dxfFile = s.main[0];
  s.main[1] = ForceExtension(s.main[1], ".TLC");
  s.tlcFile = s.main[1];
  const utilib::MainFileName main = utilib::MainFileName::Split(s.tlcFile);
  s.mainCell = main.base;
  s.tlcFolder = tlc::NormaliseFolder(main.drive + main.folder);

  std::string& unit = s.main[2];
  for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (unit.empty()) unit = "um";
  s.unit = unit;

  double scale = tlc::ToDouble(s.main[3]);
  if (!(scale > 0)) scale = 1;
  s.main[3] = utilib::Format("%.5g", scale);
  s.scale = tlc::ToDouble(s.main[3]);

  s.arcs = utilib::IsSettingYes(s.main[4]);
  s.circles = utilib::IsSettingYes(s.main[5]);
  s.lines = utilib::IsSettingYes(s.main[6]);
  s.solids = utilib::IsSettingYes(s.main[7]);
  s.text = utilib::IsSettingYes(s.main[8]);
  s.closeArcs = utilib::IsSettingYes(s.main[9]);
  s.closePolylines = utilib::IsSettingYes(s.main[10]);
  s.closeWidePolylines = utilib::IsSettingYes(s.main[11]);
  s.makeRef = utilib::IsSettingYes(s.main[12]);

  s.clockwise = s.main[13] == "CW";
  s.main[13] = s.clockwise ? "CW" : "CCW";

  double angle = std::fabs(tlc::ToDouble(s.main[14]));
  if (!(angle >= 1)) angle = 1;
  if (angle > 45) angle = 45;
  s.main[14] = utilib::Format("%.4g", angle);
  s.segmentAngle = tlc::ToDouble(s.main[14]);

  if (s.main[15].empty()) s.main[15] = kImportReport;
  s.reportFile = s.main[15];
}

int DxfLayerMap::MapDxfLayer(const ImportSettings& s, std::string_view name) const {
  name = name.substr(0, kLayerNameLength);
  for (std::size_t i = 0; i < names.size() && i < static_cast<std::size_t>(kMaxDxfLayers); ++i)
    if (names[i].size() == name.size() && SameWord(name, tlc::UpperCase(names[i]))) return s.layerNumbers[i];
  return 0;
}

std::vector<std::string> ReadDxfLayerTable(std::string_view text) {
  std::vector<std::string> names;
  DxfScanner scanner(text);
  DxfItem item;
  while (scanner.NextDxfItem(item) && names.size() < static_cast<std::size_t>(kMaxDxfLayers)) {
    if (!item.inLayerTable || item.word != "LAYER") continue;
    const DxfGroup* name = item.Find(2);
    names.emplace_back(name ? name->Word().substr(0, kLayerNameLength) : std::string_view());
  }
  return names;
}

}  // namespace dxf
