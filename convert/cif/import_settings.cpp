#include "convert/cif/import_settings.h"

#include <cmath>

#include "convert/cif/export_settings.h"
#include "convert/cif/text_template.h"
#include "utilib/layer_filter.h"
#include "editor/tlc/stream.h"
#include "editor/tlc/run.h"
#include "platform/os/path.h"
#include "utilib/job.h"
#include "utilib/layer_filter.h"

namespace cif {

namespace {

const char* const kDefaults[kImportSlots] = {
    "???.cif", "", "???", "", "20.", "9", "N", "N", "Y", kDefaultTemplate, "10", kImportReport};

}  // namespace

void SetImportDefaults(ImportSettings& s) {
  for (int i = 0; i < kImportSlots; ++i) s.slots[i] = kDefaults[i];
  s.templates = DefaultTemplates();
  NormaliseImport(s);
}

void NormaliseImport(ImportSettings& s) {
  std::vector<std::string>& v = s.slots;
  for (std::string& slot : v) utilib::UpperCase(slot);
  s.templates.resize(kTemplateCount);

  // A file that is there is read under the name given: the name with ".CIF" would be another file,
  // missing, and a file that is not CIF is then told by what its reading finds.
  if (!os::FileExists(v[kImpCifFile])) v[kImpCifFile] = ReplaceExtension(v[kImpCifFile], ".CIF");
  s.cifFile = v[kImpCifFile];
  s.cellFile = v[kImpCellFile];
  s.layerFile = v[kImpLayerFile].empty() ? s.cifFile : v[kImpLayerFile];

  if (!v[kImpTlcFolder].empty()) v[kImpTlcFolder] = tlc::NormaliseFolder(v[kImpTlcFolder]);
  s.tlcFolder = tlc::NormaliseFolder(v[kImpTlcFolder]);

  if (v[kImpScale].empty()) {
    s.scale = 0;
  } else {
    double scale = std::fabs(tlc::ToDouble(v[kImpScale]));
    if (!(scale >= 0.01)) scale = 0.01;
    if (scale > 100) scale = 100;
    s.scale = scale;
    v[kImpScale] = utilib::Format("%.7g", scale);
  }

  ForceLeadingDigit(v[kImpNameDigit]);
  s.nameDigit = v[kImpNameDigit].empty() ? 0 : v[kImpNameDigit][0];

  s.closeOpenPoly = utilib::IsSettingYes(v[kImpCloseOpenPoly]);
  s.inlinePaths = utilib::IsSettingYes(v[kImpInlinePaths]);
  s.makeRef = utilib::IsSettingYes(v[kImpMakeRef]);

  ForceLeadingDigit(v[kImpTemplate]);
  s.textTemplate = v[kImpTemplate];

  double size = tlc::ToDouble(v[kImpTextSize]);
  if (!(size >= 0.1)) size = 0.1;
  if (size > 100) size = 100;
  s.textSize = size;
  v[kImpTextSize] = utilib::FormatG(size);

  if (v[kImpReportFile].empty()) v[kImpReportFile] = kImportReport;
  s.reportFile = v[kImpReportFile];
}

}  // namespace cif
