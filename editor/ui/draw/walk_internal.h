// Inside the drawing engine: the parts of the walk the primitives share.
#pragma once
#include <array>
#include <vector>

#include "editor/db/object_store.h"
#include "editor/ui/draw/engine.h"
#include "platform/gfx/geometry.h"

namespace draw {

// A point of a stroke or chain in the edited cell's coordinates, with its vertex's flag word.
struct ChainPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int32_t flags = 0;
};

// The edited cell's tables while sub-cells use the store, the per-layer order of the records the
// store holds now, and point buffers kept to avoid an allocation per object.
struct EngineWork {
  db::BoxTable boxes;
  db::PathTable paths;
  db::VertexTable vertices;
  int boxCount = 0;
  int pathCount = 0;
  int vertexCount = 0;
  int loadedCell = 0;
  int objectLoadFailed = 0;
  int objectLoadError = 0;
  db::AsideObjects aside;  // the edited cell's set-aside records go with its tables
  bool held = false;

  // Box and path numbers of each layer 1..64 in record order; valid while the store is unchanged.
  bool bucketsValid = false;
  std::array<std::vector<int>, 65> boxesOfLayer;
  std::array<std::vector<int>, 65> pathsOfLayer;

  std::vector<ChainPoint> chain;
  std::vector<gfx::Point> devicePolygon;
};

namespace detail {
void InvalidateLayerBuckets(Engine& e);
}

}  // namespace draw
