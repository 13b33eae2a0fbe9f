// Wcalimp: a CIF file into TLC files, one per symbol, with a CELLS.REF.
#include "convert/cif/export_settings.h"
#include "convert/cif/importer.h"
#include "convert/cif/setup_dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"

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
  p.helpFile = cif::kHelpFile;
  p.reportFile = cif::kImportReport;
  p.credit = "CALIMP 6.0\nCIF to TLC Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&settings.slots, &settings.templates};
  p.normalise = [] { cif::NormaliseImport(settings); };
  p.command = [](int id) {
    if (id != 12) return false;
    cif::RunCifSetupDialog(settings.slots, {6, 7, 8}, settings.templates,
                           [] { cif::NormaliseImport(settings); });
    return true;
  };
  p.goId = 13;
  p.go = [](utilib::Job& job) {
    result = {};
    return cif::ImportCif(job, settings, utilib::NewNameDialog(utilib::UtilityWindow()), &result);
  };
  p.completion = [] { return cif::ImportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.tlcFolder + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
