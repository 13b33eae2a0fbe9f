#include "editor/ui/command_dialogs.h"

#include <array>
#include <functional>

#include "editor/ui/shell.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/dialog.h"

namespace edui {

namespace {

constexpr int kCmdLine = 1345, kCmdMacro = 1172, kCmdPaste = 4;
constexpr int kMacroText = 1171, kMacroPaste = 3, kMacroClear = 1173;
constexpr int kDepthField = 152, kWindowField = 1342, kGridField = 1306;

}  // namespace

int RunValueDialog(Editor& ed, const char* name, int field, const std::string& shown,
                   const std::function<void(const std::string&)>& take) {
  return ui::RunDialog(name, ed.main, [&](ui::Wnd dlg, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(dlg, field, shown);
      ui::FocusItem(dlg, field);
      return 1;
    }
    return m == ui::msg::Command &&
           ui::EndOkCancel(dlg, ui::LowWord(w), [&] { take(ui::ItemText(dlg, field, 64)); });
  });
}

void RememberCommand(std::array<std::string, 16>& history, std::string_view line) {
  if (line.empty()) return;
  std::size_t k = history.size() - 1;  // no equal line: the oldest drops out
  for (std::size_t i = 0; i < history.size(); ++i) {
    if (SameNoCase(history[i], line)) {
      k = i;
      break;
    }
  }
  for (std::size_t i = k; i > 0; --i) history[i] = history[i - 1];
  history[0] = std::string(line);
}

int RunCmdDialog(Editor& ed) {
  auto& history = ed.db.settings.commands;
  const int r = ui::RunDialog("CMD", ed.main, [&](ui::Wnd dlg, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      for (const std::string& line : history) {
        if (!line.empty() && ui::ListAdd(dlg, kCmdLine, line) < 0) break;
      }
      ui::SetItemText(dlg, kCmdLine, ed.commandLine);
      ui::FocusItem(dlg, kCmdLine);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(w)) {
      case kCmdMacro:
        ui::FinishDialog(dlg, 2);
        return 1;
      case kCmdPaste: {
        std::string text = ui::ClipboardText();
        if (!text.empty()) {
          // Only the first line of the clipboard fits a command line.
          const std::size_t end = text.find_first_of("\r\n");
          if (end != std::string::npos) text.resize(end);
          ui::SetItemText(dlg, kCmdLine, text.substr(0, kCommandLineChars));
        }
        return 1;
      }
    }
    return ui::EndOkCancel(dlg, ui::LowWord(w), [&] {
      ed.commandLine = ui::ItemText(dlg, kCmdLine, kCommandLineChars);
      RememberCommand(history, ed.commandLine);
    });
  });
  return r > 0 ? r : 0;
}

int RunMacroDialog(Editor& ed) {
  const int r = ui::RunDialog("MACRO", ed.main, [&](ui::Wnd dlg, ui::Message m, ui::WParam w, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(dlg, kMacroText, ed.macroText);
      ui::SetItemLimit(dlg, kMacroText, int(kMacroChars));
      ui::FocusItem(dlg, kMacroText);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(w)) {
      case kMacroPaste: {
        const std::string text = ui::ClipboardText();
        if (!text.empty()) ui::SetItemText(dlg, kMacroText, text.substr(0, kMacroChars));
        return 1;
      }
      case kMacroClear:
        ui::SetItemText(dlg, kMacroText, "");
        return 1;
    }
    return ui::EndOkCancel(dlg, ui::LowWord(w),
                           [&] { ed.macroText = ui::ItemText(dlg, kMacroText, kMacroChars); });
  });
  return r > 0 ? r : 0;
}

int RunDepthDialog(Editor& ed) {
  const int r = RunValueDialog(ed, "DPTH", kDepthField, std::to_string(ed.db.settings.depth),
                               [&](const std::string& t) { ed.db.settings.depth = TextToInt(t); });
  return r > 0 ? r : 0;
}

int RunWindowNumberDialog(Editor& ed) {
  const int r = RunValueDialog(ed, "SWIN", kWindowField, std::to_string(ed.viewCommands.windowNumber),
                               [&](const std::string& t) { ed.viewCommands.windowNumber = TextToInt(t); });
  return r > 0 ? r : 0;
}

int RunGridSizeDialog(Editor& ed, double value) {
  const int r = RunValueDialog(ed, "WDGRD", kGridField, FormatG(value, 8),
                               [&](const std::string& t) { ed.answer = t; });
  return r > 0 ? r : 0;
}

}  // namespace edui
