#include "editor/ui/system/cell_report.h"

#include <gtest/gtest.h>

#include "editor/db/cell_files.h"
#include "editor/db/tests/collection_files.h"
#include "editor/db/tests/drawing_folder.h"

namespace {

using Lines = std::vector<std::string>;
using dbtest::Words;

struct Report : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;
  edsys::CellReport report;

  void SetUp() override {
    dbtest::WriteCollection(f.folder, {{"LEAF", 1, {{1, 0, 0, 10, 10}, {1, 5, 5, 6, 6}, {64, 0, 0, 1, 1}}, {}},
                                       {"POOLED", 17, {}, {}},
                                       {"MID", 2, {}, {{1, 0, 0, 0}}},
                                       {"TOP", 3, {{2, 0, 0, 1, 1}}, {{1, 0, 0, 0}, {3, 40, -60, 5}, {1, 9, 9, 0}, {2, 0, 0, 0}}}});
    // LEAF also has a path and a text on layer 2.
    f.Write("LEAF.BP6", dbtest::SpecBp6({"LEAF", 1, {{1, 0, 0, 10, 10}, {1, 5, 5, 6, 6}, {64, 0, 0, 1, 1}}, {}})
                            .substr(0, 80) +
                            Words({2, 4, 1}) + Words({static_cast<std::int64_t>(0x80000002), 30, 3}) + std::string(12, '\0') +
                            Words({1, 0, 0, 2}) + Words({1, 9, 0, 0}) + Words({2, 0, 0, 4}) +
                            Words({static_cast<std::int64_t>(0x80000002), 0x41000000, 0, 0}) + std::string(16, '\0'));
    ASSERT_EQ(db::ReadCellIndex(d->index), 1);
  }
  Lines Head(std::size_t n) const { return Lines(report.lines.begin(), report.lines.begin() + std::ptrdiff_t(n)); }
};

TEST_F(Report, ListsSubCellsByRankWithTheirUseCounts) {
  ASSERT_EQ(edsys::BuildCellReport(*d, "TOP", 0, report), 1);
  EXPECT_EQ(Head(7), (Lines{"TOP (3)", "Objects:  4 Cells  1 Boxes   0 Paths (0 Vtx)",
                            "Outline:  L=-5  B=-5  R=5  T=5", "Rank 2 Cells:", " 1 MID", "Rank 1 Cells:",
                            " 2 LEAF"}));
  EXPECT_EQ(report.lines[7], " 1 POOLED +");
  EXPECT_EQ(report.lines[8], "Counts: ( Boxes Paths Text )");
  ASSERT_EQ(report.lines.size(), 9u + 64u);
  EXPECT_EQ(report.lines[9], "Layer 1      0      0      0");
  EXPECT_EQ(report.lines[10], "Layer 2      1      0      0");
  EXPECT_EQ(report.row, 4);
}

TEST_F(Report, RankOneCellCountsItsLayersAndPlacesNothing) {
  ASSERT_EQ(edsys::BuildCellReport(*d, "LEAF", 0, report), 1);
  EXPECT_EQ(Head(4), (Lines{"LEAF (1)", "Objects:  0 Cells  3 Boxes   2 Paths (4 Vtx)",
                            "Outline:  L=-5  B=-5  R=5  T=5", "Counts: ( Boxes Paths Text )"}));
  EXPECT_EQ(report.lines[4], "Layer 1      2      0      0");
  EXPECT_EQ(report.lines[5], "Layer 2      0      1      1");
  EXPECT_EQ(report.lines.back(), "Layer 64      1      0      0");
}

TEST_F(Report, AnInstanceOfTheEditedCellAddsItsPlacement) {
  // TOP is open: its references are level 0, the second one a turned MID.
  d->current = {"TOP", 4, 3, 0, 0};
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 4), 0);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 4, 0), 0);
  ASSERT_EQ(edsys::BuildCellReport(*d, "MID", 2, report), 1);
  EXPECT_EQ(Head(3), (Lines{"MID (2) #2", " X=2  Y=-3  O=5", "Objects:  1 Cells  0 Boxes   0 Paths (0 Vtx)"}));
}

TEST_F(Report, EditedCellIsSavedFirstAndBackInTheStoreWhateverHappens) {
  d->current = {"TOP", 4, 3, 0, 0};
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 4), 0);
  d->store.PutBoxRecord(2, {7, 1, 2, 3, 4});  // an edit not saved yet
  d->store.boxCount = 2;
  f.Write("MID.CL6", "cut");
  struct Case {
    const char* name;
    int result;
    std::string said;
  };
  for (const Case& c : {Case{"LEAF", 1, ""}, Case{"NONE", 0, dbtest::Message(4)}, Case{"MID", 0, dbtest::Message(7)}}) {
    SCOPED_TRACE(c.name);
    d.talk.events.clear();
    EXPECT_EQ(edsys::BuildCellReport(*d, c.name, 0, report), c.result);
    EXPECT_EQ(dbtest::Messages(d.talk), c.said.empty() ? Lines{} : Lines{c.said});
    ASSERT_EQ(d->store.boxCount, 2);
    EXPECT_EQ(d->store.GetBox(0, 2), 7);
  }
  EXPECT_EQ(dbtest::DecodeBp6(f.Read("TOP.BP6")).boxes.size(), 2u);
}

TEST_F(Report, KeeperOfTheEditorTakesTheEditedCellInstead) {
  d->current = {"TOP", 4, 3, 0, 0};
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 4), 0);
  const std::string before = f.Read("TOP.BP6");
  Lines calls;
  edsys::EditedCellKeeper keeper{[&] { calls.push_back("aside"); return 1; },
                                 [&] { calls.push_back("back"); return 1; }};
  d->store.boxCount = 0;
  ASSERT_EQ(edsys::BuildCellReport(*d, "LEAF", 0, report, &keeper), 1);
  EXPECT_EQ(calls, (Lines{"aside", "back"}));
  EXPECT_EQ(f.Read("TOP.BP6"), before);
  // A keeper that cannot set the cell aside stops the report with the store untouched.
  keeper.setAside = [] { return 0; };
  d->store.boxCount = 1;
  EXPECT_EQ(edsys::BuildCellReport(*d, "LEAF", 0, report, &keeper), 0);
  EXPECT_EQ(d->store.boxCount, 1);
}

TEST_F(Report, LinesAreWholeHoweverLongTheirNumbers) {
  d->settings.scale = 3;
  d->index.rows[4].left = -8388607;
  d->index.rows[4].bottom = -8388601;
  d->index.rows[4].right = 8388605;
  d->index.rows[4].top = 8388603;
  ASSERT_EQ(edsys::BuildCellReport(*d, "TOP", 0, report), 1);
  EXPECT_EQ(report.lines[2], "Outline:  L=-2796202.3  B=-2796200.3  R=2796201.7  T=2796201");
}

}  // namespace
