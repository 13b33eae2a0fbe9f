// A JobUi for tests and batch runs: records what a user would see, one line per event, answers
// message boxes from a queue and presses Esc on request.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "utilib/job.h"

namespace utilib {

class RecordingUi : public JobUi {
 public:
  // Lines such as `item 511 "text"`, `title "text"`, `box "CAPTION" "text"`, `pause 200`.
  std::vector<std::string> events;
  std::map<int, std::string> items;  // last text of each item
  std::deque<BoxAnswer> boxAnswers;  // used in order; when empty, boxes get OK (or Yes)
  int escapeAfterPolls = -1;         // Esc goes down at that poll (0 = the first) and stays down
  int cancelAtPause = -1;            // the pause of that number (0 = the first) is cancelled
  bool controlDown = false;
  int polls = 0;
  int pauses = 0;

  void SetItemText(int item, std::string_view text) override;
  void SetDisplayTitle(std::string_view text) override;
  BoxAnswer MessageBox(std::string_view caption, std::string_view text, BoxButtons buttons) override;
  bool Pause(int milliseconds) override;
  bool IsEscapePressed() override;
  bool IsControlPressed() override { return controlDown; }

  // Events of one kind ("box", "item", "pause", ...), in order.
  std::vector<std::string> EventsOf(std::string_view kind) const;
};

}  // namespace utilib
