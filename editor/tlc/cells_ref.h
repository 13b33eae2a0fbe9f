// Reading a CELLS.REF (or a CELLS6.DBD standing in for one) as TLCIN needs it: the count, each name
// and the rank, the first number of each flag line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tlc {

struct CellsRefEntry {
  std::string name;  // first 32 characters, upper case
  int rank = 0;      // low byte of the flag word
};

enum class CellsRefResult { Ok, Missing, TooMany };

// At most 510 entries: a count of 511 or more is refused whole. A file that ends early gives the
// entries read so far.
constexpr int kMaxCellsRefEntries = 510;
CellsRefResult ReadCellsRef(std::string_view path, std::vector<CellsRefEntry>& entries);

}  // namespace tlc
