// What TLCIN and TLCOUT share: the set-up and its dialog, the conversion list with its rank sort,
// folder normalisation and the cell-name pattern of TLCOUT. A run tells the user through tell::Talk.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tlc {

// DISPLAY items.
constexpr int kItemOperation = 500;
constexpr int kItemFile1 = 510;
constexpr int kItemFile2 = 511;
constexpr int kItemMessage = 520;

// The values of the TLCIN and TLCOUT set-up dialogs, remembered until the program ends.
struct TlcSetup {
  std::string source;
  std::string destination;
  std::string name;
  bool fastRun = true;
  // The editor's "Global TLC" setting: while off, the drawing-folder side is fixed to ".\".
  bool globalTlc = false;
};

// The set-up dialog of `caption` ("TLCIN" or "TLCOUT") over the values; false when cancelled. A run
// without one takes the values as they are.
using SetupDialog = std::function<bool(std::string_view caption, TlcSetup& values)>;

// The flags every run keeps.
struct RunFlags {
  bool error = false;
  bool stop = false;
};

// One entry of a conversion list.
struct ListEntry {
  std::string name;  // upper case
  int rank = 0;      // 0: file or cell missing
  bool lesser = false;
  bool refused = false;  // never converted (a bad rank in its header, an empty or unreadable file)
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
};

constexpr int kMaxListEntries = 512;

// Lowest rank first, by exchanging whole entries; entries of equal rank may change order.
void SortByRank(std::vector<ListEntry>& list);
// Index of the entry with that name, compared without regard to case; -1 when absent.
int FindListed(const std::vector<ListEntry>& list, std::string_view name);

// An empty folder becomes ".\"; a folder without a final separator gets "\".
std::string NormaliseFolder(std::string_view folder);
// The first 32 characters, cut at the first blank.
std::string TakeName(std::string_view name);
std::string UpperCase(std::string_view text);
bool HasWildcard(std::string_view name);

// TLCOUT's cell-name pattern (both in upper case): "*" matches the rest, "?" any one character,
// anything else itself; pattern characters left over when the name ends must all be "*" or "?".
bool MatchCellPattern(std::string_view pattern, std::string_view name);

}  // namespace tlc
