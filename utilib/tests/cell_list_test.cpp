#include "utilib/cell_list.h"

#include <gtest/gtest.h>

#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"
#include "utilib/small_readers.h"

namespace utilib {
namespace {

TEST(CellList, CollectsEachReferencedCellOnce) {
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  tlc::StringLineSource text(
      "=H\nTOP\n6.0\n6.0\n1000\num\n01/01/24\n00:00:00\n2 0 0 1 0\n0 0 0 3\n"
      "=C\nA\n0 10 10 0\n=B\n1 0 0 5 5\n=C\nA\n1 20 20 0\n=C\nB\n0 0 0 0\n=C\nabc\n0 0 0 0\n=C\nABC\n0 0 0 0\n");
  tlc::TlcStream stream(text);
  CellList list;
  list.Append("TOP");
  EXPECT_EQ(CollectReferencedCells(job, stream, list), 1);
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list[2].name, "A");
  EXPECT_EQ(list[3].name, "B");
  // The scan compares exactly; the look-up finds the first of either spelling.
  EXPECT_EQ(list.FindListedCell("ABC"), 4);
  EXPECT_EQ(list.FindListedCell("abc"), 4);
  EXPECT_EQ(list.FindListedCell("ABC", true), 5);
  EXPECT_EQ(list.FindListedCell("NONE"), 0);
  list.ClearCellList();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Append("A"));
}

// An exporter's rank sort moves entries in place; look-ups then find the first in the new order.
TEST(CellList, LookUpsFollowEntriesMovedInPlace) {
  CellList list;
  for (const char* name : {"TOP", "abc", "B", "ABC", "C"}) list.Append(name);
  EXPECT_EQ(list.FindListedCell("Abc"), 2);
  EXPECT_EQ(list.FindListedCell("b"), 3);
  std::swap(list.entries[1], list.entries[3]);  // ABC now 2, abc 4
  std::swap(list.entries[2], list.entries[4]);  // C now 3, B 5
  struct Case {
    const char* name;
    bool exact;
    int number;
  } cases[] = {{"abc", false, 2}, {"abc", true, 4}, {"ABC", true, 2}, {"b", false, 5}, {"B", true, 5},
               {"c", false, 3},   {"top", false, 1}, {"top", true, 0}, {"D", false, 0}};
  for (int round = 0; round < 2; ++round)  // the second round runs on the index rebuilt by the first
    for (const Case& c : cases) EXPECT_EQ(list.FindListedCell(c.name, c.exact), c.number) << c.name << round;
  EXPECT_TRUE(list.Append("B"));
  EXPECT_EQ(list.Count(), 5);
  EXPECT_TRUE(list.Append("D"));
  EXPECT_EQ(list.FindListedCell("d"), 6);

  // The last cell appended moves to the front before anything looked it up.
  CellList sorted;
  for (const char* name : {"TOP", "LEAF"}) sorted.Append(name);
  std::swap(sorted.entries[0], sorted.entries[1]);
  EXPECT_EQ(sorted.FindListedCell("LEAF", true), 1);
  EXPECT_EQ(sorted.FindListedCell("TOP", true), 2);
  EXPECT_EQ(sorted.FindListedCell("leaf"), 1);

  // A name appended after the last look-up, sorted behind an earlier spelling of it: the earlier wins.
  CellList ranked;
  for (const char* name : {"TOP", "MID", "leaf", "LEAF"}) ranked.Append(name);
  for (int i = 1; i <= 4; ++i) ranked[i].rank = i == 1 ? 3 : i == 2 ? 2 : 1;
  RankSortCells(ranked, true, 2);
  ASSERT_EQ(ranked[3].name, "LEAF");
  EXPECT_EQ(ranked.FindListedCell("LEAF"), 2);
  EXPECT_EQ(ranked.FindListedCell("LEAF", true), 3);
  EXPECT_EQ(ranked.FindListedCell("mid"), 4);
}

TEST(CellList, FullListStopsGrowingWithAMessage) {
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  std::string text;
  for (int i = 0; i < kMaxListedCells + 3; ++i) text += "=C\nC" + std::to_string(i) + "\n0 0 0 0\n";
  tlc::StringLineSource source(text);
  tlc::TlcStream stream(source);
  CellList list;
  CollectReferencedCells(job, stream, list);
  EXPECT_EQ(list.Count(), kMaxListedCells);
  EXPECT_EQ(ui.items[511], "Cell List is Full at 1600 Cells ... C1600 Left Out");
}

std::string TlcFile(const std::string& name, int rank, const std::vector<std::string>& refs) {
  std::string text = "=H\r\n" + name + "\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/01/24\r\n00:00:00\r\n" +
                     std::to_string(rank) + " 0 0 1 0\r\n0 0 0 0\r\n";
  for (const std::string& r : refs) text += "=C\r\n" + r + "\r\n0 0 0 0\r\n";
  return text;
}

// How the tests' exporters read: main files of 1000 units a micrometre.
CellListReading ThousandPerMicrometre() {
  CellListReading how;
  how.mainScale = 1000;
  how.mainUnit = "um";
  return how;
}

TEST(CellList, BuiltFromTheMainFileAndSortedByRank) {
  ostest::Scratch dir;
  dir.Write("TOP.TLC", TlcFile("TOP", 3, {"A", "B", "A"}));
  dir.Write("A.TLC", TlcFile("A", 2, {"C"}));
  dir.Write("B.TLC", TlcFile("B", 1, {}));
  dir.Write("C.TLC", TlcFile("C", 1, {}));
  tell::Recorder ui;
  Job job("CALEXP", ui);
  CellListReading how = ThousandPerMicrometre();
  how.extension = CellFileExtension::Tlc;
  std::vector<std::string> read;
  how.beforeCell = [&read](const std::string& name) {
    read.push_back(name);
    return true;
  };
  CellList list;
  ASSERT_EQ(BuildCellList(job, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", list, how), 1);
  EXPECT_EQ(read, (std::vector<std::string>{"TOP", "A", "B", "C"}));
  EXPECT_EQ(ui.EventsOf("pause"), std::vector<std::string>(4, "pause 200"));
  auto order = [&list] {
    std::string names;
    for (const CellListEntry& e : list.entries) names += e.name + std::to_string(e.rank) + " ";
    return names;
  };
  EXPECT_EQ(order(), "TOP3 A2 B1 C1 ");
  // Equal ranks end in the order the exchanges leave them: the exporters write cells in it.
  RankSortCells(list);
  EXPECT_EQ(order(), "B1 C1 A2 TOP3 ");
  RankSortCells(list, false);
  EXPECT_EQ(order(), "TOP3 A2 B1 C1 ");
  RankSortCells(list, true, 2);
  EXPECT_EQ(order(), "TOP3 B1 C1 A2 ");

  // A refusal of the callback ends the list there.
  CellList refused;
  how.beforeCell = [](const std::string& name) { return name != "A"; };
  EXPECT_EQ(BuildCellList(job, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", refused, how), 0);
  EXPECT_EQ(refused.Count(), 3);
}

// A TLC set with a loop in it (a cell placing itself, or one of its own rank) is still listed once
// per cell, and each such pair is told once.
TEST(CellList, PlacementsThatBreakTheRankRuleAreTold) {
  ostest::Scratch dir;
  dir.Write("TOP.TLC", TlcFile("TOP", 2, {"TOP", "B", "C", "TOP", "B"}));
  dir.Write("B.TLC", TlcFile("B", 2, {"C"}));
  dir.Write("C.TLC", TlcFile("C", 1, {}));
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  const CellListReading how = ThousandPerMicrometre();
  CellList list;
  ASSERT_EQ(BuildCellList(job, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", list, how), 1);
  EXPECT_EQ(list.Count(), 3);
  std::vector<std::string> lines;
  for (const auto& [item, text] : ui.items) lines.push_back(text);
  EXPECT_EQ(lines, (std::vector<std::string>{"Rank Error ... TOP Placed in TOP", "Rank Error ... B Placed in TOP"}));
}

// Each file is read once for its header and its references: the header counts wherever it stands
// (the importers write it last), and a record cut short by a keyword line leaves that line to the
// others, a header cut short by a reference included.
TEST(CellList, HeadersAndReferencesWhereverTheyStand) {
  ostest::Scratch dir;
  const std::string rest = "\r\n6.0\r\n6.0\r\n1000\r\num\r\n01/01/24\r\n00:00:00\r\n";
  dir.Write("TOP.TLC", "=C\r\nA\r\n0 0 0 0\r\n=H\r\nTOP" + rest + "2 0 0 1 0\r\n0 0 0 1\r\n");
  dir.Write("A.TLC", "=H\r\nA\r\n6.0\r\n=C\r\nB\r\n0 0 0 0\r\n");
  dir.Write("B.TLC", "=C\r\n=H\r\nB" + rest + "1 0 0 1 0\r\n0 0 0 0\r\n=C\r\nB\r\n=B\r\n");
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  const CellListReading how = ThousandPerMicrometre();
  CellList list;
  ASSERT_EQ(BuildCellList(job, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", list, how), 1);
  std::string names;
  for (const CellListEntry& e : list.entries) names += e.name + std::to_string(e.rank) + " ";
  EXPECT_EQ(names, "TOP2 A0 B1 ");
  // The header cut short gives no unit (told as a scale that does not agree) and rank 0, below B's.
  EXPECT_EQ(ui.EventsOf("item"), (std::vector<std::string>{"item 511 \"TLC Scale Units do not agree in A\"",
                                                            "item 512 \"Rank Error ... B Placed in A\""}));

  // The scale line of a header written last still comes before the full list's line.
  std::string many;
  for (int i = 0; i < kMaxListedCells + 1; ++i) many += "=C\r\nC" + std::to_string(i) + "\r\n0 0 0 0\r\n";
  dir.Write("TOP.TLC", many + "=H\r\nTOP\r\n6.0\r\n6.0\r\n100" + rest.substr(rest.find("\r\num")) +
                           "2 0 0 1 0\r\n0 0 0 0\r\n");
  tell::Recorder full;
  Job fullJob("STRMEXP", full);
  CellList fullList;
  EXPECT_EQ(BuildCellList(fullJob, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", fullList, how), 0);
  const std::vector<std::string> items = full.EventsOf("item");
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0], "item 511 \"TLC Scale Units do not agree in TOP\"");
  EXPECT_EQ(items[1], "item 512 \"Cell List is Full at 1600 Cells ... C1599 Left Out\"");
}

// A full list and a missing file are told on the exporter's own message lines and stop the list.
TEST(CellList, FullListAndMissingFileOnTheExportersLines) {
  ostest::Scratch dir;
  std::vector<std::string> refs;
  for (int i = 0; i < kMaxListedCells + 2; ++i) refs.push_back("C" + std::to_string(i));
  dir.Write("TOP.TLC", TlcFile("TOP", 2, refs));
  tell::Recorder ui;
  Job job("CALEXP", ui);
  CellListReading how = ThousandPerMicrometre();
  how.firstLine = 540;
  CellList list;
  EXPECT_EQ(BuildCellList(job, MainFileName::Split(dir.Path("TOP.TLC")), "TOP", list, how), 0);
  EXPECT_TRUE(job.abort);
  EXPECT_EQ(ui.items[540], "Cell List is Full at 1600 Cells ... C1599 Left Out");
  EXPECT_EQ(ui.items.count(511), 0u);
  EXPECT_EQ(ui.EventsOf("box"), std::vector<std::string>{"box \"CALEXP\" \"C0.TLC File is Missing ... Can't Continue\""});
}

TEST(CellList, CellFilesBesideTheMainFile) {
  MainFileName m = MainFileName::Split("D:\\WORK\\TOP.TLC");
  EXPECT_EQ(m.drive, "D:");
  EXPECT_EQ(m.folder, "\\WORK\\");
  EXPECT_EQ(m.base, "TOP");
  EXPECT_EQ(m.extension, ".TLC");
  EXPECT_EQ(CellTlcPath(m, "A", CellFileExtension::Main), "D:\\WORK\\A.TLC");
  MainFileName bare = MainFileName::Split("top");
  EXPECT_EQ(CellTlcPath(bare, "A", CellFileExtension::Main), "A");
  EXPECT_EQ(CellTlcPath(bare, "A", CellFileExtension::MainElseTlc), "A.TLC");
  MainFileName tlx = MainFileName::Split("x/top.tlx");
  EXPECT_EQ(CellTlcPath(tlx, "A", CellFileExtension::Tlc), "x/A.TLC");
  for (const char* bad : {"..\\..\\ETC", "A/B", "C:X", "..", ""})
    EXPECT_EQ(CellTlcPath(m, bad, CellFileExtension::Main), "") << bad;
}

TEST(CellList, OutputSizeKeepsThePosition) {
  ostest::Scratch dir;
  std::FILE* f = os::OpenFile(dir.Path("OUT.GDS"), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("0123456789", f);
  EXPECT_EQ(GetOutputFileSize(f), 10);
  std::fputs("ab", f);
  std::fclose(f);
  EXPECT_EQ(dir.Read("OUT.GDS"), "0123456789ab");
}

TEST(CellList, ScaleUnitCheck) {
  tell::Recorder ui;
  Job job("STRMEXP", ui);
  tlc::TlcHeader h;
  h.name = "A";
  h.scale = 1000;
  h.unit = "UM";
  CheckTlcScaleUnits(job, h, 1000, "um");
  EXPECT_TRUE(ui.events.empty());
  h.scale = 100;
  CheckTlcScaleUnits(job, h, 1000, "um");
  EXPECT_EQ(ui.events, std::vector<std::string>{"item 511 \"TLC Scale Units do not agree in A\""});
}

TEST(SmallReaders, CornersAndTextCursor) {
  std::int32_t x1 = 100, y1 = 5, x2 = -100, y2 = 7;
  OrderExtentCorners(x1, y1, x2, y2);
  EXPECT_EQ(x1, -100);
  EXPECT_EQ(x2, 100);
  EXPECT_EQ(y1, 5);
  EXPECT_EQ(y2, 7);

  ostest::Scratch dir;
  TextCursor c;
  EXPECT_EQ(c.OpenTextFile(dir.Path("none.drc")), 0);
  dir.Write("a.drc", "ab\r\nc");
  ASSERT_EQ(c.OpenTextFile(dir.Path("a.drc")), 1);
  std::string line;
  while (c.AtLineEnd()) line += char(c.Get());
  EXPECT_EQ(line, "ab\n");
  c.ClearLineEnd();
  EXPECT_EQ(c.AtLineEnd(), 1);
  EXPECT_EQ(c.Get(), 'c');
  EXPECT_EQ(c.AtLineEnd(), 0);
  EXPECT_EQ(c.Get(), -1);
}

}  // namespace
}  // namespace utilib
