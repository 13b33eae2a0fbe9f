#include "convert/dxf/exporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "convert/dxf/tests/dxf_test_util.h"
#include "platform/tell/recorder.h"
#include "utilib/tests/conversion_fixture.h"

namespace {

using dxftest::DxfItems;
using dxftest::DxfSection;
using dxftest::TlcHeader;
using convtest::ReadFile;
using convtest::WriteFile;
using Items = std::vector<std::string>;

// Leaf: a box, a path with extended ends, a closed polygon and a mirrored text.
const char* const kLeafBody =
    "=B\r\n3 0 0 1500 2000\r\n"
    "=P\r\n7 -200 3\r\n0 0 0 1000 500 1000 \r\n"
    "=P\r\n2 0 5\r\n0 0 100 0 100 100 0 100 0 0 \r\n"
    "=T\r\n5 3000 2 6\r\n7 8\r\nHELLO\r\n";
// Top: the leaf mirrored (code 4) and mirrored then turned half round (code 6), and a box.
const char* const kTopBody =
    "=C\r\nLEAF\r\n4 1500 -2000 0\r\n"
    "=C\r\nLEAF\r\n6 0 0 0\r\n"
    "=B\r\n1 -5000 -500 500 4000\r\n";

class DxfExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    dxf::SetExportDefaults(settings);
    settings.slots[0] = folder / "top";
    settings.slots[1] = "";
    dxf::NormaliseExport(settings);
  }
  void WriteCells(const std::string& top = kTopBody, const std::string& leaf = kLeafBody, int topRank = 2) {
    WriteFile(folder / "TOP.TLC", TlcHeader("TOP", topRank) + top);
    WriteFile(folder / "LEAF.TLC", TlcHeader("LEAF", 1) + leaf);
  }
  void Set(int slot, const char* value) {
    settings.slots[slot] = value;
    dxf::NormaliseExport(settings);
  }
  int Run() {
    utilib::Job job(dxf::kExportProgram, ui);
    const int done = dxf::ExportDxf(job, settings, &result);
    utilib::CloseReport(job);
    return done;
  }
  std::string Dxf() { return ReadFile(folder / "TOP.DXF"); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const std::string& e : ui.EventsOf("item")) {
      const int id = std::atoi(e.c_str() + 5);
      if (id >= 511 && id <= 515 && e.find("\"\"") == std::string::npos) {
        const std::size_t q = e.find('"');
        out.push_back(e.substr(q + 1, e.size() - q - 2));
      }
    }
    return out;
  }
  std::vector<std::string> Boxes() const { return ui.EventsOf("box"); }

  convtest::ScratchFolder folder;
  dxf::ExportSettings settings;
  dxf::ExportResult result;
  tell::Recorder ui;
};

TEST_F(DxfExportTest, CellsBecomeBlocksAndTheMainCellTheEntities) {
  WriteCells();
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  const std::string text = Dxf();
  EXPECT_EQ(result.bytes, static_cast<std::int64_t>(text.size()));
  EXPECT_EQ(result.blocks, 1);
  EXPECT_NE(text.find("  0\r\nEOF\r\n"), std::string::npos);
  // The extent is the main cell's own: its box and its instance points, not the leaf's geometry.
  const Items header = DxfItems(text);
  ASSERT_GE(header.size(), 1u);
  EXPECT_EQ(header[0], "SECTION 2=HEADER 9=$ACADVER 1=AC1009 9=$EXTMAX 10=1.5 20=4.0 30=0.0 9=$EXTMIN 10=-5.0 "
                       "20=-2.0 30=0.0 9=$DIMSCALE 40=1.0 9=$LUNITS 70=2 9=$LUPREC 70=8");
  // Only the layers in use, in ascending order.
  EXPECT_EQ(DxfSection(text, "TABLES"),
            (Items{"TABLE 2=LTYPE 70=1", "LTYPE 2=CONTINUOUS 70=64 3=LineType for PolyLines 72=65 73=0 40=0.0",
                   "ENDTAB", "TABLE 2=LAYER 70=64", "LAYER 2=LAYER1 70=64 62=7 6=CONTINUOUS",
                   "LAYER 2=LAYER2 70=64 62=7 6=CONTINUOUS", "LAYER 2=LAYER3 70=64 62=7 6=CONTINUOUS",
                   "LAYER 2=LAYER5 70=64 62=7 6=CONTINUOUS", "LAYER 2=LAYER7 70=64 62=7 6=CONTINUOUS",
                   "ENDTAB"}));
  EXPECT_EQ(DxfSection(text, "BLOCKS"),
            (Items{"BLOCK 8=0 2=LEAF 70=0 3=LEAF 10=0.0 20=0.0 30=0.0",
                   // The box: four vertices, closed by the flag.
                   "POLYLINE 8=LAYER3 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER3 10=0.0 20=0.0 30=0.0",
                   "VERTEX 8=LAYER3 10=1.5 20=0.0 30=0.0", "VERTEX 8=LAYER3 10=1.5 20=2.0 30=0.0",
                   "VERTEX 8=LAYER3 10=0.0 20=2.0 30=0.0", "SEQEND 8=LAYER3",
                   // The extended path with its ends moved out by half its width: an open polyline.
                   "POLYLINE 8=LAYER7 66=1 70=0 40=0.2 41=0.2", "VERTEX 8=LAYER7 10=0.0 20=-0.1 30=0.0",
                   "VERTEX 8=LAYER7 10=0.0 20=1.0 30=0.0", "VERTEX 8=LAYER7 10=0.6 20=1.0 30=0.0",
                   "SEQEND 8=LAYER7",
                   // The polygon without its closing point.
                   "POLYLINE 8=LAYER2 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER2 10=0.0 20=0.0 30=0.0",
                   "VERTEX 8=LAYER2 10=0.1 20=0.0 30=0.0", "VERTEX 8=LAYER2 10=0.1 20=0.1 30=0.0",
                   "VERTEX 8=LAYER2 10=0.0 20=0.1 30=0.0", "SEQEND 8=LAYER2",
                   "TEXT 8=LAYER5 10=0.007 20=0.008 30=0.0 40=3.0 1=HELLO 50=0.0 71=2", "ENDBLK 8=0"}));
  EXPECT_EQ(DxfSection(text, "ENTITIES"),
            (Items{"INSERT 8=0 2=LEAF 10=1.5 20=-2.0 30=0. 41=-1.0 50=180.0",
                   "INSERT 8=0 2=LEAF 10=0.0 20=0.0 30=0. 41=-1.0 50=0.0",
                   "POLYLINE 8=LAYER1 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER1 10=-5.0 20=-0.5 30=0.0",
                   "VERTEX 8=LAYER1 10=0.5 20=-0.5 30=0.0", "VERTEX 8=LAYER1 10=0.5 20=4.0 30=0.0",
                   "VERTEX 8=LAYER1 10=-5.0 20=4.0 30=0.0", "SEQEND 8=LAYER1"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Path Ends Changed to Inline at X=0 Y=0 L=7"}));

  const std::string report = ReadFile(folder / "XCHEXP.RPT");
  EXPECT_EQ(report.substr(0, report.find("\r\n\r\nCompleted")),
            "*** TLC to DXF Conversion Report  03/07/24  13:05:59 ***\r\n\r\n"
            "Main TLC File Name: " + settings.mainFile + "\r\n"
            "DXF File Name: " + settings.dxfFile + "\r\n"
            "TLC Scale: 1000units/um\r\n"
            "DXF Scale: 1unit= 1um\r\n\r\n"
            "Block                  Polylines   Text       Inserts\r\n" +
                std::string(53, '-') + "\r\n"
            "Path Ends Changed to Inline at X=0 Y=0 L=7\r\n"
            "LEAF                    3           1           0           \r\n"
            "TOP                     1           0           2           \r\n");
}

TEST_F(DxfExportTest, AMainCellWithoutSubCellsLeavesTheBlocksEmpty) {
  WriteFile(folder / "TOP.TLC", TlcHeader("TOP", 1) + "=B\r\n1 0 0 10 10\r\n");
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(DxfSection(Dxf(), "BLOCKS").empty());
  EXPECT_EQ(DxfSection(Dxf(), "ENTITIES").size(), 6u);
}

TEST_F(DxfExportTest, SettingsShapeThePolylines) {
  struct Case {
    const char* what;
    int slot;
    const char* value;
    std::string body;
    Items entities;
  };
  const std::string box = "=B\r\n4 0 0 1000 1000\r\n";
  const std::string path = "=P\r\n4 -100 2\r\n0 0 1000 0 \r\n";
  const Case cases[] = {
      {"a box with its last vertex", 4, "Y", box,
       {"POLYLINE 8=LAYER4 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER4 10=0.0 20=0.0 30=0.0",
        "VERTEX 8=LAYER4 10=1.0 20=0.0 30=0.0", "VERTEX 8=LAYER4 10=1.0 20=1.0 30=0.0",
        "VERTEX 8=LAYER4 10=0.0 20=1.0 30=0.0", "VERTEX 8=LAYER4 10=0.0 20=0.0 30=0.0", "SEQEND 8=LAYER4"}},
      {"width in every vertex", 5, "Y", "=P\r\n4 100 2\r\n0 0 1000 0 \r\n",
       {"POLYLINE 8=LAYER4 66=1 70=0 40=0.1 41=0.1", "VERTEX 8=LAYER4 10=0.0 20=0.0 30=0.0 40=0.1 41=0.1",
        "VERTEX 8=LAYER4 10=1.0 20=0.0 30=0.0 40=0.1 41=0.1", "SEQEND 8=LAYER4"}},
      {"extended ends kept and told", 7, "N", path,
       {"POLYLINE 8=LAYER4 66=1 70=0 40=0.1 41=0.1", "VERTEX 8=LAYER4 10=0.0 20=0.0 30=0.0",
        "VERTEX 8=LAYER4 10=1.0 20=0.0 30=0.0", "SEQEND 8=LAYER4"}},
      {"a path into its outline", 6, "Y", path,
       {"POLYLINE 8=LAYER4 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER4 10=-0.05 20=-0.05 30=0.0",
        "VERTEX 8=LAYER4 10=-0.05 20=0.05 30=0.0", "VERTEX 8=LAYER4 10=1.05 20=0.05 30=0.0",
        "VERTEX 8=LAYER4 10=1.05 20=-0.05 30=0.0", "SEQEND 8=LAYER4"}},
      {"texts left out", 3, "N", "=T\r\n4 100 2 0\r\n0 0\r\nX\r\n", {}},
      // Only a closing point repeating the first is left to the closed flag.
      {"an open polygon kept whole", 8, "N", "=P\r\n4 0 3\r\n0 0 1000 0 1000 1000 \r\n",
       {"POLYLINE 8=LAYER4 66=1 70=1 40=0.0 41=0.0", "VERTEX 8=LAYER4 10=0.0 20=0.0 30=0.0",
        "VERTEX 8=LAYER4 10=1.0 20=0.0 30=0.0", "VERTEX 8=LAYER4 10=1.0 20=1.0 30=0.0", "SEQEND 8=LAYER4"}},
      {"another layer prefix", 2, "m", "=T\r\n4 100 2 1\r\n0 0\r\nX\r\n",
       {"TEXT 8=M4 10=0.0 20=0.0 30=0.0 40=0.1 1=X 50=90.0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    dxf::SetExportDefaults(settings);
    settings.slots[0] = folder / "top";
    settings.slots[1] = "";
    Set(c.slot, c.value);
    WriteFile(folder / "TOP.TLC", TlcHeader("TOP", 1) + c.body);
    ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
    EXPECT_EQ(DxfSection(Dxf(), "ENTITIES"), c.entities);
    EXPECT_EQ(ReadFile(folder / "XCHEXP.RPT").find("Paths were Converted to Polygons") != std::string::npos,
              c.slot == 6);
  }
}

TEST_F(DxfExportTest, ExtendedEndsKeptAreToldAndWrittenWithTheirWidth) {
  Set(7, "N");
  WriteFile(folder / "TOP.TLC", TlcHeader("TOP", 1) + "=P\r\n4 -100 2\r\n0 0 1000 0 \r\n");
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Path has Extended Ends at X=0 Y=0 L=4"}));
}

// A sub-cell whose header claims the main cell's rank must not change places with it.
TEST_F(DxfExportTest, TheMainCellStaysTheDrawingWhateverItsRank) {
  WriteCells(kTopBody, kLeafBody, 1);
  ASSERT_EQ(Run(), 1);
  const Items blocks = DxfSection(Dxf(), "BLOCKS");
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0], "BLOCK 8=0 2=LEAF 70=0 3=LEAF 10=0.0 20=0.0 30=0.0");
  EXPECT_EQ(DxfSection(Dxf(), "ENTITIES")[0], "INSERT 8=0 2=LEAF 10=1.5 20=-2.0 30=0. 41=-1.0 50=180.0");
}

TEST_F(DxfExportTest, BlocksComeBeforeTheBlocksThatInsertThemAndNamesDifferingInCaseAreOne) {
  WriteFile(folder / "TOP.TLC", TlcHeader("TOP", 3) + "=C\r\nMID\r\n0 0 0 0\r\n=C\r\nleaf\r\n1 5 5 0\r\n");
  WriteFile(folder / "MID.TLC", TlcHeader("MID", 2) + "=C\r\nLEAF\r\n2 0 0 0\r\n");
  WriteFile(folder / "LEAF.TLC", TlcHeader("LEAF", 1) + "=B\r\n1 0 0 10 10\r\n");
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  std::vector<std::string> blocks, inserts;
  for (const std::string& item : DxfItems(Dxf())) {
    if (item.rfind("BLOCK ", 0) == 0) blocks.push_back(item.substr(item.find("2=") + 2, 4));
    if (item.rfind("INSERT ", 0) == 0) inserts.push_back(item.substr(item.find("2=") + 2, 4));
  }
  // The first name listed names the one block.
  EXPECT_EQ(blocks, (std::vector<std::string>{"leaf", "MID "}));
  EXPECT_EQ(inserts, (std::vector<std::string>{"leaf", "MID ", "leaf"}));
}

TEST_F(DxfExportTest, FailuresStopWithTheirMessage) {
  struct Case {
    const char* what;
    std::string top;
    bool leaf;
    std::string leafBody;
    std::string message;
  };
  const Case cases[] = {
      {"no main file", "", false, "", "Main TLC file is Missing ... Can't Continue"},
      {"no scale", "=H\r\nTOP\r\n6.0\r\n6.0\r\n0\r\num\r\n\r\n\r\n1 0 0 1 0\r\n0 0 0 0\r\n", false, "",
       "TLC scale is Missing ... Can't Continue"},
      {"a missing sub-cell", TlcHeader("TOP", 2) + "=C\r\nGONE\r\n0 0 0 0\r\n", false, "",
       "GONE.TLC file is Missing ... Can't Continue"},
      {"a box without its numbers", TlcHeader("TOP", 2) + "=C\r\nLEAF\r\n0 0 0 0\r\n", true,
       "=B\r\n1 0 0\r\n", "Box Layer Read Error"},
      {"a path cut short", TlcHeader("TOP", 1) + "=P\r\n1 0 3\r\n0 0 5\r\n", false, "", "Path Layer Read Error"},
      {"a text cut short", TlcHeader("TOP", 1) + "=T\r\n1 0\r\n", false, "", "Text Layer Read Error"},
      {"an instance cut short", TlcHeader("TOP", 1) + "=C\r\nLEAF\r\n4\r\n", false, "", "Cell Record Read Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    std::remove((folder / "TOP.TLC").c_str());
    std::remove((folder / "LEAF.TLC").c_str());
    if (!c.top.empty()) WriteFile(folder / "TOP.TLC", c.top);
    if (c.leaf) WriteFile(folder / "LEAF.TLC", TlcHeader("LEAF", 1) + c.leafBody);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"box \"XCHEXP\" \"" + c.message + "\""}));
  }
}

TEST_F(DxfExportTest, CancelAtAPauseStopsTheRun) {
  WriteCells();
  ui.cancelAtPause = 1;
  EXPECT_EQ(Run(), 0);
}

TEST_F(DxfExportTest, CrushedBoxesAreAskedForWithProperPolylines) {
  WriteFile(folder / "TOP.TLC", TlcHeader("TOP", 1) + "=B\r\n1 0 0 0 1000\r\n=B\r\n1 0 0 10 10\r\n");
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "box \"XCHEXP\" \"Crushed Box at X=0 Y=0 L=1\\n\\nRemove It or Cancel Conversion?\" okcancel"}));
  EXPECT_EQ(DxfSection(Dxf(), "ENTITIES").size(), 6u);

  ui = {};
  Set(8, "N");
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Crushed Box at X=0 Y=0 L=1"}));
  EXPECT_EQ(DxfSection(Dxf(), "ENTITIES").size(), 12u);
}

// The polyline checks, with physical units of 10 database units.
class CheckDxfPolylineTest : public ::testing::Test {
 protected:
  CheckDxfPolylineTest() { g.scale = 10; }
  int Check(utilib::Shape& s, bool proper) { return dxf::CheckDxfPolyline(job, g, proper, s); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const std::string& e : ui.EventsOf("item")) {
      const std::size_t q = e.find('"');
      out.push_back(e.substr(q + 1, e.size() - q - 2));
    }
    return out;
  }
  tell::Recorder ui;
  utilib::Job job{"XCHEXP", ui};
  utilib::GeometrySettings g;
};

utilib::Shape MakeShape(std::vector<db::PathPoint> v, int width = 0) {
  utilib::Shape s;
  s.layer = 2;
  s.width = width;
  s.v = std::move(v);
  return s;
}

TEST_F(CheckDxfPolylineTest, Findings) {
  struct Case {
    const char* what;
    std::vector<db::PathPoint> v;
    int width;
    bool proper;
    int result;
    std::vector<std::string> lines;
    std::size_t vertices;
  };
  const Case cases[] = {
      {"one point", {{10, 20}}, 0, true, 0, {"Single Point Removed at X=1 Y=2 L=2"}, 1},
      {"a right angle is not acute", {{0, 0}, {100, 0}, {100, 100}}, 5, true, 1, {}, 3},
      {"a path turning back", {{0, 0}, {100, 0}, {0, 10}}, 5, true, 1, {"Acute Poly/Path Angle at X=10 Y=0 L=2"}, 3},
      {"a zero-length segment", {{0, 0}, {100, 0}, {100, 0}, {100, 50}}, 5, true, 1,
       {"Acute Poly/Path Angle at X=10 Y=0 L=2", "Acute Poly/Path Angle at X=10 Y=0 L=2"}, 4},
      {"a figure eight", {{0, 0}, {100, 100}, {100, 0}, {0, 100}, {0, 0}}, 0, true, 1,
       {"Acute Poly/Path Angle at X=10 Y=10 L=2", "Acute Poly/Path Angle at X=10 Y=0 L=2",
        "Acute Poly/Path Angle at X=0 Y=10 L=2", "Acute Poly/Path Angle at X=0 Y=0 L=2",
        "Poly Circulation not 360 deg at X=0 Y=0 L=2"},
       5},
      {"an open polygon closed", {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 0, true, 1,
       {"Open Poly Closed at X=0 Y=0 L=2"}, 5},
      {"a segment dropped", {{0, 0}, {100, 0}}, 0, true, 0, {"Poly Line Segment Removed at X=0 Y=0 L=2"}, 2},
      {"without proper polylines a segment is told", {{0, 0}, {100, 0}}, 0, false, 1,
       {"Poly Line Segment at X=0 Y=0 L=2"}, 2},
      {"and an open polygon is told", {{0, 0}, {100, 0}, {100, 100}}, 0, false, 1, {"Open Poly at X=0 Y=0 L=2"}, 3},
      {"and a path turning back passes", {{0, 0}, {100, 0}, {0, 10}}, 5, false, 1, {}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    utilib::Shape s = MakeShape(c.v, c.width);
    EXPECT_EQ(Check(s, c.proper), c.result);
    EXPECT_EQ(Lines(), c.lines);
    EXPECT_EQ(s.v.size(), c.vertices);
    EXPECT_FALSE(job.abort);
  }
}

TEST_F(CheckDxfPolylineTest, QuestionsCancelTheRun) {
  for (auto v : {std::vector<db::PathPoint>{{0, 0}, {100, 0}}, std::vector<db::PathPoint>{{0, 0}, {100, 0}, {50, 50}}}) {
    ui = {};
    job.abort = false;
    ui.boxAnswers = {tell::Answer::Cancel};
    utilib::Shape s = MakeShape(v);
    EXPECT_EQ(Check(s, true), 0);
    EXPECT_TRUE(job.abort);
    ASSERT_EQ(ui.EventsOf("box").size(), 1u);
    EXPECT_NE(ui.EventsOf("box")[0].find(v.size() == 2 ? "Poly Line Segment at X=0 Y=0 L=2\\n\\nRemove It"
                                                       : "Open Poly at X=0 Y=0 L=2\\n\\nClose It"),
              std::string::npos);
  }
}

TEST_F(CheckDxfPolylineTest, ClosingCanMakeAnAcuteAngle) {
  utilib::Shape s = MakeShape({{0, 0}, {100, 0}, {100, 100}, {90, -50}});
  EXPECT_EQ(Check(s, true), 1);
  const std::vector<std::string> lines = Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Acute Poly Angle when Closed at X=0 Y=0 L=2");
}

}  // namespace
