#include "editor/ui/protocol.h"

#include <algorithm>
#include <cstdio>

#include "editor/db/current_cell.h"
#include "editor/db/helpers.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/editor.h"
#include "editor/ui/main_window.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"

namespace edui {

namespace {

constexpr int kCmdId = 166;
constexpr int kAddId = 118;
constexpr int kGridButton = 110;

void Assign(Editor& ed, int row, const CommandEntry& e) {
  ed.proto.now.currentId = e.id;
  ed.proto.now.statusMask = StatusMaskOf(e);
  ed.proto.now.current = row;
}

void SlotScreen(Editor& ed, PointSlot& s) {
  const draw::ScreenPoint p = draw::WorldToScreen(ed.view, s.x, s.y);
  s.sx = p.x;
  s.sy = p.y;
}

void OrderRect(PointSlot& a, PointSlot& b) { NormalizeRect(a.x, a.y, b.x, b.y); }

void Delta(Editor& ed, const PointSlot& a, const PointSlot& b) {
  ed.proto.dx = b.x - a.x;
  ed.proto.dy = b.y - a.y;
}

std::string Printf(const char* format, auto... args) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

std::string VariablesText(Editor& ed, int mask) {
  const db::Settings& s = ed.db.settings;
  const double scale = s.scale;
  const char* unit = s.unitName.c_str();
  const auto grid = [](const auto& grids, int i) { return grids[std::size_t(std::clamp(i, 0, db::kGridSlots))]; };
  std::string text = Printf(" wGrd=%-.5g%s  dGrd=%-.5g%s  ", grid(s.workGrids, ed.view.workGrid) / scale, unit,
                            grid(s.dotGrids, ed.view.dotGrid) / scale, unit);
  if (mask & status::kTextForm) {
    text += "Obj=TEXT";
    text += Printf("  Layr=%s  Size=%-.5g%s", db::GetLayerName(ed.db, s.textLayer).c_str(), s.textSize / scale, unit);
    return text;
  }
  switch (ed.objectKind) {
    case 1:
      text += "Obj=BOX";
      break;
    case 2:
      text += s.pathWidth == 0 ? "Obj=POLY" : "Obj=PATH";
      break;
    case 3:
      text += Printf("Obj=%s", ed.db.index.rows[std::size_t(std::clamp(ed.objectCell, 0, db::kMaxIndexCount))].name.c_str());
      break;
  }
  if (ed.objectKind == 1 || ed.objectKind == 2) {
    text += Printf("  Layr=%s", db::GetLayerName(ed.db, s.layer).c_str());
    if (ed.objectKind == 2 && s.pathWidth != 0) text += Printf("  Wdth=%-.5g%s", s.pathWidth / scale, unit);
  }
  return text;
}

}  // namespace

int FindRowById(std::span<const CommandEntry> table, int id) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].id == id) return int(i);
  }
  return -1;
}

void RunCommandHandler(Editor& ed, int row) {
  const CommandEntry* e = ed.proto.Row(row);
  if (e && e->handler) e->handler(ed);
}

void StartCommand(Editor& ed, int row) {
  const CommandEntry* e = ed.proto.Row(row);
  if (!e) return;
  // "Cmd" runs inside whatever command is current.
  if (e->id == kCmdId) {
    RunCommandHandler(ed, row);
    return;
  }
  ShowHeldWindow(ed, 0);
  const int f = e->flags;
  if ((f & 3) == 0) {
    SaveCommandState(ed);
    Assign(ed, row, *e);
  }
  if (f & 1) Assign(ed, row, *e);
  if (f & 2) {
    Assign(ed, row, *e);
    ed.proto.lastRepeatable = row;
  }
  ed.proto.now.pointState = 0;
  ed.proto.now.bandMode = kBandNone;
  ShowStatus(ed, status::kKeepCounts);
  RunCommandHandler(ed, ed.proto.now.current);
}

void RestartCommand(Editor& ed) {
  ed.proto.now.current = ed.proto.lastRepeatable;
  SendToMain(ed, wm::StartCommand, ui::WParam(ed.proto.lastRepeatable), 0);
}

void StepBack(Editor& ed) {
  CommandState& s = ed.proto.now;
  if (s.heldWindowShown) {
    // The view command's repaint has wiped it.
    s.heldWindowShown = 0;
    ShowHeldWindow(ed, 1);
  }
  s.pointState = std::max(0, s.pointState - 1);
  RunCommandHandler(ed, s.current);
}

void Reenter(Editor& ed) { RunCommandHandler(ed, ed.proto.now.current); }

namespace {

// The point for the awaited slot. A click also ends the rubber band at that point; a typed point is
// stored as typed.
void TakePoint(Editor& ed, std::int32_t x, std::int32_t y, bool click) {
  CommandState& s = ed.proto.now;
  const int n = s.pointState;
  if (n < 1 || n > 4) return;
  PointSlot& slot = s.slots[std::size_t(n)];
  slot.x = x;
  slot.y = y;
  if (n == 2 || n == 4) {
    if (click) ShowRubberBand(ed, 0);
    if (click && n == 2) {
      ed.proto.snappedX = x;
      ed.proto.snappedY = y;
    }
    PointSlot& first = s.slots[std::size_t(n - 1)];
    Delta(ed, first, slot);
    if (n == 2 && s.bandMode == kBandRect) {
      OrderRect(first, slot);
      SlotScreen(ed, first);
    }
  }
  SlotScreen(ed, slot);
}

}  // namespace

void TypedPoint(Editor& ed, std::int32_t x, std::int32_t y) {
  TakePoint(ed, x, y, false);
  RunCommandHandler(ed, ed.proto.now.current);
}

void LeftButtonDown(Editor& ed) {
  std::int32_t x = 0;
  std::int32_t y = 0;
  PickedPoint(ed, x, y);
  TakePoint(ed, x, y, true);
  RunCommandHandler(ed, ed.proto.now.current);
}

void LeftButtonDoubleClick(Editor& ed) {
  CommandState& s = ed.proto.now;
  if (s.pointState != 2) return;
  s.doubleClicked = 1;
  s.slots[2] = s.slots[1];
  ed.proto.snappedX = s.slots[1].x;
  ed.proto.snappedY = s.slots[1].y;
  ed.proto.dx = 0;
  ed.proto.dy = 0;
  RunCommandHandler(ed, s.current);
}

void RightButtonDown(Editor& ed) {
  SwitchButtonPanel(ed);
  ShowStatus(ed, status::kRestart);
}

void EscapeKey(Editor& ed) {
  ed.proto.escPressed = 1;
  RunCommandHandler(ed, ed.proto.now.current);
}

void ShowStatus(Editor& ed, int mask) {
  Protocol& p = ed.proto;
  if (mask & status::kHighlightOff) {
    draw::DrawSelectedBoxes(ed.draw, 0);
    draw::DrawSelectedPaths(ed.draw, 0);
  }
  if (mask & status::kHighlightOn) {
    draw::DrawSelectedBoxes(ed.draw, 1);
    draw::DrawSelectedPaths(ed.draw, 1);
  }
  if (!(mask & status::kTextForm)) {
    p.now.pointState = 0;
    SetModeBits(ed, draw::kModeSnap, 0);
  }
  ClearCommandFlags(ed);
  draw::CombineLayerMasks(ed.masks);
  SetObjectKind(ed);
  if (mask & status::kRecount) CountActiveObjects(ed);

  const db::ObjectStore& st = ed.db.store;
  const db::ActiveCounts& a = ed.db.active;
  if (!(mask & status::kKeepCounts)) {
    if (a.refs || a.boxes || a.paths || a.vertices) {
      SetStatusField(ed, kFieldInfo, Printf(" Active: %d Cells  %d Boxes  %d Paths  %ld Vtx", a.refs, a.boxes,
                                             a.paths, long(a.vertices)));
    } else {
      SetStatusField(ed, kFieldInfo, Printf(" %d Cells  %d Boxes  %d Paths  %ld Vtx", st.refCount[0], st.boxCount,
                                             st.pathCount, long(st.vertexCount)));
    }
  }
  if (ed.db.settings.layerSelectionByTable) {
    SetStatusField(ed, kFieldLayers, " Using Layer Table");
  } else {
    const db::RankView& rv = ed.db.settings.rankViews[std::size_t(std::clamp(ed.db.current.rank, 0, db::kRanks))];
    SetStatusField(ed, kFieldLayers, Printf(" View(%s) Open(%s)", rv.viewList.c_str(), rv.openList.c_str()));
  }
  if (!(mask & status::kKeepVariables)) SetStatusField(ed, kFieldVariables, VariablesText(ed, mask));
  ui::CheckItem(ed.panels.buttons, kGridButton, ed.view.dotShown != 0);
  SetMainTitle(ed, 0);

  switch (mask & status::kFollowMask) {
    case status::kResume:
      if (p.savedFlag) {
        RestoreCommandState(ed);
        PostToMain(ed, wm::StepBack);
      } else {
        // Nothing to go back to: re-entering the view command itself would never end.
        PostToMain(ed, wm::RestartCommand);
      }
      break;
    case status::kRestart:
      p.savedFlag = 0;
      p.savedDepth = 0;
      PostToMain(ed, wm::RestartCommand);
      break;
    default:
      break;
  }
}

void ClearCommandFlags(Editor& ed) {
  Protocol& p = ed.proto;
  p.escPressed = 0;
  p.typedOffset = 0;
  p.now.doubleClicked = 0;
  p.now.pointPending = 0;
  ed.draw.abort = false;
  ed.draw.instanceErase = false;
  ed.draw.outlineInteriorErase = false;
  ed.draw.eraseObject = false;
}

void SaveCommandState(Editor& ed) {
  Protocol& p = ed.proto;
  // A view command inside a view command keeps the outer one's state too, so each goes on where it
  // was; the command under them all is never overwritten.
  p.now.modeWord = ed.db.settings.modeWord;
  if (p.savedDepth < kSavedStates) p.savedStack[std::size_t(p.savedDepth++)] = p.now;
  p.savedFlag = 1;
  EraseOverlays(ed);
}

void RestoreCommandState(Editor& ed) {
  Protocol& p = ed.proto;
  if (p.savedDepth == 0) {
    p.savedFlag = 0;
    return;
  }
  p.now = p.savedStack[std::size_t(--p.savedDepth)];
  p.savedFlag = p.savedDepth > 0 ? 1 : 0;
  // Only the snap bit belongs to the interrupted command; display toggles the user pressed meanwhile
  // stay as they are.
  SetModeBits(ed, draw::kModeSnap, p.now.modeWord & draw::kModeSnap);
  for (int n = 1; n <= kPointSlots; ++n) SlotScreen(ed, p.now.slots[std::size_t(n)]);
  if (p.now.currentId == kAddId && ed.objectKind == 3) CellGhostOffsets(ed);
}

void PickedPoint(Editor& ed, std::int32_t& x, std::int32_t& y) {
  if (ed.db.settings.modeWord & draw::kModeSnap) {
    x = ed.proto.snappedX;
    y = ed.proto.snappedY;
  } else {
    x = ed.proto.rawX;
    y = ed.proto.rawY;
  }
}

void PointPrompt(Editor& ed, int second) {
  const CommandEntry* e = ed.proto.Row(ed.proto.now.current);
  const std::string word = e ? std::string(e->word) : std::string();
  SetStatusField(ed, kFieldCommand, Printf(second ? " %s (Pt.2)" : " %s (Pt.1)", word.c_str()));
}

void RequestRedraw(Editor& ed, int mode) {
  ed.redrawMode = mode;
  SendToMain(ed, ui::msg::Paint);
}

}  // namespace edui
