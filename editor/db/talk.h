// What the cell database needs from the program around it: message boxes, title notices, the new-cell
// question, the current view and the quiet TLC export. The editor implements it with its windows, the
// utilities with their frame, tests with a recorder; the defaults do nothing, so a program that never
// talks (a benchmark, a batch tool) can use Talk as it stands.
#pragma once
#include <string_view>

namespace db {

// The view values a cell save stores for the cell's rank.
struct ViewNow {
  double width = 0;
  double centreX = 0;
  double centreY = 0;
  int workGrid = 1;
  int dotGrid = 1;
  int dotShown = 0;
};

class Talk {
 public:
  virtual ~Talk() = default;

  // Message n (0..32) of the editor's message table, in a box without caption.
  virtual void Message(int /*n*/) {}
  // Any other box with an OK button; an empty caption means none (limit texts).
  virtual void Box(std::string_view /*caption*/, std::string_view /*text*/) {}
  // Main-window title of kind 0..4 for the cell name (1 saving, 2 loading, 3 backup, 4 TLCout,
  // 0 the normal title).
  virtual void SetMainTitle(int /*kind*/, std::string_view /*cellName*/) {}
  // Keeps a title notice on screen this long; scripted runs and tests need not wait.
  virtual void HoldNotice(int /*milliseconds*/) {}
  // The NEWCELL question for a cell that does not exist yet: 0 when cancelled, else the rank typed.
  virtual int NewCellRank(std::string_view /*name*/) { return 0; }
  // The editor's current view; false when there is none (the stored view is then left alone).
  virtual bool CurrentView(ViewNow& /*view*/) { return false; }
  // Writes the TLC copy of the open cell into the drawing folder with no dialog; 1 done, 0 failed.
  // The store is used as work space, so the caller reloads the cell afterwards.
  virtual int QuietTlcOut(std::string_view /*cellName*/) { return 1; }
};

}  // namespace db
