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

bool Tokens::Empty() const {
  for (char c : rest_)
    if (!IsSeparator(c)) return false;
  return true;
}

}  // namespace tlc
