#include "editor/tlc/readers.h"

#include <strings.h>

#include <cstdio>
#include <span>

namespace tlc {

namespace {

void Cut(std::string& text, std::size_t length) {
  if (text.size() > length) text.resize(length);
}

// Next line of a record's body. A keyword line means the record was cut short: it is left for the
// record loop and the record fails.
bool BodyLine(TlcStream& stream) {
  if (!stream.Next()) return false;
  if (KeywordOf(stream.Line()) != Keyword::None) {
    stream.Unread();
    return false;
  }
  return true;
}

// Reads one number line into `out`; false when it is missing or has fewer numbers.
bool NumberLine(TlcStream& stream, std::span<std::int32_t> out) {
  if (!BodyLine(stream)) return false;
  Tokens tokens(stream.Line());
  for (std::int32_t& value : out)
    if (!tokens.NextInt(value)) return false;
  return true;
}

bool ValidLayer(std::int32_t layer) { return layer >= 1 && layer <= kMaxLayer; }
bool ValidOrientation(std::int32_t code) { return code >= 0 && code <= 7; }

}  // namespace

int ReadTlcHeader(TlcStream& stream, TlcHeader& header, bool* found) {
  if (found) *found = false;
  for (;;) {
    if (!stream.Next()) return 1;
    if (KeywordOf(stream.Line()) == Keyword::Header) break;
  }
  if (found) *found = true;
  std::string* texts[] = {&header.name, &header.version1, &header.version2, nullptr,
                          &header.unit, &header.date,     &header.time};
  const std::size_t limits[] = {kNameLength, kVersionLength, kVersionLength, 0,
                                kUnitLength, kDateLength, kDateLength};
  for (int i = 0; i < 7; ++i) {
    if (!BodyLine(stream)) return 0;
    if (texts[i]) {
      *texts[i] = stream.Line();
      Cut(*texts[i], limits[i]);
    } else {
      header.scale = ToDouble(stream.Line());
    }
  }
  std::int32_t outline[5];
  if (!NumberLine(stream, outline)) return 0;
  header.rank = outline[0];
  header.left = outline[1];
  header.bottom = outline[2];
  header.right = outline[3];
  header.top = outline[4];
  std::int32_t counts[4];
  if (!NumberLine(stream, counts)) return 0;
  header.boxes = counts[0];
  header.paths = counts[1];
  header.vertices = counts[2];
  header.cellRefs = counts[3];
  return 1;
}

int ReadTlcCellRef(TlcStream& stream, TlcCellRef& ref) {
  if (!BodyLine(stream)) return 0;
  ref.name = stream.Line();
  Cut(ref.name, kNameLength);
  std::int32_t v[3];
  if (!NumberLine(stream, v)) return 0;
  // An orientation outside 0..7 would spill into the flag bits of the stored reference.
  if (!ValidOrientation(v[0])) return 0;
  ref.orientation = v[0];
  ref.x = v[1];
  ref.y = v[2];
  return 1;
}

int ReadTlcBox(TlcStream& stream, TlcBox& box) {
  std::int32_t v[5];
  // Layer 0 would make a zero flag word, which ends a table in a BP6 file.
  if (!NumberLine(stream, v) || !ValidLayer(v[0])) return 0;
  box.layer = v[0];
  box.left = v[1];
  box.bottom = v[2];
  box.right = v[3];
  box.top = v[4];
  return 1;
}

int ReadTlcPath(TlcStream& stream, TlcPath& path) {
  std::int32_t head[3];
  if (!NumberLine(stream, head) || !ValidLayer(head[0])) return 0;
  const std::int32_t n = head[2];
  if (n < 0 || n > kMaxPathPairs) return 0;
  path.layer = head[0];
  path.width = head[1];
  path.x.clear();
  path.y.clear();
  path.x.reserve(n);
  path.y.reserve(n);
  // No pair line at all for n = 0, so a following keyword line is never taken as a pair.
  Tokens tokens{std::string_view{}};
  std::int32_t value;
  for (std::int32_t i = 0; i < n; ++i) {
    // x may start a new line (blank lines are passed over); y must follow on the same line.
    while (!tokens.NextInt(value)) {
      if (!BodyLine(stream)) return 0;
      tokens = Tokens(stream.Line());
    }
    path.x.push_back(value);
    if (!tokens.NextInt(value)) return 0;
    path.y.push_back(value);
  }
  return 1;
}

int ReadTlcText(TlcStream& stream, TlcText& text) {
  std::int32_t head[4];
  if (!NumberLine(stream, head) || !ValidLayer(head[0]) || !ValidOrientation(head[3])) return 0;
  std::int32_t point[2];
  if (!NumberLine(stream, point)) return 0;
  // Every writer escapes keyword texts, so a keyword line here means the record was cut short.
  if (!BodyLine(stream)) return 0;
  text.layer = head[0];
  text.size = head[1];
  text.vertexCount = head[2];
  text.orientation = head[3];
  text.x = point[0];
  text.y = point[1];
  text.text = stream.Line();
  Cut(text.text, kTextLength);
  return 1;
}

std::string CheckTlcScale(const TlcHeader& header, const ScaleCheck& check) {
  if (!check.on) return {};
  if (strcasecmp(header.unit.c_str(), check.unit.c_str()) == 0 && header.scale == check.scale)
    return {};
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "Different Scales!  TLC=%g/%s Internal=%g/%s", header.scale,
                header.unit.c_str(), check.scale, check.unit.c_str());
  return buffer;
}

const char* RecordErrorText(Keyword kind) {
  switch (kind) {
    case Keyword::CellRef: return "Cell Record Read Error";
    case Keyword::Box: return "Box Record Read Error";
    case Keyword::Path: return "Path Record Read Error";
    case Keyword::Text: return "Text Record Read Error";
    default: return "";
  }
}

void ReadTlcRecords(TlcStream& stream, RecordConsumer& consumer) {
  TlcCellRef ref;
  TlcBox box;
  TlcPath path;
  TlcText text;
  while (!consumer.Stopped() && stream.Next()) {
    const Keyword kind = KeywordOf(stream.Line());
    int ok;
    switch (kind) {
      case Keyword::CellRef: ok = ReadTlcCellRef(stream, ref); break;
      case Keyword::Box: ok = ReadTlcBox(stream, box); break;
      case Keyword::Path: ok = ReadTlcPath(stream, path); break;
      case Keyword::Text: ok = ReadTlcText(stream, text); break;
      default: continue;
    }
    if (!ok) {
      consumer.ReadError(kind, RecordErrorText(kind));
      continue;
    }
    if (consumer.Full(kind)) continue;
    switch (kind) {
      case Keyword::CellRef: consumer.CellRef(ref); break;
      case Keyword::Box: consumer.Box(box); break;
      case Keyword::Path: consumer.Path(path); break;
      case Keyword::Text: consumer.Text(text); break;
      default: break;
    }
  }
}

}  // namespace tlc
