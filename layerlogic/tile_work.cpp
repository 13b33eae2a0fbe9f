#include "layerlogic/tile_work.h"

#include "drc/map_ops.h"
#include "layerlogic/run.h"

namespace layerlogic {

namespace {

bool MapTileLayer(drc::Rasteriser& raster, utilib::Job& job, const TileSpan& span, drc::BitMap& map, int layer,
                  bool invert, std::int64_t x0, std::int64_t y0, std::int32_t pixel, int& state) {
  drc::AreaFrame frame;
  frame.x0 = x0;
  frame.y0 = y0;
  frame.x1 = x0 + span.step;
  frame.y1 = y0 + span.step;
  frame.pixel = pixel;
  const int error = raster.MapLayer(map, layer, frame);
  if (error != drc::kRunOk) {
    state = error;
    return false;
  }
  // A walk cut short leaves a partial map: nothing of it is written.
  if (job.abort) return false;
  if (invert) drc::NotMap(map);
  ClipTileToWindow(map, x0, y0, span.step, span.right, span.top);
  return true;
}

}  // namespace

bool MapTile(drc::Rasteriser& raster, utilib::Job& job, const Settings& s, const TileSpan& span, std::int64_t x0,
             std::int64_t y0, drc::BitMap& result, drc::BitMap& work, int& state) {
  const std::int32_t pixel = s.resolution.pixel;
  if (!MapTileLayer(raster, job, span, result, s.layerA, s.notA, x0, y0, pixel, state)) return false;
  if (s.layerB != 0) {
    if (!MapTileLayer(raster, job, span, work, s.layerB, s.notB, x0, y0, pixel, state)) return false;
    switch (s.operation) {
      case Operation::And: drc::AndMaps(result, work); break;
      case Operation::Or: drc::OrMaps(result, work); break;
      case Operation::Xor: drc::XorMaps(result, work); break;
    }
  }
  if (s.notOut) drc::NotMap(result);
  ClipTileToWindow(result, x0, y0, span.step, span.right, span.top);
  return true;
}

void TileBoxes(utilib::Job& job, const drc::BitMap& result, const TileFrame& frame, std::vector<RowWords>& rows,
               std::vector<TileBox>& boxes) {
  TileRows(result, rows);
  boxes.clear();
  RasterToBoxes(job, rows, frame, boxes);
  MergeBoxes(boxes);
}

PolygonOptions TilePolygonOptions(const Settings& s, double scale) {
  PolygonOptions o;
  o.pixel = s.resolution.pixel;
  o.ratio = s.resolution.ratio;
  o.reduceVertices = s.reduceVertices;
  o.scale = scale;
  return o;
}

void TileWorker::Log::SetItemText(int item, std::string_view text) {
  // Only the rotating lines of a report line: the run's own items are the run's to set.
  if (item < kFirstMessageLine || item >= kFirstMessageLine + kMessageLines) return;
  TileEvent e;
  e.kind = TileEvent::Kind::Line;
  e.text = text;
  e.polygonsBefore = tile->ends.size();
  tile->events.push_back(std::move(e));
}

tell::Answer TileWorker::Log::Box(std::string_view, std::string_view text, tell::Buttons) {
  TileEvent e;
  e.kind = TileEvent::Kind::Box;
  e.text = text;
  e.polygonsBefore = tile->ends.size();
  tile->events.push_back(std::move(e));
  return tell::Answer::Ok;
}

TileWorker::TileWorker(db::Database& database) : raster_(database) {}

bool TileWorker::Start(drc::Rasteriser& store, std::mutex& lock, const TileShared& shared) {
  if (!result_.Allocate(drc::kTileRows, drc::kTileRows) || !work_.Allocate(drc::kTileRows, drc::kTileRows)) {
    result_.Free();
    work_.Free();
    return false;
  }
  shared_ = &shared;
  raster_.SetTopCell(store.TopCell());
  raster_.ShareCellsOf(store, lock);
  raster_.stop = [this] {
    if (shared_->stop.load(std::memory_order_relaxed)) job_.abort = true;
    return job_.abort;
  };
  raster_.roundingCheck = [this](double x, double y, bool outlinePoint) {
    if (shared_->ignoreAll.load(std::memory_order_relaxed) ||
        (outlinePoint && shared_->ignorePaths.load(std::memory_order_relaxed)))
      return true;
    TileEvent e;
    e.kind = TileEvent::Kind::Rounding;
    e.x = x;
    e.y = y;
    e.outlinePoint = outlinePoint;
    log_.tile->events.push_back(std::move(e));
    return true;
  };
  return true;
}

void TileWorker::Work(const Settings& s, const TileSpan& span, const PolygonOptions& polygons, TileWork& tile) {
  tile.state = 0;
  tile.cut = false;
  tile.events.clear();
  tile.boxes.clear();
  tile.points.clear();
  tile.ends.clear();
  log_.tile = &tile;
  job_.abort = false;
  if (!MapTile(raster_, job_, s, span, tile.x0, tile.y0, result_, work_, tile.state)) {
    tile.cut = tile.state == 0;
    return;
  }
  const TileFrame frame{static_cast<std::int32_t>(tile.x0), static_cast<std::int32_t>(tile.y0), s.resolution.pixel};
  const std::size_t before = tile.events.size();
  TileBoxes(job_, result_, frame, rows_, tile.boxes);
  if (job_.abort && tile.events.size() > before) tile.events.back().aborts = true;
  if (!s.convertToPoly) return;
  BoxesToPolygons(job_, tile.boxes, polygons, [&tile](std::span<const Point> p) {
    tile.points.insert(tile.points.end(), p.begin(), p.end());
    tile.ends.push_back(tile.points.size());
    return true;
  });
}

}  // namespace layerlogic
