// Make (the selection copied into a cell of its own, or appended to one), Smsh (texts and boxes into
// polygons, instances into their contents) and Step (the selection repeated in an array).
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void MakeCommand(edui::Editor& ed);
void SmshCommand(edui::Editor& ed);
void StepCommand(edui::Editor& ed);

// Instance n replaced by the contents of its cell, one level deep: 1 done, 0 when the cell's files
// could not be appended (the store is then as it was before).
int SmashInstance(edui::Editor& ed, int n);

}  // namespace edcmd
