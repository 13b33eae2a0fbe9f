// Small text helpers of the converters' set-up normalisers.
#pragma once
#include <string>
#include <string_view>

namespace gds {

void UpperCase(std::string& text);
// "%g" in the "C" locale.
std::string FormatG(double value);
std::string FormatD(long value);

// A path taken apart the way the C runtime's path splitter does: "D:", "\WORK\", "TOP", ".TLC".
struct PathParts {
  std::string drive;
  std::string folder;
  std::string name;
  std::string extension;  // from the last "." of the file name, "" when it has none
};
PathParts SplitPath(std::string_view path);

}  // namespace gds
