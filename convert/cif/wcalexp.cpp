// Wcalexp: a main TLC file and the cells it uses into one CIF file.
#include "convert/cif/exporter.h"
#include "convert/cif/setup_dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"

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
  p.helpFile = cif::kHelpFile;
  p.reportFile = cif::kExportReport;
  p.credit = "CALEXP 6.0\nTLC to CIF Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&settings.slots, &settings.templates};
  p.normalise = [] { cif::NormaliseExport(settings); };
  p.command = [](int id) {
    if (id != 12) return false;
    cif::RunCifSetupDialog(settings.slots, {5, 6, 7, 8}, settings.templates,
                           [] { cif::NormaliseExport(settings); });
    return true;
  };
  p.goId = 13;
  p.go = [](utilib::Job& job) {
    result = {};
    return cif::ExportCif(job, settings, &result);
  };
  p.completion = [] { return cif::ExportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.cifFile + " ..."; };
  p.heldItems = {cif::kExpPercent};
  return utilib::RunUtility(p, argc, argv);
}
