// Setup: installs the suite from its ZIP archives, through README pages and a wizard of three pages,
// with the list of files expanded and menu items for the drawing folders and the help viewer.
#include <string>

#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "install/install_flow.h"
#include "install/unzip.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"

namespace {

using install::kCaption;
using utilib::Format;

constexpr ui::Message kInstall = 1025;  // posted to itself once the README pages were read
constexpr ui::Message kStart = 1026;    // posted at creation: the README pages
constexpr int kReadmeText = 1013;
constexpr int kSource = 1000, kDrive = 1001;
constexpr int kSystemFiles = 1008, kTutorFiles = 1004, kCharacterFiles = 1009;
constexpr int kFirstArchiveBox = 1012;
constexpr int kBack = 1002;
constexpr int kPageBack = 3;  // a page's result when "< Back" was pressed

const char* const kReadme1 =
    "SETUP installs MERO 6.0 from the distribution's ZIP archives.\n\n"
    "Before you go on, put the archives into one folder, the source folder (C:\\MeroZips unless you "
    "name another on the next page):\n"
    "   - the suite archives, whose names begin with Mero6 (five at most);\n"
    "   - the archives of any drawings you want installed as drawing folders.\n\n"
    "Do not unpack them yourself: SETUP unpacks every file, checks it and gives it back its date and "
    "time.\n\n"
    "A drive letter stands for a folder: C: is the folder above the one SETUP runs from, and the "
    "variable MERO_DRIVES names others (\"D=/home/me/chips\"). A folder such as /home/me/mero may be "
    "given in place of a drive.";

std::string Readme2(const std::string& menu) {
  std::string text =
      "SETUP will now:\n"
      "   - unpack the suite archives into the folder Mero6 of the drive you choose;\n"
      "   - unpack the tutorial drawing (Tutor.zip) and, if you wish, the character cells "
      "(Chars.zip) into folders of their own inside Mero6;\n"
      "   - offer every other archive of the source folder, to be unpacked into a drawing folder of "
      "its name inside Mero6;\n"
      "   - make a menu item for each drawing folder, which starts the editor there, and one for the "
      "help viewer.\n\n";
  if (menu.empty()) return text + "No application menu folder was found: no menu items will be made.";
  return text + "The menu items will appear in the folder \"Mero 6.0\" of your desktop's application menu (" +
         menu + ").";
}

const char* const kPage1Text =
    "Source Directory: the folder holding the ZIP archives (blank: the current folder).\n"
    "Target Drive: the drive, or a folder, in whose folder Mero6 the suite is installed.";
const char* const kPage2Text =
    "Check the groups of files to install. System Files are the programs, font tables and help "
    "files; Tutor Files the tutorial drawing; Character Files the character cells of the stroke "
    "fonts, for the font-table maker.";

// What the install shows: the progress list, message boxes over the main window, PAUSE yields.
class SetupUi final : public ui::WindowTalk {
 public:
  tlc::ProgressDisplay display;

  void SetItemText(int item, std::string_view text) override { display.SetItem(item, text); }
  void SetDisplayTitle(std::string_view text) override {
    if (display.handle()) ui::SetTitle(display.handle(), text);
  }
  bool Pause(int milliseconds) override { return tlc::ShowPause(owner, milliseconds) || display.closed(); }
};

SetupUi talk;
utilib::Job job("SETUP", talk);
install::InstallPlan plan;
std::string typedSource = install::InstallSettings{}.sourceFolder;
std::string typedDrive = install::InstallSettings{}.drive;

void Box(const std::string& text) { talk.Box(kCaption, text); }

bool RunReadme(ui::Wnd main, const std::string& text, const char* okLabel) {
  return ui::RunDialog("README", main, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
           if (m == ui::msg::InitDialog) {
             ui::SetItemText(d, kReadmeText, text);
             ui::SetItemText(d, ui::kIdOk, okLabel);
             return 1;
           }
           return m == ui::msg::Command && ui::EndOkCancel(d, ui::LowWord(wp)) ? 1 : 0;
         }) == 1;
}

bool RunPage1(ui::Wnd main) {
  return ui::RunDialog("SETUPDLG1", main, [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
           if (m == ui::msg::InitDialog) {
             ui::SetItemText(d, 1003, kPage1Text);
             ui::SetItemText(d, kSource, typedSource);
             ui::SetItemText(d, kDrive, typedDrive);
             return 1;
           }
           if (m != ui::msg::Command) return 0;
           return ui::EndOkCancel(d, ui::LowWord(wp), [d] {
                    typedSource = ui::ItemText(d, kSource, install::kSourceFolderLength);
                    typedDrive = ui::ItemText(d, kDrive, install::kSourceFolderLength);
                  })
                      ? 1
                      : 0;
         }) == 1;
}

// The page's result: 1 on OK, kPageBack, 0 on Cancel.
int RunPage2(ui::Wnd main) {
  install::InstallSettings& s = plan.settings;
  return ui::RunDialog("SETUPDLG2", main, [&s](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, 1006, kPage2Text);
      ui::SetItemText(d, ui::kIdOk, plan.additional.empty() ? "Install" : "Next >");
      ui::CheckItem(d, kSystemFiles, s.systemFiles);
      ui::CheckItem(d, kTutorFiles, s.tutorFiles);
      ui::CheckItem(d, kCharacterFiles, s.characterFiles);
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    if (id == ui::kIdOk || id == kBack) {
      s.systemFiles = ui::IsItemChecked(d, kSystemFiles);
      s.tutorFiles = ui::IsItemChecked(d, kTutorFiles);
      s.characterFiles = ui::IsItemChecked(d, kCharacterFiles);
      ui::FinishDialog(d, id == kBack ? kPageBack : 1);
      return 1;
    }
    return ui::EndOkCancel(d, id) ? 1 : 0;
  });
}

int RunPage3(ui::Wnd main) {
  return ui::RunDialog("SETUPDLG3", main, [](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    const int count = static_cast<int>(plan.additional.size());
    if (m == ui::msg::InitDialog) {
      for (int i = 0; i < static_cast<int>(install::kMaxAdditionalArchives); ++i) {
        const bool used = i < count;
        ui::SetItemText(d, kFirstArchiveBox + i, used ? plan.additional[static_cast<std::size_t>(i)].name : "");
        ui::CheckItem(d, kFirstArchiveBox + i, used && plan.additional[static_cast<std::size_t>(i)].checked);
        ui::EnableItem(d, kFirstArchiveBox + i, used);
      }
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    const int id = ui::LowWord(wp);
    if (id == ui::kIdOk || id == kBack) {
      for (int i = 0; i < count; ++i)
        plan.additional[static_cast<std::size_t>(i)].checked = ui::IsItemChecked(d, kFirstArchiveBox + i);
      ui::FinishDialog(d, id == kBack ? kPageBack : 1);
      return 1;
    }
    return ui::EndOkCancel(d, id) ? 1 : 0;
  });
}

// The wizard; false when the program is to close without installing.
bool AskSettings(ui::Wnd main) {
  for (;;) {
    if (!RunPage1(main)) return false;
    typedSource = install::NormaliseSourceFolder(typedSource);
    plan.source = install::AbsoluteSourceFolder(typedSource);
    plan.suiteArchives = install::CollectSuiteArchives(plan.source);
    if (plan.suiteArchives.empty()) {
      Box(Format("%s is NOT in the Source Directory", install::kSuitePattern));
      install::ReportInstallError(job, 2);
      return false;
    }
    // Archives checked before a Back stay checked.
    const auto before = plan.additional;
    plan.additional = install::CollectAdditionalArchives(plan.source);
    for (auto& a : plan.additional)
      for (const auto& b : before)
        if (a.name == b.name) a.checked = b.checked;
    plan.settings.drive = install::NormaliseDrive(typedDrive);
    if (!install::DriveExists(plan.settings.drive)) {
      Box(Format("Drive %s Does NOT Seem to Exist", typedDrive.c_str()));
      install::ReportInstallError(job, 2);
      return false;
    }
    for (;;) {
      const int r2 = RunPage2(main);
      if (r2 == kPageBack) break;
      if (r2 != 1) return false;
      if (plan.additional.empty()) return true;
      const int r3 = RunPage3(main);
      if (r3 == kPageBack) continue;
      return r3 == 1;
    }
  }
}

void Install(ui::Wnd main) {
  if (AskSettings(main)) {
    talk.display.onClose = [] { job.abort = true; };
    talk.display.Open(main, "", "DISPLAY");
    install::ProgressList lines(job);
    install::RunInstall(job, lines, plan);
    talk.display.Close();
  }
  if (job.failed) ui::TellJobFailed();
  ui::Destroy(main);
}

void Start(ui::Wnd main) {
  plan.startMenu = install::FindStartMenuFolder("Start Menu");
  if (plan.startMenu.empty())
    Box("Start Menu Folder not Found in Registry ... Start Menu Items will not be Created");
  if (!RunReadme(main, kReadme1, "Next Page") || !RunReadme(main, Readme2(plan.startMenu), "Continue")) {
    ui::Destroy(main);
    return;
  }
  ui::Post(main, kInstall);
}

ui::Result MainProc(ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
  switch (m) {
    case ui::msg::Create:
      talk.owner = w;
      ui::Post(w, kStart);
      return 0;
    case kStart:
      Start(w);
      return 0;
    case kInstall:
      Install(w);
      return 0;
    case ui::msg::KeyDown:
      if (wp == ui::key::Escape) job.abort = true;
      return 0;
    case ui::msg::Destroy:
      ui::PostQuit(0);
      return 0;
  }
  return ui::DefaultProc(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  ui::InitProgram(argc, argv, "setup");
  ui::DefineClass({"SETUP 6.0", MainProc, ui::cls::Redraw, 0xC0C0C0});
  const ui::Wnd main = ui::MakeWindow("SETUP 6.0", "SETUP 6.0", ui::style::Caption | ui::style::SysMenu | ui::style::MinimizeBox,
                                      0, 0, 9 * ui::SystemMetric(ui::Metric::MenuButtonWidth),
                                      ui::SystemMetric(ui::Metric::MenuButtonHeight) + ui::SystemMetric(ui::Metric::CaptionHeight), 0);
  if (!main) return 1;
  ui::Show(main, ui::show::Normal);
  ui::UpdateNow(main);
  const int code = ui::RunMessageLoop(main, nullptr, talk.display.handleSlot());
  const int status = ui::ScriptStatus();
  return status ? status : code;
}
