#include <cstddef>
#include <cstdint>

#include "helpview/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hpv::FuzzOneHelpFileInput(data, size);
  return 0;
}
