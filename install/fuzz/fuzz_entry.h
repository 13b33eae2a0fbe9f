// One fuzz input through the installer's readers: a whole archive unpacked, or one DEFLATE stream
// decoded. The libFuzzer targets and the regression test over the saved findings both call these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace install {
void FuzzOneZipInput(const std::uint8_t* data, std::size_t size);
void FuzzOneInflateInput(const std::uint8_t* data, std::size_t size);
}  // namespace install
