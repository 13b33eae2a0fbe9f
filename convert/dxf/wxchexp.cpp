// Wxchexp: a main TLC file and the cells it uses into one DXF drawing exchange file.
#include "convert/dxf/exporter.h"
#include "utilib/frame/slot_dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"

namespace {

dxf::ExportSettings settings;
dxf::ExportResult result;

bool Command(int id) {
  if (id != 12) return false;
  utilib::RunSlotDialog("SETUP", settings.slots, utilib::SlotRange(100, dxf::kExportUsedSlots, {3, 4, 5, 6, 7, 8}),
                     [] { dxf::NormaliseExport(settings); });
  return true;
}

int Go(utilib::Job& job) {
  result = {};
  return dxf::ExportDxf(job, settings, &result);
}

}  // namespace

int main(int argc, char** argv) {
  dxf::SetExportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = dxf::kExportProgram;
  p.templates = "wxchexp";
  p.setupFile = dxf::kExportSetupFile;
  p.version = dxf::kExportSetupVersion;
  p.helpFile = "XCHCONV.HPV";
  p.reportFile = dxf::kExportReport;
  p.credit = "XCHEXP 6.0\nTLC to DXF Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbarTemplate = "TOOLDLG";
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&settings.slots};
  p.normalise = [] { dxf::NormaliseExport(settings); };
  p.command = Command;
  p.goId = 13;
  p.go = Go;
  p.completion = [] { return dxf::ExportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.dxfFile + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
