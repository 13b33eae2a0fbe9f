// Block transfers: BitBlt, PatBlt and StretchBlt with ternary raster operations.
#include <algorithm>
#include <climits>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/canvas_device.h"

namespace gfx {

using detail::DevPoint;
using i64 = std::int64_t;

std::uint32_t ApplyRop(Rop rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int k = 0; k < 8; ++k) {
    if (!((rop >> k) & 1u)) continue;
    r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
  }
  return r & 0xFFFFFFu;
}

namespace {

bool UsesSource(Rop rop) { return ((rop >> 2) & 0x33u) != (rop & 0x33u); }
bool UsesPattern(Rop rop) { return ((rop >> 4) & 0x0Fu) != (rop & 0x0Fu); }

// The operations the programs use get a loop each; the other 240 go through ApplyRop.
template <class Fetch>
void RopRow(Rop rop, std::uint32_t* row, i64 x0, i64 x1, Fetch fetch) {
  auto loop = [&](auto op) {
    for (i64 x = x0; x < x1; ++x) {
      std::uint32_t p = 0, s = 0;
      fetch(x, p, s);
      row[x] = op(p, s, row[x]) & 0xFFFFFFu;
    }
  };
  switch (rop) {
    case rop::kSrcCopy: loop([](std::uint32_t, std::uint32_t s, std::uint32_t) { return s; }); break;
    case rop::kSrcInvert: loop([](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s ^ d; }); break;
    case rop::kSrcPaint: loop([](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s | d; }); break;
    case rop::kSrcAnd: loop([](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s & d; }); break;
    case rop::kDSna: loop([](std::uint32_t, std::uint32_t s, std::uint32_t d) { return d & ~s; }); break;
    case rop::kPatCopy: loop([](std::uint32_t p, std::uint32_t, std::uint32_t) { return p; }); break;
    case rop::kPatInvert: loop([](std::uint32_t p, std::uint32_t, std::uint32_t d) { return p ^ d; }); break;
    case rop::kDstInvert: loop([](std::uint32_t, std::uint32_t, std::uint32_t d) { return ~d; }); break;
    default: loop([rop](std::uint32_t p, std::uint32_t s, std::uint32_t d) { return ApplyRop(rop, p, s, d); }); break;
  }
}

Surface MonoToColor(const MonoBitmap& m, std::uint32_t zeros, std::uint32_t ones) {
  if (!m.Valid()) return Surface{};
  Surface s(m.width, m.height);
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) s.Row(y)[x] = m.Get(x, y) ? ones : zeros;
  }
  return s;
}

// Source columns (or rows) [first, end) that land on destination pixel i of n when `srcLen` pixels
// from `srcStart` are stretched over them; mirrored when asked.
struct Span {
  i64 first = 0;
  i64 end = 0;
};
Span StretchSpan(i64 i, i64 n, i64 srcStart, i64 srcLen, bool mirror) {
  const i64 j = mirror ? n - 1 - i : i;
  const i64 a = j * srcLen / n;
  i64 b = (j + 1) * srcLen / n;
  if (b <= a) b = a + 1;
  return Span{srcStart + a, srcStart + b};
}

std::uint32_t Combine(StretchMode mode, const Surface& src, Span cols, Span rows) {
  if (cols.end - cols.first == 1 && rows.end - rows.first == 1) return src.Row(int(rows.first))[cols.first];
  switch (mode) {
    case StretchMode::ColorOnColor: return src.Row(int(rows.first))[cols.first];
    case StretchMode::BlackOnWhite:
    case StretchMode::WhiteOnBlack: {
      const bool andMode = mode == StretchMode::BlackOnWhite;
      std::uint32_t acc = andMode ? 0xFFFFFFu : 0;
      for (i64 y = rows.first; y < rows.end; ++y) {
        const std::uint32_t* r = src.Row(int(y));
        for (i64 x = cols.first; x < cols.end; ++x) acc = andMode ? (acc & r[x]) : (acc | r[x]);
      }
      return acc & 0xFFFFFFu;
    }
    case StretchMode::Halftone: {
      std::uint64_t sr = 0, sg = 0, sb = 0;
      for (i64 y = rows.first; y < rows.end; ++y) {
        const std::uint32_t* r = src.Row(int(y));
        for (i64 x = cols.first; x < cols.end; ++x) {
          sr += (r[x] >> 16) & 255;
          sg += (r[x] >> 8) & 255;
          sb += r[x] & 255;
        }
      }
      const std::uint64_t n = std::uint64_t(cols.end - cols.first) * std::uint64_t(rows.end - rows.first);
      return Rgb(int((sr + n / 2) / n), int((sg + n / 2) / n), int((sb + n / 2) / n));
    }
  }
  return 0;
}

bool ValidSurface(const Surface& s) {
  return s.width > 0 && s.height > 0 && s.pixels.size() >= std::size_t(s.width) * std::size_t(s.height);
}

}  // namespace

template <class SourceAt>
void Canvas::Transfer(int x, int y, int w, int h, int srcW, int srcH, int sx, int sy, Rop rop, SourceAt at) {
  const Device d = Prepare();
  const DevPoint o = d.Map(x, y);
  i64 x0 = std::max<i64>(o.x, d.target.clip.left), x1 = std::min<i64>(o.x + w, d.target.clip.right);
  i64 y0 = std::max<i64>(o.y, d.target.clip.top), y1 = std::min<i64>(o.y + h, d.target.clip.bottom);
  const bool useSrc = UsesSource(rop);
  if (useSrc) {
    // Destination pixels whose source pixel exists.
    x0 = std::max<i64>(x0, o.x - sx);
    x1 = std::min<i64>(x1, o.x - sx + srcW);
    y0 = std::max<i64>(y0, o.y - sy);
    y1 = std::min<i64>(y1, o.y - sy + srcH);
  }
  if (x0 >= x1 || y0 >= y1) return;
  const bool usePat = UsesPattern(rop);
  const detail::Paint pat = usePat ? MakePaint(state_.brush) : detail::Paint{};
  for (i64 Y = y0; Y < y1; ++Y) {
    std::uint32_t* row = d.target.pixels + std::size_t(Y) * std::size_t(d.target.stride);
    const std::uint32_t* patRow = pat.table[(Y - pat.oy) & 7];
    const i64 srcY = sy + (Y - o.y);
    RopRow(rop, row, x0, x1, [&](i64 X, std::uint32_t& p, std::uint32_t& s) {
      if (usePat) p = pat.solid ? pat.color : patRow[(X - pat.ox) & 7];
      if (useSrc) s = at(sx + (X - o.x), srcY);
    });
  }
}

bool Canvas::BitBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, Rop rop) {
  if (w <= 0 || h <= 0) return false;
  if (!UsesSource(rop)) return PatBlt(x, y, w, h, rop);
  if (!ValidSurface(src)) return true;
  if (&src == target_) {
    const Surface copy = src;  // source and destination may overlap
    return BitBlt(x, y, w, h, copy, sx, sy, rop);
  }
  Transfer(x, y, w, h, src.width, src.height, sx, sy, rop,
           [&src](i64 px, i64 py) { return src.Row(int(py))[px] & 0xFFFFFFu; });
  return true;
}

bool Canvas::BitBlt(int x, int y, int w, int h, const MonoBitmap& src, int sx, int sy, Rop rop) {
  if (w <= 0 || h <= 0) return false;
  if (!UsesSource(rop)) return PatBlt(x, y, w, h, rop);
  if (!src.Valid()) return true;
  const std::uint32_t zeros = Resolve(state_.textColor), ones = Resolve(state_.backgroundColor);
  Transfer(x, y, w, h, src.width, src.height, sx, sy, rop,
           [&](i64 px, i64 py) { return src.Get(int(px), int(py)) ? ones : zeros; });
  return true;
}

bool Canvas::PatBlt(int x, int y, int w, int h, Rop rop) {
  if (w <= 0 || h <= 0) return false;
  Transfer(x, y, w, h, 0, 0, 0, 0, rop, [](i64, i64) { return 0u; });
  return true;
}

bool Canvas::StretchBlt(int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh, Rop rop) {
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return false;
  const bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
  // A negative extent covers the pixels before the given edge.
  i64 dx = w < 0 ? i64(x) + w : x, dy = h < 0 ? i64(y) + h : y;
  const i64 dw = std::llabs(w), dh = std::llabs(h);
  const i64 srcX = sw < 0 ? i64(sx) + sw : sx, srcY = sh < 0 ? i64(sy) + sh : sy;
  const i64 srcW = std::llabs(sw), srcH = std::llabs(sh);
  if (!mirrorX && !mirrorY && dw == srcW && dh == srcH) return BitBlt(x, y, w, h, src, sx, sy, rop);
  if (!UsesSource(rop)) {
    const auto fit = [](i64 v) { return int(std::clamp<i64>(v, INT_MIN, INT_MAX)); };
    const int px = fit(dx), py = fit(dy);
    return PatBlt(px, py, fit(dx + dw - px), fit(dy + dh - py), rop);
  }
  if (!ValidSurface(src)) return true;
  if (&src == target_) {
    const Surface copy = src;
    return StretchBlt(x, y, w, h, copy, sx, sy, sw, sh, rop);
  }

  const Device d = Prepare();
  const DevPoint o{dx + d.ox, dy + d.oy};
  const i64 x0 = std::max<i64>(o.x, d.target.clip.left), x1 = std::min<i64>(o.x + dw, d.target.clip.right);
  const i64 y0 = std::max<i64>(o.y, d.target.clip.top), y1 = std::min<i64>(o.y + dh, d.target.clip.bottom);
  if (x0 >= x1 || y0 >= y1) return true;
  // Only the visible part of the destination is mapped.
  std::vector<Span> cols(std::size_t(x1 - x0));
  for (i64 X = x0; X < x1; ++X) cols[std::size_t(X - x0)] = StretchSpan(X - o.x, dw, srcX, srcW, mirrorX);
  auto clamp = [](Span s, i64 limit) {
    s.first = std::max<i64>(s.first, 0);
    s.end = std::min<i64>(s.end, limit);
    return s;
  };
  const bool usePat = UsesPattern(rop);
  const detail::Paint pat = usePat ? MakePaint(state_.brush) : detail::Paint{};
  const StretchMode mode = state_.stretchMode;
  for (i64 Y = y0; Y < y1; ++Y) {
    const Span rs = clamp(StretchSpan(Y - o.y, dh, srcY, srcH, mirrorY), src.height);
    if (rs.first >= rs.end) continue;
    std::uint32_t* row = d.target.pixels + std::size_t(Y) * std::size_t(d.target.stride);
    const std::uint32_t* patRow = pat.table[(Y - pat.oy) & 7];
    for (i64 X = x0; X < x1; ++X) {
      const Span cs = clamp(cols[std::size_t(X - x0)], src.width);
      if (cs.first >= cs.end) continue;
      const std::uint32_t s = Combine(mode, src, cs, rs);
      const std::uint32_t p = usePat ? (pat.solid ? pat.color : patRow[(X - pat.ox) & 7]) : 0;
      row[X] = rop == rop::kSrcCopy ? s : ApplyRop(rop, p, s, row[X]);
    }
  }
  return true;
}

bool Canvas::StretchBlt(int x, int y, int w, int h, const MonoBitmap& src, int sx, int sy, int sw, int sh, Rop rop) {
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return false;
  const Surface color = MonoToColor(src, Resolve(state_.textColor), Resolve(state_.backgroundColor));
  return StretchBlt(x, y, w, h, color, sx, sy, sw, sh, rop);
}

}  // namespace gfx
