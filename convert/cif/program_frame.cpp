#include "convert/cif/setup_dialog.h"

#include "convert/cif/text_template.h"
#include "convert/gds/slot_dialog.h"
#include "platform/ui/dialog.h"

namespace cif {

int RunCifSetupDialog(std::vector<std::string>& slots, const std::vector<int>& checkSlots,
                      std::vector<std::string>& templates, const std::function<void()>& normalise) {
  const int templateSlot = kTemplateCombo - 100;
  return gds::RunSlotDialog(
      "SETUP", slots, gds::SlotRange(100, static_cast<int>(slots.size()), checkSlots),
      [&] {
        normalise();
        RememberTemplate(templates, slots[templateSlot]);
      },
      [&](ui::Wnd d) {
        ui::ListClear(d, kTemplateCombo);
        for (const std::string& t : templates)
          if (!t.empty()) ui::ListAdd(d, kTemplateCombo, t);
      });
}

}  // namespace cif
