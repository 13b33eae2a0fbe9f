// The editor's view of the cell plane: which window of database units the drawing rectangle shows,
// the mapping between database units and pixels both ways, the snap to the working grid, the
// 45-degree constraint, the mode word and the stored view of each cell rank.
#pragma once
#include <cstdint>

#include "editor/db/database.h"

namespace draw {

struct LayerMasks;

// ModeWord bits (CONSTS6.DBD keeps the word; db::Settings::modeWord).
enum ModeBit : int {
  kModeSnap = 1 << 0,         // W / U / A: picked points snap to the working grid
  kModeCentreLine = 1 << 1,   // C: wide paths show their centre line
  kModeMarkDistance = 1 << 2, // D: the distance readout marks the measured point
  kModeOutlines = 1 << 3,     // I: instances as outlines with the cell name
  kModeNames = 1 << 4,        // N: cell names inside outlines
  kModeAngle = 1 << 5,        // O: 45-degree constraint of the moving point
  kModeOrigin = 1 << 6,       // R: origin mark at (0, 0)
  kModeTextMarks = 1 << 7,    // T: text reference markers
  kModeVertexMarks = 1 << 8,  // V: vertex marks on paths
};

// Sets (on nonzero) or clears `bits`; gives the new word. The caller refreshes its toggle buttons.
int SetModeBits(int& modeWord, int bits, int on);
int ToggleModeBits(int& modeWord, int bits);

constexpr double kMinViewWidth = 64;
constexpr double kMaxViewWidth = 16944988.16;  // 2^24 x 1.01
constexpr double kViewReach = 8472494.08;      // 2^23 x 1.01: how far a view edge may go
constexpr int kScreenLimit = 16000;            // device coordinates are kept within +-this
constexpr int kMinResolution = 50;

// The drawing rectangle in client pixels: the client area less 94 px on the right, 42 at the
// bottom and 24 at the top (the bars live there).
struct DrawingArea {
  int left = 0;
  int top = 24;
  int right = 640;
  int bottom = 480;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  int CentreX() const { return (left + right) / 2; }
  int CentreY() const { return (top + bottom) / 2; }
};
DrawingArea LayoutDrawingArea(int clientWidth, int clientHeight);
// 0 up to 640 pixels of full-screen width, 1 above 640, 2 above 800, 3 above 1024.
int PanelSizeClass(int fullScreenWidth);

struct ViewState {
  double width = 1024;  // W, database units
  double centreX = 0;
  double centreY = 0;
  std::int32_t intCentreX = 0;  // the centre truncated toward zero: every transform uses these
  std::int32_t intCentreY = 0;
  double ratio = 0.75;  // drawing height / width in pixels
  // Window corners in database units (culling).
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t bottom = 0;
  // Truncated centre and width in user units (status readouts).
  double userCentreX = 0;
  double userCentreY = 0;
  double userWidth = 0;
  std::int32_t minDrawn = 1;  // objects not larger than this are not drawn in detail
  double scaleX = 1;          // pixels per database unit, both always equal
  double scaleY = 1;
  int workGrid = 1;  // indexes 0..10 into db::Settings::workGrids / dotGrids
  int dotGrid = 1;
  int dotShown = 0;
  // While a print job is set up the culling window is half as large again, so that objects just
  // outside the screen window still reach paper.
  bool printSetup = false;
  DrawingArea area;
};

// Takes a new drawing rectangle: keeps it and its height / width ratio.
void SetDrawingArea(ViewState& v, const DrawingArea& area);

// Limits W and the centre, then derives everything else. Call after every change of W or the
// centre. Reads the scale and the drawing resolution (at least 50) from the settings.
void NormalizeView(ViewState& v, const db::Settings& s);

// The shown layers and the view of the open cell's rank become current; settings.savedWindows[0]
// (the "Last" view) takes the new view. Does not normalise.
void ApplyRankView(ViewState& v, LayerMasks& masks, db::Database& d);

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};
struct WorldPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const WorldPoint&, const WorldPoint&) = default;
};

// Client pixels of a world point, each clamped to +-16000.
ScreenPoint WorldToScreen(const ViewState& v, double wx, double wy);
int ClampToDrawingX(const ViewState& v, int x);
int ClampToDrawingY(const ViewState& v, int y);

// The pointer's world point, raw or on the working grid (a spacing of 1 or less snaps to whole
// units). The pointer is taken at the nearest pixel inside the drawing rectangle. The caller applies
// ConstrainAngle when the running command asks for it.
WorldPoint RawPointerPoint(const ViewState& v, int px, int py);
WorldPoint SnappedPointerPoint(const ViewState& v, const db::Settings& s, int px, int py);

// Moves (x, y) onto the nearest horizontal, vertical or diagonal through the reference point; each
// direction owns 45 degrees. The caller checks the mode bit and the band.
void ConstrainAngle(std::int32_t refX, std::int32_t refY, std::int32_t& x, std::int32_t& y);

}  // namespace draw
