// Deleting, path editing, settings that change the selection, and adding objects and texts.
#include "editor/commands/add_commands.h"
#include "editor/commands/info_commands.h"
#include "editor/commands/setting_commands.h"
#include "editor/commands/tests/edit_fixture.h"
#include "editor/ui/status_bar.h"

namespace edtest {
namespace {

using namespace edcmd;

class PathEditTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\n");
    StartWith({{"TOP", 1, {{1, 0, 0, 1000, 1000}}, {}}}, "TOP");
  }
  // A text of layer 3 at (x, y) through the Text command.
  void TypeText(std::int32_t x, std::int32_t y, const std::string& text) {
    Run("Text " + std::to_string(x) + " " + std::to_string(y),
        "answer TEXT set 117 \"" + text + "\" press ok\n");
  }
};

TEST_F(PathEditTest, DeletingVerticesLeavesTheRestOrNothing) {
  const int a = AddPath(2, 10, {{0, 0}, {100, 0}, {200, 0}, {300, 0}}, {1, 2});
  AddPath(2, 10, {{0, 500}, {100, 500}, {200, 500}, {300, 500}}, {0, 1, 2});
  S().SetBox(1 | db::kEdgeLeft, 0, 1);  // a box not wholly selected stays
  TypeText(500, 500, "GONE");
  S().SetPath(S().GetPath(0, 3) | db::kPathSelectedBit, 0, 3);
  Begin(kDel);
  EXPECT_EQ(S().boxCount, 1);
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_EQ(PathPoints(a), (Points{{0, 0}, {300, 0}}));
  EXPECT_EQ(S().vertexCount, 2);
  ExpectSelectionConsistent();
}

TEST_F(PathEditTest, JoinCutAndStepAlongPaths) {
  // The last vertices of A and B meet: A then B backwards, one vertex at the joint.
  const int a = AddPath(2, 10, {{0, 0}, {100, 0}}, {1});
  AddPath(2, 10, {{100, 200}, {100, 0}}, {1});
  Begin(kJoin);
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_EQ(PathPoints(a), (Points{{0, 0}, {100, 0}, {100, 200}}));
  ExpectSelectionConsistent();

  // Both ends of one open path close it; a closed one stays as it is.
  const auto selectEnds = [&] {
    const std::vector<int> chain = db::ChainOf(S(), a);
    for (int v : {chain.front(), chain.back()}) S().SetVertex(S().GetVertex(0, v) | db::kVertexSelectedBit, 0, v);
    S().SetPath(S().GetPath(0, a) | db::kPathSelectedBit, 0, a);
  };
  selectEnds();
  Begin(kJoin);
  EXPECT_EQ(PathPoints(a), (Points{{0, 0}, {100, 0}, {100, 200}, {0, 0}}));
  EXPECT_TRUE(SelectedPositions(a).empty());
  selectEnds();
  Begin(kJoin);
  EXPECT_EQ(PathPoints(a).size(), 4u);

  // Cut at the second of three vertices: two paths sharing the cut position.
  S().pathCount = S().vertexCount = 0;
  const int c = AddPath(2, 10, {{0, 0}, {50, 50}, {100, 0}}, {1});
  Begin(kCut);
  ASSERT_EQ(S().pathCount, 2);
  EXPECT_EQ(PathPoints(c), (Points{{0, 0}, {50, 50}}));
  EXPECT_EQ(PathPoints(2), (Points{{50, 50}, {100, 0}}));
  ExpectSelectionConsistent();

  // vStp walks the one selected vertex along; with Ctrl back, but never past an end.
  S().pathCount = S().vertexCount = 0;
  const int v = AddPath(2, 10, {{0, 0}, {10, 0}, {20, 0}}, {0});
  HoldCtrl(true);
  Begin(kVStp);
  HoldCtrl(false);
  EXPECT_EQ(SelectedPositions(v), (std::vector<int>{0}));
  Begin(kVStp);
  Begin(kVStp);
  Begin(kVStp);
  EXPECT_EQ(SelectedPositions(v), (std::vector<int>{2}));
  Begin(kPRev);
  EXPECT_EQ(PathPoints(v), (Points{{20, 0}, {10, 0}, {0, 0}}));
  EXPECT_EQ(SelectedPositions(v), (std::vector<int>{0}));
}

TEST_F(PathEditTest, WidthChangesKeepTheOuterTipsOfTheEnds) {
  struct Case {
    std::int32_t width;
    const char* typed;
    std::int32_t after;
    Points ends;
  } cases[] = {
      {-40, "*", 40, {{-20, 0}, {120, 0}}},
      {40, "*", 40, {{0, 0}, {100, 0}}},
      {0, "*", 0, {{0, 0}, {100, 0}}},
      {40, "-*", -40, {{20, 0}, {80, 0}}},
      {-10, "30", 30, {{-5, 0}, {105, 0}}},
  };
  for (const Case& c : cases) {
    S().pathCount = S().vertexCount = 0;
    const int p = AddPath(2, c.width, {{0, 0}, {100, 0}}, {0});
    Begin(kCWth, std::string("answer WSIZE set 1027 \"") + c.typed + "\" press ok\n");
    EXPECT_EQ(S().GetPath(1, p), c.after) << c.typed << " on " << c.width;
    EXPECT_EQ(PathPoints(p), c.ends) << c.typed << " on " << c.width;
  }
  // A width outside 2..65536 is asked again; a cancelled second question takes it as it is.
  Begin(kWdth, "answer WSIZE set 1027 \"1\" press ok\nanswer WSIZE set 1027 \"7\" press ok\n");
  EXPECT_EQ(E().db.settings.pathWidth, 7);
  Begin(kWdth, "answer WSIZE set 1027 \"100000\" press ok\nanswer WSIZE press cancel\n");
  EXPECT_EQ(E().db.settings.pathWidth, 100000);
  Begin(kTSiz, "answer WSIZE set 1027 \"23\" press ok\n");
  EXPECT_EQ(E().db.settings.textSize, 30);
}

TEST_F(PathEditTest, LayerChangesTakeWholeBoxesAndSelectedPaths) {
  const int p = AddPath(2, 10, {{0, 0}, {100, 0}}, {1});
  S().SetBox(1 | db::kEdgeLeft | db::kEdgeRight | db::kEdgeTop, 0, 1);
  Begin(kCLyr, "answer LYRTABLE set 1344 \"9\" press ok\n");
  EXPECT_EQ(db::LayerOf(S().GetBox(0, 1)), 1);
  EXPECT_EQ(db::LayerOf(S().GetPath(0, p)), 9);
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  Begin(kCLyr, "answer LYRTABLE press ok\n");
  EXPECT_EQ(db::LayerOf(S().GetBox(0, 1)), 9);
}

TEST_F(PathEditTest, AddMakesNormalisedBoxesPathsAndVerticesUpToTheLimit) {
  Run("Add 500 400 100 200");
  ASSERT_EQ(S().boxCount, 2);
  EXPECT_EQ(Corners(Box(2)), (std::vector<std::int32_t>{100, 200, 500, 400}));
  EXPECT_EQ(Box(2).flags & db::kEdgesAll, 0);

  E().db.settings.addKind = "P";
  E().db.settings.pathWidth = 20;
  Begin(kDraw);
  Run("Add 0 0");
  Run("Add 10 0");
  Run("Add 20 0");
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_EQ(PathPoints(1), (Points{{0, 0}, {10, 0}, {20, 0}}));
  EXPECT_EQ(SelectedPositions(1), (std::vector<int>{2}));
  EXPECT_EQ(S().GetPath(1, 1), 20);
  ExpectSelectionConsistent();
  // A vertex added after a middle one goes between it and its successor.
  for (int v : db::ChainOf(S(), 1)) S().SetVertex(S().GetVertex(0, v) & ~db::kVertexSelectedBit, 0, v);
  S().SetVertex(S().GetVertex(0, 1) | db::kVertexSelectedBit, 0, 1);
  Run("Add 5 5");
  EXPECT_EQ(PathPoints(1), (Points{{0, 0}, {5, 5}, {10, 0}, {20, 0}}));

  // 512 vertices is a full path.
  while (PathPoints(1).size() < std::size_t(kPathVertexLimit)) {
    const int last = db::ChainOf(S(), 1).back();
    ASSERT_TRUE(InsertVertexAfter(E(), last, 0, 0, 0));
  }
  for (int v : db::ChainOf(S(), 1)) S().SetVertex(S().GetVertex(0, v) & ~db::kVertexSelectedBit, 0, v);
  S().SetVertex(S().GetVertex(0, db::ChainOf(S(), 1).back()) | db::kVertexSelectedBit, 0, db::ChainOf(S(), 1).back());
  Run("Add 1 1", "box ok\n");
  EXPECT_TRUE(Logged("box \"\" \"Single Path Vertex Limit\""));
  EXPECT_EQ(PathPoints(1).size(), std::size_t(kPathVertexLimit));
}

TEST_F(PathEditTest, BoxLimitHoldsAtExactlyItsCount) {
  E().db.settings.addKind = "B";
  Begin(kDraw);
  S().boxCount = db::kBoxLimit - 1;
  Run("Add 0 0 10 10");
  EXPECT_EQ(S().boxCount, db::kBoxLimit);
  Run("Add 0 0 10 10", "box ok\n");
  EXPECT_EQ(S().boxCount, db::kBoxLimit);
  EXPECT_TRUE(Logged("box \"\" \"Box Limit!\""));
}

TEST_F(PathEditTest, TextsPackEightCharactersAVertexAndAreTakenOverInPlace) {
  E().db.settings.textLayer = 3;
  E().db.settings.textSize = 45;
  TypeText(100, 100, "ABCDEFGHI");
  ASSERT_EQ(S().pathCount, 1);
  const std::vector<int> chain = db::ChainOf(S(), 1);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(S().GetVertex(1, chain[1]), 0x41424344);
  EXPECT_EQ(S().GetVertex(2, chain[1]), 0x45464748);
  EXPECT_EQ(S().GetVertex(1, chain[2]), 0x49000000);
  EXPECT_EQ(S().GetVertex(2, chain[2]), 0);
  EXPECT_EQ(S().GetPath(0, 1), 3 | db::kTextBit);
  EXPECT_EQ(S().GetPath(1, 1), 45);

  // Another size now, but the text taken over keeps its own; Cancel keeps the old text.
  E().db.settings.textSize = 90;
  Run("Text 100 100", "answer TEXT press cancel\n");
  EXPECT_EQ(UnpackText(S(), 1), "ABCDEFGHI");
  TypeText(100, 100, "XY");
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_EQ(UnpackText(S(), 1), "XY");
  EXPECT_EQ(S().GetPath(1, 1), 45);
  EXPECT_EQ(S().vertexCount, 2);
  // An empty text takes the old one away.
  TypeText(100, 100, "");
  EXPECT_EQ(S().pathCount, 0);
  EXPECT_EQ(S().vertexCount, 0);
}

TEST_F(PathEditTest, InfoAndShowDescribeTheFirstSelectedObject) {
  S().SetBox(1 | db::kEdgeTop, 0, 1);
  TypeText(100, 100, "ABCDEFGHIJ");
  S().SetPath(S().GetPath(0, 1) | db::kPathSelectedBit, 0, 1);
  Begin(kGet);  // the command Info returns to leaves the information field alone
  Begin(kInfo);
  EXPECT_EQ(Field(edui::kFieldInfo), " Box #1  Layr=1");
  const std::vector<std::string> box = ObjectListing(E());
  EXPECT_EQ(box, (std::vector<std::string>{" Box #1  Layr=1", "  Left=0         ", "  Bottom=0         ",
                                           "  Right=1000      ", "* Top=1000      "}));
  S().SetBox(1, 0, 1);
  const std::vector<std::string> text = ObjectListing(E());
  ASSERT_EQ(text.size(), 4u);
  EXPECT_EQ(text[0], " Path/Text #1  Layr=1  Wdth/Size=15");
  EXPECT_EQ(text[1], "  1     X=100      Y=100     ");
  EXPECT_EQ(text[2], "    2  ABCDEFGH");
  EXPECT_EQ(text[3], "    3  IJ");
}

}  // namespace
}  // namespace edtest
