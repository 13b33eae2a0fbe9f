#include "editor/tlc/cells_ref.h"

#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"

namespace tlc {

CellsRefResult ReadCellsRef(std::string_view path, std::vector<CellsRefEntry>& entries) {
  entries.clear();
  FileLineSource source;
  if (!source.Open(path)) return CellsRefResult::Missing;
  std::string line;
  if (!source.ReadLine(line)) return CellsRefResult::Ok;
  const int count = ToInt(line);
  if (count > kMaxCellsRefEntries) return CellsRefResult::TooMany;
  for (int i = 0; i < count; ++i) {
    CellsRefEntry entry;
    if (!source.ReadLine(line)) break;
    entry.name = UpperCase(std::string_view(line).substr(0, 32));
    if (!source.ReadLine(line)) break;
    entry.rank = ToInt(line) & 0xff;
    entries.push_back(std::move(entry));
  }
  return CellsRefResult::Ok;
}

}  // namespace tlc
