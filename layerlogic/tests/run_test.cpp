#include "layerlogic/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "layerlogic/tests/ll_fixture.h"

namespace layerlogic {
namespace {

using lltest::Cell;
using lltest::Folder;
using lltest::Output;

// Which unit squares of the window an output covers: boxes, and polygons by crossings at the square
// centres.
struct Grid {
  int width, height;
  std::vector<char> on;
  Grid(int w, int h) : width(w), height(h), on(static_cast<std::size_t>(w) * h, 0) {}
  char& At(int x, int y) { return on[static_cast<std::size_t>(y) * width + x]; }

  void Box(const tlc::TlcBox& b, bool toggle) {
    const int x0 = std::max(0, b.left), x1 = std::min(width, b.right);
    for (int y = std::max(0, b.bottom); y < std::min(height, b.top); ++y) {
      char* row = on.data() + static_cast<std::size_t>(y) * width;
      for (int x = x0; x < x1; ++x) row[x] = toggle ? row[x] ^ 1 : 1;
    }
  }
  void Add(const Output& out) {
    for (const tlc::TlcBox& b : out.boxes) Box(b, true);
    for (const tlc::TlcPath& p : out.polygons) {
      for (int y = 0; y < height; ++y) {
        const double cy = y + 0.5;
        std::vector<double> xs;
        for (std::size_t i = 0; i + 1 < p.x.size(); ++i) {
          const double y0 = p.y[i], y1 = p.y[i + 1];
          if ((y0 <= cy) != (y1 <= cy)) xs.push_back(p.x[i] + (cy - y0) * (p.x[i + 1] - p.x[i]) / (y1 - y0));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
          const int from = std::max(0, static_cast<int>(std::floor(xs[k] - 0.5)) + 1);
          const int to = std::min(width - 1, static_cast<int>(std::ceil(xs[k + 1] - 0.5)) - 1);
          for (int x = from; x <= to; ++x) At(x, y) ^= 1;
        }
      }
    }
  }
  // Squares where the output differs from `expected`.
  int Differences(const std::function<bool(int, int)>& expected) {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += (At(x, y) != 0) != expected(x, y);
    return n;
  }
};

bool In(const tlc::TlcBox& b, int x, int y) { return x >= b.left && x < b.right && y >= b.bottom && y < b.top; }

Output Result(const Folder& f, const std::string& name = "OUT.TLC") {
  for (const auto& n : f.Names())
    if (strcasecmp(n.c_str(), name.c_str()) == 0) return lltest::ReadOutput(f.Read(n));
  ADD_FAILURE() << name << " not written: " << f.Listing();
  return {};
}

const tlc::TlcBox kA{1, 0, 0, 100, 60};
const tlc::TlcBox kB{2, 50, 20, 150, 100};

// One database unit a pixel, a window of 200 by 200 units: one tile.
const std::vector<std::pair<int, std::string>> kOneUnit = {
    {kCell, "top"}, {kOutput, "out"}, {kMapResolution, "0.05"}, {kLeft, "0"}, {kBottom, "0"},
    {kRight, "10"}, {kTop, "10"}};

TEST(RunLayerLogic, EveryOperationAndInversion) {
  struct Case {
    std::string op, notA, notB, notOut, layerB, poly;
    std::function<bool(bool, bool)> f;
  } cases[] = {
      {"0", "N", "N", "N", "2", "N", [](bool a, bool b) { return a && b; }},
      {"1", "N", "N", "N", "2", "N", [](bool a, bool b) { return a || b; }},
      {"2", "N", "N", "N", "2", "N", [](bool a, bool b) { return a != b; }},
      {"0", "Y", "N", "N", "2", "N", [](bool a, bool b) { return !a && b; }},
      {"1", "N", "Y", "Y", "2", "N", [](bool a, bool b) { return !(a || !b); }},
      {"2", "Y", "Y", "N", "2", "Y", [](bool a, bool b) { return a != b; }},
      {"1", "N", "N", "N", "2", "Y", [](bool a, bool b) { return a || b; }},
      {"0", "N", "N", "Y", "0", "N", [](bool a, bool) { return !a; }},
      {"0", "N", "N", "N", "0", "Y", [](bool a, bool) { return a; }},
  };
  for (const Case& c : cases) {
    Folder f;
    f.Make({{"TOP", 1, {kA, kB}}});
    std::vector<std::pair<int, std::string>> typed = kOneUnit;
    typed.insert(typed.end(), {{kOperation, c.op}, {kNotA, c.notA}, {kNotB, c.notB}, {kNotOut, c.notOut},
                               {kLayerB, c.layerB}, {kConvertToPoly, c.poly}});
    SCOPED_TRACE("op " + c.op + " not " + c.notA + c.notB + c.notOut + " B " + c.layerB + " poly " + c.poly);
    ASSERT_EQ(f.Go(typed), 1) << ::testing::PrintToString(f.ui.events);
    const Output out = Result(f);
    Grid g(260, 260);
    g.Add(out);
    EXPECT_EQ(g.Differences([&](int x, int y) {
      return x < 200 && y < 200 && c.f(In(kA, x, y), In(kB, x, y));
    }), 0);
    for (const auto& b : out.boxes) EXPECT_EQ(b.layer, 3);
    for (const auto& p : out.polygons) EXPECT_EQ(p.layer, 3);
    EXPECT_EQ(f.outcome.totals.boxes, static_cast<int>(out.boxes.size()));
    EXPECT_EQ(f.outcome.totals.polygons, static_cast<int>(out.polygons.size()));
  }
}

TEST(RunLayerLogic, AndOfTwoBoxesIsOneBoxAndOrWithPolygonsIsOneOutline) {
  Folder f;
  f.Make({{"TOP", 1, {kA, kB}}});
  ASSERT_EQ(f.Go(kOneUnit), 1);
  Output out = Result(f);
  ASSERT_EQ(out.boxes.size(), 1u);
  EXPECT_EQ(out.boxes[0].left, 50);
  EXPECT_EQ(out.boxes[0].bottom, 20);
  EXPECT_EQ(out.boxes[0].right, 100);
  EXPECT_EQ(out.boxes[0].top, 60);

  ASSERT_EQ(f.Go({{kOperation, "1"}, {kConvertToPoly, "Y"}}), 1);
  out = Result(f);
  EXPECT_TRUE(out.boxes.empty());
  ASSERT_EQ(out.polygons.size(), 1u);
  EXPECT_EQ(out.polygons[0].x, (std::vector<std::int32_t>{0, 0, 50, 50, 150, 150, 100, 100, 0}));
  EXPECT_EQ(out.polygons[0].y, (std::vector<std::int32_t>{0, 60, 60, 100, 100, 20, 20, 0, 0}));
  EXPECT_EQ(f.ui.items[kItemPolygons], "Area Poly Count: 1  Total: 1");
  EXPECT_EQ(f.ui.items[kItemVertices], "Area Vertex Count: 9  Total: 9");
}

TEST(RunLayerLogic, TilesJoinWithoutGapsAcrossAHierarchy) {
  std::mt19937 rng(11);
  for (int round = 0; round < 4; ++round) {
    // Three tiles by three, one unit a pixel; shapes cross the tile borders at 1024 and 2048.
    Cell top{"TOP", 2};
    std::vector<tlc::TlcBox> flat;
    for (int i = 0; i < 24; ++i) {
      const int x = static_cast<int>(rng() % 2600) - 100, y = static_cast<int>(rng() % 2600) - 100;
      const int w = 1 + static_cast<int>(rng() % 900), h = 1 + static_cast<int>(rng() % 900);
      top.boxes.push_back({1 + i % 2, x, y, x + w, y + h});
      flat.push_back(top.boxes.back());
    }
    // A quarter turn of a cell's box (0,0)-(300,40) at (1500,900): (-40,0)-(0,300) moved there.
    Cell bar{"BAR", 1, {{1, 0, 0, 300, 40}}};
    top.refs.push_back({"BAR", 1, 1500, 900});
    flat.push_back({1, 1460, 900, 1500, 1200});
    Folder f;
    f.Make({bar, top});
    const std::string op = std::to_string(round % 3), poly = round % 2 ? "Y" : "N";
    ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kMapResolution, "0.05"}, {kLeft, "0"}, {kBottom, "0"},
                    {kRight, "125"}, {kTop, "120"}, {kOperation, op}, {kConvertToPoly, poly}}),
              1);
    const Output out = Result(f);
    Grid g(2600, 2600), a(2600, 2600), b(2600, 2600);
    g.Add(out);
    for (const auto& box : flat) (box.layer == 1 ? a : b).Box(box, false);
    int bad = 0, firstX = -1, firstY = -1;
    const char *pg = g.on.data(), *pa = a.on.data(), *pb = b.on.data();
    for (int y = 0; y < 2600; ++y)
      for (int x = 0; x < 2600; ++x) {
        const std::size_t k = static_cast<std::size_t>(y) * 2600 + x;
        const bool want = x < 2500 && y < 2400 && (op == "0" ? pa[k] && pb[k] : op == "1" ? pa[k] || pb[k] : pa[k] != pb[k]);
        if ((pg[k] != 0) != want && bad++ == 0) firstX = x, firstY = y;
      }
    EXPECT_EQ(bad, 0) << "round " << round << " first at " << firstX << "," << firstY;
    EXPECT_EQ(f.ui.items[kItemAreas], "9 of 9 Areas Done");
  }
}

// Tiles worked out on several cores must give what one core gives: the same file, report, display
// items, questions, messages and pauses, in the same order, however the run ends.
TEST(RunLayerLogic, TilesOnSeveralCoresRunAsOnOne) {
  std::mt19937 rng(5);
  // Ten units a pixel, 4 x 3 tiles of 10240 units; boxes off the pixel grid ask about rounding,
  // slanted wide paths give polygons with sharp corners, thin boxes are under the minimum size.
  Cell leaf{"LEAF", 1};
  for (int i = 0; i < 12; ++i) {
    const int x = static_cast<int>(rng() % 3000), y = static_cast<int>(rng() % 3000);
    leaf.boxes.push_back({1 + i % 2, x, y, x + 5 + static_cast<int>(rng() % 900), y + 15 + static_cast<int>(rng() % 900)});
  }
  tlc::TlcPath slant;
  slant.layer = 1;
  slant.width = 120;
  slant.x = {100, 1700, 2900};
  slant.y = {200, 2600, 300};
  leaf.paths.push_back(slant);
  Cell top{"TOP", 2};
  for (int i = 0; i < 30; ++i)
    top.refs.push_back({"LEAF", static_cast<int>(rng() % 8), static_cast<int>(rng() % 38000),
                        static_cast<int>(rng() % 28000)});
  for (int i = 0; i < 40; ++i) {
    const int x = static_cast<int>(rng() % 40000), y = static_cast<int>(rng() % 30000);
    top.boxes.push_back({1 + i % 2, x, y, x + 10 + static_cast<int>(rng() % 3000), y + 10 + static_cast<int>(rng() % 40)});
  }
  using A = RoundingAnswer;
  auto Answers = [](int ignores, A then, A last = A::Ignore) {
    std::vector<A> a(static_cast<std::size_t>(ignores), A::Ignore);
    a.push_back(then);
    if (last != A::Ignore) a.push_back(last);
    return a;
  };
  struct Case {
    const char* what;
    std::vector<A> answers;
    std::string poly;
    int cancelAtPause;
    int result;
  } cases[] = {
      {"boxes, rounding answered", Answers(250, A::IgnorePaths, A::IgnoreAll), "N", -1, 1},
      {"polygons", Answers(300, A::IgnoreAll), "Y", -1, 1},
      // Some 150 to 200 questions a tile: this stops in the third.
      {"stopped at a rounding question", Answers(500, A::Abort), "Y", -1, 0},
      {"cancelled at a pause", {A::IgnoreAll}, "Y", 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    struct Seen {
      std::vector<std::string> ui, view;
      std::string report, file;
      RunTotals totals;
    } seen[2];
    for (int k = 0; k < 2; ++k) {
      setenv("MERO_CORES", k ? "4" : "1", 1);
      setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
      Folder f;
      f.Make({leaf, top});
      f.view.answers = c.answers;
      f.ui.cancelAtPause = c.cancelAtPause;
      ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kMapResolution, "0.5"}, {kMinBoxSize, "1"},
                      {kRight, "2000"}, {kTop, "1500"}, {kOperation, "2"}, {kConvertToPoly, c.poly},
                      {kReduceVertices, c.poly}, {kReport, "ll.rpt"}}),
                c.result);
      seen[k] = {f.ui.events, f.view.events, f.Read("LL.RPT"), f.Read("OUT.TLC"), f.outcome.totals};
    }
    unsetenv("MERO_CORES");
    unsetenv("MERO_NOW");
    EXPECT_EQ(seen[1].ui, seen[0].ui);
    EXPECT_EQ(seen[1].view, seen[0].view);
    EXPECT_EQ(seen[1].report, seen[0].report);
    EXPECT_EQ(seen[1].file, seen[0].file);
    EXPECT_EQ(seen[1].totals.boxes, seen[0].totals.boxes);
    EXPECT_EQ(seen[1].totals.polygons, seen[0].totals.polygons);
    // The run met what the comparison is about.
    EXPECT_GT(seen[0].totals.boxes + seen[0].totals.polygons, c.result ? 500 : 10);
    EXPECT_GE(std::count_if(seen[0].view.begin(), seen[0].view.end(),
                            [](const std::string& e) { return e.rfind("rounding", 0) == 0; }),
              static_cast<long>(c.answers.size()));
    EXPECT_NE(seen[0].report.find("Box Under Minimum Size"), std::string::npos);
    if (c.poly == "Y" && c.result == 1) {
      EXPECT_GT(seen[0].totals.polygons, 10);
      EXPECT_NE(seen[0].report.find("Acute angle"), std::string::npos);
    }
  }
}

TEST(RunLayerLogic, OneTileWindowIsClippedAtRightAndTop) {
  Folder f;
  f.Make({{"TOP", 1, {{1, -50, -50, 300, 300}}}});
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kMapResolution, "0.05"}, {kRight, "5"},
                  {kTop, "3.5"}}),
            1);
  const Output out = Result(f);
  ASSERT_EQ(out.boxes.size(), 1u);
  EXPECT_EQ(out.boxes[0].right, 100);
  EXPECT_EQ(out.boxes[0].top, 70);
  EXPECT_EQ(out.boxes[0].left, 0);
  EXPECT_EQ(out.boxes[0].bottom, 0);
}

TEST(RunLayerLogic, ShapesOneRowApartStayApart) {
  Folder f;
  f.Make({{"TOP", 1, {{1, 0, 0, 10, 5}, {1, 0, 6, 10, 10}, {1, 20, 0, 25, 10}, {1, 26, 0, 30, 10}}}});
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kMapResolution, "0.05"}, {kRight, "2"},
                  {kTop, "2"}}),
            1);
  const Output out = Result(f);
  Grid g(40, 40);
  g.Add(out);
  EXPECT_EQ(g.Differences([](int x, int y) {
    return (x < 10 && y != 5 && y < 10) || (x >= 20 && x < 30 && x != 25 && y < 10);
  }), 0);
}

TEST(RunLayerLogic, RunsWithoutAReportThatCannotBeMade) {
  Folder f;
  f.Make({{"TOP", 1, {kA}}});
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kReport, "nosuchdir\\x.rpt"}}), 1);
  EXPECT_EQ(Result(f).boxes.size(), 1u);
}

TEST(RunLayerLogic, HeaderComesLastAndNamesTheOutput) {
  setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
  Folder f;
  f.Make({{"TOP", 1, {kA}}}, 1000, "mil");
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kMapResolution, "0.001"}, {kRight, "0.2"},
                  {kTop, "0.2"}}),
            1);
  unsetenv("MERO_NOW");
  // Created in the program's name case; the header keeps the name as typed.
  EXPECT_TRUE(f.Has("Out.tlc")) << f.Listing();
  const Output out = Result(f);
  EXPECT_TRUE(out.headerLast);
  EXPECT_EQ(out.header, (std::vector<std::string>{"=H", "OUT", "6.0", "6.0", "1000", "mil", "03/07/24", "13:05:59",
                                                  "1 0 0 1000 0", "1 0 0 0"}));
  EXPECT_EQ(CompletedText(f.outcome.totals), "Completed ... 1 Boxes  0 Poly  0 Vertices");
}

TEST(RunLayerLogic, SmallBoxesAreWrittenAndReported) {
  Folder f;
  f.Make({{"TOP", 1, {{1, 10, 20, 11, 25}, {1, 40, 40, 60, 60}}}});
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kMapResolution, "0.05"}, {kMinBoxSize, "0.1"},
                  {kReport, "ll.rpt"}}),
            1);
  EXPECT_EQ(Result(f).boxes.size(), 2u);
  EXPECT_EQ(f.ui.items[515], "Box Under Minimum Size at X= 0.5 Y= 1");
  EXPECT_EQ(f.ui.items.count(516), 0u);
  const std::string report = f.Read("LL.RPT");
  EXPECT_NE(report.find("\r\n*** MERO Layer Logic Conversion Report ***\r\n\r\nDate: "), std::string::npos);
  EXPECT_NE(report.find("Cell: TOP\r\nOutput File: OUT.TLC\r\nOutput Layer 3\r\nMap Resolution= 0.05um\r\n"
                        "Poly Resolution= 1um\r\nMinimum Size= 0.1um\r\n"
                        "Box Under Minimum Size at X= 0.5 Y= 1\r\n"),
            std::string::npos)
      << report;
}

TEST(RunLayerLogic, ShowTimeShowsTheMapAndWaits) {
  Folder f;
  f.Make({{"TOP", 1, {kA, kB}}});
  std::vector<std::pair<int, std::string>> typed = kOneUnit;
  typed.push_back({kShowTime, "2"});
  ASSERT_EQ(f.Go(typed), 1);
  ASSERT_FALSE(f.view.events.empty());
  EXPECT_EQ(f.view.events[0], "show map L=0um B=0um R=51.2um T=51.2um 2000");
  EXPECT_NE(std::find(f.ui.events.begin(), f.ui.events.end(), "pause 2000"), f.ui.events.end());
}

TEST(RunLayerLogic, StopsBeforeTouchingAnythingForAnUnknownCellOrAnUnusableName) {
  Folder f;
  f.Make({{"TOP", 1, {kA}}});
  f.Write("OUT.TLC", "old");
  EXPECT_EQ(f.Go({{kCell, "nosuch"}, {kOutput, "out"}}), 0);
  EXPECT_EQ(f.Read("OUT.TLC"), "old");
  EXPECT_EQ(f.settings.Cell(), "???");
  EXPECT_TRUE(f.ui.EventsOf("box").empty());

  EXPECT_EQ(f.Go({{kCell, "top"}, {kOutput, ""}}), 0);
  EXPECT_FALSE(f.Has("???.TLC"));
}

TEST(RunLayerLogic, EscapeLeavesWhatWasWrittenWithoutAHeader) {
  Folder f;
  f.Make({{"TOP", 1, {{1, 0, 0, 3000, 10}}}});
  f.ui.cancelAtPause = 1;  // the pause after the first tile's vectorising is the first; then every second tile
  ASSERT_EQ(f.Go({{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"}, {kMapResolution, "0.05"}, {kRight, "150"},
                  {kTop, "0.5"}}),
            0);
  const Output out = Result(f);
  EXPECT_TRUE(out.header.empty());
  EXPECT_FALSE(out.boxes.empty());
  EXPECT_LT(out.boxes.size(), 3u);

  // Esc down from the start, with the tiles on one core and on several.
  for (const char* cores : {"1", "4"}) {
    setenv("MERO_CORES", cores, 1);
    f.ui.cancelAtPause = -1;
    f.ui.escapeAfterPolls = 0;
    f.ui.polls = 0;
    EXPECT_EQ(f.Go({}), 0) << cores;
    unsetenv("MERO_CORES");
    const Output none = Result(f);
    EXPECT_TRUE(none.header.empty()) << cores;
    EXPECT_TRUE(none.boxes.empty()) << cores;
  }
}

TEST(RunLayerLogic, RoundingWarningsAreAnsweredOnceOrStopTheRun) {
  Folder f;
  // Half a pixel off the 10-unit grid.
  f.Make({{"TOP", 1, {{1, 5, 5, 100, 100}}}});
  const std::vector<std::pair<int, std::string>> typed = {{kCell, "top"}, {kOutput, "out"}, {kLayerB, "0"},
                                                          {kMapResolution, "0.5"}};
  f.view.answers = {RoundingAnswer::IgnoreAll};
  ASSERT_EQ(f.Go(typed), 1);
  ASSERT_EQ(f.view.events.size(), 3u);  // the question, then the map window closed after the tile and at the end
  EXPECT_EQ(f.view.events[0], "rounding Warning ...\n\n Rounding occurred at  X=0.25  Y=0.25");

  f.view.events.clear();
  f.view.answers = {RoundingAnswer::Abort};
  ASSERT_EQ(f.Go(typed), 0);
  const Output out = Result(f);
  EXPECT_TRUE(out.header.empty());
  EXPECT_TRUE(out.boxes.empty());
}

TEST(GoLayerLogic, StateMessagesOfAFailedRun) {
  Folder f;
  f.Make({{"TOP", 1, {kA}}});
  std::filesystem::remove(f.Path("Top.bp6"));
  EXPECT_EQ(f.Go(kOneUnit), 0);
  EXPECT_EQ(f.outcome.state, kStateObjectsFailed);
  EXPECT_EQ(f.ui.EventsOf("box"), (std::vector<std::string>{"box \"MEROLL\" \"Internal BP6 File Failed to Load\""}));

  f.ui.events.clear();
  drc::SetMapBudgetForTests(3);
  f.Write("OUT.TLC", "old");
  EXPECT_EQ(f.Go(kOneUnit), 0);
  drc::SetMapBudgetForTests(-1);
  EXPECT_EQ(f.outcome.state, kStateNoMapMemory);
  EXPECT_EQ(f.ui.EventsOf("box"), (std::vector<std::string>{"box \"MEROLL\" \"Not Enough Memory for Maps\""}));
  EXPECT_EQ(f.Read("OUT.TLC"), "old");
}

TEST(LoadDrawing, NamesTheFirstMissingFile) {
  dbtest::DrawingFolder folder;
  db::Database d;
  Drawing drawing;
  EXPECT_EQ(LoadDrawing(d, drawing, "C:"), "FORM.DBD is Missing");
  folder.Write("FORM.DBD", "pool=\r\n");
  EXPECT_EQ(LoadDrawing(d, drawing, "C:"), "CELLS6.DBD is Missing");
  folder.Write("CELLS6.DBD", "0\r\n");
  EXPECT_EQ(LoadDrawing(d, drawing, "C:"), "CONSTS6.DBD is Missing");
  folder.Write("CONSTS6.DBD", "6.05\r\n1000\r\nmil\r\n");
  EXPECT_EQ(LoadDrawing(d, drawing, "C:"), "");
  EXPECT_EQ(drawing.scale, 1000);
  EXPECT_EQ(drawing.unit, "mil");
}

TEST(ClipTileToWindow, ClearsColumnsAndRowsBeyondTheWindow) {
  drc::BitMap m;
  ASSERT_TRUE(m.Allocate(drc::kTileRows, drc::kTileRows));
  drc::FillMap(m);
  // Pixels of 4 units: the right edge at 150 leaves columns 0..36, the top at 10 rows 0..1.
  ClipTileToWindow(m, 2, 2, 4096, 150, 10);
  EXPECT_EQ(drc::TestMapPixel(m, 36, 1), 1);
  EXPECT_EQ(drc::TestMapPixel(m, 37, 1), 0);
  EXPECT_EQ(drc::TestMapPixel(m, 36, 2), 0);
  EXPECT_EQ(drc::TestMapPixel(m, 0, 1024), 0);
  drc::FillMap(m);
  // Edges beyond the tile clear nothing.
  ClipTileToWindow(m, 0, 0, 4096, 4096, -1);
  EXPECT_EQ(drc::TestMapPixel(m, 1023, 1023), 1);
}

TEST(CountTiles, PositionsBelowTheFarEdges) {
  EXPECT_EQ(CountTiles(0, 0, 1024, 1024, 1024), 1);
  EXPECT_EQ(CountTiles(0, 0, 1025, 1024, 1024), 2);
  EXPECT_EQ(CountTiles(-10, 0, 3000, 2049, 1024), 9);
  EXPECT_EQ(CountTiles(0, 0, 0, 100, 1024), 0);
  EXPECT_EQ(CountTiles(-8388608, -8388608, 8388608, 8388608, 1024), 100000);
}

}  // namespace
}  // namespace layerlogic
