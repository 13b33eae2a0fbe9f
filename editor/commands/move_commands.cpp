#include "editor/commands/move_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "editor/commands/command_table.h"
#include "editor/commands/edit_common.h"
#include "editor/commands/instance_commands.h"
#include "editor/db/helpers.h"
#include "editor/db/orientation.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

enum class Change { Offset, Snap };

// The box's edges in `edges` are offset or snapped; then the box is normalised and drawn again.
void MoveBoxEdges(edui::Editor& ed, int n, std::int32_t edges, Change how, std::int64_t dx, std::int64_t dy,
                  std::int32_t step) {
  db::ObjectStore& s = ed.db.store;
  draw::EraseBox(ed.draw, n);
  db::BoxRecord b = s.GetBoxRecord(n);
  const auto x = [&](std::int32_t v) { return how == Change::Snap ? SnapToStep(v, step) : Shift(v, dx); };
  const auto y = [&](std::int32_t v) { return how == Change::Snap ? SnapToStep(v, step) : Shift(v, dy); };
  if (edges & db::kEdgeLeft) b.left = x(b.left);
  if (edges & db::kEdgeBottom) b.bottom = y(b.bottom);
  if (edges & db::kEdgeRight) b.right = x(b.right);
  if (edges & db::kEdgeTop) b.top = y(b.top);
  NormalizeBox(b);
  s.PutBoxRecord(n, b);
  draw::RedrawBox(ed.draw, n);
}

// Selected vertices (a text: its reference vertex) offset or snapped.
void MovePathVertices(edui::Editor& ed, int p, Change how, std::int64_t dx, std::int64_t dy, std::int32_t step) {
  db::ObjectStore& s = ed.db.store;
  draw::ErasePath(ed.draw, p);
  for (int v : Chain(s, p)) {
    db::VertexRecord r = s.GetVertexRecord(v);
    if (!(r.flags & db::kVertexSelectedBit) || (r.flags & db::kCharVertexBit)) continue;
    r.x = how == Change::Snap ? SnapToStep(r.x, step) : Shift(r.x, dx);
    r.y = how == Change::Snap ? SnapToStep(r.y, step) : Shift(r.y, dy);
    s.PutVertexRecord(v, r);
  }
  draw::RedrawPath(ed.draw, p);
}

void MoveSelection(edui::Editor& ed, std::int64_t dx, std::int64_t dy) {
  PickParams pick;
  pick.mode = kPickMove;
  pick.dx = dx;
  pick.dy = dy;
  PickLoop(ed, pick);
  db::ObjectStore& s = ed.db.store;
  for (int p = 1; p <= s.pathCount; ++p)
    if (s.GetPath(0, p) & db::kPathSelectedBit) MovePathVertices(ed, p, Change::Offset, dx, dy, 1);
  for (int n = 1; n <= s.boxCount; ++n) {
    const std::int32_t edges = s.GetBox(0, n) & db::kEdgesAll;
    if (edges) MoveBoxEdges(ed, n, edges, Change::Offset, dx, dy, 1);
  }
}

// wMov and qMov: which edges of a box a window takes.
std::int32_t WindowEdges(const db::BoxRecord& b, const Window& w, bool quick) {
  const BoxInWindow t = TestBox(b, w);
  std::int32_t edges = 0;
  if (quick) {
    if (t.left && !t.yApart) edges |= db::kEdgeLeft;
    if (t.right && !t.yApart) edges |= db::kEdgeRight;
    if (t.bottom && !t.xApart) edges |= db::kEdgeBottom;
    if (t.top && !t.xApart) edges |= db::kEdgeTop;
    return edges;
  }
  if (t.left && t.bottom && t.top) edges |= db::kEdgeLeft;
  if (t.left && t.right && t.bottom) edges |= db::kEdgeBottom;
  if (t.right && t.bottom && t.top) edges |= db::kEdgeRight;
  if (t.left && t.right && t.top) edges |= db::kEdgeTop;
  return edges;
}

void MoveWindowContents(edui::Editor& ed, int row, const Window& w, std::int64_t dx, std::int64_t dy) {
  if (row == kWMov || row == kCMov) {
    PickParams pick;
    pick.mode = kPickWindowMove;
    pick.window = w;
    pick.dx = dx;
    pick.dy = dy;
    pick.askName = false;
    ed.edit.ignoreOutside = 1;
    PickLoop(ed, pick);
    ed.edit.ignoreOutside = 0;
  }
  if (row == kCMov) return;
  db::ObjectStore& s = ed.db.store;
  for (int n = 1; n <= s.boxCount; ++n) {
    const db::BoxRecord b = s.GetBoxRecord(n);
    if (!Editable(ed, b.flags)) continue;
    const std::int32_t edges = WindowEdges(b, w, row == kQMov);
    if (edges) MoveBoxEdges(ed, n, edges, Change::Offset, dx, dy, 1);
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    if (!Editable(ed, s.GetPath(0, p))) continue;
    const std::vector<int> chain = Chain(s, p);
    std::vector<int> inside;
    for (int v : chain) {
      const db::VertexRecord r = s.GetVertexRecord(v);
      if (!(r.flags & db::kCharVertexBit) && w.Has(r.x, r.y)) inside.push_back(v);
    }
    if (inside.empty()) continue;
    draw::ErasePath(ed.draw, p);
    for (int v : inside) {
      s.SetVertex(Shift(s.GetVertex(1, v), dx), 1, v);
      s.SetVertex(Shift(s.GetVertex(2, v), dy), 2, v);
    }
    draw::RedrawPath(ed.draw, p);
  }
}

// The two offset points of Mov and Cpy (points 1 and 2) or of the window moves (points 3 and 4).
// True when both are there.
bool OffsetSteps(edui::Editor& ed, int first, bool typedOffset, bool constrain) {
  auto& s = ed.proto.now;
  if (s.pointState == first - 1) {
    s.pointState = first;
    ed.proto.typedOffset = typedOffset ? 1 : 0;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    if (first == 1) edui::PointPrompt(ed, 0);
    else edui::SetStatusField(ed, edui::kFieldCommand, " -Mov  Pt.1");
    return false;
  }
  if (s.pointState == first) {
    s.pointState = first + 1;
    ed.proto.typedOffset = 0;
    s.angleConstraint = constrain ? 1 : 0;
    s.bandMode = edui::kBandLine;
    if (first == 1) edui::PointPrompt(ed, 1);
    else edui::SetStatusField(ed, edui::kFieldCommand, " -Mov  Pt.2");
    return false;
  }
  edui::EraseOverlays(ed);
  s.bandMode = edui::kBandNone;
  return true;
}

const char* WindowPrompt(int row, int second) {
  switch (row) {
    case kQMov:
      return second ? " Qck-  Pt.2" : " Qck-  Pt.1";
    case kCMov:
      return second ? " Cel-  Pt.2" : " Cel-  Pt.1";
    default:
      return second ? " Win-  Pt.2" : " Win-  Pt.1";
  }
}

// Box edges of a wholly selected box, turned or mirrored as a whole box.
template <class F>
void TransformWholeBoxes(edui::Editor& ed, F corner) {
  db::ObjectStore& s = ed.db.store;
  for (int n = 1; n <= s.boxCount; ++n) {
    if ((s.GetBox(0, n) & db::kEdgesAll) != db::kEdgesAll) continue;
    draw::EraseBox(ed.draw, n);
    db::BoxRecord b = s.GetBoxRecord(n);
    corner(b.left, b.bottom);
    corner(b.right, b.top);
    NormalizeBox(b);
    s.PutBoxRecord(n, b);
    draw::RedrawBox(ed.draw, n);
  }
}

}  // namespace

std::int32_t SnapToStep(std::int32_t value, std::int32_t step) {
  if (step < 1) step = 1;
  const std::int64_t m = std::llabs(std::int64_t(value)) * 2 + step;
  const std::int64_t snapped = m / (2 * std::int64_t(step)) * step;
  return ClampCoordinate(value < 0 ? -snapped : snapped);
}

void MoveCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  const int row = CurrentRow(ed);
  auto& s = ed.proto.now;
  if (row == kMov) {
    if (!OffsetSteps(ed, 1, true, true)) return;
    TakeUndoBackup(ed);
    MoveSelection(ed, ed.proto.dx, ed.proto.dy);
    EndCommand(ed);
    return;
  }
  switch (s.pointState) {
    case 0:
      s.pointState = 1;
      edui::SetModeBits(ed, draw::kModeSnap, 0);
      edui::SetStatusField(ed, edui::kFieldCommand, WindowPrompt(row, 0));
      return;
    case 1:
      s.pointState = 2;
      s.bandMode = edui::kBandRect;
      edui::SetStatusField(ed, edui::kFieldCommand, WindowPrompt(row, 1));
      return;
    case 2:
      edui::EraseOverlays(ed);
      s.bandMode = edui::kBandNone;
      edui::ShowHeldWindow(ed, 1);
      [[fallthrough]];
    default:
      if (!OffsetSteps(ed, 3, true, true)) return;
  }
  edui::ShowHeldWindow(ed, 0);
  TakeUndoBackup(ed);
  MoveWindowContents(ed, row, PointWindow(ed), ed.proto.dx, ed.proto.dy);
  EndCommand(ed);
}

bool CopySelection(edui::Editor& ed, std::int64_t dx, std::int64_t dy, const CopyFrom& start, CopyFrom* next) {
  const CopyFrom from = start;  // `next` may be the same object
  // Instances are few: the pick loop looks at all of them.
  db::ObjectStore& s = ed.db.store;
  bool complete = true;
  if (next) *next = {s.refCount[0] + 1, s.pathCount + 1, s.boxCount + 1};

  if (ed.db.current.rank >= 2) {
    PickParams pick;
    pick.mode = kPickCopy;
    pick.dx = dx;
    pick.dy = dy;
    PickLoop(ed, pick);
    complete = !pick.limitReached;
  }
  const bool all = edui::IsCtrlDown();
  const int paths = s.pathCount;
  for (int p = std::max(from.path, 1); p <= paths; ++p) {
    const db::PathRecord source = s.GetPathRecord(p);
    if (!(source.flags & db::kPathSelectedBit)) continue;
    std::vector<int> taken;
    for (int v : Chain(s, p)) {
      const std::int32_t f = s.GetVertex(0, v);
      if (all || (f & (db::kVertexSelectedBit | db::kCharVertexBit))) taken.push_back(v);
    }
    // Room for the whole path first: a copy cut short would be a different path.
    if (s.CheckPathLimit() || NoRoomForVertices(s, int(taken.size()))) {
      complete = false;
      break;
    }
    draw::ErasePath(ed.draw, p);
    const int copy = ++s.pathCount;
    int previous = 0;
    for (int v : taken) {
      db::VertexRecord r = s.GetVertexRecord(v);
      const int nv = ++s.vertexCount;
      const bool character = (r.flags & db::kCharVertexBit) != 0;
      s.PutVertexRecord(nv, {(r.flags & ~db::kVertexOwnerMask) | copy, character ? r.x : Shift(r.x, dx),
                             character ? r.y : Shift(r.y, dy), 0});
      if (previous) s.SetVertex(nv, 3, previous);
      previous = nv;
      s.SetVertex(r.flags & ~db::kVertexSelectedBit, 0, v);
    }
    s.PutPathRecord(copy, {source.flags & ~db::kOffWindowBit, source.width, taken.empty() ? 0 : previous -
                                                                                               int(taken.size()) + 1});
    RefreshPathSelection(s, p);
    RefreshPathSelection(s, copy);
    draw::RedrawPath(ed.draw, p);
    draw::RedrawPath(ed.draw, copy);
  }

  const int boxes = s.boxCount;
  for (int n = std::max(from.box, 1); n <= boxes; ++n) {
    const db::BoxRecord b = s.GetBoxRecord(n);
    if ((b.flags & db::kEdgesAll) != db::kEdgesAll) continue;
    if (s.CheckBoxLimit()) {
      complete = false;
      break;
    }
    const int copy = ++s.boxCount;
    s.PutBoxRecord(copy, {b.flags & ~db::kOffWindowBit, Shift(b.left, dx), Shift(b.bottom, dy), Shift(b.right, dx),
                          Shift(b.top, dy)});
    draw::RedrawBox(ed.draw, copy);
    draw::EraseBox(ed.draw, n);
    s.SetBox(b.flags & ~db::kEdgesAll, 0, n);
    draw::RedrawBox(ed.draw, n);
  }
  return complete;
}

void CpyCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  if (!OffsetSteps(ed, 1, true, true)) return;
  CopySelection(ed, ed.proto.dx, ed.proto.dy);
  EndCommand(ed);
}

void SnapCommand(edui::Editor& ed) {
  const double scale = ed.db.settings.scale;
  std::int32_t shown = ed.edit.snapStep;
  if (shown < 1) shown = ed.db.settings.workGrids[std::size_t(std::clamp(ed.view.workGrid, 0, db::kGridSlots))];
  if (edui::RunSnapDialog(ed, shown / scale)) {
    TakeUndoBackup(ed);
    // A step beyond the coordinate range would only throw the selection off it.
    const std::int32_t step = std::max(1, db::RoundToCoordinate(edui::TextToDouble(ed.answer) * scale));
    ed.edit.snapStep = step;
    db::ObjectStore& s = ed.db.store;
    for (int n = 1; n <= s.boxCount; ++n) {
      const std::int32_t edges = s.GetBox(0, n) & db::kEdgesAll;
      if (edges) MoveBoxEdges(ed, n, edges, Change::Snap, 0, 0, step);
    }
    for (int p = 1; p <= s.pathCount; ++p)
      if (s.GetPath(0, p) & db::kPathSelectedBit) MovePathVertices(ed, p, Change::Snap, 0, 0, step);
    if (ed.db.current.rank >= 2) {
      for (int n = 1; n <= s.refCount[0]; ++n) {
        const db::CellRefRecord r = s.GetCellRefRecord(0, n);
        if (!(r.flags & db::kRefSelectedBit)) continue;
        ed.draw.outlineInteriorErase = (r.flags & db::kRefOutlineBit) != 0;
        draw::EraseInstance(ed.draw, n);
        s.PutCellRefRecord(0, n, {r.flags, SnapToStep(r.x, step), SnapToStep(r.y, step)});
        draw::RedrawInstance(ed.draw, n);
      }
      draw::RestoreEditedCell(ed.draw);
    }
  }
  EndCommand(ed);
}

void RotCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  auto& st = ed.proto.now;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Cntr Pt.");
    return;
  }
  // Cancel: the command waits for another centre.
  if (!edui::RunRotDialog(ed)) return;
  double angle = edui::TextToDouble(ed.answer);
  ed.db.settings.rotAngle = angle;
  if (angle == 0 || !(std::fabs(angle) <= 3600)) {
    EndCommand(ed);
    return;
  }
  edui::EraseOverlays(ed);
  TakeUndoBackup(ed);
  while (angle > 360) angle -= 360;
  while (angle < 0) angle += 360;
  const std::int32_t cx = st.slots[1].x, cy = st.slots[1].y;
  const int whole = int(angle);
  const int quarters = whole == 90 ? 1 : whole == 180 ? 2 : whole == 270 ? 3 : 0;
  db::ObjectStore& s = ed.db.store;
  if (quarters) {
    PickParams pick;
    pick.mode = kPickRotate;
    pick.quarters = quarters;
    pick.cx = cx;
    pick.cy = cy;
    PickLoop(ed, pick);
    TransformWholeBoxes(ed, [&](std::int32_t& x, std::int32_t& y) { RotateQuarter(x, y, cx, cy, quarters); });
    for (int p = 1; p <= s.pathCount; ++p) {
      const std::int32_t flags = s.GetPath(0, p);
      if (!(flags & db::kPathSelectedBit) || !db::IsText(flags)) continue;
      const int ref = s.GetPath(2, p);
      if (ref < 1 || ref > s.vertexCount) continue;
      draw::ErasePath(ed.draw, p);
      std::int32_t x = s.GetVertex(1, ref), y = s.GetVertex(2, ref);
      RotateQuarter(x, y, cx, cy, quarters);
      s.SetVertex(x, 1, ref);
      s.SetVertex(y, 2, ref);
      s.SetPath((flags & ~db::kOrientationMask) |
                    (db::RotateOrientation(db::OrientationOf(flags), quarters) << db::kOrientationShift),
                0, p);
      draw::RedrawPath(ed.draw, p);
    }
  }
  // A whole quarter turns exactly; any other angle through the sine and cosine.
  const int exact = angle == 90 ? 1 : angle == 180 ? 2 : angle == 270 ? 3 : 0;
  const double a = angle * (3.14159265358979323846 / 180);
  const double c = std::cos(a), sn = std::sin(a);
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || db::IsText(flags)) continue;
    draw::ErasePath(ed.draw, p);
    for (int v : Chain(s, p)) {
      std::int32_t x = s.GetVertex(1, v), y = s.GetVertex(2, v);
      if (exact) {
        RotateQuarter(x, y, cx, cy, exact);
      } else {
        const double dx = double(x) - cx, dy = double(y) - cy;
        x = RoundedCoordinate(cx + dx * c - dy * sn);
        y = RoundedCoordinate(cy + dx * sn + dy * c);
      }
      s.SetVertex(x, 1, v);
      s.SetVertex(y, 2, v);
    }
    draw::RedrawPath(ed.draw, p);
  }
  EndCommand(ed);
}

void FlpCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  if (!OffsetSteps(ed, 1, false, false)) return;
  TakeUndoBackup(ed);
  const auto& sl = ed.proto.now.slots;
  const bool vertical = std::llabs(std::int64_t(sl[2].x) - sl[1].x) < std::llabs(std::int64_t(sl[2].y) - sl[1].y);
  const std::int64_t sum = vertical ? std::int64_t(sl[1].x) + sl[2].x : std::int64_t(sl[1].y) + sl[2].y;
  PickParams pick;
  pick.mode = kPickMirror;
  pick.vertical = vertical;
  pick.mirrorSum = sum;
  PickLoop(ed, pick);
  const auto mirror = [&](std::int32_t& x, std::int32_t& y) {
    if (vertical) x = ClampCoordinate(sum - x);
    else y = ClampCoordinate(sum - y);
  };
  TransformWholeBoxes(ed, mirror);
  db::ObjectStore& s = ed.db.store;
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit)) continue;
    draw::ErasePath(ed.draw, p);
    for (int v : Chain(s, p)) {
      db::VertexRecord r = s.GetVertexRecord(v);
      if (r.flags & db::kCharVertexBit) continue;
      mirror(r.x, r.y);
      s.PutVertexRecord(v, r);
    }
    if (db::IsText(flags))
      s.SetPath((flags & ~db::kOrientationMask) |
                    (db::MirrorOrientation(db::OrientationOf(flags), vertical) << db::kOrientationShift),
                0, p);
    draw::RedrawPath(ed.draw, p);
  }
  EndCommand(ed);
}

}  // namespace edcmd
