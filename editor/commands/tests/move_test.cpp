// Moving, copying, snapping, turning and mirroring.
#include "editor/commands/edit_common.h"
#include "editor/commands/move_commands.h"
#include "editor/commands/tests/edit_fixture.h"
#include "editor/db/orientation.h"
#include "editor/ui/draw/engine.h"

namespace edtest {
namespace {

using namespace edcmd;

class MoveTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"TOP", 1, {{1, 0, 0, 1000, 1000}}, {}}}, "TOP");
  }
};

TEST_F(MoveTest, MovingOneEdgeStretchesTheBoxAndPastTheOtherSwapsThem) {
  S().SetBox(1 | db::kEdgeRight, 0, 1);
  EXPECT_EQ(Run("Mov,0,0,100,0"), 1);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 1100, 1000}));
  EXPECT_EQ(Run("Mov -1500 0"), 1);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-400, 0, 0, 1000}));
  EXPECT_EQ(Box(1).flags & db::kEdgesAll, db::kEdgeLeft);
  // The undo backup holds the cell as it was before the last move.
  auto backup = std::make_unique<db::Database>();
  ASSERT_EQ(db::LoadObjectsByName(*backup, "MAINBKUP"), 0);
  EXPECT_EQ(Corners(backup->store.GetBoxRecord(1)), (std::vector<std::int32_t>{0, 0, 1100, 1000}));
}

TEST_F(MoveTest, CopiesTakeTheSelectedVerticesOrWithCtrlTheWholePath) {
  const int p = AddPath(2, 10, {{0, 0}, {100, 0}, {200, 0}, {300, 0}, {400, 0}}, {1, 3});
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  EXPECT_EQ(Run("Cpy 10 20"), 1);
  ASSERT_EQ(S().pathCount, 2);
  EXPECT_EQ(PathPoints(2), (Points{{110, 20}, {310, 20}}));
  EXPECT_EQ(SelectedPositions(2), (std::vector<int>{0, 1}));
  EXPECT_TRUE(SelectedPositions(p).empty());
  ASSERT_EQ(S().boxCount, 2);
  EXPECT_EQ(Corners(Box(2)), (std::vector<std::int32_t>{10, 20, 1010, 1020}));
  EXPECT_EQ(Box(2).flags & db::kEdgesAll, db::kEdgesAll);
  EXPECT_EQ(Box(1).flags & db::kEdgesAll, 0);
  ExpectSelectionConsistent();

  S().SetVertex(S().GetVertex(0, 1) | db::kVertexSelectedBit, 0, 1);
  S().SetPath(S().GetPath(0, p) | db::kPathSelectedBit, 0, p);
  HoldCtrl(true);
  Run("Cpy 0 0 0 -50");
  HoldCtrl(false);
  ASSERT_EQ(S().pathCount, 4);
  EXPECT_EQ(PathPoints(3), (Points{{0, -50}, {100, -50}, {200, -50}, {300, -50}, {400, -50}}));
  EXPECT_EQ(SelectedPositions(3), (std::vector<int>{0}));
  ExpectSelectionConsistent();
}

// Whatever the typed offset or step, no coordinate leaves +-8388608: it is held at the limit and the
// command's end says so once; a typed text that is no number moves nothing.
TEST_F(MoveTest, CoordinatesBeyondTheRangeAreHeldAtTheLimitWithAMessage) {
  E().db.settings.scale = 1;
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  EXPECT_EQ(Run("Mov nan 0x10"), 1);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 1000, 1000}));
  EXPECT_EQ(ClampedCoordinates(), 0);
  EXPECT_EQ(Run("Mov 8388000 -1e400", "box ok\n"), 1);
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{8388000, -8388608, 8388608, -8387608}));
  EXPECT_TRUE(Logged(std::string("box \"\" \"") + kClampedText + "\""));
  EXPECT_EQ(ClampedCoordinates(), 0);
  // A snap step beyond the range is the range: the selection stays on it.
  S().PutBoxRecord(1, {1 | db::kEdgesAll, -5000000, 100, 5000000, 200});
  Begin(kSnap, "answer SNAP set 164 \"1e400\" press ok\n");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-8388608, 0, 8388608, 0}));
  Begin(kSnap, "answer SNAP set 164 \"nan\" press ok\n");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{-8388608, 0, 8388608, 0}));
}

TEST_F(MoveTest, SnapRoundsHalvesAwayFromZero) {
  const int p = AddPath(2, 10, {{149, 150}, {-150, -149}}, {0, 1});
  S().SetBox(1 | db::kEdgeLeft | db::kEdgeTop, 0, 1);
  S().PutBoxRecord(1, {1 | db::kEdgeLeft | db::kEdgeTop, 49, 51, 1051, 1049});
  Begin(kSnap, "answer SNAP set 164 \"100\" press ok\n");
  EXPECT_EQ(PathPoints(p), (Points{{100, 200}, {-200, -100}}));
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 51, 1051, 1000}));
  EXPECT_EQ(SnapToStep(7, 0), 7);
}

TEST_F(MoveTest, QuarterTurnsMoveEverythingAndOtherAnglesOnlyPaths) {
  struct Case {
    const char* angle;
    std::vector<std::int32_t> box;
    Points path;
  } cases[] = {
      {"450", {-1000, 0, 0, 1000}, {{0, 0}, {0, 100}}},
      {"-90", {0, -1000, 1000, 0}, {{0, 0}, {0, -100}}},
      {"45", {0, 0, 1000, 1000}, {{0, 0}, {71, 71}}},
      {"90.5", {-1000, 0, 0, 1000}, {{0, 0}, {-1, 100}}},
      {"0", {0, 0, 1000, 1000}, {{0, 0}, {100, 0}}},
      {"4000", {0, 0, 1000, 1000}, {{0, 0}, {100, 0}}},
  };
  for (const Case& c : cases) {
    S().PutBoxRecord(1, {1 | db::kEdgesAll, 0, 0, 1000, 1000});
    S().pathCount = S().vertexCount = 0;
    AddPath(2, 10, {{0, 0}, {100, 0}}, {0});
    Run("Rot 0 0", std::string("answer ROT set 157 \"") + c.angle + "\" press ok\n");
    EXPECT_EQ(Corners(Box(1)), c.box) << c.angle;
    EXPECT_EQ(PathPoints(1), c.path) << c.angle;
  }
  // Cancel waits for another centre.
  Run("Rot 0 0", "answer ROT press cancel\n");
  EXPECT_EQ(E().proto.now.current, kRot);
  EXPECT_EQ(E().proto.now.pointState, 1);
}

TEST_F(MoveTest, AQuarterTurnFarFromTheCentreLeavesPathsOnTheBoxes) {
  S().PutBoxRecord(1, {1 | db::kEdgesAll, 8000000, 0, 8000010, 10});
  AddPath(2, 0, {{8000000, 0}, {8000010, 10}}, {0, 1});
  Run("Rot -8000000 0", "answer ROT set 157 \"90\" press ok\n");
  const db::BoxRecord b = Box(1);
  EXPECT_EQ(PathPoints(1), (Points{{b.right, b.bottom}, {b.left, b.top}}));
}

TEST_F(MoveTest, MirrorsAboutTheLongerSideOfTheTwoPoints) {
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  const int text = AddPath(2 | db::kTextBit | (1 << db::kOrientationShift), 45, {{100, 200}, {0x41000000, 0}}, {0});
  S().SetVertex(S().GetVertex(0, 2) | db::kCharVertexBit, 0, 2);
  Run("Flp 0 500 10 500");  // a horizontal line through y = 500
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 1000, 1000}));
  EXPECT_EQ(PathPoints(text), (Points{{100, 800}, {0x41000000, 0}}));
  EXPECT_EQ(db::OrientationOf(S().GetPath(0, text)), 7);
  Run("Flp 2000 0 2000 10");  // vertical through x = 2000
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{3000, 0, 4000, 1000}));
  EXPECT_EQ(PathPoints(text)[0], (std::pair<std::int32_t, std::int32_t>{3900, 800}));
}

TEST_F(MoveTest, WindowMovesTakeWhatLiesInTheWindowAndLeaveTheSelection) {
  const int p = AddPath(2, 10, {{100, 100}, {900, 100}});
  Run("Fit");
  // qMov: the right edge crosses the window; wMov would need both its ends inside.
  Run("wMov 800 -100 1100 500 0 0 50 0");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 1000, 1000}));
  EXPECT_EQ(PathPoints(p), (Points{{100, 100}, {950, 100}}));
  Run("qMov 800 -100 1100 500 0 0 50 0");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, 0, 1050, 1000}));
  EXPECT_EQ(PathPoints(p), (Points{{100, 100}, {1000, 100}}));
  Run("wMov -100 -100 2000 2000 0 0 0 -10");
  EXPECT_EQ(Corners(Box(1)), (std::vector<std::int32_t>{0, -10, 1050, 990}));
  EXPECT_EQ(Box(1).flags & db::kEdgesAll, 0);
  EXPECT_TRUE(SelectedPositions(p).empty());
}

// Instances of every orientation code through Rot and Flp: each lands where a turned (mirrored)
// drawing of it would, and keeps its orientation in step.
class OrientationTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    std::vector<db::CellRefRecord> refs;
    for (int c = 0; c < 8; ++c) refs.push_back({1 | (c << db::kOrientationShift), 1000 * c, 500});
    StartWith({{"A", 1, {{1, 0, 0, 300, 100}}, {}}, {"TOP", 2, {}, refs}}, "TOP");
    for (int n = 1; n <= 8; ++n) S().SetCellRef(0, S().GetCellRef(0, 0, n) | db::kRefSelectedBit, 0, n);
  }
  std::vector<std::int64_t> Outline(int n) {
    EXPECT_TRUE(draw::FillLevelRecord(E().draw, 0, n));
    const draw::LevelRecord& L = E().draw.levels[0];
    return {L.left, L.bottom, L.right, L.top};
  }
};

TEST_F(OrientationTest, EveryCodeTurnsAndMirrorsWithItsPlacedOutline) {
  std::vector<std::vector<std::int64_t>> before;
  for (int n = 1; n <= 8; ++n) before.push_back(Outline(n));
  Run("Rot 0 0", "answer ROT set 157 \"90\" press ok\n");
  for (int n = 1; n <= 8; ++n) {
    const auto& o = before[std::size_t(n - 1)];
    EXPECT_EQ(Outline(n), (std::vector<std::int64_t>{-o[3], o[0], -o[1], o[2]})) << "code " << n - 1;
    EXPECT_EQ(db::OrientationOf(S().GetCellRef(0, 0, n)), db::RotateOrientation(n - 1, 1));
  }
  before.clear();
  for (int n = 1; n <= 8; ++n) before.push_back(Outline(n));
  Run("Flp 0 100 10 100");  // y -> 200 - y
  for (int n = 1; n <= 8; ++n) {
    const auto& o = before[std::size_t(n - 1)];
    EXPECT_EQ(Outline(n), (std::vector<std::int64_t>{o[0], 200 - o[3], o[2], 200 - o[1]})) << n;
  }
  auto saved = Saved("TOP");
  for (int n = 1; n <= 8; ++n)
    EXPECT_EQ(db::OrientationOf(saved->store.GetCellRef(0, 0, n)), db::MirrorOrientation(db::RotateOrientation(n - 1, 1), false));
}

}  // namespace
}  // namespace edtest
