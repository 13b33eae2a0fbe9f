// One tile's work, from the cell's layers to merged boxes and polygons: done by the run itself, or by
// a worker on another core that keeps every question and message for the run to give in order.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "drc/bitmap.h"
#include "drc/rasteriser.h"
#include "layerlogic/settings.h"
#include "layerlogic/vectorise.h"
#include "utilib/job.h"

namespace layerlogic {

// Where a run's tiles lie, in database units.
struct TileSpan {
  std::int64_t step = 1;  // a tile's side
  std::int64_t right = 0, top = 0;  // the window's far edges
};

// The tile at (x0, y0) into `result`: layer A (or NOT A), with layer B by the operation, NOT Out, and
// clipped to the window; `work` takes layer B. False when the walk failed (`state` then names the
// cell file that failed to load) or was cut short by the job's abort flag.
bool MapTile(drc::Rasteriser& raster, utilib::Job& job, const Settings& s, const TileSpan& span, std::int64_t x0,
             std::int64_t y0, drc::BitMap& result, drc::BitMap& work, int& state);

// A result map into merged boxes (`boxes` emptied first).
void TileBoxes(utilib::Job& job, const drc::BitMap& result, const TileFrame& frame, std::vector<RowWords>& rows,
               std::vector<TileBox>& boxes);

PolygonOptions TilePolygonOptions(const Settings& s, double scale);

// What a worker met while it worked a tile out, in the order the run itself would have met it.
struct TileEvent {
  enum class Kind { Rounding, Box, Line };
  Kind kind = Kind::Line;
  double x = 0, y = 0;        // a rounding point
  bool outlinePoint = false;  //   and whether it is one of a wide path's outline
  std::string text;           // a message box, or a line of the rotating message lines
  bool aborts = false;        // the message stopped the job (a full box table)
  std::size_t polygonsBefore = 0;
};

// One tile worked out by a worker.
struct TileWork {
  std::int64_t x0 = 0, y0 = 0;
  int state = 0;     // a cell file that failed to load
  bool cut = false;  // the run stopped the walk
  std::vector<TileEvent> events;
  std::vector<TileBox> boxes;
  std::vector<Point> points;       // the polygons one after another
  std::vector<std::size_t> ends;   // where each polygon's points end
};

// The state of a run that its workers read while they work.
struct TileShared {
  std::atomic<bool> stop{false};
  // Rounding points the run no longer asks about need not be kept.
  std::atomic<bool> ignoreAll{false}, ignorePaths{false};
};

class TileWorker {
 public:
  explicit TileWorker(db::Database& database);
  TileWorker(const TileWorker&) = delete;
  TileWorker& operator=(const TileWorker&) = delete;

  // Its maps, and its cells taken from `store` under `lock`. False without memory for the maps.
  bool Start(drc::Rasteriser& store, std::mutex& lock, const TileShared& shared);
  void Work(const Settings& s, const TileSpan& span, const PolygonOptions& polygons, TileWork& tile);

 private:
  // Keeps the message boxes and rotating lines of the vectorising as events of the tile.
  class Log final : public tell::Talk {
   public:
    TileWork* tile = nullptr;
    void SetItemText(int item, std::string_view text) override;
    void SetItemNumber(int, long long) override {}
    tell::Answer Box(std::string_view caption, std::string_view text,
                     tell::Buttons buttons = tell::Buttons::Ok) override;
  };

  Log log_;
  utilib::Job job_{"MEROLL", log_};
  drc::Rasteriser raster_;
  drc::BitMap result_, work_;
  std::vector<RowWords> rows_;
  const TileShared* shared_ = nullptr;
};

}  // namespace layerlogic
