#include "editor/db/fuzz/fuzz_entry.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "editor/db/text_numbers.h"

namespace db {

namespace {

// The C library's reading, held against ours: equal where it reads a decimal number, 0 where it read
// hex, an infinity or NaN (none of which is ours), the largest double where it overflowed. The process
// never sets a locale, so strtod reads as in "C".
void CheckReal(const std::string& text) {
  const double ours = LeadingDouble(text);
  if (!std::isfinite(ours)) std::abort();
  char* end = nullptr;
  errno = 0;
  const double theirs = std::strtod(text.c_str(), &end);
  const std::string read(text.c_str(), std::size_t(end - text.c_str()));
  if (read.find_first_of("xXnNiI") != std::string::npos) {
    if (ours != 0) std::abort();
    return;
  }
  if (std::isinf(theirs)) {
    if (std::fabs(ours) != std::numeric_limits<double>::max() || std::signbit(ours) != std::signbit(theirs))
      std::abort();
    return;
  }
  if (ours != theirs) std::abort();
}

void CheckInt(const std::string& text) {
  const long theirs = std::strtol(text.c_str(), nullptr, 10);
  const long held = theirs > INT_MAX ? INT_MAX : theirs < INT_MIN ? INT_MIN : theirs;
  if (LeadingInt(text) != held) std::abort();
}

}  // namespace

void FuzzOneNumberText(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckReal(text);
  CheckInt(text);
}

}  // namespace db
