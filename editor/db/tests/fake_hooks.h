// The database's hooks as a test answers them, each question noted in the run's record, and the
// lines of that record the tests compare.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/hooks.h"
#include "editor/db/message_table.h"
#include "platform/tell/recorder.h"

namespace dbtest {

struct FakeHooks : db::Hooks {
  explicit FakeHooks(tell::Recorder& record) : record(record) {}
  int NewCellRank(std::string_view name) override {
    record.Note("newcell " + std::string(name));
    if (ranks.empty()) return 0;
    const int r = ranks.front();
    ranks.pop_front();
    return r;
  }
  bool CurrentView(db::ViewNow& v) override {
    if (!haveView) return false;
    v = view;
    return true;
  }
  int QuietTlcOut(std::string_view cellName) override {
    record.Note("tlcout " + std::string(cellName));
    return tlcResult;
  }

  tell::Recorder& record;
  std::deque<int> ranks;  // answers to the NEWCELL question, 0 = cancel
  bool haveView = false;
  db::ViewNow view;
  int tlcResult = 1;
};

// The box of message n of the message table.
inline std::string Message(int n) { return tell::Recorder::BoxLine("", db::MessageText(n)); }
// What a run said and asked, without the title notices.
inline std::vector<std::string> Messages(const tell::Recorder& r) { return r.EventsExcept("maintitle"); }

}  // namespace dbtest
