#include <cstddef>
#include <cstdint>

#include "uuencode/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  uue::FuzzOneUueInput(data, size);
  return 0;
}
