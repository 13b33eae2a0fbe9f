// The map window's picture and the progress picture.
#include <gtest/gtest.h>

#include "drc/pictures.h"
#include "drc/tests/drc_fixture.h"

namespace drc {
namespace {

TEST(Pictures, DspColours) {
  struct Case {
    const char* arg;
    std::uint32_t rgb;
  };
  for (Case c : {Case{"", 0xFFFFFF}, Case{"B", 0x0000FF}, Case{"blue", 0x0000FF}, Case{"c", 0x00FFFF}, Case{"G", 0x00FF00},
                 Case{"m", 0xFF00FF}, Case{"Red", 0xFF0000}, Case{"W", 0xFFFFFF}, Case{"w", 0xBFBFBF}, Case{"x", 0xBFBFBF},
                 Case{"y", 0xFFFF00}, Case{"K", 0}, Case{"-", 0}, Case{"12", 0xFF0000}, Case{"7", 0xBFBFBF},
                 Case{"16", 0}, Case{"-3", 0}})
    EXPECT_EQ(DspColour(c.arg), c.rgb) << c.arg;
}

TEST(Pictures, MapAtHalfSizeThinnedByItsDensity) {
  BitMap m = drctest::NewMap();
  FillMap(m);
  auto lit = [&](int density) {
    gfx::Surface p = NewMapperPicture();
    PaintMapperMap(p, m, 0xFF0000, density, 0);
    // Row and column 0 lie on the frame, which the guard window's frame (no band here) draws over.
    int n = 0;
    for (int j = 1; j < 320; ++j)
      for (int i = 1; i < 511; ++i) n += p.Row(kFrameBottom - j)[kFrameLeft + i] == 0xFF0000u;
    return n;
  };
  EXPECT_EQ(lit(1), 510 * 319);
  EXPECT_EQ(lit(0), 510 * 319);  // below 1 counts as 1
  EXPECT_EQ(lit(3), 255 * 159);  // odd: every second pixel both ways
  EXPECT_EQ(lit(2), 510 * 319 / 2);  // even: a checkerboard

  gfx::Surface p = NewMapperPicture();
  ClearMap(m);
  PaintMapperMap(p, m, 0xFF0000, 1, 40);
  EXPECT_EQ(p.Row(kFrameTop)[100], 0xFFFFFFu);                   // the frame
  EXPECT_EQ(p.Row(kFrameTop + 20)[100], 0xBFBFBFu);              // the guard window, half the band in
  EXPECT_EQ(p.Row(kFrameTop + 21)[kFrameLeft + 20], 0xBFBFBFu);
  EXPECT_EQ(p.Row(kFrameTop + 21)[kFrameLeft + 21], 0u);
}

TEST(Pictures, ProgressShowsTheScanWindowAndTheAreaInIt) {
  gfx::Surface s(300, 200, 0x123456);
  AreaProgress a{0, 0, 1000, 500, -100, -100, 400, 300};
  DrawAreaProgress(s, gfx::Rect{10, 20, 210, 120}, a);
  EXPECT_EQ(s.Row(0)[0], 0x123456u);               // outside the picture
  EXPECT_EQ(s.Row(21)[11], kProgressBackground);
  // Scale 0.95 * min(200 / 1000, 100 / 500): the window is 190 by 95, centred.
  EXPECT_EQ(s.Row(70)[15], 0xFFFFFFu);             // its left edge
  EXPECT_EQ(s.Row(100)[30], 0xFF0000u);            // the area, clipped to the window's corner
  EXPECT_EQ(s.Row(40)[180], 0x000080u);            // the rest of the window
}

TEST(Pictures, ViewerZoomsAndScrollsOverTheWholePicture) {
  // A picture of 40 by 20 with a marked corner pixel at each end.
  gfx::Surface pic(40, 20, 0x0000FF);
  pic.Row(0)[0] = 0xFF0000;
  pic.Row(19)[39] = 0x00FF00;
  gfx::Surface view(40, 20);
  PaintViewer(view, pic, 1, 0, 0);
  EXPECT_EQ(view.pixels, pic.pixels);
  // At 2x a quarter shows, each pixel twice each way; scrolled to the end the far corner shows.
  EXPECT_EQ(ViewerScrollLimit(40, 40, 2), 20);
  EXPECT_EQ(ViewerScrollLimit(20, 20, 4), 15);
  EXPECT_EQ(ViewerScrollLimit(20, 20, 1), 0);
  PaintViewer(view, pic, 2, 0, 0);
  EXPECT_EQ(view.Row(1)[1], 0xFF0000u);
  EXPECT_EQ(view.Row(2)[2], 0x0000FFu);
  PaintViewer(view, pic, 2, 20, 10);
  EXPECT_EQ(view.Row(19)[39], 0x00FF00u);
  EXPECT_EQ(view.Row(18)[38], 0x00FF00u);
  EXPECT_EQ(view.Row(17)[37], 0x0000FFu);
  PaintViewer(view, pic, 4, 30, 15);
  EXPECT_EQ(view.Row(16)[36], 0x00FF00u);
  EXPECT_EQ(view.Row(15)[35], 0x0000FFu);
}

}  // namespace
}  // namespace drc
