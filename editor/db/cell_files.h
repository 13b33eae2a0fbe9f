// The cell files: "%s.CL6" (cell references) and "%s.BP6" (boxes, paths, vertices), little-endian
// copies of the store's records, each table ended by one all-zero record. Loaders give 0 ok, 1
// failure (the capacity checks -1); savers give 0 ok, 1 failure. Messages are the callers' business,
// except the capacity boxes.
//
// A file counts as read whole when every table it has ends in its zero record. A file that stops at
// the start of a table simply lacks that table and the ones after it (a 0-byte BP6 is an empty cell);
// a file that stops inside a table, holds more records than the store can, or holds records the
// program cannot use (a layer outside 1..64, a vertex link outside the file or running in a circle,
// a cell row outside the index) is damaged: the load fails with the error flag set, and the cell's
// file is not written over while that flag stands. An append that fails leaves the tables as they
// were before it, and no append changes the error flags, which speak of the open cell's own files.
#pragma once
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

}  // namespace db
