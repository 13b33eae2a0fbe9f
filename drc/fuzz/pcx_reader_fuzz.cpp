#include <cstddef>
#include <cstdint>

#include "drc/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  drc::FuzzOnePcxMap(data, size);
  return 0;
}
