#include "editor/db/cell_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/db/tests/drawing_folder.h"

namespace {

using dbtest::DrawingFolder;

std::unique_ptr<db::CellIndex> NewIndex() { return std::make_unique<db::CellIndex>(); }

TEST(CellIndex, EmptyCollectionIsCountAndEmptyLine) {
  DrawingFolder f;
  auto index = NewIndex();
  ASSERT_EQ(db::WriteCellIndexFile(*index, db::kCellIndexFile), 1);
  EXPECT_EQ(f.Read("Cells6.dbd"), "0\r\n\r\n");
}

TEST(CellIndex, RowsRoundTripWithFlagsCutToRankAndAttachedBit) {
  DrawingFolder f;
  auto index = NewIndex();
  index->count = 2;
  index->rows[1] = {"NAND2", 2 | 64, -10, -20, 30, 40, 5, 6, 70000, 8};
  index->rows[2] = {"PAD", 1 | db::kAttachedBit, 0, 0, 100, 100, 1, 0, 0, 0};
  ASSERT_EQ(db::WriteCellIndexFile(*index, db::kCellIndexFile), 1);
  EXPECT_EQ(f.Read("Cells6.dbd"),
            "2\r\nNAND2\r\n2 -10 -20 30 40 5 6 70000 8\r\nPAD\r\n17 0 0 100 100 1 0 0 0\r\n\r\n");

  auto back = NewIndex();
  ASSERT_EQ(db::ReadCellIndex(*back), 1);
  ASSERT_EQ(back->count, 2);
  EXPECT_EQ(back->rows[1].name, "NAND2");
  EXPECT_EQ(back->rows[1].flags, 2);
  EXPECT_EQ(back->rows[1].vertexCount, 70000);
  EXPECT_EQ(back->rows[2].Rank(), 1);
  EXPECT_TRUE(back->rows[2].Attached());
  EXPECT_EQ(db::FormatCellLabel(*back, 1), "NAND2 (2)");
  EXPECT_EQ(db::FormatCellLabel(*back, 2), "PAD (1+)");
}

TEST(CellIndex, FolderCopiedFromWindowsReadsWithLowerCaseNamesUpperCased) {
  DrawingFolder f;
  f.Write("cElls6.DBD", "2\r\nnand2\r\n1 0 0 10 10 1 0 0 0\r\nInv\r\n2 0 0 5 5 0 0 0 1\r\n\r\n");
  auto index = NewIndex();
  ASSERT_EQ(db::ReadCellIndex(*index), 1);
  EXPECT_EQ(db::FindCell(*index, "NAND2"), 1);
  EXPECT_EQ(index->foundRow, 1);
  EXPECT_EQ(index->foundRank, 1);
  EXPECT_EQ(db::FindCell(*index, "nand2"), 0) << "the comparison is exact";
  EXPECT_EQ(index->foundRow, 0);
  ASSERT_EQ(db::FindCell(*index, "INV"), 1);
  EXPECT_EQ(index->foundRow, 2);
  // Rewriting replaces the file under its own spelling instead of adding a second one.
  ASSERT_EQ(db::WriteCellIndexFile(*index, db::kCellIndexFile), 1);
  EXPECT_EQ(f.Listing(), "cElls6.DBD ");
}

TEST(CellIndex, FindLooksAtTheScratchRowFirstAndNeedsAName) {
  auto index = NewIndex();
  index->count = 1;
  index->rows[0].name = "MAKETEMP";
  index->rows[0].flags = 3;
  index->rows[1].name = "A";
  EXPECT_EQ(db::FindCell(*index, "MAKETEMP"), 1);
  EXPECT_EQ(index->foundRow, 0);
  EXPECT_EQ(index->foundRank, 3);
  EXPECT_EQ(db::FindCell(*index, ""), 0);
  index->count = -1;
  EXPECT_EQ(db::FindCell(*index, "A"), 0);
}

TEST(CellIndex, DamagedFilesAreRefusedAndLeaveTheTableAsItWas) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::string row = "A\n1 0 0 1 1 0 0 0 0\n";
  std::string many = "514\n";
  for (int i = 0; i < 514; ++i) many += "C" + std::to_string(i) + "\n1 0 0 1 1 0 0 0 0\n";
  const Case cases[] = {
      {"empty", ""},
      {"no count", "\n\n"},
      {"negative count", "-1\n"},
      {"count above 513", many},
      {"huge count", "99999999999\n" + row},
      {"fewer rows than the count", "2\n" + row},
      {"more rows than the count", "1\n" + row + "B\n2 0 0 1 1 0 0 0 1\n\n"},
      {"text after the last row", "1\n" + row + "x\n"},
      {"a NUL inside a name", std::string("1\nA\0B\n1 0 0 1 1 0 0 0 0\n", 24)},
      {"row cut inside its numbers", "1\nA\n1 0 0 1 1 0\n"},
      {"letters for a number", "1\nA\n1 0 0 x 1 0 0 0 0\n"},
      {"number beyond 32 bits", "1\nA\n1 0 0 4294967296 1 0 0 0 0\n"},
      {"name of 33 characters", "1\n" + std::string(33, 'N') + "\n1 0 0 1 1 0 0 0 0\n"},
      {"all zero bytes", std::string(64, '\0')},
  };
  for (const Case& c : cases) {
    DrawingFolder f;
    f.Write("CELLS6.DBD", c.bytes);
    auto index = NewIndex();
    index->count = 1;
    index->rows[1].name = "KEEP";
    EXPECT_EQ(db::ReadCellIndex(*index), -1) << c.what;
    EXPECT_EQ(index->count, 1) << c.what;
    EXPECT_EQ(index->rows[1].name, "KEEP") << c.what;
    EXPECT_EQ(f.Read("CELLS6.DBD"), c.bytes) << c.what;
  }
}

TEST(CellIndex, LimitCountsAreReadWholeAndOverLongLinesDoNotSplit) {
  DrawingFolder f;
  std::string text = "513\n";
  for (int i = 1; i <= 513; ++i) text += "C" + std::to_string(i) + "\n1 0 0 1 1 0 0 0 0\n";
  f.Write("CELLS6.DBD", text);
  auto index = NewIndex();
  ASSERT_EQ(db::ReadCellIndex(*index), 1);
  EXPECT_EQ(index->count, 513);
  EXPECT_EQ(index->rows[513].name, "C513");

  // A name of exactly 32 characters followed by a long run of blanks on its line.
  f.Write("CELLS6.DBD", "1\n" + std::string(32, 'Z') + std::string(500, ' ') + "\n2 1 2 3 4 5 6 7 8\n");
  ASSERT_EQ(db::ReadCellIndex(*index), 1);
  EXPECT_EQ(index->count, 1);
  EXPECT_EQ(index->rows[1].name, std::string(32, 'Z'));
  EXPECT_EQ(index->rows[1].refCount, 8);
  EXPECT_EQ(db::ReadCellIndexFile(*index, "MISSING.DBD"), 0);
}

TEST(RecentCells, HoldsTheLastNineMostRecentFirstWithoutDuplicates) {
  db::RecentCells recent;
  for (int i = 1; i <= 10; ++i) db::PushRecentCell(recent, "C" + std::to_string(i));
  EXPECT_EQ(recent.places[0], "C10");
  EXPECT_EQ(recent.places[8], "C2");
  EXPECT_EQ(db::FindRecentCell(recent, "C1"), 0);
  db::PushRecentCell(recent, "C5");
  EXPECT_EQ(db::FindRecentCell(recent, "C5"), 1);
  EXPECT_EQ(db::FindRecentCell(recent, "C10"), 2);
  EXPECT_EQ(db::FindRecentCell(recent, "C2"), 9);
  db::RemoveRecentCell(recent, "C10");
  EXPECT_EQ(db::FindRecentCell(recent, "C2"), 8);
  EXPECT_EQ(recent.places[8], "");
}

TEST(PoolCells, NamesAndFlagsOfThePoolFolder) {
  DrawingFolder f;
  std::filesystem::create_directories(f.root + "/LIB");
  std::ofstream(f.root + "/LIB/Cells6.dbd") << "2\r\npad\r\n1 0 0 9 9 1 0 0 0\r\nMUX\r\n3 0 0 9 9 0 0 0 2\r\n\r\n";
  db::PoolCellList pool;
  ASSERT_EQ(db::ReadPoolCellIndex(pool, "C:\\LIB\\"), 1);
  ASSERT_EQ(pool.count, 2);
  EXPECT_EQ(pool.rows[1].name, "PAD");
  EXPECT_EQ(pool.rows[2].flags, 3);
  EXPECT_EQ(db::ReadPoolCellIndex(pool, "C:\\NOWHERE\\"), 0);
  EXPECT_EQ(pool.count, 0);
}

}  // namespace
