#include "editor/tlc/cell_files.h"

#include <cctype>

#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace tlc {

int ReadPoolFolder(std::string_view folder, std::string& pool) {
  os::TextReader form;
  pool = NormaliseFolder("");
  if (!form.Open(std::string(folder) + "FORM.DBD")) return 0;
  std::string line;
  std::string found;
  while (form.ReadLine(line, 127)) {
    line = line.substr(0, line.find(';'));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    line = UpperCase(line);
    if (line.compare(0, 5, "POOL=") == 0) found = line.substr(5);
  }
  pool = NormaliseFolder(found);
  return 1;
}

namespace {

enum class Table { Ended, Cut, NoMemory, Damaged };

// Reads rows of `Bytes` bytes from `bytes` at `pos` into records 1, 2, ... through `put` until a row
// whose first word is 0 (consumed) or the bytes end. The count is the rows before the stop. A row
// beyond the capacity is damage: it would be lost.
template <int Bytes, typename Put>
Table ReadTable(const std::string& bytes, std::size_t& pos, int capacity, int& count, Put put) {
  count = 0;
  int record = 0;
  while (pos + Bytes <= bytes.size()) {
    const auto* row = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
    pos += Bytes;
    ++record;
    if (db::GetLe32(row) == 0) return Table::Ended;
    if (record == capacity) return Table::Damaged;
    if (!put(record, row)) return Table::NoMemory;
    count = record;
  }
  return Table::Cut;
}

// After the last table's end nothing but zero bytes may follow: a record there (one zeroed inside a
// table ended it early) would be left out without a word.
int TableResult(Table last, const std::string& bytes, std::size_t pos) {
  if (last == Table::NoMemory) return -1;
  if (last == Table::Damaged) return -2;
  // A file cut short ends its table there; a part record left at its end was never a record.
  return last == Table::Cut || RestIsZero(bytes, pos) ? 1 : -2;
}

}  // namespace

bool RestIsZero(const std::string& bytes, std::size_t pos) {
  for (std::size_t i = pos; i < bytes.size(); ++i)
    if (bytes[i] != 0) return false;
  return true;
}

int ReadCellRefFile(db::ObjectStore& store, std::string_view folder, std::string_view name) {
  store.refCount[0] = 0;
  std::string bytes;
  if (!os::ReadWholeFile(std::string(folder) + std::string(name) + ".CL6", bytes)) return 0;
  std::size_t pos = 0;
  const Table t = ReadTable<db::kRefBytes>(bytes, pos, db::kRefCapacity, store.refCount[0],
                                           [&](int record, const unsigned char* row) {
                                             return store.PutCellRefRecord(0, record, db::DecodeCellRef(row)) != 0;
                                           });
  return TableResult(t, bytes, pos);
}

int ReadCellObjectFile(db::ObjectStore& store, const db::CellIndex& index, std::string_view folder,
                       std::string_view pool, std::string_view name) {
  store.boxCount = store.pathCount = store.vertexCount = 0;
  bool attached = false;
  for (int row = 1; row <= index.count; ++row)
    if (index.rows[row].name == name) {
      attached = index.rows[row].Attached();
      break;
    }
  std::string bytes;
  if (!os::ReadWholeFile(std::string(attached ? pool : folder) + std::string(name) + ".BP6", bytes))
    return 0;
  std::size_t pos = 0;
  Table t = ReadTable<db::kBoxBytes>(bytes, pos, db::kBoxCapacity, store.boxCount,
                                     [&](int record, const unsigned char* row) {
                                       return store.PutBoxRecord(record, db::DecodeBox(row)) != 0;
                                     });
  if (t == Table::Ended)
    t = ReadTable<db::kPathBytes>(bytes, pos, db::kPathCapacity, store.pathCount,
                                  [&](int record, const unsigned char* row) {
                                    return store.PutPathRecord(record, db::DecodePath(row)) != 0;
                                  });
  if (t == Table::Ended)
    t = ReadTable<db::kVertexBytes>(bytes, pos, db::kVertexCapacity, store.vertexCount,
                                    [&](int record, const unsigned char* row) {
                                      return store.PutVertexRecord(record, db::DecodeVertex(row)) != 0;
                                    });
  return TableResult(t, bytes, pos);
}

bool ReadStorePath(db::ObjectStore& store, int record, TlcPath& path, TlcText& text) {
  const db::PathRecord p = store.GetPathRecord(record);
  const bool isText = db::IsText(p.flags);
  path.layer = p.flags & 127;
  path.width = p.width;
  path.x.clear();
  path.y.clear();
  std::string chars;
  int charVertices = 0;
  bool ended = false;
  int v = p.firstVertex;
  for (int steps = 0; v >= 1 && v <= store.vertexCount && steps < store.vertexCount; ++steps) {
    const db::VertexRecord vertex = store.GetVertexRecord(v);
    if (isText && steps > 0) {
      // 8 characters a vertex, the first in the high byte of x; a NUL ends the text.
      ++charVertices;
      for (std::int32_t word : {vertex.x, vertex.y})
        for (int shift = 24; shift >= 0 && !ended; shift -= 8) {
          const char c = static_cast<char>((static_cast<std::uint32_t>(word) >> shift) & 0xff);
          if (c == 0)
            ended = true;
          else
            chars += c;
        }
    } else {
      path.x.push_back(vertex.x);
      path.y.push_back(vertex.y);
    }
    v = vertex.next;
  }
  if (!isText) return false;
  text.layer = p.flags & 127;
  text.size = p.width;
  text.orientation = db::OrientationOf(p.flags);
  text.x = path.x.empty() ? 0 : path.x[0];
  text.y = path.y.empty() ? 0 : path.y[0];
  text.text = std::move(chars);
  text.vertexCount = charVertices + 1;
  return true;
}

}  // namespace tlc
