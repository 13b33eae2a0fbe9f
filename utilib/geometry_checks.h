// Checks and repairs of boxes, paths and polygons before an exporter writes them into a foreign
// format: crushed boxes, duplicate vertices, degenerate and open polygons, acute angles,
// self-intersections, circulation, path ends, and the conversion of a path into its outline.
// Findings are report lines on the rotating message lines; with the protocol switch on, repairs are
// asked for, and Cancel stops the conversion (the job's abort flag).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/db/path_outline.h"
#include "utilib/job.h"

namespace utilib {

constexpr int kMaxShapeVertices = 512;
constexpr int kMaxPolyVertices = 200;  // more are reported: many formats and mask makers refuse them

struct GeometrySettings {
  double scale = 1;      // database units per physical unit, for the positions in messages
  bool protocol = false;       // "Check for Proper ... IC Protocol": ask for repairs
  bool intersections = false;  // "Check Poly Intersects"
  std::int32_t resolution = 1;        // s, in database units (at least 1)
  std::int32_t defaultPathWidth = 0;  // database units; 0: a shape cannot be made a path
  int firstLine = 511;  // the rotating report lines
  int lines = 5;
  int operationItem = 500;
  int progressItem = 516;
};

struct Shape {
  int layer = 1;
  std::int32_t width = 0;  // 0: a polygon
  std::vector<db::PathPoint> v;
  bool toPath = false;  // to be written as a path of the default width
  int Count() const { return static_cast<int>(v.size()); }
  bool IsPolygon() const { return width == 0; }
  bool IsClosed() const { return v.size() > 1 && v.front() == v.back(); }
};

// "%s at X=%g Y=%g L=%d" for a database position.
std::string AtPosition(const GeometrySettings& settings, const char* what, double x, double y, int layer);

void RemoveDuplicateVertices(Job& job, const GeometrySettings& settings, Shape& shape);
// 1 keep the box, 0 drop it (or the conversion was cancelled: job.abort).
int CheckCrushedBox(Job& job, const GeometrySettings& settings, int layer, std::int32_t left,
                    std::int32_t bottom, std::int32_t right, std::int32_t top);
// 1 write the shape (possibly closed or marked as a path), 0 drop it or cancelled.
int CheckPolyShape(Job& job, const GeometrySettings& settings, Shape& shape);
// Turns of more than about 90 degrees. `closing`: only the corners made by closing the polygon.
// 1 when an acute angle was reported.
int CheckAcuteAngles(Job& job, const GeometrySettings& settings, const Shape& shape, bool closing);
// Reports every pair of non-adjacent segments of a closed polygon that come within the resolution
// of each other. 1 done, 0 stopped by Esc (job.abort set).
int CheckPolyIntersections(Job& job, const GeometrySettings& settings, const Shape& shape);
// Reports a closed polygon whose turns do not add up to one full turn. True when reported.
bool CheckPolyCirculation(Job& job, const GeometrySettings& settings, const Shape& shape);
double NormaliseAngle(double angle);
// Moves the ends of a path of positive width inwards by half the width, for formats that draw a
// wire past its end points. True when an end was moved.
bool CheckPathEnds(Job& job, const GeometrySettings& settings, Shape& shape);
// The other way round, for formats that end a wire flush at its end points: a path of negative width
// (ends extended by half the width) gets its end vertices moved outwards by half the width and a
// positive width. False, and the width left negative, when the path has no direction to move along.
bool InlinePathEnds(Job& job, const GeometrySettings& settings, Shape& shape);
// Replaces a path by its outline polygon (width 0). An outline of more than 512 points is reported
// and the shape stays a path; result 1 converted, 0 not.
int PathToPolygon(Job& job, const GeometrySettings& settings, Shape& shape);

// Exact geometry behind the intersection check.
// True when the two closed segments share a point.
bool SegmentsIntersect(db::PathPoint a0, db::PathPoint a1, db::PathPoint b0, db::PathPoint b1);
// True when a point of segment a and a point of segment b lie less than s apart on both axes;
// *x, *y (optional) receive such a point of segment a.
bool SegmentsWithin(db::PathPoint a0, db::PathPoint a1, db::PathPoint b0, db::PathPoint b1,
                    std::int32_t s, double* x = nullptr, double* y = nullptr);

}  // namespace utilib
