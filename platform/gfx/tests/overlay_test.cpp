#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

const Palette kEditorPalette = {0x000000, 0x0000c0, 0x00c000, 0x00c0c0, 0xc00000, 0xc000c0, 0xc08000, 0xc0c0c0,
                                0x808080, 0x0080ff, 0x00ff00, 0x00ffff, 0xff0000, 0xff00ff, 0xffff00, 0xffffff,
                                0xffc000, 0xc0ff00, 0x00ffc0, 0x00c0ff, 0xff00c0, 0xc000ff};

// Everything the editor draws by inversion, at positions inside, across and beyond the edges: drawn
// twice, each leaves the picture exactly as it was.
TEST(XorOverlays, DrawnTwiceLeaveTheSurfaceBitForBit) {
  const MonoBitmap mark = MonoBitmap::FromWords(
      16, 15, {0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0000, 0xfc7e, 0x0000, 0x0100, 0x0100, 0x0100,
               0x0100, 0x0100, 0x0100});
  struct Overlay {
    std::string name;
    std::function<void(Canvas&)> draw;
  };
  const std::vector<Overlay> overlays = {
      {"band line", [](Canvas& c) { c.MoveTo(10, 40); c.LineTo(57, 3); }},
      {"band line off the surface", [](Canvas& c) { c.MoveTo(-20, 30); c.LineTo(90, -7); }},
      {"band rectangle dragged up and left",
       [](Canvas& c) {
         const int sx = 50, sy = 40, px = 5, py = 8;
         c.Rectangle(std::min(sx, px), std::min(sy, py), std::max(sx, px) + 1, std::max(sy, py) + 1);
       }},
      {"ghost outline across the edge", [](Canvas& c) { c.Rectangle(-12, 30, 20, 70); }},
      {"two-line band",
       [](Canvas& c) {
         c.MoveTo(3, 3);
         c.LineTo(33, 44);
         c.LineTo(60, 10);
       }},
      {"crosshair",
       [](Canvas& c) {
         c.SetPen(Pen::Solid(PaletteIndex(7)));
         c.MoveTo(25, 0);
         c.LineTo(25, 48);
         c.MoveTo(0, 17);
         c.LineTo(64, 17);
       }},
      {"opaque dashes",
       [](Canvas& c) {
         c.SetBackgroundMode(BackgroundMode::Opaque);
         c.SetBackgroundColor(PaletteIndex(12));
         c.SetPen(Pen::Styled(PenStyle::DashDotDot, PaletteIndex(14)));
         c.MoveTo(2, 45);
         c.LineTo(61, 2);
       }},
      {"wide line", [](Canvas& c) { c.SetPen(Pen::Solid(PaletteIndex(9), 7)); c.MoveTo(-3, 5); c.LineTo(40, 52); }},
      {"pattern-filled self-crossing polygon",
       [](Canvas& c) {
         c.SetPen(Pen::Null());
         c.SetBackgroundColor(PaletteIndex(10));
         c.SetBrush(Brush::Pattern({0x80, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40}));
         const Point p[] = {{-5, -5}, {70, 40}, {60, -10}, {2, 50}, {30, 1}};
         c.Polygon(p);
       }},
      {"filled polygon with an outline",
       [](Canvas& c) {
         c.SetBrush(Brush::Solid(PaletteIndex(5)));
         const Point p[] = {{8, 8}, {50, 12}, {30, 40}};
         c.Polygon(p);
       }},
      {"dot grid",
       [](Canvas& c) {
         for (int y = -3; y < 52; y += 4) {
           for (int x = -3; x < 68; x += 4) c.SetPixel(x, y, PaletteIndex(7));
         }
       }},
      {"pointer mark",
       [&mark](Canvas& c) {
         c.SetBackgroundColor(PaletteIndex(15));
         c.SetTextColor(PaletteIndex(0));
         c.BitBlt(60 - 7, 2 - 7, 16, 15, mark, 0, 0, rop::kSrcInvert);
       }},
      {"pattern inversion",
       [](Canvas& c) {
         c.SetBrush(Brush::Hatch(HatchStyle::DiagonalCross, PaletteIndex(3)));
         c.PatBlt(-4, 10, 30, 50, rop::kPatInvert);
       }},
      {"inverted area", [](Canvas& c) { c.InvertRect(Rect{40, 20, 80, 60}); }},
  };
  for (const Overlay& o : overlays) {
    for (Point origin : {Point{0, 0}, Point{-9, 6}}) {
      Surface s = test::Noise(64, 48);
      const Surface before = s;
      Canvas c(s);
      c.SetPalette(kEditorPalette);
      c.SetOrigin(origin.x, origin.y);
      c.SetMix(Mix::Xor);
      c.SetBackgroundMode(BackgroundMode::Transparent);
      c.SetPen(Pen::Styled(PenStyle::Dot, PaletteIndex(7)));
      c.SetBrush(Brush::Null());
      const CanvasState start = c.state();
      o.draw(c);
      EXPECT_NE(s.pixels, before.pixels) << o.name;
      c.RestoreState(start);
      o.draw(c);
      EXPECT_EQ(s.pixels, before.pixels) << o.name << " at origin " << origin.x << "," << origin.y;
    }
  }
}

}  // namespace
}  // namespace gfx
