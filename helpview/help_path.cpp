#include "helpview/help_path.h"

#include <cctype>

namespace hpv {

HelpRequest SplitCommandLine(const std::vector<std::string>& arguments) {
  HelpRequest r;
  if (arguments.empty()) return r;
  // Never cut: a folder of this system can be deeper than any field, and a cut path names another file.
  r.path = arguments[0];
  std::string topics;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (i > 1) topics += ' ';
    topics += arguments[i];
  }
  const std::size_t slash = topics.find('/');
  r.mainTopic = topics.substr(0, slash).substr(0, kTopicChars);
  if (slash != std::string::npos) {
    const std::string rest = topics.substr(slash + 1);
    r.secondaryTopic = rest.substr(0, rest.find('/')).substr(0, kTopicChars);
  }
  return r;
}

HelpPath ResolveHelpPath(std::string_view path, std::string_view suiteDrive) {
  std::string p(path);
  for (char& c : p) c = char(std::toupper(static_cast<unsigned char>(c)));
  std::string drive;
  if (p.size() >= 2 && p[1] == ':') {
    drive = p.substr(0, 2);
    p.erase(0, 2);
  }
  const std::size_t cut = p.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? p : p.substr(cut + 1);
  const std::size_t dot = name.find_last_of('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  if (dot != std::string::npos) name.erase(dot);
  const bool native = drive.empty() && !folder.empty() && folder[0] == '/';
  if (drive.empty() && !native) {
    drive = std::string(suiteDrive);
    for (char& c : drive) c = char(std::toupper(static_cast<unsigned char>(c)));
  }
  if (folder.empty()) folder = "\\MERO6\\";
  if (name.empty()) name = "MERO60";
  if (ext.empty()) ext = ".HPV";
  HelpPath h;
  h.path = drive + folder + name + ext;
  h.fileName = name + ext;
  h.baseName = name;
  return h;
}

}  // namespace hpv
