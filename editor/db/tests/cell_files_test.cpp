#include "editor/db/cell_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editor/db/tests/drawing_folder.h"
#include "editor/db/tests/sample_cell.h"

namespace {

using dbtest::Words;
using dbtest::Zeros;

using dbtest::SampleBoxes;
using dbtest::SampleBp6;
using dbtest::SamplePaths;
using dbtest::SampleVertices;
constexpr std::int64_t kText = dbtest::kTextFlag;

std::string SampleCl6() {
  return Words({1, 0, 0}) + Words({2 | (7 << 11) | 0x4000, -5, 9}) + Words({1 | (4 << 11), 3, 3}) +
         Zeros(12);
}

struct CellFiles : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;
  void SetUp() override {
    d->index.count = 3;
    d->index.rows[1] = {"LEAF", 1, 0, 0, 100, 50, 2, 3, 8, 0};
    d->index.rows[2] = {"MID", 2, 0, 0, 10, 10, 0, 0, 0, 0};
    d->index.rows[3] = {"TOP", 3, 0, 0, 10, 10, 0, 0, 0, 3};
  }
  db::ObjectStore& s() { return d->store; }
};

TEST_F(CellFiles, SavedFilesAreByteForByteWhatWasLoaded) {
  f.Write("LEAF.BP6", SampleBp6());
  f.Write("TOP.CL6", SampleCl6());
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  EXPECT_EQ(d->load.loadedCell, 1);
  EXPECT_EQ(s().boxCount, 2);
  EXPECT_EQ(s().pathCount, 3);
  EXPECT_EQ(s().vertexCount, 8);
  EXPECT_EQ(db::CountPathVertices(*d, 2), 4);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 3, 0), 0);
  EXPECT_EQ(s().refCount[0], 3);
  EXPECT_EQ(d->load.levelCell[0], 3);

  ASSERT_EQ(db::SaveObjectsByName(*d, "COPY"), 0);
  ASSERT_EQ(db::SaveRefsByName(*d, "COPY"), 0);
  EXPECT_EQ(f.Read("Copy.bp6"), SampleBp6());
  EXPECT_EQ(f.Read("Copy.cl6"), SampleCl6());
  // Sizes: 20 per box, 12 per path, 16 per vertex and 48 for the three end records; 12 a reference.
  EXPECT_EQ(f.Read("Copy.bp6").size(), 20u * 2 + 12 * 3 + 16 * 8 + 48);
  EXPECT_EQ(f.Read("Copy.cl6").size(), 12u * 3 + 12);
}

TEST_F(CellFiles, EmptyAndShortFilesThatEndAtATableAreEmptyCells) {
  for (std::string bytes : {std::string(), Zeros(20), Zeros(48), Zeros(1000),
                            SampleBoxes() + Zeros(20)}) {
    f.Write("LEAF.BP6", bytes);
    s().boxCount = 99;
    ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0) << bytes.size();
    EXPECT_EQ(s().boxCount, bytes.size() > 500 || bytes.size() < 60 ? 0 : 2);
    EXPECT_EQ(s().pathCount, 0);
    EXPECT_EQ(s().vertexCount, 0);
    EXPECT_EQ(d->load.objectLoadError, 0);
  }
  f.Write("MID.CL6", "");
  ASSERT_EQ(db::LoadRefsOfCell(*d, 2, 0), 0);
  EXPECT_EQ(s().refCount[0], 0);
}

TEST_F(CellFiles, LoadingALevelWithoutBaseFreesItAndTheLevelsBelow) {
  f.Write("TOP.CL6", SampleCl6());
  for (int level = 0; level < 5; ++level) ASSERT_EQ(db::LoadRefsOfCell(*d, 3, level), 0);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 2, 3), 1) << "MID has no CL6";
  EXPECT_EQ(d->load.refLoadFailed, 1);
  for (int level = 0; level < 3; ++level) {
    EXPECT_EQ(s().refs[level].AllocatedPages(), 1) << level;
    EXPECT_EQ(d->load.levelCell[level], 3) << level;
  }
  EXPECT_EQ(s().refs[4].AllocatedPages(), 0);
  EXPECT_EQ(d->load.levelCell[4], 0);
  EXPECT_EQ(s().refCount[3], 0);
}

TEST_F(CellFiles, DamagedBp6FilesFailAndAreNeverWrittenOver) {
  const std::string vertices = SampleVertices();
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"cut inside the vertex table", SampleBoxes() + Zeros(20) + SamplePaths() + Zeros(12) +
                                          vertices.substr(0, 16 * 5)},
      {"cut inside a record", SampleBoxes().substr(0, 30)},
      {"box table without its end", SampleBoxes()},
      {"paths pointing at vertices the file lacks", SampleBoxes() + Zeros(20) + SamplePaths() + Zeros(12)},
      {"chain running in a circle", SampleBoxes() + Zeros(20) + SamplePaths() + Zeros(12) +
                                        vertices.substr(0, 16 * 5) + Words({2, 0, 0, 3}) +
                                        vertices.substr(16 * 6) + Zeros(16)},
      {"next link beyond the vertices", SampleBoxes() + Zeros(20) + SamplePaths() + Zeros(12) +
                                            Words({1, 0, 0, 9}) + vertices.substr(16) + Zeros(16)},
      {"a record after the last table's end", SampleBp6() + Words({1, 0, 0, 1, 1})},
  };
  for (const Case& c : cases) {
    f.Write("LEAF.BP6", c.bytes);
    EXPECT_EQ(db::LoadObjectsOfCell(*d, 1), 1) << c.what;
    EXPECT_EQ(d->load.objectLoadError, 1) << c.what;
    EXPECT_EQ(d->load.objectLoadFailed, 1) << c.what;
    EXPECT_EQ(d->load.loadedCell, 0) << c.what;
    EXPECT_EQ(db::SaveObjectsOfCell(*d, 1), 1) << c.what;
    EXPECT_EQ(f.Read("LEAF.BP6"), c.bytes) << c.what;
  }
  // The file cut inside its vertices keeps what it had whole, as far as the vertex table.
  f.Write("LEAF.BP6", cases[0].bytes);
  db::LoadObjectsOfCell(*d, 1);
  EXPECT_EQ(s().boxCount, 2);
  EXPECT_EQ(s().pathCount, 3);
  EXPECT_LE(db::CountPathVertices(*d, 3), 5) << "walks stop at the loaded vertices";
}

TEST_F(CellFiles, DamagedCl6FilesFailAndAreNeverWrittenOver) {
  std::string tooMany;
  tooMany.reserve(12u * 256433);
  for (int i = 0; i < 256432; ++i) tooMany += Words({1, i, 0});
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"a zero record inside", Words({1, 0, 0}) + Zeros(12) + Words({2, 0, 0}) + Zeros(12)},
      {"cut record", Words({1, 0, 0}) + Words({1, 0})},
      {"no end record", Words({1, 0, 0})},
      {"more references than a level holds", tooMany + Zeros(12)},
  };
  for (const Case& c : cases) {
    f.Write("TOP.CL6", c.bytes);
    EXPECT_EQ(db::LoadRefsOfCell(*d, 3, 0), 1) << c.what;
    EXPECT_EQ(d->load.refLoadError, 1) << c.what;
    EXPECT_EQ(db::SaveRefsOfCell(*d, 3), 1) << c.what;
    EXPECT_EQ(f.Read("TOP.CL6") == c.bytes, true) << c.what;
    for (int r = 1; r <= s().refCount[0]; ++r)
      ASSERT_TRUE(d->index.ValidRow(db::RefRowOf(s().GetCellRef(0, 0, r)))) << c.what;
  }
  // Exactly a level's worth loads.
  tooMany.resize(12u * 256431);
  f.Write("TOP.CL6", tooMany + Zeros(12));
  d->index.rows[3].refCount = 256431;
  ASSERT_EQ(db::LoadRefsOfCell(*d, 3, 0), 0);
  EXPECT_EQ(s().refCount[0], 256431);
  EXPECT_EQ(d->load.refLoadError, 0);
}

// A value the program cannot use costs neither the record nor the rest of the cell: the cell loads
// without it, and every save writes it back behind the cell's own records.
TEST_F(CellFiles, UnusableRecordsAreSetAsideAndSavedBack) {
  const std::string bp6 = Words({1, 0, 0, 100, 50}) + Words({100, 1, 2, 3, 4}) + Words({64, -10, -10, 10, 10}) +
                          Zeros(20) + Words({100, 10, 1}) + Words({3, 0, 3}) +
                          Words({kText | (3 << 11) | 4, 30, 7}) + Zeros(12) + SampleVertices() + Zeros(16);
  f.Write("LEAF.BP6", bp6);
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  EXPECT_EQ(d->load.objectLoadError, 0);
  EXPECT_EQ(s().boxCount, 2);
  EXPECT_EQ(s().GetBox(0, 2), 64);
  ASSERT_EQ(s().pathCount, 2);
  EXPECT_EQ(s().vertexCount, 6);
  EXPECT_EQ(db::CountPathVertices(*d, 1), 4);
  EXPECT_EQ(s().GetVertex(0, 1), 1) << "the polygon is path 1 now";
  EXPECT_EQ(db::CountPathVertices(*d, 2), 2);
  EXPECT_EQ(s().GetVertex(1, 6), 0x41424344);
  EXPECT_EQ(s().aside.Count(), 2);

  f.Write("TOP.CL6", Words({1, 0, 0}) + Words({0x800, 7, 7}) + Words({2 | 0x4000, -5, 9}) + Words({1500, 8, 8}) +
                         Words({4, 9, 9}) + Words({1 | (4 << 11), 3, 3}) + Zeros(12));
  ASSERT_EQ(db::LoadRefsOfCell(*d, 3, 0), 0);
  EXPECT_EQ(d->load.refLoadError, 0);
  ASSERT_EQ(s().refCount[0], 3);
  EXPECT_EQ(s().GetCellRef(0, 1, 3), 3);
  EXPECT_EQ(db::DescribeAsideRecords(s()),
            "5 Records Set Aside: Box on Layer 100, Path on Layer 100, Cell Reference to Row 0, "
            "Cell Reference to Row 1500 and More ... Kept in the Cell Files");

  ASSERT_EQ(db::SaveObjectsOfCell(*d, 1), 0);
  ASSERT_EQ(db::SaveRefsOfCell(*d, 3), 0);
  const std::string saved = Words({1, 0, 0, 100, 50}) + Words({64, -10, -10, 10, 10}) + Words({100, 1, 2, 3, 4}) +
                            Zeros(20) + Words({3, 0, 1}) + Words({kText | (3 << 11) | 4, 30, 5}) +
                            Words({100, 10, 7}) + Zeros(12) + Words({1, 0, 0, 2}) + Words({1, 10, 0, 3}) +
                            Words({1, 10, 10, 4}) + Words({1, 0, 0, 0}) + Words({2, 5, 5, 6}) +
                            Words({kText | 2, 0x41424344, 0x45000000, 0}) + Words({3, 0, 0, 8}) +
                            Words({3, 100, 0, 0}) + Zeros(16);
  EXPECT_EQ(f.Read("LEAF.BP6"), saved);
  EXPECT_EQ(f.Read("TOP.CL6"), Words({1, 0, 0}) + Words({2 | 0x4000, -5, 9}) + Words({1 | (4 << 11), 3, 3}) +
                                   Words({0x800, 7, 7}) + Words({1500, 8, 8}) + Words({4, 9, 9}) + Zeros(12));
  // Read again and saved again, the files stay as they are.
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 3, 0), 0);
  EXPECT_EQ(s().aside.Count(), 5);
  ASSERT_EQ(db::SaveObjectsByName(*d, "AGAIN"), 0);
  EXPECT_EQ(f.Read("Again.bp6"), saved);

  // Appended elsewhere, the records stay out of the copy; loading another cell forgets them.
  d->index.rows[2].boxCount = 3;
  f.Write("MID.BP6", bp6);
  ASSERT_EQ(db::AppendObjectsOfCell(*d, 2), 0);
  EXPECT_EQ(s().boxCount, 4);
  EXPECT_EQ(s().pathCount, 4);
  EXPECT_EQ(s().aside.objects.boxes.size(), 1u);
  f.Write("MID.BP6", SampleBp6());
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 2), 0);
  EXPECT_TRUE(s().aside.objects.empty());
  EXPECT_EQ(s().aside.refs.size(), 3u) << "the references belong to level 0's load";
}

TEST_F(CellFiles, BoxTableHoldsExactlyItsLimit) {
  std::string boxes;
  boxes.reserve(20u * 256034);
  for (int i = 0; i < 256033; ++i) boxes += Words({1, i, 0, i + 1, 1});
  d->index.rows[1].boxCount = 256033;
  d->index.rows[1].pathCount = d->index.rows[1].vertexCount = 0;
  f.Write("LEAF.BP6", boxes + Zeros(48));
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  EXPECT_EQ(s().boxCount, 256033);
  EXPECT_EQ(s().GetBox(1, 256033), 256032);
  f.Write("LEAF.BP6", boxes + Words({1, 0, 0, 1, 1}) + Zeros(48));
  EXPECT_EQ(db::LoadObjectsOfCell(*d, 1), 1) << "one box more than the store holds";
  EXPECT_EQ(d->load.objectLoadError, 1);
}

TEST_F(CellFiles, AFailedAppendLeavesTheOpenCellAsItWas) {
  f.Write("LEAF.BP6", SampleBp6());
  f.Write("TOP.CL6", SampleCl6());
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  ASSERT_EQ(db::LoadRefsOfCell(*d, 3, 0), 0);
  d->index.rows[2].refCount = 1;
  for (const char* bytes : {"", "damaged"}) {
    if (*bytes) {
      f.Write("MID.BP6", Words({1, 0, 0, 1, 1}));
      f.Write("MID.CL6", Words({1, 0, 0}) + Words({1, 0}));
    }
    EXPECT_NE(db::AppendObjectsOfCell(*d, 2), 0) << bytes;
    EXPECT_EQ(s().boxCount, 2);
    EXPECT_EQ(s().pathCount, 3);
    EXPECT_EQ(s().vertexCount, 8);
    EXPECT_EQ(d->load.loadedCell, 1);
    EXPECT_EQ(s().GetBox(3, 1), 100) << "the open cell's records are untouched";
    EXPECT_NE(db::AppendRefsOfCell(*d, 2), 0) << bytes;
    EXPECT_EQ(s().refCount[0], 3);
    EXPECT_EQ(s().GetCellRef(0, 1, 2), -5);
    EXPECT_EQ(d->load.objectLoadError, 0) << "the open cell's own files were read whole";
    EXPECT_EQ(d->load.refLoadError, 0);
  }
  // Nor does a good append clear the flag of an open cell whose own file was damaged.
  d->load.refLoadError = 1;
  f.Write("MID.CL6", Words({1, 0, 0}) + Zeros(12));
  ASSERT_EQ(db::AppendRefsOfCell(*d, 2), 0);
  EXPECT_EQ(s().refCount[0], 4);
  EXPECT_EQ(d->load.refLoadError, 1);
  EXPECT_EQ(db::SaveRefsOfCell(*d, 3), 1);
}

TEST_F(CellFiles, AnAppendGoesBehindWithNumbersCountingInTheFile) {
  f.Write("LEAF.BP6", SampleBp6());
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  ASSERT_EQ(db::AppendObjectsOfCell(*d, 1), 0);
  EXPECT_EQ(d->load.boxBase, 2);
  EXPECT_EQ(d->load.vertexBase, 8);
  EXPECT_EQ(s().boxCount, 4);
  EXPECT_EQ(s().pathCount, 6);
  EXPECT_EQ(s().vertexCount, 16);
  EXPECT_EQ(s().GetPath(2, 5), 3) << "the caller renumbers";
  EXPECT_EQ(s().GetVertex(3, 9), 2);
  EXPECT_EQ(s().GetVertex(1, 10), 100);
}

TEST_F(CellFiles, CapacityChecksNameTheCellAndTheLastTableOver) {
  d->index.rows[1].boxCount = 256034;
  d->index.rows[1].vertexCount = 512000;
  EXPECT_EQ(db::LoadObjectsOfCell(*d, 1), -1);
  EXPECT_EQ(d.talk.events, std::vector<std::string>{"box \"\" \"LEAF Vertex Limit\""});
  d.talk.events.clear();
  d->index.rows[1] = {"LEAF", 1, 0, 0, 0, 0, 256033, 256431, 511999, 0};
  EXPECT_EQ(db::CheckObjectCapacity(*d, 1), 0);
  d->load.pathBase = 1;
  EXPECT_EQ(db::CheckObjectCapacity(*d, 1), -1);
  EXPECT_EQ(d.talk.events, std::vector<std::string>{"box \"\" \"LEAF Path Limit\""});

  d.talk.events.clear();
  d->index.rows[3].refCount = 256431;
  EXPECT_EQ(db::CheckRefCapacity(*d, 3), 0);
  s().refCount[0] = 1;
  EXPECT_EQ(db::AppendRefsOfCell(*d, 3), -1);
  EXPECT_EQ(d.talk.events, std::vector<std::string>{"box \"\" \"TOP Cell Limit\""});
}

TEST_F(CellFiles, SelectionIsSavedAsACellOfItsOwn) {
  f.Write("LEAF.BP6", SampleBp6());
  ASSERT_EQ(db::LoadObjectsOfCell(*d, 1), 0);
  s().SetBox(1 | 0x400 | db::kOffWindowBit, 0, 2);  // box 2 partly selected, off the window
  s().SetPath(3 | db::kPathSelectedBit | db::kOffWindowBit, 0, 2);
  s().SetPath(static_cast<std::int32_t>(kText | (3 << 11) | 4 | db::kPathSelectedBit), 0, 3);
  s().SetVertex(2 | db::kVertexSelectedBit | db::kVertexKeptBit, 0, 4);
  ASSERT_EQ(db::SaveSelectedObjects(*d, "SEL"), 0);
  EXPECT_EQ(f.Read("Sel.bp6"),
            Words({1, -10, -10, 10, 10}) + Zeros(20) +                    //
                Words({3, 0, 1}) + Words({kText | (3 << 11) | 4, 30, 5}) + Zeros(12) +
                Words({1, 0, 0, 2}) + Words({1, 10, 0, 3}) + Words({1, 10, 10, 4}) +
                Words({1, 0, 0, 0}) + Words({2, 5, 5, 6}) +
                Words({kText | 2, 0x41424344, 0x45000000, 0}) + Zeros(16));

  s().refCount[0] = 2;
  s().PutCellRefRecord(0, 1, {2 | db::kRefSelectedBit | 0x4000, 1, 2});
  s().PutCellRefRecord(0, 2, {1, 3, 4});
  ASSERT_EQ(db::SaveSelectedRefs(*d, "SEL"), 0);
  EXPECT_EQ(f.Read("Sel.cl6"), Words({2 | 0x4000, 1, 2}) + Zeros(12));

  // A target that cannot be written is a failure, and nothing is left half written.
  std::filesystem::create_directory(f.Path("Bad.bp6"));
  EXPECT_EQ(db::SaveSelectedObjects(*d, "BAD"), 1);
  EXPECT_EQ(db::SaveCellObjects(*d, "BAD"), 1);
  EXPECT_EQ(db::SaveCellObjects(*d, ""), 1);
  EXPECT_EQ(db::SaveCellRefs(*d, "X", 15), 1);
}

TEST_F(CellFiles, ChainWalksEndEvenOnACircleInMemory) {
  s().vertexCount = 3;
  s().pathCount = 1;
  s().PutPathRecord(1, {1, 0, 1});
  s().PutVertexRecord(1, {1, 0, 0, 2});
  s().PutVertexRecord(2, {1, 0, 0, 3});
  s().PutVertexRecord(3, {1, 0, 0, 1});
  EXPECT_EQ(db::CountPathVertices(*d, 1), 3);
  s().PutVertexRecord(3, {1, 0, 0, 77});
  EXPECT_EQ(db::CountPathVertices(*d, 1), 3);
  EXPECT_EQ(db::CountPathVertices(*d, 2), 0);
}

TEST_F(CellFiles, EmptyCellFilesAreWrittenWithoutTheStore) {
  s().boxCount = 1;
  s().SetBox(1, 0, 1);
  ASSERT_EQ(db::SaveEmptyCellFiles("NEW1", 1), 0);
  ASSERT_EQ(db::SaveEmptyCellFiles("NEW2", 2), 0);
  EXPECT_EQ(f.Read("New1.bp6"), Zeros(48));
  EXPECT_FALSE(f.Has("New1.cl6"));
  EXPECT_EQ(f.Read("New2.cl6"), Zeros(12));
  EXPECT_EQ(s().boxCount, 1);
}

}  // namespace
