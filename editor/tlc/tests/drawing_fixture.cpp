#include "drawing_fixture.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "editor/db/cell_files.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace tlctest {

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Cell files get proper-case names ("Leaf.bp6"): read them as the programs do, case-blind.
std::string Bytes(const std::string& path) {
  std::string bytes;
  os::ReadWholeFile(path, bytes);
  return bytes;
}

}  // namespace

void WriteEmptyDrawingFolder(const std::string& folder, double scale, const std::string& unit) {
  char consts[200];
  std::snprintf(consts, sizeof consts, "6.05\r\n%g\r\n%s\r\nxroyegtcabpm\r\n*64 fills\r\n", scale,
                unit.c_str());
  WriteText(folder + "CONSTS6.DBD", consts);
  WriteText(folder + "FORM.DBD", "; layers of the test process\r\nLAYER=1 Metal1 ; first\r\n"
                                 "layer=2 Poly\r\nVIEW=1\r\nLayer=64 Text\r\n");
}

void WriteDrawingFolder(const std::string& folder, const std::vector<CellSpec>& cells, double scale,
                        const std::string& unit, const std::string& extraForm) {
  WriteEmptyDrawingFolder(folder, scale, unit);
  if (!extraForm.empty()) {
    std::ofstream(folder + "FORM.DBD", std::ios::binary | std::ios::app) << extraForm;
  }
  auto d = std::make_unique<db::Database>();
  d->index.count = static_cast<int>(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) d->index.rows[i + 1].name = cells[i].name;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const CellSpec& c = cells[i];
    db::ObjectStore& s = d->store;
    s.FreeObjectStore();
    s.boxCount = s.pathCount = s.vertexCount = 0;
    s.refCount.fill(0);
    for (const db::BoxRecord& b : c.boxes) s.PutBoxRecord(++s.boxCount, b);
    for (const PathSpec& p : c.paths) {
      const int path = ++s.pathCount;
      const int first = p.points.empty() ? 0 : s.vertexCount + 1;
      std::int32_t flags = p.layer;
      if (p.text) flags |= db::kTextBit | (p.orientation << db::kOrientationShift);
      s.PutPathRecord(path, {flags, p.width, first});
      std::vector<db::VertexRecord> chain;
      for (auto [x, y] : p.points) chain.push_back({path, x, y, 0});
      for (std::size_t k = 0; p.text && k < p.chars.size(); k += 8) {
        std::uint32_t w[2] = {0, 0};
        for (std::size_t j = 0; j < 8 && k + j < p.chars.size(); ++j)
          w[j / 4] |= std::uint32_t(static_cast<unsigned char>(p.chars[k + j])) << (24 - 8 * (j % 4));
        chain.push_back({path | db::kCharVertexBit, std::int32_t(w[0]), std::int32_t(w[1]), 0});
      }
      for (std::size_t k = 0; k < chain.size(); ++k) {
        chain[k].next = k + 1 < chain.size() ? s.vertexCount + 2 : 0;
        s.PutVertexRecord(++s.vertexCount, chain[k]);
      }
    }
    for (const RefSpec& r : c.refs) {
      int row = 0;
      for (std::size_t k = 0; k < cells.size(); ++k)
        if (cells[k].name == r.cell) row = static_cast<int>(k + 1);
      s.PutCellRefRecord(0, ++s.refCount[0], {row | (r.orientation << db::kOrientationShift), r.x, r.y});
    }
    db::CellIndexEntry& e = d->index.rows[i + 1];
    e.flags = c.flags;
    e.left = c.left, e.bottom = c.bottom, e.right = c.right, e.top = c.top;
    e.boxCount = s.boxCount, e.pathCount = s.pathCount, e.vertexCount = s.vertexCount;
    e.refCount = s.refCount[0];
    const std::string base = ((c.flags & db::kAttachedBit) ? folder + "pool/" : folder) + c.name;
    if ((c.flags & db::kAttachedBit)) std::filesystem::create_directories(folder + "pool");
    db::SaveCellObjects(*d, base);
    if ((c.flags & 15) > 1) db::SaveCellRefs(*d, base, 0);
  }
  db::WriteCellIndexFile(d->index, folder + "CELLS6.DBD");
}

std::map<std::string, LoadedCell> ReadDrawingFolder(const std::string& folder) {
  auto index = std::make_unique<db::CellIndex>();
  std::map<std::string, LoadedCell> out;
  if (db::ReadCellIndexFile(*index, folder + "CELLS6.DBD") != 1) return out;
  for (int row = 1; row <= index->count; ++row) {
    LoadedCell cell;
    cell.row = index->rows[row];
    const std::string bp6 = Bytes(folder + cell.row.name + ".BP6");
    std::size_t pos = 0;
    auto rows = [&](std::size_t size, auto decode, auto& into) {
      while (pos + size <= bp6.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(bp6.data() + pos);
        pos += size;
        if (db::GetLe32(p) == 0) break;
        into.push_back(decode(p));
      }
    };
    rows(db::kBoxBytes, [](const unsigned char* p) { return db::DecodeBox(p); }, cell.boxes);
    rows(db::kPathBytes, [](const unsigned char* p) { return db::DecodePath(p); }, cell.paths);
    rows(db::kVertexBytes, [](const unsigned char* p) { return db::DecodeVertex(p); }, cell.vertices);
    const std::string path = folder + cell.row.name + ".CL6";
    cell.hasCl6 = os::FileExists(path);
    const std::string cl6 = Bytes(path);
    for (std::size_t at = 0; at + db::kRefBytes <= cl6.size(); at += db::kRefBytes) {
      db::CellRefRecord r = db::DecodeCellRef(reinterpret_cast<const unsigned char*>(cl6.data() + at));
      if (r.flags == 0) break;
      const int used = db::RefRowOf(r.flags);
      const std::string name = index->ValidRow(used) ? index->rows[used].name : "?" + std::to_string(used);
      r.flags &= ~db::kRefRowMask;
      cell.refs.push_back({name, r});
    }
    out[cell.row.name] = cell;
  }
  return out;
}

namespace {
template <class T>
bool SameWords(const T& a, const T& b);
template <>
bool SameWords(const db::BoxRecord& a, const db::BoxRecord& b) {
  return a.flags == b.flags && a.left == b.left && a.bottom == b.bottom && a.right == b.right && a.top == b.top;
}
template <>
bool SameWords(const db::PathRecord& a, const db::PathRecord& b) {
  return a.flags == b.flags && a.width == b.width && a.firstVertex == b.firstVertex;
}
template <>
bool SameWords(const db::VertexRecord& a, const db::VertexRecord& b) {
  return a.flags == b.flags && a.x == b.x && a.y == b.y && a.next == b.next;
}
template <>
bool SameWords(const db::CellRefRecord& a, const db::CellRefRecord& b) {
  return a.flags == b.flags && a.x == b.x && a.y == b.y;
}
template <class T>
bool SameAll(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!SameWords(a[i], b[i])) return false;
  return true;
}
}  // namespace

bool Same(const db::CellIndexEntry& a, const db::CellIndexEntry& b) {
  return a.name == b.name && a.flags == b.flags && a.left == b.left && a.bottom == b.bottom &&
         a.right == b.right && a.top == b.top && a.boxCount == b.boxCount &&
         a.pathCount == b.pathCount && a.vertexCount == b.vertexCount && a.refCount == b.refCount;
}

bool Same(const LoadedCell& a, const LoadedCell& b) {
  if (!Same(a.row, b.row) || a.hasCl6 != b.hasCl6 || a.refs.size() != b.refs.size()) return false;
  for (std::size_t i = 0; i < a.refs.size(); ++i)
    if (a.refs[i].first != b.refs[i].first || !SameWords(a.refs[i].second, b.refs[i].second)) return false;
  return SameAll(a.boxes, b.boxes) && SameAll(a.paths, b.paths) && SameAll(a.vertices, b.vertices);
}

CellSpec Cell(std::string name, std::int32_t flags, std::int32_t left, std::int32_t bottom,
              std::int32_t right, std::int32_t top) {
  CellSpec c;
  c.name = std::move(name);
  c.flags = flags;
  c.left = left, c.bottom = bottom, c.right = right, c.top = top;
  return c;
}

PathSpec Path(int layer, std::int32_t width, std::vector<std::pair<std::int32_t, std::int32_t>> points) {
  PathSpec p;
  p.layer = layer;
  p.width = width;
  p.points = std::move(points);
  return p;
}

}  // namespace tlctest
