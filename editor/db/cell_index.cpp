#include "editor/db/cell_index.h"

#include <cctype>
#include <cstdio>
#include <deque>
#include <memory>

#include "editor/db/file_names.h"
#include "editor/db/helpers.h"
#include "editor/db/text_numbers.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

// Whitespace-separated words of a text file, across line ends, as scanf would see them.
class WordReader {
 public:
  explicit WordReader(os::TextReader& reader) : reader_(reader) {}

  bool Next(std::string& word) {
    while (words_.empty()) {
      std::string line;
      if (!reader_.ReadLine(line)) return false;
      std::size_t i = 0;
      while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) words_.push_back(line.substr(start, i - start));
      }
    }
    word = std::move(words_.front());
    words_.pop_front();
    return true;
  }

  bool NextInt(std::int32_t& value) {
    std::string word;
    return Next(word) && ParseInt32(word, value);
  }

 private:
  os::TextReader& reader_;
  std::deque<std::string> words_;
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

int ReadCellIndexFile(CellIndex& index, std::string_view path) {
  os::TextReader reader;
  if (!reader.Open(path)) return 0;
  WordReader words(reader);
  std::int32_t count = 0;
  if (!words.NextInt(count) || count < 0 || count > kMaxIndexCount) return -1;
  // Read aside so that only a whole file reaches the table.
  std::vector<CellIndexEntry> rows(static_cast<std::size_t>(count));
  for (CellIndexEntry& row : rows) {
    std::string name;
    if (!words.Next(name) || name.size() > static_cast<std::size_t>(kMaxCellNameLength)) return -1;
    // A control character (a NUL above all) would not survive the next write of the index.
    for (char c : name)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return -1;
    row.name = Upper(name);
    std::int32_t* fields[] = {&row.flags,    &row.left,      &row.bottom,
                              &row.right,    &row.top,       &row.boxCount,
                              &row.pathCount, &row.vertexCount, &row.refCount};
    for (std::int32_t* f : fields)
      if (!words.NextInt(*f)) return -1;
  }
  // Rows past the count (a count lowered by hand) would be gone with the next write of the index.
  std::string extra;
  if (words.Next(extra)) return -1;
  if (reader.Failed()) return -1;
  for (int i = 0; i < count; ++i) index.rows[static_cast<std::size_t>(i) + 1] = std::move(rows[i]);
  index.count = count;
  return 1;
}

int ReadCellIndex(CellIndex& index) { return ReadCellIndexFile(index, kCellIndexFile); }

int WriteCellIndexFile(const CellIndex& index, std::string_view path) {
  os::TextWriter out;
  if (!out.Open(FileNameForWrite(path))) return 0;
  const int count = index.count < 0 ? 0 : (index.count > kMaxIndexCount ? kMaxIndexCount : index.count);
  out.Printf("%d\n", count);
  for (int i = 1; i <= count; ++i) {
    const CellIndexEntry& r = index.rows[static_cast<std::size_t>(i)];
    out.Printf("%s\n", r.name.c_str());
    out.Printf("%d %d %d %d %d %d %d %d %d\n", r.flags & kIndexFileFlags, r.left, r.bottom, r.right,
               r.top, r.boxCount, r.pathCount, r.vertexCount, r.refCount);
  }
  out.Write("\n");
  return out.Commit();
}

int FindCell(CellIndex& index, std::string_view name) {
  index.foundRow = 0;
  index.foundRank = 0;
  index.foundAttached = 0;
  if (name.empty() || index.count < 0) return 0;
  const int last = index.count > kMaxIndexCount ? kMaxIndexCount : index.count;
  for (int row = 0; row <= last; ++row) {
    const CellIndexEntry& e = index.rows[static_cast<std::size_t>(row)];
    if (e.name == name) {
      index.foundRow = row;
      index.foundRank = e.flags & kRankMask;
      index.foundAttached = e.flags & kAttachedBit;
      return 1;
    }
  }
  return 0;
}

std::string FormatCellLabel(const CellIndex& index, int row) {
  if (row < 0 || row >= kCellIndexRows) return "";
  const CellIndexEntry& e = index.rows[static_cast<std::size_t>(row)];
  char rank[16];
  std::snprintf(rank, sizeof rank, " (%d", e.Rank());
  return e.name + rank + (e.Attached() ? "+)" : ")");
}

int FindRecentCell(const RecentCells& recent, std::string_view name) {
  for (std::size_t i = 0; i < recent.places.size(); ++i)
    if (recent.places[i] == name) return static_cast<int>(i) + 1;
  return 0;
}

void RemoveRecentCell(RecentCells& recent, std::string_view name) {
  auto& p = recent.places;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < p.size(); ++i)
    if (p[i] != name) p[kept++] = p[i];
  for (; kept < p.size(); ++kept) p[kept].clear();
}

void PushRecentCell(RecentCells& recent, std::string_view name) {
  RemoveRecentCell(recent, name);
  auto& p = recent.places;
  for (std::size_t i = p.size() - 1; i > 0; --i) p[i] = p[i - 1];
  p[0] = std::string(name);
}

int ReadPoolCellIndex(PoolCellList& pool, std::string_view poolFolder) {
  pool.count = 0;
  pool.rows.assign(1, {});
  auto index = std::make_unique<CellIndex>();
  int result = ReadCellIndexFile(*index, std::string(poolFolder) + std::string(kCellIndexFile));
  if (result != 1) return result;
  for (int i = 1; i <= index->count; ++i)
    pool.rows.push_back(PoolCellList::Row{index->rows[static_cast<std::size_t>(i)].name,
                                          index->rows[static_cast<std::size_t>(i)].flags});
  pool.count = index->count;
  return 1;
}

}  // namespace db
