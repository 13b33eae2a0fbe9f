#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/tlc/cells_ref.h"
#include "editor/tlc/help_text.h"
#include "editor/tlc/run.h"
#include "platform/os/tests/scratch.h"

namespace {

using namespace tlc;

TEST(CellPattern, WildcardsAndWholeNames) {
  struct Case { const char* pattern; const char* name; bool match; };
  for (Case c : {Case{"AB?", "ABC", true}, {"AB?", "AB", true}, {"AB", "ABC", false},
                 {"ABCD", "A", false}, {"ABCD", "ABC", false}, {"ABCD", "ABCD", true},
                 {"A*", "A", true}, {"A*", "AXYZ", true}, {"*", "ANY", true}, {"?", "AB", false},
                 {"A?C", "ABC", true}, {"A?C", "ABD", false}, {"A**", "A", true},
                 {"ABCD", "", false}, {"*", "", true}, {"B*", "AB", false}}) {
    EXPECT_EQ(MatchCellPattern(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
  }
}

TEST(RunHelpers, FoldersNamesAndTheRankSort) {
  EXPECT_EQ(NormaliseFolder(""), ".\\");
  EXPECT_EQ(NormaliseFolder("C:\\WORK"), "C:\\WORK\\");
  EXPECT_EQ(NormaliseFolder("C:\\WORK\\"), "C:\\WORK\\");
  EXPECT_EQ(NormaliseFolder("/tmp/x/"), "/tmp/x/");
  EXPECT_EQ(TakeName("nand2 extra"), "nand2");
  EXPECT_EQ(TakeName(std::string(40, 'A')), std::string(32, 'A'));
  EXPECT_EQ(UpperCase("nand_2x"), "NAND_2X");

  std::vector<ListEntry> list;
  for (auto [name, rank] : {std::pair{"TOP", 3}, {"MID", 2}, {"GONE", 0}, {"LEAF", 1}, {"MID2", 2}})
    list.push_back({name, rank});
  SortByRank(list);
  std::vector<int> ranks;
  for (const ListEntry& e : list) ranks.push_back(e.rank);
  EXPECT_EQ(ranks, (std::vector<int>{0, 1, 2, 2, 3}));
  EXPECT_EQ(list.back().name, "TOP");
  EXPECT_EQ(FindListed(list, "leaf"), 1);
  EXPECT_EQ(FindListed(list, "LEA"), -1);
}

TEST(CellsRef, CountsNamesAndRanks) {
  ostest::Scratch s;
  struct Case { const char* name; std::string text; CellsRefResult result; std::vector<std::string> got; };
  auto entries = [](int n) {
    std::string t = std::to_string(n) + "\r\n";
    for (int i = 0; i < n; ++i) t += "C" + std::to_string(i) + "\r\n1 0 0 0 0 0 0 0 0\r\n";
    return t;
  };
  const Case cases[] = {
      {"editor's, with empty last line", "2\r\nleaf\r\n17 0 0 1 1 1 0 0 0\r\nTOP\r\n2 0 0 1 1 0 0 0 1\r\n\r\n",
       CellsRefResult::Ok, {"LEAF 17", "TOP 2"}},
      {"importer's, LF, no last line", "2\nLEAF\n1 0 0 1000 0 1 0 0 0\nTOP\n2 0 0 1000 0 0 0 0 1\n",
       CellsRefResult::Ok, {"LEAF 1", "TOP 2"}},
      {"ends early", "3\nA\n1\nB\n", CellsRefResult::Ok, {"A 1"}},
      {"long name cut", "1\n" + std::string(40, 'x') + "\n1\n", CellsRefResult::Ok, {std::string(32, 'X') + " 1"}},
      {"510 cells", entries(510), CellsRefResult::Ok, {}},
      {"511 cells", entries(511), CellsRefResult::TooMany, {}},
  };
  for (const Case& c : cases) {
    s.Write("CELLS.REF", c.text);
    std::vector<CellsRefEntry> got;
    EXPECT_EQ(ReadCellsRef(s.Path("cells.ref"), got), c.result) << c.name;
    if (std::string(c.name) == "510 cells") {
      EXPECT_EQ(got.size(), 510u);
      continue;
    }
    std::vector<std::string> flat;
    for (const CellsRefEntry& e : got) flat.push_back(e.name + " " + std::to_string(e.rank));
    EXPECT_EQ(flat, c.got) << c.name;
  }
  std::vector<CellsRefEntry> got;
  EXPECT_EQ(ReadCellsRef(s.Path("nothere/CELLS.REF"), got), CellsRefResult::Missing);
}

TEST(QuickHelp, TablesAndScrolling) {
  for (auto lines : {TlcInHelpLines(), TlcOutHelpLines()}) {
    EXPECT_EQ(lines.front(), "");
    EXPECT_NE(lines[2].find("-----"), std::string_view::npos);
    EXPECT_NE(lines.back().find("main help"), std::string_view::npos);
  }
  EXPECT_EQ(TlcInHelpLines().size(), 67u);
  EXPECT_EQ(TlcOutHelpLines().size(), 69u);

  HelpScroll h{69, 20, 0};
  EXPECT_EQ(h.Range(), 49);
  h.Apply(ScrollAction::PageDown);
  EXPECT_EQ(h.top, 21);
  h.Apply(ScrollAction::PageDown);
  h.Apply(ScrollAction::PageDown);
  EXPECT_EQ(h.top, 49);
  h.Apply(ScrollAction::LineDown);
  EXPECT_EQ(h.top, 49);
  h.Apply(ScrollAction::PageUp);
  EXPECT_EQ(h.top, 28);
  h.Apply(ScrollAction::Thumb, 7);
  EXPECT_EQ(h.top, 7);
  h.Apply(ScrollAction::LineUp);
  EXPECT_EQ(h.top, 6);
  h.Apply(ScrollAction::Top);
  h.Apply(ScrollAction::LineUp);
  EXPECT_EQ(h.top, 0);
  h.Apply(ScrollAction::Bottom);
  EXPECT_EQ(h.top, 49);
  // A table shorter than the area does not scroll.
  HelpScroll small{10, 20, 0};
  small.Apply(ScrollAction::PageDown);
  EXPECT_EQ(small.top, 0);
  EXPECT_EQ(small.Range(), 0);
}

}  // namespace
