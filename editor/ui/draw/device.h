// Inside the drawing engine: the device mapping of world points, the clip to the device range and
// the canvas calls of the four primitive kinds (line, rectangle outline, filled rectangle, polygon).
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/resources.h"
#include "editor/ui/draw/view.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/geometry.h"

namespace draw::detail {

// How one primitive is drawn: palette index (0..21), fill number (0..14), dash style (0..4).
struct Style {
  int colour = 7;
  int fill = 0;
  int dash = 0;
};

bool OnPaper(const Engine& e);

// World point of the edited cell to device units (doubles, before the clamp and the origin).
[[gnu::always_inline]] inline void WorldToDevice(const Engine& e, double x, double y, double& dx, double& dy) {
  if (e.target == Target::Screen) {
    dx = (x - e.view.left) * e.view.scaleX;
    dy = (e.view.top - y) * e.view.scaleY;
  } else {
    dx = (x - e.page.worldLeft) * e.page.scaleX;
    dy = (e.page.worldTop - y) * e.page.scaleY;
  }
}

// Device units clamped to the device range and rounded half away from zero.
[[gnu::always_inline]] inline int RoundDevice(double v) {
  constexpr double kLimit = kScreenLimit;
  v = v < -kLimit ? -kLimit : v;  // std::clamp, without branches
  v = kLimit < v ? kLimit : v;
  // |v| + 0.5 is positive, so its floor is its truncation, and -trunc(0.5 - v) is trunc(v - 0.5)
  return static_cast<int>(v + std::copysign(0.5, v));
}

// Where device (0, 0) lies on the canvas: the drawing area's corner on the screen, the page origin
// on paper and in the clipboard bitmap.
inline gfx::Point DeviceOrigin(const Engine& e) {
  if (e.target != Target::Screen) return gfx::Point{e.page.originX, e.page.originY};
  return gfx::Point{e.view.area.left, e.view.area.top};
}

// Device points: clipped to +-16000 along the segment, clamped, rounded, moved by the origin.
struct DeviceSegment {
  gfx::Point a;
  gfx::Point b;
};
DeviceSegment MapSegment(const Engine& e, double x1, double y1, double x2, double y2);
[[gnu::always_inline]] inline gfx::Point MapPoint(const Engine& e, double x, double y) {
  double dx, dy;
  WorldToDevice(e, x, y, dx, dy);
  const gfx::Point o = DeviceOrigin(e);
  return gfx::Point{RoundDevice(dx) + o.x, RoundDevice(dy) + o.y};
}

inline gfx::PenStyle DashStyle(const Style& st) { return gfx::PenStyle(std::clamp(st.dash, 0, kDashCount - 1)); }

// Primitive kinds 1 to 4 in world coordinates of the edited cell.
void EmitLine(Engine& e, const DeviceSegment& s, const Style& st);
void EmitRectOutline(Engine& e, double left, double bottom, double right, double top, const Style& st);
void EmitFilledRect(Engine& e, double left, double bottom, double right, double top, const Style& st);
// Closes the polygon with its first point when needed; nothing for fill 0 or fewer than 3 points.
void EmitPolygon(Engine& e, std::vector<gfx::Point>& points, const Style& st);

// Appends a device point unless it repeats the last one.
inline void AppendDevicePoint(std::vector<gfx::Point>& points, gfx::Point p) {
  if (points.empty() || !(points.back() == p)) points.push_back(p);
}

// Orientation of levels level, level-1, ..., 0 applied to a point (what an object of the cell drawn
// at `level` goes through), then the current offset; only while an instance or the context cell is
// drawn.
void LevelTransform(const Engine& e, int level, std::int64_t& x, std::int64_t& y);
bool Transforming(const Engine& e);

}  // namespace draw::detail
