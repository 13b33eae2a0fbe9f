#include <cstddef>
#include <cstdint>

#include "convert/dxf/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dxf::FuzzOneDxfInput(data, size);
  return 0;
}
