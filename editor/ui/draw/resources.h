// The editor's fixed drawing resources: its 22-colour palette, the 15 fill patterns and the marker
// bitmaps. The window code and the drawing engine take them from here so both draw the same.
#pragma once
#include <array>
#include <cstdint>

#include "platform/gfx/color.h"
#include "platform/gfx/mono_bitmap.h"

namespace draw {

constexpr int kPaletteSize = 22;
constexpr int kFillCount = 15;  // fill numbers 0..14
constexpr int kDashCount = 5;   // dash styles 0..4

// Palette entries in 0x00RRGGBB; the drawing engine selects colours by index into it.
const gfx::Palette& EditorPalette();
// Rows of fill pattern 0..14, top row first, leftmost pixel in the high bit.
const std::array<std::uint8_t, 8>& FillPattern(int fill);

struct MarkerBitmaps {
  gfx::MonoBitmap pointer;  // 16 x 15, the pointer mark (a cross with an open centre)
  gfx::MonoBitmap diamond;  // 16 x 7, marker 1: vertices, text reference points, instance origins
  gfx::MonoBitmap cross;    // 16 x 7, marker 2: the last vertex of a chain
  gfx::MonoBitmap plus;     // 16 x 7, marker 3
  gfx::MonoBitmap origin;   // 16 x 13, the origin mark (14 pixels of each row are its own)
};
const MarkerBitmaps& Markers();

enum class Marker { Vertex, End };

}  // namespace draw
