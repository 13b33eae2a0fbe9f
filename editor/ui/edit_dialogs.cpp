#include "editor/ui/edit_dialogs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/db/cell_index.h"
#include "editor/db/helpers.h"
#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "editor/ui/command_dialogs.h"
#include "editor/ui/shell.h"
#include "platform/ui/dialog.h"

namespace edui {

namespace {

constexpr int kSnapField = 164, kRotField = 157, kReszField = 158, kOvszField = 159, kWsizeField = 1027;
constexpr int kMakeField = 1332, kMakeList = 1321;
constexpr int kTextField = 117;
constexpr int kArcDirection = 1333, kArcSegments = 1334;
constexpr int kStepNx = 1335, kStepNy = 1337, kStepDx = 1338, kStepDy = 1339;
constexpr int kResSet = 1340, kResLoad = 1343, kResText = 146, kResOhms = 1341, kCapPf = 1336;
constexpr int kFontCombo = 1326;
constexpr int kWorkGridFirst = 1101, kDotGridFirst = 1111, kResolution = 151, kTlcOnSave = 1327,
              kGlobalTlc = 1328;
constexpr int kMinResolution = 50;

int Ok(int r) { return r == 1 ? 1 : 0; }

int AnswerDialog(Editor& ed, const char* name, int field, const std::string& shown) {
  return Ok(RunValueDialog(ed, name, field, shown, [&](const std::string& t) { ed.answer = t; }));
}

// Typed user units to database units, truncated, held to 32 bits.
std::int32_t TruncatedUnits(double typed, double scale) {
  const double v = std::trunc(typed * scale);
  if (!(v > -2147483647.0)) return -2147483647;
  if (!(v < 2147483647.0)) return 2147483647;
  return std::int32_t(v);
}

std::string ResSetText(const db::FormFile& form, int n) {
  db::ResParamSet set;
  if (n >= 1 && std::size_t(n) <= form.resSets.size()) set = form.resSets[std::size_t(n - 1)];
  char text[160];
  std::snprintf(text, sizeof text, "R/sq=%g\nEnd=%g\nWdth=%g\nCnr=%g", set.ohms, set.end, set.width, set.corner);
  return text;
}

}  // namespace

int RunSnapDialog(Editor& ed, double value) { return AnswerDialog(ed, "SNAP", kSnapField, FormatG(value, 8)); }
int RunRotDialog(Editor& ed) { return AnswerDialog(ed, "ROT", kRotField, FormatG(ed.db.settings.rotAngle, 8)); }
int RunReszDialog(Editor& ed) {
  return AnswerDialog(ed, "RESZ", kReszField, FormatG(ed.db.settings.resizeFactor, 8));
}
int RunOvszDialog(Editor& ed) { return AnswerDialog(ed, "OVSZ", kOvszField, FormatG(ed.db.settings.oversize, 8)); }
int RunWsizeDialog(Editor& ed, double value) { return AnswerDialog(ed, "WSIZE", kWsizeField, FormatG(value, 10)); }

int RunMakeDialog(Editor& ed) {
  return Ok(ui::RunDialog("MAKE", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::FocusItem(w, kMakeField);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    if (ui::LowWord(wp) == kMakeList) {
      std::string picked;
      if (tlc::PickIndexCell(w, ed.db.index, picked, "Cell Collection") == 1) ui::SetItemText(w, kMakeField, picked);
      return 1;
    }
    return ui::EndOkCancel(w, ui::LowWord(wp), [&] { ed.answer = ui::ItemText(w, kMakeField, kAnswerChars); });
  }));
}

int RunSmshDialog(Editor& ed) {
  return Ok(ui::RunDialog("SMSH", ed.main, [](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) return 1;
    return m == ui::msg::Command && ui::EndOkCancel(w, ui::LowWord(wp), nullptr);
  }));
}

int RunTextDialog(Editor& ed) {
  std::string& buffer = ed.edit.textBuffer;
  return Ok(ui::RunDialog("TEXT", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemLimit(w, kTextField, int(kAnswerChars));
      ui::SetItemText(w, kTextField, buffer);
      ui::FocusItem(w, kTextField);
      return 1;
    }
    return m == ui::msg::Command &&
           ui::EndOkCancel(w, ui::LowWord(wp), [&] { buffer = ui::ItemText(w, kTextField, kAnswerChars); });
  }));
}

std::string NextArcDirection(const std::string& now) { return now == "cw" ? "ccw" : "cw"; }

int RunArcDialog(Editor& ed) {
  db::Settings& s = ed.db.settings;
  return Ok(ui::RunDialog("ARC", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(w, kArcDirection, s.arcDirection);
      ui::SetItemText(w, kArcSegments, std::to_string(s.arcSegments));
      ui::FocusItem(w, kArcSegments);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    if (ui::LowWord(wp) == kArcDirection) {
      ui::SetItemText(w, kArcDirection, NextArcDirection(ui::ItemText(w, kArcDirection, 3)));
      return 1;
    }
    return ui::EndOkCancel(w, ui::LowWord(wp), [&] {
      s.arcDirection = ui::ItemText(w, kArcDirection, 3);
      s.arcSegments = TextToInt(ui::ItemText(w, kArcSegments, kAnswerChars));
    });
  }));
}

int RunStepDialog(Editor& ed) {
  EditState& e = ed.edit;
  const double scale = ed.db.settings.scale;
  return Ok(ui::RunDialog("STEP", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(w, kStepNx, std::to_string(e.stepColumns));
      ui::SetItemText(w, kStepNy, std::to_string(e.stepRows));
      ui::SetItemText(w, kStepDx, FormatG(e.stepDx / scale, 8));
      ui::SetItemText(w, kStepDy, FormatG(e.stepDy / scale, 8));
      ui::FocusItem(w, kStepNx);
      return 1;
    }
    return m == ui::msg::Command && ui::EndOkCancel(w, ui::LowWord(wp), [&] {
             e.stepColumns = TextToInt(ui::ItemText(w, kStepNx, kAnswerChars));
             e.stepRows = TextToInt(ui::ItemText(w, kStepNy, kAnswerChars));
             e.stepDx = TruncatedUnits(TextToDouble(ui::ItemText(w, kStepDx, kAnswerChars)), scale);
             e.stepDy = TruncatedUnits(TextToDouble(ui::ItemText(w, kStepDy, kAnswerChars)), scale);
           });
  }));
}

int LimitResSet(int n) { return std::clamp(n, 1, db::kMaxResSets); }

int RunResCapDialog(Editor& ed) {
  db::Settings& s = ed.db.settings;
  return Ok(ui::RunDialog("RESCAP", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(w, kResSet, std::to_string(s.resSet));
      ui::SetItemText(w, kResText, ResSetText(ed.db.form, s.resSet));
      ui::SetItemText(w, kResOhms, FormatG(s.resOhms, 8));
      ui::SetItemText(w, kCapPf, FormatG(s.capPf, 8));
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    if (ui::LowWord(wp) == kResLoad) {
      const int n = LimitResSet(TextToInt(ui::ItemText(w, kResSet, kAnswerChars)));
      ui::SetItemText(w, kResSet, std::to_string(n));
      ui::SetItemText(w, kResText, ResSetText(ed.db.form, n));
      return 1;
    }
    return ui::EndOkCancel(w, ui::LowWord(wp), [&] {
      s.capPf = TextToDouble(ui::ItemText(w, kCapPf, kAnswerChars));
      s.resOhms = TextToDouble(ui::ItemText(w, kResOhms, kAnswerChars));
      // A set number the editor has no row for is of no use to the measuring.
      s.resSet = LimitResSet(TextToInt(ui::ItemText(w, kResSet, kAnswerChars)));
    });
  }));
}

int RunFontDialog(Editor& ed) {
  db::FormFile& form = ed.db.form;
  return Ok(ui::RunDialog("FONT", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (const std::string& f : form.fonts)
        if (!f.empty()) ui::ListAdd(w, kFontCombo, f);
      ui::SetItemText(w, kFontCombo, form.currentFontPath);
      ui::FocusItem(w, kFontCombo);
      return 1;
    }
    return m == ui::msg::Command &&
           ui::EndOkCancel(w, ui::LowWord(wp),
                           [&] { form.currentFontPath = ui::ItemText(w, kFontCombo, kAnswerChars); });
  }));
}

int RunSetDialog(Editor& ed) {
  db::Settings& s = ed.db.settings;
  const double scale = s.scale;
  return Ok(ui::RunDialog("SET", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (int i = 1; i <= db::kGridSlots; ++i) {
        ui::SetItemText(w, kWorkGridFirst + i - 1, FormatG(s.workGrids[std::size_t(i)] / scale, 5));
        ui::SetItemText(w, kDotGridFirst + i - 1, FormatG(s.dotGrids[std::size_t(i)] / scale, 5));
      }
      ui::SetItemText(w, kResolution, std::to_string(s.resolution));
      ui::CheckItem(w, kTlcOnSave, s.tlcOnSave == 1);
      ui::CheckItem(w, kGlobalTlc, ed.edit.tlcIn.globalTlc);
      return 1;
    }
    return m == ui::msg::Command && ui::EndOkCancel(w, ui::LowWord(wp), [&] {
             const auto grid = [&](int id) {
               return db::RoundHalfAway(TextToDouble(ui::ItemText(w, id, kAnswerChars)) * scale);
             };
             for (int i = 1; i <= db::kGridSlots; ++i) {
               s.workGrids[std::size_t(i)] = grid(kWorkGridFirst + i - 1);
               s.dotGrids[std::size_t(i)] = grid(kDotGridFirst + i - 1);
             }
             const int resolution = TextToInt(ui::ItemText(w, kResolution, kAnswerChars));
             s.resolution = resolution > kMinResolution ? resolution : kMinResolution;
             s.tlcOnSave = ui::IsItemChecked(w, kTlcOnSave) ? 1 : 0;
             ed.edit.tlcIn.globalTlc = ed.edit.tlcOut.globalTlc = ui::IsItemChecked(w, kGlobalTlc);
           });
  }));
}

int RunObjectListDialog(Editor& ed) {
  const db::CellIndex& index = ed.db.index;
  std::vector<std::string> lines = {"BOX", "POLY/PATH"};
  for (int r = 1; r <= index.count; ++r)
    if (index.rows[std::size_t(r)].Rank() < ed.db.current.rank) lines.push_back(db::FormatCellLabel(index, r));
  std::string name;
  int row = -1;
  if (tlc::RunAnyList(ed.main, "Available Objects", lines, ' ', name, &row) != 1) return 0;
  // By row: a cell may be named BOX.
  ed.answer = row == 0 ? "B" : row == 1 ? "P" : name;
  return 1;
}

}  // namespace edui
