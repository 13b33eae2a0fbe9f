// A Talk that writes down what the user would have seen and answers from a script of values.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/talk.h"

namespace dbtest {

inline std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else {
      if (c == '"') out += '\\';
      out += c;
    }
  }
  return out + "\"";
}

class Recorder : public db::Talk {
 public:
  void Message(int n) override { events.push_back("message " + std::to_string(n)); }
  void Box(std::string_view caption, std::string_view text) override {
    events.push_back("box " + Quote(caption) + " " + Quote(text));
  }
  void SetMainTitle(int kind, std::string_view cellName) override {
    if (kind != 0) events.push_back("title " + std::to_string(kind) + " " + std::string(cellName));
  }
  int NewCellRank(std::string_view name) override {
    events.push_back("newcell " + std::string(name));
    if (ranks.empty()) return 0;
    int r = ranks.front();
    ranks.pop_front();
    return r;
  }
  bool CurrentView(db::ViewNow& v) override {
    if (!haveView) return false;
    v = view;
    return true;
  }
  int QuietTlcOut(std::string_view cellName) override {
    events.push_back("tlcout " + std::string(cellName));
    return tlcResult;
  }

  // Events that are not title notices, for tests that only care about messages.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind("title", 0) != 0) out.push_back(e);
    return out;
  }

  std::vector<std::string> events;
  std::deque<int> ranks;  // answers to the NEWCELL question, 0 = cancel
  bool haveView = false;
  db::ViewNow view;
  int tlcResult = 1;
};

}  // namespace dbtest
