#include "utilib/frame/slot_dialog.h"

#include <algorithm>

#include "platform/ui/dialog.h"
#include "utilib/frame/frame.h"
#include "utilib/setup_file.h"

namespace utilib {

int RunSlotDialog(std::string_view templateName, std::vector<std::string>& slots,
                  const std::vector<SlotField>& fields, const std::function<void()>& normalise,
                  const std::function<void(ui::Wnd)>& init) {
  return ui::RunDialog(
      templateName, UtilityWindow(),
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
        return ui::EndOkCancel(d, ui::LowWord(wp), [&] {
          for (const SlotField& f : fields) {
            slots[f.slot] = f.check ? (ui::IsItemChecked(d, f.id) ? "Y" : "N")
                                    : ui::ItemText(d, f.id, kSlotLength);
          }
          if (normalise) normalise();
        });
      }) == 1;
}

std::vector<SlotField> SlotRange(int first, int count, const std::vector<int>& checks) {
  std::vector<SlotField> fields;
  for (int i = 0; i < count; ++i)
    fields.push_back({first + i, i, std::find(checks.begin(), checks.end(), i) != checks.end()});
  return fields;
}

}  // namespace utilib
