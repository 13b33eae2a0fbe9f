// Wstrmexp: a main TLC file and the cells it uses into one GDSII stream file.
#include "convert/gds/exporter.h"
#include "utilib/frame/slot_dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"

namespace {

gds::ExportSettings settings;
gds::ExportResult result;

void Normalise() {
  gds::NormaliseExportMain(settings);
  gds::NormaliseExportText(settings);
}

bool Command(int id) {
  if (id == 12) {
    utilib::RunSlotDialog("SETUP", settings.main, utilib::SlotRange(100, gds::kExportMainSlots, {10, 11, 12, 13, 14}),
                       [] { gds::NormaliseExportMain(settings); });
    return true;
  }
  if (id == 13) {
    utilib::RunSlotDialog("TEXT", settings.text, utilib::SlotRange(200, gds::kExportTextSlots),
                       [] { gds::NormaliseExportText(settings); });
    return true;
  }
  return false;
}

int Go(utilib::Job& job) {
  result = {};
  return gds::ExportGds(job, settings, &result);
}

}  // namespace

int main(int argc, char** argv) {
  gds::SetExportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = gds::kExportProgram;
  p.templates = "wstrmexp";
  p.setupFile = gds::kExportSetupFile;
  p.version = gds::kExportSetupVersion;
  p.helpFile = "STRMCONV.HPV";
  p.reportFile = gds::kExportReport;
  p.credit = "STRMEXP 6.0\nTLC to GDSII Stream Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Text"}, {14, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'T', ui::mod::Alt, 13}, {'G', ui::mod::Alt, 14}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Text"}, {14, "Go"}};
  p.groups = {&settings.main, &settings.text};
  p.normalise = Normalise;
  p.command = Command;
  p.goId = 14;
  p.go = Go;
  p.completion = [] { return gds::ExportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.gdsFile + " ..."; };
  p.heldItems = {gds::kExpPercent};
  return utilib::RunUtility(p, argc, argv);
}
