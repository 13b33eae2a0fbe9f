#include "convert/gds/importer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "convert/gds/record.h"
#include "convert/gds/record_writer.h"
#include "convert/gds/tests/gds_test_util.h"
#include "platform/tell/recorder.h"

namespace {

using convtest::ReadFile;
using convtest::TlcRecords;
using convtest::WriteFile;
using P = gds::GdsPoint;

// Builds a small library record by record.
class Lib {
 public:
  explicit Lib(double userUnit = 0.001, double metres = 1e-9) {
    std::tm t{};
    t.tm_year = 124;
    w.WriteHeaderRecord();
    w.WriteBgnLib(t, t);
    w.WriteLibName("TESTLIB");
    w.WriteUnits(userUnit, metres);
  }
  Lib& Str(const std::string& name) {
    std::tm t{};
    w.WriteBgnStr(t, t);
    w.WriteStrName(name);
    return *this;
  }
  Lib& EndStr() {
    w.WriteEndStr();
    return *this;
  }
  Lib& Boundary(int layer, std::vector<P> pts, int dataType = 0) {
    w.WriteBoundary();
    w.WriteLayer(layer);
    w.WriteDatatype(dataType);
    w.WriteXy(pts);
    w.WriteEndEl();
    return *this;
  }
  Lib& Path(int layer, int type, int width, std::vector<P> pts, int bgn = 0, int end = 0) {
    w.WritePath();
    w.WriteLayer(layer);
    w.WriteDatatype(0);
    w.WritePathType(type);
    w.WriteWidth(width);
    if (type == 4) {
      w.WriteBgnExtn(bgn);
      w.WriteEndExtn(end);
    }
    w.WriteXy(pts);
    w.WriteEndEl();
    return *this;
  }
  Lib& Sref(const std::string& name, int strans, double angle, double mag, P at) {
    w.WriteSref();
    w.WriteSname(name);
    w.WriteStrans(strans);
    if (mag != 1) w.WriteMag(mag);
    w.WriteAngle(angle);
    w.WriteXy(&at, 1);
    w.WriteEndEl();
    return *this;
  }
  Lib& Aref(const std::string& name, int strans, double angle, int cols, int rows,
            std::vector<P> pts) {
    w.WriteAref();
    w.WriteSname(name);
    w.WriteStrans(strans);
    w.WriteAngle(angle);
    w.WriteColRow(cols, rows);
    w.WriteXy(pts);
    w.WriteEndEl();
    return *this;
  }
  Lib& Text(int layer, const std::string& text, P at, int presentation = 8, double mag = 1,
            bool withMag = false) {
    w.WriteText();
    w.WriteLayer(layer);
    w.WriteTextType(0);
    w.WritePresentation(presentation);
    if (withMag) w.WriteMag(mag);
    w.WriteXy(&at, 1);
    w.WriteString(text);
    w.WriteEndEl();
    return *this;
  }
  std::string End() {
    w.WriteEndLib();
    return std::string(w.Buffer().begin(), w.Buffer().end());
  }
  gds::GdsWriter w;
};

std::vector<P> Rect(int l, int b, int r, int t) { return {{l, b}, {r, b}, {r, t}, {l, t}, {l, b}}; }

class ImporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    gds::SetImportDefaults(settings);
    settings.main[0] = folder / "in.gds";
    settings.main[1] = folder / "out";
    settings.main[3] = "1000";
    std::filesystem::create_directory(folder / "out");
    Normalise();
  }
  void Normalise() { gds::NormaliseImportAll(settings); }
  int Run(const std::string& gds) {
    WriteFile(folder / "in.gds", gds);
    ui = {};
    utilib::Job job(gds::kImportProgram, ui);
    const int done = gds::ImportGds(job, settings, ask, &result);
    utilib::CloseReport(job);
    return done;
  }
  std::vector<std::string> Cell(const std::string& name) { return TlcRecords(folder / ("out/" + name + ".TLC")); }
  // The records of a cell other than its header.
  std::vector<std::string> Body(const std::string& name) {
    std::vector<std::string> out;
    for (const std::string& r : Cell(name))
      if (r.rfind("=H", 0) != 0) out.push_back(r);
    return out;
  }
  std::string Header(const std::string& name) {
    for (const std::string& r : Cell(name))
      if (r.rfind("=H", 0) == 0) return r;
    return "";
  }
  bool Told(const std::string& text) {
    for (const std::string& e : ui.events)
      if (e.find(text) != std::string::npos) return true;
    return false;
  }

  convtest::ScratchFolder folder;
  gds::ImportSettings settings;
  gds::ImportResult result;
  tell::Recorder ui;
  utilib::NewNameAsker ask;
};

TEST_F(ImporterTest, RanksStructuresWrittenBeforeTheCellsTheyUse) {
  const std::string gds = Lib()
                              .Str("top").Sref("mid", 0, 0, 1, {0, 0}).EndStr()
                              .Str("mid").Sref("leaf", 0, 0, 1, {5, 5}).Boundary(1, Rect(0, 0, 2, 2)).EndStr()
                              .Str("leaf").Boundary(2, Rect(0, 0, 1, 1)).EndStr()
                              .End();
  ASSERT_EQ(Run(gds), 1) << ::testing::PrintToString(ui.EventsOf("box"));
  EXPECT_EQ(result.tlcFiles, 3);
  EXPECT_EQ(Header("TOP"), "=H|TOP|6.0|6.0|1000|um|03/07/24|13:05:59|3 0 0 1 0|0 0 0 1");
  EXPECT_EQ(Header("MID").substr(0, 50), "=H|MID|6.0|6.0|1000|um|03/07/24|13:05:59|2 0 0 1 0");
  EXPECT_EQ(Body("MID"), (std::vector<std::string>{"=C|LEAF|0 5 5 0", "=B|1 0 0 2 2"}));
  // CELLS.REF: the count and one entry per cell in the order the cells were written.
  EXPECT_EQ(ReadFile(folder / "out/CELLS.REF"),
            "3\r\nTOP\r\n3 0 0 1000 0 0 0 0 1\r\nMID\r\n2 0 0 1000 0 1 0 0 1\r\n"
            "LEAF\r\n1 0 0 1000 0 1 0 0 0\r\n");
  EXPECT_EQ(ReadFile(folder / "out/IN.NAM"),
            "Cell-Structure Name List for IN\r\nLEAF leaf\r\nMID mid\r\nTOP top\r\n");
  // Pass 1 finds the names, 2 and 3 raise the ranks, 4 finds nothing more to change.
  EXPECT_TRUE(Told("Constructing Hierarchy ... Pass 4"));
  EXPECT_FALSE(Told("Constructing Hierarchy ... Pass 5"));
}

// The bar shows the share of the file read and follows it through each pass over the file, inside a
// long structure too: it never falls back to 0 while a pass goes on, and ends full.
TEST_F(ImporterTest, TheBarFollowsTheBytesRead) {
  Lib lib;
  lib.Str("big");
  for (int i = 0; i < 20000; ++i) lib.Boundary(1, Rect(i, 0, i + 1, 1));
  lib.EndStr().Str("top").Sref("big", 0, 0, 1, {0, 0}).EndStr();
  ASSERT_EQ(Run(lib.End()), 1) << ::testing::PrintToString(ui.EventsOf("box"));
  // The bar's values, a list for each operation the display names ("Constructing ...").
  std::vector<std::vector<int>> passes;
  const std::string operation = "item " + std::to_string(gds::kImpOperation) + " \"Constructing";
  const std::string bar = "item " + std::to_string(gds::kImpProgress) + " \"";
  for (const std::string& e : ui.events) {
    if (e.rfind(operation, 0) == 0) passes.emplace_back();
    if (e.rfind(bar, 0) == 0 && !passes.empty()) passes.back().push_back(std::stoi(e.substr(bar.size())));
  }
  ASSERT_GE(passes.size(), 2u);
  for (const std::vector<int>& pass : passes)
    EXPECT_TRUE(std::is_sorted(pass.begin(), pass.end())) << ::testing::PrintToString(pass);
  // The first pass reads the whole file, and so does the conversion.
  for (const std::vector<int>* pass : {&passes.front(), &passes.back()}) {
    ASSERT_FALSE(pass->empty());
    EXPECT_GE(pass->back(), 99) << ::testing::PrintToString(*pass);
    EXPECT_GE(std::count_if(pass->begin(), pass->end(), [](int v) { return v > 10 && v < 90; }), 5)
        << ::testing::PrintToString(*pass);
  }
}

TEST_F(ImporterTest, FifteenLevelsWrittenTopDownFitSixteenPasses) {
  for (int levels : {15, 16}) {
    Lib lib;
    for (int i = 1; i <= levels; ++i) {
      lib.Str("S" + std::to_string(i));
      if (i < levels) lib.Sref("S" + std::to_string(i + 1), 0, 0, 1, {0, 0});
      lib.Boundary(1, Rect(0, 0, 1, 1)).EndStr();
    }
    const int done = Run(lib.End());
    if (levels == 15) {
      ASSERT_EQ(done, 1);
      EXPECT_EQ(Header("S1").substr(0, 47), "=H|S1|6.0|6.0|1000|um|03/07/24|13:05:59|15 0 0 ");
      EXPECT_EQ(Header("S15").substr(0, 46), "=H|S15|6.0|6.0|1000|um|03/07/24|13:05:59|1 0 0");
      EXPECT_TRUE(Told("Constructing Hierarchy ... Pass 16"));
    } else {
      EXPECT_EQ(done, 0);
      EXPECT_TRUE(Told("Hierarchy Deeper than 15 Levels at S1 ... Can't Continue"));
    }
  }
}

TEST_F(ImporterTest, InstanceOrientationsFromStransAndAngle) {
  struct Case {
    int strans;
    double angle;
    int code;
  };
  // Magnified and turned placements are flattened (the test below).
  const Case cases[] = {
      {0, 0, 0},      {0, 90, 1},      {0, 90.05, 1}, {0, 180, 2},  {0, 270, 3},
      {0x8000, 0, 4}, {0x8000, 270, 7}, {0, -90, 3},  {0, 450, 1},  {0, -450, 3},
      {0, 359.95, 0},
  };
  for (const Case& c : cases) {
    const std::string gds = Lib().Str("leaf").Boundary(1, Rect(0, 0, 1, 1)).EndStr()
                                .Str("top").Sref("leaf", c.strans, c.angle, 1, {7, -3}).EndStr()
                                .End();
    ASSERT_EQ(Run(gds), 1);
    EXPECT_EQ(Body("TOP"), std::vector<std::string>{"=C|LEAF|" + std::to_string(c.code) + " 7 -3 0"})
        << c.strans << " " << c.angle;
    EXPECT_FALSE(Told("Non-orthogonal/scaled instance"));
  }
}

// A TLC instance has quarter turns and size 1 only: anything else takes the placed structure's
// elements into the cell, placed exactly (rounded to the grid once), and the run still completes.
TEST_F(ImporterTest, MagnifiedAndTurnedInstancesAreFlattenedExactly) {
  struct Case {
    const char* what;
    std::function<void(Lib&)> place;
    std::vector<std::string> body;
  };
  const Case cases[] = {
      {"magnified", [](Lib& l) { l.Sref("leaf", 0, 0, 2, {100, 0}); },
       {"=B|1 100 0 120 40", "=P|2 8 2|100 0 100 20 "}},
      {"mirrored, turned and magnified", [](Lib& l) { l.Sref("leaf", 0x8000, 90, 2, {100, 0}); },
       {"=B|1 100 0 140 20", "=P|2 8 2|100 0 120 0 "}},
      {"45 degrees", [](Lib& l) { l.Sref("square", 0, 45, 1, {100, 0}); },
       {"=P|1 0 5|100 0 107 7 100 14 93 7 100 0 "}},
      {"a magnified array",
       [](Lib& l) {
         l.w.WriteAref();
         l.w.WriteSname("leaf");
         l.w.WriteStrans(0);
         l.w.WriteMag(2);
         l.w.WriteColRow(2, 1);
         const std::vector<P> corners = {{0, 0}, {100, 0}, {0, 0}};
         l.w.WriteXy(corners);
         l.w.WriteEndEl();
       },
       {"=B|1 0 0 20 40", "=P|2 8 2|0 0 0 20 ", "=B|1 50 0 70 40", "=P|2 8 2|50 0 50 20 "}},
      // 30 degrees and 60 inside make a quarter turn: that instance stays one.
      {"turned inside turned", [](Lib& l) { l.Sref("mid", 0, 30, 1, {0, 0}); },
       {"=C|SQUARE|1 9 5 0", "=P|3 0 5|0 0 9 5 4 14 -5 9 0 0 "}},
  };
  for (const Case& c : cases) {
    Lib lib;
    lib.Str("leaf").Boundary(1, Rect(0, 0, 10, 20)).Path(2, 0, 4, {{0, 0}, {0, 10}}).EndStr();
    lib.Str("square").Boundary(1, Rect(0, 0, 10, 10)).EndStr();
    lib.Str("mid").Sref("square", 0, 60, 1, {10, 0}).Boundary(3, Rect(0, 0, 10, 10)).EndStr();
    lib.Str("top");
    c.place(lib);
    ASSERT_EQ(Run(lib.EndStr().End()), 1) << c.what;
    EXPECT_EQ(Body("TOP"), c.body) << c.what;
    EXPECT_TRUE(Told(" flattened into TOP")) << c.what;
    EXPECT_EQ(result.changedElements, 0) << c.what;
    EXPECT_EQ(gds::ImportCompletedText(result), "Completed ... 4 TLC Files Made") << c.what;
    // The placed structures are still cells of their own.
    EXPECT_EQ(Body("LEAF")[0], "=B|1 0 0 10 20");
  }
}

// What TLC cannot hold is held or left out, each element told, and the run ends "Some Error".
TEST_F(ImporterTest, ChangedElementsAreToldAndCounted) {
  struct Case {
    const char* what;
    std::function<void(Lib&)> add;
    std::vector<std::string> body;
    std::vector<std::string> told;
  };
  const int far = 52209500;
  const Case cases[] = {
      {"a boundary beyond the range", [&](Lib& l) { l.Boundary(1, Rect(far, 0, far + 10, 10)); },
       {"=B|1 8388607 0 8388607 10"},
       {"Boundary in TOP beyond the TLC Range ... Held at the Limit"}},
      {"an instance beyond the range", [&](Lib& l) { l.Sref("leaf", 0, 0, 1, {far, -far}); },
       {"=C|LEAF|0 8388607 -8388607 0"},
       {"Instance of leaf in TOP beyond the TLC Range ... Held at the Limit"}},
      {"an array reaching beyond the range",
       [&](Lib& l) { l.Aref("leaf", 0, 0, 2, 1, {{8000000, 0}, {9000000, 0}, {8000000, 0}}); },
       {"=C|LEAF|0 8000000 0 0", "=C|LEAF|0 8388607 0 0"},
       {"Array of leaf in TOP beyond the TLC Range ... Held at the Limit"}},
      {"paths of width 0",
       [](Lib& l) {
         l.Path(2, 0, 0, {{0, 0}, {10, 0}, {10, 10}});
         l.Path(2, 2, 0, {{0, 5}, {30, 5}});
       },
       {},
       {"Path of Width 0 not Converted at X=0 Y=0 L=2", "Path of Width 0 not Converted at X=0 Y=0.005 L=2"}},
      {"a magnified instance of a structure not in the file",
       [](Lib& l) { l.Sref("nowhere", 0, 0, 2, {5, 5}); },
       {"=C|NOWHERE|0 5 5 0"},
       {"Non-orthogonal/scaled instance of nowhere approximated"}},
  };
  for (const Case& c : cases) {
    Lib lib;
    lib.Str("leaf").Boundary(1, Rect(0, 0, 1, 1)).EndStr().Str("top");
    c.add(lib);
    ASSERT_EQ(Run(lib.EndStr().End()), 1) << c.what;
    EXPECT_EQ(Body("TOP"), c.body) << c.what;
    for (const std::string& line : c.told) EXPECT_TRUE(Told(line)) << c.what << ": " << line;
    const int count = static_cast<int>(c.told.size());
    EXPECT_EQ(result.changedElements, count) << c.what;
    EXPECT_EQ(gds::ImportCompletedText(result), "Some Error Occurred ... " + std::to_string(count) +
                                                    " Elements Changed or not Converted ... Conversion may be Incorrect")
        << c.what;
    EXPECT_NE(ReadFile(folder / "STRMIMP.RPT").find("Elements Changed or not Converted (Told Above): " +
                                                    std::to_string(count)),
              std::string::npos)
        << c.what;
  }
  // The corner points of an array may lie beyond the range where its instances do not.
  ASSERT_EQ(Run(Lib().Str("leaf").EndStr().Str("top")
                    .Aref("leaf", 0, 0, 2, 1, {{8000000, 0}, {8700000, 0}, {8000000, 0}})
                    .EndStr().End()),
            1);
  EXPECT_EQ(Body("TOP"), (std::vector<std::string>{"=C|LEAF|0 8000000 0 0", "=C|LEAF|0 8350000 0 0"}));
  EXPECT_EQ(result.changedElements, 0);
}

TEST_F(ImporterTest, ShapesBecomeBoxesPathsAndPolygons) {
  const std::string gds =
      Lib()
          .Str("top")
          .Boundary(1, Rect(10, 20, 0, 0))                                   // box, corners sorted
          .Boundary(1, {{0, 0}, {0, 5}, {5, 5}, {5, 0}, {0, 0}})             // box, vertical first
          .Boundary(2, {{0, 0}, {5, 0}, {5, 5}, {0, 5}})                     // 4 points: polygon
          .Boundary(2, {{0, 0}, {5, 0}, {3, 4}, {0, 0}})                     // triangle
          .Path(3, 2, 100, {{0, 0}, {0, 1000}})                              // extended ends
          .Path(3, 0, -100, {{0, 0}, {1000, 0}})                             // flush, absolute width
          .Path(4, 4, 100, {{0, 0}, {0, 1000}}, 50, 50)                      // half-width extensions
          .Path(4, 4, 100, {{0, 0}, {0, 1000}, {300, 1000}}, 20, 70)          // uneven extensions
          .Path(5, 1, 100, {{0, 0}, {0, 1000}})                              // round ends
          .Boundary(0, Rect(0, 0, 1, 1))                                     // layer 0
          .Boundary(70, Rect(0, 0, 1, 1))                                    // not accepted
          .Boundary(130, Rect(0, 0, 1, 1))                                   // above 63: never 2
          .Boundary(1, Rect(0, 0, 1, 1), 99)                                 // data type above 63
          .Boundary(6, {{0, 0}})                                             // one point
          .EndStr()
          .End();
  ASSERT_EQ(Run(gds), 1);
  const std::vector<std::string> expected = {
      "=B|1 0 0 10 20",
      "=B|1 0 0 5 5",
      "=P|2 0 4|0 0 5 0 5 5 0 5 ",
      "=P|2 0 4|0 0 5 0 3 4 0 0 ",
      "=P|3 -100 2|0 0 0 1000 ",
      "=P|3 100 2|0 0 1000 0 ",
      "=P|4 -100 2|0 0 0 1000 ",
      "=P|4 100 3|0 -20 0 1000 370 1000 ",
      "=P|5 100 2|0 0 0 1000 ",
      "=B|64 0 0 1 1",
  };
  EXPECT_EQ(Body("TOP"), expected);
  EXPECT_TRUE(Told("Open Poly at X=0 Y=0 L=2"));
  EXPECT_TRUE(Told("Round Path Ends Made Flush at X=0 Y=0 L=5"));
  EXPECT_TRUE(Told("GDS Layer 130 above 63 is not Converted"));
  EXPECT_TRUE(Told("GDS Data Type 99 above 63 is not Converted"));
  EXPECT_TRUE(Told("GDS Layer 70 above 63 is not Converted"));
  EXPECT_NE(ReadFile(folder / "STRMIMP.RPT").find("Elements on GDS Layers above 63 not Converted: 2"),
            std::string::npos);

  settings.main[10] = "N";  // boundaries stay polygons
  settings.main[14] = "9";  // layer 0 becomes 9
  Normalise();
  ASSERT_EQ(Run(gds), 1);
  const auto body = Body("TOP");
  EXPECT_EQ(body[0], "=P|1 0 5|10 20 0 20 0 0 10 0 10 20 ");
  EXPECT_EQ(body[9], "=P|9 0 5|0 0 1 0 1 1 0 1 0 0 ");
  EXPECT_EQ(body.size(), 10u);
}

TEST_F(ImporterTest, ArraysBecomeOneInstancePerElement) {
  const std::string gds = Lib()
                              .Str("leaf").Boundary(1, Rect(0, 0, 1, 1)).EndStr()
                              .Str("top")
                              .Aref("leaf", 0, 0, 3, 2, {{100, 0}, {130, 0}, {100, 16}})
                              .Aref("leaf", 0x8000, 90, 1, 2, {{0, 0}, {0, 0}, {-20, 0}})
                              .EndStr()
                              .End();
  ASSERT_EQ(Run(gds), 1);
  const std::vector<std::string> expected = {
      "=C|LEAF|0 100 0 0",  "=C|LEAF|0 110 0 0", "=C|LEAF|0 120 0 0",
      "=C|LEAF|0 100 8 0",  "=C|LEAF|0 110 8 0", "=C|LEAF|0 120 8 0",
      "=C|LEAF|5 0 0 0",    "=C|LEAF|5 -10 0 0",
  };
  EXPECT_EQ(Body("TOP"), expected);
}

TEST_F(ImporterTest, TextsSplitIntoLinesWithTheirRowSize) {
  settings.main[3] = "30";  // row 1: 1 um = 30 units
  Normalise();
  const std::string gds = Lib(0.001, 1e-9)
                              .Str("top")
                              .Text(1, "A\rB", {0, 0})                 // two lines, 32 apart
                              .Text(1, "AB\r\nCD", {0, 1000})          // a CR LF pair is one break
                              .Text(1, "AB\tCD", {0, 2000})            // a tab becomes a blank
                              .Text(1, "TOP", {0, 3000}, 0)            // top justified
                              .Text(1, "MID", {0, 4000}, 4)            // middle
                              .Text(1, " =B", {0, 5000})
                              .EndStr()
                              .End();
  ASSERT_EQ(Run(gds), 1);
  // 1 nm GDS units at 30 units per um: 1000 GDS units are 30 TLC units.
  const std::vector<std::string> expected = {
      "=T|1 30 2 0|0 0|A",    "=T|1 30 2 0|0 -32|B",   "=T|1 30 2 0|0 30|AB",
      "=T|1 30 2 0|0 -2|CD",  "=T|1 30 2 0|0 60|AB CD", "=T|1 30 2 0|0 60|TOP",
      "=T|1 30 2 0|0 105|MID", "=T|1 30 2 0|0 150| =B",
  };
  EXPECT_EQ(Body("TOP"), expected);
  EXPECT_TRUE(Told("Control Character in Text Made Blank at X=0 Y=2 L=1"));

  // With LF as the line break, a lone CR is no break: it becomes a blank and the text goes on.
  settings.main[13] = "N";
  Normalise();
  ASSERT_EQ(Run(Lib().Str("top").Text(1, "AB\rCD", {0, 0}).Text(1, "A\nB", {0, 100}).EndStr().End()), 1);
  EXPECT_EQ(Body("TOP"), (std::vector<std::string>{"=T|1 30 2 0|0 0|AB CD", "=T|1 30 2 0|0 3|A",
                                                    "=T|1 30 2 0|0 -29|B"}));
}

TEST_F(ImporterTest, OptionalRecordsCarryOverWhenDefaultsAreOff) {
  settings.main[3] = "30";
  settings.text[3] = "Y";  // row 1: the size follows MAG
  Normalise();
  const std::string gds = Lib()
                              .Str("top")
                              .Text(1, "BIG", {0, 0}, 8, 2.0, true)
                              .Text(1, "NEXT", {0, 0})
                              .EndStr()
                              .End();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_EQ(Body("TOP"), (std::vector<std::string>{"=T|1 60 2 0|0 0|BIG", "=T|1 30 2 0|0 0|NEXT"}));
  settings.main[9] = "N";
  Normalise();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_EQ(Body("TOP"), (std::vector<std::string>{"=T|1 60 2 0|0 0|BIG", "=T|1 60 2 0|0 0|NEXT"}));
}

TEST_F(ImporterTest, MissingStructureGetsATokenCell) {
  const std::string gds = Lib().Str("top").Sref("ghost", 0, 0, 1, {1, 2}).EndStr().End();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_EQ(Body("TOP"), std::vector<std::string>{"=C|GHOST|0 1 2 0"});
  EXPECT_EQ(Body("GHOST"), std::vector<std::string>{"=T|64 75 3 0|0 0|<<GHOST>>"});
  EXPECT_TRUE(Told("Structure ghost is Missing ... Token Cell Made"));
  EXPECT_EQ(result.tlcFiles, 2);
}

TEST_F(ImporterTest, OmittedAndExistingStructuresAreLeftAlone) {
  WriteFile(folder / "out/LEAF.TLC", "=H\r\nLEAF\r\n6.0\r\n6.0\r\n1000\r\num\r\n\r\n\r\n1 0 0 1 0\r\n0 0 0 0\r\nKEEP\r\n");
  const std::string gds = Lib()
                              .Str("leaf").Boundary(1, Rect(0, 0, 1, 1)).EndStr()
                              .Str("skipme").Boundary(1, Rect(0, 0, 1, 1)).EndStr()
                              .Str("top").Sref("leaf", 0, 0, 1, {0, 0}).EndStr()
                              .End();
  settings.main[7] = "N";  // keep old TLC files
  settings.omit[0] = "SkipMe";
  Normalise();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_NE(ReadFile(folder / "out/LEAF.TLC").find("KEEP"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "out/SKIPME.TLC"));
  EXPECT_EQ(Body("TOP"), std::vector<std::string>{"=C|LEAF|0 0 0 0"});
  EXPECT_EQ(result.tlcFiles, 1);
}

TEST_F(ImporterTest, NamesThatCollideAreAskedFor) {
  const std::string longA(40, 'A');
  const std::string longB = std::string(32, 'A') + "BBBBBBBB";  // the same first 32 characters
  const std::string gds = Lib()
                              .Str("top").Boundary(1, Rect(0, 0, 1, 1)).EndStr()
                              .Str("TOP").Boundary(2, Rect(0, 0, 1, 1)).EndStr()
                              .Str(longA).Boundary(3, Rect(0, 0, 1, 1)).EndStr()
                              .Str(longB).Boundary(4, Rect(0, 0, 1, 1)).EndStr()
                              .End();
  std::vector<std::string> asked;
  int n = 0;
  ask = [&](std::string_view rejected) -> std::optional<std::string> {
    asked.emplace_back(rejected);
    return "NEW" + std::to_string(++n);
  };
  ASSERT_EQ(Run(gds), 1);
  // "TOP" after "top", and the second name cut to the same 32 characters, must be renamed.
  EXPECT_EQ(asked, (std::vector<std::string>{"TOP", std::string(32, 'A')}));
  EXPECT_EQ(Body("TOP"), std::vector<std::string>{"=B|1 0 0 1 1"});
  EXPECT_EQ(Body("NEW1"), std::vector<std::string>{"=B|2 0 0 1 1"});
  EXPECT_EQ(Body(std::string(32, 'A')), std::vector<std::string>{"=B|3 0 0 1 1"});
  EXPECT_EQ(Body("NEW2"), std::vector<std::string>{"=B|4 0 0 1 1"});

  ask = [](std::string_view) -> std::optional<std::string> { return std::nullopt; };
  EXPECT_EQ(Run(gds), 0);
}

TEST_F(ImporterTest, LongPathsAndPolygonsAreCutToFit) {
  std::vector<P> path;
  for (int i = 0; i < 600; ++i) path.push_back({i * 10, (i % 2) * 10});
  std::vector<P> comb;  // a comb of 1200 vertices: teeth up from a spine
  for (int i = 0; i < 300; ++i) {
    comb.push_back({i * 20, 0});
    comb.push_back({i * 20, 100});
    comb.push_back({i * 20 + 10, 100});
    comb.push_back({i * 20 + 10, 0});
  }
  comb.push_back({6000, 0});
  comb.push_back({6000, -50});
  comb.push_back({0, -50});
  comb.push_back({0, 0});
  const std::string gds = Lib().Str("top").Path(1, 0, 4, path).Boundary(2, comb).EndStr().End();
  ASSERT_EQ(Run(gds), 1);
  std::vector<std::string> body = Body("TOP");
  ASSERT_GE(body.size(), 4u);
  EXPECT_EQ(body[0].rfind("=P|1 4 512|", 0), 0u);
  EXPECT_EQ(body[1].rfind("=P|1 4 90|5100 0 5110 10 ", 0), 0u);  // shares the segment 510-511
  EXPECT_TRUE(Told("Path of 600 Vertices Cut into Pieces"));
  EXPECT_TRUE(Told("Poly of 1204 Vertices Cut into"));
}

TEST_F(ImporterTest, ResolutionCheckShowsTheMinimumFeature) {
  const std::string gds = Lib().Str("top").Boundary(1, Rect(0, 0, 50, 100)).EndStr().End();
  settings.main[3] = "20";
  Normalise();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_EQ(ui.items[gds::kImpMinFeature],
            "Min Feature=0.05um   Scales: GDS=1000units/um  TLC=20units/um");
  EXPECT_FALSE(Told("Resolution may be Lost"));
  settings.main[3] = "10";
  Normalise();
  ASSERT_EQ(Run(gds), 1);
  EXPECT_TRUE(Told("Resolution may be Lost ... MERO Units must be Multiple of 20"));
}

TEST_F(ImporterTest, DamagedStreamsStopCleanly) {
  const std::string good = Lib().Str("top").Boundary(1, Rect(0, 0, 1, 1)).EndStr().End();
  std::string cyclic = Lib().Str("a").Sref("b", 0, 0, 1, {0, 0}).EndStr()
                           .Str("b").Sref("a", 0, 0, 1, {0, 0}).EndStr().End();
  std::string badLength = good;
  badLength[6 + 28] = 0;  // LIBNAME length high byte stays; low byte: make it 2
  badLength[6 + 28 + 1] = 2;
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"cut short", good.substr(0, good.size() - 10), "GDS File Ends before ENDLIB ... Can't Continue"},
      {"no ENDLIB", good.substr(0, good.size() - 4), "GDS File Ends before ENDLIB ... Can't Continue"},
      {"record of length 2", badLength, "Stream Record Length is Wrong"},
      {"references in a circle", cyclic, "Hierarchy Deeper than 15 Levels at a ... Can't Continue"},
      {"empty file", "", "GDS File Ends before ENDLIB ... Can't Continue"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.bytes), 0) << c.name;
    EXPECT_TRUE(Told(c.message)) << c.name << ::testing::PrintToString(ui.EventsOf("box"));
  }
  std::filesystem::remove(folder / "in.gds");
  ui = {};
  utilib::Job job(gds::kImportProgram, ui);
  EXPECT_EQ(gds::ImportGds(job, settings, ask), 0);
  EXPECT_TRUE(Told("GDS File is Missing ... Can't Continue"));
  // A folder of that name is there, but no stream: it cannot be read, it is not missing.
  std::filesystem::create_directory(folder / "in.gds");
  ui = {};
  EXPECT_EQ(gds::ImportGds(job, settings, ask), 0);
  EXPECT_TRUE(Told("GDS File Read Error ... Can't Continue")) << ::testing::PrintToString(ui.EventsOf("box"));
  EXPECT_FALSE(Told("GDS File is Missing ... Can't Continue"));
}

TEST_F(ImporterTest, HostileCountsAndNamesAreRefused) {
  Lib lib;
  lib.Str("leaf").Boundary(1, Rect(0, 0, 1, 1)).EndStr();
  lib.Str("top").Aref("leaf", 0, 0, 32767, 32767, {{0, 0}, {32767, 0}, {0, 32767}}).EndStr();
  lib.w.WriteLibName(std::string(600, 'L'));  // stray long string record: read in step, cut
  ASSERT_EQ(Run(lib.End()), 1);
  EXPECT_TRUE(Told("Array of leaf with 32767 x 32767 Instances not Converted"));
  EXPECT_TRUE(Told("String Data Length Exceeds Allocation"));
  EXPECT_TRUE(Body("TOP").empty());
}

}  // namespace

namespace {

// The set-up dialog's scale field reads as a decimal number only: no hex, no infinity, no NaN.
TEST(ImportSetupNumbers, TheScaleFieldReadsOnlyADecimalNumber) {
  struct Case {
    const char* typed;
    const char* shown;
  } const cases[] = {{"2.5x", "2.5"}, {"1e3", "1000"}, {"0x10", "1"}, {"nan", "1"},
                     {"inf", "1"},    {"-4", "1"},     {"1e400", "1.7977e+308"}};
  for (const Case& c : cases) {
    gds::ImportSettings s;
    gds::SetImportDefaults(s);
    s.main[3] = c.typed;
    gds::NormaliseImport(s, 0);
    EXPECT_EQ(s.main[3], c.shown) << c.typed;
    EXPECT_TRUE(std::isfinite(s.scale)) << c.typed;
  }
}

}  // namespace
