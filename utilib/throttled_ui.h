// A job's display with its fast-changing items held back. A conversion sets its counters once per
// record, far more often than anyone can read them, and every update repaints (and writes a log line
// in a scripted run). Numbers, and the texts of the items named, reach the display at most once per
// interval and only when they changed, and always before a pause, a message box or the end of the
// job, so what stays on screen is what an unthrottled display would show. A held number is formatted
// only when it is shown.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "utilib/job.h"

namespace utilib {

class ThrottledUi final : public tell::Talk {
 public:
  explicit ThrottledUi(tell::Talk& inner, std::set<int> heldTexts = {}, std::uint32_t intervalMs = 100);
  ~ThrottledUi() override { Flush(); }

  void SetItemText(int item, std::string_view text) override;
  void SetItemNumber(int item, long long value) override;
  void SetDisplayTitle(std::string_view text) override { inner_.SetDisplayTitle(text); }
  tell::Answer Box(std::string_view caption, std::string_view text, tell::Buttons buttons = tell::Buttons::Ok) override;
  void OpenDisplay(std::string_view caption) override { inner_.OpenDisplay(caption); }
  void CloseDisplay() override {
    Flush();
    inner_.CloseDisplay();
  }
  bool Pause(int milliseconds) override;
  bool IsEscapePressed() override { return inner_.IsEscapePressed(); }
  bool IsControlPressed() override { return inner_.IsControlPressed(); }
  bool EscapeWaiting() override { return inner_.EscapeWaiting(); }
  void SetMainTitle(int kind, std::string_view cellName) override { inner_.SetMainTitle(kind, cellName); }
  void HoldNotice(int milliseconds) override { inner_.HoldNotice(milliseconds); }
  // Shows every held item that changed, now.
  void Flush();
  // Pauses for which `instant` says they take no time (a scripted run) are held as the items are:
  // one reaches the display per interval, the others return at once and leave the held items held.
  void HoldInstantPauses(std::function<bool(int milliseconds)> instant) { instant_ = std::move(instant); }

 private:
  struct Item {
    int id = 0;
    bool pending = false;
    bool isNumber = false;
    long long number = 0;
    std::string text;   // pending, when not a number
    std::string shown;  // what the display holds, once `known`
    bool known = false;
  };
  Item* Find(int id);
  Item& Held(int id);
  void Show(Item& item);
  void FlushWhenDue();

  tell::Talk& inner_;
  std::set<int> heldTexts_;
  std::uint32_t interval_;
  std::uint32_t last_;
  std::vector<Item> items_;  // a display has a few dozen items
  std::array<std::int16_t, 2048> slots_;  // the item of each id below 2048, -1 for none yet
  std::function<bool(int)> instant_;
  bool paused_ = false;  // an instant pause reached the display
  std::uint32_t lastPause_ = 0;
};

}  // namespace utilib
