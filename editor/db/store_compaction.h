// Taking records out of the object store in one pass: boxes, paths and level-0 references marked for
// removal, and the vertices no path reaches any more. The later records move down in order, as if
// each had been deleted on its own, but every record moves once.
#pragma once
#include <functional>
#include <vector>

#include "editor/db/object_store.h"

namespace db {

// remove[n] (n = 1..count; index 0 unused) marks a record to go. Give the number removed.
int RemoveMarkedBoxes(ObjectStore& s, const std::vector<char>& remove);
int RemoveMarkedCellRefs(ObjectStore& s, const std::vector<char>& remove);
// Paths only: their vertices stay until CompactVertices, which also sets every owner right again.
int RemoveMarkedPaths(ObjectStore& s, const std::vector<char>& remove);

// Paths with fewer than two vertices in their chain go; then every vertex that no chain reaches goes,
// the links are lowered to match, and each vertex gets its path as owner (its selection and
// character bits kept). `progress` (when given) hears vertices walked against vertices counted.
void CompactVertices(ObjectStore& s, const std::function<void(int, int)>& progress = {});

// The vertices of path p in chain order (a damaged chain stops where WalkChain stops).
std::vector<int> ChainOf(ObjectStore& s, int path);

// The chain of path p runs the other way round: the last vertex becomes the first.
void ReverseChain(ObjectStore& s, int path);

}  // namespace db
