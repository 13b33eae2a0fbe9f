// The rasteriser's walk over a drawing folder: placement through levels of instances, culling, the
// fixed-size and overlap modes, and the run errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "drc/rasteriser.h"
#include "drc/tests/drc_fixture.h"
#include "editor/db/cell_files.h"
#include "platform/os/path.h"

namespace drc {
namespace {

using namespace drctest;

AreaFrame Frame(long long x0, long long y0, double p) {
  AreaFrame f;
  f.x0 = x0;
  f.y0 = y0;
  f.pixel = p;
  f.x1 = x0 + static_cast<long long>(1024 * p);
  f.y1 = y0 + static_cast<long long>(640 * p);
  return f;
}

Pixels MapOf(Drawing& d, const std::string& top, int layer, const AreaFrame& f, const RasterModes& modes = {},
             int* error = nullptr) {
  EXPECT_TRUE(d.ok);
  Rasteriser r(*d.db);
  r.SetTopCell(d.Row(top));
  BitMap m = NewMap();
  int e = r.MapLayer(m, layer, f, modes);
  if (error) *error = e;
  else EXPECT_EQ(e, kRunOk);
  return SetPixels(m);
}

TEST(Raster, BoxOfTenPixelsFillsTenColumnsAndRows) {
  Drawing d({Cell("TOP", 1, {0, 0, 100, 100}, {Box(1, 0, 0, 100, 100), Box(2, 0, 0, 5, 5)})});
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(0, 0, 10)), Rect(0, 0, 10, 10));
  // Another layer, an area further on, a pixel size that is not whole.
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(-40, 30, 10)), Rect(4, 0, 14, 7));
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(0, 0, 2.5)), Rect(0, 0, 40, 40));
  EXPECT_EQ(MapOf(d, "TOP", 2, Frame(0, 0, 1)), Rect(0, 0, 5, 5));
  EXPECT_EQ(MapOf(d, "TOP", 3, Frame(0, 0, 1)), Pixels{});
}

std::array<long long, 2> Oriented(int code, long long x, long long y);

// A top cell of many instances, in every orientation and with one that spans them all, is drawn the
// same through its instance grid as shape by shape: areas over the middle, an edge, and outside.
TEST(Raster, ManyInstancesGiveTheMapOfTheirShapes) {
  std::vector<RefSpec> refs;
  Pixels expected[3];
  const AreaFrame frames[3] = {Frame(1000, 700, 2), Frame(-300, -200, 3), Frame(50000, 0, 1)};
  auto add = [&](long long l, long long b, long long r, long long t) {
    for (int k = 0; k < 3; ++k) {
      const AreaFrame& f = frames[k];
      auto px = [&](long long v, long long o) { return std::llround(double(v - o) / f.pixel); };
      for (const auto& p : Rect(int(px(l, f.x0)), int(px(b, f.y0)), int(px(r, f.x0)), int(px(t, f.y0))))
        if (p.first >= 0 && p.first < 1024 && p.second >= 0 && p.second < 640) expected[k].insert(p);
    }
  };
  for (int i = 0; i < 30; ++i)
    for (int j = 0; j < 20; ++j) {
      const int code = (i + j) % 8, x = 100 * i + 40, y = 100 * j + 40;
      refs.push_back({"LEAF", code, x, y});
      // LEAF's box 0..30 by 0..10 turned by the code, then moved.
      auto a = Oriented(code, 0, 0), b = Oriented(code, 30, 10);
      add(std::min(a[0], b[0]) + x, std::min(a[1], b[1]) + y, std::max(a[0], b[0]) + x, std::max(a[1], b[1]) + y);
    }
  refs.push_back({"WIDE", 0, 0, 0});
  add(-500, 1500, 4000, 1510);
  Drawing d({Cell("LEAF", 1, {0, 0, 30, 10}, {Box(1, 0, 0, 30, 10)}),
             Cell("WIDE", 1, {-500, 1500, 4000, 1510}, {Box(1, -500, 1500, 4000, 1510)}),
             Cell("TOP", 2, {-500, -500, 4000, 2500}, {}, {}, refs)});
  Rasteriser r(*d.db);
  r.SetTopCell(d.Row("TOP"));
  for (int k = 0; k < 3; ++k) {
    BitMap m = NewMap();
    EXPECT_EQ(r.MapLayer(m, 1, frames[k]), kRunOk);
    EXPECT_EQ(SetPixels(m), expected[k]) << k;
  }
}

// The eight orientation codes written out, not through the routine under test.
std::array<long long, 2> Oriented(int code, long long x, long long y) {
  switch (code) {
    case 1: return {-y, x};
    case 2: return {-x, -y};
    case 3: return {y, -x};
    case 4: return {x, -y};
    case 5: return {y, x};
    case 6: return {-x, y};
    case 7: return {-y, -x};
    default: return {x, y};
  }
}

TEST(Raster, NestedInstancesAreMirroredOrTurnedFirstThenTurnedByTheirHolderThenOffset) {
  // An L of two boxes in the leaf, so that every orientation looks different.
  const std::vector<db::BoxRecord> leaf{Box(1, 0, 0, 30, 10), Box(1, 0, 10, 10, 40)};
  for (int inner = 0; inner < 8; ++inner)
    for (int outer : {0, 1, 3, 4, 6}) {
      SCOPED_TRACE(std::to_string(inner) + " in " + std::to_string(outer));
      Drawing d({Cell("LEAF", 1, {0, 0, 30, 40}, leaf),
                 Cell("MID", 2, {-200, -200, 200, 200}, {}, {}, {{"LEAF", inner, 100, 50}}),
                 Cell("TOP", 3, {-500, -500, 900, 900}, {}, {}, {{"MID", outer, 500, 300}})});
      Pixels want;
      for (const db::BoxRecord& b : leaf) {
        auto place = [&](long long x, long long y) {
          auto [mx, my] = Oriented(inner, x, y);
          auto [tx, ty] = Oriented(outer, mx + 100, my + 50);
          return std::array<long long, 2>{tx + 500, ty + 300};
        };
        auto a = place(b.left, b.bottom), c = place(b.right, b.top);
        for (auto p : Rect(int(std::min(a[0], c[0])) - 300, int(std::min(a[1], c[1])) - 100,
                           int(std::max(a[0], c[0])) - 300, int(std::max(a[1], c[1])) - 100))
          want.insert(p);
      }
      EXPECT_EQ(MapOf(d, "TOP", 1, Frame(300, 100, 1)), want);
    }
}

TEST(Raster, ChildrenAreReadOnlyWhenTheirPlacedOutlineMeetsTheWindow) {
  Drawing d({Cell("LEAF", 1, {0, 0, 10, 10}, {Box(1, 0, 0, 10, 10)}),
             Cell("TOP", 2, {0, 0, 5010, 5010}, {Box(1, 20, 20, 30, 30)}, {},
                  {{"LEAF", 0, 0, 0}, {"LEAF", 0, 5000, 5000}})});
  // Each file once: the top cell's references and objects, and the leaf only where it is drawn.
  Rasteriser r(*d.db);
  r.SetTopCell(d.Row("TOP"));
  BitMap m = NewMap();
  AreaFrame far = Frame(2000, 2000, 1);
  EXPECT_EQ(r.MapLayer(m, 1, far), kRunOk);
  EXPECT_EQ(IsMapNotEmpty(m), 0);
  EXPECT_EQ(r.FileReads(), 2);
  EXPECT_EQ(r.MapLayer(m, 1, Frame(0, 0, 1)), kRunOk);
  Pixels want = Rect(0, 0, 10, 10);
  for (auto p : Rect(20, 20, 30, 30)) want.insert(p);
  EXPECT_EQ(SetPixels(m), want);
  EXPECT_EQ(r.FileReads(), 3);
  // The same areas again read nothing more.
  r.MapLayer(m, 1, Frame(4990, 4990, 1));
  EXPECT_EQ(SetPixels(m), Rect(10, 10, 20, 20));
  EXPECT_EQ(r.FileReads(), 3);
}

TEST(Raster, InstancesOfCellsNotBelowTheirHoldersRankAreSkipped) {
  // A damaged folder in which a cell places one of its own rank.
  Drawing d({Cell("SAME", 2, {0, 0, 10, 10}, {Box(1, 0, 0, 10, 10)}),
             Cell("TOP", 2, {0, 0, 100, 100}, {Box(1, 50, 50, 60, 60)}, {}, {{"SAME", 0, 0, 0}})});
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(0, 0, 1)), Rect(50, 50, 60, 60));
}

TEST(Raster, PathsPolygonsAndTextsOfTheLayer) {
  std::vector<std::pair<std::int32_t, std::int32_t>> comb;  // a polygon of more than 512 points
  for (int k = 0; k < 200; ++k) {
    comb.push_back({2 * k, 0});
    comb.push_back({2 * k, 10});
    comb.push_back({2 * k + 1, 10});
    comb.push_back({2 * k + 1, 0});
  }
  comb.push_back({0, 0});
  Drawing d({Cell("TOP", 1, {-100, -100, 1000, 1000}, {},
                  {Path(1, 20, {{0, 100}, {100, 100}}),            // flush ends
                   Path(2, -20, {{0, 100}, {100, 100}}),           // ends extended
                   Path(3, 0, {{0, 0}, {40, 0}, {0, 40}, {0, 0}}),  // a closed triangle
                   Path(4, 0, {{0, 0}, {40, 0}, {40, 40}, {0, 40}}),  // open: not drawn
                   Text(5, 30, 0, 0, "TEXT"),                        // never drawn
                   Path(6, 0, comb)})});
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(0, 0, 1)), Rect(0, 90, 100, 110));
  EXPECT_EQ(MapOf(d, "TOP", 2, Frame(-10, 0, 1)), Rect(0, 90, 120, 110));
  EXPECT_EQ(MapOf(d, "TOP", 3, Frame(0, 0, 1)).size(), 40u * 41u / 2u);  // rows of 40, 39, ... 1
  EXPECT_EQ(MapOf(d, "TOP", 4, Frame(0, 0, 1)), Pixels{});
  EXPECT_EQ(MapOf(d, "TOP", 5, Frame(-50, -50, 1)), Pixels{});
  Pixels teeth;
  for (int k = 0; k < 200; ++k)
    for (auto p : Rect(2 * k, 0, 2 * k + 1, 10)) teeth.insert(p);
  EXPECT_EQ(MapOf(d, "TOP", 6, Frame(0, 0, 1)), teeth);
}

TEST(Raster, FixedSizeModeDrawsSquaresAtLowerLeftCorners) {
  RasterModes fixed;
  fixed.fixedSize = true;
  fixed.side = 6;
  Drawing d({Cell("CUT", 1, {0, 0, 20, 30}, {Box(1, 0, 0, 20, 30)},
                  {Path(1, 0, {{50, 50}, {58, 50}, {58, 60}, {50, 60}, {50, 50}}),   // five points: a square
                   Path(1, 0, {{80, 80}, {90, 80}, {90, 90}, {80, 80}}),             // four: skipped
                   Path(1, 0, {{0, 80}, {9, 80}, {9, 85}, {9, 90}, {0, 90}, {0, 80}}),  // six: skipped
                   Path(1, 10, {{100, 100}, {200, 100}})}),                          // wide: skipped
             // Turned a quarter, the box's first corner is its lower-right one.
             Cell("TOP", 2, {-200, -200, 200, 200}, {}, {}, {{"CUT", 1, 0, 0}})});
  Pixels want = Rect(0, 0, 6, 6);
  for (auto p : Rect(50, 50, 56, 56)) want.insert(p);
  EXPECT_EQ(MapOf(d, "CUT", 1, Frame(0, 0, 1), fixed), want);
  // In TOP the box lies at x -30..0, y 0..20: the square sits at (-30, 0).
  Pixels turned = Rect(70, 100, 76, 106);
  for (auto p : Rect(40, 150, 46, 156)) turned.insert(p);  // the polygon's points turned: x -60..-50, y 50..58
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(-100, -100, 1), fixed), turned);
}

TEST(Raster, UnreadableCellFilesStopTheWalkWithTheirError) {
  Drawing d({Cell("LEAF", 1, {0, 0, 10, 10}, {Box(1, 0, 0, 10, 10)}),
             Cell("MID", 2, {0, 0, 10, 10}, {}, {}, {{"LEAF", 0, 0, 0}}),
             Cell("TOP", 3, {0, 0, 100, 100}, {Box(1, 50, 50, 60, 60)}, {}, {{"MID", 0, 0, 0}})});
  int error = -1;
  ASSERT_EQ(os::RemoveFile("Leaf.bp6"), 1);
  MapOf(d, "TOP", 1, Frame(0, 0, 1), {}, &error);
  EXPECT_EQ(error, kObjectsFailed);
  ASSERT_EQ(os::RemoveFile("Mid.cl6"), 1);
  MapOf(d, "TOP", 1, Frame(0, 0, 1), {}, &error);
  EXPECT_EQ(error, kReferencesFailed);
  // Outside the window nothing is read, so nothing fails.
  EXPECT_EQ(MapOf(d, "TOP", 1, Frame(30, 30, 1), {}, &error), Rect(20, 20, 30, 30));
  EXPECT_EQ(error, kRunOk);
}

TEST(Raster, StopEndsTheWalkAtOnce) {
  std::vector<db::BoxRecord> boxes;
  for (int k = 0; k < 50; ++k) boxes.push_back(Box(1, 10 * k, 0, 10 * k + 5, 5));
  Drawing d({Cell("TOP", 1, {0, 0, 500, 5}, boxes)});
  Rasteriser r(*d.db);
  r.SetTopCell(d.Row("TOP"));
  int polls = 0;
  r.stop = [&] { return ++polls > 3; };
  BitMap m = NewMap();
  EXPECT_EQ(r.MapLayer(m, 1, Frame(0, 0, 1)), kRunOk);
  EXPECT_EQ(SetPixels(m).size(), 2u * 25u);  // the polls before the walk and before each box
}

TEST(Raster, RoundingCheckSeesPointsOffThePixelGridAndMayDropThem) {
  Drawing d({Cell("TOP", 1, {0, 0, 100, 100}, {Box(1, 0, 0, 40, 40), Box(1, 50, 50, 75, 80)},
                  {Path(1, 10, {{0, 90}, {40, 90}})})});
  Rasteriser r(*d.db);
  r.SetTopCell(d.Row("TOP"));
  std::vector<std::array<double, 3>> seen;
  r.roundingCheck = [&](double x, double y, bool outline) {
    seen.push_back({x, y, outline ? 1.0 : 0.0});
    return false;
  };
  BitMap m = NewMap();
  r.MapLayer(m, 1, Frame(0, 0, 10));
  // (75, 50) rounds up, (75, 80) too; the path's outline at y 85 and 95 rounds 8.5 and 9.5 away.
  EXPECT_EQ(seen.front(), (std::array<double, 3>{75, 50, 0}));
  EXPECT_EQ(seen.back()[2], 1.0);
  EXPECT_EQ(SetPixels(m), Rect(0, 0, 4, 4));  // only the box on the grid is drawn
}

}  // namespace
}  // namespace drc
