#include "editor/db/extent.h"

#include <gtest/gtest.h>

#include <memory>

#include "editor/db/orientation.h"

namespace {

constexpr std::int32_t kText = static_cast<std::int32_t>(0x80000000u);

struct ExtentTest : ::testing::Test {
  std::unique_ptr<db::Database> d = std::make_unique<db::Database>();
  db::ObjectStore& s() { return d->store; }
  db::Extent Compute() {
    db::ComputeCellExtent(*d);
    return d->extent;
  }
  void AddPath(std::int32_t flags, std::int32_t width, std::initializer_list<db::VertexRecord> vs) {
    const int path = ++s().pathCount;
    s().PutPathRecord(path, {flags, width, s().vertexCount + 1});
    int k = 0;
    for (db::VertexRecord v : vs) {
      ++k;
      const int n = ++s().vertexCount;
      v.flags |= path;
      v.next = k < static_cast<int>(vs.size()) ? n + 1 : 0;
      s().PutVertexRecord(n, v);
    }
  }
};

void ExpectExtent(const db::Extent& e, std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t) {
  EXPECT_EQ(e.left, l);
  EXPECT_EQ(e.bottom, b);
  EXPECT_EQ(e.right, r);
  EXPECT_EQ(e.top, t);
}

TEST(Orientation, EveryCodeTurnsAPointAsTheTableSays) {
  struct Case {
    int code, x, y;
  };
  for (Case c : {Case{0, 2, 3}, {1, -3, 2}, {2, -2, -3}, {3, 3, -2}, {4, 2, -3}, {5, 3, 2},
                 {6, -2, 3}, {7, -3, -2}}) {
    int x = 2, y = 3;
    db::OrientPoint(c.code, x, y);
    EXPECT_EQ(x, c.x) << c.code;
    EXPECT_EQ(y, c.y) << c.code;
  }
}

TEST_F(ExtentTest, EmptyCellCoversTheWholeRange) {
  ExpectExtent(Compute(), -8388608, -8388608, 8388608, 8388608);
}

TEST_F(ExtentTest, OneBoxAndItsFit) {
  s().boxCount = 1;
  s().PutBoxRecord(1, {1, 0, 0, 100, 50});
  ExpectExtent(Compute(), 0, 0, 100, 50);
  db::ViewFit fit = db::FitViewToExtent(d->extent, 0.5);
  EXPECT_DOUBLE_EQ(fit.centreX, 50);
  EXPECT_DOUBLE_EQ(fit.centreY, 25);
  EXPECT_DOUBLE_EQ(fit.width, 110);
  fit = db::FitViewToExtent(d->extent, 0.25);  // a flat window: the height decides
  EXPECT_DOUBLE_EQ(fit.width, 220);
}

TEST_F(ExtentTest, PathsGrowByHalfTheirWidthAndTextsByTheirCharacters) {
  AddPath(1, 10, {{0, 0, 0, 0}, {0, 100, 0, 0}});
  ExpectExtent(Compute(), -5, -5, 105, 5);

  s().pathCount = s().vertexCount = 0;
  AddPath(kText | 5, 30, {{0, 0, 0, 0}, {kText, 0x41424300, 0, 0}});
  ExpectExtent(Compute(), 0, 0, 74, 30);  // 3 x 30 x 0.81667 = 73.5003

  s().pathCount = s().vertexCount = 0;
  AddPath(kText | (1 << 11) | 5, 30, {{0, 100, 100, 0}, {kText, 0x41424300, 0, 0}});
  ExpectExtent(Compute(), 70, 100, 100, 174);  // a quarter turn about the reference point

  s().pathCount = 1;
  s().PutPathRecord(1, {0, 500, 1});  // a zero flag word grows nothing
  ExpectExtent(Compute(), -8388608, -8388608, 8388608, 8388608);
}

TEST_F(ExtentTest, PlacedCellsAddTheirTurnedOutlines) {
  d->index.count = 1;
  d->index.rows[1] = {"SUB", 1, 0, 0, 10, 20, 0, 0, 0, 0};
  s().refCount[0] = 1;
  s().PutCellRefRecord(0, 1, {1 | (1 << 11), 100, 100});
  ExpectExtent(Compute(), 80, 100, 100, 110);
  s().PutCellRefRecord(0, 1, {1 | (6 << 11), 0, 0});
  ExpectExtent(Compute(), -10, 0, 0, 20);
  s().PutCellRefRecord(0, 1, {5, 0, 0});  // a row the index does not have
  ExpectExtent(Compute(), -8388608, -8388608, 8388608, 8388608);
}

TEST_F(ExtentTest, DamagedChainsAndHugeNumbersDoNotHangOrOverflow) {
  AddPath(1, -2147483647 - 1, {{0, 2147483647, -2147483647 - 1, 0}, {0, 1, 1, 0}});
  s().PutVertexRecord(2, {1, 1, 1, 1});  // back to the first vertex
  db::Extent e = Compute();
  EXPECT_EQ(e.left, 1 - 1073741824);
  EXPECT_EQ(e.bottom, -2147483647 - 1) << "clamped, not wrapped";
  EXPECT_EQ(e.right, 2147483647);
}

}  // namespace
