#include "convert/gds/slot_dialog.h"

#include <algorithm>

#include "platform/ui/dialog.h"
#include "utilib/frame/frame.h"
#include "utilib/setup_file.h"

namespace gds {

int RunSlotDialog(std::string_view templateName, std::vector<std::string>& slots,
                  const std::vector<SlotField>& fields, const std::function<void()>& normalise,
                  const std::function<void(ui::Wnd)>& init) {
  return ui::RunDialog(
      templateName, utilib::UtilityWindow(),
      [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
        if (m == ui::msg::InitDialog) {
          for (const SlotField& f : fields) {
            const std::string& v = slots[f.slot];
            if (f.check) ui::CheckItem(d, f.id, !v.empty() && (v[0] == 'Y' || v[0] == 'y'));
            else ui::SetItemText(d, f.id, v);
          }
          if (init) init(d);
          return 1;
        }
        if (m != ui::msg::Command) return 0;
        if (ui::LowWord(wp) == ui::kIdOk) {
          for (const SlotField& f : fields) {
            slots[f.slot] = f.check ? (ui::IsItemChecked(d, f.id) ? "Y" : "N")
                                    : ui::ItemText(d, f.id, utilib::kSlotLength);
          }
          if (normalise) normalise();
          ui::FinishDialog(d, 1);
          return 1;
        }
        if (ui::LowWord(wp) == ui::kIdCancel) {
          ui::FinishDialog(d, 0);
          return 1;
        }
        return 0;
      }) == 1;
}

std::vector<SlotField> SlotRange(int first, int count, const std::vector<int>& checks) {
  std::vector<SlotField> fields;
  for (int i = 0; i < count; ++i)
    fields.push_back({first + i, i, std::find(checks.begin(), checks.end(), i) != checks.end()});
  return fields;
}

}  // namespace gds
