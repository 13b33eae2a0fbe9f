#include <cstddef>
#include <cstdint>

#include "editor/tlc/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tlc::FuzzOneTlcInInput(data, size);
  return 0;
}
