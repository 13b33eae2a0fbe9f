#include "editor/commands/edit_common.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/db/current_cell.h"
#include "editor/db/helpers.h"
#include "editor/db/store_compaction.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

int CurrentRow(edui::Editor& ed) { return ed.proto.now.current; }

void EndCommand(edui::Editor& ed) {
  TellClampedCoordinates(ed);
  ed.proto.now.angleConstraint = 0;
  edui::ShowStatus(ed, ed.proto.now.statusMask);
}

bool EndOnEscape(edui::Editor& ed) {
  if (!ed.proto.escPressed) return false;
  edui::ShowRubberBand(ed, 0);
  edui::ShowHeldWindow(ed, 0);
  ed.proto.now.bandMode = edui::kBandNone;
  EndCommand(ed);
  return true;
}

bool Editable(const edui::Editor& ed, std::int32_t flags) {
  const std::uint64_t bit = draw::LayerBit(db::LayerOf(flags));
  return bit != 0 && !(ed.masks.pickExclusion & bit);
}

Window PointWindow(edui::Editor& ed) {
  const auto& s = ed.proto.now.slots;
  Window w{s[1].x, s[1].y, s[2].x, s[2].y};
  if (w.x1 > w.x2) std::swap(w.x1, w.x2);
  if (w.y1 > w.y2) std::swap(w.y1, w.y2);
  return w;
}

bool WindowSteps(edui::Editor& ed) {
  auto& s = ed.proto.now;
  switch (s.pointState) {
    case 0:
      s.pointState = 1;
      edui::SetModeBits(ed, draw::kModeSnap, 0);
      edui::PointPrompt(ed, 0);
      return false;
    case 1:
      s.pointState = 2;
      s.bandMode = edui::kBandRect;
      edui::PointPrompt(ed, 1);
      return false;
    default:
      edui::EraseOverlays(ed);
      s.bandMode = edui::kBandNone;
      return true;
  }
}

BoxInWindow TestBox(const db::BoxRecord& b, const Window& w) {
  BoxInWindow t;
  t.left = w.HasX(b.left);
  t.right = w.HasX(b.right);
  t.bottom = w.HasY(b.bottom);
  t.top = w.HasY(b.top);
  t.xApart = (b.left < w.x1 && b.right < w.x1) || (b.left > w.x2 && b.right > w.x2);
  t.yApart = (b.bottom < w.y1 && b.top < w.y1) || (b.bottom > w.y2 && b.top > w.y2);
  return t;
}

namespace {

void SwapBits(std::int32_t& flags, std::int32_t a, std::int32_t b) {
  const bool hasA = flags & a, hasB = flags & b;
  flags &= ~(a | b);
  if (hasA) flags |= b;
  if (hasB) flags |= a;
}

}  // namespace

void NormalizeBox(db::BoxRecord& b) {
  if (b.left > b.right) {
    std::swap(b.left, b.right);
    SwapBits(b.flags, db::kEdgeLeft, db::kEdgeRight);
  }
  if (b.bottom > b.top) {
    std::swap(b.bottom, b.top);
    SwapBits(b.flags, db::kEdgeBottom, db::kEdgeTop);
  }
}

bool RefreshPathSelection(db::ObjectStore& s, int path) {
  bool any = false;
  s.WalkChain(s.GetPath(2, path), [&](int v) { any = any || (s.GetVertex(0, v) & db::kVertexSelectedBit); });
  const std::int32_t flags = s.GetPath(0, path);
  s.SetPath(any ? flags | db::kPathSelectedBit : flags & ~db::kPathSelectedBit, 0, path);
  return any;
}

std::vector<int> Chain(db::ObjectStore& s, int path) { return db::ChainOf(s, path); }

std::int32_t Clamp32(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

namespace {
int clamped = 0;  // one editor, one thread
}  // namespace

std::int32_t ClampCoordinate(std::int64_t v) {
  if (v > db::kCoordinateLimit || v < -db::kCoordinateLimit) {
    ++clamped;
    return v > 0 ? db::kCoordinateLimit : -db::kCoordinateLimit;
  }
  return std::int32_t(v);
}

std::int32_t RoundedCoordinate(double v) {
  if (!(std::fabs(v) < db::kCoordinateLimit + 0.5)) ++clamped;
  return db::RoundToCoordinate(v);
}

std::int32_t Shift(std::int32_t v, std::int64_t d) { return ClampCoordinate(std::int64_t(v) + d); }

int ClampedCoordinates() { return clamped; }

void TellClampedCoordinates(edui::Editor& ed) {
  if (clamped == 0) return;
  clamped = 0;
  edui::ShowTextBox(ed, "", kClampedText);
}

bool NoRoomForVertices(db::ObjectStore& s, int k) {
  if (s.CheckVertexLimit()) return true;
  if (k <= 1 || s.vertexCount + k <= db::kVertexLimit) return false;
  s.limitText = "Vertex Limit!";
  s.CheckCountLimit(db::kVertexLimit, db::kVertexLimit);
  s.cannotAdd = 1;
  return true;
}

void TakeUndoBackup(edui::Editor& ed) { db::SaveUndoBackup(ed.db); }

PathVertex FirstSelectedVertex(edui::Editor& ed) {
  db::ObjectStore& s = ed.db.store;
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || db::IsText(flags)) continue;
    for (int v : Chain(s, p))
      if (s.GetVertex(0, v) & db::kVertexSelectedBit) return {p, v};
  }
  return {};
}

void MarkPoint(edui::Editor& ed, std::int32_t x, std::int32_t y, int colour) {
  const draw::ScreenPoint p = draw::WorldToScreen(ed.view, x, y);
  draw::BlitMarker(ed.draw, draw::Marker::Vertex, p.x, p.y, colour);
}

}  // namespace edcmd
