#include <algorithm>
#include <cstdlib>

#include "editor/db/cell_files.h"
#include "editor/db/hierarchy.h"
#include "editor/db/message_table.h"
#include "editor/db/orientation.h"
#include "editor/ui/draw/device.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/shapes_internal.h"
#include "editor/ui/draw/walk_internal.h"

namespace draw {

using detail::Style;

Engine::Engine(db::Database& d, ViewState& v, LayerMasks& m)
    : db(d), view(v), masks(m), work(std::make_unique<EngineWork>()) {}

Engine::~Engine() = default;

namespace detail {
void InvalidateLayerBuckets(Engine& e) { e.work->bucketsValid = false; }
}  // namespace detail

// ---- The edited cell set aside ----

int SetAsideEditedCell(Engine& e) {
  EngineWork& a = *e.work;
  db::Database& d = e.db;
  if (a.held) return 1;
  if (d.current.row == 0 || d.load.loadedCell != d.current.row) return 1;
  std::swap(a.boxes, d.store.boxes);
  std::swap(a.paths, d.store.paths);
  std::swap(a.vertices, d.store.vertices);
  std::swap(a.aside, d.store.aside.objects);
  a.boxCount = d.store.boxCount;
  a.pathCount = d.store.pathCount;
  a.vertexCount = d.store.vertexCount;
  a.loadedCell = d.load.loadedCell;
  a.objectLoadFailed = d.load.objectLoadFailed;
  a.objectLoadError = d.load.objectLoadError;
  d.store.boxCount = d.store.pathCount = d.store.vertexCount = 0;
  d.load.loadedCell = 0;
  a.held = true;
  a.bucketsValid = false;
  return 1;
}

int RestoreEditedCell(Engine& e) {
  EngineWork& a = *e.work;
  db::Database& d = e.db;
  a.bucketsValid = false;
  if (a.held) {
    d.store.FreeObjectPages();
    std::swap(a.boxes, d.store.boxes);
    std::swap(a.paths, d.store.paths);
    std::swap(a.vertices, d.store.vertices);
    std::swap(a.aside, d.store.aside.objects);
    a.aside = db::AsideObjects();
    d.store.boxCount = a.boxCount;
    d.store.pathCount = a.pathCount;
    d.store.vertexCount = a.vertexCount;
    d.load.loadedCell = a.loadedCell;
    d.load.objectLoadFailed = a.objectLoadFailed;
    d.load.objectLoadError = a.objectLoadError;
    a.held = false;
    return 1;
  }
  if (d.current.row == 0 || d.load.loadedCell == d.current.row) return 1;
  return db::LoadObjectsOfCell(d, d.current.row) == 0 ? 1 : 0;
}

// ---- Level records ----

namespace {

int DisplayDepth(const Engine& e) { return e.db.settings.depth; }
int Mode(const Engine& e) { return e.db.settings.modeWord; }

void ShowRankError(Engine& e) {
  // One box per walk: a bad hierarchy would otherwise ask for one OK per instance.
  if (e.rankErrors++ == 0) {
    detail::DrawRecorded(e);  // the box shows over the picture so far
    db::TellMessage(e.db.talk, kRankErrorMessage);
  }
}

// Records a redraw's figures and draws them when it ends, unless a redraw around it already does.
class RecordedRedraw {
 public:
  explicit RecordedRedraw(Engine& e) : e_(e) {
    if (e.batched && e.canvas && !detail::Recording(e)) {
      EngineWork& w = *e.work;
      w.figures.Begin(*e.canvas);
      for (auto& row : w.boxPaints) row.fill(-1);
      for (auto& k : w.layerInks) k.valid = false;
      detail::TakeRecordedInks(e);
      w.recordedLines = w.recordedFills = false;
      owner_ = true;
    }
  }
  ~RecordedRedraw() {
    // a redraw inside another (a paint while a message box waits) still ends with its picture shown
    detail::DrawRecorded(e_);
    if (owner_) e_.work->figures.End();
  }
  RecordedRedraw(const RecordedRedraw&) = delete;
  RecordedRedraw& operator=(const RecordedRedraw&) = delete;

 private:
  Engine& e_;
  bool owner_ = false;
};

// Takes each layer's style once for the walk; a walk inside another leaves the outer one's table.
class LayerStylesTaken {
 public:
  explicit LayerStylesTaken(Engine& e) : w_(*e.work), before_(w_.layerStylesValid) {
    for (int layer = 1; layer <= 64; ++layer) w_.layerStyles[std::size_t(layer)] = detail::LayerStyle(e, layer);
    w_.layerStylesValid = true;
  }
  ~LayerStylesTaken() { w_.layerStylesValid = before_; }
  LayerStylesTaken(const LayerStylesTaken&) = delete;
  LayerStylesTaken& operator=(const LayerStylesTaken&) = delete;

 private:
  EngineWork& w_;
  bool before_;
};

}  // namespace

bool FillLevelRecord(Engine& e, int level, int n) {
  if (level < 0 || level >= kLevels) return false;
  db::Database& d = e.db;
  const db::CellRefRecord ref = d.store.GetCellRefRecord(level, n);
  const int cell = db::RefRowOf(ref.flags);
  LevelRecord& L = e.levels[std::size_t(level)];
  if (!d.index.ValidRow(cell)) return false;
  const db::CellIndexEntry& entry = d.index.rows[std::size_t(cell)];
  L.cell = cell;
  L.rank = entry.flags & db::kRankMask;
  L.name = entry.name;
  L.orientation = db::OrientationOf(ref.flags);
  std::int64_t x = ref.x, y = ref.y;
  for (int l = level - 1; l >= 0; --l) db::OrientPoint(e.levels[std::size_t(l)].orientation, x, y);
  L.x = x;
  L.y = y;

  std::int64_t left = entry.left, bottom = entry.bottom, right = entry.right, top = entry.top;
  const std::int64_t twice = 2 * std::int64_t(e.view.minDrawn);
  L.tiny = std::llabs(right - left) <= twice && std::llabs(top - bottom) <= twice;
  for (int l = level; l >= 0; --l) {
    const int o = e.levels[std::size_t(l)].orientation;
    db::OrientPoint(o, left, bottom);
    db::OrientPoint(o, right, top);
  }
  std::int64_t ox = 0, oy = 0;
  for (int l = 0; l <= level; ++l) {
    ox += e.levels[std::size_t(l)].x;
    oy += e.levels[std::size_t(l)].y;
  }
  L.left = std::min(left, right) + ox;
  L.right = std::max(left, right) + ox;
  L.bottom = std::min(bottom, top) + oy;
  L.top = std::max(bottom, top) + oy;
  L.visible = L.right >= e.view.left && L.left <= e.view.right && L.bottom <= e.view.top &&
              L.top >= e.view.bottom;
  L.outline = (ref.flags & db::kRefOutlineBit) != 0;
  if (level == 0) {
    L.selected = (ref.flags & db::kRefSelectedBit) != 0;
    e.selected = L.selected;
  }
  e.visible = L.visible;
  e.tiny = L.tiny;
  e.outline = L.outline;
  return true;
}

// ---- Outlines ----

namespace {

void DrawCellOutline(Engine& e, int level, bool loadFailed) {
  const LevelRecord& L = e.levels[std::size_t(level)];
  const int mode = Mode(e);
  const bool originMark = level == 0 && (mode & kModeOutlines) && e.instanceFlag;
  const double l = double(L.left), b = double(L.bottom), r = double(L.right), t = double(L.top);
  if (e.outlineInteriorErase && L.outline) {
    detail::EmitFilledRect(e, l, b, r, t, Style{0, 14, 0});
    if (originMark) {
      const ScreenPoint p = WorldToScreen(e.view, double(e.levels[0].x), double(e.levels[0].y));
      BlitMarker(e, Marker::Vertex, p.x, p.y, 0);
    }
  }
  int dash = 0;
  if (((mode & kModeOutlines) && e.instanceFlag) || DisplayDepth(e) <= level) dash = 2;
  if (L.tiny || L.outline) dash = 0;
  if (e.abort || loadFailed) dash = 2;
  int colour = 7;
  if (e.instanceErase) colour = 0;
  else if (e.selected) colour = 15;
  if (e.selected && L.outline && !e.instanceErase) detail::EmitFilledRect(e, l, b, r, t, Style{colour, 14, 0});
  detail::EmitRectOutline(e, l, b, r, t, Style{colour, 0, dash});
  if (originMark) {
    const ScreenPoint p = WorldToScreen(e.view, double(e.levels[0].x), double(e.levels[0].y));
    BlitMarker(e, Marker::Vertex, p.x, p.y, colour);
  }
  if (!e.abort && !L.tiny) LayoutTextString(e, L.name, L.left, L.bottom, L.right, L.top, colour);
}

void DrawInstanceContents(Engine& e, int level);

// The references of level-1's cell in slot `level`; true when they are there.
bool LoadLevelReferences(Engine& e, int level) {
  db::Database& d = e.db;
  const int cell = e.levels[std::size_t(level - 1)].cell;
  if (d.load.levelCell[std::size_t(level)] == cell) return true;
  return db::LoadRefsOfCell(d, cell, level) == 0;
}

void DrawLevelInstances(Engine& e, int level, bool refsLoaded) {
  if (!refsLoaded) {
    DrawCellOutline(e, level - 1, true);
    return;
  }
  db::Database& d = e.db;
  const int holderRank = e.levels[std::size_t(level - 1)].rank;
  LevelRecord& L = e.levels[std::size_t(level)];
  for (int n = 1; n <= d.store.refCount[std::size_t(level)]; ++n) {
    PollEscape(e);
    if (!FillLevelRecord(e, level, n)) continue;
    if (!db::RankAllowsPlacement(holderRank, L.rank)) {
      ShowRankError(e);
    } else if (L.visible) {
      const bool deep = DisplayDepth(e) > level;
      if (!e.singleLayer) {
        if (!e.abort && !L.outline && !L.tiny && deep) DrawInstanceContents(e, level);
        else DrawCellOutline(e, level, false);
      } else if (!e.abort) {
        if (L.outline || !deep) DrawCellOutline(e, level, false);
        else if (!L.tiny) DrawInstanceContents(e, level);
      }
    }
    L.x = L.y = 0;
    L.orientation = 0;
  }
}

void DrawLevelObjects(Engine& e, int level) {
  e.offsetX = e.offsetY = 0;
  for (int l = 0; l <= level; ++l) {
    e.offsetX += e.levels[std::size_t(l)].x;
    e.offsetY += e.levels[std::size_t(l)].y;
  }
  // the orientations of the levels are turned into one matrix once per drawn cell, not per point
  detail::ComposeLevelTransform(e, level);
  DrawLayers(e, level);
  detail::DropLevelTransform(e);
}

void DrawLevelCell(Engine& e, int level) {
  db::Database& d = e.db;
  const int cell = e.levels[std::size_t(level)].cell;
  if (d.load.loadedCell != cell) {
    SetAsideEditedCell(e);
    detail::InvalidateLayerBuckets(e);
    if (db::LoadObjectsOfCell(d, cell) != 0) {
      DrawCellOutline(e, level, true);
      return;
    }
  }
  DrawLevelObjects(e, level);
}

void DrawInstanceContents(Engine& e, int level) {
  const LevelRecord& L = e.levels[std::size_t(level)];
  if ((L.rank & 0xE) && level + 1 < kLevels) {
    const bool loaded = LoadLevelReferences(e, level + 1);
    DrawLevelInstances(e, level + 1, loaded);
  }
  DrawLevelCell(e, level);
}

void DrawEditedCellObjects(Engine& e) {
  e.offsetX = e.offsetY = 0;
  e.markingPass = true;
  DrawLayers(e, 0);
  e.markingPass = false;
}

void DrawContextCellObjects(Engine& e) {
  e.offsetX = e.context.x;
  e.offsetY = e.context.y;
  e.levels[0].orientation = e.context.orientation & 7;
  e.contextFlag = true;
  detail::ComposeLevelTransform(e, 0);
  DrawLayers(e, 0);
  detail::DropLevelTransform(e);
  e.contextFlag = false;
  e.levels[0].orientation = 0;
  e.offsetX = e.offsetY = 0;
}

}  // namespace

void DrawInstance(Engine& e, int n) {
  e.instanceFlag = true;
  if (!FillLevelRecord(e, 0, n)) {
    e.instanceFlag = false;
    return;
  }
  const LevelRecord& L = e.levels[0];
  if (!db::RankAllowsPlacement(e.db.current.rank, L.rank)) {
    ShowRankError(e);
  } else if (L.visible) {
    const int depth = DisplayDepth(e);
    if (!e.singleLayer) {
      if (!e.abort && !L.outline && !L.tiny && depth >= 1) {
        SetAsideEditedCell(e);
        if (Mode(e) & kModeOutlines) DrawCellOutline(e, 0, false);
        DrawInstanceContents(e, 0);
      } else {
        DrawCellOutline(e, 0, false);
      }
    } else if (!e.abort) {
      if (L.outline || depth < 1) {
        DrawCellOutline(e, 0, false);
      } else if (!L.tiny) {
        SetAsideEditedCell(e);
        DrawInstanceContents(e, 0);
      }
    }
  }
  e.instanceFlag = false;
}

void Redraw(Engine& e, int n) {
  db::Database& d = e.db;
  const RecordedRedraw recorded(e);
  const LayerStylesTaken styles(e);
  PollEscape(e);
  for (int l = 1; l < kLevels; ++l) d.load.levelCell[std::size_t(l)] = 0;
  e.abort = false;
  e.rankErrors = 0;
  detail::InvalidateLayerBuckets(e);
  if (n > 0) {
    DrawInstance(e, n);
    RestoreEditedCell(e);
    return;
  }
  d.load.objectLoadFailed = 0;
  d.load.refLoadFailed = 0;
  if (!e.context.name.empty() && db::FindCell(d.index, e.context.name) && d.index.foundRow > 0) {
    SetAsideEditedCell(e);
    detail::InvalidateLayerBuckets(e);
    if (db::LoadObjectsOfCell(d, d.index.foundRow) == 0) DrawContextCellObjects(e);
  }
  for (int i = 1; i <= d.store.refCount[0]; ++i) {
    PollEscape(e);
    DrawInstance(e, i);
    e.selected = false;
    e.levels[0].x = e.levels[0].y = 0;
    e.levels[0].orientation = 0;
  }
  RestoreEditedCell(e);
  DrawEditedCellObjects(e);
}

void RedrawInstance(Engine& e, int n) {
  if (n != 0 && e.db.current.rank >= 2) Redraw(e, n);
  e.instanceErase = false;
  e.outlineInteriorErase = false;
}

void EraseInstance(Engine& e, int n) {
  e.instanceErase = true;
  RedrawInstance(e, n);
}

// ---- The layer loop ----

namespace {

void BuildLayerBuckets(Engine& e) {
  EngineWork& a = *e.work;
  db::ObjectStore& s = e.db.store;
  for (int layer : a.usedLayers) {
    a.boxesOfLayer[std::size_t(layer)].clear();
    a.pathsOfLayer[std::size_t(layer)].clear();
  }
  a.usedLayers.clear();
  a.chainsOfLayers.clear();
  std::uint64_t used = 0;
  for (int n = 1; n <= s.boxCount; ++n) {
    // the store's own slot, as its record reader takes it
    const std::int32_t* w = s.boxes.Slot(n);
    if (!w) continue;  // no record there: all zeros, layer 0
    const int layer = db::LayerOf(w[0]);
    if (layer < 1 || layer > 64) continue;
    a.boxesOfLayer[std::size_t(layer)].push_back(LayerBox{n, db::BoxRecord{w[0], w[1], w[2], w[3], w[4]}});
    used |= LayerBit(layer);
  }
  for (int n = 1; n <= s.pathCount; ++n) {
    const db::PathRecord p = s.GetPathRecord(n);
    const int layer = db::LayerOf(p.flags);
    if (layer < 1 || layer > 64) continue;
    LayerPath lp{n, p, std::uint32_t(a.chainsOfLayers.size()), 0, {}};
    // texts keep their characters in their chain: they are drawn from the store
    if (!db::IsText(p.flags)) {
      s.WalkChain(p.firstVertex, [&](int v) {
        const db::VertexRecord vr = s.GetVertexRecord(v);
        a.chainsOfLayers.push_back(ChainPoint{vr.x, vr.y, vr.flags});
      });
    }
    lp.count = std::uint32_t(a.chainsOfLayers.size()) - lp.first;
    lp.bounds = BoundsOf(std::span<const ChainPoint>(a.chainsOfLayers.data() + lp.first, lp.count));
    a.pathsOfLayer[std::size_t(layer)].push_back(lp);
    used |= LayerBit(layer);
  }
  for (int layer = 1; layer <= 64; ++layer)
    if (used & LayerBit(layer)) a.usedLayers.push_back(layer);
  a.bucketsValid = true;
}

void DrawBucketedLayer(Engine& e, int layer, int level) {
  const EngineWork& a = *e.work;
  // every object of the layer has the same colour, fill and dash
  const detail::Style st = detail::ObjectStyle(e, layer);
  const std::vector<LayerBox>& boxes = a.boxesOfLayer[std::size_t(layer)];
  if (!boxes.empty()) detail::DrawLayerBoxes(e, layer, boxes, level, st);
  for (const LayerPath& p : a.pathsOfLayer[std::size_t(layer)]) {
    if (e.abort) return;
    detail::DrawLayerPath(e, p, level, st);
  }
}

}  // namespace

void DrawLayer(Engine& e, int layer, int level) {
  db::ObjectStore& s = e.db.store;
  for (int n = 1; n <= s.boxCount && !e.abort; ++n)
    if (db::LayerOf(s.GetBox(0, n)) == layer) DrawBox(e, n, level);
  for (int n = 1; n <= s.pathCount && !e.abort; ++n)
    if (db::LayerOf(s.GetPath(0, n)) == layer) DrawPath(e, n, level);
}

void DrawLayers(Engine& e, int level) {
  // Layers come from the records once per cell; drawing a layer then visits its own records only,
  // and a layer without records is passed by (it has nothing to draw, nor to stop).
  if (!e.work->bucketsValid) BuildLayerBuckets(e);
  if (e.singleLayer) {
    if (e.chosenLayer >= 1 && e.chosenLayer <= 64) DrawBucketedLayer(e, e.chosenLayer, level);
    return;
  }
  const std::uint64_t shown = e.masks.viewOverride != 0 ? ~std::uint64_t{0} : e.masks.view;
  for (int layer : e.work->usedLayers) {
    e.currentLayerBit = LayerBit(layer);
    if (shown & e.currentLayerBit) DrawBucketedLayer(e, layer, level);
    if (PollEscape(e)) break;
  }
  e.currentLayerBit = ~std::uint64_t{0};
}

}  // namespace draw
