#include "install/install_flow.h"

#include <sys/statvfs.h>

#include <cctype>
#include <cstdlib>

#include "editor/db/helpers.h"
#include "install/folders.h"
#include "install/menu_entry.h"
#include "install/unzip.h"
#include "platform/os/path.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"

namespace install {

namespace {

using utilib::Format;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

bool EndsInSeparator(std::string_view s) { return !s.empty() && (s.back() == '\\' || s.back() == '/'); }

// The name before the extension: "Proj1.zip" gives "Proj1".
std::string StemOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

void AddMenuItem(utilib::Job& job, const std::string& startMenu, const std::string& name, const std::string& target,
                 const std::string& folder) {
  job.ui->SetDisplayTitle(Format("Creating %s Start Menu Item", name.c_str()));
  utilib::ShowPause(job, 500);
  const std::string menu = startMenu + kMenuFolder;
  MakeFolderPath(menu);  // a folder that cannot be made shows when the item is saved
  const std::string link = Format("%s\\%s.desktop", menu.c_str(), name.c_str());
  if (CreateStartMenuShortcut(job, target, link, kItemDescription, folder) != 1) ReportInstallError(job, 3);
}

}  // namespace

std::string NormaliseSourceFolder(std::string_view typed) {
  std::string s(typed.substr(0, std::min(typed.size(), kSourceFolderLength)));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (s.empty()) return s;
  if (s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]))) {
    s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    if (s.size() == 2 || (s[2] != '\\' && s[2] != '/')) s.insert(2, "\\");
  }
  if (!EndsInSeparator(s)) s += '\\';
  return s;
}

std::string NormaliseDrive(std::string_view typed) {
  std::string s(typed);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  if (!s.empty() && s[0] == '/') {
    while (s.size() > 1 && EndsInSeparator(s)) s.pop_back();
    return s;
  }
  if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return "";
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])))) + ":";
}

std::string AbsoluteSourceFolder(std::string_view normalised) {
  std::string s(normalised);
  if (s.empty()) return os::CurrentFolder() + "/";
  const bool absolute = s[0] == '/' || s[0] == '\\' || (s.size() >= 2 && s[1] == ':');
  return absolute ? s : os::CurrentFolder() + "/" + s;
}

std::vector<std::string> CollectSuiteArchives(std::string_view source) {
  std::vector<std::string> names = os::ListFiles(std::string(source) + kSuitePattern);
  if (names.size() > kMaxSuiteArchives) names.resize(kMaxSuiteArchives);
  return names;
}

std::vector<AdditionalArchive> CollectAdditionalArchives(std::string_view source) {
  std::vector<AdditionalArchive> found;
  for (const std::string& name : os::ListFiles(std::string(source) + "*.ZIP")) {
    if (found.size() == kMaxAdditionalArchives) break;
    if (StartsWithNoCase(name, "MERO6") || EqualNoCase(name, "Tutor.zip") || EqualNoCase(name, "Chars.zip")) continue;
    // A longer name would not fit its check box; cut short it would name another file.
    if (name.size() > kMaxArchiveName) continue;
    found.push_back({db::ProperCasePath(name), false});
  }
  return found;
}

bool DriveExists(std::string_view drive) {
  if (drive.empty()) return false;
  const std::string root = os::NativePath(std::string(drive) + "\\");
  struct statvfs st;
  return !root.empty() && statvfs(root.c_str(), &st) == 0 && os::FolderExists(std::string(drive) + "\\");
}

std::string FindStartMenuFolder(std::string_view valueName) {
  if (!EqualNoCase(valueName, "Start Menu")) return "";
  std::string data;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/') data = xdg;
  else if (home && home[0] == '/') data = std::string(home) + "/.local/share";
  if (data.empty() || !os::FolderExists(data)) return "";
  return data + "/applications";
}

int ExpandZip(ProgressList& lines, std::string_view source, std::string_view archive, std::string_view drive,
              std::string_view folder) {
  const std::string where = std::string(drive) + std::string(folder);
  if (!MakeFolderPath(where) || os::ChangeFolder(where) != 1) {
    lines.Add(Format("Unable to make the %s Folder ... can't continue", where.c_str()));
    return kSeverityFatal;
  }
  lines.job().ui->SetDisplayTitle(Format("Expanding %s%s in the %s Folder", std::string(source).c_str(),
                                         std::string(archive).c_str(), where.c_str()));
  return UnzipArchive(std::string(source) + std::string(archive), where + "\\", lines);
}

int CreateStartMenuShortcut(utilib::Job& job, std::string_view target, std::string_view link,
                            std::string_view description, std::string_view folder) {
  MenuEntry entry;
  std::string name(link);
  const std::size_t cut = name.find_last_of("\\/");
  if (cut != std::string::npos) name.erase(0, cut + 1);
  entry.name = StemOf(name);
  entry.description = description;
  entry.program = os::FindProgram(target);
  if (entry.program.empty()) {
    // Not there (yet): the item names the program the suite would have there.
    std::string bare(target);
    if (bare.size() > 4 && EqualNoCase(bare.substr(bare.size() - 4), ".exe")) bare.resize(bare.size() - 4);
    entry.program = os::NativePath(bare);
  }
  entry.folder = os::NativePath(folder);
  const std::string text = DesktopEntryText(entry);
  os::BinaryWriter writer;
  if (!writer.Open(link) || (writer.Write(text.data(), text.size()), writer.Commit() != 1)) {
    job.ui->Box(kCaption, "Failed at Save Shortcut", tell::Buttons::Ok);
    job.ui->Box(kCaption, "Failed to Create Shortcut", tell::Buttons::Ok);
    return 0;
  }
  return 1;
}

void ReportInstallError(utilib::Job& job, int kind) {
  const char* text = "Unknown Error";
  switch (kind) {
    case 1: text = "Non-fatal Error Occurred... Installation May Not be Complete"; break;
    case 2: text = "Fatal Error Occured ... Check Cause and Run SETUP Again."; break;
    case 3: text = "Start Menu Error Occurred... Installation May Not be Complete"; break;
  }
  job.ui->Box(kCaption, text, tell::Buttons::Ok);
  job.failed = true;
}

void RunInstall(utilib::Job& job, ProgressList& lines, const InstallPlan& plan) {
  const std::string& drive = plan.settings.drive;
  os::ChangeFolder(drive + "\\");
  const std::string suite = drive + kSuiteFolder;
  if (plan.settings.systemFiles) {
    for (const std::string& archive : plan.suiteArchives) {
      if (job.abort) break;
      MakeFolderPath(suite);
      os::ChangeFolder(suite);
      const int severity = ExpandZip(lines, plan.source, archive, drive, kSuiteFolder);
      if (severity != 0) ReportInstallError(job, severity);
    }
  }
  // The tutorial and character archives come with the suite and are taken from where it went.
  const std::string installed = suite + "\\";
  auto drawingFolder = [&](const std::string& source, const std::string& archive) {
    if (job.abort) return;
    const std::string name = StemOf(archive);
    const int severity = ExpandZip(lines, source, archive, drive, std::string(kSuiteFolder) + "\\" + name);
    if (severity != 0) {
      ReportInstallError(job, severity);
    } else if (!plan.startMenu.empty()) {
      AddMenuItem(job, plan.startMenu, name, suite + "\\Wmero.exe", suite + "\\" + name);
    }
  };
  if (plan.settings.tutorFiles) drawingFolder(installed, "Tutor.zip");
  if (plan.settings.characterFiles) drawingFolder(installed, "Chars.zip");
  for (const AdditionalArchive& a : plan.additional)
    if (a.checked) drawingFolder(plan.source, a.name);
  if (!plan.startMenu.empty()) AddMenuItem(job, plan.startMenu, "Mero Help", suite + "\\Whpv.exe", suite);
  if (job.abort)
    job.ui->Box(kCaption, "Aborted ... Installation May Not be Complete", tell::Buttons::Ok);
}

}  // namespace install
