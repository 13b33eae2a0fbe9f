// Wplaner: a cell and every cell below it into flat or smashed TLC files.
#include "batch/flattener.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"

namespace {

constexpr int kList = 111;
// Edits 100..102 and 105..110 show slots 0..2 and 5..10; check boxes 103 and 104 slots 3 and 4.
constexpr bool IsCheck(int slot) { return slot == planer::kCircuitSlot || slot == planer::kKeepNodeSlot; }

planer::PlanerSettings settings;
planer::DrawingFolder drawing;
planer::FlattenResult result;

void Normalise() { planer::NormaliseSettings(settings); }

void RunSetup() {
  ui::RunDialog("SETUP", utilib::UtilityWindow(), [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (int slot = 0; slot < planer::kSlots; ++slot) {
        const std::string& v = settings.slots[slot];
        if (IsCheck(slot)) ui::CheckItem(d, 100 + slot, !v.empty() && v[0] == 'Y');
        else ui::SetItemText(d, 100 + slot, v);
      }
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case kList: {
        std::string cell;
        if (utilib::RunCellPicker(d, drawing.index, cell) == 1) ui::SetItemText(d, 100 + planer::kCellSlot, cell);
        return 1;
      }
      case ui::kIdOk:
        for (int slot = 0; slot < planer::kSlots; ++slot)
          settings.slots[slot] = IsCheck(slot) ? (ui::IsItemChecked(d, 100 + slot) ? "Y" : "N")
                                               : ui::ItemText(d, 100 + slot, utilib::kSlotLength);
        Normalise();
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  });
}

bool Start() {
  std::string message;
  const bool read = planer::ReadDrawingFolder(drawing, message);
  if (read && drawing.scale.damaged) message = db::kDamagedScaleText;
  if (!message.empty()) ui::TalkBox(utilib::UtilityWindow(), planer::kProgram, message, tell::Buttons::Ok);
  return read;
}

int Go(utilib::Job& job) {
  // The set-up file as it is now, in case another run changed it meanwhile.
  utilib::SetupFile{planer::kSetupFile, planer::kSetupVersion, {&settings.slots}, &utilib::UtilityReaders()}.Read();
  Normalise();
  return planer::FlattenCollection(job, drawing, settings, result);
}

}  // namespace

int main(int argc, char** argv) {
  planer::SetPlanerDefaults(settings);
  utilib::UtilityProgram p;
  p.name = planer::kProgram;
  p.templates = "wplaner";
  p.setupFile = planer::kSetupFile;
  p.version = planer::kSetupVersion;
  p.helpFile = "PLANER.HPV";
  p.reportFile = planer::kReport;
  p.credit = "PLANER 6.0\nCell Flattener";
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&settings.slots};
  p.normalise = Normalise;
  p.start = Start;
  p.command = [](int id) {
    if (id != 12) return false;
    RunSetup();
    return true;
  };
  p.goId = 13;
  p.go = Go;
  p.completion = [] { return planer::CompletedText(result); };
  return utilib::RunUtility(p, argc, argv);
}
