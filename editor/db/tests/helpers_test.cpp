#include "editor/db/helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Rounding, HalvesGoAwayFromZeroOnBothSigns) {
  struct Case { double in; int out; };
  for (Case c : {Case{2.5, 3}, {-2.5, -3}, {2.49, 2}, {-2.49, -2}, {0.5, 1}, {-0.5, -1}, {0.0, 0},
                 {1e12, 2147483647}, {-1e12, -2147483647 - 1}}) {
    EXPECT_EQ(db::RoundHalfAway(c.in), c.out) << c.in;
  }
}

TEST(Rounding, CoordinatesClampAtTwoToTheTwentyThird) {
  EXPECT_EQ(db::RoundToCoordinate(1e9), 8388608);
  EXPECT_EQ(db::RoundToCoordinate(-1e9), -8388608);
  EXPECT_EQ(db::RoundToCoordinate(8388607.5), 8388608);
  EXPECT_EQ(db::RoundToCoordinate(-8388607.4), -8388607);
  EXPECT_EQ(db::RoundToCoordinate(12.5), 13);
}

TEST(DirectionAngle, VerticalVectorsAndQuadrants) {
  EXPECT_DOUBLE_EQ(db::ComputeDirectionAngle(0, 0), -1.5707963);
  EXPECT_DOUBLE_EQ(db::ComputeDirectionAngle(0, -3), -1.5707963);
  EXPECT_DOUBLE_EQ(db::ComputeDirectionAngle(0, 3), 1.5707963);
  EXPECT_NEAR(db::ComputeDirectionAngle(-1, 0), 3.14159265, 1e-7);
  EXPECT_NEAR(db::ComputeDirectionAngle(1, 1), 0.78539816, 1e-7);
}

TEST(TrimLine, DropsOneNewlineThenCuts) {
  std::string a = "ABC\n";
  EXPECT_EQ(db::TrimLine(a, 10), "ABC");
  std::string b = "ABCDEF\n\n";
  EXPECT_EQ(db::TrimLine(b, 10), "ABCDEF\n");
  std::string c = "ABCDEF";
  EXPECT_EQ(db::TrimLine(c, 3), "ABC");
  std::string e;
  EXPECT_EQ(db::TrimLine(e, 3), "");
}

TEST(ProperCasePath, CapitalisesAfterSeparatorsAndDrive) {
  EXPECT_EQ(db::ProperCasePath("c:\\WORK\\CELLS6.DBD"), "C:\\Work\\Cells6.dbd");
  EXPECT_EQ(db::ProperCasePath("NAND2.BP6"), "Nand2.bp6");
  EXPECT_EQ(db::ProperCasePath("c:cells6.dbd"), "C:Cells6.dbd");
  EXPECT_EQ(db::ProperCasePath("work/LIB/x.cl6"), "Work/Lib/X.cl6");
  EXPECT_EQ(db::ProperCasePath(""), "none");
}

TEST(CheckCellName, RefusesWhatCannotBeACellName) {
  struct Case { std::string name; int refused; };
  const Case cases[] = {
      {"NAND2", 0}, {"com1", 0}, {"A_B-C$1", 0}, {std::string(32, 'X'), 0},
      {"NAND 2", 1}, {"A.B", 1}, {"COM1", 1}, {"P", 1}, {"B", 1}, {"CLOCK$", 1}, {"MAINBKUP", 1},
      {"CELLBKUP", 1}, {"MAKETEMP", 1}, {std::string(33, 'X'), 1}, {"", 1}, {"A\tB", 1},
      {"A\x7f", 0}, {"A\xc3\xa9", 1}, {"A*", 1}, {"A+", 1}, {"A'", 1}, {"A`", 1}, {"A/", 1},
      {"A:", 1}, {"A;", 1}, {"A<", 1}, {"A=", 1}, {"A>", 1}, {"A?", 1}, {"A\\", 1}, {"A|", 1},
      {"A\"", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(db::CheckCellName(c.name, 10), c.refused) << c.name;
}

TEST(CheckCellName, FullCollectionRefusesEveryName) {
  EXPECT_EQ(db::CheckCellName("NAND2", 512), 0);
  EXPECT_EQ(db::CheckCellName("NAND2", 513), 1);
}

}  // namespace
