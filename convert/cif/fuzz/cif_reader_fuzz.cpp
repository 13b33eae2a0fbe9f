#include <cstddef>
#include <cstdint>

#include "convert/cif/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cif::FuzzOneCifInput(data, size);
  return 0;
}
