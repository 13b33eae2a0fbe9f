#include "drc/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "drc/pcx.h"
#include "editor/db/text_numbers.h"
#include "platform/gfx/canvas.h"

namespace drc {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kGrey = 0xBFBFBF;
constexpr std::uint32_t kScanFill = 0x000080, kAreaFill = 0xFF0000;

}  // namespace

std::uint32_t DspColour(std::string_view argument) {
  if (argument.empty()) return kWhite;
  const int n = int(db::LeadingInt(argument));
  if (n != 0) return n >= 1 && n <= 15 ? kPcxPalette[std::size_t(n)] : 0;
  switch (argument[0]) {
    case 'B': case 'b': return 0x0000FF;
    case 'C': case 'c': return 0x00FFFF;
    case 'G': case 'g': return 0x00FF00;
    case 'M': case 'm': return 0xFF00FF;
    case 'R': case 'r': return 0xFF0000;
    case 'W': return kWhite;
    case 'Y': case 'y': return 0xFFFF00;
    case 'w': case 'x': return kGrey;
    default: return 0;
  }
}

gfx::Surface NewMapperPicture() { return gfx::Surface(kMapperWidth, kMapperHeight, 0); }

void PaintMapperMap(gfx::Surface& picture, const BitMap& map, std::uint32_t colour, int density, int guardPixels) {
  gfx::Canvas c(picture);
  c.FrameRect(gfx::Rect{kFrameLeft, kFrameTop, kFrameRight + 1, kFrameBottom + 1}, gfx::Brush::Solid(kWhite));
  const int d = std::max(density, 1);
  const int e = d == 1 ? 1 : d - 1;
  for (int j = 0; j < kCheckRows / 2; ++j)
    for (int i = 0; i <= kMapWidth / 2 - 2; ++i) {
      if (!TestMapPixel(map, 2 * i, 2 * j)) continue;
      const bool shown = d % 2 == 0 ? (i + j) % d == 0 && (i - j) % d == 0 : i % e == 0 && j % e == 0;
      if (shown) picture.Row(kFrameBottom - j)[kFrameLeft + i] = colour;
    }
  const int h = static_cast<int>(guardPixels * 0.5);
  gfx::Rect guard{kFrameLeft + h, kFrameTop + h, kFrameRight + 1 - h, kFrameBottom + 1 - h};
  if (!guard.IsEmpty()) c.FrameRect(guard, gfx::Brush::Solid(kGrey));
}

void PaintViewer(gfx::Surface& view, const gfx::Surface& picture, int zoom, int x, int y) {
  gfx::Canvas c(view);
  c.FillRect(gfx::Rect{0, 0, view.width, view.height}, gfx::Brush::Solid(0));
  zoom = std::max(zoom, 1);
  if (zoom == 1) c.BitBlt(0, 0, view.width, view.height, picture, x, y, gfx::rop::kSrcCopy);
  else c.StretchBlt(0, 0, view.width, view.height, picture, x, y, view.width / zoom, view.height / zoom, gfx::rop::kSrcCopy);
}

int ViewerScrollLimit(int pictureSize, int viewSize, int zoom) {
  return std::max(0, pictureSize - viewSize / std::max(zoom, 1));
}

void DrawAreaProgress(gfx::Surface& surface, const gfx::Rect& rect, const AreaProgress& a) {
  gfx::Canvas c(surface);
  c.FillRect(rect, gfx::Brush::Solid(kProgressBackground));
  const double w = a.right - a.left, h = a.top - a.bottom;
  if (rect.IsEmpty() || w <= 0 || h <= 0) return;
  const double scale = 0.95 * std::min(rect.Width() / w, rect.Height() / h);
  const double cx = (rect.left + rect.right) / 2.0, cy = (rect.top + rect.bottom) / 2.0;
  const double mx = (a.left + a.right) / 2, my = (a.bottom + a.top) / 2;
  auto X = [&](double x) { return static_cast<int>(std::lround(cx + (x - mx) * scale)); };
  auto Y = [&](double y) { return static_cast<int>(std::lround(cy - (y - my) * scale)); };
  gfx::Rect scan{X(a.left), Y(a.top), X(a.right), Y(a.bottom)};
  c.FillRect(scan, gfx::Brush::Solid(kScanFill));
  gfx::Rect area = gfx::Intersect(
      gfx::Rect{X(std::max(a.x0, a.left)), Y(std::min(a.y1, a.top)), X(std::min(a.x1, a.right)),
                Y(std::max(a.y0, a.bottom))},
      scan);
  if (!area.IsEmpty()) c.FillRect(area, gfx::Brush::Solid(kAreaFill));
  c.FrameRect(scan, gfx::Brush::Solid(kWhite));
}

}  // namespace drc
