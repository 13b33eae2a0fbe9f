// Wglyphmk: installs characters drawn as TLC cells into a stroke-font table, one at a time.
#include <string>

#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "fontmake/glyph_maker.h"
#include "platform/ui/dialog.h"
#include "platform/ui/program.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"
#include "utilib/job.h"

namespace {

constexpr ui::Message kInstall = 1025;  // posted to itself at creation
constexpr int kFontField = 1000, kTlcField = 1001, kCharField = 1005, kList = 1006, kExit = 1003;
constexpr int kDialogInstall = 2, kDialogExit = 1, kDialogCancel = 0;

int RunTffDialog(ui::Wnd owner, fontmake::GlyphRequest& request) {
  return ui::RunDialog("TFFDLG", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetTitle(d, " GLYPHMK 6.0");
      ui::SetItemText(d, kFontField, request.fontPath);
      ui::SetItemText(d, kTlcField, request.tlcName);
      ui::SetItemText(d, kCharField, "");
      request.code = 0;
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case kList: {
        std::string name;
        if (tlc::PickTlcFile(d, "", name, "TLC Files") == 1) ui::SetItemText(d, kTlcField, name + ".TLC");
        return 1;
      }
      case ui::kIdOk:
        request.tlcName = ui::ItemText(d, kTlcField, fontmake::kTlcNameLength);
        request.fontPath = ui::ItemText(d, kFontField, fontmake::kFontPathLength);
        request.code = fontmake::FieldCharacter(ui::ItemText(d, kCharField, 1));
        ui::FinishDialog(d, kDialogInstall);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, kDialogCancel);
        return 1;
      case kExit:
        ui::FinishDialog(d, kDialogExit);
        return 1;
    }
    return 0;
  });
}

// The maker's loop: 1 when the user chose Exit.
int InstallGlyph(ui::Wnd main) {
  fontmake::GlyphRequest request;
  ui::WindowTalk boxes(main);
  for (;;) {
    const int r = RunTffDialog(main, request);
    if (r == kDialogExit || r < 0) return 1;  // a missing template cannot be worked either
    if (r != kDialogInstall) continue;
    fontmake::InstallRound(request, boxes);
  }
}

ui::Result MainProc(ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
  switch (m) {
    case ui::msg::Create:
      ui::Post(w, kInstall);
      return 0;
    case kInstall:
      if (InstallGlyph(w) == 1) ui::Destroy(w);
      return 0;
    case ui::msg::Destroy:
      ui::PostQuit(0);
      return 0;
  }
  return ui::DefaultProc(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  ui::InitProgram(argc, argv, "wglyphmk");
  ui::DefineClass({"GlyphMk", MainProc, ui::cls::Redraw, 0xC0C0C0});
  const ui::Wnd main = ui::MakeWindow("GlyphMk", "GlyphMk 6.0", ui::style::Caption | ui::style::SysMenu | ui::style::MinimizeBox,
                                      0, 0, 9 * ui::SystemMetric(ui::Metric::MenuButtonWidth),
                                      ui::SystemMetric(ui::Metric::MenuButtonHeight) + ui::SystemMetric(ui::Metric::CaptionHeight), 0);
  if (!main) return 1;
  ui::Show(main, ui::show::Normal);
  ui::UpdateNow(main);
  const int code = ui::RunMessageLoop(main, nullptr);
  const int status = ui::ScriptStatus();
  return status ? status : code;
}
