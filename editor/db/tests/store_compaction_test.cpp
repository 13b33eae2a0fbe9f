#include "editor/db/store_compaction.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Chain = std::vector<std::pair<int, int>>;

struct Store {
  std::unique_ptr<db::ObjectStore> s = std::make_unique<db::ObjectStore>();
  // A path of layer 1 whose vertices are appended in the order given.
  int Path(const Chain& points, std::int32_t vertexBits = 0) {
    const int p = ++s->pathCount;
    const int first = s->vertexCount + 1;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const int v = ++s->vertexCount;
      s->PutVertexRecord(v, {p | vertexBits, points[i].first, points[i].second,
                             i + 1 < points.size() ? v + 1 : 0});
    }
    s->PutPathRecord(p, {1, 10, points.empty() ? 0 : first});
    return p;
  }
  Chain Points(int p) {
    Chain c;
    for (int v : db::ChainOf(*s, p)) {
      EXPECT_EQ(s->GetVertex(0, v) & db::kVertexOwnerMask, p);
      c.push_back({s->GetVertex(1, v), s->GetVertex(2, v)});
    }
    return c;
  }
};

TEST(Compaction, UnlinkedVerticesAndShortPathsGoAndEveryLinkFollows) {
  Store t;
  const int a = t.Path({{0, 0}, {1, 1}, {2, 2}, {3, 3}});
  t.Path({{9, 9}});
  const int c = t.Path({{5, 5}, {6, 6}, {7, 7}}, db::kVertexSelectedBit);
  // Unlink the middle two of the first path, as deleting selected vertices does.
  t.s->SetVertex(4, 3, 1);
  db::CompactVertices(*t.s);
  ASSERT_EQ(t.s->pathCount, 2);
  ASSERT_EQ(t.s->vertexCount, 5);
  EXPECT_EQ(t.Points(a), (Chain{{0, 0}, {3, 3}}));
  EXPECT_EQ(t.Points(c - 1), (Chain{{5, 5}, {6, 6}, {7, 7}}));
  for (int v : db::ChainOf(*t.s, 2)) EXPECT_TRUE(t.s->GetVertex(0, v) & db::kVertexSelectedBit);
}

TEST(Compaction, MarkedRecordsLeaveInOneOrderedPass) {
  Store t;
  for (int b = 1; b <= 5; ++b) t.s->PutBoxRecord(b, {b, b, 0, b + 1, 1});
  t.s->boxCount = 5;
  std::vector<char> remove(6, 0);
  remove[1] = remove[3] = remove[4] = 1;
  EXPECT_EQ(db::RemoveMarkedBoxes(*t.s, remove), 3);
  ASSERT_EQ(t.s->boxCount, 2);
  EXPECT_EQ(t.s->GetBox(0, 1), 2);
  EXPECT_EQ(t.s->GetBox(0, 2), 5);
}

TEST(Compaction, AReversedChainRunsBackAndTwiceIsTheSame) {
  Store t;
  t.Path({{0, 0}});
  const int p = t.Path({{0, 0}, {1, 0}, {2, 0}});
  db::ReverseChain(*t.s, p);
  EXPECT_EQ(t.Points(p), (Chain{{2, 0}, {1, 0}, {0, 0}}));
  db::ReverseChain(*t.s, p);
  EXPECT_EQ(t.Points(p), (Chain{{0, 0}, {1, 0}, {2, 0}}));
  db::ReverseChain(*t.s, 1);
  EXPECT_EQ(t.Points(1), (Chain{{0, 0}}));
}

}  // namespace
