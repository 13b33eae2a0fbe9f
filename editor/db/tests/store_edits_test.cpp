#include "editor/db/store_edits.h"

#include <gtest/gtest.h>

#include <memory>

#include "editor/db/helpers.h"

namespace {

TEST(StoreEdits, AppendedRecordsLinkBehindTheOnesBefore) {
  auto s = std::make_unique<db::ObjectStore>();
  // Before: one path with two vertices. Appended, still with their file numbers (paths 1..3,
  // vertices 1..3): a path with a chain of two, one with none, and a text whose character vertex
  // keeps its bit.
  s->PutPathRecord(1, {1, 0, 1});
  s->PutVertexRecord(1, {1, 0, 0, 2});
  s->PutVertexRecord(2, {1, 9, 9, 0});
  s->PutPathRecord(2, {2, 5, 1});
  s->PutPathRecord(3, {2, 5, 0});
  s->PutPathRecord(4, {static_cast<std::int32_t>(0x80000002), 30, 3});
  s->PutVertexRecord(3, {1 | 0x10000000, 1, 1, 2});
  s->PutVertexRecord(4, {1, 2, 2, 0});
  s->PutVertexRecord(5, {static_cast<std::int32_t>(0x80000003), 0x41000000, 0, 0});
  s->pathCount = 4;
  s->vertexCount = 5;
  db::RenumberAppendedRecords(*s, 1, 2);
  EXPECT_EQ(s->GetPath(2, 1), 1);
  EXPECT_EQ(s->GetPath(2, 2), 3);
  EXPECT_EQ(s->GetPath(2, 3), 0);
  EXPECT_EQ(s->GetPath(2, 4), 5);
  EXPECT_EQ(s->GetVertex(0, 3), 2 | 0x10000000);
  EXPECT_EQ(s->GetVertex(3, 3), 4);
  EXPECT_EQ(s->GetVertex(3, 4), 0);
  EXPECT_EQ(s->GetVertex(0, 5), static_cast<std::int32_t>(0x80000004));
  EXPECT_EQ(s->GetVertex(0, 1), 1);
}

TEST(StoreEdits, RemovingAReferenceClosesTheGap) {
  auto s = std::make_unique<db::ObjectStore>();
  for (int r = 1; r <= 3; ++r) s->PutCellRefRecord(0, r, {r, 10 * r, 0});
  s->refCount[0] = 3;
  db::RemoveCellRef(*s, 2);
  db::RemoveCellRef(*s, 7);
  ASSERT_EQ(s->refCount[0], 2);
  EXPECT_EQ(s->GetCellRef(0, 0, 2), 3);
  EXPECT_EQ(s->GetCellRef(0, 1, 2), 30);
  db::MarkAppendedRefs(*s, 1);
  EXPECT_EQ(s->GetCellRef(0, 0, 1), 1);
  EXPECT_EQ(s->GetCellRef(0, 0, 2), 3 | 0x10000);
}

TEST(StoreEdits, TextSizesAreMultiplesOfFifteenWithinTheirRange) {
  const std::pair<double, int> sizes[] = {{0, 15},        {7, 15},        {22, 15},      {22.5, 30},
                                          {23, 30},       {-37.5, 45},    {-45, 45},     {61439, 61440},
                                          {100000, 61440}, {1e12, 61440}, {-1e300, 61440}};
  for (auto [size, rounded] : sizes) EXPECT_EQ(db::RoundTextSize(size), rounded) << size;
}

}  // namespace
