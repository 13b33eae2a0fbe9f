// The editor's own pointer mark, crosshair, rubber band and held window, drawn by XOR over the
// picture so that drawing a figure again removes it; and the origin mark.
#pragma once
#include "editor/ui/editor.h"

namespace edui {

void ShowPointerMark(Editor& ed, int on);
void MovePointerMark(Editor& ed);
void ShowRubberBand(Editor& ed, int on);
void MoveRubberBand(Editor& ed);
void ShowCrosshair(Editor& ed, int on);
void MoveCrosshair(Editor& ed);
void EraseOverlays(Editor& ed);
void ShowHeldWindow(Editor& ed, int on);
void DrawOriginMark(Editor& ed);
// The system pointer: shown (on) or hidden.
void ShowPointer(int on);
// Left not above right, bottom not above top.
void NormalizeRect(std::int32_t& left, std::int32_t& bottom, std::int32_t& right, std::int32_t& top);
// The outline of the cell that Add places, relative to the pointer.
void CellGhostOffsets(Editor& ed);

}  // namespace edui
