// PCX map files: the run-length code, the planes of a pixel, the header, and damaged files.
#include <gtest/gtest.h>

#include <random>

#include "drc/pcx.h"
#include "platform/os/tests/scratch.h"

namespace drc {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const Bytes& line) {
  Bytes out;
  EncodePcxLine(line.data(), int(line.size()), out);
  return out;
}

TEST(Pcx, RunLengthCode) {
  EXPECT_EQ(Encode(Bytes(80, 0)), (Bytes{0xC0 + 63, 0, 0xC0 + 17, 0}));
  EXPECT_EQ(Encode({0xC5}), (Bytes{0xC1, 0xC5}));
  EXPECT_EQ(Encode({0xC5, 0xC5}), (Bytes{0xC2, 0xC5}));
  EXPECT_EQ(Encode({1, 2, 2, 0xBF, 0xC0}), (Bytes{1, 0xC2, 2, 0xBF, 0xC1, 0xC0}));
}

// The four plane bytes of 8 pixels of a colour, coded.
Bytes Planes(std::uint32_t rgb) {
  gfx::Surface s(8, 1, rgb);
  Bytes file = EncodePcxMap(s, 0, 0, 8, 1);
  return Bytes(file.begin() + kPcxHeaderBytes, file.end());
}
Bytes Coded(const Bytes& planes) {
  Bytes out;
  for (std::uint8_t b : planes) EncodePcxLine(&b, 1, out);
  return out;
}

TEST(Pcx, PlanesOfAPixel) {
  EXPECT_EQ(Planes(0xFFFFFF), Coded({0xFF, 0xFF, 0xFF, 0xFF}));  // blue, green, red, intensity
  EXPECT_EQ(Planes(0xBFBFBF), Coded({0xFF, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(Planes(0x0000FF), Coded({0xFF, 0x00, 0x00, 0xFF}));
  EXPECT_EQ(Planes(0xE10000), Coded({0x00, 0x00, 0xFF, 0xFF}));  // 225 counts as bright
  EXPECT_EQ(Planes(0xE00000), Coded({0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(Planes(0x000000), Coded({0x00, 0x00, 0x00, 0x00}));
}

TEST(Pcx, HeaderOfAPicture639PixelsWide) {
  gfx::Surface s(700, 3, 0);
  Bytes f = EncodePcxMap(s, 0, 0, 639, 3);
  EXPECT_EQ(f[0], 10);
  EXPECT_EQ(f[1], 3);
  EXPECT_EQ(f[2], 1);
  EXPECT_EQ(f[3], 1);
  EXPECT_EQ(f[8] | f[9] << 8, 631);
  EXPECT_EQ(f[10] | f[11] << 8, 2);
  EXPECT_EQ(f[12] | f[13] << 8, 200);
  EXPECT_EQ(f[65], 4);
  EXPECT_EQ(f[66] | f[67] << 8, 79);
  EXPECT_EQ(f[16 + 3 * 9 + 2], 255);  // colour 9 is bright blue
  // Wider than 640 pixels is cut to 640.
  Bytes wide = EncodePcxMap(gfx::Surface(900, 1, 0), 0, 0, 900, 1);
  EXPECT_EQ(wide[66] | wide[67] << 8, 80);
}

TEST(Pcx, PicturesOfThePaletteColoursComeBackWhole) {
  std::mt19937 rng(5);
  gfx::Surface s(136, 41);
  for (auto& p : s.pixels) p = kPcxPalette[rng() % 16];
  ostest::Scratch dir;
  ASSERT_EQ(WritePcxMap(dir.Path("X_1_1.PCX"), s, 0, 0, s.width, s.height), 1);
  PcxMap m;
  ASSERT_EQ(ReadPcxMap(dir.Path("x_1_1.pcx"), true, m), PcxRead::Ok);
  EXPECT_EQ(m.width, 136);
  EXPECT_EQ(m.height, 41);
  EXPECT_TRUE(m.picture.pixels.empty());
  ASSERT_EQ(ReadPcxMap(dir.Path("X_1_1.PCX"), false, m), PcxRead::Ok);
  // Colour 8 reads back as 7: both are the same grey.
  gfx::Surface want = s;
  for (auto& p : want.pixels)
    if (p == kPcxPalette[8]) p = kPcxPalette[7];
  EXPECT_EQ(m.picture.pixels, want.pixels);
  EXPECT_EQ(ReadPcxMap(dir.Path("NONE.PCX"), false, m), PcxRead::CannotOpen);
}

TEST(Pcx, DamagedAndForeignFiles) {
  gfx::Surface s(16, 4, 0xFFFFFF);
  const Bytes good = EncodePcxMap(s, 0, 0, 16, 4);
  auto with = [&](int at, std::uint8_t value) {
    Bytes b = good;
    b[std::size_t(at)] = value;
    return b;
  };
  PcxMap m;
  EXPECT_EQ(DecodePcxMap(Bytes(good.begin(), good.begin() + 100), true, m), PcxRead::NotMapFile);
  EXPECT_EQ(DecodePcxMap(with(2, 0), true, m), PcxRead::NotMapFile);    // not run-length coded
  EXPECT_EQ(DecodePcxMap(with(65, 1), true, m), PcxRead::NotMapFile);   // one plane
  EXPECT_EQ(DecodePcxMap(with(3, 8), true, m), PcxRead::NotMapFile);    // 8 bits a pixel
  EXPECT_EQ(DecodePcxMap(with(12, 72), true, m), PcxRead::NotMapFile);  // 72 dots per inch
  EXPECT_EQ(DecodePcxMap(with(66, 200), true, m), PcxRead::NotMapFile);  // lines longer than 80 bytes
  EXPECT_EQ(DecodePcxMap(with(8, 200), true, m), PcxRead::NotMapFile);  // wider than its lines
  Bytes tall = with(11, 0x7F);                                          // 32512 rows
  EXPECT_EQ(DecodePcxMap(tall, true, m), PcxRead::NotMapFile);
  // A file that stops early keeps the rest black.
  ASSERT_EQ(DecodePcxMap(Bytes(good.begin(), good.end() - 8), false, m), PcxRead::Ok);
  EXPECT_EQ(m.picture.Row(0)[0], 0xFFFFFFu);
  EXPECT_EQ(m.picture.Row(3)[15], 0u);
  // Runs longer than a line are cut at its end rather than spill into the next plane.
  Bytes runs(good.begin(), good.begin() + kPcxHeaderBytes);
  for (int row = 0; row < 4; ++row)
    for (int plane = 0; plane < 4; ++plane) runs.insert(runs.end(), {0xC0 + 9, std::uint8_t(plane == 2 ? 0xFF : 0)});
  ASSERT_EQ(DecodePcxMap(runs, false, m), PcxRead::Ok);
  for (int row = 0; row < 4; ++row) EXPECT_EQ(m.picture.Row(row)[9], kPcxPalette[4]) << row;
}

}  // namespace
}  // namespace drc
