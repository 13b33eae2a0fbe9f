#include "editor/db/extent.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/db/helpers.h"
#include "editor/db/orientation.h"

namespace db {

namespace {

// The extent grows in 64 bits, so damaged coordinates cannot overflow on the way.
struct Growth {
  std::int64_t left, bottom, right, top;
  void Add(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    left = std::min(left, x1);
    bottom = std::min(bottom, y1);
    right = std::max(right, x2);
    top = std::max(top, y2);
  }
  void AddCorners(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
    Add(std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by));
  }
};

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

Growth From(const Extent& e) { return {e.left, e.bottom, e.right, e.top}; }
void Store(Extent& e, const Growth& g) {
  e = {Clamp32(g.left), Clamp32(g.bottom), Clamp32(g.right), Clamp32(g.top)};
}

void GrowByText(ObjectStore& s, const PathRecord& p, Growth& g) {
  const int first = p.firstVertex;
  if (first < 1 || first > s.vertexCount) return;
  const VertexRecord origin = s.GetVertexRecord(first);
  int characters = 0;
  s.WalkChain(first, [&](int v) {
    if (v == first) return;
    const VertexRecord c = s.GetVertexRecord(v);
    if (c.flags & kCharVertexBit) characters += CountWordCharacters(c.x) + CountWordCharacters(c.y);
  });
  const std::int64_t h = std::llabs(static_cast<std::int64_t>(p.width)) / 2;
  std::int64_t length = RoundHalfAway(static_cast<double>(characters) * static_cast<double>(2 * h) *
                                      kTextWidthFactor);
  std::int64_t x1 = 0, y1 = 0, x2 = length, y2 = 2 * h;
  const int code = OrientationOf(p.flags);
  OrientPoint(code, x1, y1);
  OrientPoint(code, x2, y2);
  g.AddCorners(x1 + origin.x, y1 + origin.y, x2 + origin.x, y2 + origin.y);
}

}  // namespace

int CountWordCharacters(std::int32_t word) {
  auto w = static_cast<std::uint32_t>(word);
  int n = 0;
  for (int i = 0; i < 4; ++i, w >>= 8) n += (w & 0xFF) ? 1 : 0;
  return n;
}

void ExtendExtentByObjects(Database& d) {
  ObjectStore& s = d.store;
  Growth g = From(d.extent);
  for (int b = 1; b <= s.boxCount; ++b) {
    const BoxRecord r = s.GetBoxRecord(b);
    g.Add(r.left, r.bottom, r.right, r.top);
  }
  for (int p = 1; p <= s.pathCount; ++p) {
    const PathRecord r = s.GetPathRecord(p);
    if (r.flags == 0) continue;
    if (IsText(r.flags)) {
      GrowByText(s, r, g);
      continue;
    }
    const std::int64_t h = std::llabs(static_cast<std::int64_t>(r.width)) / 2;
    s.WalkChain(r.firstVertex, [&](int v) {
      const VertexRecord c = s.GetVertexRecord(v);
      g.Add(c.x - h, c.y - h, c.x + h, c.y + h);
    });
  }
  Store(d.extent, g);
}

void ExtendExtentByCellRefs(Database& d) {
  ObjectStore& s = d.store;
  Growth g = From(d.extent);
  for (int r = 1; r <= s.refCount[0]; ++r) {
    const CellRefRecord ref = s.GetCellRefRecord(0, r);
    const int row = RefRowOf(ref.flags);
    if (!d.index.ValidRow(row)) continue;
    const CellIndexEntry& cell = d.index.rows[static_cast<std::size_t>(row)];
    std::int64_t x1 = cell.left, y1 = cell.bottom, x2 = cell.right, y2 = cell.top;
    const int code = OrientationOf(ref.flags);
    OrientPoint(code, x1, y1);
    OrientPoint(code, x2, y2);
    g.AddCorners(x1 + ref.x, y1 + ref.y, x2 + ref.x, y2 + ref.y);
  }
  Store(d.extent, g);
}

void ComputeCellExtent(Database& d) {
  d.extent = {kCoordinateLimit, kCoordinateLimit, -kCoordinateLimit, -kCoordinateLimit};
  ExtendExtentByObjects(d);
  ExtendExtentByCellRefs(d);
  if (d.extent.left > d.extent.right) std::swap(d.extent.left, d.extent.right);
  if (d.extent.bottom > d.extent.top) std::swap(d.extent.bottom, d.extent.top);
}

ViewFit FitViewToExtent(const Extent& e, double ratio) {
  ViewFit fit;
  fit.centreX = (static_cast<double>(e.left) + e.right) * 0.5;
  fit.centreY = (static_cast<double>(e.bottom) + e.top) * 0.5;
  const double wx = std::fabs(static_cast<double>(e.right) - e.left) * 1.1;
  const double wy = ratio > 0 ? std::fabs(static_cast<double>(e.top) - e.bottom) * 1.1 / ratio : 0;
  fit.width = wy > wx ? wy : wx;
  return fit;
}

}  // namespace db
