#include "editor/tlc/run.h"

#include <strings.h>

#include <utility>

namespace tlc {

void SortByRank(std::vector<ListEntry>& list) {
  for (std::size_t i = 0; i + 1 < list.size(); ++i)
    for (std::size_t j = i + 1; j < list.size(); ++j)
      if (list[j].rank < list[i].rank) std::swap(list[i], list[j]);
}

int FindListed(const std::vector<ListEntry>& list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].name.size() == name.size() &&
        strncasecmp(list[i].name.data(), name.data(), name.size()) == 0)
      return static_cast<int>(i);
  return -1;
}

std::string NormaliseFolder(std::string_view folder) {
  std::string out = folder.empty() ? std::string(".") : std::string(folder);
  if (out.back() != '\\' && out.back() != '/') out += '\\';
  return out;
}

std::string TakeName(std::string_view name) {
  name = name.substr(0, 32);
  std::size_t blank = name.find(' ');
  return std::string(name.substr(0, blank));
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool MatchCellPattern(std::string_view pattern, std::string_view name) {
  std::size_t i = 0;
  for (; i < name.size(); ++i) {
    if (i >= 32) return true;
    if (i >= pattern.size()) return false;
    if (pattern[i] == '*') return true;
    if (pattern[i] != '?' && pattern[i] != name[i]) return false;
  }
  // Only wildcards may be left over, else "ABCD" would take A, AB and ABC too.
  for (; i < pattern.size(); ++i)
    if (pattern[i] != '*' && pattern[i] != '?') return false;
  return true;
}

}  // namespace tlc
