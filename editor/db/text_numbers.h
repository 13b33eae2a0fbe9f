// Numbers in the database's text files, read the way the C library's conversions read them but
// independent of the locale and without undefined results for out-of-range text.
#pragma once
#include <cstdint>
#include <string_view>

namespace db {

// The whole token is a decimal whole number in 32-bit range (an optional sign, then digits).
bool ParseInt32(std::string_view token, std::int32_t& value);

// Like atoi: leading white space, a sign and the digits that follow; anything else ends the number;
// no digits give 0. Values beyond 32 bits are clamped.
std::int32_t LeadingInt(std::string_view text);
// Like strtoull/_atoi64 for the 64-bit layer masks: leading digits, clamped; a minus wraps as in C.
std::uint64_t LeadingUint64(std::string_view text);
// Every typed or stored real number of the suite is read here, as atof reads it in the "C" locale:
// leading white space, an optional sign, digits with at most one point, an optional exponent, and
// reading stops at the first character that is not part of that. No such number gives 0, so do hex
// ("0x10" is 0), "nan" and "inf". The result is always finite: a magnitude beyond a double gives the
// largest double of that sign, one too small to hold gives 0.
double LeadingDouble(std::string_view text);

}  // namespace db
