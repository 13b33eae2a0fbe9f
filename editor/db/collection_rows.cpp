// The commands that change rows of the cell index, so the references of every CL6 must follow:
// Kill, ReName, CellSort and ReRank.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/collection.h"
#include "editor/db/collection_internal.h"
#include "editor/db/current_cell.h"
#include "editor/db/file_names.h"
#include "editor/db/helpers.h"
#include "editor/db/message_table.h"
#include "platform/os/path.h"

namespace db {

using namespace collection;

namespace {

const CellIndexEntry& RowOf(const Database& d, int row) {
  return d.index.rows[static_cast<std::size_t>(row)];
}
CellIndexEntry& RowOf(Database& d, int row) { return d.index.rows[static_cast<std::size_t>(row)]; }

// Rows 1..count only: row 0 is Make's scratch cell, never a cell of the collection.
int FindCollectionRow(Database& d, std::string_view name) {
  return FindCell(d.index, name) && d.index.foundRow >= 1 ? d.index.foundRow : 0;
}

// A cell whose CL6 can hold references: not attached, and a rank above 1 or a CL6 on the disk.
bool MayPlaceCells(const Database& d, int row) {
  const CellIndexEntry& e = RowOf(d, row);
  if (e.Attached()) return false;
  return e.Rank() > 1 || os::FileExists(RefFile(e.name));
}

std::string Formatted(const char* format, const std::string& name) {
  std::vector<char> text(name.size() + 64);
  std::snprintf(text.data(), text.size(), format, name.c_str());
  return text.data();
}

void RenameRecent(RecentCells& recent, std::string_view from, std::string_view to) {
  for (std::string& place : recent.places)
    if (place == from) place = std::string(to);
}

}  // namespace

int KillCell(Database& d, tell::Talk& t, std::string_view typed) {
  const std::string name = DialogName(typed);
  if (!NameUsable(d, name)) return 0;
  const int killed = FindCollectionRow(d, name);
  if (killed == 0) {
    TellMessage(d.talk, 4);
    return 0;
  }
  if (!Sure(t, "Kill", Formatted("%s will be Removed Completely\n\nYou Sure ?", name))) return 0;
  ResetWorkArea(d);
  const int count = d.index.count;

  // Every CL6 that will change is read before anything changes, so one that cannot be read stops
  // the command while the collection is still whole.
  for (int r = 1; r <= count; ++r) {
    if (r == killed || !MayPlaceCells(d, r)) continue;
    if (!LoadRefsOrNone(d, r)) return 0;
    bool uses = false;
    for (int i = 1; i <= d.store.refCount[0] && !uses; ++i)
      uses = RefRowOf(d.store.GetCellRef(0, 0, i)) == killed;
    if (uses && !Sure(t, "Kill", Formatted("Cell is Used in %s ... Continue ?", RowOf(d, r).name)))
      return 0;
  }

  ShowStage(t, kStageCleaning);
  RefFileSwap swap;
  std::vector<int> newRefCount(static_cast<std::size_t>(count) + 1, -1);
  for (int r = 1; r <= count; ++r) {
    if (r == killed || !MayPlaceCells(d, r)) continue;
    if (!LoadRefsOrNone(d, r)) return 0;
    ObjectStore& s = d.store;
    bool changed = false;
    int kept = 0;
    for (int i = 1; i <= s.refCount[0]; ++i) {
      CellRefRecord ref = s.GetCellRefRecord(0, i);
      const int row = RefRowOf(ref.flags);
      if (row == killed) {
        changed = true;
        continue;
      }
      if (row > killed) {
        ref.flags -= 1;  // the row sits in the low bits and stays at 1 or more
        changed = true;
      }
      s.PutCellRefRecord(0, ++kept, ref);
    }
    s.refCount[0] = kept;
    if (!changed) continue;
    if (!swap.Stage(d, RowOf(d, r).name)) {
      TellMessage(d.talk, 11);
      return 0;
    }
    newRefCount[static_cast<std::size_t>(r)] = SavedRecordCounts(s).refs;
  }
  if (!swap.Swap()) {
    TellMessage(d.talk, 11);
    return 0;
  }

  auto saved = std::make_unique<CellIndex>(d.index);
  const CellIndexEntry gone = RowOf(d, killed);
  for (int r = 1; r <= count; ++r)
    if (newRefCount[static_cast<std::size_t>(r)] >= 0)
      RowOf(d, r).refCount = newRefCount[static_cast<std::size_t>(r)];
  for (int r = killed; r < count; ++r) RowOf(d, r) = RowOf(d, r + 1);
  RowOf(d, count) = CellIndexEntry();
  d.index.count = count - 1;
  if (!WriteIndexOrTell(d)) {
    d.index = *saved;
    swap.Undo();
    return 0;
  }
  swap.Keep();

  // The cell is gone from the index; a file left behind is only reported.
  if (!gone.Attached() && os::FileExists(ObjectFile(name)) && !os::RemoveFile(ObjectFile(name)))
    TellMessage(d.talk, 11);
  if (gone.Rank() > 1 && os::FileExists(RefFile(name)) && !os::RemoveFile(RefFile(name)))
    TellMessage(d.talk, 11);

  if (d.current.name == name) {
    ClearCurrentCell(d);
  } else if (d.current.row > killed) {
    --d.current.row;
  }
  RemoveRecentCell(d.recent, name);
  ShowStage(t, kStageDone);
  return 1;
}

int RenameCell(Database& d, tell::Talk& t, std::string_view oldTyped, std::string_view newTyped) {
  const std::string from = DialogName(oldTyped);
  const std::string to = DialogName(newTyped);
  if (!NameUsable(d, from)) return 0;
  const int row = FindCollectionRow(d, from);
  if (row == 0) {
    TellMessage(d.talk, 4);
    return 0;
  }
  if (RowOf(d, row).Attached()) {
    TellMessage(d.talk, 2);
    return 0;
  }
  if (!NameUsable(d, to)) return 0;
  if (FindCell(d.index, to)) {
    TellMessage(d.talk, 3);
    return 0;
  }
  ShowStage(t, kStageRenaming);

  // The files first, never over a file that is there already; the index only when both moved, so
  // the cell can always be opened under the name its row gives.
  std::vector<std::pair<std::string, std::string>> moved;
  auto undoMoves = [&] {
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) os::RenameFile(it->second, it->first);
  };
  std::vector<std::string (*)(std::string_view)> kinds = {ObjectFile};
  if (RowOf(d, row).Rank() > 1) kinds.push_back(RefFile);
  for (auto kind : kinds) {
    const std::string source = kind(from);
    if (!os::FileExists(source)) continue;
    const std::string target = FileNameForWrite(kind(to));
    if (!os::RenameFile(source, target)) {
      undoMoves();
      TellMessage(d.talk, 11);
      return 0;
    }
    moved.emplace_back(source, target);
  }

  std::vector<int> renamed;
  for (int r = 1; r <= d.index.count; ++r) {
    if (RowOf(d, r).name != from) continue;
    RowOf(d, r).name = to;
    renamed.push_back(r);
  }
  if (!WriteIndexOrTell(d)) {
    for (int r : renamed) RowOf(d, r).name = from;
    undoMoves();
    return 0;
  }
  if (d.current.name == from) d.current.name = to;
  RenameRecent(d.recent, from, to);
  ShowStage(t, kStageDone);
  return 1;
}

int SortCells(Database& d, tell::Talk& t) {
  if (!Sure(t, "CellSort", "Cells to be Sorted ... You Sure ?")) return 0;
  ShowStage(t, kStageSorting);
  ResetWorkArea(d);
  const int count = d.index.count;

  // Rank, then name in byte order; names are unique, so this is the one order the exchange sorts
  // reach.
  std::vector<int> order(static_cast<std::size_t>(count));
  for (int r = 1; r <= count; ++r) order[static_cast<std::size_t>(r - 1)] = r;
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const CellIndexEntry& x = RowOf(d, a);
    const CellIndexEntry& y = RowOf(d, b);
    if (x.Rank() != y.Rank()) return x.Rank() < y.Rank();
    return x.name < y.name;
  });
  std::vector<int> newRow(static_cast<std::size_t>(count) + 1, 0);
  for (int i = 0; i < count; ++i) newRow[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = i + 1;

  RefFileSwap swap;
  for (int r = 1; r <= count; ++r) {
    if (!MayPlaceCells(d, r)) continue;
    const bool missing = !os::FileExists(RefFile(RowOf(d, r).name));
    if (!LoadRefsOrNone(d, r)) return 0;
    ObjectStore& s = d.store;
    bool changed = missing;  // a cell that may place cells gets its (empty) CL6
    for (int i = 1; i <= s.refCount[0]; ++i) {
      std::int32_t* w = s.refs[0].Slot(i);
      const int to = newRow[static_cast<std::size_t>(RefRowOf(w[0]))];
      if (to == RefRowOf(w[0])) continue;
      w[0] = (w[0] & ~kRefRowMask) | to;
      changed = true;
    }
    if (changed && !swap.Stage(d, RowOf(d, r).name)) {
      TellMessage(d.talk, 11);
      return 0;
    }
  }
  if (!swap.Swap()) {
    TellMessage(d.talk, 11);
    return 0;
  }
  auto saved = std::make_unique<CellIndex>(d.index);
  for (int r = 1; r <= count; ++r) RowOf(d, newRow[static_cast<std::size_t>(r)]) = saved->rows[static_cast<std::size_t>(r)];
  if (!WriteIndexOrTell(d)) {
    d.index = *saved;
    swap.Undo();
    return 0;
  }
  swap.Keep();
  if (d.current.row >= 1 && d.current.row <= count)
    d.current.row = newRow[static_cast<std::size_t>(d.current.row)];
  ShowStage(t, kStageDone);
  return 1;
}

namespace {

// The rank rule over the whole collection, from the rows each cell places. `target` 0 recomputes
// every rank; otherwise the target is raised when it must be, the cells that place it directly take
// one more than what they place, and every other cell is raised where it no longer sits above what
// it places.
bool AdjustRanks(Database& d, const std::vector<std::vector<int>>& placed, int target) {
  const int count = d.index.count;
  for (int pass = 0;; ++pass) {
    bool changed = false;
    for (int r = 1; r <= count; ++r) {
      CellIndexEntry& e = RowOf(d, r);
      int m = 0;
      bool placesTarget = false;
      for (int row : placed[static_cast<std::size_t>(r)]) {
        m = std::max(m, RowOf(d, row).Rank());
        placesTarget = placesTarget || row == target;
      }
      if (m > 14 || pass > 16) {
        TellMessage(d.talk, 5);
        return false;
      }
      const bool set = r == target ? m + 1 > e.Rank()
                                   : (m + 1 != e.Rank() && (placesTarget || target == 0)) ||
                                         m + 1 > e.Rank();
      if (!set) continue;
      e.flags = (e.flags & ~kRankMask) | (m + 1);
      changed = true;
    }
    if (!changed) return true;
  }
}

}  // namespace

int RerankCells(Database& d, tell::Talk& t, std::string_view typed, int rank) {
  const std::string name = DialogName(typed);
  const bool all = name == "*";
  if (!all && !NameUsable(d, name)) return 0;
  int target = 0;
  if (!all) {
    target = FindCollectionRow(d, name);
    if (target == 0) {
      TellMessage(d.talk, 4);
      return 0;
    }
    if (RowOf(d, target).Attached()) {
      TellMessage(d.talk, 2);
      return 0;
    }
    rank = std::clamp(rank, 1, 15);
  }
  if (!Sure(t, "ReRank", "You Sure ?")) return 0;
  ShowStage(t, kStageRanks);
  ResetWorkArea(d);
  const int count = d.index.count;

  // What each cell places is read once; the passes then run in memory.
  std::vector<std::vector<int>> placed(static_cast<std::size_t>(count) + 1);
  for (int r = 1; r <= count; ++r) {
    if (RowOf(d, r).Attached() || !MayPlaceCells(d, r)) continue;
    if (!LoadRefsOrNone(d, r)) {
      ShowStage(t, kStageDone);
      return 0;
    }
    auto& rows = placed[static_cast<std::size_t>(r)];
    for (int i = 1; i <= d.store.refCount[0]; ++i) rows.push_back(RefRowOf(d.store.GetCellRef(0, 0, i)));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  }

  std::vector<std::int32_t> before(static_cast<std::size_t>(count) + 1);
  for (int r = 1; r <= count; ++r) before[static_cast<std::size_t>(r)] = RowOf(d, r).flags;
  auto restore = [&] {
    for (int r = 1; r <= count; ++r) RowOf(d, r).flags = before[static_cast<std::size_t>(r)];
  };
  if (target != 0) RowOf(d, target).flags = (RowOf(d, target).flags & ~kRankMask) | rank;
  bool ok = AdjustRanks(d, placed, target);
  if (ok && !WriteIndexOrTell(d)) ok = false;
  if (!ok) restore();
  ShowStage(t, kStageDone);
  return ok ? 1 : 0;
}

}  // namespace db
