// A small leaf cell in file bytes: two boxes, a wide path, a polygon and a text turned by code 3.
// Its outline is (-10, -118, 105, 50): the text "ABCDE" of size 30 at (5, 5) is 123 long.
#pragma once
#include <cstdint>
#include <string>

#include "editor/db/tests/drawing_folder.h"

namespace dbtest {

constexpr std::int64_t kTextFlag = 0x80000000;

inline std::string SampleBoxes() { return Words({1, 0, 0, 100, 50}) + Words({64, -10, -10, 10, 10}); }
inline std::string SamplePaths() {
  return Words({2, 10, 1}) + Words({3, 0, 3}) + Words({kTextFlag | (3 << 11) | 4, 30, 7});
}
inline std::string SampleVertices() {
  return Words({1, 0, 0, 2}) + Words({1, 100, 0, 0}) + Words({2, 0, 0, 4}) + Words({2, 10, 0, 5}) +
         Words({2, 10, 10, 6}) + Words({2, 0, 0, 0}) + Words({3, 5, 5, 8}) +
         Words({kTextFlag | 3, 0x41424344, 0x45000000, 0});
}
inline std::string SampleBp6() {
  return SampleBoxes() + Zeros(20) + SamplePaths() + Zeros(12) + SampleVertices() + Zeros(16);
}

}  // namespace dbtest
