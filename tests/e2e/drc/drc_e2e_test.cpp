// The checker program run whole, headless and scripted: its set-up, a Go over a drawing with known
// violations, the report, the map files and the set-up file it leaves, a run stopped and resumed, the
// editor's command line, and the start-up failures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "drc/pcx.h"
#include "drc/pictures.h"
#include "drc/tests/drc_fixture.h"
#include "platform/ui/tests/log_lines.h"

namespace {

using namespace drctest;

struct Program {
  Drawing drawing{RuleLayout(), 10};

  Program() {
    EXPECT_TRUE(drawing.ok);
    drawing.scratch.Write("RULES.DRC", kRuleChecks);
  }

  int Go(const std::string& script, const std::string& args = "", const std::string& env = "") {
    drawing.scratch.Write("run.script", script);
    const std::string command = "cd '" + drawing.scratch.root + "' && XDG_RUNTIME_DIR='" + drawing.scratch.root +
                                "' QT_QPA_PLATFORM=offscreen MERO_NOW='2026-03-07 09:08:07' MERO_SCRIPT=run.script "
                                "MERO_LOG=run.log " + env + " '" MERO_WMERODRC "' " + args + " > run.out 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<std::string> Log() const { return uitest::FileLines(drawing.scratch.Path("run.log")); }
  bool Logged(const std::string& line) const {
    const auto log = Log();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  std::string Dump() const {
    std::string all;
    for (const auto& l : Log()) all += l + "\n";
    return all;
  }
};

constexpr const char* kSetUp =
    "answer SETUP set 100 \"top\" set 101 \"rules\" set 103 \"9\" set 109 \"0\" set 110 \"0\" set 111 \"300\" "
    "set 112 \"50\" press ok\n"
    "command 13\n";

std::string Header(int check, const char* title, const char* distance) {
  return std::string("\n*** MERO Design Rule Check Flag Report ***\n\nCell: TOP\nCheck ") + std::to_string(check) + ": " +
         title + "\nDate: 03/07/26\tTime: 09:08:07\nResolution= 0.1um  Distance= " + distance +
         "um  Lambda= 1\nArea(s) Flagged:\n";
}

std::string Text(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

TEST(WmerodrcRun, GoFlagsTheRuleViolationsAndKeepsTheirMap) {
  Program run;
  ASSERT_EQ(run.Go(std::string(kSetUp) + "box ok\ncommand 14\n" +
                   "answer OPENFILE set 100 \"top_1_1.pcx\" press ok\nanswer VIEWER check 1057 1 check 1056 1 press ok\n"
                   "command 12\n"),
            0)
      << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 3 Total Flags\"")) << run.Dump();
  EXPECT_TRUE(run.Logged("dialog MAPPER"));
  EXPECT_TRUE(run.Logged("item DISPLAY 500 \"Copying Map to TOP_1_1.PCX ...\""));
  EXPECT_EQ(Text(uitest::FileLines(run.drawing.scratch.Path("MERODRC.RPT"))),
            Header(1, "Metal width", "3") + "Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_1.PCX\n" +
                Header(2, "Metal spacing", "3") + "Area= ZOOM 187.8 -3.4 290.2 60.6   Map= Map Not Copied\n" +
                Header(3, "Cut enclosure", "1") + "Area= ZOOM 98.2 -1.4 200.6 62.6   Map= Map Not Copied\n" +
                "\nCompleted ... 3 Total Flags\n\n");
  // The map as the window showed it: the narrow wire's marks in red, inside the frames.
  drc::PcxMap map;
  ASSERT_EQ(drc::ReadPcxMap(run.drawing.scratch.Path("TOP_1_1.PCX"), false, map), drc::PcxRead::Ok);
  EXPECT_EQ(map.width, drc::kMapperWidth);
  EXPECT_EQ(map.height, drc::kMapperHeight);
  int marks = 0;
  for (int y = drc::kFrameTop + 20; y < drc::kFrameBottom - 20; ++y)
    for (int x = drc::kFrameLeft + 20; x < drc::kFrameRight - 20; ++x) marks += map.picture.Row(y)[x] == 0xFF0000u;
  EXPECT_GT(marks, 100);
  // The set-up file as SETUP left it.
  const auto setup = uitest::FileLines(run.drawing.scratch.Path("Merodrc.su6"));
  ASSERT_GE(setup.size(), 20u + 20u);
  EXPECT_EQ(std::vector<std::string>(setup.begin(), setup.begin() + 20),
            (std::vector<std::string>{"6.01", "TOP", "RULES.DRC", "1", "9", "1", "", "", "", "", "0um", "0um", "300um",
                                      "50um", "Y", "Y", "Y", "10", "5", "MERODRC.RPT"}));
  EXPECT_EQ(setup[20], "Notepad");
  EXPECT_EQ(setup[21], "MERODRC.RPT");
  // Map shows the file again.
  EXPECT_TRUE(run.Logged("dialog VIEWER"));
  EXPECT_TRUE(run.Logged("dialog OPENFILE"));
}

// Areas worked out on several cores show, report and flag what one core at a time gives.
TEST(WmerodrcRun, AreasOnSeveralCoresRunAsOnOne) {
  std::string logs[2], reports[2];
  for (int k = 0; k < 2; ++k) {
    Program run;
    ASSERT_EQ(run.Go(std::string(kSetUp) + "box ok\ncommand 14\n", "", k ? "MERO_CORES=4" : "MERO_CORES=1"), 0)
        << run.Dump();
    // All but the time estimates, which follow the clock.
    for (const std::string& line : run.Log())
      if (line.find("Est.Time") == std::string::npos) logs[k] += line + "\n";
    reports[k] = run.drawing.scratch.Read("MERODRC.RPT");
  }
  EXPECT_EQ(logs[0], logs[1]);
  EXPECT_EQ(reports[0], reports[1]);
  EXPECT_NE(reports[1].find("Completed ... 3 Total Flags"), std::string::npos) << reports[1];
}

TEST(WmerodrcRun, StoppedRunResumesWhereItStopped) {
  Program run;
  // Cancel at the first pause, after the first area; SETUP then shows and keeps the resume point.
  ASSERT_EQ(run.Go(std::string(kSetUp) +
                   "answer PAUSE press cancel\nbox ok\ncommand 14\n"
                   "answer SETUP press ok\ncommand 13\n"
                   "box ok\ncommand 14\n"),
            1)
      << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\"")) << run.Dump();
  EXPECT_TRUE(run.Logged("item SETUP 107 \"92.2um\""));
  EXPECT_TRUE(run.Logged("item SETUP 108 \"-3.4um\""));
  const auto setup = uitest::FileLines(run.drawing.scratch.Path("Merodrc.su6"));
  EXPECT_EQ(setup[3], "1");
  EXPECT_EQ(setup[8], "92.2um");
  EXPECT_EQ(setup[9], "-3.4um");
  // The second Go skips the first area, with the narrow wire; the stopped run's flag of it stays in
  // the report, which the resumed run appends to although Erase Old Report is on.
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 2 Total Flags\"")) << run.Dump();
  const std::string report = run.drawing.scratch.Read("MERODRC.RPT");
  const std::size_t first = report.find("Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_1.PCX");
  EXPECT_NE(first, std::string::npos) << report;
  EXPECT_EQ(report.find("Area= ZOOM -3.4", first + 1), std::string::npos) << report;
  EXPECT_NE(report.find("Area= ZOOM 187.8 -3.4 290.2 60.6"), std::string::npos);
  EXPECT_NE(report.find("Aborted ... DRC may be Incomplete"), std::string::npos);
}

// Every area with metal is flagged and copied, so a resumed run makes copies of its own.
constexpr const char* kCopyEveryArea =
    "TITLE=Metal\nRESOLUTION=0.1\nDISTANCE=3\nOPERATORS={\n  MAP,1\n  PUSH,1\n  TESTR\n  DSPR,W\n  SCPY\n}\n";
constexpr const char* kCopySetUp =
    "answer SETUP set 100 \"top\" set 101 \"copy\" set 109 \"0\" set 110 \"0\" set 111 \"300\" set 112 \"50\" "
    "press ok\ncommand 13\n";

// The three areas of the copying check, each named once in the report with a map file of its own.
void ExpectEachAreaOnceWithItsMap(const std::string& report) {
  for (const char* line : {"Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_1.PCX", "Area= ZOOM 92.2 -3.4 194.6 60.6   Map= TOP_1_2.PCX",
                           "Area= ZOOM 187.8 -3.4 290.2 60.6   Map= TOP_1_3.PCX"}) {
    const std::size_t at = report.find(line);
    EXPECT_NE(at, std::string::npos) << line << "\n" << report;
    EXPECT_EQ(report.find(line, at + 1), std::string::npos) << line << "\n" << report;
  }
}

TEST(WmerodrcRun, ResumedRunKeepsTheStoppedRunsMapsAndReport) {
  Program run;
  run.drawing.scratch.Write("COPY.DRC", kCopyEveryArea);
  // Stopped at the first pause (after the first area), then Go again; Erase Old Report stays on. The
  // stopped job still makes the run's status 1: a later job that completes does not hide it.
  ASSERT_EQ(run.Go(std::string(kCopySetUp) + "answer PAUSE press cancel\nbox ok\ncommand 14\nbox ok\ncommand 14\n"), 1)
      << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 2 Total Flags\"")) << run.Dump();
  const std::string report = run.drawing.scratch.Read("MERODRC.RPT");
  ExpectEachAreaOnceWithItsMap(report);
  // Each area's picture under its own name: the first is not overwritten by the second.
  drc::PcxMap a, b;
  ASSERT_EQ(drc::ReadPcxMap(run.drawing.scratch.Path("TOP_1_1.PCX"), false, a), drc::PcxRead::Ok);
  ASSERT_EQ(drc::ReadPcxMap(run.drawing.scratch.Path("TOP_1_2.PCX"), false, b), drc::PcxRead::Ok);
  EXPECT_TRUE(run.drawing.scratch.Has("TOP_1_3.PCX"));
  EXPECT_NE(std::vector<std::uint32_t>(a.picture.pixels.begin(), a.picture.pixels.end()),
            std::vector<std::uint32_t>(b.picture.pixels.begin(), b.picture.pixels.end()));

  // A fresh Go (Reset empties the resume point) erases the report as the setting asks.
  ASSERT_EQ(run.Go("answer SETUP press 120 press ok\ncommand 13\nbox ok\ncommand 14\n"), 0) << run.Dump();
  const std::string fresh = run.drawing.scratch.Read("MERODRC.RPT");
  EXPECT_EQ(fresh.find("Aborted"), std::string::npos) << fresh;
  EXPECT_NE(fresh.find("Map= TOP_1_3.PCX"), std::string::npos) << fresh;
}

// A run of the copying check stopped after its first area; SETUP then writes the resume point into
// the set-up file, and the program closes.
void StopAfterTheFirstArea(Program& run) {
  run.drawing.scratch.Write("COPY.DRC", kCopyEveryArea);
  ASSERT_EQ(run.Go(std::string(kCopySetUp) +
                   "answer PAUSE press cancel\nbox ok\ncommand 14\nanswer SETUP press ok\ncommand 13\n"),
            1)
      << run.Dump();
  ASSERT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\"")) << run.Dump();
  ASSERT_TRUE(run.drawing.scratch.Has("TOP_1_1.PCX"));
  ASSERT_FALSE(run.drawing.scratch.Has("TOP_1_2.PCX"));
}

// The checker started again in the folder carries on the stopped run from its resume point, keeping
// its report and its map files.
TEST(WmerodrcRun, ResumeAfterARestartKeepsTheStoppedRunsMapsAndReport) {
  Program run;
  StopAfterTheFirstArea(run);
  if (HasFatalFailure()) return;
  // The reader pairs stay where older runs of the program read them.
  const auto setup = uitest::FileLines(run.drawing.scratch.Path("Merodrc.su6"));
  ASSERT_GE(setup.size(), 40u);
  EXPECT_EQ(setup[8], "92.2um");
  EXPECT_EQ(setup[20], "Notepad");
  EXPECT_EQ(setup[21], "MERODRC.RPT");
  const std::string stopped = run.drawing.scratch.Read("MERODRC.RPT");
  const std::string first = run.drawing.scratch.Read("TOP_1_1.PCX");
  ASSERT_NE(stopped.find("Map= TOP_1_1.PCX"), std::string::npos) << stopped;

  ASSERT_EQ(run.Go("box ok\ncommand 14\n"), 0) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 2 Total Flags\"")) << run.Dump();
  const std::string resumed = run.drawing.scratch.Read("MERODRC.RPT");
  EXPECT_EQ(resumed.substr(0, stopped.size()), stopped);
  ExpectEachAreaOnceWithItsMap(resumed);
  EXPECT_EQ(run.drawing.scratch.Read("TOP_1_1.PCX"), first);
  EXPECT_TRUE(run.drawing.scratch.Has("TOP_1_3.PCX"));

  // A fresh run that keeps the old report (Erase Old Report off) keeps the maps its lines name too.
  const std::string maps[] = {run.drawing.scratch.Read("TOP_1_2.PCX"), run.drawing.scratch.Read("TOP_1_3.PCX")};
  ASSERT_EQ(run.Go("answer SETUP press 120 check 115 0 press ok\ncommand 13\nbox ok\ncommand 14\n"), 0) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 3 Total Flags\"")) << run.Dump();
  const std::string kept = run.drawing.scratch.Read("MERODRC.RPT");
  EXPECT_EQ(kept.substr(0, resumed.size()), resumed);
  EXPECT_NE(kept.find("Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_4.PCX", resumed.size()), std::string::npos) << kept;
  EXPECT_NE(kept.find("Map= TOP_1_6.PCX", resumed.size()), std::string::npos) << kept;
  EXPECT_EQ(run.drawing.scratch.Read("TOP_1_1.PCX"), first);
  EXPECT_EQ(run.drawing.scratch.Read("TOP_1_2.PCX"), maps[0]);
  EXPECT_EQ(run.drawing.scratch.Read("TOP_1_3.PCX"), maps[1]);
}

// The stopped run's map file taken out of the folder: its name stays the stopped run's.
TEST(WmerodrcRun, ResumeAfterARestartNumbersAfterMapsMovedAway) {
  Program run;
  StopAfterTheFirstArea(run);
  if (HasFatalFailure()) return;
  std::filesystem::create_directory(run.drawing.scratch.Path("seen"));
  std::filesystem::rename(run.drawing.scratch.Path("TOP_1_1.PCX"), run.drawing.scratch.Path("seen/TOP_1_1.PCX"));
  ASSERT_EQ(run.Go("box ok\ncommand 14\n"), 0) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 2 Total Flags\"")) << run.Dump();
  const std::string report = run.drawing.scratch.Read("MERODRC.RPT");
  // The stopped run's line is the only one naming it.
  EXPECT_NE(report.find("Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_1.PCX"), std::string::npos) << report;
  EXPECT_EQ(report.find("Map= TOP_1_1.PCX"), report.rfind("Map= TOP_1_1.PCX")) << report;
  EXPECT_NE(report.find("Area= ZOOM 92.2 -3.4 194.6 60.6   Map= TOP_1_2.PCX"), std::string::npos) << report;
  EXPECT_FALSE(run.drawing.scratch.Has("TOP_1_1.PCX"));
}

// Values that no map or coordinate can hold, from each place a run takes them: refused by name before
// the run, the old report left as it was, never "Completed".
TEST(WmerodrcRun, HostileNumbersAreRefusedBeforeTheRun) {
  struct Case {
    const char* name;
    const char* fields;  // SETUP actions
    const char* checks;  // the check file, "" for the rules
    const char* consts;  // CONSTS6.DBD, "" for the drawing's own
    const char* message;
  };
  const Case cases[] = {
      {"scan edge", "set 109 \"-5e17\"", "", "", "Scan Window is Out of Range"},
      {"scan top", "set 112 \"1e300\"", "", "", "Scan Window is Out of Range"},
      {"scale", "", "", "6.05\r\n1e200\r\num\r\n", "Database Scale is Out of Range"},
      {"check distance", "", "TITLE=Far\nRESOLUTION=0.1\nDISTANCE=1e308\nOPERATORS={\nMAP,1\nTESTR\n}\n", "",
       "Check 1: Distance is Out of Range"},
      {"set-up resolution", "set 105 \"1e300\"", "", "", "Check 1: Resolution is Out of Range"},
      {"set-up distance", "set 106 \"1e12\"", "", "", "Check 1: Distance is Out of Range"},
      {"start area", "set 107 \"1e300\" set 108 \"0\"", "", "", "Start Area is Out of Range"},
      {"start above the window", "set 107 \"0\" set 108 \"400\"", "", "", "Start Area is Outside the Scan Window"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program run;
    if (*c.checks) run.drawing.scratch.Write("RULES.DRC", c.checks);
    if (*c.consts) run.drawing.scratch.Write("CONSTS6.DBD", c.consts);
    run.drawing.scratch.Write("MERODRC.RPT", "kept\n");
    ASSERT_EQ(run.Go(std::string("answer SETUP set 100 \"top\" set 101 \"rules\" set 103 \"9\" set 109 \"0\" "
                                 "set 110 \"0\" set 111 \"300\" set 112 \"50\" ") +
                     c.fields + " press ok\ncommand 13\nbox ok\nbox ok\ncommand 14\n"),
              1)
        << run.Dump();
    EXPECT_TRUE(run.Logged(std::string("box \"MERODRC\" \"") + c.message + "\"")) << run.Dump();
    EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\"")) << run.Dump();
    EXPECT_EQ(run.drawing.scratch.Read("MERODRC.RPT").substr(0, 5), "kept\n");
    EXPECT_FALSE(run.drawing.scratch.Has("TOP_1_1.PCX"));
    // The sanitizer build ends with an error status on any overflow it finds.
    EXPECT_EQ(run.drawing.scratch.Read("run.out").find("runtime error"), std::string::npos)
        << run.drawing.scratch.Read("run.out");
  }
}

// A window of millions of areas is told and asked about first; Cancel leaves everything as it was,
// OK starts the run, which Cancel at a pause still stops.
TEST(WmerodrcRun, AbsurdAreaCountIsAskedAboutFirst) {
  Program run;
  run.drawing.scratch.Write("MERODRC.RPT", "kept\n");
  const std::string setUp =
      "answer SETUP set 100 \"top\" set 101 \"rules\" set 109 \"-100000\" set 110 \"-100000\" "
      "set 111 \"100000\" set 112 \"100000\" press ok\ncommand 13\n";
  ASSERT_EQ(run.Go(setUp + "box cancel\nbox ok\ncommand 14\n"), 1) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"7319221 Areas to Check ... Continue?\"")) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\"")) << run.Dump();
  EXPECT_EQ(run.drawing.scratch.Read("MERODRC.RPT").substr(0, 5), "kept\n");
  ASSERT_EQ(run.Go("box ok\nanswer PAUSE press cancel\nbox ok\ncommand 14\n"), 1) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\"")) << run.Dump();
  EXPECT_NE(run.drawing.scratch.Read("MERODRC.RPT").find("Check 1: Metal width"), std::string::npos);
}

// EXPR with a span far past the map's width ends once the map is full, with the marks of the growth
// up to then: the two wires of the first area come within a pixel of each other.
TEST(WmerodrcRun, HugeExpansionSpanEndsWhenTheMapIsFull) {
  Program run;
  run.drawing.scratch.Write("RULES.DRC",
                            "TITLE=Grown\nRESOLUTION=0.1\nDISTANCE=3\nOPERATORS={\nMAP,1\nPUSH,1\nEXPR,99999\n"
                            "TESTR\n}\n");
  ASSERT_EQ(run.Go("answer SETUP set 100 \"top\" set 101 \"rules\" set 109 \"0\" set 110 \"0\" set 111 \"40\" "
                   "set 112 \"20\" press ok\ncommand 13\nbox ok\ncommand 14\n"),
            0)
      << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 1 Total Flags\"")) << run.Dump();
}

TEST(WmerodrcRun, EditorCommandLinePresetsTheCellAndTheScanWindow) {
  Program run;
  ASSERT_EQ(run.Go("answer SETUP press cancel\ncommand 13\n", "TOP 100 50 40 18446744073709551615"), 0) << run.Dump();
  for (const char* line : {"item SETUP 100 \"TOP\"", "item SETUP 109 \"80um\"", "item SETUP 110 \"34um\"",
                           "item SETUP 111 \"120um\"", "item SETUP 112 \"66um\""})
    EXPECT_TRUE(run.Logged(line)) << line << "\n" << run.Dump();
}

TEST(WmerodrcRun, SetupFileOfAnotherVersionIsIgnored) {
  for (const char* version : {"6.00", "6.01"}) {
    Program run;
    run.drawing.scratch.Write("Merodrc.su6", std::string(version) + "\r\nTOP\r\nRULES.DRC\r\n");
    ASSERT_EQ(run.Go("answer SETUP press cancel\ncommand 13\n"), 0) << run.Dump();
    EXPECT_TRUE(run.Logged(std::string("item SETUP 100 \"") + (version[3] == '1' ? "TOP" : "???") + "\"")) << run.Dump();
  }
}

TEST(WmerodrcRun, MissingDrawingFilesCloseTheProgram) {
  for (const char* file : {"FORM.DBD", "CELLS6.DBD", "CONSTS6.DBD"}) {
    Program run;
    std::remove(run.drawing.scratch.Path(file).c_str());
    std::remove(run.drawing.scratch.Path("Cells6.dbd").c_str());
    if (std::string(file) != "CELLS6.DBD") run.drawing.scratch.Write("CELLS6.DBD", "0\r\n");
    ASSERT_EQ(run.Go("box ok\n"), 1) << run.Dump();
    EXPECT_TRUE(run.Logged(std::string("box \"MERODRC\" \"") + file + " is Missing\"")) << run.Dump();
    EXPECT_FALSE(run.drawing.scratch.Has("Merodrc.su6"));
  }
}

TEST(WmerodrcRun, AllocationBoxAndAMissingCheckFile) {
  Program run;
  ASSERT_EQ(run.Go("box ok\nchar 01\nbox ok\nbox ok\ncommand 14\n"), 1) << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Cell Object Allocation :\\n\\n256033 Boxes  256431 Paths  511999 Vtx  "
                         "256431 Cells\""));
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Check File is Missing\""));
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Aborted ... DRC may be Incomplete\""));
}

TEST(WmerodrcRun, DemoChecksOnTheDemoDrawing) {
#ifndef MERO_DEMO_DIR
  GTEST_SKIP() << "the demo drawing is not built";
#else
  // The README's main job: the example check file over a copy of the demo drawing.
  Program run;
  std::filesystem::copy(MERO_DEMO_DIR, run.drawing.scratch.root,
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  for (const char* f : {"Cells6.dbd", "CELLS6.DBD"}) std::remove(run.drawing.scratch.Path(f).c_str());
  std::filesystem::copy_file(std::string(MERO_DEMO_DIR) + "/Cells6.dbd", run.drawing.scratch.Path("CELLS6.DBD"));
  run.drawing.scratch.Write("CONSTS6.DBD", "6.05\r\n20\r\num\r\n");
  std::filesystem::copy_file(MERO_DEMO_CHECKS, run.drawing.scratch.Path("DEMO.DRC"));
  ASSERT_EQ(run.Go("answer SETUP set 100 \"TOP\" set 101 \"demo\" set 103 \"9\" set 109 \"-40\" set 110 \"-30\" "
                   "set 111 \"150\" set 112 \"80\" press ok\ncommand 13\nbox ok\ncommand 14\n"),
            0)
      << run.Dump();
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Completed ... 1 Total Flags\"")) << run.Dump();
  const std::string report = run.drawing.scratch.Read("MERODRC.RPT");
  EXPECT_NE(report.find("Check 4: Contacts inside active by 0.25 um"), std::string::npos);
  EXPECT_NE(report.find("Area= ZOOM -43 -33 213 127   Map= TOP_2_1.PCX"), std::string::npos);
  EXPECT_TRUE(run.drawing.scratch.Has("TOP_2_1.PCX"));
#endif
}

}  // namespace
