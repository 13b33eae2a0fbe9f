// Reads GDSII stream records from a file held whole in memory. Every check that ends an import is
// made here, before a record is handed out, so a damaged stream never reads past its own bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace gds {

enum class ReadStatus {
  kOk,
  kTooManyNulls,    // more than 100 zero words before the first record, or a record type above 60
  kDataTypeError,   // a data type above 6
  kWrongDataType,   // a data type that does not fit the record
  kWrongLength,     // a record shorter than its header or its data, or a HEADER not of length 6
  kUnexpectedEnd,   // the bytes end inside a record or before ENDLIB
  kReadError,       // the file could not be read
};

// The message box text for a status ("" for kOk).
const char* ReadStatusMessage(ReadStatus status);

struct GdsRecord {
  int length = 0;
  int type = 0;
  int dataType = 0;
  const std::uint8_t* data = nullptr;  // length - 4 bytes
  std::size_t size = 0;

  // Values by index; an index past the data gives 0. Int2 is taken unsigned.
  unsigned Int2(std::size_t index) const {
    if (2 * index + 2 > size) return 0;
    return (unsigned{data[2 * index]} << 8) | data[2 * index + 1];
  }
  std::int32_t Int4(std::size_t index) const {
    if (4 * index + 4 > size) return 0;
    const std::uint8_t* p = data + 4 * index;
    return static_cast<std::int32_t>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                     (std::uint32_t{p[2]} << 8) | p[3]);
  }
  double Real8(std::size_t index) const;
  std::size_t Int4Count() const { return size / 4; }
};

class ReadAhead;

class GdsReader {
 public:
  // The stream held in memory.
  GdsReader(const std::uint8_t* data, std::size_t size);
  // The stream read from an open file in large blocks, `size` bytes long: a pass over a large file
  // goes through one buffer that stays in the cache. With `readAhead` a thread of its own reads the
  // next blocks while the records of this one are handed out. The file stays the caller's.
  GdsReader(std::FILE* file, std::size_t size, bool readAhead = false);
  GdsReader(GdsReader&&) noexcept;
  ~GdsReader();

  // The next record; false on a damaged stream (Status tells why) and at the end of the bytes.
  // A record's data stays valid until the next call.
  bool Next(GdsRecord& record);
  void Rewind();

  std::size_t Position() const { return start_ + position_; }
  std::size_t Size() const { return size_; }
  ReadStatus Status() const { return status_; }
  // "GDS Record Header: RL=%d  RT=%d  DT=%d" with the header read last.
  std::string HeaderLine() const;

 private:
  bool Fail(ReadStatus status);
  // Next's checks of a record whose header is read; true when it may be handed out.
  bool Check(std::size_t dataSize);
  // True when n bytes from the position are held, reading more of the file when they are not.
  bool Hold(std::size_t n);

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t held_;        // bytes at data_
  std::size_t start_ = 0;   // stream position of data_[0]
  std::size_t position_ = 0;  // within data_
  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> block_;
  bool readAhead_ = false;
  std::unique_ptr<ReadAhead> ahead_;  // while a pass reads ahead
  bool firstRecordRead_ = false;
  int lastLength_ = 0;
  int lastType_ = 0;
  int lastDataType_ = 0;
  ReadStatus status_ = ReadStatus::kOk;
};

constexpr std::size_t kMaxGdsStringBytes = 512;

// The text of a string record: at most 512 data bytes, up to the first 0, cut at `limit`.
// *tooLong tells whether the text was longer than the limit.
std::string ReadGdsString(const GdsRecord& record, std::size_t limit, bool* tooLong = nullptr);

}  // namespace gds
