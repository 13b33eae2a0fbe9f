#include "editor/db/collection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>

#include "editor/db/current_cell.h"
#include "editor/db/tests/collection_files.h"
#include "editor/db/tests/drawing_folder.h"

namespace {

using dbtest::CellSpec;
using dbtest::DecodeBp6;
using dbtest::DecodeCl6;
using dbtest::Flatten;
using dbtest::ReadIndex;
using dbtest::Snapshot;
using Events = std::vector<std::string>;

using tell::Answer;

// A command's Yes/No question, and its stage text in the SYSTEM dialog.
std::string Sure(std::string_view caption, std::string_view text) {
  return tell::Recorder::BoxLine(caption, text, tell::Buttons::YesNo);
}
std::string Stage(int n) {
  return "item " + std::to_string(n == db::kStageDone ? db::kDoneItem : db::kStageItem) + " " +
         tell::QuoteForLog(db::ProgressText(n));
}

// Rows: 1 LEAF, 2 PAD (rank 1), 3 MID (2: LEAF, PAD turned), 4 TOP (3: MID, LEAF, PAD), 5 SIDE (2:
// PAD), 6 ROOT (4: TOP and SIDE, so rows above a killed MID are placed somewhere).
std::vector<CellSpec> Hierarchy() {
  return {
      {"LEAF", 1, {{1, 0, 0, 10, 10}}, {}},
      {"PAD", 1, {{2, 0, 0, 5, 3}}, {}},
      {"MID", 2, {{3, 0, 0, 1, 1}}, {{1, 100, 0, 0}, {2, 0, 100, 1}}},
      {"TOP", 3, {{4, -1, -1, 1, 1}}, {{3, 1000, 0, 0}, {1, 0, 1000, 2}, {2, 5, 5, 6}}},
      {"SIDE", 2, {}, {{2, 0, 0, 3}}},
      {"ROOT", 4, {}, {{4, 0, 0, 0}, {5, 7, 7, 5}, {4, 50000, 0, 4}}},
  };
}

struct Collection : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;
  tell::Recorder& t = d.talk;  // the database's talk and the commands' in one list

  void Write(const std::vector<CellSpec>& cells) {
    dbtest::WriteCollection(f.folder, cells);
    ASSERT_EQ(db::ReadCellIndex(d->index), 1);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> n;
    for (const auto& r : ReadIndex(f.folder)) n.push_back(r.name);
    return n;
  }
  std::vector<int> RefRows(const std::string& cell) {
    std::vector<int> rows;
    for (const auto& r : DecodeCl6(dbtest::ReadBytes(dbtest::FileIn(f.folder, cell + ".CL6"))))
      rows.push_back(r[0] & 0x7FF);
    return rows;
  }
  Events Said() const { return dbtest::Messages(t); }
};

TEST_F(Collection, KillMovesLaterRowsDownAndEveryReferenceFollows) {
  Write(Hierarchy());
  const auto rootBefore = Flatten(f.folder, "ROOT");
  t.boxAnswers = {Answer::Yes, Answer::Yes};  // you sure; used in TOP
  EXPECT_EQ(db::KillCell(*d, t, "mid"), 1);
  EXPECT_EQ(Said(), (Events{Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?"),
                            Sure("Kill", "Cell is Used in TOP ... Continue ?"), Stage(5),
                            Stage(0)}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"LEAF", "PAD", "TOP", "SIDE", "ROOT"}));
  EXPECT_EQ(RefRows("TOP"), (std::vector<int>{1, 2}));
  EXPECT_EQ(RefRows("ROOT"), (std::vector<int>{3, 4, 3}));
  EXPECT_EQ(RefRows("SIDE"), (std::vector<int>{2}));
  EXPECT_FALSE(f.Has("MID.BP6") || f.Has("MID.CL6"));
  // TOP's row counts what its CL6 holds now.
  EXPECT_EQ(ReadIndex(f.folder)[2].v[8], 2);
  // MID's box and the LEAF and PAD it placed left both TOPs; everything else stayed where it was.
  auto after = Flatten(f.folder, "ROOT");
  EXPECT_EQ(after.size(), rootBefore.size() - 6);
  EXPECT_TRUE(std::includes(rootBefore.begin(), rootBefore.end(), after.begin(), after.end()));
  for (const std::string& line : after) EXPECT_NE(line[0], '3') << line;
  EXPECT_EQ(d->index.count, 5);
}

TEST_F(Collection, KillThatStopsChangesNothing) {
  struct Case {
    const char* what;
    std::deque<Answer> answers;
    std::function<void(dbtest::DrawingFolder&)> damage;
    Events said;
  };
  const Case cases[] = {
      {"not sure", {Answer::No}, {}, {Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?")}},
      {"used, and the user keeps it", {Answer::Yes, Answer::No}, {},
       {Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?"),
        Sure("Kill", "Cell is Used in TOP ... Continue ?")}},
      // A CL6 cut inside a record: its references could not be renumbered, so nothing is.
      {"damaged CL6 of a user", {Answer::Yes, Answer::Yes},
       [](dbtest::DrawingFolder& f) { f.Write("ROOT.CL6", f.Read("ROOT.CL6").substr(0, 17)); },
       {Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?"),
        Sure("Kill", "Cell is Used in TOP ... Continue ?"), dbtest::Message(7)}},
      // ROOT's new table cannot be written (a folder stands where it goes): TOP's, written already,
      // must not take effect either.
      {"a table that cannot be written", {Answer::Yes, Answer::Yes},
       [](dbtest::DrawingFolder& f) { std::filesystem::create_directory(f.Path("Root.new.cl6")); },
       {Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?"),
        Sure("Kill", "Cell is Used in TOP ... Continue ?"), Stage(5), dbtest::Message(11)}},
      // ROOT's old table cannot be moved aside: TOP's, put in place already, goes back.
      {"a table that cannot be put in place", {Answer::Yes, Answer::Yes},
       [](dbtest::DrawingFolder& f) { std::filesystem::create_directory(f.Path("Root.old.cl6")); },
       {Sure("Kill", "MID will be Removed Completely\n\nYou Sure ?"),
        Sure("Kill", "Cell is Used in TOP ... Continue ?"), Stage(5), dbtest::Message(11)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& e : std::filesystem::directory_iterator(f.folder)) std::filesystem::remove_all(e.path());
    Write(Hierarchy());
    if (c.damage) c.damage(f);
    const auto before = Snapshot(f.folder);
    t.events.clear();
    t.boxAnswers = c.answers;
    EXPECT_EQ(db::KillCell(*d, t, "MID"), 0);
    EXPECT_EQ(Said(), c.said);
    EXPECT_EQ(Snapshot(f.folder), before);
    EXPECT_EQ(d->index.count, 6);
  }
}

TEST_F(Collection, KillOfTheOpenCellClosesItAndRowsBelowTheOpenOneMoveWithIt) {
  Write(Hierarchy());
  d->current.name = "ROOT";
  d->current.row = 6;
  t.boxAnswers = {Answer::Yes, Answer::Yes};
  ASSERT_EQ(db::KillCell(*d, t, "SIDE"), 1);
  EXPECT_EQ(d->current.row, 5);
  EXPECT_EQ(d->current.name, "ROOT");
  t.boxAnswers = {Answer::Yes};
  ASSERT_EQ(db::KillCell(*d, t, "ROOT"), 1);
  EXPECT_EQ(d->current.row, 0);
  EXPECT_EQ(d->current.name, "(none)");
  EXPECT_EQ(Names(), (std::vector<std::string>{"LEAF", "PAD", "MID", "TOP"}));
}

TEST_F(Collection, RenameMovesTheFilesAndTheRowAndLeavesThePictureAlone) {
  Write(Hierarchy());
  d->current.name = "MID";
  const auto before = Flatten(f.folder, "ROOT");
  EXPECT_EQ(db::RenameCell(*d, t, "mid", "core"), 1);
  EXPECT_EQ(Said(), (Events{Stage(8), Stage(0)}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"LEAF", "PAD", "CORE", "TOP", "SIDE", "ROOT"}));
  EXPECT_TRUE(f.Has("Core.bp6") && f.Has("Core.cl6"));
  EXPECT_FALSE(f.Has("MID.BP6") || f.Has("MID.CL6"));
  EXPECT_EQ(Flatten(f.folder, "ROOT"), before);
  EXPECT_EQ(d->current.name, "CORE");
}

TEST_F(Collection, RenameRefusalsLeaveEveryFileAsItWas) {
  auto cells = Hierarchy();
  cells.push_back({"POOLED", 17, {}, {}});
  Write(cells);
  f.Write("Spare.bp6", "left over");  // a stray file holding the new name
  const auto before = Snapshot(f.folder);
  struct Case {
    const char* from;
    const char* to;
    std::string said;
  };
  const Case cases[] = {
      {"MI:D", "X", dbtest::Message(1)}, {"NONE", "X", dbtest::Message(4)},  {"POOLED", "X", dbtest::Message(2)},
      {"MID", "A.B", dbtest::Message(1)}, {"MID", "top", dbtest::Message(3)}, {"MID", "spare", dbtest::Message(11)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
    t.events.clear();
    EXPECT_EQ(db::RenameCell(*d, t, c.from, c.to), 0);
    ASSERT_FALSE(Said().empty());
    EXPECT_EQ(Said().back(), c.said);
    EXPECT_EQ(Snapshot(f.folder), before);
    EXPECT_EQ(d->index.rows[3].name, "MID");
  }
}

TEST_F(Collection, CellSortOrdersByRankThenNameAndReferencesFollow) {
  Write({{"B", 2, {{1, 0, 0, 2, 2}}, {{3, 10, 0, 0}}},
         {"A", 2, {{2, 0, 0, 2, 2}}, {{3, 0, 10, 1}}},
         {"C", 1, {{3, 0, 0, 4, 1}}, {}},
         {"T", 3, {}, {{1, 0, 0, 0}, {2, 100, 0, 3}}}});
  d->current.name = "B";
  d->current.row = 1;
  const auto before = Flatten(f.folder, "T");
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::SortCells(*d, t), 1);
  EXPECT_EQ(Said(), (Events{Sure("CellSort", "Cells to be Sorted ... You Sure ?"), Stage(9),
                            Stage(0)}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"C", "A", "B", "T"}));
  EXPECT_EQ(RefRows("T"), (std::vector<int>{3, 2}));
  EXPECT_EQ(RefRows("A"), (std::vector<int>{1}));
  EXPECT_EQ(Flatten(f.folder, "T"), before);
  EXPECT_EQ(d->current.row, 3);
  EXPECT_TRUE(dbtest::FileIn(f.folder, "C.CL6").empty());  // a rank-1 cell gets no CL6
}

TEST_F(Collection, CellSortWithAnUnreadableTableSortsNothing) {
  Write({{"B", 2, {}, {{2, 0, 0, 0}}}, {"A", 1, {}, {}}});
  f.Write("B.CL6", f.Read("B.CL6").substr(0, 5));  // cut inside its first record
  const auto before = Snapshot(f.folder);
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::SortCells(*d, t), 0);
  EXPECT_EQ(Said().back(), dbtest::Message(7));
  EXPECT_EQ(Snapshot(f.folder), before);
  EXPECT_EQ(d->index.rows[1].name, "B");
}

TEST_F(Collection, RerankOfEveryCellGivesOneAboveWhatItPlaces) {
  Write({{"L", 1, {}, {}}, {"HIGH", 5, {}, {{1, 0, 0, 0}}}, {"MID", 2, {}, {{2, 0, 0, 0}}}});
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::RerankCells(*d, t, "*", 0), 1);
  std::vector<std::int64_t> ranks;
  for (const auto& r : ReadIndex(f.folder)) ranks.push_back(r.Rank());
  EXPECT_EQ(ranks, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST_F(Collection, RerankOfOneCellKeepsTheRankRuleUpTheWholeHierarchy) {
  // A (3) places B (2) places C (1): C to 2 pushes B to 3, and A, which places B, to 4.
  Write({{"C", 1, {}, {}}, {"B", 2, {}, {{1, 0, 0, 0}}}, {"A", 3, {}, {{2, 0, 0, 0}}}, {"X", 2, {}, {}}});
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::RerankCells(*d, t, "c", 2), 1);
  std::vector<std::int64_t> ranks;
  for (const auto& r : ReadIndex(f.folder)) ranks.push_back(r.Rank());
  EXPECT_EQ(ranks, (std::vector<std::int64_t>{2, 3, 4, 2}));
  EXPECT_EQ(Said(), (Events{Sure("ReRank", "You Sure ?"), Stage(6), Stage(0)}));
}

TEST_F(Collection, RerankFailuresRestoreTheRanks) {
  // A cell that places itself can never sit above what it places.
  Write({{"L", 1, {}, {}}, {"LOOP", 2, {}, {{2, 0, 0, 0}}}, {"POOLED", 17, {}, {}}});
  const auto before = Snapshot(f.folder);
  struct Case {
    const char* name;
    int rank;
    std::string said;
  };
  const Case cases[] = {{"*", 0, dbtest::Message(5)}, {"L", 3, dbtest::Message(5)}, {"NOPE", 2, dbtest::Message(4)},
                        {"POOLED", 2, dbtest::Message(2)}, {"L?", 2, dbtest::Message(1)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    t.events.clear();
    t.boxAnswers = {Answer::Yes};
    EXPECT_EQ(db::RerankCells(*d, t, c.name, c.rank), 0);
    EXPECT_NE(std::find(t.events.begin(), t.events.end(), c.said), t.events.end());
    EXPECT_EQ(Snapshot(f.folder), before);
    EXPECT_EQ(d->index.rows[1].flags, 1);
    EXPECT_EQ(d->index.rows[2].flags, 2);
  }
}

TEST_F(Collection, ResizeScalesGeometryReferencesAndOutlineHeldToTenTimes) {
  using dbtest::Words;
  Write({{"LEAF", 1, {}, {}}, {"TOP", 2, {}, {{1, 3, -4, 0}}}, {"POOLED", 17, {}, {}}});
  // A box, a path of width 3, a text of size 30 with its character vertex, on LEAF.
  f.Write("LEAF.BP6", Words({1, 1, -2, 3, 4}) + std::string(20, '\0') + Words({2, 3, 1}) +
                          Words({static_cast<std::int64_t>(0x80000002), 30, 3}) + std::string(12, '\0') +
                          Words({1, 5, 5, 2}) + Words({1, -7, 0, 0}) + Words({2, 1, 1, 4}) +
                          Words({static_cast<std::int64_t>(0x80000002), 0x41420000, 0, 0}) + std::string(16, '\0'));
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::ResizeCells(*d, t, "*", 20), 1);
  EXPECT_EQ(Said(), (Events{Sure("ReSize", "You Sure ?"), Stage(7), Stage(0)}));
  auto leaf = DecodeBp6(f.Read("LEAF.BP6"));
  EXPECT_EQ(leaf.boxes[0], (std::vector<std::int32_t>{1, 10, -20, 30, 40}));
  EXPECT_EQ(leaf.paths[0][1], 30);
  EXPECT_EQ(leaf.paths[1][1], 300);
  EXPECT_EQ(leaf.vertices[1], (std::vector<std::int32_t>{1, -70, 0, 0}));
  EXPECT_EQ(leaf.vertices[3][1], 0x41420000);  // the characters are no coordinates
  EXPECT_EQ(DecodeCl6(f.Read("TOP.CL6"))[0], (std::vector<std::int32_t>{1, 30, -40}));
  EXPECT_EQ(ReadIndex(f.folder)[1].v[1], -1000);  // outline -100 x 10
  EXPECT_EQ(ReadIndex(f.folder)[2].v[1], -100);   // the attached cell is left alone
}

TEST_F(Collection, ResizeOfOneCellRoundsTextSizesAndNeedsTheCell) {
  using dbtest::Words;
  Write({{"T", 1, {}, {}}});
  f.Write("T.BP6", std::string(20, '\0') + Words({static_cast<std::int64_t>(0x80000001), 45, 1}) +
                       std::string(12, '\0') + Words({1, 0, 0, 0}) + std::string(16, '\0'));
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::ResizeCells(*d, t, "t", 0.5), 1);  // 22.5 cut to 22, rounded to 15
  EXPECT_EQ(DecodeBp6(f.Read("T.BP6")).paths[0][1], 15);
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::ResizeCells(*d, t, "NONE", 2), 0);
  EXPECT_EQ(Said().back(), dbtest::Message(4));
  t.boxAnswers = {Answer::No};
  const auto before = Snapshot(f.folder);
  EXPECT_EQ(db::ResizeCells(*d, t, "T", 2), 0);
  EXPECT_EQ(Snapshot(f.folder), before);
}

TEST_F(Collection, CopyMakesANewCellOfTheSourceRankWithItsChainsRelinked) {
  using dbtest::Words;
  Write(Hierarchy());
  // Two paths on MID, so the second's chain has to be renumbered behind the first.
  f.Write("MID.BP6", Words({3, 0, 0, 1, 1}) + std::string(20, '\0') + Words({1, 0, 1}) + Words({1, 0, 3}) +
                         std::string(12, '\0') + Words({1, 0, 0, 2}) + Words({1, 1, 1, 0}) + Words({2, 5, 5, 4}) +
                         Words({2, 6, 6, 0}) + std::string(16, '\0'));
  EXPECT_EQ(db::CopyOrAppendCell(*d, t, "mid", "twin"), 1);
  EXPECT_EQ(Said(), (Events{Stage(3), Stage(0)}));
  auto rows = ReadIndex(f.folder);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[6].name, "TWIN");
  EXPECT_EQ(rows[6].Rank(), 2);
  EXPECT_EQ(f.Read("Twin.bp6"), f.Read("MID.BP6"));
  EXPECT_EQ(f.Read("Twin.cl6"), f.Read("MID.CL6"));
}

TEST_F(Collection, AppendKeepsOnlyReferencesToLowerRanksAndSelectsWhatCame) {
  Write(Hierarchy());
  // TOP (3) appended to SIDE (2): MID (2) may not be placed in SIDE, LEAF and PAD may.
  EXPECT_EQ(db::CopyOrAppendCell(*d, t, "TOP", "SIDE"), 1);
  EXPECT_EQ(Said(), (Events{Stage(4), Stage(0)}));
  auto refs = DecodeCl6(f.Read("SIDE.CL6"));
  ASSERT_EQ(refs.size(), 3u);
  EXPECT_EQ(refs[0][0], 2 | (3 << 11));  // SIDE's own, not selected
  EXPECT_EQ(refs[1][0], 1 | (2 << 11) | 0x10000);
  EXPECT_EQ(refs[2][0], 2 | (6 << 11) | 0x10000);
  auto side = DecodeBp6(f.Read("SIDE.BP6"));
  ASSERT_EQ(side.boxes.size(), 1u);
  EXPECT_EQ(side.boxes[0][0], 4 | 0xF00);
  EXPECT_EQ(ReadIndex(f.folder)[4].v[5], 1);
  EXPECT_EQ(ReadIndex(f.folder)[4].v[8], 3);
}

TEST_F(Collection, CopyRefusalsAndAFailedAppendChangeNothing) {
  auto cells = Hierarchy();
  cells.push_back({"POOLED", 17, {}, {}});
  Write(cells);
  f.Write("PAD.BP6", f.Read("PAD.BP6").substr(0, 7));  // cut inside its first box
  const auto before = Snapshot(f.folder);
  struct Case {
    const char* from;
    const char* to;
    std::string said;
  };
  const Case cases[] = {{"M*D", "X", dbtest::Message(1)},   {"MID", "", dbtest::Message(1)},
                        {"NONE", "X", dbtest::Message(4)},  {"POOLED", "X", dbtest::Message(21)},
                        {"MID", "POOLED", dbtest::Message(21)}, {"PAD", "LEAF", dbtest::Message(6)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
    t.events.clear();
    EXPECT_EQ(db::CopyOrAppendCell(*d, t, c.from, c.to), 0);
    ASSERT_FALSE(Said().empty());
    EXPECT_EQ(Said().back(), c.said);
    EXPECT_EQ(Snapshot(f.folder), before);
  }
  EXPECT_EQ(d->index.count, 7);
}

// A collection of 513 rows (a file can hold that many) is over the limit: it still opens, renames
// and deletes its cells, and refuses new ones with a message.
TEST_F(Collection, FullCollectionRefusesNewCellsOnlyWhereTheyAreMade) {
  std::vector<CellSpec> cells;
  for (int i = 0; i < 513; ++i) cells.push_back({"C" + std::to_string(i), 1, {}, {}});
  Write(cells);
  d->form.poolFolder = "C:\\Pool\\";
  std::filesystem::create_directories(f.root + "/Pool");
  dbtest::WriteCollection(f.root + "/Pool", {{"PX", 1, {}, {}}});
  EXPECT_EQ(db::CopyOrAppendCell(*d, t, "C1", "NEW"), 0);
  EXPECT_EQ(db::AttachCell(*d, t, "PX"), 0);
  EXPECT_EQ(Said(), (Events{Stage(3), dbtest::Message(2), dbtest::Message(2)}));
  EXPECT_EQ(db::RenameCell(*d, t, "C1", "ONE"), 1);
  t.boxAnswers = {Answer::Yes};
  EXPECT_EQ(db::KillCell(*d, t, "C2"), 1);
  EXPECT_EQ(ReadIndex(f.folder).size(), 512u);
}

struct Pool : Collection {
  void SetUp() override {
    std::filesystem::create_directories(f.root + "/Lib");
    dbtest::WriteCollection(f.root + "/Lib", {{"GATE", 1, {{5, 0, 0, 7, 7}}, {}},
                                               {"BLOCK", 2, {}, {{1, 0, 0, 0}}},
                                               {"nand", 1, {{6, 1, 1, 2, 2}}, {}}});
    d->form.poolFolder = "C:\\LIB\\";
    Write({{"LOCAL", 1, {{1, 0, 0, 1, 1}}, {}}});
  }
};

TEST_F(Pool, AttachTakesThePoolRowAndMarksItAttached) {
  EXPECT_EQ(db::AttachCell(*d, t, "gate"), 1);
  EXPECT_EQ(db::AttachCell(*d, t, "NAND"), 1);  // the pool wrote it in lower case
  auto rows = ReadIndex(f.folder);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].name, "GATE");
  EXPECT_EQ(rows[1].v, (std::array<std::int64_t, 9>{17, -100, -100, 100, 100, 1, 0, 0, 0}));
  EXPECT_FALSE(f.Has("GATE.BP6") || f.Has("Gate.bp6"));
  EXPECT_EQ(Said(), (Events{Stage(1), Stage(0), Stage(1), Stage(0)}));
}

TEST_F(Pool, AttachRefusals) {
  t.boxAnswers = {Answer::No};
  EXPECT_EQ(db::AttachCell(*d, t, "LOCAL"), 0);  // present, and the user keeps it
  EXPECT_EQ(db::AttachCell(*d, t, "NOPE"), 0);
  EXPECT_EQ(db::AttachCell(*d, t, "BLOCK"), 0);  // its references stay behind in the pool
  d->form.poolFolder = "C:\\NOWHERE\\";
  EXPECT_EQ(db::AttachCell(*d, t, "GATE"), 0);
  EXPECT_EQ(Said(), (Events{Sure("Attach", "Cell Exists ... Continue ?"), dbtest::Message(20), dbtest::Message(20),
                            dbtest::Message(18)}));
  EXPECT_EQ(ReadIndex(f.folder).size(), 1u);
}

TEST_F(Pool, ImportCopiesThePoolGeometryIntoTheFolder) {
  ASSERT_EQ(db::AttachCell(*d, t, "GATE"), 1);
  t.events.clear();
  EXPECT_EQ(db::ImportCell(*d, t, "GATE", "MYGATE"), 1);
  EXPECT_EQ(db::ImportCell(*d, t, "GATE", "GATE"), 1);  // the attached cell becomes a local one
  EXPECT_EQ(Said(), (Events{Stage(2), Stage(0), Stage(2), Stage(0)}));
  auto rows = ReadIndex(f.folder);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].v[0], 1);
  EXPECT_EQ(rows[2].name, "MYGATE");
  EXPECT_EQ(rows[2].v, (std::array<std::int64_t, 9>{1, 0, 0, 7, 7, 1, 0, 0, 0}));
  EXPECT_EQ(DecodeBp6(f.Read("Mygate.bp6")).boxes[0], (std::vector<std::int32_t>{5, 0, 0, 7, 7}));
  EXPECT_TRUE(f.Has("Gate.bp6"));

  t.events.clear();
  EXPECT_EQ(db::ImportCell(*d, t, "LOCAL", "X"), 0);
  EXPECT_EQ(db::ImportCell(*d, t, "NONE", "X"), 0);
  ASSERT_EQ(db::AttachCell(*d, t, "NAND"), 1);
  EXPECT_EQ(db::ImportCell(*d, t, "NAND", "LOCAL"), 0);
  EXPECT_EQ(Said(), (Events{dbtest::Message(20), dbtest::Message(4), Stage(1), Stage(0), dbtest::Message(3)}));
}

TEST_F(Collection, ScaleTakesTheMagnitudeAndRefusesZero) {
  std::string maxSize;
  EXPECT_EQ(db::SetCollectionScale(*d, "milsandmore", -100, &maxSize), 1);
  EXPECT_EQ(d->settings.scale, 100);
  EXPECT_EQ(d->settings.unitName, "milsa");
  EXPECT_EQ(maxSize, "Max. Size will be 167772 milsa");
  EXPECT_TRUE(f.Has("Consts6.dbd"));
  for (double bad : {0.0, -0.0, std::nan(""), 1e301, 1e-310}) {
    EXPECT_EQ(db::SetCollectionScale(*d, "um", bad, &maxSize), 0);
    EXPECT_EQ(d->settings.scale, 100);
    EXPECT_EQ(d->settings.unitName, "milsa");
  }
}

TEST_F(Collection, CloneCopiesTheSettingsIntoANewOrExistingFolder) {
  f.Write("FORM.DBD", "pool=\nlayer=poly 1\n");
  f.Write("CONSTS6.DBD", "6.05\r\n20\r\n");
  const std::string target = f.root + "/Copies/next";
  std::filesystem::create_directories(f.root + "/Copies");
  EXPECT_EQ(db::CloneFolder(*d, t, "C:\\Copies\\next\\"), 1);
  EXPECT_EQ(dbtest::ReadBytes(f.root + "/Copies/Next/Form.dbd"), "pool=\r\nlayer=poly 1\r\n");
  EXPECT_EQ(dbtest::ReadBytes(f.root + "/Copies/Next/Consts6.dbd"), "6.05\r\n20\r\n");

  f.Write("CONSTS6.DBD", "6.05\r\n40\r\n");
  t.boxAnswers = {Answer::Cancel, Answer::Ok};
  EXPECT_EQ(db::CloneFolder(*d, t, "C:\\Copies\\Next"), 0);
  EXPECT_EQ(dbtest::ReadBytes(f.root + "/Copies/Next/Consts6.dbd"), "6.05\r\n20\r\n");
  EXPECT_EQ(db::CloneFolder(*d, t, "C:\\Copies\\Next"), 1);
  EXPECT_EQ(dbtest::ReadBytes(f.root + "/Copies/Next/Consts6.dbd"), "6.05\r\n40\r\n");
  EXPECT_EQ(db::CloneFolder(*d, t, "C:\\Nowhere\\Next"), 0);
  EXPECT_EQ(Said(), (Events{Stage(0), tell::Recorder::BoxLine("MERO", "Folder Exists", tell::Buttons::OkCancel),
                            tell::Recorder::BoxLine("MERO", "Folder Exists", tell::Buttons::OkCancel), Stage(0), dbtest::Message(31)}));
}

}  // namespace
