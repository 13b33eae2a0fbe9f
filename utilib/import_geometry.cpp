#include "utilib/import_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace utilib {

namespace {

constexpr int kMaxDepth = 40;

// The part of a ring on one side of the line x = c (vertical) or y = c, by Sutherland-Hodgman.
std::vector<TlcPoint> Clip(const std::vector<TlcPoint>& ring, bool vertical, std::int64_t c,
                           bool below) {
  auto coord = [vertical](const TlcPoint& p) -> std::int64_t { return vertical ? p.x : p.y; };
  auto inside = [&](const TlcPoint& p) { return below ? coord(p) <= c : coord(p) >= c; };
  auto cross = [&](const TlcPoint& a, const TlcPoint& b) {
    const double t = static_cast<double>(c - coord(a)) / static_cast<double>(coord(b) - coord(a));
    const double other = vertical ? a.y + t * (b.y - a.y) : a.x + t * (b.x - a.x);
    const auto o = static_cast<std::int32_t>(std::lround(other));
    return vertical ? TlcPoint{static_cast<std::int32_t>(c), o}
                    : TlcPoint{o, static_cast<std::int32_t>(c)};
  };
  std::vector<TlcPoint> out;
  auto add = [&out](const TlcPoint& p) {
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  };
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const TlcPoint& a = ring[i];
    const TlcPoint& b = ring[(i + 1) % ring.size()];
    const bool ina = inside(a), inb = inside(b);
    if (ina) add(a);
    if (ina != inb && coord(a) != c && coord(b) != c) add(cross(a, b));
  }
  while (out.size() > 1 && out.front() == out.back()) out.pop_back();
  return out;
}

bool Split(const std::vector<TlcPoint>& ring, std::size_t limit, int depth,
           std::vector<std::vector<TlcPoint>>& pieces) {
  if (ring.size() < 3) return true;  // nothing of area
  if (ring.size() + 1 <= limit) {
    pieces.push_back(ring);
    pieces.back().push_back(ring.front());
    return true;
  }
  if (depth > kMaxDepth) return false;
  std::int64_t minX = ring[0].x, maxX = minX, minY = ring[0].y, maxY = minY;
  for (const TlcPoint& p : ring) {
    minX = std::min<std::int64_t>(minX, p.x);
    maxX = std::max<std::int64_t>(maxX, p.x);
    minY = std::min<std::int64_t>(minY, p.y);
    maxY = std::max<std::int64_t>(maxY, p.y);
  }
  const bool vertical = maxX - minX >= maxY - minY;
  const std::int64_t lo = vertical ? minX : minY, hi = vertical ? maxX : maxY;
  if (hi - lo < 2) return false;
  const std::int64_t c = lo + (hi - lo) / 2;
  return Split(Clip(ring, vertical, c, true), limit, depth + 1, pieces) &&
         Split(Clip(ring, vertical, c, false), limit, depth + 1, pieces);
}

}  // namespace

bool SplitPolygon(const std::vector<TlcPoint>& polygon, std::size_t limit,
                  std::vector<std::vector<TlcPoint>>& pieces) {
  pieces.clear();
  std::vector<TlcPoint> ring;
  for (const TlcPoint& p : polygon)
    if (ring.empty() || !(ring.back() == p)) ring.push_back(p);
  while (ring.size() > 1 && ring.front() == ring.back()) ring.pop_back();
  if (limit < 4) return false;
  if (!Split(ring, limit, 0, pieces)) {
    pieces.clear();
    return false;
  }
  return true;
}

std::int64_t LargestDivisorNotAbove(std::int64_t g, std::int64_t limit) {
  if (limit < 1) limit = 1;
  if (g <= 0) return limit;
  if (g <= limit) return g;
  std::int64_t best = 1;
  for (std::int64_t d = 1; d * d <= g; ++d) {
    if (g % d != 0) continue;
    if (d <= limit && d > best) best = d;
    const std::int64_t other = g / d;
    if (other <= limit && other > best) best = other;
  }
  return best;
}

}  // namespace utilib
