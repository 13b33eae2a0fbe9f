#include "editor/tlc/fuzz/fuzz_entry.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/db/cell_files.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/hierarchy.h"
#include "editor/tlc/cells_ref.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/stream.h"
#include "editor/tlc/tlcin.h"

namespace tlc {

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// A folder of this process, entered once: the cell loaders name files relative to it.
const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "tlcfuzz-XXXXXX").string();
    const char* made = mkdtemp(templ.data());
    if (!made || chdir(made) != 0) std::abort();
    return std::string(made) + "/";
  }();
  return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every value of every record, so the readers' results are all used. Added in 64 bits: a record may
// hold any 32-bit value, and several near the limit overflow an int.
template <typename... V>
std::int64_t Total(V... values) {
  return (std::int64_t{0} + ... + static_cast<std::int64_t>(values));
}

struct Sink final : RecordConsumer {
  std::int64_t sum = 0;
  void CellRef(const TlcCellRef& r) override { sum += Total(r.orientation, r.x, r.y, r.name.size()); }
  void Box(const TlcBox& b) override { sum += Total(b.layer, b.left, b.bottom, b.right, b.top); }
  void Path(const TlcPath& p) override {
    Check(p.x.size() == p.y.size() && p.VertexCount() <= kMaxPathPairs);
    for (int i = 0; i < p.VertexCount(); ++i) sum += p.x[i] ^ p.y[i];
    sum += Total(p.layer, p.width);
  }
  void Text(const TlcText& t) override { sum += Total(t.layer, t.size, t.orientation, t.x, t.y, t.text.size()); }
  void ReadError(Keyword, std::string_view m) override { sum += static_cast<std::int64_t>(m.size()); }
};

}  // namespace

void FuzzOneTlcRecordsInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  StringLineSource source(text);
  TlcStream stream(source);
  TlcHeader header;
  bool found = false;
  ReadTlcHeader(stream, header, &found);
  stream.Rewind();
  Sink sink;
  ReadTlcRecords(stream, sink);
  volatile std::int64_t keep = sink.sum;
  (void)keep;
  const std::string& folder = ScratchFolder();
  WriteFile(folder + "CELLS.REF", text);
  std::vector<CellsRefEntry> entries;
  if (ReadCellsRef(folder + "CELLS.REF", entries) == CellsRefResult::Ok)
    Check(entries.size() <= static_cast<std::size_t>(kMaxCellsRefEntries));
}

void FuzzOneTlcInInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = ScratchFolder();
  std::error_code ec;
  std::filesystem::remove_all(folder + "tlc", ec);
  std::filesystem::remove_all(folder + "dst", ec);
  std::filesystem::create_directory(folder + "tlc");
  std::filesystem::create_directory(folder + "dst");
  WriteFile(folder + "dst/FORM.DBD", "LAYER=1 One\r\n");
  WriteFile(folder + "dst/CONSTS6.DBD", "6.05\r\n1000\r\num\r\n");

  // The set's files, each after its "##NAME" line; names are kept to letters and digits.
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string name = "TOP", body;
  std::size_t files = 0;
  auto flush = [&] {
    if (++files <= 8) WriteFile(folder + "tlc/" + name + ".TLC", body);
    body.clear();
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.rfind("##", 0) == 0) {
      flush();
      name.clear();
      for (char c : line.substr(2))
        if (name.size() < 8 && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) name += c;
      if (name.empty() || name == "CELLS") name = "C" + std::to_string(files);
      if (name == "REF") name = "CELLS";  // "##REF" is the set's CELLS.REF
      continue;
    }
    body += line + "\n";
  }
  flush();
  if (std::filesystem::exists(folder + "tlc/CELLS.TLC"))
    std::filesystem::rename(folder + "tlc/CELLS.TLC", folder + "tlc/CELLS.REF", ec);

  for (const char* named : {"", "TOP", "*"}) {
    TlcSetup setup{folder + "tlc/", folder + "dst/", named, true, true};
    tell::Talk talk;  // answers OK and Yes, never stops
    ConvertTlcToCells(false, setup, talk);
  }

  // The drawing made: no reference breaks the rank rule, and every cell reads back whole.
  auto d = std::make_unique<db::Database>();
  const int read = db::ReadCellIndexFile(d->index, folder + "dst/CELLS6.DBD");
  if (read == 0) return;
  Check(read == 1);
  Check(chdir((folder + "dst").c_str()) == 0);
  for (int row = 1; row <= d->index.count; ++row) {
    const db::CellIndexEntry& e = d->index.rows[static_cast<std::size_t>(row)];
    Check(e.Rank() >= 1 && e.Rank() <= 15);
    Check(db::LoadObjectsOfCell(*d, row) == 0);
    Check(d->store.aside.Count() == 0);
    if (e.Rank() > 1 && std::filesystem::exists(e.name + ".CL6")) {
      Check(db::LoadRefsOfCell(*d, row, 0) == 0);
      Check(d->store.aside.refs.empty());
      for (int r = 1; r <= d->store.refCount[0]; ++r)
        Check(db::PlacementAllowed(d->index, e.Rank(), db::RefRowOf(d->store.GetCellRef(0, 0, r))));
    }
  }
  Check(chdir(folder.c_str()) == 0);
}

}  // namespace tlc
