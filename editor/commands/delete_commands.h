// Deleting the selection and editing paths: Del, vStp, pRev, Cut and Join.
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void DelCommand(edui::Editor& ed);
void VStpCommand(edui::Editor& ed);
void PRevCommand(edui::Editor& ed);
void CutCommand(edui::Editor& ed);
void JoinCommand(edui::Editor& ed);

// Wholly selected boxes go (on an editable layer unless `anyLayer`), erased first when asked.
int DeleteBoxes(edui::Editor& ed, bool erase, bool anyLayer);
// Selected texts (and with `whole` every selected path) go as records; other selected paths lose their
// selected vertices; then the vertices are compacted, so a path left with fewer than two goes too.
void DeletePaths(edui::Editor& ed, bool erase, bool anyLayer, bool whole);
// The vertex compaction with its progress in the status bar.
void CompactVerticesShown(edui::Editor& ed, bool progress);

}  // namespace edcmd
