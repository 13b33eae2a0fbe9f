#include "editor/db/path_outline.h"

#include <cmath>
#include <cstdlib>

#include "editor/db/helpers.h"

namespace db {

namespace {

struct Vec {
  double x = 0;
  double y = 0;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }

// One stored pair: the right-hand and the left-hand point of the outline at one place of the path.
struct SidePair {
  Vec right;
  Vec left;
};

struct Segment {
  Vec a, b;
  Vec d;  // unit direction
  Vec r;  // right-hand offset, h long
  double theta = 0;
  double length = 0;
};

Segment MakeSegment(PathPoint from, PathPoint to, double h) {
  Segment s;
  s.a = {double(from.x), double(from.y)};
  s.b = {double(to.x), double(to.y)};
  double dx = s.b.x - s.a.x;
  double dy = s.b.y - s.a.y;
  s.theta = ComputeDirectionAngle(dx, dy);
  s.d = {std::cos(s.theta), std::sin(s.theta)};
  s.r = {h * s.d.y, -h * s.d.x};
  s.length = std::hypot(dx, dy);
  return s;
}

}  // namespace

OutlineStatus BuildPathOutline(std::span<const PathPoint> vertices, std::int32_t width,
                               std::vector<PathPoint>& outline, const OutlineOptions& options,
                               std::size_t* needed) {
  outline.clear();
  if (needed) *needed = 0;
  // Zero-length segments have no direction; they would add stray corner points.
  std::vector<PathPoint> pts;
  pts.reserve(vertices.size());
  for (const PathPoint& p : vertices)
    if (pts.empty() || !(pts.back() == p)) pts.push_back(p);
  if (width == 0 || pts.size() < 2) return OutlineStatus::TooFewPoints;

  const double h = double(std::abs(std::int64_t(width)) / 2);
  const bool extended = width < 0;

  std::vector<Segment> segs;
  segs.reserve(pts.size() - 1);
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) segs.push_back(MakeSegment(pts[i], pts[i + 1], h));

  std::vector<SidePair> pairs;
  pairs.reserve(2 * segs.size() + 2);
  bool bevelPending = false;
  double bevelSign = 0;
  bool innerPending = false;
  Vec innerPoint;
  for (std::size_t i = 0; i < segs.size(); ++i) {
    const Segment& s = segs[i];
    if (i == 0) {
      Vec back = extended ? h * s.d : Vec{};
      pairs.push_back({s.a + s.r - back, s.a - s.r - back});
    }
    if (bevelPending) {
      Vec off = (bevelSign * h) * s.d;
      SidePair p{s.a + s.r - off, s.a - s.r + off};
      if (innerPending) (bevelSign > 0 ? p.left : p.right) = innerPoint;
      pairs.push_back(p);
      bevelPending = innerPending = false;
    }
    if (i + 1 < segs.size()) {
      const Segment& next = segs[i + 1];
      double phi = (next.theta - s.theta) / 2;
      double c = std::cos(phi);
      double t, k;
      if (c == 0) {
        t = 2 * h;
        k = 0;
      } else {
        t = h * std::sin(phi) / c;
        k = t > 0 ? 1 : (t < 0 ? -1 : 0);
      }
      double trueT = t;
      if (std::fabs(t) > h) {
        t = k * h;
        bevelPending = true;
        bevelSign = k;
        // The inner edges meet trueT behind the corner; use that point when both segments reach it.
        if (options.trimInnerBevel && k != 0 && std::fabs(trueT) <= s.length &&
            std::fabs(trueT) <= next.length) {
          innerPending = true;
          innerPoint = k > 0 ? s.b - s.r - trueT * s.d : s.b + s.r + trueT * s.d;
        }
      }
      SidePair p{s.b + s.r + t * s.d, s.b - s.r - t * s.d};
      if (innerPending) (k > 0 ? p.left : p.right) = innerPoint;
      pairs.push_back(p);
    } else {
      Vec on = extended ? h * s.d : Vec{};
      pairs.push_back({s.b + s.r + on, s.b - s.r + on});
    }
  }

  // Right point of the first pair, the left side forward, then the right side back.
  std::vector<PathPoint> poly;
  poly.reserve(2 * pairs.size() + 1);
  auto emit = [&](Vec v) {
    PathPoint p{RoundHalfAway(v.x), RoundHalfAway(v.y)};
    if (poly.empty() || !(poly.back() == p)) poly.push_back(p);
  };
  emit(pairs[0].right);
  for (const SidePair& p : pairs) emit(p.left);
  for (std::size_t i = pairs.size(); i-- > 0;) emit(pairs[i].right);
  // emit() already folded the closing point into the first one when they coincide; close it again.
  if (poly.size() > 1 && !(poly.back() == poly.front())) poly.push_back(poly.front());
  if (poly.size() < 4) return OutlineStatus::TooFewPoints;
  if (needed) *needed = poly.size();
  if (options.maxPoints != 0 && poly.size() > options.maxPoints) return OutlineStatus::TooManyPoints;
  outline = std::move(poly);
  return OutlineStatus::Ok;
}

}  // namespace db
