// What the editing commands share: their ending, the layer lock, the window of two points, box
// normalisation, path selection bits and coordinate arithmetic that cannot overflow.
#pragma once
#include <cstdint>
#include <vector>

#include "editor/db/records.h"
#include "editor/ui/editor.h"

namespace edcmd {

// The running row of the command table.
int CurrentRow(edui::Editor& ed);
// The status update that ends a command (its own mask) and the end of its angle constraint.
void EndCommand(edui::Editor& ed);
// Esc pressed during a point command: the band comes off and the command ends. True when it did.
bool EndOnEscape(edui::Editor& ed);

// An object may be picked only on a layer that is open and shown (or all are).
bool Editable(const edui::Editor& ed, std::int32_t flags);

// The window of points 1 and 2, x1 <= x2 and y1 <= y2.
struct Window {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool HasX(std::int64_t x) const { return x1 <= x && x <= x2; }
  bool HasY(std::int64_t y) const { return y1 <= y && y <= y2; }
  bool Has(std::int64_t x, std::int64_t y) const { return HasX(x) && HasY(y); }
};
Window PointWindow(edui::Editor& ed);

// The steps of a two-point window command: point 1 (unsnapped), then point 2 with a rectangle band.
// True at the third call, with the overlays off: the caller does its work and ends.
bool WindowSteps(edui::Editor& ed);

// How a box and a window lie: which edge coordinates fall in the window's ranges, and whether the
// box lies wholly to one side.
struct BoxInWindow {
  bool left = false, right = false, bottom = false, top = false;
  bool xApart = false, yApart = false;
  bool Any() const { return left || right || bottom || top; }
};
BoxInWindow TestBox(const db::BoxRecord& b, const Window& w);

// Left not above right, bottom not above top, the edge bits swapped with their edges.
void NormalizeBox(db::BoxRecord& b);

// A path's bit 16 becomes the OR of its vertices' bit 28. Gives true when the path is selected.
bool RefreshPathSelection(db::ObjectStore& s, int path);
// The vertex numbers of a path in chain order.
std::vector<int> Chain(db::ObjectStore& s, int path);

// Values kept within 32 bits whatever is added to them (widths, counts).
std::int32_t Clamp32(std::int64_t v);
// A coordinate a command writes stays within +-8388608, the range of the database and of its TLC
// files: a value beyond it is held at the limit and counted, and the command's end tells the user
// once (EndCommand).
std::int32_t ClampCoordinate(std::int64_t v);
std::int32_t RoundedCoordinate(double v);
std::int32_t Shift(std::int32_t v, std::int64_t d);
inline constexpr const char* kClampedText = "Coordinates Beyond +-8388608 ... Held at the Limit";
// How many coordinates were held at the limit since the last command ended.
int ClampedCoordinates();
// The box that tells it, when any were.
void TellClampedCoordinates(edui::Editor& ed);

// The limit message and true when the store has no room for k more vertices (one path's worth).
bool NoRoomForVertices(db::ObjectStore& s, int k);

// The undo backup every destructive command takes first.
void TakeUndoBackup(edui::Editor& ed);

// The first selected path that is not a text and has a selected vertex, with that vertex (the first
// along its chain); 0, 0 when there is none.
struct PathVertex {
  int path = 0;
  int vertex = 0;
};
PathVertex FirstSelectedVertex(edui::Editor& ed);

// Marks a world point (a vertex marker in `colour`).
void MarkPoint(edui::Editor& ed, std::int32_t x, std::int32_t y, int colour);

}  // namespace edcmd
