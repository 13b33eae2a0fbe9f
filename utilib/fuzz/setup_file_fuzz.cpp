#include <cstddef>
#include <cstdint>

#include "utilib/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  utilib::FuzzOneSetupFileInput(data, size);
  return 0;
}
