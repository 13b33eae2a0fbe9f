// Wxchimp: a DXF drawing exchange file into TLC files, one per block and one for the drawing, with
// CELLS.REF; DXF layers go to the TLC layers typed for them in the LAYERS dialog.
#include "convert/dxf/importer.h"
#include "utilib/frame/slot_dialog.h"
#include "platform/os/textfile.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"

namespace {

dxf::ImportSettings settings;
dxf::DxfLayerMap layers;
bool layersRead = false;  // Go needs the names the Layers command read in this run
dxf::ImportResult result;

constexpr int kLayerNames = 200, kLayerNumbers = 250;

void Box(const char* text) {
  ui::TalkBox(utilib::UtilityWindow(), dxf::kImportProgram, text, tell::Buttons::Ok);
}

// The Layers command: the file's layer table, then the LAYERS dialog.
void Layers() {
  std::string text;
  if (!os::ReadWholeFile(settings.dxfFile, text)) {
    Box("DXF File is Missing ... Can't Continue");
    return;
  }
  layers.names = dxf::ReadDxfLayerTable(text);
  layersRead = true;
  ui::RunDialog("LAYERS", utilib::UtilityWindow(),
                [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
                  if (m == ui::msg::InitDialog) {
                    for (int i = 0; i < dxf::kMaxDxfLayers; ++i) {
                      const std::size_t n = static_cast<std::size_t>(i);
                      ui::SetItemText(d, kLayerNames + i, n < layers.names.size() ? layers.names[n] : "");
                      ui::SetItemText(d, kLayerNumbers + i, settings.layers[n]);
                    }
                    return 1;
                  }
                  if (m != ui::msg::Command) return 0;
                  if (ui::LowWord(wp) == ui::kIdOk) {
                    for (int i = 0; i < dxf::kMaxDxfLayers; ++i)
                      settings.layers[static_cast<std::size_t>(i)] =
                          ui::ItemText(d, kLayerNumbers + i, utilib::kSlotLength);
                    dxf::NormaliseImport(settings, 1);
                    ui::FinishDialog(d, 1);
                    return 1;
                  }
                  if (ui::LowWord(wp) == ui::kIdCancel) {
                    ui::FinishDialog(d, 0);
                    return 1;
                  }
                  return 0;
                });
}

bool Command(int id) {
  if (id == 12) {
    Layers();
    return true;
  }
  if (id == 13) {
    utilib::RunSlotDialog("SETUP", settings.main,
                       utilib::SlotRange(100, dxf::kImportSlots, {4, 5, 6, 7, 8, 9, 10, 11, 12}),
                       [] { dxf::NormaliseImport(settings, 0); });
    return true;
  }
  return false;
}

int Go(utilib::Job& job) {
  result = {};
  if (!layersRead) {
    job.ui->Box(dxf::kImportProgram, "Layers Not Defined ... Can't Continue", tell::Buttons::Ok);
    return 2;
  }
  return dxf::ImportDxf(job, settings, layers, utilib::NewNameDialog(utilib::UtilityWindow()), &result);
}

}  // namespace

int main(int argc, char** argv) {
  dxf::SetImportDefaults(settings);
  utilib::UtilityProgram p;
  p.name = dxf::kImportProgram;
  p.templates = "wxchimp";
  p.setupFile = dxf::kImportSetupFile;
  p.version = dxf::kImportSetupVersion;
  p.helpFile = "XCHCONV.HPV";
  p.reportFile = dxf::kImportReport;
  p.credit = "XCHIMP 6.0\nDXF to TLC Converter";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Layers"}, {13, "&Setup"}, {14, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'L', ui::mod::Alt, 12}, {'S', ui::mod::Alt, 13}, {'G', ui::mod::Alt, 14}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Layers"}, {13, "Setup"}, {14, "Go"}};
  p.groups = {&settings.main, &settings.layers};
  p.normalise = [] { dxf::NormaliseImportAll(settings); };
  p.command = Command;
  p.goId = 14;
  p.go = Go;
  p.completion = [] { return dxf::ImportCompletedText(result); };
  p.displayTitle = [] { return "Constructing " + settings.tlcFile + " ..."; };
  return utilib::RunUtility(p, argc, argv);
}
