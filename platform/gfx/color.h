// Colours, palettes and the mix modes that combine a pen or brush with what is already drawn.
#pragma once
#include <cstdint>
#include <vector>

namespace gfx {

// A colour as the programs give it: either 0x00RRGGBB, or an index into the palette selected into the
// canvas (PaletteIndex). Surfaces hold resolved 0x00RRGGBB values only.
using Color = std::uint32_t;

constexpr Color kPaletteFlag = 0x01000000u;
constexpr Color kInvalidColor = 0xFFFFFFFFu;  // GetPixel outside the surface or the clip

constexpr Color Rgb(int r, int g, int b) {
  return (Color(r & 255) << 16) | (Color(g & 255) << 8) | Color(b & 255);
}
constexpr Color PaletteIndex(int index) { return kPaletteFlag | Color(index & 0xFFFF); }
constexpr bool IsPaletteIndex(Color c) { return (c & 0xFF000000u) == kPaletteFlag; }
constexpr int RedOf(Color c) { return int((c >> 16) & 255); }
constexpr int GreenOf(Color c) { return int((c >> 8) & 255); }
constexpr int BlueOf(Color c) { return int(c & 255); }

// A program palette: entry i is the 0x00RRGGBB colour of PaletteIndex(i).
using Palette = std::vector<Color>;

// Resolves a colour through a palette. An index beyond the palette (or with no palette) takes entry 0,
// black when the palette is empty.
Color ResolveColor(Color c, const Palette& palette);

// How a pen or a brush fill combines with the destination, P being the pen or brush pixel and D the
// destination. The numbers are the usual binary raster-operation codes (1..16) so a table of codes
// maps one to one.
enum class Mix : std::uint8_t {
  Black = 1,        // 0
  NotMerge = 2,     // ~(D | P)
  MaskNotPen = 3,   // D & ~P
  NotCopy = 4,      // ~P
  MaskPenNot = 5,   // P & ~D
  Not = 6,          // ~D
  Xor = 7,          // D ^ P
  NotMask = 8,      // ~(D & P)
  Mask = 9,         // D & P
  NotXor = 10,      // ~(D ^ P)
  Nop = 11,         // D
  MergeNotPen = 12, // D | ~P
  Copy = 13,        // P
  MergePenNot = 14, // P | ~D
  Merge = 15,       // D | P
  White = 16,       // 1
};

// One pixel through a mix mode (24-bit result).
inline std::uint32_t ApplyMix(Mix mix, std::uint32_t pen, std::uint32_t dest) {
  // Bit k of (code - 1) is the result for pen bit p and dest bit d with k = 2p + d.
  const unsigned t = unsigned(mix) - 1u;
  std::uint32_t r = 0;
  if (t & 1u) r |= ~pen & ~dest;
  if (t & 2u) r |= ~pen & dest;
  if (t & 4u) r |= pen & ~dest;
  if (t & 8u) r |= pen & dest;
  return r & 0xFFFFFFu;
}

// Background mode: whether dash gaps, hatch gaps and text backgrounds are painted in the background
// colour (Opaque) or left alone (Transparent).
enum class BackgroundMode : std::uint8_t { Transparent = 1, Opaque = 2 };

}  // namespace gfx
