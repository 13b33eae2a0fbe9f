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

// "%d" text of a number at p, without the length pass of the general conversion; gives the end.
// Room for 20 characters is enough for any 64-bit value.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// 1 to 4 digits of v < 10000.
char* Small(char* p, std::uint32_t v) {
  if (v < 10) {
    *p = static_cast<char>('0' + v);
    return p + 1;
  }
  if (v < 100) {
    std::memcpy(p, kDigitPairs + 2 * v, 2);
    return p + 2;
  }
  const std::uint32_t high = v / 100, low = v % 100;
  if (high < 10) {
    *p++ = static_cast<char>('0' + high);
  } else {
    std::memcpy(p, kDigitPairs + 2 * high, 2);
    p += 2;
  }
  std::memcpy(p, kDigitPairs + 2 * low, 2);
  return p + 2;
}

// Exactly 4 digits of v < 10000.
char* Four(char* p, std::uint32_t v) {
  std::memcpy(p, kDigitPairs + 2 * (v / 100), 2);
  std::memcpy(p + 2, kDigitPairs + 2 * (v % 100), 2);
  return p + 4;
}

char* Decimal(char* p, std::int64_t value) {
  std::uint64_t u = static_cast<std::uint64_t>(value);
  if (value < 0) {
    *p++ = '-';
    u = 0 - u;
  }
  if (u < 10000) return Small(p, static_cast<std::uint32_t>(u));
  if (u < 100000000) {
    const auto v = static_cast<std::uint32_t>(u);
    return Four(Small(p, v / 10000), v % 10000);
  }
  // Longer numbers: groups of four digits from the right, the leading group without zeros.
  std::uint32_t groups[5];
  int n = 0;
  while (u >= 10000) {
    groups[n++] = static_cast<std::uint32_t>(u % 10000);
    u /= 10000;
  }
  p = Small(p, static_cast<std::uint32_t>(u));
  while (n > 0) p = Four(p, groups[--n]);
  return p;
}

constexpr std::size_t kNumberRoom = 21;  // a blank and the longest number

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

char* TlcWriter::Grow(std::size_t n) {
  const std::size_t grown = std::max(2 * capacity_, used_ + n);
  auto bigger = std::make_unique_for_overwrite<char[]>(grown);
  std::memcpy(bigger.get(), buffer_.get(), used_);
  buffer_ = std::move(bigger);
  capacity_ = grown;
  return buffer_.get() + used_;
}

void TlcWriter::Put(std::string_view text) {
  if (text.empty()) return;
  char* p = Room(text.size());
  std::memcpy(p, text.data(), text.size());
  Used(p + text.size());
}

void TlcWriter::Line() { Put(std::string_view("\r\n", 2)); }

void TlcWriter::Numbers(std::initializer_list<std::int64_t> values) {
  char* p = Room(values.size() * kNumberRoom + 2);
  const char* const start = p;
  for (std::int64_t v : values) {
    if (p != start) *p++ = ' ';
    p = Decimal(p, v);
  }
  *p++ = '\r';
  *p++ = '\n';
  Used(p);
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
  // Each pair "%ld %ld " takes at most 24 characters, each line end 2.
  char* p = Room(n * 24 + (n / 5 + 1) * 2);
  for (std::size_t i = 0; i < n; ++i) {
    p = Decimal(p, x[i]);
    *p++ = ' ';
    p = Decimal(p, y[i]);
    *p++ = ' ';
    if (i % 5 == 4 || i + 1 == n) {
      *p++ = '\r';
      *p++ = '\n';
    }
  }
  Used(p);
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
