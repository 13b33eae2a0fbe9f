// What the tracing of one cell works on: every box and path as a shape with its kind, layer and
// outline, the shapes that touch across the layer pairs the trace table connects, and the lines that
// join. Shapes are numbered boxes first, then paths, each in record order, so walking them by number
// is the order in which the tracing visits them.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "extract/geometry.h"
#include "extract/settings.h"
#include "extract/tables.h"

namespace ext {

enum class ShapeKind : std::uint8_t {
  None,  // a path without an outline, or a shape on no layer
  Box,
  Line,  // a zero-width path that is not closed
  Area,  // a wide path or a closed zero-width polygon
  Text,
};

// Conductor and insulator layers of a trace table and the transfers between them.
struct LayerRoles {
  std::array<bool, 128> conductor{};
  std::array<bool, 128> insulator{};
  std::array<int, 128> conductorRow{};  // first row 0..4 holding the layer, -1 none
  // spreads[a][b]: a node on layer a may pass to a touching shape on layer b.
  std::array<std::array<bool, 65>, 65> spreads{};

  explicit LayerRoles(const TraceTable& t);
  int ConductorLayerOf(std::int32_t flags) const { return conductor[flags & 127] ? flags & 127 : 0; }
  int InsulatorLayerOf(std::int32_t flags) const { return insulator[flags & 127] ? flags & 127 : 0; }
  int ConductorRowOf(int layer) const { return layer >= 0 && layer < 128 ? conductorRow[layer] : -1; }
};

// Shapes grouped in square cells for the look-up of what lies near a rectangle.
class ShapeGrid {
 public:
  void Build(const std::vector<int>& ids, const std::vector<Bounds>& bounds);
  // Shapes whose bounds meet `q`, ascending.
  void Query(const Bounds& q, const std::vector<Bounds>& bounds, std::vector<int>& out) const;

 private:
  static std::int64_t Key(std::int64_t cx, std::int64_t cy) { return (cx << 32) ^ (cy & 0xFFFFFFFF); }
  std::int64_t cell_ = 1;
  std::unordered_map<std::int64_t, std::vector<int>> cells_;
  std::vector<int> big_;  // shapes that cover too many cells to be filed in each
  std::vector<int> all_;
};

struct ShapeModel {
  int boxes = 0;
  int paths = 0;
  std::vector<ShapeKind> kind;
  std::vector<std::uint8_t> layer;   // flags & 127
  std::vector<Outline> outline;      // boxes, lines and areas
  std::vector<std::vector<PathPoint>> centre;  // wide paths: the centre line
  // Boxes and areas that touch, over the layer pairs the trace table relates; ascending.
  std::vector<std::vector<int>> touching;
  // For each line on a conductor layer: the zero-width paths of exactly its layer it joins; ascending.
  std::vector<std::vector<int>> joins;
  // Boxes and areas of each layer, ascending.
  std::array<std::vector<int>, 128> onLayer;
  std::vector<int> lines;  // lines on conductor layers, ascending
  ShapeGrid conductorGrid;  // every box, line and area on a conductor layer
  std::vector<Bounds> bounds;

  int Count() const { return boxes + paths; }
  bool IsBox(int id) const { return id < boxes; }
  int Record(int id) const { return id < boxes ? id + 1 : id - boxes + 1; }
  int PathId(int record) const { return boxes + record - 1; }
};

// Builds the model of what the tables hold now (after any smashing).
void BuildShapeModel(TraceTables& t, const LayerRoles& roles, ShapeModel& m);
// Points of a path's vertex chain (texts: the reference point only); the walk stops on a broken link.
std::vector<PathPoint> PathVertices(TraceTables& t, int path);

}  // namespace ext
