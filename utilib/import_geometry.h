// Geometry the importers share: a polygon of more vertices than a TLC record holds cut into pieces
// that each fit, whose union is the polygon (to half a unit where a cut crosses a slanted edge); and
// the finest feature a file's coordinates show.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/db/path_outline.h"

namespace utilib {

using TlcPoint = db::PathPoint;

// Cuts along vertical or horizontal lines through the middle of each piece until every piece has
// at most `limit` points, closing point included. False when that cannot be reached.
bool SplitPolygon(const std::vector<TlcPoint>& polygon, std::size_t limit,
                  std::vector<std::vector<TlcPoint>>& pieces);

// The largest divisor of g that is not above `limit` (g 0 gives the limit).
std::int64_t LargestDivisorNotAbove(std::int64_t g, std::int64_t limit);

}  // namespace utilib
