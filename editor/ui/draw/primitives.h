// Per-object drawing: boxes, wide paths, polygons, stroke-font texts, vertex and origin markers, the
// dot grid and the selection highlight, down to the canvas. Colours, fills and dashes come from
// CONSTS6.DBD (db::Settings); values out of range draw with safe defaults.
#pragma once
#include <cstdint>
#include <string_view>

#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/resources.h"

namespace draw {

// Objects of the store, drawn at `level` of the walk (0 and no instance or context flag: the
// edited cell, untransformed). A text (path flag bit 31) goes to DrawTextObject.
void DrawBox(Engine& e, int n, int level);
void DrawPath(Engine& e, int n, int level);
void DrawTextObject(Engine& e, int n, int level);

// In place on the screen: erase in colour 0, or clear the off-window mark and draw anew.
void EraseBox(Engine& e, int n);
void ErasePath(Engine& e, int n);  // with its vertex marks
void RedrawBox(Engine& e, int n);
void RedrawPath(Engine& e, int n);

// on = 1: the highlight pass, only the selected parts of selected objects in colour 15. on = 0:
// selected objects on layers that are not shown are drawn normally.
void DrawSelectedBoxes(Engine& e, int on);
void DrawSelectedPaths(Engine& e, int on);

// Vertex markers of path n (with ModeWord V, and for selected vertices in colour 15, or 0 when
// on is 0).
void DrawVertexMarks(Engine& e, int path, int on);
// A 16 x 7 marker centred at client pixel (x, y) in palette colour `colour`; nothing on paper.
void BlitMarker(Engine& e, Marker marker, int x, int y, int colour);
// The dot grid of dot-grid slot `index`, by XOR on the screen: drawing it twice removes it.
void DrawGrid(Engine& e, int index);

// A cell name inside an outline (world rectangle of the edited cell), with ModeWord N only.
void LayoutTextString(Engine& e, std::string_view text, std::int64_t left, std::int64_t bottom,
                      std::int64_t right, std::int64_t top, int colour);

// Palette index, fill number and dash style the engine uses for a layer, bounded.
int LayerColour(const Engine& e, int layer);
int LayerFill(const Engine& e, int layer);
int LayerDash(const Engine& e, int layer);

}  // namespace draw
