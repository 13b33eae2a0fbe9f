// Wmerouue: any file into a UUE text file and back, with a check sum of the text to compare.
#include <array>
#include <string_view>

#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "platform/ui/dialog.h"
#include "platform/ui/filedialog.h"
#include "platform/ui/keys.h"
#include "utilib/frame/frame.h"
#include "uuencode/uue_job.h"

namespace {

constexpr int kSource = 110, kDestination = 111, kPagePause = 200, kFiles = 102;
constexpr int kOk = 100, kCancel = 101;

uue::UueSettings settings;
uue::UueOutcome outcome;

constexpr std::array<std::string_view, 34> kHelpLines = {
    "",
    "                 MEROUUE Quick Help",
    "                 ------------------",
    "",
    "MEROUUE turns any file into a UU-encoded text file",
    "with the extension UUE, and a UUE file back into the",
    "file it was made from, so that cell collections and",
    "other binary files can travel as text.",
    "",
    "Setup:",
    "  Source Path/File    the file to encode or decode;",
    "                      Files picks it from a list.",
    "  Output Destination  the folder the result goes to,",
    "                      in the form drive:\\path\\ ;",
    "                      blank or . is the current folder.",
    "  Page Pause          stops half a second after each",
    "                      page of lines shown.",
    "",
    "Go:",
    "  A source whose extension is UUE is decoded; the",
    "  file takes the name its begin line gives.",
    "  Any other source is encoded into a file of the same",
    "  name with the extension UUE.",
    "  With a UUE source and the destination +, nothing is",
    "  written: only the check sum of the source is found.",
    "",
    "Check sum:",
    "  After encoding, the check sum and the count of the",
    "  characters of the UUE text are shown. The receiver",
    "  runs the check sum on the file received and compares",
    "  both numbers before decoding it.",
    "",
    "Esc or Cancel of a pause stops a run; what was written",
    "so far stays on the disk.",
};

void Normalise() { uue::NormaliseUueSettings(settings); }

bool RunSetup() {
  return ui::RunDialog("SETUP", utilib::UtilityWindow(), [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kSource, settings.source());
      ui::SetItemText(d, kDestination, settings.destination());
      ui::CheckItem(d, kPagePause, settings.pagePause);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case kFiles: {
        ui::OpenFileOptions o;
        o.owner = d;
        o.title = "Source File";
        o.filters = {{"All Files", "*"}, {"UUE Files", "*.uue"}};
        o.mustExist = true;
        std::string path;
        if (ui::ChooseFileToOpen(o, path)) ui::SetItemText(d, kSource, path.substr(0, uue::kFieldLength));
        return 1;
      }
      case kOk:
      case ui::kIdOk:
        settings.source() = ui::ItemText(d, kSource, uue::kFieldLength);
        settings.destination() = ui::ItemText(d, kDestination, uue::kFieldLength);
        settings.pagePause = ui::IsItemChecked(d, kPagePause);
        Normalise();
        ui::FinishDialog(d, 1);
        return 1;
      case kCancel:
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  }) == 1;
}

bool Command(int id) {
  if (id == 10) {
    // Help is a quick-help dialog of its own here; nothing to remember afterwards.
    tlc::RunQuickHelp(utilib::UtilityWindow(), kHelpLines);
    return false;
  }
  if (id == 11) {
    RunSetup();
    return true;  // the set-up file is written after Setup, as after every setting dialog
  }
  return false;
}

int Go(utilib::Job& job) {
  // Decoded and encoded both end with their own completion text.
  return uue::ConvertUue(job, settings, outcome) == uue::kFailed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  utilib::UtilityProgram p;
  p.name = uue::kProgram;
  p.templates = "wmerouue";
  p.setupFile = uue::kSetupFile;
  p.version = uue::kSetupVersion;
  p.credit = "MEROUUE 6.0\nFile Encoder";
  p.menu = {{10, "&Help"}, {11, "&Setup"}, {12, "&Go"}};
  p.accelerators.entries = {{'H', ui::mod::Alt, 10}, {ui::key::F1, 0, 10}, {'S', ui::mod::Alt, 11},
                            {'G', ui::mod::Alt, 12}};
  p.toolbar = {{10, "Help"}, {11, "Setup"}, {12, "Go"}};
  p.groups = {&settings.slots};
  p.readerPairs = false;
  p.normalise = Normalise;
  p.command = Command;
  p.helpId = -1;
  p.readId = -1;
  p.goId = 12;
  p.go = Go;
  p.completion = [] { return uue::UueCompletionText(outcome); };
  return utilib::RunUtility(p, argc, argv);
}
