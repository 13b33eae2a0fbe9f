// The cell information report: a few lines about one cell (label, an instance's placement, object
// counts, outline, the sub-cells it places by rank, per-layer counts) for the SHOWLIST dialog.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/database.h"

namespace edsys {

struct CellReport {
  std::vector<std::string> lines;
  int row = 0;  // the reported cell's row
};

// How the edited cell's objects leave the store while another cell is loaded for the report, and come
// back. Left empty, they go to the cell's BP6 file and are read back from it; the editor hands in its
// drawing engine's set-aside, which keeps them in memory.
struct EditedCellKeeper {
  std::function<int()> setAside;  // 1 done
  std::function<int()> restore;
};

// Builds the report of cell `name`; `instance` n > 0 adds the placement of the edited cell's
// level-0 reference n. 1 when the lines were built, 0 after message 4, 6, 7 (or 11 when the edited
// cell could not be set aside). Whatever happens, the edited cell is back in the store afterwards.
int BuildCellReport(db::Database& d, std::string_view name, int instance, CellReport& report,
                    const EditedCellKeeper* keeper = nullptr);

}  // namespace edsys
