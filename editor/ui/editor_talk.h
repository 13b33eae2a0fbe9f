// How the cell database talks to the user in the editor: message boxes, the title notices, the
// NEWCELL question, the current view and the quiet TLC copy of a save.
#pragma once
#include "editor/db/talk.h"
#include "editor/ui/editor.h"

namespace edui {

class EditorTalk : public db::Talk {
 public:
  explicit EditorTalk(Editor& ed) : ed_(ed) {}
  void Message(int n) override;
  void Box(std::string_view caption, std::string_view text) override;
  void SetMainTitle(int kind, std::string_view cellName) override;
  void HoldNotice(int milliseconds) override;
  int NewCellRank(std::string_view name) override;
  bool CurrentView(db::ViewNow& view) override;
  int QuietTlcOut(std::string_view cellName) override;

 private:
  Editor& ed_;
};

}  // namespace edui
