#include <cstddef>
#include <cstdint>

#include "editor/db/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  db::FuzzOneNumberText(data, size);
  return 0;
}
