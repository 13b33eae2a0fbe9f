// SHOWLIST: the lines of a cell report, with a walk into the cells it lists and back again.
#pragma once
#include <deque>
#include <string>

#include "editor/db/database.h"
#include "editor/ui/system/cell_report.h"
#include "platform/ui/types.h"

namespace edsys {

// The cells reported before, most recent first; at most 16.
struct ShowHistory {
  std::deque<std::string> names;
};
constexpr std::size_t kShowHistory = 16;

// Shows the report. A double click on a line naming a cell (its second word) remembers the reported
// cell and ends with the named cell's row; "<--" (button 3) ends with the row of the cell reported
// before, taken off the history; Cancel forgets the history and ends with 0.
int RunShowList(ui::Wnd owner, db::Database& d, const CellReport& report, ShowHistory& history);

// The report of `name`, then of each cell the user walks to, until the list is closed. 1 when at least
// one report was shown; 0 after the report's message (the edited cell is kept by `keeper`, see
// BuildCellReport).
int ShowCellReports(ui::Wnd owner, db::Database& d, std::string name, int instance,
                    const EditedCellKeeper* keeper = nullptr);

}  // namespace edsys
