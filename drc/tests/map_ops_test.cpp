// Map slots and the gauge and expansion operators: which gaps they mark, where, and what R and S
// hold afterwards.
#include <gtest/gtest.h>

#include "drc/map_ops.h"
#include "drc/tests/drc_fixture.h"

namespace drc {
namespace {

using drctest::Pixels;
using drctest::SetPixels;

CheckMaps NewMaps() {
  CheckMaps m;
  EXPECT_TRUE(m.Allocate());
  return m;
}

void Box(BitMap& m, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y) SetMapSpan(m, y, x1, x2);
}

TEST(MapSlots, NamesAreNumbersAndEveryKeyACheckCanStoreHasRoom) {
  struct Case {
    const char* name;
    int key;
  };
  for (Case c : {Case{"0", 1}, Case{"1", 2}, Case{"64", 65}, Case{"-5", 1}, Case{"abc", 1}, Case{"7x", 8}})
    EXPECT_EQ(MapSlots::Key(c.name), c.key) << c.name;

  MapSlots slots;
  BitMap m = drctest::NewMap();
  for (int key = 1; key <= MapSlots::kCapacity; ++key) {
    ClearMap(m);
    SetMapPixel(m, key, key, 1);
    ASSERT_EQ(slots.Store(m, key), 1) << key;
  }
  // The ninth and every later key is still there.
  for (int key : {9, 10, 65}) {
    ASSERT_TRUE(slots.Load(m, key));
    EXPECT_EQ(SetPixels(m), (Pixels{{key, key}}));
  }
  // Storing again replaces; an unknown key leaves the target as it was.
  SetMapPixel(m, 500, 500, 1);
  EXPECT_EQ(slots.Store(m, 65), 1);
  EXPECT_EQ(slots.Count(), MapSlots::kCapacity);
  EXPECT_FALSE(slots.Load(m, 66));
  EXPECT_EQ(SetPixels(m), (Pixels{{65, 65}, {500, 500}}));
  slots.Clear();
  EXPECT_FALSE(slots.Has(1));
}

TEST(MapSlots, NoMemoryForANewSlotStoresNothing) {
  MapSlots slots;
  BitMap m = drctest::NewMap();
  SetMapBudgetForTests(0);
  EXPECT_EQ(slots.Store(m, 3), 0);
  SetMapBudgetForTests(-1);
  EXPECT_FALSE(slots.Has(3));
}

// The marks a gauge leaves, doubled into R.
Pixels Doubled(Pixels marks) {
  Pixels out;
  for (auto [x, y] : marks)
    for (auto p : {std::pair{x - 1, y - 1}, {x, y - 1}, {x - 1, y}, {x, y}}) out.insert(p);
  return out;
}

TEST(Gauge, GapsShorterThanTheSpanAreMarkedAtTheirMiddle) {
  CheckMaps m = NewMaps();
  for (int n : {2, 3, 5})
    for (int g = 1; g <= n + 1; ++g) {
      SCOPED_TRACE("N " + std::to_string(n) + " gap " + std::to_string(g));
      // Across: x 100..199, then x 200 + g on; up: rows 300..349, then 350 + g on. The shapes are
      // too wide and too far apart to meet any other way.
      ClearMap(m.R);
      Box(m.R, 100, 100, 200, 101);
      Box(m.R, 200 + g, 100, 260, 101);
      Box(m.R, 600, 300, 601, 350);
      Box(m.R, 600, 350 + g, 601, 400);
      Pixels before = SetPixels(m.R);
      GaugeMap(m, false, n);
      Pixels want;
      if (g <= n - 1) want = Doubled({{199 + (g + 1) / 2, 100}, {600, 349 + (g + 1) / 2}});
      EXPECT_EQ(SetPixels(m.R), want);
      EXPECT_EQ(SetPixels(m.S), before);
    }
}

TEST(Gauge, EveryColumnAndRowOfALongGapIsMarked) {
  CheckMaps m = NewMaps();
  // Two wide boxes two rows apart, and two tall ones two columns apart.
  Box(m.R, 100, 100, 400, 110);
  Box(m.R, 100, 112, 400, 120);
  Box(m.R, 600, 100, 610, 400);
  Box(m.R, 612, 100, 620, 400);
  GaugeMap(m, false, 3);
  Pixels marks;
  for (int x = 100; x < 400; ++x) marks.insert({x, 110});
  for (int y = 100; y < 400; ++y) marks.insert({610, y});
  EXPECT_EQ(SetPixels(m.R), Doubled(marks));
}

TEST(Gauge, TwoMapsMarkOnlyGapsBetweenThem) {
  CheckMaps m = NewMaps();
  Box(m.R, 100, 100, 200, 101);
  Box(m.R, 202, 100, 210, 101);  // R to R: not marked
  Box(m.S, 400, 100, 403, 101);
  Box(m.R, 398, 100, 399, 101);  // R to S, a gap of one: marked
  Box(m.R, 700, 100, 800, 101);  // R touching S: the search starts past the touching pixel
  Box(m.S, 800, 100, 900, 101);
  Pixels r = SetPixels(m.R), s = SetPixels(m.S);
  GaugeMap(m, true, 3);
  EXPECT_EQ(SetPixels(m.R), Doubled({{399, 100}, {800, 100}}));
  for (auto p : s) r.insert(p);
  EXPECT_EQ(SetPixels(m.S), r);
}

// Whether EXPR marks the gap (anywhere along it) between two long shapes.
bool Expanded(CheckMaps& m, bool vertical, int n, int g) {
  ClearMap(m.R);
  if (vertical) {
    Box(m.R, 100, 100, 600, 300);
    Box(m.R, 100, 300 + g, 600, 500);
  } else {
    Box(m.R, 100, 100, 300, 500);
    Box(m.R, 300 + g, 100, 500, 500);
  }
  ExpandMap(m, false, n);
  for (int k = -3; k < g + 3; ++k)
    if (TestMapPixel(m.R, 300, 300 + k) || TestMapPixel(m.R, 300 + k, 300)) return true;
  return false;
}

TEST(Expand, SpacingsUpToOneMoreThanTheSpanAreMarkedAcrossAndUp) {
  CheckMaps m = NewMaps();
  for (int n = 0; n <= 7; ++n) {
    // Across, orthogonal steps close a gap by one each: gaps 1..N+1.
    for (int g = 1; g <= n + 3; ++g) EXPECT_EQ(Expanded(m, false, n, g), g <= n + 1) << n << " across " << g;
    // Up, the diagonal steps reach further; what is marked is still every gap up to some width.
    int widest = 0;
    for (int g = 1; g <= n + 4; ++g)
      if (Expanded(m, true, n, g)) {
        EXPECT_EQ(widest, g - 1) << n << " up " << g << ": a narrower gap was missed";
        widest = g;
      }
    EXPECT_GE(widest, n + 1) << n;
  }
}

TEST(Expand, GrownRegistersAndTwoMapMeetings) {
  CheckMaps m = NewMaps();
  Box(m.R, 100, 100, 110, 110);
  ExpandMap(m, false, 2);
  // S is R grown by one orthogonal step each way: a cross of two rectangles.
  Pixels cross = drctest::Rect(99, 100, 111, 110);
  for (auto p : drctest::Rect(100, 99, 110, 111)) cross.insert(p);
  EXPECT_EQ(SetPixels(m.S), cross);
  EXPECT_EQ(IsMapNotEmpty(m.R), 0);

  // Two maps: the grown R and S overlap when they were closer than the growth of both.
  for (int g : {1, 2, 3, 4, 5}) {
    ClearMap(m.R), ClearMap(m.S);
    Box(m.R, 100, 100, 200, 200);
    Box(m.S, 200 + g, 100, 300, 200);
    ExpandMap(m, true, 4);
    EXPECT_EQ(IsMapNotEmpty(m.R), g <= 3) << g;
  }
  // With no step, only where R and S already overlap.
  ClearMap(m.R), ClearMap(m.S);
  Box(m.R, 100, 100, 200, 200);
  Box(m.S, 150, 150, 250, 250);
  ExpandMap(m, true, 0);
  EXPECT_EQ(SetPixels(m.R), Doubled(SetPixels([&] {
              CheckMaps o = NewMaps();
              Box(o.R, 150, 150, 200, 200);
              return std::move(o.R);
            }())));
}

TEST(Expand, StopEndsTheGrowthAtOnce) {
  CheckMaps m = NewMaps();
  Box(m.R, 100, 100, 300, 500);
  Box(m.R, 302, 100, 500, 500);
  int polls = 0;
  ExpandMap(m, false, 6, [&] { return ++polls == 1; });
  EXPECT_EQ(polls, 1);
  // The marks so far stay in T; R is not replaced by them.
  EXPECT_EQ(TestMapPixel(m.T, 301, 300), 1);
  EXPECT_EQ(TestMapPixel(m.R, 250, 300), 1);
}

// A span far past the map's size gives what the span that fills the map gives, and the growth ends
// once nothing changes: with one map, two maps, an empty map and a full one.
TEST(Expand, SpansPastAFullMapStopWithTheSameResult) {
  struct Case {
    const char* name;
    bool two;
    void (*draw)(CheckMaps&);
  };
  const Case cases[] = {
      {"two shapes", false, [](CheckMaps& m) { Box(m.R, 5, 300, 500, 340), Box(m.R, 502, 300, 1019, 340); }},
      {"R and S", true, [](CheckMaps& m) { Box(m.R, 5, 310, 1019, 320), Box(m.S, 5, 330, 1019, 340); }},
      {"empty", false, [](CheckMaps&) {}},
      {"full", true, [](CheckMaps& m) { FillMap(m.R), FillMap(m.S); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckMaps a = NewMaps(), b = NewMaps();
    c.draw(a), c.draw(b);
    int steps = 0;
    ExpandMap(a, c.two, 99999, [&] { return ++steps, false; });
    ExpandMap(b, c.two, 2000);
    EXPECT_LE(steps, 640);
    EXPECT_EQ(SetPixels(a.R), SetPixels(b.R));
    EXPECT_EQ(SetPixels(a.S), SetPixels(b.S));
  }
}

}  // namespace
}  // namespace drc
