#include "editor/ui/hardcopy_dialogs.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "editor/ui/command_dialogs.h"
#include "editor/ui/hardcopy.h"
#include "editor/ui/shell.h"
#include "platform/ui/dialog.h"

namespace edui {

namespace {

constexpr int kClipBoard = 1317, kDark = 1318, kDirect = 1315, kBlackWhite = 1320;
constexpr int kColors = 3, kFit = 5, kSetup = 4, kPrint = 1;
constexpr int kHardcopyScale = 1309, kPaperScale = 1314, kVShift = 1171, kHShift = 1170, kInformation = 1308;
constexpr int kFirstColourField = 1200;
constexpr std::size_t kNumberChars = 64;

// The palette colours PRNCOLORS lists, row by row.
constexpr std::array<int, 12> kColourRows = {9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 21};

double Typed(ui::Wnd w, int id) { return TextToDouble(ui::ItemText(w, id, kNumberChars)); }

// Phys Units/Inch as it will be used, written back.
double ReadPaperScale(ui::Wnd w) {
  const double p = UsablePaperScale(Typed(w, kPaperScale));
  ui::SetItemText(w, kPaperScale, FormatG(p, 8));
  return p;
}

void ShowTarget(Editor& ed, ui::Wnd w) {
  HardcopyState& h = ed.hardcopy;
  const bool clipboard = ui::IsItemChecked(w, kClipBoard);
  DescribeTarget(h, clipboard);
  ui::SetItemText(w, kInformation, PrinterInformation(h, clipboard));
  if (h.described && !clipboard) ui::CheckItem(w, kDark, false);
  ui::EnableItem(w, kDark, clipboard);
  ui::EnableItem(w, kPrint, h.described);
}

}  // namespace

double TypedHardcopyScale(double typed, double fitScale) { return typed > 0 && std::isfinite(typed) ? typed : fitScale; }

double TypedShift(double typed) { return std::isnan(typed) ? 0 : std::clamp(typed, -2.0, 2.0); }

int TypedColourByte(double typed) { return std::isnan(typed) ? 0 : int(std::clamp(typed, 0.0, 255.0)); }

int RunHcpyDialog(Editor& ed) {
  HardcopyState& h = ed.hardcopy;
  db::Settings& s = ed.db.settings;
  const int r = ui::RunDialog("HCPY", ed.main, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::CheckItem(w, kDirect, h.direct);
      ui::CheckItem(w, kClipBoard, h.clipboard && !h.direct);
      ui::CheckItem(w, kBlackWhite, h.blackWhite);
      ui::CheckItem(w, kDark, h.dark);
      ui::SetItemText(w, kHardcopyScale, FormatG(h.hardcopyScale, 8));
      ui::SetItemText(w, kPaperScale, FormatG(UsablePaperScale(s.printScale), 8));
      ui::SetItemText(w, kVShift, FormatG(s.printShiftY, 2));
      ui::SetItemText(w, kHShift, FormatG(s.printShiftX, 2));
      ShowTarget(ed, w);
      if (h.described) h.fitScale = FitScale(ed, ui::IsItemChecked(w, kClipBoard), UsablePaperScale(s.printScale));
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case kClipBoard:
      case kDirect: {
        const int id = ui::LowWord(wp);
        // The two forms exclude each other.
        if (ui::IsItemChecked(w, id)) ui::CheckItem(w, id == kDirect ? kClipBoard : kDirect, false);
        ShowTarget(ed, w);
        return 1;
      }
      case kColors:
        RunPrnColorsDialog(ed, w);
        return 1;
      case kFit: {
        const double paper = ReadPaperScale(w);
        if (!h.described) return 1;
        h.fitScale = FitScale(ed, ui::IsItemChecked(w, kClipBoard), paper);
        ui::SetItemText(w, kHardcopyScale, FormatG(h.fitScale, 8));
        return 1;
      }
      case kSetup:
        ReadPaperScale(w);
        if (!ui::IsItemChecked(w, kClipBoard)) RunPrinterSetup(w, h.printer);
        ShowTarget(ed, w);
        return 1;
      case kPrint: {
        if (!h.described) return 1;
        const bool clipboard = ui::IsItemChecked(w, kClipBoard);
        h.direct = ui::IsItemChecked(w, kDirect);
        h.clipboard = clipboard;
        h.blackWhite = ui::IsItemChecked(w, kBlackWhite);
        h.dark = ui::IsItemChecked(w, kDark);
        s.printScale = UsablePaperScale(Typed(w, kPaperScale));
        h.fitScale = FitScale(ed, clipboard, s.printScale);
        h.hardcopyScale = TypedHardcopyScale(Typed(w, kHardcopyScale), h.fitScale);
        s.printShiftY = TypedShift(Typed(w, kVShift));
        s.printShiftX = TypedShift(Typed(w, kHShift));
        ui::FinishDialog(w, 1);
        return 1;
      }
      case ui::kIdCancel:
        ui::FinishDialog(w, 0);
        return 1;
      default:
        return 1;
    }
  });
  return r == 1 ? 1 : 0;
}

int RunPrnColorsDialog(Editor& ed, ui::Wnd owner) {
  auto& colours = ed.db.settings.printColors;
  const int r = ui::RunDialog("PRNCOLORS", owner, [&](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (std::size_t row = 0; row < kColourRows.size(); ++row) {
        // stored as red + 256 green + 65536 blue
        const std::uint32_t c = colours[std::size_t(kColourRows[row])];
        for (int part = 0; part < 3; ++part)
          ui::SetItemInt(w, kFirstColourField + 3 * int(row) + part, int((c >> (8 * part)) & 255));
      }
      return 1;
    }
    return m == ui::msg::Command && ui::EndOkCancel(w, ui::LowWord(wp), [&] {
             for (std::size_t row = 0; row < kColourRows.size(); ++row) {
               std::uint32_t c = 0;
               for (int part = 0; part < 3; ++part)
                 c |= std::uint32_t(TypedColourByte(Typed(w, kFirstColourField + 3 * int(row) + part))) << (8 * part);
               colours[std::size_t(kColourRows[row])] = c;
             }
           });
  });
  return r == 1 ? 1 : 0;
}

}  // namespace edui
