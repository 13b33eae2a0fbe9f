// Inside the drawing engine: the parts of the walk the primitives share.
#pragma once
#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "editor/db/object_store.h"
#include "editor/ui/draw/device.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/resources.h"
#include "platform/gfx/figures.h"
#include "platform/gfx/geometry.h"

namespace draw {

// A point of a stroke or chain in the edited cell's coordinates, with its vertex's flag word.
struct ChainPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int32_t flags = 0;
};

struct LayerBox {
  int n = 0;  // record number
  db::BoxRecord r;
};

struct ChainBounds {
  std::int64_t left = 0, bottom = 0, right = 0, top = 0;
};
inline ChainBounds BoundsOf(std::span<const ChainPoint> pts) {
  if (pts.empty()) return {};
  ChainBounds b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const ChainPoint& c : pts) {
    b.left = std::min(b.left, c.x);
    b.right = std::max(b.right, c.x);
    b.bottom = std::min(b.bottom, c.y);
    b.top = std::max(b.top, c.y);
  }
  return b;
}

// A path's record and its chain as the store's chain walk gives it, with the chain's bounds.
struct LayerPath {
  int n = 0;
  db::PathRecord p;
  std::uint32_t first = 0;  // into the chain points
  std::uint32_t count = 0;
  ChainBounds bounds;
};

// How the boxes of one style are recorded: the lines' ink and dash, the fill's paint (made on first
// use) and mix.
struct BoxInk {
  gfx::PenStyle style = gfx::PenStyle::Solid;
  gfx::Color ink = 0;
  int paint = -1;
  gfx::Mix fillMix = gfx::Mix::Copy;
  gfx::Color background = 0;
};

// The edited cell's tables while sub-cells use the store, the per-layer order of the records the
// store holds now, and point buffers kept to avoid an allocation per object.
struct EngineWork {
  db::BoxTable boxes;
  db::PathTable paths;
  db::VertexTable vertices;
  int boxCount = 0;
  int pathCount = 0;
  int vertexCount = 0;
  int loadedCell = 0;
  int objectLoadFailed = 0;
  int objectLoadError = 0;
  db::AsideObjects aside;  // the edited cell's set-aside records go with its tables
  bool held = false;

  // The boxes and paths of each layer 1..64 in record order, copied from the store with the points
  // of each path's chain, and the layers that hold any, in order; valid while the store is
  // unchanged (every load, set-aside and redraw start drops them).
  bool bucketsValid = false;
  std::array<std::vector<LayerBox>, 65> boxesOfLayer;
  std::array<std::vector<LayerPath>, 65> pathsOfLayer;
  std::vector<ChainPoint> chainsOfLayers;  // the chains of pathsOfLayer
  std::vector<int> usedLayers;

  std::vector<ChainPoint> chain;
  std::vector<ChainPoint> chainRead;  // a chain as read from the store
  std::vector<gfx::Point> devicePolygon;
  std::vector<gfx::Point> rectPolygon;

  // A redraw's figures: drawn together when it ends, or before anything else uses the canvas.
  gfx::FigureList figures;
  bool recordedLines = false;  // the canvas settings the recorded figures leave, set when drawn
  bool recordedFills = false;
  gfx::Color lastFillBackground = 0;
  // The pen colour of each palette index on the canvas, taken when recording starts.
  std::array<gfx::Color, kPaletteSize> inks{};
  // Paint numbers of the screen's box fills by fill number and colour; -1: not made yet.
  std::array<std::array<int, kPaletteSize>, kFillCount> boxPaints{};
  // The box ink of each layer for the style its boxes were last recorded with.
  struct LayerInk {
    bool valid = false;
    detail::Style style;
    BoxInk ink;
  };
  std::array<LayerInk, 65> layerInks{};
  // Each layer's style while a redraw runs: settings and switches stay as they are meanwhile.
  bool layerStylesValid = false;
  std::array<detail::Style, 65> layerStyles{};

  // The orientations of levels xformLevel..0 as one matrix, while that level's objects are drawn:
  // x' = xx x + yx y, y' = xy x + yy y, exactly what turning level by level gives.
  bool xformValid = false;
  int xformLevel = 0;
  std::int64_t xx = 1, xy = 0, yx = 0, yy = 1;
  // The view window in that level's own coordinates: the placement is a turn, a mirror and a shift,
  // so a rectangle misses this exactly when its placed copy misses the view window.
  std::int64_t windowLeft = 0, windowBottom = 0, windowRight = 0, windowTop = 0;
};

namespace detail {
void InvalidateLayerBuckets(Engine& e);

// What an object of the cell drawn at `level` goes through: the orientations of levels level,
// level-1, ..., 0 (the composed matrix when it is at hand), then the current offset; only while an
// instance or the context cell is drawn.
inline void LevelTransform(const Engine& e, int level, std::int64_t& x, std::int64_t& y) {
  if (!Transforming(e)) return;
  const EngineWork& w = *e.work;
  if (w.xformValid && w.xformLevel == level) {
    const std::int64_t a = x, b = y;
    x = w.xx * a + w.yx * b + e.offsetX;
    y = w.xy * a + w.yy * b + e.offsetY;
    return;
  }
  LevelOrientation(e, level, x, y);
  x += e.offsetX;
  y += e.offsetY;
}

// Whether figures are being recorded rather than drawn at once.
inline bool Recording(const Engine& e) { return e.work->figures.Active(); }
// Draws what has been recorded, so that the canvas holds the picture so far; recording goes on.
void DrawRecorded(Engine& e);
// Takes the orientations of levels level..0 as one matrix for the objects drawn next, or drops it.
void ComposeLevelTransform(Engine& e, int level);
void DropLevelTransform(Engine& e);
// The paint of a screen fill (fill 1..14) in a colour while recording, made on first use, with
// its background colour.
int ScreenFillPaint(Engine& e, int fill, int colour, gfx::Color& background);
// Pen colours of the target for every palette index, for RecordedInk.
void TakeRecordedInks(Engine& e);
inline gfx::Color RecordedInk(const Engine& e, int colour) {
  return e.work->inks[std::size_t(colour >= 0 && colour < kPaletteSize ? colour : 7)];
}
}

}  // namespace draw
