#include "utilib/geometry_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/tell/recorder.h"

namespace utilib {
namespace {

using db::PathPoint;
using Points = std::vector<PathPoint>;

struct Fixture {
  tell::Recorder ui;
  Job job{"STRMEXP", ui};
  GeometrySettings g;
  Fixture() { g.scale = 10; }
  // Texts of the report lines, in order.
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const std::string& e : ui.EventsOf("item")) {
      int id = std::atoi(e.c_str() + 5);
      if (id >= g.firstLine && id < g.firstLine + g.lines) {
        std::size_t q = e.find('"');
        out.push_back(e.substr(q + 1, e.size() - q - 2));
      }
    }
    return out;
  }
};

Shape Poly(Points v, int layer = 3) {
  Shape s;
  s.layer = layer;
  s.v = std::move(v);
  return s;
}

TEST(GeometryChecks, DuplicateVerticesCollapse) {
  Fixture f;
  Shape s = Poly({{0, 0}, {10, 0}, {10, 0}, {10, 0}, {10, 20}, {0, 0}});
  RemoveDuplicateVertices(f.job, f.g, s);
  EXPECT_EQ(s.v, (Points{{0, 0}, {10, 0}, {10, 20}, {0, 0}}));
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"Duplicate Vertex Removed at X=1 Y=0 L=3",
                                                 "Duplicate Vertex Removed at X=1 Y=0 L=3"}));
}

TEST(GeometryChecks, CrushedBox) {
  {
    Fixture f;
    EXPECT_EQ(CheckCrushedBox(f.job, f.g, 2, 0, 0, 10, 10), 1);
    EXPECT_EQ(CheckCrushedBox(f.job, f.g, 2, 50, 0, 50, 10), 1);
    EXPECT_EQ(f.Lines(), std::vector<std::string>{"Crushed Box at X=5 Y=0 L=2"});
    EXPECT_TRUE(f.ui.EventsOf("box").empty());
  }
  {
    Fixture f;
    f.g.protocol = true;
    f.ui.boxAnswers = {tell::Answer::Ok, tell::Answer::Cancel};
    EXPECT_EQ(CheckCrushedBox(f.job, f.g, 2, 0, 30, 10, 30), 0);
    EXPECT_FALSE(f.job.abort);
    EXPECT_EQ(f.Lines(), std::vector<std::string>{"Crushed Box Removed at X=0 Y=3 L=2"});
    EXPECT_EQ(f.ui.EventsOf("box")[0],
              "box \"STRMEXP\" \"Crushed Box at X=0 Y=3 L=2\\n\\nRemove It or Cancel Conversion?\" okcancel");
    EXPECT_EQ(CheckCrushedBox(f.job, f.g, 2, 0, 30, 10, 30), 0);
    EXPECT_TRUE(f.job.abort);
  }
}

TEST(GeometryChecks, PolyShapeWithProtocolOff) {
  struct Case {
    const char* what;
    Points v;
    int width;
    int defaultWidth;
    int result;
    bool toPath;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"single point", {{10, 10}}, 0, 0, 0, false, {"Single Point Removed at X=1 Y=1 L=3"}},
      {"segment to path", {{0, 0}, {10, 0}}, 0, 5, 1, true, {"Poly Line Segment Changed to Path at X=0 Y=0 L=3"}},
      {"segment, no default width", {{0, 0}, {10, 0}}, 0, 0, 1, false, {}},
      {"folded", {{0, 0}, {10, 0}, {0, 0}}, 0, 5, 0, false, {"Folded Poly at X=0 Y=0 L=3"}},
      {"open to path", {{0, 0}, {10, 0}, {10, 10}}, 0, 5, 1, true, {"Open Poly Changed to Path at X=0 Y=0 L=3"}},
      {"closed", {{0, 0}, {10, 0}, {10, 10}, {0, 0}}, 0, 5, 1, false, {}},
      {"paths pass", {{0, 0}, {10, 0}}, 4, 5, 1, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.g.defaultPathWidth = c.defaultWidth;
    Shape s = Poly(c.v);
    s.width = c.width;
    EXPECT_EQ(CheckPolyShape(f.job, f.g, s), c.result);
    EXPECT_EQ(s.toPath, c.toPath);
    EXPECT_EQ(f.Lines(), c.lines);
    EXPECT_TRUE(f.ui.EventsOf("box").empty());
  }
}

TEST(GeometryChecks, TooManyVerticesIsReportedAndKept) {
  Fixture f;
  Points v;
  for (int i = 0; i < 201; ++i) v.push_back({i, i % 2});
  Shape s = Poly(v);
  EXPECT_EQ(CheckPolyShape(f.job, f.g, s), 1);
  EXPECT_EQ(s.Count(), 201);
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"More than 200 Vertices in Poly at X=0 Y=0 L=3"});
}

TEST(GeometryChecks, OpenSquareIsClosedOnRequest) {
  Fixture f;
  f.g.protocol = true;
  Shape s = Poly({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  EXPECT_EQ(CheckPolyShape(f.job, f.g, s), 1);
  EXPECT_EQ(s.Count(), 5);
  EXPECT_EQ(s.v.back(), (PathPoint{0, 0}));
  EXPECT_EQ(f.ui.EventsOf("box"),
            std::vector<std::string>{"box \"STRMEXP\" \"Open Poly at X=0 Y=0 L=3\\n\\nClose It or Cancel Conversion?\" okcancel"});
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"Open Poly Closed at X=0 Y=0 L=3"});

  // Cancel stops the conversion and drops the shape.
  Fixture c;
  c.g.protocol = true;
  c.ui.boxAnswers = {tell::Answer::Cancel};
  Shape t = Poly({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  EXPECT_EQ(CheckPolyShape(c.job, c.g, t), 0);
  EXPECT_TRUE(c.job.abort);
}

TEST(GeometryChecks, OpenPolyWithoutRoomIsReportedNotSilentlyKept) {
  Fixture f;
  f.g.protocol = true;
  Points v;
  for (int i = 0; i < 256; ++i) {
    v.push_back({i * 10, i * 10});
    v.push_back({i * 10 + 10, i * 10});
  }
  Shape s = Poly(v);
  ASSERT_EQ(s.Count(), kMaxShapeVertices);
  EXPECT_EQ(CheckPolyShape(f.job, f.g, s), 1);
  EXPECT_EQ(s.Count(), kMaxShapeVertices);
  EXPECT_EQ(f.ui.EventsOf("box").size(), 1u);
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"More than 200 Vertices in Poly at X=0 Y=0 L=3",
                                                 "Open Poly of 512 Vertices Not Closed at X=0 Y=0 L=3"}));
}

TEST(GeometryChecks, AcuteAngles) {
  struct Case {
    const char* what;
    Points v;
    bool closing;
    int found;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"right angle is not acute", {{0, 0}, {100, 0}, {100, 100}}, false, 0, {}},
      {"sharp turn", {{0, 0}, {100, 0}, {0, 10}}, false, 1, {"Acute Poly/Path Angle in Poly at X=10 Y=0 L=3"}},
      {"duplicate vertex gives no false angle",
       {{0, 0}, {100, 0}, {100, 0}, {200, 0}},
       false,
       0,
       {"Duplicate Vertices at X=10 Y=0 L=3", "Duplicate Vertices at X=10 Y=0 L=3"}},
      // A closed triangle with a sharp corner at its first vertex: only the wrap-around corner sees it.
      {"wrap-around corner of a closed polygon",
       {{0, 0}, {1000, 100}, {1000, 0}, {0, 0}},
       false,
       1,
       {"Acute Poly/Path Angle in Poly at X=100 Y=10 L=3", "Acute Poly/Path Angle in Poly at X=0 Y=0 L=3"}},
      {"closing looks only at the new corners",
       {{0, 0}, {1000, 0}, {1000, 1000}, {990, 0}, {0, 0}},
       true,
       1,
       {"Acute Poly Angle when Closed at X=0 Y=0 L=3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    EXPECT_EQ(CheckAcuteAngles(f.job, f.g, Poly(c.v), c.closing), c.found);
    EXPECT_EQ(f.Lines(), c.lines);
  }
}

TEST(GeometryChecks, Circulation) {
  struct Case {
    const char* what;
    Points v;
    bool reported;
  };
  const Case cases[] = {
      {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, false},
      {"square clockwise", {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, false},
      {"one reflex corner", {{0, 0}, {20, 0}, {20, 20}, {10, 5}, {0, 20}, {0, 0}}, false},
      {"with a zero-length segment", {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, false},
      {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, true},
      {"wound twice",
       {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 0}, {0, 0}},
       true},
  };
  for (const Case& c : cases) {
    Fixture f;
    EXPECT_EQ(CheckPolyCirculation(f.job, f.g, Poly(c.v)), c.reported) << c.what;
    EXPECT_EQ(f.Lines().size(), c.reported ? 1u : 0u) << c.what;
  }
  EXPECT_NEAR(NormaliseAngle(4.0), 4.0 - 6.2831852, 1e-12);
  EXPECT_NEAR(NormaliseAngle(-7.0), -7.0 + 6.2831852, 1e-12);
  EXPECT_NEAR(NormaliseAngle(3.0), 3.0, 1e-12);
}

TEST(GeometryChecks, PathEnds) {
  struct Case {
    const char* what;
    Points v;
    int width;
    Points after;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"long ends move by half the width",
       {{0, 0}, {100, 0}, {100, 100}},
       10,
       {{5, 0}, {100, 0}, {100, 95}},
       {}},
      {"short first segment is questionable",
       {{0, 0}, {12, 0}, {12, 100}},
       10,
       {{5, 0}, {12, 0}, {12, 95}},
       {"Questionable Path End at X=0 Y=0 L=3"}},
      // The end may not pass its neighbour: the path would turn back on itself.
      {"end stops at its neighbour",
       {{0, 0}, {4, 0}, {4, 100}},
       20,
       {{4, 0}, {4, 0}, {4, 90}},
       {"Questionable Path End at X=0 Y=0 L=3"}},
      {"two-point path: the ends meet at most in the middle",
       {{0, 0}, {12, 0}},
       40,
       {{6, 0}, {6, 0}},
       {"Questionable Path End at X=0 Y=0 L=3", "Questionable Path End at X=1.2 Y=0 L=3"}},
      {"extended ends are left alone", {{0, 0}, {100, 0}}, -10, {{0, 0}, {100, 0}}, {}},
      {"diagonal", {{0, 0}, {100, 100}}, 20, {{7, 7}, {93, 93}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    Shape s = Poly(c.v);
    s.width = c.width;
    CheckPathEnds(f.job, f.g, s);
    EXPECT_EQ(s.v, c.after);
    EXPECT_EQ(f.Lines(), c.lines);
  }
}

TEST(GeometryChecks, InlinePathEnds) {
  struct Case {
    const char* what;
    Points v;
    int width;
    Points after;
    int widthAfter;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"ends move outwards by half the width",
       {{0, 0}, {100, 0}, {100, 100}}, -10, {{-5, 0}, {100, 0}, {100, 105}}, 10, {}},
      {"diagonal ends, each component truncated", {{0, 0}, {100, 100}}, -20, {{-7, -7}, {107, 107}}, 20, {}},
      {"repeated end vertices take the next segment's direction",
       {{0, 0}, {0, 0}, {0, 50}, {0, 50}}, -10, {{0, -5}, {0, 0}, {0, 50}, {0, 55}}, 10, {}},
      {"flush ends are left alone", {{0, 0}, {100, 0}}, 10, {{0, 0}, {100, 0}}, 10, {}},
      {"no direction at all", {{3, 3}, {3, 3}}, -10, {{3, 3}, {3, 3}}, -10,
       {"Possible Coincidence at X=0.3 Y=0.3 L=3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    Shape s = Poly(c.v);
    s.width = c.width;
    EXPECT_EQ(InlinePathEnds(f.job, f.g, s), c.width < 0 && c.widthAfter > 0);
    EXPECT_EQ(s.v, c.after);
    EXPECT_EQ(s.width, c.widthAfter);
    EXPECT_EQ(f.Lines(), c.lines);
  }
}

TEST(GeometryChecks, PathToPolygon) {
  Fixture f;
  Shape s = Poly({{0, 0}, {100, 0}});
  s.width = -20;
  EXPECT_EQ(PathToPolygon(f.job, f.g, s), 1);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.v, (Points{{-10, -10}, {-10, 10}, {110, 10}, {110, -10}, {-10, -10}}));

  Shape zig;
  zig.width = 10;
  for (int i = 0; i < 300; ++i) zig.v.push_back({i * 100, (i % 2) * 100});
  EXPECT_EQ(PathToPolygon(f.job, f.g, zig), 0);
  EXPECT_EQ(zig.width, 10);
  EXPECT_EQ(zig.Count(), 300);
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"Path Outline of 601 Points Kept as Path at X=0 Y=0 L=1"});
}

// ---- Intersections ----

TEST(GeometryChecks, IntersectionHandCases) {
  struct Case {
    const char* what;
    Points v;
    int s;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"square", {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, 1, {}},
      {"bow tie",
       {{0, 0}, {100, 100}, {100, 0}, {0, 100}, {0, 0}},
       1,
       {"Poly Segments 1 and 3 Possibly Intersect at X=5 Y=5 L=3"}},
      // The slot is 4 wide: its two sides, and the top edges beside its mouth, come within 5.
      {"narrow slot within the resolution",
       {{0, 0}, {100, 0}, {100, 100}, {52, 100}, {52, 10}, {48, 10}, {48, 100}, {0, 100}, {0, 0}},
       5,
       {"Poly Segments 3 and 6 Possibly Intersect at X=5.2 Y=10 L=3",
        "Poly Segments 3 and 7 Possibly Intersect at X=5.2 Y=10 L=3",
        "Poly Segments 4 and 6 Possibly Intersect at X=5.2 Y=10 L=3",
        "Poly Segments 4 and 7 Possibly Intersect at X=5.2 Y=10 L=3"}},
      {"same slot, finer resolution", {{0, 0}, {100, 0}, {100, 100}, {52, 100}, {52, 10}, {48, 10}, {48, 100}, {0, 100}, {0, 0}}, 4, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.g.resolution = c.s;
    EXPECT_EQ(CheckPolyIntersections(f.job, f.g, Poly(c.v)), 1);
    EXPECT_EQ(f.Lines(), c.lines);
    EXPECT_EQ(f.ui.items[516], "100%");
  }
}

TEST(GeometryChecks, IntersectionCheckStopsOnEsc) {
  Fixture f;
  f.g.protocol = true;
  f.g.intersections = true;
  Points v;
  for (int i = 0; i < 150; ++i) v.push_back({i * 10, (i % 2) * 1000});
  v.push_back({1490, -100});
  v.push_back({0, -100});
  v.push_back({0, 0});
  f.ui.escapeAfterPolls = 3;
  Shape s = Poly(v);
  EXPECT_EQ(CheckPolyShape(f.job, f.g, s), 1);
  EXPECT_TRUE(f.job.abort);
  EXPECT_EQ(f.ui.items[500], "Doing Poly Intersect Check ...");
  EXPECT_EQ(f.Lines().back(), "Aborted in Poly Intersect Check");
  EXPECT_EQ(f.ui.EventsOf("pause").back(), "pause 500");
}

// Independent answer: the smallest distance (larger of the two axis distances) between points
// sampled densely along both segments. Sampling can only overestimate it, by at most `slack`.
double SampledDistance(PathPoint a0, PathPoint a1, PathPoint b0, PathPoint b1, double* slack) {
  const int steps = 160;
  double best = 1e300;
  for (int i = 0; i <= steps; ++i) {
    double ax = a0.x + (a1.x - a0.x) * double(i) / steps, ay = a0.y + (a1.y - a0.y) * double(i) / steps;
    for (int k = 0; k <= steps; ++k) {
      double bx = b0.x + (b1.x - b0.x) * double(k) / steps, by = b0.y + (b1.y - b0.y) * double(k) / steps;
      best = std::min(best, std::max(std::fabs(ax - bx), std::fabs(ay - by)));
    }
  }
  double la = std::max(std::abs(a1.x - a0.x), std::abs(a1.y - a0.y));
  double lb = std::max(std::abs(b1.x - b0.x), std::abs(b1.y - b0.y));
  *slack = (la + lb) / steps;
  return best;
}

TEST(GeometryChecks, SegmentsWithinMatchesBruteForce) {
  std::mt19937 rng(7);
  int decided = 0, within = 0;
  for (int n = 0; n < 3000; ++n) {
    auto pt = [&] { return PathPoint{int(rng() % 41) - 20, int(rng() % 41) - 20}; };
    PathPoint a0 = pt(), a1 = pt(), b0 = pt(), b1 = pt();
    int s = 1 + int(rng() % 4);
    double slack = 0;
    double d = SampledDistance(a0, a1, b0, b1, &slack);
    bool exact = SegmentsWithin(a0, a1, b0, b1, s);
    EXPECT_EQ(exact, SegmentsWithin(b0, b1, a0, a1, s));
    if (d < s) {
      EXPECT_TRUE(exact) << a0.x << "," << a0.y << " " << a1.x << "," << a1.y << " / " << b0.x << ","
                         << b0.y << " " << b1.x << "," << b1.y << " s=" << s;
    } else if (d - slack > s) {
      EXPECT_FALSE(exact) << a0.x << "," << a0.y << " " << a1.x << "," << a1.y << " / " << b0.x << ","
                          << b0.y << " " << b1.x << "," << b1.y << " s=" << s;
    } else {
      continue;
    }
    ++decided;
    within += exact;
  }
  // The sample must exercise both verdicts.
  EXPECT_GT(decided, 2500);
  EXPECT_GT(within, 500);
  EXPECT_LT(within, decided - 500);
}

TEST(GeometryChecks, SimplePolygonVerdictsMatchBruteForce) {
  std::mt19937 rng(99);
  int simple = 0, crossing = 0;
  for (int n = 0; n < 400; ++n) {
    int count = 4 + int(rng() % 5);
    Points v;
    for (int i = 0; i < count; ++i) v.push_back({int(rng() % 200), int(rng() % 200)});
    v.push_back(v.front());
    Shape shape = Poly(v);
    Fixture f;
    RemoveDuplicateVertices(f.job, f.g, shape);
    if (shape.Count() < 5) continue;
    // Brute force: any non-adjacent pair of segments (the first and the last are adjacent) whose
    // sampled distance is below the resolution of 1; undecidable samples are skipped.
    bool expected = false, unsure = false;
    int last = shape.Count() - 2;
    for (int i = 0; i <= last; ++i)
      for (int k = i + 2; k <= last; ++k) {
        if (i == 0 && k == last) continue;
        double slack = 0;
        double d = SampledDistance(shape.v[i], shape.v[i + 1], shape.v[k], shape.v[k + 1], &slack);
        if (d < 1) expected = true;
        else if (d - slack <= 1) unsure = true;
      }
    if (unsure && !expected) continue;
    Fixture g;
    EXPECT_EQ(CheckPolyIntersections(g.job, g.g, shape), 1);
    EXPECT_EQ(!g.Lines().empty(), expected) << "polygon " << n;
    (expected ? crossing : simple)++;
  }
  EXPECT_GT(simple, 20);
  EXPECT_GT(crossing, 20);
}

}  // namespace
}  // namespace utilib
