// Inside the drawing engine: what boxes, paths and texts share.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/ui/draw/device.h"
#include "editor/ui/draw/walk_internal.h"

namespace draw::detail {

// Colour, fill and dash of the objects of `layer` as the settings and the switches give them.
Style LayerStyle(const Engine& e, int layer);
// The same with the instance and erase rules applied.
inline Style ObjectStyle(const Engine& e, int layer) {
  const EngineWork& w = *e.work;
  Style st = w.layerStylesValid && layer >= 1 && layer <= 64 ? w.layerStyles[std::size_t(layer)] : LayerStyle(e, layer);
  if (e.instanceFlag) {
    if (e.selected) st.colour = 15;
    if (e.instanceErase) st.colour = 0;
  }
  if (e.eraseObject) {
    st.colour = 0;
    st.dash = 0;
  }
  return st;
}
// The boxes of one layer and one of its paths, as DrawBox and DrawPath draw them from the store,
// from the copies the layer loop keeps, with the layer's style worked out beforehand.
void DrawLayerBoxes(Engine& e, int layer, const std::vector<LayerBox>& boxes, int level, const Style& st);
void DrawLayerPath(Engine& e, const LayerPath& p, int level, const Style& st);
// Outside the view window by more than `margin` on some side.
inline bool Culled(const Engine& e, std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top,
                   std::int64_t margin) {
  return right + margin < e.view.left || left - margin > e.view.right || top + margin < e.view.bottom ||
         bottom - margin > e.view.top;
}
// Outside the view window by more than `margin`, told from the object's own coordinates in the cell
// drawn at `level` (the window taken back through that level's placement): false when no composed
// placement is at hand, so the caller transforms and tests as usual.
inline bool CulledUntransformed(const Engine& e, int level, std::int64_t left, std::int64_t bottom,
                                std::int64_t right, std::int64_t top, std::int64_t margin) {
  const EngineWork& w = *e.work;
  if (!w.xformValid || w.xformLevel != level || !Transforming(e)) return false;
  if (left > right) std::swap(left, right);
  if (bottom > top) std::swap(bottom, top);
  return right + margin < w.windowLeft || left - margin > w.windowRight || top + margin < w.windowBottom ||
         bottom - margin > w.windowTop;
}
// Lines between consecutive points (zero-length ones skipped; both ends selected: colour 15), then
// with `closedFill` the fill when the chain ends where it began.
void DrawChain(Engine& e, const std::vector<ChainPoint>& pts, const Style& st, bool closedFill);

}  // namespace draw::detail
