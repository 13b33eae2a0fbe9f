#include "convert/gds/fuzz/fuzz_entry.h"

#include "convert/gds/record.h"
#include "convert/gds/record_reader.h"

namespace gds {

void FuzzOneGdsInput(const std::uint8_t* data, std::size_t size) {
  GdsReader reader(data, size);
  GdsRecord r;
  volatile double sink = 0;
  while (reader.Next(r)) {
    switch (DataTypeSize(r.dataType)) {
      case 2:
        for (std::size_t i = 0; i < r.size / 2 + 1; ++i) sink = sink + r.Int2(i);
        break;
      case 4:
        for (std::size_t i = 0; i < r.Int4Count() + 1; ++i) sink = sink + r.Int4(i);
        break;
      case 8:
        for (std::size_t i = 0; i < r.size / 8 + 1; ++i) sink = sink + r.Real8(i);
        break;
      default:
        sink = sink + static_cast<double>(ReadGdsString(r, 32).size());
    }
    if (r.type == kEndLib) break;
  }
  sink = sink + static_cast<double>(reader.HeaderLine().size());
}

}  // namespace gds
