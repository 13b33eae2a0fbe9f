// The editor program run whole, headless and scripted, on a fresh folder and on the demo drawing:
// what it logs, the files it leaves and the pixels of its screen.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gfx/png.h"
#include "platform/os/process.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A view as the program stores it for a rank: width, centre x, centre y (whole database units).
struct StoredView {
  long width = 0;
  long x = 0;
  long y = 0;
};

class WmeroRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mero-e2e-XXXXXX";
    dir = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ec;
    if (!HasFailure()) fs::remove_all(dir, ec);
  }
  void CopyDemo() { fs::copy(MERO_DEMO_DIR, dir, fs::copy_options::recursive); }

  // Runs the editor in the folder with the script; the exit status.
  int Run(const std::string& script, const std::string& cell = "") {
    std::ofstream(dir / "run.script") << script;
    // The single-instance lock lives in the run's own folder, so editors other tests run meanwhile
    // do not count.
    const std::string command = "cd '" + dir.string() + "' && XDG_RUNTIME_DIR='" + dir.string() +
                                "' QT_QPA_PLATFORM=offscreen MERO_SCRIPT=run.script MERO_LOG=run.log '" MERO_WMERO
                                "' " + cell + " > run.out 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<std::string> Log() { return Lines(dir / "run.log"); }
  bool Logged(const std::string& line) {
    const auto log = Log();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  bool Has(const std::string& name) { return fs::exists(dir / name); }

  StoredView RankView(int rank) {
    const auto lines = Lines(dir / "Consts6.dbd");
    auto it = std::find(lines.begin(), lines.end(), "*15 windows");
    EXPECT_NE(it, lines.end());
    if (it == lines.end() || lines.end() - it < 1 + 6 * rank) return {};
    const auto v = it + 1 + 6 * (rank - 1);
    return {std::stol(v[3]), std::stol(v[4]), std::stol(v[5])};
  }

  gfx::Surface Picture(const std::string& name) {
    gfx::Surface s;
    EXPECT_EQ(gfx::LoadPng((dir / name).string(), s), 1) << name;
    return s;
  }

  fs::path dir;
};

// The drawing area of a snapshot and the view that fits a world rectangle in it, as the editor
// lays them out: 94 pixels of panels on the right, 24 of toolbar and 42 of status bar.
struct Screen {
  int left = 0, top = 24, right = 0, bottom = 0;
  double width = 0, cx = 0, cy = 0, scale = 0;

  Screen(const gfx::Surface& s, double l, double b, double r, double t) {
    right = s.width - 94;
    bottom = s.height - 42;
    const double ratio = double(bottom - top) / (right - left);
    width = std::max(std::abs(r - l) * 1.1, std::abs(t - b) * 1.1 / ratio);
    cx = std::trunc((l + r) * 0.5);
    cy = std::trunc((b + t) * 0.5);
    scale = (right - left) / width;
  }
  int X(double wx) const { return int(std::lround((wx - cx) * scale)) + (left + right) / 2; }
  int Y(double wy) const { return (top + bottom) / 2 - int(std::lround((wy - cy) * scale)); }
};

bool Black(const gfx::Surface& s, int x, int y) { return (s.Row(y)[x] & 0xFFFFFF) == 0; }

// How many pixels of a column (or row) between two ends are lit, the column taken within a pixel.
int LitColumn(const gfx::Surface& s, int x, int y1, int y2) {
  int n = 0;
  for (int y = std::min(y1, y2) + 2; y <= std::max(y1, y2) - 2; ++y)
    n += !Black(s, x - 1, y) || !Black(s, x, y) || !Black(s, x + 1, y);
  return n;
}
int LitRow(const gfx::Surface& s, int y, int x1, int x2) {
  int n = 0;
  for (int x = std::min(x1, x2) + 2; x <= std::max(x1, x2) - 2; ++x)
    n += !Black(s, x, y - 1) || !Black(s, x, y) || !Black(s, x, y + 1);
  return n;
}

TEST_F(WmeroRun, AFreshFolderGetsItsDefaultFilesAndTheNewCell) {
  ASSERT_EQ(Run("answer CELL set 1001 \"chip\" press ok\n"
                "answer NEWCELL set 1003 \"2\" press ok\n"
                "wait\nsnapshot fresh.png\nquit\n"),
            0);
  for (const char* f : {"Form.dbd", "Cells6.dbd", "Consts6.dbd", "Chip.bp6", "Chip.cl6", "Cellbkup.bp6",
                        "Mainbkup.bp6", "fresh.png"})
    EXPECT_TRUE(Has(f)) << f;
  EXPECT_TRUE(Logged("dialog CELL"));
  EXPECT_TRUE(Logged("dialog NEWCELL"));
  EXPECT_TRUE(Logged("title \"MERO 6.0     Cell: CHIP    Rank : 2    Directory : " + fs::canonical(dir).string() + "\""));
  EXPECT_TRUE(Logged("item BOTTOM 304 \" 0 Cells  0 Boxes  0 Paths  0 Vtx\""));
  const auto index = Lines(dir / "Cells6.dbd");
  ASSERT_GE(index.size(), 3u);
  EXPECT_EQ(index[0], "1");
  EXPECT_EQ(index[1], "CHIP");
}

TEST_F(WmeroRun, ACellThatCannotBeReadLeavesNoneOpenAndTheCellDialogAsks) {
  CopyDemo();
  fs::remove(dir / "Row.bp6");
  ASSERT_EQ(Run("box ok\nanswer CELL press cancel\nwait\nquit\n", "ROW"), 0);
  EXPECT_TRUE(Logged("box \"\" \"Unable to Read BP6 File\""));
  EXPECT_TRUE(Logged("dialog CELL"));
  EXPECT_TRUE(Logged("title \"MERO 6.0     Cell: (none)    Rank : 0    Directory : " + fs::canonical(dir).string() + "\""));
}

TEST_F(WmeroRun, FitShowsTheWholeDemoCell) {
  CopyDemo();
  ASSERT_EQ(Run("wait\ncommand 22\nwait\nsnapshot fit.png\nquit\n", "TOP"), 0);
  // The view fits the outline the save wrote for the cell, a tenth to spare.
  const auto index = Lines(dir / "Cells6.dbd");
  auto row = std::find(index.begin(), index.end(), "TOP");
  ASSERT_NE(row, index.end());
  long rank, l, b, r, t;
  ASSERT_EQ(std::sscanf((row + 1)->c_str(), "%ld %ld %ld %ld %ld", &rank, &l, &b, &r, &t), 5);
  const gfx::Surface shot = Picture("fit.png");
  const Screen screen(shot, l, b, r, t);
  const StoredView v = RankView(4);
  EXPECT_NEAR(double(v.width), screen.width, 1.0);
  EXPECT_EQ(v.x, long(screen.cx));
  EXPECT_EQ(v.y, long(screen.cy));
  // The pad ring of the top cell: a path 60 wide along y = -200 from x = -200 to 2400, drawn as its
  // outline.
  const int span = screen.X(2300) - screen.X(-100);
  EXPECT_GT(LitRow(shot, screen.Y(-230), screen.X(-100), screen.X(2300)), span * 9 / 10);
  EXPECT_GT(LitRow(shot, screen.Y(-170), screen.X(-100), screen.X(2300)), span * 9 / 10);
}

// FNV-1a over the drawing area of a snapshot (the panels around it are Qt's to draw).
std::uint64_t DrawingAreaHash(const gfx::Surface& s) {
  std::uint64_t h = 14695981039346656037ull;
  for (int y = 24; y < s.height - 42; ++y)
    for (int x = 0; x < s.width - 94; ++x) {
      const std::uint32_t p = s.Row(y)[x] & 0xFFFFFFu;
      for (int k = 0; k < 4; ++k) {
        h ^= (p >> (8 * k)) & 0xFF;
        h *= 1099511628211ull;
      }
    }
  return h;
}

// The demo drawing's picture at Fit is held fixed, and further Draw commands give it again.
TEST_F(WmeroRun, TheDemoPictureAtFitStaysAsItWas) {
  CopyDemo();
  ASSERT_EQ(Run("wait\ncommand 22\nwait\nsnapshot fit.png\ncommand 27\nwait\ncommand 27\nwait\n"
                "snapshot again.png\nquit\n",
                "TOP"),
            0);
  const gfx::Surface fit = Picture("fit.png");
  ASSERT_EQ(fit.width, 796);
  ASSERT_EQ(fit.height, 777);
  EXPECT_EQ(DrawingAreaHash(fit), 0x90746ee1fd7861f9ull) << std::hex << DrawingAreaHash(fit);
  EXPECT_EQ(DrawingAreaHash(Picture("again.png")), DrawingAreaHash(fit));
}

TEST_F(WmeroRun, AnInstanceTurnedAQuarterLandsWhereItsOrientationPutsIt) {
  CopyDemo();
  // INV placed at (2040, 0) with code 1: its n-well (-20, 220)-(220, 440) turns to x -440..-220,
  // y -20..220 and moves to x 1600..1820.
  ASSERT_EQ(Run("answer CMD set 1345 \"Zoom 79 -2 92 12\" press ok\n"
                "wait\npost 1025 77 0\nwait\nsnapshot inv.png\nquit\n",
                "TOP"),
            0);
  const gfx::Surface shot = Picture("inv.png");
  const Screen screen(shot, 1580, -40, 1840, 240);
  EXPECT_NEAR(double(RankView(4).width), screen.width, 1.0);
  const int top = screen.Y(220), bottom = screen.Y(-20);
  EXPECT_GT(LitColumn(shot, screen.X(1600), top, bottom), (bottom - top) * 9 / 10);
  EXPECT_GT(LitColumn(shot, screen.X(1820), top, bottom), (bottom - top) * 9 / 10);
  EXPECT_GT(LitRow(shot, top, screen.X(1600), screen.X(1820)), 0);
  // Where the cell would stand unturned there is only black.
  int lit = 0;
  for (int y = screen.Y(230); y < screen.Y(225); ++y) lit += !Black(shot, screen.X(1700), y);
  EXPECT_EQ(lit, 0);
}

TEST_F(WmeroRun, MacrosPansAndLastLeaveTheViewTheCellIsSavedWith) {
  CopyDemo();
  ASSERT_EQ(Run("answer CMD press 1172\n"
                "answer MACRO set 1171 \"Zoom 0 0 50 50\\nRight\\nRight\\nLast\\nXpnd\" press ok\n"
                "wait\npost 1025 77 0\nwait\nquit\n",
                "TOP"),
            0);
  EXPECT_TRUE(Logged("dialog MACRO"));
  // Zoom to (0, 0)-(1000, 1000); two pans right; Last goes back one; the last line had no end.
  const StoredView v = RankView(4);
  const double w = double(v.width);
  EXPECT_NEAR(double(v.x), 500 + w / 2, 1.0);
  EXPECT_EQ(v.y, 500);
  EXPECT_GE(w, 1100 - 1);
}

TEST_F(WmeroRun, FunctionKeysRunTheFormMacrosAndAnUnknownWordSaysSo) {
  CopyDemo();
  ASSERT_EQ(Run("wait\nkey F3\nwait\nkey F9\nwait\nbox ok\nanswer CMD set 1345 \"Nonesuch 1 2\" press ok\n"
                "post 1025 77 0\nwait\nquit\n",
                "TOP"),
            0);
  EXPECT_TRUE(Logged("box \"\" \"Unknown Command\""));
  // F3 is the second FKEY line: Zoom 0 0 30 30.
  const StoredView v = RankView(4);
  EXPECT_EQ(v.x, 300);
  EXPECT_EQ(v.y, 300);
  EXPECT_EQ(Lines(dir / "Consts6.dbd").size() > 0, true);
}

TEST_F(WmeroRun, LayerListsDepthAndPanels) {
  CopyDemo();
  ASSERT_EQ(Run("wait\nkey ctrl+J\nwait\n"
                "answer LYRTABLE set 1344 \"5 7\" press ok\npost 1025 61 0\nwait\n"
                "answer DPTH set 152 \"99\" press ok\npost 1025 37 0\nwait\n"
                "click 300 300 right\nwait\nquit\n",
                "TOP"),
            0);
  EXPECT_TRUE(Logged("item BOTTOM 302 \" View(5 7) Open(1-64)\""));
  EXPECT_TRUE(Logged("dialog MENUBTNS6") || Logged("dialog MENUBTNS4") || Logged("dialog MENUBTNS2"));
  const auto consts = Lines(dir / "Consts6.dbd");
  auto it = std::find(consts.begin(), consts.end(), "*15 view/open strings");
  ASSERT_NE(it, consts.end());
  EXPECT_EQ(it[1 + 2 * 3], "5 7");
}

TEST_F(WmeroRun, TheDotGridComesAndGoes) {
  CopyDemo();
  ASSERT_EQ(Run("wait\nsnapshot before.png\npost 1025 58 0\nwait\nsnapshot on.png\n"
                "post 1025 58 0\nwait\nsnapshot off.png\nquit\n",
                "TOP"),
            0);
  const gfx::Surface before = Picture("before.png"), on = Picture("on.png"), off = Picture("off.png");
  ASSERT_EQ(before.pixels.size(), on.pixels.size());
  // Grey dots on the black between the objects, then exactly the picture before.
  int dots = 0;
  for (std::size_t i = 0; i < on.pixels.size(); ++i)
    dots += (before.pixels[i] & 0xFFFFFF) == 0 && (on.pixels[i] & 0xFFFFFF) == 0xC0C0C0;
  EXPECT_GT(dots, 100);
  EXPECT_EQ(off.pixels, before.pixels);
}

TEST_F(WmeroRun, ASecondEditorIsWarnedAbout) {
  CopyDemo();
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  ASSERT_FALSE(os::AnotherInstanceRunning("MERORUN"));  // this process now holds the editors' lock
  ASSERT_EQ(Run("box ok\nwait\nquit\n", "TOP"), 0);
  EXPECT_TRUE(Logged("box \"MERO\" \"You are running more than one instance of MERO.\\nThey should not be run on "
                     "the same drawing.\""));
}

TEST_F(WmeroRun, MinimisingSavesTheCell) {
  CopyDemo();
  const auto before = fs::last_write_time(dir / "Top.bp6");
  ASSERT_EQ(Run("wait\npost 3 1 0\nwait\nquit\n", "TOP"), 0);
  EXPECT_TRUE(Logged("title \"TOP (min)\""));
  EXPECT_TRUE(Logged("title \"MERO 6.0     ( Saving TOP )\""));
  EXPECT_NE(fs::last_write_time(dir / "Top.bp6"), before);
}

}  // namespace
