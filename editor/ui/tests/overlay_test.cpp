// Overlays are drawn by XOR: whatever was drawn, taking it away again leaves the picture bit for bit
// as it was. No window is needed: the overlays draw on a picture of their own.
#include <gtest/gtest.h>

#include "editor/ui/draw/resources.h"
#include "editor/ui/editor.h"
#include "editor/ui/overlays.h"
#include "platform/gfx/canvas.h"

namespace edtest {
namespace {

class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    draw::SetDrawingArea(ed.view, draw::DrawingArea{0, 24, 400, 300});
    draw::NormalizeView(ed.view, ed.db.settings);
    canvas.SetPalette(draw::EditorPalette());
    ed.canvas = &canvas;
    ed.draw.canvas = &canvas;
    // A picture under the overlays, so that XOR has something to spoil.
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) picture.Row(y)[x] = std::uint32_t((x * 7919u + y * 104729u) & 0xFFFFFF);
    before = picture;
  }
  void MoveTo(int x, int y) {
    ed.overlays.newX = x;
    ed.overlays.newY = y;
    edui::ShowPointerMark(ed, 1);
    if (ed.proto.now.bandMode) edui::ShowRubberBand(ed, 1);
    edui::MoveRubberBand(ed);
    edui::MovePointerMark(ed);
  }
  int Changed() const {
    int n = 0;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) n += picture.pixels[i] != before.pixels[i];
    return n;
  }

  edui::Editor ed;
  gfx::Surface picture{420, 340};
  gfx::Canvas canvas{picture};
  gfx::Surface before;
};

TEST_F(OverlayTest, EveryBandAndTheCrosshairComeOffWithoutATrace) {
  for (int band = edui::kBandNone; band <= edui::kBandCell; ++band) {
    for (int crosshair = 0; crosshair <= 1; ++crosshair) {
      SCOPED_TRACE("band " + std::to_string(band) + " crosshair " + std::to_string(crosshair));
      auto& s = ed.proto.now;
      s.bandMode = band;
      s.pointState = 2;
      s.slots[1] = {0, 0, 60, 70};
      s.slots[5] = {0, 0, 300, 40};
      ed.overlays.ghostLeft = -20;
      ed.overlays.ghostTop = -10;
      ed.overlays.ghostRight = 30;
      ed.overlays.ghostBottom = 15;
      ed.crosshairOn = crosshair;
      MoveTo(200, 150);
      MoveTo(220, 140);
      MoveTo(90, 260);
      EXPECT_GT(Changed(), 0);
      edui::EraseOverlays(ed);
      EXPECT_EQ(Changed(), 0);
      EXPECT_EQ(ed.overlays.markDrawn, 0);
      EXPECT_EQ(ed.overlays.bandDrawn, 0);
      EXPECT_EQ(ed.overlays.crosshairDrawn, 0);
    }
  }
}

TEST_F(OverlayTest, AskingTwiceForTheSameStateDrawsOnce) {
  auto& s = ed.proto.now;
  s.bandMode = edui::kBandLine;
  s.slots[1] = {0, 0, 30, 40};
  ed.overlays.newX = ed.overlays.drawnX = 150;
  ed.overlays.newY = ed.overlays.drawnY = 120;
  edui::ShowRubberBand(ed, 1);
  const gfx::Surface once = picture;
  edui::ShowRubberBand(ed, 1);
  EXPECT_EQ(picture.pixels, once.pixels);
  edui::ShowRubberBand(ed, 0);
  edui::ShowRubberBand(ed, 0);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(OverlayTest, ARectangleDraggedEitherWayCoversTheSamePixels) {
  auto& s = ed.proto.now;
  s.bandMode = edui::kBandRect;
  s.slots[1] = {0, 0, 100, 80};
  ed.overlays.drawnX = 40;
  ed.overlays.drawnY = 30;
  edui::ShowRubberBand(ed, 1);
  const gfx::Surface upLeft = picture;
  edui::ShowRubberBand(ed, 0);
  s.slots[1] = {0, 0, 40, 30};
  ed.overlays.drawnX = 100;
  ed.overlays.drawnY = 80;
  edui::ShowRubberBand(ed, 1);
  EXPECT_EQ(picture.pixels, upLeft.pixels);
}

TEST_F(OverlayTest, TheHeldWindowAndTheOriginMarkFollowTheirFlags) {
  auto& s = ed.proto.now;
  s.slots[1] = {-100, -100, 0, 0};
  s.slots[2] = {100, 50, 0, 0};
  edui::ShowHeldWindow(ed, 1);
  EXPECT_GT(Changed(), 0);
  edui::ShowHeldWindow(ed, 1);
  edui::ShowHeldWindow(ed, 0);
  EXPECT_EQ(Changed(), 0);

  // The origin mark paints colour 15 where the mark has ink, and nothing without the R bit.
  ed.db.settings.modeWord = 0;
  edui::DrawOriginMark(ed);
  EXPECT_EQ(Changed(), 0);
  ed.db.settings.modeWord = draw::kModeOrigin;
  edui::DrawOriginMark(ed);
  const draw::ScreenPoint o = draw::WorldToScreen(ed.view, 0, 0);
  EXPECT_EQ(picture.Row(o.y)[o.x], 0xFFFFFFu);
}

}  // namespace
}  // namespace edtest
