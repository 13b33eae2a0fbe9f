// The values new objects take (layer, text layer, text size, path width, what Add makes), changes of
// layer, width and text size of the selection, and the Set, Font and Attr dialogs.
#pragma once
#include <cstdint>

#include "editor/ui/editor.h"

namespace edcmd {

void LayrCommand(edui::Editor& ed);  // Layr, tLyr
void CLyrCommand(edui::Editor& ed);
void SizeCommand(edui::Editor& ed);  // tSiz, Wdth, cWth, cSiz
void ObjCommand(edui::Editor& ed);
void SetCommand(edui::Editor& ed);
void FontCommand(edui::Editor& ed);
void AttrCommand(edui::Editor& ed);

// WSIZE asked until the value is 0 or 2..65536 database units in magnitude (a cancelled dialog gives
// the value it showed); "*" and "-*" in the answer set the width mode.
std::int32_t AskSize(edui::Editor& ed, std::int32_t initial);
// New widths (or text sizes) for the selected paths under the width mode.
void ApplyWidthOrSize(edui::Editor& ed, std::int32_t value, bool texts);
// A new width whose end style changes keeps the outer tips of the ends where they were.
void SetPathWidth(db::ObjectStore& s, int path, std::int32_t width);

}  // namespace edcmd
