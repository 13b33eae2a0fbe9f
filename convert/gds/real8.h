// The 8-byte excess-64 real of GDSII: sign bit, 7-bit exponent of 16 biased by 64, 56-bit fraction.
#pragma once
#include <array>
#include <cstdint>

namespace gds {

// Value to bytes with extended precision. `correction` adds that many units of the last mantissa bit
// to a non-zero value; bits past the 56th are dropped, not rounded.
std::array<std::uint8_t, 8> EncodeReal8(long double value, int correction = 0);

// Bytes to value. The exponent is held to 16^-30 .. 16^30.
double DecodeReal8(const std::uint8_t* bytes);

}  // namespace gds
