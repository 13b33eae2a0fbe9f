#include "extract/diagnostics.h"

#include "extract/model.h"

namespace ext {

void DumpPassBackTable(Extraction& x) {
  os::TextWriter& d = *x.diag;
  d.Write("\nPBT: Cell#  X   Y  SeqNo  NodeText#(-vir)  NodeText\n");
  for (const PassBackEntry& e : x.passBack)
    d.Printf("%8.1d%10.2f%10.2f%8.1d%8.1d%15.15s\n", e.instance, x.User(e.x), x.User(e.y), e.number, e.node,
             x.NodeName(e.node).c_str());
}

void DumpNodeTables(Extraction& x) {
  os::TextWriter& d = *x.diag;
  const ShapeModel& m = x.model;
  auto traced = [&](int id) { return x.roles.conductor[m.layer[id]] || x.roles.insulator[m.layer[id]]; };
  auto line = [&](int number, int id, std::int32_t px, std::int32_t py, double area) {
    const NodeNumber node = x.Node(id);
    const std::string name = x.NodeName(node);
    d.Printf("\n%8.1d%8.1d%10.2f%10.2f%8.1d%8.8s%8.1d%8.g", number, m.layer[id], x.User(px), x.User(py), node,
             name.c_str(), ConnectorNumber(name), area);
  };
  d.Write("\nNodes: BP#  Lyr  X  Y  NodeText#(-vir)  NodeText  NodeDigit  NodeArea");
  d.Write("\nBox:");
  for (int id = 0; id < m.boxes; ++id)
    if (traced(id)) line(id + 1, id, m.bounds[id].left, m.bounds[id].bottom, x.t.GetShapeArea(id + 1));
  d.Write("\nPoly:");
  for (int p = 1; p <= m.paths; ++p) {
    const int id = m.PathId(p);
    if (!traced(id)) continue;
    const auto points = PathVertices(x.t, p);
    const bool text = m.kind[id] == ShapeKind::Text;
    line(text ? -p : p, id, points.empty() ? 0 : points[0].x, points.empty() ? 0 : points[0].y,
         x.t.GetTracePathArea(p));
  }
  d.Write("\n\nVtx:     P#     Lyr      X       Y");
  for (int p = 1; p <= m.paths; ++p) {
    const int id = m.PathId(p);
    if (!traced(id)) continue;
    for (const PathPoint& v : PathVertices(x.t, p))
      d.Printf("\n%8.1d%8.1d %10.2f%10.2f", p & 0x7FFF, m.layer[id], x.User(v.x), x.User(v.y));
  }
}

void DumpConnectorTable(Extraction& x) {
  os::TextWriter& d = *x.diag;
  d.Write("\nSCT: CON#  X   Y  SeqNo  NNode#/VNode#(-)  NodeText\n");
  for (const ConnectorEntry& e : x.connectors)
    d.Printf("%8.1d%8.1d%8.1d%8.1d%8.1d%15.15s\n", e.record, e.x, e.y, e.number, e.node, x.NodeName(e.node).c_str());
}

}  // namespace ext
