#include "extract/model.h"

#include <algorithm>

#include "editor/db/records.h"

namespace ext {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

bool ValidLayer(int layer) { return layer >= 1 && layer <= 64; }

}  // namespace

LayerRoles::LayerRoles(const TraceTable& t) {
  conductorRow.fill(-1);
  for (int r = 0; r < kTraceRows; ++r)
    for (int k = 0; k < kRowPlaces; ++k) {
      if (ValidLayer(t.conductors[r][k])) {
        conductor[t.conductors[r][k]] = true;
        if (conductorRow[t.conductors[r][k]] < 0) conductorRow[t.conductors[r][k]] = r;
      }
      if (ValidLayer(t.insulators[r][k])) insulator[t.insulators[r][k]] = true;
    }
  // The sweep's steps: a conductor spreads in its own layer, into the insulators below and above its
  // row, and an insulator hands on to the conductor at the same place of the next row.
  auto link = [&](int a, int b) {
    if (ValidLayer(a) && ValidLayer(b)) spreads[a][b] = true;
  };
  for (int r = 0; r < kTraceRows; ++r)
    for (int k = 0; k < kRowPlaces; ++k) {
      const int c = t.conductors[r][k];
      if (!ValidLayer(c)) continue;
      link(c, c);
      for (int i : t.insulators[r]) {
        link(c, i);
        if (r + 1 < kTraceRows) link(i, t.conductors[r + 1][k]);
      }
      if (r >= 1)
        for (int i : t.insulators[r - 1]) {
          link(c, i);
          link(i, t.conductors[r - 1][k]);
        }
    }
}

void ShapeGrid::Build(const std::vector<int>& ids, const std::vector<Bounds>& bounds) {
  cells_.clear();
  big_.clear();
  all_ = ids;
  if (ids.empty()) return;
  std::vector<std::int64_t> sizes;
  sizes.reserve(ids.size());
  for (int id : ids) {
    const Bounds& b = bounds[id];
    sizes.push_back(std::max<std::int64_t>(std::int64_t(b.right) - b.left, std::int64_t(b.top) - b.bottom));
  }
  std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
  cell_ = std::max<std::int64_t>(1, 2 * sizes[sizes.size() / 2]);
  for (int id : ids) {
    const Bounds& b = bounds[id];
    const std::int64_t x0 = FloorDiv(b.left, cell_), x1 = FloorDiv(b.right, cell_);
    const std::int64_t y0 = FloorDiv(b.bottom, cell_), y1 = FloorDiv(b.top, cell_);
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > 256) {
      big_.push_back(id);
      continue;
    }
    for (std::int64_t cx = x0; cx <= x1; ++cx)
      for (std::int64_t cy = y0; cy <= y1; ++cy) cells_[Key(cx, cy)].push_back(id);
  }
}

void ShapeGrid::Query(const Bounds& q, const std::vector<Bounds>& bounds, std::vector<int>& out) const {
  out.clear();
  if (all_.empty()) return;
  const std::int64_t x0 = FloorDiv(q.left, cell_), x1 = FloorDiv(q.right, cell_);
  const std::int64_t y0 = FloorDiv(q.bottom, cell_), y1 = FloorDiv(q.top, cell_);
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
    for (int id : all_)
      if (bounds[id].Meets(q)) out.push_back(id);
    return;  // all_ is ascending
  }
  for (std::int64_t cx = x0; cx <= x1; ++cx)
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
      auto it = cells_.find(Key(cx, cy));
      if (it == cells_.end()) continue;
      for (int id : it->second)
        if (bounds[id].Meets(q)) out.push_back(id);
    }
  for (int id : big_)
    if (bounds[id].Meets(q)) out.push_back(id);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::vector<PathPoint> PathVertices(TraceTables& t, int path) {
  std::vector<PathPoint> points;
  const bool text = t.GetTracePathField(kPathFlags, path) < 0;
  const int count = t.vertexCount();
  int v = t.GetTracePathField(kPathFirstVertex, path);
  for (int steps = 0; v >= 1 && v <= count && steps < count; ++steps) {
    if ((t.GetVertex(kVertexOwner, v) & db::kCharVertexBit) == 0)
      points.push_back({t.GetVertex(kVertexX, v), t.GetVertex(kVertexY, v)});
    if (text) break;
    v = t.GetVertex(kVertexNext, v);
  }
  return points;
}

void BuildShapeModel(TraceTables& t, const LayerRoles& roles, ShapeModel& m) {
  m = {};
  m.boxes = t.boxCount;
  m.paths = t.pathCount;
  const int n = m.Count();
  m.kind.assign(n, ShapeKind::None);
  m.layer.assign(n, 0);
  m.outline.assign(n, {});
  m.centre.assign(n, {});
  m.touching.assign(n, {});
  m.joins.assign(n, {});
  m.bounds.assign(n, {});
  for (int id = 0; id < m.boxes; ++id) {
    const int b = id + 1;
    m.kind[id] = ShapeKind::Box;
    m.layer[id] = static_cast<std::uint8_t>(t.GetShapeField(kBoxFlags, b) & 127);
    m.outline[id] = BoxOutline(t.GetShapeField(kBoxLeft, b), t.GetShapeField(kBoxBottom, b),
                               t.GetShapeField(kBoxRight, b), t.GetShapeField(kBoxTop, b));
  }
  for (int p = 1; p <= m.paths; ++p) {
    const int id = m.PathId(p);
    const std::int32_t flags = t.GetTracePathField(kPathFlags, p);
    m.layer[id] = static_cast<std::uint8_t>(flags & 127);
    if (flags < 0) {
      m.kind[id] = ShapeKind::Text;
      continue;
    }
    std::vector<PathPoint> vertices = PathVertices(t, p);
    const std::int32_t width = t.GetTracePathField(kPathWidth, p);
    if (!PathOutline(vertices, width, m.outline[id])) continue;
    m.kind[id] = m.outline[id].closed ? ShapeKind::Area : ShapeKind::Line;
    if (width != 0) {
      m.centre[id].reserve(vertices.size());
      for (const PathPoint& v : vertices)
        if (m.centre[id].empty() || !(m.centre[id].back() == v)) m.centre[id].push_back(v);
    }
  }
  std::vector<int> conductorShapes;
  for (int id = 0; id < n; ++id) {
    m.bounds[id] = m.outline[id].bounds;
    const int layer = m.layer[id];
    if (m.kind[id] == ShapeKind::Box || m.kind[id] == ShapeKind::Area) m.onLayer[layer].push_back(id);
    if (roles.conductor[layer] && m.kind[id] != ShapeKind::Text && m.kind[id] != ShapeKind::None) {
      conductorShapes.push_back(id);
      if (m.kind[id] == ShapeKind::Line) m.lines.push_back(id);
    }
  }
  m.conductorGrid.Build(conductorShapes, m.bounds);

  // Touching boxes and areas of every layer pair the sweep relates.
  std::array<ShapeGrid, 65> grids;
  std::array<bool, 65> built{};
  auto grid = [&](int layer) -> const ShapeGrid& {
    if (!built[layer]) {
      grids[layer].Build(m.onLayer[layer], m.bounds);
      built[layer] = true;
    }
    return grids[layer];
  };
  std::vector<int> near;
  for (int a = 1; a <= 64; ++a)
    for (int b = a; b <= 64; ++b) {
      if (!roles.spreads[a][b] && !roles.spreads[b][a]) continue;
      if (m.onLayer[a].empty() || m.onLayer[b].empty()) continue;
      const ShapeGrid& g = grid(b);
      for (int s : m.onLayer[a]) {
        g.Query(m.bounds[s], m.bounds, near);
        for (int u : near) {
          if (a == b && u <= s) continue;
          if (!OutlinesTouch(m.outline[s], m.outline[u])) continue;
          m.touching[s].push_back(u);
          m.touching[u].push_back(s);
        }
      }
    }
  for (auto& list : m.touching) std::sort(list.begin(), list.end());

  // Lines and the zero-width paths of their layer they join.
  std::array<std::vector<int>, 65> zeroWidth;
  for (int p = 1; p <= m.paths; ++p) {
    const int id = m.PathId(p);
    const std::int32_t flags = t.GetTracePathField(kPathFlags, p);
    if (flags >= 1 && flags <= 64 && (m.kind[id] == ShapeKind::Line || m.kind[id] == ShapeKind::Area) &&
        t.GetTracePathField(kPathWidth, p) == 0)
      zeroWidth[flags].push_back(id);
  }
  std::array<ShapeGrid, 65> lineGrids;
  std::array<bool, 65> lineBuilt{};
  for (int s : m.lines) {
    const int layer = m.layer[s];
    if (layer < 1 || layer > 64 || zeroWidth[layer].empty()) continue;
    if (!lineBuilt[layer]) {
      lineGrids[layer].Build(zeroWidth[layer], m.bounds);
      lineBuilt[layer] = true;
    }
    lineGrids[layer].Query(m.bounds[s], m.bounds, near);
    for (int u : near)
      if (u != s && LinesJoin(m.outline[s].points, m.outline[u].points)) m.joins[s].push_back(u);
  }
}

}  // namespace ext
