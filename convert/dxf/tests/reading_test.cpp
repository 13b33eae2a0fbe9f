// The pieces the importer is built from: groups and items, the layer table, curves and orientations,
// and the settings of both programs.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/dxf/curves.h"
#include "convert/dxf/export_settings.h"
#include "convert/dxf/group_reader.h"
#include "convert/dxf/import_settings.h"
#include "convert/dxf/tests/dxf_test_util.h"

namespace dxf {
namespace {

using dxftest::DxfBuilder;

std::vector<std::string> Walk(const std::string& text) {
  std::vector<std::string> out;
  DxfScanner scanner(text);
  DxfItem item;
  while (scanner.NextDxfItem(item)) {
    std::string line = item.word + " s" + std::to_string(static_cast<int>(item.section)) + (item.inLayerTable ? " L" : "");
    for (const DxfGroup& g : item.groups) line += " " + std::to_string(g.code) + "=" + g.value;
    out.push_back(line);
  }
  return out;
}

TEST(DxfReading, ItemsKnowTheirSectionAndTable) {
  DxfBuilder d;
  d.G(999, "a comment before anything").G(9, "$NOTHING");
  d.Section("HEADER", [](DxfBuilder& b) { b.G(9, "$TEXTSIZE").G(40, 2.5); });
  d.Layers({"ENTITIES"});
  d.G(0, "section").G(2, "blocks").G(0, "BLOCK").G(2, "LAYER").G(0, "endblk").G(0, "ENDSEC");
  d.Eof().G(0, "LINE");
  EXPECT_EQ(Walk(d.text), (std::vector<std::string>{
                              "SECTION s1 2=HEADER 9=$TEXTSIZE 40=2.5",
                              "ENDSEC s0",
                              "SECTION s2 2=TABLES",
                              "TABLE s2 L 2=LAYER 70=1",
                              // A layer named like a section switches nothing.
                              "LAYER s2 L 2=ENTITIES 70=0 62=7 6=CONTINUOUS",
                              "ENDTAB s2",
                              "ENDSEC s0",
                              "SECTION s3 2=blocks",
                              "BLOCK s3 2=LAYER",
                              "ENDBLK s3",
                              "ENDSEC s0",
                              "EOF s0",
                          }));
}

// A value line longer than a group holds is cut, and the lines after it stay paired.
TEST(DxfReading, LongValuesAndLineEndsKeepGroupsPaired) {
  const std::string text = "  0\r\nTEXT\r\n  1\r\n" + std::string(300, 'x') + "\r\n 40\r\n2.5\r\n  0\nEOF\n";
  DxfScanner scanner(text);
  DxfItem item;
  ASSERT_TRUE(scanner.NextDxfItem(item));
  ASSERT_EQ(item.groups.size(), 2u);
  EXPECT_EQ(item.groups[0].value, std::string(126, 'x'));
  EXPECT_EQ(item.groups[1].code, 40);
  EXPECT_EQ(item.groups[1].Real(), 2.5);
  ASSERT_TRUE(scanner.NextDxfItem(item));
  EXPECT_EQ(item.word, "EOF");
  EXPECT_FALSE(scanner.NextDxfItem(item));
}

TEST(DxfReading, DamagedTextEndsTheItems) {
  for (const char* text : {"", "  0\n", "junk\nmore junk\n  0\nLINE\n 10"}) {
    DxfScanner scanner(text);
    DxfItem item;
    int items = 0;
    while (scanner.NextDxfItem(item) && items < 10) ++items;
    EXPECT_LE(items, 2) << text;  // a code line that is no number reads as 0
  }
}

TEST(DxfReading, LayerTableAndMap) {
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("Layer" + std::to_string(i) + (i == 1 ? std::string(30, 'z') : ""));
  DxfBuilder d;
  d.Layers(names).Eof();
  const std::vector<std::string> read = ReadDxfLayerTable(d.text);
  ASSERT_EQ(read.size(), 35u);
  EXPECT_EQ(read[0], "Layer0");
  EXPECT_EQ(read[1], "Layer1" + std::string(14, 'z'));
  EXPECT_EQ(read[34], "Layer34");

  ImportSettings s;
  SetImportDefaults(s);
  s.layers[0] = "7";
  s.layers[1] = "70";
  s.layers[34] = "-3";
  NormaliseImport(s, 1);
  EXPECT_EQ(s.layers[1], "64");
  EXPECT_EQ(s.layers[34], "0");
  DxfLayerMap map{read};
  EXPECT_EQ(map.MapDxfLayer(s, "LAYER0"), 7);
  EXPECT_EQ(map.MapDxfLayer(s, "layer1" + std::string(40, 'Z')), 64);  // compared as cut to 20
  EXPECT_EQ(map.MapDxfLayer(s, "Layer34"), 0);  // no layer typed
  EXPECT_EQ(map.MapDxfLayer(s, "Layer36"), 0);  // beyond the 35 shown
  EXPECT_EQ(map.MapDxfLayer(s, "Layer"), 0);
}

double Degrees(Point2 c, Point2 p) { return std::atan2(p.y - c.y, p.x - c.x) * 180 / M_PI; }

TEST(DxfCurves, CircleSteps) {
  const Point2 c{10, 20};
  std::vector<Point2> p = CirclePoints(c, 5, 5);
  ASSERT_EQ(p.size(), 73u);
  EXPECT_DOUBLE_EQ(p[0].x, 15);
  EXPECT_DOUBLE_EQ(p[0].y, 20);
  EXPECT_DOUBLE_EQ(p.back().x, p.front().x);
  // 360 / 7 gives 51 chords of 7 degrees whole: the last point at 350, the closing chord 10 degrees.
  p = CirclePoints(c, 5, 7);
  ASSERT_EQ(p.size(), 52u);
  EXPECT_NEAR(Degrees(c, p[1]), 7, 1e-9);
  EXPECT_NEAR(Degrees(c, p[50]), -10, 1e-9);
  EXPECT_EQ(CirclePoints(c, 5, 45).size(), 9u);
}

TEST(DxfCurves, ArcSweeps) {
  const Point2 c{0, 0};
  std::vector<Point2> ccw = ArcPoints(c, 10, 350, 10, false, 5);
  ASSERT_EQ(ccw.size(), 5u);  // 20 degrees in 4 chords
  EXPECT_NEAR(Degrees(c, ccw.front()), -10, 1e-9);
  EXPECT_NEAR(Degrees(c, ccw[1]), -5, 1e-9);
  EXPECT_NEAR(Degrees(c, ccw.back()), 10, 1e-9);
  std::vector<Point2> cw = ArcPoints(c, 10, 350, 10, true, 5);
  ASSERT_EQ(cw.size(), 69u);  // 340 degrees clockwise in 68 chords
  EXPECT_NEAR(Degrees(c, cw[1]), -15, 1e-9);
  EXPECT_NEAR(Degrees(c, cw.back()), 10, 1e-9);
  EXPECT_EQ(ArcPoints(c, 10, -30, 400, false, 5).size(), 15u);  // -30 is 330; 400 is 40: 70 degrees
  EXPECT_EQ(ArcPoints(c, 10, 0, 2, false, 5).size(), 2u);       // at least one chord
  EXPECT_EQ(ArcPoints(c, 10, 90, 90, false, 45).size(), 9u);    // the same angles: a whole turn
}

TEST(DxfCurves, BulgeArcs) {
  const Point2 a{0, 0}, b{10, 0};
  // A bulge of 0.5 is an arc of 106.26 degrees: 21 chords of 5 degrees, 20 points between.
  std::vector<Point2> p = BulgePoints(a, b, 0.5, 5);
  ASSERT_EQ(p.size(), 20u);
  // Counter-clockwise from a to b runs below the chord; every point is on one circle.
  const double sagitta = 0.5 * 10 / 2;
  double lowest = 0;
  const Point2 centre{5, (25 - sagitta * sagitta) / (2 * sagitta)};
  const double r = std::hypot(centre.x, centre.y);
  for (const Point2& q : p) {
    lowest = std::min(lowest, q.y);
    EXPECT_NEAR(std::hypot(q.x - centre.x, q.y - centre.y), r, 1e-9);
  }
  EXPECT_NEAR(lowest, -sagitta, 0.02);
  // Clockwise bulges bend the other way; a half circle has its centre on the chord.
  for (const Point2& q : BulgePoints(a, b, -1, 10)) {
    EXPECT_GT(q.y, 0);
    EXPECT_NEAR(std::hypot(q.x - 5, q.y), 5, 1e-9);
  }
  EXPECT_TRUE(BulgePoints(a, b, 0.02, 5).empty());  // 4.6 degrees: no chord of 5
  EXPECT_TRUE(BulgePoints(a, b, 0.03, 5).empty());  // 6.9 degrees: one chord
  EXPECT_EQ(BulgePoints(a, b, 0.05, 5).size(), 1u);  // 11.4 degrees: two chords
}

TEST(DxfCurves, Orientations) {
  const struct {
    bool mx, my;
    double rotation;
    int code;
  } cases[] = {
      {false, false, 0, 0},   {false, false, 90, 1},  {false, false, 180, 2}, {false, false, 270, 3},
      {true, false, 180, 4},  {true, false, 270, 5},  {true, false, 0, 6},    {true, false, 90, 7},
      {false, true, 0, 4},    {true, true, 0, 2},     {false, false, 45, 0},  {false, false, 45.1, 1},
      {false, false, 315, 3}, {false, false, 315.1, 0}, {false, false, 450, 1}, {false, false, -90, 3},
      {false, false, -450, 3}, {false, false, 720, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DxfOrientation(c.mx, c.my, c.rotation), c.code) << c.mx << c.my << " " << c.rotation;
  EXPECT_FALSE(OffQuarterTurn(-270));
  EXPECT_FALSE(OffQuarterTurn(90.05));
  EXPECT_TRUE(OffQuarterTurn(45));
}

TEST(DxfSettings, ExporterSlots) {
  ExportSettings s;
  SetExportDefaults(s);
  EXPECT_EQ(s.slots[1], "???.DXF");
  s.slots[0] = "d:\\work\\top.v2.tlc";
  s.slots[1] = "";
  s.slots[2] = "lyr";
  s.slots[3] = "no";
  s.slots[4] = "yes";
  s.slots[9] = "";
  s.slots[50] = "kept";
  NormaliseExport(s);
  EXPECT_EQ(s.slots[0], "D:\\WORK\\TOP.TLC");
  EXPECT_EQ(s.mainCell, "TOP");
  EXPECT_EQ(s.slots[1], "D:\\WORK\\TOP.DXF");
  EXPECT_EQ(s.prefix, "LYR");
  EXPECT_FALSE(s.convertText);
  EXPECT_EQ(s.slots[3], "N");
  EXPECT_TRUE(s.includeLastVertex);
  EXPECT_EQ(s.slots[9], "XCHEXP.RPT");
  EXPECT_EQ(s.slots[50], "KEPT");
  s.slots[1] = "..\\out\\draw.old";
  NormaliseExport(s);
  EXPECT_EQ(s.dxfFile, "..\\OUT\\DRAW.DXF");
}

TEST(DxfSettings, ImporterSlots) {
  ImportSettings s;
  SetImportDefaults(s);
  EXPECT_EQ(s.tlcFolder, ".\\");
  const struct {
    int slot;
    const char* typed;
    const char* stored;
  } cases[] = {
      {0, "chip", "CHIP.DXF"}, {0, "a/b.c/chip.x.y", "A/B.C/CHIP.DXF"}, {1, "out\\top", "OUT\\TOP.TLC"},
      {2, "MIL", "mil"},       {2, "", "um"},                           {3, "-5", "1"},
      {3, "0.0123456", "0.012346"}, {3, "123456", "1.2346e+05"},     {13, "cw", "CW"},
      {13, "clockwise", "CCW"}, {14, "-7", "7"},                       {14, "0.2", "1"},
      {14, "90", "45"},        {14, "2.34567", "2.346"},               {15, "", "XCHIMP.RPT"},
      {8, "true", "N"},
  };
  for (const auto& c : cases) {
    SetImportDefaults(s);
    s.main[c.slot] = c.typed;
    NormaliseImport(s, 0);
    EXPECT_EQ(s.main[c.slot], c.stored) << c.slot << " " << c.typed;
  }
  s.main[1] = "out\\top";
  NormaliseImport(s, 0);
  EXPECT_EQ(s.mainCell, "TOP");
  EXPECT_EQ(s.tlcFolder, "OUT\\");
  s.main[14] = "7";
  s.main[13] = "cw";
  NormaliseImport(s, 0);
  EXPECT_EQ(s.segmentAngle, 7);
  EXPECT_TRUE(s.clockwise);
}

}  // namespace
}  // namespace dxf
