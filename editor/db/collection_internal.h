// Pieces the collection commands share.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/database.h"
#include "platform/tell/talk.h"

namespace db::collection {

// Empties the store's tables and the load state, so a command starts from a clean work area; the
// open cell's name and row stay for the caller to reopen it.
void ResetWorkArea(Database& d);

// CheckCellName without the count rule (that one applies where a cell is created); message 1 when
// the name cannot be a cell name.
bool NameUsable(Database& d, std::string_view name);

// A command's Yes/No question; true for Yes.
bool Sure(tell::Talk& t, std::string_view caption, std::string_view text);
// Stage text `stage` in the command's dialog.
void ShowStage(tell::Talk& t, int stage);

// "CELLS6.DBD" from the table; message 11 when it cannot be written.
bool WriteIndexOrTell(Database& d);

std::string RefFile(std::string_view name);     // "NAME.CL6"
std::string ObjectFile(std::string_view name);  // "NAME.BP6"

// Level 0 := the references of `row`. A CL6 that is not there is a cell without references; one that
// cannot be read whole shows message 7 (the capacity refusal has shown its own box) and gives false.
bool LoadRefsOrNone(Database& d, int row);

// New CL6 tables for several cells, replacing the old ones as one step: each new table is written
// beside its cell's file first; Swap then moves every old file aside and puts the new one in its
// place, undoing what it did when one of them cannot be put; Keep drops the old files, Undo puts them
// back. Files staged but never swapped are removed when the object goes.
class RefFileSwap {
 public:
  RefFileSwap() = default;
  RefFileSwap(const RefFileSwap&) = delete;
  RefFileSwap& operator=(const RefFileSwap&) = delete;
  ~RefFileSwap();

  // Level 0 of the store as the new CL6 of `name`; false when it cannot be written.
  bool Stage(Database& d, const std::string& name);
  bool Swap();
  void Keep();
  void Undo();

 private:
  struct Entry {
    std::string name;
    std::string real;  // the cell's CL6 as it is spelled on the disk
    bool hadOld = false;
    bool swapped = false;
  };
  void UndoFirst(std::size_t n);
  std::vector<Entry> entries_;
  bool kept_ = false;
};

}  // namespace db::collection
