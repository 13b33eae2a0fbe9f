#include "convert/dxf/export_settings.h"

#include "editor/tlc/run.h"
#include "utilib/cell_list.h"
#include "utilib/layer_filter.h"

namespace dxf {

namespace {

const char* const kDefaults[kExportUsedSlots] = {"???.TLC", "???.CIF", "LAYER", "Y", "N",
                                                  "N",       "N",       "Y",     "Y", kExportReport};

}  // namespace

std::string ForceExtension(const std::string& path, const char* extension) {
  const std::size_t slash = path.find_last_of("\\/:");
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find('.', start);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

void SetExportDefaults(ExportSettings& s) {
  for (int i = 0; i < kExportSlots; ++i) s.slots[i] = i < kExportUsedSlots ? kDefaults[i] : "";
  NormaliseExport(s);
}

void NormaliseExport(ExportSettings& s) {
  for (auto& slot : s.slots) slot = tlc::UpperCase(slot);

  s.slots[0] = ForceExtension(s.slots[0], ".TLC");
  const utilib::MainFileName main = utilib::MainFileName::Split(s.slots[0]);
  s.tlcDrive = main.drive;
  s.tlcFolder = main.folder;
  s.mainCell = main.base;
  s.mainFile = s.slots[0];

  std::string& dxfName = s.slots[1];
  dxfName = dxfName.empty() ? s.tlcDrive + s.tlcFolder + s.mainCell + ".DXF" : ForceExtension(dxfName, ".DXF");
  s.dxfFile = dxfName;

  s.prefix = s.slots[2];
  s.convertText = utilib::IsSettingYes(s.slots[3]);
  s.includeLastVertex = utilib::IsSettingYes(s.slots[4]);
  s.widthInVertex = utilib::IsSettingYes(s.slots[5]);
  s.pathsToPolygons = utilib::IsSettingYes(s.slots[6]);
  s.inlineEnds = utilib::IsSettingYes(s.slots[7]);
  s.properPolylines = utilib::IsSettingYes(s.slots[8]);

  if (s.slots[9].empty()) s.slots[9] = kExportReport;
  s.reportFile = s.slots[9];
}

}  // namespace dxf
