#include "editor/commands/rescap_commands.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "editor/commands/edit_common.h"
#include "editor/db/helpers.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr int kPieceColour = 7;

double SegmentLength(db::ObjectStore& s, int a, int b) {
  return std::hypot(double(s.GetVertex(1, b)) - s.GetVertex(1, a), double(s.GetVertex(2, b)) - s.GetVertex(2, a));
}

db::ResParamSet CurrentSet(edui::Editor& ed) {
  const int n = ed.db.settings.resSet;
  const auto& sets = ed.db.form.resSets;
  return n >= 1 && std::size_t(n) <= sets.size() ? sets[std::size_t(n - 1)] : db::ResParamSet{};
}

// The first step of a run: the parameters, then the automatic part. A cancelled dialog leaves the
// parameters as they were; the run goes on with them.
void StartRun(edui::Editor& ed, const char* prompt) {
  edui::EditState& e = ed.edit;
  e.resCapTotal = 0;
  edui::SetStatusField(ed, edui::kFieldCommand, prompt);
  edui::RunResCapDialog(ed);
  edui::EraseOverlays(ed);
  e.resCapRun = 1;
}

void MarkPiece(edui::Editor& ed) {
  const auto& sl = ed.proto.now.slots;
  MarkPoint(ed, sl[1].x, sl[1].y, kPieceColour);
  MarkPoint(ed, sl[2].x, sl[2].y, kPieceColour);
}

// The steps of a pair of points; true once both are there (overlays off).
bool PairSteps(edui::Editor& ed, const char* first, const char* second, int band) {
  auto& st = ed.proto.now;
  if (st.pointState == 0) {
    st.pointState = 1;
    edui::SetModeBits(ed, draw::kModeSnap, 0);
    edui::SetStatusField(ed, edui::kFieldCommand, first);
    return false;
  }
  if (st.pointState == 1) {
    st.pointState = 2;
    st.bandMode = band;
    edui::SetStatusField(ed, edui::kFieldCommand, second);
    return false;
  }
  edui::EraseOverlays(ed);
  st.bandMode = edui::kBandNone;
  return true;
}

}  // namespace

void AddPiece(edui::Editor& ed, bool resistance, double a, double b, double parameter) {
  edui::EditState& e = ed.edit;
  char text[128];
  if (resistance) {
    const double d = a * parameter / b;
    e.resCapTotal += d;
    std::snprintf(text, sizeof text, "dR=%g  R=%g ohms", d, e.resCapTotal);
  } else {
    const double scale = ed.db.settings.scale;
    const double d = a * b * parameter / scale / scale;
    e.resCapTotal += d;
    std::snprintf(text, sizeof text, "dC=%g  C=%g pF", d, e.resCapTotal);
  }
  edui::SetStatusField(ed, edui::kFieldInfo, text);
}

void CapCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  db::ObjectStore& s = ed.db.store;
  if (!ed.edit.resCapRun && ed.proto.now.pointState == 0) {
    StartRun(ed, " Cap (Auto)");
    const double c = ed.db.settings.capPf;
    for (int p = 1; p <= s.pathCount; ++p) {
      const db::PathRecord r = s.GetPathRecord(p);
      if (!(r.flags & db::kPathSelectedBit) || db::IsText(r.flags)) continue;
      const std::vector<int> chain = Chain(s, p);
      for (std::size_t i = 1; i < chain.size(); ++i)
        AddPiece(ed, false, SegmentLength(s, chain[i - 1], chain[i]), std::fabs(double(r.width)), c);
    }
    for (int n = 1; n <= s.boxCount; ++n) {
      const db::BoxRecord b = s.GetBoxRecord(n);
      if (!(b.flags & db::kEdgesAll)) continue;
      AddPiece(ed, false, std::fabs(double(b.right) - b.left), std::fabs(double(b.top) - b.bottom), c);
    }
  }
  if (!PairSteps(ed, " Cap [/] Pt.1", " Cap [/] Pt.2", edui::kBandRect)) return;
  const auto& sl = ed.proto.now.slots;
  AddPiece(ed, false, std::fabs(double(sl[2].x) - sl[1].x), std::fabs(double(sl[2].y) - sl[1].y),
           ed.db.settings.capPf);
  MarkPiece(ed);
  EndCommand(ed);
}

void ResCommand(edui::Editor& ed) {
  if (EndOnEscape(ed)) return;
  edui::EditState& e = ed.edit;
  db::ObjectStore& s = ed.db.store;
  const double scale = ed.db.settings.scale;
  if (!e.resCapRun && ed.proto.now.pointState == 0) {
    e.resWidthGiven = 0;
    StartRun(ed, " Res (Auto)");
    const db::ResParamSet set = CurrentSet(ed);
    for (int p = 1; p <= s.pathCount; ++p) {
      const db::PathRecord r = s.GetPathRecord(p);
      if (!(r.flags & db::kPathSelectedBit) || db::IsText(r.flags)) continue;
      const int pathWidth = db::RoundHalfAway(std::fabs(double(r.width)));
      const int paramWidth = db::RoundHalfAway(set.width * scale);
      if (pathWidth != paramWidth) {
        char text[160];
        std::snprintf(text, sizeof text, "Path and Param Widths Don't Agree (Path=%g Param=%g)",
                      std::fabs(double(r.width)) / scale, set.width);
        edui::ShowTextBox(ed, "", text);
        break;
      }
      const std::vector<int> chain = Chain(s, p);
      for (std::size_t i = 1; i < chain.size(); ++i)
        AddPiece(ed, true, SegmentLength(s, chain[i - 1], chain[i]), set.width * scale, set.ohms);
      AddPiece(ed, true, set.end, 1, 1);
      const double corners = chain.size() >= 3 ? double(chain.size() - 2) : 0;
      AddPiece(ed, true, set.corner * corners, 1, 1);
      // The path's width serves the pieces that follow.
      e.resWidth = set.width * scale;
      e.resWidthGiven = 1;
      break;
    }
  }
  const bool widthGiven = e.resWidthGiven != 0;
  if (!PairSteps(ed, widthGiven ? " Res --> Pt.1" : " Res <--> Pt.1", widthGiven ? " Res --> Pt.2" : " Res <--> Pt.2",
                 edui::kBandLine))
    return;
  const auto& sl = ed.proto.now.slots;
  const double distance = std::hypot(double(sl[2].x) - sl[1].x, double(sl[2].y) - sl[1].y);
  if (!widthGiven) {
    e.resWidth = distance > 0 ? distance : scale;
    e.resWidthGiven = 1;
  } else {
    AddPiece(ed, true, distance, e.resWidth, ed.db.settings.resOhms);
  }
  MarkPiece(ed);
  EndCommand(ed);
}

}  // namespace edcmd
