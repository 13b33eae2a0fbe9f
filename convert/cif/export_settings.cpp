#include "convert/cif/export_settings.h"

#include <cmath>

#include "convert/cif/text_template.h"
#include "utilib/layer_filter.h"
#include "editor/tlc/stream.h"
#include "utilib/cell_list.h"
#include "utilib/job.h"
#include "utilib/layer_filter.h"

namespace cif {

namespace {

const char* const kDefaults[kExportSlots] = {
    "???.TLC", "", "???.CIF", "", "1.0", "Y", "Y", "N", "Y", kDefaultTemplate, "9", ".05", kExportReport};

}  // namespace

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  const std::size_t slash = path.find_last_of("\\/:");
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.find('.', nameStart);
  return std::string(path.substr(0, dot)) + std::string(extension);
}

double BoundGrid(double grid) {
  grid = std::fabs(grid);
  if (!(grid >= 0.01)) grid = 0.01;  // also NaN
  if (grid > 10) grid = 10;
  return std::round(grid * 100) / 100;
}

void SetExportDefaults(ExportSettings& s) {
  for (int i = 0; i < kExportSlots; ++i) s.slots[i] = kDefaults[i];
  s.templates = DefaultTemplates();
  NormaliseExport(s);
}

void NormaliseExport(ExportSettings& s) {
  std::vector<std::string>& v = s.slots;
  for (std::string& slot : v) utilib::UpperCase(slot);
  s.templates.resize(kTemplateCount);

  v[kExpMainTlc] = ReplaceExtension(v[kExpMainTlc], ".TLC");
  const utilib::MainFileName main = utilib::MainFileName::Split(v[kExpMainTlc]);
  s.mainFile = v[kExpMainTlc];
  s.tlcDrive = main.drive;
  s.tlcFolder = main.folder;
  s.mainCell = main.base;
  s.tlcExtension = main.extension;

  s.layerFile = v[kExpLayerFile];

  if (v[kExpCifFile].empty())
    v[kExpCifFile] = s.tlcDrive + s.tlcFolder + s.mainCell + ".CIF";
  else
    v[kExpCifFile] = ReplaceExtension(v[kExpCifFile], ".CIF");
  s.cifFile = v[kExpCifFile];

  if (v[kExpGrid].empty()) {
    s.grid = 0;
  } else {
    s.grid = BoundGrid(tlc::ToDouble(v[kExpGrid]));
    v[kExpGrid] = utilib::Format("%.7g", s.grid);
  }

  double lambda = v[kExpLambda].empty() ? 1.0 : std::fabs(tlc::ToDouble(v[kExpLambda]));
  if (!(lambda >= 0.01)) lambda = 0.01;
  if (lambda > 100) lambda = 100;
  s.lambda = lambda;
  v[kExpLambda] = utilib::Format("%.6g", lambda);

  s.includeMeroText = utilib::IsSettingYes(v[kExpIncludeMeroText]);
  s.protocol = utilib::IsSettingYes(v[kExpProtocol]);
  s.pathsToPoly = utilib::IsSettingYes(v[kExpPathsToPoly]);
  s.intersections = utilib::IsSettingYes(v[kExpIntersections]);

  ForceLeadingDigit(v[kExpTemplate]);
  s.textTemplate = v[kExpTemplate];
  ForceLeadingDigit(v[kExpNameDigit]);
  s.nameDigit = v[kExpNameDigit].substr(0, 1);

  s.resolution = std::fabs(tlc::ToDouble(v[kExpResolution]));
  v[kExpResolution] = utilib::FormatG(s.resolution);

  if (v[kExpReportFile].empty()) v[kExpReportFile] = kExportReport;
  s.reportFile = v[kExpReportFile];
}

}  // namespace cif
