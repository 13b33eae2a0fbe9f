// Make, Smsh and Step; Res and Cap; the setting dialogs.
#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>

#include "editor/commands/tests/edit_fixture.h"
#include "editor/db/current_cell.h"
#include "editor/db/orientation.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/status_bar.h"

namespace edtest {
namespace {

using namespace edcmd;

// Every box and polygon of a store as points in the open cell, in no particular order.
using Shape = std::tuple<int, std::int32_t, std::vector<std::pair<std::int32_t, std::int32_t>>>;
std::multiset<Shape> Flat(db::ObjectStore& s) {
  std::multiset<Shape> out;
  for (int n = 1; n <= s.boxCount; ++n) {
    const db::BoxRecord b = s.GetBoxRecord(n);
    out.insert({db::LayerOf(b.flags), 0, {{b.left, b.bottom}, {b.right, b.bottom}, {b.right, b.top}, {b.left, b.top}, {b.left, b.bottom}}});
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    std::vector<std::pair<std::int32_t, std::int32_t>> pts;
    for (int v : db::ChainOf(s, p)) pts.push_back({s.GetVertex(1, v), s.GetVertex(2, v)});
    out.insert({db::LayerOf(s.GetPath(0, p)), s.GetPath(1, p), pts});
  }
  return out;
}

class CellTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\nRES=0.1 5 0.5 2\r\n");
  }
};

TEST_F(CellTest, SmashingPlacesTheContentsAsTheDrawingDoes) {
  // A holds a box and a path; TOP places it with every code.
  StartWith({{"A", 1, {{1, 0, 0, 300, 100}}, {}}, {"TOP", 2, {}, {}}}, "TOP");
  ASSERT_EQ(db::LoadCell(E().db, "A"), 1);
  AddPath(2, 20, {{0, 0}, {100, 50}, {200, 0}});
  ASSERT_EQ(db::SaveOpenCell(E().db, db::kSaveCellFiles), 1);
  ASSERT_EQ(db::LoadCell(E().db, "TOP"), 1);
  for (int c = 0; c < 8; ++c) S().PutCellRefRecord(0, c + 1, {1 | (c << db::kOrientationShift) | db::kRefSelectedBit, 1000 * c, 500});
  S().refCount[0] = 8;
  std::multiset<Shape> expected;
  for (int c = 0; c < 8; ++c) {
    std::int64_t l = 0, b = 0, r = 300, t = 100;
    db::OrientPoint(c, l, b);
    db::OrientPoint(c, r, t);
    const std::int32_t x0 = std::int32_t(std::min(l, r)) + 1000 * c, x1 = std::int32_t(std::max(l, r)) + 1000 * c;
    const std::int32_t y0 = std::int32_t(std::min(b, t)) + 500, y1 = std::int32_t(std::max(b, t)) + 500;
    expected.insert({1, 0, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}}});
    std::vector<std::pair<std::int32_t, std::int32_t>> pts;
    for (auto [x, y] : std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 0}, {100, 50}, {200, 0}}) {
      db::OrientPoint(c, x, y);
      pts.push_back({std::int32_t(x) + 1000 * c, std::int32_t(y) + 500});
    }
    expected.insert({2, 20, pts});
  }
  Begin(kSmsh, "answer SMSH press ok\n");
  EXPECT_EQ(S().refCount[0], 0);
  EXPECT_EQ(Flat(S()), expected);
  ExpectSelectionConsistent();
  auto saved = Saved("TOP");
  EXPECT_EQ(Flat(saved->store), expected);
}

TEST_F(CellTest, AnInstanceWhoseCellCannotBeReadStaysWithNothingAdded) {
  StartWith({{"A", 1, {{1, 0, 0, 100, 100}}, {}}, {"TOP", 2, {{1, 0, 0, 10, 10}}, {{1 | db::kRefSelectedBit, 500, 0}}}}, "TOP");
  S().SetCellRef(0, S().GetCellRef(0, 0, 1) | db::kRefSelectedBit, 0, 1);
  std::filesystem::remove(drive->Path("A.bp6"));
  for (const auto& e : std::filesystem::directory_iterator(drive->folder))
    if (e.path().filename().string() == "A.BP6" || e.path().filename().string() == "a.bp6") std::filesystem::remove(e.path());
  Begin(kSmsh, "answer SMSH press ok\nbox ok\n");
  EXPECT_TRUE(Logged("box \"\" \"Not Enough Space to Smash Cell\""));
  EXPECT_EQ(S().refCount[0], 1);
  EXPECT_EQ(S().boxCount, 1);
  EXPECT_EQ(S().pathCount + S().vertexCount, 0);
}

TEST_F(CellTest, MakeThenPlaceThenSmashGivesTheGeometryBack) {
  StartWith({{"A", 1, {{1, 0, 0, 100, 100}}, {}}, {"TOP", 3, {{1, 0, 0, 300, 200}, {3, 50, 50, 60, 60}}, {{1, 500, 0}}}}, "TOP");
  AddPath(2, 10, {{0, 0}, {30, 40}}, {0, 1});
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  S().SetCellRef(0, S().GetCellRef(0, 0, 1) | db::kRefSelectedBit, 0, 1);
  const std::multiset<Shape> before = Flat(S());
  Begin(kMake, "answer MAKE set 1332 \"made\" press ok\n");
  ASSERT_TRUE(db::FindCell(E().db.index, "MADE"));
  EXPECT_EQ(E().db.index.foundRank, 2);  // above the rank-1 cell it places
  EXPECT_EQ(E().db.current.name, "TOP");
  EXPECT_EQ(Flat(S()), before);  // the selection stays where it was

  // Make on an existing name appends; reserved names are refused.
  Run("fGet 40 40 70 70");
  Begin(kMake, "answer MAKE set 1332 \"MADE\" press ok\n");
  Begin(kMake, "answer MAKE set 1332 \"maketemp\" press ok\nbox ok\n");
  EXPECT_TRUE(Logged("box \"\" \"Not a Vaild Name\""));
  Begin(kMake, "answer MAKE set 1332 \"\" press ok\nbox ok\n");

  // Everything deleted, the cell placed at the origin and smashed: the same geometry again.
  Run("aGet -1000 -1000 2000 2000");
  const std::multiset<Shape> all = Flat(S());
  Begin(kDel);
  EXPECT_EQ(S().boxCount + S().pathCount + S().refCount[0], 0);
  E().db.settings.addKind = "MADE";
  Begin(kDraw);
  Run("Add 0 0");
  ASSERT_EQ(S().refCount[0], 1);
  S().SetCellRef(0, S().GetCellRef(0, 0, 1) | db::kRefSelectedBit, 0, 1);
  Begin(kSmsh, "answer SMSH press ok\n");
  EXPECT_EQ(Flat(S()), all);
  ASSERT_EQ(S().refCount[0], 1);
  EXPECT_EQ(S().GetCellRef(0, 0, 1), 1);
  EXPECT_EQ(S().GetCellRef(0, 1, 1), 500);
}

TEST_F(CellTest, ASmashedTextKeepsItsOrientationAndATinyOneStill) {
  StartWith({{"A", 1, {}, {}}, {"TOP", 2, {}, {}}}, "TOP");
  // A space of one stroke along its base line.
  E().db.font.bytes[0] = 0x00;
  E().db.font.bytes[1] = 0xF0;
  ASSERT_EQ(db::LoadCell(E().db, "A"), 1);
  const int text = AddPath(2 | db::kTextBit | (1 << db::kOrientationShift), 15, {{0, 0}, {0x20000000, 0}});
  S().SetVertex(S().GetVertex(0, 2) | db::kCharVertexBit, 0, 2);
  ASSERT_EQ(text, 1);
  ASSERT_EQ(db::SaveOpenCell(E().db, db::kSaveCellFiles), 1);
  ASSERT_EQ(db::LoadCell(E().db, "TOP"), 1);
  S().PutCellRefRecord(0, 1, {1 | (5 << db::kOrientationShift) | db::kRefSelectedBit, 0, 0});
  S().refCount[0] = 1;
  Begin(kSmsh, "answer SMSH press ok\n");
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_EQ(db::OrientationOf(S().GetPath(0, 1)), 4);
  // Zoomed far out, the text is far below what the view draws; smashing it still gives strokes.
  S().SetPath(S().GetPath(0, 1) | db::kPathSelectedBit, 0, 1);
  E().view.width = 16000000;
  Begin(kSmsh, "answer SMSH press ok\n");
  ASSERT_EQ(S().pathCount, 1);
  EXPECT_FALSE(db::IsText(S().GetPath(0, 1)));
  EXPECT_EQ(S().GetPath(1, 1), 0);
  EXPECT_EQ(PathPoints(1), (Points{{0, 0}, {15, 0}}));  // mirrored in y, the base line stays
}

TEST_F(CellTest, StepRepeatsInASerpentineAndStopsAtALimit) {
  StartWith({{"TOP", 1, {{1, 0, 0, 10, 10}}, {}}}, "TOP");
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  Begin(kStep, "answer STEP set 1335 \"3\" set 1337 \"2\" set 1338 \"100\" set 1339 \"50\" press ok\n");
  ASSERT_EQ(S().boxCount, 6);
  const std::vector<std::pair<std::int32_t, std::int32_t>> corners = {{0, 0}, {100, 0}, {200, 0}, {200, 50}, {100, 50}, {0, 50}};
  for (int n = 1; n <= 6; ++n) {
    EXPECT_EQ(Box(n).left, corners[std::size_t(n - 1)].first) << n;
    EXPECT_EQ(Box(n).bottom, corners[std::size_t(n - 1)].second) << n;
    EXPECT_EQ((Box(n).flags & db::kEdgesAll) != 0, n == 6) << n;
  }
  // Columns and rows are magnitudes within 1..1024.
  Begin(kStep, "answer STEP set 1335 \"-5\" set 1337 \"0\" set 1338 \"1\" set 1339 \"0\" press ok\n");
  EXPECT_EQ(S().boxCount, 10);
  // The first refused copy ends the array with one message.
  Begin(kAPut);
  S().boxCount = db::kBoxLimit - 2;
  S().PutBoxRecord(S().boxCount, {1 | db::kEdgesAll, 0, 0, 10, 10});
  Begin(kStep, "answer STEP set 1335 \"5\" set 1337 \"1\" set 1338 \"20\" set 1339 \"0\" press ok\nbox ok\n");
  EXPECT_EQ(S().boxCount, db::kBoxLimit);
  EXPECT_EQ(Box(db::kBoxLimit).left, 40);
  EXPECT_TRUE(Box(db::kBoxLimit).flags & db::kEdgesAll);
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "box \"\" \"Box Limit!\""), 1);
}

TEST_F(CellTest, ResistanceAndCapacitanceAddUpTheirPieces) {
  StartWith({{"TOP", 1, {{1, 0, 0, 10000, 20000}}, {}}}, "TOP", 1000);
  AddPath(2, 2000, {{0, 0}, {10000, 0}, {10000, 20000}}, {0});
  E().db.settings.resSet = 1;
  Begin(kRes, "answer RESCAP press ok\n");
  EXPECT_EQ(Field(edui::kFieldInfo), "dR=0.5  R=7 ohms");
  // The pairs that follow measure with the path's width and the manual sheet resistance.
  E().db.settings.resOhms = 1;
  Run("Res 0 0 4 0");
  EXPECT_EQ(Field(edui::kFieldInfo), "dR=2  R=9 ohms");
  // A panel button ends the run: the next Cap starts from 0 and asks again.
  E().edit.resCapRun = 0;
  S().pathCount = S().vertexCount = 0;
  S().SetBox(1 | db::kEdgesAll, 0, 1);
  E().db.settings.capPf = 0.01;
  Begin(kCap, "answer RESCAP press ok\n");
  EXPECT_EQ(Field(edui::kFieldInfo), "dC=2  C=2 pF");
  // Res with nothing selected: the first pair only gives the width.
  E().edit.resCapRun = 0;
  S().SetBox(1, 0, 1);
  Begin(kRes, "answer RESCAP press ok\n");
  Run("Res 0 0 0 2");
  EXPECT_EQ(E().edit.resWidth, 2000);
  Run("Res 0 0 10 0");
  EXPECT_EQ(Field(edui::kFieldInfo), "dR=5  R=5 ohms");
}

TEST_F(CellTest, SettingDialogsKeepTheirLimits) {
  StartWith({{"TOP", 1, {}, {}}}, "TOP", 1000);
  for (auto [typed, stored] : {std::pair{"40", 50}, {"51", 51}}) {
    Begin(kSet, std::string("answer SET set 151 \"") + typed + "\" set 1101 \"0.0025\" check 1328 1 press ok\n");
    EXPECT_EQ(E().db.settings.resolution, stored);
  }
  EXPECT_EQ(E().db.settings.workGrids[1], 3);
  EXPECT_TRUE(E().edit.tlcIn.globalTlc && E().edit.tlcOut.globalTlc);
  EXPECT_EQ(edui::LimitResSet(12), 9);
  EXPECT_EQ(edui::LimitResSet(0), 1);
  EXPECT_EQ(edui::NextArcDirection("cw"), "ccw");
  EXPECT_EQ(edui::NextArcDirection("CW"), "cw");
  Begin(kObj, "answer ANYLIST dblclick 1006 1\n");
  EXPECT_EQ(E().objectKind, 2);
  // A font file cut short leaves the font as it was.
  const auto font = E().db.font.bytes;
  drive->Write("SHORT.DBD", "abc");
  Begin(kFont, "answer FONT set 1326 \"SHORT.DBD\" press ok\n");
  EXPECT_EQ(E().db.font.bytes, font);
}

TEST_F(CellTest, ObjectListTakesBoxAndPathByTheirRowsSoACellNamedBoxStaysACell) {
  StartWith({{"BOX", 1, {}, {}}, {"TOP", 2, {}, {}}}, "TOP");
  for (auto [row, kind] : {std::pair{0, 1}, {1, 2}, {2, 3}}) {
    Begin(kObj, "answer ANYLIST dblclick 1006 " + std::to_string(row) + "\n");
    EXPECT_EQ(E().objectKind, kind) << row;
  }
  EXPECT_EQ(E().db.index.rows[std::size_t(E().objectCell)].name, "BOX");
  EXPECT_TRUE(Logged("item ANYLIST 1009 \"Available Objects\""));
}

}  // namespace
}  // namespace edtest
