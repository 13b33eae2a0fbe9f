#include "convert/gds/record_writer.h"

#include "convert/gds/real8.h"
#include "convert/gds/record.h"

namespace gds {

namespace {
constexpr std::size_t kFlushBlock = 1 << 20;
// A string record must still fit a 16-bit length once padded.
constexpr std::size_t kMaxStringBytes = 65530;
}  // namespace

void GdsWriter::PutByte(std::uint8_t b) {
  buffer_.push_back(b);
  ++bytesWritten_;
}

bool GdsWriter::Flush() {
  if (sink_ && !buffer_.empty()) {
    if (!sink_(buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
  }
  return !failed_;
}

void GdsWriter::WriteGdsRecordHeader(int length, int recordType, int dataType) {
  if (sink_ && buffer_.size() >= kFlushBlock) Flush();
  PutByte(static_cast<std::uint8_t>(length >> 8));
  PutByte(static_cast<std::uint8_t>(length));
  PutByte(static_cast<std::uint8_t>(recordType));
  PutByte(static_cast<std::uint8_t>(dataType));
}

void GdsWriter::WriteGdsInt2(int value) {
  PutByte(static_cast<std::uint8_t>(value >> 8));
  PutByte(static_cast<std::uint8_t>(value));
}

void GdsWriter::WriteGdsInt4(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) PutByte(static_cast<std::uint8_t>(u >> shift));
}

void GdsWriter::WriteGdsReal8(long double value) {
  for (std::uint8_t b : EncodeReal8(value, correction_)) PutByte(b);
}

void GdsWriter::WriteGdsString(std::string_view text) {
  for (char c : text) PutByte(static_cast<std::uint8_t>(c));
  if (text.size() % 2 != 0) PutByte(0);
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
  WriteGdsRecordHeader(static_cast<int>(8 * count + 4), kXy, kInt4);
  for (std::size_t i = 0; i < count; ++i) {
    WriteGdsInt4(points[i].x);
    WriteGdsInt4(points[i].y);
  }
}

void GdsWriter::WriteEndEl() { WriteEmptyRecord(kEndEl); }
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
  for (std::size_t i = 0; i < size; ++i) PutByte(data[i]);
}

}  // namespace gds
