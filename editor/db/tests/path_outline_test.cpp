#include "editor/db/path_outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

using db::BuildPathOutline;
using db::OutlineOptions;
using db::OutlineStatus;
using db::PathPoint;
using Points = std::vector<PathPoint>;

Points Outline(const Points& path, int width, OutlineOptions options = {}) {
  Points out;
  EXPECT_EQ(BuildPathOutline(path, width, out, options), OutlineStatus::Ok);
  return out;
}

struct HandCase {
  const char* what;
  Points path;
  int width;
  Points expected;
};

TEST(PathOutline, HandCases) {
  const HandCase cases[] = {
      {"flush ends", {{0, 0}, {100, 0}}, 20, {{0, -10}, {0, 10}, {100, 10}, {100, -10}, {0, -10}}},
      {"extended ends",
       {{0, 0}, {100, 0}},
       -20,
       {{-10, -10}, {-10, 10}, {110, 10}, {110, -10}, {-10, -10}}},
      {"odd width loses the half unit", {{0, 0}, {0, 50}}, 21, {{10, 0}, {-10, 0}, {-10, 50}, {10, 50}, {10, 0}}},
      {"right-angle miter",
       {{0, 0}, {100, 0}, {100, 100}},
       20,
       {{0, -10}, {0, 10}, {90, 10}, {90, 100}, {110, 100}, {110, -10}, {0, -10}}},
      {"zero-length segments are skipped",
       {{0, 0}, {0, 0}, {100, 0}, {100, 0}, {100, 100}},
       20,
       {{0, -10}, {0, 10}, {90, 10}, {90, 100}, {110, 100}, {110, -10}, {0, -10}}},
      // A turn of 135 degrees: the outer side is bevelled at h, the inner side stops where the two
      // inner edges meet, so the outline does not cross itself.
      {"bevel, inner side trimmed",
       {{0, 0}, {100, 0}, {50, 50}},
       20,
       {{0, -10}, {0, 10}, {76, 10}, {43, 43}, {57, 57}, {114, 0}, {110, -10}, {0, -10}}},
  };
  for (const HandCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Outline(c.path, c.width), c.expected);
  }
}

TEST(PathOutline, PlainBevelOvershootsOnTheInnerSide) {
  OutlineOptions plain;
  plain.trimInnerBevel = false;
  Points expected = {{0, -10}, {0, 10}, {90, 10}, {86, 0}, {43, 43}, {57, 57}, {114, 0}, {110, -10}, {0, -10}};
  EXPECT_EQ(Outline({{0, 0}, {100, 0}, {50, 50}}, 20, plain), expected);
}

TEST(PathOutline, InnerSideNotTrimmedWhenASegmentIsTooShort) {
  // The inner edges would meet 24 units behind the corner; the second segment is only 14 long.
  Points out = Outline({{0, 0}, {100, 0}, {90, 10}}, 20);
  OutlineOptions plain;
  plain.trimInnerBevel = false;
  EXPECT_EQ(out, Outline({{0, 0}, {100, 0}, {90, 10}}, 20, plain));
}

TEST(PathOutline, DegenerateInput) {
  Points out = {{1, 1}};
  EXPECT_EQ(BuildPathOutline(Points{{5, 5}, {5, 5}}, 20, out), OutlineStatus::TooFewPoints);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(BuildPathOutline(Points{{0, 0}, {10, 0}}, 0, out), OutlineStatus::TooFewPoints);
  EXPECT_EQ(BuildPathOutline(Points{}, 20, out), OutlineStatus::TooFewPoints);
  // Half of width 1 is 0: the outline collapses onto the centre line.
  EXPECT_EQ(BuildPathOutline(Points{{0, 0}, {10, 0}}, 1, out), OutlineStatus::TooFewPoints);
}

TEST(PathOutline, TooManyPointsIsReportedNotCut) {
  Points zigzag;
  for (int i = 0; i < 300; ++i) zigzag.push_back({i * 100, (i % 2) * 100});
  Points out = {{7, 7}};
  std::size_t needed = 0;
  EXPECT_EQ(BuildPathOutline(zigzag, 20, out, {}, &needed), OutlineStatus::TooManyPoints);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(needed, 601u);

  OutlineOptions unlimited;
  unlimited.maxPoints = 0;
  EXPECT_EQ(BuildPathOutline(zigzag, 20, out, unlimited, &needed), OutlineStatus::Ok);
  EXPECT_EQ(out.size(), 601u);
  OutlineOptions exact;
  exact.maxPoints = 601;
  EXPECT_EQ(BuildPathOutline(zigzag, 20, out, exact), OutlineStatus::Ok);
}

// ---- Comparison with an independent path-to-polygon construction (klayout) ----

// For every case: the XOR area against klayout's path polygon on the integer grid, then the corner
// points of its exact (floating-point) path polygon.
const char* kXorScript = R"PY(
import pya
out = open(outfile, "w")
for line in open(infile):
    line = line.strip()
    if not line:
        continue
    head, path_s, poly_s = line.split("|")
    width = int(head)
    nums = [int(v) for v in path_s.split()]
    centre = list(zip(nums[0::2], nums[1::2]))
    nums = [int(v) for v in poly_s.split()]
    mine = pya.Region(pya.Polygon([pya.Point(x, y) for x, y in zip(nums[0::2], nums[1::2])]))
    ext = abs(width) // 2 if width < 0 else 0
    ref = pya.Region(pya.Path([pya.Point(x, y) for x, y in centre], abs(width), ext, ext).polygon())
    exact = pya.DPath([pya.DPoint(x, y) for x, y in centre], abs(width) // 2 * 2, ext, ext).polygon()
    pts = list(exact.each_point_hull())
    out.write("%d %d" % ((ref ^ mine).area(), len(pts)))
    for p in pts:
        out.write(" %.6f %.6f" % (p.x, p.y))
    out.write("\n")
out.close()
)PY";

struct KlayoutCase {
  Points path;
  int width;
};

std::string FindKlayout() {
  for (const char* dir : {"/usr/bin", "/usr/local/bin"}) {
    std::string p = std::string(dir) + "/klayout";
    if (std::filesystem::exists(p)) return p;
  }
  return "";
}

std::vector<KlayoutCase> ComparisonCases() {
  std::vector<KlayoutCase> cases = {
      {{{0, 0}, {1000, 0}}, 100},
      {{{0, 0}, {1000, 0}}, -100},
      {{{0, 0}, {1000, 0}, {1000, 800}, {-300, 800}}, 60},
      {{{0, 0}, {1000, 0}, {1000, 800}, {-300, 800}}, -60},
      {{{0, 0}, {0, 500}, {400, 500}, {400, 0}, {900, 0}}, 40},
      // 45 and 90 degree turns on diagonals
      {{{0, 0}, {1000, 0}, {2000, 1000}, {2000, 2000}}, 100},
      {{{0, 0}, {1000, 1000}, {2000, 0}, {3000, 1000}}, 80},
      {{{0, 0}, {1000, 1000}, {2000, 0}, {3000, 1000}}, -80},
      {{{-5000, 300}, {-4000, -700}, {-4000, -2000}, {-2000, -2000}}, 200},
      // Shallow, non-octilinear turns
      {{{0, 0}, {3000, 400}, {6000, 1500}, {9000, 1200}}, 300},
  };
  // Random Manhattan walks with long segments (no segment shorter than the width).
  std::mt19937 rng(12345);
  for (int n = 0; n < 20; ++n) {
    Points p = {{0, 0}};
    int dir = 0;
    int len = 3 + int(rng() % 6);
    for (int i = 0; i < len; ++i) {
      dir = (dir + (rng() % 2 ? 1 : 3)) % 4;
      int step = 200 + int(rng() % 2000);
      PathPoint q = p.back();
      if (dir == 0) q.x += step;
      if (dir == 1) q.y += step;
      if (dir == 2) q.x -= step;
      if (dir == 3) q.y -= step;
      p.push_back(q);
    }
    int width = 2 * (10 + int(rng() % 90));
    cases.push_back({p, n % 2 ? -width : width});
  }
  return cases;
}

TEST(PathOutline, MatchesKlayoutForTurnsUpTo90Degrees) {
  std::string klayout = FindKlayout();
  if (klayout.empty()) GTEST_SKIP() << "klayout is not installed";
  auto dir = std::filesystem::temp_directory_path() / ("outline_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::vector<KlayoutCase> cases = ComparisonCases();
  {
    std::ofstream in(dir / "cases.txt");
    for (const KlayoutCase& c : cases) {
      Points outline = Outline(c.path, c.width);
      in << c.width << " |";
      for (const PathPoint& p : c.path) in << ' ' << p.x << ' ' << p.y;
      in << " |";
      for (const PathPoint& p : outline) in << ' ' << p.x << ' ' << p.y;
      in << '\n';
    }
    std::ofstream(dir / "xor.py") << kXorScript;
  }
  std::string cmd = klayout + " -b -rd infile=" + (dir / "cases.txt").string() + " -rd outfile=" +
                    (dir / "result.txt").string() + " -r " + (dir / "xor.py").string() +
                    " >" + (dir / "log.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "klayout failed, see " << (dir / "log.txt");
  std::ifstream result(dir / "result.txt");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i) + " width " + std::to_string(cases[i].width));
    long long xorArea = -1;
    std::size_t count = 0;
    ASSERT_TRUE(result >> xorArea >> count) << "no result";
    std::vector<std::pair<double, double>> exact(count);
    for (auto& p : exact) ASSERT_TRUE(result >> p.first >> p.second);
    bool manhattan = true;
    for (std::size_t k = 1; k < cases[i].path.size(); ++k)
      manhattan &= cases[i].path[k].x == cases[i].path[k - 1].x || cases[i].path[k].y == cases[i].path[k - 1].y;
    // Off the axes the two tools round corners differently, so there only the exact corners count:
    // each is ours rounded to the nearest unit, and we have no other corners.
    if (manhattan) {
      EXPECT_EQ(xorArea, 0);
    }
    Points mine = Outline(cases[i].path, cases[i].width);
    ASSERT_EQ(mine.size(), count + 1);
    for (const auto& [x, y] : exact) {
      bool found = false;
      for (const PathPoint& p : mine) found |= std::fabs(p.x - x) <= 0.5 && std::fabs(p.y - y) <= 0.5;
      EXPECT_TRUE(found) << "no point of the outline near " << x << "," << y;
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
