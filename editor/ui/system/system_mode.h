// System Mode: the SYSTEM dialog with the collection commands and the buttons that start the suite's
// programs, and what the main window does around it.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "editor/db/collection.h"
#include "editor/db/database.h"
#include "editor/db/programs.h"
#include "editor/tlc/run.h"
#include "platform/ui/types.h"

namespace edsys {

// What System Mode needs of the editor around it.
struct SystemContext {
  explicit SystemContext(db::Database& d) : db(d) {}
  db::Database& db;
  ui::Wnd main = 0;
  // The view the utilities are started with (centre and width in user units, View mask).
  db::ProgramView view;
  // Where F1 on a button leaves its help topic; Help (command 10) is then posted to `main`.
  std::string* pendingHelp = nullptr;
  // The remembered TLCIN and TLCOUT set-ups; the library keeps its own when these are null.
  tlc::TlcSetup* tlcIn = nullptr;
  tlc::TlcSetup* tlcOut = nullptr;
};

// Ids of the SYSTEM dialog.
constexpr int kSystemReturn = 1015;
constexpr int kSystemStage = db::kStageItem;  // stage texts, "Max. Size ..."
constexpr int kSystemDone = db::kDoneItem;    // "Done !"

// One row of the System Mode table: the command word, its button and what it does (1 done, 0
// cancelled or refused). `dialog` is the SYSTEM dialog.
struct SystemCommand {
  std::string_view word;
  int id = 0;
  int (*run)(SystemContext& c, ui::Wnd dialog) = nullptr;
};
std::span<const SystemCommand> SystemCommandTable();

// The Sys menu item: the open cell is saved and closed, SYSTEM runs, then CELLS6.DBD is read again and
// the cell is opened again under its name (a cell that is gone stays closed). Returns the dialog's
// result: 1 when it ended by starting a program; on 0 a Draw is posted to the main window.
int RunSystemMode(SystemContext& c);
// The SYSTEM dialog alone.
int RunSystemDialog(SystemContext& c);

// F1 on a button: the topic of `id` becomes the pending help and Help is posted to `main`. 1 when the
// id has a topic, else 0 and nothing happens.
int CommandHelp(ui::Wnd main, std::string& pendingHelp, int id);

}  // namespace edsys
