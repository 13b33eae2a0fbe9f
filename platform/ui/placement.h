// Where windows open: every top-level window, dialog, box and the file and print dialogs go through
// one placing, so none opens off the screen whatever its size and its owner's place.
#pragma once
#include "platform/ui/types.h"

namespace ui {

// The part of the screen the desktop leaves to windows, on the screen under `near`'s window (the
// primary screen when there is none).
Rect AvailableArea(Wnd near = 0);

// A window of `wanted` (outer rectangle) moved into `area`: a window larger than the area is cut to it
// and keeps the area's left or top edge.
Rect PlaceInside(const Rect& wanted, const Rect& area);

// A rectangle of that size centred on `owner`.
Rect CentredOn(const Rect& owner, int width, int height);

}  // namespace ui
