#include "convert/cif/lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "utilib/tests/conversion_fixture.h"

namespace {

using cif::CifLayer;
using cif::CifLexer;

TEST(CifLexer, CharacterClasses) {
  const struct {
    char ch;
    int cls;
  } cases[] = {{';', 1}, {'(', 2}, {')', 3}, {'A', 4}, {'Z', 4}, {'0', 5}, {'9', 5}, {'-', 6}, {'a', 7},
               {'z', 7}, {' ', 0}, {'\t', 0}, {'\n', 0}, {'#', 0}, {'"', 0}, {'/', 0}, {',', 0}, {'=', 0}};
  for (const auto& c : cases) EXPECT_EQ(cif::ClassOf(c.ch), c.cls) << c.ch;
  CifLexer lex("X");
  EXPECT_EQ(lex.ClassifyCifChar(), 'X');
  EXPECT_EQ(lex.Class(), cif::kUpper);
  // The end of the text ends the command as a ";" would.
  EXPECT_EQ(lex.ClassifyCifChar(), -1);
  EXPECT_FALSE(lex.MoreCifCommand());
}

TEST(CifLexer, NumbersStopWhereTheDialectSays) {
  const struct {
    const char* text;
    bool integer;
    long long value;
    bool found;
    const char* rest;  // what is left for the next read
  } cases[] = {
      {"  123 456;", false, 123, true, "456;"},
      {"#12/2;", false, 12, true, "2;"},
      {"100T5", false, 100, true, "T5"},      // an upper-case letter ends the digits and stays
      {"-40;", false, 40, true, ""},          // the exporter's reader has no sign
      {"-40;", true, -40, true, ""},
      {"- x 7,", true, -7, true, ""},         // a "-" anywhere before the digits
      {"; 5", true, 0, false, " 5"},          // a ";" ends the search and is read
      {"T100", true, 0, false, "T100"},       // so does an upper-case letter, which stays
      {"99999999999", true, 2147483647, true, ""},
      {"99999999999", false, 4294967295LL, true, ""},
      {"", true, 0, false, ""},
  };
  for (const auto& c : cases) {
    CifLexer lex(c.text);
    bool found = true;
    const long long v = c.integer ? static_cast<long long>(lex.ReadCifInteger(&found))
                                  : static_cast<long long>(lex.ReadCifNumber(&found));
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(found, c.found) << c.text;
    EXPECT_EQ(std::string(lex.Text().substr(lex.Position())), c.rest) << c.text;
  }
}

TEST(CifLexer, NamesKeepTheirCharacters) {
  const struct {
    const char* text;
    bool importer;
    const char* name;
  } cases[] = {
      {" CM1;", false, "CM1"},    {"\"NM\");", false, "NM"}, {"Cm1 X", false, "C1"},
      {"Cm1 X", true, "Cm1"},     {"M_1$ ;", true, "M_1$"},  {"   ;", false, ""},
  };
  for (const auto& c : cases) {
    CifLexer lex(c.text);
    EXPECT_EQ(lex.ReadCifName(c.importer), c.name) << c.text;
  }
}

std::vector<std::string> Commands(const std::string& text) {
  std::vector<std::string> out;
  CifLexer lex(text);
  cif::CifCommand c;
  while (cif::NextCifCommand(lex, c)) out.push_back(c.kind + std::string("|") + text.substr(c.begin, c.end - c.begin));
  return out;
}

TEST(CifLexer, CommandsAndComments) {
  // Nested comments end at their own ")", with or without a ";" after them; "E" needs none, and
  // an "E" inside a command is no end.
  EXPECT_EQ(Commands("(a (b; c) d);\n(x)DS 1 2 2;\n  9 E1;L E;DF; ;E\nDS 2;"),
            (std::vector<std::string>{"(|(a (b; c) d)", "(|(x)", "D|DS 1 2 2", "9|9 E1", "L|L E", "D|DF", "E|E",
                                      "D|DS 2"}));
  // A comment that never closes runs to the end; a command without ";" ends with the text.
  EXPECT_EQ(Commands("B 1 2 3 4"), (std::vector<std::string>{"B|B 1 2 3 4"}));
  EXPECT_EQ(Commands("(open; B 1;"), (std::vector<std::string>{"(|(open; B 1;"}));
}

TEST(CifLayerFile, EntriesOfTheLayerComments) {
  const struct {
    const char* text;
    std::vector<CifLayer> layers;
  } cases[] = {
      // The exporter's own CIF file serves as a layer file.
      {"(! CIF file of TOP.TLC made by CALEXP  01/01/24  00:00:00);\n\n(LAYER 5 CIF=\"NM\");\n(LAYER 1 "
       "CIF=\"CM1\");\nDS#1 2/2;\nDF;\nE\n",
       {{5, "NM"}, {1, "CM1"}}},
      {"(LAYER 12 CIF=M1);", {{12, "M1"}}},
      {"(LAYER 3 CIF = \"Poly1\");", {{3, "P1"}}},  // lower case is not collected
      {"(LAYER 4 CIF=);(LAYER 6);(LAY ER 7 CIF=A);", {}},
      {"(LAYER 70 CIF=X)(LAYER 0 CIF=Y)(LAYER 2 CIF=A)(LAYER 2 CIF=B)", {{2, "A"}}},
      {"(two: LAYER 1 CIF=A LAYER 2 CIF=B) LAYER 3 CIF=C;", {{1, "A"}, {2, "B"}}},
      {"(! CIF file of PLAYER2.TLC made by CALEXP)", {}},
  };
  for (const auto& c : cases) {
    const std::vector<CifLayer> got = cif::ParseCifLayers(c.text);
    ASSERT_EQ(got.size(), c.layers.size()) << c.text;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].layer, c.layers[i].layer) << c.text;
      EXPECT_EQ(got[i].name, c.layers[i].name) << c.text;
    }
  }
  EXPECT_EQ(cif::ParseCifLayers("(LAYER 3 CIF=Poly1);", true)[0].name, "Poly1");
}

TEST(CifLayerFile, MissingOrEmptyFileGivesNoEntries) {
  convtest::ScratchFolder folder;
  std::vector<CifLayer> table{{1, "X"}};
  EXPECT_EQ(cif::ReadCifLayerFile(folder / "NONE.LYR", table), 0);
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(cif::ReadCifLayerFile("", table), 0);
  convtest::WriteFile(folder / "LAYERS.CIF", "(LAYER 1 CIF=CM1);\r\n(LAYER 2 CIF=CPG);\r\n");
  EXPECT_EQ(cif::ReadCifLayerFile(folder / "layers.cif", table), 2);
}

}  // namespace
