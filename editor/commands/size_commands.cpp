#include "editor/commands/size_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "editor/commands/edit_common.h"
#include "editor/db/helpers.h"
#include "editor/ui/draw/primitives.h"
#include "editor/ui/edit_dialogs.h"
#include "editor/ui/shell.h"

namespace edcmd {

namespace {

constexpr double kPi = 3.1415926, kTwoPi = 6.2831852, kHalfPi = 1.5707963, kQuarterPi = 0.78539815;
constexpr std::int32_t kMinWidth = 2;  // the narrowest width a path can be given

double IntoPi(double a) {
  while (a > kPi) a -= kTwoPi;
  while (a < -kPi) a += kTwoPi;
  return a;
}

double Direction(const std::pair<std::int32_t, std::int32_t>& from, const std::pair<std::int32_t, std::int32_t>& to) {
  return db::ComputeDirectionAngle(double(to.first) - from.first, double(to.second) - from.second);
}

// A shrunk edge stops at the edge across from it; two that cross meet half-way.
void Collapse(std::int32_t& low, std::int32_t& high, bool lowMoved, bool highMoved) {
  if (low <= high) return;
  if (lowMoved && highMoved) {
    low = high = std::int32_t((std::int64_t(low) + high) / 2);
  } else if (lowMoved) {
    low = high;
  } else {
    high = low;
  }
}

}  // namespace

bool OversizePolygon(Points& pts, std::int32_t amount) {
  if (pts.size() < 4 || pts.front() != pts.back()) return false;
  // The ring without its closing point and without repeated points, which have no direction.
  std::vector<std::size_t> ring;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i)
    if (ring.empty() || pts[i] != pts[ring.back()]) ring.push_back(i);
  while (ring.size() > 1 && pts[ring.back()] == pts[ring.front()]) ring.pop_back();
  const std::size_t m = ring.size();
  if (m < 3) return false;
  std::vector<double> in(m), turn(m);
  double sum = 0;
  for (std::size_t k = 0; k < m; ++k) {
    const auto& prev = pts[ring[(k + m - 1) % m]];
    const auto& at = pts[ring[k]];
    const auto& next = pts[ring[(k + 1) % m]];
    in[k] = Direction(prev, at);
    turn[k] = IntoPi(Direction(at, next) - in[k]);
    sum += turn[k];
  }
  const int sense = sum >= kPi ? 1 : sum <= -kPi ? -1 : 0;
  if (sense == 0) return false;
  // Every point, repeated ones included, moves as the ring point it stands on.
  Points moved = pts;
  std::size_t k = 0;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    while (k + 1 < m && ring[k + 1] <= i) ++k;
    const std::size_t r = (pts[i] == pts[ring[k]]) ? k : 0;
    const double d = turn[r];
    const double factor = std::fabs(d) <= kHalfPi ? 1 / std::cos(d / 2) : 1 / std::cos(kQuarterPi);
    const double e = IntoPi(in[r] + d / 2 - sense * kHalfPi);
    moved[i].first = Shift(pts[i].first, db::RoundHalfAway(std::cos(e) * amount * factor));
    moved[i].second = Shift(pts[i].second, db::RoundHalfAway(std::sin(e) * amount * factor));
  }
  moved.back() = moved.front();
  pts = std::move(moved);
  return true;
}

void OvSzCommand(edui::Editor& ed) {
  if (edui::RunOvszDialog(ed)) {
    const double typed = edui::TextToDouble(ed.answer);
    ed.db.settings.oversize = typed;
    const std::int32_t a = db::RoundToCoordinate(typed * ed.db.settings.scale);
    db::ObjectStore& s = ed.db.store;
    for (int n = 1; n <= s.boxCount; ++n) {
      db::BoxRecord b = s.GetBoxRecord(n);
      const std::int32_t edges = b.flags & db::kEdgesAll;
      if (!edges) continue;
      draw::EraseBox(ed.draw, n);
      if (edges & db::kEdgeTop) b.top = Shift(b.top, a);
      if (edges & db::kEdgeRight) b.right = Shift(b.right, a);
      if (edges & db::kEdgeBottom) b.bottom = Shift(b.bottom, -std::int64_t(a));
      if (edges & db::kEdgeLeft) b.left = Shift(b.left, -std::int64_t(a));
      Collapse(b.left, b.right, edges & db::kEdgeLeft, edges & db::kEdgeRight);
      Collapse(b.bottom, b.top, edges & db::kEdgeBottom, edges & db::kEdgeTop);
      s.PutBoxRecord(n, b);
      draw::RedrawBox(ed.draw, n);
    }
    for (int p = 1; p <= s.pathCount; ++p) {
      const db::PathRecord r = s.GetPathRecord(p);
      if (!(r.flags & db::kPathSelectedBit) || db::IsText(r.flags)) continue;
      if (r.width != 0) {
        // A wide path stays a wide path with its own end style.
        const std::int64_t magnitude = std::max<std::int64_t>(std::llabs(std::int64_t(r.width)) + 2 * std::int64_t(a), kMinWidth);
        draw::ErasePath(ed.draw, p);
        s.SetPath(Clamp32(r.width < 0 ? -magnitude : magnitude), 1, p);
        draw::RedrawPath(ed.draw, p);
        continue;
      }
      const std::vector<int> chain = Chain(s, p);
      Points pts;
      for (int v : chain) pts.push_back({s.GetVertex(1, v), s.GetVertex(2, v)});
      if (!OversizePolygon(pts, a)) continue;
      draw::ErasePath(ed.draw, p);
      for (std::size_t i = 0; i < chain.size(); ++i) {
        s.SetVertex(pts[i].first, 1, chain[i]);
        s.SetVertex(pts[i].second, 2, chain[i]);
      }
      draw::RedrawPath(ed.draw, p);
    }
  }
  EndCommand(ed);
}

void ReSzCommand(edui::Editor& ed) {
  if (edui::RunReszDialog(ed)) {
    const double typed = edui::TextToDouble(ed.answer);
    ed.db.settings.resizeFactor = typed;
    double f = std::fabs(typed);
    if (!(f >= 0.01)) f = 0.01;
    if (f >= 100) f = 100;
    const auto scaled = [f](std::int64_t v, std::int64_t c) { return ClampCoordinate(std::int64_t(std::trunc(double(v - c) * f)) + c); };
    db::ObjectStore& s = ed.db.store;
    for (int n = 1; n <= s.boxCount; ++n) {
      db::BoxRecord b = s.GetBoxRecord(n);
      if (!(b.flags & db::kEdgesAll)) continue;
      draw::EraseBox(ed.draw, n);
      const std::int64_t cx = (std::int64_t(b.left) + b.right) / 2, cy = (std::int64_t(b.bottom) + b.top) / 2;
      b.left = scaled(b.left, cx);
      b.right = scaled(b.right, cx);
      b.bottom = scaled(b.bottom, cy);
      b.top = scaled(b.top, cy);
      s.PutBoxRecord(n, b);
      draw::RedrawBox(ed.draw, n);
    }
    for (int p = 1; p <= s.pathCount; ++p) {
      const std::int32_t flags = s.GetPath(0, p);
      if (!(flags & db::kPathSelectedBit) || db::IsText(flags)) continue;
      const std::vector<int> chain = Chain(s, p);
      if (chain.size() < 2) continue;
      // The centre is the mean of the segment midpoints, summed in 64 bits.
      std::int64_t sx = 0, sy = 0;
      for (std::size_t i = 1; i < chain.size(); ++i) {
        sx += s.GetVertex(1, chain[i - 1]) / 2 + s.GetVertex(1, chain[i]) / 2;
        sy += s.GetVertex(2, chain[i - 1]) / 2 + s.GetVertex(2, chain[i]) / 2;
      }
      const std::int64_t segments = std::int64_t(chain.size()) - 1;
      const std::int64_t cx = sx / segments, cy = sy / segments;
      draw::ErasePath(ed.draw, p);
      for (int v : chain) {
        s.SetVertex(scaled(s.GetVertex(1, v), cx), 1, v);
        s.SetVertex(scaled(s.GetVertex(2, v), cy), 2, v);
      }
      draw::RedrawPath(ed.draw, p);
    }
  }
  EndCommand(ed);
}

}  // namespace edcmd
