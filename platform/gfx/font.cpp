#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/gfx/text.h"

namespace gfx {
namespace {

const char* FileOf(FontFace face) {
  switch (face) {
    case FontFace::Sans: return "DejaVuSans.ttf";
    case FontFace::SansBold: return "DejaVuSans-Bold.ttf";
    case FontFace::Mono: return "DejaVuSansMono.ttf";
  }
  return "DejaVuSans.ttf";
}

// MERO_FONT_DIR lets an installation carry its own copy of the faces.
std::string FontPath(FontFace face) {
  std::string dir = "/usr/share/fonts/truetype/dejavu";
  if (const char* env = std::getenv("MERO_FONT_DIR"); env && *env) dir = env;
  return dir + "/" + FileOf(face);
}

// Monochrome rendering with the font's own hints: crisp one-bit glyphs, the same on every run.
constexpr FT_Int32 kLoadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME;

bool RenderGlyph(FT_Face ftFace, char32_t cp, Glyph& g) {
  if (FT_Load_Char(ftFace, cp, kLoadFlags) != 0) return false;
  const FT_GlyphSlot slot = ftFace->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = int(bm.width);
  g.height = int(bm.rows);
  g.advance = int(slot->advance.x >> 6);
  g.mask.assign(std::size_t(g.width) * g.height, 0);
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
    for (int x = 0; x < g.width; ++x) {
      const bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0
                                                          : row[x] >= 128;
      g.mask[std::size_t(y) * g.width + x] = on ? 1 : 0;
    }
  }
  return true;
}

}  // namespace

Font::Font(FontFace face, int pixelSize, CodePage cp) : codePage_(cp) {
  pixelSize = std::clamp(pixelSize, 4, 200);
  const bool fixed = face == FontFace::Mono;
  FT_Library lib = nullptr;
  FT_Face ftFace = nullptr;
  if (FT_Init_FreeType(&lib) == 0 && FT_New_Face(lib, FontPath(face).c_str(), 0, &ftFace) == 0 &&
      FT_Set_Pixel_Sizes(ftFace, 0, FT_UInt(pixelSize)) == 0) {
    loaded_ = true;
    for (int b = 0; b < 256; ++b) {
      const char32_t code = CodePointOf(cp, (unsigned char)b);
      if (code != 0) RenderGlyph(ftFace, code, glyphs_[b]);
    }
    // A fixed face's cell is the full-height box-drawing stroke, so box characters join up from line
    // to line; a proportional face uses the font's own ascender and descender.
    Glyph bar;
    if (fixed && RenderGlyph(ftFace, 0x2502, bar) && bar.height > 0) {
      metrics_.ascent = bar.top;
      metrics_.descent = bar.height - bar.top;
    } else {
      metrics_.ascent = int(ftFace->size->metrics.ascender >> 6);
      metrics_.descent = int(-(ftFace->size->metrics.descender >> 6));
    }
  } else {
    metrics_.ascent = pixelSize - pixelSize / 5;
    metrics_.descent = pixelSize / 5 + 1;
  }
  if (ftFace) FT_Done_Face(ftFace);
  if (lib) FT_Done_FreeType(lib);

  metrics_.height = metrics_.ascent + metrics_.descent;
  metrics_.internalLeading = std::max(0, metrics_.height - pixelSize);
  metrics_.externalLeading = 0;
  metrics_.fixedPitch = fixed;
  const int cell = glyphs_['x'].advance > 0 ? glyphs_['x'].advance : (pixelSize * 3 + 4) / 5;
  metrics_.aveCharWidth = cell;
  int widest = 0;
  for (Glyph& g : glyphs_) {
    if (fixed || (!loaded_ && g.advance == 0)) g.advance = cell;
    widest = std::max(widest, g.advance);
  }
  // Bytes without a character take no room in a proportional face.
  if (!fixed) {
    for (int b = 0; b < 256; ++b) {
      if (CodePointOf(cp, (unsigned char)b) == 0) glyphs_[b] = Glyph{};
    }
  }
  metrics_.maxCharWidth = widest;
}

Size Font::Measure(std::string_view text) const {
  int w = 0;
  for (unsigned char c : text) w += glyphs_[c].advance;
  return Size{w, metrics_.height};
}

std::shared_ptr<const Font> MakeFont(FontFace face, int pixelSize, CodePage cp) {
  static std::mutex lock;
  static std::map<std::tuple<int, int, int>, std::shared_ptr<const Font>> cache;
  std::lock_guard<std::mutex> guard(lock);
  auto& slot = cache[{int(face), pixelSize, int(cp)}];
  if (!slot) slot = std::make_shared<const Font>(face, pixelSize, cp);
  return slot;
}

std::shared_ptr<const Font> UiFont() {
  static const std::shared_ptr<const Font> font = MakeFont(FontFace::Sans, 13, CodePage::Cp1252);
  return font;
}

std::shared_ptr<const Font> OemFixedFont() {
  static const std::shared_ptr<const Font> font = MakeFont(FontFace::Mono, 13, CodePage::Cp437);
  return font;
}

}  // namespace gfx
