// ATTR: a layer's colour letter, fill and dash, and the drawing switches; LEGEND shows the fills and
// dashes by number.
#pragma once
#include "editor/db/database.h"
#include "platform/ui/types.h"

namespace edsys {

// The switches of the drawing engine ATTR shows and sets.
struct DrawSwitches {
  bool* noFill = nullptr;
  bool* solidFill = nullptr;
  bool* noDash = nullptr;
};

// 1 when closed with Close (the shown layer stored), 0 on Cancel or when the window is closed.
// `shownLayer` is the layer it starts on and the one it was left on.
int RunAttrDialog(ui::Wnd owner, db::Database& d, DrawSwitches switches, int& shownLayer);
void RunLegend(ui::Wnd owner);

}  // namespace edsys
