// The one TLC writer of the suite. The editor's TLCOUT, the importers, layer logic and the batch tools
// differ only in the options: header first or last, outline and unit variants, the vertex-count format,
// a CELLS.REF entry per header, and display updates per record.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "editor/tlc/records.h"
#include "platform/os/textfile.h"

namespace tlc {

// Where written bytes go. Write returns false once a byte could not be stored.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// A file written beside its target and renamed over it on Commit, so a failed write leaves any old
// file as it was. Line ends are written as CR LF by the writers themselves.
class FileSink final : public ByteSink {
 public:
  bool Open(std::string_view path) { return writer_.Open(path, true); }
  bool IsOpen() const { return writer_.IsOpen(); }
  bool Write(std::string_view bytes) override {
    writer_.Write(bytes.data(), bytes.size());
    return !writer_.Failed();
  }
  // 1 when every byte reached the file (flush and close included), else 0.
  int Commit() { return writer_.Commit(); }
  void Abandon() { writer_.Abandon(); }

 private:
  os::BinaryWriter writer_;
};

// Records written to the current cell so far.
struct TlcRecordCounts {
  int boxes = 0;
  int paths = 0;  // paths and polygons
  int texts = 0;
  std::int64_t vertices = 0;  // path vertices and text vertex counts
  int cellRefs = 0;
};

class CellsRefWriter;

// Outline written on the header's rank line.
enum class HeaderOutline {
  Stored,     // the header's own values (the editor: the cell index entry)
  Importer,   // 0 0 1 0: no outline, the reader computes it
  ScaleWide,  // 0 0 (integer part of the scale) 0: layer logic
};

struct TlcWriterOptions {
  std::string version1;  // empty: the header's own version lines
  std::string version2;
  std::string fixedUnit;  // "um" for the CIF importer and layer logic; empty: the header's unit
  HeaderOutline outline = HeaderOutline::Stored;
  bool unsignedVertexCount = false;  // counts line and CELLS.REF entry write the vertex count "%u"
  // Header written after the records: its counts are those of the records written.
  bool countsFromRecords = false;
  // An entry for each header written (importers); null: none.
  CellsRefWriter* cellsRef = nullptr;
  // Called after each record, for the progress display; empty: no display updates.
  std::function<void(const TlcRecordCounts&)> onRecord;
};

// "6.0" twice, the utilities' version lines.
TlcWriterOptions UtilityWriterOptions();

class TlcWriter {
 public:
  explicit TlcWriter(ByteSink& sink, TlcWriterOptions options = {});
  ~TlcWriter();  // does not flush: call Flush and check it
  TlcWriter(const TlcWriter&) = delete;
  TlcWriter& operator=(const TlcWriter&) = delete;

  // Each returns false once a write has failed (then and for every later call).
  bool PutHeader(const TlcHeader& header);
  bool PutCellRef(const TlcCellRef& ref);
  bool PutBox(const TlcBox& box);
  bool PutPath(int layer, std::int32_t width, std::span<const std::int32_t> x,
               std::span<const std::int32_t> y);
  bool PutPath(const TlcPath& path) { return PutPath(path.layer, path.width, path.x, path.y); }
  // The text goes out with the keyword escape; vertexCount as given.
  bool PutText(const TlcText& text);
  // Hands what is buffered to the sink.
  bool Flush();
  bool Failed() const { return failed_; }

  const TlcRecordCounts& Counts() const { return counts_; }
  void ResetCounts() { counts_ = {}; }
  const TlcWriterOptions& Options() const { return options_; }

 private:
  // Room for up to n more bytes at the end of what is buffered; Used(end) then keeps what was
  // written up to `end`.
  char* Room(std::size_t n) {
    return n <= capacity_ - used_ ? buffer_.get() + used_ : Grow(n);
  }
  void Used(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
  char* Grow(std::size_t n);
  void Put(std::string_view text);
  void Line();
  bool EndRecord();
  // A line of numbers, each as "%d" writes it, separated by one blank.
  void Numbers(std::initializer_list<std::int64_t> values);

  ByteSink& sink_;
  TlcWriterOptions options_;
  std::unique_ptr<char[]> buffer_;  // the first used_ bytes are the records not yet handed to the sink
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  TlcRecordCounts counts_;
  bool failed_ = false;
};

// "%g" in the "C" locale.
std::string FormatScale(double scale);
// Date "MM/DD/YY" and time "HH:MM:SS" of now (os::LocalTime, which MERO_NOW fixes).
void StampNow(TlcHeader& header);

// One CELLS.REF: the count line, then per cell its name and "%d %ld %ld %ld %ld %d %d %ld %d".
// Kept in memory and written whole by Save, so a failure leaves an old file as it was.
class CellsRefWriter {
 public:
  explicit CellsRefWriter(int declaredCount = 0) : declared_(declaredCount) {}
  void Entry(std::string_view name, std::int32_t flags, std::int32_t left, std::int32_t bottom,
             std::int32_t right, std::int32_t top, std::int32_t boxes, std::int32_t paths,
             std::int32_t vertices, std::int32_t cellRefs, bool unsignedVertices = false);
  int Entries() const { return entries_; }
  // The file's bytes. The editor ends it with an empty line; the importers do not. With
  // `actualCount` the count line is the number of entries, else the count declared at creation.
  std::string Text(bool emptyLastLine, bool actualCount = false) const;
  // 1 written, 0 failed.
  int Save(std::string_view path, bool emptyLastLine, bool actualCount = false) const;

 private:
  int declared_;
  int entries_ = 0;
  std::string body_;
};

// LAYERS.REF: every line of a FORM.DBD whose first six characters are "LAYER=" in any case, unchanged
// and in file order. 1 written, 0 when FORM.DBD is missing or the file cannot be written.
int WriteLayersRef(std::string_view formPath, std::string_view layersRefPath);

}  // namespace tlc
