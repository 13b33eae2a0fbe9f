// The scripted-run contract end to end, on the test program: answered and unanswered dialogs and boxes,
// the log lines, exit statuses 2 and 3 and the program's own, snapshots, and the same run on a real
// X display (Xvfb) where the screen must show the picture pixel for pixel.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gfx/png.h"
#include "platform/ui/tests/log_lines.h"

extern char** environ;

namespace {

struct RunResult {
  int status = -1;
  std::vector<std::string> log;
  std::string folder;  // where the program ran
};

std::vector<std::string>& Folders() {
  static std::vector<std::string> folders;
  return folders;
}

// The runs' folders go when the tests end.
class RemoveFolders : public ::testing::Environment {
 public:
  void TearDown() override {
    for (const std::string& f : Folders()) std::filesystem::remove_all(f);
  }
};
const auto* const kRemoveFolders = ::testing::AddGlobalTestEnvironment(new RemoveFolders);

std::string NewFolder(const std::string& name) {
  static int n = 0;
  std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/mero_run_" +
                       std::to_string(getpid()) + "_" + std::to_string(++n) + "_" + name;
  mkdir(folder.c_str(), 0755);
  Folders().push_back(folder);
  return folder;
}

int Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, const std::string& folder) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    bool replaced = false;
    for (const std::string& x : extraEnv)
      if (v.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0) replaced = true;
    if (!replaced) env.push_back(v);
  }
  for (const std::string& x : extraEnv) env.push_back(x);
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the test program on `script`, headless unless `onX`.
RunResult RunScript(const std::string& script, std::vector<std::string> env = {}, bool onX = false) {
  RunResult r;
  r.folder = NewFolder("run");
  std::ofstream(r.folder + "/job.txt") << script;
  env.push_back("MERO_SCRIPT=" + r.folder + "/job.txt");
  env.push_back("MERO_LOG=" + r.folder + "/job.log");
  env.push_back("QT_QPA_PLATFORM=" + std::string(onX ? "xcb" : "offscreen"));
  std::vector<std::string> argv;
  if (onX) argv = {"xvfb-run", "-a", "-s", "-screen 0 1024x768x24"};
  argv.push_back(UITEST_PROGRAM);
  r.status = Spawn(argv, env, r.folder);
  r.log = uitest::FileLines(r.folder + "/job.log");
  return r;
}

// `expected` appear in the log in this order (other lines may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& log, const std::vector<std::string>& expected) {
  std::size_t at = 0;
  for (const std::string& e : expected) {
    while (at < log.size() && log[at] != e) ++at;
    if (at == log.size()) {
      std::string all;
      for (const std::string& l : log) all += "  " + l + "\n";
      return ::testing::AssertionFailure() << "missing or out of order: " << e << "\nlog:\n" << all;
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

bool Contains(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

const char* kSession =
    "# a user's session with the test program\n"
    "answer FORM set 101 \"CELL A\" check 102 1 check 104 1 set 106 typed pick 107 1 pick 108 2 "
    "set 109 \"one\\ntwo\" press ok\n"
    "command 12\n"
    "box yes\n"
    "command 11\n"
    "command 14\n"
    "move 30 40\n"
    "click 10 12\n"
    "click 50 60 double\n"
    "click 70 90 right\n"
    "box ok\n"
    "key alt+h\n"
    "char A\n"
    "text \"hi\"\n"
    "key F5\n"
    "post user+5 12 -34\n"
    "wait\n"
    "snapshot shot.png\n"
    "quit\n";

const std::vector<std::string> kSessionLog = {
    "dialog PANEL",
    "dialog FORM",
    "item FORM 101 \"start\"",
    "item PANEL 300 \"form name=CELL A fast=1 mode=smash history=typed unit=mil row=GAMMA macro=one\\r\\ntwo\"",
    "box \"UITEST\" \"Continue?\"",
    "title \"UITEST answer 6\"",
    "item PANEL 300 \"drawn\"",
    "item PANEL 300 \"move 30 40\"",
    "item PANEL 300 \"click 10 12\"",
    "item PANEL 300 \"click 50 60\"",
    "item PANEL 300 \"double 50 60\"",
    "item PANEL 300 \"right 70 90\"",
    "box \"UITEST\" \"Help for the test program\\nsecond line\"",
    "item PANEL 300 \"char 65\"",
    "item PANEL 300 \"char 104\"",
    "item PANEL 300 \"char 105\"",
    "item PANEL 300 \"key F5\"",
    "item PANEL 300 \"point 12 -34\"",
};

TEST(ScriptedRun, ASessionRunsThroughTheProgramsOwnProceduresAndEndsWithItsStatus) {
  RunResult r = RunScript(kSession);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(InOrder(r.log, kSessionLog));
  EXPECT_FALSE(Contains(r.log, "item PANEL 300 \"char 104\"") && Contains(r.log, "item PANEL 300 \"char 72\""));
  for (const std::string& l : r.log) EXPECT_EQ(l.rfind("unanswered", 0), std::string::npos) << l;

  gfx::Surface shot;
  ASSERT_EQ(gfx::LoadPng(r.folder + "/shot.png", shot), 1);
  EXPECT_EQ(shot.width, 640);
  EXPECT_GT(shot.height, 400);
  EXPECT_EQ(shot.Row(12)[10], 0xFFFFFFu);  // the click's mark
  EXPECT_EQ(shot.Row(90)[70], 0xFF0000u);  // the right click's
  EXPECT_EQ(shot.Row(30)[30], 0x00C000u);  // the drawing
  EXPECT_NE(shot.Row(100)[600], 0x000000u) << "the docked panel is part of what the user sees";
}

TEST(ScriptedRun, AnUnansweredDialogIsCancelledAndTheRunEndsWithThree) {
  RunResult r = RunScript("command 12\ncommand 14\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(InOrder(r.log, {"dialog FORM", "unanswered dialog FORM", "item PANEL 300 \"form cancelled\""}));
  EXPECT_FALSE(Contains(r.log, "item PANEL 300 \"drawn\"")) << "no further line runs";
}

TEST(ScriptedRun, AnUnansweredBoxIsCancelledAndTheRunEndsWithThree) {
  RunResult r = RunScript("command 11\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(
      InOrder(r.log, {"box \"UITEST\" \"Continue?\"", "unanswered box \"Continue?\"", "title \"UITEST answer 2\""}));
}

TEST(ScriptedRun, ALineThatCannotBeParsedOrAppliedEndsTheRunWithTwo) {
  struct Case {
    const char* script;
    bool programRan;
  } cases[] = {
      {"command twelve\n", false},
      {"answer FORM set 101\n", false},
      {"click 1\n", false},
      {"key Hyper\n", false},
      {"text \"unclosed\n", false},
      {"answer FORM press 999\ncommand 12\n", true},
      {"snapshot /nonexistent/folder/x.png\n", true},
  };
  for (const Case& c : cases) {
    RunResult r = RunScript(c.script);
    EXPECT_EQ(r.status, 2) << c.script;
    EXPECT_EQ(Contains(r.log, "dialog PANEL"), c.programRan) << c.script;
  }
  RunResult missing = RunScript("", {"MERO_SCRIPT=/nonexistent/job.txt"});
  EXPECT_EQ(missing.status, 2);
}

TEST(ScriptedRun, TheProgramsOwnStatusComesBackWhenTheScriptHoldsNoFault) {
  EXPECT_EQ(RunScript("command 19\n").status, 7);
  EXPECT_EQ(RunScript("wait\n").status, 0);  // the end of the script closes the main window
}

TEST(ScriptedRun, AJobShowsItsProgressAndPausesCloseThemselvesUnlessAnswered) {
  RunResult done = RunScript("box ok\ncommand 13\n");
  EXPECT_EQ(done.status, 0);
  EXPECT_TRUE(InOrder(done.log, {"dialog STATUS", "item STATUS 500 \"Step 1\"", "dialog TICK",
                                 "item STATUS 500 \"Step 5\"", "dialog TICK", "box \"UITEST\" \"Completed 5 Steps\""}));

  // Stopped, the job ends "Aborted ...": a failed job, once its box is answered.
  RunResult stopped = RunScript("answer TICK press cancel\nbox ok\ncommand 13\n");
  EXPECT_EQ(stopped.status, 1);
  EXPECT_TRUE(
      InOrder(stopped.log, {"item STATUS 500 \"Step 1\"", "box \"UITEST\" \"Aborted ... Files may be Incomplete\""}));
  EXPECT_FALSE(Contains(stopped.log, "item STATUS 500 \"Step 2\""));
}

TEST(ScriptedRun, PrintingClipboardAndTheFileDialog) {
  std::string maps = NewFolder("maps");
  std::ofstream(maps + "/MAP.PCX") << "x";
  std::string script = "box ok\ncommand 15\ncommand 16\nanswer OPENFILE set 100 \"" + maps +
                       "/map\" press ok\ncommand 17\nanswer OPENFILE press cancel\ncommand 17\n";
  RunResult r = RunScript(script, {"MERO_PRINTER=file:pages.pdf"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.log, "box \"UITEST\" \"Printed 2 Pages\""));
  EXPECT_EQ(uitest::ReadFile(r.folder + "/pages.pdf").substr(0, 5), "%PDF-");
  bool clipped = false;
  for (const std::string& l : r.log) clipped = clipped || l.rfind("item PANEL 300 \"clipboard clip text 640x", 0) == 0;
  EXPECT_TRUE(clipped);
  EXPECT_TRUE(InOrder(r.log, {"dialog OPENFILE", "item PANEL 300 \"opened " + maps + "/MAP.PCX\"", "dialog OPENFILE",
                              "item PANEL 300 \"open cancelled\""}));
}

bool XvfbWorks() {
  static int works = -1;
  if (works < 0) {
    std::string folder = NewFolder("probe");
    works = Spawn({"xvfb-run", "-a", "-s", "-screen 0 1024x768x24", "true"}, {}, folder) == 0 ? 1 : 0;
  }
  return works == 1;
}

TEST(ScriptedRun, OnARealDisplayTheScreenShowsThePictureAndTheRunIsTheSame) {
  if (!XvfbWorks()) GTEST_SKIP() << "Xvfb cannot start here";
  RunResult screen = RunScript("command 20\n", {}, true);
  EXPECT_EQ(screen.status, 0);
  EXPECT_TRUE(Contains(screen.log, "item PANEL 300 \"screen matches\""));
  // A picture changed by a handler reaches the display after its message, whether it was drawn
  // through a canvas or written pixel by pixel and invalidated, and again when unchanged since.
  RunResult quiet = RunScript("command 21\ncommand 23\ncommand 23\ncommand 22\ncommand 23\n", {}, true);
  EXPECT_EQ(quiet.status, 0);
  int matches = 0;
  for (const std::string& l : quiet.log) matches += l == "item PANEL 300 \"screen matches\"";
  EXPECT_EQ(matches, 3);

  RunResult onX = RunScript(kSession, {}, true);
  RunResult headless = RunScript(kSession);
  EXPECT_EQ(onX.status, 0);
  EXPECT_EQ(onX.log, headless.log);
  gfx::Surface a, b;
  ASSERT_EQ(gfx::LoadPng(onX.folder + "/shot.png", a), 1);
  ASSERT_EQ(gfx::LoadPng(headless.folder + "/shot.png", b), 1);
  ASSERT_EQ(a.width, b.width);
  ASSERT_EQ(a.height, b.height);
  int differ = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width - 90; ++x) differ += a.Row(y)[x] != b.Row(y)[x];
  EXPECT_EQ(differ, 0) << "the picture is the same on both";
}

}  // namespace
