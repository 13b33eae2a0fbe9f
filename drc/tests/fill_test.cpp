// The scan fill of pixel polygons, against the rule it stands for: a pixel (i, r) is set when the point
// (i + 1/2, r) lies inside the outline just above the row (even-odd), checked by brute force on random
// outlines, self-crossing ones included.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "drc/rasteriser.h"
#include "drc/tests/drc_fixture.h"

namespace drc {
namespace {

using namespace drctest;
using Poly = std::vector<PixelPoint>;

Pixels Fill(const Poly& poly, bool closed = true) {
  BitMap m = NewMap();
  FillPolygon(m, poly, closed);
  return SetPixels(m);
}

TEST(Fill, BoxFillsItsHalfOpenPixelRange) {
  EXPECT_EQ(Fill({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}), Rect(0, 0, 10, 10));
  // Any direction round, and an extra point on an edge (so not the rectangle shortcut).
  EXPECT_EQ(Fill({{10, 10}, {10, 0}, {4, 0}, {0, 0}, {0, 10}, {10, 10}}), Rect(0, 0, 10, 10));
  // Clipped at the map's edges; a box ending at row 0 leaves row 0 empty.
  EXPECT_EQ(Fill({{-5, -5}, {3, -5}, {3, 2}, {-5, 2}, {-5, -5}}), Rect(0, 0, 3, 2));
  EXPECT_EQ(Fill({{-5, -9}, {3, -9}, {3, 0}, {2, 0}, {-5, 0}, {-5, -9}}), Pixels{});
  EXPECT_EQ(Fill({{1020, 630}, {1100, 630}, {1100, 700}, {1020, 700}, {1020, 630}}), Rect(1020, 630, 1024, 640));
  // A box of no height or no width covers no pixel.
  EXPECT_EQ(Fill({{2, 5}, {6, 5}, {6, 5}, {2, 5}, {2, 5}}), Pixels{});
  EXPECT_EQ(Fill({{2, 5}, {2, 9}, {2, 5}}), Pixels{});
}

TEST(Fill, OpenPolygonDrawsNothingUnlessClosedIsAsked) {
  Poly open{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(Fill(open, false), Pixels{});
  EXPECT_EQ(Fill(open, true), Rect(0, 0, 10, 10));
}

TEST(Fill, VerticesOnAScanRowCountOnlyWhereTheOutlinePassesThrough) {
  // A valley at (10, 0), sides passing through (0, 10) and (20, 10), a peak at (10, 20).
  Pixels diamond = Fill({{10, 0}, {20, 10}, {10, 20}, {0, 10}, {10, 0}});
  auto row = [&](int y) {
    std::vector<int> xs;
    for (auto [x, r] : diamond)
      if (r == y) xs.push_back(x);
    return xs;
  };
  EXPECT_TRUE(row(0).empty());  // the valley's two crossings meet
  EXPECT_EQ(row(10).size(), 20u);  // one crossing at each side vertex: columns 0..19
  EXPECT_EQ(row(10).front(), 0);
  EXPECT_TRUE(row(20).empty());  // no crossing at the peak
  EXPECT_EQ(row(19).size(), 2u);
}

// Even-odd inside test of (px, py) against the polygon.
bool Inside(const Poly& p, double px, double py) {
  bool in = false;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    double x0 = double(p[i].x), y0 = double(p[i].y), x1 = double(p[i + 1].x), y1 = double(p[i + 1].y);
    if ((y0 > py) != (y1 > py)) {
      double x = x0 + (py - y0) * (x1 - x0) / (y1 - y0);
      if (x > px) in = !in;
    }
  }
  return in;
}

// Pixels where an edge crosses row r exactly at the pixel's middle: the rounding of the crossing
// decides those, not the inside test.
bool Tie(const Poly& p, int i, int r) {
  for (std::size_t k = 0; k + 1 < p.size(); ++k) {
    long long x0 = p[k].x, y0 = p[k].y, x1 = p[k + 1].x, y1 = p[k + 1].y;
    if (y0 == y1 || r <= std::min(y0, y1) || r >= std::max(y0, y1)) continue;
    if (2 * ((x1 - x0) * (r - y0) + x0 * (y1 - y0)) == (2LL * i + 1) * (y1 - y0)) return true;
  }
  return false;
}

void CompareWithInsideTest(const Poly& poly, int width, int height) {
  Pixels got = Fill(poly);
  int mismatches = 0;
  for (int r = 0; r < height; ++r)
    for (int i = 0; i < width; ++i) {
      if (Tie(poly, i, r)) continue;
      bool want = Inside(poly, i + 0.5, r + 1e-7);
      if (want != (got.count({i, r}) == 1)) ++mismatches;
    }
  for (auto [x, y] : got) EXPECT_TRUE(x < width && y < height);
  EXPECT_EQ(mismatches, 0);
}

TEST(Fill, MatchesThePointInsideTestOnRandomPolygons) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> x(-10, 90), y(-10, 70), n(3, 12);
  for (int round = 0; round < 300; ++round) {
    Poly poly;
    int count = n(rng);
    for (int k = 0; k < count; ++k) poly.push_back({x(rng), y(rng)});
    poly.push_back(poly.front());
    SCOPED_TRACE(round);
    CompareWithInsideTest(poly, 100, 80);
  }
}

TEST(Fill, MatchesThePointInsideTestOnRandomStaircases) {
  // Rectilinear outlines: horizontal edges on scan rows everywhere, steps up and down, touching corners.
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> v(-3, 60), n(2, 9);
  for (int round = 0; round < 300; ++round) {
    Poly poly;
    long long cx = v(rng), cy = v(rng);
    poly.push_back({cx, cy});
    int count = n(rng);
    for (int k = 0; k < count; ++k) {
      cx = v(rng);
      poly.push_back({cx, cy});
      cy = v(rng);
      poly.push_back({cx, cy});
    }
    poly.push_back({poly.front().x, cy});
    poly.push_back(poly.front());
    SCOPED_TRACE(round);
    CompareWithInsideTest(poly, 70, 70);
  }
}

TEST(Fill, RectangleShortcutMatchesTheGeneralFill) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> v(-20, 1100);
  for (int round = 0; round < 200; ++round) {
    long long a = v(rng), b = v(rng), c = v(rng) % 700, d = v(rng) % 700;
    if (a == b || c == d) continue;
    BitMap quick = NewMap(), general = NewMap();
    FillPolygon(quick, {{a, c}, {b, c}, {b, d}, {a, d}, {a, c}}, true);
    FillPolygon(general, {{a, c}, {(a + b) / 2, c}, {b, c}, {b, d}, {a, d}, {a, c}}, true);
    int differing = 0;
    for (int y = 0; y < quick.WritableRows(); ++y) differing += MapRow(quick, y) != MapRow(general, y);
    EXPECT_EQ(differing, 0) << a << " " << b << " " << c << " " << d;
  }
}

TEST(Fill, OverlapModeMarksPixelsCoveredTwice) {
  BitMap t = NewMap(), twice = NewMap();
  FillPolygon(t, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true, &twice);
  FillPolygon(t, {{5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}}, true, &twice);
  // A triangle over both, taken through the general fill.
  FillPolygon(t, {{0, 20}, {0, 0}, {3, 0}, {0, 20}}, true, &twice);
  Pixels want = Rect(5, 5, 10, 10), boxes = Rect(0, 0, 10, 10);
  for (auto p : Rect(5, 5, 15, 15)) boxes.insert(p);
  BitMap tri = NewMap();
  FillPolygon(tri, {{0, 20}, {0, 0}, {3, 0}, {0, 20}}, true);
  for (auto p : SetPixels(tri))
    if (boxes.count(p)) want.insert(p);
  EXPECT_EQ(SetPixels(twice), want);
  // The triangle reaches above the boxes, where it is covered once only.
  EXPECT_TRUE(SetPixels(tri).count({0, 12}));
}

}  // namespace
}  // namespace drc
