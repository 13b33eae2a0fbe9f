// Text drawing on a canvas: alignment, opaque cell background, glyph masks.
#include "platform/gfx/canvas.h"
#include "platform/gfx/canvas_device.h"

namespace gfx {

using i64 = std::int64_t;

void Canvas::TextOut(int x, int y, std::string_view text) {
  if (text.empty()) return;
  const Font& f = font();
  const TextMetrics& m = f.metrics();
  const int width = f.Measure(text).cx;
  const Device d = Prepare();
  const detail::DevPoint o = d.Map(x, y);
  i64 left = o.x;
  if (state_.hAlign == HAlign::Center) left -= width / 2;
  if (state_.hAlign == HAlign::Right) left -= width;
  i64 baseline = o.y;
  if (state_.vAlign == VAlign::Top) baseline += m.ascent;
  if (state_.vAlign == VAlign::Bottom) baseline -= m.descent;

  if (state_.backgroundMode == BackgroundMode::Opaque) {
    detail::Paint bk;
    bk.color = Resolve(state_.backgroundColor);
    detail::FillArea(d.target, left, baseline - m.ascent, left + width, baseline - m.ascent + m.height, bk,
                     Mix::Copy);
  }
  const std::uint32_t ink = Resolve(state_.textColor);
  const Rect& clip = d.target.clip;
  i64 pen = left;
  for (unsigned char c : text) {
    const Glyph& g = f.glyph(c);
    const i64 gx = pen + g.left, gy = baseline - g.top;
    pen += g.advance;
    if (gx >= clip.right || gx + g.width <= clip.left || gy >= clip.bottom || gy + g.height <= clip.top) continue;
    for (int row = 0; row < g.height; ++row) {
      const i64 py = gy + row;
      if (py < clip.top || py >= clip.bottom) continue;
      std::uint32_t* line = d.target.pixels + std::size_t(py) * std::size_t(d.target.stride);
      const std::uint8_t* mask = g.mask.data() + std::size_t(row) * g.width;
      for (int col = 0; col < g.width; ++col) {
        const i64 px = gx + col;
        if (mask[col] && px >= clip.left && px < clip.right) line[px] = ink;
      }
    }
  }
}

Size Canvas::TextExtent(std::string_view text) const { return font().Measure(text); }

TextMetrics Canvas::GetTextMetrics() const { return font().metrics(); }

}  // namespace gfx
