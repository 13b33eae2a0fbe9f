#include "editor/ui/system/name_dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "editor/db/cell_index.h"
#include "editor/db/message_table.h"
#include "editor/db/text_numbers.h"
#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "platform/ui/dialog.h"

namespace edsys {

namespace {

constexpr int kFirstList = 1321, kSecondList = 1323;

enum class Picker { None, Cells, Attachable, Importable };

// One dialog of the common pattern: up to two fields, each maybe with a List button.
struct NameDialog {
  const char* name;
  int fields[2];
  Picker pickers[2];  // of the buttons 1321 and 1323
};

int Run(ui::Wnd owner, db::Database& d, const NameDialog& form, Answers& a) {
  const int result = ui::RunDialog(form.name, owner, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::FocusItem(w, form.fields[0]);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    if (id == kFirstList || id == kSecondList) {
      const int k = id == kFirstList ? 0 : 1;
      std::string picked;
      int got = 0;
      switch (form.pickers[k]) {
        case Picker::None:
          return 0;
        case Picker::Cells:
          got = tlc::PickIndexCell(w, d.index, picked, "Cell Collection");
          break;
        case Picker::Attachable:
        case Picker::Importable:
          got = RunForeignCellList(w, d, form.pickers[k] == Picker::Importable, picked);
          break;
      }
      if (got == 1) {
        ui::SetItemText(w, form.fields[k], picked);
        ui::FocusItem(w, k == 0 && form.fields[1] ? form.fields[1] : ui::kIdOk);
      }
      return 1;
    }
    return ui::EndOkCancel(w, id, [&] {
      for (int k = 0; k < 2; ++k) a[static_cast<std::size_t>(k)] = form.fields[k] ? ui::ItemText(w, form.fields[k], kAnswerLength) : "";
    });
  });
  return result == 1 ? 1 : 0;
}

constexpr Picker kNone = Picker::None, kCells = Picker::Cells;

}  // namespace

int RunAttachDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"ATTACH", {1004, 0}, {Picker::Attachable, kNone}}, a);
}
int RunImportDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"IMPORT", {1018, 1020}, {Picker::Importable, kCells}}, a);
}
int RunCopyDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"COPY", {1017, 1005}, {kCells, kCells}}, a);
}
int RunKillDialog(ui::Wnd o, db::Database& d, Answers& a) { return Run(o, d, {"KILL", {1019, 0}, {kCells, kNone}}, a); }
int RunRenameDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"RENAME", {1031, 1032}, {kCells, kNone}}, a);
}
int RunResizeDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"RESIZE", {1026, 1028}, {kCells, kNone}}, a);
}
int RunRerankDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"RERANK", {1029, 1030}, {kCells, kNone}}, a);
}
int RunShowDialog(ui::Wnd o, db::Database& d, Answers& a) { return Run(o, d, {"SHOW", {1021, 0}, {kCells, kNone}}, a); }
int RunSpawnDialog(ui::Wnd o, db::Database& d, Answers& a) { return Run(o, d, {"SPAWN", {1325, 0}, {kNone, kNone}}, a); }
int RunCcelDialog(ui::Wnd o, db::Database& d, Answers& a) { return Run(o, d, {"CCEL", {102, 0}, {kCells, kNone}}, a); }
int RunNoCellDialog(ui::Wnd o, db::Database& d, Answers& a) {
  return Run(o, d, {"NOCELL", {1331, 0}, {kCells, kNone}}, a);
}

int RunScaleDialog(ui::Wnd owner, db::Database& d, std::string& unitName, double& scale) {
  constexpr int kUnit = 1024, kScale = 1025;
  const int result = ui::RunDialog("SCALE", owner, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      char text[40];
      std::snprintf(text, sizeof text, "%.10g", d.settings.scale);
      ui::SetItemText(w, kUnit, d.settings.unitName);
      ui::SetItemText(w, kScale, text);
      ui::FocusItem(w, kUnit);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    return ui::EndOkCancel(w, ui::LowWord(wp), [&] {
      unitName = ui::ItemText(w, kUnit, db::kUnitNameLength);
      scale = db::LeadingDouble(ui::ItemText(w, kScale, kAnswerLength));
    });
  });
  return result == 1 ? 1 : 0;
}

int RunForeignCellList(ui::Wnd owner, db::Database& d, bool importable, std::string& name) {
  std::vector<std::string> lines;
  if (importable) {
    for (int r = 1; r <= d.index.count; ++r)
      if ((d.index.rows[static_cast<std::size_t>(r)].flags & db::kIndexFileFlags) == (db::kAttachedBit | 1))
        lines.push_back(db::FormatCellLabel(d.index, r));
  } else {
    if (d.form.poolFolder.empty() || db::ReadPoolCellIndex(d.pool, d.form.poolFolder) != 1) {
      db::TellMessage(d.talk, 18);
      return 0;
    }
    for (int r = 1; r <= d.pool.count; ++r)
      if ((d.pool.rows[static_cast<std::size_t>(r)].flags & db::kIndexFileFlags) == 1)
        lines.push_back(d.pool.rows[static_cast<std::size_t>(r)].name + " (1)");
  }
  return tlc::RunAnyList(owner, importable ? "Importable Cells" : "Attachable Cells", lines, ' ', name);
}

}  // namespace edsys
