#include "install/progress_list.h"

namespace install {

void ProgressList::Add(std::string_view text, bool clear) {
  utilib::SetItemText(job_, text, kFirstProgressLine + line_);
  ++line_;
  ++count_;
  utilib::SetItemText(job_, utilib::Format("%d Files Installed", count_), kProgressCounter);
  utilib::ShowPause(job_, kLinePauseMs);
  if (line_ == kProgressLines || clear) {
    // One item past the last line is emptied too; the display has none there.
    for (int id = kFirstProgressLine; id <= kFirstProgressLine + kProgressLines; ++id)
      utilib::SetItemText(job_, "", id);
    line_ = 0;
  }
}

}  // namespace install
