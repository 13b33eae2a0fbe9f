#include "platform/gfx/raster.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace gfx::detail {
namespace {

using i64 = std::int64_t;
using i128 = __int128;

// Mix modes the programs use in hot loops get their own loop; the rest go through ApplyMix.
template <class Op>
void SolidLoop(std::uint32_t* p, i64 n, Op op) {
  for (i64 i = 0; i < n; ++i) p[i] = op(p[i]);
}

void SolidSpan(std::uint32_t* p, i64 n, std::uint32_t c, Mix mix) {
  switch (mix) {
    case Mix::Copy: std::fill(p, p + n, c); return;
    case Mix::Xor: SolidLoop(p, n, [c](std::uint32_t d) { return d ^ c; }); return;
    case Mix::Merge: SolidLoop(p, n, [c](std::uint32_t d) { return d | c; }); return;
    case Mix::MaskNotPen: SolidLoop(p, n, [c](std::uint32_t d) { return d & ~c; }); return;
    case Mix::Nop: return;
    default: SolidLoop(p, n, [c, mix](std::uint32_t d) { return ApplyMix(mix, c, d); }); return;
  }
}

template <class Op>
void PatternLoop(std::uint32_t* row, i64 x0, i64 x1, const std::uint32_t* pat, std::uint8_t skip, i64 ox, Op op) {
  int k = int((x0 - ox) & 7);
  if (skip == 0) {
    for (i64 x = x0; x < x1; ++x, k = (k + 1) & 7) row[x] = op(pat[k], row[x]);
    return;
  }
  for (i64 x = x0; x < x1; ++x, k = (k + 1) & 7) {
    if (!((skip >> (7 - k)) & 1)) row[x] = op(pat[k], row[x]);
  }
}

void PatternSpan(std::uint32_t* row, i64 x0, i64 x1, const std::uint32_t* pat, std::uint8_t skip, i64 ox, Mix mix) {
  switch (mix) {
    case Mix::Copy: PatternLoop(row, x0, x1, pat, skip, ox, [](std::uint32_t c, std::uint32_t) { return c; }); return;
    case Mix::Xor: PatternLoop(row, x0, x1, pat, skip, ox, [](std::uint32_t c, std::uint32_t d) { return d ^ c; }); return;
    case Mix::Merge: PatternLoop(row, x0, x1, pat, skip, ox, [](std::uint32_t c, std::uint32_t d) { return d | c; }); return;
    case Mix::MaskNotPen:
      PatternLoop(row, x0, x1, pat, skip, ox, [](std::uint32_t c, std::uint32_t d) { return d & ~c; });
      return;
    case Mix::Nop: return;
    default:
      PatternLoop(row, x0, x1, pat, skip, ox, [mix](std::uint32_t c, std::uint32_t d) { return ApplyMix(mix, c, d); });
      return;
  }
}

i64 FloorDiv(i128 n, i128 d) {  // d > 0
  i128 q = n / d;
  if (n % d != 0 && n < 0) --q;
  return i64(q);
}

}  // namespace

void FillSpan(const Target& t, i64 y, i64 x0, i64 x1, const Paint& p, Mix mix) {
  if (y < t.clip.top || y >= t.clip.bottom) return;
  x0 = std::max<i64>(x0, t.clip.left);
  x1 = std::min<i64>(x1, t.clip.right);
  if (x0 >= x1) return;
  std::uint32_t* row = t.pixels + std::size_t(y) * std::size_t(t.stride);
  if (p.solid) {
    SolidSpan(row + x0, x1 - x0, p.color, mix);
    return;
  }
  const int k = int((y - p.oy) & 7);
  PatternSpan(row, x0, x1, p.table[k], p.hasSkip ? p.skip[k] : 0, p.ox, mix);
}

void FillArea(const Target& t, i64 l, i64 top, i64 r, i64 b, const Paint& p, Mix mix) {
  top = std::max<i64>(top, t.clip.top);
  b = std::min<i64>(b, t.clip.bottom);
  for (i64 y = top; y < b; ++y) FillSpan(t, y, l, r, p, mix);
}

namespace {

// One polygon edge, stepping the pixel where it crosses each row's centre line: the first pixel whose
// centre is at or right of the crossing, ceil(X - 1/2), kept exact as q + r / (2 dy).
struct Edge {
  i64 yTop = 0;     // first row
  i64 yEnd = 0;     // one past the last row
  i64 x0 = 0;       // x at the upper vertex
  i64 y0 = 0;
  i64 dx = 0;
  i64 dy = 0;       // > 0
  int dir = 1;
  i64 q = 0;        // floor(N / 2dy), N = (2 (y - y0) + 1) dx
  i64 r = 0;        // N mod 2dy
  i64 stepQ = 0;
  i64 stepR = 0;

  void Start(i64 y) {
    const i128 d = i128(2) * dy;
    const i128 n = (i128(2) * (y - y0) + 1) * dx;
    q = FloorDiv(n, d);
    r = i64(n - i128(q) * d);
    stepQ = FloorDiv(i128(2) * dx, d);
    stepR = i64(i128(2) * dx - i128(stepQ) * d);
  }
  i64 px = 0;       // this row's first pixel at or right of the crossing
  void Pixel() { px = x0 + q + (r > dy ? 1 : 0); }
  void Next() {
    q += stepQ;
    r += stepR;
    if (r >= 2 * dy) {
      r -= 2 * dy;
      ++q;
    }
  }
};

// Crossings move little from row to row, so the previous row's order is nearly sorted: insertion
// sort is about linear. Edges that swap places a lot (a polygon of spikes) fall back to std::sort.
void SortByPixel(std::vector<Edge>& edges) {
  for (Edge& e : edges) e.Pixel();
  std::size_t moves = 0;
  const std::size_t budget = 8 * edges.size() + 16;
  for (std::size_t i = 1; i < edges.size(); ++i) {
    if (edges[i].px >= edges[i - 1].px) continue;
    const Edge v = edges[i];
    std::size_t j = i;
    for (; j > 0 && v.px < edges[j - 1].px; --j) edges[j] = edges[j - 1];
    edges[j] = v;
    moves += i - j;
    if (moves > budget) {
      std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.px < b.px; });
      return;
    }
  }
}

// The four corners of an axis-aligned rectangle (a fifth point repeating the first allowed): its
// fill is columns min x..max x-1 of rows min y..max y-1, whatever the rule.
bool AxisRectangle(std::span<const DevPoint> pts, i64& l, i64& top, i64& r, i64& b) {
  std::size_t n = pts.size();
  if (n == 5 && pts[4].x == pts[0].x && pts[4].y == pts[0].y) n = 4;
  if (n != 4) return false;
  const bool across = pts[0].y == pts[1].y && pts[1].x == pts[2].x && pts[2].y == pts[3].y && pts[3].x == pts[0].x;
  const bool down = pts[0].x == pts[1].x && pts[1].y == pts[2].y && pts[2].x == pts[3].x && pts[3].y == pts[0].y;
  if (!across && !down) return false;
  l = std::min(pts[0].x, pts[2].x);
  r = std::max(pts[0].x, pts[2].x);
  top = std::min(pts[0].y, pts[2].y);
  b = std::max(pts[0].y, pts[2].y);
  return true;
}

}  // namespace

void FillPolygon(const Target& t, std::span<const DevPoint> pts, bool winding, const Paint& p, Mix mix) {
  if (pts.size() < 3 || t.clip.IsEmpty()) return;
  i64 rl, rt, rr, rb;
  if (AxisRectangle(pts, rl, rt, rr, rb)) {
    if (rl < rr) FillArea(t, rl, rt, rr, rb, p, mix);
    return;
  }
  // kept between calls (one set per thread), so small polygons cost no allocation
  thread_local std::vector<Edge> edges;
  thread_local std::vector<Edge> active;
  thread_local std::vector<std::pair<i64, int>> xs;
  edges.clear();
  active.clear();
  for (std::size_t i = 0; i < pts.size(); ++i) {
    DevPoint a = pts[i];
    DevPoint b = pts[(i + 1) % pts.size()];
    if (a.y == b.y) continue;  // a horizontal edge crosses no row centre
    int dir = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      dir = -1;
    }
    const i64 top = std::max<i64>(a.y, t.clip.top);
    const i64 end = std::min<i64>(b.y, t.clip.bottom);
    if (top >= end) continue;
    Edge e;
    e.yTop = top;
    e.yEnd = end;
    e.x0 = a.x;
    e.y0 = a.y;
    e.dx = b.x - a.x;
    e.dy = b.y - a.y;
    e.dir = dir;
    edges.push_back(e);
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });

  std::size_t next = 0;
  for (i64 y = edges.front().yTop; next < edges.size() || !active.empty(); ++y) {
    if (active.empty() && next < edges.size() && edges[next].yTop > y) y = edges[next].yTop;
    while (next < edges.size() && edges[next].yTop == y) {
      active.push_back(edges[next]);
      active.back().Start(y);
      ++next;
    }
    SortByPixel(active);
    xs.clear();
    for (const Edge& e : active) xs.emplace_back(e.px, e.dir);
    if (winding) {
      int w = 0;
      i64 start = 0;
      for (const auto& [x, d] : xs) {
        const int before = w;
        w += d;
        if (before == 0 && w != 0) start = x;
        if (before != 0 && w == 0) FillSpan(t, y, start, x, p, mix);
      }
    } else {
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2) FillSpan(t, y, xs[i].first, xs[i + 1].first, p, mix);
    }
    // Step the edges to the next row and drop the finished ones.
    std::size_t keep = 0;
    for (std::size_t i = 0; i < active.size(); ++i) {
      if (y + 1 < active[i].yEnd) {
        active[i].Next();
        active[keep++] = active[i];
      }
    }
    active.resize(keep);
  }
}

namespace {

// The pixels of a cosmetic line through `op` (pen, destination -> new pixel).
template <class Op>
void LineWith(const Target& t, DevPoint a, DevPoint b, const LineStyle& s, i64 phase, Op op) {
  const i64 dx = b.x - a.x;
  const i64 dy = b.y - a.y;
  const i64 adx = dx < 0 ? -dx : dx;
  const i64 ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 steps = xMajor ? adx : ady;  // pixels drawn: the end pixel is left out
  if (steps == 0 || t.clip.IsEmpty()) return;
  if (steps == 1) {
    // one pixel, the first: the step that puts in a line's end pixel comes this way
    if (a.x < t.clip.left || a.x >= t.clip.right || a.y < t.clip.top || a.y >= t.clip.bottom) return;
    const i64 len = s.dashLength > 0 ? s.dashLength : 1;
    i64 dash = phase % len;
    if (dash < 0) dash += len;
    const bool ink = (s.dashBits >> dash) & 1u;
    if (ink || s.paintGaps) {
      std::uint32_t& px = t.pixels[std::size_t(a.y) * std::size_t(t.stride) + std::size_t(a.x)];
      px = op(ink ? s.ink : s.gap, px);
    }
    return;
  }
  const i64 minor = xMajor ? ady : adx;
  const i64 a0 = xMajor ? a.x : a.y;
  const i64 b0 = xMajor ? a.y : a.x;
  const i64 sa = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const i64 sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const i64 lo = xMajor ? t.clip.left : t.clip.top;
  const i64 hi = xMajor ? t.clip.right : t.clip.bottom;
  const i64 blo = xMajor ? t.clip.top : t.clip.left;
  const i64 bhi = xMajor ? t.clip.bottom : t.clip.right;

  // Steps whose major coordinate lies inside the clip.
  i64 first = sa > 0 ? lo - a0 : a0 - (hi - 1);
  i64 last = sa > 0 ? hi - a0 : a0 - lo + 1;  // exclusive
  first = std::max<i64>(first, 0);
  last = std::min<i64>(last, steps);
  if (first >= last) return;
  const i64 len = s.dashLength > 0 ? s.dashLength : 1;
  i64 dash = (phase + first) % len;
  if (dash < 0) dash += len;
  const std::size_t stride = std::size_t(t.stride);

  if (minor == 0) {
    // Straight across or down: one row or column, a pointer step per pixel.
    if (b0 < blo || b0 >= bhi) return;
    const i64 x = xMajor ? a0 + sa * first : b0;
    const i64 y = xMajor ? b0 : a0 + sa * first;
    std::uint32_t* px = t.pixels + std::size_t(y) * stride + std::size_t(x);
    const std::ptrdiff_t step = xMajor ? std::ptrdiff_t(sa) : std::ptrdiff_t(sa) * std::ptrdiff_t(stride);
    if (len == 1 && (s.dashBits & 1u)) {
      for (i64 i = first; i < last; ++i, px += step) *px = op(s.ink, *px);
      return;
    }
    for (i64 i = first; i < last; ++i, px += step) {
      const bool ink = (s.dashBits >> dash) & 1u;
      if (ink || s.paintGaps) *px = op(ink ? s.ink : s.gap, *px);
      if (++dash == len) dash = 0;
    }
    return;
  }

  // Minor offset at step i: round(i * minor / steps), halves up; error kept in units of 1 / 2steps.
  const i64 den = 2 * steps;
  i64 k, err;
  if (first < (i64(1) << 30) && minor < (i64(1) << 30)) {
    const i64 num = 2 * first * minor + steps;
    k = num / den;
    err = num % den;
  } else {
    const i128 num = i128(2) * first * minor + steps;
    k = i64(num / den);
    err = i64(num % den);
  }
  const i64 inc = 2 * minor;

  for (i64 i = first; i < last; ++i) {
    const i64 mb = b0 + sb * k;
    if (sb > 0 ? mb >= bhi : mb < blo) break;  // the line has left the clip for good
    if (mb >= blo && mb < bhi) {
      const bool ink = (s.dashBits >> dash) & 1u;
      if (ink || s.paintGaps) {
        const i64 ma = a0 + sa * i;
        const i64 x = xMajor ? ma : mb;
        const i64 y = xMajor ? mb : ma;
        std::uint32_t& px = t.pixels[std::size_t(y) * stride + std::size_t(x)];
        px = op(ink ? s.ink : s.gap, px);
      }
    }
    if (++dash == len) dash = 0;
    err += inc;
    if (err >= den) {
      err -= den;
      ++k;
    }
  }
}

}  // namespace

void CosmeticLine(const Target& t, DevPoint a, DevPoint b, const LineStyle& s, i64 phase) {
  // The mix modes the programs draw with get a loop of their own; each gives what ApplyMix gives.
  constexpr std::uint32_t kRgb = 0xFFFFFFu;
  switch (s.mix) {
    case Mix::Copy: LineWith(t, a, b, s, phase, [](std::uint32_t c, std::uint32_t) { return c & kRgb; }); return;
    case Mix::Xor: LineWith(t, a, b, s, phase, [](std::uint32_t c, std::uint32_t d) { return (d ^ c) & kRgb; }); return;
    case Mix::Merge: LineWith(t, a, b, s, phase, [](std::uint32_t c, std::uint32_t d) { return (d | c) & kRgb; }); return;
    default: {
      const Mix mix = s.mix;
      LineWith(t, a, b, s, phase, [mix](std::uint32_t c, std::uint32_t d) { return ApplyMix(mix, c, d); });
      return;
    }
  }
}

void WideLine(const Target& t, DevPoint a, DevPoint b, int width, const Paint& p, Mix mix) {
  if (t.clip.IsEmpty()) return;
  const double r = width / 2.0;
  // Pixel centres, nudged so a centre on the boundary falls on one side only: an even width then
  // covers exactly `width` rows or columns of a straight line.
  constexpr double kNudge = 1e-6;
  const double ax = double(a.x) + 0.5 - kNudge, ay = double(a.y) + 0.5 - kNudge;
  const double bx = double(b.x) + 0.5 - kNudge, by = double(b.y) + 0.5 - kNudge;
  const double vx = bx - ax, vy = by - ay;
  const double len = std::hypot(vx, vy);
  const double ux = len > 0 ? vx / len : 0, uy = len > 0 ? vy / len : 0;

  const i64 yFirst = std::max<i64>(t.clip.top, i64(std::floor(std::min(ay, by) - r - 1)));
  const i64 yLast = std::min<i64>(t.clip.bottom - 1, i64(std::ceil(std::max(ay, by) + r + 1)));
  constexpr double kInf = std::numeric_limits<double>::infinity();
  for (i64 y = yFirst; y <= yLast; ++y) {
    const double yc = double(y) + 0.5;
    double lo = kInf, hi = -kInf;
    auto disc = [&](double cx, double cy) {
      const double d = yc - cy;
      if (std::fabs(d) > r) return;
      const double h = std::sqrt(r * r - d * d);
      lo = std::min(lo, cx - h);
      hi = std::max(hi, cx + h);
    };
    disc(ax, ay);
    disc(bx, by);
    if (len > 0) {
      // Body: 0 <= (P - A).u <= len and |(P - A) x u| <= r, each linear in x along the row.
      double bl = -kInf, bh = kInf;
      auto limit = [&](double c1, double c0, double mn, double mx) {
        if (std::fabs(c1) < 1e-12) {
          if (c0 < mn || c0 > mx) bl = kInf, bh = -kInf;
          return;
        }
        double x1 = (mn - c0) / c1, x2 = (mx - c0) / c1;
        if (x1 > x2) std::swap(x1, x2);
        bl = std::max(bl, x1);
        bh = std::min(bh, x2);
      };
      const double ry = yc - ay;
      limit(ux, -ax * ux + ry * uy, 0, len);
      limit(uy, -ax * uy - ry * ux, -r, r);
      if (bl <= bh) {
        lo = std::min(lo, bl);
        hi = std::max(hi, bh);
      }
    }
    if (lo > hi) continue;
    // Columns whose centre x + 1/2 lies in [lo, hi].
    const double first = std::ceil(lo - 0.5), last = std::floor(hi - 0.5);
    if (first > last) continue;
    const double cl = std::max(first, double(t.clip.left)), cr = std::min(last + 1, double(t.clip.right));
    if (cl < cr) FillSpan(t, y, i64(cl), i64(cr), p, mix);
  }
}

}  // namespace gfx::detail
