// The map type and its whole-map operations.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "drc/bitmap.h"

namespace drc {
namespace {

using Pixels = std::set<std::pair<int, int>>;

BitMap Map(const Pixels& pixels = {}) {
  BitMap m;
  EXPECT_TRUE(m.Allocate());
  for (auto [x, y] : pixels) SetMapPixel(m, x, y, 1);
  return m;
}

Pixels SetPixels(const BitMap& m) {
  Pixels out;
  for (int y = 0; y < m.WritableRows(); ++y)
    for (int x = 0; x < kMapWidth; ++x)
      if (TestMapPixel(m, x, y)) out.insert({x, y});
  return out;
}

TEST(BitMap, PixelsOutsideTheWritableMapAreNeitherWrittenNorRead) {
  BitMap m = Map();
  for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {1024, 0}, {0, -1}, {0, 643}, {5000, 5000}})
    SetMapPixel(m, x, y, 1);
  EXPECT_TRUE(SetPixels(m).empty());
  EXPECT_EQ(TestMapPixel(m, 1024, 0), 0);
  // The rows above the working rows still take single pixels.
  SetMapPixel(m, 0, 642, 1);
  SetMapPixel(m, 1023, 0, 1);
  EXPECT_EQ(SetPixels(m), (Pixels{{0, 642}, {1023, 0}}));
  EXPECT_EQ(m.Word(31, 0), 1u);  // the rightmost column is the lowest bit of strip 31
  EXPECT_EQ(m.Word(0, 642), 0x80000000u);
  SetMapPixel(m, 0, 642, 0);
  EXPECT_EQ(TestMapPixel(m, 0, 642), 0);
}

TEST(BitMap, SpansCoverHalfOpenColumnRangesAcrossStrips) {
  for (auto [a, b] : std::vector<std::pair<long long, long long>>{
           {0, 1}, {5, 9}, {31, 33}, {30, 70}, {0, 1024}, {-50, 3}, {1020, 5000}, {64, 64}, {9, 4}}) {
    BitMap m = Map();
    SetMapSpan(m, 7, a, b);
    Pixels want;
    for (long long x = std::max(a, 0LL); x < std::min(b, 1024LL); ++x) want.insert({int(x), 7});
    EXPECT_EQ(SetPixels(m), want) << a << ".." << b;
  }
}

TEST(BitMap, DoubleGrowsEachPixelLeftAndDownAcrossStrips) {
  EXPECT_EQ(SetPixels([] {
              BitMap m = Map({{40, 10}});
              DoubleMap(m);
              return m;
            }()),
            (Pixels{{39, 9}, {40, 9}, {39, 10}, {40, 10}}));
  BitMap m = Map({{32, 5}, {0, 3}, {700, 0}});
  DoubleMap(m);
  // Column 32 reaches column 31 of the strip to its left; column 0 has nothing left of it; row 0
  // grows neither left nor down.
  EXPECT_EQ(SetPixels(m), (Pixels{{31, 4}, {32, 4}, {31, 5}, {32, 5}, {0, 2}, {0, 3}, {700, 0}}));
}

TEST(BitMap, FullnessIgnoresTheBorderAndEmptinessSeesAnyPixel) {
  BitMap m = Map();
  EXPECT_EQ(IsMapNotEmpty(m), 0);
  EXPECT_EQ(IsMapNotFull(m), 1);
  FillMap(m);
  ClearMapBorder(m);
  EXPECT_EQ(IsMapNotFull(m), 0);
  EXPECT_EQ(IsMapNotEmpty(m), 1);
  EXPECT_EQ(TestMapPixel(m, 0, 5) + TestMapPixel(m, 1023, 5) + TestMapPixel(m, 5, 0) + TestMapPixel(m, 5, 639), 0);
  SetMapPixel(m, 1022, 638, 0);
  EXPECT_EQ(IsMapNotFull(m), 1);
  BitMap one = Map({{1023, 639}});
  EXPECT_EQ(IsMapNotEmpty(one), 1);
  // Rows above the working rows do not count.
  BitMap high = Map({{3, 641}});
  EXPECT_EQ(IsMapNotEmpty(high), 0);
}

TEST(BitMap, FlagsAreSeenOnlyInsideTheGuardWindow) {
  const int g = 40;
  struct Case {
    int x, y;
    int flagged;
  };
  for (Case c : std::vector<Case>{{39, 300, 0}, {40, 300, 1}, {983, 300, 1}, {984, 300, 0}, {500, 39, 0},
                                  {500, 40, 1}, {500, 599, 1}, {500, 600, 0}, {40, 40, 1}, {983, 599, 1},
                                  {0, 0, 0}, {1023, 639, 0}}) {
    BitMap m = Map({{c.x, c.y}});
    EXPECT_EQ(TestFlags(m, g), c.flagged) << c.x << "," << c.y;
  }
  EXPECT_EQ(TestFlags(Map({{0, 0}}), 0), 1);
  EXPECT_EQ(TestFlags(Map({{511, 320}}), 512), 0);  // a guard band wider than half the map
}

TEST(BitMap, LogicOperatorsWorkWordByWord) {
  BitMap a = Map({{1, 1}, {2, 2}}), b = Map({{2, 2}, {3, 3}});
  BitMap t = Map();
  CopyMap(t, a);
  AndMaps(t, b);
  EXPECT_EQ(SetPixels(t), (Pixels{{2, 2}}));
  CopyMap(t, a);
  OrMaps(t, b);
  EXPECT_EQ(SetPixels(t), (Pixels{{1, 1}, {2, 2}, {3, 3}}));
  CopyMap(t, a);
  XorMaps(t, b);
  EXPECT_EQ(SetPixels(t), (Pixels{{1, 1}, {3, 3}}));
  SwapMaps(t, a);
  EXPECT_EQ(SetPixels(a), (Pixels{{1, 1}, {3, 3}}));
  EXPECT_EQ(SetPixels(t), (Pixels{{1, 1}, {2, 2}}));
  NotMap(t);
  EXPECT_EQ(TestMapPixel(t, 1, 1), 0);
  EXPECT_EQ(TestMapPixel(t, 0, 0), 1);
  EXPECT_EQ(TestMapPixel(t, 0, 640), 0);  // only the working rows are inverted
  ClearMap(t);
  EXPECT_EQ(IsMapNotEmpty(t), 0);
}

TEST(BitMap, LayerLogicShapeHasItsOwnRows) {
  BitMap m;
  ASSERT_TRUE(m.Allocate(kTileRows, kTileRows));
  SetMapPixel(m, 10, 1024, 1);
  EXPECT_EQ(TestMapPixel(m, 10, 1024), 1);
  EXPECT_EQ(IsMapNotEmpty(m), 1);
  BitMap c;
  ASSERT_TRUE(c.Allocate());
  CopyMap(c, m);  // maps of another shape are left alone
  EXPECT_EQ(IsMapNotEmpty(c), 0);
  auto row = MapRow(m, 1024);
  EXPECT_EQ(row[0], 0x00200000u);
  PutMapRow(m, 3, row);
  EXPECT_EQ(TestMapPixel(m, 10, 3), 1);
}

TEST(BitMap, AllocationFailureLeavesNoMap) {
  SetMapBudgetForTests(1);
  BitMap a, b;
  EXPECT_TRUE(a.Allocate());
  EXPECT_FALSE(b.Allocate());
  EXPECT_FALSE(b.Allocated());
  SetMapBudgetForTests(-1);
  EXPECT_TRUE(b.Allocate());
}

}  // namespace
}  // namespace drc
