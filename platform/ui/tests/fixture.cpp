#include "platform/ui/tests/fixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace uitest {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/mero_ui_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace uitest
