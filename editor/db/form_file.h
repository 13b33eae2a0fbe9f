// FORM.DBD: layer names, the pool folder, extra font tables, function-key macros, resistance
// parameter sets and the no-cell-popup option; and the stroke-font table the text drawing uses.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tell/talk.h"

namespace db {

constexpr int kMaxLayerRows = 64;
constexpr int kMaxMacros = 11;
constexpr int kMaxMacroLength = 79;
constexpr int kMaxFonts = 9;
constexpr int kMaxFontPathLength = 63;
constexpr int kMaxResSets = 9;
constexpr std::size_t kFormLineLength = 75;  // what counts of a FORM.DBD line

// One "LAYER=" row; View and Open are the layer-view flags the editor keeps beside it.
struct LayerRow {
  std::string name;  // up to 4 characters
  int number = 0;    // 1..64
  int view = 0;
  int open = 0;
};

// In memory: ohms per square, end, width, corner (the file gives corner before width).
struct ResParamSet {
  double ohms = 0;
  double end = 0;
  double width = 0;
  double corner = 0;
};

struct FormFile {
  std::vector<LayerRow> layers;       // the LayerTable, at most 64 rows
  std::string poolFolder;             // "" or ending in "\"
  std::vector<std::string> macros;    // F2..F12
  std::vector<std::string> fonts;     // entries 1..9 (index 0 = entry 1)
  std::string defaultFontPath;
  std::string currentFontPath;
  std::vector<ResParamSet> resSets;
  int noCellPopup = 0;
};

enum FormFlags { kReadPool = 1, kReadLayers = 2, kReadMacros = 4, kReadAll = 7 };

// Reads FORM.DBD (or `path`); 1 read, 0 missing. The font list starts as the suite's three tables on
// `suiteDrive` ("C:" or "").
int ReadFormFile(FormFile& form, int flags, std::string_view suiteDrive,
                 std::string_view path = "FORM.DBD");
// Writes the default FORM.DBD of a new drawing folder; 1, or 0 when it cannot be created.
int WriteDefaultFormFile(std::string_view path = "FORM.DBD");

// ---- Stroke-font tables ----
constexpr int kGlyphSlots = 96;  // character codes 32..127
constexpr int kGlyphBytes = 128;
constexpr int kFontTableBytes = kGlyphSlots * kGlyphBytes;  // 12288, no header
constexpr unsigned char kGlyphEnd = 0xFF;                   // ends a polygon, and the glyph

struct FontTable {
  std::array<unsigned char, kFontTableBytes> bytes{};
  const unsigned char* Glyph(int code) const {
    return code >= 32 && code < 128 ? bytes.data() + (code - 32) * kGlyphBytes : nullptr;
  }
};

// Loads form.currentFontPath. A missing file shows message 23 and tries the default path once; a
// file shorter than 12288 bytes leaves the table as it was and sets the current path back to the
// default. 1 loaded, 0 failed.
int LoadFontFile(FormFile& form, FontTable& font, tell::Talk* talk);

}  // namespace db
