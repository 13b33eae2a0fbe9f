// Readers of drawing-folder files that TLCOUT uses and the utilities reuse: the pool folder of a
// FORM.DBD and a path record of the store as TLC. The cells' CL6 and BP6 files are read by the cell
// database's loader (editor/db/cell_files.h) in every program; CONSTS6.DBD by db::ReadDatabaseScale.
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

// Record `path` of the store's path table as a TLC record: a path or polygon into `path`, or a text
// (bit 31) with its characters into `text`. The chain is followed at most vertexCount steps, so a
// damaged link cannot loop. True for a text.
bool ReadStorePath(db::ObjectStore& store, int record, TlcPath& path, TlcText& text);

}  // namespace tlc
