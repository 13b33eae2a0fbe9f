// One-bit pictures: marker bitmaps, the 8 x 8 fill patterns, masks. Drawn onto a colour surface,
// 0 bits take the canvas's text colour and 1 bits its background colour.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/gfx/surface.h"

namespace gfx {

struct MonoBitmap {
  int width = 0;
  int height = 0;
  int stride = 0;                   // bytes per row: rows padded to 16 bits
  std::vector<std::uint8_t> bits;   // rows top down, leftmost pixel in the high bit

  MonoBitmap() = default;
  MonoBitmap(int w, int h);         // all 0 bits; negative sizes give an empty bitmap

  // Rows given as 16-bit words, leftmost pixel in the high bit of the first word of each row (the
  // form the marker tables are written in). Rows wider than 16 pixels take several words each.
  static MonoBitmap FromWords(int w, int h, std::initializer_list<std::uint16_t> words);
  // Rows given as bytes, `rowBytes` bytes per row, leftmost pixel in the high bit.
  static MonoBitmap FromBytes(int w, int h, const std::uint8_t* data, int rowBytes);
  // A colour picture to one bit: pixels equal to `background` become 1, all others 0.
  static MonoBitmap FromSurface(const Surface& s, std::uint32_t background);

  bool Get(int x, int y) const {
    return (bits[std::size_t(y) * stride + (x >> 3)] >> (7 - (x & 7))) & 1u;
  }
  void Set(int x, int y, bool on) {
    std::uint8_t& b = bits[std::size_t(y) * stride + (x >> 3)];
    const std::uint8_t m = std::uint8_t(0x80u >> (x & 7));
    b = on ? std::uint8_t(b | m) : std::uint8_t(b & ~m);
  }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Sizes and store agree (the fields are public; drawing refuses a bitmap that would overrun).
  bool Valid() const {
    return width > 0 && height > 0 && stride >= (width + 7) / 8 &&
           bits.size() >= std::size_t(stride) * std::size_t(height);
  }
};

}  // namespace gfx
