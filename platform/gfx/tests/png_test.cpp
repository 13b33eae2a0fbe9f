#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/png.h"
#include "platform/gfx/tests/picture.h"

namespace gfx {
namespace {

TEST(Png, RoundTripsExactlyAndEncodesTheSameBytesEachTime) {
  const Surface s = test::Noise(37, 23);
  std::vector<std::uint8_t> a, b;
  ASSERT_TRUE(EncodePng(s, a));
  ASSERT_TRUE(EncodePng(s, b));
  EXPECT_EQ(a, b);
  Surface back;
  ASSERT_TRUE(DecodePng(a.data(), a.size(), back));
  EXPECT_EQ(back.width, 37);
  EXPECT_EQ(back.height, 23);
  EXPECT_EQ(back.pixels, s.pixels);
  std::vector<std::uint8_t> none;
  EXPECT_FALSE(EncodePng(Surface{}, none));
}

std::vector<std::uint8_t> Chunk(const char* type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> c;
  const std::uint32_t n = std::uint32_t(data.size());
  for (int i = 3; i >= 0; --i) c.push_back(std::uint8_t(n >> (8 * i)));
  c.insert(c.end(), type, type + 4);
  c.insert(c.end(), data.begin(), data.end());
  const uLong crc = crc32(0, c.data() + 4, uInt(c.size() - 4));
  for (int i = 3; i >= 0; --i) c.push_back(std::uint8_t(crc >> (8 * i)));
  return c;
}

TEST(Png, RefusesDamagedOrOversizedPicturesAndLeavesTheSurface) {
  std::vector<std::uint8_t> good;
  ASSERT_TRUE(EncodePng(test::Noise(16, 16), good));
  // A header claiming 100000 x 100000 pixels.
  std::vector<std::uint8_t> huge = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const std::vector<std::uint8_t> ihdr = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0};
  const auto c = Chunk("IHDR", ihdr);
  huge.insert(huge.end(), c.begin(), c.end());
  const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
  std::vector<std::uint8_t> flipped = good;
  flipped[flipped.size() / 2] ^= 0x55;
  const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  const std::vector<std::uint8_t>* bads[] = {&huge, &truncated, &flipped, &text};
  for (const std::vector<std::uint8_t>* bad : bads) {
    Surface s(3, 2, 0x123456);
    EXPECT_FALSE(DecodePng(bad->data(), bad->size(), s));
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(s.pixels, std::vector<std::uint32_t>(6, 0x123456));
  }
  Surface s;
  EXPECT_FALSE(DecodePng(nullptr, 0, s));
}

TEST(Png, ReadsGreyWithAlphaAsColourOverBlack) {
  const std::uint8_t ga[] = {255, 255, 0, 255, 200, 0, 100, 128};  // 4 pixels: grey, alpha
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 4;
  image.height = 1;
  image.format = PNG_FORMAT_GA;
  png_alloc_size_t size = 0;
  ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, ga, 0, nullptr));
  std::vector<std::uint8_t> png(size);
  ASSERT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, ga, 0, nullptr));
  Surface s;
  ASSERT_TRUE(DecodePng(png.data(), size, s));
  EXPECT_EQ(s.Row(0)[0], 0xFFFFFFu);
  EXPECT_EQ(s.Row(0)[1], 0x000000u);
  EXPECT_EQ(s.Row(0)[2], 0x000000u);  // fully transparent
  EXPECT_GT(s.Row(0)[3] & 0xFF, 0x20u);
  EXPECT_LT(s.Row(0)[3] & 0xFF, 0x60u);
}

TEST(Png, SavesAndLoadsThroughThePathResolver) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "gfx_png_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const Surface s = test::Noise(9, 4);
  const std::string path = (dir / "Shot.png").string();
  EXPECT_EQ(SavePng(path, s), 1);
  Surface back;
  // Names match whatever their case.
  EXPECT_EQ(LoadPng((dir / "SHOT.PNG").string(), back), 1);
  EXPECT_EQ(back.pixels, s.pixels);
  // A failed save leaves the old picture.
  EXPECT_EQ(SavePng(path, Surface{}), 0);
  EXPECT_EQ(LoadPng(path, back), 1);
  EXPECT_EQ(back.pixels, s.pixels);
  EXPECT_EQ(SavePng((dir / "missing" / "x.png").string(), s), 0);
  EXPECT_EQ(LoadPng((dir / "none.png").string(), back), 0);
  std::FILE* f = std::fopen((dir / "junk.png").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("junk", f);
  std::fclose(f);
  EXPECT_EQ(LoadPng((dir / "junk.png").string(), back), 0);
  EXPECT_EQ(back.pixels, s.pixels);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gfx
