// The cell files: "%s.CL6" (cell references) and "%s.BP6" (boxes, paths, vertices), little-endian
// copies of the store's records, each table ended by one all-zero record. Loaders give 0 ok, 1
// failure (the capacity checks -1); savers give 0 ok, 1 failure. Messages are the callers' business,
// except the capacity boxes.
//
// A file counts as read whole when every table it has ends in its zero record and nothing follows
// the last one. A file that stops at the start of a table simply lacks that table and the ones after
// it (a 0-byte BP6 is an empty cell); a file that stops inside a table, holds more records than the
// store can, has records after its last zero record (a CL6 with a zero record inside), or a vertex link
// outside the file or running in a circle, is damaged: the load fails with the error flag set, and
// the cell's file is not written over while that flag stands. A record holding a value the program
// cannot use (a layer outside 1..64, a cell row outside the index) is set aside instead
// (ObjectStore::aside): the cell loads without it, and its saves write it back, so a load that
// succeeds leaves a cell whose save keeps every record read. An append that fails leaves the tables
// as they were before it, and no append changes the error flags, which speak of the open cell's own
// files; an append leaves out the records the source's own load would set aside.
#pragma once
#include <string>
#include <string_view>

#include "editor/db/database.h"

namespace db {

// ---- CL6 ----
int LoadCellRefs(Database& d, std::string_view name, int level);  // core loader, uses load.refBase
int LoadRefsByName(Database& d, std::string_view name);             // level 0, base 0
int AppendRefsOfCell(Database& d, int row);                         // level 0 behind what is there
int LoadRefsOfCell(Database& d, int row, int level);
int ReadRefsOfCell(Database& d, int row, int level);
int CheckRefCapacity(Database& d, int row);  // -1 with "%s Cell Limit" shown, else 0

int SaveCellRefs(Database& d, std::string_view name, int level);
int SaveRefsByName(Database& d, std::string_view name);
int SaveRefsOfCell(Database& d, int row);  // refuses (1) for row 0 or a CL6 not read whole
int SaveSelectedRefs(Database& d, std::string_view name);

// ---- BP6 ----
int LoadCellObjects(Database& d, std::string_view fileBase);  // core loader, uses the three bases
int LoadObjectsByName(Database& d, std::string_view name);
int AppendObjectsOfCell(Database& d, int row);
int LoadObjectsOfCell(Database& d, int row);
int ReadObjectsOfCell(Database& d, int row);  // attached cells are read from the pool folder
int CheckObjectCapacity(Database& d, int row);  // -1 with "%s Box/Path/Vertex Limit" shown, else 0

// The loads of a row's BP6 (LoadObjectsOfCell) and CL6 (LoadRefsOfCell into level 0), with their
// outcome told one way for every program that reads a drawing: read whole, missing (empty tables to
// most), refused by the capacity check, or not read whole (damaged, or a page not had: then
// load.pageFailed). The store holds what could be read.
enum class CellFileLoad { Whole, Missing, OverCapacity, Unreadable };
CellFileLoad LoadRowObjects(Database& d, int row);
CellFileLoad LoadRowRefs(Database& d, int row);
inline bool WholeOrMissing(CellFileLoad l) { return l == CellFileLoad::Whole || l == CellFileLoad::Missing; }

int SaveCellObjects(Database& d, std::string_view name);
int SaveObjectsByName(Database& d, std::string_view name);
int SaveObjectsOfCell(Database& d, int row);  // refuses (1) for row 0 or a BP6 not read whole
// The selected boxes and paths with their chains as a cell of their own, renumbered from 1 and
// without memory-only bits (Make).
int SaveSelectedObjects(Database& d, std::string_view name);

// The files of a new, empty cell (a BP6, and for a rank above 1 a CL6), written without the store
// so that whatever it holds stays untouched; 0 ok, 1 failure.
int SaveEmptyCellFiles(std::string_view name, int rank);

int CountPathVertices(Database& d, int path);

// What a save of the store writes into a cell's files: the tables' own records and the set-aside
// ones. The cell index counts these, so that its counts always describe the files.
struct CellFileCounts {
  int boxes = 0;
  int paths = 0;
  int vertices = 0;
  int refs = 0;  // level 0
};
CellFileCounts SavedRecordCounts(const ObjectStore& s);

// The set-aside records of the open cell in a line for the user, those of its BP6 and of its CL6 as
// asked ("" when there are none).
std::string DescribeAsideRecords(const ObjectStore& s, bool objects = true, bool refs = true);
std::string DescribeAsideRecords(const AsideRecords& a, bool objects = true, bool refs = true);

}  // namespace db
