// System Mode and its dialogs as the editor's menu items and commands call them.
//   Sys (menu 13):         edsys::RunSystemMode(ctx) with ctx = edsys::SystemContextOf(ed)
//   "Attr" command:        edsys::RunAttrDialog(ed.main, ed.db, edsys::SwitchesOf(ed), layer)
//   "Show" of an instance: edsys::ShowCellReports(ed.main, ed.db, name, n, &keeper) with a keeper that
//                          sets the edited cell aside through the drawing engine
//   cCel, and an instance pick that hits nothing: edsys::RunCcelDialog / edsys::RunNoCellDialog
#pragma once
#include "editor/ui/editor.h"
#include "editor/ui/system/attr_dialog.h"
#include "editor/ui/system/show_list.h"
#include "editor/ui/system/system_mode.h"

namespace edsys {

inline SystemContext SystemContextOf(edui::Editor& ed) {
  SystemContext c(ed.db);
  c.main = ed.main;
  c.view = {ed.view.userCentreX, ed.view.userCentreY, ed.view.userWidth, ed.masks.view};
  c.pendingHelp = &ed.pendingHelp;
  c.tlcIn = &ed.edit.tlcIn;
  c.tlcOut = &ed.edit.tlcOut;
  return c;
}

inline DrawSwitches SwitchesOf(edui::Editor& ed) {
  return {&ed.draw.noFill, &ed.draw.solidFill, &ed.draw.noDash};
}

inline EditedCellKeeper KeeperOf(edui::Editor& ed) {
  return {[&ed] { return draw::SetAsideEditedCell(ed.draw); }, [&ed] { return draw::RestoreEditedCell(ed.draw); }};
}

}  // namespace edsys
