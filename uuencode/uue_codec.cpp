#include "uuencode/uue_codec.h"

namespace uue {

std::string EncodeUueLine(const unsigned char* bytes, int count) {
  if (count < 0) count = 0;
  if (count > kLineBytes) count = kLineBytes;
  std::string line;
  line.reserve(1 + (count + 2) / 3 * 4);
  line += EncodeUueChar(count);
  for (int i = 0; i < count; i += 3) {
    const std::uint32_t b0 = bytes[i];
    const std::uint32_t b1 = i + 1 < count ? bytes[i + 1] : 0;
    const std::uint32_t b2 = i + 2 < count ? bytes[i + 2] : 0;
    const std::uint32_t group = (b0 << 16) | (b1 << 8) | b2;
    line += EncodeUueChar(static_cast<int>(group >> 18));
    line += EncodeUueChar(static_cast<int>(group >> 12));
    line += EncodeUueChar(static_cast<int>(group >> 6));
    line += EncodeUueChar(static_cast<int>(group));
  }
  return line;
}

int DecodeUueLine(std::string_view line, std::string& out) {
  if (line.empty()) return 0;
  const int n = DecodeUueChar(line[0]);
  int written = 0;
  for (std::size_t pos = 1; written < n; pos += 4) {
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const std::size_t at = pos + k;
      group = (group << 6) | static_cast<std::uint32_t>(at < line.size() ? DecodeUueChar(line[at]) : 0);
    }
    for (int shift = 16; shift >= 0 && written < n; shift -= 8, ++written)
      out += static_cast<char>((group >> shift) & 0xFF);
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
