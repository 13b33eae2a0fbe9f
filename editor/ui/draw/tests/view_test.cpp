// View limits, the world-to-screen mapping and back, the snap, the angle constraint and the layer
// masks.
#include <gtest/gtest.h>

#include "editor/ui/draw/layer_masks.h"
#include "editor/ui/draw/view.h"

namespace {

using namespace draw;

struct ViewTest : ::testing::Test {
  db::Settings s;
  ViewState v;
  void SetUp() override {
    s.scale = 1;
    SetDrawingArea(v, LayoutDrawingArea(894, 624));  // 800 x 558 drawing pixels
  }
  void Show(double width, double cx, double cy) {
    v.width = width;
    v.centreX = cx;
    v.centreY = cy;
    NormalizeView(v, s);
  }
};

TEST_F(ViewTest, WidthAndCentreStayWithinTheCoordinateRange) {
  struct Case {
    double width, cx, cy;
    double wantWidth, wantCx, wantCy;
  } cases[] = {
      {10, 0, 0, 64, 0, 0},
      {1e9, 0, 0, kMaxViewWidth, 0, 0},
      {1000, 8472494.08, 0, 1000, 8472494.08 - 500, 0},
      {1000, -9e6, 0, 1000, 500 - 8472494.08, 0},
      {1000, 0, 9e6, 1000, 0, 8472494.08 - 500 * 558.0 / 800},
  };
  for (const Case& c : cases) {
    Show(c.width, c.cx, c.cy);
    EXPECT_DOUBLE_EQ(v.width, c.wantWidth);
    EXPECT_DOUBLE_EQ(v.centreX, c.wantCx);
    EXPECT_NEAR(v.centreY, c.wantCy, 1e-6);
  }
}

TEST_F(ViewTest, WindowCornersScaleAndMinimumSizeFollowTheView) {
  s.resolution = 100;
  Show(1600, 1000.7, -200.2);
  EXPECT_EQ(v.intCentreX, 1000);
  EXPECT_EQ(v.intCentreY, -200);
  EXPECT_EQ(v.left, 200);
  EXPECT_EQ(v.right, 1800);
  EXPECT_EQ(v.top, -200 + 558);
  EXPECT_EQ(v.bottom, -200 - 558);
  EXPECT_DOUBLE_EQ(v.scaleX, 0.5);
  EXPECT_EQ(v.minDrawn, 16);
  s.resolution = 10;  // below the least resolution of 50
  Show(1600, 0, 0);
  EXPECT_EQ(v.minDrawn, 32);
  v.printSetup = true;
  Show(1600, 0, 0);
  EXPECT_EQ(v.left, -1200);
}

TEST_F(ViewTest, ScreenAndPointerMappingsMeetAndFarPointsClamp) {
  Show(800, 400, 300);
  EXPECT_EQ(WorldToScreen(v, 400, 300), (ScreenPoint{400, 24 + 279}));
  EXPECT_EQ(WorldToScreen(v, 1e8, -1e8), (ScreenPoint{16000, 16000}));
  EXPECT_EQ(WorldToScreen(v, -1e8, 1e8), (ScreenPoint{-16000, -16000}));
  for (int px : {10, 400, 777}) {
    const WorldPoint w = RawPointerPoint(v, px, 100);
    EXPECT_EQ(WorldToScreen(v, w.x, w.y), (ScreenPoint{px, 100}));
  }
  // Outside the drawing rectangle the nearest inside pixel counts.
  EXPECT_EQ(RawPointerPoint(v, -50, 2000), RawPointerPoint(v, 1, 24 + 558 - 1));
  EXPECT_EQ(RawPointerPoint(v, 5000, 0), RawPointerPoint(v, 799, 25));
}

TEST_F(ViewTest, SnapGoesToTheWorkingGridAndSmallGridsToWholeUnits) {
  Show(80, 0, 0);  // 10 pixels a unit
  s.workGrids[1] = 50;
  s.workGrids[2] = 0;
  s.workGrids[3] = 1;
  v.workGrid = 1;
  const int cx = v.area.CentreX(), cy = v.area.CentreY();
  EXPECT_EQ(SnappedPointerPoint(v, s, cx + 260, cy - 10), (WorldPoint{50, 0}));
  EXPECT_EQ(SnappedPointerPoint(v, s, cx - 251, cy + 10), (WorldPoint{-50, 0}));
  for (int grid : {2, 3}) {
    v.workGrid = grid;
    EXPECT_EQ(SnappedPointerPoint(v, s, cx + 26, cy - 34), (WorldPoint{3, 3}));
  }
}

TEST(ConstrainAngle, EachDirectionOwnsFortyFiveDegrees) {
  struct Case {
    std::int32_t x, y, wantX, wantY;
  } cases[] = {{100, 30, 100, 0}, {100, 60, 100, 100}, {30, 100, 0, 100},
               {-100, 60, -100, 100}, {-60, -100, -100, -100}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    std::int32_t x = c.x, y = c.y;
    ConstrainAngle(0, 0, x, y);
    EXPECT_EQ(x, c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(y, c.wantY) << c.x << "," << c.y;
  }
  std::int32_t x = 110, y = 63;
  ConstrainAngle(10, 3, x, y);
  EXPECT_EQ(x, 110);
  EXPECT_EQ(y, 103);
}

TEST(ModeBits, SetClearAndToggle) {
  int w = 214;
  EXPECT_EQ(SetModeBits(w, kModeSnap | kModeOutlines, 1), 214 | 9);
  EXPECT_EQ(SetModeBits(w, kModeSnap, 0), 214 | 8);
  EXPECT_EQ(ToggleModeBits(w, kModeOutlines | kModeNames), 214 & ~kModeNames);
}

TEST(LayerMasks, LayerListsReadAsTheListCommandTakesThem) {
  const std::uint64_t all = ~std::uint64_t{0};
  struct Case {
    const char* text;
    std::uint64_t mask;
  } cases[] = {
      {"1-64", all},
      {"0-0", all},
      {"-", all},
      {"5", LayerBit(5)},
      {"65", 0},
      {"123456", 0},  // read as 12345
      {"0", 0},
      {"", 0},
      {"10-3", 0x3FC},  // layers 3..10
      {" 1  3-4 64", LayerBit(1) | LayerBit(3) | LayerBit(4) | LayerBit(64)},
      {"60-99", LayerBit(60) | LayerBit(61) | LayerBit(62) | LayerBit(63) | LayerBit(64)},
      {"-2", LayerBit(1) | LayerBit(2)},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLayerNumberList(c.text), c.mask) << '"' << c.text << '"';
}

TEST(LayerMasks, TableBitmapsAddressRowsAndMasksAddressLayers) {
  db::FormFile form;
  form.layers = {{"A", 3}, {"B", 7}, {"C", 9}};
  db::Settings s;
  s.layerSelectionByTable = 1;
  s.rankViews[2].viewMask = 0b010;
  s.rankViews[2].openMask = 0b101;
  SetLayerFlagsFromMask(form, LayerSet::View, s.rankViews[2].viewMask);
  SetLayerFlagsFromMask(form, LayerSet::Open, s.rankViews[2].openMask);
  EXPECT_EQ(LayerTableMask(form, LayerSet::View), 0b010u);
  LayerMasks m;
  BuildViewMask(m, form, s, 2);
  BuildOpenMask(m, form, s, 2);
  EXPECT_EQ(m.view, LayerBit(7));
  EXPECT_EQ(m.open, LayerBit(3) | LayerBit(9));
  // Not open and viewed at once: nothing can be picked, until All Layers opens everything.
  CombineLayerMasks(m);
  EXPECT_EQ(m.pickExclusion, ~std::uint64_t{0});
  m.openOverride = ~std::uint64_t{0};
  CombineLayerMasks(m);
  EXPECT_EQ(m.pickExclusion, ~LayerBit(7));
  // By numbers, the rank's own list counts.
  s.layerSelectionByTable = 0;
  s.rankViews[2].viewList = "0";
  BuildViewMask(m, form, s, 2);
  EXPECT_EQ(m.view, 0u);
  EXPECT_FALSE(IsLayerInView(m, 7));
  m.view = ~std::uint64_t{0};
  EXPECT_FALSE(IsLayerInView(m, 65));
  EXPECT_FALSE(IsLayerInView(m, 0));
}

TEST(ApplyRankView, TheRanksStoredViewBecomesCurrent) {
  db::Database d;
  d.form.layers = {{"A", 3}, {"B", 7}};
  d.settings.layerSelectionByTable = 1;
  d.current.rank = 3;
  db::RankView& rv = d.settings.rankViews[3];
  rv.width = 5000;
  rv.centreX = 70;
  rv.centreY = -20;
  rv.workGrid = 4;
  rv.dotGrid = 2;
  rv.dotShown = 1;
  rv.viewMask = 0b10;
  rv.openMask = 0b11;
  ViewState v;
  LayerMasks m;
  ApplyRankView(v, m, d);
  EXPECT_EQ(v.width, 5000);
  EXPECT_EQ(v.centreX, 70);
  EXPECT_EQ(v.workGrid, 4);
  EXPECT_EQ(v.dotShown, 1);
  EXPECT_EQ(d.form.layers[0].view, 0);
  EXPECT_EQ(d.form.layers[1].view, 1);
  EXPECT_EQ(m.view, LayerBit(7));
  EXPECT_EQ(m.open, LayerBit(3) | LayerBit(7));
  EXPECT_EQ(d.settings.savedWindows[0].width, 5000);
}

}  // namespace
