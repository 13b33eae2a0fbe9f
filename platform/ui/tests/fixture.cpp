#include "platform/ui/tests/fixture.h"

#include <unistd.h>

namespace uitest {

std::string TempPath(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/mero_ui_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace uitest
