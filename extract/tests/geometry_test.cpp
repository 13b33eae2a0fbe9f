#include "extract/geometry.h"

#include <gtest/gtest.h>

namespace ext {
namespace {

Outline Polygon(std::vector<PathPoint> points) {
  Outline o;
  EXPECT_TRUE(PathOutline(points, 0, o));
  return o;
}

TEST(Geometry, ShapesTouchWhenTheyShareAnyPoint) {
  struct Case {
    const char* what;
    Outline a, b;
    bool touch;
  };
  const Outline square = BoxOutline(0, 0, 10, 10);
  const Outline triangle = Polygon({{20, 0}, {30, 0}, {20, 10}, {20, 0}});
  const Case cases[] = {
      {"a shared edge", square, BoxOutline(10, 2, 20, 8), true},
      {"a shared corner", square, BoxOutline(10, 10, 20, 20), true},
      {"an overlap one unit high", square, BoxOutline(5, 9, 15, 20), true},
      {"a box one unit high across the square", square, BoxOutline(-5, 4, 15, 5), true},
      {"a gap of one unit", square, BoxOutline(11, 0, 20, 10), false},
      {"a triangle's slanted edge through the box", triangle, BoxOutline(24, 4, 30, 10), true},
      {"a box clear of the slanted edge, inside the triangle's bounds", triangle, BoxOutline(27, 5, 30, 10), false},
      {"a box wholly inside a polygon", triangle, BoxOutline(21, 1, 22, 2), true},
      {"a polygon wholly inside a box", BoxOutline(0, 0, 100, 100), triangle, true},
      {"a slanted edge meeting a corner", Polygon({{0, 0}, {10, 10}, {0, 10}, {0, 0}}), BoxOutline(10, 10, 12, 12), true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OutlinesTouch(c.a, c.b), c.touch) << c.what;
    EXPECT_EQ(OutlinesTouch(c.b, c.a), c.touch) << c.what << " (other way round)";
  }
}

TEST(Geometry, AreasHoldTheirEdgesAndInsideOnly) {
  const Outline l = Polygon({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}, {0, 0}});
  EXPECT_TRUE(OutlineHolds(l, 5, 15));
  EXPECT_TRUE(OutlineHolds(l, 10, 15));  // on an edge
  EXPECT_TRUE(OutlineHolds(l, 20, 0));   // a corner
  EXPECT_TRUE(OutlineHolds(l, 15, 10));  // the inner edge
  EXPECT_FALSE(OutlineHolds(l, 15, 15)); // the notch
  EXPECT_FALSE(OutlineHolds(l, 21, 5));
}

TEST(Geometry, AreasAreTheWidthsOfEveryScanLineFromBottomToTop) {
  struct Case {
    const char* what;
    Outline outline;
    double area;
  };
  Outline wire;
  EXPECT_TRUE(PathOutline({{0, 0}, {20, 0}}, 4, wire));
  const Case cases[] = {
      // The bottom and top lines of a box hold no interval: w(h-1).
      {"a box 4 wide and 12 high", BoxOutline(0, 0, 4, 12), 44},
      {"the same box as a polygon with a vertex on its side", Polygon({{0, 0}, {4, 0}, {4, 6}, {4, 12}, {0, 12}, {0, 0}}), 44},
      {"a box one unit high", BoxOutline(0, 0, 10, 1), 0},
      {"a box of no height", BoxOutline(0, 5, 10, 5), 0},
      {"a wide path 20 long and 4 wide", wire, 60},
      // Rows 1..9 hold 10 - y each.
      {"a right triangle", Polygon({{0, 0}, {10, 0}, {0, 10}, {0, 0}}), 45},
      {"the triangle the other way round", Polygon({{0, 0}, {0, 10}, {10, 0}, {0, 0}}), 45},
      // Crossings of a slanted edge are truncated: rows 1 and 2 give 5 and 3.
      {"a flat triangle", Polygon({{0, 0}, {7, 0}, {0, 3}, {0, 0}}), 8},
      // The inner corner's row counts from the end of the horizontal edge on: the notch at row 10 is
      // 10 wide drawn anticlockwise and 20 wide drawn clockwise.
      {"an L anticlockwise", Polygon({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}, {0, 0}}), 180 + 10 + 90},
      {"an L clockwise", Polygon({{0, 0}, {0, 20}, {10, 20}, {10, 10}, {20, 10}, {20, 0}, {0, 0}}), 180 + 20 + 90},
      {"an open line", Polygon({{0, 0}, {10, 0}, {10, 10}}), 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(OutlineArea(c.outline), c.area) << c.what;
}

TEST(Geometry, WidePathsAreTracedByTheirOutline) {
  Outline wire;
  ASSERT_TRUE(PathOutline({{0, 0}, {100, 0}, {100, 50}}, 10, wire));
  EXPECT_TRUE(wire.closed);
  EXPECT_TRUE(OutlineHolds(wire, 50, 5));
  EXPECT_TRUE(OutlineHolds(wire, 104, 30));
  EXPECT_FALSE(OutlineHolds(wire, 50, 6));
  EXPECT_TRUE(OutlinesTouch(wire, BoxOutline(105, 20, 120, 30)));
  EXPECT_FALSE(OutlinesTouch(wire, BoxOutline(106, 20, 120, 30)));
  Outline none;
  EXPECT_FALSE(PathOutline({{5, 5}, {5, 5}}, 10, none));
  EXPECT_FALSE(PathOutline({{5, 5}}, 0, none));
}

TEST(Geometry, LinesJoinAtVerticesAndOnAxisParallelSegments) {
  const std::vector<PathPoint> l = {{0, 0}, {10, 0}, {10, 10}};
  EXPECT_TRUE(LinesJoin(l, {{10, 10}, {20, 20}}));  // a shared vertex
  EXPECT_TRUE(LinesJoin(l, {{5, 0}, {5, -10}}));    // a vertex on a horizontal segment
  EXPECT_TRUE(LinesJoin({{5, -10}, {5, 0}}, l));
  EXPECT_FALSE(LinesJoin(l, {{5, -5}, {5, 5}}));    // crossing without a vertex on the other
  EXPECT_FALSE(LinesJoin({{0, 0}, {10, 10}}, {{0, 10}, {10, 0}}));  // slanted lines crossing
  EXPECT_FALSE(LinesJoin({{0, 0}, {10, 10}}, {{5, 5}, {5, 20}}));   // a vertex on a slanted segment
}

}  // namespace
}  // namespace ext
