// A job display for runs without a window (batch tools, benchmarks): items and titles go nowhere,
// message boxes get OK, or Yes to a question (and are shown on stderr when asked to), pauses take no
// time and no key is ever down. Unlike RecordingUi it keeps nothing, however long the run.
#pragma once
#include <cstdio>

#include "utilib/job.h"

namespace utilib {

class QuietUi final : public JobUi {
 public:
  explicit QuietUi(bool showBoxes = false) : showBoxes_(showBoxes) {}
  void SetItemText(int, std::string_view) override {}
  void SetItemNumber(int, long long) override {}
  void SetDisplayTitle(std::string_view) override {}
  BoxAnswer MessageBox(std::string_view caption, std::string_view text, BoxButtons buttons) override {
    if (showBoxes_)
      std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                   static_cast<int>(text.size()), text.data());
    return buttons == BoxButtons::YesNo || buttons == BoxButtons::YesNoCancel ? BoxAnswer::Yes : BoxAnswer::Ok;
  }
  bool Pause(int) override { return false; }
  bool IsEscapePressed() override { return false; }
  bool IsControlPressed() override { return false; }

 private:
  bool showBoxes_;
};

}  // namespace utilib
