#include "layerlogic/settings.h"

#include <gtest/gtest.h>

namespace layerlogic {
namespace {

Drawing Folder(double scale, std::string unit = "um") {
  Drawing d;
  d.scale = scale;
  d.unit = std::move(unit);
  d.hasCell = [](std::string_view name) { return name == "INV" || name == "TOP"; };
  return d;
}

Settings Normalised(const std::vector<std::pair<int, std::string>>& typed, const Drawing& d) {
  Settings s;
  SetDefaults(s);
  for (const auto& [slot, text] : typed) s.slots[slot] = text;
  Normalise(s, d);
  return s;
}

TEST(Settings, DefaultsNormaliseToTheirWrittenForm) {
  Settings s = Normalised({}, Folder(20));
  EXPECT_EQ(s.slots, (std::vector<std::string>{"???", "???.TLC", "1", "2", "3", "1um", "0um", "1um", "0um",
                                               "0um", "100um", "100um", "0", "MEROLL.RPT", "0", "N", "N", "N",
                                               "N", "N"}));
  EXPECT_EQ(s.resolution.pixel, 20);
  EXPECT_EQ(s.resolution.ratio, 1);
  EXPECT_EQ(s.resolution.minBox, 0);
}

TEST(Settings, SlotsTakeTheirNormalForm) {
  struct Case {
    int slot;
    std::string typed, expected;
  } cases[] = {
      {kCell, "inv", "INV"},
      {kCell, "nosuch", "???"},
      {kOutput, "out", "OUT.TLC"},
      {kOutput, "sub\\out", "SUB\\OUT.TLC"},
      {kOutput, "x.dat", "X.DAT"},
      {kOutput, "..\\x", "..\\X.TLC"},
      {kOutput, "", "???.TLC"},
      {kOutput, ".tlc", "???.TLC"},
      {kOutput, "sub/", "SUB/???.TLC"},
      {kLayerA, "0", "1"},
      {kLayerA, "-5", "1"},
      {kLayerA, "99", "64"},
      {kLayerB, "-1", "0"},
      {kLayerB, "0", "0"},
      {kLayerB, "70", "64"},
      {kLayerOut, "0", "1"},
      {kShowTime, "-3", "0"},
      {kShowTime, "2.9", "2"},
      {kReport, "", "MEROLL.RPT"},
      {kReport, "my.rpt", "MY.RPT"},
      {kOperation, "2", "2"},
      {kOperation, "7", "0"},
      {kOperation, "-1", "0"},
      {kNotA, "yes", "Y"},
      {kNotB, "true", "N"},
      {kConvertToPoly, "y", "Y"},
      {kReduceVertices, "", "N"},
  };
  for (const Case& c : cases) {
    Settings s = Normalised({{c.slot, c.typed}}, Folder(20));
    EXPECT_EQ(s.slots[c.slot], c.expected) << "slot " << c.slot << " typed '" << c.typed << "'";
  }
}

TEST(Settings, LengthsRoundToWholeDatabaseUnits) {
  struct Case {
    double scale;
    std::string map, seg, box;
    std::int32_t pixel;
    int ratio;
    std::int32_t minBox;
    std::string mapText, segText, boxText;
  } cases[] = {
      // Below one database unit: one unit.
      {20, "0.001", "0", "0", 1, 1, 0, "0.05um", "0.05um", "0um"},
      // 100 x 0.29 is 28.999... in floating point: still 29 units.
      {100, "0.29", "0.29", "0", 29, 1, 0, "0.29um", "0.29um", "0um"},
      // 0.3 / 0.1 is 2.999... in floating point: still a ratio of 3.
      {1000, "0.1", "0.3", "0", 100, 3, 0, "0.1um", "0.3um", "0um"},
      {20, "1", "0.5", "-2.5", 20, 1, 50, "1um", "1um", "2.5um"},
      {20, "-0.5", "5000", "0.02", 10, 100, 0, "0.5um", "50um", "0um"},
      {20, "0.5", "1.74", "0.03", 10, 3, 1, "0.5um", "1.5um", "0.05um"},
  };
  for (const Case& c : cases) {
    Settings s = Normalised({{kMapResolution, c.map}, {kMaxSegSize, c.seg}, {kMinBoxSize, c.box}}, Folder(c.scale));
    SCOPED_TRACE(c.map + " " + c.seg + " " + c.box);
    EXPECT_EQ(s.resolution.pixel, c.pixel);
    EXPECT_EQ(s.resolution.ratio, c.ratio);
    EXPECT_EQ(s.resolution.minBox, c.minBox);
    EXPECT_EQ(s.slots[kMapResolution], c.mapText);
    EXPECT_EQ(s.slots[kMaxSegSize], c.segText);
    EXPECT_EQ(s.slots[kMinBoxSize], c.boxText);
    // Written back and read again, nothing moves.
    Settings again = s;
    Normalise(again, Folder(c.scale));
    EXPECT_EQ(again.slots, s.slots);
  }
}

TEST(Settings, PixelsStayWithinATileTheCoordinatesCanHold) {
  Settings s = Normalised({{kMapResolution, "1e9"}}, Folder(20));
  EXPECT_EQ(s.resolution.pixel, 16384);
}

TEST(Settings, WindowIsOrderedAndFitWins) {
  Settings s = Normalised({{kLeft, "50"}, {kRight, "-10.5"}, {kBottom, "7"}, {kTop, "7"}}, Folder(20, "mil"));
  EXPECT_EQ(s.slots[kLeft], "-10.5mil");
  EXPECT_EQ(s.slots[kRight], "50mil");
  EXPECT_EQ(s.slots[kBottom], "7mil");
  EXPECT_EQ(s.slots[kTop], "7mil");

  s.fit = Window{1.25, 2, 3.5, 4};
  Normalise(s, Folder(20, "mil"));
  EXPECT_EQ(s.slots[kLeft], "1.25mil");
  EXPECT_EQ(s.slots[kTop], "4mil");
  EXPECT_FALSE(s.fit.has_value());
  s.slots[kLeft] = "2";
  Normalise(s, Folder(20, "mil"));
  EXPECT_EQ(s.slots[kLeft], "2mil");
}

TEST(Settings, SwitchesAndTimes) {
  Settings s = Normalised({{kShowTime, "3"}, {kOperation, "1"}, {kNotOut, "Y"}, {kConvertToPoly, "Yes"}},
                          Folder(20));
  EXPECT_EQ(s.showTimeMs, 3000);
  EXPECT_EQ(s.operation, Operation::Or);
  EXPECT_TRUE(s.notOut);
  EXPECT_TRUE(s.convertToPoly);
  EXPECT_FALSE(s.notA);
}

TEST(Settings, OutputCellName) {
  EXPECT_EQ(OutputCellName("OUT.TLC"), "OUT");
  EXPECT_EQ(OutputCellName("C:\\WORK\\SUB.DIR\\RES.TLC"), "RES");
  EXPECT_EQ(OutputCellName("/tmp/x/NAME"), "NAME");
}

}  // namespace
}  // namespace layerlogic
