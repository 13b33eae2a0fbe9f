// Bitmap fonts: every glyph of a font is rendered once, one bit deep, when the font is made, so text
// looks the same on screen, on paper and in tests. Text is bytes; a font maps each byte through its
// code page: the fixed OEM face through code page 437 (box drawing, "≡" for 0xF0), the UI faces
// through Windows-1252.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gfx/geometry.h"

namespace gfx {

enum class CodePage : std::uint8_t { Cp437, Cp1252 };
enum class FontFace : std::uint8_t { Sans, SansBold, Mono };

// Unicode code point of byte `b` in a code page; 0 for a byte without a character.
char32_t CodePointOf(CodePage cp, unsigned char b);

struct TextMetrics {
  int height = 0;            // ascent + descent: the line's cell height
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  bool fixedPitch = false;
};

// One rendered character. Pixel (gx, gy) of the mask lands at (penX + left + gx, baseline - top + gy).
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int advance = 0;
  std::vector<std::uint8_t> mask;  // width * height, 1 = ink
};

class Font {
 public:
  Font(FontFace face, int pixelSize, CodePage cp);  // renders every glyph now

  const Glyph& glyph(unsigned char c) const { return glyphs_[c]; }
  const TextMetrics& metrics() const { return metrics_; }
  CodePage codePage() const { return codePage_; }
  // False when the font file could not be read: text then takes room but draws nothing.
  bool loaded() const { return loaded_; }
  Size Measure(std::string_view text) const;

 private:
  Glyph glyphs_[256];
  TextMetrics metrics_;
  CodePage codePage_;
  bool loaded_ = false;
};

// The proportional face of dialogs and owner-painted areas, and the fixed OEM face (8 pixels a
// character, code page 437) of the help viewer's text and pages. Made once, shared.
std::shared_ptr<const Font> UiFont();
std::shared_ptr<const Font> OemFixedFont();
// Any face at any pixel size (cached: the same arguments give the same font).
std::shared_ptr<const Font> MakeFont(FontFace face, int pixelSize, CodePage cp);

}  // namespace gfx
