#include "editor/ui/button_bitmaps.h"

#include <array>
#include <cmath>

#include "platform/gfx/canvas.h"
#include "platform/gfx/text.h"

namespace edui {

const char* const kButtonBitmapNames[kButtonBitmaps] = {
    "MHELP", "MREAD", "MHCPY", "MSYS", "MUPDATE", "MCELL", "MLIST", "MUNDO", "MLEFT",
    "MUP",   "MDN",   "MRIGHT", "MFIT", "MCNTR", "MXPND", "MZOOM", "MLAST", "MDRAW",
};

namespace {

constexpr gfx::Color kFace = gfx::Rgb(192, 192, 192);
constexpr gfx::Color kInk = gfx::Rgb(0, 0, 0);
constexpr gfx::Color kBlue = gfx::Rgb(0, 0, 160);
constexpr gfx::Color kRed = gfx::Rgb(192, 0, 0);
constexpr gfx::Color kWhite = gfx::Rgb(255, 255, 255);

struct Pad {
  gfx::Canvas& c;
  void Pen(gfx::Color colour, int width = 0) { c.SetPen(gfx::Pen::Solid(colour, width)); }
  void Line(int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
    c.SetPixel(x2, y2, c.pen().color);
  }
  void Box(int l, int t, int r, int b, gfx::Color fill) {
    c.FillRect(gfx::Rect{l, t, r, b}, gfx::Brush::Solid(fill));
    c.FrameRect(gfx::Rect{l, t, r, b}, gfx::Brush::Solid(kInk));
  }
  void Poly(std::initializer_list<gfx::Point> points, gfx::Color fill) {
    c.SetPen(gfx::Pen::Solid(fill));
    c.SetBrush(gfx::Brush::Solid(fill));
    c.Polygon(std::span<const gfx::Point>(points.begin(), points.size()));
  }
  void Ring(int cx, int cy, int r) {
    c.SetBrush(gfx::Brush::Null());
    std::array<gfx::Point, 12> p;
    for (int i = 0; i < 12; ++i) {
      const double a = i * 3.14159265358979 / 6;
      p[std::size_t(i)] = {cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))};
    }
    c.Polygon(p);
  }
  void Text(int x, int y, const char* text) {
    c.SetFont(gfx::MakeFont(gfx::FontFace::SansBold, 13, gfx::CodePage::Cp1252));
    c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
    c.SetTextColor(kBlue);
    c.TextOut(x, y, text);
  }
};

void Arrow(Pad& p, int direction) {
  // Right, up, left, down as quarter turns of one triangle about the middle.
  const int cx = 11, cy = 9;
  const int pts[3][2] = {{6, 0}, {-4, -6}, {-4, 6}};
  gfx::Point q[3];
  for (int i = 0; i < 3; ++i) {
    int x = pts[i][0], y = pts[i][1];
    for (int k = 0; k < direction; ++k) {
      const int t = x;
      x = y;
      y = -t;
    }
    q[i] = {cx + x, cy + y};
  }
  p.Poly({q[0], q[1], q[2]}, kBlue);
}

void Picture(Pad& p, int index) {
  switch (index) {
    case 0:  // Help
      p.Text(7, 1, "?");
      break;
    case 1:  // Read: a page of text
      p.Box(5, 2, 17, 17, kWhite);
      p.Pen(kInk);
      for (int y = 5; y <= 14; y += 3) p.Line(7, y, 14, y);
      break;
    case 2:  // Print: a printer with its sheet
      p.Box(6, 2, 16, 9, kWhite);
      p.Box(3, 8, 19, 15, kFace);
      p.Pen(kInk);
      p.Line(5, 12, 16, 12);
      break;
    case 3:  // System Mode
      p.Text(2, 2, "Sy");
      break;
    case 4:  // Save: a disk
      p.Box(4, 2, 18, 16, kBlue);
      p.Box(7, 2, 15, 7, kWhite);
      p.Box(7, 10, 15, 16, kFace);
      break;
    case 5:  // Cell: a cell holding a smaller one
      p.Box(3, 2, 19, 16, kFace);
      p.Box(7, 6, 15, 12, kRed);
      break;
    case 6:  // List
      for (int y = 3; y <= 14; y += 4) {
        p.Box(3, y, 6, y + 3, kBlue);
        p.Pen(kInk);
        p.Line(8, y + 1, 18, y + 1);
      }
      break;
    case 7:  // Undo: an arrow turning back
      p.Pen(kBlue, 2);
      p.Line(16, 14, 16, 7);
      p.Line(16, 7, 8, 7);
      p.Poly({{3, 7}, {9, 2}, {9, 12}}, kBlue);
      break;
    case 8:
      Arrow(p, 2);
      break;
    case 9:
      Arrow(p, 1);
      break;
    case 10:
      Arrow(p, 3);
      break;
    case 11:
      Arrow(p, 0);
      break;
    case 12:  // Fit: corner brackets round a box
      p.Box(8, 6, 14, 12, kRed);
      p.Pen(kInk);
      p.Line(3, 2, 6, 2), p.Line(3, 2, 3, 5), p.Line(18, 2, 15, 2), p.Line(18, 2, 18, 5);
      p.Line(3, 15, 6, 15), p.Line(3, 15, 3, 12), p.Line(18, 15, 15, 15), p.Line(18, 15, 18, 12);
      break;
    case 13:  // Centre: a cross in a ring
      p.Pen(kBlue);
      p.Ring(11, 9, 6);
      p.Pen(kInk);
      p.Line(11, 1, 11, 17);
      p.Line(3, 9, 19, 9);
      break;
    case 14:  // Expand: arrows to the corners
      p.Box(9, 7, 13, 11, kRed);
      p.Pen(kBlue);
      p.Line(8, 6, 3, 1), p.Line(14, 6, 19, 1), p.Line(8, 12, 3, 17), p.Line(14, 12, 19, 17);
      break;
    case 15:  // Zoom: a magnifier
      p.Pen(kBlue, 2);
      p.Ring(9, 7, 5);
      p.Line(13, 11, 18, 16);
      break;
    case 16:  // Last: back and forth
      p.Poly({{2, 9}, {8, 4}, {8, 14}}, kBlue);
      p.Poly({{20, 9}, {14, 4}, {14, 14}}, kRed);
      break;
    case 17:  // Draw: a pencil
      p.Pen(kInk, 3);
      p.Line(5, 15, 16, 4);
      p.Pen(kRed, 3);
      p.Line(15, 5, 18, 2);
      break;
    default:
      break;
  }
}

}  // namespace

gfx::Surface ButtonBitmap(int index) {
  gfx::Surface s(kButtonBitmapWidth, kButtonBitmapHeight, kFace);
  gfx::Canvas c(s);
  Pad p{c};
  Picture(p, index);
  return s;
}

}  // namespace edui
