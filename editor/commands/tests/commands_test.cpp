// The command table, the typed command line, macros, F-keys, the CMD and MACRO dialogs and the view
// commands, run in the editor over the real table.
#include <cmath>
#include <limits>
#include <set>

#include "editor/commands/command_line.h"
#include "editor/commands/command_table.h"
#include "editor/commands/view_commands.h"
#include "editor/db/current_cell.h"
#include "editor/ui/command_dialogs.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/main_window.h"
#include "editor/ui/tests/editor_fixture.h"
#include "platform/ui/keys.h"
#include "platform/ui/window.h"

namespace edtest {
namespace {

using namespace edcmd;

TEST(CommandLineWords, BlanksAndCommasSeparateAndNumbersTruncate) {
  EXPECT_EQ(SplitCommandTokens("Mov,0,0,100,0"), (std::vector<std::string>{"Mov", "0", "0", "100", "0"}));
  EXPECT_EQ(SplitCommandTokens("  Get ,, 1  2 "), (std::vector<std::string>{"Get", "1", "2"}));
  EXPECT_TRUE(SplitCommandTokens(" , ").empty());
  struct Case {
    const char* text;
    double scale;
    std::int32_t value;
  } cases[] = {
      {"1.2345", 1000, 1234}, {"-0.0009", 1000, 0}, {"-2.5", 20, -50}, {"12abc", 1, 12},
      {"abc", 1, 0},          {"1e30", 1, 8388608}, {"-1e30", 1, -8388608},
      {"0x10", 1000, 0},      {"nan", 1000, 0},     {"inf", 1000, 0},     {"1e400", 1000, 8388608},
      {"-1e400", 1000, -8388608},
  };
  for (const Case& c : cases) EXPECT_EQ(TypedCoordinate(c.text, c.scale), c.value) << c.text;
}

TEST(CommandTableRows, WordsIdsAndKindsAreFixed) {
  const auto table = CommandTable();
  ASSERT_EQ(table.size(), 78u);
  std::set<std::string> words;
  std::set<int> ids;
  for (const auto& e : table) {
    std::string w(e.word);
    for (char& c : w) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(words.insert(w).second) << e.word;
    EXPECT_TRUE(ids.insert(e.id).second) << e.word;
    EXPECT_NE(e.handler, nullptr) << e.word;
  }
  for (int row = kSWin; row <= kLast; ++row) {
    EXPECT_EQ(edui::KindOf(table[std::size_t(row)]), edui::kTransparent) << row;
    EXPECT_EQ(table[std::size_t(row)].flags, row < kCntr ? 0x10 : 0x90) << row;
  }
  EXPECT_EQ(table[kGet].word, "Get");
  EXPECT_EQ(table[kDn].word, "Dn");
  EXPECT_EQ(table[kCmd].id, 166);
  EXPECT_EQ(edui::StatusMaskOf(table[kGet]), 14);
  EXPECT_EQ(edui::StatusMaskOf(table[kDraw]), 9);
  EXPECT_EQ(FindTypedCommand("gEt"), kGet);
  EXPECT_EQ(FindTypedCommand("dn"), kDn);
  EXPECT_EQ(FindTypedCommand("Cmd"), -1);
  EXPECT_EQ(FindTypedCommand("Nope"), -1);
}

TEST(GridSteps, NextUsableEntryWrapsAndStopsAfterOneRound) {
  std::array<std::int32_t, 11> grids{};
  grids[1] = 10;
  grids[4] = 50;
  EXPECT_EQ(NextGridIndex(grids, 1), 4);
  EXPECT_EQ(NextGridIndex(grids, 4), 1);
  EXPECT_EQ(NextGridIndex(grids, 0), 1);
  std::array<std::int32_t, 11> none{};
  none[0] = 100;
  EXPECT_EQ(NextGridIndex(none, 3), 3);
}

TEST(CommandHistory, MostRecentFirstEqualLinesMoveUpAndTheOldestDropsOut) {
  std::array<std::string, 16> h;
  for (int i = 0; i < 16; ++i) h[std::size_t(i)] = "line" + std::to_string(i);
  edui::RememberCommand(h, "LINE3");
  EXPECT_EQ(h[0], "LINE3");
  EXPECT_EQ(h[1], "line0");
  EXPECT_EQ(h[3], "line2");
  EXPECT_EQ(h[4], "line4");
  edui::RememberCommand(h, "new");
  EXPECT_EQ(h[0], "new");
  EXPECT_EQ(h[15], "line14");
  edui::RememberCommand(h, "");
  EXPECT_EQ(h[0], "new");
}

class CommandTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    drive->Write("FORM.DBD", "pool=\r\nlayer=one 1\r\nlayer=thr 3\r\nlayer=fiv 5\r\nlayer=sev 7\r\n"
                             "FKEY=Xpnd\r\nFKEY=Right\r\n");
    // Away from (0, 0), where the origin mark is drawn.
    WriteCells({{"TOP", 1, {{3, 500, 200, 1500, 700}, {5, 1700, 200, 2700, 700}, {7, 2900, 200, 3900, 700}}, {}}});
    Start(CommandTable(), "TOP");
    E().db.settings.scale = 20;
    Run("Fit");
  }
  int Run(const std::string& line) {
    E().commandLine = line;
    const int r = ExecuteCommandLine(E());
    Drain();
    return r;
  }
  void Begin(int row) {
    Send(edui::wm::StartCommand, ui::WParam(row));
    Drain();
  }
  const draw::ViewState& V() { return E().view; }
  // Pixels of the drawing area that are not black inside a world rectangle.
  int Lit(std::int32_t l, std::int32_t b, std::int32_t r, std::int32_t t) {
    const gfx::Surface& s = *ui::WindowSurface(E().main);
    const draw::ScreenPoint a = draw::WorldToScreen(V(), l, t);
    const draw::ScreenPoint z = draw::WorldToScreen(V(), r, b);
    int n = 0;
    for (int y = std::max(a.y - 1, 0); y <= std::min(z.y + 1, s.height - 1); ++y)
      for (int x = std::max(a.x - 1, 0); x <= std::min(z.x + 1, s.width - 1); ++x) n += s.Row(y)[x] != 0;
    return n;
  }
};

TEST_F(CommandTest, FitShowsTheCellWithATenthToSpare) {
  EXPECT_DOUBLE_EQ(V().centreX, 2200);
  EXPECT_DOUBLE_EQ(V().centreY, 450);
  EXPECT_DOUBLE_EQ(V().width, std::max(3400 * 1.1, 500 * 1.1 / V().ratio));
}

TEST_F(CommandTest, ShortLinesAreIgnoredAndUnknownWordsSaySo) {
  const double y = V().centreY;
  EXPECT_EQ(Run("Dn"), 0);
  EXPECT_DOUBLE_EQ(V().centreY, y);
  EXPECT_EQ(Run("Dn 0"), 1);
  EXPECT_LT(V().centreY, y);
  Script("box ok\n");
  EXPECT_EQ(Run("Frobnicate 1 2"), 0);
  EndScript();
  EXPECT_TRUE(Logged("box \"\" \"Unknown Command\""));
}

TEST_F(CommandTest, TypedNumbersArePointsInUserUnits) {
  EXPECT_EQ(Run("Cntr 10 -20"), 1);
  EXPECT_DOUBLE_EQ(V().centreX, 200);
  EXPECT_DOUBLE_EQ(V().centreY, -400);
  // Corners in any order; the same tenth to spare as Fit; and never below 64 units wide.
  EXPECT_EQ(Run("Zoom 195 35 25 10"), 1);
  EXPECT_DOUBLE_EQ(V().centreX, 2200);
  EXPECT_DOUBLE_EQ(V().width, std::max(3400 * 1.1, 500 * 1.1 / V().ratio));
  EXPECT_EQ(Run("Zoom 0 0 0.1 0.1"), 1);
  EXPECT_DOUBLE_EQ(V().width, 64);
}

TEST_F(CommandTest, ALineStopsWithItsCommandAndNumbersRunningOutLeaveItWaiting) {
  const db::SavedWindow before{V().width, V().centreX, V().centreY};
  EXPECT_EQ(Run("Cntr 1 1 Fit"), 1);
  // Fit did not run: the last view is still the one before Cntr.
  EXPECT_DOUBLE_EQ(E().db.settings.savedWindows[0].centreX, before.centreX);
  EXPECT_EQ(Run("Zoom 1 1"), 0);
  EXPECT_EQ(E().proto.now.current, kZoom);
  EXPECT_EQ(E().proto.now.pointState, 2);
}

TEST_F(CommandTest, PanningComesBackWithLast) {
  const double x = V().centreX;
  const double w = V().width;
  Begin(kRight);
  EXPECT_DOUBLE_EQ(V().centreX, x + w / 2);
  Begin(kLast);
  EXPECT_DOUBLE_EQ(V().centreX, x);
  Begin(kLast);
  EXPECT_DOUBLE_EQ(V().centreX, x + w / 2);
  ui::PressKey(ui::key::Control, ui::mod::Control, 0);
  Begin(kLeft);
  Begin(kXpnd);
  ui::ReleaseKey(ui::key::Control, 0);
  EXPECT_DOUBLE_EQ(V().centreX, x + w / 2 - 0.05 * w);
  EXPECT_NEAR(V().width, w * 1.1, 1e-9);
  Begin(kXpnd);
  EXPECT_NEAR(V().width, w * 2.2, 1e-9);
}

TEST_F(CommandTest, ASavedWindowThatIsNoNumberLeavesTheViewAsItIs) {
  const double w = V().width;
  const double x = V().centreX;
  E().db.settings.savedWindows[0] = {std::nan(""), std::numeric_limits<double>::infinity(), 100};
  Begin(kLast);
  EXPECT_DOUBLE_EQ(V().width, w);
  EXPECT_TRUE(std::isfinite(V().centreX));
  EXPECT_DOUBLE_EQ(V().centreY, 100);
  Begin(kLast);
  EXPECT_DOUBLE_EQ(V().centreX, x);
}

TEST_F(CommandTest, MacroLinesRunInOrderAndTheLastLineNeedsItsLineEnd) {
  const double w = V().width;
  RunMacro(E(), "Xpnd\r\nXpnd\r\nXpnd");
  Drain();
  EXPECT_NEAR(V().width, w * 4, 1e-6);
  // The character met at 80 characters ends the line and is lost.
  Script("box ok\n");
  RunMacro(E(), "Xpnd" + std::string(76, ' ') + "Xpnd\n");
  EndScript();
  Drain();
  EXPECT_NEAR(V().width, w * 8, 1e-6);
  EXPECT_TRUE(Logged("box \"\" \"Unknown Command\""));
}

TEST_F(CommandTest, FunctionKeysRunTheirFormMacros) {
  const double w = V().width;
  const double x = V().centreX;
  Send(ui::msg::Command, ui::MakeWParam(1400, 0));
  Drain();
  EXPECT_NEAR(V().width, 2 * w, 1e-9);
  Send(ui::msg::Command, ui::MakeWParam(1401, 0));
  Drain();
  EXPECT_NEAR(V().centreX, x + w, 1e-9);
  Send(ui::msg::Command, ui::MakeWParam(1403, 0));  // F5: no such line
  Drain();
  EXPECT_NEAR(V().centreX, x + w, 1e-9);
  EXPECT_EQ(E().macroFlag, 0);
  EXPECT_EQ(E().proto.lastRepeatable, kGet);
}

TEST_F(CommandTest, CmdRunsTheTypedLineOrTheMacroAndRemembersTheLine) {
  const double w = V().width;
  Script("answer CMD set 1345 \"Xpnd\" press ok\n");
  Send(edui::wm::StartCommand, kCmd);
  EndScript();
  Drain();
  EXPECT_NEAR(V().width, 2 * w, 1e-9);
  EXPECT_EQ(E().db.settings.commands[0], "Xpnd");
  EXPECT_EQ(E().proto.lastRepeatable, kGet);
  Script("answer CMD press 1172\nanswer MACRO set 1171 \"Xpnd\\nXpnd\\n\" press ok\n");
  Send(edui::wm::StartCommand, kCmd);
  EndScript();
  Drain();
  EXPECT_NEAR(V().width, 8 * w, 1e-6);
  EXPECT_EQ(E().macroText, "Xpnd\r\nXpnd\r\n");
  EXPECT_EQ(E().proto.lastRepeatable, kGet);
}

TEST_F(CommandTest, DepthAndWindowNumbersAreHeldInTheirRanges) {
  for (auto [typed, depth] : {std::pair{"20", 15}, {"-1", 0}, {"3", 3}}) {
    Script(std::string("answer DPTH set 152 \"") + typed + "\" press ok\n");
    Send(edui::wm::StartCommand, kDpth);
    EndScript();
    Drain();
    EXPECT_EQ(E().db.settings.depth, depth) << typed;
  }
  const double w = V().width;
  for (auto [typed, slot] : {std::pair{"0", 1}, {"12", 9}}) {
    E().db.settings.savedWindows[std::size_t(slot)] = {};
    Script(std::string("answer SWIN set 1342 \"") + typed + "\" press ok\n");
    Send(edui::wm::StartCommand, kSWin);
    EndScript();
    Drain();
    EXPECT_DOUBLE_EQ(E().db.settings.savedWindows[std::size_t(slot)].width, w) << typed;
  }
  Begin(kXpnd);
  Script("answer SWIN set 1342 \"9\" press ok\n");
  Send(edui::wm::StartCommand, kRWin);
  EndScript();
  Drain();
  EXPECT_DOUBLE_EQ(V().width, w);
}

TEST_F(CommandTest, GridCommandsStepTheirIndexesAndTheDotGridComesOffAgain) {
  auto& s = E().db.settings;
  s.workGrids = {};
  s.workGrids[1] = 10;
  s.workGrids[4] = 50;
  E().view.workGrid = 1;
  Begin(kWGrd);
  EXPECT_EQ(E().view.workGrid, 4);
  Begin(kWGrd);
  EXPECT_EQ(E().view.workGrid, 1);
  ui::PressKey(ui::key::Control, ui::mod::Control, 0);
  Script("answer WDGRD set 1306 \"2.5\" press ok\n");
  Send(edui::wm::StartCommand, kWGrd);
  EndScript();
  ui::ReleaseKey(ui::key::Control, 0);
  Drain();
  EXPECT_EQ(s.workGrids[0], 50);
  EXPECT_EQ(E().view.workGrid, 0);

  s.dotGrids[E().view.dotGrid] = 200;
  const gfx::Surface before = *ui::WindowSurface(E().main);
  Begin(kGrid);
  EXPECT_EQ(E().view.dotShown, 1);
  EXPECT_NE(ui::WindowSurface(E().main)->pixels, before.pixels);
  Begin(kGrid);
  EXPECT_EQ(E().view.dotShown, 0);
  EXPECT_EQ(ui::WindowSurface(E().main)->pixels, before.pixels);
}

TEST_F(CommandTest, ViewListsAreStoredForTheRankAndBuildTheMask) {
  auto& s = E().db.settings;
  s.layerSelectionByTable = 0;
  Script("answer LYRTABLE set 1344 \"3 7\" press ok\n");
  Send(edui::wm::StartCommand, kView);
  EndScript();
  Drain();
  EXPECT_EQ(s.rankViews[1].viewList, "3 7");
  EXPECT_EQ(E().masks.view, draw::LayerBit(3) | draw::LayerBit(7));
  Script("answer LYRTABLE set 1344 \"1-64\" press cancel\n");
  Send(edui::wm::StartCommand, kView);
  EndScript();
  EXPECT_EQ(s.rankViews[1].viewList, "3 7");
  Script("answer LYRTABLE set 1344 \"\" press ok\n");
  Send(edui::wm::StartCommand, kOpen);
  EndScript();
  EXPECT_EQ(s.rankViews[1].openList, "0");
  EXPECT_EQ(E().masks.open, 0u);
}

TEST_F(CommandTest, LayerByLayerDrawsOnlyTheViewedLayersAndEscStopsAtOnce) {
  auto& s = E().db.settings;
  s.layerSelectionByTable = 0;
  s.rankViews[1].viewList = "3 7";
  draw::BuildViewMask(E().masks, E().db.form, s, 1);
  Begin(kSDrw);
  EXPECT_GT(Lit(500, 200, 1500, 700), 0);
  EXPECT_EQ(Lit(1700, 200, 2700, 700), 0);
  EXPECT_GT(Lit(2900, 200, 3900, 700), 0);
  EXPECT_EQ(E().viewCommands.upRunning, 0);
  EXPECT_FALSE(E().draw.singleLayer);

  ui::PressKey(ui::key::Escape, 0, 0);
  Begin(kRDrw);
  ui::ReleaseKey(ui::key::Escape, 0);
  Drain();
  EXPECT_EQ(Lit(500, 200, 1500, 700), 0);
  EXPECT_EQ(Lit(2900, 200, 3900, 700), 0);
  EXPECT_EQ(E().viewCommands.downRunning, 0);

  // One layer by number.
  Script("answer LYRTABLE set 1344 \"5\" press ok\n");
  Send(edui::wm::StartCommand, kLDrw);
  EndScript();
  Drain();
  EXPECT_EQ(Lit(500, 200, 1500, 700), 0);
  EXPECT_GT(Lit(1700, 200, 2700, 700), 0);
  EXPECT_EQ(E().viewCommands.lastSingleLayer, 5);
  // Draw brings every viewed layer back.
  Begin(kDraw);
  EXPECT_GT(Lit(500, 200, 1500, 700), 0);
  EXPECT_EQ(Lit(1700, 200, 2700, 700), 0);
}

}  // namespace
}  // namespace edtest
