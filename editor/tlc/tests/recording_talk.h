// A RunTalk for tests: records what a user would see, answers questions from a queue, and stops the
// run at a chosen pause or path.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "editor/tlc/run.h"

namespace tlctest {

class RecordingTalk : public tlc::RunTalk {
 public:
  std::vector<std::string> boxes;     // "CAPTION: text" of every message box and question
  std::map<int, std::string> items;   // last text of each DISPLAY item
  std::vector<std::string> itemLog;   // every item text, in order
  std::deque<tlc::Answer> answers;    // used in order; when empty, OK or Yes
  int pauses = 0;
  int stopAtPause = -1;               // that pause (0 = the first) is cancelled
  int escapeAtPath = -1;              // Esc is waiting before that path (0 = the first asked)
  int pathsAsked = 0;
  bool displayOpen = false;
  bool setupShown = false;
  bool cancelSetup = false;
  tlc::TlcSetup setupAnswer;          // what the user leaves in the dialog
  bool answerSetup = false;

  bool Setup(std::string_view caption, tlc::TlcSetup& values) override {
    setupShown = true;
    boxes.push_back("setup " + std::string(caption));
    if (cancelSetup) return false;
    if (answerSetup) values = setupAnswer;
    return true;
  }
  void OpenDisplay(std::string_view) override { displayOpen = true; }
  void CloseDisplay() override { displayOpen = false; }
  void ShowItem(int item, std::string_view text) override {
    items[item] = std::string(text);
    itemLog.push_back(std::to_string(item) + " " + std::string(text));
  }
  void Box(std::string_view caption, std::string_view text) override {
    boxes.push_back(std::string(caption) + ": " + std::string(text));
  }
  tlc::Answer Ask(std::string_view caption, std::string_view text, tlc::Question q) override {
    boxes.push_back(std::string(caption) + "? " + std::string(text));
    if (!answers.empty()) {
      tlc::Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return q == tlc::Question::OkCancel ? tlc::Answer::Ok : tlc::Answer::Yes;
  }
  bool Pause(int) override { return pauses++ == stopAtPause; }
  bool EscapeWaiting() override { return pathsAsked++ == escapeAtPath; }
};

}  // namespace tlctest
