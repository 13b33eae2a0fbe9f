// Readers of drawing-folder files that TLCOUT uses and the utilities reuse: the pool folder of a
// FORM.DBD, and a cell's CL6 and BP6 files read into the store. (CONSTS6.DBD: db::ReadDatabaseScale.)
#pragma once
#include <string>
#include <string_view>

#include "editor/db/cell_index.h"
#include "editor/db/object_store.h"
#include "editor/tlc/records.h"

namespace tlc {

// "%sFORM.DBD": the text after the last "POOL=" line (cut at ";", trailing blanks removed, upper
// case), normalised; ".\" when there is none. 1, or 0 when the file is missing.
int ReadPoolFolder(std::string_view folder, std::string& pool);

// "%s%s.CL6" into level 0 of the store, from record 1, until a zero row or the end of the file.
// 1 read, 0 missing (nothing loaded), -1 a page could not be had, -2 damaged: a record after the end
// row (a zero record inside the table) or beyond the level's capacity, which the load would leave
// out. What was read before stays loaded.
int ReadCellRefFile(db::ObjectStore& store, std::string_view folder, std::string_view name);

// "%s%s.BP6" into the box, path and vertex tables; from the pool folder when the cell's index row
// is attached. Each table ends at a zero row or the end of the file; nothing but zero bytes may follow
// the vertex table's end row. Results as above.
int ReadCellObjectFile(db::ObjectStore& store, const db::CellIndex& index, std::string_view folder,
                       std::string_view pool, std::string_view name);

// Whether bytes[pos..] are all zero: what may follow a cell file's last end row.
bool RestIsZero(const std::string& bytes, std::size_t pos);

// Record `path` of the store's path table as a TLC record: a path or polygon into `path`, or a text
// (bit 31) with its characters into `text`. The chain is followed at most vertexCount steps, so a
// damaged link cannot loop. True for a text.
bool ReadStorePath(db::ObjectStore& store, int record, TlcPath& path, TlcText& text);

}  // namespace tlc
