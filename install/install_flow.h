// The install: which archives lie in the source folder, where they go, the expansion of each into
// its folder of the suite, and the menu items for the drawing folders and the help viewer. The
// wizard pages that ask for the settings belong to the program; everything here runs without them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "install/progress_list.h"
#include "utilib/job.h"

namespace install {

constexpr std::size_t kSourceFolderLength = 63;
constexpr std::size_t kMaxSuiteArchives = 5;
constexpr std::size_t kMaxAdditionalArchives = 15;
constexpr std::size_t kMaxArchiveName = 31;
constexpr const char* kSuitePattern = "Mero6*.ZIP";
constexpr const char* kSuiteFolder = "\\Mero6";
// Below the menu folder: where the items of the suite go.
constexpr const char* kMenuFolder = "\\Mero 6.0";
constexpr const char* kItemDescription = "MERO Drawing";

struct InstallSettings {
  std::string sourceFolder = "C:\\MeroZips";
  std::string drive = "C:";
  bool systemFiles = true;
  bool tutorFiles = true;
  bool characterFiles = false;
};

struct AdditionalArchive {
  std::string name;  // proper case ("Proj1.zip")
  bool checked = false;
};

// "D:Zips" reads "D:\Zips\"; a folder always ends in "\" (or "/"); empty stays empty (the current
// folder).
std::string NormaliseSourceFolder(std::string_view typed);
// A drive letter becomes "X:"; a folder path (Linux) stays a folder, without a trailing separator.
std::string NormaliseDrive(std::string_view typed);
// The source folder as a full path, so that the install's changes of the current folder do not move
// it.
std::string AbsoluteSourceFolder(std::string_view normalised);

// The first five suite archives of the folder, by name.
std::vector<std::string> CollectSuiteArchives(std::string_view source);
// The other archives: not suite archives, not the tutorial and character archives; fifteen at most.
std::vector<AdditionalArchive> CollectAdditionalArchives(std::string_view source);
// The drive's root folder exists (its free space can be asked for).
bool DriveExists(std::string_view drive);

// The folder the menu items go into: the desktop's applications folder of the user, when the user's
// data folder exists. Empty when there is none. Only "Start Menu" is known.
std::string FindStartMenuFolder(std::string_view valueName);

// Makes drive + folder, makes it current, and unpacks source + archive into it. Returns the severity.
int ExpandZip(ProgressList& lines, std::string_view source, std::string_view archive, std::string_view drive,
              std::string_view folder);
// Writes one menu item: `link` is its file, `target` the program, `folder` the working folder.
// Failures show their message boxes; 1 made, 0 not.
int CreateStartMenuShortcut(utilib::Job& job, std::string_view target, std::string_view link,
                            std::string_view description, std::string_view folder);
// The message box of an archive's severity or a menu failure (kind 3).
void ReportInstallError(utilib::Job& job, int kind);

struct InstallPlan {
  InstallSettings settings;
  std::string source;  // absolute, ending in a separator
  std::vector<std::string> suiteArchives;
  std::vector<AdditionalArchive> additional;
  std::string startMenu;  // empty: no menu items
};

// Expands what the plan asks for, in order, until the job is aborted, and makes the menu items.
void RunInstall(utilib::Job& job, ProgressList& lines, const InstallPlan& plan);

}  // namespace install
