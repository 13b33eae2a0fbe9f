// What the checker draws: the map window's picture (a map at half size inside a frame, thinned by a
// density) and the progress picture of a run (the scan window and the area being checked).
#pragma once
#include <cstdint>
#include <string_view>

#include "drc/bitmap.h"
#include "platform/gfx/geometry.h"
#include "platform/gfx/surface.h"

namespace drc {

// The map window's picture: a whole number of PCX bytes across, so a copy loses no column.
constexpr int kMapperWidth = 544, kMapperHeight = 336;
// The white frame; map pixel (2 i, 2 j) shows at (kFrameLeft + i, kFrameBottom - j).
constexpr int kFrameLeft = 16, kFrameTop = 8, kFrameRight = kMapperWidth - 16, kFrameBottom = kMapperHeight - 8;

// The colour of a DSP argument: a number 1..15 is that colour of the map files' palette; else the
// first letter: B blue, C cyan, G green, M magenta, R red, W white, Y yellow (either case but W),
// w or x grey; other letters black. No argument: white.
std::uint32_t DspColour(std::string_view argument);

// A black picture of the map window's size.
gfx::Surface NewMapperPicture();
// Draws the frame, the set pixels of `map` that the density lets through, and the guard window's
// frame (the guard band in map pixels) over what the picture holds.
void PaintMapperMap(gfx::Surface& picture, const BitMap& map, std::uint32_t colour, int density, int guardPixels);

// The map viewer: `picture` from its pixel (x, y) at zoom 1, 2 or 4 over the whole view, pixels
// repeated.
void PaintViewer(gfx::Surface& view, const gfx::Surface& picture, int zoom, int x, int y);
// The furthest scroll position: the part shown (the view over the zoom) then reaches the picture's far
// side.
int ViewerScrollLimit(int pictureSize, int viewSize, int zoom);

struct AreaProgress {
  double left = 0, bottom = 0, right = 0, top = 0;  // the scan window
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;            // the map window of the area being checked
};
constexpr std::uint32_t kProgressBackground = 0x7F7F7F;
// The scan window, scaled to 95% of `rect` and centred, with the current area (clipped to it).
void DrawAreaProgress(gfx::Surface& surface, const gfx::Rect& rect, const AreaProgress& a);

}  // namespace drc
