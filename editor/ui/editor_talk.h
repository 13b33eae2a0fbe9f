// How the editor tells the user what the cell database has to say (boxes through the one bridge,
// the title notices) and answers the database's hooks: the NEWCELL question, the current view and
// the quiet TLC copy of a save.
#pragma once
#include "editor/db/hooks.h"
#include "editor/ui/editor.h"
#include "platform/ui/talk_box.h"

namespace edui {

class EditorTalk : public ui::WindowTalk, public db::Hooks {
 public:
  explicit EditorTalk(Editor& ed) : ed_(ed) {}
  void SetMainTitle(int kind, std::string_view cellName) override;
  void HoldNotice(int milliseconds) override;
  int NewCellRank(std::string_view name) override;
  bool CurrentView(db::ViewNow& view) override;
  int QuietTlcOut(std::string_view cellName) override;

 private:
  Editor& ed_;
};

// The editor's talk and hooks for its database; nullptr for the silent defaults.
void AttachTalk(Editor& ed, EditorTalk* talk);

}  // namespace edui
