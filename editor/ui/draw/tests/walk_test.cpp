// The hierarchy walk: placement through three levels of instances with every orientation code,
// display depth, the rank test, tiny instances, and the edited cell kept whole across redraws.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <set>

#include "editor/db/cell_files.h"
#include "editor/db/message_table.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/layer_masks.h"
#include "editor/ui/draw/tests/fixture.h"
#include "platform/tell/recorder.h"

namespace {

using namespace drawtest;

// Orientation as a matrix, built from its definition (mirror in y first, then quarter turns
// counter-clockwise), not from the library's table.
struct Affine {
  std::int64_t a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  std::pair<std::int64_t, std::int64_t> Apply(std::int64_t x, std::int64_t y) const {
    return {a * x + b * y + tx, c * x + d * y + ty};
  }
  Affine Then(const Affine& inner) const {  // this(inner(p))
    Affine r;
    r.a = a * inner.a + b * inner.c;
    r.b = a * inner.b + b * inner.d;
    r.c = c * inner.a + d * inner.c;
    r.d = c * inner.b + d * inner.d;
    r.tx = a * inner.tx + b * inner.ty + tx;
    r.ty = c * inner.tx + d * inner.ty + ty;
    return r;
  }
};

Affine Placement(int code, std::int64_t x, std::int64_t y) {
  Affine m;
  if (code & 4) m.d = -1;
  for (int k = 0; k < (code & 3); ++k) {
    Affine turn{0, -1, 1, 0, 0, 0};
    m = turn.Then(m);
  }
  m.tx = x;
  m.ty = y;
  return m;
}

struct Rect {
  std::int64_t l, b, r, t;
};

Rect Place(const Affine& m, const Box& box) {
  auto [x1, y1] = m.Apply(box.left, box.bottom);
  auto [x2, y2] = m.Apply(box.right, box.top);
  return Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// LEAF (rank 1) is an asymmetric L on layers 1 and 2; MID (2) places LEAF twice and has a box on
// layer 3; OUTER (3) places MID twice and has a box on layer 4; TOP (4) places OUTER with each of
// the eight codes and has a box on layer 5. So every code turns up at every level, mirrors
// included, composed with the others.
struct Hierarchy {
  Cell leaf{"LEAF", 1, {{1, 0, 0, 12, 4}, {2, 0, 6, 4, 16}}, {}, {}, {}};
  Cell mid{"MID", 2, {{3, 2, -8, 6, -4}}, {}, {}, {{"LEAF", 6, 24, 0}, {"LEAF", 1, -4, 22}}};
  Cell outer{"OUTER", 3, {{4, -10, -10, -6, -2}}, {}, {}, {{"MID", 3, 0, 0}, {"MID", 4, 40, -30}}};
  Cell top{"TOP", 4, {{5, 0, 0, 6, 6}}, {}, {}, {}};

  Hierarchy() {
    for (int code = 0; code < 8; ++code)
      top.refs.push_back({"OUTER", code, 100 + 200 * (code % 4), 130 + 270 * (code / 4)});
  }

  void AddTo(Folder& f) const {
    for (const Cell* c : {&leaf, &mid, &outer, &top}) f.Add(*c);
    f.Open("TOP");
  }

  // Every box of every level, placed in TOP, by layer.
  std::map<int, std::vector<Rect>> Expected() const {
    std::map<int, std::vector<Rect>> out;
    for (const Box& b : top.boxes) out[b.layer].push_back(Place(Affine{}, b));
    for (const Ref& r0 : top.refs) {
      const Affine m0 = Placement(r0.orientation, r0.x, r0.y);
      for (const Box& b : outer.boxes) out[b.layer].push_back(Place(m0, b));
      for (const Ref& r1 : outer.refs) {
        const Affine m1 = m0.Then(Placement(r1.orientation, r1.x, r1.y));
        for (const Box& b : mid.boxes) out[b.layer].push_back(Place(m1, b));
        for (const Ref& r2 : mid.refs) {
          const Affine m2 = m1.Then(Placement(r2.orientation, r2.x, r2.y));
          for (const Box& b : leaf.boxes) out[b.layer].push_back(Place(m2, b));
        }
      }
    }
    return out;
  }
};

struct WalkTest : ::testing::Test {
  Folder f;
  tell::Recorder talk;
  void SetUp() override {
    f.d.SetTalk(&talk);
    for (int l = 1; l <= 6; ++l) f.d.settings.layerPalette[std::size_t(l - 1)] = 9 + l;  // 10..15
  }
};

TEST_F(WalkTest, EveryOrientationThroughThreeLevelsLandsWhereTheCompositionSays) {
  Hierarchy h;
  h.AddTo(f);
  Screen s(f.d, 800, 560);
  ASSERT_EQ(s.view.left, 0);
  ASSERT_EQ(s.view.top, 560);
  const auto expected = h.Expected();
  for (int layer = 1; layer <= 5; ++layer) {
    s.Clear();
    s.masks.view = draw::LayerBit(layer);
    draw::Redraw(*s.engine, 0);
    gfx::Surface want(s.surface.width, s.surface.height, 0);
    const std::uint32_t ink = PaletteRgb(9 + layer);
    std::size_t rects = 0;
    for (const Rect& r : expected.at(layer)) {
      // A solid box covers its edges' pixels: columns left..right, rows top..bottom inclusive.
      for (std::int64_t y = r.b; y <= r.t; ++y)
        for (std::int64_t x = r.l; x <= r.r; ++x) want.Row(s.Py(double(y)))[s.Px(double(x))] = ink;
      ++rects;
    }
    EXPECT_EQ(rects, layer == 5 ? 1u : layer == 4 ? 8u : layer == 3 ? 16u : 32u);
    int wrong = 0;
    for (std::size_t i = 0; i < want.pixels.size(); ++i) wrong += want.pixels[i] != s.surface.pixels[i];
    EXPECT_EQ(wrong, 0) << "layer " << layer;
  }
  EXPECT_TRUE(talk.events.empty());
}

TEST_F(WalkTest, DepthDecidesWhichLevelsAreDrawnInFullAndWhichAsOutlines) {
  Hierarchy h;
  h.AddTo(f);
  f.d.settings.modeWord = 0;  // no names in outlines
  Screen s(f.d, 800, 560);
  const std::uint32_t grey = PaletteRgb(7);
  auto count = [&](std::uint32_t c) {
    int n = 0;
    for (std::uint32_t p : s.surface.pixels) n += p == c;
    return n;
  };
  // depth: which layers appear (OUTER's own box is layer 4, MID's 3, LEAF's 1 and 2)
  struct Case {
    int depth;
    std::set<int> layers;
    bool outlines;
  };
  for (const Case& c : {Case{0, {5}, true}, Case{1, {4, 5}, true}, Case{2, {3, 4, 5}, true},
                        Case{3, {1, 2, 3, 4, 5}, false}, Case{15, {1, 2, 3, 4, 5}, false}}) {
    f.d.settings.depth = c.depth;
    s.Clear();
    draw::Redraw(*s.engine, 0);
    for (int layer = 1; layer <= 5; ++layer)
      EXPECT_EQ(count(PaletteRgb(9 + layer)) > 0, c.layers.count(layer) == 1)
          << "depth " << c.depth << " layer " << layer;
    EXPECT_EQ(count(grey) > 0, c.outlines) << "depth " << c.depth;
  }
  // Depth 0: each level-0 instance is its dotted outline, exactly where OUTER's extent lands.
  f.d.settings.depth = 0;
  s.Clear();
  draw::Redraw(*s.engine, 0);
  const db::CellIndexEntry& outer = f.d.index.rows[3];
  const Box ext{0, outer.left, outer.bottom, outer.right, outer.top};
  const Rect r = Place(Placement(0, 100, 130), ext);
  EXPECT_EQ(s.At(s.Px(double(r.l)), s.Py(double(r.b))), grey);  // dots start at a corner
  int along = 0;
  for (std::int64_t x = r.l; x <= r.r; ++x) along += s.At(s.Px(double(x)), s.Py(double(r.b))) == grey;
  EXPECT_GT(along, 0);
  EXPECT_LT(along, r.r - r.l + 1);  // dotted, not solid
}

TEST_F(WalkTest, TinyInstancesAreSolidOutlinesOrNothingInSingleLayerMode) {
  Cell leaf{"DOT", 1, {{1, 0, 0, 4, 4}}, {}, {}, {}};
  Cell top{"T", 2, {}, {}, {}, {{"DOT", 0, 100, 100}}};
  f.Add(leaf);
  f.Add(top);
  f.Open("T");
  f.d.settings.modeWord = 0;
  f.d.settings.resolution = 100;  // W 400 / 100: minimum drawn size 4, so an extent of 4 is tiny
  Screen s(f.d, 400, 300);
  ASSERT_EQ(s.view.minDrawn, 4);
  draw::Redraw(*s.engine, 0);
  const std::uint32_t grey = PaletteRgb(7);
  for (int x = 100; x <= 104; ++x) EXPECT_EQ(s.At(s.Px(x), s.Py(100)), grey) << x;  // solid frame
  EXPECT_EQ(s.At(s.Px(102), s.Py(102)), 0u);
  s.Clear();
  s.engine->singleLayer = true;
  s.engine->chosenLayer = 1;
  draw::Redraw(*s.engine, 0);
  for (std::uint32_t p : s.surface.pixels) ASSERT_EQ(p, 0u);
}

TEST_F(WalkTest, RankErrorsSkipTheInstanceAndAreReportedOncePerRedraw) {
  Cell a{"A", 2, {{1, 0, 0, 10, 10}}, {}, {}, {}};
  Cell b{"B", 2, {}, {}, {}, {}};
  f.Add(a);
  f.Add(b);
  // B places A twice though A's rank is not below B's.
  b.refs = {{"A", 0, 0, 0}, {"A", 0, 50, 0}};
  PutInStore(f.d, b);
  f.d.current = db::CurrentCell{"B", 2, 2};
  f.d.load.loadedCell = 2;
  Screen s(f.d, 200, 100);
  draw::Redraw(*s.engine, 0);
  EXPECT_EQ(talk.events, (std::vector<std::string>{
                             tell::Recorder::BoxLine("", db::MessageText(draw::kRankErrorMessage))}));
  EXPECT_EQ(s.engine->rankErrors, 2);
  for (std::uint32_t p : s.surface.pixels) ASSERT_EQ(p, 0u);
}

TEST_F(WalkTest, AReferenceToNoCellOfTheIndexIsSkipped) {
  Cell a{"A", 1, {{1, 0, 0, 10, 10}}, {}, {}, {}};
  Cell top{"TOP", 2, {}, {}, {}, {{"A", 0, 20, 20}}};
  f.Add(a);
  f.Add(top);
  f.Open("TOP");
  f.d.store.SetCellRef(0, 0x7FF, 0, 1);  // row 2047 of a 2-row index
  f.d.store.PutCellRefRecord(0, 2, db::CellRefRecord{1, 40, 40});
  f.d.store.refCount[0] = 2;
  Screen s(f.d, 200, 100);
  draw::Redraw(*s.engine, 0);
  EXPECT_EQ(s.At(s.Px(45), s.Py(45)), PaletteRgb(10));
  EXPECT_EQ(s.At(s.Px(25), s.Py(25)), 0u);
}

// The edited cell's records, with their memory-only bits, are the same after a redraw that loaded
// sub-cells into the store, and its files were never written.
TEST_F(WalkTest, RedrawKeepsTheEditedCellWholeAndNeverWritesItsFiles) {
  Cell a{"A", 1, {{1, 0, 0, 10, 10}}, {{2, 4, {{0, 0}, {30, 0}, {30, 30}}, 0, 0}}, {}, {}};
  Cell top{"TOP", 2, {{3, 0, 0, 5, 5}}, {}, {}, {{"A", 0, 20, 20}, {"A", 5, 60, 20}}};
  f.Add(a);
  f.Add(top);
  f.Open("TOP");
  db::ObjectStore& st = f.d.store;
  // Unsaved edits: a new box with selected edges, a path with a selected vertex.
  st.PutBoxRecord(++st.boxCount, db::BoxRecord{1 | db::kEdgeLeft | db::kEdgeTop, 100, 10, 120, 30});
  const int path = ++st.pathCount;
  st.PutVertexRecord(++st.vertexCount, db::VertexRecord{path | db::kVertexSelectedBit, 130, 10, st.vertexCount + 1});
  st.PutVertexRecord(++st.vertexCount, db::VertexRecord{path, 150, 40, 0});
  st.PutPathRecord(path, db::PathRecord{2 | db::kPathSelectedBit, 0, st.vertexCount - 1});
  auto snapshot = [&] {
    std::vector<std::int32_t> words;
    for (int n = 1; n <= st.boxCount; ++n) {
      auto r = st.GetBoxRecord(n);
      words.insert(words.end(), {r.flags, r.left, r.bottom, r.right, r.top});
    }
    for (int n = 1; n <= st.pathCount; ++n) {
      auto r = st.GetPathRecord(n);
      words.insert(words.end(), {r.flags, r.width, r.firstVertex});
    }
    for (int n = 1; n <= st.vertexCount; ++n) {
      auto r = st.GetVertexRecord(n);
      words.insert(words.end(), {r.flags, r.x, r.y, r.next});
    }
    return words;
  };
  const auto before = snapshot();
  const std::string bp6 = os::NativePath("TOP.BP6");
  const auto fileTime = std::filesystem::last_write_time(bp6);
  const auto fileBytes = std::filesystem::file_size(bp6);
  Screen s(f.d, 200, 100);
  draw::Redraw(*s.engine, 0);
  EXPECT_EQ(s.At(s.Px(25), s.Py(25)), PaletteRgb(10));  // the sub-cell really was drawn
  draw::Redraw(*s.engine, 2);
  draw::EraseInstance(*s.engine, 1);
  EXPECT_EQ(s.At(s.Px(25), s.Py(25)), 0u);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(f.d.load.loadedCell, f.d.current.row);
  EXPECT_EQ(std::filesystem::last_write_time(bp6), fileTime);
  EXPECT_EQ(std::filesystem::file_size(bp6), fileBytes);
}

TEST_F(WalkTest, OnlyTheEditedCellsObjectsOutsideTheWindowAreMarked) {
  Cell a{"A", 1, {{1, 0, 0, 10, 10}, {1, 1000, 0, 1010, 10}}, {}, {}, {}};
  Cell top{"TOP", 2, {{3, 0, 0, 5, 5}, {3, 900, 0, 905, 5}}, {{2, 0, {{800, 0}, {900, 10}}, 0, 0}},
           {}, {{"A", 0, 20, 20}}};
  f.Add(a);
  f.Add(top);
  f.Open("TOP");
  Screen s(f.d, 200, 100);
  draw::Redraw(*s.engine, 0);
  db::ObjectStore& st = f.d.store;
  EXPECT_EQ(st.GetBox(0, 1) & db::kOffWindowBit, 0);
  EXPECT_NE(st.GetBox(0, 2) & db::kOffWindowBit, 0);
  EXPECT_NE(st.GetPath(0, 1) & db::kOffWindowBit, 0);
  // A's far box was culled while A was loaded, but A's file and index row carry no mark.
  draw::SetAsideEditedCell(*s.engine);
  ASSERT_EQ(db::LoadObjectsOfCell(f.d, 1), 0);
  EXPECT_EQ(st.GetBox(0, 2) & db::kOffWindowBit, 0);
  draw::RestoreEditedCell(*s.engine);
}

TEST_F(WalkTest, EscStopsTheWalkAndLeavesTheRestAsDottedOutlines) {
  Cell a{"A", 1, {{1, 0, 0, 10, 10}}, {}, {}, {}};
  Cell top{"TOP", 2, {}, {}, {}, {{"A", 0, 20, 20}, {"A", 0, 60, 20}, {"A", 0, 100, 20}}};
  f.Add(a);
  f.Add(top);
  f.Open("TOP");
  f.d.settings.modeWord = 0;
  Screen s(f.d, 200, 100);
  int polls = 0;
  // Esc goes down once the first instance's box has been drawn, and is released at once.
  s.engine->hooks.escDown = [&] { return ++polls == 4; };
  draw::Redraw(*s.engine, 0);
  EXPECT_EQ(s.At(s.Px(25), s.Py(25)), PaletteRgb(10));
  EXPECT_EQ(s.At(s.Px(65), s.Py(25)), 0u);
  EXPECT_EQ(s.At(s.Px(105), s.Py(25)), 0u);
  EXPECT_EQ(s.At(s.Px(60), s.Py(20)), PaletteRgb(7));  // the dotted frame starts at its corner
  EXPECT_TRUE(s.engine->abort);
  EXPECT_EQ(f.d.load.loadedCell, f.d.current.row);
}

TEST_F(WalkTest, ContextCellIsDrawnAroundTheEditedCellThroughItsPlacement) {
  Cell inner{"IN", 1, {{1, 0, 0, 10, 4}}, {}, {}, {}};
  Cell outer{"OUT", 2, {{2, 0, 0, 6, 6}}, {}, {}, {{"IN", 1, 50, 50}}};
  f.Add(inner);
  f.Add(outer);
  f.Open("IN");
  Screen s(f.d, 200, 100);
  // Entering IN from OUT with Ctrl: the inverse placement of the instance (code 1 at 50, 50).
  s.engine->context = draw::ContextCell{"OUT", -50, 50, 3};
  s.view.centreX = 0;
  s.view.centreY = 0;
  draw::NormalizeView(s.view, f.d.settings);
  draw::Redraw(*s.engine, 0);
  // OUT's box (0,0)-(6,6) seen from IN: turned by code 3, then moved by (-50, 50).
  const Rect want = Place(Placement(3, -50, 50), Box{2, 0, 0, 6, 6});
  EXPECT_EQ(s.At(s.Px(double(want.l + 3)), s.Py(double(want.b + 3))), PaletteRgb(11));
  EXPECT_EQ(s.At(s.Px(5), s.Py(2)), PaletteRgb(10));  // IN's own box, untransformed
  EXPECT_EQ(f.d.load.loadedCell, f.d.current.row);
}

// A dense hierarchy with every orientation at both levels, boxes of every fill and dash (some with
// selected edges), thin and wide paths, open and closed polygons and a text, drawn by a recorded
// redraw (figures drawn together in bands on several threads) and by the figure-by-figure route:
// the pictures and the canvas settings left behind must be the same, at views that clamp, cull,
// skip small objects and turn instances into outlines.
TEST_F(WalkTest, RecordedRedrawGivesTheFigureByFigurePictureBitForBit) {
  Cell leaf{"LEAF", 1, {}, {}, {}, {}};
  for (int i = 0; i < 40; ++i) {
    const std::int32_t x = 7 * (i % 8), y = 9 * (i / 8);
    leaf.boxes.push_back({1 + i % 16, x, y, x + 3 + i % 11, y + 2 + i % 7, i % 9 == 0 ? db::kEdgeLeft | db::kEdgeTop : 0});
  }
  leaf.paths.push_back({17, 0, {{0, 50}, {30, 50}, {30, 70}, {0, 50}}, 0, 0});        // closed polygon
  leaf.paths.push_back({18, 0, {{5, 55}, {40, 80}, {60, 52}}, 0, 0});                 // open polygon
  leaf.paths.push_back({19, 6, {{0, -10}, {50, -10}, {55, 20}}, 0, 0});               // wide, flush
  leaf.paths.push_back({20, -4, {{60, 0}, {60, 40}, {20, 45}}, 0, 0});                // wide, extended
  leaf.paths.push_back({21, 1, {{-5, -5}, {65, 85}}, 0, 0});                          // thin slant
  leaf.texts.push_back({22, 15, 3, 10, 20, "AbZ"});
  Cell mid{"MID", 2, {{23, -8, -8, 200, -4}}, {}, {}, {}};
  for (int code = 0; code < 8; ++code)
    mid.refs.push_back({"LEAF", code, 100 * (code % 4) - 150, 120 * (code / 4) - 60, code == 5 ? db::kRefOutlineBit : 0});
  Cell top{"TOP", 3, {{24, -300, -300, 900, -290}, {2, 10, 10, 30, 18, db::kEdgesAll}},
           {{25, 3, {{-200, 400}, {700, 420}}, 0, 0}}, {}, {}};
  for (int j = 0; j < 24; ++j)
    top.refs.push_back({"MID", (j * 3) % 8, 260 * (j % 6) - 400, 300 * (j / 6) - 350, j == 7 ? db::kRefSelectedBit : 0});
  f.Add(leaf);
  f.Add(mid);
  f.Add(top);
  f.Open("TOP");
  for (int l = 0; l < 64; ++l) {
    f.d.settings.layerFills[std::size_t(l)] = l % 15;
    f.d.settings.layerDashes[std::size_t(l)] = l % 5;
    f.d.settings.layerPalette[std::size_t(l)] = 1 + l % 21;
  }
  struct View {
    double width, x, y;
    int depth, mode;
  };
  const View views[] = {
      {1800, 250, 150, 15, 0},                                  // the whole picture
      {260, 40, 60, 15, draw::kModeCentreLine},                 // closer, centre lines
      {30, 5, 5, 15, 0},                                        // far in: coordinates clamp
      {60000, 0, 0, 15, draw::kModeNames},                      // far out: tiny instances
      {1800, 250, 150, 1, draw::kModeOutlines | draw::kModeNames},  // outlines and names
  };
  for (const View& v : views) {
    SCOPED_TRACE(v.width);
    f.d.settings.depth = v.depth;
    f.d.settings.modeWord = v.mode | draw::kModeVertexMarks;
    Screen recorded(f.d, 613, 427), direct(f.d, 613, 427);
    for (Screen* s : {&recorded, &direct}) {
      s->view.width = v.width;
      s->view.centreX = v.x;
      s->view.centreY = v.y;
      draw::NormalizeView(s->view, f.d.settings);
      s->masks.view = ~std::uint64_t{0};
    }
    direct.engine->batched = false;
    draw::Redraw(*direct.engine, 0);
    draw::Redraw(*recorded.engine, 0);
    int wrong = 0;
    for (std::size_t i = 0; i < direct.surface.pixels.size(); ++i)
      wrong += direct.surface.pixels[i] != recorded.surface.pixels[i];
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(std::count_if(direct.surface.pixels.begin(), direct.surface.pixels.end(), [](std::uint32_t p) { return p != 0; }),
              200);
    const gfx::CanvasState& a = direct.canvas.state();
    const gfx::CanvasState& b = recorded.canvas.state();
    EXPECT_EQ(a.pen.color, b.pen.color);
    EXPECT_EQ(a.pen.style, b.pen.style);
    EXPECT_EQ(a.brush.kind, b.brush.kind);
    EXPECT_EQ(a.mix, b.mix);
    EXPECT_EQ(a.backgroundMode, b.backgroundMode);
    EXPECT_EQ(a.backgroundColor, b.backgroundColor);
    EXPECT_EQ(a.textColor, b.textColor);
    EXPECT_EQ(a.fillRule, b.fillRule);
  }
}

}  // namespace
