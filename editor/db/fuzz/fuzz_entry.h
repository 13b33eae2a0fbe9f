// One fuzz input through the number readers every program shares. The libFuzzer target and the
// regression test over the saved findings both call it; a broken promise aborts.
#pragma once
#include <cstddef>
#include <cstdint>

namespace db {
void FuzzOneNumberText(const std::uint8_t* data, std::size_t size);
}
