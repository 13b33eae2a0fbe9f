// Small text helpers of the converters' set-up normalisers.
#pragma once
#include <string>
#include <string_view>

namespace gds {

void UpperCase(std::string& text);
// "%g" in the "C" locale.
std::string FormatG(double value);
std::string FormatD(long value);

}  // namespace gds
