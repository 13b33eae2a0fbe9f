// The check run: area geometry, the walk over the scan window, rule programs on a drawing with known
// violations (a narrow wire, two wires too close, a cut too near its metal's edge), the flag report,
// the resume point of a stopped run and the run's failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "drc/check_run.h"
#include "drc/tests/drc_fixture.h"
#include "editor/db/cell_index.h"
#include "platform/os/path.h"
#include "platform/tell/recorder.h"

namespace drc {
namespace {

using namespace drctest;

TEST(AreaGeometry, LengthsOfACheck) {
  struct Case {
    double res, dist, lambda, u;
    bool overlap;
    double wantRes, wantDist, p;
    long long P, D;
    int span;
    long long guard, xStep, yStep;
  };
  for (const Case& c : {
           Case{1, 3, 1, 20, false, 1, 3, 20, 20, 60, 2, 140, 20200, 12520},
           Case{1, 0.4, 1, 20, false, 1, 0, 20, 20, 0, -1, 80, 20320, 12640},   // distance below a pixel
           Case{0, 2, 1, 20, false, 0.05, 2, 1, 1, 40, 39, 44, 936, 552},         // one database unit
           Case{0.5, 3, 2, 10, false, 1, 6, 10, 10, 60, 5, 100, 10040, 6200},   // lambda scales both once
           Case{0.26, 1, 1, 10, false, 0.3, 0.9, 3, 3, 9, 2, 21, 3030, 1878},   // whole units, whole pixels
           Case{1, 3, 1, 20, true, 1, 3, 20, 20, 60, 2, 100, 20280, 12600},     // OVRLAP's guard band
       }) {
    CheckGeometry g = ComputeAreaGeometry(c.res, c.dist, c.lambda, c.u, c.overlap);
    SCOPED_TRACE(std::to_string(c.res) + " " + std::to_string(c.dist));
    EXPECT_DOUBLE_EQ(g.resolution, c.wantRes);
    EXPECT_NEAR(g.distance, c.wantDist, 1e-12);
    EXPECT_DOUBLE_EQ(g.pixel, c.p);
    EXPECT_EQ(g.P, c.P);
    EXPECT_EQ(g.D, c.D);
    EXPECT_EQ(g.baseSpan, c.span);
    EXPECT_EQ(g.guard, c.guard);
    EXPECT_EQ(g.xStep, c.xStep);
    EXPECT_EQ(g.yStep, c.yStep);
  }
}

TEST(AreaGeometry, StartAndCountFollowTheWalk) {
  CheckGeometry g = ComputeAreaGeometry(1, 3, 1, 20, false);
  DrcSettings s;
  SetDefaults(s);
  long long x0 = 0, y0 = 0;
  for (auto [window, areas] : std::vector<std::pair<ScanWindow, long>>{
           {{0, 0, 100, 100}, 1},                // narrower than an area: one area all the same
           {{-50000, 0, 50000, 30000}, 5 * 3},
           {{0, 0, 20059, 12379}, 1},  // the next area would start right of and above the window
           {{0, 0, 20060, 12380}, 4}}) {
    StartPosition(s, window, g, 20, x0, y0);
    EXPECT_EQ(x0, window.left - 140);
    EXPECT_EQ(y0, window.bottom - 140);
    long walked = 0;
    for (long long y = y0; y <= window.top; y += g.yStep)
      for (long long x = y == y0 ? x0 : window.left - 140; x <= window.right; x += g.xStep) {
        EXPECT_EQ(CountRemainingAreas(window, g, y, x), areas - walked);
        ++walked;
      }
    EXPECT_EQ(walked, areas);
  }
  // Given starts, fractions kept; a missing one takes its guard-band start.
  ScanWindow w{0, 0, 1000, 1000};
  s[kAreaLeft] = "12.5um";
  s[kAreaBottom] = "-3.25um";
  StartPosition(s, w, g, 20, x0, y0);
  EXPECT_EQ(x0, 250);
  EXPECT_EQ(y0, -65);
  s[kAreaBottom].clear();
  StartPosition(s, w, g, 20, x0, y0);
  EXPECT_EQ(y0, -140);
  s[kAreaLeft].clear();
  s[kAreaBottom] = "1";
  StartPosition(s, w, g, 20, x0, y0);
  EXPECT_EQ(x0, -140);
  EXPECT_EQ(y0, 20);
}

struct RunBench {
  Drawing drawing{RuleLayout(), 10};
  tell::Recorder ui;
  utilib::Job job{"MERODRC", ui};
  CheckView view;
  CheckMaps maps;
  DrcSettings s;
  DrawingUnits units;

  RunBench() {
    EXPECT_TRUE(drawing.ok);
    setenv("MERO_NOW", "2026-03-07 09:08:07", 1);
    EXPECT_TRUE(maps.Allocate());
    SetDefaults(s);
    s[kCell] = "TOP";
    s[kCheckFile] = "RULES.DRC";
    s[kFinishCheck] = "9";
    s[kScanLeft] = "0", s[kScanBottom] = "0", s[kScanRight] = "300", s[kScanTop] = "50";
    units.scale = 10;
    units.unit = "um";
    units.index = &drawing.db->index;
    NormaliseSettings(s, units);
    std::ofstream("RULES.DRC") << kRuleChecks;
  }
  ~RunBench() { unsetenv("MERO_NOW"); }

  RunOutcome Go() {
    Machine m(*drawing.db, job, view, maps);
    RunOutcome out = RunChecks(m, s, units, [] { return 0u; });
    utilib::CloseReport(job);
    return out;
  }
  std::string Report() { return drawing.scratch.Read("MERODRC.RPT"); }
};

std::string Header(int check, const char* title, const char* distance) {
  return std::string("\r\n*** MERO Design Rule Check Flag Report ***\r\n\r\nCell: TOP\r\nCheck ") +
         std::to_string(check) + ": " + title + "\r\nDate: 03/07/26\tTime: 09:08:07\r\nResolution= 0.1um  Distance= " +
         distance + "um  Lambda= 1\r\nArea(s) Flagged:\r\n";
}

TEST(CheckRun, RuleProgramsFlagTheAreasWithViolations) {
  RunBench b;
  RunOutcome out = b.Go();
  EXPECT_EQ(out.result, 1);
  EXPECT_EQ(out.runError, kRunOk);
  EXPECT_EQ(out.totalFlags, 3);
  // Areas 95.6 um apart with 3.4 um of guard band on either side; each check flags its own area.
  EXPECT_EQ(b.Report(), Header(1, "Metal width", "3") +
                            "Area= ZOOM -3.4 -3.4 99 60.6   Map= TOP_1_1.PCX\r\n" + Header(2, "Metal spacing", "3") +
                            "Area= ZOOM 187.8 -3.4 290.2 60.6   Map= Map Not Copied\r\n" +
                            Header(3, "Cut enclosure", "1") +
                            "Area= ZOOM 98.2 -1.4 200.6 62.6   Map= Map Not Copied\r\n");
  EXPECT_TRUE(os::FileExists("TOP_1_1.PCX"));
  // The copy of the first area only: a map copied from every area would be named TOP_1_2 and on.
  EXPECT_FALSE(os::FileExists("TOP_1_2.PCX"));
  EXPECT_EQ(b.ui.items[kProgressItem2],
            "3 of 4 Areas Completed  (1 Flags, 3 Total)   Res= 0.1um   Dist= 1um   Lambda= 1");
  EXPECT_EQ(b.ui.items[kProgressItem3],
            "Area: L=297.4um B=-1.4um R=399.8um T=62.6um   Window: L=0um B=0um R=300um T=50um");
  EXPECT_EQ(b.ui.items[kProgressItem1].rfind("Cell: TOP    Check 3: Cut enclosure    Est.Time: 0hr 0min 0sec", 0), 0u);
  // A pause after every fourth area, at the end of each row and after each check.
  EXPECT_EQ(b.ui.EventsOf("pause"), (std::vector<std::string>{"pause 0", "pause 0", "pause 500", "pause 0",
                                                              "pause 0", "pause 500", "pause 0", "pause 0",
                                                              "pause 500"}));
  EXPECT_TRUE(b.ui.EventsOf("box").empty());
  // The set-up's first-check values are used up.
  EXPECT_EQ(b.s[kAreaLeft], "");
  EXPECT_EQ(b.s[kResolution], "");
}

TEST(CheckRun, StoppedRunLeavesAResumePointThatTheNextGoTakes) {
  RunBench b;
  // Esc in the second check's second area (the polls of each area's mapping come first).
  b.ui.escapeAfterPolls = 0;
  int areasSeen = 0;
  struct CountingView : CheckView {
    int* n;
    void ShowProgress(const AreaProgress&) override { ++*n; }
  } view;
  view.n = &areasSeen;
  {
    Machine m(*b.drawing.db, b.job, view, b.maps);
    b.s[kStartCheck] = "2";
    b.s[kAreaLeft] = "92.2";  // the second area's origin, as a resume point leaves it
    b.s[kAreaBottom] = "-3.4";
    RunOutcome out = RunChecks(m, b.s, b.units, [] { return 0u; });
    utilib::CloseReport(b.job);
    EXPECT_EQ(out.result, 0);
  }
  EXPECT_EQ(areasSeen, 1);
  EXPECT_EQ(b.s[kStartCheck], "2");
  EXPECT_EQ(b.s[kAreaLeft], "92.2um");
  EXPECT_EQ(b.s[kAreaBottom], "-3.4um");
  // The next Go starts there and runs to the end.
  b.ui.escapeAfterPolls = -1;
  NormaliseSettings(b.s, b.units);
  RunOutcome out = b.Go();
  EXPECT_EQ(out.result, 1);
  EXPECT_EQ(out.totalFlags, 2);
  const std::string report = b.Report();
  EXPECT_EQ(report.find("Check 1:"), std::string::npos);
  EXPECT_NE(report.find("Area= ZOOM 187.8 -3.4 290.2 60.6"), std::string::npos);
}

TEST(CheckRun, LocationOfACheckStartsItsFirstAreaUnlessTheSetUpHasOne) {
  RunBench b;
  std::ofstream("RULES.DRC") << "TITLE=t\nRESOLUTION=0.1\nDISTANCE=3\nLOCATION=180,-3.4\nOPERATORS={\nMAP,1\nPUSH,1\nGAGR\nTESTR\n}\n";
  std::vector<double> lefts;
  struct View : CheckView {
    std::vector<double>* lefts;
    void ShowProgress(const AreaProgress& a) override { lefts->push_back(a.x0); }
  } view;
  view.lefts = &lefts;
  Machine m(*b.drawing.db, b.job, view, b.maps);
  EXPECT_EQ(RunChecks(m, b.s, b.units, [] { return 0u; }).result, 1);
  EXPECT_EQ(lefts, (std::vector<double>{1800, 2756}));
  lefts.clear();
  b.s[kAreaLeft] = "280";
  b.s[kAreaBottom] = "-3.4";
  EXPECT_EQ(RunChecks(m, b.s, b.units, [] { return 0u; }).result, 1);
  EXPECT_EQ(lefts, (std::vector<double>{2800}));
}

TEST(CheckRun, FailuresAndOddCheckFiles) {
  {
    RunBench b;
    b.s[kCheckFile] = "NONE.DRC";
    EXPECT_EQ(b.Go().result, 0);
    EXPECT_EQ(b.s[kCheckFile], "???.DRC");
    EXPECT_EQ(b.ui.EventsOf("box"), (std::vector<std::string>{"box \"MERODRC\" \"Check File is Missing\""}));
  }
  {
    RunBench b;
    b.s[kCell] = "GONE";
    EXPECT_EQ(b.Go().result, 0);
    EXPECT_EQ(b.s[kCell], "???");
  }
  {
    // A syntax error ends the list in every area that reaches it; the checks after it still run.
    RunBench b;
    std::ofstream("RULES.DRC") << "TITLE=a\nRESOLUTION=0.1\nOPERATORS={\nCLR\nMAPP,1\nTESTR\n}\nTITLE=b\nOPERATORS={CLR}\n";
    EXPECT_EQ(b.Go().result, 1);
    EXPECT_EQ(b.ui.EventsOf("box"), std::vector<std::string>(3, "box \"MERODRC\" \"Syntax Error: \\\"MAPP,1\\\"\""));
  }
  {
    // A guard band wider than the area's window: nothing to check, the run stops.
    RunBench b;
    std::ofstream("RULES.DRC") << "TITLE=a\nRESOLUTION=0.1\nDISTANCE=200\nOPERATORS={\nMAP,1\n}\n";
    EXPECT_EQ(b.Go().result, 0);
    EXPECT_EQ(b.ui.EventsOf("box"),
              (std::vector<std::string>{
                  "box \"MERODRC\" \"Guardband is Too Large for Check Area ... Use Coarser Resolution\""}));
  }
  {
    // A cell file that cannot be read ends the run with its error.
    RunBench b;
    ASSERT_EQ(os::RemoveFile("Cut.bp6"), 1);
    RunOutcome out = b.Go();
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.runError, kObjectsFailed);
  }
}

TEST(CheckRun, ReportIsErasedOrAppendedTo) {
  RunBench b;
  std::ofstream("RULES.DRC") << "TITLE=a\nRESOLUTION=0.1\nOPERATORS={\nCLR\n}\n";
  b.drawing.scratch.Write("MERODRC.RPT", "old\r\n");
  b.s[kEraseReport] = "N";
  NormaliseSettings(b.s, b.units);
  EXPECT_EQ(b.Go().result, 1);
  EXPECT_EQ(b.Report().rfind("old\r\n\r\n*** MERO", 0), 0u);
  b.s[kEraseReport] = "Y";
  NormaliseSettings(b.s, b.units);
  EXPECT_EQ(b.Go().result, 1);
  EXPECT_EQ(b.Report().rfind("\r\n*** MERO", 0), 0u);
}

}  // namespace
}  // namespace drc
