#include "utilib/cores.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "editor/db/text_numbers.h"

namespace utilib {

int RunCores() {
  if (const char* v = std::getenv("MERO_CORES"))
    return static_cast<int>(std::clamp<long long>(db::LeadingInt(v), 1, 8));
  const unsigned n = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(n, 1u, 8u));
}

}  // namespace utilib
