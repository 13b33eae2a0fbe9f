// Outlines of the traced shapes and the tests on them: whether two shapes touch, whether a shape
// holds a point, how two zero-width paths join, and the area of an outline. Everything is exact in
// whole database units: a shared edge, a shared corner or an overlap one unit high all count.
#pragma once
#include <cstdint>
#include <vector>

#include "editor/db/path_outline.h"

namespace ext {

using db::PathPoint;

struct Bounds {
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
  bool Meets(const Bounds& o) const {
    return left <= o.right && o.left <= right && bottom <= o.top && o.bottom <= top;
  }
  bool Holds(std::int32_t x, std::int32_t y) const { return left <= x && x <= right && bottom <= y && y <= top; }
};

// The closed outline of a box, a wide path or a closed polygon (first point repeated at the end), or
// the open point list of a line.
struct Outline {
  std::vector<PathPoint> points;
  Bounds bounds;
  bool closed = false;
  bool rectangle = false;  // an axis-parallel rectangle: its bounds are the whole shape
};

Outline BoxOutline(std::int32_t left, std::int32_t bottom, std::int32_t right, std::int32_t top);
// Vertices of a path with consecutive equal points dropped. Width 0: the polygon (closed when the
// last vertex equals the first) or the line; else the wide path's outline. False when the path has
// no outline (fewer than two vertices, or a wide path without a segment of length).
bool PathOutline(const std::vector<PathPoint>& vertices, std::int32_t width, Outline& out);

// The two closed shapes share at least one point.
bool OutlinesTouch(const Outline& a, const Outline& b);
// The closed shape holds the point (its edges included).
bool OutlineHolds(const Outline& a, std::int32_t x, std::int32_t y);
// The point is one of the vertices, or lies on a vertical or horizontal segment, ends included.
bool OnAxisSegments(const std::vector<PathPoint>& points, std::int32_t x, std::int32_t y);
// Two zero-width paths join: a vertex of one equals, or lies on an axis-parallel segment of, the other.
bool LinesJoin(const std::vector<PathPoint>& a, const std::vector<PathPoint>& b);
// Area of a closed outline in square database units as the scan lines measure it: every whole y
// from the bottom to the top, ends included, adds the widths of the inside intervals at y. A vertex on
// the scan line crosses it only when the edge leaving it runs the way of the last edge before it that
// is not horizontal, so the bottom and top lines of a box hold nothing: w wide and h high gives w(h-1).
double OutlineArea(const Outline& a);

}  // namespace ext
