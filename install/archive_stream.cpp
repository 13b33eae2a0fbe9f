#include "install/archive_stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/os/path.h"

namespace install {

bool ArchiveStream::Open(std::string_view path) {
  Close();
  file_ = os::OpenFile(path, "rb");
  if (!file_) return false;
  struct stat st;
  if (fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  // Our buffer is the only one: stdio's would copy every byte twice and drop its content at each seek.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  size_ = static_cast<std::uint64_t>(st.st_size);
  filePos_ = 0;
  bufferStart_ = 0;
  filled_ = 0;
  limit_ = kNoLimit;
  failed_ = false;
  SetEnd();
  return true;
}

void ArchiveStream::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  bufferStart_ = 0;
  filled_ = 0;
  SetEnd();
  cur_ = buffer_.data();
}

void ArchiveStream::SetEnd() {
  std::uint64_t end = bufferStart_ + filled_;
  if (limit_ < end) end = std::max(limit_, bufferStart_);
  end_ = buffer_.data() + (end - bufferStart_);
  if (cur_ > end_) end_ = cur_;  // a position past the limit reads nothing more
}

void ArchiveStream::Seek(std::uint64_t position) {
  if (position >= bufferStart_ && position <= bufferStart_ + filled_) {
    cur_ = buffer_.data() + (position - bufferStart_);
  } else {
    bufferStart_ = position;
    filled_ = 0;
    cur_ = buffer_.data();
  }
  end_ = cur_;
  SetEnd();
}

void ArchiveStream::SetLimit(std::uint64_t end) {
  limit_ = end;
  end_ = cur_;
  SetEnd();
}

bool ArchiveStream::Refill() {
  if (!file_) return false;
  const std::uint64_t position = Position();
  if (position >= limit_ || position >= size_) return false;
  if (cur_ < buffer_.data() + filled_) {
    SetEnd();
    return cur_ < end_;
  }
  if (position != filePos_) {
    if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) {
      failed_ = true;
      return false;
    }
    filePos_ = position;
  }
  bufferStart_ = position;
  filled_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  filePos_ += filled_;
  if (filled_ == 0 && std::ferror(file_)) failed_ = true;
  cur_ = buffer_.data();
  end_ = cur_;
  SetEnd();
  return cur_ < end_;
}

std::size_t ArchiveStream::Read(void* to, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(to);
  std::size_t done = 0;
  while (done < count) {
    if (cur_ == end_ && !Refill()) break;
    const std::size_t n = std::min(count - done, Available());
    std::memcpy(out + done, cur_, n);
    cur_ += n;
    done += n;
  }
  return done;
}

}  // namespace install
