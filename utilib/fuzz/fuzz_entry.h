// One fuzz input as a utility's set-up file: read into the groups of slots and the reader lists,
// written back, and read again. The libFuzzer target and the regression test over the saved
// findings both call it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace utilib {
void FuzzOneSetupFileInput(const std::uint8_t* data, std::size_t size);
}
