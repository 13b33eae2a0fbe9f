#include "convert/gds/setting_text.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace gds {

void UpperCase(std::string& text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string FormatG(double value) {
  char b[64];
  std::snprintf(b, sizeof b, "%g", value);
  return b;
}

std::string FormatD(long value) {
  char b[24];
  return std::string(b, std::to_chars(b, b + sizeof b, value).ptr);
}

}  // namespace gds
