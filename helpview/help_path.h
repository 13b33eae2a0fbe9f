// The help viewer's command line and the help file it names.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace hpv {

inline constexpr std::size_t kPathChars = 80;  // FILER's field
inline constexpr std::size_t kTopicChars = 80;

// What the command line asks for: a help file, then a main topic and a secondary topic parted by
// "/" (further parts are ignored). The arguments after the path are one text joined by blanks,
// so "Command Information/Get" arrives whole however the caller split it.
struct HelpRequest {
  std::string path;
  std::string mainTopic;
  std::string secondaryTopic;
};
HelpRequest SplitCommandLine(const std::vector<std::string>& arguments);

// A help file path made whole: upper case, and what is missing of it filled with the suite drive,
// the folder "\MERO6\", the name "MERO60" and the extension ".HPV". A path beginning with "/" is
// a path of this system as it stands and gets no drive.
struct HelpPath {
  std::string path;      // "C:\MERO6\MERO60.HPV"
  std::string fileName;  // "MERO60.HPV": the manual's source
  std::string baseName;  // "MERO60": the window's title
};
HelpPath ResolveHelpPath(std::string_view path, std::string_view suiteDrive);

}  // namespace hpv
