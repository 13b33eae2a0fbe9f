// Record readers: one record at a time from the open TLC stream. Each returns 1 when the record was
// read, 0 when it is cut short or a number is missing or out of range; a failure costs only that
// record, and a keyword line met inside a record is left for the record loop.
#pragma once
#include <string>
#include <string_view>

#include "editor/tlc/records.h"
#include "editor/tlc/stream.h"

namespace tlc {

// Reads up to the next "=H" line and the header after it. The stream ending before any "=H" gives 1
// with `header` unchanged and *found false.
int ReadTlcHeader(TlcStream& stream, TlcHeader& header, bool* found = nullptr);
// The others are called just after the caller has read the record's keyword line.
int ReadTlcCellRef(TlcStream& stream, TlcCellRef& ref);
int ReadTlcBox(TlcStream& stream, TlcBox& box);
// More than kMaxPathPairs vertices are refused like a short record.
int ReadTlcPath(TlcStream& stream, TlcPath& path);
int ReadTlcText(TlcStream& stream, TlcText& text);

// The destination's scale as the editor checks it against each TLC header.
struct ScaleCheck {
  bool on = false;
  double scale = 0;
  std::string unit;
};
// "" when the header's scale and unit agree with the destination's, else the message to show.
std::string CheckTlcScale(const TlcHeader& header, const ScaleCheck& check);

// "Cell Record Read Error", "Box Record Read Error", ...
const char* RecordErrorText(Keyword kind);

// What a record loop hands its records to.
class RecordConsumer {
 public:
  virtual ~RecordConsumer() = default;
  virtual void CellRef(const TlcCellRef&) {}
  virtual void Box(const TlcBox&) {}
  virtual void Path(const TlcPath&) {}
  virtual void Text(const TlcText&) {}
  // True when the table for that kind of record is full: further records of it are dropped.
  virtual bool Full(Keyword) const { return false; }
  // A record that could not be read; `message` is its RecordErrorText.
  virtual void ReadError(Keyword kind, std::string_view message) = 0;
  // The run's stop flag.
  virtual bool Stopped() const { return false; }
};

// Reads the stream to its end (or until Stopped), handing every "=C", "=B", "=P" and "=T" record to
// the consumer; every other line, the header included, is skipped.
void ReadTlcRecords(TlcStream& stream, RecordConsumer& consumer);

}  // namespace tlc
