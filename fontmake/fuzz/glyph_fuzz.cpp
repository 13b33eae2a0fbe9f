#include <cstddef>
#include <cstdint>

#include "fontmake/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fontmake::FuzzOneGlyphInput(data, size);
  return 0;
}
