#include "editor/ui/overlays.h"

#include <algorithm>
#include <utility>

#include "editor/ui/draw/resources.h"
#include "platform/ui/window.h"

namespace edui {

namespace {

constexpr int kDottedColour = 7;
constexpr int kWhite = 15;

// Overlays always XOR with the same colours, whatever the fills left in the canvas.
void BlitPointerMarkAt(Editor& ed, int x, int y) {
  gfx::Canvas* c = ed.canvas;
  if (!c) return;
  const gfx::Color bg = c->SetBackgroundColor(gfx::PaletteIndex(kWhite));
  const gfx::Color fg = c->SetTextColor(gfx::PaletteIndex(0));
  c->BitBlt(x - 7, y - 7, 16, 15, draw::Markers().pointer, 0, 0, gfx::rop::kSrcInvert);
  c->SetBackgroundColor(bg);
  c->SetTextColor(fg);
}

// Dotted pen, XOR, transparent background and no brush while a figure is drawn.
class FigurePen {
 public:
  explicit FigurePen(gfx::Canvas& c) : c_(c), saved_(c.state()) {
    c_.SetPen(gfx::Pen::Styled(gfx::PenStyle::Dot, gfx::PaletteIndex(kDottedColour)));
    c_.SetBrush(gfx::Brush::Null());
    c_.SetMix(gfx::Mix::Xor);
    c_.SetBackgroundMode(gfx::BackgroundMode::Transparent);
  }
  ~FigurePen() {
    c_.SetMix(gfx::Mix::Copy);
    c_.SetBackgroundMode(gfx::BackgroundMode::Opaque);
    c_.SetPen(saved_.pen);
    c_.SetBrush(saved_.brush);
  }

 private:
  gfx::Canvas& c_;
  gfx::CanvasState saved_;
};

void Line(gfx::Canvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void RectangleFigure(gfx::Canvas& c, int x1, int y1, int x2, int y2) {
  c.Rectangle(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1);
}

const PointSlot& Slot(Editor& ed, int n) { return ed.proto.now.slots[std::size_t(n)]; }

// The band's figure with its moving end at (px, py).
void BandFigure(Editor& ed, int px, int py) {
  if (!ed.canvas) return;
  gfx::Canvas& c = *ed.canvas;
  FigurePen pen(c);
  const CommandState& s = ed.proto.now;
  const PointSlot& start = (s.bandMode == kBandLine && s.pointState > 3) ? Slot(ed, 3) : Slot(ed, 1);
  switch (s.bandMode) {
    case kBandLine:
      Line(c, start.sx, start.sy, px, py);
      break;
    case kBandRect:
      RectangleFigure(c, start.sx, start.sy, px, py);
      break;
    case kBandTwoLines:
      Line(c, Slot(ed, 1).sx, Slot(ed, 1).sy, px, py);
      Line(c, px, py, Slot(ed, 5).sx, Slot(ed, 5).sy);
      break;
    case kBandCell: {
      const Overlays& o = ed.overlays;
      c.Rectangle(px + o.ghostLeft, py + o.ghostTop, px + o.ghostRight, py + o.ghostBottom);
      break;
    }
    default:
      break;
  }
}

void CrosshairFigure(Editor& ed, int x, int y) {
  if (!ed.canvas) return;
  gfx::Canvas& c = *ed.canvas;
  FigurePen pen(c);
  const draw::DrawingArea& a = ed.view.area;
  Line(c, x, a.top, x, a.bottom);
  Line(c, a.left, y, a.right, y);
}

}  // namespace

void ShowPointerMark(Editor& ed, int on) {
  Overlays& o = ed.overlays;
  if (on) {
    if (!o.markDrawn) {
      o.drawnX = o.newX;
      o.drawnY = o.newY;
      BlitPointerMarkAt(ed, o.drawnX, o.drawnY);
      o.markDrawn = 1;
    }
    ShowCrosshair(ed, ed.crosshairOn);
  } else {
    if (o.markDrawn) {
      BlitPointerMarkAt(ed, o.drawnX, o.drawnY);
      o.markDrawn = 0;
    }
    ShowCrosshair(ed, 0);
  }
}

void MovePointerMark(Editor& ed) {
  Overlays& o = ed.overlays;
  MoveCrosshair(ed);
  if (o.markDrawn) {
    BlitPointerMarkAt(ed, o.drawnX, o.drawnY);
    BlitPointerMarkAt(ed, o.newX, o.newY);
  }
  o.drawnX = o.newX;
  o.drawnY = o.newY;
}

void ShowRubberBand(Editor& ed, int on) {
  Overlays& o = ed.overlays;
  if (on && !o.bandDrawn) {
    BandFigure(ed, o.drawnX, o.drawnY);
    o.bandDrawn = 1;
  } else if (!on && o.bandDrawn) {
    BandFigure(ed, o.drawnX, o.drawnY);
    o.bandDrawn = 0;
  }
}

void MoveRubberBand(Editor& ed) {
  Overlays& o = ed.overlays;
  if (!o.bandDrawn) return;
  BandFigure(ed, o.drawnX, o.drawnY);
  BandFigure(ed, o.newX, o.newY);
}

void ShowCrosshair(Editor& ed, int on) {
  Overlays& o = ed.overlays;
  if ((on != 0) == (o.crosshairDrawn != 0)) return;
  CrosshairFigure(ed, o.drawnX, o.drawnY);
  o.crosshairDrawn = on ? 1 : 0;
}

void MoveCrosshair(Editor& ed) {
  Overlays& o = ed.overlays;
  if (!o.crosshairDrawn) return;
  CrosshairFigure(ed, o.drawnX, o.drawnY);
  CrosshairFigure(ed, o.newX, o.newY);
}

void EraseOverlays(Editor& ed) {
  ShowPointerMark(ed, 0);
  ShowRubberBand(ed, 0);
}

void ShowHeldWindow(Editor& ed, int on) {
  CommandState& s = ed.proto.now;
  if ((on != 0) == (s.heldWindowShown != 0)) return;
  s.heldWindowShown = on ? 1 : 0;
  for (int n : {1, 2}) {
    PointSlot& p = s.slots[std::size_t(n)];
    const draw::ScreenPoint q = draw::WorldToScreen(ed.view, p.x, p.y);
    p.sx = q.x;
    p.sy = q.y;
  }
  const int band = std::exchange(s.bandMode, kBandRect);
  BandFigure(ed, s.slots[2].sx, s.slots[2].sy);
  s.bandMode = band;
}

void DrawOriginMark(Editor& ed) {
  if (!(ed.db.settings.modeWord & draw::kModeOrigin) || !ed.canvas) return;
  ShowPointerMark(ed, 0);
  gfx::Canvas& c = *ed.canvas;
  const draw::ScreenPoint p = draw::WorldToScreen(ed.view, 0, 0);
  const gfx::Color bg = c.SetBackgroundColor(gfx::PaletteIndex(kWhite));
  const gfx::Color fg = c.SetTextColor(gfx::PaletteIndex(0));
  c.BitBlt(p.x - 7, p.y - 6, 16, 13, draw::Markers().origin, 0, 0, gfx::rop::kDSna);
  c.BitBlt(p.x - 7, p.y - 6, 16, 13, draw::Markers().origin, 0, 0, gfx::rop::kSrcPaint);
  c.SetBackgroundColor(bg);
  c.SetTextColor(fg);
}

void ShowPointer(int on) {
  if (on) {
    while (ui::ShowPointer(true) < 0) {
    }
  } else {
    while (ui::ShowPointer(false) >= 0) {
    }
  }
}

void NormalizeRect(std::int32_t& left, std::int32_t& bottom, std::int32_t& right, std::int32_t& top) {
  if (left > right) std::swap(left, right);
  if (bottom > top) std::swap(bottom, top);
}

void CellGhostOffsets(Editor& ed) {
  if (!ed.db.index.ValidRow(ed.objectCell)) return;
  const db::CellIndexEntry& e = ed.db.index.rows[std::size_t(ed.objectCell)];
  Overlays& o = ed.overlays;
  o.ghostLeft = int(e.left * ed.view.scaleX);
  o.ghostTop = int(-e.bottom * ed.view.scaleY);
  o.ghostRight = int(e.right * ed.view.scaleX);
  o.ghostBottom = int(-e.top * ed.view.scaleY);
}

}  // namespace edui
