#include "extract/tables.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "editor/db/orientation.h"
#include "editor/db/records.h"
#include "editor/tlc/cell_files.h"
#include "platform/os/textfile.h"

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

std::string CellFileBase(const Drawing& drawing, int row) {
  const db::CellIndexEntry& e = drawing.index.rows[row];
  return (e.Attached() ? drawing.pool : std::string()) + e.name;
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

int TraceTables::ReadGeometry(const Drawing& drawing, int row, int boxBase, int pathBase, int vertexBase,
                              std::int32_t dx, std::int32_t dy, int orientation) {
  std::string bytes;
  if (row < 1 || row > drawing.index.count) return 1;
  if (!os::ReadWholeFile(CellFileBase(drawing, row) + ".BP6", bytes)) return 1;
  std::size_t pos = 0;
  // Rows of one table up to its zero row; rows beyond the table's room are passed over so the next
  // table is still found, and the cut is noted.
  bool ended = false;  // the last table read met its end row
  auto table = [&](std::size_t size, int base, int room, auto put) {
    int n = 0;
    ended = false;
    while (pos + size <= bytes.size()) {
      const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
      pos += size;
      if (db::GetLe32(p) == 0) {
        ended = true;
        break;
      }
      if (base + n >= room) {
        truncated = true;
        continue;
      }
      if (!put(base + n + 1, p)) return n;
      ++n;
    }
    return n;
  };
  boxCount = boxBase + table(db::kBoxBytes, boxBase, kMaxTraceBoxes, [&](int n, const unsigned char* p) {
    std::int32_t* s = Slot(boxes, n);
    if (!s) return false;
    db::DecodeWords(p, 5, s);
    PlacePoint(orientation, dx, dy, s[kBoxLeft], s[kBoxBottom]);
    PlacePoint(orientation, dx, dy, s[kBoxRight], s[kBoxTop]);
    s[5] = s[6] = s[7] = 0;
    return true;
  });
  pathCount = pathBase + table(db::kPathBytes, pathBase, kMaxTracePaths, [&](int n, const unsigned char* p) {
    std::int32_t* s = Slot(paths, n);
    if (!s) return false;
    db::DecodeWords(p, 3, s);
    if (s[kPathFirstVertex] != 0) s[kPathFirstVertex] += vertexBase;
    s[3] = s[4] = s[5] = 0;
    return true;
  });
  store_.vertexCount = vertexBase + table(db::kVertexBytes, vertexBase, kMaxTraceVertices,
                                          [&](int n, const unsigned char* p) {
    std::int32_t* s = Slot(store_.vertices, n);
    if (!s) return false;
    db::DecodeWords(p, 4, s);
    // Character vertices carry letters, not a position: they are never turned.
    if ((s[kVertexOwner] & db::kCharVertexBit) == 0) PlacePoint(orientation, dx, dy, s[kVertexX], s[kVertexY]);
    s[kVertexOwner] = (s[kVertexOwner] & ~db::kVertexOwnerMask) |
                      ((s[kVertexOwner] + pathBase) & db::kVertexOwnerMask);
    if (s[kVertexNext] != 0) s[kVertexNext] += vertexBase;
    return true;
  });
  // Records after the vertex table's end row would be left out of the cell without a word.
  if (ended && !tlc::RestIsZero(bytes, pos)) {
    if (damagedFile.empty()) damagedFile = drawing.index.rows[row].name + ".BP6";
    return 1;
  }
  return memoryError ? 1 : 0;
}

int TraceTables::LoadCellGeometry(const Drawing& drawing, int row) {
  FreeGeometryPages();
  truncated = false;
  if (ReadGeometry(drawing, row, 0, 0, 0, 0, 0, 0) != 0) return 1;
  OrderShapeCorners();
  loadedRow = row;
  return 0;
}

int TraceTables::LoadPlacedGeometry(const Drawing& drawing, int row, std::int32_t dx, std::int32_t dy,
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

int TraceTables::LoadInstances(const Drawing& drawing, int row) {
  FreeInstancePages();
  if (row < 1 || row > drawing.index.count) return 0;
  const db::CellIndexEntry& e = drawing.index.rows[row];
  const int r = tlc::ReadCellRefFile(store_, e.Attached() ? drawing.pool : std::string(), e.name);
  if (store_.refCount[0] > kMaxInstances) store_.refCount[0] = kMaxInstances;
  if (r == -1) memoryError = true;
  if (r == -2 && damagedFile.empty()) damagedFile = e.name + ".CL6";
  return r;
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
