#include "editor/ui/draw/view.h"

#include <algorithm>
#include <cmath>

#include "editor/db/helpers.h"
#include "editor/ui/draw/layer_masks.h"

namespace draw {

int SetModeBits(int& modeWord, int bits, int on) {
  modeWord = on ? (modeWord | bits) : (modeWord & ~bits);
  return modeWord;
}

int ToggleModeBits(int& modeWord, int bits) {
  modeWord ^= bits;
  return modeWord;
}

DrawingArea LayoutDrawingArea(int clientWidth, int clientHeight) {
  DrawingArea a;
  a.left = 0;
  a.top = 24;
  a.right = clientWidth - 94;
  a.bottom = clientHeight - 42;
  // A window too small for its bars still gets a drawing rectangle of one pixel, so no transform
  // divides by zero.
  if (a.right <= a.left) a.right = a.left + 1;
  if (a.bottom <= a.top) a.bottom = a.top + 1;
  return a;
}

int PanelSizeClass(int fullScreenWidth) {
  if (fullScreenWidth > 1024) return 3;
  if (fullScreenWidth > 800) return 2;
  if (fullScreenWidth > 640) return 1;
  return 0;
}

void SetDrawingArea(ViewState& v, const DrawingArea& area) {
  v.area = area;
  v.ratio = double(area.Height()) / double(area.Width());
}

void NormalizeView(ViewState& v, const db::Settings& s) {
  v.width = std::clamp(v.width, kMinViewWidth, kMaxViewWidth);
  const double h = v.width / 2;
  if (v.centreX + h > kViewReach) v.centreX = kViewReach - h;
  if (v.centreX - h < -kViewReach) v.centreX = h - kViewReach;
  const double vh = v.ratio * h;
  if (v.centreY + vh > kViewReach) v.centreY = kViewReach - vh;
  if (v.centreY - vh < -kViewReach) v.centreY = vh - kViewReach;

  v.intCentreX = static_cast<std::int32_t>(std::trunc(v.centreX));
  v.intCentreY = static_cast<std::int32_t>(std::trunc(v.centreY));
  const double perUser = s.scale > 0 ? s.scale : 1;
  v.userCentreX = v.intCentreX / perUser;
  v.userCentreY = v.intCentreY / perUser;
  v.userWidth = std::trunc(v.width) / perUser;

  const int resolution = std::max(s.resolution, kMinResolution);
  v.minDrawn = static_cast<std::int32_t>(v.width / resolution);

  const double k = v.printSetup ? 1.5 : 1.0;
  v.left = db::RoundToCoordinate(v.intCentreX - k * h);
  v.right = db::RoundToCoordinate(v.intCentreX + k * h);
  v.top = db::RoundToCoordinate(v.intCentreY + k * vh);
  v.bottom = db::RoundToCoordinate(v.intCentreY - k * vh);

  v.scaleX = v.scaleY = v.area.Width() / v.width;
}

void ApplyRankView(ViewState& v, LayerMasks& masks, db::Database& d) {
  const int rank = std::clamp(d.current.rank, 0, db::kRanks);
  const db::RankView& rv = d.settings.rankViews[static_cast<std::size_t>(rank)];
  v.width = rv.width;
  v.centreX = rv.centreX;
  v.centreY = rv.centreY;
  v.workGrid = std::clamp(rv.workGrid, 0, db::kGridSlots);
  v.dotGrid = std::clamp(rv.dotGrid, 0, db::kGridSlots);
  v.dotShown = rv.dotShown;
  SetLayerFlagsFromMask(d.form, LayerSet::View, rv.viewMask);
  SetLayerFlagsFromMask(d.form, LayerSet::Open, rv.openMask);
  BuildViewMask(masks, d.form, d.settings, rank);
  BuildOpenMask(masks, d.form, d.settings, rank);
  CombineLayerMasks(masks);
  d.settings.savedWindows[0] = db::SavedWindow{v.width, v.centreX, v.centreY};
}

namespace {
int ClampScreen(int c) { return std::clamp(c, -kScreenLimit, kScreenLimit); }
}  // namespace

ScreenPoint WorldToScreen(const ViewState& v, double wx, double wy) {
  const int sx = db::RoundToCoordinate((wx - v.intCentreX) * v.scaleX) + v.area.CentreX();
  const int sy = v.area.CentreY() - db::RoundToCoordinate((wy - v.intCentreY) * v.scaleY);
  return ScreenPoint{ClampScreen(sx), ClampScreen(sy)};
}

int ClampToDrawingX(const ViewState& v, int x) {
  return std::clamp(x, v.area.left + 1, std::max(v.area.left + 1, v.area.right - 1));
}

int ClampToDrawingY(const ViewState& v, int y) {
  return std::clamp(y, v.area.top + 1, std::max(v.area.top + 1, v.area.bottom - 1));
}

namespace {

// World coordinates of a pointer pixel before any rounding.
void PointerWorld(const ViewState& v, int px, int py, double& wx, double& wy) {
  const double p = v.width / v.area.Width();
  wx = (ClampToDrawingX(v, px) - v.area.CentreX()) * p + v.intCentreX;
  wy = (v.area.CentreY() - ClampToDrawingY(v, py)) * p + v.intCentreY;
}

}  // namespace

WorldPoint RawPointerPoint(const ViewState& v, int px, int py) {
  double wx, wy;
  PointerWorld(v, px, py, wx, wy);
  return WorldPoint{db::RoundToCoordinate(wx), db::RoundToCoordinate(wy)};
}

WorldPoint SnappedPointerPoint(const ViewState& v, const db::Settings& s, int px, int py) {
  double g = 1;
  if (v.workGrid >= 0 && v.workGrid <= db::kGridSlots) {
    const std::int32_t spacing = s.workGrids[static_cast<std::size_t>(v.workGrid)];
    if (spacing > 1) g = spacing;
  }
  double wx, wy;
  PointerWorld(v, px, py, wx, wy);
  return WorldPoint{db::RoundToCoordinate(db::RoundToCoordinate(wx / g) * g),
                    db::RoundToCoordinate(db::RoundToCoordinate(wy / g) * g)};
}

void ConstrainAngle(std::int32_t refX, std::int32_t refY, std::int32_t& x, std::int32_t& y) {
  const double dx = double(x) - refX;
  const double dy = double(y) - refY;
  const double sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
  const double sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
  const double ax = std::fabs(dx);
  const double ay = std::fabs(dy);
  if (ay < 0.414 * ax) {
    y = refY;
  } else if (ax < 0.414 * ay) {
    x = refX;
  } else if (ax < ay) {
    x = db::RoundToCoordinate(sx * ay + refX);
  } else {
    y = db::RoundToCoordinate(sy * ax + refY);
  }
}

}  // namespace draw
