#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

using test::Count;
using test::Noise;
using test::Picture;

// Result of a ternary operation worked out bit by bit from its truth table.
std::uint32_t ByTruthTable(Rop rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const int k = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    r |= std::uint32_t((rop >> k) & 1) << bit;
  }
  return r;
}

TEST(RasterOperations, EveryOperationOnATableOfPixels) {
  // Destination, source and a one-colour pattern brush covering all bit combinations.
  const std::uint32_t dest[] = {0x000000, 0xFFFFFF, 0xF0F0F0, 0x0F0F0F, 0x3C3C3C, 0x123456};
  const std::uint32_t src[] = {0x000000, 0xFFFFFF, 0xCCCCCC, 0x333333, 0xAA55AA, 0x654321};
  const std::uint32_t pat = 0xF00FF0;
  for (int code = 0; code < 256; ++code) {
    const Rop rop = Rop(code);
    Surface d(6, 1), s(6, 1);
    for (int i = 0; i < 6; ++i) {
      d.Row(0)[i] = dest[i];
      s.Row(0)[i] = src[i];
    }
    Canvas c(d);
    c.SetBrush(Brush::Solid(pat));
    ASSERT_TRUE(c.BitBlt(0, 0, 6, 1, s, 0, 0, rop));
    for (int i = 0; i < 6; ++i) {
      ASSERT_EQ(d.Row(0)[i], ByTruthTable(rop, pat, src[i], dest[i])) << "rop " << code << " pixel " << i;
      ASSERT_EQ(ApplyRop(rop, pat, src[i], dest[i]), ByTruthTable(rop, pat, src[i], dest[i]));
    }
  }
  // The named operations mean what the programs expect.
  const std::uint32_t P = 0xF00FF0, S = 0xAA55AA, D = 0x3C3C3C;
  struct Named {
    Rop rop;
    std::uint32_t want;
  };
  for (const Named n : {Named{rop::kSrcCopy, S}, {rop::kSrcInvert, S ^ D}, {rop::kSrcPaint, S | D},
                        {rop::kSrcAnd, S & D}, {rop::kDSna, D & ~S & 0xFFFFFF}, {RopFromCode(0x220326), D & ~S},
                        {rop::kPatCopy, P}, {rop::kPatInvert, P ^ D}, {rop::kDstInvert, ~D & 0xFFFFFF},
                        {rop::kBlackness, 0}, {rop::kWhiteness, 0xFFFFFF}, {rop::kNotSrcCopy, ~S & 0xFFFFFF},
                        {rop::kMergeCopy, P & S}, {rop::kMergePaint, (~S | D) & 0xFFFFFF}}) {
    EXPECT_EQ(ApplyRop(n.rop, P, S, D), n.want) << int(n.rop);
  }
}

// The editor's marker: a one-bit bitmap laid over the drawing in one colour, by clearing its pixels
// (DSna with white as background) and then OR-ing the colour in (SRCPAINT with the colour as
// background). 0 bits take the text colour (black), so the pixels around the shape stay as drawn.
TEST(MonoBlit, TheMarkerShowsInItsColourAndLeavesTheRestAlone) {
  const MonoBitmap diamond = MonoBitmap::FromWords(16, 7, {0x0100, 0x0280, 0x0440, 0x0820, 0x0440, 0x0280, 0x0100});
  Surface s = Noise(24, 12), before = s;
  Canvas c(s);
  c.SetTextColor(0);
  c.SetBackgroundColor(0xFFFFFF);
  c.BitBlt(3, 2, 16, 7, diamond, 0, 0, RopFromCode(0x220326));
  c.SetBackgroundColor(0x00C000);
  c.BitBlt(3, 2, 16, 7, diamond, 0, 0, rop::kSrcPaint);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 24; ++x) {
      const bool on = x >= 3 && x < 19 && y >= 2 && y < 9 && diamond.Get(x - 3, y - 2);
      EXPECT_EQ(s.Row(y)[x], on ? 0x00C000u : before.Row(y)[x]) << x << "," << y;
    }
  }
  EXPECT_EQ(s.Row(2)[10], 0x00C000u);  // the diamond's top (bit 8 of 0x0100 is column 7)

  // The pointer mark goes on and off with SRCINVERT.
  const MonoBitmap cross = MonoBitmap::FromWords(
      16, 15, {0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0000, 0xfc7e, 0x0000, 0x0100, 0x0100, 0x0100,
               0x0100, 0x0100, 0x0100});
  Surface n = Noise(20, 20), was = n;
  Canvas k(n);
  k.SetBackgroundColor(0xFFFFFF);
  k.SetTextColor(0);
  k.BitBlt(-3, 9, 16, 15, cross, 0, 0, rop::kSrcInvert);
  EXPECT_NE(n.pixels, was.pixels);
  EXPECT_EQ(n.Row(16)[0], ~was.Row(16)[0] & 0xFFFFFFu);  // row 7 of the mark: 0xfc7e, column 3 set
  k.BitBlt(-3, 9, 16, 15, cross, 0, 0, rop::kSrcInvert);
  EXPECT_EQ(n.pixels, was.pixels);
}

TEST(Blit, ClipsToBothSurfacesWithoutOverrunning) {
  Surface src(8, 6);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) src.Row(y)[x] = Rgb(x * 10, y * 10, 1);
  }
  struct Case {
    int x, y, w, h, sx, sy;
  };
  for (const Case k : {Case{-3, -2, 8, 6, 0, 0}, {7, 5, 8, 6, 0, 0}, {2, 1, 20, 20, 0, 0}, {0, 0, 8, 6, -4, -3},
                       {1, 1, 5, 5, 6, 4}, {INT_MIN, INT_MAX, 5, 5, 0, 0}, {0, 0, 5, 5, INT_MIN, INT_MAX},
                       {-5, -5, INT_MAX, INT_MAX, 0, 0}}) {
    Surface d = Noise(10, 8), before = d;
    Canvas c(d);
    c.BitBlt(k.x, k.y, k.w, k.h, src, k.sx, k.sy, rop::kSrcCopy);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 10; ++x) {
        const long long sx = (long long)k.sx + x - k.x, sy = (long long)k.sy + y - k.y;
        const bool inDest = x >= (long long)k.x && x < (long long)k.x + k.w && y >= (long long)k.y &&
                            y < (long long)k.y + k.h;
        const bool inSrc = sx >= 0 && sx < 8 && sy >= 0 && sy < 6;
        ASSERT_EQ(d.Row(y)[x], inDest && inSrc ? src.Row(int(sy))[sx] : before.Row(y)[x])
            << k.x << "," << k.y << " at " << x << "," << y;
      }
    }
  }
  // Sources whose fields disagree with their pixel store draw nothing.
  Surface badSrc(8, 6);
  badSrc.pixels.resize(10);
  MonoBitmap badMono = MonoBitmap::FromWords(16, 4, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});
  badMono.height = 400;
  Surface d(4, 4);
  Canvas c(d);
  c.BitBlt(0, 0, 4, 4, badSrc, 0, 0, rop::kSrcInvert);
  c.BitBlt(0, 0, 4, 4, badMono, 0, 0, rop::kSrcInvert);
  c.StretchBlt(0, 0, 4, 4, badMono, 0, 0, 16, 400, rop::kSrcInvert);
  c.FillRect(Rect{0, 0, 4, 4}, Brush::Pattern(badMono));
  EXPECT_EQ(Count(d, 0), 16);
  EXPECT_FALSE(c.BitBlt(0, 0, 0, 3, src, 0, 0, rop::kSrcCopy));
  EXPECT_FALSE(c.BitBlt(0, 0, 3, -1, src, 0, 0, rop::kSrcCopy));
  EXPECT_FALSE(c.PatBlt(0, 0, -2, 3, rop::kBlackness));
}

TEST(Blit, OverlappingCopyWithinOneSurfaceActsAsFromACopy) {
  for (int dx : {-3, 0, 2}) {
    for (int dy : {-2, 1}) {
      Surface s = Noise(16, 12), original = s;
      Canvas c(s);
      c.BitBlt(2 + dx, 2 + dy, 10, 7, s, 2, 2, rop::kSrcCopy);
      Surface expect = original;
      Canvas e(expect);
      e.BitBlt(2 + dx, 2 + dy, 10, 7, original, 2, 2, rop::kSrcCopy);
      EXPECT_EQ(s.pixels, expect.pixels) << dx << "," << dy;
    }
  }
}

TEST(PatBlt, FillsByOperationWithTheBrushAnchoredAtTheSurface) {
  Surface s(16, 8, 0x102030);
  Canvas c(s);
  EXPECT_TRUE(c.PatBlt(0, 0, 16, 4, rop::kWhiteness));
  EXPECT_TRUE(c.PatBlt(0, 4, 16, 4, rop::kBlackness));
  EXPECT_EQ(Count(s, 0xFFFFFF), 64);
  EXPECT_EQ(Count(s, 0), 64);
  c.SetBackgroundColor(0x00FF00);
  c.SetTextColor(0);
  c.SetBrush(Brush::Pattern({0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}));
  c.SetOrigin(5, 0);  // the pattern stays on the surface's grid
  c.PatBlt(-5, 0, 16, 8, rop::kPatInvert);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t base = y < 4 ? 0xFFFFFF : 0;
      EXPECT_EQ(s.Row(y)[x], (x & 7) == y ? base ^ 0x00FF00u : base) << x << "," << y;
    }
  }
}

TEST(StretchBlt, EnlargesByRepeatingAndShrinksByTheStretchMode) {
  Surface src(4, 2);
  const std::uint32_t px[] = {0x000000, 0xFFFFFF, 0x808080, 0x102030, 0xFFFFFF, 0xFFFFFF, 0x0000FF, 0x204060};
  for (int i = 0; i < 8; ++i) src.pixels[std::size_t(i)] = px[i];

  Surface big(8, 4);
  Canvas c(big);
  c.StretchBlt(0, 0, 8, 4, src, 0, 0, 4, 2, rop::kSrcCopy);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(big.Row(y)[x], src.Row(y / 2)[x / 2]);
  }
  // Mirrored when the widths' signs differ.
  Surface mir(4, 2);
  Canvas m(mir);
  m.StretchBlt(4, 0, -4, 2, src, 0, 0, 4, 2, rop::kSrcCopy);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(mir.Row(0)[x], src.Row(0)[3 - x]);

  // 4 x 2 onto 2 x 1: each destination pixel gathers a 2 x 2 block.
  struct Case {
    StretchMode mode;
    std::uint32_t left, right;
  };
  for (const Case k : {Case{StretchMode::BlackOnWhite, 0x000000, 0x808080 & 0x102030 & 0x0000FF & 0x204060},
                       Case{StretchMode::WhiteOnBlack, 0xFFFFFF, 0x808080 | 0x102030 | 0x0000FF | 0x204060},
                       Case{StretchMode::ColorOnColor, 0x000000, 0x808080},
                       Case{StretchMode::Halftone, Rgb(191, 191, 191), Rgb(44, 56, 132)}}) {
    Surface small(2, 1);
    Canvas k2(small);
    k2.SetStretchMode(k.mode);
    k2.StretchBlt(0, 0, 2, 1, src, 0, 0, 4, 2, rop::kSrcCopy);
    EXPECT_EQ(small.Row(0)[0], k.left) << int(k.mode);
    EXPECT_EQ(small.Row(0)[1], k.right) << int(k.mode);
  }

  // A one-pixel black line on white survives a 3:1 reduction only by AND.
  Surface page(30, 30, 0xFFFFFF);
  for (int y = 0; y < 30; ++y) page.Row(y)[13] = 0;
  for (StretchMode mode : {StretchMode::BlackOnWhite, StretchMode::ColorOnColor}) {
    Surface out(10, 10);
    Canvas k(out);
    k.SetStretchMode(mode);
    k.StretchBlt(0, 0, 10, 10, page, 0, 0, 30, 30, rop::kSrcCopy);
    EXPECT_EQ(Count(out, 0), mode == StretchMode::BlackOnWhite ? 10 : 0);
  }
}

TEST(StretchBlt, ClipsAndSurvivesExtremeSizes) {
  Surface src = Noise(7, 5);
  Surface d = Noise(12, 9), before = d;
  Canvas c(d);
  c.SetClipRect(Rect{2, 2, 10, 7});
  c.StretchBlt(-30, -40, 100, 90, src, 0, 0, 7, 5, rop::kSrcCopy);
  c.StretchBlt(INT_MIN, INT_MIN, INT_MAX, INT_MAX, src, -3, -3, 20, 20, rop::kSrcCopy);
  c.StretchBlt(3, 3, 5, 5, src, INT_MAX - 2, 0, 7, 5, rop::kSrcCopy);
  c.StretchBlt(0, 0, INT_MIN, 4, src, 0, 0, 7, 5, rop::kSrcInvert);
  c.SetStretchMode(StretchMode::Halftone);
  c.StretchBlt(0, 0, 1, 1, src, 0, 0, INT_MAX, INT_MAX, rop::kSrcCopy);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 12; ++x) {
      if (x < 2 || x >= 10 || y < 2 || y >= 7) {
        ASSERT_EQ(d.Row(y)[x], before.Row(y)[x]) << x << "," << y;
      }
    }
  }
  EXPECT_FALSE(c.StretchBlt(0, 0, 0, 4, src, 0, 0, 7, 5, rop::kSrcCopy));
  EXPECT_FALSE(c.StretchBlt(0, 0, 4, 4, src, 0, 0, 7, 0, rop::kSrcCopy));

  // A one-bit picture stretches through the text and background colours.
  const MonoBitmap m = MonoBitmap::FromWords(2, 1, {0x4000});
  Surface out(4, 2);
  Canvas k(out);
  k.SetTextColor(0x0000FF);
  k.SetBackgroundColor(0x00FF00);
  k.StretchBlt(0, 0, 4, 2, m, 0, 0, 2, 1, rop::kSrcCopy);
  EXPECT_EQ(Picture(out, 0x00FF00), (std::vector<std::string>{"..##", "..##"}));
  EXPECT_EQ(Count(out, 0x0000FF), 4);
}

}  // namespace
}  // namespace gfx

namespace gfx {
namespace {

TEST(DeviceCaps, MillimetresAgreeWithPixelsAtTheResolution) {
  const Surface page(3508, 2480);
  const DeviceCaps a4 = CapsOf(page, 300);
  EXPECT_EQ(a4.horzRes, 3508);
  EXPECT_EQ(a4.vertRes, 2480);
  EXPECT_EQ(a4.horzSizeMm, 297);
  EXPECT_EQ(a4.vertSizeMm, 210);
  EXPECT_EQ(a4.logPixelsX, 300);
  Surface screen(1920, 1080);
  Canvas c(screen);
  EXPECT_EQ(c.Caps().logPixelsX, 96);
  EXPECT_EQ(c.Caps().bitsPixel, 24);
  EXPECT_EQ(c.Caps().numColors, -1);
  EXPECT_EQ(c.Caps().horzSizeMm, 508);
}

}  // namespace
}  // namespace gfx
