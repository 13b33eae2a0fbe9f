// The resolved target of one drawing call: surface pixels, clip and origin in device terms.
#pragma once
#include <cstdint>

#include "platform/gfx/canvas.h"
#include "platform/gfx/raster.h"

namespace gfx {

struct Canvas::Device {
  detail::Target target;
  std::int64_t ox = 0;
  std::int64_t oy = 0;

  detail::DevPoint Map(int x, int y) const { return detail::DevPoint{x + ox, y + oy}; }
  bool Inside(detail::DevPoint p) const {
    return p.x >= target.clip.left && p.x < target.clip.right && p.y >= target.clip.top && p.y < target.clip.bottom;
  }
  std::uint32_t& At(detail::DevPoint p) const {
    return target.pixels[std::size_t(p.y) * std::size_t(target.stride) + std::size_t(p.x)];
  }
};

}  // namespace gfx
