// OvSz (boxes and path widths grown or shrunk, closed polygons offset) and ReSz (boxes and paths
// scaled about their own centres).
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/ui/editor.h"

namespace edcmd {

void OvSzCommand(edui::Editor& ed);
void ReSzCommand(edui::Editor& ed);

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;
// A closed polygon (last point on the first) offset outwards by `amount` along its corner bisectors;
// false (and the points left) when it is open or has no turning sense.
bool OversizePolygon(Points& points, std::int32_t amount);

}  // namespace edcmd
