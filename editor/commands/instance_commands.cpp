#include "editor/commands/instance_commands.h"

#include <string>
#include <vector>

#include "editor/commands/command_table.h"
#include "editor/commands/view_commands.h"
#include "editor/db/hierarchy.h"
#include "editor/db/orientation.h"
#include "editor/db/store_compaction.h"
#include "editor/tlc/run.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/system/name_dialogs.h"

namespace edcmd {

namespace {

constexpr int kRankErrorMessage = 5;

bool TakesAll(int mode) { return mode == kPickSelect || mode == kPickWindowMove || mode == kPickOutline; }

bool Overlaps(const draw::LevelRecord& L, const Window& w) {
  return L.left <= w.x2 && L.right >= w.x1 && L.bottom <= w.y2 && L.top >= w.y1;
}
bool Inside(const draw::LevelRecord& L, const Window& w) {
  return L.left >= w.x1 && L.right <= w.x2 && L.bottom >= w.y1 && L.top <= w.y2;
}

void Erase(edui::Editor& ed, int n, std::int32_t word) {
  ed.draw.outlineInteriorErase = (word & db::kRefOutlineBit) != 0;
  draw::EraseInstance(ed.draw, n);
}

// The mode's operation on instance n; true when it changed the instance.
bool Operate(edui::Editor& ed, PickParams& p, int n, bool onScreen, bool hit) {
  db::ObjectStore& s = ed.db.store;
  db::CellRefRecord r = s.GetCellRefRecord(0, n);
  switch (p.mode) {
    case kPickSelect:
      if (!onScreen || !hit) return false;
      if (!(r.flags & db::kRefSelectedBit)) s.SetCellRef(0, r.flags | db::kRefSelectedBit, 0, n);
      draw::RedrawInstance(ed.draw, n);
      return true;
    case kPickUnselect:
      if (!onScreen || !hit) return false;
      Erase(ed, n, r.flags);
      s.SetCellRef(0, r.flags & ~db::kRefSelectedBit, 0, n);
      draw::RedrawInstance(ed.draw, n);
      return true;
    case kPickWindowMove:
      if (!onScreen || !hit) return false;
      [[fallthrough]];
    case kPickMove:
      Erase(ed, n, r.flags);
      s.SetCellRef(0, Shift(r.x, p.dx), 1, n);
      s.SetCellRef(0, Shift(r.y, p.dy), 2, n);
      draw::RedrawInstance(ed.draw, n);
      return true;
    case kPickCopy: {
      if (p.limitReached || s.CheckCellRefLimit()) {
        p.limitReached = 1;
        return false;
      }
      Erase(ed, n, r.flags);
      s.SetCellRef(0, r.flags & ~db::kRefSelectedBit, 0, n);
      draw::RedrawInstance(ed.draw, n);
      const int copy = ++s.refCount[0];
      s.PutCellRefRecord(0, copy, {r.flags | db::kRefSelectedBit, Shift(r.x, p.dx), Shift(r.y, p.dy)});
      draw::RedrawInstance(ed.draw, copy);
      return true;
    }
    case kPickRotate:
      Erase(ed, n, r.flags);
      RotateQuarter(r.x, r.y, p.cx, p.cy, p.quarters);
      r.flags = (r.flags & ~db::kOrientationMask) |
                (db::RotateOrientation(db::OrientationOf(r.flags), p.quarters) << db::kOrientationShift);
      s.PutCellRefRecord(0, n, r);
      draw::RedrawInstance(ed.draw, n);
      return true;
    case kPickMirror:
      Erase(ed, n, r.flags);
      if (p.vertical) r.x = ClampCoordinate(p.mirrorSum - r.x);
      else r.y = ClampCoordinate(p.mirrorSum - r.y);
      r.flags = (r.flags & ~db::kOrientationMask) |
                (db::MirrorOrientation(db::OrientationOf(r.flags), p.vertical) << db::kOrientationShift);
      s.PutCellRefRecord(0, n, r);
      draw::RedrawInstance(ed.draw, n);
      return true;
    case kPickOutline: {
      const bool drawnAsOutline = (r.flags & db::kRefOutlineBit) != 0;
      if (!hit || drawnAsOutline == p.outline) return false;
      Erase(ed, n, r.flags);
      s.SetCellRef(0, r.flags ^ db::kRefOutlineBit, 0, n);
      draw::RedrawInstance(ed.draw, n);
      return true;
    }
    default:
      return false;
  }
}

// A cell the user names for instances: it must exist (never the scratch row) and rank below the
// edited cell. Gives its row, or 0.
int NamedLowerCell(edui::Editor& ed, const std::string& typed) {
  if (!db::FindCell(ed.db.index, tlc::UpperCase(typed)) || ed.db.index.foundRow < 1) return 0;
  return db::PlacementAllowed(ed.db.index, ed.db.current.rank, ed.db.index.foundRow) ? ed.db.index.foundRow : 0;
}

}  // namespace

void RotateQuarter(std::int32_t& x, std::int32_t& y, std::int32_t cx, std::int32_t cy, int q) {
  const std::int64_t dx = std::int64_t(x) - cx, dy = std::int64_t(y) - cy;
  switch (q & 3) {
    case 1:
      x = ClampCoordinate(cx - dy);
      y = ClampCoordinate(cy + dx);
      break;
    case 2:
      x = ClampCoordinate(cx - dx);
      y = ClampCoordinate(cy - dy);
      break;
    case 3:
      x = ClampCoordinate(cx + dy);
      y = ClampCoordinate(cy - dx);
      break;
    default:
      break;
  }
}

int PickLoop(edui::Editor& ed, PickParams& p) {
  if (ed.db.current.rank <= 1) return 0;
  db::ObjectStore& s = ed.db.store;
  int hits = 0;
  // Copies land behind the instances there were; they are not picked again.
  const int count = s.refCount[0];
  for (int n = 1; n <= count; ++n) {
    const std::int32_t word = s.GetCellRef(0, 0, n);
    if (!TakesAll(p.mode) && !(word & db::kRefSelectedBit)) continue;
    if (!draw::FillLevelRecord(ed.draw, 0, n)) continue;
    const draw::LevelRecord& L = ed.draw.levels[0];
    const bool onScreen = L.visible || ed.edit.ignoreOutside;
    bool overlap = p.overlap;
    if (L.outline && !edui::IsCtrlDown()) overlap = false;
    const bool hit = overlap ? Overlaps(L, p.window) : Inside(L, p.window);
    if (Operate(ed, p, n, onScreen, hit)) ++hits;
  }
  const bool picking = p.mode == kPickSelect || p.mode == kPickUnselect || p.mode == kPickOutline;
  if (hits == 0 && picking && p.askName) {
    edsys::Answers a;
    if (edsys::RunNoCellDialog(ed.main, ed.db, a) == 1) {
      if (const int row = NamedLowerCell(ed, a[0])) {
        for (int n = 1; n <= s.refCount[0]; ++n) {
          if (db::RefRowOf(s.GetCellRef(0, 0, n)) != row) continue;
          if (!draw::FillLevelRecord(ed.draw, 0, n)) continue;
          const bool onScreen = ed.draw.levels[0].visible || ed.edit.ignoreOutside;
          if (Operate(ed, p, n, onScreen, true)) ++hits;
        }
      }
    }
  }
  draw::LevelRecord& L = ed.draw.levels[0];
  L.x = L.y = 0;
  L.orientation = 0;
  draw::RestoreEditedCell(ed.draw);
  return hits;
}

int DeleteSelectedInstances(edui::Editor& ed, bool erase) {
  if (ed.db.current.rank < 2) return 0;
  db::ObjectStore& s = ed.db.store;
  std::vector<char> remove(std::size_t(s.refCount[0]) + 1, 0);
  int any = 0;
  for (int n = s.refCount[0]; n >= 1; --n) {
    const std::int32_t word = s.GetCellRef(0, 0, n);
    if (!(word & db::kRefSelectedBit)) continue;
    if (erase) Erase(ed, n, word);
    remove[std::size_t(n)] = 1;
    any = 1;
  }
  const int removed = any ? db::RemoveMarkedCellRefs(s, remove) : 0;
  draw::RestoreEditedCell(ed.draw);
  return removed;
}

void CellPickCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  if (!WindowSteps(ed)) return;
  PickParams p;
  p.window = PointWindow(ed);
  p.overlap = ed.proto.now.doubleClicked != 0;
  switch (CurrentRow(ed)) {
    case kCPut:
      p.mode = kPickUnselect;
      break;
    case kOutl:
    case kFull:
      p.mode = kPickOutline;
      p.outline = CurrentRow(ed) == kOutl;
      break;
    default:
      p.mode = kPickSelect;
      break;
  }
  PickLoop(ed, p);
  EndCommand(ed);
}

void CCelCommand(edui::Editor& ed) {
  if (ed.db.current.rank >= 2) {
    edsys::Answers a;
    if (edsys::RunCcelDialog(ed.main, ed.db, a) == 1) {
      if (const int row = NamedLowerCell(ed, a[0])) {
        db::ObjectStore& s = ed.db.store;
        for (int n = 1; n <= s.refCount[0]; ++n) {
          const std::int32_t word = s.GetCellRef(0, 0, n);
          if (word & db::kRefSelectedBit) s.SetCellRef(0, (word & ~db::kRefRowMask) | row, 0, n);
        }
        ShowNewView(ed);
      } else {
        edui::ShowMessage(ed, kRankErrorMessage);
      }
    }
  }
  EndCommand(ed);
}

}  // namespace edcmd
