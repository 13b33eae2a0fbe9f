// The viewer's browsing and print dialogs, driven through LISTER, HELPER and PRINTDLG by scripted
// answers as a user's clicks would drive them.
#include "helpview/viewer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "helpview/tests/help_fixture.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"
#include "platform/tell/recorder.h"

namespace hpvtest {
namespace {

TEST(HelperScroll, StaysWithinTheText) {
  const struct {
    int top, lines, code, thumb, want;
  } cases[] = {
      {0, 100, ui::scroll::LineDown, 0, 1},     {0, 100, ui::scroll::LineUp, 0, 0},
      {0, 100, ui::scroll::PageDown, 0, 29},    {60, 100, ui::scroll::PageDown, 0, 71},
      {5, 100, ui::scroll::Bottom, 0, 71},      {5, 100, ui::scroll::Top, 0, 0},
      {0, 100, ui::scroll::ThumbTrack, 50, 50}, {0, 10, ui::scroll::LineDown, 0, 0},
      {0, 10, ui::scroll::Bottom, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(hpv::ScrollHelper(c.top, c.lines, c.code, c.thumb), c.want);
}

TEST(BuiltInHelp, HasItsTwentySixLines) {
  ASSERT_EQ(hpv::BuiltInHelp().size(), 26u);
  EXPECT_EQ(hpv::BuiltInHelp()[25], "    Blank lines contain only CR-LF characters.");
}

class BrowseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::ResetForTests();
    logPath = folder.path() + "/run.log";
    ui::WindowClass c;
    c.name = "HPVTEST";
    c.proc = [](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) { return ui::DefaultProc(w, m, wp, lp); };
    ui::DefineClass(c);
    window = ui::MakeWindow("HPVTEST", "HPV 6.0", ui::style::Caption, 0, 0, 300, 100, 0);
    path = folder.Write("T.HPV", HelpText({"Editing", " Get", "", "  Picks.", "", " Put", "", "  Drops.", "",
                                           " Cut", "", "  Splits.", "", "Empty", "Files", " Files", "", "  Kept.",
                                           "Last", " Only", "", "  The end."}));
    Start("");
  }
  void TearDown() override {
    ui::StartScriptForTests("", "");
    unsetenv("MERO_PRINTER");
    ui::ResetForTests();
  }
  void Start(const std::string& topics) {
    v = hpv::Viewer{};
    std::vector<std::string> args = {path};
    if (!topics.empty()) args.push_back(topics);
    hpv::StartViewer(v, hpv::SplitCommandLine(args), "C:");
  }
  // Runs BrowseHelp with the answers given; its result.
  int Browse(const std::string& answers, bool manual = false) {
    EXPECT_TRUE(ui::StartScriptForTests(answers, logPath));
    const int r = hpv::BrowseHelp(v, window, manual, ui);
    ui::StartScriptForTests("", "");
    return r;
  }
  std::vector<std::string> Dialogs() {
    std::vector<std::string> out;
    std::ifstream in(logPath);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("dialog ", 0) == 0 || line.rfind("unanswered", 0) == 0) out.push_back(line);
    }
    return out;
  }

  TempFolder folder;
  std::string logPath;
  std::string path;
  ui::Wnd window = 0;
  hpv::Viewer v;
  tell::Recorder ui;
};

TEST_F(BrowseTest, ListsLeadToATopicAndTheArrowsWalkAcrossMainTopics) {
  const int r = Browse(
      "answer LISTER dblclick 200 0\nanswer LISTER dblclick 200 1\n"
      "answer HELPER press 303\nanswer HELPER press 303\nanswer HELPER press 304\nanswer HELPER press 1\n");
  EXPECT_EQ(r, hpv::kBrowseQuit);
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialog LISTER", "dialog LISTER", "dialog HELPER", "dialog HELPER",
                                                 "dialog HELPER", "dialog HELPER"}));
  // Put, Cut, then Files of the next main topic, and back to Cut
  EXPECT_EQ(v.main, 1);
  EXPECT_EQ(v.secondary, 3);
  EXPECT_EQ(v.title, " Editing/Cut ");
  EXPECT_EQ(v.lines, (std::vector<std::string>{"  Splits."}));
  EXPECT_EQ(hpv::MainTopicNames(v.index), (std::vector<std::string>{"Editing", "Empty", "Files", "Last"}));
  EXPECT_TRUE(ui.events.empty());
}

TEST_F(BrowseTest, TheArrowsStopAtTheFirstAndLastTopics) {
  Browse("answer LISTER dblclick 200 0\nanswer LISTER dblclick 200 0\nanswer HELPER press 304\nanswer HELPER press 1\n");
  EXPECT_EQ(v.secondary, 1);
  Browse("answer LISTER dblclick 200 3\nanswer HELPER press 303\nanswer HELPER press 1\n");
  EXPECT_EQ(v.secondary, 5);
  EXPECT_EQ(v.title, " Last/Only ");
}

TEST_F(BrowseTest, TopicsOfTheCommandLineOpenWithoutListsInAnyCase) {
  Start("eDITING/pUT");
  EXPECT_EQ(Browse("answer HELPER press 1\n"), hpv::kBrowseQuit);
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialog HELPER"}));
  EXPECT_EQ(v.secondary, 2);
  EXPECT_EQ(v.lines, (std::vector<std::string>{"  Drops."}));
  // used once: the next browse starts at the lists
  Browse("answer LISTER press 2\n");
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialog LISTER"}));
}

TEST_F(BrowseTest, AMainTopicOfOneSecondaryTopicOpensItAndBackGoesToTheMainTopics) {
  Start("files/whatever");
  // Back from the text to the main topics; another main topic then lists its own topics.
  EXPECT_EQ(Browse("answer HELPER press 2\nanswer LISTER dblclick 200 0\nanswer LISTER press 1\n"),
            hpv::kBrowseQuit);
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialog HELPER", "dialog LISTER", "dialog LISTER"}));
  EXPECT_TRUE(ui.events.empty());
}

TEST_F(BrowseTest, AnEmptyMainTopicShowsAnEmptyList) {
  EXPECT_EQ(Browse("answer LISTER dblclick 200 1\nanswer LISTER press 2\nanswer LISTER press 2\n"), hpv::kBrowseBack);
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialog LISTER", "dialog LISTER", "dialog LISTER"}));
}

TEST_F(BrowseTest, WhatCannotBeFoundIsTold) {
  Start("Nothing");
  EXPECT_EQ(Browse(""), hpv::kBrowseQuit);
  Start("Editing/Nothing");
  EXPECT_EQ(Browse(""), hpv::kBrowseQuit);
  v.file.path = folder.path() + "/NONE.HPV";
  EXPECT_EQ(Browse(""), hpv::kBrowseBack);
  v.file.path = folder.Write("BAD.HPV", "F0F0\r\nMain\r\n");
  EXPECT_EQ(Browse(""), hpv::kBrowseBack);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"HPV 6.0\" \"Topic \\\"Nothing\\\" not Found\"",
                                                          "box \"HPV 6.0\" \"Topic \\\"Nothing\\\" not Found\"",
                                                          "box \"HPV 6.0\" \"No Help Text (.HPV) File was Found\"",
                                                          "box \"HPV 6.0\" \"The Help Text File is not in the Right Format\""}));
  // the manual wants the file indexed only
  v.file.path = path;
  EXPECT_EQ(Browse("", true), hpv::kBrowseManual);
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(v.index.SecondaryCount(), 5);
}

TEST_F(BrowseTest, PrintDialogHoldsMarginsAndPagesWithinBounds) {
  setenv("MERO_PRINTER", ("file:" + folder.path() + "/x.pdf").c_str(), 1);
  v.pagesCounted = true;
  v.lastPage = 9;
  ASSERT_TRUE(ui::StartScriptForTests(
      "answer PRINTDLG set 1012 \"3\" set 1010 \"-1\" set 1011 \"0.75\" set 1014 \"300\" set 1015 \"7\" press 1\n",
      logPath));
  EXPECT_EQ(hpv::RunPrintDialog(v, window, true), 1);
  EXPECT_EQ(v.margins.top, 2);
  EXPECT_EQ(v.margins.left, 0);
  EXPECT_EQ(v.margins.right, 0.75);
  EXPECT_EQ(v.firstPage, 255);
  EXPECT_EQ(v.lastPage, 255);
  // Until the pages are counted only Pages closes the manual's dialog.
  v.pagesCounted = false;
  ASSERT_TRUE(ui::StartScriptForTests("answer PRINTDLG press 3\n", logPath));
  EXPECT_EQ(hpv::RunPrintDialog(v, window, true), 1);
  ASSERT_TRUE(ui::StartScriptForTests("answer PRINTDLG press cancel\n", logPath));
  EXPECT_EQ(hpv::RunPrintDialog(v, window, false), 0);
}

}  // namespace
}  // namespace hpvtest
