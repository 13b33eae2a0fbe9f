// Boxes, paths, polygons, texts, markers and the dot grid, checked pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/ui/draw/device.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/tests/fixture.h"
#include "platform/tell/recorder.h"

namespace {

using namespace drawtest;

struct PrimitivesTest : ::testing::Test {
  Folder f;
  tell::Recorder talk;
  std::unique_ptr<Screen> s;
  void SetUp() override {
    f.d.SetTalk(&talk);
    f.d.settings.modeWord = 0;
    for (int l = 1; l <= 64; ++l) f.d.settings.layerPalette[std::size_t(l - 1)] = 12;  // red
    f.d.font.bytes.fill(0xFF);
    s = std::make_unique<Screen>(f.d, 400, 300);
  }
  // The cell's records in the store as the edited cell (no files).
  void Edit(const Cell& c) {
    PutInStore(f.d, c);
    f.d.current = db::CurrentCell{c.name, 0, c.rank};
  }
  draw::Engine& E() { return *s->engine; }
  std::uint32_t At(double x, double y) const { return s->At(s->Px(x), s->Py(y)); }
  int Count(std::uint32_t c) const {
    int n = 0;
    for (std::uint32_t p : s->surface.pixels) n += p == c;
    return n;
  }
  // Sets glyph `ch` to the given bytes (the rest of its slot 0xFF).
  void Glyph(int ch, std::initializer_list<int> bytes) {
    unsigned char* g = f.d.font.bytes.data() + (ch - 32) * db::kGlyphBytes;
    std::fill(g, g + db::kGlyphBytes, 0xFF);
    int i = 0;
    for (int b : bytes) g[i++] = static_cast<unsigned char>(b);
  }
};

const std::uint32_t kRed = 0xff0000;

TEST_F(PrimitivesTest, PatternFillsMergeAnchoredAtTheSurfaceOriginAndEraseTakesThemOff) {
  f.d.settings.layerFills[0] = 5;
  Edit(Cell{"C", 1, {{1, 20, 20, 60, 50}}, {}, {}, {}});
  std::fill(s->surface.pixels.begin(), s->surface.pixels.end(), 0x000080u);  // a blue ground
  draw::DrawBox(E(), 1, 0);
  const auto& pattern = draw::FillPattern(5);
  for (int y = s->Py(49); y <= s->Py(21); ++y) {
    for (int x = s->Px(21); x <= s->Px(59); ++x) {
      const bool bit = (pattern[std::size_t(y % 8)] >> (7 - x % 8)) & 1;
      ASSERT_EQ(s->At(x, y), bit ? (kRed | 0x80u) : 0x80u) << x << "," << y;
    }
  }
  for (int x = 20; x <= 60; ++x) EXPECT_EQ(At(x, 20) & kRed, kRed);  // solid edges
  // Erasing takes the edges and exactly the pattern's pixels back to black.
  draw::EraseBox(E(), 1);
  for (int y = s->Py(49); y <= s->Py(21); ++y)
    for (int x = s->Px(21); x <= s->Px(59); ++x) {
      const bool bit = (pattern[std::size_t(y % 8)] >> (7 - x % 8)) & 1;
      ASSERT_EQ(s->At(x, y), bit ? 0u : 0x80u);
    }
}

TEST_F(PrimitivesTest, DashStylesAndTheNoDashSwitch) {
  f.d.settings.layerFills[0] = 0;
  f.d.settings.layerDashes[0] = 2;  // dots
  Edit(Cell{"C", 1, {{1, 10, 10, 110, 60}}, {}, {}, {}});
  auto bottomInk = [&] {
    int n = 0;
    for (int x = 10; x <= 110; ++x) n += At(x, 10) == kRed;
    return n;
  };
  draw::DrawBox(E(), 1, 0);
  EXPECT_GT(bottomInk(), 30);
  EXPECT_LT(bottomInk(), 70);
  s->Clear();
  E().noDash = true;
  draw::DrawBox(E(), 1, 0);
  EXPECT_EQ(bottomInk(), 101);
}

TEST_F(PrimitivesTest, SmallObjectsAreSkippedExceptInTheHighlightPass) {
  s->view.width = 800;  // 2 units a pixel; minimum drawn size 800 / 400 = 2
  f.d.settings.resolution = 400;
  draw::NormalizeView(s->view, f.d.settings);
  ASSERT_EQ(s->view.minDrawn, 2);
  Edit(Cell{"C", 1, {{1, 100, 100, 101, 102, db::kEdgesAll}}, {}, {}, {}});
  draw::DrawBox(E(), 1, 0);
  EXPECT_EQ(Count(kRed) + Count(0xffffff), 0);
  draw::DrawSelectedBoxes(E(), 1);
  EXPECT_GT(Count(0xffffff), 0);
  EXPECT_EQ(Count(kRed), 0);
}

TEST_F(PrimitivesTest, TheHighlightPassDrawsOnlySelectedEdgesAndVertices) {
  f.d.settings.layerFills[0] = 13;
  Cell c{"C", 1, {{1, 10, 10, 50, 50, db::kEdgeLeft}}, {}, {}, {}};
  Path p{1, 0, {{100, 10}, {150, 10}, {150, 60}}, db::kPathSelectedBit, 0};
  c.paths.push_back(p);
  Edit(c);
  f.d.store.SetVertex(1 | db::kVertexSelectedBit, 0, 1);
  f.d.store.SetVertex(1 | db::kVertexSelectedBit, 0, 2);
  draw::DrawSelectedBoxes(E(), 1);
  draw::DrawSelectedPaths(E(), 1);
  EXPECT_EQ(At(10, 30), 0xffffffu);  // the left edge
  EXPECT_EQ(At(50, 30), 0u);         // the others, and the fill, are not drawn
  EXPECT_EQ(At(30, 30), 0u);
  EXPECT_EQ(At(125, 10), 0xffffffu);  // the segment between the two selected vertices
  EXPECT_EQ(At(150, 35), 0u);
  EXPECT_EQ(Count(kRed), 0);
}

TEST_F(PrimitivesTest, PolygonsFillOnlyWhenClosedAndZeroLengthSegmentsDrawNothing) {
  f.d.settings.layerFills[0] = 13;
  Cell c{"C", 1, {}, {}, {}, {}};
  c.paths.push_back(Path{1, 0, {{10, 10}, {60, 10}, {60, 60}, {10, 10}}, 0, 0});
  c.paths.push_back(Path{1, 0, {{110, 10}, {160, 10}, {160, 60}}, 0, 0});
  // the same triangle with repeated vertices
  c.paths.push_back(Path{1, 0, {{210, 10}, {210, 10}, {260, 10}, {260, 60}, {260, 60}, {210, 10}}, 0, 0});
  Edit(c);
  for (int n = 1; n <= 3; ++n) draw::DrawPath(E(), n, 0);
  EXPECT_EQ(At(50, 20), kRed);
  EXPECT_EQ(At(150, 20), 0u);
  EXPECT_EQ(At(160, 40), kRed);
  for (int y = 0; y < s->surface.height; ++y)
    for (int x = s->Px(0); x < s->Px(100); ++x)
      ASSERT_EQ(s->At(x, y), s->At(x + 200, y)) << x << "," << y;
}

TEST_F(PrimitivesTest, PolygonsOfThousandsOfVerticesDrawAndFillWhole) {
  f.d.settings.layerFills[0] = 13;
  Path ring{1, 0, {}, 0, 0};
  const int n = 3000;  // far beyond the 512 points a fixed buffer would hold
  for (int i = 0; i <= n; ++i) {
    const double a = 2 * M_PI * (i % n) / n;
    ring.points.push_back({std::int32_t(std::lround(200 + 120 * std::cos(a))),
                           std::int32_t(std::lround(150 + 120 * std::sin(a)))});
  }
  Edit(Cell{"C", 1, {}, {ring}, {}, {}});
  draw::DrawPath(E(), 1, 0);
  for (double a = 0; a < 2 * M_PI; a += 0.1)
    EXPECT_EQ(At(200 + 100 * std::cos(a), 150 + 100 * std::sin(a)), kRed) << a;
  EXPECT_EQ(At(200 + 119, 150 - 10), kRed);  // the last stretch of outline, just before closing
  EXPECT_EQ(At(330, 150), 0u);
}

TEST_F(PrimitivesTest, NegativeWidthsExtendTheEndsByHalfTheWidth) {
  f.d.settings.layerFills[0] = 0;
  Edit(Cell{"C", 1, {}, {{1, 20, {{100, 100}, {200, 100}}, 0, 0}, {1, -20, {{100, 200}, {200, 200}}, 0, 0}}, {}, {}});
  draw::DrawPath(E(), 1, 0);
  draw::DrawPath(E(), 2, 0);
  EXPECT_EQ(At(100, 105), kRed);  // flush end
  EXPECT_EQ(At(90, 105), 0u);
  EXPECT_EQ(At(90, 205), kRed);   // extended end
  EXPECT_EQ(At(210, 205), kRed);
  EXPECT_EQ(At(150, 110), kRed);  // the sides lie half the width off the centre line
  EXPECT_EQ(At(150, 100), 0u);
  f.d.settings.modeWord = draw::kModeCentreLine;
  draw::DrawPath(E(), 1, 0);
  EXPECT_EQ(At(150, 100) == kRed || At(151, 100) == kRed, true);
}

TEST_F(PrimitivesTest, LinesFarOutsideReachTheDeviceClippedToItsRange) {
  const auto seg = draw::detail::MapSegment(E(), -40000, 0, 40000, 0);
  EXPECT_EQ(seg.a.x - s->view.area.left, -16000);
  EXPECT_EQ(seg.b.x - s->view.area.left, 16000);
  // A slanted line keeps its slope where it is cut.
  const auto slant = draw::detail::MapSegment(E(), -32000, 0, 32000, 64000);
  EXPECT_EQ(slant.a.x - s->view.area.left, -16000);
  EXPECT_EQ(slant.a.y - s->view.area.top, s->view.top - 16000);
}

TEST_F(PrimitivesTest, ColoursFillsAndDashesFromTheFileAreBounded) {
  f.d.settings.layerPalette[0] = 300;
  f.d.settings.layerFills[0] = 99;
  f.d.settings.layerDashes[0] = -3;
  f.d.settings.layerFills[1] = -1;
  Cell c{"C", 1, {{1, 10, 10, 50, 50}, {2 | 0x40, 60, 10, 90, 50}}, {}, {}, {}};
  c.paths.push_back(Path{100, 0, {{100, 10}, {150, 10}}, 0, 0});  // layer 100 of a foreign file
  Edit(c);
  EXPECT_EQ(draw::LayerColour(E(), 1), 7);
  EXPECT_EQ(draw::LayerFill(E(), 1), 0);
  EXPECT_EQ(draw::LayerDash(E(), 1), 0);
  EXPECT_EQ(draw::LayerColour(E(), 100), 7);
  draw::DrawBox(E(), 1, 0);
  draw::DrawBox(E(), 2, 0);
  draw::DrawPath(E(), 1, 0);
  EXPECT_EQ(At(10, 30), PaletteRgb(7));
  EXPECT_EQ(At(120, 10), PaletteRgb(7));
  draw::Redraw(E(), 0);  // layers beyond 64 are never in view
}

TEST_F(PrimitivesTest, PaperTurnsPensBlackOrKeepsThemWhiteUnderDark) {
  Edit(Cell{"C", 1, {{1, 10, 10, 50, 50}, {2, 60, 10, 90, 50}}, {}, {}, {}});
  f.d.settings.layerPalette[1] = 15;
  f.d.settings.layerFills[0] = f.d.settings.layerFills[1] = 0;
  E().target = draw::Target::DirectPrint;
  E().page = draw::PageTransform{0, 300, 1, 1, 0, 0, 300};
  std::fill(s->surface.pixels.begin(), s->surface.pixels.end(), 0x808080u);
  auto edge = [&](double x) { return s->At(int(x), int(300 - 30)); };
  E().hardcopy.blackWhite = true;
  draw::DrawBox(E(), 1, 0);
  EXPECT_EQ(edge(10), 0u);
  E().hardcopy = draw::HardcopyOptions{false, false};
  draw::DrawBox(E(), 2, 0);  // colour 15 prints black unless Dark
  EXPECT_EQ(edge(60), 0u);
  E().hardcopy.dark = true;
  draw::DrawBox(E(), 2, 0);
  EXPECT_EQ(edge(60), 0xffffffu);
  E().hardcopy.blackWhite = true;
  draw::DrawBox(E(), 1, 0);
  EXPECT_EQ(edge(10), 0xffffffu);
  f.d.settings.layerFills[0] = 9;
  EXPECT_EQ(draw::LayerFill(E(), 1), 10);
  E().target = draw::Target::Clipboard;
  EXPECT_EQ(draw::LayerFill(E(), 1), 9);
}

TEST_F(PrimitivesTest, MarkersTakeTheirColourAndColourZeroTakesThemOff) {
  Edit(Cell{"C", 1, {}, {{1, 0, {{100, 100}, {150, 100}, {150, 150}}, 0, 0}}, {}, {}});
  f.d.settings.modeWord = draw::kModeVertexMarks;
  int hides = 0;
  E().hooks.hidePointerMark = [&] { ++hides; };
  draw::DrawVertexMarks(E(), 1, 1);
  EXPECT_EQ(hides, 3);
  // diamond at the first vertices, diagonal cross at the last
  const draw::ScreenPoint a = draw::WorldToScreen(s->view, 100, 100);
  const draw::ScreenPoint c = draw::WorldToScreen(s->view, 150, 150);
  EXPECT_EQ(s->At(a.x, a.y - 3), kRed);
  EXPECT_EQ(s->At(a.x, a.y), 0u);
  EXPECT_EQ(s->At(c.x, c.y), kRed);
  EXPECT_EQ(s->At(c.x, c.y - 3), 0u);
  draw::BlitMarker(E(), draw::Marker::Vertex, a.x, a.y, 0);
  draw::BlitMarker(E(), draw::Marker::End, c.x, c.y, 0);
  draw::BlitMarker(E(), draw::Marker::Vertex, WorldToScreen(s->view, 150, 100).x,
                   WorldToScreen(s->view, 150, 100).y, 0);
  EXPECT_EQ(Count(kRed), 0);
}

TEST_F(PrimitivesTest, TheDotGridDrawnTwiceLeavesTheScreenAsItWas) {
  s->surface = gfx::Surface(s->surface.width, s->surface.height);
  for (std::size_t i = 0; i < s->surface.pixels.size(); ++i) s->surface.pixels[i] = std::uint32_t(i * 2654435761u) & 0xFFFFFF;
  const std::vector<std::uint32_t> before = s->surface.pixels;
  f.d.settings.dotGrids[3] = 10;
  draw::DrawGrid(E(), 3);
  EXPECT_NE(s->surface.pixels, before);
  EXPECT_EQ(s->At(s->Px(10), s->Py(290)), before[std::size_t(s->Py(290) * s->surface.width + s->Px(10))] ^ 0xc0c0c0u);
  EXPECT_EQ(E().gridDrawnIndex, 3);
  draw::DrawGrid(E(), 3);
  EXPECT_EQ(s->surface.pixels, before);
  f.d.settings.dotGrids[4] = 5;  // dots 5 pixels apart would be too dense
  draw::DrawGrid(E(), 4);
  EXPECT_EQ(s->surface.pixels, before);
}

TEST_F(PrimitivesTest, TextsDrawTheirGlyphsStoreTheLeastSizeAndSkipUnknownCodes) {
  // A: a triangle; B: one stroke. Size 15 makes font units database units.
  Glyph('A', {0x00, 0xA0, 0x5A, 0x00, 0xFF});
  Glyph('B', {0x00, 0x0F, 0xFF});
  Cell c{"C", 1, {}, {}, {{1, 10, 0, 100, 100, "AB"}, {1, 15, 0, 100, 200, std::string("A\x01") + "B"}}, {}};
  Edit(c);
  f.d.settings.layerFills[0] = 0;
  draw::DrawPath(E(), 1, 0);
  EXPECT_EQ(f.d.store.GetPath(1, 1), 15);  // size 10 is stored as 15
  draw::DrawPath(E(), 2, 0);
  EXPECT_EQ(At(105, 100), kRed);  // A's base
  EXPECT_EQ(At(100 + 10 + 4, 105), kRed);  // B after A's width 10 and a gap of 4
  for (int y = 95; y <= 120; ++y)
    for (int x = 95; x <= 130; ++x) ASSERT_EQ(At(x, y), At(x, y + 100)) << x << "," << y;
}

TEST_F(PrimitivesTest, AGlyphWithoutItsEndNeverReadsIntoTheNextSlot) {
  // A's slot is all vertex bytes (no 0xFF at all); B's slot holds a long stroke.
  unsigned char* a = f.d.font.bytes.data() + ('A' - 32) * db::kGlyphBytes;
  for (int i = 0; i < db::kGlyphBytes; ++i) a[i] = (i % 2) ? 0x10 : 0x11;
  Glyph('B', {0x00, 0xEE, 0xFF});
  f.d.settings.layerFills[0] = 0;
  Edit(Cell{"C", 1, {}, {}, {{1, 150, 0, 100, 100, "A"}}, {}});
  draw::DrawPath(E(), 1, 0);
  EXPECT_EQ(At(150, 150), 0u);  // where B's diagonal would run
  // Slot 127, the table's last, likewise.
  unsigned char* del = f.d.font.bytes.data() + (127 - 32) * db::kGlyphBytes;
  for (int i = 0; i < db::kGlyphBytes; ++i) del[i] = 0x11;
  Edit(Cell{"C", 1, {}, {}, {{1, 150, 0, 100, 100, "\x7f"}}, {}});
  draw::DrawPath(E(), 1, 0);
}

TEST_F(PrimitivesTest, SmashingStoresEveryStrokeAsAPolygonWhateverTheZoom) {
  Glyph('A', {0x00, 0xA0, 0x5A, 0x00, 0xFF, 0x22, 0x82, 0xFF});
  s->view.width = 1e6;  // the text is far below the minimum drawn size
  draw::NormalizeView(s->view, f.d.settings);
  Edit(Cell{"C", 1, {}, {}, {{1, 30, 0, 100, 100, "AA"}}, {}});
  E().smashing = true;
  E().smashLayerWord = 7;
  draw::DrawPath(E(), 1, 0);
  E().smashing = false;
  db::ObjectStore& st = f.d.store;
  ASSERT_EQ(st.pathCount, 1 + 4);
  const db::PathRecord p = st.GetPathRecord(2);
  EXPECT_EQ(p.flags, 7);
  EXPECT_EQ(p.width, 0);
  std::vector<std::pair<int, int>> pts;
  st.WalkChain(p.firstVertex, [&](int v) { pts.push_back({st.GetVertex(1, v), st.GetVertex(2, v)}); });
  EXPECT_EQ(pts, (std::vector<std::pair<int, int>>{{100, 100}, {120, 100}, {110, 120}, {100, 100}}));
  // the second A starts after the first's width 20 and a gap of 30 x 0.26667 = 8
  const db::PathRecord q = st.GetPathRecord(4);
  EXPECT_EQ(st.GetVertex(1, q.firstVertex), 128);
  EXPECT_EQ(Count(kRed), 0);
}

}  // namespace
