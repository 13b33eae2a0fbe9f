#include "platform/gfx/mono_bitmap.h"

#include <algorithm>

namespace gfx {

MonoBitmap::MonoBitmap(int w, int h) {
  if (w <= 0 || h <= 0) return;
  width = w;
  height = h;
  stride = (w + 15) / 16 * 2;
  bits.assign(std::size_t(stride) * std::size_t(h), 0);
}

MonoBitmap MonoBitmap::FromWords(int w, int h, std::initializer_list<std::uint16_t> words) {
  MonoBitmap m(w, h);
  if (m.width == 0) return m;
  const int perRow = m.stride / 2;
  auto it = words.begin();
  for (int y = 0; y < h; ++y) {
    for (int k = 0; k < perRow && it != words.end(); ++k, ++it) {
      m.bits[std::size_t(y) * m.stride + 2 * k] = std::uint8_t(*it >> 8);
      m.bits[std::size_t(y) * m.stride + 2 * k + 1] = std::uint8_t(*it & 0xFF);
    }
  }
  return m;
}

MonoBitmap MonoBitmap::FromBytes(int w, int h, const std::uint8_t* data, int rowBytes) {
  MonoBitmap m(w, h);
  if (m.width == 0 || data == nullptr || rowBytes <= 0) return m;
  const int n = std::min(rowBytes, m.stride);
  for (int y = 0; y < h; ++y) {
    std::copy(data + std::size_t(y) * rowBytes, data + std::size_t(y) * rowBytes + n,
              m.bits.begin() + std::ptrdiff_t(y) * m.stride);
  }
  return m;
}

MonoBitmap MonoBitmap::FromSurface(const Surface& s, std::uint32_t background) {
  MonoBitmap m(s.width, s.height);
  if (m.width == 0 || s.pixels.size() < std::size_t(s.width) * std::size_t(s.height)) return MonoBitmap{};
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) m.Set(x, y, (s.Row(y)[x] & 0xFFFFFFu) == (background & 0xFFFFFFu));
  }
  return m;
}

}  // namespace gfx
