// Typed numbers, read by the whole program as atof reads them in the "C" locale and never as hex, an
// infinity or NaN: each text moves one box through the command line and snaps another through the
// SNAP dialog, and the saved cell shows what became of both.
#include <string>

#include "tests/e2e/wmero_edit/wmero_edit_fixture.h"

namespace {

using namespace wmero_edit;

constexpr std::int32_t kLimit = 8388608;
const char* const kClampedBox = "box \"\" \"Coordinates Beyond +-8388608 ... Held at the Limit\"";

TEST_F(WmeroEdit, TypedNumbersReadAsDecimalsOnTheCommandLineAndInADialogField) {
  // 20 database units to the user unit. The moved box starts at 25,75,285,415, the snapped one at
  // 2025,75,2285,415; Mov takes the text as x offset (times 20, truncated), Snap as its step (times
  // 20, rounded, at least 1).
  struct Case {
    const char* text;
    Box moved, snapped;
    bool clamped;
  } const cases[] = {
      {"12", {1, 265, 75, 525, 415}, {1, 1920, 0, 2400, 480}, false},
      {"-2.5", {1, -25, 75, 235, 415}, {1, 2025, 75, 2285, 415}, false},
      {"+1.5e0", {1, 55, 75, 315, 415}, {1, 2040, 90, 2280, 420}, false},
      {"1E1", {1, 225, 75, 485, 415}, {1, 2000, 0, 2200, 400}, false},
      {"0.5", {1, 35, 75, 295, 415}, {1, 2030, 80, 2290, 420}, false},
      {"  4", {1, 105, 75, 365, 415}, {1, 2000, 80, 2320, 400}, false},
      {"-0.04", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      // An exponent without digits is not part of the number; nor is what follows its end.
      {"2e", {1, 65, 75, 325, 415}, {1, 2040, 80, 2280, 400}, false},
      {"7abc", {1, 165, 75, 425, 415}, {1, 1960, 140, 2240, 420}, false},
      {"3.5.1", {1, 95, 75, 355, 415}, {1, 2030, 70, 2310, 420}, false},
      // No decimal number at all: 0, which moves nothing and snaps to step 1.
      {"0x10", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      {"nan", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      {"inf", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      {"-Infinity", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      {"1e-400", {1, 25, 75, 285, 415}, {1, 2025, 75, 2285, 415}, false},
      // Beyond a double: the largest one. The offset is held at the coordinate range, and so is every
      // edge it would carry beyond, with a message; a step the size of the range snaps all to 0.
      {"1e400", {1, kLimit, 75, kLimit, 415}, {1, 0, 0, 0, 0}, true},
      {"-1e400", {1, 25 - kLimit, 75, 285 - kLimit, 415}, {1, 2025, 75, 2285, 415}, false},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    ASSERT_EQ(Run("answer CELL set 1001 \"chip\" press ok\n"
                  "answer NEWCELL set 1003 \"1\" press ok\n"
                  "wait\n" +
                      std::string(kLayerLists) +
                      Macro("Add 1.25 3.75 14.25 20.75\nAdd 101.25 3.75 114.25 20.75\nGet 0 0 50 50\nMov " + text +
                                " 0\naPut\nGet 100 0 150 50\nSnap\naPut\n",
                            std::string(c.clamped ? "box ok\n" : "") + "answer SNAP set 164 \"" + text +
                                "\" press ok\n") +
                      "command 14\nwait\nquit\n"),
              0)
        << text;
    const CellFiles chip = Cell("CHIP", false);
    ASSERT_EQ(chip.boxes.size(), 2u) << text;
    EXPECT_EQ(chip.boxes[0], c.moved) << text << ": " << chip.boxes[0].left << " " << chip.boxes[0].right;
    EXPECT_EQ(chip.boxes[1], c.snapped) << text << ": " << chip.boxes[1].left << " " << chip.boxes[1].bottom
                                        << " " << chip.boxes[1].right << " " << chip.boxes[1].top;
    EXPECT_EQ(Logged(kClampedBox), c.clamped) << text;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
  }
}

}  // namespace
