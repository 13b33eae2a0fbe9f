#include "uuencode/uue_codec.h"

namespace uue {

namespace {

// The two characters of every 12-bit half of a group, and the sum of their codes.
struct PairTable {
  char chars[4096][2];
  std::uint16_t sums[4096];
  PairTable() {
    for (int v = 0; v < 4096; ++v) {
      chars[v][0] = EncodeUueChar(v >> 6);
      chars[v][1] = EncodeUueChar(v);
      sums[v] = static_cast<std::uint16_t>(static_cast<unsigned char>(chars[v][0]) +
                                           static_cast<unsigned char>(chars[v][1]));
    }
  }
};
const PairTable kPairs;

}  // namespace

int EncodeUueLine(const unsigned char* bytes, int count, char* out, std::uint32_t& characterSum) {
  if (count < 0) count = 0;
  if (count > kLineBytes) count = kLineBytes;
  char* o = out;
  *o++ = EncodeUueChar(count);
  std::uint32_t sum = static_cast<unsigned char>(out[0]);
  int i = 0;
  for (; i < count; i += 3) {
    // The last group of a line is padded with zero bytes.
    const std::uint32_t b1 = i + 1 < count ? bytes[i + 1] : 0;
    const std::uint32_t b2 = i + 2 < count ? bytes[i + 2] : 0;
    const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) | (b1 << 8) | b2;
    const std::uint32_t high = group >> 12, low = group & 4095;
    o[0] = kPairs.chars[high][0];
    o[1] = kPairs.chars[high][1];
    o[2] = kPairs.chars[low][0];
    o[3] = kPairs.chars[low][1];
    sum += kPairs.sums[high] + kPairs.sums[low];
    o += 4;
  }
  characterSum = sum;
  return static_cast<int>(o - out);
}

std::string EncodeUueLine(const unsigned char* bytes, int count) {
  char line[kMaxLineChars];
  std::uint32_t sum = 0;
  return std::string(line, static_cast<std::size_t>(EncodeUueLine(bytes, count, line, sum)));
}

int DecodeUueLine(std::string_view line, std::string& out) {
  if (line.empty()) return 0;
  const int n = DecodeUueChar(line[0]);
  const std::size_t base = out.size();
  out.resize(base + static_cast<std::size_t>(n));
  char* o = out.data() + base;
  int written = 0;
  std::size_t pos = 1;
  // Whole groups lying within the line, then the rest with missing characters taken as 0.
  for (; written + 3 <= n && pos + 4 <= line.size(); pos += 4, written += 3, o += 3) {
    const std::uint32_t group = (static_cast<std::uint32_t>(DecodeUueChar(line[pos])) << 18) |
                                (static_cast<std::uint32_t>(DecodeUueChar(line[pos + 1])) << 12) |
                                (static_cast<std::uint32_t>(DecodeUueChar(line[pos + 2])) << 6) |
                                static_cast<std::uint32_t>(DecodeUueChar(line[pos + 3]));
    o[0] = static_cast<char>(group >> 16);
    o[1] = static_cast<char>(group >> 8);
    o[2] = static_cast<char>(group);
  }
  for (; written < n; pos += 4) {
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const std::size_t at = pos + k;
      group = (group << 6) | static_cast<std::uint32_t>(at < line.size() ? DecodeUueChar(line[at]) : 0);
    }
    for (int shift = 16; shift >= 0 && written < n; shift -= 8, ++written)
      *o++ = static_cast<char>((group >> shift) & 0xFF);
  }
  return written;
}

void CheckSum::Add(const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned c = bytes[i] & 127u;
    if (c > 32) {
      sum_ += c;
      ++count_;
      run_ = false;
    } else if (c >= 1 && !run_) {
      sum_ += 32;
      ++count_;
      run_ = true;
    }
  }
}

std::string BeginLineName(std::string_view line) {
  // "begin-base64" also begins with "begin": it is not ours to decode.
  if (line.substr(0, 6) != "begin " && line.substr(0, 6) != "begin\t") return {};
  std::string_view words[3];
  std::size_t pos = 0;
  for (std::string_view& word : words) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
    word = line.substr(start, pos - start);
  }
  std::string_view name = words[2];
  const std::size_t cut = name.find_last_of("\\/:");
  if (cut != std::string_view::npos) name.remove_prefix(cut + 1);
  if (name == "." || name == "..") return {};
  return std::string(name);
}

}  // namespace uue
