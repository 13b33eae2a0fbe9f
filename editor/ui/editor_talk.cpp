#include "editor/ui/editor_talk.h"

#include <chrono>
#include <thread>

#include "editor/tlc/tlcout.h"
#include "editor/ui/cell_dialogs.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "platform/ui/program.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"

namespace edui {

void EditorTalk::SetMainTitle(int kind, std::string_view cellName) {
  ui::SetTitle(ed_.main, MainTitleText(ed_, kind, cellName));
}

void EditorTalk::HoldNotice(int milliseconds) {
  const int ms = ui::ScaledPause(milliseconds);
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int EditorTalk::NewCellRank(std::string_view) { return RunNewCellDialog(ed_); }

bool EditorTalk::CurrentView(db::ViewNow& view) {
  view.width = ed_.view.width;
  view.centreX = ed_.view.centreX;
  view.centreY = ed_.view.centreY;
  view.workGrid = ed_.view.workGrid;
  view.dotGrid = ed_.view.dotGrid;
  view.dotShown = ed_.view.dotShown;
  return true;
}

int EditorTalk::QuietTlcOut(std::string_view cellName) {
  // The quiet TLC copy shows nothing unless something goes wrong.
  ui::WindowTalk talk;
  return tlc::QuietTlcOut(cellName, talk);
}

void AttachTalk(Editor& ed, EditorTalk* talk) {
  ed.db.SetTalk(talk);
  ed.db.SetHooks(talk);
}

}  // namespace edui
