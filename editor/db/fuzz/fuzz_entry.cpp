#include "editor/db/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/db/cell_files.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/form_file.h"
#include "editor/db/settings.h"
#include "editor/tlc/cell_files.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

// The loaders name files relative to the working folder: each process works in a folder of its own.
void EnterScratchFolder() {
  static const bool entered = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "dbfuzz-XXXXXX").string();
    const char* made = mkdtemp(templ.data());
    return made && chdir(made) == 0;
  }();
  if (!entered) std::abort();
}

void WriteFile(const char* name, const std::uint8_t* data, std::size_t size) {
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
}

std::string ReadFile(const char* name) {
  std::string bytes;
  os::ReadWholeFile(name, bytes);
  return bytes;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

// Records before the first zero record of a table read from `pos`; `pos` moves past its end.
int CountTable(const std::uint8_t* data, std::size_t size, std::size_t& pos, std::size_t bytes, int capacity) {
  int count = 0;
  while (pos + bytes <= size && count < capacity) {
    const std::uint8_t* r = data + pos;
    pos += bytes;
    if ((r[0] | r[1] | r[2] | r[3]) == 0) break;
    ++count;
  }
  return count;
}

// A drawing of three cells; FUZZ is row 3, of rank 3, and places the other two.
std::unique_ptr<Database> FuzzDrawing() {
  auto d = std::make_unique<Database>();
  d->index.count = 3;
  d->index.rows[1] = {"LEAF", 1, 0, 0, 10, 10, 0, 0, 0, 0};
  d->index.rows[2] = {"MID", 2, 0, 0, 10, 10, 0, 0, 0, 1};
  d->index.rows[3] = {"FUZZ", 3, 0, 0, 10, 10, 0, 0, 0, 0};
  return d;
}

}  // namespace

void FuzzOneCl6Input(const std::uint8_t* data, std::size_t size) {
  EnterScratchFolder();
  WriteFile("FUZZ.CL6", data, size);
  auto d = FuzzDrawing();
  ObjectStore& s = d->store;
  if (LoadRefsOfCell(*d, 3, 0) == 0) {
    std::size_t pos = 0;
    const int read = CountTable(data, size, pos, kRefBytes, kRefCapacity);
    Check(s.refCount[0] + static_cast<int>(s.aside.refs.size()) == read);
    for (int r = 1; r <= s.refCount[0]; ++r) Check(d->index.ValidRow(RefRowOf(s.GetCellRef(0, 0, r))));
    Check(SaveRefsByName(*d, "OUT") == 0);
    const std::string saved = ReadFile("Out.cl6");
    Check(LoadRefsByName(*d, "OUT") == 0);
    Check(SaveRefsByName(*d, "OUT") == 0);
    Check(ReadFile("Out.cl6") == saved);
    Check(SaveRefsOfCell(*d, 3) == 0);
  } else {
    Check(d->load.refLoadError == 1);
    Check(SaveRefsOfCell(*d, 3) == 1);
  }
  // A sub-level, as the drawing walk loads it, and an append, as COPY/APPEND makes one.
  d->load.refBase = 0;
  LoadRefsOfCell(*d, 3, 4);
  for (int r = 1; r <= s.refCount[4]; ++r) Check(d->index.ValidRow(RefRowOf(s.GetCellRef(4, 0, r))));
  d->index.rows[3].refCount = 1;
  AppendRefsOfCell(*d, 3);
  DescribeAsideRecords(s);
}

void FuzzOneBp6Input(const std::uint8_t* data, std::size_t size) {
  EnterScratchFolder();
  WriteFile("FUZZ.BP6", data, size);
  auto d = FuzzDrawing();
  ObjectStore& s = d->store;
  if (LoadObjectsOfCell(*d, 3) == 0) {
    std::size_t pos = 0;
    const int boxes = CountTable(data, size, pos, kBoxBytes, kBoxCapacity);
    const int paths = CountTable(data, size, pos, kPathBytes, kPathCapacity);
    Check(s.boxCount + static_cast<int>(s.aside.objects.boxes.size()) == boxes);
    Check(s.pathCount + static_cast<int>(s.aside.objects.paths.size()) == paths);
    for (int b = 1; b <= s.boxCount; ++b) Check(LayerOf(s.GetBox(0, b)) >= 1 && LayerOf(s.GetBox(0, b)) <= 64);
    for (int p = 1; p <= s.pathCount; ++p) {
      Check(LayerOf(s.GetPath(0, p)) >= 1 && LayerOf(s.GetPath(0, p)) <= 64);
      CountPathVertices(*d, p);
    }
    Check(SaveObjectsByName(*d, "OUT") == 0);
    const std::string saved = ReadFile("Out.bp6");
    Check(LoadObjectsByName(*d, "OUT") == 0);
    Check(s.boxCount + static_cast<int>(s.aside.objects.boxes.size()) == boxes);
    Check(s.pathCount + static_cast<int>(s.aside.objects.paths.size()) == paths);
    Check(SaveObjectsByName(*d, "OUT") == 0);
    Check(ReadFile("Out.bp6") == saved);
    DescribeAsideRecords(s);
  } else {
    // A file that is there but not read whole is never written over.
    Check(d->load.objectLoadError == 1);
    Check(SaveObjectsOfCell(*d, 3) == 1);
  }
  // Appended behind a cell already loaded, as COPY/APPEND and Smash do.
  d->index.rows[3].boxCount = d->index.rows[3].pathCount = d->index.rows[3].vertexCount = 0;
  AppendObjectsOfCell(*d, 3);
  for (int p = 1; p <= s.pathCount; ++p) CountPathVertices(*d, p);
  // The utilities' walk of the paths and texts, on a fresh load as they make it.
  if (LoadObjectsOfCell(*d, 3) == 0) {
    tlc::TlcPath path;
    tlc::TlcText text;
    for (int p = 1; p <= s.pathCount; ++p) tlc::ReadStorePath(s, p, path, text);
  }
}

void FuzzOneCellIndexInput(const std::uint8_t* data, std::size_t size) {
  EnterScratchFolder();
  WriteFile("CELLS6.DBD", data, size);
  auto index = std::make_unique<CellIndex>();
  if (ReadCellIndex(*index) == 1) {
    Check(index->count >= 0 && index->count <= kMaxIndexCount);
    for (int r = 1; r <= index->count; ++r) FormatCellLabel(*index, r);
    Check(WriteCellIndexFile(*index, "OUT.DBD") == 1);
    auto back = std::make_unique<CellIndex>();
    Check(ReadCellIndexFile(*back, "OUT.DBD") == 1);
    Check(back->count == index->count);
    for (int r = 1; r <= index->count; ++r) {
      const CellIndexEntry& a = index->rows[static_cast<std::size_t>(r)];
      const CellIndexEntry& b = back->rows[static_cast<std::size_t>(r)];
      Check(a.name == b.name && (a.flags & kIndexFileFlags) == b.flags && a.left == b.left &&
            a.bottom == b.bottom && a.right == b.right && a.top == b.top && a.boxCount == b.boxCount &&
            a.pathCount == b.pathCount && a.vertexCount == b.vertexCount && a.refCount == b.refCount);
    }
  }
  PoolCellList pool;
  ReadPoolCellIndex(pool, "");
}

void FuzzOneFormFileInput(const std::uint8_t* data, std::size_t size) {
  EnterScratchFolder();
  WriteFile("FORM.DBD", data, size);
  FormFile form;
  if (ReadFormFile(form, kReadAll, "") == 1) {
    Check(form.layers.size() <= static_cast<std::size_t>(kMaxLayerRows));
    Check(form.fonts.size() <= static_cast<std::size_t>(kMaxFonts));
  }
  std::string pool;
  tlc::ReadPoolFolder("", pool);
}

void FuzzOneSettingsFileInput(const std::uint8_t* data, std::size_t size) {
  EnterScratchFolder();
  WriteFile("CONSTS6.DBD", data, size);
  // The one head reader: a scale every program can compute with, units no TLC header cuts.
  DatabaseScale head;
  Check(ReadDatabaseScale(head) == 1);
  Check(UsableScale(head.scale) && (!head.damaged || head.scale == kDefaultScale));
  Check(head.version.size() <= kVersionLength && head.unit.size() <= kUnitNameLength);
  auto s = std::make_unique<Settings>();
  SetDefaultSettings(*s);
  bool damaged = false;
  if (ReadSettingsFile(*s, kSettingsFile, &damaged) != 0) {
    // The editor reads the same head as every utility.
    Check(s->version == head.version && s->scale == head.scale && s->unitName == head.unit &&
          damaged == head.damaged);
    ApplyColorLetters(*s);
    Check(WriteSettingsFile(*s, "OUT.DBD") == 1);
    const std::string once = ReadFile("OUT.DBD");
    auto again = std::make_unique<Settings>();
    SetDefaultSettings(*again);
    Check(ReadSettingsFile(*again, "OUT.DBD") == 1);
    ApplyColorLetters(*again);
    Check(WriteSettingsFile(*again, "OUT.DBD") == 1);
    Check(ReadFile("OUT.DBD") == once);
    // What the editor writes back is a scale no program calls damaged.
    DatabaseScale written;
    Check(ReadDatabaseScale(written, "OUT.DBD") == 1 && !written.damaged);
  }
}

}  // namespace db
