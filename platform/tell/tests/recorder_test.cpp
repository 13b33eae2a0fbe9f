#include "platform/tell/recorder.h"

#include <gtest/gtest.h>

namespace {

using tell::Answer;
using tell::Buttons;
using Lines = std::vector<std::string>;

// A run nobody watches goes on: questions get OK or Yes, nothing stops it, and a count reaches the
// item as its text.
TEST(Talk, TheDefaultsLetASilentRunGoOn) {
  struct Items : tell::Talk {
    Lines seen;
    void SetItemText(int item, std::string_view text) override {
      seen.push_back(std::to_string(item) + " " + std::string(text));
    }
  } t;
  EXPECT_EQ(t.Box("X", "Replace?", Buttons::OkCancel), Answer::Ok);
  EXPECT_EQ(t.Box("X", "Replace?", Buttons::YesNoCancel), Answer::Yes);
  EXPECT_FALSE(t.Pause(200));
  EXPECT_FALSE(t.IsEscapePressed());
  EXPECT_FALSE(t.EscapeWaiting());
  t.SetItemNumber(511, -9007199254740993LL);
  EXPECT_EQ(t.seen, Lines{"511 -9007199254740993"});
}

// The endings a script's exit status reads as a failed job, against the warnings and questions
// after which the work goes on, as the programs word them.
TEST(Talk, FailureEndingsAreToldFromWarnings) {
  const struct {
    const char* text;
    bool failure;
  } cases[] = {
      {"Aborted ... DRC may be Incomplete", true},
      {"Aborted", true},
      {"GDS File is Missing ... Can't Continue", true},
      {"Unable to Open Report File .., Can't Continue", true},
      {"Out of memory .. can't continue", true},
      {"FORM.DBD is Missing", true},
      {"Font File is Incorrect or Missing ...", true},
      {"CELLS.REF is Missing\n", true},
      {"Structure ghost is Missing ... Token Cell Made", false},
      {"LEAFY is Missing ... Token Cell will be Generated!", false},
      {"Font File is Missing ... Trying TFF.DBD", false},
      {"New Cell Aborted", false},
      {"Destination Folder OUT Exists ... Continue?", false},
      {"Completed ... 3 TLC Files Made", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(tell::IsFailureEnding(c.text), c.failure) << c.text;
}

TEST(Recorder, AnswersInOrderThenGoesOn) {
  tell::Recorder r;
  r.boxAnswers = {Answer::No, Answer::Cancel};
  EXPECT_EQ(r.Box("TLCIN", "Replace Lesser Cells", Buttons::YesNoCancel), Answer::No);
  EXPECT_EQ(r.Box("TLCIN", "Any Old Cells will be Replaced ...", Buttons::OkCancel), Answer::Cancel);
  EXPECT_EQ(r.Box("TLCIN", "Again?", Buttons::YesNo), Answer::Yes);
  EXPECT_EQ(r.Box("", "Line\r\n\"C:\\MERO6\""), Answer::Ok);
  // The lines MERO_LOG writes, with the buttons of a question after them.
  EXPECT_EQ(r.EventsOf("box"), (Lines{"box \"TLCIN\" \"Replace Lesser Cells\" yesnocancel",
                                     "box \"TLCIN\" \"Any Old Cells will be Replaced ...\" okcancel",
                                     "box \"TLCIN\" \"Again?\" yesno",
                                     "box \"\" \"Line\\r\\n\\\"C:\\MERO6\\\"\""}));
}

TEST(Recorder, StopsAtTheChosenPollPauseAndLook) {
  tell::Recorder r;
  r.escapeAfterPolls = 2;
  r.cancelAtPause = 1;
  r.escapeWaitingAt = 1;
  std::vector<bool> held, paused, waiting;
  for (int i = 0; i < 4; ++i) {
    held.push_back(r.IsEscapePressed());
    paused.push_back(r.Pause(100 * i));
    waiting.push_back(r.EscapeWaiting());
  }
  EXPECT_EQ(held, (std::vector<bool>{false, false, true, true}));  // held stays held
  EXPECT_EQ(paused, (std::vector<bool>{false, true, false, false}));
  EXPECT_EQ(waiting, (std::vector<bool>{false, true, false, false}));  // a press is taken once
  EXPECT_EQ(r.EventsOf("pause"), (Lines{"pause 0", "pause 100", "pause 200", "pause 300"}));
}

}  // namespace
