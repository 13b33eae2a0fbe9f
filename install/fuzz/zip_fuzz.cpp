#include <cstddef>
#include <cstdint>

#include "install/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  install::FuzzOneZipInput(data, size);
  return 0;
}
