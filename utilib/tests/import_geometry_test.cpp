#include "utilib/import_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

TEST(PolygonSplit, PiecesFitAndKeepTheArea) {
  auto area = [](const std::vector<utilib::TlcPoint>& p) {
    long long a = 0;
    for (std::size_t i = 0; i + 1 < p.size(); ++i)
      a += static_cast<long long>(p[i].x) * p[i + 1].y - static_cast<long long>(p[i + 1].x) * p[i].y;
    return std::llabs(a);
  };
  std::vector<utilib::TlcPoint> comb;
  for (int i = 0; i < 1000; ++i) {
    comb.push_back({i * 20, 0});
    comb.push_back({i * 20, 100 + i % 7});
    comb.push_back({i * 20 + 10, 100 + i % 7});
    comb.push_back({i * 20 + 10, 0});
  }
  comb.push_back({20000, 0});
  comb.push_back({20000, -50});
  comb.push_back({0, -50});
  comb.push_back({0, 0});
  std::vector<std::vector<utilib::TlcPoint>> pieces;
  ASSERT_TRUE(utilib::SplitPolygon(comb, 512, pieces));
  long long total = 0;
  for (const auto& p : pieces) {
    EXPECT_LE(p.size(), 512u);
    EXPECT_TRUE(p.front() == p.back());
    total += area(p);
  }
  EXPECT_EQ(total, area(comb));
}

TEST(LargestDivisor, IsTheGreatestCommonFeatureNotAboveTheLimit) {
  const std::int64_t cases[][3] = {{0, 1000, 1000}, {10, 1000, 10},    {2000, 1000, 1000},
                                   {3000, 1000, 1000}, {7001, 1000, 1}, {2 * 3 * 5 * 7 * 11, 100, 77},
                                   {4000, 10000, 4000}, {12, 0, 1}};
  for (const auto& c : cases) EXPECT_EQ(utilib::LargestDivisorNotAbove(c[0], c[1]), c[2]) << c[0];
}

}  // namespace
