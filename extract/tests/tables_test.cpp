#include "extract/tables.h"

#include <gtest/gtest.h>

#include "editor/db/cell_files.h"
#include "extract/tests/extract_fixture.h"

namespace exttest {
namespace {

using ext::TraceTables;

TEST(Tables, RecordsFindTheirPageAndAreasTheirWords) {
  auto t = std::make_unique<TraceTables>();
  t->SetShapeField(7, ext::kBoxNode, 255);
  EXPECT_TRUE(t->boxes.HasPage(0));
  EXPECT_FALSE(t->boxes.HasPage(1));
  t->SetShapeField(8, ext::kBoxNode, 256);
  EXPECT_TRUE(t->boxes.HasPage(1));
  t->SetTracePathField(1, ext::kPathFlags, 340);
  EXPECT_FALSE(t->paths.HasPage(1));
  t->SetTracePathField(1, ext::kPathFlags, 341);
  EXPECT_TRUE(t->paths.HasPage(1));

  // A path's area sits beside its own words, not its neighbours'.
  t->SetTracePathField(5, ext::kPathNode, 300);
  t->SetTracePathField(6, ext::kPathFlags, 301);
  t->SetTracePathArea(1234.5, 300);
  EXPECT_EQ(t->GetTracePathArea(300), 1234.5);
  EXPECT_EQ(t->GetTracePathField(ext::kPathNode, 300), 5);
  EXPECT_EQ(t->GetTracePathField(ext::kPathFlags, 301), 6);
  t->SetShapeArea(-2.25, 256);
  EXPECT_EQ(t->GetShapeArea(256), -2.25);
  EXPECT_EQ(t->GetShapeField(ext::kBoxNode, 256), 8);

  EXPECT_EQ(t->GetShapeField(ext::kBoxNode, 0), 0);
  EXPECT_EQ(t->SetShapeField(1, ext::kBoxNode, 0), 0);
  EXPECT_EQ(t->SetShapeField(1, 6, 255), 1);  // a field beyond the words stores nothing
  EXPECT_EQ(t->GetShapeField(6, 255), 0);
  EXPECT_EQ(t->GetShapeField(ext::kBoxNode, 255), 7);
}

// Raw BP6 bytes: each table ends with its zero record unless the file was cut short.
std::string Bp6(std::initializer_list<std::int64_t> words) { return dbtest::Words(words); }

TEST(Tables, LoadCountsTheRecordsBeforeEachZeroRecord) {
  struct Case {
    const char* what;
    std::string bytes;
    int boxes, paths, vertices;
    bool damaged;
  };
  const std::string box = Bp6({3, 0, 0, 10, 10});
  const std::string path = Bp6({3, 0, 1});
  const std::string vertices = Bp6({1, 0, 0, 2, 1, 5, 0, 0});
  const std::string zero20(20, '\0'), zero12(12, '\0'), zero16(16, '\0');
  const Case cases[] = {
      {"an empty file is an empty cell", "", 0, 0, 0, false},
      {"no boxes: the path table follows at once", zero20 + path + zero12 + vertices + zero16, 0, 1, 2, false},
      {"a whole file", box + box + zero20 + path + zero12 + vertices + zero16, 2, 1, 2, false},
      {"the file ends where a table would begin", box + zero20, 1, 0, 0, false},
      // The damage rules of the editor's own loader: a table that stops without its end record.
      {"cut short after a box", box, 0, 0, 0, true},
      {"cut inside a record", box + box.substr(0, 7), 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    Folder f;
    f.Make({Cell("A", 1)});
    f.Write("A.BP6", c.bytes);
    auto t = std::make_unique<TraceTables>();
    EXPECT_EQ(t->LoadCellGeometry(f.drawing, 1), c.damaged ? 1 : 0) << c.what;
    EXPECT_EQ(t->boxCount, c.boxes) << c.what;
    EXPECT_EQ(t->pathCount, c.paths) << c.what;
    EXPECT_EQ(t->vertexCount(), c.vertices) << c.what;
    EXPECT_EQ(t->damagedFile, c.damaged ? "A.BP6" : "") << c.what;
  }
  // A record after the last end row (one zeroed inside a table ended it early) is damage, not a
  // smaller cell.
  Folder f;
  f.Make({Cell("A", 1)});
  f.Write("A.BP6", box + zero20 + zero12 + zero16 + box);
  auto t = std::make_unique<TraceTables>();
  EXPECT_EQ(t->LoadCellGeometry(f.drawing, 1), 1);
  EXPECT_EQ(t->damagedFile, "A.BP6");
}

TEST(Tables, AMissingFileLeavesNothingOfTheCellBefore) {
  Folder f;
  tlctest::CellSpec a = Cell("A", 1);
  a.boxes = {Box(kMetal, 0, 0, 5, 5)};
  f.Make({a, Cell("B", 1)});
  std::filesystem::remove(f.Path("B.bp6"));
  auto t = std::make_unique<TraceTables>();
  ASSERT_EQ(t->LoadCellGeometry(f.drawing, 1), 0);
  EXPECT_EQ(t->boxCount, 1);
  EXPECT_EQ(t->LoadCellGeometry(f.drawing, 2), 1);
  EXPECT_EQ(t->boxCount, 0);
  EXPECT_EQ(t->loadedRow, 0);
}

TEST(Tables, PlacedCellIsTurnedMovedAndLinkedBehindTheLoadedOne) {
  Folder f;
  tlctest::CellSpec base = Cell("BASE", 1);
  base.boxes = {Box(kMetal, 0, 0, 1, 1)};
  base.paths = {Wire(kMetal, 0, {{0, 0}, {1, 1}})};
  tlctest::CellSpec placed = Cell("PLACED", 1);
  placed.boxes = {Box(kPoly, 2, 3, 4, 9)};
  placed.paths = {Wire(kPoly, 0, {{2, 3}, {5, 3}}), Text(kNamed, 2, 3, "ABCD")};
  f.Make({base, placed});
  auto t = std::make_unique<TraceTables>();
  ASSERT_EQ(t->LoadCellGeometry(f.drawing, 1), 0);
  // Orientation 5 swaps x and y before the move.
  ASSERT_EQ(t->LoadPlacedGeometry(f.drawing, 2, 100, 200, 5), 0);
  ASSERT_EQ(t->boxCount, 2);
  ASSERT_EQ(t->pathCount, 3);
  ASSERT_EQ(t->vertexCount(), 2 + 2 + 2);
  EXPECT_EQ(t->GetShapeField(ext::kBoxLeft, 2), 103);
  EXPECT_EQ(t->GetShapeField(ext::kBoxBottom, 2), 202);
  EXPECT_EQ(t->GetShapeField(ext::kBoxRight, 2), 109);
  EXPECT_EQ(t->GetShapeField(ext::kBoxTop, 2), 204);
  // The placed wire: its first vertex is 3 now, owned by path 2, linked on to vertex 4.
  EXPECT_EQ(t->GetTracePathField(ext::kPathFirstVertex, 2), 3);
  EXPECT_EQ(t->GetVertex(ext::kVertexOwner, 3) & db::kVertexOwnerMask, 2);
  EXPECT_EQ(t->GetVertex(ext::kVertexNext, 3), 4);
  EXPECT_EQ(t->GetVertex(ext::kVertexX, 3), 103);
  EXPECT_EQ(t->GetVertex(ext::kVertexY, 3), 202);
  EXPECT_EQ(t->GetVertex(ext::kVertexX, 4), 103);
  EXPECT_EQ(t->GetVertex(ext::kVertexY, 4), 205);
  // The text's reference point moves; its characters do not.
  EXPECT_EQ(t->GetVertex(ext::kVertexX, 5), 103);
  EXPECT_EQ(ext::TextCharsOf(*t, 3), "ABCD");
}

TEST(Tables, PoolCellsAreReadFromThePoolFolder) {
  Folder f;
  tlctest::CellSpec local = Cell("HERE", 1);
  local.boxes = {Box(kMetal, 0, 0, 1, 1)};
  tlctest::CellSpec pooled = Cell("THERE", 1 | db::kAttachedBit);
  pooled.boxes = {Box(kMetal, 0, 0, 1, 1), Box(kMetal, 2, 2, 3, 3)};
  f.Make({local, pooled}, 1, "POOL=pool\\\r\n");
  // A same-named file in the current folder must not be the one read.
  f.Write("THERE.BP6", "");
  auto t = std::make_unique<TraceTables>();
  ASSERT_EQ(t->LoadCellGeometry(f.drawing, 2), 0);
  EXPECT_EQ(t->boxCount, 2);
  ASSERT_EQ(t->LoadCellGeometry(f.drawing, 1), 0);
  EXPECT_EQ(t->boxCount, 1);
}

TEST(Tables, FetchedInstanceCarriesItsCellAndTurnedOutline) {
  Folder f;
  tlctest::CellSpec top = Cell("TOP", 2);
  top.refs = {Ref("LEAF", 100, 100, 1), Ref("LEAF", 0, 0, 6)};
  f.Make({Cell("LEAF", 1, 0, 0, 10, 20), top});
  auto t = std::make_unique<TraceTables>();
  ASSERT_EQ(t->LoadInstances(f.drawing, 2), 1);
  ASSERT_EQ(t->instanceCount(), 2);
  f.drawing.index.rows[1].flags |= ext::kSymbolCellBit;
  const ext::PlacedInstance a = t->FetchInstance(f.drawing, 1);
  EXPECT_EQ(a.name, "LEAF");
  EXPECT_EQ(a.rank, 1);
  EXPECT_TRUE(a.symbol);
  EXPECT_FALSE(a.unconnected);
  EXPECT_EQ(a.orientation, 1);
  EXPECT_EQ((std::vector<int>{a.left, a.bottom, a.right, a.top}), (std::vector<int>{80, 100, 100, 110}));
  const ext::PlacedInstance b = t->FetchInstance(f.drawing, 2);
  EXPECT_EQ((std::vector<int>{b.left, b.bottom, b.right, b.top}), (std::vector<int>{-10, 0, 0, 20}));
  EXPECT_EQ(ext::FindTopCell(f.drawing.index, "leaf"), 1);
  EXPECT_EQ(ext::FindTopCell(f.drawing.index, "LEA"), 0);
}

// The row takes 11 bits of the word: a damaged row 1500 names no cell, not row 476 (its low 10 bits).
TEST(Tables, FetchedInstanceReadsTheWholeRowField) {
  Folder f;
  f.Make({Cell("LEAF", 1, 0, 0, 10, 20), Cell("TOP", 2)});
  db::CellIndex& index = f.drawing.index;
  index.count = db::kCellIndexRows - 1;
  index.rows[476] = index.rows[1];
  index.rows[476].name = "WRONG";
  index.rows[index.count] = index.rows[1];
  index.rows[index.count].name = "LAST";
  std::string cl6;
  for (std::int32_t w : {1500 | (3 << 11), 5, 6, index.count | (3 << 11), 7, 8, 0, 0, 0}) {
    unsigned char b[4];
    db::PutLe32(b, w);
    cl6.append(reinterpret_cast<char*>(b), 4);
  }
  f.Write("TOP.CL6", cl6);
  auto t = std::make_unique<TraceTables>();
  std::vector<std::string> told;
  t->setAside = [&](const std::string& cell, const db::AsideRecords& records) {
    told.push_back(cell + ": " + db::DescribeAsideRecords(records));
  };
  ASSERT_EQ(t->LoadInstances(f.drawing, 2), 1);
  // Row 1500 names no cell: the loader sets it aside, and the run is told.
  ASSERT_EQ(t->instanceCount(), 1);
  EXPECT_EQ(told, (std::vector<std::string>{
                      "TOP: 1 Record Set Aside: Cell Reference to Row 1500 ... Kept in the Cell Files"}));
  const ext::PlacedInstance last = t->FetchInstance(f.drawing, 1);
  EXPECT_EQ(last.row, index.count);
  EXPECT_EQ(last.name, "LAST");
  EXPECT_EQ(last.orientation, 3);
}

}  // namespace
}  // namespace exttest
