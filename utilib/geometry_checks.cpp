#include "utilib/geometry_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "editor/db/helpers.h"

namespace utilib {

using db::PathPoint;

namespace {

using Wide = __int128;

// A bound of a parameter interval: num / den with den > 0, or an infinite end.
struct Bound {
  Wide num = 0;
  Wide den = 1;
  int inf = 0;  // -1: minus infinity, +1: plus infinity
};

bool Less(const Bound& a, const Bound& b) {
  if (a.inf != 0 || b.inf != 0) return a.inf < b.inf;
  return a.num * b.den < b.num * a.den;
}

double Value(const Bound& b) { return double(b.num) / double(b.den); }

// The open interval of t where |e + t d| < s; false when it is empty.
bool AxisInterval(std::int64_t e, std::int64_t d, std::int64_t s, Bound& lo, Bound& hi) {
  if (d == 0) {
    if (std::llabs(e) >= s) return false;
    lo.inf = -1;
    hi.inf = 1;
    return true;
  }
  if (d < 0) {
    e = -e;
    d = -d;
  }
  lo = {Wide(-s - e), Wide(d), 0};
  hi = {Wide(s - e), Wide(d), 0};
  return true;
}

// Is there a t in [0, 1] with a0 + t (a1 - a0) less than s from p on both axes? *t gets one.
bool ParamWithin(PathPoint a0, PathPoint a1, PathPoint p, std::int64_t s, double* t) {
  Bound lox, hix, loy, hiy;
  if (!AxisInterval(std::int64_t(a0.x) - p.x, std::int64_t(a1.x) - a0.x, s, lox, hix)) return false;
  if (!AxisInterval(std::int64_t(a0.y) - p.y, std::int64_t(a1.y) - a0.y, s, loy, hiy)) return false;
  Bound lo = Less(lox, loy) ? loy : lox;
  Bound hi = Less(hix, hiy) ? hix : hiy;
  const Bound zero{0, 1, 0}, one{1, 1, 0};
  if (!(Less(lo, hi) && Less(lo, one) && Less(zero, hi))) return false;
  if (t) {
    double l = Less(lo, zero) ? 0.0 : Value(lo);
    double h = Less(one, hi) ? 1.0 : Value(hi);
    *t = (l + h) / 2;
  }
  return true;
}

Wide Cross(PathPoint o, PathPoint a, PathPoint b) {
  return Wide(std::int64_t(a.x) - o.x) * (std::int64_t(b.y) - o.y) -
         Wide(std::int64_t(a.y) - o.y) * (std::int64_t(b.x) - o.x);
}

int Sign(Wide v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

bool OnSegment(PathPoint a, PathPoint b, PathPoint p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

void Report(Job& job, const GeometrySettings& g, const std::string& text) {
  ReportOnNextLine(job, text, g.lines, g.firstLine);
}

std::string At(const GeometrySettings& g, const char* what, const PathPoint& p, int layer) {
  return AtPosition(g, what, p.x, p.y, layer);
}

}  // namespace

std::string AtPosition(const GeometrySettings& g, const char* what, double x, double y, int layer) {
  double scale = g.scale > 0 ? g.scale : 1;
  return Format("%s at X=%g Y=%g L=%d", what, x / scale, y / scale, layer);
}

bool SegmentsIntersect(PathPoint a0, PathPoint a1, PathPoint b0, PathPoint b1) {
  int d1 = Sign(Cross(b0, b1, a0));
  int d2 = Sign(Cross(b0, b1, a1));
  int d3 = Sign(Cross(a0, a1, b0));
  int d4 = Sign(Cross(a0, a1, b1));
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && OnSegment(b0, b1, a0)) || (d2 == 0 && OnSegment(b0, b1, a1)) ||
         (d3 == 0 && OnSegment(a0, a1, b0)) || (d4 == 0 && OnSegment(a0, a1, b1));
}

// Two segments that do not meet are closest (in any norm) with one of the four end points involved,
// so the exact test is: they meet, or an end point lies within s of the other segment.
bool SegmentsWithin(PathPoint a0, PathPoint a1, PathPoint b0, PathPoint b1, std::int32_t s, double* x,
                    double* y) {
  auto pointOnA = [&](double t) {
    if (x) *x = a0.x + t * (double(a1.x) - a0.x);
    if (y) *y = a0.y + t * (double(a1.y) - a0.y);
  };
  if (SegmentsIntersect(a0, a1, b0, b1)) {
    Wide den = Cross({0, 0}, {a1.x - a0.x, a1.y - a0.y}, {b1.x - b0.x, b1.y - b0.y});
    if (den != 0) {
      Wide num = Cross(a0, b0, b1);
      pointOnA(double(num) / double(den));
    } else {
      // Collinear overlap: an end point of one lies on the other.
      PathPoint p = OnSegment(b0, b1, a0) ? a0 : OnSegment(b0, b1, a1) ? a1 : OnSegment(a0, a1, b0) ? b0 : b1;
      if (x) *x = p.x;
      if (y) *y = p.y;
    }
    return true;
  }
  if (s <= 0) return false;
  double t = 0;
  if (ParamWithin(b0, b1, a0, s, &t)) return pointOnA(0), true;
  if (ParamWithin(b0, b1, a1, s, &t)) return pointOnA(1), true;
  if (ParamWithin(a0, a1, b0, s, &t)) return pointOnA(t), true;
  if (ParamWithin(a0, a1, b1, s, &t)) return pointOnA(t), true;
  return false;
}

void RemoveDuplicateVertices(Job& job, const GeometrySettings& g, Shape& shape) {
  std::size_t i = 0;
  while (i + 1 < shape.v.size()) {
    if (shape.v[i + 1] == shape.v[i]) {
      PathPoint removed = shape.v[i + 1];
      shape.v.erase(shape.v.begin() + std::ptrdiff_t(i + 1));
      Report(job, g, At(g, "Duplicate Vertex Removed", removed, shape.layer));
    } else {
      ++i;
    }
  }
}

int CheckCrushedBox(Job& job, const GeometrySettings& g, int layer, std::int32_t left, std::int32_t bottom,
                    std::int32_t right, std::int32_t top) {
  if (left != right && bottom != top) return 1;
  PathPoint at{left, bottom};
  if (g.protocol) {
    if (!AskOkOrAbort(job, At(g, "Crushed Box", at, layer) + "\n\nRemove It or Cancel Conversion?")) return 0;
    Report(job, g, At(g, "Crushed Box Removed", at, layer));
    return 0;
  }
  Report(job, g, At(g, "Crushed Box", at, layer));
  return 1;
}

int CheckAcuteAngles(Job& job, const GeometrySettings& g, const Shape& shape, bool closing) {
  const auto& v = shape.v;
  const int n = shape.Count();
  if (n < 3) return 0;
  // Corners as (a, b, c) index triples.
  std::vector<std::array<int, 3>> corners;
  if (closing) {
    // Closing added segment n-2 -> n-1; it makes the corners at vertex n-2 and at the first vertex.
    if (n >= 4) corners.push_back({n - 3, n - 2, n - 1});
    corners.push_back({n - 2, 0, 1});
  } else {
    for (int i = 0; i + 2 < n; ++i) corners.push_back({i, i + 1, i + 2});
    // The corner at the first vertex of a closed polygon lies across the closing point.
    if (shape.IsPolygon() && shape.IsClosed() && n >= 4) corners.push_back({n - 2, 0, 1});
  }
  int found = 0;
  for (const auto& [ia, ib, ic] : corners) {
    const PathPoint &a = v[ia], &b = v[ib], &c = v[ic];
    if (b == a || c == b) {
      // A zero-length side has no direction: no angle to judge.
      Report(job, g, At(g, "Duplicate Vertices", b, shape.layer));
      continue;
    }
    double t1 = db::ComputeDirectionAngle(double(b.x) - a.x, double(b.y) - a.y);
    double t2 = db::ComputeDirectionAngle(double(c.x) - b.x, double(c.y) - b.y);
    double t = std::fabs(t2 - t1);
    if (t > 3.1415926) t = 6.2831853 - t;
    if (t > 1.571) {
      found = 1;
      if (closing) Report(job, g, At(g, "Acute Poly Angle when Closed", v[0], shape.layer));
      else Report(job, g, At(g, "Acute Poly/Path Angle in Poly", b, shape.layer));
    }
  }
  return found;
}

int CheckPolyIntersections(Job& job, const GeometrySettings& g, const Shape& shape) {
  const auto& v = shape.v;
  const int n = shape.Count();
  if (n <= 3) return 1;
  const int last = n - 2;  // segment j runs from vertex j to vertex j + 1
  const bool closed = shape.IsClosed();
  auto tested = [&](int i, int k) { return !(closed && i == 0 && k == last); };
  long long total = 0;
  for (int i = 0; i <= last; ++i)
    for (int k = i + 2; k <= last; ++k) total += tested(i, k);
  const std::int32_t s = std::max<std::int32_t>(g.resolution, 1);
  long long done = 0;
  int shownPercent = -1;
  for (int i = 0; i <= last; ++i) {
    for (int k = i + 2; k <= last; ++k) {
      if (!tested(i, k)) continue;
      if ((done & 255) == 0) {
        int percent = total ? int(done * 100 / total) : 100;
        if (percent != shownPercent) {
          SetItemText(job, Format("%3.1d%%", percent), g.progressItem);
          shownPercent = percent;
        }
        if (PollEscape(job)) return 0;
      }
      ++done;
      double x = 0, y = 0;
      if (SegmentsWithin(v[i], v[i + 1], v[k], v[k + 1], s, &x, &y)) {
        std::string what = Format("Poly Segments %d and %d Possibly Intersect", i + 1, k + 1);
        Report(job, g, AtPosition(g, what.c_str(), x, y, shape.layer));
      }
    }
  }
  SetItemText(job, Format("%3.1d%%", 100), g.progressItem);
  return 1;
}

double NormaliseAngle(double x) {
  while (x > 3.1415926) x -= 6.2831852;
  while (x < -3.1415926) x += 6.2831852;
  return x;
}

bool CheckPolyCirculation(Job& job, const GeometrySettings& g, const Shape& shape) {
  const auto& v = shape.v;
  if (shape.Count() <= 3 || !shape.IsClosed()) return false;
  std::vector<double> dirs;
  for (std::size_t i = 0; i + 1 < v.size(); ++i) {
    if (v[i + 1] == v[i]) continue;
    dirs.push_back(db::ComputeDirectionAngle(double(v[i + 1].x) - v[i].x, double(v[i + 1].y) - v[i].y));
  }
  if (dirs.empty()) return false;
  double sum = 0;
  for (std::size_t i = 0; i + 1 < dirs.size(); ++i) sum += NormaliseAngle(dirs[i + 1] - dirs[i]);
  sum += NormaliseAngle(dirs.front() - dirs.back());
  double a = std::fabs(sum);
  if (a > 6.220353447 && a < 6.346017153) return false;
  Report(job, g, At(g, "Poly Circulation not 360 deg", v[0], shape.layer));
  return true;
}

int CheckPolyShape(Job& job, const GeometrySettings& g, Shape& shape) {
  const int n = shape.Count();
  if (n > kMaxPolyVertices) {
    // Reported and kept whole (the exporter splits or writes it as its format allows); the other
    // checks still apply.
    Report(job, g, At(g, Format("More than %d Vertices in Poly", kMaxPolyVertices).c_str(), shape.v[0], shape.layer));
  }
  if (n <= 1) {
    PathPoint at = n ? shape.v[0] : PathPoint{};
    Report(job, g, At(g, "Single Point Removed", at, shape.layer));
    return 0;
  }
  const PathPoint first = shape.v[0];
  const bool polygon = shape.IsPolygon();
  const bool folded = n == 3 && shape.v[2] == shape.v[0];
  const bool open = n >= 3 && !shape.IsClosed();
  if (!g.protocol) {
    if (!polygon) return 1;
    if (n == 2) {
      if (g.defaultPathWidth != 0) {
        shape.toPath = true;
        Report(job, g, At(g, "Poly Line Segment Changed to Path", first, shape.layer));
      }
      return 1;
    }
    if (folded) {
      Report(job, g, At(g, "Folded Poly", first, shape.layer));
      return 0;
    }
    if (open && g.defaultPathWidth != 0) {
      shape.toPath = true;
      Report(job, g, At(g, "Open Poly Changed to Path", first, shape.layer));
    }
    return 1;
  }

  CheckAcuteAngles(job, g, shape, false);
  if (!polygon) return 1;
  CheckPolyCirculation(job, g, shape);
  if (n == 2) {
    if (!AskOkOrAbort(job, At(g, "Line Segment", first, shape.layer) + "\n\nRemove It or Cancel Conversion?"))
      return 0;
    Report(job, g, At(g, "Line Segment Removed", first, shape.layer));
    return 0;
  }
  if (folded) {
    if (!AskOkOrAbort(job, At(g, "Folded Poly", first, shape.layer) + "\n\nRemove It or Cancel Conversion?"))
      return 0;
    Report(job, g, At(g, "Folded Poly Removed", first, shape.layer));
    return 0;
  }
  if (open) {
    if (!AskOkOrAbort(job, At(g, "Open Poly", first, shape.layer) + "\n\nClose It or Cancel Conversion?"))
      return 0;
    if (n >= kMaxShapeVertices) {
      // No room for the closing vertex: say so rather than let the user think it was closed.
      std::string what = Format("Open Poly of %d Vertices Not Closed", n);
      Report(job, g, At(g, what.c_str(), first, shape.layer));
      return 1;
    }
    shape.v.push_back(first);
    Report(job, g, At(g, "Open Poly Closed", first, shape.layer));
    CheckAcuteAngles(job, g, shape, true);
  }
  // A polygon closed just now is checked like one that came closed.
  if (g.intersections && shape.IsClosed()) {
    SetItemText(job, "Doing Poly Intersect Check ...", g.operationItem);
    if (!CheckPolyIntersections(job, g, shape)) {
      Report(job, g, "Aborted in Poly Intersect Check");
      ShowPause(job, 500);
    }
  }
  return 1;
}

bool CheckPathEnds(Job& job, const GeometrySettings& g, Shape& shape) {
  const int n = shape.Count();
  // A negative width already ends past the end points: moving them would extend the ends twice.
  if (n < 2 || shape.width <= 0) return false;
  const double half = shape.width / 2.0;
  auto shiftFor = [&](PathPoint from, PathPoint to, bool shared, PathPoint& shift) {
    double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
    if (dx == 0 && dy == 0) {
      Report(job, g, At(g, "Possible Coincidence", from, shape.layer));
      return false;
    }
    double theta = db::ComputeDirectionAngle(dx, dy);
    auto away = [](double v) { return std::trunc(v + (v < 0 ? -0.001 : 0.001)); };
    double sx = away(std::cos(theta) * half), sy = away(std::sin(theta) * half);
    double length = std::hypot(dx, dy);
    double shiftLength = std::hypot(sx, sy);
    if (std::trunc(length) < std::trunc(shiftLength + 10))
      Report(job, g, At(g, "Questionable Path End", from, shape.layer));
    // Never past the neighbouring vertex (nor past the middle when both ends share the segment),
    // or the path would turn back on itself.
    double room = shared ? length / 2 : length;
    if (shiftLength > room) {
      sx = std::trunc(dx / length * room);
      sy = std::trunc(dy / length * room);
    }
    shift = {std::int32_t(sx), std::int32_t(sy)};
    return shift.x != 0 || shift.y != 0;
  };
  PathPoint firstShift, lastShift;
  bool shared = n == 2;
  bool moveFirst = shiftFor(shape.v[0], shape.v[1], shared, firstShift);
  bool moveLast = shiftFor(shape.v[n - 1], shape.v[n - 2], shared, lastShift);
  if (moveFirst) shape.v[0] = {shape.v[0].x + firstShift.x, shape.v[0].y + firstShift.y};
  if (moveLast) shape.v[n - 1] = {shape.v[n - 1].x + lastShift.x, shape.v[n - 1].y + lastShift.y};
  return moveFirst || moveLast;
}

bool InlinePathEnds(Job& job, const GeometrySettings& g, Shape& shape) {
  const int n = shape.Count();
  if (n < 2 || shape.width >= 0) return false;
  // Repeated end vertices give no direction: the end moves along the first segment of some length.
  int i = 1;
  while (i < n && shape.v[i] == shape.v[0]) ++i;
  if (i == n) {
    Report(job, g, At(g, "Possible Coincidence", shape.v[0], shape.layer));
    return false;
  }
  int j = n - 2;
  while (shape.v[j] == shape.v[n - 1]) --j;
  const double half = shape.width / 2.0;  // negative: the shift points away from the neighbour
  auto shift = [&](PathPoint& end, PathPoint toward) {
    double theta = db::ComputeDirectionAngle(double(toward.x) - end.x, double(toward.y) - end.y);
    auto away = [](double v) { return std::trunc(v + (v < 0 ? -0.001 : 0.001)); };
    double x = end.x + away(std::cos(theta) * half), y = end.y + away(std::sin(theta) * half);
    end = {std::int32_t(std::clamp(x, -2147483648.0, 2147483647.0)),
           std::int32_t(std::clamp(y, -2147483648.0, 2147483647.0))};
  };
  const PathPoint firstNeighbour = shape.v[i], lastNeighbour = shape.v[j];
  shift(shape.v[0], firstNeighbour);
  shift(shape.v[n - 1], lastNeighbour);
  shape.width = shape.width == INT32_MIN ? INT32_MAX : -shape.width;
  return true;
}

int PathToPolygon(Job& job, const GeometrySettings& g, Shape& shape) {
  if (shape.width == 0 || shape.v.empty()) return 0;
  std::vector<PathPoint> outline;
  std::size_t needed = 0;
  db::OutlineOptions options;
  options.maxPoints = kMaxShapeVertices;
  db::OutlineStatus status = db::BuildPathOutline(shape.v, shape.width, outline, options, &needed);
  if (status == db::OutlineStatus::TooManyPoints) {
    std::string what = Format("Path Outline of %d Points Kept as Path", int(needed));
    Report(job, g, At(g, what.c_str(), shape.v[0], shape.layer));
    return 0;
  }
  if (status != db::OutlineStatus::Ok) return 0;
  shape.v = std::move(outline);
  shape.width = 0;
  return 1;
}

}  // namespace utilib
