// Selecting and unselecting by a window of two points: Get, fGet, tGet, wGet, aGet, pBeg, pEnd add to
// the selection; Put, fPut, tPut take from it; aPut clears it.
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void SelectCommand(edui::Editor& ed);    // Get, fGet, tGet, aGet, wGet, pBeg, pEnd
void UnselectCommand(edui::Editor& ed);  // Put, fPut, tPut
void APutCommand(edui::Editor& ed);

// Every selected instance, box and path unselected, and each drawn again.
void DeselectAll(edui::Editor& ed);

}  // namespace edcmd
