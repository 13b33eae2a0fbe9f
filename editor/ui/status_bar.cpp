#include "editor/ui/status_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/db/cell_index.h"
#include "editor/db/current_cell.h"
#include "editor/tlc/run.h"
#include "editor/ui/cell_dialogs.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/overlays.h"
#include "editor/ui/protocol.h"
#include "editor/ui/shell.h"
#include "platform/os/path.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"

namespace edui {

namespace {

std::string Format(const char* format, auto... args) {
  const int n = std::snprintf(nullptr, 0, format, args...);
  std::string s(std::size_t(std::max(n, 0)), '\0');
  std::snprintf(s.data(), s.size() + 1, format, args...);
  return s;
}

}  // namespace

std::string MainTitleText(Editor& ed, int kind, std::string_view cellName) {
  const std::string name(cellName);
  switch (kind) {
    case 1:
      return Format("MERO 6.0     ( Saving %s )", name.c_str());
    case 2:
      return Format("MERO 6.0     ( Loading %s )", name.c_str());
    case 3:
      return "MERO 6.0     ( Loading Backup )";
    case 4:
      return Format("MERO 6.0     ( TLCout %s )", name.c_str());
    default:
      break;
  }
  const std::string folder = os::CurrentFolder();
  const int rank = ed.db.current.rank;
  if (!ed.draw.context.name.empty()) {
    return Format("MERO 6.0     Cell: %s.%s    Rank : %d    Directory : %s", ed.draw.context.name.c_str(),
                  name.c_str(), rank, folder.c_str());
  }
  return Format("MERO 6.0     Cell: %s    Rank : %d    Directory : %s", name.c_str(), rank, folder.c_str());
}

void SetMainTitle(Editor& ed, int kind) {
  ui::SetTitle(ed.main, MainTitleText(ed, kind, ed.db.current.name));
}

void SetStatusField(Editor& ed, int id, std::string_view text) {
  ui::SetItemText(ed.panels.bottom, id, text);
}

void ShowModeToggles(Editor& ed) {
  ui::Focus(ed.main);
  const int word = ed.db.settings.modeWord;
  const ui::Wnd bar = ed.panels.bottom;
  ui::CheckItem(bar, kToggleFirst, (word & draw::kModeSnap) != 0);
  ui::CheckItem(bar, kToggleFirst + 1, (word & draw::kModeSnap) == 0);
  for (int bit = 1; bit <= 8; ++bit) ui::CheckItem(bar, kToggleFirst + 1 + bit, (word >> bit) & 1);
  DrawOriginMark(ed);
}

void SetModeBits(Editor& ed, int bits, int on) {
  draw::SetModeBits(ed.db.settings.modeWord, bits, on);
  ShowModeToggles(ed);
}

void ToggleModeBits(Editor& ed, int bits) {
  draw::ToggleModeBits(ed.db.settings.modeWord, bits);
  ShowModeToggles(ed);
}

void ShowPercent(Editor& ed, int done, int total) {
  if (total == 0) return;
  done = std::min(done, total);
  SetStatusField(ed, kFieldInfo, Format(" %5.1f%%", double(done) / total * 100));
}

void ShowDistance(Editor& ed, int mode) {
  std::int32_t x = 0;
  std::int32_t y = 0;
  PickedPoint(ed, x, y);
  const draw::ScreenPoint p = draw::WorldToScreen(ed.view, x, y);
  if (mode == 1) {
    ed.distanceX = x;
    ed.distanceY = y;
    draw::BlitMarker(ed.draw, draw::Marker::Vertex, p.x, p.y, 12);
    return;
  }
  const double scale = ed.db.settings.scale;
  const double dx = (double(x) - ed.distanceX) / scale;
  const double dy = (double(y) - ed.distanceY) / scale;
  if (ed.db.settings.modeWord & draw::kModeMarkDistance) draw::BlitMarker(ed.draw, draw::Marker::Vertex, p.x, p.y, 10);
  SetStatusField(ed, kFieldInfo, Format(" dx=%-10.8g dy=%-10.8g Dist=%-10.8g", dx, dy, std::sqrt(dx * dx + dy * dy)));
}


bool PollEscape(Editor& ed) { return draw::PollEscape(ed.draw); }

int LayerTableDialog(Editor& ed, int mode) { return RunLayerTableDialog(ed, mode); }

int EditLayerList(Editor& ed, int which) {
  db::RankView& rv = ed.db.settings.rankViews[std::size_t(std::clamp(ed.db.current.rank, 0, db::kRanks))];
  ed.layerAnswer = which == 0 ? rv.viewList : rv.openList;
  const int r = LayerTableDialog(ed, which);
  if (r && ed.layerAnswer.empty()) ed.layerAnswer = "0";
  return r;
}

int ChooseLayerNumber(Editor& ed, int current) {
  ed.layerAnswer = std::to_string(current);
  ed.chosenLayer = current;
  if (!LayerTableDialog(ed, kLayerNumber)) return 0;
  ed.chosenLayer = std::clamp(ed.chosenLayer, 1, db::kLayerCount);
  return ed.chosenLayer;
}

void CountActiveObjects(Editor& ed) {
  db::ActiveCounts& a = ed.db.active;
  db::ObjectStore& st = ed.db.store;
  a = db::ActiveCounts{};
  for (int n = 1; n <= st.boxCount; ++n)
    if (st.GetBox(0, n) & db::kEdgesAll) ++a.boxes;
  for (int n = 1; n <= st.pathCount; ++n)
    if (st.GetPath(0, n) & db::kPathSelectedBit) ++a.paths;
  for (int n = 1; n <= st.vertexCount; ++n)
    if (st.GetVertex(0, n) & db::kVertexSelectedBit) ++a.vertices;
  for (int n = 1; n <= st.refCount[0]; ++n)
    if (st.GetCellRef(0, 0, n) & db::kRefSelectedBit) ++a.refs;
}

void SetObjectKind(Editor& ed) {
  std::string& kind = ed.db.settings.addKind;
  kind = tlc::UpperCase(kind);
  if (kind == "B") {
    ed.objectKind = 1;
  } else if (kind == "P") {
    ed.objectKind = 2;
  } else if (db::FindCell(ed.db.index, kind) && ed.db.index.foundRow >= 1) {
    // Row 0 is Make's scratch cell: never an object.
    ed.objectKind = 3;
    ed.objectCell = ed.db.index.foundRow;
  } else {
    ShowMessage(ed, 12);
    kind = "B";
    ed.objectKind = 1;
  }
}

void UpdatePointerPoints(Editor& ed) {
  Protocol& p = ed.proto;
  const draw::WorldPoint raw = draw::RawPointerPoint(ed.view, ed.pointerX, ed.pointerY);
  const draw::WorldPoint snapped = draw::SnappedPointerPoint(ed.view, ed.db.settings, ed.pointerX, ed.pointerY);
  p.rawX = raw.x;
  p.rawY = raw.y;
  p.snappedX = snapped.x;
  p.snappedY = snapped.y;
  const CommandState& s = p.now;
  if (s.angleConstraint && (ed.db.settings.modeWord & draw::kModeAngle) && ed.overlays.bandDrawn) {
    const PointSlot& ref = s.pointState == 2 ? s.slots[1] : s.slots[3];
    draw::ConstrainAngle(ref.x, ref.y, p.rawX, p.rawY);
    draw::ConstrainAngle(ref.x, ref.y, p.snappedX, p.snappedY);
  }
  const bool snap = ed.db.settings.modeWord & draw::kModeSnap;
  const draw::ScreenPoint m =
      draw::WorldToScreen(ed.view, snap ? p.snappedX : p.rawX, snap ? p.snappedY : p.rawY);
  ed.overlays.newX = m.x;
  ed.overlays.newY = m.y;
}

}  // namespace edui
