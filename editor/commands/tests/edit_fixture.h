// The editor over the real command table on cells written for the test, with helpers to build paths
// and texts in the store, run typed lines with dialog answers, and read back what a save wrote.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/commands/command_line.h"
#include "editor/commands/command_table.h"
#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/db/store_compaction.h"
#include "editor/ui/draw/layer_masks.h"
#include "editor/ui/main_window.h"
#include "editor/ui/tests/editor_fixture.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"

namespace edtest {

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;

class EditTest : public EditorTest {
 protected:
  // Writes the cells, opens `open` and shows it whole; typed numbers are database units.
  void StartWith(const std::vector<CellSpec>& cells, const std::string& open, double scale = 1) {
    WriteCells(cells);
    Start(edcmd::CommandTable(), open);
    E().db.settings.scale = scale;
    UseLayerLists("1-64", "1-64");
    Run("Fit");
  }
  // Layers chosen by the rank's lists rather than by the layer table.
  void UseLayerLists(const std::string& view, const std::string& open) {
    db::Settings& st = E().db.settings;
    st.layerSelectionByTable = 0;
    db::RankView& rv = st.rankViews[std::size_t(E().db.current.rank)];
    rv.viewList = view;
    rv.openList = open;
    draw::BuildViewMask(E().masks, E().db.form, st, E().db.current.rank);
    draw::BuildOpenMask(E().masks, E().db.form, st, E().db.current.rank);
    draw::CombineLayerMasks(E().masks);
  }
  db::ObjectStore& S() { return E().db.store; }

  // Runs a typed line; `answers` are queued for the dialogs it opens.
  int Run(const std::string& line, const std::string& answers = "") {
    if (!answers.empty()) Script(answers);
    E().commandLine = line;
    const int r = edcmd::ExecuteCommandLine(E());
    if (!answers.empty()) EndScript();
    Drain();
    return r;
  }
  // Starts a command by its row, as a button does.
  void Begin(int row, const std::string& answers = "") {
    if (!answers.empty()) Script(answers);
    Send(edui::wm::StartCommand, ui::WParam(row));
    if (!answers.empty()) EndScript();
    Drain();
  }
  void HoldCtrl(bool on) {
    if (on) ui::PressKey(ui::key::Control, ui::mod::Control, 0);
    else ui::ReleaseKey(ui::key::Control, 0);
  }
  void HoldEsc(bool on) {
    if (on) ui::PressKey(ui::key::Escape, 0, 0);
    else ui::ReleaseKey(ui::key::Escape, 0);
  }

  // A path (width 0: a polygon) appended to the store; `selected` marks vertices by chain position.
  int AddPath(int layer, std::int32_t width, const Points& pts, const std::vector<int>& selected = {}) {
    db::ObjectStore& s = S();
    const int p = ++s.pathCount;
    const int first = s.vertexCount + 1;
    bool any = false;
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const bool sel = std::find(selected.begin(), selected.end(), int(i)) != selected.end();
      any = any || sel;
      const int v = ++s.vertexCount;
      s.PutVertexRecord(v, {p | (sel ? db::kVertexSelectedBit : 0), pts[i].first, pts[i].second,
                            i + 1 < pts.size() ? v + 1 : 0});
    }
    s.PutPathRecord(p, {layer | (any ? db::kPathSelectedBit : 0), width, pts.empty() ? 0 : first});
    return p;
  }
  int AddBox(int layer, std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t, std::int32_t edges = 0) {
    db::ObjectStore& s = S();
    const int n = ++s.boxCount;
    s.PutBoxRecord(n, {layer | edges, l, b, r, t});
    return n;
  }
  Points PathPoints(int p) {
    Points pts;
    for (int v : db::ChainOf(S(), p)) pts.push_back({S().GetVertex(1, v), S().GetVertex(2, v)});
    return pts;
  }
  std::vector<int> SelectedPositions(int p) {
    std::vector<int> out;
    int i = 0;
    for (int v : db::ChainOf(S(), p)) {
      if (S().GetVertex(0, v) & db::kVertexSelectedBit) out.push_back(i);
      ++i;
    }
    return out;
  }
  db::BoxRecord Box(int n) { return S().GetBoxRecord(n); }
  static std::vector<std::int32_t> Corners(const db::BoxRecord& b) { return {b.left, b.bottom, b.right, b.top}; }

  // A path's bit 16 is the OR of its vertices' bit 28, and vertices belong to their path.
  void ExpectSelectionConsistent() {
    for (int p = 1; p <= S().pathCount; ++p) {
      bool any = false;
      for (int v : db::ChainOf(S(), p)) {
        EXPECT_EQ(S().GetVertex(0, v) & db::kVertexOwnerMask, p) << "vertex " << v;
        any = any || (S().GetVertex(0, v) & db::kVertexSelectedBit);
      }
      EXPECT_EQ((S().GetPath(0, p) & db::kPathSelectedBit) != 0, any) << "path " << p;
    }
  }

  // Saves the open cell (the Save menu item) and reads its files back into a store of their own.
  std::unique_ptr<db::Database> Saved(const std::string& cell) {
    Send(ui::msg::Command, ui::MakeWParam(edui::kMenuSave, 0));
    Drain();
    auto d = std::make_unique<db::Database>();
    EXPECT_EQ(db::ReadCellIndex(d->index), 1);
    EXPECT_EQ(db::LoadObjectsByName(*d, cell), 0) << cell;
    if (db::LoadRefsByName(*d, cell) != 0) d->store.refCount[0] = 0;
    return d;
  }
};

}  // namespace edtest
