// A job's display updates with the counters held back: a conversion sets its counters once per
// record, far more often than anyone can read them, and every update repaints. The latest text of
// each held item is shown at most once per interval, and always before a pause, a message box or
// the end of the job, so what stays on screen is what an unthrottled display would show.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "utilib/job.h"

namespace gds {

class ThrottledUi final : public utilib::JobUi {
 public:
  ThrottledUi(utilib::JobUi& inner, std::set<int> heldItems, std::uint32_t intervalMs = 100);
  ~ThrottledUi() override { Flush(); }

  void SetItemText(int item, std::string_view text) override;
  void SetDisplayTitle(std::string_view text) override { inner_.SetDisplayTitle(text); }
  utilib::BoxAnswer MessageBox(std::string_view caption, std::string_view text,
                               utilib::BoxButtons buttons) override;
  bool Pause(int milliseconds) override;
  bool IsEscapePressed() override { return inner_.IsEscapePressed(); }
  bool IsControlPressed() override { return inner_.IsControlPressed(); }
  // Shows every held text now.
  void Flush();

 private:
  utilib::JobUi& inner_;
  std::set<int> held_;
  std::uint32_t interval_;
  std::uint32_t last_ = 0;
  std::map<int, std::string> pending_;
};

// Puts a ThrottledUi between a job and its display for as long as it lives.
class ThrottleJob {
 public:
  ThrottleJob(utilib::Job& job, std::set<int> heldItems)
      : job_(job), saved_(job.ui), throttled_(*job.ui, std::move(heldItems)) {
    job.ui = &throttled_;
  }
  ~ThrottleJob() {
    throttled_.Flush();
    job_.ui = saved_;
  }

 private:
  utilib::Job& job_;
  utilib::JobUi* saved_;
  ThrottledUi throttled_;
};

}  // namespace gds
