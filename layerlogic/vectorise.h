// A result tile back into geometry: runs of set pixels into boxes, boxes that share a whole edge
// merged, and on request stacks of boxes into polygon outlines.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "utilib/job.h"

namespace layerlogic {

constexpr int kTilePixels = 1024;  // a tile is 1024 by 1024 pixels
constexpr int kRowWords = 32;
// Bit 0x80000000 of word s is column 32 s, bit 1 column 32 s + 31.
using RowWords = std::array<std::uint32_t, kRowWords>;

constexpr int kMaxTileBoxes = 256033;
constexpr int kMaxStackEntries = 503;  // corners of one polygon's boxes
constexpr int kMaxOutlinePoints = 512;
// Rotating message lines of the progress display.
constexpr int kMessageLines = 5, kFirstMessageLine = 515;

struct TileBox {
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
  bool deleted = false;
  friend bool operator==(const TileBox&, const TileBox&) = default;
};

struct Point {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Where the tile lies: pixel (0, 0) at (x0, y0), pixels of `pixel` database units.
struct TileFrame {
  std::int32_t x0 = 0, y0 = 0;
  std::int32_t pixel = 1;
};

// Rows 0..1023 of the tile (row 0 at the bottom) into boxes appended to `boxes`. A full table shows
// "Box Limit Reached" and sets the job's abort flag; so does an abort already set end the bands.
void RasterToBoxes(utilib::Job& job, std::span<const RowWords> rows, const TileFrame& frame,
                   std::vector<TileBox>& boxes);

// Each box in table order absorbs the later boxes that share a whole edge with it as it grows.
void MergeBoxes(std::vector<TileBox>& boxes);

struct PolygonOptions {
  std::int32_t pixel = 1;  // P
  int ratio = 1;           // the polygon resolution in pixels
  bool reduceVertices = false;
  double scale = 1.0;      // database units per user unit, for the messages
};

// Emits one closed outline (first point repeated last); false stops the conversion.
using PolygonSink = std::function<bool(std::span<const Point>)>;

// Stacks of boxes, each on the top of the one before, become polygons; their boxes are deleted from
// the table. A box on which nothing stacks stays in the table. Returns false when `emit` failed.
bool BoxesToPolygons(utilib::Job& job, std::vector<TileBox>& boxes, const PolygonOptions& options,
                     const PolygonSink& emit);

// The steps of one polygon, for tests.
std::vector<Point> StackOutline(std::span<const TileBox> stack);
void CleanOutline(std::vector<Point>& points);
void ReduceVertices(std::vector<Point>& points, std::int32_t pixel, int ratio);
void CheckAcuteAngles(utilib::Job& job, std::span<const Point> points, double scale);

}  // namespace layerlogic
