// Orig (the cell's origin moved to a point) and Arc (a path extended by an arc of segments).
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/ui/editor.h"

namespace edcmd {

void OrigCommand(edui::Editor& ed);
void ArcCommand(edui::Editor& ed);

// The points between start s and end e about centre c: n - 1 of them, the radius going linearly from
// |s - c| to |e - c|; `clockwise` picks the direction (a full turn when s and e lie the same way).
std::vector<std::pair<std::int32_t, std::int32_t>> ArcPoints(std::int32_t sx, std::int32_t sy, std::int32_t cx,
                                                             std::int32_t cy, std::int32_t ex, std::int32_t ey,
                                                             int n, bool clockwise);

}  // namespace edcmd
