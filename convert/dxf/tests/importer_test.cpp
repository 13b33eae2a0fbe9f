#include "convert/dxf/importer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/dxf/tests/dxf_test_util.h"
#include "platform/tell/recorder.h"
#include "utilib/tests/conversion_fixture.h"

namespace {

using dxftest::DxfBuilder;
using convtest::ReadFile;
using convtest::TlcRecords;
using convtest::WriteFile;
using Records = std::vector<std::string>;

class DxfImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    dxf::SetImportDefaults(settings);
    settings.main[0] = folder / "in";
    settings.main[1] = folder / "top";
    settings.main[3] = "1000";
    dxf::NormaliseImport(settings, 0);
  }
  // Writes the file, reads its layer table as the Layers command does and types the numbers.
  int Run(const DxfBuilder& d, const std::vector<int>& numbers = {}) {
    WriteFile(folder / "IN.DXF", d.text);
    layers.names = dxf::ReadDxfLayerTable(d.text);
    for (std::size_t i = 0; i < numbers.size(); ++i) settings.layers[i] = std::to_string(numbers[i]);
    dxf::NormaliseImport(settings, 1);
    utilib::Job job(dxf::kImportProgram, ui);
    const int done = dxf::ImportDxf(job, settings, layers, ask, &result);
    utilib::CloseReport(job);
    return done;
  }
  Records Cell(const std::string& name) { return TlcRecords(folder / (name + ".TLC")); }
  // The records of a cell without its header.
  Records Body(const std::string& name) {
    Records r = Cell(name);
    r.erase(std::remove_if(r.begin(), r.end(), [](const std::string& s) { return s.rfind("=H", 0) == 0; }), r.end());
    return r;
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const std::string& e : ui.EventsOf("item")) {
      const int id = std::atoi(e.c_str() + 5);
      if (id >= 515 && id <= 518 && e.find("\"\"") == std::string::npos) {
        const std::size_t q = e.find('"');
        out.push_back(e.substr(q + 1, e.size() - q - 2));
      }
    }
    return out;
  }

  convtest::ScratchFolder folder;
  dxf::ImportSettings settings;
  dxf::DxfLayerMap layers;
  dxf::ImportResult result;
  tell::Recorder ui;
  std::vector<std::string> asked;
  utilib::NewNameAsker ask = [this](std::string_view rejected) -> std::optional<std::string> {
    asked.emplace_back(rejected);
    return "RENAMED" + std::to_string(asked.size());
  };
};

TEST_F(DxfImportTest, BlocksBecomeCellsAndTheEntitiesTheMainCell) {
  DxfBuilder d;
  d.Layers({"0", "METAL", "POLY"});
  d.Section("BLOCKS", [](DxfBuilder& b) {
    b.G(0, "BLOCK").G(8, "0").G(2, "$MODEL_SPACE").G(70, 0.0).G(10, 0.0).G(20, 0.0).G(0, "ENDBLK");
    b.G(0, "BLOCK").G(2, "LEAF").G(70, 0.0).G(10, 0.0).G(20, 0.0);
    b.G(0, "LINE").G(8, "METAL").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 0.0);
    b.G(0, "SOLID").G(8, "POLY").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 0.0).G(12, 0.0).G(22, 1.0).G(13, 1.0).G(23, 1.0);
    b.G(0, "CIRCLE").G(8, "METAL").G(10, 5.0).G(20, 5.0).G(40, 1.0);
    b.G(0, "ENDBLK");
    b.G(0, "BLOCK").G(2, "emptyb").G(0, "ENDBLK");
    b.G(0, "BLOCK").G(2, "MID");
    b.G(0, "INSERT").G(8, "0").G(2, "leaf").G(10, 100.0).G(20, 0.0).G(50, 90.0).G(70, 3.0).G(71, 2.0).G(44, 10.0).G(45, 20.0);
    b.G(0, "INSERT").G(2, "GONE").G(10, 1.0).G(20, 1.0);
    b.G(0, "ENDBLK");
  });
  d.Section("ENTITIES", [](DxfBuilder& b) {
    // The mirror comes without a rotation: it must not be lost.
    b.G(0, "INSERT").G(8, "0").G(2, "MID").G(10, 0.0).G(20, 0.0).G(41, -1.0);
    b.G(0, "INSERT").G(2, "EMPTYB").G(10, 0.0).G(20, 0.0).G(42, -1.0).G(50, 90.0);
    b.G(0, "INSERT").G(2, "NOWHERE").G(10, 2.0).G(20, 3.0);
    // The generation flags come after the rotation.
    b.G(0, "TEXT").G(8, "POLY").G(10, 1.0).G(20, 2.0).G(40, 0.5).G(1, "HI").G(50, 90.0).G(71, 2.0);
    b.G(0, "POLYLINE").G(8, "METAL").G(66, 1.0).G(10, 0.0).G(20, 0.0).G(30, 0.0).G(70, 0.0).G(40, 0.1);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}})
      b.G(0, "VERTEX").G(8, "METAL").G(10, x).G(20, y);
    b.G(0, "SEQEND");
    b.G(0, "ARC").G(8, "METAL").G(10, 0.0).G(20, 0.0).G(40, 10.0).G(50, 350.0).G(51, 10.0);
    b.G(0, "LINE").G(8, "0").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 1.0);
    b.G(0, "LINE").G(8, "0").G(10, 0.0).G(20, 0.0).G(11, 2.0).G(21, 2.0);
    b.G(0, "LINE").G(10, 0.0).G(20, 0.0).G(11, 0.0).G(21, 3.0);
    b.G(0, "SPLINE").G(8, "METAL");
  });
  d.Eof();
  ASSERT_EQ(Run(d, {9, 5, 7}), 1) << ::testing::PrintToString(ui.events);
  EXPECT_EQ(result.tlcFiles, 5);
  EXPECT_TRUE(ui.EventsOf("box").empty());
  EXPECT_TRUE(asked.empty());

  const Records leaf = Body("LEAF");
  ASSERT_EQ(leaf.size(), 3u);
  EXPECT_EQ(leaf[0], "=P|5 0 2|0 0 1000 0 ");
  EXPECT_EQ(leaf[1], "=P|7 0 5|0 0 1000 0 1000 1000 0 1000 0 0 ");
  EXPECT_EQ(leaf[2].substr(0, 25), "=P|5 0 73|6000 5000 5996 ");
  EXPECT_EQ(Body("EMPTYB"), (Records{"=T|64 75 3 0|0 0|<<EMPTY>>"}));
  EXPECT_EQ(Body("GONE"), (Records{"=T|64 75 2 0|0 0|<<GONE>>"}));
  // The array turns with the insert: columns run up, rows to the left.
  EXPECT_EQ(Body("MID"), (Records{"=C|LEAF|1 100000 0 0", "=C|LEAF|1 100000 10000 0", "=C|LEAF|1 100000 20000 0",
                                  "=C|LEAF|1 80000 0 0", "=C|LEAF|1 80000 10000 0", "=C|LEAF|1 80000 20000 0",
                                  "=C|GONE|0 1000 1000 0"}));
  const Records top = Body("TOP");
  ASSERT_EQ(top.size(), 9u);
  EXPECT_EQ(top[0], "=C|MID|6 0 0 0");
  EXPECT_EQ(top[1], "=C|EMPTYB|5 0 0 0");
  EXPECT_EQ(top[2], "=T|64 75 3 0|2000 3000|<<NOWHERE>>");
  EXPECT_EQ(top[3], "=T|7 495 2 7|1000 2000|HI");
  // An open polyline with a width stays open.
  EXPECT_EQ(top[4], "=P|5 100 3|0 0 10000 0 10000 10000 ");
  // The arc from 350 to 10 degrees in four chords, closed through its centre.
  EXPECT_EQ(top[5], "=P|5 0 7|9848 -1736 9962 -872 10000 0 9962 872 9848 1736 |0 0 9848 -1736 ");
  EXPECT_EQ(top[6], "=P|9 0 2|0 0 1000 1000 ");
  EXPECT_EQ(top[7], "=P|9 0 2|0 0 2000 2000 ");
  EXPECT_EQ(top[8], "=P|64 0 2|0 0 0 3000 ");

    // Headers come last, with the counts of what was written.
  EXPECT_EQ(Cell("TOP").back().substr(0, 41), "=H|TOP|6.0|6.0|1000|um|03/07/24|13:05:59|");
  EXPECT_EQ(Cell("MID").back(), "=H|MID|6.0|6.0|1000|um|03/07/24|13:05:59|2 0 0 1 0|0 0 0 7");

  // Ranks from the bottom up, the main cell one above the highest block; CELLS.REF in that order.
  const std::string ref = ReadFile(folder / "CELLS.REF");
  EXPECT_EQ(ref.substr(0, ref.find("MID")), "5\r\nLEAF\r\n1 0 0 1000 0 0 3 80 0\r\nEMPTYB\r\n1 0 0 1000 0 0 1 3 0\r\n");
  EXPECT_NE(ref.find("MID\r\n2 0 0 1000 0 0 0 0 7\r\n"), std::string::npos) << ref;
  EXPECT_NE(ref.find("TOP\r\n3 0 0 1000 0 0 7 "), std::string::npos) << ref;

  const std::vector<std::string> lines = Lines();
  for (const char* told : {"Block GONE is Missing", "Block NOWHERE is Missing"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), told), lines.end()) << told;
  const std::string report = ReadFile(folder / "XCHIMP.RPT");
  EXPECT_NE(report.find("*** DXF to TLC Conversion Report  03/07/24  13:05:59 ***\r\n\r\nDXF File Name: "),
            std::string::npos);
  EXPECT_NE(report.find("MERO Scale: 1000 per 1um\r\n"), std::string::npos);
  EXPECT_NE(report.find("Cell                   Rank  DXF   TLC    Block\r\n"), std::string::npos);
  EXPECT_NE(report.find("GONE                    1     N     N     GONE"), std::string::npos);
  EXPECT_NE(report.find("SPLINE Entities not Converted: 1"), std::string::npos);
}

// Whatever the importer leaves out or places only roughly, the run does not end as if all came in:
// the final message counts it, the report names it, and what it converts still comes in.
TEST_F(DxfImportTest, EntitiesLeftOutOrApproximatedAreCountedAtTheEnd) {
  const std::string line = "  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n";
  const std::string block = "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nLEAF\n" + line + "  0\nENDBLK\n  0\nENDSEC\n";
  struct Case {
    const char* what;
    std::string blocks, entities;
    int leftOut, approximated;
    const char* completion;
    std::vector<std::string> reported;
  };
  const std::vector<Case> cases = {
      {"all converted", "", line, 0, 0, "Completed ... 1 TLC Files Made", {}},
      {"kinds without a conversion", "",
       line + "  0\nLWPOLYLINE\n 90\n2\n 10\n0\n 20\n0\n 10\n1\n 20\n1\n  0\nHATCH\n  0\nSPLINE\n  0\nSPLINE\n"
              "  0\nPOLYLINE\n 70\n16\n  0\nVERTEX\n 10\n0\n 20\n0\n  0\nSEQEND\n",
       5, 0, "Some Error Occurred ... 5 Entities not Converted ... Conversion may be Incorrect",
       {"HATCH Entities not Converted: 1", "LWPOLYLINE Entities not Converted: 1", "SPLINE Entities not Converted: 2",
        "POLYLINE MESH Entities not Converted: 1"}},
      {"entities refused with a message", "",
       line + "  0\nSOLID\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n", 1, 0,
       "Some Error Occurred ... 1 Entities not Converted ... Conversion may be Incorrect",
       {"Not Enough Points in Solid"}},
      {"scaled and turned inserts", block,
       "  0\nINSERT\n  2\nLEAF\n 41\n2\n 42\n2\n  0\nINSERT\n  2\nLEAF\n 50\n30\n  0\nINSERT\n  2\nLEAF\n 50\n270\n", 0, 2,
       "Some Error Occurred ... 2 Instances Approximated ... Conversion may be Incorrect",
       {"Non-orthogonal/scaled instance of LEAF approximated"}},
      {"both", block, "  0\nINSERT\n  2\nLEAF\n 41\n3\n  0\nINSERT\n  2\nLEAF\n 70\n1000\n 71\n1000\n  0\nELLIPSE\n", 2, 1,
       "Some Error Occurred ... 2 Entities not Converted ... 1 Instances Approximated ... Conversion may be Incorrect",
       {"Array of LEAF with 1000 x 1000 Instances not Converted", "ELLIPSE Entities not Converted: 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    result = {};
    DxfBuilder d;
    d.text = c.blocks + "  0\nSECTION\n  2\nENTITIES\n" + c.entities + "  0\nENDSEC\n  0\nEOF\n";
    ASSERT_EQ(Run(d), 1);
    EXPECT_EQ(result.leftOut, c.leftOut);
    EXPECT_EQ(result.approximated, c.approximated);
    EXPECT_EQ(dxf::ImportCompletedText(result), c.completion);
    const std::string report = ReadFile(folder / "XCHIMP.RPT");
    for (const std::string& told : c.reported) EXPECT_NE(report.find(told), std::string::npos) << told << "\n" << report;
    // What has a conversion still comes in.
    const Records top = Body("TOP");
    if (c.blocks.empty()) EXPECT_EQ(top.front(), "=P|64 0 2|0 0 1000 0 ");
    else EXPECT_EQ(top.front().substr(0, 8), "=C|LEAF|");
  }
}

TEST_F(DxfImportTest, TextSizesAndMirrorsOfTexts) {
  settings.main[3] = "20";
  dxf::NormaliseImport(settings, 0);
  DxfBuilder d;
  d.Section("HEADER", [](DxfBuilder& b) { b.G(9, "$TEXTSIZE").G(40, 2.5); });
  d.Section("ENTITIES", [](DxfBuilder& b) {
    b.G(0, "TEXT").G(10, 1.0).G(20, 1.0).G(1, "DEFAULT SIZE");
    b.G(0, "TEXT").G(10, 0.0).G(20, 0.0).G(40, 0.1).G(71, 4.0).G(1, "=B");
    b.G(0, "TEXT").G(10, 0.0).G(20, 0.0).G(40, 1e9).G(71, 6.0).G(1, std::string(80, 'a'));
  });
  d.Eof();
  ASSERT_EQ(Run(d), 1);
  EXPECT_EQ(Body("TOP"), (Records{"=T|64 45 3 0|20 20|DEFAULT SIZE", "=T|64 15 2 4|0 0| =B",
                                  "=T|64 61440 9 2|0 0|" + std::string(64, 'a')}));
}

TEST_F(DxfImportTest, PolylinesClosedCurvedAndCut) {
  DxfBuilder d;
  auto polyline = [&](int flags, double width, const std::vector<std::pair<double, double>>& v, double bulge0 = 0) {
    d.G(0, "POLYLINE").G(66, 1.0).G(70, static_cast<double>(flags)).G(40, width);
    for (std::size_t i = 0; i < v.size(); ++i) {
      d.G(0, "VERTEX").G(10, v[i].first).G(20, v[i].second);
      if (i == 0 && bulge0 != 0) d.G(42, bulge0);
    }
    d.G(0, "SEQEND");
  };
  std::vector<std::pair<double, double>> staircase, wide, ring;
  for (int i = 0; i < 300; ++i) {
    staircase.push_back({i * 1.0, i % 2 * 1.0});
    staircase.push_back({i + 1.0, i % 2 * 1.0});
  }
  for (int i = 0; i < 300; ++i) wide.push_back({i * 1.0, i % 2 * 1.0});
  for (int i = 0; i < 600; ++i) ring.push_back({100 * std::cos(i * 0.6 * M_PI / 180), 100 * std::sin(i * 0.6 * M_PI / 180)});
  d.G(0, "SECTION").G(2, "ENTITIES");
  polyline(0, 0, {{0, 0}, {10, 0}, {10, 10}}, 1);      // closed by the setting, with a half circle
  polyline(1, 0.5, {{0, 0}, {10, 0}, {10, 10}});       // closed wide: closed
  polyline(0, 0.5, {{0, 0}, {10, 0}});                 // open wide: open
  polyline(0, 0, staircase);                           // 600 points open... then closed by the setting
  polyline(0, 0.01, wide);                             // 300 points with a width: pieces of 244
  polyline(1, 0, ring);                                // a polygon of 601 points
  polyline(0, 0, {{0, 0}, {1, 0}, {2, 2}}, 5);         // over-wide bulge
  d.G(0, "ENDSEC").Eof();
  ASSERT_EQ(Run(d), 1);
  const Records r = Body("TOP");
  ASSERT_GE(r.size(), 7u);
  // Half circle from (0,0) to (10,0): 36 chords, 35 points between, passing (5,-5) below.
  EXPECT_EQ(r[0].substr(0, 12), "=P|64 0 39|0");
  EXPECT_NE(r[0].find("5000 -5000 "), std::string::npos);
  EXPECT_EQ(r[0].substr(r[0].size() - 24), "10000 0 10000 10000 0 0 ");
  EXPECT_EQ(r[1], "=P|64 500 4|0 0 10000 0 10000 10000 0 0 ");
  EXPECT_EQ(r[2], "=P|64 500 2|0 0 10000 0 ");
  // The staircase is closed, then cut across: every piece is a closed polygon that fits a record.
  std::size_t i = 3;
  int polygons = 0;
  for (; i < r.size() && r[i].rfind("=P|64 0 ", 0) == 0 && polygons < 20; ++i) ++polygons;
  EXPECT_GE(polygons, 2);
  // The wide polyline in two pieces sharing a point: 244 and 57.
  ASSERT_LT(i + 1, r.size());
  EXPECT_EQ(r[i].substr(0, 14), "=P|64 10 244|0");
  EXPECT_EQ(r[i + 1].substr(0, 19), "=P|64 10 57|243000 ");
  const std::vector<std::string> lines = Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Curve Fit Arc Exceeds 270 deg"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Polyline Broken into Pieces"), lines.end());
}

TEST_F(DxfImportTest, WithoutClosingOpenPolylinesStayOpen) {
  settings.main[10] = "N";
  settings.main[11] = "N";
  settings.main[9] = "N";
  dxf::NormaliseImport(settings, 0);
  DxfBuilder d;
  d.Section("ENTITIES", [](DxfBuilder& b) {
    b.G(0, "POLYLINE").G(70, 0.0).G(0, "VERTEX").G(10, 0.0).G(20, 0.0).G(0, "VERTEX").G(10, 1.0).G(20, 0.0);
    b.G(0, "VERTEX").G(10, 1.0).G(20, 1.0).G(0, "SEQEND");
    b.G(0, "POLYLINE").G(70, 1.0).G(40, 1.0).G(0, "VERTEX").G(10, 0.0).G(20, 0.0).G(0, "VERTEX").G(10, 1.0);
    b.G(20, 0.0).G(0, "VERTEX").G(10, 1.0).G(20, 1.0).G(0, "SEQEND");
    // A closed polyline is closed whatever the setting.
    b.G(0, "POLYLINE").G(70, 1.0).G(0, "VERTEX").G(10, 0.0).G(20, 0.0).G(0, "VERTEX").G(10, 1.0).G(20, 0.0);
    b.G(0, "VERTEX").G(10, 1.0).G(20, 1.0).G(0, "SEQEND");
    b.G(0, "ARC").G(10, 0.0).G(20, 0.0).G(40, 1.0).G(50, 0.0).G(51, 90.0);
  });
  d.Eof();
  settings.main[4] = "Y";
  settings.main[14] = "45";
  dxf::NormaliseImport(settings, 0);
  ASSERT_EQ(Run(d), 1);
  EXPECT_EQ(Body("TOP"), (Records{"=P|64 0 3|0 0 1000 0 1000 1000 ", "=P|64 1000 3|0 0 1000 0 1000 1000 ",
                                  "=P|64 0 4|0 0 1000 0 1000 1000 0 0 ", "=P|64 0 3|1000 0 707 707 0 1000 "}));
}

TEST_F(DxfImportTest, SolidsLinesAndSwitchedOffKinds) {
  DxfBuilder d;
  d.Section("BLOCKS", [](DxfBuilder& b) {
    // The base point goes to the insertion point: the block's entities lie around it.
    b.G(0, "BLOCK").G(2, "BLK").G(10, 5.0).G(20, 5.0);
    b.G(0, "SOLID").G(10, 5.0).G(20, 5.0).G(11, 6.0).G(21, 5.0).G(12, 6.0).G(22, 6.0).G(13, 6.0).G(23, 6.0);
    b.G(0, "SOLID").G(10, 5.0).G(20, 5.0).G(11, 6.0).G(21, 5.0).G(12, 6.0).G(22, 6.0);
    b.G(0, "ENDBLK");
  });
  d.Section("ENTITIES", [](DxfBuilder& b) {
    b.G(0, "INSERT").G(2, "BLK").G(10, 5.0).G(20, 5.0);
    b.G(0, "CIRCLE").G(10, 0.0).G(20, 0.0).G(40, 1.0);
    b.G(0, "LINE").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 1.0);
    b.G(0, "TEXT").G(10, 0.0).G(20, 0.0).G(1, "T");
  });
  d.Eof();
  settings.main[5] = "N";
  settings.main[6] = "N";
  settings.main[8] = "N";
  dxf::NormaliseImport(settings, 0);
  ASSERT_EQ(Run(d), 1);
  EXPECT_EQ(Body("BLK"), (Records{"=P|64 0 4|0 0 1000 0 1000 1000 0 0 "}));
  EXPECT_EQ(Body("TOP"), (Records{"=C|BLK|0 5000 5000 0"}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Not Enough Points in Solid"}));
}

TEST_F(DxfImportTest, NamesThatCannotBeCellsAreAskedFor) {
  DxfBuilder d;
  d.Section("BLOCKS", [](DxfBuilder& b) {
    b.G(0, "BLOCK").G(2, "*U1").G(0, "LINE").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 0.0).G(0, "ENDBLK");
    b.G(0, "BLOCK").G(2, "top").G(0, "ENDBLK");
  });
  d.Section("ENTITIES", [](DxfBuilder& b) { b.G(0, "INSERT").G(2, "*u1").G(0, "INSERT").G(2, "TOP"); });
  d.Eof();
  ASSERT_EQ(Run(d), 1);
  // The ENTITIES cell comes last and finds its name taken by the block.
  EXPECT_EQ(asked, (std::vector<std::string>{"*U1", "TOP"}));
  EXPECT_EQ(Body("RENAMED2"), (Records{"=C|RENAMED1|0 0 0 0", "=C|TOP|0 0 0 0"}));
  EXPECT_TRUE(std::filesystem::exists(folder / "RENAMED1.TLC"));
}

TEST_F(DxfImportTest, FailuresStopTheRun) {
  // No file.
  utilib::Job job(dxf::kImportProgram, ui);
  EXPECT_EQ(dxf::ImportDxf(job, settings, layers, ask), 0);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"XCHIMP\" \"DXF File is Missing ... Can't Continue\""}));

  // A layer not in the table stops the run whatever the answer: its entities are not left out unseen.
  for (tell::Answer answer : {tell::Answer::Ok, tell::Answer::Cancel}) {
    ui = {};
    ui.boxAnswers = {answer};
    DxfBuilder d;
    d.Layers({"A"}).Section("ENTITIES", [](DxfBuilder& b) { b.G(0, "LINE").G(8, "B").G(0, "LINE").G(8, "A"); }).Eof();
    EXPECT_EQ(Run(d, {3}), 0);
    EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"XCHIMP\" \"Entity Layer Not in Layer Table\" okcancel"}));
    EXPECT_NE(ReadFile(folder / "XCHIMP.RPT").find("Entity Layer B Not in Layer Table"), std::string::npos);
  }

  // Blocks that insert each other: the ranks never settle.
  ui = {};
  DxfBuilder cycle;
  cycle.Section("BLOCKS", [](DxfBuilder& b) {
    b.G(0, "BLOCK").G(2, "A").G(0, "INSERT").G(2, "B").G(0, "ENDBLK");
    b.G(0, "BLOCK").G(2, "B").G(0, "INSERT").G(2, "A").G(0, "ENDBLK");
  });
  cycle.Eof();
  EXPECT_EQ(Run(cycle), 0);
  ASSERT_EQ(ui.EventsOf("box").size(), 1u);
  EXPECT_NE(ui.EventsOf("box")[0].find("Hierarchy Deeper than 15 Levels at "), std::string::npos);
}

TEST_F(DxfImportTest, AtMost512Blocks) {
  DxfBuilder d;
  d.Section("BLOCKS", [](DxfBuilder& b) {
    for (int i = 0; i < 520; ++i) b.G(0, "BLOCK").G(2, "B" + std::to_string(i)).G(0, "ENDBLK");
  });
  d.Section("ENTITIES", [](DxfBuilder& b) { b.G(0, "INSERT").G(2, "B519"); });
  d.Eof();
  settings.main[12] = "N";
  dxf::NormaliseImport(settings, 0);
  ASSERT_EQ(Run(d), 1);
  EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{"box \"XCHIMP\" \"Too Many Blocks in DXF File\""}));
  EXPECT_EQ(result.tlcFiles, 513);
  EXPECT_EQ(Body("TOP"), (Records{"=T|64 75 2 0|0 0|<<B519>>"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "CELLS.REF"));
}

TEST_F(DxfImportTest, AbortAtAPause) {
  DxfBuilder d;
  d.Section("BLOCKS", [](DxfBuilder& b) { b.G(0, "BLOCK").G(2, "A").G(0, "ENDBLK"); }).Eof();
  ui.cancelAtPause = 0;
  EXPECT_EQ(Run(d), 0);
}

}  // namespace

namespace {

// Damaged and hostile files end with a message or a partial result, never a crash or a hang.
TEST_F(DxfImportTest, DamagedFilesEndCleanly) {
  const std::string poly = "  0\nSECTION\n  2\nENTITIES\n  0\nPOLYLINE\n 70\n1\n";
  std::string manyVertices = poly;
  for (int i = 0; i < 3000; ++i)
    manyVertices += "  0\nVERTEX\n 10\n" + std::to_string(i % 7) + "\n 20\n" + std::to_string(i % 5) + "\n 42\n1\n";
  std::string longLines = "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  1\n" + std::string(100000, 'q') + "\n 40\n1\n";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"junk", std::string("\x01\xff\x00\x7f junk\n\n\n", 12)},
      {"a polyline cut short", poly + "  0\nVERTEX\n 10\n1\n 20\n"},
      {"a block never ended", "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB1\n  0\nLINE\n 10\n0\n"},
      {"a block inside a block", "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB1\n  0\nBLOCK\n  2\nB2\n  0\nENDBLK\n"
                                 "  0\nENDBLK\n  0\nENDSEC\n  0\nEOF\n"},
      {"numbers out of range", "  0\nSECTION\n  2\nENTITIES\n  0\nCIRCLE\n 10\nnan\n 20\n1e308\n 40\ninf\n"
                               "  0\nARC\n 10\n-1e300\n 40\n1e300\n 50\nnan\n 51\n-inf\n"
                               "  0\nTEXT\n 40\n1e308\n 50\nnan\n 71\n-7\n  1\nX\n"
                               "  0\nINSERT\n  2\nB\n 41\nnan\n 50\n1e308\n 70\n1e9\n 71\n1e9\n"
                               "  0\nSOLID\n 10\n1\n 20\n1\n 11\n1\n 21\n1\n 12\n1\n 22\n1\n 13\n1\n 23\n1\n"
                               "  0\nENDSEC\n  0\nEOF\n"},
      {"stray vertices and ends", "  0\nSECTION\n  2\nENTITIES\n  0\nVERTEX\n 10\n1\n  0\nSEQEND\n  0\nENDBLK\n"
                                  "  0\nENDSEC\n  0\nENDSEC\n"},
      {"many bulged vertices", manyVertices + "  0\nSEQEND\n  0\nENDSEC\n  0\nEOF\n"},
      {"a long value line", longLines},
      {"an array too large", "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB\n  0\nENDBLK\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n  0\nINSERT\n  2\nB\n 70\n1000\n 71\n1000\n  0\nENDSEC\n"
                             "  0\nEOF\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    DxfBuilder d;
    d.text = c.text;
    const int done = Run(d);
    EXPECT_TRUE(done == 0 || done == 1);
    if (done) {
      EXPECT_TRUE(std::filesystem::exists(folder / "TOP.TLC"));
    }
  }
  const std::vector<std::string> lines = Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Array of B with 1000 x 1000 Instances not Converted"), lines.end());
}

// A file that ends before its EOF group, or that is no text DXF, is not taken for a whole drawing.
TEST_F(DxfImportTest, FilesCutShortOrNotInTextStop) {
  DxfBuilder whole;
  whole.Section("BLOCKS", [](DxfBuilder& b) {
    b.G(0, "BLOCK").G(2, "LEAF").G(0, "LINE").G(10, 0.0).G(20, 0.0).G(11, 1.0).G(21, 0.0).G(0, "ENDBLK");
  });
  whole.Section("ENTITIES", [](DxfBuilder& b) { b.G(0, "INSERT").G(2, "LEAF").G(10, 1.0).G(20, 1.0); }).Eof();
  std::string random;
  std::uint32_t seed = 7;
  for (int i = 0; i < 4000; ++i) random += static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  const struct {
    const char* what;
    std::string text;
    const char* message;
  } cases[] = {
      {"half a file", whole.text.substr(0, whole.text.size() / 2), "DXF File Ends before EOF ... Can't Continue"},
      {"no EOF group", whole.text.substr(0, whole.text.rfind("  0")), "DXF File Ends before EOF ... Can't Continue"},
      {"empty", "", "DXF File Ends before EOF ... Can't Continue"},
      {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION", 31), "DXF File is not a Text DXF ... Can't Continue"},
      {"random bytes", random, "DXF File is not a Text DXF ... Can't Continue"},
      {"a damaged code line", "  0\nSECTION\n  2\nENTITIES\nLINE\n  0\n  0\nENDSEC\n  0\nEOF\n",
       "DXF Group Code Expected at Line 5 ... Can't Continue"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    DxfBuilder d;
    d.text = c.text;
    EXPECT_EQ(Run(d), 0);
    EXPECT_EQ(ui.EventsOf("box"), (std::vector<std::string>{std::string("box \"XCHIMP\" \"") + c.message + "\""}));
  }
  ui = {};
  ASSERT_EQ(Run(whole), 1);
  EXPECT_EQ(Body("TOP"), (Records{"=C|LEAF|0 1000 1000 0"}));
}

// Comment groups may stand anywhere, also between a SECTION or TABLE word and its name; numbers
// beyond the range of a double are clamped like any other overflow.
TEST_F(DxfImportTest, CommentsAnywhereAndHugeNumbers) {
  DxfBuilder d;
  d.G(999, "made by hand");
  d.G(0, "SECTION").G(999, "the tables").G(2, "TABLES");
  d.G(0, "TABLE").G(999, "layers").G(2, "LAYER").G(0, "LAYER").G(999, "one").G(2, "M").G(0, "ENDTAB");
  d.G(0, "ENDSEC");
  d.G(0, "SECTION").G(999, "drawing").G(2, "ENTITIES");
  d.G(0, "LINE").G(8, "M").G(10, "1e400").G(20, "-1e400").G(999, "far").G(11, "1e30").G(21, "1e-400");
  d.G(0, "ENDSEC").G(999, "end").Eof();
  ASSERT_EQ(Run(d, {4}), 1) << ::testing::PrintToString(ui.events);
  EXPECT_EQ(layers.names, (std::vector<std::string>{"M"}));
  EXPECT_EQ(Body("TOP"), (Records{"=P|4 0 2|8388607 -8388607 8388607 0 "}));
}

}  // namespace
