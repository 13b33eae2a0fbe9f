#include "extract/trace.h"

#include <algorithm>
#include <array>

#include "extract/node_list.h"

namespace ext {

namespace {

bool IsVirtualSeedArea(const Extraction& x, int id) {
  const ShapeKind k = x.model.kind[id];
  return !x.model.IsBox(id) && (k == ShapeKind::Area || k == ShapeKind::None) &&
         x.roles.conductor[x.model.layer[id]];
}

// A new virtual node on `seed`, carried over `links` to every shape without a node it reaches; `passes`
// says whether a link carries it, `onward` whether a shape hands it on. `status` is shown once the
// counts are; the shapes given the node, ascending.
template <class Passes, class Onward, class Status>
std::vector<int> SeedVirtualNode(Extraction& x, int seed, const std::vector<std::vector<int>>& links, Passes passes,
                                 Onward onward, Status status) {
  --x.lastVirtual;
  ++x.counts.virtuals;
  x.SetNode(seed, x.lastVirtual);
  ShowNodeCounts(x);
  status();
  std::vector<int> reached(1, seed);
  if (x.Stopped()) return reached;
  std::vector<int> stack(1, seed);
  while (!stack.empty()) {
    const int s = stack.back();
    stack.pop_back();
    for (int u : links[s])
      if (passes(s, u) && x.Node(u) == 0) {
        x.SetNode(u, x.lastVirtual);
        reached.push_back(u);
        if (onward(u)) stack.push_back(u);
      }
  }
  std::sort(reached.begin(), reached.end());
  return reached;
}

}  // namespace

void PrepareTracing(Extraction& x) {
  x.ForgetNames();
  BuildShapeModel(x.t, x.roles, x.model);
}

std::vector<int> ShapesAtPoint(Extraction& x, std::int32_t px, std::int32_t py) {
  const ShapeModel& m = x.model;
  std::vector<int> near;
  m.conductorGrid.Query({px, py, px, py}, m.bounds, near);
  std::vector<int> out;
  for (int id : near)
    if (m.IsBox(id)) out.push_back(id);
  for (int id : near) {
    if (m.IsBox(id)) continue;
    const auto& line = m.centre[id].empty() ? m.outline[id].points : m.centre[id];
    if (OnAxisSegments(line, px, py)) out.push_back(id);
  }
  for (int id : near)
    if (!m.IsBox(id) && m.kind[id] == ShapeKind::Area && OutlineHolds(m.outline[id], px, py)) out.push_back(id);
  return out;
}

void SeedNodeAtPoint(Extraction& x, std::int32_t px, std::int32_t py, NodeNumber node) {
  for (int id : ShapesAtPoint(x, px, py))
    if (x.Node(id) == 0) x.SetNode(id, node);
}

void SeedNamedNodes(Extraction& x) {
  for (const CellText& text : x.TextsOnLayer(x.sw.namedLayer)) {
    if (x.Stopped()) return;
    ++x.counts.named;
    SeedNodeAtPoint(x, text.x, text.y, text.record);
  }
}

void SeedSymbolNodes(Extraction& x) {
  const int n = x.t.instanceCount();
  for (int k = 1; k <= n && !x.Stopped(); ++k) {
    const PlacedInstance inst = x.t.FetchInstance(x.drawing, k);
    if (!inst.symbol) continue;
    ++x.counts.symbols;
    for (std::size_t j = 0; j < x.symbols.size(); ++j)
      if (x.symbols[j].row == inst.row) {
        SeedNodeAtPoint(x, inst.x, inst.y, kSymbolNodeBase + static_cast<NodeNumber>(j + 1));
        break;
      }
  }
}

void ConnectLineNodes(Extraction& x, int m) {
  const ShapeModel& model = x.model;
  bool changed = true;
  for (int pass = 1; changed && !x.Stopped(); ++pass) {
    if (!x.sw.fastRun) {
      x.ShowStatusLine(m == 0 ? utilib::Format("Connecting Named Node Lines ... Pass %d", pass)
                              : utilib::Format("Connecting Virtual Node %s%d Lines ... Pass %d",
                                               x.sw.virtualPrefix.c_str(), x.counts.virtuals, pass),
                       true);
    }
    changed = false;
    for (int s : model.lines) {
      if (x.Stopped()) return;
      const NodeNumber node = x.Node(s);
      if (node == 0) continue;
      for (int u : model.joins[s]) {
        const NodeNumber other = x.Node(u);
        if (other == 0) {
          x.SetNode(u, m == 0 ? node : x.lastVirtual);
          changed = true;
        } else if (m == 0 && x.sw.shorts && other != node) {
          x.ReportShort(node, other);
        }
      }
    }
  }
}

void SeedVirtualLineNodes(Extraction& x) {
  const ShapeModel& model = x.model;
  for (int seed : model.lines) {
    if (x.Stopped()) return;
    if (x.Node(seed) != 0) continue;
    // What passes of the line join would give this node: everything the seed reaches, in one pass.
    SeedVirtualNode(x, seed, model.joins, [](int, int) { return true; },
                    [&](int u) { return model.kind[u] == ShapeKind::Line; },
                    [&] {
                      if (!x.sw.fastRun)
                        x.ShowStatusLine(utilib::Format("Connecting Virtual Node %s%d Lines ... Pass %d",
                                                        x.sw.virtualPrefix.c_str(), x.counts.virtuals, 1),
                                         true);
                    });
  }
}

void SpreadLayerNodes(Extraction& x, int mode, int a, int b) {
  if (a < 1 || a > 64 || (mode >= 2 && (b < 1 || b > 64))) return;
  const ShapeModel& model = x.model;
  const int source = mode == 3 ? b : a;
  const int target = mode == 2 ? b : a;
  bool changed = true;
  for (int pass = 1; changed && !x.Stopped(); ++pass) {
    std::string line;
    if (mode == 0) line = utilib::Format("Connecting Named Node Areas on Layer %d ... Pass %d", a, pass);
    else if (mode == 1)
      line = utilib::Format("Connecting Virtual Node %s%d Areas on Layer %d ... Pass %d", x.sw.virtualPrefix.c_str(),
                            x.counts.virtuals, a, pass);
    else if (mode == 2) line = utilib::Format("Transferring Conductor Layer %d to Insulator Layer %d ...", a, b);
    else line = utilib::Format("Transferring Insulator Layer %d to Conductor Layer %d ...", b, a);
    x.ShowStatusLine(line, true);
    changed = false;
    bool areas = false;
    for (int s : model.onLayer[source]) {
      if (x.Stopped()) return;
      if (!areas && !model.IsBox(s)) {
        areas = true;
        if (x.sw.fastRun) x.PollEscape();
      }
      const NodeNumber node = x.Node(s);
      if (node == 0) continue;
      for (int u : model.touching[s]) {
        if (model.layer[u] != target) continue;
        const NodeNumber other = x.Node(u);
        if (other == node) continue;
        if (other == 0) {
          x.SetNode(u, mode == 1 ? x.lastVirtual : node);
          changed = true;
          x.areaChanged = true;
        } else if (x.sw.shorts) {
          x.ReportShort(node, other);
        }
      }
    }
    if (mode >= 2) break;
  }
}

void ConnectAreaNodes(Extraction& x, int m) {
  const TraceTable& t = x.sw.trace;
  do {
    x.areaChanged = false;
    for (int r = 0; r < kTraceRows; ++r)
      for (int k = 0; k < kRowPlaces; ++k) {
        const int c = t.conductors[r][k];
        if (c == 0) continue;
        SpreadLayerNodes(x, m, c);
        for (int i : t.insulators[r]) {
          if (i == 0) continue;
          SpreadLayerNodes(x, 2, c, i);
          if (r + 1 < kTraceRows) SpreadLayerNodes(x, 3, t.conductors[r + 1][k], i);
        }
        if (x.Stopped()) return;
      }
    for (int r = kTraceRows - 1; r >= 1; --r)
      for (int k = 0; k < kRowPlaces; ++k) {
        const int c = t.conductors[r][k];
        if (c == 0) continue;
        SpreadLayerNodes(x, m, c);
        for (int i : t.insulators[r - 1]) {
          if (i == 0) continue;
          SpreadLayerNodes(x, 2, c, i);
          SpreadLayerNodes(x, 3, t.conductors[r - 1][k], i);
        }
        if (x.Stopped()) return;
      }
  } while (x.areaChanged && !x.Stopped());
}

void SeedVirtualAreaNodes(Extraction& x) {
  const ShapeModel& model = x.model;
  const TraceTable& table = x.sw.trace;
  const int n = model.Count();
  int boxCursor = 0, areaCursor = model.boxes;
  auto spreads = [&](int from, int to) { return x.roles.spreads[model.layer[from]][model.layer[to]]; };
  while (!x.Stopped()) {
    while (boxCursor < model.boxes && (x.Node(boxCursor) != 0 || !x.roles.conductor[model.layer[boxCursor]]))
      ++boxCursor;
    int seed = -1;
    if (boxCursor < model.boxes) {
      seed = boxCursor;
    } else {
      while (areaCursor < n && (x.Node(areaCursor) != 0 || !IsVirtualSeedArea(x, areaCursor))) ++areaCursor;
      if (areaCursor < n) seed = areaCursor;
    }
    if (seed < 0) break;
    // The sweeps of the area pass would carry the new node exactly as far as the transfers of the
    // trace table reach from the seed: everything else already has its node.
    const std::vector<int> reached = SeedVirtualNode(x, seed, model.touching, spreads, [](int) { return true; }, [] {});
    if (x.Stopped()) return;
    // A status line, and its yield, for each conductor layer the node spread over, in the sweep's order.
    std::array<bool, 128> shown{}, on{};
    for (int id : reached) on[model.layer[id]] = true;
    for (int r = 0; r < kTraceRows; ++r)
      for (int c : table.conductors[r]) {
        if (c < 1 || c > 64 || !on[c] || shown[c]) continue;
        shown[c] = true;
        x.ShowStatusLine(utilib::Format("Connecting Virtual Node %s%d Areas on Layer %d ... Pass %d",
                                        x.sw.virtualPrefix.c_str(), x.counts.virtuals, c, 1),
                         true);
        if (x.Stopped()) return;
      }
    if (!x.sw.shorts) continue;
    // The meetings of the new node with shapes that have another: each told once, the giving shape's
    // name first, in the order of the giving shapes.
    const NodeNumber node = x.lastVirtual;
    std::vector<std::pair<int, int>> meetings;
    for (int s : reached)
      for (int u : model.touching[s]) {
        const NodeNumber other = x.Node(u);
        if (other == 0 || other == node) continue;
        if (spreads(s, u)) meetings.push_back({s, u});
        if (spreads(u, s)) meetings.push_back({u, s});
      }
    std::sort(meetings.begin(), meetings.end());
    for (const auto& [from, to] : meetings) x.ReportShort(x.Node(from), x.Node(to));
  }
}

}  // namespace ext
