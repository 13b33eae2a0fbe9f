// PCX map files: what the map window shows, kept as a 16-colour picture of four one-bit planes,
// run-length coded line by line. The checker writes one for every SCPY; the map viewer reads them.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gfx/surface.h"

namespace drc {

constexpr int kPcxHeaderBytes = 128;
constexpr int kPcxMaxLineBytes = 80;  // so at most 640 pixels across
constexpr int kPcxMaxHeight = 4096;

// The 16 colours, red, green and blue each: index = blue + 2 green + 4 red + 8 intensity.
extern const std::array<std::uint32_t, 16> kPcxPalette;  // 0x00RRGGBB

// Run-length code of one plane line: runs of 2..63 equal bytes as 0xC0 + count and the byte; a single
// byte of 0xC0 or more as 0xC1 and the byte; any other byte as itself.
void EncodePcxLine(const std::uint8_t* line, int length, std::vector<std::uint8_t>& out);

// The file bytes of a rectangle of `picture` (clipped to 640 pixels across: whole bytes of 8 pixels
// only). A pixel's planes: blue, green, red for components above 0, intensity when any of them is 225
// or more.
std::vector<std::uint8_t> EncodePcxMap(const gfx::Surface& picture, int left, int top, int width, int height);
// 1 written; 0 when the file cannot be created (the caller shows "Can't Open Map File").
int WritePcxMap(std::string_view path, const gfx::Surface& picture, int left, int top, int width, int height);

enum class PcxRead { Ok, CannotOpen, NotMapFile };

struct PcxMap {
  int width = 0;
  int height = 0;
  int lineBytes = 0;
  std::array<std::uint32_t, 16> palette{};
  gfx::Surface picture;  // filled unless only the header was asked for
};

// Reads a map file: only 4-plane, 1-bit, run-length coded pictures of 200 by 200 dots per inch with
// lines of at most 80 bytes and at most 4096 rows. A file that ends early leaves the rest of the
// picture black.
PcxRead DecodePcxMap(const std::vector<std::uint8_t>& bytes, bool headerOnly, PcxMap& out);
PcxRead ReadPcxMap(std::string_view path, bool headerOnly, PcxMap& out);

}  // namespace drc
