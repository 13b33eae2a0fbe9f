// Markers, the dot grid, the selection passes and the in-place erase and redraw of one object.
#include <cmath>

#include "editor/ui/draw/device.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/walk_internal.h"
#include "platform/gfx/canvas.h"

namespace draw {

void BlitMarker(Engine& e, Marker marker, int x, int y, int colour) {
  // Markers sit at screen positions: none on paper or in the clipboard copy.
  if (!e.canvas || e.target != Target::Screen) return;
  detail::DrawRecorded(e);  // the marker goes over what is drawn so far
  if (e.hooks.hidePointerMark) e.hooks.hidePointerMark();
  const MarkerBitmaps& m = Markers();
  const gfx::MonoBitmap& bm = marker == Marker::End ? m.cross : m.diamond;
  gfx::Canvas& c = *e.canvas;
  const gfx::Color oldBack = c.backgroundColor();
  const gfx::Color oldText = c.SetTextColor(0x000000u);
  // First clear the marker's pixels, then paint them in the colour.
  c.SetBackgroundColor(0xFFFFFFu);
  c.BitBlt(x - 7, y - 3, 16, 7, bm, 0, 0, gfx::rop::kDSna);
  const gfx::Palette& pal = EditorPalette();
  c.SetBackgroundColor(pal[std::size_t(colour >= 0 && colour < kPaletteSize ? colour : 15)]);
  c.BitBlt(x - 7, y - 3, 16, 7, bm, 0, 0, gfx::rop::kSrcPaint);
  c.SetBackgroundColor(oldBack);
  c.SetTextColor(oldText);
}

void DrawVertexMarks(Engine& e, int path, int on) {
  db::ObjectStore& s = e.db.store;
  const db::PathRecord p = s.GetPathRecord(path);
  const bool all = (e.db.settings.modeWord & kModeVertexMarks) != 0;
  const int colour = LayerColour(e, db::LayerOf(p.flags));
  s.WalkChain(p.firstVertex, [&](int v) {
    const db::VertexRecord vr = s.GetVertexRecord(v);
    const bool last = vr.next < 1 || vr.next > s.vertexCount;
    const Marker m = last ? Marker::End : Marker::Vertex;
    const ScreenPoint sp = WorldToScreen(e.view, vr.x, vr.y);
    if (all) BlitMarker(e, m, sp.x, sp.y, colour);
    if (vr.flags & db::kVertexSelectedBit) BlitMarker(e, m, sp.x, sp.y, on ? 15 : 0);
  });
}

void DrawGrid(Engine& e, int index) {
  if (!e.canvas) return;
  std::int64_t spacing = 1;
  if (index >= 0 && index <= db::kGridSlots) spacing = e.db.settings.dotGrids[std::size_t(index)];
  if (spacing < 1) spacing = 1;
  if (double(spacing) / e.view.width * e.view.area.Width() <= 5) return;
  detail::DrawRecorded(e);
  gfx::Canvas& c = *e.canvas;
  const bool paper = detail::OnPaper(e);
  const gfx::Color grey = EditorPalette()[7];
  const bool xorDots = !paper || e.hardcopy.dark;
  c.SetMix(xorDots ? gfx::Mix::Xor : gfx::Mix::Copy);
  const gfx::Color ink = xorDots ? grey : 0x000000u;
  int dot = 1, back = 0;
  if (paper && e.page.dpi > 200) {
    dot = e.target == Target::DirectPrint ? 3 : 2;
    back = e.target == Target::DirectPrint ? 1 : 0;
  }
  // first multiple of the spacing inside the window's left and top edges
  const std::int64_t x0 = static_cast<std::int64_t>(std::ceil(double(e.view.left) / double(spacing))) * spacing;
  const std::int64_t y0 = static_cast<std::int64_t>(std::floor(double(e.view.top) / double(spacing))) * spacing;
  for (std::int64_t y = y0; y > e.view.bottom; y -= spacing) {
    for (std::int64_t x = x0; x < e.view.right; x += spacing) {
      const gfx::Point p = detail::MapPoint(e, double(x), double(y));
      for (int dy = 0; dy < dot; ++dy)
        for (int dx = 0; dx < dot; ++dx) c.SetPixel(p.x + dx - back, p.y + dy - back, ink);
    }
  }
  c.SetMix(gfx::Mix::Copy);
  e.gridDrawnIndex = index;
}

namespace {

bool LayerShown(const Engine& e, int layer) {
  if (e.singleLayer) return layer == e.chosenLayer;
  return IsLayerInView(e.masks, layer) || e.masks.viewOverride != 0;
}

}  // namespace

namespace {

// on: the highlight pass over the selected objects; off: selected objects on hidden layers drawn.
template <class Flags, class Draw>
void DrawSelected(Engine& e, int on, int count, std::int32_t selectedBits, Flags flagsOf, Draw drawOne) {
  for (int n = 1; n <= count; ++n) {
    const std::int32_t flags = flagsOf(n);
    if (!(flags & selectedBits)) continue;
    if (on) {
      e.highlightPass = true;
      drawOne(n);
      e.highlightPass = false;
    } else if (!LayerShown(e, db::LayerOf(flags))) {
      drawOne(n);
    }
  }
}

}  // namespace

void DrawSelectedBoxes(Engine& e, int on) {
  RestoreEditedCell(e);
  db::ObjectStore& s = e.db.store;
  DrawSelected(e, on, s.boxCount, db::kEdgesAll, [&](int n) { return s.GetBox(0, n); },
               [&](int n) { DrawBox(e, n, 0); });
}

void DrawSelectedPaths(Engine& e, int on) {
  RestoreEditedCell(e);
  db::ObjectStore& s = e.db.store;
  DrawSelected(e, on, s.pathCount, db::kPathSelectedBit, [&](int n) { return s.GetPath(0, n); },
               [&](int n) { DrawPath(e, n, 0); });
}

void EraseBox(Engine& e, int n) {
  e.eraseObject = true;
  DrawBox(e, n, 0);
  e.eraseObject = false;
}

void ErasePath(Engine& e, int n) {
  e.eraseObject = true;
  DrawPath(e, n, 0);
  e.eraseObject = false;
}

void RedrawBox(Engine& e, int n) {
  db::ObjectStore& s = e.db.store;
  s.SetBox(s.GetBox(0, n) & ~db::kOffWindowBit, 0, n);
  DrawBox(e, n, 0);
}

void RedrawPath(Engine& e, int n) {
  db::ObjectStore& s = e.db.store;
  s.SetPath(s.GetPath(0, n) & ~db::kOffWindowBit, 0, n);
  DrawPath(e, n, 0);
}

}  // namespace draw
