// Node tracing of the cell in the tables: named nodes from texts, symbol nodes from placed symbol
// cells, joining lines, spreading nodes over touching shapes and through the contact layers of the
// trace table, and virtual nodes for whatever stays unconnected.
#pragma once
#include <cstdint>
#include <vector>

#include "extract/extraction.h"

namespace ext {

// Builds the shape model of what the tables hold; run once the cell's geometry is complete.
void PrepareTracing(Extraction& x);

void SeedNamedNodes(Extraction& x);
void SeedSymbolNodes(Extraction& x);

// Conductor shapes holding a point, in the order the point tests visit them: boxes, then paths by
// their centre line, then areas by their outline, each in record order.
std::vector<int> ShapesAtPoint(Extraction& x, std::int32_t px, std::int32_t py);
// The seed mode of the point tests: every shape holding the point without a node takes `node`.
void SeedNodeAtPoint(Extraction& x, std::int32_t px, std::int32_t py, NodeNumber node);

// m = 0 spreads the nodes lines have; m = 1 spreads the current virtual node.
void ConnectLineNodes(Extraction& x, int m);
void SeedVirtualLineNodes(Extraction& x);
void ConnectAreaNodes(Extraction& x, int m);
// Mode 0 or 1 within layer a (passes until nothing changes), 2 from conductor a to insulator b, 3
// from insulator b to conductor a.
void SpreadLayerNodes(Extraction& x, int mode, int a, int b = 0);
void SeedVirtualAreaNodes(Extraction& x);

}  // namespace ext
