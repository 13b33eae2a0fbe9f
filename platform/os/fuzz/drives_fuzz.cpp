#include <cstddef>
#include <cstdint>

#include "platform/os/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  os::FuzzOneDrivesInput(data, size);
  return 0;
}
