// The drawing engine: every redraw walks the loaded cell hierarchy from the object store, level by
// level through up to 15 levels, and draws each visible layer of each cell with the primitives of
// primitives.h. There is no display list. The same walk serves the screen and paper; only the
// device mapping (Target, PageTransform) differs.
//
// The edited cell's objects share the one object store with every drawn sub-cell. While sub-cells
// are drawn the edited cell's tables are set aside in memory (never through its files), so a redraw
// can neither lose nor change an edit, whatever the disk does.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/db/database.h"
#include "editor/ui/draw/layer_masks.h"
#include "editor/ui/draw/view.h"

namespace gfx {
class Canvas;
}

namespace draw {

constexpr int kLevels = db::kRefLevels;  // 15 hierarchy levels, 0..14
constexpr int kRankErrorMessage = 5;     // "Rank Error"

// What the engine asks of the window around it.
struct DrawHooks {
  // Esc is held now. Polled once per object, so it must cost next to nothing. Empty: never held.
  std::function<bool()> escDown;
  // Takes the pointer mark off the screen before a marker is blitted (the mark is drawn by XOR).
  std::function<void()> hidePointerMark;
};

enum class Target : std::uint8_t { Screen, DirectPrint, BitmapPrint, Clipboard };

// Device mapping of the paper targets, set up by hardcopy printing:
// device x = (x - worldLeft) * scaleX + originX, device y = (worldTop - y) * scaleY + originY.
struct PageTransform {
  double worldLeft = 0;
  double worldTop = 0;
  double scaleX = 1;
  double scaleY = 1;
  int originX = 0;
  int originY = 0;
  int dpi = 300;  // the dot grid draws bigger dots above 200
};

struct HardcopyOptions {
  bool blackWhite = false;  // every pen black (white under Dark)
  bool dark = false;        // keep colours 7 and 15 and draw the grid by XOR
};

// One record per hierarchy level: the instance drawn at that level, placed in the edited cell.
struct LevelRecord {
  std::string name;
  int cell = 0;  // row of the cell index
  int rank = 0;
  std::int64_t x = 0;  // the instance's offset turned into the edited cell's axes
  std::int64_t y = 0;
  int orientation = 0;
  std::int64_t left = 0;  // the cell's extent placed in the edited cell
  std::int64_t bottom = 0;
  std::int64_t right = 0;
  std::int64_t top = 0;
  bool outline = false;   // bit 14 of the reference word
  bool selected = false;  // bit 16, level 0 only
  bool visible = false;   // the placed extent overlaps the view window
  bool tiny = false;      // the extent is at most twice the minimum drawn size both ways
};

// The cell drawn around the edited cell after Change cell with Ctrl.
struct ContextCell {
  std::string name;  // empty: none
  std::int32_t x = 0;
  std::int32_t y = 0;
  int orientation = 0;
};

struct EngineWork;  // the edited cell set aside, per-layer record lists, point buffers

struct Engine {
  Engine(db::Database& d, ViewState& v, LayerMasks& m);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  db::Database& db;
  ViewState& view;
  LayerMasks& masks;
  // Where everything goes, in client pixels of the main window (the drawing rectangle lies at
  // view.area) or in page pixels; nothing is drawn without one.
  gfx::Canvas* canvas = nullptr;
  DrawHooks hooks;

  // A redraw records its figures and draws them together at its end, the canvas cut into bands
  // drawn on several threads; off, every figure goes to the canvas as it comes. The picture is the
  // same bit for bit either way.
  bool batched = true;

  // Device.
  Target target = Target::Screen;
  PageTransform page;
  HardcopyOptions hardcopy;

  // Switches the commands set.
  bool noFill = false;     // ATTR "No Fill": fill 0 everywhere
  bool solidFill = false;  // ATTR "Solid Fill": fill 13 everywhere
  bool noDash = false;     // ATTR "No Dash": dash 0 everywhere
  bool singleLayer = false;  // sDrw, rDrw, lDrw: only chosenLayer is drawn
  int chosenLayer = 1;
  ContextCell context;
  bool instanceErase = false;         // the instance is drawn in colour 0 (EraseInstance)
  bool outlineInteriorErase = false;  // an outline instance's interior is cleared first
  bool highlightPass = false;         // only the selected parts, in colour 15
  bool eraseObject = false;           // EraseBox / ErasePath
  bool suppressVertexHighlight = false;
  // Smsh: strokes of texts become polygons of this layer word instead of being drawn.
  bool smashing = false;
  std::int32_t smashLayerWord = 0;
  int smashStopped = 0;  // set when an object limit stopped the smash
  // The long-loop abort flag: once Esc is seen it stays set until the next Redraw or until the
  // caller clears it (one short tap stops the whole redraw).
  bool abort = false;

  // Walk state, meaningful during a walk.
  std::array<LevelRecord, kLevels> levels{};
  bool instanceFlag = false;  // a level-0 instance and its hierarchy are being drawn
  bool contextFlag = false;   // the context cell is being drawn
  bool markingPass = false;   // the edited cell's own objects: off-window objects get bit 30
  bool visible = false;
  bool tiny = false;
  bool outline = false;
  bool selected = false;
  std::int64_t offsetX = 0;  // current level offset
  std::int64_t offsetY = 0;
  int rankErrors = 0;         // instances refused by the rank test in the last walk
  int gridDrawnIndex = -1;    // dot grid last drawn
  std::uint64_t currentLayerBit = ~std::uint64_t{0};

  std::unique_ptr<EngineWork> work;
};

// ---- Redraw and the hierarchy walk ----

// n = 0: the whole picture (context cell, instances in record order with their hierarchies, the
// edited cell's own objects last); n > 0: level-0 instance n with its hierarchy only. The store
// holds the edited cell again afterwards. "Rank Error" is shown once per walk however many
// instances fail the rank test.
void Redraw(Engine& e, int n);
void DrawInstance(Engine& e, int n);
// Draws instance n in colour 0, or draws it anew; only for an edited cell of rank 2 or more.
void EraseInstance(Engine& e, int n);
void RedrawInstance(Engine& e, int n);

// Fills levels[level] from reference n of that level's slot; false (and nothing drawn) when the
// reference names no cell of the index.
bool FillLevelRecord(Engine& e, int level, int n);

// The edited cell's boxes, paths and vertices leave the store for memory and come back. Both are
// safe to call in any state; Restore reloads the edited cell from its files only when the store was
// taken over by someone else in between. 1 done, 0 failed.
int SetAsideEditedCell(Engine& e);
int RestoreEditedCell(Engine& e);

// The layer loop of one drawn cell, and one layer: its boxes, then its paths, polygons and texts.
void DrawLayers(Engine& e, int level);
void DrawLayer(Engine& e, int layer, int level);

// Sets the abort flag when Esc is held; gives the flag.
inline bool PollEscape(Engine& e) {
  if (e.hooks.escDown && e.hooks.escDown()) e.abort = true;
  return e.abort;
}

}  // namespace draw
