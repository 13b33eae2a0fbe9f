#include "extract/tables.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "editor/db/cell_files.h"
#include "editor/db/orientation.h"
#include "editor/db/records.h"

namespace ext {

namespace {

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// A point turned by the orientation and moved, held within 32 bits.
void PlacePoint(int orientation, std::int32_t dx, std::int32_t dy, std::int32_t& x, std::int32_t& y) {
  std::int64_t px = x, py = y;
  db::OrientPoint(orientation, px, py);
  x = ClampToInt32(px + dx);
  y = ClampToInt32(py + dy);
}

}  // namespace

template <class Table>
double TraceTables::GetArea(Table& t, int word, int n) {
  std::int32_t* s = Slot(t, n);
  if (!s) return 0.0;
  double v;
  std::memcpy(&v, s + word, sizeof v);
  return v;
}

template <class Table>
int TraceTables::SetArea(Table& t, int word, double value, int n) {
  std::int32_t* s = Slot(t, n);
  if (!s) return 0;
  std::memcpy(s + word, &value, sizeof value);
  return 1;
}

template double TraceTables::GetArea(TraceBoxTable&, int, int);
template double TraceTables::GetArea(TracePathTable&, int, int);
template int TraceTables::SetArea(TraceBoxTable&, int, double, int);
template int TraceTables::SetArea(TracePathTable&, int, double, int);

std::int32_t TraceTables::GetVertex(int field, int n) {
  std::int32_t* s = Slot(store_.vertices, n);
  return s && field >= 0 && field < db::kVertexWords ? s[field] : 0;
}

int TraceTables::SetVertex(std::int32_t value, int field, int n) {
  std::int32_t* s = Slot(store_.vertices, n);
  if (!s) return 0;
  if (field >= 0 && field < db::kVertexWords) s[field] = value;
  return 1;
}

std::int32_t TraceTables::GetInstance(int field, int n) {
  std::int32_t* s = Slot(store_.refs[0], n);
  return s && field >= 0 && field < db::kRefWords ? s[field] : 0;
}

void TraceTables::FreeGeometryPages() {
  boxes.Free();
  paths.Free();
  store_.vertices.Free();
  boxCount = pathCount = 0;
  store_.vertexCount = 0;
  loadedRow = 0;
}

void TraceTables::FreeExtractorPages() {
  FreeGeometryPages();
  FreeInstancePages();
}

void TraceTables::FreeInstancePages() {
  store_.FreeCellRefSlot(0);
  store_.refCount[0] = 0;
}

void TraceTables::NoteUnreadable(const Drawing& drawing, int row, const char* extension) {
  if (drawing.files.load.pageFailed) memoryError = true;
  else if (damagedFile.empty()) damagedFile = drawing.index.rows[row].name + extension;
}

int TraceTables::ReadGeometry(Drawing& drawing, int row, int boxBase, int pathBase, int vertexBase,
                              std::int32_t dx, std::int32_t dy, int orientation) {
  if (row < 1 || row > drawing.index.count) return 1;
  db::Database& files = drawing.files;
  switch (db::LoadRowObjects(files, row)) {
    case db::CellFileLoad::Whole: break;
    case db::CellFileLoad::Missing: return 1;
    case db::CellFileLoad::OverCapacity:  // more records than the drawing's tables hold
      truncated = true;
      return 0;
    case db::CellFileLoad::Unreadable:
      NoteUnreadable(drawing, row, ".BP6");
      return 1;
  }
  db::ObjectStore& in = files.store;
  if (setAside && !in.aside.objects.empty()) {
    db::AsideRecords objects;
    objects.objects = in.aside.objects;
    setAside(drawing.index.rows[row].name, objects);
  }
  // Records beyond the tables' room are left out, and the cut is noted.
  auto copy = [&](int count, int base, int room, auto put) {
    int n = 0;
    for (int r = 1; r <= count; ++r) {
      if (base + n >= room) {
        truncated = true;
        break;
      }
      if (!put(base + n + 1, r)) break;
      ++n;
    }
    return n;
  };
  boxCount = boxBase + copy(in.boxCount, boxBase, kMaxTraceBoxes, [&](int n, int r) {
    std::int32_t* s = Slot(boxes, n);
    if (!s) return false;
    std::copy_n(in.boxes.Slot(r), db::kBoxWords, s);
    PlacePoint(orientation, dx, dy, s[kBoxLeft], s[kBoxBottom]);
    PlacePoint(orientation, dx, dy, s[kBoxRight], s[kBoxTop]);
    s[5] = s[6] = s[7] = 0;
    return true;
  });
  pathCount = pathBase + copy(in.pathCount, pathBase, kMaxTracePaths, [&](int n, int r) {
    std::int32_t* s = Slot(paths, n);
    if (!s) return false;
    std::copy_n(in.paths.Slot(r), db::kPathWords, s);
    if (s[kPathFirstVertex] != 0) s[kPathFirstVertex] += vertexBase;
    s[3] = s[4] = s[5] = 0;
    return true;
  });
  store_.vertexCount = vertexBase + copy(in.vertexCount, vertexBase, kMaxTraceVertices, [&](int n, int r) {
    std::int32_t* s = Slot(store_.vertices, n);
    if (!s) return false;
    std::copy_n(in.vertices.Slot(r), db::kVertexWords, s);
    // Character vertices carry letters, not a position: they are never turned.
    if ((s[kVertexOwner] & db::kCharVertexBit) == 0) PlacePoint(orientation, dx, dy, s[kVertexX], s[kVertexY]);
    s[kVertexOwner] = (s[kVertexOwner] & ~db::kVertexOwnerMask) |
                      ((s[kVertexOwner] + pathBase) & db::kVertexOwnerMask);
    if (s[kVertexNext] != 0) s[kVertexNext] += vertexBase;
    return true;
  });
  return memoryError ? 1 : 0;
}

int TraceTables::LoadCellGeometry(Drawing& drawing, int row) {
  FreeGeometryPages();
  truncated = false;
  if (ReadGeometry(drawing, row, 0, 0, 0, 0, 0, 0) != 0) return 1;
  OrderShapeCorners();
  loadedRow = row;
  return 0;
}

int TraceTables::LoadPlacedGeometry(Drawing& drawing, int row, std::int32_t dx, std::int32_t dy,
                                    int orientation) {
  if (ReadGeometry(drawing, row, boxCount, pathCount, store_.vertexCount, dx, dy, orientation) != 0) return 1;
  OrderShapeCorners();
  return 0;
}

void TraceTables::OrderShapeCorners() {
  for (int n = 1; n <= boxCount; ++n) {
    std::int32_t* s = Slot(boxes, n);
    if (!s) return;
    if (s[kBoxLeft] > s[kBoxRight]) std::swap(s[kBoxLeft], s[kBoxRight]);
    if (s[kBoxBottom] > s[kBoxTop]) std::swap(s[kBoxBottom], s[kBoxTop]);
  }
}

int TraceTables::LoadInstances(Drawing& drawing, int row) {
  FreeInstancePages();
  if (row < 1 || row > drawing.index.count) return 0;
  db::Database& files = drawing.files;
  const db::CellFileLoad loaded = db::LoadRowRefs(files, row);
  if (loaded == db::CellFileLoad::Missing) return 0;
  if (loaded != db::CellFileLoad::Whole) {
    NoteUnreadable(drawing, row, ".CL6");
    return memoryError ? -1 : -2;
  }
  db::ObjectStore& in = files.store;
  if (setAside && !in.aside.refs.empty()) {
    db::AsideRecords refs;
    refs.refs = in.aside.refs;
    setAside(drawing.index.rows[row].name, refs);
  }
  const int count = std::min(in.refCount[0], kMaxInstances);
  for (int r = 1; r <= count; ++r)
    if (!store_.PutCellRefRecord(0, r, in.GetCellRefRecord(0, r))) {
      memoryError = true;
      return -1;
    }
  store_.refCount[0] = count;
  return 1;
}

PlacedInstance TraceTables::FetchInstance(const Drawing& drawing, int k) {
  PlacedInstance p;
  const std::int32_t word = GetInstance(0, k);
  p.x = GetInstance(1, k);
  p.y = GetInstance(2, k);
  p.orientation = db::OrientationOf(word);
  const int row = db::RefRowOf(word);
  if (row < 1 || row > drawing.index.count) {
    p.name.assign(1, '?');
    p.left = p.right = p.x;
    p.bottom = p.top = p.y;
    return p;
  }
  const db::CellIndexEntry& e = drawing.index.rows[row];
  p.row = row;
  p.rank = e.flags & 15;
  p.symbol = (e.flags & kSymbolCellBit) != 0;
  p.unconnected = (e.flags & kUnconnectedBit) != 0;
  p.name = e.name;
  std::int32_t x1 = e.left, y1 = e.bottom, x2 = e.right, y2 = e.top;
  PlacePoint(p.orientation, p.x, p.y, x1, y1);
  PlacePoint(p.orientation, p.x, p.y, x2, y2);
  p.left = std::min(x1, x2);
  p.right = std::max(x1, x2);
  p.bottom = std::min(y1, y2);
  p.top = std::max(y1, y2);
  return p;
}

int FindTopCell(const db::CellIndex& index, std::string_view name) {
  for (int row = 1; row <= index.count; ++row) {
    const std::string& n = index.rows[row].name;
    if (n.size() == name.size() && strncasecmp(n.data(), name.data(), n.size()) == 0) return row;
  }
  return 0;
}

}  // namespace ext
