// Menu bars of plain items and accelerator tables, both as tables in code.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/types.h"

namespace ui {

// One item of a menu bar. "&" marks the mnemonic ("S&ys": Alt+Y), "&&" is a literal "&"; id 0 is a
// separator. Choosing an item posts Command(MakeWParam(id, notify::Clicked)) to the window.
struct MenuItem {
  int id = 0;
  std::string text;
};
void SetMenuBar(Wnd w, const std::vector<MenuItem>& items);
void SetMenuItemText(Wnd w, int id, std::string_view text);
void EnableMenuItem(Wnd w, int id, bool enable);
// The item whose mnemonic is `ch` (case-blind); 0 when none.
int MenuMnemonic(Wnd w, char ch);

// Key plus the exact set of Ctrl, Alt and Shift (Num Lock and Caps Lock never count).
struct Accelerator {
  int key = 0;
  unsigned modifiers = 0;  // mod::...
  int id = 0;
};
struct AcceleratorTable {
  std::vector<Accelerator> entries;
};
// A key down (from any of the program's windows) that matches an entry sends
// Command(MakeWParam(id, notify::Accelerator)) to `target` and is used up; the first match wins.
bool ApplyAccelerators(Wnd target, const AcceleratorTable& table, const Msg& msg);

}  // namespace ui
