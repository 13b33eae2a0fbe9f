// Res and Cap: quick estimates of a wire's resistance and of the capacitance of selected geometry,
// an automatic part over the selection and then pieces given by pairs of points, all added up.
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void ResCommand(edui::Editor& ed);
void CapCommand(edui::Editor& ed);

// Adds a piece to the running total and shows it: resistance a x parameter / b (a length and a width)
// or capacitance a x b x parameter / scale^2 (an area).
void AddPiece(edui::Editor& ed, bool resistance, double a, double b, double parameter);

}  // namespace edcmd
