// The geometry of DXF entities in TLC terms: circles, arcs and polyline bulges broken into chords,
// and the orientation code of an insert or a text.
#pragma once
#include <vector>

namespace dxf {

struct Point2 {
  double x = 0, y = 0;
};

// The points of a circle from the centre plus the radius on x: the step is the whole degrees of
// 360 / N, N the integer part of 360 / the segment angle; the first point closes it.
std::vector<Point2> CirclePoints(Point2 centre, double radius, double segmentAngle);

// The points of an arc from its start angle to its end angle (degrees), counter-clockwise or
// clockwise, in chords of about the segment angle (at least one chord).
std::vector<Point2> ArcPoints(Point2 centre, double radius, double start, double end, bool clockwise,
                              double segmentAngle);

// The largest bulge taken (an arc of 270 degrees).
constexpr double kMaxBulge = 2.414213562;

// The points strictly between a and b on the arc of that bulge (4 atan(bulge) degrees, positive
// counter-clockwise), one per segment angle of the arc; none when the arc has fewer than two chords.
std::vector<Point2> BulgePoints(Point2 a, Point2 b, double bulge, double segmentAngle);

// Orientation code of an insert or a text: mirrors in x and y (scale factors below 0, or text
// generation flags) and the rotation in degrees, snapped to the nearest quarter turn.
int DxfOrientation(bool mirrorX, bool mirrorY, double rotation);

// True when a rotation is no multiple of 90 degrees: the snapped code only approximates it.
bool OffQuarterTurn(double rotation);

}  // namespace dxf
