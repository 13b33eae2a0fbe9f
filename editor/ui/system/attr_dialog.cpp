#include "editor/ui/system/attr_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "editor/db/text_numbers.h"
#include "editor/ui/draw/resources.h"
#include "platform/gfx/canvas.h"
#include "platform/ui/dialog.h"

namespace edsys {

namespace {

constexpr int kColor = 1300, kFill = 1301, kDash = 1302, kLayer = 1317, kSetLoad = 1303;
constexpr int kNoFill = 1304, kSolidFill = 1307, kNoDash = 1305, kPatterns = 1312, kPage = 5;
constexpr int kFirstRow = 1050, kRowsPerPage = 32, kGroup = 1167;
constexpr int kLegendArea = 1340;

int Number(const std::string& text) { return db::LeadingInt(text); }

class AttrState {
 public:
  AttrState(db::Database& d, DrawSwitches sw, int layer) : d_(d), sw_(sw), shown_(std::clamp(layer, 1, 64)) {}

  void Init(ui::Wnd w) {
    table_ = d_.settings.layerSelectionByTable == 1;
    ui::EnableItem(w, kLayer, !table_);
    ui::EnableItem(w, kSetLoad, !table_);
    ui::EnableItem(w, kPage, table_);
    ui::CheckItem(w, kNoFill, sw_.noFill && *sw_.noFill);
    ui::CheckItem(w, kSolidFill, sw_.solidFill && *sw_.solidFill);
    ui::CheckItem(w, kNoDash, sw_.noDash && *sw_.noDash);
    Show(w);
  }

  // The fields into the shown layer's settings.
  void Store(ui::Wnd w) {
    db::Settings& s = d_.settings;
    const std::string letter = ui::ItemText(w, kColor, 1);
    if (!letter.empty())
      db::SetLayerColorByLetter(s, static_cast<char>(std::tolower(static_cast<unsigned char>(letter[0]))), shown_);
    s.layerFills[static_cast<std::size_t>(shown_ - 1)] = std::clamp(Number(ui::ItemText(w, kFill, 8)), 0, 13);
    s.layerDashes[static_cast<std::size_t>(shown_ - 1)] = std::clamp(Number(ui::ItemText(w, kDash, 8)), 0, 4);
  }

  void Show(ui::Wnd w) {
    const db::Settings& s = d_.settings;
    char text[32];
    std::snprintf(text, sizeof text, "Layer %d Attributes", shown_);
    ui::SetItemText(w, kGroup, text);
    ui::SetItemText(w, kColor, std::string(1, db::GetLayerColorLetter(s, shown_)));
    ui::SetItemInt(w, kFill, s.layerFills[static_cast<std::size_t>(shown_ - 1)]);
    ui::SetItemInt(w, kDash, s.layerDashes[static_cast<std::size_t>(shown_ - 1)]);
    ui::SetItemInt(w, kLayer, shown_);
    ShowRows(w);
  }

  void ShowRows(ui::Wnd w) {
    const auto& rows = d_.form.layers;
    ui::SetItemText(w, kPage, page_ == 0 ? ">>" : "<<");
    for (int i = 0; i < kRowsPerPage; ++i) {
      const std::size_t r = static_cast<std::size_t>(page_ * kRowsPerPage + i);
      const bool have = table_ && r < rows.size() && rows[r].number != 0;
      char label[48] = "";
      if (r < rows.size()) std::snprintf(label, sizeof label, "%-7s%d", rows[r].name.c_str(), rows[r].number);
      ui::SetItemText(w, kFirstRow + i, label);
      ui::EnableItem(w, kFirstRow + i, have);
      ui::CheckItem(w, kFirstRow + i, have && rows[r].number == shown_);
    }
  }

  // Gives the dialog's answer for a command, or -1 to stay open.
  int Command(ui::Wnd w, int id) {
    if (id == kSetLoad) {
      Store(w);
      const int typed = Number(ui::ItemText(w, kLayer, 8));
      shown_ = std::clamp(typed, 1, 64);
      Show(w);
    } else if (id >= kFirstRow && id < kFirstRow + kRowsPerPage) {
      const std::size_t r = static_cast<std::size_t>(page_ * kRowsPerPage + id - kFirstRow);
      if (table_ && r < d_.form.layers.size() && d_.form.layers[r].number != 0) {
        Store(w);  // what was typed for the layer shown so far is kept
        shown_ = d_.form.layers[r].number;
      }
      Show(w);
    } else if (id == kPage && table_) {
      page_ = 1 - page_;
      ShowRows(w);
    } else if (id == kNoFill || id == kSolidFill || id == kNoDash) {
      bool* sw = id == kNoFill ? sw_.noFill : id == kSolidFill ? sw_.solidFill : sw_.noDash;
      if (sw) *sw = ui::IsItemChecked(w, id);
    } else if (id == kPatterns) {
      RunLegend(w);
    } else if (id == ui::kIdOk) {
      Store(w);
      return 1;
    } else if (id == ui::kIdCancel) {
      return 0;
    }
    return -1;
  }

  int shown() const { return shown_; }

 private:
  db::Database& d_;
  DrawSwitches sw_;
  int shown_;
  int page_ = 0;
  bool table_ = false;
};

}  // namespace

int RunAttrDialog(ui::Wnd owner, db::Database& d, DrawSwitches switches, int& shownLayer) {
  AttrState state(d, switches, shownLayer);
  const int result = ui::RunDialog("ATTR", owner, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      state.Init(w);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int answer = state.Command(w, ui::LowWord(wp));
    if (answer >= 0) ui::FinishDialog(w, answer);
    return 1;
  });
  shownLayer = state.shown();
  return result == 1 ? 1 : 0;
}

void RunLegend(ui::Wnd owner) {
  ui::RunDialog("LEGEND", owner, [](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::Paint) {
      gfx::Surface* area = ui::ItemSurface(w, kLegendArea);
      if (!area) return 0;
      gfx::Canvas c(*area);
      c.SetPalette(draw::EditorPalette());
      c.FillRect({0, 0, area->width, area->height}, gfx::Brush::Solid(gfx::PaletteIndex(0)));
      c.SetPen(gfx::Pen::Null());
      c.SetTextColor(gfx::Rgb(0, 0, 0));
      c.SetBackgroundColor(gfx::PaletteIndex(15));
      for (int fill = 0; fill < 14; ++fill) {
        const int x = 32 + 28 * (fill % 7);
        const int y = fill < 7 ? 68 : 116;
        c.SetBrush(gfx::Brush::Pattern(draw::FillPattern(fill)));
        c.Rectangle(x, y, x + 16, y + 16);
      }
      for (int style = 0; style < 5; ++style) {
        c.SetPen(gfx::Pen::Styled(static_cast<gfx::PenStyle>(style), gfx::PaletteIndex(15)));
        c.MoveTo(40, 176 + 13 * style);
        c.LineTo(220, 176 + 13 * style);
      }
      return 0;  // left to validate
    }
    if (m == ui::msg::Command && ui::LowWord(wp) == ui::kIdCancel) {
      ui::FinishDialog(w, 0);
      return 1;
    }
    return 0;
  });
}

}  // namespace edsys
