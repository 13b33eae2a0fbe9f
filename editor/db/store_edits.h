// Edits of the object store that several commands share: fitting appended records into the tables
// and taking a level-0 cell reference out.
#pragma once
#include "editor/db/object_store.h"

namespace db {

// After a cell's records were appended behind `pathsBefore` paths and `verticesBefore` vertices, the
// appended records still link by their file numbers: raise every appended path's first vertex, and
// every appended vertex's owner and next link, by those bases. Links of 0 stay 0.
void RenumberAppendedRecords(ObjectStore& s, int pathsBefore, int verticesBefore);

// Level-0 reference n leaves the table: the later ones move down one place and the count drops.
// Nothing happens for an n outside 1..count.
void RemoveCellRef(ObjectStore& s, int n);

// Sets the selected bit of the level-0 references after `refsBefore`.
void MarkAppendedRefs(ObjectStore& s, int refsBefore);

}  // namespace db
