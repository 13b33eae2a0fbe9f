// The installer's progress list: twelve lines of the "Files Expanded" display, filled one member at
// a time, with the count of lines so far beneath them.
#pragma once
#include <string_view>

#include "utilib/job.h"

namespace install {

constexpr int kFirstProgressLine = 501;
constexpr int kProgressLines = 12;
constexpr int kProgressCounter = 1010;
constexpr int kLinePauseMs = 100;

class ProgressList {
 public:
  explicit ProgressList(utilib::Job& job) : job_(job) {}
  // AddProgressLine: the text on the next line, the count beneath, a short yield (Esc or Cancel
  // there stops the install); a full list, or `clear`, empties the lines.
  void Add(std::string_view text, bool clear = false);
  int count() const { return count_; }
  utilib::Job& job() { return job_; }

 private:
  utilib::Job& job_;
  int line_ = 0;
  int count_ = 0;
};

}  // namespace install
