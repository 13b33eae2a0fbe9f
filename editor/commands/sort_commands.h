// Sort (records ordered by where they lie, coordinates folded back into range) and uDup (degenerate
// and duplicate objects removed).
#pragma once
#include <cstdint>

#include "editor/ui/editor.h"

namespace edcmd {

void SortCommand(edui::Editor& ed);
void UDupCommand(edui::Editor& ed);

// A coordinate beyond +-2^23 wrapped by a multiple of 2^24 into the range.
std::int32_t FoldCoordinate(std::int32_t c);

}  // namespace edcmd
