// The Talk of tests and batch runs: writes down what a user would see, one line per event in the
// MERO_LOG style, answers boxes from a queue, and stops the work at a chosen poll or pause.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tell/talk.h"

namespace tell {

class Recorder : public Talk {
 public:
  // `box "CAPTION" "TEXT"` (a question adds its buttons: okcancel, yesno or yesnocancel),
  // `item ID "TEXT"`, `title "TEXT"` (the display's), `display "CAPTION"`, `display closed`,
  // `pause N`, `maintitle KIND "CELL"`, and whatever a test's own hooks `Note`.
  std::vector<std::string> events;
  std::map<int, std::string> items;  // last text of each item
  std::deque<Answer> boxAnswers;     // used in order; when empty, boxes get OK (or Yes)
  int escapeAfterPolls = -1;         // Esc goes down at that poll (0 = the first) and stays down
  int cancelAtPause = -1;            // the pause of that number (0 = the first) is cancelled
  int escapeWaitingAt = -1;          // an Esc press waits at that look (0 = the first)
  bool controlDown = false;
  bool displayOpen = false;
  int polls = 0;
  int pauses = 0;
  int escapeLooks = 0;

  Answer Box(std::string_view caption, std::string_view text, Buttons buttons = Buttons::Ok) override;
  void OpenDisplay(std::string_view caption) override;
  void CloseDisplay() override;
  void SetDisplayTitle(std::string_view text) override;
  void SetItemText(int item, std::string_view text) override;
  bool Pause(int milliseconds) override;
  bool IsEscapePressed() override;
  bool IsControlPressed() override { return controlDown; }
  bool EscapeWaiting() override { return escapeLooks++ == escapeWaitingAt; }
  void SetMainTitle(int kind, std::string_view cellName) override;

  void Note(std::string line) { events.push_back(std::move(line)); }
  // Events of one kind ("box", "item", "pause", ...), in order; or all the others.
  std::vector<std::string> EventsOf(std::string_view kind) const;
  std::vector<std::string> EventsExcept(std::string_view kind) const;

  // The line a box makes, for the expectations of tests.
  static std::string BoxLine(std::string_view caption, std::string_view text, Buttons buttons = Buttons::Ok);
};

}  // namespace tell
