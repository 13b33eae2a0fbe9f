#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

using test::Count;
using test::Noise;
using test::Picture;

constexpr std::uint32_t kInk = 0xFFFFFF;
constexpr std::uint32_t kGap = 0x0000FF;

struct Line {
  int x0, y0, x1, y1;
};

TEST(CosmeticLine, StepsOnePixelPerMajorStepAndLeavesOutTheEnd) {
  const Line lines[] = {{2, 2, 30, 2},  {30, 5, 2, 5},   {4, 1, 4, 30},  {6, 30, 6, 1},  {1, 1, 29, 29},
                        {29, 1, 1, 29}, {3, 4, 31, 13},  {31, 13, 3, 4}, {5, 2, 12, 31}, {12, 31, 5, 2},
                        {0, 20, 31, 0}, {10, 10, 11, 30}};
  for (const Line& l : lines) {
    Surface s(34, 34);
    Canvas c(s);
    c.SetPen(Pen::Solid(kInk));
    c.MoveTo(l.x0, l.y0);
    c.LineTo(l.x1, l.y1);
    const int dx = l.x1 - l.x0, dy = l.y1 - l.y0;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    SCOPED_TRACE(::testing::Message() << l.x0 << "," << l.y0 << " -> " << l.x1 << "," << l.y1);
    EXPECT_EQ(Count(s, kInk), steps);
    EXPECT_EQ(s.Row(l.y0)[l.x0], kInk);
    EXPECT_EQ(s.Row(l.y1)[l.x1], 0u);
    // Each step lands within half a pixel of the true line on the minor axis.
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    for (int i = 0; i < steps; ++i) {
      const double t = double(i) / steps;
      if (xMajor) {
        const int x = l.x0 + (dx > 0 ? i : -i);
        int hits = 0;
        for (int y = 0; y < s.height; ++y) {
          if (s.Row(y)[x] == kInk) {
            ++hits;
            EXPECT_LE(std::fabs(y - (l.y0 + t * dy)), 0.5) << "x " << x;
          }
        }
        EXPECT_EQ(hits, 1) << "x " << x;
      } else {
        const int y = l.y0 + (dy > 0 ? i : -i);
        int hits = 0;
        for (int x = 0; x < s.width; ++x) {
          if (s.Row(y)[x] == kInk) {
            ++hits;
            EXPECT_LE(std::fabs(x - (l.x0 + t * dx)), 0.5) << "y " << y;
          }
        }
        EXPECT_EQ(hits, 1) << "y " << y;
      }
    }
  }
}

TEST(CosmeticLine, ZeroLengthDrawsNothingAndTheOnePixelStepAddsTheEnd) {
  Surface s(8, 8);
  Canvas c(s);
  c.SetPen(Pen::Solid(kInk));
  c.MoveTo(3, 3);
  c.LineTo(3, 3);
  EXPECT_EQ(Count(s, kInk), 0);
  // The editor's primitives finish a line with a step to (x2 + 1, y2 + 1) to take in the end pixel.
  c.MoveTo(1, 1);
  c.LineTo(5, 1);
  c.LineTo(6, 2);
  EXPECT_EQ(Picture(s, kInk)[1], ".#####..");
  EXPECT_EQ(Count(s, kInk), 5);
}

// Draws a 48-pixel horizontal line in `style` and returns it: '#' ink, 'o' gap colour, '.' untouched.
std::string Dashes(PenStyle style, BackgroundMode mode) {
  Surface s(50, 1);
  Canvas c(s);
  c.SetPen(Pen::Styled(style, kInk));
  c.SetBackgroundMode(mode);
  c.SetBackgroundColor(kGap);
  c.MoveTo(0, 0);
  c.LineTo(48, 0);
  std::string r;
  for (int x = 0; x < 50; ++x) r += s.Row(0)[x] == kInk ? '#' : s.Row(0)[x] == kGap ? 'o' : '.';
  return r;
}

TEST(CosmeticLine, EveryDashStyleTransparentAndOpaque) {
  struct Case {
    PenStyle style;
    std::string transparent;
  };
  const std::string dash = std::string(18, '#') + std::string(6, '.');
  const std::string dot = "###...";
  const std::string dashDot = std::string(9, '#') + "......###......";
  const std::string dashDotDot = std::string(9, '#') + "...###...###...";
  const Case cases[] = {
      {PenStyle::Solid, std::string(48, '#') + ".."},
      {PenStyle::Dash, dash + dash + ".."},
      {PenStyle::Dot, dot + dot + dot + dot + dot + dot + dot + dot + ".."},
      {PenStyle::DashDot, dashDot + dashDot + ".."},
      {PenStyle::DashDotDot, dashDotDot + dashDotDot + ".."},
      {PenStyle::Alternate, [] { std::string a; for (int i = 0; i < 24; ++i) a += "#."; return a + ".."; }()},
      {PenStyle::Null, std::string(50, '.')},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(int(k.style));
    EXPECT_EQ(Dashes(k.style, BackgroundMode::Transparent), k.transparent);
    // Opaque mode paints the gaps of the line (not the pixels past its end) in the background colour.
    std::string opaque = k.transparent;
    for (int x = 0; x < 48; ++x) {
      if (opaque[x] == '.' && k.style != PenStyle::Null) opaque[x] = 'o';
    }
    EXPECT_EQ(Dashes(k.style, BackgroundMode::Opaque), opaque);
  }
}

TEST(CosmeticLine, DashesRunOnAlongAChainAndRestartAtMoveTo) {
  Surface chain(30, 12), whole(30, 12);
  Canvas a(chain), b(whole);
  for (Canvas* c : {&a, &b}) {
    c->SetPen(Pen::Styled(PenStyle::DashDot, kInk));
    c->SetBackgroundMode(BackgroundMode::Transparent);
  }
  a.MoveTo(0, 0);
  a.LineTo(10, 0);
  a.LineTo(27, 0);
  b.MoveTo(0, 0);
  b.LineTo(27, 0);
  EXPECT_EQ(Picture(chain, kInk)[0], Picture(whole, kInk)[0]);

  // Round a corner the pattern goes on: the 24-step pattern's second dot falls on the vertical run.
  Surface corner(30, 30);
  Canvas k(corner);
  k.SetPen(Pen::Styled(PenStyle::DashDot, kInk));
  k.SetBackgroundMode(BackgroundMode::Transparent);
  k.MoveTo(0, 0);
  k.LineTo(12, 0);
  k.LineTo(12, 20);
  EXPECT_EQ(Picture(corner, kInk)[0], std::string(9, '#') + std::string(21, '.'));
  EXPECT_EQ(corner.Row(2)[12], 0u);   // step 14: gap
  EXPECT_EQ(corner.Row(3)[12], kInk); // steps 15-17: the dot
  EXPECT_EQ(corner.Row(5)[12], kInk);
  EXPECT_EQ(corner.Row(6)[12], 0u);
  EXPECT_EQ(corner.Row(12)[12], kInk);  // step 24: the next dash

  // MoveTo starts the pattern again, so the second line begins with a dash.
  k.MoveTo(0, 25);
  k.LineTo(4, 25);
  EXPECT_EQ(Picture(corner, kInk)[25].substr(0, 5), "####.");
}

TEST(CosmeticLine, PolylineAndRectangleOutlineCarryTheDashRound) {
  Surface s(40, 40);
  Canvas c(s);
  c.SetPen(Pen::Styled(PenStyle::Dot, kInk));
  c.SetBackgroundMode(BackgroundMode::Transparent);
  c.SetBrush(Brush::Null());
  c.Rectangle(2, 2, 12, 8);  // border 10 x 6: perimeter 28 steps
  // The outline: top (2..10, row 2), right (col 11, rows 2..6), bottom (11..3, row 7), left (col 2).
  const auto p = Picture(s, kInk);
  EXPECT_EQ(p[2].substr(0, 14), "..###...###...");
  EXPECT_EQ(s.Row(2)[11], 0u);  // step 9: a gap
  EXPECT_EQ(s.Row(5)[11], kInk);  // steps 12-14 on the right side
  int perimeter = 0;
  for (int y = 2; y < 8; ++y) {
    for (int x = 2; x < 12; ++x) perimeter += (y == 2 || y == 7 || x == 2 || x == 11) && s.Row(y)[x] == kInk;
  }
  EXPECT_EQ(perimeter, Count(s, kInk));  // nothing inside: null brush
  EXPECT_EQ(Count(s, kInk), 15);         // 28 steps: five dots of three

  Surface poly(40, 40), lines(40, 40);
  Canvas pc(poly), lc(lines);
  const Point pts[] = {{1, 1}, {20, 1}, {20, 15}, {3, 30}};
  for (Canvas* k : {&pc, &lc}) {
    k->SetPen(Pen::Styled(PenStyle::DashDotDot, kInk));
    k->SetBackgroundMode(BackgroundMode::Transparent);
  }
  pc.Polyline(pts);
  lc.MoveTo(1, 1);
  for (int i = 1; i < 4; ++i) lc.LineTo(pts[i].x, pts[i].y);
  EXPECT_EQ(poly.pixels, lines.pixels);
}

TEST(PenMix, EveryMixModeOnAPenPixel) {
  const std::uint32_t P = 0x00FF0F, D = 0x3C33F0;
  const std::uint32_t M = 0xFFFFFF;
  const std::pair<Mix, std::uint32_t> cases[] = {
      {Mix::Black, 0},           {Mix::NotMerge, ~(D | P) & M}, {Mix::MaskNotPen, D & ~P},
      {Mix::NotCopy, ~P & M},    {Mix::MaskPenNot, P & ~D},     {Mix::Not, ~D & M},
      {Mix::Xor, D ^ P},         {Mix::NotMask, ~(D & P) & M},  {Mix::Mask, D & P},
      {Mix::NotXor, ~(D ^ P) & M}, {Mix::Nop, D},               {Mix::MergeNotPen, (D | ~P) & M},
      {Mix::Copy, P},            {Mix::MergePenNot, (P | ~D) & M}, {Mix::Merge, D | P},
      {Mix::White, M},
  };
  for (const auto& [mix, want] : cases) {
    Surface s(4, 1, D);
    Canvas c(s);
    c.SetPen(Pen::Solid(P));
    c.SetMix(mix);
    c.MoveTo(0, 0);
    c.LineTo(2, 0);
    EXPECT_EQ(s.Row(0)[0], want) << int(mix);
    EXPECT_EQ(s.Row(0)[1], want) << int(mix);
    EXPECT_EQ(s.Row(0)[2], D) << int(mix);
  }
}

TEST(WideLine, SolidRoundEndedAndExactlyAsWideAsThePen) {
  for (int width : {2, 3, 4, 5}) {
    Surface s(40, 30);
    Canvas c(s);
    c.SetPen(Pen{PenStyle::Dash, width, kInk});  // wide pens are solid whatever the style
    c.MoveTo(8, 15);
    c.LineTo(30, 15);
    SCOPED_TRACE(width);
    int rows = 0;
    for (int y = 0; y < 30; ++y) rows += s.Row(y)[19] == kInk;
    EXPECT_EQ(rows, width);
    for (int x = 8; x <= 30; ++x) EXPECT_EQ(s.Row(15)[x], kInk) << x;  // both ends in
    // Round ends reach half the width beyond the end points on the centre row, not further.
    EXPECT_EQ(s.Row(15)[8 - (width - 1) / 2], kInk);
    EXPECT_EQ(s.Row(15)[8 - width / 2 - 1], 0u);
    EXPECT_EQ(s.Row(15)[30 + width / 2 + 1], 0u);
  }
  // A diagonal wide line covers about length x width plus the round ends.
  Surface s(100, 100);
  Canvas c(s);
  c.SetPen(Pen::Solid(kInk, 6));
  c.MoveTo(10, 10);
  c.LineTo(80, 70);
  const double area = std::hypot(70.0, 60.0) * 6 + 3.14159 * 9;
  EXPECT_NEAR(Count(s, kInk), area, area * 0.05);
}

// A line drawn on a small surface matches the same line drawn on a surface big enough to hold it
// whole: clipping changes no pixel.
TEST(LineClipping, ClippedLinesKeepTheirPixels) {
  const Line lines[] = {{-150, -90, 170, 120}, {-40, 5, 90, 7},    {16, -180, 17, 190}, {180, 30, -170, -5},
                        {-3, -3, 40, 40},      {31, 23, -100, 23}, {5, 200, 25, -200},  {-199, 199, 199, -199}};
  constexpr int W = 32, H = 24, M = 220;
  for (const Line& l : lines) {
    for (PenStyle style : {PenStyle::Solid, PenStyle::DashDotDot}) {
      Surface small(W, H), big(W + 2 * M, H + 2 * M);
      Canvas a(small), b(big);
      b.SetOrigin(M, M);
      for (Canvas* c : {&a, &b}) {
        c->SetPen(Pen::Styled(style, kInk));
        c->SetBackgroundColor(kGap);
        c->MoveTo(l.x0, l.y0);
        c->LineTo(l.x1, l.y1);
      }
      for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
          ASSERT_EQ(small.Row(y)[x], big.Row(y + M)[x + M])
              << l.x0 << "," << l.y0 << " -> " << l.x1 << "," << l.y1 << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(LineClipping, ExtremeCoordinatesAndTheClipRectangle) {
  Surface s(20, 10);
  Canvas c(s);
  c.SetPen(Pen::Solid(kInk));
  c.MoveTo(INT_MIN, 4);
  c.LineTo(INT_MAX, 4);
  EXPECT_EQ(Picture(s, kInk)[4], std::string(20, '#'));
  c.MoveTo(7, INT_MAX);
  c.LineTo(7, INT_MIN);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(s.Row(y)[7], kInk);
  c.MoveTo(INT_MIN, INT_MIN);
  c.LineTo(INT_MAX, INT_MAX);  // the diagonal through the origin
  EXPECT_EQ(s.Row(3)[3], kInk);
  c.SetPen(Pen::Solid(kInk, 7));
  c.MoveTo(INT_MIN, INT_MAX);
  c.LineTo(INT_MAX, INT_MIN);
  c.SetOrigin(INT_MAX, INT_MIN);
  c.LineTo(-5, 5);

  // Nothing outside the clip rectangle changes, whatever is drawn.
  Surface n = Noise(30, 30), before = n;
  Canvas k(n);
  k.SetClipRect(Rect{5, 6, 17, 20});
  k.SetPen(Pen::Solid(kInk));
  for (int i = -40; i < 70; i += 3) {
    k.MoveTo(i, -10);
    k.LineTo(30 - i, 45);
  }
  k.SetPen(Pen::Solid(kInk, 5));
  k.MoveTo(-10, 12);
  k.LineTo(50, 12);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      if (x < 5 || x >= 17 || y < 6 || y >= 20) {
        ASSERT_EQ(n.Row(y)[x], before.Row(y)[x]) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(n.Row(12)[5], kInk);
  EXPECT_EQ(n.Row(12)[16], kInk);
}

}  // namespace
}  // namespace gfx
