#include "install/crc32.h"

#include <array>
#include <cstring>

namespace install {

namespace {

// Eight tables so the loop takes eight bytes a step; table 0 alone is the classic byte-wise table.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables MakeTables() {
  Tables t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (std::uint32_t n = 0; n < 256; ++n)
    for (int k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  return t;
}

const Tables& CrcTables() {
  static const Tables tables = MakeTables();
  return tables;
}

std::uint32_t Load32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

void Crc32::Update(const std::uint8_t* bytes, std::size_t count) {
  if (bytes == nullptr || count == 0) {
    if (bytes == nullptr) Restart();
    return;
  }
  const Tables& t = CrcTables();
  std::uint32_t c = state_;
  while (count >= 8) {
    const std::uint32_t lo = Load32(bytes) ^ c;
    const std::uint32_t hi = Load32(bytes + 4);
    c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
        t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    bytes += 8;
    count -= 8;
  }
  while (count-- > 0) c = t[0][(c ^ *bytes++) & 0xFF] ^ (c >> 8);
  state_ = c;
}

std::uint32_t Crc32Of(const void* bytes, std::size_t count) {
  Crc32 crc;
  crc.Update(static_cast<const std::uint8_t*>(bytes), count);
  return crc.Value();
}

}  // namespace install
