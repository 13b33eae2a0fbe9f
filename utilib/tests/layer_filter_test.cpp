#include "utilib/layer_filter.h"

#include <gtest/gtest.h>

#include <vector>

namespace utilib {
namespace {

std::vector<int> Selected(const LayerFilter& f) {
  std::vector<int> out;
  for (int n = -2; n <= 66; ++n)
    if (f.IsLayerSelected(n)) out.push_back(n);
  return out;
}

std::vector<int> Range(int a, int b) {
  std::vector<int> out;
  for (int n = a; n <= b; ++n) out.push_back(n);
  return out;
}

TEST(LayerFilter, LayerLists) {
  struct Case {
    const char* setting;
    std::vector<int> layers;
  };
  const Case cases[] = {
      {"1-64", Range(1, 64)},
      {"-", Range(1, 64)},
      {"64-1", Range(1, 64)},
      {"", {}},
      {"1 3 5", {1, 3, 5}},
      {"  3   5 ", {3, 5}},
      {"10-", Range(10, 64)},
      {"-20", Range(1, 20)},
      {"20-10", Range(10, 20)},
      {"0", {}},
      {"0-3", Range(1, 3)},
      {"100", {}},
      {"65-70", {}},
      // Longer tokens are read whole, not from their first five characters.
      {"10-200", Range(10, 64)},
      {"001-64", Range(1, 64)},
      {"3 60-70", {3, 60, 61, 62, 63, 64}},
  };
  for (const Case& c : cases) {
    LayerFilter f;
    f.SelectLayer(7);  // cleared by the parse
    f.ParseLayerList(c.setting);
    EXPECT_EQ(Selected(f), c.layers) << '"' << c.setting << '"';
  }
}

TEST(LayerFilter, MaskBits) {
  LayerFilter f;
  f.ParseLayerList("33");
  EXPECT_EQ(f.low, 0u);
  EXPECT_EQ(f.high, 1u);
  f.ParseLayerList("1 32 64");
  EXPECT_EQ(f.low, 0x80000001u);
  EXPECT_EQ(f.high, 0x80000000u);
}

TEST(LayerFilter, ZeroBasedVariant) {
  LayerFilter f;
  f.zeroBased = true;
  f.ParseLayerList("-");
  EXPECT_EQ(Selected(f), Range(0, 63));
  f.ParseLayerList("32");
  EXPECT_EQ(f.low, 0u);
  EXPECT_EQ(f.high, 1u);
  f.ParseLayerList("0 -2 62-");
  EXPECT_EQ(Selected(f), (std::vector<int>{0, 1, 2, 62, 63}));
  f.ParseLayerList("64");
  EXPECT_EQ(Selected(f), std::vector<int>{});
}

TEST(LayerFilter, ClampsAndYesNo) {
  EXPECT_EQ(ClampLayerIndex(-5), 0);
  EXPECT_EQ(ClampLayerIndex(64), 63);
  EXPECT_EQ(ClampLayerIndex(17), 17);
  EXPECT_EQ(ClampLayerNumber(0), 1);
  EXPECT_EQ(ClampLayerNumber(65), 64);

  struct Case {
    const char* typed;
    int yes;
    const char* stored;
  };
  const Case cases[] = {{"yes", 1, "YES"}, {"Y", 1, "Y"}, {"true", 0, "N"}, {"", 0, "N"}, {" y", 0, "N"}};
  for (const Case& c : cases) {
    std::string slot = c.typed;
    EXPECT_EQ(IsSettingYes(slot), c.yes) << c.typed;
    EXPECT_EQ(slot, c.stored) << c.typed;
  }
}

}  // namespace
}  // namespace utilib
