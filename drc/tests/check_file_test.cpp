// Reading checks from check files.
#include <gtest/gtest.h>

#include "drc/check_file.h"
#include "platform/os/tests/scratch.h"

namespace drc {
namespace {

std::vector<Check> ReadAll(const std::string& text) {
  ostest::Scratch s;
  s.Write("RULES.DRC", text);
  CheckFile f;
  EXPECT_EQ(f.Open(s.Path("RULES.DRC")), 1);
  std::vector<Check> out;
  Check c;
  while (f.ReadCheck(c)) out.push_back(c);
  return out;
}

TEST(CheckFile, ReadsHeadersAndOperatorBlocks) {
  auto checks = ReadAll(
      "; metal rules\r\n"
      "TITLE=Metal 1 width\r\n"
      "Resolution = 0.5 um\r\n"
      "DIST=3\r\n"
      "LOCATION= 12.5um , -3\r\n"
      "OPERATORS={\r\n"
      "  map, 1   ; the metal\r\n"
      "\r\n"
      "; a whole comment line\r\n"
      "  GAGR\t 2\r\n"
      "  TESTR;flag it\r\n"
      "}\n"
      "TI=Second\n"
      "OP= {MAPR\n"
      "dsp,1,Red,2}\n");
  ASSERT_EQ(checks.size(), 2u);
  const Check& a = checks[0];
  EXPECT_EQ(a.number, 1);
  EXPECT_EQ(a.title, "Metal 1 width");
  EXPECT_DOUBLE_EQ(a.resolution, 0.5);
  EXPECT_DOUBLE_EQ(a.distance, 3);
  EXPECT_TRUE(a.hasLocation);
  EXPECT_EQ(a.locationX, "12.5um");
  EXPECT_EQ(a.locationY, "-3");
  EXPECT_EQ(a.operators, (std::vector<std::string>{"map,1", "GAGR2", "TESTR"}));
  // The second check keeps the first one's resolution and distance, not its location.
  const Check& b = checks[1];
  EXPECT_EQ(b.number, 2);
  EXPECT_EQ(b.title, "Second");
  EXPECT_DOUBLE_EQ(b.resolution, 0.5);
  EXPECT_DOUBLE_EQ(b.distance, 3);
  EXPECT_FALSE(b.hasLocation);
  EXPECT_EQ(b.operators, (std::vector<std::string>{"MAPR", "dsp,1,Red,2"}));
}

TEST(CheckFile, KeywordsGoByTheirFirstTwoLetters) {
  auto checks = ReadAll("TI=One\nRE=2\nTE=ignored\nDISTANCE=4\nXX=1\nOPERATORS={\nCLR\n}\n");
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].title, "One");
  EXPECT_DOUBLE_EQ(checks[0].resolution, 2);
  EXPECT_DOUBLE_EQ(checks[0].distance, 4);
}

TEST(CheckFile, EndsAndOddBlocks) {
  // No OPERATORS before the end: no check, also after a complete one.
  EXPECT_TRUE(ReadAll("TITLE=x\nRESOLUTION=1\n").empty());
  EXPECT_EQ(ReadAll("TITLE=x\nOPERATORS={\nCLR\n}\nTITLE=y\n").size(), 1u);
  // A block cut off by the end of the file still counts.
  auto cut = ReadAll("TITLE=x\nOPERATORS={\nCLR\nTESTR");
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].operators, (std::vector<std::string>{"CLR", "TESTR"}));
  // A letter before the brace: a check without operator lines.
  auto none = ReadAll("TITLE=x\nOPERATORS= none\n");
  ASSERT_EQ(none.size(), 1u);
  EXPECT_TRUE(none[0].operators.empty());
  // An untitled check has a title of its own and does not end the file.
  auto untitled = ReadAll("OPERATORS={CLR}\nTITLE=z\nOPERATORS={TESTR}\n");
  ASSERT_EQ(untitled.size(), 2u);
  EXPECT_EQ(untitled[0].title, "Check 1");
  EXPECT_EQ(untitled[1].title, "z");
  // Long lines are cut at 80 characters, then at their comment.
  std::string longLine(100, 'A');
  auto cutLines = ReadAll("OPERATORS={\n" + longLine + "\n;" + longLine + "\n" + std::string(79, 'B') + ";C\n}");
  ASSERT_EQ(cutLines.size(), 1u);
  EXPECT_EQ(cutLines[0].operators, (std::vector<std::string>{std::string(80, 'A'), std::string(79, 'B')}));
  // Titles too.
  EXPECT_EQ(ReadAll("TITLE=" + longLine + "\nOPERATORS={}")[0].title, std::string(80, 'A'));
}

TEST(CheckFile, MissingFileDoesNotOpen) {
  CheckFile f;
  EXPECT_EQ(f.Open("/nonexistent/RULES.DRC"), 0);
  Check c;
  EXPECT_FALSE(f.ReadCheck(c));
}

}  // namespace
}  // namespace drc
