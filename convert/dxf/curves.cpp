#include "convert/dxf/curves.h"

#include <cmath>
#include <numbers>

namespace dxf {

namespace {

constexpr double kRadian = std::numbers::pi / 180;

Point2 OnCircle(Point2 c, double r, double degrees) {
  return {c.x + r * std::cos(degrees * kRadian), c.y + r * std::sin(degrees * kRadian)};
}

}  // namespace

std::vector<Point2> CirclePoints(Point2 centre, double radius, double segmentAngle) {
  const int n = static_cast<int>(360 / segmentAngle);
  const int step = n > 0 ? 360 / n : 360;
  std::vector<Point2> points;
  for (int angle = 0; angle < 360 - step / 2.0; angle += step) points.push_back(OnCircle(centre, radius, angle));
  points.push_back(points.front());
  return points;
}

std::vector<Point2> ArcPoints(Point2 centre, double radius, double start, double end, bool clockwise,
                              double segmentAngle) {
  // Angles that are no numbers are taken as absent.
  if (!std::isfinite(start)) start = 0;
  if (!std::isfinite(end)) end = 90;
  start = std::fmod(start, 360);
  if (start < 0) start += 360;
  double sweep = std::fmod(end - start, 360);
  if (!clockwise && sweep <= 0) sweep += 360;
  if (clockwise && sweep >= 0) sweep -= 360;
  int chords = static_cast<int>(std::fabs(sweep) / segmentAngle);
  if (chords < 1) chords = 1;
  std::vector<Point2> points;
  for (int i = 0; i <= chords; ++i) points.push_back(OnCircle(centre, radius, start + sweep * i / chords));
  return points;
}

std::vector<Point2> BulgePoints(Point2 a, Point2 b, double bulge, double segmentAngle) {
  if (!std::isfinite(bulge)) return {};
  const double included = 4 * std::atan(bulge);  // radians, signed
  const int chords = static_cast<int>(std::fabs(included) / kRadian / segmentAngle);
  if (chords <= 1 || bulge == 0) return {};
  const double dx = b.x - a.x, dy = b.y - a.y;
  // The centre lies off the chord's middle on its left for a counter-clockwise arc.
  const double f = (1 - bulge * bulge) / (4 * bulge);
  const Point2 c{a.x + dx / 2 - dy * f, a.y + dy / 2 + dx * f};
  const double r = std::hypot(a.x - c.x, a.y - c.y);
  const double start = std::atan2(a.y - c.y, a.x - c.x);
  std::vector<Point2> points;
  for (int i = 1; i < chords; ++i) {
    const double t = start + included * i / chords;
    points.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
  }
  return points;
}

int DxfOrientation(bool mirrorX, bool mirrorY, double rotation) {
  int mirror = mirrorY ? 4 : 0;
  int turns = 0;
  if (mirrorX) {
    mirror ^= 4;
    turns += 2;
  }
  double r = std::fmod(rotation, 360);
  if (r < 0) r += 360;
  if (r > 45 && r <= 135) turns += 1;
  else if (r > 135 && r <= 225) turns += 2;
  else if (r > 225 && r <= 315) turns += 3;
  return mirror | (turns & 3);
}

bool OffQuarterTurn(double rotation) {
  double r = std::fmod(rotation, 90);
  if (r < 0) r += 90;
  return r > 0.1 && r < 89.9;
}

}  // namespace dxf
