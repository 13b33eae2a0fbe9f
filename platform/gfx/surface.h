// A 32-bit picture: screen windows, memory bitmaps, printer pages and clipboard images all draw into
// one of these. Pixels are 0x00RRGGBB, rows top to bottom.
#pragma once
#include <cstdint>
#include <vector>

namespace gfx {

struct Surface {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
  // Counts the drawing calls made on it (every canvas call and figure list drawn bumps it), so that
  // a window shows its picture again only when it may have changed; code writing pixels itself
  // bumps it too.
  std::uint64_t changes = 0;
  // Threads draw into it now (a figure list's segment): until they are done it must not be read.
  bool beingDrawn = false;

  Surface() = default;
  Surface(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  std::uint32_t* Row(int y) { return pixels.data() + std::size_t(y) * width; }
  const std::uint32_t* Row(int y) const { return pixels.data() + std::size_t(y) * width; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

}  // namespace gfx
