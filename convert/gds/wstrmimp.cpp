// Wstrmimp: a GDSII stream file into TLC files, one per structure, with CELLS.REF and a name list.
#include "convert/gds/importer.h"
#include "utilib/frame/slot_dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"

namespace {

gds::ImportSettings settings;
gds::ImportResult result;

bool Command(int id) {
  if (id == 12) {
    utilib::RunSlotDialog("SETUP", settings.main,
                       utilib::SlotRange(100, gds::kImportMainSlots, {6, 7, 8, 9, 10, 11, 12, 13}),
                       [] {
                         gds::NormaliseImport(settings, 0);
                         gds::NormaliseImport(settings, 1);
                       });
    return true;
  }
  if (id == 13) {
    std::vector<utilib::SlotField> fields;
    for (int r = 0; r < 4; ++r)
      for (int f = 0; f < 6; ++f) fields.push_back({200 + 6 * r + f, 6 * r + f, f >= 3});
    utilib::RunSlotDialog("TXT", settings.text, fields, [] { gds::NormaliseImport(settings, 1); });
    return true;
  }
  if (id == 14) {
    utilib::RunSlotDialog("OMIT", settings.omit, utilib::SlotRange(300, gds::kImportOmitSlots),
                       [] { gds::NormaliseImport(settings, 2); });
    return true;
  }
  return false;
}

int Go(utilib::Job& job) {
  result = {};
  return gds::ImportGds(job, settings, utilib::NewNameDialog(utilib::UtilityWindow()), &result);
}

}  // namespace

int main(int argc, char** argv) {
  gds::SetImportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = gds::kImportProgram;
  p.templates = "wstrmimp";
  p.setupFile = gds::kImportSetupFile;
  p.version = gds::kImportSetupVersion;
  p.helpFile = "STRMCONV.HPV";
  p.reportFile = gds::kImportReport;
  p.credit = "STRMIMP 6.0\nGDSII Stream to TLC Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Text"}, {14, "&Omits"}, {15, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'T', ui::mod::Alt, 13}, {'O', ui::mod::Alt, 14},
                            {'G', ui::mod::Alt, 15}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Text"}, {14, "Omits"}, {15, "Go"}};
  p.groups = {&settings.main, &settings.text, &settings.omit};
  p.normalise = [] { gds::NormaliseImportAll(settings); };
  p.command = Command;
  p.goId = 15;
  p.go = Go;
  p.completion = [] { return gds::ImportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.tlcFolder + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
