#include "layerlogic/vectorise.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "layerlogic/tests/merge_by_scan.h"
#include "platform/tell/recorder.h"

namespace layerlogic {
namespace {

using Rows = std::vector<RowWords>;

void Set(Rows& rows, int x, int y) { rows[y][x >> 5] |= 0x80000000u >> (x & 31); }

void Fill(Rows& rows, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) Set(rows, x, y);
}

Rows Empty() { return Rows(1025, RowWords{}); }

// A picture drawn top row first: '#' set.
Rows Picture(const std::vector<std::string>& lines) {
  Rows rows = Empty();
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (std::size_t x = 0; x < lines[i].size(); ++x)
      if (lines[i][x] == '#') Set(rows, static_cast<int>(x), static_cast<int>(lines.size() - 1 - i));
  return rows;
}

struct Fixture {
  tell::Recorder ui;
  utilib::Job job{"MEROLL", ui};
  std::vector<TileBox> boxes;
  std::vector<std::vector<Point>> polygons;

  void Vectorise(const Rows& rows, TileFrame frame = {}) { RasterToBoxes(job, rows, frame, boxes); }
  void Polygons(PolygonOptions options = {}) {
    BoxesToPolygons(job, boxes, options, [this](std::span<const Point> p) {
      polygons.emplace_back(p.begin(), p.end());
      return true;
    });
  }
  std::vector<TileBox> Alive() const {
    std::vector<TileBox> out;
    for (const TileBox& b : boxes)
      if (!b.deleted) out.push_back(b);
    return out;
  }
};

TEST(RasterToBoxes, RunsOfIdenticalRowsBecomeOneBoxEach) {
  struct Case {
    const char* what;
    Rows rows;
    TileFrame frame;
    std::vector<TileBox> expected;
  } cases[] = {
      {"rectangle of 10 by 4 pixels", [] { Rows r = Empty(); Fill(r, 3, 2, 13, 6); return r; }(), {100, -50, 5},
       {{115, -40, 165, -20}}},
      {"a run across a strip border", [] { Rows r = Empty(); Fill(r, 30, 0, 40, 1); return r; }(), {0, 0, 1},
       {{30, 0, 40, 1}}},
      {"lone pixel in the last column", [] { Rows r = Empty(); Set(r, 1023, 7); return r; }(), {0, 0, 3},
       {{3069, 21, 3072, 24}}},
      {"row full to the right edge", [] { Rows r = Empty(); Fill(r, 1000, 1023, 1024, 1024); return r; }(),
       {0, 0, 2}, {{2000, 2046, 2048, 2048}}},
      {"two runs in a band, then a band of another shape",
       Picture({"#####...", "##..##..", "##..##.."}), {0, 0, 1},
       {{0, 0, 2, 2}, {4, 0, 6, 2}, {0, 2, 5, 3}}},
      {"empty rows between bands", Picture({"..##", "....", "##.."}), {0, 0, 1}, {{0, 0, 2, 1}, {2, 2, 4, 3}}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Vectorise(c.rows, c.frame);
    EXPECT_EQ(f.boxes, c.expected) << c.what;
    EXPECT_FALSE(f.job.abort) << c.what;
  }
}

TEST(RasterToBoxes, FullTableStopsTheRun) {
  Rows rows = Empty();
  for (int y = 0; y < 1024; ++y)
    for (int x = y & 1; x < 1024; x += 2) Set(rows, x, y);
  Fixture f;
  f.Vectorise(rows);
  EXPECT_EQ(f.boxes.size(), static_cast<std::size_t>(kMaxTileBoxes));
  EXPECT_TRUE(f.job.abort);
  EXPECT_EQ(f.ui.EventsOf("box"), (std::vector<std::string>{"box \"MEROLL\" \"Box Limit Reached\""}));
}

TEST(RasterToBoxes, AnAbortEndsTheBands) {
  Fixture f;
  f.job.abort = true;
  f.Vectorise(Picture({"#"}));
  EXPECT_TRUE(f.boxes.empty());
}

using lltest::MergeByScan;

TEST(MergeBoxes, BoxesSharingAWholeEdgeMerge) {
  struct Case {
    const char* what;
    std::vector<TileBox> in, out;
  } cases[] = {
      {"side by side, left first", {{0, 0, 2, 2}, {2, 0, 5, 2}}, {{0, 0, 5, 2}}},
      {"side by side, right first", {{2, 0, 5, 2}, {0, 0, 2, 2}}, {{0, 0, 5, 2}}},
      {"stacked, upper first", {{0, 2, 3, 4}, {0, 0, 3, 2}}, {{0, 0, 3, 4}}},
      {"L shape stays apart", {{0, 0, 4, 1}, {0, 1, 2, 2}}, {{0, 0, 4, 1}, {0, 1, 2, 2}}},
      {"a row grows in one pass", {{4, 0, 6, 1}, {6, 0, 8, 1}, {2, 0, 4, 1}, {8, 0, 9, 1}}, {{2, 0, 9, 1}}},
      {"grown edges let a later box in", {{0, 0, 2, 1}, {2, 0, 4, 1}, {0, 1, 4, 3}}, {{0, 0, 4, 3}}},
      // The earlier box is passed by before the growth that would have let it in.
      {"no second pass", {{0, 0, 2, 1}, {0, 1, 4, 3}, {2, 0, 4, 1}}, {{0, 0, 4, 1}, {0, 1, 4, 3}}},
  };
  for (const Case& c : cases) {
    std::vector<TileBox> t = c.in;
    MergeBoxes(t);
    std::vector<TileBox> alive;
    for (const TileBox& b : t)
      if (!b.deleted) alive.push_back(b);
    EXPECT_EQ(alive, c.out) << c.what;
  }
}

TEST(MergeBoxes, SameResultAsAScanOfTheTable) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<TileBox> t;
    if (round % 2 == 0) {
      // Boxes of a random raster, in the order the bands give them.
      Rows rows = Empty();
      const int density = 1 + round % 5;
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
          if (static_cast<int>(rng() % 6) < density) Set(rows, x, y);
      // Every fourth on a frame whose coordinates cross zero and span several key bytes.
      const TileFrame frame = round % 4 == 0 ? TileFrame{-40000, -30000, 1297} : TileFrame{};
      Fixture f;
      f.Vectorise(rows, frame);
      t = f.boxes;
    } else {
      // Small boxes on a coarse grid in any order, many sharing edges.
      const int n = 20 + static_cast<int>(rng() % 200);
      for (int i = 0; i < n; ++i) {
        const int x = static_cast<int>(rng() % 6), y = static_cast<int>(rng() % 6);
        const int w = 1 + static_cast<int>(rng() % 3), h = 1 + static_cast<int>(rng() % 3);
        t.push_back({x, y, x + w, y + h, rng() % 17 == 0});
      }
    }
    std::vector<TileBox> expected = t;
    MergeByScan(expected);
    MergeBoxes(t);
    ASSERT_EQ(t, expected) << "round " << round;
  }
}

TEST(BoxesToPolygons, AStackBecomesOnePolygonAndLeavesNoBoxes) {
  Fixture f;
  f.Vectorise(Picture({"##..", "####"}));
  MergeBoxes(f.boxes);
  ASSERT_EQ(f.Alive().size(), 2u);  // no full shared edge
  f.Polygons();
  EXPECT_TRUE(f.Alive().empty());
  ASSERT_EQ(f.polygons.size(), 1u);
  EXPECT_EQ(f.polygons[0], (std::vector<Point>{{0, 0}, {0, 2}, {2, 2}, {2, 1}, {4, 1}, {4, 0}, {0, 0}}));
}

TEST(BoxesToPolygons, BoxesNothingStacksOnStayBoxes) {
  Fixture f;
  f.boxes = {{0, 0, 4, 2}, {10, 0, 12, 2}, {4, 2, 8, 3}, {11, 2, 14, 5}};
  f.Polygons();
  // The first box only touches the box above at a corner.
  EXPECT_EQ(f.Alive(), (std::vector<TileBox>{{0, 0, 4, 2}, {4, 2, 8, 3}}));
  ASSERT_EQ(f.polygons.size(), 1u);
  EXPECT_EQ(f.polygons[0],
            (std::vector<Point>{{10, 0}, {10, 2}, {11, 2}, {11, 5}, {14, 5}, {14, 2}, {12, 2}, {12, 0}, {10, 0}}));
}

TEST(BoxesToPolygons, TallStacksAreCutAtTheCornerLimit) {
  Fixture f;
  // 130 boxes, each one unit up and one unit right of the one before.
  for (int k = 0; k < 130; ++k) f.boxes.push_back({k, k, k + 3, k + 1});
  f.Polygons();
  ASSERT_EQ(f.polygons.size(), 2u);
  EXPECT_TRUE(f.Alive().empty());
  // 125 boxes in the first (500 corners), the other 5 in the second.
  EXPECT_EQ(f.polygons[0].front(), (Point{0, 0}));
  EXPECT_EQ(f.polygons[1].front(), (Point{125, 125}));
  EXPECT_EQ(f.polygons[0].size(), 4u * 125 + 1);
  EXPECT_EQ(f.polygons[1].size(), 4u * 5 + 1);
}

TEST(ReduceVertices, OnePixelStaircaseBecomesASlantedEdge) {
  Fixture f;
  // A right triangle of pixels: row y holds columns 0..(8 - y).
  std::vector<std::string> lines;
  for (int y = 7; y >= 0; --y) lines.push_back(std::string(8 - y, '#') + std::string(y, '.'));
  f.Vectorise(Picture(lines), {0, 0, 10});
  MergeBoxes(f.boxes);
  PolygonOptions o;
  o.pixel = 10;
  o.ratio = 1;
  o.reduceVertices = true;
  o.scale = 10;
  f.Polygons(o);
  ASSERT_EQ(f.polygons.size(), 1u);
  const std::vector<Point>& p = f.polygons[0];
  // The steps go; the slant runs through their inner corners.
  EXPECT_EQ(p, (std::vector<Point>{{0, 0}, {0, 80}, {80, 0}, {0, 0}}));
}

TEST(CleanOutline, DropsRepeatsAndMiddlesOfVerticalRuns) {
  std::vector<Point> p = {{0, 0}, {0, 1}, {0, 1}, {0, 3}, {2, 3}, {2, 2}, {2, 0}, {0, 0}};
  CleanOutline(p);
  EXPECT_EQ(p, (std::vector<Point>{{0, 0}, {0, 3}, {2, 3}, {2, 0}, {0, 0}}));
}

TEST(CheckAcuteAngles, ReportsCornersSharperThanARightAngle) {
  Fixture f;
  CheckAcuteAngles(f.job, std::vector<Point>{{0, 0}, {0, 20}, {40, 20}, {40, 0}, {0, 0}}, 20);
  EXPECT_TRUE(f.ui.events.empty());

  CheckAcuteAngles(f.job, std::vector<Point>{{0, 0}, {0, 20}, {40, 0}, {0, 0}}, 20);
  EXPECT_EQ(f.ui.EventsOf("item"), (std::vector<std::string>{"item 515 \"Acute angle at X= 0 Y= 1\"",
                                                             "item 516 \"Acute angle at X= 2 Y= 0\""}));

  CheckAcuteAngles(f.job, std::vector<Point>{{5, 5}, {5, 5}, {5, 5}, {5, 5}}, 20);
  EXPECT_EQ(f.ui.EventsOf("box"), (std::vector<std::string>{"box \"MEROLL\" \"Acute angle is 0 deg ... Not Fixed\""}));
}

}  // namespace
}  // namespace layerlogic
