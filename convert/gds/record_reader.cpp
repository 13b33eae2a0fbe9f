#include "convert/gds/record_reader.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "convert/gds/real8.h"
#include "convert/gds/record.h"

namespace gds {

namespace {
constexpr int kNullAllowance = 100;

// The least data a record must carry to be read at all (its data type already checked).
std::size_t MinimumDataSize(int recordType, int dataType) {
  switch (recordType) {
    case kUnits:
      return 16;
    case kColRow:
      return 4;
    case kXy:
      return 8;
    default:
      return ExpectedDataType(recordType) >= 0 ? static_cast<std::size_t>(DataTypeSize(dataType))
                                               : 0;
  }
}

// The checks of every record type, looked up once per record instead of worked out.
struct RecordRules {
  int expected[kMaxRecordType + 1];
  std::size_t minimum[kMaxRecordType + 1];
  RecordRules() {
    for (int type = 0; type <= kMaxRecordType; ++type) {
      expected[type] = ExpectedDataType(type);
      minimum[type] = expected[type] >= 0 ? MinimumDataSize(type, expected[type]) : 0;
    }
  }
};
const RecordRules kRules;
}  // namespace

const char* ReadStatusMessage(ReadStatus status) {
  switch (status) {
    case ReadStatus::kOk:
      return "";
    case ReadStatus::kTooManyNulls:
      return "Too Many Nulls in GDS Header ... Can't Continue";
    case ReadStatus::kDataTypeError:
      return "Data Type Error ... Can't Continue";
    case ReadStatus::kWrongDataType:
      return "Stream Data Type is Wrong";
    case ReadStatus::kWrongLength:
      return "Stream Record Length is Wrong";
    case ReadStatus::kUnexpectedEnd:
      return "GDS File Ends before ENDLIB ... Can't Continue";
    case ReadStatus::kReadError:
      return "GDS File Read Error ... Can't Continue";
  }
  return "";
}

double GdsRecord::Real8(std::size_t index) const {
  if (8 * index + 8 > size) return 0.0;
  return DecodeReal8(data + 8 * index);
}

bool GdsReader::Fail(ReadStatus status) {
  status_ = status;
  return false;
}

namespace {
// A block read at a time; the largest record fits behind what is left of the one before.
constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kMaxRecord = 65535;
}  // namespace

// Reads a file from its current position on a thread of its own, a few blocks ahead of its reader,
// which takes the bytes in file order.
class ReadAhead {
 public:
  explicit ReadAhead(std::FILE* file) : file_(file) {
    for (Chunk& c : chunks_) c.bytes.reset(new std::uint8_t[kReadBlock]);
    thread_ = std::thread([this] { Fill(); });
  }
  ~ReadAhead() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Up to n bytes of the file into `to`, at most what one block holds; 0 at the end of the file or
  // after a read error (then Failed()).
  std::size_t Read(std::uint8_t* to, std::size_t n) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return filled_ > taken_; });
    Chunk& c = chunks_[taken_ % kChunks];
    if (c.size == 0) {
      failed_ = c.failed;
      return 0;
    }
    const std::size_t count = std::min(n, c.size - c.offset);
    hold.unlock();
    std::memcpy(to, c.bytes.get() + c.offset, count);
    hold.lock();
    c.offset += count;
    if (c.offset == c.size) {
      ++taken_;
      changed_.notify_all();
    }
    return count;
  }
  bool Failed() const { return failed_; }

 private:
  static constexpr std::size_t kChunks = 3;
  struct Chunk {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0, offset = 0;
    bool failed = false;
  };

  void Fill() {
    for (;;) {
      std::unique_lock<std::mutex> hold(lock_);
      changed_.wait(hold, [this] { return stop_ || filled_ - taken_ < kChunks; });
      if (stop_) return;
      Chunk& c = chunks_[filled_ % kChunks];
      hold.unlock();
      c.size = std::fread(c.bytes.get(), 1, kReadBlock, file_);
      c.offset = 0;
      c.failed = c.size == 0 && std::ferror(file_);
      hold.lock();
      ++filled_;
      changed_.notify_all();
      if (c.size == 0) return;
    }
  }

  std::FILE* file_;
  std::array<Chunk, kChunks> chunks_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::size_t filled_ = 0, taken_ = 0;  // chunks read, chunks used up
  bool stop_ = false;
  bool failed_ = false;
  std::thread thread_;
};

GdsReader::GdsReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size), held_(size) {}

GdsReader::GdsReader(std::FILE* file, std::size_t size, bool readAhead)
    : data_(nullptr), size_(size), held_(0), file_(file), block_(kReadBlock + kMaxRecord), readAhead_(readAhead) {
  data_ = block_.data();
}

GdsReader::GdsReader(GdsReader&& other) noexcept
    : data_(other.data_), size_(other.size_), held_(other.held_), start_(other.start_), position_(other.position_),
      file_(other.file_), block_(std::move(other.block_)), readAhead_(other.readAhead_), ahead_(std::move(other.ahead_)),
      firstRecordRead_(other.firstRecordRead_), lastLength_(other.lastLength_), lastType_(other.lastType_),
      lastDataType_(other.lastDataType_), status_(other.status_) {
  if (file_) data_ = block_.data();
}

GdsReader::~GdsReader() = default;

bool GdsReader::Hold(std::size_t n) {
  if (held_ - position_ >= n) return true;
  if (!file_ || status_ != ReadStatus::kOk) return false;
  std::uint8_t* block = block_.data();
  const std::size_t left = held_ - position_;
  if (left > 0) std::memmove(block, block + position_, left);
  start_ += position_;
  position_ = 0;
  held_ = left;
  if (readAhead_ && !ahead_) ahead_ = std::make_unique<ReadAhead>(file_);
  while (held_ < n) {
    const std::size_t room = block_.size() - held_;
    const std::size_t got = ahead_ ? ahead_->Read(block + held_, room) : std::fread(block + held_, 1, room, file_);
    if (got == 0) {
      if (ahead_ ? ahead_->Failed() : std::ferror(file_) != 0) status_ = ReadStatus::kReadError;
      return false;
    }
    held_ += got;
  }
  return true;
}

void GdsReader::Rewind() {
  if (file_) {
    ahead_.reset();
    start_ = 0;
    held_ = 0;
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
      position_ = 0;
      status_ = ReadStatus::kReadError;
      return;
    }
    std::clearerr(file_);
  }
  position_ = 0;
  firstRecordRead_ = false;
  lastLength_ = lastType_ = lastDataType_ = 0;
  status_ = ReadStatus::kOk;
}

bool GdsReader::Check(std::size_t dataSize) {
  const int expected = kRules.expected[lastType_];
  if (expected >= 0 && expected != lastDataType_) return Fail(ReadStatus::kWrongDataType);
  if (lastType_ == kHeader && lastLength_ != 6) return Fail(ReadStatus::kWrongLength);
  if (dataSize < kRules.minimum[lastType_]) return Fail(ReadStatus::kWrongLength);
  return true;
}

bool GdsReader::Next(GdsRecord& record) {
  if (status_ != ReadStatus::kOk) return false;
  // Nearly every record lies whole in what is held: it is checked and handed out in one go, in the
  // order of the checks below.
  if (firstRecordRead_ && held_ - position_ >= 4) {
    const std::uint8_t* p = data_ + position_;
    const std::size_t length = (std::size_t{p[0]} << 8) | p[1];
    if (length >= 4 && length <= held_ - position_) {
      lastLength_ = static_cast<int>(length);
      lastType_ = p[2];
      lastDataType_ = p[3];
      if (lastType_ > kMaxRecordType) return Fail(ReadStatus::kTooManyNulls);
      if (lastDataType_ > kMaxDataType) return Fail(ReadStatus::kDataTypeError);
      if (!Check(length - 4)) return false;
      record.length = lastLength_;
      record.type = lastType_;
      record.dataType = lastDataType_;
      record.data = p + 4;
      record.size = length - 4;
      position_ += length;
      return true;
    }
  }
  int nulls = 0;
  for (;;) {
    if (!Hold(4)) return Fail(status_ == ReadStatus::kOk ? ReadStatus::kUnexpectedEnd : status_);
    lastLength_ = (data_[position_] << 8) | data_[position_ + 1];
    if (lastLength_ != 0 || firstRecordRead_) break;
    if (++nulls > kNullAllowance) return Fail(ReadStatus::kTooManyNulls);
    position_ += 2;
  }
  lastType_ = data_[position_ + 2];
  lastDataType_ = data_[position_ + 3];
  if (lastType_ > kMaxRecordType) return Fail(ReadStatus::kTooManyNulls);
  if (lastDataType_ > kMaxDataType) return Fail(ReadStatus::kDataTypeError);
  if (lastLength_ < 4) return Fail(ReadStatus::kWrongLength);
  if (!Hold(static_cast<std::size_t>(lastLength_)))
    return Fail(status_ == ReadStatus::kOk ? ReadStatus::kUnexpectedEnd : status_);
  const std::size_t dataSize = static_cast<std::size_t>(lastLength_) - 4;
  if (!Check(dataSize)) return false;

  record.length = lastLength_;
  record.type = lastType_;
  record.dataType = lastDataType_;
  record.data = data_ + position_ + 4;
  record.size = dataSize;
  position_ += static_cast<std::size_t>(lastLength_);
  firstRecordRead_ = true;
  return true;
}

std::string GdsReader::HeaderLine() const {
  char line[80];
  std::snprintf(line, sizeof line, "GDS Record Header: RL=%d  RT=%d  DT=%d", lastLength_, lastType_,
                lastDataType_);
  return line;
}

std::string ReadGdsString(const GdsRecord& record, std::size_t limit, bool* tooLong) {
  std::size_t n = record.size < kMaxGdsStringBytes ? record.size : kMaxGdsStringBytes;
  if (n == 0) {
    if (tooLong) *tooLong = false;
    return {};
  }
  const void* zero = std::memchr(record.data, 0, n);
  if (zero) n = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - record.data);
  if (tooLong) *tooLong = n > limit;
  if (n > limit) n = limit;
  return std::string(reinterpret_cast<const char*>(record.data), n);
}

}  // namespace gds
