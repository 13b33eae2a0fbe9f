#include <cstddef>
#include <cstdint>

#include "convert/gds/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gds::FuzzOneGdsInput(data, size);
  return 0;
}
