#include "editor/db/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/db/tests/drawing_folder.h"

namespace {

using dbtest::DrawingFolder;

std::string Golden() {
  std::ifstream in(std::string(MERO_SOURCE_DIR) + "/editor/db/tests/data/default_consts6.dbd",
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& crlf) {
  std::vector<std::string> lines;
  std::istringstream in(crlf);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines, std::size_t count, const char* eol = "\r\n") {
  std::string out;
  for (std::size_t i = 0; i < count && i < lines.size(); ++i) out += lines[i] + eol;
  return out;
}

// Line number (0-based) of a section line in the default file.
std::size_t LineOf(const std::vector<std::string>& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == text) return i;
  ADD_FAILURE() << "no line " << text;
  return 0;
}

db::Settings Defaults() {
  db::Settings s;
  db::SetDefaultSettings(s);
  db::ApplyColorLetters(s);
  return s;
}

TEST(Settings, DefaultFileIsExact) {
  DrawingFolder f;
  db::Settings s = Defaults();
  ASSERT_EQ(db::WriteSettingsFile(s), 1);
  EXPECT_EQ(f.Read("Consts6.dbd"), Golden());
  EXPECT_EQ(s.workGrids[0], 20);
  EXPECT_EQ(s.dotGrids[10], 200);
  EXPECT_EQ(s.layerPalette[0], 12) << "r";
  EXPECT_EQ(s.layerPalette[3], 0) << "e has no palette index";
  EXPECT_EQ(db::GetLayerColorLetter(s, 4), 'w');
}

TEST(Settings, EverySettingSurvivesAWriteAndARead) {
  DrawingFolder f;
  db::Settings s = Defaults();
  s.scale = 39.37;
  s.unitName = "mil";
  s.layerPalette[5] = 21;
  s.layerFills[63] = 7;
  s.layerDashes[0] = 4;
  s.workGrids[3] = 55;
  s.dotGrids[10] = -3;
  s.rankViews[15] = {3, 4, 1, 2048, -100, 200, "1,3-5", "2", 0x8000000000000001ULL, 5};
  s.pathWidth = 40;
  s.textSize = 45;
  s.layer = 64;
  s.tlcOnSave = 1;
  s.modeWord = 255;
  s.resSet = 9;
  s.savedWindows[9] = {123.5, -4.25, 1e6};
  s.capPf = 0.000125;
  s.printShiftY = -0.5;
  s.addKind = "NAND2";
  s.arcDirection = "ccw";
  s.thirdText = "x y";
  s.readers[9] = {"*.RPT", "*FILE"};
  s.commands[15] = "*Get 0 0";
  s.printColors[21] = 0x123456;
  ASSERT_EQ(db::WriteSettingsFile(s), 1);

  db::Settings r = Defaults();
  ASSERT_EQ(db::ReadSettingsFile(r), 1);
  db::ApplyColorLetters(r);
  EXPECT_DOUBLE_EQ(r.scale, 39.37);
  EXPECT_EQ(r.unitName, "mil");
  EXPECT_EQ(r.colorLetters, s.colorLetters);
  EXPECT_EQ(r.layerPalette[5], 21);
  EXPECT_EQ(r.layerFills, s.layerFills);
  EXPECT_EQ(r.layerDashes, s.layerDashes);
  EXPECT_EQ(r.workGrids[3], 55);
  EXPECT_EQ(r.dotGrids[10], -3);
  const db::RankView& v = r.rankViews[15];
  EXPECT_EQ(v.workGrid, 3);
  EXPECT_EQ(v.dotGrid, 4);
  EXPECT_EQ(v.width, 2048);
  EXPECT_EQ(v.centreX, -100);
  EXPECT_EQ(v.viewList, "1,3-5");
  EXPECT_EQ(v.viewMask, 0x8000000000000001ULL);
  EXPECT_EQ(v.openMask, 5u);
  EXPECT_EQ(r.pathWidth, 40);
  EXPECT_EQ(r.textSize, 45);
  EXPECT_EQ(r.layer, 64);
  EXPECT_EQ(r.tlcOnSave, 1);
  EXPECT_EQ(r.modeWord, 255);
  EXPECT_EQ(r.resSet, 9);
  EXPECT_DOUBLE_EQ(r.savedWindows[9].width, 123.5);
  EXPECT_DOUBLE_EQ(r.savedWindows[9].centreY, 1e6);
  EXPECT_DOUBLE_EQ(r.capPf, 0.000125);
  EXPECT_DOUBLE_EQ(r.printShiftY, -0.5);
  EXPECT_EQ(r.addKind, "NAND2");
  EXPECT_EQ(r.arcDirection, "ccw");
  EXPECT_EQ(r.thirdText, "x y");
  // Values that begin with "*" are values, not section lines, and shift nothing after them.
  EXPECT_EQ(r.readers[9].program, "*.RPT");
  EXPECT_EQ(r.readers[9].file, "*FILE");
  EXPECT_EQ(r.commands[15], "*Get 0 0");
  EXPECT_EQ(r.printColors[21], 0x123456u);
  EXPECT_EQ(r.printColors[20], s.printColors[20]);
}

TEST(Settings, FileEndingEarlyKeepsWhatItDoesNotReach) {
  const std::vector<std::string> lines = Lines(Golden());
  struct Case {
    const char* what;
    std::string text;
    int result;
  };
  std::vector<std::string> changed = lines;
  changed[LineOf(lines, "*16 ints") + 7] = "777";  // resolution
  changed[LineOf(lines, "*macros") + 1] = "Get";
  const Case cases[] = {
      // Stops after the remembered command lines and an "end": accepted, default print colours.
      {"after macros", Join(changed, LineOf(lines, "*print colors")) + "end\r\n", 1},
      // Stops inside the windows: the rest keeps its defaults instead of reading "end" as 0.
      {"inside windows", Join(changed, LineOf(lines, "*15 windows") + 5) + "end\r\n", 1},
      {"no end at all", Join(changed, LineOf(lines, "*print colors") + 3), -1},
      {"empty file", "", -1},
      {"unix line ends", Join(changed, lines.size(), "\n"), 1},
  };
  for (const Case& c : cases) {
    DrawingFolder f;
    f.Write("CONSTS6.DBD", c.text);
    db::Settings s = Defaults();
    s.printColors[0] = 0xABCDEF;
    EXPECT_EQ(db::ReadSettingsFile(s), c.result) << c.what;
    if (c.result != 1) continue;
    const bool full = std::string(c.what) == "unix line ends";
    EXPECT_EQ(s.printColors[0], full ? 0u : 0xABCDEFu) << c.what;
    EXPECT_EQ(s.resolution, std::string(c.what) == "inside windows" ? 1000 : 777) << c.what;
    EXPECT_EQ(s.rankViews[15].width, 1024) << c.what;
    EXPECT_EQ(s.modeWord, 214) << c.what;
    EXPECT_EQ(s.textSize, 15) << c.what;
    EXPECT_EQ(s.readers[0].program, "Notepad") << c.what;
  }
}

TEST(Settings, OddLinesAreReadWithoutShiftingLaterValues) {
  std::vector<std::string> lines = Lines(Golden());
  lines[0] = "5.99";                                      // another version reads the same
  lines[2] = "micrometres-and-more";                      // unit name: 5 characters kept
  lines[3][4] = 'Q';                                      // layer 4: a letter outside the table
  lines[LineOf(lines, "*macros") + 2] = std::string(300, 'c');  // an over-long command line
  lines.erase(lines.begin() + static_cast<long>(LineOf(lines, "*64 dashes")));  // a lost section line
  DrawingFolder f;
  f.Write("CONSTS6.DBD", Join(lines, lines.size()));
  db::Settings s = Defaults();
  s.layerPalette[3] = 13;
  ASSERT_EQ(db::ReadSettingsFile(s), 1);
  EXPECT_EQ(s.version, "5.99");
  EXPECT_EQ(s.unitName, "micro");
  EXPECT_EQ(s.commands[1], std::string(79, 'c'));
  EXPECT_EQ(s.commands[2], "");
  EXPECT_EQ(s.layerDashes[63], 0);
  EXPECT_EQ(s.workGrids[1], 20);
  EXPECT_EQ(s.printColors[1], 12582912u);
  db::ApplyColorLetters(s);
  EXPECT_EQ(s.layerPalette[3], 13) << "an unknown letter keeps the colour";
  db::StoreColorLetters(s);
  EXPECT_EQ(s.colorLetters[4], 'm') << "and is written back as that colour's letter";
}

TEST(Settings, ValuesTheProgramCannotWorkWithKeepTheirDefaults) {
  std::vector<std::string> lines = Lines(Golden());
  const std::size_t ints = LineOf(lines, "*16 ints");
  const std::size_t windows = LineOf(lines, "*15 windows");
  lines[1] = "0";               // scale
  lines[windows + 1] = "99";    // working-grid index of rank 1
  lines[windows + 4] = "-5";    // view width of rank 1
  lines[ints + 5] = "65";       // current layer
  lines[ints + 7] = "0";        // drawing resolution
  lines[ints + 13] = "10";      // resistance set
  lines[LineOf(lines, "*64 dashes") + 1] = "9";
  DrawingFolder f;
  f.Write("CONSTS6.DBD", Join(lines, lines.size()));
  db::Settings s = Defaults();
  bool damaged = false;
  ASSERT_EQ(db::ReadSettingsFile(s, db::kSettingsFile, &damaged), 1);
  EXPECT_EQ(s.scale, 20);
  EXPECT_TRUE(damaged);
  EXPECT_EQ(s.rankViews[1].workGrid, 1);
  EXPECT_EQ(s.rankViews[1].width, 1024);
  EXPECT_EQ(s.layer, 1);
  EXPECT_EQ(s.resolution, 1000);
  EXPECT_EQ(s.resSet, 1);
  EXPECT_EQ(s.layerDashes[0], 0);
}

// The first three lines as every program reads them, alone and at the head of the editor's whole
// file: one fallback for a scale that is no usable number, one unit width.
TEST(DatabaseScale, OneReadingOfTheHeadForEveryProgram) {
  struct Case {
    const char* what;
    std::string text;  // the head; when it has all three lines the editor's file goes on after it
    const char* version;
    double scale;
    const char* unit;
    bool damaged;
  };
  const Case cases[] = {
      {"plain", "6.05\r\n1000\r\num\r\n", "6.05", 1000, "um", false},
      {"LF, last line without its end", "6.0\n254\nmil", "6.0", 254, "mil", false},
      {"number then text, as atof reads it", "6.05\r\n25.4mil\r\nmil\r\n", "6.05", 25.4, "mil", false},
      {"long version and unit are cut", "6.05.1\r\n20\r\nabcdefghijklmnopqrst\r\n", "6.05.", 20, "abcde", false},
      {"empty unit stays empty", "6.05\r\n20\r\n\r\n", "6.05", 20, "", false},
      {"zero", "6.05\r\n0\r\num\r\n", "6.05", 20, "um", true},
      {"negative", "6.05\r\n-5\r\nmil\r\n", "6.05", 20, "mil", true},
      {"no number", "6.05\r\nabc\r\num\r\n", "6.05", 20, "um", true},
      {"beyond a double", "6.05\r\n1e999\r\num\r\n", "6.05", 20, "um", true},
      {"too small to divide by", "6.05\r\n1e-310\r\num\r\n", "6.05", 20, "um", true},
      {"empty scale line", "6.05\n\nmil\n", "6.05", 20, "mil", true},
      {"no unit line", "6.05\r\n1000\r\n", "6.05", 1000, "um", false},
      {"version only", "6.05\r\n", "6.05", 20, "um", true},
      {"empty file", "", "6.05", 20, "um", true},
  };
  const std::vector<std::string> golden = Lines(Golden());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DrawingFolder f;
    f.Write("CONSTS6.DBD", c.text);
    db::DatabaseScale head;
    head.unit = "left";
    ASSERT_EQ(db::ReadDatabaseScale(head), 1);
    EXPECT_EQ(head.version, c.version);
    EXPECT_EQ(head.scale, c.scale);
    EXPECT_EQ(head.unit, c.unit);
    EXPECT_EQ(head.damaged, c.damaged);
    if (Lines(c.text).size() < 3) continue;
    f.Write("CONSTS6.DBD", c.text + (c.text.back() == '\n' ? "" : "\n") + Join(golden, golden.size()).substr(
                                         Join(golden, 3).size()));
    db::Settings s = Defaults();
    s.scale = 40;
    bool damaged = !c.damaged;
    ASSERT_EQ(db::ReadSettingsFile(s, db::kSettingsFile, &damaged), 1);
    EXPECT_EQ(s.version, head.version);
    EXPECT_EQ(s.scale, head.scale);
    EXPECT_EQ(s.unitName, head.unit);
    EXPECT_EQ(damaged, head.damaged);
  }
  DrawingFolder f;
  db::DatabaseScale kept;
  kept.unit = "kept";
  EXPECT_EQ(db::ReadDatabaseScale(kept), 0);
  EXPECT_EQ(kept.unit, "kept");
  EXPECT_FALSE(kept.damaged);
}

TEST(Settings, MissingFileIsNotAnError) {
  DrawingFolder f;
  db::Settings s = Defaults();
  EXPECT_EQ(db::ReadSettingsFile(s), 0);
}

}  // namespace
