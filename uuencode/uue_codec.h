// UU encoding of bytes into text lines and back, and the check sum a receiver compares.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace uue {

constexpr int kLineBytes = 45;  // bytes of a full data line

// Value 0 is the backquote, 1..63 the characters "!" to "_".
inline char EncodeUueChar(int value) {
  value &= 63;
  return value == 0 ? '`' : static_cast<char>(value + 32);
}
// A character's value; a blank (which other encoders write for 0) and the backquote both give 0.
inline int DecodeUueChar(char c) { return (static_cast<unsigned char>(c) - 32) & 63; }

// One data line: the length character, then 4 characters for every 3 bytes, the last group padded
// with zero bytes. At most kLineBytes bytes.
std::string EncodeUueLine(const unsigned char* bytes, int count);
// The same line into `out`, which has room for kMaxLineChars characters; the characters written.
// `characterSum` gets the sum of their codes, for the check sum.
constexpr int kMaxLineChars = 1 + kLineBytes / 3 * 4;
int EncodeUueLine(const unsigned char* bytes, int count, char* out, std::uint32_t& characterSum);

// Appends the bytes of one data line to `out`; the number appended. Characters missing at the
// line's end count as 0, so a short line never reads outside itself.
int DecodeUueLine(std::string_view line, std::string& out);

// The check sum of a file: every printable character (bit 7 cleared) adds its code, every run of
// blanks and control characters (line ends included) adds one 32; NUL bytes add nothing.
class CheckSum {
 public:
  void Add(const unsigned char* bytes, std::size_t count);
  // A line of `length` characters, every one above 32, whose codes sum to `characterSum`, then its
  // line end: what Add gives for those bytes and a CR LF, without going through them again.
  void AddLine(std::uint32_t characterSum, std::uint32_t length) {
    sum_ += characterSum + 32;
    count_ += length + 1;
    run_ = true;
  }
  // Sum and count with the closing run counted.
  std::uint32_t Sum() const { return sum_ + (run_ ? 0 : 32); }
  std::uint32_t Count() const { return count_ + (run_ ? 0 : 1); }

 private:
  std::uint32_t sum_ = 32;
  std::uint32_t count_ = 1;
  bool run_ = true;
};

// The file name of a "begin" line ("begin 644 NAME"), reduced to its last component so that a
// decoded file cannot land outside the destination; "" when the line is not a UU begin line.
std::string BeginLineName(std::string_view line);

}  // namespace uue
