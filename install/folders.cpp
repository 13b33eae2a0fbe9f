#include "install/folders.h"

#include <string>

#include "platform/os/path.h"

namespace install {

bool MakeFolders(std::string_view base, std::string_view relative) {
  for (std::size_t i = 0; i < relative.size(); ++i) {
    if (relative[i] != '/' && relative[i] != '\\') continue;
    if (i == 0 || relative[i - 1] == '/' || relative[i - 1] == '\\' || relative[i - 1] == ':') continue;
    const std::string folder = std::string(base) + std::string(relative.substr(0, i));
    const os::MkdirResult r = os::MakeFolder(folder);
    if (r == os::MkdirResult::NoParent || r == os::MkdirResult::Failed) return false;
    if (!os::FolderExists(folder)) return false;
  }
  return true;
}

bool MakeFolderPath(std::string_view path) { return MakeFolders("", std::string(path) + "\\"); }

}  // namespace install
