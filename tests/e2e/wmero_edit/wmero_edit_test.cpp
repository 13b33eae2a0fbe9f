// The editor program run whole, headless and scripted, on a fresh drawing folder: cells drawn and
// edited through typed macros and dialogs, saved, and checked by decoding their BP6 and CL6 files.
#include "tests/e2e/wmero_edit/wmero_edit_fixture.h"

namespace {

using namespace wmero_edit;

// Typed numbers are user units: a fresh folder has 20 database units to one.
TEST_F(WmeroEdit, DrawEditAndSaveACellOfBoxesPathsAndATextThenPlaceItTurned) {
  ASSERT_EQ(Run("answer CELL set 1001 \"chip\" press ok\n"
                "answer NEWCELL set 1003 \"1\" press ok\n"
                "wait\n" + std::string(kLayerLists) +
                    Macro("Add 0 0 10 10\nAdd 30 5 20 0\nfGet -1 -1 11 11\nCpy 100 0\naPut\nfGet 19 -1 31 6\nDel\n"
                          "Text 50 50\naPut\n",
                          "answer TEXT set 117 \"CHIP ONE\" press ok\n") +
                    // A path of three vertices, made through Obj and Wdth.
                    "answer ANYLIST dblclick 1006 1\npost 1025 23 0\nwait\n"
                    "answer WSIZE set 1027 \"2\" press ok\npost 1025 41 0\nwait\n" +
                    Macro("Add 0 20\nAdd 10 20\nAdd 10 30\n") + "command 14\nwait\nquit\n"),
            0);
  const CellFiles chip = Cell("CHIP", false);
  ASSERT_EQ(chip.boxes.size(), 2u);
  EXPECT_EQ(chip.boxes[0], (Box{1, 0, 0, 200, 200}));
  EXPECT_EQ(chip.boxes[1], (Box{1, 2000, 0, 2200, 200}));
  ASSERT_EQ(chip.paths.size(), 2u);
  // The text: its layer with bit 31, size 15, the reference point and one vertex of 8 characters.
  EXPECT_EQ(chip.paths[0].flags, std::int32_t(0x80000001));
  EXPECT_EQ(chip.paths[0].width, 15);
  EXPECT_EQ(chip.Points(0).front(), (std::pair<std::int32_t, std::int32_t>{1000, 1000}));
  EXPECT_EQ(chip.Points(0)[1], (std::pair<std::int32_t, std::int32_t>{0x43484950, 0x204F4E45}));
  EXPECT_EQ(chip.paths[1].width, 40);
  EXPECT_EQ(chip.Points(1), (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 400}, {200, 400}, {200, 600}}));
  // Nothing of the selection reaches the file.
  for (const Vertex& v : chip.vertices) EXPECT_EQ(v.flags & 0x70000000, 0);

  ASSERT_EQ(Run("answer CELL set 1001 \"top\" press ok\n"
                "answer NEWCELL set 1003 \"2\" press ok\n"
                "wait\n"
                "answer ANYLIST dblclick 1006 2\npost 1025 23 0\nwait\n" +
                    Macro("Add 500 0\nAdd 0 500\nFit\naGet -1000 -1000 1000 1000\nRot 500 0\n",
                          "answer ROT set 157 \"90\" press ok\n") +
                    "command 14\nwait\nquit\n"),
            0);
  const CellFiles top = Cell("TOP", true);
  ASSERT_EQ(top.refs.size(), 2u);
  EXPECT_EQ(top.refs[0].flags, 1 | (1 << 11));
  EXPECT_EQ(top.refs[0].x, 10000);
  EXPECT_EQ(top.refs[0].y, 0);
  EXPECT_EQ(top.refs[1].flags, 1 | (1 << 11));
  EXPECT_EQ(top.refs[1].x, 0);
  EXPECT_EQ(top.refs[1].y, -10000);
}

TEST_F(WmeroEdit, SmashingAnInstanceWritesItsContentsIntoTheCell) {
  ASSERT_EQ(Run("answer CELL set 1001 \"leaf\" press ok\nanswer NEWCELL set 1003 \"1\" press ok\nwait\n" +
                std::string(kLayerLists) + Macro("Add 0 0 10 20\n") + "command 14\nwait\nquit\n"),
            0);
  ASSERT_EQ(Run("answer CELL set 1001 \"top\" press ok\nanswer NEWCELL set 1003 \"2\" press ok\nwait\n"
                "answer ANYLIST dblclick 1006 2\npost 1025 23 0\nwait\n" +
                Macro("Add 100 100\nFit\naGet 0 0 200 200\nSmsh\n", "answer SMSH press ok\n") + "quit\n"),
            0);
  const CellFiles top = Cell("TOP", true);
  EXPECT_TRUE(top.refs.empty());
  ASSERT_EQ(top.boxes.size(), 1u);
  EXPECT_EQ(top.boxes[0], (Box{1, 2000, 2000, 2200, 2400}));
  // The undo backup holds the cell as it was before the smash (the exit saves the cell alone).
  EXPECT_EQ(Cell("MAINBKUP", true).refs.size(), 1u);
}

}  // namespace
