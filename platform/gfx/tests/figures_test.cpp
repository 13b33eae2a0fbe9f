// Recorded figures drawn in bands on several threads against the same figures drawn one by one on
// the canvas, and the shortcuts of the scan converters against the general route.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/figures.h"
#include "platform/gfx/tests/picture.h"

namespace {

using namespace gfx;

const std::array<std::uint8_t, 8> kStripes = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};

struct Figure {
  enum Kind { Line, Box, Poly } kind = Line;
  std::vector<Point> pts;  // Line: a, b; Box: (l, t), (r, b)
  PenStyle style = PenStyle::Solid;
  Color ink = 0;
  Mix mix = Mix::Copy;
  bool withEnd = false;
  std::int64_t phase = 0;
  Color background = 0;  // fills
  Mix fillMix = Mix::Merge;
  bool fill = true;
};

// `kinds` 2: lines and boxes only.
std::vector<Figure> RandomFigures(int count, int w, int h, unsigned seed, unsigned kinds = 3) {
  std::mt19937 rng(seed);
  auto coord = [&](int extent) { return int(rng() % unsigned(extent + 80)) - 40; };  // some outside
  const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot, PenStyle::DashDotDot};
  const Mix mixes[] = {Mix::Copy, Mix::Xor, Mix::Merge, Mix::MaskNotPen, Mix::NotXor};
  std::vector<Figure> out;
  for (int i = 0; i < count; ++i) {
    Figure f;
    f.kind = Figure::Kind(rng() % kinds);
    f.style = styles[rng() % 5];
    f.ink = rng() & 0xFFFFFFu;
    f.mix = mixes[rng() % 5];
    f.withEnd = rng() % 2;
    f.phase = rng() % 30;
    f.background = rng() & 0xFFFFFFu;
    f.fillMix = mixes[rng() % 5];
    f.fill = rng() % 4 != 0;
    const int x = coord(w), y = coord(h);
    switch (f.kind) {
      case Figure::Line:
        // across, down and slanted lines, short and long
        if (rng() % 3 == 0) f.pts = {{x, y}, {coord(w), y}};
        else if (rng() % 2 == 0) f.pts = {{x, y}, {x, coord(h)}};
        else f.pts = {{x, y}, {coord(w), coord(h)}};
        break;
      case Figure::Box: {
        const int r = x + int(rng() % 12), b = y + int(rng() % 12);
        f.pts = {{x, y}, {r, b}};
        break;
      }
      case Figure::Poly:
        for (int k = 0, n = 3 + int(rng() % 5); k < n; ++k) f.pts.push_back({x + coord(40) - 20, y + coord(40) - 20});
        break;
    }
    out.push_back(f);
  }
  return out;
}

// What each figure stands for, drawn on the canvas call by call.
void DrawDirect(Canvas& c, const std::vector<Figure>& figures) {
  auto line = [&](Point a, Point b, const Figure& f, bool withEnd) {
    c.SetPen(Pen::Styled(f.style, f.ink));
    c.SetMix(f.mix);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.MoveTo(a.x, a.y);
    c.LineTo(b.x, b.y);
    if (withEnd) c.LineTo(b.x + 1, b.y + 1);
  };
  auto fill = [&](std::vector<Point> pts, const Figure& f) {
    c.SetPen(Pen::Null());
    c.SetBrush(Brush::Pattern(kStripes));
    c.SetBackgroundColor(f.background);
    c.SetTextColor(0);
    c.SetMix(f.fillMix);
    c.Polygon(pts);
  };
  for (const Figure& f : figures) {
    switch (f.kind) {
      case Figure::Line: line(f.pts[0], f.pts[1], f, f.withEnd); break;
      case Figure::Box: {
        const int l = f.pts[0].x, t = f.pts[0].y, r = f.pts[1].x, b = f.pts[1].y;
        line({l, b}, {l, t}, f, true);
        line({l, b}, {r, b}, f, true);
        line({r, b}, {r, t}, f, true);
        line({l, t}, {r, t}, f, true);
        if (f.fill) fill({{l, b}, {r, b}, {r, t}, {l, t}, {l, b}}, f);
        break;
      }
      case Figure::Poly: fill(f.pts, f); break;
    }
  }
}

void Record(FigureList& list, const std::vector<Figure>& figures) {
  for (const Figure& f : figures) {
    const int paint = list.AddPaint(Brush::Pattern(kStripes), f.background, 0, BackgroundMode::Transparent);
    switch (f.kind) {
      case Figure::Line: list.Line(f.pts[0], f.pts[1], f.style, f.ink, f.mix, 0, f.withEnd); break;
      case Figure::Box:
        list.Box(f.pts[0].x, f.pts[0].y, f.pts[1].x, f.pts[1].y, f.style, f.ink, f.mix, f.fill ? paint : -1,
                 f.fillMix);
        break;
      case Figure::Poly: list.Polygon(f.pts, false, paint, f.fillMix); break;
    }
  }
}

TEST(FigureListTest, BandsOnSeveralThreadsGiveTheCanvasPictureBitForBit) {
  struct Case {
    int threads;
    bool clipped;
    Point origin;
  };
  const Case cases[] = {{1, false, {0, 0}}, {3, false, {0, 0}}, {8, true, {0, 0}}, {8, false, {-7, 13}},
                        {0, true, {5, -3}}};
  const std::vector<Figure> figures = RandomFigures(6000, 173, 131, 11);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.threads);
    Surface direct = test::Noise(173, 131), banded = test::Noise(173, 131);
    Canvas cd(direct), cb(banded);
    for (Canvas* c : {&cd, &cb}) {
      c->SetOrigin(k.origin.x, k.origin.y);
      c->SetBrushOrigin(3, 5);
      if (k.clipped) c->SetClipRect(Rect{9, 17, 150, 120});
    }
    DrawDirect(cd, figures);
    FigureList list;
    list.Begin(cb);
    Record(list, figures);
    list.End(k.threads);
    EXPECT_TRUE(direct.pixels == banded.pixels);
  }
}

// A list long enough to be drawn in segments while it is recorded, recorded twice into one list (its
// segments then go by thirds of the last length), with a second list drawn from start to end while
// the first has a segment on the threads: every picture is the canvas's, and once the list has ended
// the surface is no longer marked as being drawn.
TEST(FigureListTest, LongListsDrawnInSegmentsWhileRecordedGiveTheCanvasPicture) {
  // lines and boxes, some out of reach: the first part alone fills a segment
  const std::size_t first = 2 * FigureList::kSegmentFigures;
  std::vector<Figure> figures = RandomFigures(int(first + 10000), 173, 131, 5, 2);
  for (Figure& f : figures) f.background = 0x3300CCu * (f.ink % 4);  // a few paints, as a redraw has
  const std::vector<Figure> others = RandomFigures(500, 173, 131, 6);
  Surface direct = test::Noise(173, 131), otherDirect = test::Noise(173, 131, 2);
  Canvas cd(direct), cod(otherDirect);
  DrawDirect(cd, figures);
  DrawDirect(cod, others);
  FigureList list;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Surface banded = test::Noise(173, 131), otherBanded = test::Noise(173, 131, 2);
    Canvas cb(banded), cob(otherBanded);
    list.Begin(cb);
    Record(list, std::vector<Figure>(figures.begin(), figures.begin() + std::ptrdiff_t(first)));
    if (std::thread::hardware_concurrency() > 1) EXPECT_TRUE(banded.beingDrawn);
    FigureList other;
    other.Begin(cob);
    Record(other, others);
    other.End();
    Record(list, std::vector<Figure>(figures.begin() + std::ptrdiff_t(first), figures.end()));
    list.End();
    EXPECT_FALSE(banded.beingDrawn);
    EXPECT_TRUE(direct.pixels == banded.pixels);
    EXPECT_TRUE(otherDirect.pixels == otherBanded.pixels);
  }
}

// The dash bit of step k of a style, from the documented on/off runs.
bool Ink(PenStyle style, std::int64_t k) {
  struct Runs {
    PenStyle style;
    std::vector<int> runs;
  };
  static const Runs table[] = {{PenStyle::Solid, {1}},
                               {PenStyle::Dash, {18, 6}},
                               {PenStyle::Dot, {3, 3}},
                               {PenStyle::DashDot, {9, 6, 3, 6}},
                               {PenStyle::DashDotDot, {9, 3, 3, 3, 3, 3}}};
  for (const Runs& r : table) {
    if (r.style != style) continue;
    int length = 0;
    for (int v : r.runs) length += v;
    std::int64_t at = k % length;
    for (std::size_t i = 0; i < r.runs.size(); ++i) {
      if (at < r.runs[i]) return i % 2 == 0;
      at -= r.runs[i];
    }
  }
  return true;
}

TEST(FigureListTest, StraightLinesPutInkWhereTheirPatternAndPhaseSay) {
  // Lines across and down, either way, partly outside the clip, against the rule stepped by hand:
  // step k lands at a + k in the line's direction and is ink when step k + phase of the pattern is.
  struct Case {
    Point a, b;
  };
  const Case lines[] = {{{2, 10}, {110, 10}}, {{110, 12}, {-30, 12}}, {{5, -20}, {5, 45}}, {{60, 39}, {60, 3}},
                        {{0, 0}, {0, 0}}};
  const Rect clip{1, 2, 100, 38};
  for (const PenStyle style : {PenStyle::Solid, PenStyle::Dash, PenStyle::DashDot, PenStyle::DashDotDot, PenStyle::Dot}) {
    for (const std::int64_t phase : {0, 5, 23}) {
      for (const Mix mix : {Mix::Copy, Mix::Xor, Mix::NotXor}) {
        for (const Case& c : lines) {
          const Surface before = test::Noise(120, 40, unsigned(phase));
          Surface listed = before, expected = before;
          Canvas cl(listed);
          cl.SetClipRect(clip);
          FigureList list;
          list.Begin(cl);
          list.Line(c.a, c.b, style, 0xFF3300u, mix, phase, true);
          list.End(1);
          const int dx = c.b.x > c.a.x ? 1 : (c.b.x < c.a.x ? -1 : 0);
          const int dy = c.b.y > c.a.y ? 1 : (c.b.y < c.a.y ? -1 : 0);
          const int steps = std::max(std::abs(c.b.x - c.a.x), std::abs(c.b.y - c.a.y));
          for (int k = 0; k <= steps; ++k) {  // the end pixel too (with its end)
            const int x = c.a.x + k * dx, y = c.a.y + k * dy;
            if (!clip.Contains(x, y) || !Ink(style, k + phase)) continue;
            std::uint32_t& px = expected.Row(y)[x];
            px = ApplyMix(mix, 0xFF3300u, px);
          }
          EXPECT_TRUE(listed.pixels == expected.pixels)
              << int(style) << " phase " << phase << " from " << c.a.x << "," << c.a.y;
        }
      }
    }
  }
}

TEST(FigureListTest, RectanglesFillAsTheGeneralPolygonDoes) {
  // The four corners against the same outline with a fifth vertex on its bottom edge, which only the
  // general scan converter takes; corners in any order, partly outside, empty ones included.
  std::mt19937 rng(3);
  for (int i = 0; i < 400; ++i) {
    Surface a = test::Noise(64, 48, unsigned(i)), b = a;
    Canvas ca(a), cb(b);
    const int l = int(rng() % 80) - 8, t = int(rng() % 64) - 8, r = int(rng() % 80) - 8, bt = int(rng() % 64) - 8;
    for (Canvas* c : {&ca, &cb}) {
      c->SetPen(Pen::Null());
      c->SetBrush(Brush::Pattern(kStripes));
      c->SetBackgroundColor(0x00FF00u);
      c->SetMix(i % 2 ? Mix::Xor : Mix::Merge);
      c->SetFillRule(i % 3 ? FillRule::Alternate : FillRule::Winding);
    }
    const std::vector<Point> rect = {{l, bt}, {r, bt}, {r, t}, {l, t}, {l, bt}};
    const std::vector<Point> split = {{l, bt}, {(l + r) / 2, bt}, {r, bt}, {r, t}, {l, t}};
    ca.Polygon(rect);
    cb.Polygon(split);
    EXPECT_TRUE(a.pixels == b.pixels) << l << " " << t << " " << r << " " << bt;
  }
}

}  // namespace
