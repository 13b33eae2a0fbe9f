#include "platform/gfx/canvas.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/canvas_device.h"

namespace gfx {

using detail::DevPoint;
using i64 = std::int64_t;

Color ResolveColor(Color c, const Palette& palette) {
  if (!IsPaletteIndex(c)) return c & 0xFFFFFFu;
  const std::size_t i = c & 0xFFFFu;
  if (i < palette.size()) return palette[i] & 0xFFFFFFu;
  return palette.empty() ? 0 : palette[0] & 0xFFFFFFu;
}

Brush Brush::Pattern(const MonoBitmap& bitmap) {
  std::array<std::uint8_t, 8> rows{};
  if (bitmap.Valid()) {
    for (int y = 0; y < 8; ++y) {
      std::uint8_t b = 0;
      for (int x = 0; x < 8; ++x) {
        if (bitmap.Get(x % bitmap.width, y % bitmap.height)) b = std::uint8_t(b | (0x80u >> x));
      }
      rows[std::size_t(y)] = b;
    }
  }
  return Pattern(rows);
}

Brush Brush::Hatch(HatchStyle style, Color c) {
  std::array<std::uint8_t, 8> rows{};
  for (int i = 0; i < 8; ++i) {
    const std::uint8_t down = std::uint8_t(0x80u >> i), up = std::uint8_t(0x01u << i);
    std::uint8_t r = 0;
    switch (style) {
      case HatchStyle::Horizontal: r = i == 0 ? 0xFF : 0; break;
      case HatchStyle::Vertical: r = 0x80; break;
      case HatchStyle::ForwardDiagonal: r = down; break;
      case HatchStyle::BackwardDiagonal: r = up; break;
      case HatchStyle::Cross: r = i == 0 ? 0xFF : 0x80; break;
      case HatchStyle::DiagonalCross: r = std::uint8_t(down | up); break;
    }
    rows[std::size_t(i)] = r;
  }
  return Brush{BrushKind::Hatch, c, rows};
}

DeviceCaps CapsOf(const Surface& surface, int dpi) {
  if (dpi <= 0) dpi = 96;
  DeviceCaps caps;
  caps.logPixelsX = caps.logPixelsY = dpi;
  caps.horzRes = surface.width;
  caps.vertRes = surface.height;
  caps.horzSizeMm = int(std::lround(surface.width * 25.4 / dpi));
  caps.vertSizeMm = int(std::lround(surface.height * 25.4 / dpi));
  return caps;
}

Mix Canvas::SetMix(Mix mix) {
  const Mix old = state_.mix;
  if (unsigned(mix) >= 1 && unsigned(mix) <= 16) state_.mix = mix;
  return old;
}

BackgroundMode Canvas::SetBackgroundMode(BackgroundMode mode) {
  const BackgroundMode old = state_.backgroundMode;
  state_.backgroundMode = mode;
  return old;
}

Color Canvas::SetBackgroundColor(Color c) {
  const Color old = state_.backgroundColor;
  state_.backgroundColor = c;
  return old;
}

Color Canvas::SetTextColor(Color c) {
  const Color old = state_.textColor;
  state_.textColor = c;
  return old;
}

FillRule Canvas::SetFillRule(FillRule rule) {
  const FillRule old = state_.fillRule;
  state_.fillRule = rule;
  return old;
}

StretchMode Canvas::SetStretchMode(StretchMode mode) {
  const StretchMode old = state_.stretchMode;
  state_.stretchMode = mode;
  return old;
}

void Canvas::SetPalette(Palette palette) { state_.palette = std::make_shared<const Palette>(std::move(palette)); }

const Palette& Canvas::palette() const {
  static const Palette kNone;
  return state_.palette ? *state_.palette : kNone;
}

const Font& Canvas::font() const { return state_.font ? *state_.font : *UiFont(); }

void Canvas::SetClipRect(const Rect& deviceRect) {
  state_.clipped = true;
  state_.clip = deviceRect;
}

Color Canvas::Resolve(Color c) const { return ResolveColor(c, palette()); }

Canvas::Device Canvas::Prepare() const {
  Device d;
  Surface& s = *target_;
  ++s.changes;
  // A surface whose pixel store does not match its size draws nothing rather than overrun.
  if (s.width <= 0 || s.height <= 0 || s.pixels.size() < std::size_t(s.width) * std::size_t(s.height)) {
    return d;
  }
  d.target.pixels = s.pixels.data();
  d.target.stride = s.width;
  d.target.clip = Rect{0, 0, s.width, s.height};
  if (state_.clipped) d.target.clip = Intersect(d.target.clip, state_.clip);
  d.ox = state_.origin.x;
  d.oy = state_.origin.y;
  return d;
}

Rect Canvas::ClipBox() const {
  const Device d = Prepare();
  Rect r = d.target.clip;
  if (r.IsEmpty()) return Rect{};
  return Rect{r.left - state_.origin.x, r.top - state_.origin.y, r.right - state_.origin.x,
              r.bottom - state_.origin.y};
}

detail::Paint detail::PaintOf(const Brush& brush, Color brushColor, Color background, Color text,
                              BackgroundMode mode, Point brushOrigin) {
  detail::Paint p;
  p.ox = brushOrigin.x;
  p.oy = brushOrigin.y;
  if (brush.kind == BrushKind::Solid || brush.kind == BrushKind::Null) {
    p.solid = true;
    p.color = brushColor;
    return p;
  }
  p.solid = false;
  const std::uint32_t bk = background;
  const std::uint32_t fg = brush.kind == BrushKind::Hatch ? brushColor : text;
  for (int y = 0; y < 8; ++y) {
    const std::uint8_t row = brush.rows[std::size_t(y)];
    for (int x = 0; x < 8; ++x) {
      const bool bit = (row >> (7 - x)) & 1u;
      // Pattern: 1 bits background, 0 bits text colour. Hatch: 1 bits are the hatch lines.
      if (brush.kind == BrushKind::Pattern) p.table[y][x] = bit ? bk : fg;
      else p.table[y][x] = bit ? fg : bk;
    }
    if (brush.kind == BrushKind::Hatch && mode == BackgroundMode::Transparent) {
      p.skip[y] = std::uint8_t(~row);
      p.hasSkip = true;
    }
  }
  return p;
}

detail::Paint Canvas::MakePaint(const Brush& brush) const {
  return detail::PaintOf(brush, Resolve(brush.color), Resolve(state_.backgroundColor), Resolve(state_.textColor),
                         state_.backgroundMode, state_.brushOrigin);
}

namespace {

// Dash patterns as bit masks, bit k = step k is ink.
constexpr std::uint32_t Run(int from, int count) { return ((1u << count) - 1u) << from; }

}  // namespace

void detail::DashOf(PenStyle style, std::uint32_t& bits, int& length) {
  switch (style) {
    case PenStyle::Dash: bits = Run(0, 18); length = 24; return;
    case PenStyle::Dot: bits = Run(0, 3); length = 6; return;
    case PenStyle::DashDot: bits = Run(0, 9) | Run(15, 3); length = 24; return;
    case PenStyle::DashDotDot: bits = Run(0, 9) | Run(12, 3) | Run(18, 3); length = 24; return;
    case PenStyle::Alternate: bits = 1; length = 2; return;
    default: bits = 1; length = 1; return;
  }
}

namespace {

i64 StepsOf(DevPoint a, DevPoint b) { return std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y)); }

}  // namespace

void Canvas::StrokeSegment(const Device& d, DevPoint a, DevPoint b, i64& phase) {
  const Pen& pen = state_.pen;
  if (pen.style == PenStyle::Null || d.target.clip.IsEmpty()) {
    phase += StepsOf(a, b);
    return;
  }
  if (pen.width > 1) {
    detail::Paint p;
    p.color = Resolve(pen.color);
    detail::WideLine(d.target, a, b, pen.width, p, state_.mix);
    return;
  }
  detail::LineStyle s;
  s.ink = Resolve(pen.color);
  s.gap = Resolve(state_.backgroundColor);
  s.mix = state_.mix;
  detail::DashOf(pen.style, s.dashBits, s.dashLength);
  s.paintGaps = s.dashLength > 1 && state_.backgroundMode == BackgroundMode::Opaque;
  detail::CosmeticLine(d.target, a, b, s, phase);
  phase += StepsOf(a, b);
}

void Canvas::MoveTo(int x, int y) {
  current_ = Point{x, y};
  dashPhase_ = 0;
}

void Canvas::LineTo(int x, int y) {
  const Device d = Prepare();
  StrokeSegment(d, d.Map(current_.x, current_.y), d.Map(x, y), dashPhase_);
  current_ = Point{x, y};
}

void Canvas::Polyline(std::span<const Point> points) {
  const Device d = Prepare();
  i64 phase = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    StrokeSegment(d, d.Map(points[i - 1].x, points[i - 1].y), d.Map(points[i].x, points[i].y), phase);
  }
}

void Canvas::Polygon(std::span<const Point> points) {
  if (points.size() < 2) return;
  const Device d = Prepare();
  if (state_.brush.kind != BrushKind::Null && points.size() >= 3) {
    thread_local std::vector<DevPoint> dev;  // kept: no allocation per figure
    dev.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) dev[i] = d.Map(points[i].x, points[i].y);
    detail::FillPolygon(d.target, dev, state_.fillRule == FillRule::Winding, MakePaint(state_.brush), state_.mix);
  }
  if (state_.pen.style != PenStyle::Null) {
    i64 phase = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      StrokeSegment(d, d.Map(a.x, a.y), d.Map(b.x, b.y), phase);
    }
  }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
  const Rect r = NormalizedRect(left, top, right, bottom);
  if (r.IsEmpty()) return;
  const Device d = Prepare();
  const DevPoint tl = d.Map(r.left, r.top);
  const i64 l = tl.x, t = tl.y, rr = tl.x + (i64(r.right) - r.left), b = tl.y + (i64(r.bottom) - r.top);
  const bool pen = state_.pen.style != PenStyle::Null;
  if (state_.brush.kind != BrushKind::Null) {
    const detail::Paint p = MakePaint(state_.brush);
    if (pen) detail::FillArea(d.target, l + 1, t + 1, rr - 1, b - 1, p, state_.mix);
    else detail::FillArea(d.target, l, t, rr, b, p, state_.mix);
  }
  if (!pen) return;
  // The outline runs round the border pixels once, corners included, dashes running on.
  i64 phase = 0;
  if (rr - l == 1 || b - t == 1) {
    if (state_.pen.width > 1) StrokeSegment(d, DevPoint{l, t}, DevPoint{rr - 1, b - 1}, phase);
    else StrokeSegment(d, DevPoint{l, t}, rr - l == 1 ? DevPoint{l, b} : DevPoint{rr, t}, phase);
    return;
  }
  const DevPoint corners[4] = {{l, t}, {rr - 1, t}, {rr - 1, b - 1}, {l, b - 1}};
  for (int i = 0; i < 4; ++i) StrokeSegment(d, corners[i], corners[(i + 1) % 4], phase);
}

void Canvas::FillRect(const Rect& r, const Brush& brush) {
  if (r.IsEmpty() || brush.kind == BrushKind::Null) return;
  const Device d = Prepare();
  const DevPoint tl = d.Map(r.left, r.top), br = d.Map(r.right, r.bottom);
  detail::FillArea(d.target, tl.x, tl.y, br.x, br.y, MakePaint(brush), Mix::Copy);
}

void Canvas::FrameRect(const Rect& r, const Brush& brush) {
  if (r.IsEmpty() || brush.kind == BrushKind::Null) return;
  const Device d = Prepare();
  const DevPoint tl = d.Map(r.left, r.top), br = d.Map(r.right, r.bottom);
  const detail::Paint p = MakePaint(brush);
  detail::FillArea(d.target, tl.x, tl.y, br.x, tl.y + 1, p, Mix::Copy);
  if (br.y - tl.y > 1) detail::FillArea(d.target, tl.x, br.y - 1, br.x, br.y, p, Mix::Copy);
  detail::FillArea(d.target, tl.x, tl.y + 1, tl.x + 1, br.y - 1, p, Mix::Copy);
  if (br.x - tl.x > 1) detail::FillArea(d.target, br.x - 1, tl.y + 1, br.x, br.y - 1, p, Mix::Copy);
}

void Canvas::InvertRect(const Rect& r) {
  if (r.IsEmpty()) return;
  const Device d = Prepare();
  const DevPoint tl = d.Map(r.left, r.top), br = d.Map(r.right, r.bottom);
  detail::FillArea(d.target, tl.x, tl.y, br.x, br.y, detail::Paint{}, Mix::Not);
}

Color Canvas::SetPixel(int x, int y, Color c) {
  const Device d = Prepare();
  const DevPoint p = d.Map(x, y);
  if (!d.Inside(p)) return kInvalidColor;
  std::uint32_t& px = d.At(p);
  px = ApplyMix(state_.mix, Resolve(c), px);
  return px;
}

Color Canvas::GetPixel(int x, int y) const {
  const Device d = Prepare();
  const DevPoint p = d.Map(x, y);
  if (!d.Inside(p)) return kInvalidColor;
  return d.At(p) & 0xFFFFFFu;
}

}  // namespace gfx
