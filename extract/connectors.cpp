#include "extract/connectors.h"

#include <strings.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "editor/db/orientation.h"
#include "extract/trace.h"

namespace ext {

namespace {

// The node the point tests give an entry: the last shape holding the point that has one.
NodeNumber NodeAtPoint(Extraction& x, std::int32_t px, std::int32_t py) {
  NodeNumber node = 0;
  for (int id : ShapesAtPoint(x, px, py))
    if (x.Node(id) != 0) node = x.Node(id);
  return node;
}

void Full(Extraction& x, const char* text) {
  x.Box(text);
  x.job.abort = true;
}

// Runs of consecutive entries of one instance and connector number, as [begin, end).
template <class F>
void ForEachRun(std::vector<PassBackEntry>& table, F&& f) {
  std::size_t i = 0;
  while (i < table.size()) {
    std::size_t j = i + 1;
    while (j < table.size() && table[j].instance == table[i].instance && table[j].number == table[i].number) ++j;
    f(i, j);
    i = j;
  }
}

}  // namespace

void FreePassBackTable(Extraction& x) {
  x.passBack.clear();
  x.passBack.shrink_to_fit();
}

bool IsNodeConnected(const Extraction& x, NodeNumber node) {
  return std::any_of(x.passBack.begin(), x.passBack.end(), [&](const PassBackEntry& e) { return e.node == node; });
}

void CollectConnectors(Extraction& x) {
  x.connectors.clear();
  for (const CellText& text : x.TextsOnLayer(x.sw.connectorLayer)) {
    if (static_cast<int>(x.connectors.size()) >= kMaxConnectors) {
      Full(x, "Connector Table is Full");
      return;
    }
    x.connectors.push_back({text.record, text.x, text.y, ConnectorNumber(text.chars), 0});
  }
  std::stable_sort(x.connectors.begin(), x.connectors.end(),
                   [](const ConnectorEntry& a, const ConnectorEntry& b) { return a.number < b.number; });
}

void AssignConnectorNodes(Extraction& x) {
  for (ConnectorEntry& e : x.connectors)
    if (e.node == 0) e.node = NodeAtPoint(x, e.x, e.y);
}

void CollectInstanceConnectors(Extraction& x, int k, const PlacedInstance& inst) {
  if (inst.row == 0) return;
  const Extraction::CellSummary& cell = x.SummaryOf(inst.row);
  for (const CellText& text : cell.connectors) {
    if (static_cast<int>(x.passBack.size()) >= kMaxPassBack) {
      Full(x, "PassBack Table is Full");
      return;
    }
    std::int64_t px = text.x, py = text.y;
    db::OrientPoint(inst.orientation, px, py);
    x.passBack.push_back({k, static_cast<std::int32_t>(px + inst.x), static_cast<std::int32_t>(py + inst.y),
                          ConnectorNumber(text.chars), 0});
  }
}

void AssignPassBackNodes(Extraction& x) {
  std::vector<CellText> named;
  bool namedRead = false;
  for (PassBackEntry& e : x.passBack) {
    if (x.Stopped()) return;
    if (e.node != 0) continue;
    e.node = NodeAtPoint(x, e.x, e.y);
    if (e.node != 0) continue;
    if (!namedRead) {
      named = x.TextsOnLayer(x.sw.namedLayer);
      namedRead = true;
    }
    for (const CellText& text : named)
      if (text.x == e.x && text.y == e.y) e.node = text.record;
  }
}

void SortPassBack(Extraction& x) {
  auto& table = x.passBack;
  std::size_t i = 0;
  while (i < table.size()) {
    std::size_t end = i + 1;
    while (end < table.size() && table[end].instance == table[i].instance) ++end;
    // The exchange sort of the pass-back table, within one instance's entries.
    for (std::size_t a = i; a < end; ++a)
      for (std::size_t b = a + 1; b < end; ++b)
        if (table[b].number < table[a].number) std::swap(table[a], table[b]);
    i = end;
  }
}

void AssignSymbolPassBack(Extraction& x, int n) {
  std::map<std::pair<std::int32_t, std::int32_t>, NodeNumber> origins;
  for (int k = 1; k <= n; ++k) {
    const PlacedInstance inst = x.t.FetchInstance(x.drawing, k);
    if (!inst.symbol) continue;
    for (std::size_t j = 0; j < x.symbols.size(); ++j)
      if (x.symbols[j].row == inst.row) {
        origins.emplace(std::make_pair(inst.x, inst.y), kSymbolNodeBase + static_cast<NodeNumber>(j + 1));
        break;
      }
  }
  if (origins.empty()) return;
  for (PassBackEntry& e : x.passBack) {
    if (e.node != 0) continue;
    auto it = origins.find({e.x, e.y});
    if (it != origins.end()) e.node = it->second;
  }
}

void MergeSameConnectorNodes(Extraction& x) {
  // Renamings of the shapes' nodes, composed in the order they are made, applied in one walk at the end.
  std::unordered_map<NodeNumber, NodeNumber> renamed;
  auto rename = [&](NodeNumber from, NodeNumber to) {
    for (auto& [original, now] : renamed)
      if (now == from) now = to;
    renamed.emplace(from, to);
  };
  ForEachRun(x.passBack, [&](std::size_t begin, std::size_t end) {
    if (end - begin < 2) return;
    NodeNumber chosen = 0;
    for (std::size_t i = begin; i < end; ++i)
      if (x.passBack[i].node > 0) chosen = std::max(chosen, x.passBack[i].node);
    if (chosen == 0)
      for (std::size_t i = begin; i < end; ++i) chosen = std::min(chosen, x.passBack[i].node);
    for (std::size_t i = begin; i < end; ++i) {
      PassBackEntry& e = x.passBack[i];
      if (e.node > 0 || e.node == chosen) continue;
      const NodeNumber former = e.node;
      e.node = chosen;
      // A port without a node names no shapes: renaming "no node" would tie every loose shape to it.
      if (former != 0) rename(former, chosen);
    }
  });
  if (renamed.empty()) return;
  const int n = x.model.Count();
  for (int id = 0; id < n; ++id) {
    if (!x.roles.conductor[x.model.layer[id]]) continue;
    auto it = renamed.find(x.Node(id));
    if (it != renamed.end()) x.SetNode(id, it->second);
  }
}

void ResolveVirtualPassBack(Extraction& x) {
  for (PassBackEntry& e : x.passBack) {
    if (x.Stopped()) return;
    if (e.node >= 0) continue;
    const NodeNumber node = NodeAtPoint(x, e.x, e.y);
    if (node == 0) continue;
    if (node > 0) {
      ++x.counts.named;
      --x.counts.virtuals;
    }
    e.node = node;
  }
}

void CountPassBackKinds(Extraction& x) {
  x.counts.passNamed = x.counts.passVirtual = x.counts.passSymbol = 0;
  for (const PassBackEntry& e : x.passBack) {
    if (e.node < 0) ++x.counts.passVirtual;
    else if (IsSymbolNode(e.node)) ++x.counts.passSymbol;
    else if (e.node > 0) ++x.counts.passNamed;
  }
}

void CheckMissingNodes(Extraction& x) {
  const ShapeModel& m = x.model;
  for (int id = 0; id < m.boxes && !x.Stopped(); ++id) {
    if (!x.roles.conductor[m.layer[id]] || x.Node(id) != 0) continue;
    x.Error(utilib::Format("Missing Node on Box #%d at X=%g Y=%g", id + 1, x.User(m.bounds[id].left),
                           x.User(m.bounds[id].bottom)));
  }
  for (int p = 1; p <= m.paths && !x.Stopped(); ++p) {
    const int id = m.PathId(p);
    if (!x.roles.conductor[m.layer[id]] || m.kind[id] == ShapeKind::Text || x.Node(id) != 0) continue;
    const auto first = PathVertices(x.t, p);
    x.Error(utilib::Format("Missing Node on Path #%d at X=%g Y=%g", p, first.empty() ? 0.0 : x.User(first[0].x),
                           first.empty() ? 0.0 : x.User(first[0].y)));
  }
}

void CheckOpenConnectors(Extraction& x) {
  // Entries of one instance and number stand together once the table is sorted; a twin with a node
  // keeps the others of its run from being reported.
  ForEachRun(x.passBack, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i)
      if (x.passBack[i].node != 0) return;
    for (std::size_t i = begin; i < end; ++i) {
      const PassBackEntry& e = x.passBack[i];
      const PlacedInstance inst = x.t.FetchInstance(x.drawing, e.instance);
      x.Error(utilib::Format("Open Connector %d on Cell %s at X=%g Y=%g", e.number, inst.name.c_str(), x.User(e.x),
                             x.User(e.y)));
    }
  });
}

void CheckShortedConnectors(Extraction& x) {
  ForEachRun(x.passBack, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i)
      for (std::size_t j = i + 1; j < end; ++j) {
        const PassBackEntry& a = x.passBack[i];
        const PassBackEntry& b = x.passBack[j];
        if (a.node == 0 || b.node == 0) continue;
        const std::string na = x.NodeName(a.node), nb = x.NodeName(b.node);
        if (na == nb) continue;
        const PlacedInstance inst = x.t.FetchInstance(x.drawing, a.instance);
        x.Error(utilib::Format("Shorted Connectors %s and %s on %s at X=%g Y=%g", na.c_str(), nb.c_str(),
                               inst.name.c_str(), x.User(a.x), x.User(a.y)));
      }
  });
}

void ReportVirtualNodes(Extraction& x) {
  const ShapeModel& m = x.model;
  for (int id = 0; id < m.Count() && !x.Stopped(); ++id) {
    if (!x.roles.conductor[m.layer[id]] || m.kind[id] == ShapeKind::Text) continue;
    const NodeNumber node = x.Node(id);
    if (node >= 0) continue;
    std::int32_t px = m.bounds[id].left, py = m.bounds[id].bottom;
    if (!m.IsBox(id)) {
      const auto first = PathVertices(x.t, m.Record(id));
      px = first.empty() ? 0 : first[0].x;
      py = first.empty() ? 0 : first[0].y;
    }
    x.Message(utilib::Format("Virtual Node %s%d on %s at L=%d X=%g Y=%g", x.sw.virtualPrefix.c_str(), -node,
                             m.IsBox(id) ? "Box" : "Path", m.layer[id], x.User(px), x.User(py)));
  }
}

void CheckFloatingInstance(Extraction& x, int k) {
  // The table is filled instance by instance, so its entries stand in instance order.
  auto it = std::lower_bound(x.passBack.begin(), x.passBack.end(), k,
                             [](const PassBackEntry& e, int instance) { return e.instance < instance; });
  if (it != x.passBack.end() && it->instance == k) return;
  const PlacedInstance inst = x.t.FetchInstance(x.drawing, k);
  if (inst.row == 0) return;
  x.drawing.index.rows[inst.row].flags |= kUnconnectedBit;
  if (!x.sw.floats || inst.symbol || IsSmashCell(x, inst.row)) return;
  x.Error(utilib::Format("Cell %s at X=%g Y=%g is Floating", inst.name.c_str(), x.User(inst.x), x.User(inst.y)));
}

bool IsSmashCell(const Extraction& x, int row) {
  if (row < 1 || row > x.drawing.index.count) return false;
  const db::CellIndexEntry& e = x.drawing.index.rows[row];
  if ((e.flags & 15) != 1 || (e.flags & 0x70) != 0) return false;
  for (const std::string& name : x.sw.smash)
    if (!name.empty() && strcasecmp(name.c_str(), e.name.c_str()) == 0) return true;
  return false;
}

}  // namespace ext
