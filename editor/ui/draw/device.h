// Inside the drawing engine: the device mapping of world points, the clip to the device range and
// the canvas calls of the four primitive kinds (line, rectangle outline, filled rectangle, polygon).
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// RoundDevice((x - left) * sx) for x = a and x = b at once (with sx the scale and the flip folded
// in by the caller: (top - y) * sy is (y - top) * -sy only up to the sign of zero, so y takes its own
// call with `flip`): the same operations in the same order on both lanes.
#if defined(__SSE2__)
[[gnu::always_inline]] inline void RoundDevicePair(double a, double b, double origin, double scale, bool flip,
                                                   int& ra, int& rb) {
  constexpr double kLimit = kScreenLimit;
  const __m128d v = _mm_set_pd(b, a);
  const __m128d o = _mm_set1_pd(origin);
  __m128d d = _mm_mul_pd(flip ? _mm_sub_pd(o, v) : _mm_sub_pd(v, o), _mm_set1_pd(scale));
  // no lane is a NaN (whole coordinates, a finite scale), so max and min are the clamp
  d = _mm_min_pd(_mm_max_pd(d, _mm_set1_pd(-kLimit)), _mm_set1_pd(kLimit));
  const __m128d half = _mm_or_pd(_mm_and_pd(d, _mm_set1_pd(-0.0)), _mm_set1_pd(0.5));
  const __m128i r = _mm_cvttpd_epi32(_mm_add_pd(d, half));
  ra = _mm_cvtsi128_si32(r);
  rb = _mm_cvtsi128_si32(_mm_shuffle_epi32(r, 1));
}
#else
inline void RoundDevicePair(double a, double b, double origin, double scale, bool flip, int& ra, int& rb) {
  ra = RoundDevice((flip ? origin - a : a - origin) * scale);
  rb = RoundDevice((flip ? origin - b : b - origin) * scale);
}
#endif

// WorldToDevice, RoundDevice and the origin for one target, its terms taken once: the device point
// of (x, y), and whether both device coordinates lay within the device range before the clamp.
struct DeviceMap {
  double left = 0, top = 0, scaleX = 1, scaleY = 1;
  int originX = 0, originY = 0;
#if defined(__SSE2__)
  [[gnu::always_inline]] gfx::Point Map(double x, double y, bool& inside) const {
    constexpr double kLimit = kScreenLimit;
    // (x - left) * scaleX and (top - y) * scaleY, one per lane
    const __m128d d = _mm_mul_pd(_mm_sub_pd(_mm_set_pd(top, x), _mm_set_pd(y, left)), _mm_set_pd(scaleY, scaleX));
    inside = _mm_movemask_pd(_mm_cmple_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), d), _mm_set1_pd(kLimit))) == 3;
    // no lane is a NaN (whole coordinates, finite terms), so max and min are the clamp
    const __m128d c = _mm_min_pd(_mm_max_pd(d, _mm_set1_pd(-kLimit)), _mm_set1_pd(kLimit));
    const __m128d half = _mm_or_pd(_mm_and_pd(c, _mm_set1_pd(-0.0)), _mm_set1_pd(0.5));
    const __m128i r = _mm_cvttpd_epi32(_mm_add_pd(c, half));
    return gfx::Point{_mm_cvtsi128_si32(r) + originX, _mm_cvtsi128_si32(_mm_shuffle_epi32(r, 1)) + originY};
  }
#else
  gfx::Point Map(double x, double y, bool& inside) const {
    const double dx = (x - left) * scaleX, dy = (top - y) * scaleY;
    inside = dx >= -double(kScreenLimit) && dx <= double(kScreenLimit) && dy >= -double(kScreenLimit) &&
             dy <= double(kScreenLimit);
    return gfx::Point{RoundDevice(dx) + originX, RoundDevice(dy) + originY};
  }
#endif
};
DeviceMap DeviceMapOf(const Engine& e);

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

// Only while an instance or the context cell is drawn are objects placed.
inline bool Transforming(const Engine& e) { return e.instanceFlag || e.contextFlag; }
// Orientation of levels level, level-1, ..., 0 applied to a point, level by level.
void LevelOrientation(const Engine& e, int level, std::int64_t& x, std::int64_t& y);

}  // namespace draw::detail
