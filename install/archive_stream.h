// An archive file read through a buffer of its own, with a limit the reads stop at, so that a
// member's decoder never runs into the next member and a truncated archive ends its data cleanly.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace install {

class ArchiveStream {
 public:
  static constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};

  ArchiveStream() = default;
  ~ArchiveStream() { Close(); }
  ArchiveStream(const ArchiveStream&) = delete;
  ArchiveStream& operator=(const ArchiveStream&) = delete;

  bool Open(std::string_view path);  // through the path resolver
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  std::uint64_t Size() const { return size_; }

  std::uint64_t Position() const { return bufferStart_ + static_cast<std::uint64_t>(cur_ - buffer_.data()); }
  // Any position may be asked for; reads past the end give nothing.
  void Seek(std::uint64_t position);
  // Reads stop at `end` until the limit is moved again.
  void SetLimit(std::uint64_t end);
  // Up to `count` bytes; fewer at the limit or the end of the file.
  std::size_t Read(void* to, std::size_t count);
  // Skips `count` bytes (a seek when they are not buffered).
  void Advance(std::uint64_t count) { Seek(Position() + count); }

  // The decoder's byte-level access: what is buffered below the limit, and the next byte.
  std::size_t Available() const { return static_cast<std::size_t>(end_ - cur_); }
  const std::uint8_t* Peek() const { return cur_; }
  void Skip(std::size_t count) { cur_ += count; }
  bool Next(std::uint8_t& byte) {
    if (cur_ == end_ && !Refill()) return false;
    byte = *cur_++;
    return true;
  }
  // Buffers more bytes below the limit; false when there are none.
  bool Refill();
  bool ReadFailed() const { return failed_; }

 private:
  void SetEnd();

  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(1 << 16);
  std::uint64_t bufferStart_ = 0;  // file position of buffer_[0]
  std::size_t filled_ = 0;
  const std::uint8_t* cur_ = buffer_.data();
  const std::uint8_t* end_ = buffer_.data();
  std::uint64_t limit_ = kNoLimit;
  std::uint64_t filePos_ = 0;  // where the file's own offset stands
  bool failed_ = false;
};

}  // namespace install
