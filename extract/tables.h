// The geometry of the cell being traced: boxes and paths with a node number and an outline area beside
// the drawing database's fields, the vertices and the cell's instances; loading a cell's BP6 into them,
// appending a placed cell turned and moved, and fetching one instance with its placed outline.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include <functional>

#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/object_store.h"

namespace ext {

// Box: flags, left, bottom, right, top, node, area (a double in words 6-7).
using TraceBoxTable = db::PagedTable<8, 255, 1004>;
// Path: flags, width (text size), first vertex, node, area (a double in words 4-5).
using TracePathTable = db::PagedTable<6, 340, 753>;

constexpr int kMaxTraceBoxes = 256019;
constexpr int kMaxTracePaths = 256019;
constexpr int kMaxTraceVertices = 511999;
constexpr int kMaxInstances = 256431;

// Node numbers: 0 none; a named node is the record number of the path of its naming text; a global
// symbol node is kSymbolNodeBase + place (1..15); a virtual node k is -k. Symbols sit above every
// path number a cell can hold, so a named node can never read as a symbol.
using NodeNumber = std::int32_t;
constexpr NodeNumber kSymbolNodeBase = 1 << 20;
constexpr int kMaxSymbolCells = 15;
inline bool IsVirtualNode(NodeNumber n) { return n < 0; }
inline bool IsSymbolNode(NodeNumber n) { return n > kSymbolNodeBase && n <= kSymbolNodeBase + kMaxSymbolCells; }
inline bool IsNamedNode(NodeNumber n) { return n > 0 && n < kSymbolNodeBase; }

// Box fields.
constexpr int kBoxFlags = 0, kBoxLeft = 1, kBoxBottom = 2, kBoxRight = 3, kBoxTop = 4, kBoxNode = 5;
// Path fields.
constexpr int kPathFlags = 0, kPathWidth = 1, kPathFirstVertex = 2, kPathNode = 3;
// Vertex fields (as in the drawing database).
constexpr int kVertexOwner = 0, kVertexX = 1, kVertexY = 2, kVertexNext = 3;

// The drawing folder as loaded at start-up.
struct Drawing {
  Drawing() { files.form.poolFolder = ".\\"; }
  // The cell index and the pool folder of FORM.DBD (ending in "\"); the cell files are read through
  // its loader, one cell at a time, and copied into the tables that trace them.
  db::Database files;
  db::CellIndex& index = files.index;
  double scale = 20;  // database units per user unit
  bool scaleDamaged = false;  // CONSTS6.DBD's scale was no usable number: 20 stands in
};

// One instance fetched with its cell and placed outline.
struct PlacedInstance {
  int row = 0;  // 0 when the instance names no cell of the index
  int rank = 0;
  bool symbol = false;
  bool unconnected = false;
  std::int32_t x = 0, y = 0;
  int orientation = 0;
  std::string name;
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
};

// Cell index flag bits the extractor keeps while it runs.
constexpr std::int32_t kSymbolCellBit = 1 << 14;
constexpr std::int32_t kUnconnectedBit = 1 << 15;
constexpr std::int32_t kWrittenBit = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kRunBits = ~std::int32_t{0x3FFF};  // bits 14 and up, cleared at each Go

class TraceTables {
 public:
  TraceTables() = default;
  TraceTables(const TraceTables&) = delete;
  TraceTables& operator=(const TraceTables&) = delete;

  std::int32_t GetShapeField(int field, int n) { return Get(boxes, field, n); }
  int SetShapeField(std::int32_t value, int field, int n) { return Set(boxes, value, field, n); }
  std::int32_t GetTracePathField(int field, int n) { return Get(paths, field, n); }
  int SetTracePathField(std::int32_t value, int field, int n) { return Set(paths, value, field, n); }
  double GetShapeArea(int n) { return GetArea(boxes, 6, n); }
  int SetShapeArea(double value, int n) { return SetArea(boxes, 6, value, n); }
  double GetTracePathArea(int n) { return GetArea(paths, 4, n); }
  int SetTracePathArea(double value, int n) { return SetArea(paths, 4, value, n); }

  std::int32_t GetVertex(int field, int n);
  int SetVertex(std::int32_t value, int field, int n);
  std::int32_t GetInstance(int field, int n);

  // Frees the box, path and vertex pages, then the instance pages.
  void FreeExtractorPages();
  void FreeGeometryPages();
  void FreeInstancePages();

  // A cell's BP6 ("%s.BP6" in the current folder, or in the pool folder for an attached cell) in
  // place of what is loaded: 0 loaded, 1 not (the file is missing, or memory ran out). A missing file
  // leaves the tables empty, so nothing of another cell is ever taken for this one's.
  int LoadCellGeometry(Drawing& drawing, int row);
  // The BP6 records of a placed cell appended, turned by the orientation and moved by (dx, dy); then
  // every box of the tables ordered and the appended links renumbered. 0 appended, 1 not.
  int LoadPlacedGeometry(Drawing& drawing, int row, std::int32_t dx, std::int32_t dy, int orientation);
  void OrderShapeCorners();
  // "%s.CL6" of the cell into the instance table, after its pages are freed: 1 read, 0 missing, -1
  // memory, -2 damaged.
  int LoadInstances(Drawing& drawing, int row);
  PlacedInstance FetchInstance(const Drawing& drawing, int k);

  int boxCount = 0;
  int pathCount = 0;
  int vertexCount() const { return store_.vertexCount; }
  int instanceCount() const { return store_.refCount[0]; }
  int loadedRow = 0;
  bool memoryError = false;  // a page could not be had
  // A cell file with records after its last end row (a zero record inside a table), which a load
  // would leave out: "NAME.CL6" or "NAME.BP6" of the first such file. The run stops on it.
  std::string damagedFile;
  bool truncated = false;    // the last load met more records than the tables hold
  // Told of the records the loader set aside in a cell's file (the run goes on without them).
  std::function<void(const std::string& cell, const db::AsideRecords& records)> setAside;

  TraceBoxTable boxes;
  TracePathTable paths;

 private:
  template <class Table>
  std::int32_t Get(Table& t, int field, int n) {
    std::int32_t* s = Slot(t, n);
    return s && field >= 0 && field < Table::kWords - 2 ? s[field] : 0;
  }
  template <class Table>
  int Set(Table& t, std::int32_t value, int field, int n) {
    std::int32_t* s = Slot(t, n);
    if (!s) return 0;
    if (field >= 0 && field < Table::kWords - 2) s[field] = value;
    return 1;
  }
  template <class Table>
  double GetArea(Table& t, int word, int n);
  template <class Table>
  int SetArea(Table& t, int word, double value, int n);
  template <class Table>
  std::int32_t* Slot(Table& t, int n) {
    if (n < 1) return nullptr;
    std::int32_t* s = t.Slot(n);
    if (!s && n <= Table::kCapacity) memoryError = true;
    return s;
  }
  int ReadGeometry(Drawing& drawing, int row, int boxBase, int pathBase, int vertexBase,
                   std::int32_t dx, std::int32_t dy, int orientation);
  // After a load of `drawing.files` that did not succeed: notes a page not had or the damaged file.
  void NoteUnreadable(const Drawing& drawing, int row, const char* extension);

  db::ObjectStore store_;  // the vertex table and level 0 of the instance tables
};

// Row of the cell named (case-blind) in the index, or 0.
int FindTopCell(const db::CellIndex& index, std::string_view name);

}  // namespace ext
