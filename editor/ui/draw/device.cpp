#include "editor/ui/draw/device.h"

#include <algorithm>
#include <cmath>

#include "editor/db/orientation.h"
#include "editor/ui/draw/resources.h"
#include "editor/ui/draw/walk_internal.h"
#include "platform/gfx/canvas.h"

namespace draw::detail {

namespace {

constexpr double kLimit = kScreenLimit;

// Moves end p along the segment from q until its coordinate `c` lies on the bound.
void PullEnd(double& px, double& py, double qx, double qy, bool onX) {
  double& c = onX ? px : py;
  const double cq = onX ? qx : qy;
  const double bound = c > kLimit ? kLimit : (c < -kLimit ? -kLimit : c);
  if (bound == c || c == cq) return;
  const double t = (bound - cq) / (c - cq);
  if (onX) {
    py = qy + (py - qy) * t;
    px = bound;
  } else {
    px = qx + (px - qx) * t;
    py = bound;
  }
}

// The pen colour of a palette index on the current target.
gfx::Color PenColour(const Engine& e, int colour) {
  const gfx::Palette& pal = EditorPalette();
  const int c = colour >= 0 && colour < kPaletteSize ? colour : 7;
  if (!OnPaper(e)) return pal[static_cast<std::size_t>(c)];
  if (e.hardcopy.blackWhite) return e.hardcopy.dark ? 0xFFFFFFu : 0x000000u;
  if ((c == 7 || c == 15) && !e.hardcopy.dark) return 0x000000u;
  // print colours are stored red + 256 green + 65536 blue
  const std::uint32_t v = e.db.settings.printColors[static_cast<std::size_t>(c)];
  return gfx::Rgb(int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255));
}

void Finish(gfx::Canvas& c) {
  c.SetPen(gfx::Pen::Solid(0xFFFFFFu));
  c.SetBrush(gfx::Brush::Null());
  c.SetMix(gfx::Mix::Copy);
}

}  // namespace

DeviceMap DeviceMapOf(const Engine& e) {
  DeviceMap m;
  const gfx::Point o = DeviceOrigin(e);
  m.originX = o.x;
  m.originY = o.y;
  if (e.target == Target::Screen) {
    m.left = e.view.left;
    m.top = e.view.top;
    m.scaleX = e.view.scaleX;
    m.scaleY = e.view.scaleY;
  } else {
    m.left = e.page.worldLeft;
    m.top = e.page.worldTop;
    m.scaleX = e.page.scaleX;
    m.scaleY = e.page.scaleY;
  }
  return m;
}

bool OnPaper(const Engine& e) {
  return e.target == Target::DirectPrint || e.target == Target::BitmapPrint;
}

DeviceSegment MapSegment(const Engine& e, double x1, double y1, double x2, double y2) {
  double ax, ay, bx, by;
  WorldToDevice(e, x1, y1, ax, ay);
  WorldToDevice(e, x2, y2, bx, by);
  const bool beyond = (ax > kLimit && bx > kLimit) || (ax < -kLimit && bx < -kLimit) ||
                      (ay > kLimit && by > kLimit) || (ay < -kLimit && by < -kLimit);
  if (!beyond) {
    PullEnd(ax, ay, bx, by, true);
    PullEnd(ax, ay, bx, by, false);
    PullEnd(bx, by, ax, ay, true);
    PullEnd(bx, by, ax, ay, false);
  }
  const gfx::Point o = DeviceOrigin(e);
  return DeviceSegment{gfx::Point{RoundDevice(ax) + o.x, RoundDevice(ay) + o.y},
                       gfx::Point{RoundDevice(bx) + o.x, RoundDevice(by) + o.y}};
}

void EmitLine(Engine& e, const DeviceSegment& s, const Style& st) {
  if (!e.canvas) return;
  if (Recording(e)) {
    e.work->figures.Line(s.a, s.b, DashStyle(st), RecordedInk(e, st.colour), gfx::Mix::Copy, 0, true);
    e.work->recordedLines = true;
    return;
  }
  gfx::Canvas& c = *e.canvas;
  c.SetPen(gfx::Pen::Styled(gfx::PenStyle(std::clamp(st.dash, 0, kDashCount - 1)), PenColour(e, st.colour)));
  c.SetMix(gfx::Mix::Copy);
  c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
  c.MoveTo(s.a.x, s.a.y);
  c.LineTo(s.b.x, s.b.y);
  // lines leave out their last pixel; one more step puts it in
  c.LineTo(s.b.x + 1, s.b.y + 1);
  Finish(c);
}

void EmitRectOutline(Engine& e, double left, double bottom, double right, double top, const Style& st) {
  if (!e.canvas) return;
  const gfx::Point p0 = MapPoint(e, left, bottom), p2 = MapPoint(e, right, top);
  if (Recording(e)) {
    // one figure: the dashes run on from side to side
    const gfx::Point corners[5] = {p0, {p2.x, p0.y}, p2, {p0.x, p2.y}, p0};
    const gfx::Color ink = RecordedInk(e, st.colour);
    std::int64_t phase = 0;
    for (int i = 0; i < 4; ++i) {
      const gfx::Point a = corners[i], b = corners[i + 1];
      e.work->figures.Line(a, b, DashStyle(st), ink, gfx::Mix::Copy, phase, false);
      phase += std::max(std::llabs(std::int64_t(b.x) - a.x), std::llabs(std::int64_t(b.y) - a.y));
    }
    e.work->recordedLines = true;
    return;
  }
  gfx::Canvas& c = *e.canvas;
  c.SetPen(gfx::Pen::Styled(gfx::PenStyle(std::clamp(st.dash, 0, kDashCount - 1)), PenColour(e, st.colour)));
  c.SetMix(gfx::Mix::Copy);
  c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
  c.MoveTo(p0.x, p0.y);
  c.LineTo(p2.x, p0.y);
  c.LineTo(p2.x, p2.y);
  c.LineTo(p0.x, p2.y);
  c.LineTo(p0.x, p0.y);
  Finish(c);
}

void EmitFilledRect(Engine& e, double left, double bottom, double right, double top, const Style& st) {
  const gfx::Point p0 = MapPoint(e, left, bottom), p2 = MapPoint(e, right, top);
  std::vector<gfx::Point>& pts = e.work->rectPolygon;
  pts.assign({p0, {p2.x, p0.y}, p2, {p0.x, p2.y}, p0});
  EmitPolygon(e, pts, st);
}

void EmitPolygon(Engine& e, std::vector<gfx::Point>& points, const Style& st) {
  if (!e.canvas || st.fill <= 0 || st.fill >= kFillCount || e.highlightPass) return;
  if (points.size() < 3) return;
  if (!(points.front() == points.back())) points.push_back(points.front());
  if (Recording(e)) {
    EngineWork& w = *e.work;
    const gfx::Color white = 0xFFFFFFu;
    const gfx::Color colour = RecordedInk(e, st.colour);
    auto fill = [&](gfx::Color background, gfx::Mix mix) {
      w.figures.Polygon(points, false,
                        w.figures.AddPaint(gfx::Brush::Pattern(FillPattern(st.fill)), background, 0x000000u,
                                           gfx::BackgroundMode::Transparent),
                        mix);
      w.lastFillBackground = background;
    };
    if (OnPaper(e)) {
      fill(white, gfx::Mix::MaskNotPen);
      fill(colour, gfx::Mix::Merge);
    } else {
      // the screen's paints are those of its box fills
      gfx::Color background = 0;
      const int paint = ScreenFillPaint(e, st.fill, st.colour, background);
      w.figures.Polygon(points, false, paint,
                        st.colour == 0 ? gfx::Mix::MaskNotPen : (st.fill == 13 ? gfx::Mix::Copy : gfx::Mix::Merge));
      w.lastFillBackground = background;
    }
    w.recordedFills = true;
    return;
  }
  gfx::Canvas& c = *e.canvas;
  c.SetPen(gfx::Pen::Null());
  c.SetBrush(gfx::Brush::Pattern(FillPattern(st.fill)));
  c.SetFillRule(gfx::FillRule::Alternate);
  c.SetTextColor(0x000000u);
  const gfx::Color white = 0xFFFFFFu;
  const gfx::Color colour = PenColour(e, st.colour);
  if (OnPaper(e)) {
    c.SetBackgroundColor(white);
    c.SetMix(gfx::Mix::MaskNotPen);
    c.Polygon(points);
    c.SetBackgroundColor(colour);
    c.SetMix(gfx::Mix::Merge);
    c.Polygon(points);
  } else if (st.colour == 0) {
    // erasing clears exactly the pixels the pattern set
    c.SetBackgroundColor(white);
    c.SetMix(gfx::Mix::MaskNotPen);
    c.Polygon(points);
  } else {
    c.SetBackgroundColor(colour);
    c.SetMix(st.fill == 13 ? gfx::Mix::Copy : gfx::Mix::Merge);
    c.Polygon(points);
  }
  Finish(c);
}

void LevelOrientation(const Engine& e, int level, std::int64_t& x, std::int64_t& y) {
  for (int l = std::min(level, kLevels - 1); l >= 0; --l) db::OrientPoint(e.levels[std::size_t(l)].orientation, x, y);
}

void ComposeLevelTransform(Engine& e, int level) {
  EngineWork& w = *e.work;
  w.xformValid = false;
  if (!e.batched || level < 0 || level >= kLevels) return;
  // the images of the unit vectors under the orientations of levels level..0
  std::int64_t xx = 1, xy = 0, yx = 0, yy = 1;
  for (int l = level; l >= 0; --l) {
    const int o = e.levels[std::size_t(l)].orientation;
    db::OrientPoint(o, xx, xy);
    db::OrientPoint(o, yx, yy);
  }
  w.xx = xx;
  w.xy = xy;
  w.yx = yx;
  w.yy = yy;
  w.xformLevel = level;
  w.xformValid = true;
  // back through the placement: subtract the offset, then the transposed matrix (its inverse)
  auto back = [&](std::int64_t qx, std::int64_t qy, std::int64_t& px, std::int64_t& py) {
    qx -= e.offsetX;
    qy -= e.offsetY;
    px = xx * qx + xy * qy;
    py = yx * qx + yy * qy;
  };
  std::int64_t x1, y1, x2, y2;
  back(e.view.left, e.view.bottom, x1, y1);
  back(e.view.right, e.view.top, x2, y2);
  w.windowLeft = std::min(x1, x2);
  w.windowRight = std::max(x1, x2);
  w.windowBottom = std::min(y1, y2);
  w.windowTop = std::max(y1, y2);
}

void DropLevelTransform(Engine& e) { e.work->xformValid = false; }

int ScreenFillPaint(Engine& e, int fill, int colour, gfx::Color& background) {
  EngineWork& w = *e.work;
  const int c = colour >= 0 && colour < kPaletteSize ? colour : 7;
  // colour 0 clears exactly the pixels the pattern sets
  background = c == 0 ? 0xFFFFFFu : RecordedInk(e, c);
  int& id = w.boxPaints[std::size_t(fill)][std::size_t(c)];
  if (id < 0)
    id = w.figures.AddPaint(gfx::Brush::Pattern(FillPattern(fill)), background, 0x000000u,
                            gfx::BackgroundMode::Transparent);
  return id;
}

void TakeRecordedInks(Engine& e) {
  if (!e.canvas) return;
  for (int c = 0; c < kPaletteSize; ++c) e.work->inks[std::size_t(c)] = e.canvas->Resolve(PenColour(e, c));
}

void DrawRecorded(Engine& e) {
  EngineWork& w = *e.work;
  if (!w.figures.Active()) return;
  w.figures.Draw();
  // the canvas settings that drawing the figures one by one would have left
  if (e.canvas && (w.recordedLines || w.recordedFills)) {
    gfx::Canvas& c = *e.canvas;
    if (w.recordedLines) c.SetBackgroundMode(gfx::BackgroundMode::Transparent);
    if (w.recordedFills) {
      c.SetFillRule(gfx::FillRule::Alternate);
      c.SetTextColor(0x000000u);
      c.SetBackgroundColor(w.lastFillBackground);
    }
    Finish(c);
  }
  w.recordedLines = w.recordedFills = false;
}

}  // namespace draw::detail
