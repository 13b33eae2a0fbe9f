#include "editor/db/cell_files.h"

#include <cstdio>
#include <string>
#include <vector>

#include "editor/db/file_names.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

constexpr std::string_view kRefExtension = ".CL6";
constexpr std::string_view kObjectExtension = ".BP6";

class InputFile {
 public:
  explicit InputFile(std::string_view path) : file_(os::OpenFile(path, "rb")) {
    if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
  }
  ~InputFile() {
    if (file_) std::fclose(file_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  bool IsOpen() const { return file_ != nullptr; }

  // 1 a whole record; 0 the file ended before its first byte; -1 a cut record or a read error.
  int Read(unsigned char* bytes, std::size_t size) {
    std::size_t got = std::fread(bytes, 1, size, file_);
    if (got == size) return 1;
    return got == 0 && !std::ferror(file_) ? 0 : -1;
  }
  // Nothing but zero bytes left: records after the last end record (a record zeroed inside a
  // table) would be lost by the next save; padding is not.
  bool RestIsZero() {
    int c;
    while ((c = std::fgetc(file_)) != EOF)
      if (c != 0) return false;
    return !std::ferror(file_);
  }

 private:
  std::FILE* file_;
};

enum class TableEnd { Closed, Absent, Damaged, NoMemory };

// Reads records into base + 1, base + 2, ... up to the zero record. `count` becomes the number of the
// last record stored. Stopping at the start of the table means the file lacks it.
template <class Table>
TableEnd ReadTable(InputFile& in, Table& table, int base, int& count) {
  constexpr int kBytes = Table::kWords * 4;
  unsigned char bytes[kBytes];
  count = base;
  for (int n = base + 1;; ++n) {
    int got = in.Read(bytes, kBytes);
    if (got == 0) return n == base + 1 ? TableEnd::Absent : TableEnd::Damaged;
    if (got < 0) return TableEnd::Damaged;
    if (GetLe32(bytes) == 0) return TableEnd::Closed;
    // The capacity record is never counted, so a record there that is not the end means the file
    // holds more than the store can.
    if (n >= Table::kCapacity) return TableEnd::Damaged;
    std::int32_t* slot = table.Slot(n);
    if (!slot) return TableEnd::NoMemory;
    DecodeWords(bytes, Table::kWords, slot);
    count = n;
  }
}

bool ValidLayer(std::int32_t flags) {
  int layer = LayerOf(flags);
  return layer >= 1 && layer <= kLayerCount;
}

// Checks the links of the records a load has just added; vertex numbers in them still count from 1
// in file order. For a file cut short (`cut`), a link past the vertices that were read ends its
// chain, since the rest was never loaded; anything else is damage. Layers are not checked here:
// a record on a layer the program has no room for is set aside (below), not the cell's ruin.
bool ObjectsUsable(ObjectStore& s, const LoadState& load, bool cut) {
  const int fileVertices = s.vertexCount > load.vertexBase ? s.vertexCount - load.vertexBase : 0;
  auto linkOk = [&](std::int32_t v) { return v >= 0 && (cut || v <= fileVertices); };
  for (int p = load.pathBase + 1; p <= s.pathCount; ++p) {
    const std::int32_t* r = s.paths.Slot(p);
    if (!linkOk(r[2])) return false;
  }
  for (int v = load.vertexBase + 1; v <= s.vertexCount; ++v)
    if (!linkOk(s.GetVertex(3, v))) return false;
  // Every chain must end. A walk that meets a vertex of its own chain again runs in a circle; one
  // that meets a chain already walked ends as that one did.
  std::vector<std::int32_t> walkedBy(static_cast<std::size_t>(fileVertices) + 1, 0);
  for (int p = load.pathBase + 1; p <= s.pathCount; ++p) {
    const std::int32_t mark = p - load.pathBase;
    for (std::int32_t v = s.GetPath(2, p); v != 0 && v <= fileVertices;
         v = s.GetVertex(3, load.vertexBase + v)) {
      if (walkedBy[v] == mark) return false;
      if (walkedBy[v] != 0) break;
      walkedBy[v] = mark;
    }
  }
  return true;
}

// Takes the boxes and paths on layers outside 1..64 out of the records a load has just added (their
// chains checked to end), renumbering what stays as the file would have numbered it without them.
// A replace load keeps them in the store's aside records; an append drops them from the copy (the
// file they came from keeps them). Vertices a kept path also uses stay in the table.
void SetAsideObjects(ObjectStore& s, const LoadState& load, bool keep) {
  int w = load.boxBase;
  for (int b = load.boxBase + 1; b <= s.boxCount; ++b) {
    const BoxRecord r = s.GetBoxRecord(b);
    if (!ValidLayer(r.flags)) {
      if (keep) s.aside.objects.boxes.push_back(r);
      continue;
    }
    if (++w != b) s.PutBoxRecord(w, r);
  }
  s.boxCount = w;

  const int pb = load.pathBase, vb = load.vertexBase;
  const int filePaths = s.pathCount - pb;
  const int fileVertices = s.vertexCount - vb;
  std::vector<char> badPath(static_cast<std::size_t>(filePaths) + 1, 0);
  bool any = false;
  for (int p = 1; p <= filePaths; ++p)
    if (!ValidLayer(s.GetPath(0, pb + p))) badPath[static_cast<std::size_t>(p)] = 1, any = true;
  if (!any) return;
  // Chains end (checked before), within the file's vertices; a link past them ends a cut file's chain.
  auto walk = [&](int p, auto&& visit) {
    int steps = 0;
    for (std::int32_t v = s.GetPath(2, pb + p); v >= 1 && v <= fileVertices && steps < fileVertices;
         v = s.GetVertex(3, vb + v), ++steps)
      visit(static_cast<int>(v));
  };
  std::vector<char> used(static_cast<std::size_t>(fileVertices) + 1, 0);  // 1 kept path, 2 set aside only
  for (int p = 1; p <= filePaths; ++p)
    if (!badPath[static_cast<std::size_t>(p)]) walk(p, [&](int v) { used[static_cast<std::size_t>(v)] = 1; });
  for (int p = 1; p <= filePaths; ++p) {
    if (!badPath[static_cast<std::size_t>(p)]) continue;
    AsidePath a{s.GetPathRecord(pb + p), {}};
    walk(p, [&](int v) {
      a.chain.push_back(s.GetVertexRecord(vb + v));
      if (!used[static_cast<std::size_t>(v)]) used[static_cast<std::size_t>(v)] = 2;
    });
    if (keep) s.aside.objects.paths.push_back(std::move(a));
  }
  std::vector<int> newVertex(static_cast<std::size_t>(fileVertices) + 1, 0);
  std::vector<int> newPath(static_cast<std::size_t>(filePaths) + 1, 0);
  int nv = 0, np = 0;
  for (int v = 1; v <= fileVertices; ++v)
    if (used[static_cast<std::size_t>(v)] != 2) newVertex[static_cast<std::size_t>(v)] = ++nv;
  for (int p = 1; p <= filePaths; ++p)
    if (!badPath[static_cast<std::size_t>(p)]) newPath[static_cast<std::size_t>(p)] = ++np;
  auto moved = [&](std::int32_t v) {
    return v >= 1 && v <= fileVertices ? newVertex[static_cast<std::size_t>(v)] : v;
  };
  for (int v = 1; v <= fileVertices; ++v) {
    if (used[static_cast<std::size_t>(v)] == 2) continue;
    VertexRecord r = s.GetVertexRecord(vb + v);
    r.next = moved(r.next);
    const std::int32_t owner = r.flags & kVertexOwnerMask;
    if (owner >= 1 && owner <= filePaths && newPath[static_cast<std::size_t>(owner)])
      r.flags = (r.flags & ~kVertexOwnerMask) | newPath[static_cast<std::size_t>(owner)];
    s.PutVertexRecord(vb + newVertex[static_cast<std::size_t>(v)], r);
  }
  for (int p = 1; p <= filePaths; ++p) {
    if (badPath[static_cast<std::size_t>(p)]) continue;
    PathRecord r = s.GetPathRecord(pb + p);
    r.firstVertex = moved(r.firstVertex);
    s.PutPathRecord(pb + newPath[static_cast<std::size_t>(p)], r);
  }
  s.pathCount = pb + np;
  s.vertexCount = vb + nv;
}

// Takes the references to rows the index lacks (row 0 included) out of records from..count of the
// level; level 0 of a replace load keeps them aside, any other load drops them.
void SetAsideRefs(ObjectStore& s, const CellIndex& index, int level, int from, bool keep) {
  int w = from - 1;
  for (int r = from; r <= s.refCount[level]; ++r) {
    const CellRefRecord ref = s.GetCellRefRecord(level, r);
    if (!index.ValidRow(RefRowOf(ref.flags))) {
      if (keep) s.aside.refs.push_back(ref);
      continue;
    }
    if (++w != r) s.PutCellRefRecord(level, w, ref);
  }
  s.refCount[level] = w;
}

const CellIndexEntry* Row(const Database& d, int row) {
  if (row < 0 || row >= kCellIndexRows) return nullptr;
  return &d.index.rows[static_cast<std::size_t>(row)];
}

// Output in blocks of records, so a limit-sized cell is a few thousand writes.
class RecordWriter {
 public:
  explicit RecordWriter(os::BinaryWriter& out) : out_(out) { buffer_.reserve(kBlock); }
  void Put(const std::int32_t* words, int count) {
    unsigned char bytes[20];
    EncodeWords(words, count, bytes);
    buffer_.insert(buffer_.end(), bytes, bytes + 4 * count);
    if (buffer_.size() >= kBlock) Flush();
  }
  void Zero(int bytes) { buffer_.insert(buffer_.end(), static_cast<std::size_t>(bytes), 0); }
  void Flush() {
    if (!buffer_.empty()) out_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  os::BinaryWriter& out_;
  std::vector<unsigned char> buffer_;
};

// Writes records 1..count of a table; false when a page is missing.
template <class Table>
bool PutRecords(RecordWriter& w, Table& table, int count) {
  for (int r = 1; r <= count; ++r) {
    const std::int32_t* slot = table.Slot(r);
    if (!slot) return false;
    w.Put(slot, Table::kWords);
  }
  return true;
}

// Records 1..count followed by the table's zero record.
template <class Table>
bool PutTable(RecordWriter& w, Table& table, int count) {
  if (!PutRecords(w, table, count)) return false;
  w.Zero(Table::kWords * 4);
  return true;
}

int Finish(os::BinaryWriter& out, RecordWriter& w, bool complete) {
  if (!complete) {
    out.Abandon();
    return 1;
  }
  w.Flush();
  return out.Commit() == 1 ? 0 : 1;
}

}  // namespace

// ---- CL6 ----

int LoadCellRefs(Database& d, std::string_view name, int level) {
  if (name.empty() || level < 0 || level >= kRefLevels) return 1;
  ObjectStore& s = d.store;
  LoadState& load = d.load;
  const int base = load.refBase;
  load.pageFailed = 0;
  s.refCount[level] = 0;
  if (base == 0) {
    for (int l = level; l < kRefLevels; ++l) {
      s.FreeCellRefSlot(l);
      load.levelCell[l] = 0;
    }
  }
  const bool own = level == 0 && base == 0;  // the open cell's own file: its set-aside records kept
  if (own) s.aside.refs.clear();
  InputFile in(CellFilePath("", name, kRefExtension));
  if (!in.IsOpen()) {
    // A missing file is an empty cell, not a damaged one: it must not keep a new CL6 from being
    // written.
    s.refCount[level] = base;
    load.refLoadFailed = 1;
    if (level == 0 && base == 0) load.refLoadError = 0;
    return 1;
  }
  int count = base;
  TableEnd end = ReadTable(in, s.refs[level], base, count);
  load.pageFailed = end == TableEnd::NoMemory;
  s.refCount[level] = count;
  bool ok = end == TableEnd::Absent || (end == TableEnd::Closed && in.RestIsZero());
  // Even a file cut short keeps only references to cells that exist; the others are set aside.
  SetAsideRefs(s, d.index, level, base + 1, own);
  if (!ok && base > 0) s.refCount[level] = base;
  load.refLoadFailed = ok ? 0 : 1;
  // The error flag tells whether the open cell's own file was read whole; an append, good or bad,
  // says nothing about that file.
  if (level == 0 && base == 0) load.refLoadError = ok ? 0 : 1;
  return ok ? 0 : 1;
}

int LoadRefsByName(Database& d, std::string_view name) {
  d.load.refBase = 0;
  return LoadCellRefs(d, name, 0);
}

int AppendRefsOfCell(Database& d, int row) {
  d.load.refBase = d.store.refCount[0];
  return ReadRefsOfCell(d, row, 0);
}

int LoadRefsOfCell(Database& d, int row, int level) {
  d.load.refBase = 0;
  return ReadRefsOfCell(d, row, level);
}

int ReadRefsOfCell(Database& d, int row, int level) {
  const CellIndexEntry* e = Row(d, row);
  if (!e || level < 0 || level >= kRefLevels) return 1;
  if (CheckRefCapacity(d, row) != 0) return -1;
  int result = LoadCellRefs(d, d.folder + e->name, level);
  if (result == 0) d.load.levelCell[level] = row;
  return result;
}

int CheckRefCapacity(Database& d, int row) {
  const CellIndexEntry* e = Row(d, row);
  if (!e) return -1;
  if (static_cast<long long>(e->refCount) + d.load.refBase < kRefCapacity) return 0;
  d.talk->Box("", e->name + " Cell Limit");
  return -1;
}

int SaveCellRefs(Database& d, std::string_view name, int level) {
  if (name.empty() || level < 0 || level >= kRefLevels) return 1;
  os::BinaryWriter out;
  if (!out.Open(FileNameForWrite(CellFilePath("", name, kRefExtension)))) return 1;
  RecordWriter w(out);
  const bool complete = PutRecords(w, d.store.refs[level], d.store.refCount[level]);
  if (complete && level == 0)
    for (const CellRefRecord& r : d.store.aside.refs) {
      const std::int32_t words[kRefWords] = {r.flags, r.x, r.y};
      w.Put(words, kRefWords);
    }
  w.Zero(kRefBytes);
  return Finish(out, w, complete);
}

int SaveRefsByName(Database& d, std::string_view name) { return SaveCellRefs(d, name, 0); }

int SaveRefsOfCell(Database& d, int row) {
  const CellIndexEntry* e = Row(d, row);
  if (!e || row == 0 || d.load.refLoadError) return 1;
  return SaveCellRefs(d, d.folder + e->name, 0);
}

int SaveSelectedRefs(Database& d, std::string_view name) {
  if (name.empty()) return 1;
  os::BinaryWriter out;
  if (!out.Open(FileNameForWrite(CellFilePath("", name, kRefExtension)))) return 1;
  RecordWriter w(out);
  ObjectStore& s = d.store;
  bool complete = true;
  for (int r = 1; r <= s.refCount[0] && complete; ++r) {
    const std::int32_t* slot = s.refs[0].Slot(r);
    if (!slot) {
      complete = false;
    } else if (slot[0] & kRefSelectedBit) {
      const std::int32_t words[kRefWords] = {slot[0] & kRefFileBits, slot[1], slot[2]};
      w.Put(words, kRefWords);
    }
  }
  w.Zero(kRefBytes);
  return Finish(out, w, complete);
}

// ---- BP6 ----

int LoadCellObjects(Database& d, std::string_view fileBase) {
  if (fileBase.empty()) return 1;
  ObjectStore& s = d.store;
  LoadState& load = d.load;
  // Tables the file lacks stay as they were before the load: empty, or the records appended to.
  auto restoreBases = [&] {
    s.boxCount = load.boxBase;
    s.pathCount = load.pathBase;
    s.vertexCount = load.vertexBase;
  };
  restoreBases();
  load.loadedCell = 0;
  load.pageFailed = 0;
  const bool replace = load.boxBase == 0 && load.pathBase == 0 && load.vertexBase == 0;
  if (replace) s.aside.objects = AsideObjects();
  InputFile in(CellFilePath("", fileBase, kObjectExtension));
  if (!in.IsOpen()) {
    restoreBases();
    load.objectLoadFailed = 1;
    if (replace) load.objectLoadError = 0;
    return 1;
  }
  if (replace) s.FreeObjectPages();

  TableEnd end = ReadTable(in, s.boxes, load.boxBase, s.boxCount);
  if (end == TableEnd::Closed) end = ReadTable(in, s.paths, load.pathBase, s.pathCount);
  if (end == TableEnd::Closed) end = ReadTable(in, s.vertices, load.vertexBase, s.vertexCount);
  load.pageFailed = end == TableEnd::NoMemory;
  bool ok = end == TableEnd::Absent || (end == TableEnd::Closed && in.RestIsZero());
  if (end == TableEnd::NoMemory || !ObjectsUsable(s, load, !ok)) {
    ok = false;
    s.boxCount = s.pathCount = s.vertexCount = 0;
  } else {
    SetAsideObjects(s, load, replace);
  }
  if (!ok && !replace) restoreBases();
  load.objectLoadFailed = ok ? 0 : 1;
  if (replace) load.objectLoadError = ok ? 0 : 1;
  return ok ? 0 : 1;
}

int LoadObjectsByName(Database& d, std::string_view name) {
  d.load.boxBase = d.load.pathBase = d.load.vertexBase = 0;
  return LoadCellObjects(d, name);
}

int AppendObjectsOfCell(Database& d, int row) {
  const int loaded = d.load.loadedCell;
  d.load.boxBase = d.store.boxCount;
  d.load.pathBase = d.store.pathCount;
  d.load.vertexBase = d.store.vertexCount;
  int result = ReadObjectsOfCell(d, row);
  d.load.loadedCell = loaded;
  return result;
}

int LoadObjectsOfCell(Database& d, int row) {
  d.load.boxBase = d.load.pathBase = d.load.vertexBase = 0;
  return ReadObjectsOfCell(d, row);
}

int ReadObjectsOfCell(Database& d, int row) {
  const CellIndexEntry* e = Row(d, row);
  if (!e) return 1;
  std::string base = (e->Attached() ? d.form.poolFolder : d.folder) + e->name;
  if (CheckObjectCapacity(d, row) != 0) return -1;
  int result = LoadCellObjects(d, base);
  if (result == 0) d.load.loadedCell = row;
  return result;
}

int CheckObjectCapacity(Database& d, int row) {
  const CellIndexEntry* e = Row(d, row);
  if (!e) return -1;
  std::string text;
  if (static_cast<long long>(e->boxCount) + d.load.boxBase > kBoxLimit) text = e->name + " Box Limit";
  if (static_cast<long long>(e->pathCount) + d.load.pathBase > kPathLimit)
    text = e->name + " Path Limit";
  if (static_cast<long long>(e->vertexCount) + d.load.vertexBase > kVertexLimit)
    text = e->name + " Vertex Limit";
  if (text.empty()) return 0;
  d.talk->Box("", text);
  return -1;
}

int SaveCellObjects(Database& d, std::string_view name) {
  if (name.empty()) return 1;
  os::BinaryWriter out;
  if (!out.Open(FileNameForWrite(CellFilePath("", name, kObjectExtension)))) return 1;
  RecordWriter w(out);
  ObjectStore& s = d.store;
  const AsideObjects& aside = s.aside.objects;
  // The set-aside records go behind the tables' own, numbered on from them.
  bool complete = PutRecords(w, s.boxes, s.boxCount);
  for (const BoxRecord& r : aside.boxes) {
    const std::int32_t words[kBoxWords] = {r.flags, r.left, r.bottom, r.right, r.top};
    w.Put(words, kBoxWords);
  }
  w.Zero(kBoxBytes);
  complete = complete && PutRecords(w, s.paths, s.pathCount);
  std::int32_t vertex = s.vertexCount;
  for (const AsidePath& a : aside.paths) {
    const std::int32_t words[kPathWords] = {a.path.flags, a.path.width, a.chain.empty() ? 0 : vertex + 1};
    w.Put(words, kPathWords);
    vertex += static_cast<std::int32_t>(a.chain.size());
  }
  w.Zero(kPathBytes);
  complete = complete && PutRecords(w, s.vertices, s.vertexCount);
  vertex = s.vertexCount;
  std::int32_t path = s.pathCount;
  for (const AsidePath& a : aside.paths) {
    ++path;
    for (std::size_t i = 0; i < a.chain.size(); ++i) {
      const VertexRecord& r = a.chain[i];
      ++vertex;
      const std::int32_t words[kVertexWords] = {(r.flags & ~kVertexOwnerMask) | path, r.x, r.y,
                                                i + 1 < a.chain.size() ? vertex + 1 : 0};
      w.Put(words, kVertexWords);
    }
  }
  w.Zero(kVertexBytes);
  return Finish(out, w, complete);
}

int SaveObjectsByName(Database& d, std::string_view name) { return SaveCellObjects(d, name); }

int SaveObjectsOfCell(Database& d, int row) {
  const CellIndexEntry* e = Row(d, row);
  if (!e || row == 0 || d.load.objectLoadError) return 1;
  return SaveCellObjects(d, d.folder + e->name);
}

int SaveSelectedObjects(Database& d, std::string_view name) {
  if (name.empty()) return 1;
  os::BinaryWriter out;
  if (!out.Open(FileNameForWrite(CellFilePath("", name, kObjectExtension)))) return 1;
  RecordWriter w(out);
  ObjectStore& s = d.store;

  for (int b = 1; b <= s.boxCount; ++b) {
    BoxRecord r = s.GetBoxRecord(b);
    if (!(r.flags & kEdgesAll)) continue;
    const std::int32_t words[kBoxWords] = {r.flags & kBoxFileBits, r.left, r.bottom, r.right, r.top};
    w.Put(words, kBoxWords);
  }
  w.Zero(kBoxBytes);

  std::vector<int> selected;
  int firstVertex = 1;
  for (int p = 1; p <= s.pathCount; ++p) {
    PathRecord r = s.GetPathRecord(p);
    if (!(r.flags & kPathSelectedBit)) continue;
    selected.push_back(p);
    const int length = CountPathVertices(d, p);
    const std::int32_t words[kPathWords] = {r.flags & kPathFileBits, r.width,
                                            length > 0 ? firstVertex : 0};
    w.Put(words, kPathWords);
    firstVertex += length;
  }
  w.Zero(kPathBytes);

  int written = 0;
  for (std::size_t i = 0; i < selected.size(); ++i) {
    const std::int32_t owner = static_cast<std::int32_t>(i + 1);
    const int length = CountPathVertices(d, selected[i]);
    int k = 0;
    s.WalkChain(s.GetPath(2, selected[i]), [&](int v) {
      VertexRecord r = s.GetVertexRecord(v);
      ++k;
      ++written;
      const std::int32_t words[kVertexWords] = {(r.flags & kCharVertexBit) | owner, r.x, r.y,
                                                k < length ? written + 1 : 0};
      w.Put(words, kVertexWords);
    });
  }
  w.Zero(kVertexBytes);
  return Finish(out, w, true);
}

int SaveEmptyCellFiles(std::string_view name, int rank) {
  if (name.empty()) return 1;
  static constexpr unsigned char kZeros[kBoxBytes + kPathBytes + kVertexBytes] = {};
  const std::string_view extensions[] = {kObjectExtension, kRefExtension};
  const std::size_t sizes[] = {sizeof kZeros, kRefBytes};
  for (int i = 0; i < (rank > 1 ? 2 : 1); ++i) {
    os::BinaryWriter out;
    if (!out.Open(FileNameForWrite(CellFilePath("", name, extensions[i])))) return 1;
    out.Write(kZeros, sizes[i]);
    if (out.Commit() != 1) return 1;
  }
  return 0;
}

namespace {

CellFileLoad Outcome(int result, int failed, int error) {
  if (result == 0) return CellFileLoad::Whole;
  if (result < 0) return CellFileLoad::OverCapacity;
  return failed && !error ? CellFileLoad::Missing : CellFileLoad::Unreadable;
}

}  // namespace

CellFileLoad LoadRowObjects(Database& d, int row) {
  const int result = LoadObjectsOfCell(d, row);
  return Outcome(result, d.load.objectLoadFailed, d.load.objectLoadError);
}

CellFileLoad LoadRowRefs(Database& d, int row) {
  const int result = LoadRefsOfCell(d, row, 0);
  return Outcome(result, d.load.refLoadFailed, d.load.refLoadError);
}

CellFileCounts SavedRecordCounts(const ObjectStore& s) {
  const AsideRecords& a = s.aside;
  CellFileCounts c;
  c.boxes = s.boxCount + static_cast<int>(a.objects.boxes.size());
  c.paths = s.pathCount + static_cast<int>(a.objects.paths.size());
  c.vertices = s.vertexCount;
  for (const AsidePath& p : a.objects.paths) c.vertices += static_cast<int>(p.chain.size());
  c.refs = s.refCount[0] + static_cast<int>(a.refs.size());
  return c;
}

std::string DescribeAsideRecords(const ObjectStore& s, bool objects, bool refs) {
  return DescribeAsideRecords(s.aside, objects, refs);
}

std::string DescribeAsideRecords(const AsideRecords& a, bool objects, bool refs) {
  std::vector<std::string> parts;
  if (objects) {
    for (const BoxRecord& b : a.objects.boxes) parts.push_back("Box on Layer " + std::to_string(LayerOf(b.flags)));
    for (const AsidePath& p : a.objects.paths)
      parts.push_back((IsText(p.path.flags) ? "Text on Layer " : "Path on Layer ") +
                      std::to_string(LayerOf(p.path.flags)));
  }
  if (refs)
    for (const CellRefRecord& r : a.refs) parts.push_back("Cell Reference to Row " + std::to_string(RefRowOf(r.flags)));
  if (parts.empty()) return "";
  std::string text = std::to_string(parts.size()) + (parts.size() == 1 ? " Record" : " Records") + " Set Aside: ";
  // The first few name the kind of damage; the count says the rest.
  for (std::size_t i = 0; i < parts.size() && i < 4; ++i) text += (i ? ", " : "") + parts[i];
  if (parts.size() > 4) text += " and More";
  return text + " ... Kept in the Cell Files";
}

int CountPathVertices(Database& d, int path) {
  return d.store.WalkChain(d.store.GetPath(2, path), [](int) {});
}

}  // namespace db
