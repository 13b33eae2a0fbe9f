#include "utilib/small_readers.h"

#include <utility>

#include "platform/os/textfile.h"

namespace utilib {

void OrderExtentCorners(std::int32_t& x1, std::int32_t& y1, std::int32_t& x2, std::int32_t& y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
}

int TextCursor::OpenTextFile(std::string_view path) {
  text_.clear();
  pos_ = 0;
  lineEnded_ = false;
  std::string bytes;
  if (!os::ReadWholeFile(path, bytes)) return 0;
  // As a text-mode read sees it: CR LF as one line end, a 0x1A byte ends the file.
  std::size_t eof = bytes.find('\x1a');
  if (eof != std::string::npos) bytes.resize(eof);
  text_.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text_ += bytes[i];
  return 1;
}

int TextCursor::Get() {
  if (pos_ >= text_.size()) return -1;
  char c = text_[pos_++];
  if (c == '\n') lineEnded_ = true;
  return static_cast<unsigned char>(c);
}

}  // namespace utilib
