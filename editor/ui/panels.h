// The docked panels of the main window: the command-button panel pairs (MENUBTNS1..6), the fill bar
// and strip (FILLBAR), the bitmap toolbar (TOOLBAR) and the status bar (BOTTOM). Every button ends as
// a command; with F1 held it shows the command's help instead.
#pragma once
#include "editor/ui/editor.h"

namespace edui {

constexpr int kPanelWidth = 94;
constexpr int kBottomHeight = 42;
constexpr int kToolbarHeight = 24;
constexpr int kStripWidth = 6;

// The drawing rectangle for the main window's client size.
void UpdateDrawingArea(Editor& ed);
// Template of the panel pair's first (first = true) or second panel for a size class.
const char* PanelTemplate(int sizeClass, bool first);

}  // namespace edui
