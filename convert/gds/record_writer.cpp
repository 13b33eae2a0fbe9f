#include "convert/gds/record_writer.h"

#include <cstring>

#include "convert/gds/real8.h"
#include "convert/gds/record.h"

namespace gds {

namespace {
constexpr std::size_t kFlushBlock = 1 << 20;
// A string record must still fit a 16-bit length once padded.
constexpr std::size_t kMaxStringBytes = 65530;
}  // namespace

GdsWriter::GdsWriter(Sink sink) : sink_(std::move(sink)), block_(new std::uint8_t[kBlockSize]) {}

std::uint8_t* GdsWriter::Grow(std::size_t n) {
  bytesWritten_ += static_cast<std::int64_t>(n);
  if (block_) {
    if (n > kBlockSize - used_ || !buffer_.empty()) Flush();
    if (n <= kBlockSize) {
      std::uint8_t* p = block_.get() + used_;
      used_ += n;
      return p;
    }
    // Larger than a whole block: only a caller of the primitives can ask that; it goes through memory.
    Flush();
  }
  const std::size_t at = buffer_.size();
  buffer_.resize(at + n);
  return buffer_.data() + at;
}

void GdsWriter::PutByte(std::uint8_t b) { *Grow(1) = b; }

bool GdsWriter::Flush() {
  if (!sink_) return !failed_;
  if (used_ > 0) {
    if (!sink_(block_.get(), used_)) failed_ = true;
    used_ = 0;
  }
  if (!buffer_.empty()) {
    if (!sink_(buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
  }
  return !failed_;
}

namespace {
inline void Put16(std::uint8_t* p, unsigned v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  const std::uint32_t big = __builtin_bswap32(v);
  std::memcpy(p, &big, 4);
}
// A record header at p; gives the byte after it.
inline std::uint8_t* PutHeader(std::uint8_t* p, unsigned length, int recordType, int dataType) {
  Put16(p, length);
  p[2] = static_cast<std::uint8_t>(recordType);
  p[3] = static_cast<std::uint8_t>(dataType);
  return p + 4;
}
inline std::uint8_t* PutInt2Record(std::uint8_t* p, int recordType, int value) {
  p = PutHeader(p, 6, recordType, kInt2);
  Put16(p, static_cast<unsigned>(value));
  return p + 2;
}
inline std::uint8_t* PutXy(std::uint8_t* p, const GdsPoint* points, std::size_t count) {
  p = PutHeader(p, static_cast<unsigned>(8 * count + 4), kXy, kInt4);
  for (std::size_t i = 0; i < count; ++i, p += 8) {
    Put32(p, static_cast<std::uint32_t>(points[i].x));
    Put32(p + 4, static_cast<std::uint32_t>(points[i].y));
  }
  return p;
}
}  // namespace

void GdsWriter::WriteGdsRecordHeader(int length, int recordType, int dataType) {
  if (used_ >= kFlushBlock) Flush();
  std::uint8_t* p = Grow(4);
  Put16(p, static_cast<unsigned>(length));
  p[2] = static_cast<std::uint8_t>(recordType);
  p[3] = static_cast<std::uint8_t>(dataType);
}

void GdsWriter::WriteGdsInt2(int value) { Put16(Grow(2), static_cast<unsigned>(value)); }

void GdsWriter::WriteGdsInt4(std::int32_t value) { Put32(Grow(4), static_cast<std::uint32_t>(value)); }

void GdsWriter::WriteGdsReal8(long double value) {
  const auto bytes = EncodeReal8(value, correction_);
  std::uint8_t* p = Grow(bytes.size());
  for (std::uint8_t b : bytes) *p++ = b;
}

void GdsWriter::WriteGdsString(std::string_view text) {
  std::uint8_t* p = Grow(text.size() + text.size() % 2);
  if (!text.empty()) std::memcpy(p, text.data(), text.size());
  if (text.size() % 2 != 0) p[text.size()] = 0;
}

void GdsWriter::WriteEmptyRecord(int recordType) { WriteGdsRecordHeader(4, recordType, kNoData); }

void GdsWriter::WriteInt2Record(int recordType, int dataType, int value) {
  WriteGdsRecordHeader(6, recordType, dataType);
  WriteGdsInt2(value);
}

void GdsWriter::WriteStringRecord(int recordType, std::string_view text) {
  if (text.size() > kMaxStringBytes) text = text.substr(0, kMaxStringBytes);
  const std::size_t padded = text.size() + text.size() % 2;
  WriteGdsRecordHeader(static_cast<int>(padded + 4), recordType, kAscii);
  WriteGdsString(text);
}

void GdsWriter::WriteDateRecord(int recordType, const std::tm& first, const std::tm& second) {
  WriteGdsRecordHeader(28, recordType, kInt2);
  for (const std::tm* t : {&first, &second}) {
    WriteGdsInt2(t->tm_year);
    WriteGdsInt2(t->tm_mon + 1);
    WriteGdsInt2(t->tm_mday);
    WriteGdsInt2(t->tm_hour);
    WriteGdsInt2(t->tm_min);
    WriteGdsInt2(t->tm_sec);
  }
}

void GdsWriter::WriteReal8Record(int recordType, long double value) {
  WriteGdsRecordHeader(12, recordType, kReal8);
  WriteGdsReal8(value);
}

void GdsWriter::WriteHeaderRecord(int version) { WriteInt2Record(kHeader, kInt2, version); }
void GdsWriter::WriteBgnLib(const std::tm& modified, const std::tm& accessed) {
  WriteDateRecord(kBgnLib, modified, accessed);
}
void GdsWriter::WriteLibName(std::string_view name) { WriteStringRecord(kLibName, name); }
void GdsWriter::WriteUnits(long double userUnit, long double metres) {
  WriteGdsRecordHeader(20, kUnits, kReal8);
  WriteGdsReal8(userUnit);
  WriteGdsReal8(metres);
}
void GdsWriter::WriteEndLib() { WriteEmptyRecord(kEndLib); }
void GdsWriter::WriteBgnStr(const std::tm& created, const std::tm& modified) {
  WriteDateRecord(kBgnStr, created, modified);
}
void GdsWriter::WriteStrName(std::string_view name) { WriteStringRecord(kStrName, name); }
void GdsWriter::WriteEndStr() { WriteEmptyRecord(kEndStr); }
void GdsWriter::WriteBoundary() { WriteEmptyRecord(kBoundary); }
void GdsWriter::WriteBox() { WriteEmptyRecord(kBox); }
void GdsWriter::WritePath() { WriteEmptyRecord(kPath); }
void GdsWriter::WriteSref() { WriteEmptyRecord(kSref); }
void GdsWriter::WriteAref() { WriteEmptyRecord(kAref); }
void GdsWriter::WriteText() { WriteEmptyRecord(kText); }
void GdsWriter::WriteLayer(int layer) { WriteInt2Record(kLayer, kInt2, layer); }
void GdsWriter::WriteDatatype(int dataType) { WriteInt2Record(kDatatype, kInt2, dataType); }
void GdsWriter::WriteWidth(std::int32_t width) {
  WriteGdsRecordHeader(8, kWidth, kInt4);
  WriteGdsInt4(width);
}

void GdsWriter::WriteXy(const GdsPoint* points, std::size_t count) {
  if (count > static_cast<std::size_t>(kMaxXyPoints)) count = kMaxXyPoints;
  if (used_ >= kFlushBlock) Flush();
  PutXy(Grow(8 * count + 4), points, count);
}

void GdsWriter::WriteEndEl() { WriteEmptyRecord(kEndEl); }

void GdsWriter::WriteBoundaryElement(int layer, int dataType, const GdsPoint* points, std::size_t count) {
  if (count > static_cast<std::size_t>(kMaxXyPoints)) count = kMaxXyPoints;
  if (used_ >= kFlushBlock) Flush();
  std::uint8_t* p = Grow(4 + 6 + 6 + 8 * count + 4 + 4);
  p = PutHeader(p, 4, kBoundary, kNoData);
  p = PutInt2Record(p, kLayer, layer);
  p = PutInt2Record(p, kDatatype, dataType);
  p = PutXy(p, points, count);
  PutHeader(p, 4, kEndEl, kNoData);
}

void GdsWriter::WritePathElement(int layer, int dataType, int pathType, std::int32_t width, const GdsPoint* points,
                                 std::size_t count) {
  if (count > static_cast<std::size_t>(kMaxXyPoints)) count = kMaxXyPoints;
  if (used_ >= kFlushBlock) Flush();
  std::uint8_t* p = Grow(4 + 6 + 6 + 6 + 8 + 8 * count + 4 + 4);
  p = PutHeader(p, 4, kPath, kNoData);
  p = PutInt2Record(p, kLayer, layer);
  p = PutInt2Record(p, kDatatype, dataType);
  p = PutInt2Record(p, kPathType, pathType);
  p = PutHeader(p, 8, kWidth, kInt4);
  Put32(p, static_cast<std::uint32_t>(width));
  p = PutXy(p + 4, points, count);
  PutHeader(p, 4, kEndEl, kNoData);
}
void GdsWriter::WriteSname(std::string_view name) { WriteStringRecord(kSname, name); }
void GdsWriter::WriteColRow(int columns, int rows) {
  WriteGdsRecordHeader(8, kColRow, kInt2);
  WriteGdsInt2(columns);
  WriteGdsInt2(rows);
}
void GdsWriter::WriteTextType(int textType) { WriteInt2Record(kTextType, kInt2, textType); }
void GdsWriter::WritePresentation(int value) { WriteInt2Record(kPresentation, kBitArray, value); }
void GdsWriter::WriteString(std::string_view text) { WriteStringRecord(kString, text); }
void GdsWriter::WriteStrans(int bits) { WriteInt2Record(kStrans, kBitArray, bits); }
void GdsWriter::WriteMag(long double mag) { WriteReal8Record(kMag, mag); }
void GdsWriter::WriteAngle(long double degrees) { WriteReal8Record(kAngle, degrees); }
void GdsWriter::WritePathType(int pathType) { WriteInt2Record(kPathType, kInt2, pathType); }
void GdsWriter::WriteGenerations(int generations) {
  WriteInt2Record(kGenerations, kInt2, generations);
}

void GdsWriter::WriteBgnExtn(std::int32_t extension) {
  WriteGdsRecordHeader(8, kBgnExtn, kInt4);
  WriteGdsInt4(extension);
}
void GdsWriter::WriteEndExtn(std::int32_t extension) {
  WriteGdsRecordHeader(8, kEndExtn, kInt4);
  WriteGdsInt4(extension);
}

void GdsWriter::WriteRawRecord(int recordType, int dataType, const std::uint8_t* data,
                               std::size_t size) {
  if (size > 65531) size = 65531;
  WriteGdsRecordHeader(static_cast<int>(size + 4), recordType, dataType);
  if (size > 0) std::memcpy(Grow(size), data, size);
}

}  // namespace gds
