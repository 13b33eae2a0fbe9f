#include "editor/ui/cell_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "editor/db/cell_index.h"
#include "editor/ui/draw/layer_masks.h"
#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "editor/ui/shell.h"
#include "platform/ui/dialog.h"

namespace edui {

namespace {

constexpr int kCellName = 1001, kCellList = 1321;
constexpr int kNewRank = 1003;
constexpr int kUndoLoad = 1013, kUndoMoves = 1014;
constexpr int kListTitle = 1009, kListBox = 1006;
constexpr int kPointX = 153, kPointY = 1174;

using Proc = std::function<ui::Result(ui::Wnd, ui::Message, ui::WParam, ui::LParam)>;

int Run(Editor& ed, const char* name, const Proc& proc) {
  const int r = ui::RunDialog(name, ed.main, proc);
  return r > 0 ? r : 0;
}

}  // namespace

int RunCellDialog(Editor& ed) {
  return Run(ed, "CELL", [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemLimit(d, kCellName, 32);
      ui::FocusItem(d, kCellName);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(w)) {
      case kCellList: {
        std::string picked;
        if (tlc::PickIndexCell(d, ed.db.index, picked, "Cell Collection") == 1) {
          ui::SetItemText(d, kCellName, picked);
          ui::FocusItem(d, ui::kIdOk);
        }
        return 1;
      }
    }
    return ui::EndOkCancel(d, ui::LowWord(w), [&] { ed.answer = ui::ItemText(d, kCellName, 32); });
  });
}

int RunNewCellDialog(Editor& ed) {
  int rank = 0;
  const int r = Run(ed, "NEWCELL", [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kNewRank, "1");
      ui::FocusItem(d, kNewRank);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    return ui::EndOkCancel(d, ui::LowWord(w),
                           [&] { rank = std::max(1, TextToInt(ui::ItemText(d, kNewRank, 16))); });
  });
  return r == 1 ? rank : 0;
}

int RunUndoDialog(Editor& ed) {
  return Run(ed, "UNDO", [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m != ui::msg::Command) return m == ui::msg::InitDialog;
    switch (ui::LowWord(w)) {
      case kUndoLoad:
        ui::FinishDialog(d, 1);
        return 1;
      case kUndoMoves:
        ui::FinishDialog(d, 2);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  });
}

std::string CollectionLine(Editor& ed, int row) {
  const std::string& name = ed.db.index.rows[std::size_t(row)].name;
  std::string line;
  if (const int place = db::FindRecentCell(ed.db.recent, name); place > 0) {
    line = std::to_string(place) + "  ";
  } else if (ed.db.current.rank > 0 && row == ed.db.current.row) {
    line = "*  ";
  } else {
    line = "    ";
  }
  return line + db::FormatCellLabel(ed.db.index, row);
}

int RunCellCollectionDialog(Editor& ed) {
  const int count = ed.db.index.count;
  return Run(ed, "ANYLIST", [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      char title[64];
      std::snprintf(title, sizeof title, "Cell Collection  %d Cells", count);
      ui::SetItemText(d, kListTitle, title);
      for (int row = 1; row <= count; ++row) ui::ListAdd(d, kListBox, CollectionLine(ed, row));
      if (ed.listPick >= 1 && ed.listPick <= count) ui::ListSelect(d, kListBox, ed.listPick - 1);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(w);
    if ((id == kListBox && ui::HighWord(w) == ui::notify::DblClk) || id == ui::kIdOk) {
      const int sel = ui::ListSelection(d, kListBox);
      if (sel < 0) return 1;
      ed.listPick = sel + 1;
      ui::FinishDialog(d, sel + 1);
      return 1;
    }
    if (id == ui::kIdCancel) {
      ui::FinishDialog(d, 0);
      return 1;
    }
    return 0;
  });
}

int RunPointDialog(Editor& ed, bool x) {
  const double scale = ed.db.settings.scale;
  return Run(ed, x ? "PKEX" : "PKEY", [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      // The dialog speaks user units; the typed point is kept in database units.
      ui::SetItemText(d, kPointX, FormatG(scale != 0 ? ed.typedX / scale : 0, 10));
      ui::SetItemText(d, kPointY, FormatG(scale != 0 ? ed.typedY / scale : 0, 10));
      ui::FocusItem(d, x ? kPointX : kPointY);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    return ui::EndOkCancel(d, ui::LowWord(w), [&] {
      ed.typedX = TextToDouble(ui::ItemText(d, kPointX, 32)) * scale;
      ed.typedY = TextToDouble(ui::ItemText(d, kPointY, 32)) * scale;
    });
  });
}

}  // namespace edui

namespace edui {

namespace {

constexpr int kLayerField = 1344, kLayerBox = 1050, kLayerBoxes = 32, kAllLayers = 1329, kLayerPage = 5,
              kLayerClear = 3, kLayerSet = 4, kLayerTitle = 1328;

const char* LayerTableTitle(int mode, bool table) {
  if (mode == kLayerNumber) return "LAYER by Number";
  if (table) return mode == kLayerView ? "VIEW Table" : "OPEN Table";
  return mode == kLayerView ? "VIEW by Numbers" : "OPEN by Numbers";
}

}  // namespace

int RunLayerTableDialog(Editor& ed, int mode) {
  std::vector<db::LayerRow>& rows = ed.db.form.layers;
  const bool table = ed.db.settings.layerSelectionByTable != 0;
  // Cancel puts back what the boxes and "All Layers" changed on the way.
  const std::vector<db::LayerRow> before = rows;
  const std::uint64_t viewOverride = ed.masks.viewOverride;
  const std::uint64_t openOverride = ed.masks.openOverride;
  int page = 0;
  int chosen = TextToInt(ed.layerAnswer);

  const auto flag = [&](db::LayerRow& r) -> int& { return mode == kLayerView ? r.view : r.open; };
  const auto showPage = [&](ui::Wnd d) {
    for (int i = 0; i < kLayerBoxes; ++i) {
      const std::size_t row = std::size_t(page * kLayerBoxes + i);
      const int id = kLayerBox + i;
      if (row >= rows.size() || rows[row].number == 0) {
        ui::SetItemText(d, id, row < rows.size() ? rows[row].name : std::string());
        ui::CheckItem(d, id, false);
        ui::EnableItem(d, id, false);
        continue;
      }
      char text[40];
      std::snprintf(text, sizeof text, "%-7s%d", rows[row].name.c_str(), rows[row].number);
      ui::SetItemText(d, id, text);
      ui::EnableItem(d, id, table);
      const bool on = mode == kLayerNumber ? rows[row].number == chosen : flag(rows[row]) != 0;
      ui::CheckItem(d, id, table && on);
    }
    ui::SetItemText(d, kLayerPage, page ? "<<" : ">>");
  };
  const auto override = [&]() -> std::uint64_t& {
    return mode == kLayerView ? ed.masks.viewOverride : ed.masks.openOverride;
  };

  const int r = ui::RunDialog("LYRTABLE", ed.main, [&](ui::Wnd d, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kLayerTitle, LayerTableTitle(mode, table));
      ui::SetItemLimit(d, kLayerField, int(db::kLayerListLength));
      ui::SetItemText(d, kLayerField, ed.layerAnswer);
      ui::EnableItem(d, kLayerField, !table);
      ui::EnableItem(d, kLayerPage, table);
      ui::EnableItem(d, kLayerClear, table && mode != kLayerNumber);
      ui::EnableItem(d, kLayerSet, table && mode != kLayerNumber);
      ui::EnableItem(d, kAllLayers, mode != kLayerNumber);
      ui::CheckItem(d, kAllLayers, mode != kLayerNumber && override() != 0);
      showPage(d);
      if (!table) ui::FocusItem(d, kLayerField);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(w);
    if (id >= kLayerBox && id < kLayerBox + kLayerBoxes) {
      const std::size_t row = std::size_t(page * kLayerBoxes + id - kLayerBox);
      if (!table || row >= rows.size() || rows[row].number == 0) return 1;
      if (mode == kLayerNumber) {
        chosen = rows[row].number;
      } else {
        const int on = ui::IsItemChecked(d, id) ? 1 : 0;
        for (db::LayerRow& other : rows)
          if (other.number == rows[row].number) flag(other) = on;
      }
      showPage(d);
      return 1;
    }
    switch (id) {
      case kLayerPage:
        page = !page;
        showPage(d);
        return 1;
      case kLayerClear:
      case kLayerSet:
        if (table && mode != kLayerNumber) {
          for (db::LayerRow& row : rows) flag(row) = id == kLayerSet ? 1 : 0;
          showPage(d);
        }
        return 1;
      case kAllLayers:
        if (mode != kLayerNumber) {
          override() = ~override();
          draw::CombineLayerMasks(ed.masks);
          ui::CheckItem(d, kAllLayers, override() != 0);
        }
        return 1;
      case ui::kIdOk:
        if (!table) {
          ed.layerAnswer = ui::ItemText(d, kLayerField, db::kLayerListLength);
          ed.chosenLayer = TextToInt(ed.layerAnswer);
        } else if (mode == kLayerNumber) {
          ed.chosenLayer = chosen;
          ed.layerAnswer = std::to_string(chosen);
        }
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        rows = before;
        ed.masks.viewOverride = viewOverride;
        ed.masks.openOverride = openOverride;
        draw::CombineLayerMasks(ed.masks);
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  });
  return r == 1 ? 1 : 0;
}

}  // namespace edui
