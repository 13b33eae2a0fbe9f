// A job display for runs without a window: items and titles go nowhere, message boxes are answered
// OK (and shown on stderr when asked to), pauses take no time and no key is ever down.
#pragma once
#include <cstdio>

#include "utilib/job.h"

namespace gds {

class QuietUi final : public utilib::JobUi {
 public:
  explicit QuietUi(bool showBoxes = false) : showBoxes_(showBoxes) {}
  void SetItemText(int, std::string_view) override {}
  void SetItemNumber(int, long long) override {}
  void SetDisplayTitle(std::string_view) override {}
  utilib::BoxAnswer MessageBox(std::string_view caption, std::string_view text,
                               utilib::BoxButtons) override {
    if (showBoxes_)
      std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                   static_cast<int>(text.size()), text.data());
    return utilib::BoxAnswer::Ok;
  }
  bool Pause(int) override { return false; }
  bool IsEscapePressed() override { return false; }
  bool IsControlPressed() override { return false; }

 private:
  bool showBoxes_;
};

}  // namespace gds
