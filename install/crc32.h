// CRC-32 of the ZIP format (reflected polynomial 0xEDB88320, all ones in, complemented out).
#pragma once
#include <cstddef>
#include <cstdint>

namespace install {

class Crc32 {
 public:
  // Called with no bytes it restarts, as the unpacker does before each member.
  void Update(const std::uint8_t* bytes, std::size_t count);
  void Restart() { state_ = 0xFFFFFFFFu; }
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

// The CRC of one buffer.
std::uint32_t Crc32Of(const void* bytes, std::size_t count);

}  // namespace install
