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

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    parts.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) {
    parts.folder = std::string(path.substr(0, slash + 1));
    path.remove_prefix(slash + 1);
  }
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos) {
    parts.extension = std::string(path.substr(dot));
    path = path.substr(0, dot);
  }
  parts.name = std::string(path);
  return parts;
}

}  // namespace gds
