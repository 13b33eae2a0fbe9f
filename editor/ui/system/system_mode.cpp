#include "editor/ui/system/system_mode.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "editor/db/collection.h"
#include "editor/db/current_cell.h"
#include "editor/db/helpers.h"
#include "editor/db/message_table.h"
#include "editor/db/text_numbers.h"
#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "editor/tlc/tlcin.h"
#include "editor/tlc/tlcout.h"
#include "editor/ui/system/help_topics.h"
#include "editor/ui/system/name_dialogs.h"
#include "editor/ui/system/show_list.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"

namespace edsys {

namespace {

constexpr int kHelpCommand = 10;
constexpr int kDrawCommand = 27;

// The questions and stage texts of the commands, in boxes and in the SYSTEM dialog.
class SystemTalk : public ui::WindowTalk {
 public:
  explicit SystemTalk(ui::Wnd dialog) : WindowTalk(dialog) {}
  void SetItemText(int item, std::string_view text) override { ui::SetItemText(owner, item, text); }
};

// The command's dialog, then the command on what was typed; 0 when the dialog was cancelled.
using NameDialog = int (*)(ui::Wnd, db::Database&, Answers&);
template <class Act>
int AskThenRun(SystemContext& c, ui::Wnd w, NameDialog dialog, Act act) {
  Answers a;
  if (!dialog(w, c.db, a)) return 0;
  SystemTalk t(w);
  return act(t, a);
}

int Attach(SystemContext& c, ui::Wnd w) {
  if (!db::PoolCollectionPresent(c.db)) return 0;
  return AskThenRun(c, w, RunAttachDialog, [&](SystemTalk& t, Answers& a) { return db::AttachCell(c.db, t, a[0]); });
}

int Import(SystemContext& c, ui::Wnd w) {
  if (!db::PoolCollectionPresent(c.db)) return 0;
  return AskThenRun(c, w, RunImportDialog,
                    [&](SystemTalk& t, Answers& a) { return db::ImportCell(c.db, t, a[0], a[1]); });
}

int Copy(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunCopyDialog,
                    [&](SystemTalk& t, Answers& a) { return db::CopyOrAppendCell(c.db, t, a[0], a[1]); });
}

int Scale(SystemContext& c, ui::Wnd w) {
  std::string unit;
  double scale = 0;
  if (!RunScaleDialog(w, c.db, unit, scale)) return 0;
  std::string maxSize;
  if (!db::SetCollectionScale(c.db, unit, scale, &maxSize)) {
    // Every length in user units divides by the scale: the old one stays. A failed write has told
    // its own message.
    const double magnitude = std::fabs(scale);
    if (!(magnitude > 0)) ui::TalkBox(w, "Scale", "MERO Units/Phys Unit must not be 0", tell::Buttons::Ok);
    else if (!db::UsableScale(magnitude))
      ui::TalkBox(w, "Scale", "MERO Units/Phys Unit is Out of Range", tell::Buttons::Ok);
    return 0;
  }
  ui::SetItemText(w, kSystemStage, maxSize);
  return 1;
}

int Show(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunShowDialog, [&](SystemTalk&, Answers& a) {
    const std::string name = db::DialogName(a[0]);
    if (db::CheckCellName(name, 0)) {
      db::TellMessage(c.db.talk, 1);
      return 0;
    }
    return ShowCellReports(w, c.db, name, 0);
  });
}

int Kill(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunKillDialog, [&](SystemTalk& t, Answers& a) { return db::KillCell(c.db, t, a[0]); });
}

int Rename(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunRenameDialog,
                    [&](SystemTalk& t, Answers& a) { return db::RenameCell(c.db, t, a[0], a[1]); });
}

int Resize(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunResizeDialog, [&](SystemTalk& t, Answers& a) {
    return db::ResizeCells(c.db, t, a[0], db::LeadingDouble(a[1]));
  });
}

int Rerank(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunRerankDialog, [&](SystemTalk& t, Answers& a) {
    return db::RerankCells(c.db, t, a[0], db::LeadingInt(a[1]));
  });
}

int CellSort(SystemContext& c, ui::Wnd w) {
  SystemTalk t(w);
  return db::SortCells(c.db, t);
}

int Clone(SystemContext& c, ui::Wnd w) {
  return AskThenRun(c, w, RunSpawnDialog, [&](SystemTalk& t, Answers& a) { return db::CloneFolder(c.db, t, a[0]); });
}

// Remembered until the program ends, when the editor keeps none of its own.
tlc::TlcSetup& Remembered(tlc::TlcSetup* given, bool in) {
  static tlc::TlcSetup tlcIn, tlcOut;
  return given ? *given : in ? tlcIn : tlcOut;
}

int TlcIn(SystemContext& c, ui::Wnd w) {
  tlc::TlcSetup& setup = Remembered(c.tlcIn, true);
  setup.name.clear();
  tlc::DialogTalk talk(w);
  const int result = tlc::ConvertTlcToCells(false, setup, talk, nullptr, tlc::SetupDialogOf(w));
  // The run may have written this folder's cells: the next command must see them.
  db::ReadCellIndex(c.db.index);
  return result;
}

int TlcOut(SystemContext& c, ui::Wnd w) {
  tlc::TlcSetup& setup = Remembered(c.tlcOut, false);
  setup.name.clear();
  tlc::DialogTalk talk(w);
  return tlc::ConvertCellsToTlc(false, setup, talk, nullptr, tlc::SetupDialogOf(w));
}

constexpr std::array<SystemCommand, 13> kCommands = {{
    {"Attach", 2000, Attach},
    {"Import", 2001, Import},
    {"Copy", 2002, Copy},
    {"Scale", 2003, Scale},
    {"Show", 2004, Show},
    {"Kill", 149, Kill},
    {"ReName", 2005, Rename},
    {"ReSize", 2006, Resize},
    {"ReRank", 2007, Rerank},
    {"CellSort", 2008, CellSort},
    {"Spawn", 1007, Clone},
    {"TLCin", 3000, TlcIn},
    {"TLCout", 3001, TlcOut},
}};

}  // namespace

std::span<const SystemCommand> SystemCommandTable() { return kCommands; }

int CommandHelp(ui::Wnd main, std::string& pendingHelp, int id) {
  std::string topic = HelpTopicFor(id);
  if (topic.empty()) return 0;
  pendingHelp = std::move(topic);
  ui::Post(main, ui::msg::Command, ui::MakeWParam(kHelpCommand, 0));
  return 1;
}

int RunSystemDialog(SystemContext& c) {
  const int result = ui::RunDialog("SYSTEM", c.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::FocusItem(w, kSystemReturn);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    // Esc leaves like Return; Enter alone starts nothing.
    if (id == kSystemReturn || id == ui::kIdCancel) {
      ui::FinishDialog(w, 0);
      return 1;
    }
    if (ui::IsKeyDown(ui::key::F1)) {
      if (c.pendingHelp) CommandHelp(c.main, *c.pendingHelp, id);
      return 1;
    }
    for (const SystemCommand& row : kCommands) {
      if (row.id != id) continue;
      row.run(c, w);
      ui::FocusItem(w, kSystemReturn);
      return 1;
    }
    if (db::FindSuiteProgram(id) > 0) {
      db::LaunchSuiteProgram(c.db, id, c.view, "");
      ui::FinishDialog(w, 1);
      return 1;
    }
    return 0;
  });
  return result == 1 ? 1 : 0;
}

int RunSystemMode(SystemContext& c) {
  db::Database& d = c.db;
  db::SaveOpenCell(d, db::kSaveCellFiles);
  // While SYSTEM is open the store is the commands' work area, so nothing may save it as the open
  // cell; the name stays for the programs started from here and for opening the cell again.
  const std::string name = d.current.name;
  db::ClearCurrentCell(d);
  d.current.name = name;
  const int result = RunSystemDialog(c);
  db::ReadCellIndex(d.index);
  const std::string reopen = d.current.name;  // LoadCell clears it before it takes the new name
  if (reopen != "(none)" && db::FindCell(d.index, reopen) && d.index.foundRow >= 1) {
    if (db::LoadCell(d, reopen) != 1) db::ClearCurrentCell(d);
  } else {
    db::ClearCurrentCell(d);
  }
  if (result == 0) ui::Post(c.main, ui::msg::Command, ui::MakeWParam(kDrawCommand, 0));
  return result;
}

}  // namespace edsys
