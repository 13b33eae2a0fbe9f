#include "editor/tlc/writer.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "editor/db/settings.h"
#include "platform/os/process.h"

namespace tlc {

namespace {

constexpr std::size_t kFlushAt = 1 << 18;
static_assert(kUnitLength == db::kUnitNameLength, "a drawing's unit must fit its TLC headers whole");

// The same text as "%d"; appended by pointer and length, which is a plain copy (the iterator form
// of append goes the general way of replace and costs several times as much).
void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, static_cast<std::size_t>(end - digits));
}

std::int32_t ScaleWidth(double scale) {
  if (!(scale < 2147483647.0) || !(scale > -2147483648.0)) return 0;
  return static_cast<std::int32_t>(scale);
}

}  // namespace

TlcWriterOptions UtilityWriterOptions() {
  TlcWriterOptions options;
  options.version1 = "6.0";
  options.version2 = "6.0";
  return options;
}

std::string FormatScale(double scale) {
  char text[40];
  auto result = std::to_chars(text, text + sizeof text, scale, std::chars_format::general, 6);
  return std::string(text, result.ptr);
}

void StampNow(TlcHeader& header) {
  std::tm now = os::LocalTime();
  char date[16], time[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%02d", (now.tm_mon + 1) % 100, now.tm_mday % 100,
                now.tm_year % 100);
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.tm_hour % 100, now.tm_min % 100,
                now.tm_sec % 100);
  header.date = date;
  header.time = time;
}

TlcWriter::TlcWriter(ByteSink& sink, TlcWriterOptions options)
    : sink_(sink), options_(std::move(options)) {
  capacity_ = 1 << 16;
  buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
}

TlcWriter::~TlcWriter() = default;

char* TlcWriter::Room(std::size_t n) {
  if (n > capacity_ - used_) {
    const std::size_t grown = std::max(2 * capacity_, used_ + n);
    auto bigger = std::make_unique_for_overwrite<char[]>(grown);
    std::memcpy(bigger.get(), buffer_.get(), used_);
    buffer_ = std::move(bigger);
    capacity_ = grown;
  }
  char* p = buffer_.get() + used_;
  used_ += n;
  return p;
}

void TlcWriter::Put(std::string_view text) {
  if (!text.empty()) std::memcpy(Room(text.size()), text.data(), text.size());
}

void TlcWriter::Put(char c) { *Room(1) = c; }

void TlcWriter::Line() { Put(std::string_view("\r\n", 2)); }

// The same text as "%d", written in place.
void TlcWriter::Number(std::int64_t value) {
  char* p = Room(20);
  used_ = static_cast<std::size_t>(std::to_chars(p, p + 20, value).ptr - buffer_.get());
}

void TlcWriter::Numbers(std::initializer_list<std::int64_t> values) {
  bool first = true;
  for (std::int64_t v : values) {
    if (!first) Put(' ');
    first = false;
    Number(v);
  }
  Line();
}

bool TlcWriter::Flush() {
  if (failed_) {
    used_ = 0;
    return false;
  }
  if (used_ > 0 && !sink_.Write(std::string_view(buffer_.get(), used_))) failed_ = true;
  used_ = 0;
  return !failed_;
}

bool TlcWriter::EndRecord() {
  if (options_.onRecord) options_.onRecord(counts_);
  if (used_ >= kFlushAt) return Flush();
  return !failed_;
}

bool TlcWriter::PutHeader(const TlcHeader& header) {
  if (failed_) return false;
  TlcHeader h = header;
  if (!options_.version1.empty()) h.version1 = options_.version1;
  if (!options_.version2.empty()) h.version2 = options_.version2;
  if (!options_.fixedUnit.empty()) h.unit = options_.fixedUnit;
  // Written as every reader keeps it, so a file and what is read of it name the same unit.
  h.unit = h.unit.substr(0, kUnitLength);
  switch (options_.outline) {
    case HeaderOutline::Stored: break;
    case HeaderOutline::Importer: h.left = 0, h.bottom = 0, h.right = 1, h.top = 0; break;
    case HeaderOutline::ScaleWide: h.left = 0, h.bottom = 0, h.right = ScaleWidth(h.scale), h.top = 0; break;
  }
  if (options_.countsFromRecords) {
    h.boxes = counts_.boxes;
    h.paths = counts_.paths + counts_.texts;
    h.vertices = static_cast<std::int32_t>(counts_.vertices);
    h.cellRefs = counts_.cellRefs;
  }
  Put("=H\r\n");
  for (const std::string* s : {&h.name, &h.version1, &h.version2}) {
    Put(*s);
    Line();
  }
  Put(FormatScale(h.scale));
  Line();
  for (const std::string* s : {&h.unit, &h.date, &h.time}) {
    Put(*s);
    Line();
  }
  Numbers({h.rank, h.left, h.bottom, h.right, h.top});
  const std::int64_t vertices = options_.unsignedVertexCount
                                    ? std::int64_t{static_cast<std::uint32_t>(h.vertices)}
                                    : std::int64_t{h.vertices};
  Numbers({h.boxes, h.paths, vertices, h.cellRefs});
  if (options_.cellsRef)
    options_.cellsRef->Entry(h.name, h.rank, 0, 0, ScaleWidth(h.scale), 0, h.boxes, h.paths,
                             h.vertices, h.cellRefs, options_.unsignedVertexCount);
  return Flush();
}

bool TlcWriter::PutCellRef(const TlcCellRef& ref) {
  if (failed_) return false;
  Put("=C\r\n");
  Put(ref.name);
  Line();
  Numbers({ref.orientation, ref.x, ref.y, 0});
  ++counts_.cellRefs;
  return EndRecord();
}

bool TlcWriter::PutBox(const TlcBox& box) {
  if (failed_) return false;
  Put("=B\r\n");
  Numbers({box.layer, box.left, box.bottom, box.right, box.top});
  ++counts_.boxes;
  return EndRecord();
}

bool TlcWriter::PutPath(int layer, std::int32_t width, std::span<const std::int32_t> x,
                        std::span<const std::int32_t> y) {
  if (failed_) return false;
  const std::size_t n = std::min(x.size(), y.size());
  Put("=P\r\n");
  Numbers({layer, width, static_cast<std::int64_t>(n)});
  for (std::size_t i = 0; i < n; ++i) {
    Number(x[i]);
    Put(' ');
    Number(y[i]);
    Put(' ');
    if (i % 5 == 4 || i + 1 == n) Line();
  }
  ++counts_.paths;
  counts_.vertices += static_cast<std::int64_t>(n);
  return EndRecord();
}

bool TlcWriter::PutText(const TlcText& text) {
  if (failed_) return false;
  Put("=T\r\n");
  Numbers({text.layer, text.size, text.vertexCount, text.orientation});
  Numbers({text.x, text.y});
  Put(EscapeKeywordText(text.text));
  Line();
  ++counts_.texts;
  counts_.vertices += text.vertexCount;
  return EndRecord();
}

void CellsRefWriter::Entry(std::string_view name, std::int32_t flags, std::int32_t left,
                           std::int32_t bottom, std::int32_t right, std::int32_t top,
                           std::int32_t boxes, std::int32_t paths, std::int32_t vertices,
                           std::int32_t cellRefs, bool unsignedVertices) {
  body_.append(name);
  body_ += "\r\n";
  const std::int64_t v = unsignedVertices ? std::int64_t{static_cast<std::uint32_t>(vertices)}
                                          : std::int64_t{vertices};
  bool first = true;
  for (std::int64_t n : {std::int64_t{flags}, std::int64_t{left}, std::int64_t{bottom},
                         std::int64_t{right}, std::int64_t{top}, std::int64_t{boxes},
                         std::int64_t{paths}, v, std::int64_t{cellRefs}}) {
    if (!first) body_ += ' ';
    first = false;
    AppendNumber(body_, n);
  }
  body_ += "\r\n";
  ++entries_;
}

std::string CellsRefWriter::Text(bool emptyLastLine, bool actualCount) const {
  std::string text;
  AppendNumber(text, actualCount ? entries_ : declared_);
  text += "\r\n";
  text += body_;
  if (emptyLastLine) text += "\r\n";
  return text;
}

int CellsRefWriter::Save(std::string_view path, bool emptyLastLine, bool actualCount) const {
  FileSink sink;
  if (!sink.Open(path)) return 0;
  if (!sink.Write(Text(emptyLastLine, actualCount))) {
    sink.Abandon();
    return 0;
  }
  return sink.Commit();
}

int WriteLayersRef(std::string_view formPath, std::string_view layersRefPath) {
  os::TextReader form;
  if (!form.Open(formPath)) return 0;
  FileSink sink;
  if (!sink.Open(layersRefPath)) return 0;
  std::string line, out;
  while (form.ReadLine(line)) {
    if (line.size() >= 6 && strncasecmp(line.c_str(), "LAYER=", 6) == 0) {
      out += line;
      out += "\r\n";
    }
  }
  if (form.Failed() || !sink.Write(out)) {
    sink.Abandon();
    return 0;
  }
  return sink.Commit();
}

}  // namespace tlc
