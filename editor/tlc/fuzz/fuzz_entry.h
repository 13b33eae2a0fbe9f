// One fuzz input through the TLC record readers, or through TLCIN as a whole TLC set. The libFuzzer
// targets of this folder and the regression test over the saved findings call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tlc {
// One TLC file through the header reader and the record loop, and as a CELLS.REF.
void FuzzOneTlcRecordsInput(const std::uint8_t* data, std::size_t size);
// A TLC set converted into an empty drawing folder; the input holds its files, each one after a line
// "##NAME" (a first part without such a line is TOP.TLC). Whatever the set holds, the drawing made
// keeps the rank rule and every cell written reads back whole.
void FuzzOneTlcInInput(const std::uint8_t* data, std::size_t size);
}  // namespace tlc
