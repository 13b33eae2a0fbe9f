#include "editor/commands/sort_commands.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "editor/commands/delete_commands.h"
#include "editor/commands/edit_common.h"
#include "editor/commands/select_commands.h"
#include "editor/db/extent.h"
#include "editor/db/store_compaction.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

namespace {

constexpr std::int64_t kRange = 8388608, kWrap = 16777216;

// Flag bits that say what an object is; the rest only say how it is shown or picked just now.
constexpr std::int32_t kBoxKey = db::kBoxFileBits;
constexpr std::int32_t kPathKey = db::kPathFileBits;
constexpr std::int32_t kRefKey = db::kRefFileBits;

void FoldAll(edui::Editor& ed) {
  db::ObjectStore& s = ed.db.store;
  if (ed.db.current.rank >= 2) {
    for (int n = 1; n <= s.refCount[0]; ++n) {
      s.SetCellRef(0, FoldCoordinate(s.GetCellRef(0, 1, n)), 1, n);
      s.SetCellRef(0, FoldCoordinate(s.GetCellRef(0, 2, n)), 2, n);
    }
  }
  for (int n = 1; n <= s.boxCount; ++n) {
    db::BoxRecord b = s.GetBoxRecord(n);
    b.left = FoldCoordinate(b.left);
    b.bottom = FoldCoordinate(b.bottom);
    b.right = FoldCoordinate(b.right);
    b.top = FoldCoordinate(b.top);
    NormalizeBox(b);
    s.PutBoxRecord(n, b);
  }
  for (int v = 1; v <= s.vertexCount; ++v) {
    const db::VertexRecord r = s.GetVertexRecord(v);
    if (r.flags & db::kCharVertexBit) continue;
    s.SetVertex(FoldCoordinate(r.x), 1, v);
    s.SetVertex(FoldCoordinate(r.y), 2, v);
  }
}

void SwapPaths(db::ObjectStore& s, int a, int b) {
  const db::PathRecord ra = s.GetPathRecord(a), rb = s.GetPathRecord(b);
  s.PutPathRecord(a, rb);
  s.PutPathRecord(b, ra);
  for (int v : Chain(s, a)) s.SetVertex((s.GetVertex(0, v) & ~db::kVertexOwnerMask) | a, 0, v);
  for (int v : Chain(s, b)) s.SetVertex((s.GetVertex(0, v) & ~db::kVertexOwnerMask) | b, 0, v);
}

// Gathers the records from `pos` on whose corner lies in the bin, in one forward pass: a record
// already in the bin stays, otherwise the next one in the bin takes its place.
template <class InBin, class Swap>
int Gather(int pos, int count, InBin inBin, Swap swap) {
  for (int k = pos; k <= count; ++k) {
    if (!inBin(k)) continue;
    if (k != pos) swap(pos, k);
    ++pos;
  }
  return pos;
}

// For each record from the first, whether a later one is the same; the later one is kept.
template <class Key>
std::vector<char> EarlierDuplicates(edui::Editor& ed, int count, Key key, bool& stopped) {
  std::unordered_map<std::string, int> last;
  last.reserve(std::size_t(count));
  std::vector<std::string> keys(std::size_t(count) + 1);
  for (int n = 1; n <= count; ++n) {
    keys[std::size_t(n)] = key(n);
    last[keys[std::size_t(n)]] = n;
  }
  std::vector<char> remove(std::size_t(count) + 1, 0);
  for (int n = 1; n <= count; ++n) {
    if (edui::PollEscape(ed)) {
      stopped = true;
      break;
    }
    if (last[keys[std::size_t(n)]] > n) remove[std::size_t(n)] = 1;
  }
  return remove;
}

std::string Words(std::initializer_list<std::int32_t> words) {
  std::string key;
  for (std::int32_t w : words) key.append(reinterpret_cast<const char*>(&w), sizeof w);
  return key;
}

}  // namespace

std::int32_t FoldCoordinate(std::int32_t c) {
  const std::int64_t v = c;
  if (v > kRange) return std::int32_t(v - kWrap * ((v + kRange - 1) / kWrap));
  if (v < -kRange) return std::int32_t(v + kWrap * ((kRange - 1 - v) / kWrap));
  return c;
}

void SortCommand(edui::Editor& ed) {
  edui::SetStatusField(ed, edui::kFieldInfo, "Sorting (ESC=Abort) ...");
  DeselectAll(ed);
  FoldAll(ed);
  db::ObjectStore& s = ed.db.store;
  // Instances by cell, as an exchange sort orders them (instances of one cell in the order that sort
  // leaves them), on a copy of the table.
  if (ed.db.current.rank >= 2 && s.refCount[0] >= 2) {
    const int count = s.refCount[0];
    std::vector<db::CellRefRecord> refs(std::size_t(count) + 1);
    std::vector<int> cells(std::size_t(count) + 1);
    for (int n = 1; n <= count; ++n) {
      refs[std::size_t(n)] = s.GetCellRefRecord(0, n);
      cells[std::size_t(n)] = db::RefRowOf(refs[std::size_t(n)].flags);
    }
    for (std::size_t i = 1; i < std::size_t(count); ++i) {
      for (std::size_t j = i + 1; j <= std::size_t(count); ++j) {
        if (cells[j] < cells[i]) {
          std::swap(cells[i], cells[j]);
          std::swap(refs[i], refs[j]);
        }
      }
    }
    for (int n = 1; n <= count; ++n) s.PutCellRefRecord(0, n, refs[std::size_t(n)]);
  }
  edui::ShowPercent(ed, 0, 1);
  db::ComputeCellExtent(ed.db);
  const db::Extent e = ed.db.extent;
  const std::int64_t width = e.right / 4 - e.left / 4, height = e.top / 4 - e.bottom / 4;
  int box = 1, path = 1;
  for (int bin = 0; bin < 16; ++bin) {
    if (edui::PollEscape(ed)) break;
    const std::int64_t x0 = e.left + (bin % 4) * width, y0 = e.bottom + (bin / 4) * height;
    const auto inBin = [&](std::int64_t x, std::int64_t y) {
      return x >= x0 && x <= x0 + width && y >= y0 && y <= y0 + height;
    };
    box = Gather(box, s.boxCount, [&](int k) { return inBin(s.GetBox(1, k), s.GetBox(2, k)); },
                 [&](int a, int b) {
                   const db::BoxRecord ra = s.GetBoxRecord(a);
                   s.PutBoxRecord(a, s.GetBoxRecord(b));
                   s.PutBoxRecord(b, ra);
                 });
    path = Gather(path, s.pathCount,
                  [&](int k) {
                    const int v = s.GetPath(2, k);
                    return v >= 1 && v <= s.vertexCount && inBin(s.GetVertex(1, v), s.GetVertex(2, v));
                  },
                  [&](int a, int b) { SwapPaths(s, a, b); });
    edui::ShowPercent(ed, bin, 15);
  }
  EndCommand(ed);
}

void UDupCommand(edui::Editor& ed) {
  edui::SetStatusField(ed, edui::kFieldInfo, "Unduping ...");
  DeselectAll(ed);
  edui::ShowPercent(ed, 0, 1);
  db::ObjectStore& s = ed.db.store;

  // Degenerates: flat boxes, repeated vertices, instances that break the rank rule.
  {
    std::vector<char> remove(std::size_t(s.boxCount) + 1, 0);
    for (int n = 1; n <= s.boxCount; ++n) {
      const db::BoxRecord b = s.GetBoxRecord(n);
      remove[std::size_t(n)] = b.left == b.right || b.bottom == b.top;
    }
    db::RemoveMarkedBoxes(s, remove);
  }
  bool unlinked = false;
  for (int p = 1; p <= s.pathCount; ++p) {
    int previous = 0;
    for (int v : Chain(s, p)) {
      const db::VertexRecord r = s.GetVertexRecord(v);
      if (previous) {
        const db::VertexRecord q = s.GetVertexRecord(previous);
        const bool characters = ((r.flags | q.flags) & db::kCharVertexBit) != 0;
        if (!characters && r.x == q.x && r.y == q.y) {
          s.SetVertex(r.next, 3, previous);
          unlinked = true;
          continue;
        }
      }
      previous = v;
    }
  }
  if (unlinked) CompactVerticesShown(ed, true);
  if (s.refCount[0] > 0) {
    std::vector<char> remove(std::size_t(s.refCount[0]) + 1, 0);
    for (int n = 1; n <= s.refCount[0]; ++n) {
      const int row = db::RefRowOf(s.GetCellRef(0, 0, n));
      remove[std::size_t(n)] = ed.db.index.ValidRow(row) && ed.db.index.rows[std::size_t(row)].Rank() >= ed.db.current.rank;
    }
    db::RemoveMarkedCellRefs(s, remove);
  }

  bool stopped = false;
  db::RemoveMarkedBoxes(s, EarlierDuplicates(ed, s.boxCount, [&](int n) {
                          const db::BoxRecord b = s.GetBoxRecord(n);
                          return Words({b.flags & kBoxKey, b.left, b.bottom, b.right, b.top});
                        }, stopped));
  if (!stopped) {
    const std::vector<char> remove = EarlierDuplicates(ed, s.pathCount, [&](int n) {
      const db::PathRecord p = s.GetPathRecord(n);
      std::string key = Words({p.flags & kPathKey, p.width});
      for (int v : Chain(s, n)) key += Words({s.GetVertex(1, v), s.GetVertex(2, v)});
      return key;
    }, stopped);
    db::RemoveMarkedPaths(s, remove);
    CompactVerticesShown(ed, true);
  }
  if (!stopped && s.refCount[0] >= 2) {
    db::RemoveMarkedCellRefs(s, EarlierDuplicates(ed, s.refCount[0], [&](int n) {
                               const db::CellRefRecord r = s.GetCellRefRecord(0, n);
                               return Words({r.flags & kRefKey, r.x, r.y});
                             }, stopped));
  }
  EndCommand(ed);
}

}  // namespace edcmd

