// Wcalexp: a main TLC file and the cells it uses into one CIF file.
#include "convert/cif/exporter.h"
#include "convert/cif/program_frame.h"

namespace {

cif::ExportSettings settings;
cif::ExportResult result;

}  // namespace

int main(int argc, char** argv) {
  cif::SetExportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = cif::kExportProgram;
  p.templates = "wcalexp";
  p.setupFile = cif::kExportSetupFile;
  p.version = cif::kExportSetupVersion;
  p.reportFile = cif::kExportReport;
  p.credit = "CALEXP 6.0\nTLC to CIF Converter";
  cif::DescribeCifProgram(p, settings.slots, settings.templates, {5, 6, 7, 8},
                          [] { cif::NormaliseExport(settings); });
  p.go = [](utilib::Job& job) {
    result = {};
    return cif::ExportCif(job, settings, &result);
  };
  p.completion = [] { return cif::ExportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.cifFile + " ..."; };
  // A flush path tells of its extended ends on a message line, and every fifth line pauses: both at
  // a readable rate, so that a drawing of many such paths is not held up by telling of them.
  p.heldItems = {cif::kExpPercent};
  for (int i = 0; i <= 5; ++i) p.heldItems.insert(cif::kExpMessages + i);
  p.holdInstantPauses = true;
  return utilib::RunUtility(p, argc, argv);
}
