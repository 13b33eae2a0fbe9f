// Writing the editor's stroke-font tables: whole table files, and the polygons of a character cell
// into that character's 128-byte slot. The font-table maker and the build of the suite's own three
// tables share this code.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "editor/db/form_file.h"

namespace fontmake {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 127;
constexpr int kVertexBytesLimit = 126;  // vertex bytes fill at most the first 126 bytes of a slot

// 1 read; 0 missing; -1 shorter than 12288 bytes (bytes beyond 12288 are not read).
int ReadFontFile(std::string_view path, db::FontTable& table);
// Writes the 12288 bytes through a temporary file, so a failure leaves the old file; 1 or 0.
int WriteFontFile(std::string_view path, const db::FontTable& table);
// Every slot empty (all 0xFF).
void ClearFontTable(db::FontTable& table);

enum class PolygonResult {
  Stored,
  Cut,           // the slot was full: the rest of this character is dropped
  OffGrid,       // a vertex outside 0..15, or at (15, 15) whose byte would read as an end mark
};

// One character being written into its slot.
class GlyphWriter {
 public:
  // Empties the slot of `code`. A code outside 32..127 has no slot: Valid() is false and nothing is
  // ever written.
  GlyphWriter(db::FontTable& table, int code);
  bool Valid() const { return slot_ != nullptr; }

  // The polygon's vertex bytes (x << 4 | y) while the position is below 126, then one 0xFF; the
  // position never passes the slot's end. An off-grid polygon is refused whole.
  PolygonResult AppendPolygon(std::span<const std::int32_t> x, std::span<const std::int32_t> y);
  // The closing 0xFF, when the slot has room for it.
  void Finish();
  int Position() const { return pos_; }

 private:
  unsigned char* slot_ = nullptr;
  int pos_ = 0;
};

// What an installation reports: counts from the character file's header, and trouble met.
struct InstallReport {
  bool opened = false;
  int headerPaths = 0;
  std::int32_t headerVertices = 0;
  int polygons = 0;     // polygons stored
  int offGrid = 0;      // polygons refused
  int cut = 0;          // polygons cut at the slot's end
  int readErrors = 0;   // path records that could not be read
};

// Reads the character TLC file and puts every "=P" polygon into the slot of `code`, replacing
// what was there; boxes, texts and references are dropped. `say` gets one line per trouble.
InstallReport InstallGlyph(db::FontTable& table, int code, std::string_view tlcPath,
                           const std::function<void(std::string_view)>& say = {});

}  // namespace fontmake
