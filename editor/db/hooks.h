// What the cell database asks of the program around it beside telling the user (which goes through
// tell::Talk): the new-cell question, the current view and the quiet TLC export. The editor
// implements them with its windows, tests with fakes; the defaults do nothing, so a program that
// never asks (a benchmark, a batch tool) can use Hooks as they stand.
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

class Hooks {
 public:
  virtual ~Hooks() = default;

  // The NEWCELL question for a cell that does not exist yet: 0 when cancelled, else the rank typed.
  virtual int NewCellRank(std::string_view /*name*/) { return 0; }
  // The editor's current view; false when there is none (the stored view is then left alone).
  virtual bool CurrentView(ViewNow& /*view*/) { return false; }
  // Writes the TLC copy of the open cell into the drawing folder with no dialog; 1 done, 0 failed.
  // The store is used as work space, so the caller reloads the cell afterwards.
  virtual int QuietTlcOut(std::string_view /*cellName*/) { return 1; }
};

}  // namespace db
