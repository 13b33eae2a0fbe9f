#include "editor/ui/system/show_list.h"

#include <sstream>

#include "platform/ui/dialog.h"

namespace edsys {

namespace {

constexpr int kLines = 1006, kBack = 3;

std::string Word(const std::string& line, int n) {
  std::istringstream in(line);
  std::string word;
  for (int i = 0; i < n && in >> word; ++i) {
  }
  return in ? word : std::string();
}

void ShowBackButton(ui::Wnd w, const ShowHistory& history) {
  ui::SetItemText(w, kBack, history.names.empty() ? "<--" : history.names.front() + " <--");
  ui::EnableItem(w, kBack, !history.names.empty());
}

}  // namespace

int RunShowList(ui::Wnd owner, db::Database& d, const CellReport& report, ShowHistory& history) {
  const std::string reported = report.lines.empty() ? std::string() : Word(report.lines.front(), 1);
  const int result = ui::RunDialog("SHOWLIST", owner, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (const std::string& line : report.lines) ui::ListAdd(w, kLines, line);
      ShowBackButton(w, history);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    if (id == kLines && ui::HighWord(wp) == ui::notify::DblClk) {
      const int row = ui::ListSelection(w, kLines);
      const std::string name = row >= 0 ? Word(ui::ListText(w, kLines, row), 2) : "";
      // Row 0 is Make's scratch cell, no cell to walk to.
      if (name.empty() || !db::FindCell(d.index, name) || d.index.foundRow < 1) return 1;
      history.names.push_front(reported);
      if (history.names.size() > kShowHistory) history.names.pop_back();
      ui::FinishDialog(w, d.index.foundRow);
      return 1;
    }
    if (id == kBack) {
      while (!history.names.empty()) {
        const std::string name = history.names.front();
        history.names.pop_front();
        if (db::FindCell(d.index, name) && d.index.foundRow >= 1) {
          ui::FinishDialog(w, d.index.foundRow);
          return 1;
        }
      }
      ShowBackButton(w, history);
      return 1;
    }
    if (id == ui::kIdCancel) {
      history.names.clear();
      ui::FinishDialog(w, 0);
      return 1;
    }
    return 0;
  });
  return result > 0 ? result : 0;
}

int ShowCellReports(ui::Wnd owner, db::Database& d, std::string name, int instance, const EditedCellKeeper* keeper) {
  ShowHistory history;
  for (int shown = 0;; ++shown) {
    CellReport report;
    if (BuildCellReport(d, name, instance, report, keeper) != 1) return shown > 0 ? 1 : 0;
    const int row = RunShowList(owner, d, report, history);
    if (row <= 0) return 1;
    name = d.index.rows[static_cast<std::size_t>(row)].name;
    instance = 0;
  }
}

}  // namespace edsys
