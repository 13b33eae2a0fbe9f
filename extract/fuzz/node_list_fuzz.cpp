#include <cstddef>
#include <cstdint>

#include "extract/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ext::FuzzOneNodeListInput(data, size);
  return 0;
}
