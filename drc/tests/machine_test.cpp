// The operator machine: operator lines and their arguments, what each leaves in R and S, the map
// window and its copies.
#include <gtest/gtest.h>

#include "drc/machine.h"
#include "drc/pcx.h"
#include "drc/tests/drc_fixture.h"
#include "platform/os/path.h"
#include "platform/tell/recorder.h"

namespace drc {
namespace {

using namespace drctest;

struct Bench {
  Drawing drawing;
  tell::Recorder ui;
  utilib::Job job{"MERODRC", ui};
  CheckView view;
  CheckMaps maps;
  std::unique_ptr<Machine> m;

  explicit Bench(std::vector<CellSpec> cells = {Cell("TOP", 1, {0, 0, 100, 100}, {Box(1, 100, 100, 300, 200)})})
      : drawing(cells, 10) {
    EXPECT_TRUE(drawing.ok);
    EXPECT_TRUE(maps.Allocate());
    m = std::make_unique<Machine>(*drawing.db, job, view, maps);
    m->raster.SetTopCell(drawing.Row("TOP"));
    m->cellName = "TOP";
    m->checkNumber = 2;
    // Pixels of one database unit, the map's origin at (0, 0), a guard band of 40 pixels.
    m->frame.x1 = 1024, m->frame.y1 = 640;
    m->geometry.guard = 40;
    m->geometry.baseSpan = 2;
  }
};

TEST(Machine, OperatorLinesAndTheirArguments) {
  Bench b;
  struct Case {
    const char* line;
    int result;
  };
  for (Case c : {Case{"map,1", 1}, Case{"MAP,1", 1}, Case{"Map,64", 1}, Case{"MAP,0", 1}, Case{"MAP,65", -1},
                 Case{"MAP,-1", -1}, Case{"MAP", -1}, Case{"MAP,", -1}, Case{"DS,1", -1}, Case{"XY", -1},
                 Case{"FOO", -1}, Case{"MAPR", 1}, Case{"PUSH", -1}, Case{"PUSH,3", 1}, Case{"POPR", 1},
                 Case{"PUSHR", 1}, Case{"OVRLAP,0", -1}, Case{"SIZE,65", -1}, Case{"SIZE,2", 1},
                 Case{"DSP", -1}, Case{"DSP,2", 1}, Case{"DSPR", 1}, Case{"DSPS,R,3", 1}, Case{"PAUSE", 1},
                 Case{"notr", 1}, Case{"SWAPRS", 1}, Case{"SWPRS", 1}, Case{"CLRR", 1}, Case{"SETR", 1},
                 Case{"DBLR", 1}, Case{"HCPY", 1}, Case{"EXPRS,0", 1}, Case{"GAGRS", 1}})
    EXPECT_EQ(b.m->ExecOperator(c.line), c.result) << c.line;
}

TEST(Machine, JumpsAndTheFlagTestEndTheListOrGoOn) {
  Bench b;
  BitMap& R = b.maps.R;
  EXPECT_EQ(b.m->ExecOperator("JRC"), 0);  // R empty: the list ends
  EXPECT_EQ(b.m->ExecOperator("JR1"), 1);  // a clear pixel inside the border
  SetMapPixel(R, 20, 20, 1);  // inside the border, outside the guard window
  EXPECT_EQ(b.m->ExecOperator("JR0"), 1);
  EXPECT_EQ(b.m->ExecOperator("TESTR"), 0);
  EXPECT_FALSE(b.m->flagged);
  SetMapPixel(R, 40, 40, 1);
  EXPECT_EQ(b.m->ExecOperator("JNR"), 1);
  EXPECT_EQ(b.m->ExecOperator("JRN"), 1);
  EXPECT_TRUE(b.m->flagged);
  EXPECT_EQ(b.m->checkFlags, 2);
  EXPECT_EQ(b.m->totalFlags, 2);
  EXPECT_EQ(b.ui.items[kStatusItem], "Reporting ...");
  EXPECT_EQ(b.m->ExecOperator("STR"), 1);
  EXPECT_EQ(b.m->ExecOperator("JRS"), 0);  // full inside its border
}

TEST(Machine, MappedLayersGoToSlotsAndPushBringsThemBack) {
  Bench b;
  BitMap& R = b.maps.R;
  BitMap& S = b.maps.S;
  SetMapPixel(R, 7, 7, 1);
  EXPECT_EQ(b.m->ExecOperator("MAP,1"), 1);
  EXPECT_EQ(b.ui.items[kStatusItem], "Mapping 1 ...");
  EXPECT_EQ(SetPixels(R), (Pixels{{7, 7}}));  // mapping leaves R and S alone
  EXPECT_EQ(b.m->ExecOperator("MAPR"), 1);    // R into slot 0
  EXPECT_EQ(b.m->ExecOperator("PUSH,1"), 1);
  EXPECT_EQ(b.ui.items[kStatusItem], "Pushing 1 ...");
  EXPECT_EQ(SetPixels(R), Rect(100, 100, 300, 200));
  EXPECT_EQ(SetPixels(S), (Pixels{{7, 7}}));
  // A layer never mapped in this check: R stays, its old content goes to S.
  EXPECT_EQ(b.m->ExecOperator("PUSH,7"), 1);
  EXPECT_EQ(SetPixels(R), Rect(100, 100, 300, 200));
  EXPECT_EQ(SetPixels(S), Rect(100, 100, 300, 200));
  EXPECT_EQ(b.m->ExecOperator("PUSHR"), 1);
  EXPECT_EQ(SetPixels(R), (Pixels{{7, 7}}));
  EXPECT_EQ(b.m->ExecOperator("POPR"), 1);
  EXPECT_EQ(SetPixels(R), Rect(100, 100, 300, 200));
  // MAP,0 is MAPR.
  ClearMap(R);
  SetMapPixel(R, 9, 9, 1);
  EXPECT_EQ(b.m->ExecOperator("MAP,0"), 1);
  EXPECT_EQ(b.m->ExecOperator("PUSH,0"), 1);
  EXPECT_EQ(SetPixels(R), (Pixels{{9, 9}}));
}

TEST(Machine, LogicOperatorsClearTheBorder) {
  Bench b;
  BitMap& R = b.maps.R;
  BitMap& S = b.maps.S;
  SetMapSpan(S, 5, 0, 1024);
  EXPECT_EQ(b.m->ExecOperator("ORRS"), 1);
  EXPECT_EQ(SetPixels(R), Rect(1, 5, 1023, 6));
  EXPECT_EQ(b.m->ExecOperator("NOTR"), 1);
  EXPECT_EQ(TestMapPixel(R, 0, 3) + TestMapPixel(R, 1023, 3) + TestMapPixel(R, 3, 0) + TestMapPixel(R, 3, 639), 0);
  EXPECT_EQ(TestMapPixel(R, 3, 3), 1);
  EXPECT_EQ(b.m->ExecOperator("ANDRS"), 1);
  EXPECT_EQ(IsMapNotEmpty(R), 0);  // NOT R kept row 5's ends, but the border went
  EXPECT_EQ(b.m->ExecOperator("XORRS"), 1);
  EXPECT_EQ(SetPixels(R), Rect(1, 5, 1023, 6));
  EXPECT_EQ(b.m->ExecOperator("SWPRS"), 1);
  EXPECT_EQ(SetPixels(S), Rect(1, 5, 1023, 6));
  EXPECT_EQ(SetPixels(R), Rect(1, 5, 1023, 6));  // S came with its border pixels cleared
  EXPECT_EQ(b.m->ExecOperator("CLR"), 1);
  EXPECT_EQ(IsMapNotEmpty(R), 0);
}

TEST(Machine, SpansOfGaugeAndExpansionFollowTheCheck) {
  Bench b;
  BitMap& R = b.maps.R;
  auto gap = [&](int g) {
    ClearMap(R);
    for (int y = 100; y < 120; ++y) {
      SetMapSpan(R, y, 100, 200);
      SetMapSpan(R, y, 200 + g, 300);
    }
  };
  // Base span 2: GAGR spans 3 (gaps 1 and 2), GAGR,2 spans 4; EXPR spans 1 (gaps up to 2).
  for (auto [line, widest] : std::vector<std::pair<const char*, int>>{{"GAGR", 2}, {"GAGR,2", 3}, {"EXPR", 2}, {"EXPR,1", 4}}) {
    for (int g = 1; g <= 6; ++g) {
      gap(g);
      ASSERT_EQ(b.m->ExecOperator(line), 1);
      EXPECT_EQ(IsMapNotEmpty(R), g <= widest) << line << " gap " << g;
    }
  }
  EXPECT_EQ(b.ui.items[kStatusItem], "Expanding R ...");
  b.m->ExecOperator("GAGRS");
  EXPECT_EQ(b.ui.items[kStatusItem], "Gauging R,S ...");
}

TEST(Machine, MapWindowShowsMapsAndCopiesGoToNumberedFiles) {
  Bench b;
  struct Recorder : CheckView {
    int shown = 0, closed = 0;
    std::string line1, line2;
    void ShowMapper(const gfx::Surface&, std::string_view a, std::string_view b) override {
      ++shown;
      line1 = a, line2 = b;
    }
    void CloseMapper() override { ++closed; }
  } view;
  Machine m(*b.drawing.db, b.job, view, b.maps);
  m.raster.SetTopCell(b.drawing.Row("TOP"));
  m.cellName = "TOP";
  m.checkNumber = 3;
  m.title = "Metal";
  m.unit = "um";
  m.scale = 10;
  m.frame.x1 = 1024, m.frame.y1 = 640;
  m.fileLimit = 2;
  // A copy before any map was shown makes no file.
  EXPECT_EQ(m.ExecOperator("SCPY"), 1);
  EXPECT_EQ(m.mapName, "Map Not Copied");
  EXPECT_EQ(m.ExecOperator("MAP,1"), 1);
  EXPECT_EQ(m.ExecOperator("DSP,1,R,1"), 1);
  EXPECT_EQ(view.shown, 1);
  EXPECT_EQ(view.line1, "Cell: TOP   Check 3: Metal");
  EXPECT_EQ(view.line2, "Area: L=0um B=0um R=102.4um T=64um    Res= 0um  Dist= 0um  Lambda= 1");
  // The map at half size: its lower-left pixel (100, 100) shows at (16 + 50, 328 - 50).
  EXPECT_EQ(m.mapper.Row(328 - 50)[16 + 50], 0xFF0000u);
  EXPECT_EQ(m.mapper.Row(328 - 49)[16 + 50], 0u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(m.ExecOperator("HCPY"), 1);
  EXPECT_EQ(m.ExecOperator("DSPR,G"), 1);
  EXPECT_EQ(view.shown, 2);
  EXPECT_TRUE(os::FileExists("TOP_3_1.PCX"));
  EXPECT_TRUE(os::FileExists("TOP_3_2.PCX"));
  EXPECT_FALSE(os::FileExists("TOP_3_3.PCX"));  // the File Limit
  EXPECT_EQ(m.mapName, "TOP_3_2.PCX");
  PcxMap pcx;
  ASSERT_EQ(ReadPcxMap("TOP_3_1.PCX", false, pcx), PcxRead::Ok);
  EXPECT_EQ(pcx.width, kMapperWidth);
  EXPECT_EQ(pcx.picture.Row(328 - 50)[16 + 50], 0xFF0000u);
  m.CloseMapper();
  m.CloseMapper();
  EXPECT_EQ(view.closed, 1);
}

// A run that keeps the old report numbers its copies after the highest of these; a name of another
// cell or check, or not a number, must not count.
TEST(Machine, LastMapNumberCountsOnlyTheCellsMapsOfTheCheck) {
  Bench b;
  for (const char* f : {"TOP_1_1.PCX", "TOP_1_3.PCX", "top_2_7.pcx", "TOP_1_1_9.PCX", "TOP_11_5.PCX", "TOP_2_X.PCX",
                        "TOP_2_.PCX", "TOP_2_-8.PCX", "TOP_2_12345678901.PCX", "TOP_2_8.PCX.BAK", "TOP_3_4.TXT"})
    b.drawing.scratch.Write(f, "x");
  struct Case {
    const char* cell;
    int check, last;
  };
  for (Case c : {Case{"TOP", 1, 3}, Case{"TOP", 2, 7}, Case{"top", 2, 7}, Case{"TOP_1", 1, 9}, Case{"TOP", 11, 5},
                 Case{"TOP", 3, 0}, Case{"T?P", 1, 0}, Case{"OTHER", 1, 0}})
    EXPECT_EQ(LastMapNumber(c.cell, c.check), c.last) << c.cell << " " << c.check;
}

TEST(Machine, SlotThatCannotBeHadStopsTheRun) {
  Bench b;
  SetMapBudgetForTests(0);
  EXPECT_EQ(b.m->ExecOperator("MAP,1"), 1);
  SetMapBudgetForTests(-1);
  EXPECT_TRUE(b.job.abort);
  EXPECT_EQ(b.ui.EventsOf("box"), (std::vector<std::string>{"box \"MERODRC\" \"Map Storage Allocation Failed\""}));
}

TEST(Machine, SizeFlagsCutsOfAnotherSizeAndOverlapFlagsShapesCoveredTwice) {
  Bench b({Cell("TOP", 1, {0, 0, 1000, 600},
               {Box(3, 100, 100, 120, 120), Box(3, 200, 100, 230, 120),      // a good cut and a long one
                Box(2, 100, 300, 200, 400), Box(2, 150, 350, 250, 450),      // two overlapping boxes
                Box(2, 400, 300, 500, 400), Box(2, 500, 300, 600, 400)})})   // two abutting ones
  ;
  b.m->side = 20;
  EXPECT_EQ(b.m->ExecOperator("SIZE,3"), 1);
  Pixels r = SetPixels(b.maps.R);
  EXPECT_TRUE(r.count({225, 110}));
  for (auto [x, y] : r) EXPECT_GE(x, 199) << "the good cut is flagged";
  EXPECT_EQ(SetPixels(b.maps.S), [] {
    Pixels p = Rect(100, 100, 120, 120);
    for (auto q : Rect(200, 100, 230, 120)) p.insert(q);
    return p;
  }());

  ClearMap(b.maps.R);
  b.m->geometry.P = 1;
  EXPECT_EQ(b.m->ExecOperator("OVRLAP,2"), 1);
  EXPECT_EQ(b.m->side, 1);
  Pixels twice = SetPixels(b.maps.R);
  EXPECT_TRUE(twice.count({149, 349}));  // the overlap, doubled
  EXPECT_TRUE(twice.count({199, 399}));
  for (auto [x, y] : twice) EXPECT_LT(x, 400) << "abutting boxes are not covered twice";
}

}  // namespace
}  // namespace drc
