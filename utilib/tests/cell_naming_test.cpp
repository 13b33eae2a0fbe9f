#include "utilib/cell_naming.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace utilib {
namespace {

TEST(CellNaming, LegalNames) {
  struct Case {
    std::string name;
    bool legal;
  };
  const Case cases[] = {
      {"ABC$1", true},     {"NAND2", true},  {std::string(32, 'A'), true}, {"com1", true},
      {"CON", false},      {"A.B", false},   {std::string(33, 'A'), false}, {"", false},
      {"NAND 2", false},   {"MAKETEMP", false}, {"CELLBKUP", false},     {"P", false},
      {"A\\B", false},     {"A/B", false},   {"A:B", false},             {"TAB\tX", false},
      {"\xc4pfel", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidCellName(c.name, 1), c.legal) << c.name;
  EXPECT_FALSE(IsValidCellName("ABC", kMaxStructures + 1));
}

struct Naming {
  tell::Recorder ui;
  Job job{"STRMIMP", ui};
  StructureTable table;
  std::deque<std::optional<std::string>> typed;
  std::vector<std::string> asked;
  NewNameAsker Asker() {
    return [this](std::string_view rejected) {
      asked.emplace_back(rejected);
      if (typed.empty()) return std::optional<std::string>();
      auto t = typed.front();
      typed.pop_front();
      return t;
    };
  }
  void Add(const std::string& foreign) {
    ASSERT_TRUE(AddStructureName(job, table));
    table.rows.push_back({});
    table.rows.back().foreignName = foreign;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& r : table.rows) out.push_back(r.cellName);
    return out;
  }
};

TEST(CellNaming, IllegalReservedDuplicateAndLongNamesAreAskedFor) {
  Naming n;
  for (const char* f : {"top", "TOP", "CON", "a.b", "INV", "THIS_NAME_IS_FAR_TOO_LONG_FOR_A_CELL"}) n.Add(f);
  // Typed names are upper-cased and tested again: "top" is still a duplicate, "con" still reserved,
  // "inv" already the name of an earlier row.
  n.typed = {"top", "top2", "con", "con1", "ab", "inv", "long1"};
  MakeCellNames(n.job, n.table, n.Asker());
  EXPECT_FALSE(n.job.abort);
  EXPECT_EQ(n.Names(), (std::vector<std::string>{"TOP", "TOP2", "CON1", "AB", "INV", "LONG1"}));
  EXPECT_EQ(n.asked, (std::vector<std::string>{"TOP", "TOP", "CON", "CON", "A.B",
                                               "THIS_NAME_IS_FAR_TOO_LONG_FOR_A_CELL", "INV"}));
  EXPECT_EQ(n.ui.items[500], "Making MERO Cell Names ...");
  EXPECT_EQ(n.ui.items[519], "Structure THIS_NAME_IS_FAR_TOO_LONG_FOR_A_CELL -> Cell LONG1");
}

TEST(CellNaming, AbortEndsNaming) {
  Naming n;
  for (const char* f : {"A", "B.1", "C"}) n.Add(f);
  MakeCellNames(n.job, n.table, n.Asker());  // no typed names: the dialog is aborted
  EXPECT_TRUE(n.job.abort);
  EXPECT_EQ(n.Names(), (std::vector<std::string>{"A", "NONAME", ""}));
}

TEST(CellNaming, TableOverflowIsToldOnce) {
  Naming n;
  n.table.rows.resize(kMaxStructures);
  EXPECT_FALSE(AddStructureName(n.job, n.table));
  EXPECT_FALSE(AddStructureName(n.job, n.table));
  EXPECT_EQ(n.table.Count(), kMaxStructures);
  EXPECT_TRUE(n.table.overflow);
  EXPECT_EQ(n.ui.EventsOf("box"), std::vector<std::string>{"box \"STRMIMP\" \"Too Many Structures in GDS File\""});
}

TEST(CellNaming, RankSortAndReport) {
  ostest::Scratch dir;
  Naming n;
  const std::pair<const char*, int> rows[] = {{"C3", 3}, {"A1", 1}, {"B2", 2}, {"D1", 1}};
  for (auto [name, rank] : rows) {
    n.Add(name);
    n.table.rows.back().cellName = name;
    n.table.rows.back().rank = rank;
    n.table.rows.back().found = true;
  }
  SortCellsByRank(n.table);
  std::vector<int> ranks;
  for (const auto& r : n.table.rows) ranks.push_back(r.rank);
  EXPECT_EQ(ranks, (std::vector<int>{1, 1, 2, 3}));
  EXPECT_EQ(n.Names(), (std::vector<std::string>{"D1", "A1", "B2", "C3"}));

  ASSERT_TRUE(OpenReport(n.job, dir.Path("R.RPT")));
  n.table.rows.resize(1);
  ReportCellCollection(n.job, n.table);
  n.table.rows[0].boxes = 2;
  n.table.rows[0].vertices = 70000;
  WriteStructureReportLine(n.job, n.table.rows[0]);
  ASSERT_EQ(CloseReport(n.job), 1);
  EXPECT_EQ(dir.Read("R.RPT"),
            "\r\n1 Cells in Converted Cell Collection\r\n"
            "Cell                   Rank  GDS   TLC    Structure\r\n" +
                std::string(52, '-') +
                "\r\n"
                "D1                      1     Y     N     D1                      \r\n"
                "\r\n"
                "D1                      1     2       0       0       70000   0       \r\n");
}

// TOP places MID before MID's definition is read, so a later pass must raise TOP; LEAF comes in only
// as a placement; one placement found no room in the table.
TEST(CellNaming, HierarchyRanksRiseAboveWhatTheyPlace) {
  StructureTable table;
  table.rows.resize(3);  // TOP, MID, LEAF
  RankedHierarchy h;
  h.BeginDefinition(table, 0, true);
  h.Place(table, 1, true);
  h.Place(table, -1, false);
  h.EndDefinition(table);
  EXPECT_EQ(table.rows[0].rank, 1);
  h.changed = false;
  h.BeginDefinition(table, 1, false);
  h.Place(table, 2, false);  // LEAF already listed, rank 1
  EXPECT_EQ(h.CurrentRank(), 2);
  EXPECT_TRUE(h.changed);
  h.EndDefinition(table);
  EXPECT_TRUE(table.rows[0].found && table.rows[1].found && !table.rows[2].found);
  EXPECT_EQ(h.refs, (std::vector<int>{1, -1, 2}));

  std::vector<std::size_t> visited;
  EXPECT_TRUE(h.RaiseRanks(table, [&visited](std::size_t i) { visited.push_back(i); }));
  EXPECT_EQ(visited, (std::vector<std::size_t>{0, 1}));
  EXPECT_FALSE(h.RaiseRanks(table));
  EXPECT_EQ(table.rows[0].rank, 3);
  EXPECT_EQ(table.rows[1].rank, 2);
  EXPECT_EQ(table.rows[2].rank, 1);

  // A definition that places itself rises on every pass: the importers stop it by depth.
  h.BeginDefinition(table, 2, false);
  h.Place(table, 2, false);
  h.EndDefinition(table);
  for (int pass = 0; pass < 3; ++pass) EXPECT_TRUE(h.RaiseRanks(table));
  EXPECT_GT(table.rows[2].rank, 4);
}

TEST(CellNaming, PreviousTlcFilesGiveRankAndOutline) {
  ostest::Scratch dir;
  dir.Write("out/INV.TLC",
            "=H\r\nINV\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/01/24\r\n00:00:00\r\n3 -5 -6 7 8\r\n1 0 0 0\r\n"
            "=B\r\n1 0 0 1 1\r\n");
  dir.Write("out/LOW.TLC", "=H\nLOW\n6.0\n6.0\n1000\num\n01/01/24\n00:00:00\n1 1 2 3 4\n0 0 0 0\n");
  Naming n;
  for (auto [name, rank] : {std::pair{"INV", 2}, std::pair{"LOW", 4}, std::pair{"NEW", 2}}) {
    n.Add(name);
    n.table.rows.back().cellName = name;
    n.table.rows.back().rank = rank;
  }
  CheckPreviousTlcFiles(n.job, n.table, dir.Path("out/"), 1000.7);
  const auto& r = n.table.rows;
  EXPECT_TRUE(r[0].tlcPresent);
  EXPECT_EQ(r[0].rank, 3);
  EXPECT_EQ(r[0].left, -5);
  EXPECT_EQ(r[0].top, 8);
  EXPECT_TRUE(r[1].tlcPresent);
  EXPECT_EQ(r[1].rank, 4);  // a lower rank in the file does not lower the row's
  EXPECT_EQ(r[1].right, 3);
  EXPECT_FALSE(r[2].tlcPresent);
  EXPECT_EQ(r[2].rank, 2);
  EXPECT_EQ(r[2].right, 1000);
}

}  // namespace
}  // namespace utilib
