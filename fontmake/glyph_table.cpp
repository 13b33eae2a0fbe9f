#include "fontmake/glyph_table.h"

#include <cstdio>
#include <string>

#include "editor/tlc/readers.h"
#include "editor/tlc/stream.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace fontmake {

int ReadFontFile(std::string_view path, db::FontTable& table) {
  std::FILE* f = os::OpenFile(path, "rb");
  if (!f) return 0;
  db::FontTable read;
  const std::size_t got = std::fread(read.bytes.data(), 1, read.bytes.size(), f);
  std::fclose(f);
  if (got < read.bytes.size()) return -1;
  table = read;
  return 1;
}

int WriteFontFile(std::string_view path, const db::FontTable& table) {
  os::BinaryWriter out;
  if (!out.Open(path)) return 0;
  out.Write(table.bytes.data(), table.bytes.size());
  return out.Commit() == 1 ? 1 : 0;
}

void ClearFontTable(db::FontTable& table) { table.bytes.fill(db::kGlyphEnd); }

GlyphWriter::GlyphWriter(db::FontTable& table, int code) {
  if (code < kFirstCode || code > kLastCode) return;
  slot_ = table.bytes.data() + (code - kFirstCode) * db::kGlyphBytes;
  std::fill(slot_, slot_ + db::kGlyphBytes, db::kGlyphEnd);
}

PolygonResult GlyphWriter::AppendPolygon(std::span<const std::int32_t> x, std::span<const std::int32_t> y) {
  if (!slot_) return PolygonResult::Cut;
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] < 0 || x[i] > 15 || y[i] < 0 || y[i] > 15 || (x[i] == 15 && y[i] == 15))
      return PolygonResult::OffGrid;
  }
  bool cut = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (pos_ >= kVertexBytesLimit) {
      cut = true;
      break;
    }
    slot_[pos_++] = static_cast<unsigned char>((x[i] << 4) | y[i]);
  }
  if (pos_ < db::kGlyphBytes) slot_[pos_++] = db::kGlyphEnd;
  else cut = true;
  return cut ? PolygonResult::Cut : PolygonResult::Stored;
}

void GlyphWriter::Finish() {
  // The slot is all 0xFF behind the position already; this only moves past the end mark.
  if (slot_ && pos_ < db::kGlyphBytes) slot_[pos_++] = db::kGlyphEnd;
}

namespace {

struct GlyphRecords final : tlc::RecordConsumer {
  GlyphWriter& writer;
  InstallReport& report;
  const std::function<void(std::string_view)>& say;
  GlyphRecords(GlyphWriter& w, InstallReport& r, const std::function<void(std::string_view)>& s)
      : writer(w), report(r), say(s) {}

  void Path(const tlc::TlcPath& p) override {
    switch (writer.AppendPolygon(p.x, p.y)) {
      case PolygonResult::Stored:
        ++report.polygons;
        break;
      case PolygonResult::Cut:
        ++report.cut;
        if (say) say("Character Too Long ... Strokes Dropped");
        break;
      case PolygonResult::OffGrid:
        ++report.offGrid;
        if (say) say("Vertex Outside the 16 x 16 Grid ... Polygon Dropped");
        break;
    }
  }
  void ReadError(tlc::Keyword kind, std::string_view) override {
    if (kind != tlc::Keyword::Path) return;
    ++report.readErrors;
    if (say) say("  Path Record Read Error!");
  }
};

}  // namespace

InstallReport InstallGlyph(db::FontTable& table, int code, std::string_view tlcPath,
                           const std::function<void(std::string_view)>& say) {
  InstallReport report;
  tlc::FileLineSource source;
  if (!source.Open(tlcPath)) return report;
  report.opened = true;
  tlc::TlcStream stream(source);
  tlc::TlcHeader header;
  tlc::ReadTlcHeader(stream, header);
  report.headerPaths = header.paths;
  report.headerVertices = header.vertices;
  GlyphWriter writer(table, code);
  if (!writer.Valid()) return report;
  stream.Rewind();
  GlyphRecords records(writer, report, say);
  tlc::ReadTlcRecords(stream, records);
  writer.Finish();
  return report;
}

}  // namespace fontmake
