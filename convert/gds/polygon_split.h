// Cutting a polygon of more vertices than a TLC record holds into pieces that each fit, whose union
// is the polygon (to half a unit where a cut crosses a slanted edge).
#pragma once
#include <cstddef>
#include <vector>

#include "editor/db/path_outline.h"

namespace gds {

using TlcPoint = db::PathPoint;

// Cuts along vertical or horizontal lines through the middle of each piece until every piece has
// at most `limit` points, closing point included. False when that cannot be reached.
bool SplitPolygon(const std::vector<TlcPoint>& polygon, std::size_t limit,
                  std::vector<std::vector<TlcPoint>>& pieces);

}  // namespace gds
