// The outline polygon of a wide path: the one construction behind the editor's drawing of wide
// paths, the exporters' path-to-polygon conversion, the rasteriser and the extractor, so that the
// screen, the exported files, the checker and the netlist all see the same shape.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace db {

struct PathPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const PathPoint&, const PathPoint&) = default;
};

// The fixed point buffers of the exporters and the rasteriser hold this many outline points.
constexpr std::size_t kOutlinePointLimit = 512;

struct OutlineOptions {
  // Largest number of points of the closed outline (closing point included); 0 means no limit.
  // An outline that does not fit is not cut: the result says so and the output is left empty.
  std::size_t maxPoints = kOutlinePointLimit;
  // At a bevelled corner (a turn of more than 90 degrees) the inner side stops where the two inner
  // edges meet instead of running past each other; the overshoot would cross the outline over itself
  // and leave a hole under an even-odd fill. Off gives the plain bevel construction.
  bool trimInnerBevel = true;
};

enum class OutlineStatus {
  Ok,
  TooFewPoints,   // no segment of non-zero length, or a width of 0
  TooManyPoints,  // the outline needs more than maxPoints points
};

// Builds the closed outline (first point repeated at the end) of a path of the given width.
// Half width h = |width| / 2 in whole units; a negative width extends both ends by h, a positive one
// ends flush. Zero-length segments are skipped. Corners get a miter, cut to a bevel where the miter
// would reach past h (turns of more than 90 degrees). Coordinates are rounded half away from zero;
// consecutive equal points are stored once. `needed` (optional) receives the number of points the
// whole outline has, also when it did not fit.
OutlineStatus BuildPathOutline(std::span<const PathPoint> vertices, std::int32_t width,
                               std::vector<PathPoint>& outline, const OutlineOptions& options = {},
                               std::size_t* needed = nullptr);

}  // namespace db
