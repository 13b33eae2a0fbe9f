#include "editor/commands/cell_commands.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/commands/edit_common.h"
#include "editor/commands/move_commands.h"
#include "editor/db/cell_files.h"
#include "editor/db/collection.h"
#include "editor/db/current_cell.h"
#include "editor/db/helpers.h"
#include "editor/db/orientation.h"
#include "editor/db/store_compaction.h"
#include "editor/db/store_edits.h"
#include "editor/tlc/run.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr std::string_view kScratchCell = "MAKETEMP";
constexpr int kNameMessage = 1, kSmashMessage = 9, kWriteMessage = 11;
constexpr int kMaxSteps = 1024;

struct Counts {
  int boxes, paths, vertices, refs;
};
Counts CountsOf(const db::ObjectStore& s) { return {s.boxCount, s.pathCount, s.vertexCount, s.refCount[0]}; }
void Restore(db::ObjectStore& s, const Counts& c) {
  s.boxCount = c.boxes;
  s.pathCount = c.paths;
  s.vertexCount = c.vertices;
  s.refCount[0] = c.refs;
}

std::int32_t WithOrientation(std::int32_t flags, int code) {
  return (flags & ~db::kOrientationMask) | (code << db::kOrientationShift);
}

// The scratch row describes what Make wrote for the copy.
void FillScratchRow(edui::Editor& ed, int rank) {
  db::ObjectStore& s = ed.db.store;
  db::CellIndexEntry& row = ed.db.index.rows[0];
  const db::CellIndexEntry& open = ed.db.index.rows[std::size_t(std::clamp(ed.db.current.row, 0, db::kMaxIndexCount))];
  row = db::CellIndexEntry{};
  row.name = std::string(kScratchCell);
  row.flags = rank;
  row.left = open.left;
  row.bottom = open.bottom;
  row.right = open.right;
  row.top = open.top;
  for (int n = 1; n <= s.boxCount; ++n) row.boxCount += (s.GetBox(0, n) & db::kEdgesAll) != 0;
  for (int p = 1; p <= s.pathCount; ++p) {
    if (!(s.GetPath(0, p) & db::kPathSelectedBit)) continue;
    ++row.pathCount;
    row.vertexCount += int(Chain(s, p).size());
  }
  if (rank > 1)
    for (int n = 1; n <= s.refCount[0]; ++n) row.refCount += (s.GetCellRef(0, 0, n) & db::kRefSelectedBit) != 0;
}

}  // namespace

void MakeCommand(edui::Editor& ed) {
  if (!edui::RunMakeDialog(ed)) {
    EndCommand(ed);
    return;
  }
  const std::string name = tlc::UpperCase(ed.answer);
  // The scratch cell and the reserved names are no cell a user can make.
  if (db::CheckCellName(name, 0)) {
    edui::ShowMessage(ed, kNameMessage);
    EndCommand(ed);
    return;
  }
  db::FindCell(ed.db.index, name);
  db::ObjectStore& s = ed.db.store;
  int rank = 1;
  for (int n = 1; n <= s.refCount[0]; ++n) {
    const std::int32_t word = s.GetCellRef(0, 0, n);
    const int row = db::RefRowOf(word);
    if ((word & db::kRefSelectedBit) && ed.db.index.ValidRow(row))
      rank = std::max(rank, ed.db.index.rows[std::size_t(row)].Rank() + 1);
  }
  if (db::SaveSelectedObjects(ed.db, kScratchCell) != 0 || (rank > 1 && db::SaveSelectedRefs(ed.db, kScratchCell) != 0)) {
    edui::ShowMessage(ed, kWriteMessage);
    EndCommand(ed);
    return;
  }
  FillScratchRow(ed, rank);
  const std::string open = ed.db.current.name;
  db::SaveCellState(ed.db, db::kSaveCellFiles);
  tell::Talk quiet;
  db::CopyOrAppendCell(ed.db, quiet, kScratchCell, name, true);
  db::ReadCellIndex(ed.db.index);
  db::LoadCell(ed.db, open);
  edui::RequestRedraw(ed, 1);
  edui::RequestRedraw(ed, 2);
  EndCommand(ed);
}

int SmashInstance(edui::Editor& ed, int n) {
  db::ObjectStore& s = ed.db.store;
  const db::CellRefRecord ref = s.GetCellRefRecord(0, n);
  const int cell = db::RefRowOf(ref.flags);
  if (!ed.db.index.ValidRow(cell)) return 0;
  const int o = db::OrientationOf(ref.flags);
  const Counts before = CountsOf(s);
  if (db::AppendObjectsOfCell(ed.db, cell) != 0) {
    Restore(s, before);
    return 0;
  }
  db::RenumberAppendedRecords(s, before.paths, before.vertices);
  const auto place = [&](std::int32_t& x, std::int32_t& y) {
    std::int64_t px = x, py = y;
    db::OrientPoint(o, px, py);
    x = ClampCoordinate(px + ref.x);
    y = ClampCoordinate(py + ref.y);
  };
  for (int b = before.boxes + 1; b <= s.boxCount; ++b) {
    db::BoxRecord r = s.GetBoxRecord(b);
    place(r.left, r.bottom);
    place(r.right, r.top);
    r.flags &= db::kBoxFileBits;
    NormalizeBox(r);
    s.PutBoxRecord(b, r);
  }
  for (int v = before.vertices + 1; v <= s.vertexCount; ++v) {
    db::VertexRecord r = s.GetVertexRecord(v);
    if (r.flags & db::kCharVertexBit) continue;
    place(r.x, r.y);
    s.PutVertexRecord(v, {r.flags & ~db::kVertexMemoryBits, r.x, r.y, r.next});
  }
  for (int p = before.paths + 1; p <= s.pathCount; ++p) {
    std::int32_t flags = s.GetPath(0, p) & db::kPathFileBits;
    if (db::IsText(flags)) flags = WithOrientation(flags, db::ComposeOrientation(o, db::OrientationOf(flags)));
    s.SetPath(flags, 0, p);
  }
  if (ed.db.index.rows[std::size_t(cell)].Rank() > 1 && ed.db.index.rows[std::size_t(cell)].refCount > 0) {
    if (db::AppendRefsOfCell(ed.db, cell) != 0) {
      Restore(s, before);
      return 0;
    }
    for (int r = before.refs + 1; r <= s.refCount[0]; ++r) {
      db::CellRefRecord c = s.GetCellRefRecord(0, r);
      place(c.x, c.y);
      c.flags = WithOrientation(c.flags & db::kRefFileBits, db::ComposeOrientation(o, db::OrientationOf(c.flags)));
      s.PutCellRefRecord(0, r, c);
    }
  }
  return 1;
}

void SmshCommand(edui::Editor& ed) {
  if (!edui::RunSmshDialog(ed)) {
    EndCommand(ed);
    return;
  }
  TakeUndoBackup(ed);
  db::ObjectStore& s = ed.db.store;
  const int paths = s.pathCount;
  std::vector<char> removePath(std::size_t(paths) + 1, 0);
  bool anyText = false;
  for (int p = paths; p >= 1; --p) {
    const std::int32_t flags = s.GetPath(0, p);
    if (!(flags & db::kPathSelectedBit) || !db::IsText(flags)) continue;
    const Counts before = CountsOf(s);
    draw::Engine& e = ed.draw;
    e.smashing = true;
    e.smashLayerWord = flags & db::kLayerMask;
    e.smashStopped = 0;
    draw::DrawTextObject(e, p, 0);
    e.smashing = false;
    // A text that ran into a limit keeps itself and none of its strokes.
    if (e.smashStopped) {
      Restore(s, before);
      continue;
    }
    removePath[std::size_t(p)] = 1;
    anyText = true;
  }
  const int boxes = s.boxCount;
  std::vector<char> removeBox(std::size_t(boxes) + 1, 0);
  bool anyBox = false;
  bool full = false;
  for (int n = boxes; n >= 1 && !full; --n) {
    const db::BoxRecord b = s.GetBoxRecord(n);
    if ((b.flags & db::kEdgesAll) != db::kEdgesAll) continue;
    if ((full = s.CheckPathLimit() || NoRoomForVertices(s, 5))) break;
    const int p = ++s.pathCount;
    const int first = s.vertexCount + 1;
    const std::int32_t corners[5][2] = {{b.left, b.bottom}, {b.right, b.bottom}, {b.right, b.top}, {b.left, b.top}, {b.left, b.bottom}};
    for (int k = 0; k < 5; ++k) s.PutVertexRecord(++s.vertexCount, {p, corners[k][0], corners[k][1], k < 4 ? first + k + 1 : 0});
    s.PutPathRecord(p, {b.flags & db::kLayerMask, 0, first});
    removeBox[std::size_t(n)] = 1;
    anyBox = true;
  }
  if (anyBox) db::RemoveMarkedBoxes(s, removeBox);
  if (anyText) {
    db::RemoveMarkedPaths(s, removePath);
    db::CompactVertices(s);
  }
  if (ed.db.current.rank >= 2) {
    for (int n = s.refCount[0]; n >= 1; --n) {
      if (!(s.GetCellRef(0, 0, n) & db::kRefSelectedBit)) continue;
      if (SmashInstance(ed, n)) db::RemoveCellRef(s, n);
      else edui::ShowMessage(ed, kSmashMessage);
    }
  }
  for (int p = 1; p <= s.pathCount; ++p) s.SetPath(s.GetPath(0, p) & ~db::kPathSelectedBit, 0, p);
  for (int v = 1; v <= s.vertexCount; ++v) s.SetVertex(s.GetVertex(0, v) & ~db::kVertexSelectedBit, 0, v);
  edui::RequestRedraw(ed, 1);
  edui::RequestRedraw(ed, 2);
  EndCommand(ed);
}

void StepCommand(edui::Editor& ed) {
  if (!edui::RunStepDialog(ed)) {
    EndCommand(ed);
    return;
  }
  edui::EditState& e = ed.edit;
  const int nx = std::clamp(std::abs(e.stepColumns), 1, kMaxSteps);
  const int ny = std::clamp(std::abs(e.stepRows), 1, kMaxSteps);
  const std::int64_t dxLimit = db::kCoordinateLimit / nx, dyLimit = db::kCoordinateLimit / ny;
  const std::int64_t dx = std::clamp<std::int64_t>(e.stepDx, -dxLimit, dxLimit);
  const std::int64_t dy = std::clamp<std::int64_t>(e.stepDy, -dyLimit, dyLimit);
  edui::SetStatusField(ed, edui::kFieldInfo, "Stepping (ESC=Abort) ...");
  edui::ShowPercent(ed, 0, 1);
  CopyFrom from;
  int done = 1;
  bool going = true;
  for (int r = 1; r <= ny && going; ++r) {
    for (int c = 1; c < nx && going; ++c) {
      // A refused copy ends the array: the selection did not move on.
      going = CopySelection(ed, r % 2 ? dx : -dx, 0, from, &from);
      edui::ShowPercent(ed, ++done, nx * ny);
      if (going && edui::PollEscape(ed)) going = false;
    }
    if (going && r < ny) {
      going = CopySelection(ed, 0, dy, from, &from);
      edui::ShowPercent(ed, ++done, nx * ny);
    }
  }
  EndCommand(ed);
}

}  // namespace edcmd
