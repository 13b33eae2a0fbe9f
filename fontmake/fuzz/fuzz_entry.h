// One fuzz input through the readers of the stroke-font tables: as a font table (read by the
// font-table maker and the editor, every character drawn), or as a character TLC file the maker
// puts into a table. The libFuzzer targets and the regression test over the saved findings both
// call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fontmake {
void FuzzOneFontTableInput(const std::uint8_t* data, std::size_t size);
void FuzzOneGlyphInput(const std::uint8_t* data, std::size_t size);
}  // namespace fontmake
