// One fuzz input as a UUE file: decoded into a folder of its own, then its check sum found. The
// libFuzzer target and the regression test over the saved findings both call it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace uue {
void FuzzOneUueInput(const std::uint8_t* data, std::size_t size);
}
