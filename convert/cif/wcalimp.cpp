// Wcalimp: a CIF file into TLC files, one per symbol, with a CELLS.REF.
#include "convert/cif/importer.h"
#include "convert/cif/program_frame.h"
#include "utilib/frame/dialogs.h"

namespace {

cif::ImportSettings settings;
cif::ImportResult result;

}  // namespace

int main(int argc, char** argv) {
  cif::SetImportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = cif::kImportProgram;
  p.templates = "wcalimp";
  p.setupFile = cif::kImportSetupFile;
  p.version = cif::kImportSetupVersion;
  p.reportFile = cif::kImportReport;
  p.credit = "CALIMP 6.0\nCIF to TLC Converter";
  cif::DescribeCifProgram(p, settings.slots, settings.templates, {6, 7, 8},
                          [] { cif::NormaliseImport(settings); });
  p.go = [](utilib::Job& job) {
    result = {};
    return cif::ImportCif(job, settings, utilib::NewNameDialog(utilib::UtilityWindow()), &result);
  };
  p.completion = [] { return cif::ImportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.tlcFolder + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
