#include "extract/dialogs.h"

#include "utilib/frame/slot_dialog.h"
#include "platform/ui/dialog.h"
#include "utilib/frame/dialogs.h"
#include "utilib/frame/frame.h"
#include "utilib/setup_file.h"

namespace ext {

namespace {

bool IsYes(const std::string& v) { return !v.empty() && (v[0] == 'Y' || v[0] == 'y'); }

}  // namespace

int RunSetup1Dialog(ExtractorSettings& s, const db::CellIndex& index) {
  const ui::Wnd owner = utilib::UtilityWindow();
  return ui::RunDialog("SETUP1", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (int slot = 0; slot < kSetup1Slots; ++slot) {
        const int id = 100 + slot;
        if (slot >= kOpens && slot <= kCounts) ui::CheckItem(d, id, IsYes(s.setup1[slot]));
        else ui::SetItemText(d, id, s.setup1[slot]);
      }
      ui::CheckItem(d, kFastRunItem, s.fastRun);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case ui::kIdOk:
        for (int slot = 0; slot < kSetup1Slots; ++slot) {
          const int id = 100 + slot;
          if (slot >= kOpens && slot <= kCounts) s.setup1[slot] = ui::IsItemChecked(d, id) ? "Y" : "N";
          else s.setup1[slot] = ui::ItemText(d, id, utilib::kSlotLength);
        }
        s.fastRun = ui::IsItemChecked(d, kFastRunItem);
        NormaliseSettings(s, 0);
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
      case kListButton: {
        std::string picked;
        if (utilib::RunCellPicker(d, index, picked) == 1) ui::SetItemText(d, 100, picked);
        return 1;
      }
    }
    return 0;
  }) == 1;
}

int RunSetup2Dialog(ExtractorSettings& s) {
  // Slot 203 has no control: it keeps what it holds.
  return utilib::RunSlotDialog("SETUP2", s.setup2,
                            {{200, kFirstList, false}, {201, kBaseName, false}, {202, kSecondList, false},
                             {204, kCompareReport, false}},
                            [&] { NormaliseSettings(s, 1); });
}

int RunTraceDialog(ExtractorSettings& s) {
  std::vector<utilib::SlotField> fields = utilib::SlotRange(300, kInsulator5Slot);
  fields.push_back({320, kCapacitanceSwitch, true});
  return utilib::RunSlotDialog("TRACE", s.trace, fields, [&] { NormaliseSettings(s, 2); });
}

int RunSmashDialog(ExtractorSettings& s) {
  return utilib::RunSlotDialog("SMASH", s.smash, utilib::SlotRange(1024, kSmashFileSlots), [&] { NormaliseSettings(s, 3); });
}

}  // namespace ext
