// The view and display commands: transparent commands that change what is shown, never the cell.
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void PanCommand(edui::Editor& ed);  // Left, Right, Up, Dn
void FitCommand(edui::Editor& ed);
void CntrCommand(edui::Editor& ed);
void XpndCommand(edui::Editor& ed);
void ZoomCommand(edui::Editor& ed);
void DrawCommand(edui::Editor& ed);
void LastCommand(edui::Editor& ed);
void SWinCommand(edui::Editor& ed);
void RWinCommand(edui::Editor& ed);
void LayerStepCommand(edui::Editor& ed);  // sDrw, rDrw
void LDrwCommand(edui::Editor& ed);
void DpthCommand(edui::Editor& ed);
void GridCommand(edui::Editor& ed);
void GridStepCommand(edui::Editor& ed);  // wGrd, dGrd
void LayerSetCommand(edui::Editor& ed);  // View, Open

// Copies the view's width and centre into saved window n (0 is the view before the latest change).
void SaveView(edui::Editor& ed, int n);
// Clears the off-window mark of every box and path, so the next drawing tests them all again.
void ClearOffWindowMarks(edui::Editor& ed);
// Normalises the view, clears the off-window marks, erases and redraws.
void ShowNewView(edui::Editor& ed);
// The next grid index after `current` whose spacing is 1 or more, wrapping past 10 to 1; `current`
// itself when no entry 1..10 has such a spacing.
int NextGridIndex(const std::array<std::int32_t, 11>& grids, int current);

}  // namespace edcmd
