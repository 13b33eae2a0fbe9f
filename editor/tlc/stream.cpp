#include "editor/tlc/stream.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tlc {

bool FileLineSource::Open(std::string_view path) {
  reader_.Close();
  return reader_.Open(path);
}

bool StringLineSource::ReadLine(std::string& line) {
  if (pos_ >= text_.size()) return false;
  const char* start = text_.data() + pos_;
  const std::size_t left = text_.size() - pos_;
  const void* newline = std::memchr(start, '\n', left);
  std::size_t length = newline ? static_cast<const char*>(newline) - start : left;
  const void* eof = std::memchr(start, '\x1a', length);
  if (eof) {
    length = static_cast<const char*>(eof) - start;
    pos_ = text_.size();
  } else {
    pos_ += length + 1;
  }
  line.assign(start, length);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return !eof || !line.empty();
}

bool TlcStream::Next() {
  if (unread_) {
    unread_ = false;
    return true;
  }
  return source_.ReadLine(line_);
}

bool TlcStream::Rewind() {
  unread_ = false;
  return source_.Rewind();
}

namespace {
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool Tokens::Next(std::string_view& token) {
  std::size_t i = 0;
  while (i < rest_.size() && IsSeparator(rest_[i])) ++i;
  if (i == rest_.size()) {
    rest_ = {};
    return false;
  }
  std::size_t j = i;
  while (j < rest_.size() && !IsSeparator(rest_[j])) ++j;
  token = rest_.substr(i, j - i);
  rest_ = rest_.substr(j);
  return true;
}

bool Tokens::NextInt(std::int32_t& value) {
  const char* p = rest_.data();
  const char* const end = p + rest_.size();
  while (p < end && IsSeparator(*p)) ++p;
  if (p == end) {
    rest_ = {};
    return false;
  }
  // Nearly every token is a plain number of a few digits: it is read here in one go. Any other
  // token (a plus sign, more than ten digits, junk) goes to ToInt whole.
  const char* const start = p;
  const bool negative = *p == '-';
  if (negative) ++p;
  const char* const digits = p;
  const char* const stop = end - p > 10 ? p + 10 : end;
  std::int64_t v = 0;
  for (unsigned d; p < stop && (d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') < 10; ++p)
    v = v * 10 + d;
  if (p > digits && (p == end || IsSeparator(*p))) {
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max()) v = std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) v = std::numeric_limits<std::int32_t>::min();
    value = static_cast<std::int32_t>(v);
  } else {
    while (p < end && !IsSeparator(*p)) ++p;
    value = ToInt(std::string_view(start, static_cast<std::size_t>(p - start)));
  }
  rest_ = std::string_view(p, static_cast<std::size_t>(end - p));
  return true;
}

bool Tokens::Empty() const {
  for (char c : rest_)
    if (!IsSeparator(c)) return false;
  return true;
}

}  // namespace tlc
