#include "editor/db/object_store.h"

#include <cstdio>
#include <new>

namespace db {

namespace {
long pageBudget = -1;
}

std::unique_ptr<std::int32_t[]> AllocatePage() {
  if (pageBudget == 0) return nullptr;
  // Cleared so that a record never written reads as zeros rather than old heap contents.
  std::unique_ptr<std::int32_t[]> page(new (std::nothrow) std::int32_t[kPageBytes / 4]());
  if (page && pageBudget > 0) --pageBudget;
  return page;
}

void SetPageBudgetForTests(long pages) { pageBudget = pages; }

BoxRecord ObjectStore::GetBoxRecord(int record) {
  const std::int32_t* s = boxes.Slot(record);
  if (!s) return {};
  return {s[0], s[1], s[2], s[3], s[4]};
}

int ObjectStore::PutBoxRecord(int record, const BoxRecord& r) {
  std::int32_t* s = boxes.Slot(record);
  if (!s) return 0;
  s[0] = r.flags;
  s[1] = r.left;
  s[2] = r.bottom;
  s[3] = r.right;
  s[4] = r.top;
  return 1;
}

PathRecord ObjectStore::GetPathRecord(int record) {
  const std::int32_t* s = paths.Slot(record);
  if (!s) return {};
  return {s[0], s[1], s[2]};
}

int ObjectStore::PutPathRecord(int record, const PathRecord& r) {
  std::int32_t* s = paths.Slot(record);
  if (!s) return 0;
  s[0] = r.flags;
  s[1] = r.width;
  s[2] = r.firstVertex;
  return 1;
}

VertexRecord ObjectStore::GetVertexRecord(int record) {
  const std::int32_t* s = vertices.Slot(record);
  if (!s) return {};
  return {s[0], s[1], s[2], s[3]};
}

int ObjectStore::PutVertexRecord(int record, const VertexRecord& r) {
  std::int32_t* s = vertices.Slot(record);
  if (!s) return 0;
  s[0] = r.flags;
  s[1] = r.x;
  s[2] = r.y;
  s[3] = r.next;
  return 1;
}

CellRefRecord ObjectStore::GetCellRefRecord(int level, int record) {
  if (!ValidLevel(level)) return {};
  const std::int32_t* s = refs[level].Slot(record);
  if (!s) return {};
  return {s[0], s[1], s[2]};
}

int ObjectStore::PutCellRefRecord(int level, int record, const CellRefRecord& r) {
  if (!ValidLevel(level)) return 0;
  std::int32_t* s = refs[level].Slot(record);
  if (!s) return 0;
  s[0] = r.flags;
  s[1] = r.x;
  s[2] = r.y;
  return 1;
}

void ObjectStore::FreeObjectPages() {
  boxes.Free();
  paths.Free();
  vertices.Free();
}

void ObjectStore::FreeCellRefSlot(int level) {
  if (ValidLevel(level)) refs[level].Free();
}

void ObjectStore::FreeObjectStore() {
  FreeObjectPages();
  aside = AsideRecords();
  for (int level = 0; level < kRefLevels; ++level) FreeCellRefSlot(level);
}

int ObjectStore::CheckCountLimit(int count, int limit) {
  if (count < limit) return 0;
  if (talk) talk->Box("", limitText);
  return 1;
}

int ObjectStore::CheckRoom(const char* text, int count, int limit,
                           int (ObjectStore::*touch)(int)) {
  limitText = text;
  if (CheckCountLimit(count, limit)) {
    cannotAdd = 1;
    return 1;
  }
  // Touching record count + 2 makes sure the pages of the next record and the one behind it exist.
  if (!(this->*touch)(count + 2)) {
    cannotAdd = 1;
    return 1;
  }
  cannotAdd = 0;
  return 0;
}

int ObjectStore::CheckBoxLimit() {
  return CheckRoom("Box Limit!", boxCount, kBoxLimit, &ObjectStore::TouchBox);
}
int ObjectStore::CheckPathLimit() {
  return CheckRoom("Path Limit!", pathCount, kPathLimit, &ObjectStore::TouchPath);
}
int ObjectStore::CheckVertexLimit() {
  return CheckRoom("Vertex Limit!", vertexCount, kVertexLimit, &ObjectStore::TouchVertex);
}
int ObjectStore::CheckCellRefLimit() {
  return CheckRoom("Cell Limit!", refCount[0], kRefLimit, &ObjectStore::TouchCellRef);
}

void ObjectStore::ShowObjectAllocation() {
  char text[128];
  std::snprintf(text, sizeof text, "Cell Object Allocation :\n\n%d Boxes  %d Paths  %d Vtx  %d Cells",
                kBoxLimit, kPathLimit, kVertexLimit, kRefLimit);
  if (talk) talk->Box("MERO", text);
}

}  // namespace db
