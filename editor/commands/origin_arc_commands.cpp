#include "editor/commands/origin_arc_commands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "editor/commands/add_commands.h"
#include "editor/commands/edit_common.h"
#include "editor/commands/view_commands.h"
#include "editor/db/helpers.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/overlays.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr double kFullTurn = 6.2831853;
constexpr int kCentreColour = 12, kEndColour = 10;

}  // namespace

void OrigCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  auto& st = ed.proto.now;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 1);
    edui::SetStatusField(ed, edui::kFieldCommand, " Orig (0,0 Pt.)");
    return;
  }
  edui::EraseOverlays(ed);
  const std::int64_t px = st.slots[1].x, py = st.slots[1].y;
  db::ObjectStore& s = ed.db.store;
  for (int n = 1; n <= s.boxCount; ++n) {
    db::BoxRecord b = s.GetBoxRecord(n);
    b.left = Shift(b.left, -px);
    b.right = Shift(b.right, -px);
    b.bottom = Shift(b.bottom, -py);
    b.top = Shift(b.top, -py);
    s.PutBoxRecord(n, b);
  }
  for (int v = 1; v <= s.vertexCount; ++v) {
    const db::VertexRecord r = s.GetVertexRecord(v);
    if (r.flags & db::kCharVertexBit) continue;
    s.SetVertex(Shift(r.x, -px), 1, v);
    s.SetVertex(Shift(r.y, -py), 2, v);
  }
  if (ed.db.current.rank >= 2) {
    for (int n = 1; n <= s.refCount[0]; ++n) {
      s.SetCellRef(0, Shift(s.GetCellRef(0, 1, n), -px), 1, n);
      s.SetCellRef(0, Shift(s.GetCellRef(0, 2, n), -py), 2, n);
    }
  }
  ClearOffWindowMarks(ed);
  edui::RequestRedraw(ed, 1);
  edui::RequestRedraw(ed, 2);
  EndCommand(ed);
}

std::vector<std::pair<std::int32_t, std::int32_t>> ArcPoints(std::int32_t sx, std::int32_t sy, std::int32_t cx,
                                                             std::int32_t cy, std::int32_t ex, std::int32_t ey,
                                                             int n, bool clockwise) {
  const double r0 = std::hypot(double(sx) - cx, double(sy) - cy);
  const double r1 = std::hypot(double(ex) - cx, double(ey) - cy);
  const double a0 = db::ComputeDirectionAngle(double(sx) - cx, double(sy) - cy);
  const double a1 = db::ComputeDirectionAngle(double(ex) - cx, double(ey) - cy);
  double sweep = kFullTurn;
  if (a0 != a1) {
    sweep = std::fabs(a1 - a0);
    if ((!clockwise && a1 < a0) || (clockwise && a1 > a0)) sweep = kFullTurn - sweep;
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> points;
  for (int k = 1; k < n; ++k) {
    const double radius = r0 + k * (r1 - r0) / n;
    const double angle = clockwise ? a0 - k * sweep / n : a0 + k * sweep / n;
    points.push_back({RoundedCoordinate(std::cos(angle) * radius + cx), RoundedCoordinate(std::sin(angle) * radius + cy)});
  }
  return points;
}

void ArcCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  auto& st = ed.proto.now;
  const PathVertex start = FirstSelectedVertex(ed);
  if (!start.path) {
    EndCommand(ed);
    return;
  }
  db::ObjectStore& s = ed.db.store;
  switch (st.pointState) {
    case 0: {
      st.pointState = 2;
      edui::SetModeBits(ed, draw::kModeSnap, 1);
      const db::VertexRecord r = s.GetVertexRecord(start.vertex);
      auto put = [&](int n, std::int32_t x, std::int32_t y) {
        auto& slot = st.slots[std::size_t(n)];
        slot.x = x;
        slot.y = y;
        const draw::ScreenPoint p = draw::WorldToScreen(ed.view, x, y);
        slot.sx = p.x;
        slot.sy = p.y;
      };
      put(1, r.x, r.y);
      if (r.next >= 1 && r.next <= s.vertexCount) {
        put(5, s.GetVertex(1, r.next), s.GetVertex(2, r.next));
        st.bandMode = edui::kBandTwoLines;
      } else {
        st.bandMode = edui::kBandLine;
      }
      edui::SetStatusField(ed, edui::kFieldCommand, " Arc (Cntr.Pt.)");
      return;
    }
    case 2:
      MarkPoint(ed, st.slots[2].x, st.slots[2].y, kCentreColour);
      st.pointState = 3;
      st.bandMode = edui::kBandNone;
      edui::SetStatusField(ed, edui::kFieldCommand, " Arc (End Pt.)");
      return;
    default:
      break;
  }
  const std::int32_t cx = st.slots[2].x, cy = st.slots[2].y, ex = st.slots[3].x, ey = st.slots[3].y;
  MarkPoint(ed, ex, ey, kEndColour);
  edui::EraseOverlays(ed);
  st.bandMode = edui::kBandNone;
  if (!edui::RunArcDialog(ed)) {
    EndCommand(ed);
    return;
  }
  std::string direction = ed.db.settings.arcDirection;
  for (char& c : direction) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (direction != "cw" && direction != "ccw") {
    EndCommand(ed);
    return;
  }
  const int n = int(std::min<long>(std::labs(long(ed.db.settings.arcSegments)), kPathVertexLimit));
  const db::VertexRecord r = s.GetVertexRecord(start.vertex);
  int options = kInsertErase;
  bool room = true;
  int at = start.vertex;
  for (const auto& [x, y] : ArcPoints(r.x, r.y, cx, cy, ex, ey, n, direction == "cw")) {
    if (!(room = InsertVertexAfter(ed, at, x, y, options))) break;
    at = s.vertexCount;
    options = 0;
  }
  // The end point closes the arc, whatever follows it.
  if (!room || !InsertVertexAfter(ed, at, ex, ey, options | kInsertDraw)) draw::RedrawPath(ed.draw, start.path);
  EndCommand(ed);
}

}  // namespace edcmd
