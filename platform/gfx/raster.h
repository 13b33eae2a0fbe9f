// The scan converters behind Canvas: spans, cosmetic and wide lines, polygons. Device coordinates,
// 64-bit so that any int coordinate plus an origin stays exact; everything clips to Target::clip.
#pragma once
#include <cstdint>
#include <span>

#include "platform/gfx/color.h"
#include "platform/gfx/geometry.h"

namespace gfx::detail {

struct Target {
  std::uint32_t* pixels = nullptr;
  int stride = 0;
  Rect clip;  // within the surface; empty clips everything
};

// What a fill puts down at a pixel: one colour, or an 8 x 8 table anchored at (ox, oy). Pixels whose
// bit is set in `skip` are left alone (transparent hatch gaps).
struct Paint {
  bool solid = true;
  std::uint32_t color = 0;
  std::uint32_t table[8][8] = {};
  std::uint8_t skip[8] = {};
  bool hasSkip = false;
  std::int64_t ox = 0;
  std::int64_t oy = 0;
};

struct DevPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

// Columns x0..x1-1 of row y.
void FillSpan(const Target& t, std::int64_t y, std::int64_t x0, std::int64_t x1, const Paint& p, Mix mix);
// Columns l..r-1, rows t..b-1.
void FillArea(const Target& t, std::int64_t l, std::int64_t top, std::int64_t r, std::int64_t b,
              const Paint& p, Mix mix);
// The pixels whose centres lie inside the polygon (closed implicitly).
void FillPolygon(const Target& t, std::span<const DevPoint> pts, bool winding, const Paint& p, Mix mix);

// A one-pixel line from (x0, y0) towards (x1, y1), its last pixel left out. Bit k of `dashBits`
// (k < dashLength) says whether step (phase + k) mod dashLength is ink or gap.
struct LineStyle {
  std::uint32_t ink = 0;
  std::uint32_t gap = 0;
  bool paintGaps = false;
  std::uint32_t dashBits = 1;
  int dashLength = 1;
  Mix mix = Mix::Copy;
};
void CosmeticLine(const Target& t, DevPoint a, DevPoint b, const LineStyle& s, std::int64_t phase);

// Every pixel whose centre lies within width / 2 of the segment between the centres of pixels a and b.
void WideLine(const Target& t, DevPoint a, DevPoint b, int width, const Paint& p, Mix mix);

}  // namespace gfx::detail
