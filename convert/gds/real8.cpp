#include "convert/gds/real8.h"

#include <cmath>

namespace gds {

std::array<std::uint8_t, 8> EncodeReal8(long double value, int correction) {
  std::array<std::uint8_t, 8> out{};
  if (value == 0 || !std::isfinite(value)) return out;
  const bool negative = value < 0;
  long double m = negative ? -value : value;
  int exponent = 64;
  // Powers of 16 are exact in binary, so normalising loses nothing. The bounds keep the exponent in
  // its 7 bits even for values no real8 can hold.
  while (m >= 1 && exponent < 127) {
    m /= 16;
    ++exponent;
  }
  while (m < 1.0L / 16 && exponent > 0) {
    m *= 16;
    --exponent;
  }
  if (m < 1.0L / 16) return out;                     // below the smallest real8: zero
  if (m >= 1) m = 1.0L - std::ldexp(1.0L, -56);      // above the largest: the largest
  if (correction != 0) m += std::ldexp(static_cast<long double>(correction), -56);
  std::uint64_t bits = 0;
  for (int k = 1; k <= 56; ++k) {
    if (!(m > 0)) break;
    const long double weight = std::ldexp(1.0L, -k);
    if (m >= weight) {
      bits |= std::uint64_t{1} << (56 - k);
      m -= weight;
    }
  }
  out[0] = static_cast<std::uint8_t>((negative ? 0x80 : 0) | exponent);
  for (int i = 0; i < 7; ++i) out[1 + i] = static_cast<std::uint8_t>(bits >> (8 * (6 - i)));
  return out;
}

double DecodeReal8(const std::uint8_t* bytes) {
  unsigned sum = 0;
  for (int i = 0; i < 8; ++i) sum += bytes[i];
  if (sum == 0) return 0.0;
  int exponent = (bytes[0] & 0x7f) - 64;
  if (exponent > 30) exponent = 30;
  if (exponent < -30) exponent = -30;
  std::uint64_t bits = 0;
  for (int i = 1; i < 8; ++i) bits = (bits << 8) | bytes[i];
  // Bit k from the top of byte 1 weighs 2^-k: the fraction is the 56-bit integer times 2^-56.
  const long double mantissa = std::ldexp(static_cast<long double>(bits), -56);
  const long double value = std::ldexp(mantissa, 4 * exponent);
  return static_cast<double>((bytes[0] & 0x80) ? -value : value);
}

}  // namespace gds
