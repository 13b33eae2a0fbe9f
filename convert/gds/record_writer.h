// Writes GDSII stream records. Bytes gather in a buffer that goes to a sink (a file) in large blocks;
// without a sink they stay in memory. Every byte is counted for the exporter's final message.
#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gds {

struct GdsPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class GdsWriter {
 public:
  // The sink takes a block of bytes and says whether it was written.
  using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

  GdsWriter() = default;
  explicit GdsWriter(Sink sink);
  GdsWriter(const GdsWriter&) = delete;
  GdsWriter& operator=(const GdsWriter&) = delete;

  // Units of the last mantissa bit added to every non-zero real8 written.
  void SetReal8Correction(int correction) { correction_ = correction; }

  // The primitives.
  void WriteGdsRecordHeader(int length, int recordType, int dataType);
  void WriteGdsInt2(int value);
  void WriteGdsInt4(std::int32_t value);
  void WriteGdsReal8(long double value);
  // The characters, then a 0 when their count is odd.
  void WriteGdsString(std::string_view text);

  // One writer per record.
  void WriteHeaderRecord(int version = 3);
  void WriteBgnLib(const std::tm& modified, const std::tm& accessed);
  void WriteLibName(std::string_view name);
  void WriteUnits(long double userUnit, long double metres);
  void WriteEndLib();
  void WriteBgnStr(const std::tm& created, const std::tm& modified);
  void WriteStrName(std::string_view name);
  void WriteEndStr();
  void WriteBoundary();
  void WriteBox();
  void WritePath();
  void WriteSref();
  void WriteAref();
  void WriteText();
  void WriteLayer(int layer);
  void WriteDatatype(int dataType);
  void WriteWidth(std::int32_t width);
  // At most kMaxXyPoints points go into one record; more are dropped.
  void WriteXy(const GdsPoint* points, std::size_t count);
  void WriteXy(const std::vector<GdsPoint>& points) { WriteXy(points.data(), points.size()); }
  void WriteEndEl();
  // Whole elements, the same bytes as their records one by one: BOUNDARY, LAYER, DATATYPE, XY,
  // ENDEL; and PATH, LAYER, DATATYPE, PATHTYPE, WIDTH, XY, ENDEL.
  void WriteBoundaryElement(int layer, int dataType, const GdsPoint* points, std::size_t count);
  void WritePathElement(int layer, int dataType, int pathType, std::int32_t width, const GdsPoint* points,
                        std::size_t count);
  void WriteSname(std::string_view name);
  void WriteColRow(int columns, int rows);
  void WriteTextType(int textType);
  void WritePresentation(int value);
  void WriteString(std::string_view text);
  void WriteStrans(int bits);
  void WriteMag(long double mag);
  void WriteAngle(long double degrees);
  void WritePathType(int pathType);
  void WriteGenerations(int generations);
  void WriteBgnExtn(std::int32_t extension);
  void WriteEndExtn(std::int32_t extension);
  // Any record with raw data, for records the converters do not write themselves.
  void WriteRawRecord(int recordType, int dataType, const std::uint8_t* data, std::size_t size);

  // Sends the buffer to the sink; false once any block failed to reach it.
  bool Flush();
  bool Failed() const { return failed_; }
  std::int64_t BytesWritten() const { return bytesWritten_; }
  // Without a sink: every byte written.
  const std::vector<std::uint8_t>& Buffer() const { return buffer_; }

 private:
  // Room for n more bytes at the buffer's end, counted as written.
  std::uint8_t* Grow(std::size_t n);
  void PutByte(std::uint8_t b);
  void WriteStringRecord(int recordType, std::string_view text);
  void WriteInt2Record(int recordType, int dataType, int value);
  void WriteDateRecord(int recordType, const std::tm& first, const std::tm& second);
  void WriteReal8Record(int recordType, long double value);
  void WriteEmptyRecord(int recordType);

  // With a sink: a block of output (1 MB, then the largest record that may still begin there),
  // written into without per-byte bookkeeping.
  static constexpr std::size_t kBlockSize = (1 << 20) + 65536 + 8;

  Sink sink_;
  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t used_ = 0;
  std::vector<std::uint8_t> buffer_;  // without a sink: every byte written
  std::int64_t bytesWritten_ = 0;
  int correction_ = 0;
  bool failed_ = false;
};

}  // namespace gds
