#include "editor/db/object_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/db/tests/fake_hooks.h"

namespace {

using db::ObjectStore;

struct StoreTest : ::testing::Test {
  std::unique_ptr<ObjectStore> store = std::make_unique<ObjectStore>();
  tell::Recorder talk;
  void SetUp() override { store->talk = &talk; }
  void TearDown() override { db::SetPageBudgetForTests(-1); }
};

TEST_F(StoreTest, RecordsMapToPagesAndSlotsAtTheTableEdges) {
  struct Case {
    const char* table;
    int record;
    int page;
  };
  // Last record of page 0, first of page 1, the last record of each table.
  for (Case c : {Case{"box", 409, 0}, {"box", 410, 1}, {"box", 256034, 625}, {"path", 682, 0},
                 {"path", 683, 1}, {"path", 256432, 375}, {"vertex", 512, 0},
                 {"vertex", 513, 1}, {"vertex", 512000, 999}}) {
    ObjectStore& s = *store;
    std::string t = c.table;
    int stored = t == "box" ? s.SetBox(77, 0, c.record)
                 : t == "path" ? s.SetPath(77, 0, c.record)
                               : s.SetVertex(77, 0, c.record);
    EXPECT_EQ(stored, 1) << t << c.record;
    bool has = t == "box" ? s.boxes.HasPage(c.page)
               : t == "path" ? s.paths.HasPage(c.page)
                             : s.vertices.HasPage(c.page);
    EXPECT_TRUE(has) << t << c.record;
    int pages = t == "box" ? s.boxes.AllocatedPages()
                : t == "path" ? s.paths.AllocatedPages()
                              : s.vertices.AllocatedPages();
    EXPECT_EQ(pages, 1) << "only the touched page exists " << t << c.record;
    s.FreeObjectPages();
  }
}

TEST_F(StoreTest, RecordsAndFieldsOutsideTheTableStoreNothing) {
  ObjectStore& s = *store;
  EXPECT_EQ(s.GetBox(0, 256035), 0);
  EXPECT_EQ(s.SetBox(5, 0, 256035), 0);
  EXPECT_EQ(s.SetBox(5, 0, 0), 0);
  EXPECT_EQ(s.SetBox(5, 0, -1), 0);
  EXPECT_EQ(s.SetVertex(5, 0, 512001), 0);
  EXPECT_EQ(s.SetCellRef(15, 5, 0, 1), 0);
  EXPECT_EQ(s.SetCellRef(-1, 5, 0, 1), 0);

  // A field out of range is success without a store, on both sides of the record.
  ASSERT_EQ(s.SetPath(11, 0, 1), 1);
  ASSERT_EQ(s.SetPath(12, 2, 1), 1);
  EXPECT_EQ(s.SetPath(99, 3, 1), 1);
  EXPECT_EQ(s.SetPath(99, -1, 1), 1);
  EXPECT_EQ(s.GetPath(3, 1), 0);
  EXPECT_EQ(s.GetPath(-1, 1), 0);
  EXPECT_EQ(s.GetPath(0, 1), 11);
  EXPECT_EQ(s.GetPath(2, 1), 12);
  EXPECT_EQ(s.GetPath(0, 2), 0) << "a new slot reads as zeros";

  EXPECT_EQ(s.EnsureBoxPage(626), 0);
  EXPECT_EQ(s.EnsureVertexPage(-1), 0);
  EXPECT_EQ(s.EnsureCellRefPage(0, 376), 0);
  EXPECT_EQ(s.EnsureCellRefPage(14, 375), 1);
}

TEST_F(StoreTest, WholeRecordsRoundTripThroughTheWordAccessors) {
  ObjectStore& s = *store;
  ASSERT_EQ(s.PutBoxRecord(256034, {3, -1, -2, 4, 5}), 1);
  EXPECT_EQ(s.GetBox(4, 256034), 5);
  ASSERT_EQ(s.PutVertexRecord(513, {7 | db::kCharVertexBit, 0x41424344, 0, 0}), 1);
  EXPECT_EQ(s.GetVertexRecord(513).x, 0x41424344);
  EXPECT_EQ(s.GetVertex(0, 513), 7 | db::kCharVertexBit);
  ASSERT_EQ(s.PutCellRefRecord(3, 2, {0x805, 10, 20}), 1);
  EXPECT_EQ(s.GetCellRef(3, 2, 2), 20);
  EXPECT_EQ(s.PutBoxRecord(0, {}), 0);
}

TEST_F(StoreTest, FreeingOneReferenceLevelKeepsTheOthers) {
  ObjectStore& s = *store;
  for (int level = 0; level < db::kRefLevels; ++level) s.SetCellRef(level, level + 1, 0, 700);
  s.refCount[3] = 700;
  s.FreeCellRefSlot(3);
  EXPECT_EQ(s.refs[3].AllocatedPages(), 0);
  EXPECT_EQ(s.refCount[3], 700) << "freeing leaves the counts to the callers";
  for (int level = 0; level < db::kRefLevels; ++level) {
    if (level == 3) continue;
    EXPECT_EQ(s.GetCellRef(level, 0, 700), level + 1) << level;
  }
  s.SetBox(1, 0, 1);
  s.FreeObjectStore();
  EXPECT_EQ(s.boxes.AllocatedPages(), 0);
  for (int level = 0; level < db::kRefLevels; ++level) EXPECT_EQ(s.refs[level].AllocatedPages(), 0);
}

TEST_F(StoreTest, LimitChecksRefuseAtExactlyTheirCounts) {
  struct Case {
    int ObjectStore::*count;
    int (ObjectStore::*check)();
    int limit;
    const char* text;
  };
  const Case cases[] = {
      {&ObjectStore::boxCount, &ObjectStore::CheckBoxLimit, 256033, "Box Limit!"},
      {&ObjectStore::pathCount, &ObjectStore::CheckPathLimit, 256431, "Path Limit!"},
      {&ObjectStore::vertexCount, &ObjectStore::CheckVertexLimit, 511999, "Vertex Limit!"},
  };
  for (const Case& c : cases) {
    ObjectStore& s = *store;
    talk.events.clear();
    s.*c.count = c.limit - 1;
    EXPECT_EQ((s.*c.check)(), 0) << c.text;
    EXPECT_EQ(s.cannotAdd, 0);
    EXPECT_TRUE(talk.events.empty());
    s.*c.count = c.limit;
    EXPECT_EQ((s.*c.check)(), 1) << c.text;
    EXPECT_EQ(s.cannotAdd, 1);
    EXPECT_EQ(talk.events, std::vector<std::string>{std::string("box \"\" \"") + c.text + "\""});
    s.FreeObjectStore();
  }
  store->refCount[0] = 256430;
  EXPECT_EQ(store->CheckCellRefLimit(), 0);
  store->refCount[0] = 256431;
  EXPECT_EQ(store->CheckCellRefLimit(), 1);
  EXPECT_EQ(talk.events.back(), "box \"\" \"Cell Limit!\"");
}

TEST_F(StoreTest, LimitCheckPreparesThePagesOfTheNextTwoRecords) {
  ObjectStore& s = *store;
  s.boxCount = 256032;
  ASSERT_EQ(s.CheckBoxLimit(), 0);
  EXPECT_TRUE(s.boxes.HasPage(625)) << "record 256034 exists afterwards";
  // Room counted but no memory: refused without a message.
  s.FreeObjectStore();
  s.pathCount = 10;
  db::SetPageBudgetForTests(0);
  talk.events.clear();
  EXPECT_EQ(s.CheckPathLimit(), 1);
  EXPECT_EQ(s.cannotAdd, 1);
  EXPECT_TRUE(talk.events.empty());
  EXPECT_EQ(s.SetPath(1, 0, 1), 0) << "a page that cannot be had stores nothing";
  EXPECT_EQ(s.GetPath(0, 1), 0);
}

TEST_F(StoreTest, AllocationBoxShowsTheFourLimits) {
  store->ShowObjectAllocation();
  ASSERT_EQ(talk.events.size(), 1u);
  EXPECT_EQ(talk.events[0],
            "box \"MERO\" \"Cell Object Allocation :\\n\\n256033 Boxes  256431 Paths  511999 Vtx  "
            "256431 Cells\"");
}

}  // namespace
