// What TLCIN and TLCOUT share: the talk to the user, the remembered set-up, the conversion list with its
// rank sort, folder normalisation and the cell-name pattern of TLCOUT.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tlc {

enum class Answer { Ok, Cancel, Yes, No };
enum class Question { OkCancel, YesNo, YesNoCancel };

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

// How a conversion talks to the user. The editor implements it with DISPLAY, PAUSE, the set-up
// dialogs and message boxes; tests with a recorder. The defaults make a silent run that never stops.
class RunTalk {
 public:
  virtual ~RunTalk() = default;
  // The set-up dialog of `caption` ("TLCIN" or "TLCOUT"); false when cancelled.
  virtual bool Setup(std::string_view /*caption*/, TlcSetup& /*values*/) { return true; }
  virtual void OpenDisplay(std::string_view /*caption*/) {}
  virtual void CloseDisplay() {}
  virtual void ShowItem(int /*item*/, std::string_view /*text*/) {}
  virtual void Box(std::string_view /*caption*/, std::string_view /*text*/) {}
  virtual Answer Ask(std::string_view /*caption*/, std::string_view /*text*/, Question q) {
    return q == Question::OkCancel ? Answer::Ok : Answer::Yes;
  }
  // Lets pending work run for this long; true when the user stopped the run (Esc, Cancel, or
  // closing DISPLAY).
  virtual bool Pause(int /*milliseconds*/) { return false; }
  // An Esc key press waiting to be read, taken out of the queue; TLCOUT asks before every path.
  virtual bool EscapeWaiting() { return false; }
};

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
  bool refused = false;  // never converted (bad rank in its header)
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
