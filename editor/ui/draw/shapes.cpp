// Boxes, paths and polygons of the store.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <span>

#include "editor/db/path_outline.h"
#include "editor/ui/draw/device.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/draw/resources.h"
#include "editor/ui/draw/shapes_internal.h"
#include "platform/gfx/canvas.h"

namespace draw {

using detail::Style;

int LayerColour(const Engine& e, int layer) {
  if (layer < 1 || layer > 64) return 7;
  const int c = e.db.settings.layerPalette[std::size_t(layer - 1)];
  return c >= 0 && c < kPaletteSize ? c : 7;
}

int LayerFill(const Engine& e, int layer) {
  if (e.noFill) return 0;
  if (e.solidFill) return 13;
  if (layer < 1 || layer > 64) return 0;
  int f = e.db.settings.layerFills[std::size_t(layer - 1)];
  if (f < 0 || f >= kFillCount) return 0;
  // diagonals come out mirrored on paper, so they swap there
  if (e.target == Target::DirectPrint || e.target == Target::BitmapPrint) {
    if (f == 9) f = 10;
    else if (f == 10) f = 9;
    else if (f == 11) f = 12;
    else if (f == 12) f = 11;
  }
  return f;
}

int LayerDash(const Engine& e, int layer) {
  if (e.noDash || layer < 1 || layer > 64) return 0;
  const int d = e.db.settings.layerDashes[std::size_t(layer - 1)];
  return d >= 0 && d < kDashCount ? d : 0;
}

namespace detail {

Style LayerStyle(const Engine& e, int layer) {
  return Style{LayerColour(e, layer), LayerFill(e, layer), LayerDash(e, layer)};
}

void DrawChain(Engine& e, const std::vector<ChainPoint>& pts, const Style& st, bool closedFill) {
  std::vector<gfx::Point>& poly = e.work->devicePolygon;
  poly.clear();
  const int selColour = e.eraseObject ? 0 : 15;
  const bool lines = !e.highlightPass || st.colour == 15;
  // the device polygon only for a fill that will be drawn
  const bool fill = closedFill && pts.size() >= 3 && pts.front().x == pts.back().x && pts.front().y == pts.back().y;
  const bool keep = fill && e.canvas && st.fill > 0 && st.fill < kFillCount && !e.highlightPass;
  if (Recording(e)) {
    // Each vertex is mapped once: a segment with both ends inside the device range is clipped by
    // nothing, so its ends are the vertices' own device points. The lines go straight to the list
    // with their ink taken once.
    EngineWork& w = *e.work;
    const gfx::PenStyle style = DashStyle(st);
    const gfx::Color ink = RecordedInk(e, st.colour);
    const gfx::Color selInk = RecordedInk(e, selColour);
    const DeviceMap device = DeviceMapOf(e);
    gfx::Point next{};
    bool nextInside = false;
    auto map = [&](const ChainPoint& c) { next = device.Map(double(c.x), double(c.y), nextInside); };
    if (!pts.empty()) map(pts[0]);
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      const ChainPoint& a = pts[i];
      const ChainPoint& b = pts[i + 1];
      const gfx::Point pa = next;
      const bool aInside = nextInside;
      map(b);
      const DeviceSegment seg = aInside && nextInside
                                    ? DeviceSegment{pa, next}
                                    : MapSegment(e, double(a.x), double(a.y), double(b.x), double(b.y));
      if (keep) {
        AppendDevicePoint(poly, seg.a);
        AppendDevicePoint(poly, seg.b);
      }
      if (a.x == b.x && a.y == b.y) continue;
      if ((a.flags & b.flags & db::kVertexSelectedBit) && !e.suppressVertexHighlight) {
        w.figures.Line(seg.a, seg.b, gfx::PenStyle::Solid, selInk, gfx::Mix::Copy, 0, true);
        w.recordedLines = true;
      } else if (lines) {
        w.figures.Line(seg.a, seg.b, style, ink, gfx::Mix::Copy, 0, true);
        w.recordedLines = true;
      }
    }
  } else {
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      const ChainPoint& a = pts[i];
      const ChainPoint& b = pts[i + 1];
      const DeviceSegment seg = MapSegment(e, double(a.x), double(a.y), double(b.x), double(b.y));
      AppendDevicePoint(poly, seg.a);
      AppendDevicePoint(poly, seg.b);
      if (a.x == b.x && a.y == b.y) continue;
      const bool sel = (a.flags & b.flags & db::kVertexSelectedBit) && !e.suppressVertexHighlight;
      if (sel) EmitLine(e, seg, Style{selColour, 0, 0});
      else if (lines) EmitLine(e, seg, st);
    }
  }
  if (fill) EmitPolygon(e, poly, st);
}

}  // namespace detail

namespace {

void EdgeLine(Engine& e, double x1, double y1, double x2, double y2, bool selected, const Style& st) {
  const detail::DeviceSegment seg = detail::MapSegment(e, x1, y1, x2, y2);
  if (selected) detail::EmitLine(e, seg, Style{15, 0, 0});
  else if (!e.highlightPass || st.colour == 15) detail::EmitLine(e, seg, st);
}

std::int32_t ToCoord(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

std::vector<db::PathPoint> ToPathPoints(const std::vector<ChainPoint>& pts, std::size_t from,
                                        std::size_t count) {
  std::vector<db::PathPoint> out;
  out.reserve(count);
  for (std::size_t i = from; i < from + count && i < pts.size(); ++i)
    out.push_back(db::PathPoint{ToCoord(pts[i].x), ToCoord(pts[i].y)});
  return out;
}

// Lines around an outline; its device points go to the device polygon when `poly` is given.
void StrokeOutline(Engine& e, const std::vector<db::PathPoint>& outline, const Style& st, bool draw,
                   std::vector<gfx::Point>* poly) {
  for (std::size_t i = 0; i + 1 < outline.size(); ++i) {
    const detail::DeviceSegment seg = detail::MapSegment(e, outline[i].x, outline[i].y,
                                                         outline[i + 1].x, outline[i + 1].y);
    if (poly) {
      detail::AppendDevicePoint(*poly, seg.a);
      detail::AppendDevicePoint(*poly, seg.b);
    }
    if (draw && !(outline[i] == outline[i + 1])) detail::EmitLine(e, seg, st);
  }
}

void DrawWidePath(Engine& e, const std::vector<ChainPoint>& pts, std::int32_t width, const Style& st) {
  const bool normalParts = !e.highlightPass || st.colour == 15;
  if (e.db.settings.modeWord & kModeCentreLine) {
    if (normalParts) {
      for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        if (pts[i].x == pts[i + 1].x && pts[i].y == pts[i + 1].y) continue;
        detail::EmitLine(e, detail::MapSegment(e, double(pts[i].x), double(pts[i].y),
                                               double(pts[i + 1].x), double(pts[i + 1].y)),
                         Style{st.colour, 0, 3});
      }
    }
  }
  std::vector<db::PathPoint> outline;
  db::OutlineOptions whole;
  whole.maxPoints = 0;  // display only: any length draws whole
  std::vector<gfx::Point>& poly = e.work->devicePolygon;
  poly.clear();
  if (db::BuildPathOutline(ToPathPoints(pts, 0, pts.size()), width, outline, whole) == db::OutlineStatus::Ok)
    StrokeOutline(e, outline, st, normalParts, &poly);
  // A selected stretch between two selected vertices shows as the outline of that stretch.
  if (!e.suppressVertexHighlight) {
    const Style sel{e.eraseObject ? 0 : 15, 0, 0};
    std::vector<db::PathPoint> part;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      if (!(pts[i].flags & pts[i + 1].flags & db::kVertexSelectedBit)) continue;
      if (db::BuildPathOutline(ToPathPoints(pts, i, 2), width, part, whole) == db::OutlineStatus::Ok)
        StrokeOutline(e, part, sel, true, nullptr);
    }
  }
  if (outline.size() >= 4) detail::EmitPolygon(e, poly, st);
}

BoxInk BoxInkOf(Engine& e, const Style& st) {
  BoxInk k;
  const int colour = st.colour >= 0 && st.colour < kPaletteSize ? st.colour : 7;
  if (st.fill > 0 && st.fill < kFillCount) {
    k.paint = detail::ScreenFillPaint(e, st.fill, colour, k.background);
    k.fillMix = colour == 0 ? gfx::Mix::MaskNotPen : (st.fill == 13 ? gfx::Mix::Copy : gfx::Mix::Merge);
  }
  k.ink = detail::RecordedInk(e, colour);
  k.style = gfx::PenStyle(std::clamp(st.dash, 0, kDashCount - 1));
  return k;
}

// BoxInkOf for the boxes of a layer, kept from one drawn cell to the next while its style stays.
const BoxInk& LayerBoxInk(Engine& e, int layer, const Style& st) {
  EngineWork::LayerInk& k = e.work->layerInks[std::size_t(layer)];
  if (!k.valid || k.style.colour != st.colour || k.style.fill != st.fill || k.style.dash != st.dash) {
    k.ink = BoxInkOf(e, st);
    k.style = st;
    k.valid = true;
  }
  return k.ink;
}

// The box between two device corners as one recorded figure: its edges are axis-aligned, so each
// maps end by end and the four lines and the fill come from the two corners.
[[gnu::always_inline]] inline void RecordBoxFigure(Engine& e, gfx::Point p0, gfx::Point p2, const BoxInk& k) {
  EngineWork& w = *e.work;
  if (k.paint >= 0) {
    w.lastFillBackground = k.background;
    w.recordedFills = true;
  }
  w.figures.Box(p0.x, p2.y, p2.x, p0.y, k.style, k.ink, gfx::Mix::Copy, k.paint, k.fillMix);
  w.recordedLines = true;
}

// A box without selected edges as one recorded figure. False when this target wants the figure by
// figure route (paper's two fill passes, a mirrored page).
bool RecordBox(Engine& e, double l, double b, double r, double t, const Style& st) {
  if (detail::OnPaper(e)) return false;
  const gfx::Point p0 = detail::MapPoint(e, l, b), p2 = detail::MapPoint(e, r, t);
  if (p0.x > p2.x || p2.y > p0.y) return false;
  RecordBoxFigure(e, p0, p2, BoxInkOf(e, st));
  return true;
}

// Box n (record r, as the store holds it) after its Esc poll.
void DrawBoxRecord(Engine& e, int n, const db::BoxRecord& r, int level, const Style* layerStyle) {
  db::ObjectStore& s = e.db.store;
  std::int64_t l = r.left, b = r.bottom, rt = r.right, t = r.top;
  const std::int64_t min = e.view.minDrawn;
  if (!e.highlightPass && std::llabs(rt - l) <= min && std::llabs(t - b) <= min) return;
  if (detail::CulledUntransformed(e, level, l, b, rt, t, 0)) {
    if (e.markingPass) s.SetBox(r.flags | db::kOffWindowBit, 0, n);
    return;
  }
  detail::LevelTransform(e, level, l, b);
  detail::LevelTransform(e, level, rt, t);
  if (l > rt) std::swap(l, rt);
  if (b > t) std::swap(b, t);
  if (detail::Culled(e, l, b, rt, t, 0)) {
    if (e.markingPass) s.SetBox(r.flags | db::kOffWindowBit, 0, n);
    return;
  }
  const Style st = layerStyle ? *layerStyle : detail::ObjectStyle(e, db::LayerOf(r.flags));
  const double dl = double(l), db_ = double(b), dr = double(rt), dt = double(t);
  if (detail::Recording(e) && !e.highlightPass && !e.eraseObject && !(r.flags & db::kEdgesAll) &&
      RecordBox(e, dl, db_, dr, dt, st))
    return;
  if (e.eraseObject && !e.highlightPass) {
    detail::EmitFilledRect(e, dl, db_, dr, dt, st);
    detail::EmitRectOutline(e, dl, db_, dr, dt, Style{0, 0, 0});
    return;
  }
  EdgeLine(e, dl, db_, dl, dt, r.flags & db::kEdgeLeft, st);
  EdgeLine(e, dl, db_, dr, db_, r.flags & db::kEdgeBottom, st);
  EdgeLine(e, dr, db_, dr, dt, r.flags & db::kEdgeRight, st);
  EdgeLine(e, dl, dt, dr, dt, r.flags & db::kEdgeTop, st);
  if (!e.highlightPass) detail::EmitFilledRect(e, dl, db_, dr, dt, st);
}

// Path n (record p) after its Esc poll: its chain's points `src` and their bounds.
void DrawPathPoints(Engine& e, int n, const db::PathRecord& p, std::span<const ChainPoint> src,
                    const ChainBounds& bounds, int level, const Style* layerStyle) {
  db::ObjectStore& s = e.db.store;
  if (src.size() >= 2) {
    std::int64_t l = bounds.left, r = bounds.right, b = bounds.bottom, t = bounds.top;
    const std::int64_t w = std::llabs(std::int64_t(p.width));
    const std::int64_t min = e.view.minDrawn;
    if (!e.highlightPass && r - l <= min && t - b <= min && w <= min) return;
    if (detail::CulledUntransformed(e, level, l, b, r, t, w)) {
      if (e.markingPass) s.SetPath(p.flags | db::kOffWindowBit, 0, n);
      return;
    }
    detail::LevelTransform(e, level, l, b);
    detail::LevelTransform(e, level, r, t);
    if (l > r) std::swap(l, r);
    if (b > t) std::swap(b, t);
    if (detail::Culled(e, l, b, r, t, w)) {
      if (e.markingPass) s.SetPath(p.flags | db::kOffWindowBit, 0, n);
      return;
    }
    const Style st = layerStyle ? *layerStyle : detail::ObjectStyle(e, db::LayerOf(p.flags));
    std::vector<ChainPoint>& pts = e.work->chain;
    const EngineWork& x = *e.work;
    if (detail::Transforming(e) && x.xformValid && x.xformLevel == level) {
      // placed as they are copied
      pts.resize(src.size());
      for (std::size_t i = 0; i < src.size(); ++i) {
        const std::int64_t cx = src[i].x, cy = src[i].y;
        pts[i] = ChainPoint{x.xx * cx + x.yx * cy + e.offsetX, x.xy * cx + x.yy * cy + e.offsetY, src[i].flags};
      }
    } else {
      pts.assign(src.begin(), src.end());
      for (ChainPoint& c : pts) detail::LevelTransform(e, level, c.x, c.y);
    }
    if (w > min) DrawWidePath(e, pts, p.width, st);
    else detail::DrawChain(e, pts, st, p.width == 0);
  }
  // Marks belong to the edited cell's own paths; placed copies carry none.
  if (!e.instanceFlag && !e.contextFlag && !src.empty()) DrawVertexMarks(e, n, e.eraseObject ? 0 : 1);
}

}  // namespace

void DrawBox(Engine& e, int n, int level) {
  PollEscape(e);
  DrawBoxRecord(e, n, e.db.store.GetBoxRecord(n), level, nullptr);
}

namespace {

// The placement of a level as a turn and a mirror with constant matrix entries (x' = XX x + YX y,
// y' = XY x + YY y, each entry -1, 0 or 1), so that the placed box's sides come without products or
// comparisons; Identity for the edited cell's own objects, which are not placed.
template <int XX, int XY, int YX, int YY>
struct Turn {
  static constexpr bool kPlaced = true;
  // Sides of the placed box from the sides of a box (l <= r, b <= t), before the offset.
  static void Place(std::int64_t l, std::int64_t b, std::int64_t r, std::int64_t t, std::int64_t& pl,
                    std::int64_t& pb, std::int64_t& pr, std::int64_t& pt) {
    auto side = [](int onX, int onY, std::int64_t l, std::int64_t b, std::int64_t r, std::int64_t t,
                   std::int64_t& lo, std::int64_t& hi) {
      if (onX == 1) lo = l, hi = r;
      else if (onX == -1) lo = -r, hi = -l;
      else if (onY == 1) lo = b, hi = t;
      else lo = -t, hi = -b;
    };
    side(XX, YX, l, b, r, t, pl, pr);
    side(XY, YY, l, b, r, t, pb, pt);
  }
};
struct Identity {
  static constexpr bool kPlaced = false;
};

// DrawLayerBoxes on the screen while recording, for one kind of placement.
template <class Placement>
void RecordLayerBoxes(Engine& e, int layer, const std::vector<LayerBox>& boxes, int level, const Style& st) {
  const EngineWork& w = *e.work;
  const std::int64_t min = e.view.minDrawn;
  const std::int64_t ox = e.offsetX, oy = e.offsetY;
  const std::int64_t wl = w.windowLeft, wb = w.windowBottom, wr = w.windowRight, wt = w.windowTop;
  const std::int64_t vl = e.view.left, vb = e.view.bottom, vr = e.view.right, vt = e.view.top;
  // MapPoint on the screen, term by term
  const double left = e.view.left, top = e.view.top, sx = e.view.scaleX, sy = e.view.scaleY;
  const int areaX = e.view.area.left, areaY = e.view.area.top;
  const BoxInk& ink = LayerBoxInk(e, layer, st);
  gfx::FigureList& figures = e.work->figures;
  bool recorded = false;
  for (const LayerBox& box : boxes) {
    if (e.abort) break;
    PollEscape(e);
    const db::BoxRecord& r = box.r;
    if (r.flags & db::kEdgesAll) {
      DrawBoxRecord(e, box.n, r, level, &st);
      continue;
    }
    std::int64_t l = r.left, b = r.bottom, rt = r.right, t = r.top;
    if (std::llabs(rt - l) <= min && std::llabs(t - b) <= min) continue;
    if (l > rt) std::swap(l, rt);
    if (b > t) std::swap(b, t);
    if constexpr (Placement::kPlaced) {
      // the window taken back through the placement: the placed box misses the view exactly then
      if (rt < wl || l > wr || t < wb || b > wt) continue;
      std::int64_t pl, pb, pr, pt;
      Placement::Place(l, b, rt, t, pl, pb, pr, pt);
      l = pl + ox;
      rt = pr + ox;
      b = pb + oy;
      t = pt + oy;
    } else if (rt < vl || l > vr || t < vb || b > vt) {
      if (e.markingPass) e.db.store.SetBox(r.flags | db::kOffWindowBit, 0, box.n);
      continue;
    }
    int x0, x2, y0, y2;
    detail::RoundDevicePair(double(l), double(rt), left, sx, false, x0, x2);
    detail::RoundDevicePair(double(b), double(t), top, sy, true, y0, y2);
    const gfx::Point p0{x0 + areaX, y0 + areaY}, p2{x2 + areaX, y2 + areaY};
    if (p0.x > p2.x || p2.y > p0.y) {
      DrawBoxRecord(e, box.n, r, level, &st);
      continue;
    }
    figures.Box(p0.x, p2.y, p2.x, p0.y, ink.style, ink.ink, gfx::Mix::Copy, ink.paint, ink.fillMix);
    recorded = true;
  }
  // what RecordBoxFigure leaves for each of them
  if (recorded) {
    EngineWork& x = *e.work;
    if (ink.paint >= 0) {
      x.lastFillBackground = ink.background;
      x.recordedFills = true;
    }
    x.recordedLines = true;
  }
}

}  // namespace

void detail::DrawLayerBoxes(Engine& e, int layer, const std::vector<LayerBox>& boxes, int level, const Style& st) {
  const EngineWork& w = *e.work;
  const bool transforming = Transforming(e);
  // The screen's recorded boxes take a straight loop: the steps of DrawBoxRecord for a box without
  // selected edges, with the layer's ink and the level's placement taken once.
  if (!Recording(e) || e.target != Target::Screen || e.highlightPass || e.eraseObject ||
      (transforming && !(w.xformValid && w.xformLevel == level))) {
    for (const LayerBox& b : boxes) {
      if (e.abort) return;
      PollEscape(e);
      DrawBoxRecord(e, b.n, b.r, level, &st);
    }
    return;
  }
  if (!transforming) return RecordLayerBoxes<Identity>(e, layer, boxes, level, st);
  // the eight orientations, as ComposeLevelTransform gives them
  const int code = int((w.xx + 1) * 27 + (w.xy + 1) * 9 + (w.yx + 1) * 3 + (w.yy + 1));
  switch (code) {
    case 2 * 27 + 1 * 9 + 1 * 3 + 2: return RecordLayerBoxes<Turn<1, 0, 0, 1>>(e, layer, boxes, level, st);
    case 1 * 27 + 2 * 9 + 0 * 3 + 1: return RecordLayerBoxes<Turn<0, 1, -1, 0>>(e, layer, boxes, level, st);
    case 0 * 27 + 1 * 9 + 1 * 3 + 0: return RecordLayerBoxes<Turn<-1, 0, 0, -1>>(e, layer, boxes, level, st);
    case 1 * 27 + 0 * 9 + 2 * 3 + 1: return RecordLayerBoxes<Turn<0, -1, 1, 0>>(e, layer, boxes, level, st);
    case 2 * 27 + 1 * 9 + 1 * 3 + 0: return RecordLayerBoxes<Turn<1, 0, 0, -1>>(e, layer, boxes, level, st);
    case 1 * 27 + 2 * 9 + 2 * 3 + 1: return RecordLayerBoxes<Turn<0, 1, 1, 0>>(e, layer, boxes, level, st);
    case 0 * 27 + 1 * 9 + 1 * 3 + 2: return RecordLayerBoxes<Turn<-1, 0, 0, 1>>(e, layer, boxes, level, st);
    case 1 * 27 + 0 * 9 + 0 * 3 + 1: return RecordLayerBoxes<Turn<0, -1, -1, 0>>(e, layer, boxes, level, st);
    default:
      // not a turn and mirror: placed by DrawBoxRecord
      for (const LayerBox& b : boxes) {
        if (e.abort) return;
        PollEscape(e);
        DrawBoxRecord(e, b.n, b.r, level, &st);
      }
  }
}

void DrawPath(Engine& e, int n, int level) {
  PollEscape(e);
  db::ObjectStore& s = e.db.store;
  const db::PathRecord p = s.GetPathRecord(n);
  if (db::IsText(p.flags)) {
    DrawTextObject(e, n, level);
    return;
  }
  std::vector<ChainPoint>& pts = e.work->chainRead;
  pts.clear();
  s.WalkChain(p.firstVertex, [&](int v) {
    const db::VertexRecord vr = s.GetVertexRecord(v);
    pts.push_back(ChainPoint{vr.x, vr.y, vr.flags});
  });
  DrawPathPoints(e, n, p, pts, BoundsOf(pts), level, nullptr);
}

void detail::DrawLayerPath(Engine& e, const LayerPath& lp, int level, const Style& st) {
  PollEscape(e);
  if (db::IsText(lp.p.flags)) {
    DrawTextObject(e, lp.n, level);
    return;
  }
  DrawPathPoints(e, lp.n, lp.p, std::span<const ChainPoint>(e.work->chainsOfLayers.data() + lp.first, lp.count),
                 lp.bounds, level, &st);
}

}  // namespace draw
