#include "editor/db/text_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kMax = std::numeric_limits<double>::max();

// Typed and stored reals: what atof gives in the "C" locale, but never a hex value, an infinity or NaN.
TEST(LeadingDouble, ReadsOnlyTheDecimalFormAndIsAlwaysFinite) {
  struct Case {
    const char* text;
    double value;
  } const cases[] = {
      {"12", 12},          {"-2.5", -2.5},      {"+7", 7},           {".5", 0.5},
      {"5.", 5},           {"  \t3.25", 3.25},  {"1e3", 1000},       {"1.5E-2", 0.015},
      {"-4e+1", -40},      {"2e", 2},           {"2e+", 2},          {"3.5.1", 3.5},
      {"12abc", 12},       {"7 8", 7},          {"1,5", 1},          {"0x10", 0},
      {"0X1p4", 0},        {"nan", 0},          {"-nan", 0},         {"NAN(1)", 0},
      {"inf", 0},          {"-Infinity", 0},    {"abc", 0},          {"", 0},
      {".", 0},            {"-", 0},            {"--1", 0},          {"+-1", 0},
      {"e5", 0},           {"1e400", kMax},     {"-1e400", -kMax},   {"1e99999999999", kMax},
      {"0.0001e309", 1e305}, {"1e-400", 0},     {"-1e-400", 0},      {"0e999", 0},
      {"00000000000000000000000000012", 12},
  };
  for (const Case& c : cases) {
    const double v = db::LeadingDouble(c.text);
    EXPECT_TRUE(std::isfinite(v)) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
  // A long run of digits beyond any double still clamps.
  EXPECT_EQ(db::LeadingDouble(std::string(400, '9')), kMax);
  EXPECT_EQ(db::LeadingDouble("0." + std::string(400, '0') + "1"), 0);
}

TEST(LeadingInt, ReadsAsAtoiWithSaturation) {
  struct Case {
    const char* text;
    int value;
  } const cases[] = {
      {"12", 12}, {" -7x", -7}, {"0x10", 0}, {"1e3", 1}, {"nan", 0}, {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1}, {"+5", 5}, {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(db::LeadingInt(c.text), c.value) << c.text;
}

}  // namespace
