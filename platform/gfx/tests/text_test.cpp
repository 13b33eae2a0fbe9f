#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/gfx/canvas.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

using test::Count;
using test::Noise;

constexpr std::uint32_t kText = 0x000080;
constexpr std::uint32_t kBack = 0xFFFFC0;

TEST(Fonts, BothFacesLoadWithTheMetricsTheProgramsLayOutBy) {
  const auto ui = UiFont();
  const auto oem = OemFixedFont();
  ASSERT_TRUE(ui->loaded()) << "fonts-dejavu-core missing";
  ASSERT_TRUE(oem->loaded());
  // Window metrics refuse a system font taller than 18 pixels; help pages fit 71 characters in 572.
  EXPECT_LE(ui->metrics().height, 18);
  EXPECT_LE(oem->metrics().height, 18);
  EXPECT_EQ(oem->metrics().aveCharWidth, 8);
  EXPECT_TRUE(oem->metrics().fixedPitch);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(oem->glyph((unsigned char)b).advance, 8) << b;
  EXPECT_FALSE(ui->metrics().fixedPitch);
  EXPECT_LT(ui->Measure("iiii").cx, ui->Measure("MMMM").cx);
  // Bytes that stand for no character take no room in the UI face.
  EXPECT_EQ(ui->Measure(std::string("a\x01\x81" "b", 4)).cx, ui->Measure("ab").cx);
  EXPECT_EQ(MakeFont(FontFace::Mono, 13, CodePage::Cp437), oem);
}

TEST(Fonts, AMissingFontFileTakesRoomButDrawsNothing) {
  const char* old = std::getenv("MERO_FONT_DIR");
  const std::string saved = old ? old : "";
  setenv("MERO_FONT_DIR", "/nonexistent/fonts", 1);
  const auto f = MakeFont(FontFace::Sans, 23, CodePage::Cp1252);
  if (old) setenv("MERO_FONT_DIR", saved.c_str(), 1);
  else unsetenv("MERO_FONT_DIR");
  EXPECT_FALSE(f->loaded());
  EXPECT_GT(f->metrics().height, 0);
  EXPECT_GT(f->Measure("abc").cx, 0);
  Surface s(60, 40);
  Canvas c(s);
  c.SetFont(f);
  c.SetBackgroundMode(BackgroundMode::Transparent);
  c.SetTextColor(kText);
  c.TextOut(2, 2, "abc");
  EXPECT_EQ(Count(s, kText), 0);
}

TEST(Fonts, CodePage437CarriesTheBoxAndSymbolCharacters) {
  struct Case {
    unsigned char byte;
    char32_t code;
  };
  for (const Case k : {Case{0xF0, 0x2261}, {0xB3, 0x2502}, {0xC4, 0x2500}, {0xDB, 0x2588}, {0x01, 0x263A},
                       {0x7F, 0x2302}, {0x82, 0x00E9}, {0xE1, 0x00DF}, {0x41, 0x0041}, {0xFF, 0x00A0}}) {
    EXPECT_EQ(CodePointOf(CodePage::Cp437, k.byte), k.code) << int(k.byte);
  }
  EXPECT_EQ(CodePointOf(CodePage::Cp1252, 0x80), char32_t(0x20AC));
  EXPECT_EQ(CodePointOf(CodePage::Cp1252, 0xE9), char32_t(0x00E9));
  EXPECT_EQ(CodePointOf(CodePage::Cp1252, 0x81), char32_t(0));

  // Box-drawing strokes fill the whole cell, so lines of them join up; "≡" is three bars.
  const auto oem = OemFixedFont();
  const TextMetrics& m = oem->metrics();
  Surface s(8 * 3, m.height);
  Canvas c(s);
  c.SetFont(oem);
  c.SetTextColor(kText);
  c.SetBackgroundMode(BackgroundMode::Transparent);
  c.TextOut(0, 0, "\xB3\xC4\xF0");
  int vertical = 0;
  for (int y = 0; y < m.height; ++y) {
    bool any = false;
    for (int x = 0; x < 8; ++x) any |= s.Row(y)[x] == kText;
    vertical += any;
  }
  EXPECT_EQ(vertical, m.height);
  int horizontal = 0;
  for (int x = 8; x < 16; ++x) {
    bool any = false;
    for (int y = 0; y < m.height; ++y) any |= s.Row(y)[x] == kText;
    horizontal += any;
  }
  EXPECT_EQ(horizontal, 8);
  int bars = 0;
  for (int y = 0; y < m.height; ++y) {
    const bool ink = s.Row(y)[20] == kText, above = y > 0 && s.Row(y - 1)[20] == kText;
    bars += ink && !above;
  }
  EXPECT_EQ(bars, 3);
}

TEST(TextOut, OpaqueFillsTheCellBoxTransparentTouchesOnlyInk) {
  const std::string text = "Help: \x82t\xE9 \xB3 42";
  for (auto font : {UiFont(), OemFixedFont()}) {
    const Size ext = font->Measure(text);
    const int h = font->metrics().height;
    for (BackgroundMode mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
      Surface s = Noise(ext.cx + 20, h + 10), before = s;
      Canvas c(s);
      c.SetFont(font);
      c.SetTextColor(kText);
      c.SetBackgroundColor(kBack);
      c.SetBackgroundMode(mode);
      c.SetMix(Mix::Xor);  // text ignores the mix mode
      c.TextOut(10, 5, text);
      EXPECT_EQ(c.TextExtent(text), ext);
      int ink = 0;
      for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
          const bool inCell = x >= 10 && x < 10 + ext.cx && y >= 5 && y < 5 + h;
          const std::uint32_t p = s.Row(y)[x];
          if (p == kText) {
            ++ink;
            continue;
          }
          if (inCell && mode == BackgroundMode::Opaque) ASSERT_EQ(p, kBack) << x << "," << y;
          else ASSERT_EQ(p, before.Row(y)[x]) << x << "," << y;
        }
      }
      EXPECT_GT(ink, 30);
      // The same text drawn again gives the same picture.
      Surface again = before;
      Canvas a(again);
      a.RestoreState(c.state());
      a.TextOut(10, 5, text);
      EXPECT_EQ(again.pixels, s.pixels);
    }
  }
}

// Where an opaque text lands: the box of the pixels it changes.
Rect CellBox(HAlign h, VAlign v, int x, int y) {
  Surface s(200, 60);
  Canvas c(s);
  c.SetFont(OemFixedFont());
  c.SetTextColor(kText);
  c.SetBackgroundColor(kBack);
  c.SetTextAlign(h, v);
  c.TextOut(x, y, "ABCD");
  Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int yy = 0; yy < 60; ++yy) {
    for (int xx = 0; xx < 200; ++xx) {
      if (s.Row(yy)[xx] == 0) continue;
      r.left = std::min(r.left, xx);
      r.top = std::min(r.top, yy);
      r.right = std::max(r.right, xx + 1);
      r.bottom = std::max(r.bottom, yy + 1);
    }
  }
  return r;
}

TEST(TextOut, AlignmentPlacesTheCellBox) {
  const TextMetrics& m = OemFixedFont()->metrics();
  EXPECT_EQ(CellBox(HAlign::Left, VAlign::Top, 50, 10), (Rect{50, 10, 82, 10 + m.height}));
  EXPECT_EQ(CellBox(HAlign::Right, VAlign::Top, 100, 10), (Rect{68, 10, 100, 10 + m.height}));
  EXPECT_EQ(CellBox(HAlign::Center, VAlign::Top, 100, 10), (Rect{84, 10, 116, 10 + m.height}));
  EXPECT_EQ(CellBox(HAlign::Left, VAlign::Baseline, 50, 30), (Rect{50, 30 - m.ascent, 82, 30 + m.descent}));
  EXPECT_EQ(CellBox(HAlign::Left, VAlign::Bottom, 50, 40), (Rect{50, 40 - m.height, 82, 40}));
}

TEST(TextOut, ClipsAtEveryEdge) {
  const std::string line(80, '\xDB');  // full blocks: every pixel of the cell is ink
  const int h = OemFixedFont()->metrics().height;
  for (const Point at : {Point{-30, -5}, Point{20, 25}, Point{-1000, 3}, Point{INT_MIN, INT_MAX}, Point{INT_MAX, 0}}) {
    Surface s = Noise(40, 30), before = s;
    Canvas c(s);
    c.SetFont(OemFixedFont());
    c.SetTextColor(kText);
    c.SetClipRect(Rect{5, 5, 35, 25});
    c.TextOut(at.x, at.y, line);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool inside = x >= 5 && x < 35 && y >= 5 && y < 25;
        const bool covered = (long long)x >= at.x && (long long)x < (long long)at.x + 640 && (long long)y >= at.y &&
                             (long long)y < (long long)at.y + h;
        ASSERT_EQ(s.Row(y)[x], inside && covered ? kText : before.Row(y)[x]) << at.x << "," << at.y;
      }
    }
  }
}

}  // namespace
}  // namespace gfx
