#include "utilib/throttled_ui.h"

#include <gtest/gtest.h>

#include "platform/tell/recorder.h"

namespace utilib {
namespace {

// An interval no test outlasts: held items reach the display only when something flushes them.
constexpr std::uint32_t kNever = 1u << 30;

TEST(ThrottledUi, HeldItemsShowTheirLatestChangedValueBeforePausesBoxesAndTheEnd) {
  tell::Recorder shown;
  {
    ThrottledUi ui(shown, {516}, kNever);
    for (int i = 1; i <= 1000; ++i) ui.SetItemNumber(503, i);
    ui.SetItemText(516, " 50%");
    ui.SetItemText(500, "Converting A.TLC ...");  // not held: at once
    EXPECT_EQ(shown.events, std::vector<std::string>{"item 500 \"Converting A.TLC ...\""});
    ui.Pause(200);
    ui.SetItemNumber(503, 1000);  // unchanged: not set again
    ui.SetItemNumber(504, 7);
    ui.Box("STRMEXP", "Done", tell::Buttons::Ok);
    ui.SetItemText(516, "100%");
  }
  EXPECT_EQ(shown.events, (std::vector<std::string>{"item 500 \"Converting A.TLC ...\"", "item 503 \"1000\"",
                                                     "item 516 \" 50%\"", "pause 200", "item 504 \"7\"",
                                                     "box \"STRMEXP\" \"Done\"", "item 516 \"100%\""}));
}

TEST(ThrottledUi, ATextSetAtOnceReplacesAHeldNumber) {
  tell::Recorder shown;
  ThrottledUi ui(shown, {}, kNever);
  ui.SetItemNumber(511, 5);
  ui.SetItemText(511, "");  // a message line cleared
  ui.Flush();
  EXPECT_EQ(shown.EventsOf("item"), std::vector<std::string>{"item 511 \"\""});
  ui.SetItemNumber(511, 5);
  ui.Flush();
  EXPECT_EQ(shown.items[511], "5");
}

TEST(ThrottledUi, WithNoIntervalEveryChangeShowsAtOnce) {
  tell::Recorder shown;
  ThrottledUi ui(shown, {}, 0);
  for (long long v : {1, 1, 2, 2, 2, 3}) ui.SetItemNumber(1040, v);
  EXPECT_EQ(shown.EventsOf("item"),
            (std::vector<std::string>{"item 1040 \"1\"", "item 1040 \"2\"", "item 1040 \"3\""}));
}

// Pauses that take no time are held like the items: the first reaches the display, the rest of the
// interval's return at once without flushing; a pause that takes time always goes through.
TEST(ThrottledUi, InstantPausesAreHeldLikeTheItems) {
  tell::Recorder shown;
  {
    ThrottledUi ui(shown, {540}, kNever);
    ui.HoldInstantPauses([](int milliseconds) { return milliseconds < 100; });
    for (int i = 0; i < 50; ++i) {
      ui.SetItemText(540, "Path Ends Extended " + std::to_string(i));
      EXPECT_FALSE(ui.Pause(0));
    }
    ui.Pause(200);
  }
  EXPECT_EQ(shown.events, (std::vector<std::string>{"item 540 \"Path Ends Extended 0\"", "pause 0",
                                                     "item 540 \"Path Ends Extended 49\"", "pause 200"}));
  // Once its interval is over, the next instant pause goes through again.
  tell::Recorder again;
  ThrottledUi ui(again, {}, 0);
  ui.HoldInstantPauses([](int) { return true; });
  ui.Pause(0);
  ui.Pause(0);
  EXPECT_EQ(again.EventsOf("pause").size(), 2u);
}

}  // namespace
}  // namespace utilib
