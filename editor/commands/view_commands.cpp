#include "editor/commands/view_commands.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/commands/command_table.h"
#include "editor/db/extent.h"
#include "editor/ui/cell_dialogs.h"
#include "editor/ui/command_dialogs.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/overlays.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr int kMaxDepth = 15;
constexpr std::int32_t kMaxDotSpacing = 2097152;

void End(edui::Editor& ed) { edui::ShowStatus(ed, ed.proto.now.statusMask); }

int CurrentRow(edui::Editor& ed) { return ed.proto.now.current; }

db::RankView& CurrentRankView(edui::Editor& ed) {
  return ed.db.settings.rankViews[std::size_t(std::clamp(ed.db.current.rank, 0, db::kRanks))];
}

// The view fits a rectangle with a tenth to spare.
void FitTo(edui::Editor& ed, const db::Extent& extent) {
  const db::ViewFit fit = db::FitViewToExtent(extent, ed.view.ratio);
  ed.view.width = fit.width;
  ed.view.centreX = fit.centreX;
  ed.view.centreY = fit.centreY;
}

// A saved window comes from the settings file: a value there that is no number at all stands for
// the view as it is, so the view never takes one.
db::SavedWindow& UsableSlot(edui::Editor& ed, int n) {
  db::SavedWindow& slot = ed.db.settings.savedWindows[std::size_t(std::clamp(n, 0, db::kSavedWindows - 1))];
  if (!std::isfinite(slot.width)) slot.width = ed.view.width;
  if (!std::isfinite(slot.centreX)) slot.centreX = ed.view.centreX;
  if (!std::isfinite(slot.centreY)) slot.centreY = ed.view.centreY;
  return slot;
}

}  // namespace

void SaveView(edui::Editor& ed, int n) {
  db::SavedWindow& slot = ed.db.settings.savedWindows[std::size_t(std::clamp(n, 0, db::kSavedWindows - 1))];
  slot.width = ed.view.width;
  slot.centreX = ed.view.centreX;
  slot.centreY = ed.view.centreY;
}

void ClearOffWindowMarks(edui::Editor& ed) {
  db::ObjectStore& st = ed.db.store;
  for (int n = 1; n <= st.boxCount; ++n) st.SetBox(st.GetBox(0, n) & ~db::kOffWindowBit, 0, n);
  for (int n = 1; n <= st.pathCount; ++n) st.SetPath(st.GetPath(0, n) & ~db::kOffWindowBit, 0, n);
}

void ShowNewView(edui::Editor& ed) {
  draw::NormalizeView(ed.view, ed.db.settings);
  ClearOffWindowMarks(ed);
  // A full picture again: the layer-by-layer commands set single layers for their own redraws only.
  ed.draw.singleLayer = false;
  edui::RequestRedraw(ed, 1);
  edui::RequestRedraw(ed, 2);
}

int NextGridIndex(const std::array<std::int32_t, 11>& grids, int current) {
  current = std::clamp(current, 0, 10);
  for (int step = 1; step <= 10; ++step) {
    int i = current + step;
    if (i > 10) i -= 10;
    if (grids[std::size_t(i)] >= 1) return i;
  }
  return current;  // no usable entry: stay rather than search for ever
}

void PanCommand(edui::Editor& ed) {
  SaveView(ed, 0);
  const double f = edui::IsCtrlDown() ? 0.05 : 0.5;
  draw::ViewState& v = ed.view;
  switch (CurrentRow(ed)) {
    case kRight:
      v.centreX += f * v.width;
      break;
    case kLeft:
      v.centreX -= f * v.width;
      break;
    case kUp:
      v.centreY += f * v.width * v.ratio;
      break;
    case kDn:
      v.centreY -= f * v.width * v.ratio;
      break;
    default:
      break;
  }
  ShowNewView(ed);
  End(ed);
}

void FitCommand(edui::Editor& ed) {
  SaveView(ed, 0);
  db::ComputeCellExtent(ed.db);
  FitTo(ed, ed.db.extent);
  ShowNewView(ed);
  End(ed);
}

void CntrCommand(edui::Editor& ed) {
  auto& s = ed.proto.now;
  if (ed.proto.escPressed) {
    End(ed);
    return;
  }
  if (s.pointState == 0) {
    edui::SetStatusField(ed, edui::kFieldCommand, " Cntr Pt.");
    s.pointState = 1;
    return;
  }
  SaveView(ed, 0);
  ed.view.centreX = s.slots[1].x;
  ed.view.centreY = s.slots[1].y;
  ShowNewView(ed);
  End(ed);
}

void XpndCommand(edui::Editor& ed) {
  SaveView(ed, 0);
  ed.view.width *= edui::IsCtrlDown() ? 1.1 : 2.0;
  ShowNewView(ed);
  End(ed);
}

void ZoomCommand(edui::Editor& ed) {
  auto& s = ed.proto.now;
  if (ed.proto.escPressed) {
    edui::ShowRubberBand(ed, 0);
    s.bandMode = edui::kBandNone;
    End(ed);
    return;
  }
  switch (s.pointState) {
    case 0:
      edui::SetModeBits(ed, draw::kModeSnap, 0);
      edui::PointPrompt(ed, 0);
      s.pointState = 1;
      return;
    case 1:
      s.bandMode = edui::kBandRect;
      edui::PointPrompt(ed, 1);
      s.pointState = 2;
      return;
    default: {
      SaveView(ed, 0);
      db::Extent e{s.slots[1].x, s.slots[1].y, s.slots[2].x, s.slots[2].y};
      if (e.left > e.right) std::swap(e.left, e.right);
      if (e.bottom > e.top) std::swap(e.bottom, e.top);
      FitTo(ed, e);
      edui::ShowRubberBand(ed, 0);
      s.bandMode = edui::kBandNone;
      ShowNewView(ed);
      End(ed);
      return;
    }
  }
}

void DrawCommand(edui::Editor& ed) {
  ShowNewView(ed);
  End(ed);
}

void LastCommand(edui::Editor& ed) {
  db::SavedWindow& last = UsableSlot(ed, 0);
  std::swap(ed.view.width, last.width);
  std::swap(ed.view.centreX, last.centreX);
  std::swap(ed.view.centreY, last.centreY);
  ShowNewView(ed);
  End(ed);
}

namespace {

int WindowNumber(edui::Editor& ed) { return std::clamp(ed.viewCommands.windowNumber, 1, 9); }

}  // namespace

void SWinCommand(edui::Editor& ed) {
  if (edui::RunWindowNumberDialog(ed)) SaveView(ed, WindowNumber(ed));
  End(ed);
}

void RWinCommand(edui::Editor& ed) {
  if (edui::RunWindowNumberDialog(ed)) {
    const db::SavedWindow slot = UsableSlot(ed, WindowNumber(ed));
    SaveView(ed, 0);
    ed.view.width = slot.width;
    ed.view.centreX = slot.centreX;
    ed.view.centreY = slot.centreY;
    ShowNewView(ed);
  }
  End(ed);
}

void LayerStepCommand(edui::Editor& ed) {
  auto& vc = ed.viewCommands;
  const bool up = CurrentRow(ed) == kSDrw;
  int& running = up ? vc.upRunning : vc.downRunning;
  if (!running) {
    running = 1;
    vc.layer = up ? 0 : db::kLayerCount + 1;
    edui::RequestRedraw(ed, 1);
  }
  // Esc is looked at before a layer is taken, so no re-entry is left waiting once the chain ends.
  const bool stop = edui::PollEscape(ed);
  vc.layer += up ? 1 : -1;
  if (!stop && vc.layer >= 1 && vc.layer <= db::kLayerCount) {
    if (draw::IsLayerInView(ed.masks, vc.layer)) {
      ed.draw.singleLayer = true;
      ed.draw.chosenLayer = vc.layer;
      edui::RequestRedraw(ed, 3);
    } else {
      edui::PostToMain(ed, edui::wm::Reenter);
    }
    return;
  }
  ed.draw.singleLayer = false;
  ed.draw.abort = false;
  if (ed.view.dotShown) draw::DrawGrid(ed.draw, ed.view.dotGrid);
  running = 0;
  End(ed);
}

void LDrwCommand(edui::Editor& ed) {
  auto& vc = ed.viewCommands;
  const int layer = edui::ChooseLayerNumber(ed, vc.lastSingleLayer);
  if (layer && !ed.proto.escPressed) {
    vc.lastSingleLayer = layer;
    edui::RequestRedraw(ed, 1);
    ed.draw.singleLayer = true;
    ed.draw.chosenLayer = layer;
    edui::RequestRedraw(ed, 2);
  }
  End(ed);
}

void DpthCommand(edui::Editor& ed) {
  if (edui::RunDepthDialog(ed)) ed.db.settings.depth = std::clamp(ed.db.settings.depth, 0, kMaxDepth);
  End(ed);
}

void GridCommand(edui::Editor& ed) {
  ed.view.dotShown = !ed.view.dotShown;
  // Drawn by XOR: the same call draws the grid or takes it away.
  draw::DrawGrid(ed.draw, ed.view.dotGrid);
  End(ed);
}

void GridStepCommand(edui::Editor& ed) {
  const bool dot = CurrentRow(ed) == kDGrd;
  auto& grids = dot ? ed.db.settings.dotGrids : ed.db.settings.workGrids;
  int& index = dot ? ed.view.dotGrid : ed.view.workGrid;
  const int old = index;
  if (edui::IsCtrlDown()) {
    const double scale = ed.db.settings.scale;
    if (edui::RunGridSizeDialog(ed, grids[0] / scale)) {
      const double v = std::trunc(edui::TextToDouble(ed.answer) * scale);
      grids[0] = std::int32_t(std::clamp(v, -2147483647.0, 2147483647.0));
      index = 0;
    }
  } else {
    index = NextGridIndex(grids, index);
  }
  const std::int32_t spacing = grids[std::size_t(std::clamp(index, 0, 10))];
  if (dot && index != old && ed.view.dotShown && spacing >= 1 && spacing <= kMaxDotSpacing) {
    draw::DrawGrid(ed.draw, old);
    draw::DrawGrid(ed.draw, index);
  }
  End(ed);
}

void LayerSetCommand(edui::Editor& ed) {
  const int which = CurrentRow(ed) == kView ? 0 : 1;
  const draw::LayerSet set = which == 0 ? draw::LayerSet::View : draw::LayerSet::Open;
  db::RankView& rv = CurrentRankView(ed);
  const int rank = ed.db.current.rank;
  const auto rebuild = [&] {
    if (which == 0)
      draw::BuildViewMask(ed.masks, ed.db.form, ed.db.settings, rank);
    else
      draw::BuildOpenMask(ed.masks, ed.db.form, ed.db.settings, rank);
  };
  if (ed.db.settings.layerSelectionByTable) {
    if (edui::LayerTableDialog(ed, which)) {
      (which == 0 ? rv.viewMask : rv.openMask) = draw::LayerTableMask(ed.db.form, set);
      rebuild();
    }
  } else if (edui::EditLayerList(ed, which)) {
    std::string& list = which == 0 ? rv.viewList : rv.openList;
    list = ed.layerAnswer.substr(0, db::kLayerListLength);
    if (!list.empty()) rebuild();
  }
  End(ed);
}

}  // namespace edcmd
