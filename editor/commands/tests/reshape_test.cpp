// Sort and uDup, OvSz and ReSz, Orig and Arc.
#include "editor/commands/origin_arc_commands.h"
#include "editor/commands/size_commands.h"
#include "editor/commands/sort_commands.h"
#include "editor/commands/tests/edit_fixture.h"

#include <set>

namespace edtest {
namespace {

using namespace edcmd;

class ReshapeTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"TOP", 1, {{1, 0, 0, 1000, 1000}}, {}}}, "TOP", 1000);
  }
};

TEST(SortFolding, CoordinatesBeyondTheRangeWrapBack) {
  EXPECT_EQ(FoldCoordinate(8388608 + 92), -8388608 + 92);
  EXPECT_EQ(FoldCoordinate(-8388608 - 92), 8388608 - 92);
  EXPECT_EQ(FoldCoordinate(8388608), 8388608);
  EXPECT_EQ(FoldCoordinate(2147483647), FoldCoordinate(std::int32_t(2147483647LL - 16777216LL * 128)));
  EXPECT_EQ(FoldCoordinate(-2147483647 - 1), 0);
}

TEST_F(ReshapeTest, UDupDropsDegeneratesAndEarlierDuplicatesWhateverTheirMarks) {
  AddBox(1, 5, 0, 5, 100);                      // flat
  AddBox(2, 0, 0, 10, 10);                      // between the twins
  S().SetBox(1 | db::kOffWindowBit, 0, 1);      // the drawing's mark is no difference
  AddPath(2, 10, {{0, 0}, {0, 0}, {10, 0}});
  AddPath(2, 10, {{5, 5}, {5, 5}});
  AddPath(2, 12, {{0, 0}, {10, 0}});            // differs from the first in width only
  AddBox(1, 0, 0, 1000, 1000);                  // the later twin of the first box stays
  Begin(kUDup);
  ASSERT_EQ(S().boxCount, 2);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 10, 10}));
  EXPECT_EQ(Corners(Box(2)), (std::vector<std::int32_t>{0, 0, 1000, 1000}));
  ASSERT_EQ(S().pathCount, 2);
  EXPECT_EQ(PathPoints(1), (Points{{0, 0}, {10, 0}}));
  EXPECT_EQ(S().GetPath(1, 2), 12);
  ExpectSelectionConsistent();
}

TEST_F(ReshapeTest, SortFoldsNormalisesAndOrdersBinsUntilEsc) {
  S().PutBoxRecord(1, {1, 8388608 + 92, 0, 8388608 - 8, 10});  // one edge beyond the range
  AddBox(1, 900, 900, 1000, 1000);
  AddBox(1, 0, 0, 10, 10);
  HoldEsc(true);
  Begin(kSort);
  HoldEsc(false);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-8388608 + 92, 0, 8388608 - 8, 10}));
  EXPECT_EQ(Corners(Box(3)), (std::vector<std::int32_t>{0, 0, 10, 10}));  // no bin was gathered
  Begin(kSort);
  // The bottom-left bin first: the boxes whose corner lies there come to the front in order.
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-8388608 + 92, 0, 8388608 - 8, 10}));
  EXPECT_EQ(Corners(Box(2)), (std::vector<std::int32_t>{0, 0, 10, 10}));
  EXPECT_EQ(Corners(Box(3)), (std::vector<std::int32_t>{900, 900, 1000, 1000}));
}

class SortInstanceTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"A", 1, {{1, 0, 0, 10, 10}}, {}},
               {"BB", 1, {{1, 0, 0, 10, 10}}, {}},
               {"TOP", 2, {}, {{2, 0, 0}, {1, 100, 0}, {2, 200, 0}, {1, 300, 0}, {2, 400, 0}}}},
              "TOP");
  }
};

TEST_F(SortInstanceTest, InstancesComeInTheOrderOfTheirCells) {
  Begin(kSort);
  ASSERT_EQ(S().refCount[0], 5);
  std::vector<int> cells;
  std::multiset<std::int32_t> xs;
  for (int n = 1; n <= 5; ++n) {
    cells.push_back(db::RefRowOf(S().GetCellRef(0, 0, n)));
    xs.insert(S().GetCellRef(0, 1, n));
  }
  EXPECT_EQ(cells, (std::vector<int>{1, 1, 2, 2, 2}));
  EXPECT_EQ(xs, (std::multiset<std::int32_t>{0, 100, 200, 300, 400}));
  // Instances of a cell of the edited cell's own rank go with uDup.
  S().SetCellRef(0, 3, 0, 5);
  E().db.index.rows[3].flags = 2;
  Begin(kUDup);
  EXPECT_EQ(S().refCount[0], 4);
}

TEST_F(ReshapeTest, OversizeMovesSelectedEdgesAndKeepsWidePathsWide) {
  struct Case {
    std::int32_t edges;
    const char* amount;
    std::vector<std::int32_t> box;
  } boxes[] = {
      {db::kEdgesAll, "1", {-1000, -1000, 11000, 11000}},
      {db::kEdgeRight, "1", {0, 0, 11000, 10000}},
      {db::kEdgesAll, "-6", {5000, 5000, 5000, 5000}},  // shrunk past itself: it collapses
      {db::kEdgeRight, "-20", {0, 0, 0, 10000}},
  };
  for (const Case& c : boxes) {
    S().PutBoxRecord(1, {1 | c.edges, 0, 0, 10000, 10000});
    Begin(kOvSz, std::string("answer OVSZ set 159 \"") + c.amount + "\" press ok\n");
    EXPECT_EQ(Corners(Box(1)), c.box) << c.amount;
  }
  S().SetBox(1, 0, 1);
  const int ext = AddPath(2, -2000, {{0, 0}, {100, 0}}, {0});
  const int flush = AddPath(2, 4000, {{0, 0}, {100, 0}}, {0});
  Begin(kOvSz, "answer OVSZ set 159 \"-1\" press ok\n");
  EXPECT_EQ(S().GetPath(1, ext), -2);
  EXPECT_EQ(S().GetPath(1, flush), 2000);
  EXPECT_EQ(E().db.settings.oversize, -1);
}

TEST(Oversize, ClosedPolygonsMoveAlongTheirBisectorsOthersStay) {
  Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  ASSERT_TRUE(OversizePolygon(square, 1));
  EXPECT_EQ(square, (Points{{-1, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}}));
  Points clockwise{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
  ASSERT_TRUE(OversizePolygon(clockwise, 1));
  EXPECT_EQ(clockwise, (Points{{-1, -1}, {-1, 11}, {11, 11}, {11, -1}, {-1, -1}}));
  // A repeated vertex has no direction: it moves with its twin.
  Points repeated{{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  ASSERT_TRUE(OversizePolygon(repeated, 1));
  EXPECT_EQ(repeated, (Points{{-1, -1}, {11, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}}));
  Points open{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_FALSE(OversizePolygon(open, 1));
  Points eight{{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}};
  EXPECT_FALSE(OversizePolygon(eight, 1));
}

TEST_F(ReshapeTest, ResizeScalesAboutEachObjectsOwnCentreWithinItsLimits) {
  struct Case {
    const char* factor;
    std::vector<std::int32_t> box;
  } cases[] = {{"0", {4950, 4950, 5050, 5050}}, {"250", {-495000, -495000, 505000, 505000}}, {"-2", {-5000, -5000, 15000, 15000}}};
  for (const Case& c : cases) {
    S().PutBoxRecord(1, {1 | db::kEdgesAll, 0, 0, 10000, 10000});
    Begin(kReSz, std::string("answer RESZ set 158 \"") + c.factor + "\" press ok\n");
    EXPECT_EQ(Corners(Box(1)), c.box) << c.factor;
  }
  S().SetBox(1, 0, 1);
  // Near the edge of the range the centre still comes out right.
  const int p = AddPath(2, 10, {{8388000, 8388000}, {8388600, 8388000}, {8388600, 8388600}}, {0});
  Begin(kReSz, "answer RESZ set 158 \"1\" press ok\n");
  EXPECT_EQ(PathPoints(p), (Points{{8388000, 8388000}, {8388600, 8388000}, {8388600, 8388600}}));
}

TEST_F(ReshapeTest, OriginShiftsEverythingTheOtherWay) {
  const int p = AddPath(2, 10, {{100, 100}, {200, 100}});
  E().db.settings.scale = 1;
  Run("Orig 100 50");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-100, -50, 900, 950}));
  EXPECT_EQ(PathPoints(p), (Points{{0, 50}, {100, 50}}));
}

TEST(ArcPointsOf, DirectionsSpiralsAndFullTurns) {
  EXPECT_EQ(ArcPoints(10, 0, 0, 0, 0, 10, 4, false), (Points{{9, 4}, {7, 7}, {4, 9}}));
  const Points cw = ArcPoints(10, 0, 0, 0, 0, 10, 4, true);  // the long way round: 270 degrees
  EXPECT_EQ(cw, (Points{{4, -9}, {-7, -7}, {-9, 4}}));
  const Points full = ArcPoints(10, 0, 0, 0, 20, 0, 4, false);
  EXPECT_EQ(full, (Points{{0, 13}, {-15, 0}, {0, -18}}));
  EXPECT_TRUE(ArcPoints(10, 0, 0, 0, 0, 10, 1, false).empty());
}

TEST_F(ReshapeTest, ArcExtendsThePathFromItsSelectedVertex) {
  E().db.settings.scale = 1;
  const int p = AddPath(2, 10, {{10, 0}, {50, 50}}, {0});
  Run("Arc 0 0 0 10", "answer ARC press 1333 set 1334 \"4\" press ok\n");
  EXPECT_EQ(PathPoints(p), (Points{{10, 0}, {9, 4}, {7, 7}, {4, 9}, {0, 10}, {50, 50}}));
  EXPECT_EQ(SelectedPositions(p), (std::vector<int>{4}));
  ExpectSelectionConsistent();
  // The direction button toggles; anything but "cw" or "ccw" stops the arc.
  EXPECT_EQ(E().db.settings.arcDirection, "ccw");
  Run("Arc 0 0 0 20", "answer ARC press 1333 press 1333 set 1334 \"1\" press ok\n");
  EXPECT_EQ(E().db.settings.arcDirection, "ccw");
  EXPECT_EQ(PathPoints(p).size(), 7u);
  // 1000 segments are 512, more than a path from this vertex may take.
  Run("Arc 0 0 5 5", "answer ARC set 1334 \"1000\" press ok\nbox ok\n");
  EXPECT_TRUE(Logged("box \"\" \"Single Path Vertex Limit\""));
  EXPECT_EQ(PathPoints(p).size(), 512u);
}

}  // namespace
}  // namespace edtest

