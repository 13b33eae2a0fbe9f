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

// The font library Qt renders text with keeps a cache for the life of the process; ctest does not
// pass cmake/lsan.supp on to the tests, so the same line is given here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
