// One fuzz input through the GDSII reading code. The libFuzzer target and the regression test over
// the saved findings both call it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gds {
void FuzzOneGdsInput(const std::uint8_t* data, std::size_t size);
}
