#include "convert/gds/real8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using Bytes = std::array<std::uint8_t, 8>;

Bytes Hex(const std::string& text) {
  Bytes b{};
  for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(std::stoul(text.substr(3 * i, 2), nullptr, 16));
  return b;
}

struct Real8Case {
  long double value;
  int correction;
  const char* bytes;
};

// Values written by the exporter: UNITS for 1000 units per um and per mil, MAG and ANGLE.
TEST(Real8, EncodesTable) {
  const Real8Case cases[] = {
      {1.0L, 0, "41 10 00 00 00 00 00 00"},
      {90.0L, 0, "42 5A 00 00 00 00 00 00"},
      {-90.0L, 0, "C2 5A 00 00 00 00 00 00"},
      {180.0L, 0, "42 B4 00 00 00 00 00 00"},
      {270.0L, 0, "43 10 E0 00 00 00 00 00"},
      {0.0L, 0, "00 00 00 00 00 00 00 00"},
      {0.0L, 5, "00 00 00 00 00 00 00 00"},
      {0.5L, 0, "40 80 00 00 00 00 00 00"},
      {1.0L / 16, 0, "40 10 00 00 00 00 00 00"},
      {1000.0L, 0, "43 3E 80 00 00 00 00 00"},
      {1.0L / 1000, 0, "3E 41 89 37 4B C6 A7 EF"},
      {1.0L / 1000 * 1e-6L, 0, "39 44 B8 2F A0 9B 5A 52"},
      {1.0L / 1000 * 2.54e-5L, 0, "3A 6D 17 98 68 90 38 FD"},
      {1.0L, 1, "41 10 00 00 00 00 00 01"},
      {1.0L / 1000, 1, "3E 41 89 37 4B C6 A7 F0"},
      {90.0L, -1, "42 59 FF FF FF FF FF FF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gds::EncodeReal8(c.value, c.correction), Hex(c.bytes))
        << static_cast<double>(c.value) << " correction " << c.correction;
  }
}

TEST(Real8, DecodesEveryBitWithItsOwnWeight) {
  EXPECT_EQ(gds::DecodeReal8(Hex("41 10 00 00 00 00 00 00").data()), 1.0);
  EXPECT_EQ(gds::DecodeReal8(Hex("42 5A 00 00 00 00 00 00").data()), 90.0);
  EXPECT_EQ(gds::DecodeReal8(Hex("C2 5A 00 00 00 00 00 00").data()), -90.0);
  EXPECT_EQ(gds::DecodeReal8(Hex("40 80 00 00 00 00 00 00").data()), 0.5);
  EXPECT_EQ(gds::DecodeReal8(Hex("00 00 00 00 00 00 00 00").data()), 0.0);
  // The last mantissa bit is 2^-56 of the fraction, the top one 2^-1.
  EXPECT_EQ(gds::DecodeReal8(Hex("41 00 00 00 00 00 00 01").data()), std::ldexp(1.0, -56 + 4));
  EXPECT_EQ(gds::DecodeReal8(Hex("40 00 00 00 00 01 00 00").data()), std::ldexp(1.0, -40));
  EXPECT_NEAR(gds::DecodeReal8(Hex("3E 41 89 37 4B C6 A7 EF").data()), 1e-3, 1e-18);
  EXPECT_NEAR(gds::DecodeReal8(Hex("39 44 B8 2F A0 9B 5A 52").data()), 1e-9, 1e-24);
}

TEST(Real8, ExponentIsHeldToSixteenToTheThirty) {
  EXPECT_EQ(gds::DecodeReal8(Hex("7F 10 00 00 00 00 00 00").data()), std::ldexp(1.0, 4 * 30 - 4));
  EXPECT_EQ(gds::DecodeReal8(Hex("01 10 00 00 00 00 00 00").data()), std::ldexp(1.0, -4 * 30 - 4));
}

TEST(Real8, RoundTripsValuesBothWays) {
  for (double v : {1e-9, 2.54e-8, 1e-3, 0.05, 0.1, 1.0, 2.5, 45.0, 90.0, 135.0, 359.9, 1000.0, 1e6,
                   -0.001, -12345.678}) {
    EXPECT_NEAR(gds::DecodeReal8(gds::EncodeReal8(v).data()), v, std::fabs(v) * 1e-15) << v;
  }
}

TEST(Real8, ValuesOutsideItsRangeNeverHangOrWrap) {
  EXPECT_EQ(gds::EncodeReal8(1e-200L), Hex("00 00 00 00 00 00 00 00"));
  EXPECT_EQ(gds::EncodeReal8(HUGE_VALL), Hex("00 00 00 00 00 00 00 00"));
  EXPECT_EQ(gds::EncodeReal8(NAN), Hex("00 00 00 00 00 00 00 00"));
  EXPECT_EQ(gds::EncodeReal8(1e200L)[0], 0x7F);
  EXPECT_EQ(gds::EncodeReal8(-1e200L)[0], 0xFF);
}

}  // namespace
