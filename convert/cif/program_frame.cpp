#include "convert/cif/program_frame.h"

#include "convert/cif/export_settings.h"
#include "convert/cif/text_template.h"
#include "utilib/frame/slot_dialog.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"

namespace cif {

int RunCifSetupDialog(std::vector<std::string>& slots, const std::vector<int>& checkSlots,
                      std::vector<std::string>& templates, const std::function<void()>& normalise) {
  const int templateSlot = kTemplateCombo - 100;
  return utilib::RunSlotDialog(
      "SETUP", slots, utilib::SlotRange(100, static_cast<int>(slots.size()), checkSlots),
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

void DescribeCifProgram(utilib::UtilityProgram& p, std::vector<std::string>& slots,
                        std::vector<std::string>& templates, std::vector<int> checkSlots,
                        std::function<void()> normalise) {
  p.helpFile = kHelpFile;
  p.menu = {{10, "&Help"}, {11, "&Read"}, {12, "&Setup"}, {13, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'R', ui::mod::Alt, 11},
                            {'S', ui::mod::Alt, 12}, {'G', ui::mod::Alt, 13}};
  p.toolbar = {{10, "Help"}, {11, "Read"}, {12, "Setup"}, {13, "Go"}};
  p.groups = {&slots, &templates};
  p.normalise = normalise;
  p.command = [&slots, &templates, checkSlots, normalise](int id) {
    if (id != 12) return false;
    RunCifSetupDialog(slots, checkSlots, templates, normalise);
    return true;
  };
  p.goId = 13;
}

}  // namespace cif
