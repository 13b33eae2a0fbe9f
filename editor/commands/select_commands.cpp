#include "editor/commands/select_commands.h"

#include "editor/commands/command_table.h"
#include "editor/commands/edit_common.h"
#include "editor/commands/instance_commands.h"
#include "editor/ui/draw/primitives.h"

namespace edcmd {

namespace {

// Variant 1 takes whole objects once any part is in the window.
bool WholeVariant(int row) { return row == kFGet || row == kAGet || row == kPBeg || row == kPEnd || row == kFPut; }

void SelectBoxes(edui::Editor& ed, const Window& w, bool whole) {
  db::ObjectStore& s = ed.db.store;
  for (int n = 1; n <= s.boxCount; ++n) {
    db::BoxRecord b = s.GetBoxRecord(n);
    if ((b.flags & db::kOffWindowBit) || !Editable(ed, b.flags)) continue;
    const BoxInWindow t = TestBox(b, w);
    if (!t.Any()) continue;
    std::int32_t edges = 0;
    if (t.left && !t.yApart) edges |= db::kEdgeLeft;
    if (t.right && !t.yApart) edges |= db::kEdgeRight;
    if (t.bottom && !t.xApart) edges |= db::kEdgeBottom;
    if (t.top && !t.xApart) edges |= db::kEdgeTop;
    if (whole && !t.xApart && !t.yApart) edges = db::kEdgesAll;
    if (edges) s.SetBox(b.flags | edges, 0, n);
  }
}

// The vertex rule of pBeg and pEnd: only the first (last) vertex of the chain stays selected.
void SelectPaths(edui::Editor& ed, const Window& w, int row) {
  db::ObjectStore& s = ed.db.store;
  const bool whole = WholeVariant(row);
  const bool ends = row == kPBeg || row == kPEnd;
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if ((flags & db::kOffWindowBit) || !Editable(ed, flags)) continue;
    if (row == kTGet && !db::IsText(flags)) continue;
    const std::vector<int> chain = Chain(s, p);
    std::vector<char> offered(chain.size(), 0);
    bool any = false;
    for (std::size_t i = 0; i < chain.size(); ++i) {
      const db::VertexRecord v = s.GetVertexRecord(chain[i]);
      if (v.flags & db::kCharVertexBit) continue;
      if (w.Has(v.x, v.y)) offered[i] = any = 1;
    }
    if (!any) continue;
    if (whole) {
      for (std::size_t i = 0; i < chain.size(); ++i)
        offered[i] = !(s.GetVertex(0, chain[i]) & db::kCharVertexBit);
    }
    if (ends && db::IsText(flags)) continue;
    if (ends) draw::ErasePath(ed.draw, p);
    for (std::size_t i = 0; i < chain.size(); ++i) {
      if (!offered[i]) continue;
      const std::int32_t vf = s.GetVertex(0, chain[i]);
      bool select = true;
      if (row == kPEnd) select = i + 1 == chain.size();
      if (row == kPBeg) select = i == 0;
      s.SetVertex(select ? vf | db::kVertexSelectedBit : vf & ~db::kVertexSelectedBit, 0, chain[i]);
    }
    RefreshPathSelection(s, p);
    if (ends) draw::RedrawPath(ed.draw, p);
  }
}

}  // namespace

void SelectCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  if (!WindowSteps(ed)) return;
  const int row = CurrentRow(ed);
  const Window w = PointWindow(ed);
  if (row != kTGet && row != kPBeg && row != kPEnd) SelectBoxes(ed, w, WholeVariant(row));
  SelectPaths(ed, w, row);
  if (row == kWGet || row == kAGet) {
    PickParams p;
    p.mode = kPickSelect;
    p.window = w;
    p.overlap = ed.proto.now.doubleClicked != 0;
    p.askName = false;
    PickLoop(ed, p);
  }
  EndCommand(ed);
}

void UnselectCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  if (!WindowSteps(ed)) return;
  const int row = CurrentRow(ed);
  const bool whole = WholeVariant(row);
  const Window w = PointWindow(ed);
  db::ObjectStore& s = ed.db.store;
  if (row != kTPut) {
    for (int n = 1; n <= s.boxCount; ++n) {
      const db::BoxRecord b = s.GetBoxRecord(n);
      if (!(b.flags & db::kEdgesAll) || (b.flags & db::kOffWindowBit)) continue;
      const BoxInWindow t = TestBox(b, w);
      if (!t.Any() || t.xApart || t.yApart) continue;
      draw::EraseBox(ed.draw, n);
      std::int32_t clear = db::kEdgesAll;
      if (!whole) {
        clear = (t.left ? db::kEdgeLeft : 0) | (t.right ? db::kEdgeRight : 0) | (t.bottom ? db::kEdgeBottom : 0) |
                (t.top ? db::kEdgeTop : 0);
      }
      s.SetBox(b.flags & ~clear, 0, n);
      draw::RedrawBox(ed.draw, n);
    }
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || (flags & db::kOffWindowBit)) continue;
    if (row == kTPut && !db::IsText(flags)) continue;
    const std::vector<int> chain = Chain(s, p);
    bool inside = false;
    for (int v : chain) {
      const db::VertexRecord r = s.GetVertexRecord(v);
      if ((r.flags & db::kVertexSelectedBit) && w.Has(r.x, r.y)) inside = true;
    }
    if (!inside) continue;
    draw::ErasePath(ed.draw, p);
    for (int v : chain) {
      const db::VertexRecord r = s.GetVertexRecord(v);
      if ((r.flags & db::kVertexSelectedBit) && (whole || w.Has(r.x, r.y)))
        s.SetVertex(r.flags & ~db::kVertexSelectedBit, 0, v);
    }
    RefreshPathSelection(s, p);
    draw::RedrawPath(ed.draw, p);
  }
  EndCommand(ed);
}

void DeselectAll(edui::Editor& ed) {
  db::ObjectStore& s = ed.db.store;
  if (ed.db.current.rank >= 2) {
    for (int n = 1; n <= s.refCount[0]; ++n) {
      const std::int32_t word = s.GetCellRef(0, 0, n);
      if (!(word & db::kRefSelectedBit)) continue;
      ed.draw.outlineInteriorErase = (word & db::kRefOutlineBit) != 0;
      draw::EraseInstance(ed.draw, n);
      s.SetCellRef(0, word & ~db::kRefSelectedBit, 0, n);
      draw::RedrawInstance(ed.draw, n);
    }
    draw::RestoreEditedCell(ed.draw);
  } else {
    for (int n = 1; n <= s.refCount[0]; ++n) s.SetCellRef(0, s.GetCellRef(0, 0, n) & ~db::kRefSelectedBit, 0, n);
  }
  for (int n = 1; n <= s.boxCount; ++n) {
    const std::int32_t flags = s.GetBox(0, n);
    if (!(flags & db::kEdgesAll)) continue;
    draw::EraseBox(ed.draw, n);
    s.SetBox(flags & ~db::kEdgesAll, 0, n);
    draw::RedrawBox(ed.draw, n);
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit)) continue;
    draw::DrawVertexMarks(ed.draw, p, 0);
    draw::ErasePath(ed.draw, p);
    for (int v : Chain(s, p)) s.SetVertex(s.GetVertex(0, v) & ~db::kVertexSelectedBit, 0, v);
    s.SetPath(flags & ~db::kPathSelectedBit, 0, p);
    draw::RedrawPath(ed.draw, p);
  }
}

void APutCommand(edui::Editor& ed) {
  DeselectAll(ed);
  EndCommand(ed);
}

}  // namespace edcmd
