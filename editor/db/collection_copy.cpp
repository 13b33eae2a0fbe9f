// The commands that bring geometry into a cell or change it: Attach, Import, COPY/APPEND, Scale and
// ReSize.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "editor/db/cell_files.h"
#include "editor/db/collection.h"
#include "editor/db/collection_internal.h"
#include "editor/db/current_cell.h"
#include "editor/db/helpers.h"
#include "editor/db/hierarchy.h"
#include "editor/db/message_table.h"
#include "editor/db/store_edits.h"
#include "platform/os/path.h"

namespace db {

using namespace collection;

namespace {

CellIndexEntry& RowOf(Database& d, int row) { return d.index.rows[static_cast<std::size_t>(row)]; }

// A new row is taken only while the collection has room; the count rule lives here, where cells are
// made, so a full collection can still open, rename and delete its cells.
bool RoomForCell(Database& d) {
  if (d.index.count < kMaxCells) return true;
  TellMessage(d.talk, 2);
  return false;
}

// The open cell's files and row for `row`, files first: a row is only written once its cell can be
// opened. A new row (`isNew`) is taken back, and its files removed, when anything fails.
bool SaveCellAndRow(Database& d, const std::string& name, int row, int rank, bool isNew) {
  const CellIndexEntry before = RowOf(d, row);
  const int countBefore = d.index.count;
  if (isNew) RowOf(d, row) = CellIndexEntry();
  RowOf(d, row).name = name;
  RowOf(d, row).flags = rank;
  if (isNew) d.index.count = row;
  auto takeBack = [&] {
    RowOf(d, row) = before;
    d.index.count = countBefore;
    if (!isNew) return;
    for (const std::string& f : {ObjectFile(name), RefFile(name)})
      if (os::FileExists(f)) os::RemoveFile(f);
  };
  if (WriteCurrentCellFiles(d, row, rank) != 0) {
    takeBack();
    return false;
  }
  if (!WriteCellIndex(d, name, row, rank)) {
    takeBack();
    TellMessage(d.talk, 11);
    return false;
  }
  return true;
}

}  // namespace

int AttachCell(Database& d, tell::Talk& t, std::string_view typed) {
  if (!PoolCollectionPresent(d)) return 0;
  const std::string name = DialogName(typed);
  if (!NameUsable(d, name)) return 0;
  const bool present = FindCell(d.index, name) && d.index.foundRow >= 1;
  int row = d.index.foundRow;
  if (!present) {
    if (!RoomForCell(d)) return 0;
    row = d.index.count + 1;
  } else if (!Sure(t, "Attach", "Cell Exists ... Continue ?")) {
    return 0;
  }

  // The pool's own index, row by row, names compared in capitals.
  auto pool = std::make_unique<CellIndex>();
  if (ReadCellIndexFile(*pool, d.form.poolFolder + std::string(kCellIndexFile)) != 1) {
    TellMessage(d.talk, 18);
    return 0;
  }
  int from = 0;
  for (int r = 1; r <= pool->count && from == 0; ++r)
    if (pool->rows[static_cast<std::size_t>(r)].name == name) from = r;
  // Only a local rank-1 cell of the pool can be attached: the pool cell's own references would never
  // be read from here.
  if (from == 0 || (pool->rows[static_cast<std::size_t>(from)].flags & kIndexFileFlags) != 1) {
    TellMessage(d.talk, 20);
    return 0;
  }

  ShowStage(t, kStageAttaching);
  const CellIndexEntry before = RowOf(d, row);
  const int countBefore = d.index.count;
  if (!present) d.index.count = row;
  RowOf(d, row) = pool->rows[static_cast<std::size_t>(from)];
  RowOf(d, row).flags = kAttachedBit | 1;
  if (!WriteIndexOrTell(d)) {
    RowOf(d, row) = before;
    d.index.count = countBefore;
    return 0;
  }
  if (d.current.name == name) ClearCurrentCell(d);
  ShowStage(t, kStageDone);
  return 1;
}

int ImportCell(Database& d, tell::Talk& t, std::string_view sourceTyped, std::string_view targetTyped) {
  if (!PoolCollectionPresent(d)) return 0;
  const std::string source = DialogName(sourceTyped);
  const std::string target = DialogName(targetTyped);
  if (!NameUsable(d, source)) return 0;
  if (!FindCell(d.index, source) || d.index.foundRow < 1) {
    TellMessage(d.talk, 4);
    return 0;
  }
  const int from = d.index.foundRow;
  if (!RowOf(d, from).Attached()) {
    TellMessage(d.talk, 20);
    return 0;
  }
  if (!NameUsable(d, target)) return 0;
  int row = 0;
  const bool isNew = !FindCell(d.index, target);
  if (isNew) {
    if (!RoomForCell(d)) return 0;
    row = d.index.count + 1;
  } else if (d.index.foundRow != from) {
    TellMessage(d.talk, 3);
    return 0;
  } else {
    row = from;
  }

  ShowStage(t, kStageImporting);
  ResetWorkArea(d);
  if (const int loaded = LoadObjectsOfCell(d, from); loaded != 0) {
    if (loaded > 0) TellMessage(d.talk, 6);
    return 0;
  }
  d.store.refCount[0] = 0;
  if (!SaveCellAndRow(d, target, row, 1, isNew)) return 0;
  ShowStage(t, kStageDone);
  return 1;
}

int CopyOrAppendCell(Database& d, tell::Talk& t, std::string_view sourceTyped,
                     std::string_view targetTyped, bool fromMake) {
  const std::string source = DialogName(sourceTyped);
  const std::string target = DialogName(targetTyped);
  if (!fromMake && !NameUsable(d, source)) return 0;
  if (!NameUsable(d, target)) return 0;
  int from = 0;
  if (!fromMake) {
    if (!FindCell(d.index, source) || d.index.foundRow < 1) {
      TellMessage(d.talk, 4);
      return 0;
    }
    from = d.index.foundRow;
  }
  const bool append = FindCell(d.index, target) && d.index.foundRow >= 1;
  int row = d.index.foundRow;
  if (RowOf(d, from).Attached() || (append && RowOf(d, row).Attached())) {
    TellMessage(d.talk, 21);
    return 0;
  }

  ResetWorkArea(d);
  int rank = append ? RowOf(d, row).Rank() : RowOf(d, from).Rank();
  if (!append) {
    if (!fromMake) ShowStage(t, kStageCopying);
    if (!RoomForCell(d)) return 0;
    row = d.index.count + 1;
  } else {
    if (!fromMake) ShowStage(t, kStageAppending);
    if (const int loaded = LoadObjectsOfCell(d, row); loaded != 0) {
      if (loaded > 0) TellMessage(d.talk, 6);
      return 0;
    }
  }

  const int pathsBefore = d.store.pathCount;
  const int verticesBefore = d.store.vertexCount;
  if (const int appended = AppendObjectsOfCell(d, from); appended != 0) {
    if (appended > 0) TellMessage(d.talk, 6);
    return 0;
  }
  RenumberAppendedRecords(d.store, pathsBefore, verticesBefore);
  if (append) MarkAppendedObjects(d);

  if (rank > 1) {
    if (append && !LoadRefsOrNone(d, row)) return 0;
    const int refsBefore = d.store.refCount[0];
    if (RowOf(d, from).refCount > 0 && AppendRefsOfCell(d, from) != 0) {
      TellMessage(d.talk, 7);
      return 0;
    }
    if (append) MarkAppendedRefs(d.store, refsBefore);
    for (int i = refsBefore + 1; i <= d.store.refCount[0];) {
      if (!RankAllowsPlacement(rank, RowOf(d, RefRowOf(d.store.GetCellRef(0, 0, i))).Rank())) {
        RemoveCellRef(d.store, i);
      } else {
        ++i;
      }
    }
  }
  if (!SaveCellAndRow(d, target, row, rank, !append)) return 0;
  if (!fromMake) ShowStage(t, kStageDone);
  return 1;
}

std::string MaxSizeText(const Settings& s) {
  char text[96];
  std::snprintf(text, sizeof text, "Max. Size will be %g %s", 16777216.0 / s.scale, s.unitName.c_str());
  return text;
}

int SetCollectionScale(Database& d, std::string_view unitName, double value, std::string* maxSize) {
  const double scale = std::fabs(value);
  // What every program would read back as damaged is never written.
  if (!UsableScale(scale)) return 0;
  d.settings.scale = scale;
  d.settings.unitName = std::string(unitName.substr(0, kUnitNameLength));
  if (maxSize) *maxSize = MaxSizeText(d.settings);
  if (!WriteSettingsFile(d.settings)) {
    TellMessage(d.talk, 11);
    return 0;
  }
  return 1;
}

namespace {

// Scales one cell's files and its outline by f. An attached cell is left alone; a cell whose files
// cannot be read whole is left as it is, with the message.
void ResizeCell(Database& d, int row, double f) {
  CellIndexEntry& e = RowOf(d, row);
  if (e.Attached()) return;
  ResetWorkArea(d);
  if (LoadObjectsOfCell(d, row) != 0) {
    TellMessage(d.talk, 6);
    return;
  }
  const int rank = e.Rank();
  // Both tables are read before either is written, so a cell is scaled whole or not at all.
  if (rank > 1 && !LoadRefsOrNone(d, row)) return;
  auto scaled = [f](std::int32_t v) { return RoundToCoordinate(v * f); };
  ObjectStore& s = d.store;
  for (int b = 1; b <= s.boxCount; ++b) {
    std::int32_t* r = s.boxes.Slot(b);
    for (int i = 1; i <= 4; ++i) r[i] = scaled(r[i]);
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    std::int32_t* r = s.paths.Slot(p);
    r[1] = IsText(r[0]) ? RoundTextSize(std::trunc(r[1] * f)) : scaled(r[1]);
  }
  for (int v = 1; v <= s.vertexCount; ++v) {
    std::int32_t* r = s.vertices.Slot(v);
    if (r[0] <= 0) continue;  // character vertices carry text
    r[1] = scaled(r[1]);
    r[2] = scaled(r[2]);
  }
  if (SaveObjectsOfCell(d, row) != 0) {
    TellMessage(d.talk, 11);
    return;
  }
  if (rank > 1) {
    for (int i = 1; i <= s.refCount[0]; ++i) {
      std::int32_t* r = s.refs[0].Slot(i);
      r[1] = scaled(r[1]);
      r[2] = scaled(r[2]);
    }
    if (SaveRefsOfCell(d, row) != 0) {
      TellMessage(d.talk, 11);
      return;
    }
  }
  e.left = scaled(e.left);
  e.bottom = scaled(e.bottom);
  e.right = scaled(e.right);
  e.top = scaled(e.top);
}

}  // namespace

int ResizeCells(Database& d, tell::Talk& t, std::string_view typed, double multiplier) {
  const std::string name = DialogName(typed);
  const bool all = name == "*";
  if (!all && !NameUsable(d, name)) return 0;
  const double f = std::isnan(multiplier) ? 0.1 : std::clamp(multiplier, 0.1, 10.0);
  if (!Sure(t, "ReSize", "You Sure ?")) return 0;
  ShowStage(t, kStageResizing);
  if (all) {
    for (int r = 1; r <= d.index.count; ++r) ResizeCell(d, r, f);
  } else {
    if (!FindCell(d.index, name) || d.index.foundRow < 1) {
      TellMessage(d.talk, 4);
      return 0;
    }
    ResizeCell(d, d.index.foundRow, f);
  }
  ResetWorkArea(d);
  if (!WriteIndexOrTell(d)) return 0;
  ShowStage(t, kStageDone);
  return 1;
}

}  // namespace db
