#include "utilib/job.h"

#include <gtest/gtest.h>

#include "editor/db/object_store.h"
#include "platform/os/tests/scratch.h"
#include "utilib/batch_run.h"
#include "platform/tell/recorder.h"

namespace utilib {
namespace {

TEST(Job, RouteMessageByKind) {
  ostest::Scratch dir;
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  ASSERT_TRUE(OpenReport(job, dir.Path("R.RPT")));
  RouteMessage(job, "only shown", MessageKind::Item, 500);
  RouteMessage(job, "to the report", MessageKind::ReportAndItem, 511);
  RouteMessage(job, "Completed ...", MessageKind::ReportAndBox, 512);
  RouteMessage(job, "nowhere", static_cast<MessageKind>(7), 513);
  EXPECT_EQ(CloseReport(job), 1);
  EXPECT_EQ(ui.events, (std::vector<std::string>{"item 500 \"only shown\"", "item 511 \"to the report\"",
                                                 "box \"STRMEXP\" \"Completed ...\""}));
  EXPECT_EQ(dir.Read("R.RPT"), "to the report\r\n\r\nCompleted ...\r\n\r\n");
}

TEST(Job, BoxMessageReachesTheUserWithoutAReport) {
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  RouteMessage(job, "Main TLC file is Missing ... Can't Continue", MessageKind::ReportAndBox, 0);
  EXPECT_EQ(ui.EventsOf("box").size(), 1u);
  EXPECT_EQ(CloseReport(job), 1);
}

TEST(Job, RotatingLinesPauseBeforeTheLastOfASet) {
  tell::Recorder ui;
  Job job("X", ui);
  std::vector<int> ids;
  for (int i = 0; i < 9; ++i) {
    int before = ui.pauses;
    ids.push_back(NextMessageLine(job, 8, 511));
    EXPECT_EQ(ui.pauses - before, i == 7 ? 1 : 0) << "message " << i + 1;
  }
  EXPECT_EQ(ids, (std::vector<int>{511, 512, 513, 514, 515, 516, 517, 518, 511}));
  EXPECT_EQ(ui.EventsOf("pause"), (std::vector<std::string>{"pause 500"}));

  ClearMessageLines(job, 4, 511);
  EXPECT_EQ(ui.EventsOf("item").size(), 5u);
  EXPECT_EQ(ui.items.count(515), 1u);
  EXPECT_EQ(ui.items.count(516), 0u);
  EXPECT_EQ(NextMessageLine(job, 8, 511), 511);
}

TEST(Job, PauseCancelEscAndQuestionsSetTheAbortFlag) {
  tell::Recorder ui;
  Job job("X", ui);
  ui.cancelAtPause = 1;
  ShowPause(job, 200);
  EXPECT_FALSE(job.abort);
  ShowPause(job, 200);
  EXPECT_TRUE(job.abort);

  job.abort = false;
  ui.escapeAfterPolls = 2;
  EXPECT_FALSE(PollEscape(job));
  EXPECT_FALSE(PollEscape(job));
  EXPECT_TRUE(PollEscape(job));

  job.abort = false;
  ui.boxAnswers = {tell::Answer::Ok, tell::Answer::Cancel};
  EXPECT_TRUE(AskOkOrAbort(job, "Remove It or Cancel Conversion?"));
  EXPECT_FALSE(job.abort);
  EXPECT_FALSE(AskOkOrAbort(job, "Remove It or Cancel Conversion?"));
  EXPECT_TRUE(job.abort);
}

TEST(Job, EndOfAGoAndOfABatchRun) {
  ostest::Scratch dir;
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  ASSERT_TRUE(OpenReport(job, dir.Path("R.RPT")));
  ReportJobEnd(job, 2, "Completed ... 10 Bytes");
  ReportJobEnd(job, 1, "Completed ... 10 Bytes");
  EXPECT_EQ(FinishBatchJob(job, 0, "Completed ... 10 Bytes"), 1);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"STRMEXP\" \"Completed ... 10 Bytes\"",
                                                          "box \"STRMEXP\" \"Aborted ... Files may be Incomplete\""}));
  EXPECT_FALSE(job.report);
  EXPECT_NE(dir.Read("R.RPT").find("Aborted ... Files may be Incomplete"), std::string::npos);
}

TEST(Job, SetAsideRecordsAreToldOnceEachAndCountedInTheFinalMessage) {
  ostest::Scratch dir;
  tell::Recorder ui;
  Job job("MERODRC", ui);
  ASSERT_TRUE(OpenReport(job, dir.Path("R.RPT")));
  db::AsideRecords boxes, refs, none;
  boxes.objects.boxes = {{127, 0, 0, 1, 1}, {100, 0, 0, 1, 1}};
  refs.refs = {{99, 0, 0}};
  TellSetAside(job, "LEAF", boxes);
  TellSetAside(job, "MID", refs);
  TellSetAside(job, "LEAF", boxes);  // read again: told once
  TellSetAside(job, "TOP", none);
  ReportJobEnd(job, 1, "Completed ... 0 Total Flags");
  EXPECT_EQ(CloseReport(job), 1);
  EXPECT_EQ(ui.EventsOf("box"),
            (std::vector<std::string>{
                "box \"MERODRC\" \"LEAF: 2 Records Set Aside: Box on Layer 127, Box on Layer 100 ... Kept in the Cell Files\"",
                "box \"MERODRC\" \"Completed ... 0 Total Flags ... 3 Records Set Aside, not Used\""}));
  EXPECT_NE(dir.Read("R.RPT").find("MID: 1 Record Set Aside: Cell Reference to Row 99 ... Kept in the Cell Files\r\n"),
            std::string::npos);
  Job clean("MERODRC", ui);
  EXPECT_EQ(CompletionText(clean, "Completed ... 0 Total Flags"), "Completed ... 0 Total Flags");
}

TEST(Job, BatchArguments) {
  std::vector<std::string> slots(4, "x");
  const struct {
    const char* arg;
    bool taken;
  } cases[] = {{"3=1000", true}, {"0=", true}, {"4=1", false}, {"-1=1", false},
               {"=5", false},    {"2", false}, {"1x=5", false}, {"1=a=b", true}};
  for (const auto& c : cases) EXPECT_EQ(SetSlotArgument(c.arg, slots), c.taken) << c.arg;
  EXPECT_EQ(slots, (std::vector<std::string>{"", "a=b", "x", "1000"}));

  const NewNameAsker ask = RenamingAsker();
  EXPECT_EQ(ask("BAD NAME"), "RENAMED1");
  EXPECT_EQ(ask("CON"), "RENAMED2");
}

}  // namespace
}  // namespace utilib
