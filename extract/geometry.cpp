#include "extract/geometry.h"

#include <algorithm>
#include <cmath>

#include "utilib/small_readers.h"

namespace ext {

namespace {

using Wide = __int128;

// Sign of the turn a -> b -> c.
int Turn(const PathPoint& a, const PathPoint& b, const PathPoint& c) {
  const Wide v = Wide(std::int64_t(b.x) - a.x) * (std::int64_t(c.y) - a.y) -
                 Wide(std::int64_t(b.y) - a.y) * (std::int64_t(c.x) - a.x);
  return v > 0 ? 1 : v < 0 ? -1 : 0;
}

bool Within(std::int32_t v, std::int32_t a, std::int32_t b) { return std::min(a, b) <= v && v <= std::max(a, b); }

// p lies on the closed segment a-b.
bool OnSegment(const PathPoint& p, const PathPoint& a, const PathPoint& b) {
  return Turn(a, b, p) == 0 && Within(p.x, a.x, b.x) && Within(p.y, a.y, b.y);
}

// The closed segments a-b and c-d share a point.
bool SegmentsMeet(const PathPoint& a, const PathPoint& b, const PathPoint& c, const PathPoint& d) {
  if (std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
      std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y))
    return false;
  const int d1 = Turn(a, b, c), d2 = Turn(a, b, d), d3 = Turn(c, d, a), d4 = Turn(c, d, b);
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && OnSegment(c, a, b)) || (d2 == 0 && OnSegment(d, a, b)) || (d3 == 0 && OnSegment(a, c, d)) ||
         (d4 == 0 && OnSegment(b, c, d));
}

Bounds BoundsOf(const std::vector<PathPoint>& points) {
  Bounds b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const PathPoint& p : points) {
    b.left = std::min(b.left, p.x);
    b.right = std::max(b.right, p.x);
    b.bottom = std::min(b.bottom, p.y);
    b.top = std::max(b.top, p.y);
  }
  return b;
}

bool IsRectangle(const std::vector<PathPoint>& p) {
  if (p.size() != 5) return false;
  for (int i = 0; i < 4; ++i)
    if (p[i].x != p[i + 1].x && p[i].y != p[i + 1].y) return false;
  const Bounds b = BoundsOf(p);
  for (int i = 0; i < 4; ++i)
    if ((p[i].x != b.left && p[i].x != b.right) || (p[i].y != b.bottom && p[i].y != b.top)) return false;
  return b.left < b.right && b.bottom < b.top;
}

}  // namespace

Outline BoxOutline(std::int32_t left, std::int32_t bottom, std::int32_t right, std::int32_t top) {
  Outline o;
  o.points = {{left, bottom}, {right, bottom}, {right, top}, {left, top}, {left, bottom}};
  o.bounds = {left, bottom, right, top};
  o.closed = true;
  o.rectangle = true;
  return o;
}

bool PathOutline(const std::vector<PathPoint>& vertices, std::int32_t width, Outline& out) {
  out = {};
  std::vector<PathPoint> points;
  for (const PathPoint& p : vertices)
    if (points.empty() || !(points.back() == p)) points.push_back(p);
  if (points.size() < 2) return false;
  if (width == 0) {
    out.closed = points.front() == points.back();
    out.points = std::move(points);
  } else {
    // The one wide-path construction of the suite, without a point limit: the whole shape is traced.
    if (utilib::PathToOutline(points, width, out.points, 0) != db::OutlineStatus::Ok) return false;
    out.closed = true;
  }
  out.bounds = BoundsOf(out.points);
  out.rectangle = out.closed && IsRectangle(out.points);
  return true;
}

bool OutlineHolds(const Outline& a, std::int32_t x, std::int32_t y) {
  if (!a.bounds.Holds(x, y)) return false;
  if (a.rectangle) return true;
  const PathPoint p{x, y};
  const auto& v = a.points;
  bool inside = false;
  for (std::size_t i = 0; i + 1 < v.size(); ++i) {
    const PathPoint& s = v[i];
    const PathPoint& e = v[i + 1];
    if (OnSegment(p, s, e)) return true;
    if ((s.y > y) != (e.y > y)) {
      // Does the edge cross the horizontal ray to the right of the point?
      const Wide lhs = Wide(std::int64_t(x) - s.x) * (std::int64_t(e.y) - s.y);
      const Wide rhs = Wide(std::int64_t(e.x) - s.x) * (std::int64_t(y) - s.y);
      if (e.y > s.y ? lhs < rhs : lhs > rhs) inside = !inside;
    }
  }
  return a.closed && inside;
}

bool OutlinesTouch(const Outline& a, const Outline& b) {
  if (!a.bounds.Meets(b.bounds)) return false;
  if (a.rectangle && b.rectangle) return true;
  const auto& p = a.points;
  const auto& q = b.points;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    const Bounds e{std::min(p[i].x, p[i + 1].x), std::min(p[i].y, p[i + 1].y), std::max(p[i].x, p[i + 1].x),
                   std::max(p[i].y, p[i + 1].y)};
    if (!e.Meets(b.bounds)) continue;
    for (std::size_t j = 0; j + 1 < q.size(); ++j)
      if (SegmentsMeet(p[i], p[i + 1], q[j], q[j + 1])) return true;
  }
  // No edges meet: one shape lies wholly inside the other, or they are apart.
  return OutlineHolds(a, q[0].x, q[0].y) || OutlineHolds(b, p[0].x, p[0].y);
}

bool OnAxisSegments(const std::vector<PathPoint>& points, std::int32_t x, std::int32_t y) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    const PathPoint& s = points[i];
    if (s.x == x && s.y == y) return true;
    if (i + 1 == points.size()) break;
    const PathPoint& e = points[i + 1];
    if (s.x == e.x && s.x == x && Within(y, s.y, e.y)) return true;
    if (s.y == e.y && s.y == y && Within(x, s.x, e.x)) return true;
  }
  return false;
}

bool LinesJoin(const std::vector<PathPoint>& a, const std::vector<PathPoint>& b) {
  for (const PathPoint& p : a)
    if (OnAxisSegments(b, p.x, p.y)) return true;
  for (const PathPoint& p : b)
    if (OnAxisSegments(a, p.x, p.y)) return true;
  return false;
}

double OutlineArea(const Outline& a) {
  if (!a.closed || a.points.size() < 3) return 0.0;
  if (a.rectangle) {
    const double h = double(a.bounds.top) - a.bounds.bottom;
    return h >= 1 ? (double(a.bounds.right) - a.bounds.left) * (h - 1) : 0.0;
  }
  const auto& v = a.points;
  const std::size_t m = v.size() - 1;  // edges: point j to point j + 1
  auto dir = [&](std::size_t j) { return v[j + 1].y > v[j].y ? 1 : v[j + 1].y < v[j].y ? -1 : 0; };
  // Which vertices cross the scan line through them.
  std::vector<bool> crosses(m, false);
  int last = 0;
  for (std::size_t j = 0; j < m; ++j)
    if (dir(j) != 0) last = dir(j);  // for the first point: searched back from the end
  for (std::size_t j = 0; j < m; ++j) {
    const int d = dir(j);
    crosses[j] = d != 0 && d == last;
    if (d != 0) last = d;
  }
  std::vector<std::size_t> byLow(m);
  for (std::size_t j = 0; j < m; ++j) byLow[j] = j;
  auto low = [&](std::size_t j) { return std::min(v[j].y, v[j + 1].y); };
  auto high = [&](std::size_t j) { return std::max(v[j].y, v[j + 1].y); };
  std::sort(byLow.begin(), byLow.end(), [&](std::size_t p, std::size_t q) { return low(p) < low(q); });
  std::vector<std::pair<std::int32_t, std::size_t>> vertexRows;
  for (std::size_t j = 0; j < m; ++j)
    if (crosses[j]) vertexRows.push_back({v[j].y, j});
  std::sort(vertexRows.begin(), vertexRows.end());
  std::vector<std::int32_t> levels;
  for (std::size_t j = 0; j < m; ++j) levels.push_back(v[j].y);
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());

  // An edge's crossing of a line strictly between its ends, the quotient truncated toward zero.
  auto crossing = [&](std::size_t j, std::int64_t y) -> std::int64_t {
    const PathPoint& s = v[j];
    const PathPoint& e = v[j + 1];
    return s.x + static_cast<std::int64_t>(Wide(y - s.y) * (std::int64_t(e.x) - s.x) / (std::int64_t(e.y) - s.y));
  };
  std::vector<std::int64_t> xs;
  auto width = [&]() {
    std::sort(xs.begin(), xs.end());
    double w = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) w += double(xs[i + 1] - xs[i]);
    return w;
  };
  std::vector<std::size_t> active;  // edges reaching above the current level
  std::size_t nextEdge = 0, nextVertex = 0;
  double area = 0;
  for (std::size_t li = 0; li < levels.size(); ++li) {
    const std::int64_t y = levels[li];
    active.erase(std::remove_if(active.begin(), active.end(), [&](std::size_t j) { return high(j) <= y; }),
                 active.end());
    xs.clear();
    for (std::size_t j : active) xs.push_back(crossing(j, y));
    for (; nextVertex < vertexRows.size() && vertexRows[nextVertex].first == y; ++nextVertex)
      xs.push_back(v[vertexRows[nextVertex].second].x);
    area += width();
    for (; nextEdge < m && low(byLow[nextEdge]) == y; ++nextEdge)
      if (high(byLow[nextEdge]) > y) active.push_back(byLow[nextEdge]);
    if (li + 1 == levels.size()) break;
    // Between two vertex rows the same edges cross every line; upright ones at the same x.
    const std::int64_t next = levels[li + 1];
    if (next - y < 2) continue;
    const bool upright = std::all_of(active.begin(), active.end(), [&](std::size_t j) { return v[j].x == v[j + 1].x; });
    if (upright) {
      xs.clear();
      for (std::size_t j : active) xs.push_back(v[j].x);
      area += width() * double(next - y - 1);
      continue;
    }
    for (std::int64_t line = y + 1; line < next; ++line) {
      xs.clear();
      for (std::size_t j : active) xs.push_back(crossing(j, line));
      area += width();
    }
  }
  return area;
}

}  // namespace ext
