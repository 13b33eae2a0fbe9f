// The small dialogs that ask System Mode's commands and the cell-instance commands for their names and
// numbers (ATTACH, IMPORT, COPY, KILL, RENAME, RESIZE, RERANK, SHOW, SCALE, SPAWN, CCEL, NOCELL), and
// the lists of cells that their "List" buttons open. They only collect and check input: the opener
// acts on it.
#pragma once
#include <array>
#include <string>

#include "editor/db/database.h"
#include "platform/ui/types.h"

namespace edsys {

constexpr std::size_t kAnswerLength = 64;

// What the fields held on OK (each at most 64 characters, as typed); the second one for the dialogs
// with two fields.
using Answers = std::array<std::string, 2>;

// Each gives 1 on OK with the answers filled, 0 on Cancel or when the window is closed.
int RunAttachDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1004; List: the pool's cells
int RunImportDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1018, 1020
int RunCopyDialog(ui::Wnd owner, db::Database& d, Answers& a);     // 1017, 1005
int RunKillDialog(ui::Wnd owner, db::Database& d, Answers& a);     // 1019
int RunRenameDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1031, 1032
int RunResizeDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1026, multiplier 1028
int RunRerankDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1029, rank 1030
int RunShowDialog(ui::Wnd owner, db::Database& d, Answers& a);     // 1021
int RunSpawnDialog(ui::Wnd owner, db::Database& d, Answers& a);    // 1325, the folder path
int RunCcelDialog(ui::Wnd owner, db::Database& d, Answers& a);     // 102, the cell to change to
int RunNoCellDialog(ui::Wnd owner, db::Database& d, Answers& a);   // 1331, when no instance was hit

// SCALE over the settings: shows the unit name and the scale (10 significant digits); on OK gives
// the name typed and the number read from the scale field (text that is no number reads 0).
int RunScaleDialog(ui::Wnd owner, db::Database& d, std::string& unitName, double& scale);

// The ANYLIST of cells that can be attached (`importable` false: the pool folder's local rank-1 cells;
// message 18 and 0 when the pool has no cell index) or imported (the drawing's attached cells). A
// double click gives 1 and the cell's name.
int RunForeignCellList(ui::Wnd owner, db::Database& d, bool importable, std::string& name);

}  // namespace edsys
