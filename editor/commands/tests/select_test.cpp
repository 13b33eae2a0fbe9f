// Selecting and unselecting by window, and the instance pick loop.
#include "editor/commands/instance_commands.h"
#include "editor/commands/tests/edit_fixture.h"
#include "editor/ui/draw/layer_masks.h"

namespace edtest {
namespace {

using namespace edcmd;

class SelectTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"TOP", 1, {{1, 0, 0, 1000, 1000}}, {}}}, "TOP");
  }
};

TEST_F(SelectTest, WindowsTakeTheEdgesTheyCrossOrWholeBoxes) {
  struct Case {
    const char* line;
    std::int32_t before;
    std::int32_t after;
  } cases[] = {
      {"Get 600 200 1200 800", 0, db::kEdgeRight},
      {"fGet 600 200 1200 800", 0, db::kEdgesAll},
      {"Get 600 -100 1200 1100", 0, db::kEdgeRight | db::kEdgeTop | db::kEdgeBottom},
      {"Get 100 100 900 900", 0, 0},  // wholly inside: no edge in its ranges
      {"fGet 100 100 900 900", 0, 0},
      {"Get 1200 800 900 200", 0, db::kEdgeRight},  // corners in any order
      {"Put -100 200 200 800", db::kEdgesAll, db::kEdgeRight | db::kEdgeTop | db::kEdgeBottom},
      {"fPut -100 200 200 800", db::kEdgesAll, 0},
      {"Put 2000 2000 3000 3000", db::kEdgesAll, db::kEdgesAll},
  };
  for (const Case& c : cases) {
    S().SetBox(1 | c.before, 0, 1);
    EXPECT_EQ(Run(c.line), 1) << c.line;
    EXPECT_EQ(S().GetBox(0, 1) & db::kEdgesAll, c.after) << c.line;
  }
}

TEST_F(SelectTest, PathVerticesTextsAndTheEndVertexRules) {
  const int path = AddPath(2, 10, {{0, 2000}, {500, 2000}, {1000, 2000}, {1500, 2000}}, {1});
  const int text = AddPath(2 | db::kTextBit, 45, {{3000, 3000}, {0x41424344, 0}});
  S().SetVertex(S().GetVertex(0, S().GetPath(2, text) + 1) | db::kCharVertexBit, 0, S().GetPath(2, text) + 1);
  Run("Fit");  // what lay outside the last drawing cannot be picked

  Run("Get 900 1900 1600 2100");
  EXPECT_EQ(SelectedPositions(path), (std::vector<int>{1, 2, 3}));
  ExpectSelectionConsistent();
  // pEnd over the whole path keeps only its last vertex.
  Run("pEnd -100 1900 1600 2100");
  EXPECT_EQ(SelectedPositions(path), (std::vector<int>{3}));
  Run("pBeg -100 1900 1600 2100");
  EXPECT_EQ(SelectedPositions(path), (std::vector<int>{0}));
  // tGet takes texts by their reference point, never the box under the window.
  Run("tGet -100 -100 3100 3100");
  EXPECT_TRUE(S().GetPath(0, text) & db::kPathSelectedBit);
  EXPECT_EQ(S().GetBox(0, 1) & db::kEdgesAll, 0);
  EXPECT_EQ(SelectedPositions(text), (std::vector<int>{0}));
  ExpectSelectionConsistent();
  // fPut takes a whole path once one selected vertex is inside.
  Run("fPut -100 1900 100 2100");
  EXPECT_TRUE(SelectedPositions(path).empty());
  EXPECT_FALSE(S().GetPath(0, path) & db::kPathSelectedBit);
  ExpectSelectionConsistent();
}

TEST_F(SelectTest, LockedLayersAreNotPickedButAPutClearsThem) {
  UseLayerLists("1-64", "2-64");
  const int path = AddPath(1, 10, {{0, 0}, {100, 0}});
  Run("fGet -100 -100 1100 1100");
  EXPECT_EQ(S().GetBox(0, 1) & db::kEdgesAll, 0);
  EXPECT_TRUE(SelectedPositions(path).empty());
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  S().SetVertex(S().GetVertex(0, 1) | db::kVertexSelectedBit, 0, 1);
  S().SetPath(S().GetPath(0, path) | db::kPathSelectedBit, 0, path);
  Begin(kAPut);
  EXPECT_EQ(S().GetBox(0, 1) & db::kEdgesAll, 0);
  EXPECT_TRUE(SelectedPositions(path).empty());
  ExpectSelectionConsistent();
}

TEST_F(SelectTest, EscEndsAWindowCommandAndItStartsAgain) {
  Run("Get 600 -100");
  EXPECT_EQ(E().proto.now.pointState, 2);
  Key(27);
  Drain();
  EXPECT_EQ(E().proto.now.current, kGet);
  EXPECT_EQ(E().proto.now.pointState, 1);
  EXPECT_EQ(S().GetBox(0, 1) & db::kEdgesAll, 0);
}

// A cell of rank 2 placing cell A (a 100 x 100 box) three times.
class InstanceTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"A", 1, {{1, 0, 0, 100, 100}}, {}},
               {"BB", 1, {{1, 0, 0, 50, 50}}, {}},
               {"TOP", 2, {}, {{1, 0, 0}, {1, 1000, 0}, {1, 2000, 0}}}},
              "TOP");
  }
  std::int32_t Word(int n) { return S().GetCellRef(0, 0, n); }
  bool Selected(int n) { return Word(n) & db::kRefSelectedBit; }
};

TEST_F(InstanceTest, AWindowPicksWhatLiesWhollyInsideAndANameTakesEveryInstance) {
  Run("cGet -10 -10 1110 110");
  EXPECT_TRUE(Selected(1));
  EXPECT_TRUE(Selected(2));
  EXPECT_FALSE(Selected(3));
  Run("cPut -10 -10 50 110", "answer NOCELL press cancel\n");  // not wholly inside: the name is asked
  EXPECT_TRUE(Selected(1));
  Begin(kAPut);
  Run("cGet 5000 5000 6000 6000", "answer NOCELL set 1331 \"a\" press ok\n");
  EXPECT_TRUE(Selected(1) && Selected(2) && Selected(3));
  // A name that is no lower cell does nothing; the scratch row is never a cell.
  Begin(kAPut);
  Run("cGet 5000 5000 6000 6000", "answer NOCELL set 1331 \"TOP\" press ok\n");
  Run("cGet 5000 5000 6000 6000", "answer NOCELL set 1331 \"MAKETEMP\" press ok\n");
  EXPECT_FALSE(Selected(1) || Selected(2) || Selected(3));
}

TEST_F(InstanceTest, OutlinesComeAndGoAndADoubleClickPicksOnlyAnInstanceDrawnInFull) {
  Run("Outl -10 -10 2110 110");
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(Word(n) & db::kRefOutlineBit) << n;
  Run("Full -10 -10 1110 110");
  EXPECT_FALSE(Word(1) & db::kRefOutlineBit);
  EXPECT_TRUE(Word(3) & db::kRefOutlineBit);

  const auto doubleClick = [&](std::int32_t x, std::int32_t y, const std::string& answers = "") {
    Run("cGet " + std::to_string(x) + " " + std::to_string(y));
    if (!answers.empty()) Script(answers);
    Send(ui::msg::LButtonDblClk, 0, 0);
    if (!answers.empty()) EndScript();
    Drain();
  };
  doubleClick(50, 50);
  EXPECT_TRUE(Selected(1));
  doubleClick(2050, 50, "answer NOCELL press cancel\n");
  EXPECT_FALSE(Selected(3));
  HoldCtrl(true);
  doubleClick(2050, 50);
  HoldCtrl(false);
  EXPECT_TRUE(Selected(3));
}

TEST_F(InstanceTest, CCelTakesOnlyALowerCell) {
  S().SetCellRef(0, Word(2) | db::kRefSelectedBit | (3 << db::kOrientationShift), 0, 2);
  Begin(kCCel, "answer CCEL set 102 \"bb\" press ok\n");
  EXPECT_EQ(db::RefRowOf(Word(2)), 2);
  EXPECT_EQ(db::OrientationOf(Word(2)), 3);
  EXPECT_EQ(db::RefRowOf(Word(1)), 1);
  Begin(kCCel, "answer CCEL set 102 \"TOP\" press ok\nbox ok\n");
  EXPECT_TRUE(Logged("box \"\" \"Rank Error\""));
  EXPECT_EQ(db::RefRowOf(Word(2)), 2);
}

TEST(InstanceRankOne, PickingCommandsDoNothingInACellOfRankOne) {
  // Checked through the loop itself: no NOCELL question, nothing hit.
  edui::Editor ed;
  ed.db.current.rank = 1;
  ed.db.store.refCount[0] = 1;
  ed.db.store.PutCellRefRecord(0, 1, {1, 0, 0});
  edcmd::PickParams p;
  p.window = {-10, -10, 10, 10};
  EXPECT_EQ(edcmd::PickLoop(ed, p), 0);
  EXPECT_EQ(ed.db.store.GetCellRef(0, 0, 1), 1);
}

}  // namespace
}  // namespace edtest
