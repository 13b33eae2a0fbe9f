#include "editor/tlc/dialogs/tlc_dialogs.h"

#include <memory>

#include "editor/db/cell_index.h"
#include "editor/tlc/help_text.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/text.h"
#include "platform/os/path.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace tlc {

namespace {
constexpr int kPauseTimer = 1;
constexpr std::size_t kSetupTextLength = 63;
}  // namespace

bool ShowPause(ui::Wnd owner, int milliseconds, bool closeStops) {
  bool stopped = false;
  ui::RunDialog(
      "PAUSE", owner,
      [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
        switch (m) {
          case ui::msg::InitDialog:
            ui::StartTimer(d, kPauseTimer, ui::ScaledPause(milliseconds));
            return 1;
          case ui::msg::Timer:
            ui::StopTimer(d, kPauseTimer);
            ui::FinishDialog(d, 1);
            return 1;
          case ui::msg::Command:
            if (ui::LowWord(wp) == ui::kIdCancel) {
              stopped = true;
              ui::FinishDialog(d, 0);
            }
            return 1;
          case ui::msg::Close:
            stopped = stopped || closeStops;
            ui::FinishDialog(d, 0);
            return 1;
        }
        return 0;
      },
      milliseconds);
  return stopped;
}

void ProgressDisplay::Open(ui::Wnd owner, std::string_view title, std::string_view templateName) {
  Close();
  closed_ = false;
  const std::string caption(title);
  handle_ = ui::OpenDialog(templateName, owner, [this, caption](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam lp) -> ui::Result {
    if (extra && extra(d, m, wp, lp)) return 1;
    switch (m) {
      case ui::msg::InitDialog:
        if (!caption.empty()) ui::SetTitle(d, caption);
        return 1;
      case ui::msg::Close:
        if (confirmClose && !confirmClose()) return 1;
        closed_ = true;
        handle_ = 0;
        ui::FinishDialog(d, 0);
        if (onClose) onClose();
        return 1;
    }
    return 0;
  });
}

void ProgressDisplay::Close() {
  if (handle_) ui::Destroy(handle_);
  handle_ = 0;
}

void ProgressDisplay::SetItem(int item, std::string_view text) {
  if (handle_) ui::SetItemText(handle_, item, text);
}

void RunQuickHelp(ui::Wnd owner, bool tlcOut) {
  RunQuickHelp(owner, tlcOut ? TlcOutHelpLines() : TlcInHelpLines());
}

void RunQuickHelp(ui::Wnd owner, std::span<const std::string_view> lines) {
  HelpScroll scroll;
  const auto font = gfx::UiFont();
  const int lineHeight = std::max(1, font->metrics().height);
  ui::RunDialog("HELPER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    switch (m) {
      case ui::msg::InitDialog:
        scroll.lines = static_cast<int>(lines.size());
        scroll.visible = ui::ItemRect(d, kHelpText).Height() / lineHeight;
        scroll.top = 0;
        ui::SetScrollRange(d, kHelpScroll, 0, scroll.Range());
        ui::SetScrollPos(d, kHelpScroll, 0);
        ui::InvalidateItem(d, kHelpText);
        return 1;
      case ui::msg::Paint: {
        gfx::Surface* area = ui::ItemSurface(d, kHelpText);
        if (!area) return 0;
        gfx::Canvas canvas(*area);
        canvas.FillRect({0, 0, area->width, area->height}, gfx::Brush::Solid(gfx::Rgb(255, 255, 255)));
        canvas.SetFont(font);
        canvas.SetBackgroundMode(gfx::BackgroundMode::Opaque);
        canvas.SetBackgroundColor(gfx::Rgb(255, 255, 255));
        canvas.SetTextColor(gfx::Rgb(0, 0, 0));
        for (int i = 0; i < scroll.visible && scroll.top + i < scroll.lines; ++i)
          canvas.TextOut(2, i * lineHeight, lines[scroll.top + i]);
        return 0;
      }
      case ui::msg::VScroll: {
        static constexpr ScrollAction kActions[] = {
            ScrollAction::LineUp, ScrollAction::LineDown, ScrollAction::PageUp, ScrollAction::PageDown,
            ScrollAction::Thumb,  ScrollAction::Thumb,    ScrollAction::Top,    ScrollAction::Bottom};
        const int code = ui::LowWord(wp);
        if (code < 0 || code > ui::scroll::Bottom) return 1;
        scroll.Apply(kActions[code], ui::HighWord(wp));
        ui::SetScrollPos(d, kHelpScroll, scroll.top);
        ui::InvalidateItem(d, kHelpText);
        return 1;
      }
      case ui::msg::Command:
        if (ui::LowWord(wp) == ui::kIdOk || ui::LowWord(wp) == ui::kIdCancel) ui::FinishDialog(d, 1);
        return 1;
    }
    return 0;
  });
}

int RunAnyList(ui::Wnd owner, std::string_view caption, const std::vector<std::string>& lines, char cut,
               std::string& name, int* row) {
  const int result = ui::RunDialog("ANYLIST", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kAnyListCaption, caption);
      for (const std::string& line : lines) ui::ListAdd(d, kAnyListList, line);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    if (id == kAnyListList && ui::HighWord(wp) == ui::notify::DblClk) {
      const int picked = ui::ListSelection(d, kAnyListList);
      if (picked < 0) return 1;
      const std::string line = ui::ListText(d, kAnyListList, picked);
      name = line.substr(0, line.find(cut));
      if (row) *row = picked;
      ui::FinishDialog(d, 1);
    } else if (id == ui::kIdCancel) {
      ui::FinishDialog(d, 0);
    }
    return 1;
  });
  return result == 1 ? 1 : 0;
}

int PickTlcFile(ui::Wnd owner, std::string_view folder, std::string& name, std::string_view caption) {
  std::vector<std::string> lines;
  for (const std::string& file : os::ListFiles(std::string(folder) + "*.TLC")) {
    std::string upper = UpperCase(file);
    if (upper != ".TLC") lines.push_back(std::move(upper));
  }
  return RunAnyList(owner, caption, lines, '.', name);
}

int PickIndexCell(ui::Wnd owner, const db::CellIndex& index, std::string& name, std::string_view caption) {
  std::vector<std::string> lines;
  for (int row = 1; row <= index.count; ++row) lines.push_back(db::FormatCellLabel(index, row));
  return RunAnyList(owner, caption, lines, ' ', name);
}

bool RunTlcSetup(ui::Wnd owner, std::string_view caption, TlcSetup& values) {
  const bool tlcOut = caption == "TLCOUT";
  // The drawing folder's side while Global TLC is off.
  const int fixed = tlcOut ? kSetupSource : kSetupDestination;
  const int result = ui::RunDialog(caption, owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kSetupSource, values.source);
      ui::SetItemText(d, kSetupDestination, values.destination);
      ui::SetItemText(d, kSetupName, values.name);
      ui::CheckItem(d, kSetupFastRun, true);
      if (!values.globalTlc) {
        ui::SetItemText(d, fixed, ".\\");
        ui::EnableItem(d, fixed, false);
      }
      ui::FocusItem(d, kSetupName);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case ui::kIdOk:
        values.source = ui::ItemText(d, kSetupSource, kSetupTextLength);
        values.destination = ui::ItemText(d, kSetupDestination, kSetupTextLength);
        values.name = ui::ItemText(d, kSetupName, kSetupTextLength);
        if (!values.globalTlc) (tlcOut ? values.source : values.destination) = ".\\";
        values.fastRun = ui::IsItemChecked(d, kSetupFastRun);
        ui::FinishDialog(d, 1);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
      case kSetupHelp:
        RunQuickHelp(d, tlcOut);
        return 1;
      case kSetupList: {
        const std::string folder = NormaliseFolder(UpperCase(ui::ItemText(d, kSetupSource, kSetupTextLength)));
        std::string picked;
        if (!tlcOut) {
          if (PickTlcFile(d, folder, picked)) ui::SetItemText(d, kSetupName, picked);
          return 1;
        }
        auto index = std::make_unique<db::CellIndex>();
        if (db::ReadCellIndexFile(*index, folder + "CELLS6.DBD") != 1) {
          ui::TalkBox(d, "TLCOUT", "No Source TLC Files", tell::Buttons::Ok);
          return 1;
        }
        if (PickIndexCell(d, *index, picked)) ui::SetItemText(d, kSetupName, picked);
        return 1;
      }
    }
    return 1;
  });
  return result == 1;
}

SetupDialog SetupDialogOf(ui::Wnd owner) {
  return [owner](std::string_view caption, TlcSetup& values) { return RunTlcSetup(owner, caption, values); };
}

void DialogTalk::OpenDisplay(std::string_view caption) {
  display_.Open(owner, caption);
  if (owner && ui::IsEnabled(owner)) {
    ui::Enable(owner, false);
    disabledMain_ = true;
  }
}

void DialogTalk::CloseDisplay() {
  display_.Close();
  if (disabledMain_) ui::Enable(owner, true);
  disabledMain_ = false;
}

bool DialogTalk::Pause(int milliseconds) {
  // An Esc pressed while the run worked went to whatever window had the focus then.
  if (display_.closed() || ui::TakeKeyPress(ui::key::Escape)) return true;
  const bool stopped = ShowPause(display_.handle() ? display_.handle() : owner, milliseconds);
  return stopped || display_.closed();
}

bool DialogTalk::EscapeWaiting() { return ui::TakeKeyPress(ui::key::Escape); }

}  // namespace tlc
