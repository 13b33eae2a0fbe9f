// The paged in-memory tables of the loaded cell hierarchy: boxes, paths, vertices and 15 levels of
// cell references. Records are numbered from 1; pages of 8192 bytes appear on first touch, cleared,
// and go all together.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/db/records.h"
#include "platform/tell/talk.h"

namespace db {

// One 8192-byte page, cleared, or nullptr when memory (or the test budget) is exhausted.
std::unique_ptr<std::int32_t[]> AllocatePage();
// Tests: allow only this many further page allocations (-1: no limit, the default).
void SetPageBudgetForTests(long pages);

// A table of fixed records of `Words` 32-bit words, `PerPage` records a page, `Pages` pages.
// The extractor's own tables use it with other shapes.
template <int Words, int PerPage, int Pages>
class PagedTable {
  static_assert(Words * PerPage * 4 <= kPageBytes, "records must fit one page");

 public:
  static constexpr int kWords = Words;
  static constexpr int kPerPage = PerPage;
  static constexpr int kPages = Pages;
  static constexpr int kCapacity = PerPage * Pages;

  // 1 when the page exists or was just allocated; 0 outside the table or when memory ran out.
  int EnsurePage(int page) {
    if (page < 0 || page >= Pages) return 0;
    if (pages_[page]) return 1;
    pages_[page] = AllocatePage();
    return pages_[page] ? 1 : 0;
  }

  // First word of record `record`, allocating its page; nullptr outside 1..capacity or without memory.
  std::int32_t* Slot(int record) {
    if (record < 1 || record > kCapacity) return nullptr;
    const unsigned i = static_cast<unsigned>(record - 1);
    const unsigned page = i / PerPage;
    if (!pages_[page] && !EnsurePage(static_cast<int>(page))) return nullptr;
    return pages_[page].get() + (i % PerPage) * Words;
  }

  std::int32_t Get(int field, int record) {
    std::int32_t* s = Slot(record);
    if (!s || field < 0 || field >= Words) return 0;
    return s[field];
  }

  // A field out of range stores nothing but still counts as success, as callers expect.
  int Set(std::int32_t value, int field, int record) {
    std::int32_t* s = Slot(record);
    if (!s) return 0;
    if (field >= 0 && field < Words) s[field] = value;
    return 1;
  }

  bool HasPage(int page) const { return page >= 0 && page < Pages && pages_[page] != nullptr; }
  int AllocatedPages() const {
    int n = 0;
    for (const auto& p : pages_) n += p ? 1 : 0;
    return n;
  }
  void Free() {
    for (auto& p : pages_) p.reset();
  }

 private:
  std::array<std::unique_ptr<std::int32_t[]>, Pages> pages_{};
};

using BoxTable = PagedTable<kBoxWords, kBoxesPerPage, kBoxPages>;
using PathTable = PagedTable<kPathWords, kPathsPerPage, kPathPages>;
using VertexTable = PagedTable<kVertexWords, kVerticesPerPage, kVertexPages>;
using CellRefTable = PagedTable<kRefWords, kRefsPerPage, kRefPages>;

// Records of the loaded cell's files that the program cannot use (a layer outside 1..64, a
// reference to a row the index lacks). They are held out of the tables, so nothing draws or edits
// them, and every save of the cell writes them back behind the tables' records: a damaged value
// never costs the user the record, nor the rest of the cell.
struct AsidePath {
  PathRecord path;
  std::vector<VertexRecord> chain;  // in chain order
};
struct AsideObjects {
  std::vector<BoxRecord> boxes;
  std::vector<AsidePath> paths;
  bool empty() const { return boxes.empty() && paths.empty(); }
};
struct AsideRecords {
  AsideObjects objects;              // of the loaded BP6
  std::vector<CellRefRecord> refs;   // of the CL6 loaded into level 0
  int Count() const {
    return static_cast<int>(objects.boxes.size() + objects.paths.size() + refs.size());
  }
};

class ObjectStore {
 public:
  ObjectStore() = default;
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  // Word accessors: get gives 0 for a record, field or page that cannot be had; set gives 0 when the
  // record or its page cannot be had, else 1 (a field out of range stores nothing).
  std::int32_t GetBox(int field, int record) { return boxes.Get(field, record); }
  int SetBox(std::int32_t value, int field, int record) { return boxes.Set(value, field, record); }
  std::int32_t GetPath(int field, int record) { return paths.Get(field, record); }
  int SetPath(std::int32_t value, int field, int record) { return paths.Set(value, field, record); }
  std::int32_t GetVertex(int field, int record) { return vertices.Get(field, record); }
  int SetVertex(std::int32_t value, int field, int record) {
    return vertices.Set(value, field, record);
  }
  std::int32_t GetCellRef(int level, int field, int record) {
    return ValidLevel(level) ? refs[level].Get(field, record) : 0;
  }
  int SetCellRef(int level, std::int32_t value, int field, int record) {
    return ValidLevel(level) ? refs[level].Set(value, field, record) : 0;
  }

  // Whole records; get of a record that cannot be had gives all zeros, put gives 0.
  BoxRecord GetBoxRecord(int record);
  int PutBoxRecord(int record, const BoxRecord& r);
  PathRecord GetPathRecord(int record);
  int PutPathRecord(int record, const PathRecord& r);
  VertexRecord GetVertexRecord(int record);
  int PutVertexRecord(int record, const VertexRecord& r);
  CellRefRecord GetCellRefRecord(int level, int record);
  int PutCellRefRecord(int level, int record, const CellRefRecord& r);

  int EnsureBoxPage(int page) { return boxes.EnsurePage(page); }
  int EnsurePathPage(int page) { return paths.EnsurePage(page); }
  int EnsureVertexPage(int page) { return vertices.EnsurePage(page); }
  int EnsureCellRefPage(int level, int page) {
    return ValidLevel(level) ? refs[level].EnsurePage(page) : 0;
  }

  // Freeing leaves the counts alone; the callers set them.
  void FreeObjectPages();
  void FreeCellRefSlot(int level);
  void FreeObjectStore();

  // Shows `limitText` in a box without caption when count >= limit and gives 1, else 0.
  int CheckCountLimit(int count, int limit);
  // 1 = no room for one more record (a command gives up), 0 = room.
  int CheckBoxLimit();
  int CheckPathLimit();
  int CheckVertexLimit();
  int CheckCellRefLimit();
  void ShowObjectAllocation();

  // Calls visit(vertex) for each vertex of the chain from `firstVertex`, stopping at a next link of
  // 0 or outside 1..vertexCount and after vertexCount steps, so a damaged chain cannot loop.
  // Gives the number of vertices visited.
  template <class Visit>
  int WalkChain(int firstVertex, Visit&& visit) {
    int steps = 0;
    for (int v = firstVertex; v >= 1 && v <= vertexCount && steps < vertexCount;
         v = GetVertex(3, v)) {
      ++steps;
      visit(v);
    }
    return steps;
  }

  int boxCount = 0;
  int pathCount = 0;
  int vertexCount = 0;
  std::array<int, kRefLevels> refCount{};
  int cannotAdd = 0;
  std::string limitText;
  tell::Talk* talk = nullptr;  // where limit texts go; nullptr: nowhere

  BoxTable boxes;
  PathTable paths;
  VertexTable vertices;
  std::array<CellRefTable, kRefLevels> refs;
  AsideRecords aside;

 private:
  static bool ValidLevel(int level) { return level >= 0 && level < kRefLevels; }
  int CheckRoom(const char* text, int count, int limit, int (ObjectStore::*touch)(int));
  int TouchBox(int record) { return SetBox(0, 0, record); }
  int TouchPath(int record) { return SetPath(0, 0, record); }
  int TouchVertex(int record) { return SetVertex(0, 0, record); }
  int TouchCellRef(int record) { return SetCellRef(0, 0, 0, record); }
};

}  // namespace db
