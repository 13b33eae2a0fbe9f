#include "extract/devices.h"

#include <gtest/gtest.h>

#include "extract/tests/sample_circuits.h"
#include "platform/os/tests/scratch.h"

namespace exttest {
namespace {

using Lines = std::vector<std::string>;

// A cell placing the given transistors with ground and the given texts; its .CIR cards after the
// title line.
Lines Extract(Folder& f, std::vector<tlctest::RefSpec> refs, std::vector<tlctest::PathSpec> texts,
              std::vector<tlctest::CellSpec> more = {}) {
  tlctest::CellSpec c = Cell("C", 3, -100, -100, 100, 100);
  c.refs = std::move(refs);
  c.paths = std::move(texts);
  std::vector<tlctest::CellSpec> cells = {Transistor("NMOS")};
  for (auto& m : more) cells.push_back(m);
  cells.push_back(c);
  f.Make(cells);
  f.Go("C");
  return f.Cards("C");
}

TEST(Devices, StatementTextsAreJoinedTopDown) {
  Folder f;
  const Lines cards = Extract(f, {Ref("NMOS", 0, 0)},
                              {Text(kDeviceName, 3, 3, "M1"), Text(kParameter, 2, 6, "NCH"),
                               Text(kParameter, 2, -6, "+ W=2U"), Text(kParameter, 2, 0, "L=1U"),
                               Text(kParameter, 5, -8, "* LAST"), Text(kNamed, 0, 10, "D"), Text(kNamed, -10, 0, "G"),
                               Text(kNamed, 0, -10, "S"), Text(kNamed, 10, 0, "B")});
  EXPECT_EQ(cards, (Lines{"*MAIN CIRCUIT C", "M1 D G S B NCHL=1U", "+ W=2U", "* LAST", ".END"}));
}

TEST(Devices, MissingTextsAreToldAndWrittenAsQuestionMarks) {
  Folder f;
  const Lines cards = Extract(f, {Ref("NMOS", 0, 0)}, {});
  EXPECT_EQ(cards[1], "? ? ? ? ? ?");
  EXPECT_NE(f.Report().find("Missing Device Name on NMOS at X=0 Y=0\nMissing Parameters on NMOS at X=0 Y=0\n"),
            std::string::npos)
      << f.Report();
  Folder quiet;
  quiet.settings.setup1[ext::kDevice] = "N";
  quiet.settings.setup1[ext::kOpens] = "N";
  Extract(quiet, {Ref("NMOS", 0, 0)}, {});
  EXPECT_EQ(quiet.errors, 0) << quiet.Report();
}

TEST(Devices, TextsBelongToTheInnermostInstanceAndNotToABorder) {
  tlctest::CellSpec big = Transistor("BIG");
  big.right = big.top = 50;
  big.left = big.bottom = -50;
  Folder f;
  const Lines cards = Extract(f, {Ref("BIG", 0, 0), Ref("NMOS", 20, 20), Ref("NMOS", 40, 20)},
                              {Text(kDeviceName, 22, 22, "INNER"), Text(kDeviceName, -20, -20, "OUTER"),
                               Text(kDeviceName, 30, 20, "BORDER"), Text(kParameter, 0, -30, "BIGP"),
                               Text(kParameter, 22, 18, "NP"), Text(kParameter, 42, 18, "NP2")},
                              {big});
  // The two small transistors abut at x = 30: the text there is neither's.
  ASSERT_GE(cards.size(), 4u) << f.Cir("C");
  EXPECT_EQ(cards[1].substr(0, 6), "OUTER ");
  EXPECT_EQ(cards[1].substr(cards[1].size() - 4), "BIGP");
  EXPECT_EQ(cards[2].substr(0, 6), "INNER ");
  EXPECT_EQ(cards[2].substr(cards[2].size() - 2), "NP");
  EXPECT_EQ(cards[3].substr(0, 2), "? ");
  EXPECT_NE(f.Report().find("Missing Device Name on NMOS at X=40 Y=20"), std::string::npos) << f.Report();
}

TEST(Devices, AliasesStandInForParameterTexts) {
  ostest::Scratch dir;
  dir.Write("ALIASES", "inv1 = <X W=1U\r\n+ L=2U>\r\nNAND=<A=B>\r\nB=<right>\r\n");
  const std::string file = dir.Path("ALIASES");
  EXPECT_EQ(ext::LookUpAlias("INV1", file), "X W=1U\n+ L=2U");
  EXPECT_EQ(ext::LookUpAlias("B", file), "right") << "an equals sign inside an entry's text starts no entry";
  EXPECT_EQ(ext::LookUpAlias("INV2", file), "?");
  EXPECT_EQ(ext::LookUpAlias("INV1", dir.Path("NONE")), "?");

  Folder f;
  f.Write("ALIASES.TXT", "M1P=<NCH L=1U>\n");
  f.settings.setup1[ext::kAliasFile] = "aliases.txt";
  const Lines cards = Extract(f, {Ref("NMOS", 0, 0), Ref("NMOS", 50, 0)},
                              {Text(kDeviceName, 3, 3, "M1"), Text(kParameter, 3, -3, "@m1p"),
                               Text(kDeviceName, 53, 3, "M2"), Text(kParameter, 53, -3, "@NONE")});
  EXPECT_EQ(cards[1].substr(cards[1].size() - 8), "NCH L=1U");
  EXPECT_EQ(cards[2].substr(cards[2].size() - 1), "?");
  EXPECT_NE(f.Report().find("Alias NONE not Defined\n"), std::string::npos) << f.Report();
}

TEST(Devices, FifteenSymbolCellsAtMost) {
  std::vector<tlctest::CellSpec> symbols;
  std::vector<tlctest::RefSpec> refs;
  std::vector<tlctest::PathSpec> texts;
  for (int i = 1; i <= 16; ++i) {
    symbols.push_back(Symbol("S" + std::to_string(i), "N" + std::to_string(i)));
    refs.push_back(Ref("S" + std::to_string(i), 1000 * i, 0));
  }
  Folder f;
  Extract(f, refs, texts, symbols);
  // Fifteen symbols are not placed devices; the sixteenth is a cell without connectors.
  EXPECT_EQ(f.Report().find("Cell S15"), std::string::npos);
  EXPECT_NE(f.Report().find("Cell S16 at X=16000 Y=0 is Floating"), std::string::npos) << f.Report();
}

TEST(Devices, ASymbolWithAConnectorStopsTheRun) {
  tlctest::CellSpec bad = Symbol("BAD", "VDD");
  bad.paths.push_back(Text(kConnector, 1, 1, "1"));
  Folder f;
  f.Make({bad, Transistor("NMOS")});
  EXPECT_EQ(f.Go("NMOS"), 0);
  EXPECT_EQ(f.Boxes(), (Lines{"box \"MEROCKT\" \"Symbol/Device Conflict in BAD\""}));
}

}  // namespace
}  // namespace exttest
