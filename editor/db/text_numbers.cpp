#include "editor/db/text_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace db {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  return text.substr(i);
}

// Sign and digits of a leading number; `negative` tells the sign.
std::string_view LeadingDigits(std::string_view text, bool& negative) {
  text = SkipBlanks(text);
  negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  return text.substr(0, n);
}

}  // namespace

bool ParseInt32(std::string_view token, std::int32_t& value) {
  if (!token.empty() && token[0] == '+') token.remove_prefix(1);
  if (token.empty()) return false;
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (ec != std::errc() || end != token.data() + token.size()) return false;
  value = v;
  return true;
}

std::int32_t LeadingInt(std::string_view text) {
  bool negative = false;
  std::string_view digits = LeadingDigits(text, negative);
  std::int64_t v = 0;
  for (char c : digits) {
    v = v * 10 + (c - '0');
    if (v > (std::int64_t{1} << 32)) break;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

std::uint64_t LeadingUint64(std::string_view text) {
  bool negative = false;
  std::string_view digits = LeadingDigits(text, negative);
  std::uint64_t v = 0;
  const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
  for (char c : digits) {
    unsigned d = static_cast<unsigned>(c - '0');
    if (v > (max - d) / 10) {
      v = max;
      break;
    }
    v = v * 10 + d;
  }
  return negative ? 0 - v : v;
}

double LeadingDouble(std::string_view text) {
  text = SkipBlanks(text);
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t start = i;
  // The digits of the mantissa: where the first significant one stands tells an overflow from an
  // underflow when the conversion cannot give the value.
  int wholeDigits = 0, digits = 0, firstSignificant = -1;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++wholeDigits, ++digits)
    if (firstSignificant < 0 && text[i] != '0') firstSignificant = digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      if (firstSignificant < 0 && text[i] != '0') firstSignificant = digits;
  }
  if (digits == 0) return 0.0;  // no number: "nan", "inf", ".", "x"
  std::size_t end = i;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j)
        if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
      if (negativeExponent) exponent = -exponent;
      end = j;
    }
  }
  if (firstSignificant < 0) return 0.0;
  double v = 0.0;
  const auto [stop, ec] = std::from_chars(text.data() + start, text.data() + end, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range || stop != text.data() + end) {
    // Beyond the range of a double: the largest one of that sign, where the C conversion would give
    // an infinity; too small a magnitude gives 0.
    const long magnitude = long(wholeDigits) - firstSignificant - 1 + exponent;
    v = magnitude >= 0 ? std::numeric_limits<double>::max() : 0.0;
  }
  if (!std::isfinite(v)) v = std::numeric_limits<double>::max();
  return negative ? -v : v;
}

}  // namespace db
