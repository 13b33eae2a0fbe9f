// The 18 pictures of the toolbar buttons, drawn by the program itself, in the order of the menu
// items 10..27 (Help, Read, Print, Sys, Save, Cell, List, Undo, Left, Up, Dn, Right, Fit, Cntr,
// Xpnd, Zoom, Last, Draw).
#pragma once
#include "platform/gfx/surface.h"

namespace edui {

constexpr int kButtonBitmaps = 18;
constexpr int kButtonBitmapWidth = 22;
constexpr int kButtonBitmapHeight = 18;

// The picture of toolbar button `index` (0..17); resource name kButtonBitmapNames[index].
gfx::Surface ButtonBitmap(int index);
extern const char* const kButtonBitmapNames[kButtonBitmaps];

}  // namespace edui
