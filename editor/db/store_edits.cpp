#include "editor/db/store_edits.h"

namespace db {

void RenumberAppendedRecords(ObjectStore& s, int pathsBefore, int verticesBefore) {
  for (int p = pathsBefore + 1; p <= s.pathCount; ++p) {
    std::int32_t* r = s.paths.Slot(p);
    if (r && r[2] != 0) r[2] += verticesBefore;
  }
  for (int v = verticesBefore + 1; v <= s.vertexCount; ++v) {
    std::int32_t* r = s.vertices.Slot(v);
    if (!r) continue;
    r[0] = (r[0] & ~kVertexOwnerMask) | ((r[0] & kVertexOwnerMask) + pathsBefore);
    if (r[3] != 0) r[3] += verticesBefore;
  }
}

void RemoveCellRef(ObjectStore& s, int n) {
  const int count = s.refCount[0];
  if (n < 1 || n > count) return;
  for (int r = n; r < count; ++r) s.PutCellRefRecord(0, r, s.GetCellRefRecord(0, r + 1));
  s.refCount[0] = count - 1;
}

void MarkAppendedRefs(ObjectStore& s, int refsBefore) {
  for (int r = refsBefore + 1; r <= s.refCount[0]; ++r)
    if (std::int32_t* w = s.refs[0].Slot(r)) w[0] |= kRefSelectedBit;
}

}  // namespace db
