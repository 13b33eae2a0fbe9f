#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

using test::Count;
using test::Noise;
using test::Picture;

constexpr std::uint32_t kInk = 0xFFFFFF;
// Two of the editor's fill patterns: a diagonal and a sparse dot grid.
constexpr std::array<std::uint8_t, 8> kDiagonal = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
constexpr std::array<std::uint8_t, 8> kSparse = {0x44, 0x00, 0x00, 0x00, 0x44, 0x00, 0x00, 0x00};

bool PatternBit(const std::array<std::uint8_t, 8>& p, int x, int y) { return (p[y & 7] >> (7 - (x & 7))) & 1; }

TEST(Rectangle, FillLeavesOutRightAndBottomAndTheOutlineRunsOnTheBorder) {
  Surface s(12, 10);
  Canvas c(s);
  c.SetPen(Pen::Null());
  c.SetBrush(Brush::Solid(kInk));
  c.Rectangle(2, 3, 7, 6);
  EXPECT_EQ(Picture(s, kInk), (std::vector<std::string>{"............", "............", "............",
                                                        "..#####.....", "..#####.....", "..#####.....",
                                                        "............", "............", "............",
                                                        "............"}));

  // With a pen the border is the pen's and the inside the brush's; swapped corners are the same box.
  for (const Rect r : {Rect{2, 3, 7, 7}, Rect{7, 7, 2, 3}, Rect{7, 3, 2, 7}}) {
    Surface t(12, 10);
    Canvas k(t);
    k.SetPen(Pen::Solid(0x00FF00));
    k.SetBrush(Brush::Solid(0x0000FF));
    k.Rectangle(r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(Count(t, 0x00FF00), 14);
    EXPECT_EQ(Count(t, 0x0000FF), 6);
    EXPECT_EQ(t.Row(3)[2], 0x00FF00u);
    EXPECT_EQ(t.Row(6)[6], 0x00FF00u);
    EXPECT_EQ(t.Row(7)[7], 0u);
    EXPECT_EQ(t.Row(4)[3], 0x0000FFu);
  }

  // Border and inside are separate pixels, so an inverted box touches each pixel once.
  Surface x(8, 8, 0xFFFFFF);
  Canvas kx(x);
  kx.SetMix(Mix::Xor);
  kx.SetPen(Pen::Solid(0x00FF00));
  kx.SetBrush(Brush::Solid(0x0000FF));
  kx.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(Count(x, 0xFF00FF), 14);
  EXPECT_EQ(Count(x, 0xFFFF00), 6);

  // A one-pixel-wide box is a single run of pen pixels.
  Surface thin(6, 8);
  Canvas k(thin);
  k.SetPen(Pen::Solid(kInk));
  k.SetBrush(Brush::Null());
  k.Rectangle(2, 1, 3, 6);
  EXPECT_EQ(Count(thin, kInk), 5);
  k.Rectangle(0, 7, 4, 8);
  EXPECT_EQ(Picture(thin, kInk)[7], "####..");
}

TEST(PatternBrush, OneBitsTakeTheBackgroundZeroBitsTheTextColourAnchoredAtTheSurface) {
  const std::uint32_t bk = 0x00C000, text = 0x202020;
  Surface whole(24, 16);
  Canvas c(whole);
  c.SetBackgroundColor(bk);
  c.SetTextColor(text);
  c.SetBackgroundMode(BackgroundMode::Transparent);  // patterns ignore it
  c.FillRect(Rect{0, 0, 24, 16}, Brush::Pattern(kDiagonal));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 24; ++x) ASSERT_EQ(whole.Row(y)[x], PatternBit(kDiagonal, x, y) ? bk : text);
  }

  // Pieces filled separately, through a moved origin, join without a seam.
  Surface pieces(24, 16);
  Canvas p(pieces);
  p.SetBackgroundColor(bk);
  p.SetTextColor(text);
  p.SetPen(Pen::Null());
  p.SetBrush(Brush::Pattern(kDiagonal));
  p.Rectangle(0, 0, 13, 16);
  p.SetOrigin(5, 3);
  const Point right[] = {{8, -3}, {19, -3}, {19, 13}, {8, 13}};
  p.Polygon(right);
  EXPECT_EQ(pieces.pixels, whole.pixels);

  // The brush origin moves the pattern.
  Surface shifted(16, 8);
  Canvas b(shifted);
  b.SetBackgroundColor(bk);
  b.SetTextColor(text);
  b.SetBrushOrigin(3, 0);
  b.FillRect(Rect{0, 0, 16, 8}, Brush::Pattern(kDiagonal));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(shifted.Row(y)[x], PatternBit(kDiagonal, x - 3, y) ? bk : text);
  }
}

// The editor's layer fill: merge pen with the layer colour as background ORs the colour into the
// pattern's pixels; mask-not-pen with white as background clears exactly those pixels again.
TEST(PatternBrush, MergeDrawsAndMaskNotPenErasesOnlyThePatternPixels) {
  const std::uint32_t red = 0xC00000, green = 0x00C000;
  Surface s(32, 32);
  Canvas c(s);
  c.SetPen(Pen::Null());
  c.SetTextColor(0);
  c.SetBrush(Brush::Pattern(kDiagonal));
  c.SetBackgroundColor(red);
  c.SetMix(Mix::Merge);
  c.Rectangle(0, 0, 32, 32);  // another layer underneath
  const Surface under = s;

  const Point poly[] = {{4, 2}, {28, 6}, {20, 30}, {2, 20}};
  c.SetBrush(Brush::Pattern(kSparse));
  c.SetBackgroundColor(green);
  c.Polygon(poly);
  int drawn = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint32_t was = under.Row(y)[x], now = s.Row(y)[x];
      if (now != was) {
        ++drawn;
        EXPECT_TRUE(PatternBit(kSparse, x, y));
        EXPECT_EQ(now, was | green);
      }
    }
  }
  EXPECT_GT(drawn, 20);

  c.SetBackgroundColor(kInk);
  c.SetMix(Mix::MaskNotPen);
  c.Polygon(poly);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint32_t was = under.Row(y)[x], now = s.Row(y)[x];
      if (now != was) {
        EXPECT_TRUE(PatternBit(kSparse, x, y));
        EXPECT_EQ(now, 0u);  // erased pixels are cleared, shared ones with the other layer too
      }
    }
  }
}

TEST(PolygonFill, EvenOddLeavesHolesAndWindingFillsThem) {
  // An outer square and an inner square in the same direction, joined by a seam.
  const Point ring[] = {{2, 2}, {18, 2}, {18, 18}, {2, 18}, {2, 2}, {6, 6}, {14, 6}, {14, 14}, {6, 14}, {6, 6}};
  // A five-pointed star drawn in one stroke: its centre is crossed twice.
  std::vector<Point> star;
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + i * 4 * M_PI / 5;
    star.push_back(Point{int(std::lround(30 + 28 * std::cos(a))), int(std::lround(30 + 28 * std::sin(a)))});
  }
  struct Case {
    std::span<const Point> points;
    Point inHole;
    Point inBody;
  };
  const Case cases[] = {{ring, {10, 10}, {4, 10}}, {star, {30, 31}, {30, 8}}};
  for (const Case& k : cases) {
    for (FillRule rule : {FillRule::Alternate, FillRule::Winding}) {
      Surface s(64, 64);
      Canvas c(s);
      c.SetPen(Pen::Null());
      c.SetBrush(Brush::Solid(kInk));
      c.SetFillRule(rule);
      c.Polygon(k.points);
      EXPECT_EQ(s.Row(k.inBody.y)[k.inBody.x], kInk);
      EXPECT_EQ(s.Row(k.inHole.y)[k.inHole.x], rule == FillRule::Winding ? kInk : 0u) << int(rule);
    }
  }
  // The ring's hole is exactly the inner square.
  Surface s(20, 20);
  Canvas c(s);
  c.SetPen(Pen::Null());
  c.SetBrush(Brush::Solid(kInk));
  c.Polygon(ring);
  EXPECT_EQ(Count(s, kInk), 16 * 16 - 8 * 8);

  // A bow tie: two triangles meeting at the crossing; the wedges above and below stay empty.
  Surface bow(20, 20);
  Canvas b(bow);
  b.SetPen(Pen::Null());
  b.SetBrush(Brush::Solid(kInk));
  const Point tie[] = {{0, 0}, {20, 20}, {20, 0}, {0, 20}};
  b.Polygon(tie);
  int wedges = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const int fromCentreY = y < 10 ? y : 19 - y;
      wedges += bow.Row(y)[x] == kInk && x > fromCentreY && x < 19 - fromCentreY;
    }
  }
  EXPECT_EQ(wedges, 0);
  EXPECT_EQ(Count(bow, kInk), 200);
}

// Polygons that share edges cover each pixel exactly once: XOR-filling every triangle of a
// triangulated area gives the area filled once, with no seams and no double pixels.
TEST(PolygonFill, SharedEdgesNeitherGapNorOverlap) {
  std::mt19937 rng(3);
  constexpr int N = 6, Cell = 11;
  Point grid[N + 1][N + 1];
  for (int i = 0; i <= N; ++i) {
    for (int j = 0; j <= N; ++j) {
      const int jx = (i > 0 && i < N) ? int(rng() % 7) - 3 : 0;
      const int jy = (j > 0 && j < N) ? int(rng() % 7) - 3 : 0;
      grid[i][j] = Point{2 + i * Cell + jx, 2 + j * Cell + jy};
    }
  }
  Surface pieces(80, 80), whole(80, 80);
  Canvas c(pieces);
  c.SetPen(Pen::Null());
  c.SetBrush(Brush::Solid(kInk));
  c.SetMix(Mix::Xor);
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j < N; ++j) {
      const Point a[] = {grid[i][j], grid[i + 1][j], grid[i + 1][j + 1]};
      const Point b[] = {grid[i][j], grid[i + 1][j + 1], grid[i][j + 1]};
      c.Polygon(a);
      c.Polygon(b);
    }
  }
  Canvas w(whole);
  w.SetPen(Pen::Null());
  w.SetBrush(Brush::Solid(kInk));
  w.Rectangle(2, 2, 2 + N * Cell, 2 + N * Cell);
  EXPECT_EQ(pieces.pixels, whole.pixels);
}

// Whether the centre of pixel (x, y) is inside by the crossing count of every edge, worked out
// exactly: an edge counts when it spans the centre's row and crosses at or left of the centre.
bool InsideByBruteForce(const std::vector<Point>& p, int x, int y, bool winding) {
  int parity = 0, wind = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    Point a = p[i], b = p[(i + 1) % p.size()];
    int dir = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      dir = -1;
    }
    if (!(2 * a.y < 2 * y + 1 && 2 * y + 1 < 2 * b.y)) continue;
    const long long dy = b.y - a.y, dx = b.x - a.x;
    if (2LL * a.x * dy + (2LL * y + 1 - 2LL * a.y) * dx <= (2LL * x + 1) * dy) {
      parity ^= 1;
      wind += dir;
    }
  }
  return winding ? wind != 0 : parity != 0;
}

TEST(PolygonFill, MatchesACrossingCountAtEveryPixelCentre) {
  std::mt19937 rng(11);
  for (int n : {3, 5, 17, 60, 400}) {
    std::vector<Point> p;
    for (int i = 0; i < n; ++i) p.push_back(Point{int(rng() % 90) - 5, int(rng() % 70) - 5});
    for (FillRule rule : {FillRule::Alternate, FillRule::Winding}) {
      Surface s(80, 60);
      Canvas c(s);
      c.SetPen(Pen::Null());
      c.SetBrush(Brush::Solid(kInk));
      c.SetFillRule(rule);
      c.Polygon(p);
      for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
          ASSERT_EQ(s.Row(y)[x] == kInk, InsideByBruteForce(p, x, y, rule == FillRule::Winding))
              << n << " vertices, rule " << int(rule) << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(PolygonFill, AnyNumberOfVerticesAndAnyCoordinates) {
  constexpr int n = 20000;
  std::vector<Point> circle;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    circle.push_back(Point{int(std::lround(128 + 100 * std::cos(a))), int(std::lround(128 + 100 * std::sin(a)))});
  }
  Surface s(256, 256);
  Canvas c(s);
  c.SetPen(Pen::Null());
  c.SetBrush(Brush::Solid(kInk));
  c.Polygon(circle);
  EXPECT_NEAR(Count(s, kInk), M_PI * 100 * 100, M_PI * 100 * 100 * 0.01);

  // A triangle far larger than the surface covers all of it.
  Surface big(21, 13);
  Canvas b(big);
  b.SetPen(Pen::Null());
  b.SetBrush(Brush::Solid(kInk));
  const Point huge[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}};
  b.Polygon(huge);
  EXPECT_EQ(Count(big, kInk), 21 * 13);
  // A box with its border far outside fills the surface; so does one through an extreme origin.
  Surface box(9, 9);
  Canvas k(box);
  k.SetPen(Pen::Solid(0x00FF00));
  k.SetBrush(Brush::Solid(kInk));
  k.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(Count(box, kInk), 81);
  k.SetOrigin(INT_MIN, INT_MAX);
  k.Rectangle(INT_MAX, INT_MIN, 0, 0);
  const Point edge[] = {{INT_MAX, INT_MIN}, {INT_MAX, 5}, {-3, 7}};
  k.Polygon(edge);
}

TEST(SetPixel, HonoursTheMixModeAndTheClip) {
  Surface s = Noise(10, 10), before = s;
  Canvas c(s);
  c.SetMix(Mix::Xor);
  const std::uint32_t was = s.Row(4)[5];
  EXPECT_EQ(c.SetPixel(5, 4, 0x00FF00), was ^ 0x00FF00u);
  c.SetPixel(5, 4, 0x00FF00);
  EXPECT_EQ(s.pixels, before.pixels);
  c.SetMix(Mix::Merge);
  EXPECT_EQ(c.SetPixel(1, 1, 0x0000FF), before.Row(1)[1] | 0x0000FFu);
  c.SetClipRect(Rect{2, 2, 8, 8});
  EXPECT_EQ(c.SetPixel(1, 5, 0), kInvalidColor);
  EXPECT_EQ(c.SetPixel(-1, 5, 0), kInvalidColor);
  EXPECT_EQ(c.SetPixel(5, 10, 0), kInvalidColor);
  EXPECT_EQ(c.GetPixel(1, 5), kInvalidColor);
  EXPECT_EQ(c.GetPixel(INT_MAX, INT_MIN), kInvalidColor);
  EXPECT_EQ(c.GetPixel(3, 3), before.Row(3)[3]);
  EXPECT_EQ(s.Row(5)[1], before.Row(5)[1]);
}

TEST(Palette, IndexesResolveThroughTheSelectedPalette) {
  const Palette editor = {0x000000, 0x0000C0, 0x00C000, 0x00C0C0, 0xC00000, 0xC000C0, 0xC08000, 0xC0C0C0};
  struct Case {
    Color in;
    std::uint32_t out;
  };
  for (const Case k : {Case{PaletteIndex(3), 0x00C0C0}, Case{PaletteIndex(7), 0xC0C0C0},
                       Case{PaletteIndex(21), 0x000000}, Case{Rgb(1, 2, 3), 0x010203}}) {
    Surface s(3, 1);
    Canvas c(s);
    c.SetPalette(editor);
    c.SetPen(Pen::Solid(k.in));
    c.MoveTo(0, 0);
    c.LineTo(1, 0);
    c.SetBackgroundColor(k.in);
    c.SetTextColor(k.in);
    c.FillRect(Rect{1, 0, 2, 1}, Brush::Pattern(kDiagonal));
    c.FillRect(Rect{2, 0, 3, 1}, Brush::Solid(k.in));
    EXPECT_EQ(s.pixels, (std::vector<std::uint32_t>{k.out, k.out, k.out})) << std::hex << k.in;
  }
  Surface s(1, 1, 0x123456);
  Canvas c(s);
  c.SetPixel(0, 0, PaletteIndex(2));  // no palette selected: black
  EXPECT_EQ(s.Row(0)[0], 0u);
}

TEST(Brushes, HatchGapsFollowTheBackgroundModeAndPlainFillsIgnoreTheMix) {
  for (BackgroundMode mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
    Surface s(8, 8, 0x010101);
    Canvas c(s);
    c.SetBackgroundMode(mode);
    c.SetBackgroundColor(0x0000FF);
    c.FillRect(Rect{0, 0, 8, 8}, Brush::Hatch(HatchStyle::Cross, kInk));
    EXPECT_EQ(Count(s, kInk), 15);
    EXPECT_EQ(Count(s, mode == BackgroundMode::Opaque ? 0x0000FFu : 0x010101u), 49);
  }

  Surface s = Noise(12, 12), before = s;
  Canvas c(s);
  c.SetMix(Mix::Xor);
  c.FillRect(Rect{2, 2, 9, 9}, Brush::Solid(0x00FF00));
  EXPECT_EQ(s.Row(2)[2], 0x00FF00u);
  c.FrameRect(Rect{1, 1, 11, 11}, Brush::Solid(kInk));
  EXPECT_EQ(Count(s, kInk), 36);
  EXPECT_EQ(s.Row(2)[2], 0x00FF00u);
  c.FillRect(Rect{5, 5, 5, 9}, Brush::Solid(0));  // empty: nothing
  s = before;
  c.InvertRect(Rect{-3, 4, 20, 8});
  EXPECT_EQ(s.Row(5)[0], ~before.Row(5)[0] & 0xFFFFFFu);
  c.InvertRect(Rect{-3, 4, 20, 8});
  EXPECT_EQ(s.pixels, before.pixels);
}

}  // namespace
}  // namespace gfx
