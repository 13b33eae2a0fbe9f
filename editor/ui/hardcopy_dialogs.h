// HCPY, the hardcopy set-up that Print runs, and PRNCOLORS, the print colours it opens.
#pragma once
#include "editor/ui/editor.h"
#include "platform/ui/types.h"

namespace edui {

// HCPY: the four switches, the hardcopy and paper scales, the shifts and the printer; 1 Print,
// 0 Cancel. On Print the settings are stored and the fit scale is that of the chosen target.
int RunHcpyDialog(Editor& ed);
// PRNCOLORS over the print colours 9..14 and 16..21; 1 OK (stored), 0 Cancel.
int RunPrnColorsDialog(Editor& ed, ui::Wnd owner);

// Typed numbers as HCPY stores them: a hardcopy scale of 0 or less is the fit scale, a shift stays
// within 2 inches either way, a colour byte within 0..255.
double TypedHardcopyScale(double typed, double fitScale);
double TypedShift(double typed);
int TypedColourByte(double typed);

}  // namespace edui
