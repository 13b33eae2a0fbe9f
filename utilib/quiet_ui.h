// The talk of runs without a window (batch tools, benchmarks): the silent defaults of tell::Talk,
// with message boxes shown on stderr when asked to. Unlike tell::Recorder it keeps nothing, however
// long the run, and formats no counts.
#pragma once
#include <cstdio>

#include "utilib/job.h"

namespace utilib {

class QuietUi final : public tell::Talk {
 public:
  explicit QuietUi(bool showBoxes = false) : showBoxes_(showBoxes) {}
  void SetItemNumber(int, long long) override {}
  tell::Answer Box(std::string_view caption, std::string_view text, tell::Buttons buttons = tell::Buttons::Ok) override {
    if (showBoxes_)
      std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                   static_cast<int>(text.size()), text.data());
    return tell::GoOnAnswer(buttons);
  }

 private:
  bool showBoxes_;
};

}  // namespace utilib
