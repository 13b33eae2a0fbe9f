#include "convert/gds/exporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/gds/tests/gds_test_util.h"
#include "platform/tell/recorder.h"

namespace {

using gdstest::GdsElements;
using gdstest::GdsStructures;
using convtest::ReadFile;
using convtest::WriteFile;

std::string Header(const std::string& name, int rank, const std::string& scale = "1000",
                   const std::string& unit = "um") {
  return "=H\r\n" + name + "\r\n6.0\r\n6.0\r\n" + scale + "\r\n" + unit +
         "\r\n01/02/24\r\n03:04:05\r\n" + std::to_string(rank) + " 0 0 1 0\r\n0 0 0 0\r\n";
}

const char* const kLeafBody =
    "=B\r\n64 0 0 10 20\r\n"
    "=P\r\n3 -200 3\r\n0 0 0 1000 500 1000 \r\n"
    "=P\r\n2 0 5\r\n0 0 100 0 100 100 0 100 0 0 \r\n"
    "=T\r\n5 3000 2 0\r\n1 2\r\nHELLO\r\n"
    "=T\r\n5 500 2 6\r\n7 8\r\n =B\r\n";
const char* const kTopBody =
    "=C\r\nLEAF\r\n5 100 200 0\r\n"
    "=C\r\nLEAF\r\n0 0 0 0\r\n"
    "=B\r\n1 -5 -5 5 5\r\n";

class ExporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    gds::SetExportDefaults(settings);
    settings.main[0] = folder / "top";
    settings.main[1] = folder / "out.gds";
    gds::NormaliseExportMain(settings);
  }
  void WriteCells(const std::string& topHeader, const std::string& leafHeader) {
    WriteFile(folder / "TOP.TLC", topHeader + kTopBody);
    WriteFile(folder / "LEAF.TLC", leafHeader + kLeafBody);
  }
  int Run() {
    utilib::Job job(gds::kExportProgram, ui);
    const int done = gds::ExportGds(job, settings, &result);
    utilib::CloseReport(job);
    return done;
  }
  std::string Gds() { return ReadFile(folder / "OUT.GDS"); }

  convtest::ScratchFolder folder;
  gds::ExportSettings settings;
  gds::ExportResult result;
  tell::Recorder ui;
};

TEST_F(ExporterTest, WritesEveryElementKindAsTheStreamHasIt) {
  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  const std::string gds = Gds();
  EXPECT_EQ(result.bytes, static_cast<std::int64_t>(gds.size()));
  EXPECT_EQ(result.structures, 2);
  EXPECT_EQ(GdsStructures(gds), (std::vector<std::string>{"LEAF", "TOP"}));
  const std::vector<std::string> expected = {
      "BOUNDARY; LAYER 0; DATATYPE 0; XY 0 0 10 0 10 20 0 20 0 0; ENDEL",
      "PATH; LAYER 3; DATATYPE 0; PATHTYPE 2; WIDTH 200; XY 0 0 0 1000 500 1000; ENDEL",
      "BOUNDARY; LAYER 2; DATATYPE 0; XY 0 0 100 0 100 100 0 100 0 0; ENDEL",
      "TEXT; LAYER 5; TEXTTYPE 0; PRESENTATION 8; WIDTH 0; STRANS 0; MAG 1; ANGLE 0; XY 1 2; "
      "STRING HELLO; ENDEL",
      "TEXT; LAYER 5; TEXTTYPE 0; PRESENTATION 8; WIDTH 0; STRANS 32768; MAG 1; ANGLE 180; XY 7 8; "
      "STRING  =B; ENDEL",
      "SREF; SNAME LEAF; STRANS 32768; MAG 1; ANGLE 90; XY 100 200; ENDEL",
      "SREF; SNAME LEAF; STRANS 0; MAG 1; ANGLE 0; XY 0 0; ENDEL",
      "BOUNDARY; LAYER 1; DATATYPE 0; XY -5 -5 5 -5 5 5 -5 5 -5 -5; ENDEL",
  };
  EXPECT_EQ(GdsElements(gds), expected);
  const auto dump = gdstest::DumpGds(gds);
  ASSERT_GE(dump.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(dump.begin(), dump.begin() + 5),
            (std::vector<std::string>{"HEADER 3", "BGNLIB", "LIBNAME DEFAULT.DB", "GENERATIONS 3",
                                      "UNITS 0.001 1e-09"}));
  EXPECT_EQ(dump.back(), "ENDLIB");
  const std::string report = ReadFile(folder / "STRMEXP.RPT");
  EXPECT_NE(report.find("*** TLC to GDS Conversion Report  03/07/24  13:05:59 ***\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(report.find("Rescale Ratio: 1\r\n"), std::string::npos);
  EXPECT_NE(report.find("LEAF                    2           1           2           0           \r\n"),
            std::string::npos);
  EXPECT_NE(report.find("TOP                     1           0           0           2           \r\n"),
            std::string::npos);
  EXPECT_EQ(ui.items[gds::kExpMaxima + 0], "2");
  EXPECT_EQ(ui.items[gds::kExpScales],
            "Scales: TLC=1000units/um  GDS=1000units/um   Rescale Ratio: 1   Lambda: 1um");
  EXPECT_EQ(gds::ExportCompletedText(result),
            "Completed ... " + std::to_string(gds.size()) + " Bytes in GDS File");
}

TEST_F(ExporterTest, SettingsShapeTheStream) {
  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  settings.main[10] = "N";  // descending: the main cell first
  settings.main[11] = "Y";  // lower case names
  settings.main[7] = "9";   // layer 64 goes out as 9
  settings.main[6] = "4";   // data type
  settings.main[9] = "1-5";
  settings.main[12] = "N";  // no texts
  settings.main[3] = "1";   // last-bit correction
  gds::NormaliseExportMain(settings);
  ASSERT_EQ(Run(), 1);
  const std::string gds = Gds();
  EXPECT_EQ(GdsStructures(gds), (std::vector<std::string>{"top", "leaf"}));
  const auto elements = GdsElements(gds);
  ASSERT_EQ(elements.size(), 5u);  // no texts; layer 64 is filtered out
  EXPECT_EQ(elements[0], "SREF; SNAME leaf; STRANS 32768; MAG 1; ANGLE 90; XY 100 200; ENDEL");
  EXPECT_EQ(elements[2], "BOUNDARY; LAYER 1; DATATYPE 4; XY -5 -5 5 -5 5 5 -5 5 -5 -5; ENDEL");
  const std::size_t units = gds.find(std::string("\x00\x14\x03\x05", 4));
  ASSERT_NE(units, std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(gds[units + 11]), 0xF0);  // 3E 41 89 37 4B C6 A7 EF + 1
}

// Without the protocol check nothing else stops a polygon of too few points: a BOUNDARY of fewer
// than four is no closed figure, and readers drop it.
TEST_F(ExporterTest, NoBoundaryOfFewerThanFourPoints) {
  WriteFile(folder / "TOP.TLC", Header("TOP", 1) +
                                    "=P\r\n1 0 2\r\n0 0 100 0 \r\n"
                                    "=P\r\n2 0 3\r\n0 0 100 0 0 100 \r\n"
                                    "=P\r\n3 0 4\r\n0 0 100 0 0 100 0 0 \r\n");
  settings.main[13] = "N";
  gds::NormaliseExportMain(settings);
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(GdsElements(Gds()),
            (std::vector<std::string>{
                "BOUNDARY; LAYER 2; DATATYPE 0; XY 0 0 100 0 0 100 0 0; ENDEL",
                "BOUNDARY; LAYER 3; DATATYPE 0; XY 0 0 100 0 0 100 0 0; ENDEL"}));
  EXPECT_NE(ReadFile(folder / "STRMEXP.RPT").find("Poly Line Segment not Converted at X=0 Y=0 L=1"),
            std::string::npos);
}

TEST_F(ExporterTest, LayerSixtyFourAndTextRowsFollowTheSettings) {
  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  settings.main[7] = "9";
  settings.text[6 * 1 + 1] = "2";   // row 2: font 2
  settings.text[6 * 1 + 2] = "7";   // texttype 7
  settings.text[6 * 1 + 3] = "2.5"; // mag
  settings.text[6 * 1 + 4] = "0.5"; // width in um
  settings.text[6 * 1 + 5] = "t";   // top
  gds::NormaliseExportMain(settings);
  gds::NormaliseExportText(settings);
  ASSERT_EQ(Run(), 1);
  const auto elements = GdsElements(Gds());
  ASSERT_EQ(elements.size(), 8u);
  EXPECT_EQ(elements[0], "BOUNDARY; LAYER 9; DATATYPE 0; XY 0 0 10 0 10 20 0 20 0 0; ENDEL");
  // Size 3000 takes row 2 (2 um); size 500 is below every row and takes row 1.
  EXPECT_EQ(elements[3],
            "TEXT; LAYER 5; TEXTTYPE 7; PRESENTATION 32; WIDTH 500; STRANS 0; MAG 2.5; ANGLE 0; "
            "XY 1 2; STRING HELLO; ENDEL");
  EXPECT_NE(elements[4].find("PRESENTATION 8; WIDTH 0;"), std::string::npos);
}

TEST_F(ExporterTest, RescalesCoordinatesAndUnits) {
  struct Case {
    const char* scale;
    const char* unit;
    const char* gdsUnits;
    const char* lambda;
    const char* box;
    const char* units;
    bool lossBox;
  };
  const Case cases[] = {
      {"100", "um", "1000", "1", "XY -50 -50 50 -50 50 50 -50 50 -50 -50", "UNITS 0.001 1e-09", false},
      {"1000", "um", "1000", "0.5", "XY -2 -2 2 -2 2 2 -2 2 -2 -2", "UNITS 0.001 1e-09", true},
      {"1000", "MIL", "1000", "1", "XY -5 -5 5 -5 5 5 -5 5 -5 -5", "UNITS 0.001 2.54e-08", false},
      {"1000", "um", "2000", "1", "XY -10 -10 10 -10 10 10 -10 10 -10 -10", "UNITS 0.0005 5e-10",
       false},
  };
  for (const Case& c : cases) {
    ui = {};
    settings.main[5] = c.gdsUnits;
    settings.main[4] = c.lambda;
    gds::NormaliseExportMain(settings);
    WriteCells(Header("TOP", 2, c.scale, c.unit), Header("LEAF", 1, c.scale, c.unit));
    ASSERT_EQ(Run(), 1) << c.scale;
    const std::string gds = Gds();
    EXPECT_EQ(GdsElements(gds).back(), std::string("BOUNDARY; LAYER 1; DATATYPE 0; ") + c.box +
                                           "; ENDEL") << c.scale << " " << c.lambda;
    EXPECT_EQ(gdstest::DumpGds(gds)[4], c.units);
    const auto boxes = ui.EventsOf("box");
    const bool loss = std::find(boxes.begin(), boxes.end(),
                                "box \"STRMEXP\" \"Resolution may be Lost ... Rescale Ratio is not "
                                "Integral\"") != boxes.end();
    EXPECT_EQ(loss, c.lossBox) << c.scale << " " << c.lambda;
  }
}

TEST_F(ExporterTest, StoppingFailuresNameTheirCause) {
  struct Case {
    const char* name;
    std::string top;
    std::string leaf;  // empty: no LEAF.TLC
    const char* message;
  };
  const Case cases[] = {
      {"no main file", "", "", "Main TLC file is Missing ... Can't Continue"},
      {"no scale", Header("TOP", 2, "0") + kTopBody, Header("LEAF", 1) + kLeafBody,
       "TLC Scale is Missing ... Can't Continue"},
      {"no header", kTopBody, Header("LEAF", 1) + kLeafBody, "TLC Scale is Missing ... Can't Continue"},
      {"no sub-cell", Header("TOP", 2) + kTopBody, "", "LEAF.TLC File is Missing ... Can't Continue"},
      {"rank 0", Header("TOP", 2) + kTopBody, Header("LEAF", 0) + kLeafBody,
       "LEAF Rank is Incorrect ... Can't Continue"},
      {"rank 16", Header("TOP", 16) + kTopBody, Header("LEAF", 1) + kLeafBody,
       "TOP Rank is Incorrect ... Can't Continue"},
      {"bad box", Header("TOP", 2) + "=B\r\n1 2 3\r\n", Header("LEAF", 1),
       "Box Record Read Error ... Can't Continue"},
      {"bad reference", Header("TOP", 2) + "=C\r\nLEAF\r\n=B\r\n", Header("LEAF", 1),
       "Cell Record Read Error ... Can't Continue"},
  };
  for (const Case& c : cases) {
    ui = {};
    std::remove((folder / "TOP.TLC").c_str());
    std::remove((folder / "LEAF.TLC").c_str());
    if (!c.top.empty()) WriteFile(folder / "TOP.TLC", c.top);
    if (!c.leaf.empty()) WriteFile(folder / "LEAF.TLC", c.leaf);
    EXPECT_EQ(Run(), 0) << c.name;
    const auto boxes = ui.EventsOf("box");
    ASSERT_FALSE(boxes.empty()) << c.name;
    EXPECT_EQ(boxes.back(), std::string("box \"STRMEXP\" \"") + c.message + "\"") << c.name;
  }
}

TEST_F(ExporterTest, ReferencesNeverReadFilesOutsideTheMainFolder) {
  std::filesystem::create_directory(folder / "sub");
  WriteFile(folder / "sub/TOP.TLC", Header("TOP", 2) + "=C\r\n../LEAF\r\n0 0 0 0\r\n");
  WriteFile(folder / "LEAF.TLC", Header("LEAF", 1) + kLeafBody);
  settings.main[0] = folder / "sub/top";
  gds::NormaliseExportMain(settings);
  EXPECT_EQ(Run(), 0);
  const auto boxes = ui.EventsOf("box");
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), "box \"STRMEXP\" \"../LEAF.TLC File is Missing ... Can't Continue\"");
}

TEST_F(ExporterTest, RankFailureStillClosesTheStructure) {
  WriteCells(Header("TOP", 2), Header("LEAF", 0));
  EXPECT_EQ(Run(), 0);
  const auto dump = gdstest::DumpGds(Gds());
  // The bad structure is opened and closed; the library ends there, as far as it was written.
  const std::vector<std::string> tail(dump.end() - 4, dump.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"BGNSTR", "STRNAME LEAF", "ENDSTR",
                                            "ERROR GDS File Ends before ENDLIB ... Can't Continue"}));
}

TEST_F(ExporterTest, CancelAtAPauseLeavesWhatWasWritten) {
  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  ui.cancelAtPause = 2;  // two 200 ms pauses of the cell list, then the first structure's
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(GdsStructures(Gds()), (std::vector<std::string>{"LEAF"}));
}

TEST(ExportSettings, NormaliseTheSlots) {
  struct Case {
    int slot;
    const char* typed;
    const char* stored;
  };
  const Case cases[] = {
      {0, "d:\\work\\top.v2", "D:\\WORK\\TOP.TLC"},
      {0, "d:\\work.v2\\top", "D:\\WORK.V2\\TOP.TLC"},
      {1, "", "D:\\WORK.V2\\TOP.GDS"},
      {1, "out", "OUT.GDS"},
      {1, "out.str", "OUT.STR"},
      {2, "", "OUT.DB"},
      {3, "-2x", "-2"},
      {4, "500", "100"},
      {4, "0.001", "0.01"},
      {4, "-2.5", "2.5"},
      {5, "0", "1"},
      {5, "-5", "5"},
      {6, "70", "63"},
      {6, "-1", "0"},
      {7, "64", "63"},
      {5, "1000", "1000"},
      {8, "0", "0"},
      {8, "0.0001", "0.002"},
      {8, "50", "10"},
      {9, "", "-"},
      {10, "yes", "YES"},
      {11, "true", "N"},
      {15, "-.1", "0.1"},
      {16, "", "STRMEXP.RPT"},
  };
  gds::ExportSettings s;
  gds::SetExportDefaults(s);
  for (const Case& c : cases) {
    s.main[c.slot] = c.typed;
    gds::NormaliseExportMain(s);
    EXPECT_EQ(s.main[c.slot], c.stored) << c.slot << " " << c.typed;
  }
  s.main[4] = "";
  gds::NormaliseExportMain(s);
  EXPECT_EQ(s.main[4], "2.5");  // an empty lambda keeps the one before
  EXPECT_EQ(s.mainCell, "TOP");
  EXPECT_EQ(s.tlcDrive + s.tlcFolder, "D:\\WORK.V2\\");

  const Case rows[] = {{0, "-3", "3"}, {1, "7", "3"},  {2, "99", "63"}, {3, "5000", "1000"},
                       {3, "0", "0.001"}, {4, "9", "3"}, {5, "c", "C"},  {5, "x", "B"},
                       {11, "top", "T"}};
  for (const Case& c : rows) {
    s.text[c.slot] = c.typed;
    gds::NormaliseExportText(s);
    EXPECT_EQ(s.text[c.slot], c.stored) << c.slot << " " << c.typed;
  }
  EXPECT_EQ(s.rows[0].justification, 8);
  EXPECT_EQ(s.rows[1].justification, 0);
}

}  // namespace
