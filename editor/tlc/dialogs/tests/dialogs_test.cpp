// The dialogs run headless: scripted answers drive them through the same control calls a user's
// clicks make, and the log shows what the user would have seen.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "drawing_fixture.h"
#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "editor/tlc/tlcout.h"
#include "platform/os/tests/scratch.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace {

using namespace tlc;

// A scripted run with its log.
struct Scripted : ostest::Scratch {
  explicit Scripted(const std::string& script) {
    ui::ResetForTests();
    EXPECT_TRUE(ui::StartScriptForTests(script, Path("run.log")));
  }
  ~Scripted() { ui::ResetForTests(); }
  std::string Log() const {
    std::string log;
    for (char c : Read("run.log"))
      if (c != '\r') log += c;
    return log;
  }
  bool Logged(const std::string& line) const { return Log().find(line + "\n") != std::string::npos; }
};

std::string Quoted(const std::string& path) {
  std::string out = "\"";
  for (char c : path) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out + "\"";
}

TEST(SetupDialogs, AnswersFillTheValues) {
  {
    // The destination is fixed to the drawing folder while Global TLC is off: no typing there.
    Scripted run("answer TLCIN set 1057 \"C:\\\\SRC\" set 1056 \"nand2\" check 1000 0 press ok\n");
    TlcSetup values{"old", "", "", true, false};
    EXPECT_TRUE(RunTlcSetup(0, "TLCIN", values));
    EXPECT_EQ(values.source, "C:\\SRC");
    EXPECT_EQ(values.destination, ".\\");  // fixed to the drawing folder while Global TLC is off
    EXPECT_EQ(values.name, "nand2");
    EXPECT_FALSE(values.fastRun);
    EXPECT_TRUE(run.Logged("dialog TLCIN"));
  }
  {
    Scripted run("answer TLCOUT set 1055 \"OUT\" press ok\n");
    TlcSetup values{"SRC", "", "TOP", false, true};
    EXPECT_TRUE(RunTlcSetup(0, "TLCOUT", values));
    EXPECT_EQ(values.source, "SRC");
    EXPECT_EQ(values.destination, "OUT");
    EXPECT_EQ(values.name, "TOP");
    EXPECT_TRUE(values.fastRun);  // checked whenever the dialog opens
  }
  {
    Scripted run("answer TLCOUT set 1056 \"X\" press cancel\n");
    TlcSetup values{"SRC", "", "TOP", true, true};
    EXPECT_FALSE(RunTlcSetup(0, "TLCOUT", values));
    EXPECT_EQ(values.name, "TOP");
  }
}

TEST(SetupDialogs, HelpAndListButtons) {
  {
    Scripted run("answer TLCIN press 3 press ok\nanswer HELPER press ok\n");
    TlcSetup values;
    EXPECT_TRUE(RunTlcSetup(0, "TLCIN", values));
    EXPECT_TRUE(run.Logged("dialog HELPER"));
  }
  {
    ostest::Scratch files;
    files.Write("tlc/top.tlc", "");
    files.Write("tlc/INV.TLC", "");
    files.Write("tlc/.TLC", "");
    files.Write("tlc/notes.txt", "");
    // Rows in file-search order: INV.TLC, TOP.TLC.
    Scripted run("answer TLCIN set 1057 " + Quoted(files.Path("tlc")) +
                 " press 16 press ok\nanswer ANYLIST dblclick 1006 1\n");
    TlcSetup values;
    values.globalTlc = true;
    EXPECT_TRUE(RunTlcSetup(0, "TLCIN", values));
    EXPECT_EQ(values.name, "TOP");
    EXPECT_TRUE(run.Logged("item ANYLIST 1009 \"Source TLC Files\""));
  }
  {
    ostest::Scratch folder;
    tlctest::WriteDrawingFolder(folder.Path("draw") + "/",
                                {tlctest::Cell("NAND2", 2), tlctest::Cell("PADS", 1 | 16)});
    Scripted run("answer TLCOUT set 1057 " + Quoted(folder.Path("draw")) +
                 " press 16 press 16 press ok\nanswer ANYLIST dblclick 1006 1\nanswer ANYLIST press cancel\n");
    TlcSetup values{"", "", "", true, true};
    EXPECT_TRUE(RunTlcSetup(0, "TLCOUT", values));
    EXPECT_EQ(values.name, "PADS");
    EXPECT_TRUE(run.Logged("item ANYLIST 1009 \"Source Cell Collection\""));
  }
}

TEST(SetupDialogs, ListWithoutACollection) {
  {
    ostest::Scratch empty;
    Scripted run("answer TLCOUT set 1057 " + Quoted(empty.root) + " press 16 press cancel\nbox ok\n");
    TlcSetup values{"", "", "", true, true};
    EXPECT_FALSE(RunTlcSetup(0, "TLCOUT", values));
    EXPECT_TRUE(run.Logged("box \"TLCOUT\" \"No Source TLC Files\""));
  }
}

TEST(PauseAndDisplay, PauseClosesByItselfUnlessStopped) {
  {
    Scripted run("");
    EXPECT_FALSE(ShowPause(0, 200));
  }
  {
    Scripted run("answer PAUSE press cancel\n");
    EXPECT_TRUE(ShowPause(0, 200));
  }
  {
    ProgressDisplay display;
    Scripted run("");
    display.Open(0, "TLCOUT");
    display.SetItem(kItemOperation, "Sorting Cells ...");
    EXPECT_FALSE(display.closed());
    ui::Send(display.handle(), ui::msg::Close);
    EXPECT_TRUE(display.closed());
    EXPECT_EQ(display.handle(), 0u);
    EXPECT_TRUE(run.Logged("dialog DISPLAY"));
    EXPECT_TRUE(run.Logged("item DISPLAY 500 \"Sorting Cells ...\""));
  }
}

// A whole TLCOUT through the editor's talk: set-up dialog, questions, DISPLAY, and Cancel in PAUSE
// stopping it at the next cell.
TEST(DialogTalk, ScriptedRunsOfTlcOut) {
  ostest::Scratch folders;
  std::vector<tlctest::CellSpec> cells = {tlctest::Cell("AA", 1), tlctest::Cell("BB1", 1),
                                          tlctest::Cell("CC", 1)};
  tlctest::WriteDrawingFolder(folders.Path("src") + "/", cells);
  {
    Scripted run("answer TLCOUT set 1057 " + Quoted(folders.Path("src")) + " set 1055 " +
                 Quoted(folders.Path("out")) + " check 1000 0 press ok\n"
                 "box ok\n"
                 "answer PAUSE\nanswer PAUSE\nanswer PAUSE press cancel\n"
                 "box ok\n");
    DialogTalk talk(0);
    TlcSetup setup{"", "", "", true, true};
    TlcRunSummary summary;
    EXPECT_EQ(ConvertCellsToTlc(false, setup, talk, &summary, SetupDialogOf(0)), 1);
    EXPECT_EQ(summary.cells, 1);
    EXPECT_TRUE(run.Logged("box \"TLCOUT\" \"Any Old Cells will be Replaced ...\""));
    EXPECT_TRUE(run.Logged("item DISPLAY 500 \"Converting AA to TLC File ...\""));
    EXPECT_TRUE(run.Logged("box \"TLCOUT\" \"Aborted ... Conversion may be Incomplete\""));
    EXPECT_EQ(run.Log().find("unanswered"), std::string::npos) << run.Log();
    EXPECT_TRUE(folders.Has("out/AA.TLC"));
    EXPECT_FALSE(folders.Has("out/BB1.TLC"));
  }
  {
    Scripted run("answer TLCOUT press cancel\n");
    DialogTalk talk(0);
    TlcSetup setup;
    EXPECT_EQ(ConvertCellsToTlc(false, setup, talk, nullptr, SetupDialogOf(0)), 0);
  }
}

// Esc pressed while the run worked, or DISPLAY closed, stops it at the next pause.
TEST(DialogTalk, EscAndClosingTheDisplayStopTheRun) {
  Scripted run("");
  ui::WindowClass plain;
  plain.name = "PLAIN";
  plain.proc = ui::DefaultProc;
  ui::DefineClass(plain);
  const ui::Wnd main = ui::MakeWindow("PLAIN", "main", ui::style::Caption, 0, 0, 200, 100, 0);
  ui::Focus(main);
  DialogTalk talk(main);
  talk.OpenDisplay("TLCIN");
  EXPECT_FALSE(ui::IsEnabled(main));  // no second command inside a pause
  EXPECT_FALSE(talk.Pause(200));
  ui::PressKey(ui::key::Escape, 0, 27);
  ui::ReleaseKey(ui::key::Escape, 0);
  EXPECT_TRUE(talk.Pause(200));
  EXPECT_FALSE(talk.Pause(200));  // the press was used up
  ui::PressKey(ui::key::Escape, 0, 27);
  EXPECT_TRUE(talk.EscapeWaiting());
  EXPECT_FALSE(talk.EscapeWaiting());
  ui::ReleaseKey(ui::key::Escape, 0);
  ASSERT_EQ(ui::TemplateName(talk.display()), "DISPLAY");
  ui::Send(talk.display(), ui::msg::Close);
  EXPECT_TRUE(talk.Pause(200));
  talk.CloseDisplay();
  EXPECT_TRUE(ui::IsEnabled(main));
}

}  // namespace
