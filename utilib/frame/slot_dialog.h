// The utilities' setting dialogs: each control shows one setting slot, an edit its text and a check
// box "Y" or "N"; OK copies them back (at most 64 characters each) and normalises.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/types.h"

namespace utilib {

struct SlotField {
  int id;        // control id
  int slot;      // index into the slots
  bool check;    // a check box for a Y/N slot
};

// 1 on OK (slots stored, `normalise` called), 0 on Cancel or close. `init` (optional) runs once the
// fields show their slots, for what a slot cannot show itself (the list of a combo box).
int RunSlotDialog(std::string_view templateName, std::vector<std::string>& slots,
                  const std::vector<SlotField>& fields, const std::function<void()>& normalise,
                  const std::function<void(ui::Wnd)>& init = {});

// Fields first .. first + count - 1 on slots 0 .. count - 1; `checks` are the slots shown as check
// boxes.
std::vector<SlotField> SlotRange(int first, int count, const std::vector<int>& checks = {});

}  // namespace utilib
