// The layer rasteriser: one layer of a cell and of its whole instance hierarchy drawn into a one-bit
// map (bitmap.h) that covers one scan area. The design-rule checker maps a layer for every MAP, SIZE
// and OVRLAP operator in every scan area; the layer-logic program maps its two layers per tile.
//
// Cells come from the drawing folder through the cell database's loaders (CL6 references, BP6 boxes,
// paths and vertices; attached cells from the pool folder). A Rasteriser keeps every cell it has read
// for as long as it lives (or until ForgetCells), so an area costs only the scan conversion of what
// lies in or near it; one Rasteriser per run is the intended use.
//
// Fill rule: a pixel (i, r) is set when the point (i + 1/2, r) lies inside the outline just above the
// row, so a box from pixel column a to b and row c to d fills columns a..b-1 and rows c..d-1, and
// shapes that only touch do not merge. Crossings are taken even-odd.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "drc/bitmap.h"
#include "editor/db/object_store.h"

namespace db {
struct CellIndex;
class Database;
}
namespace utilib {
struct Job;
}

namespace drc {

// Run errors, as the checker's Go reports them.
enum RunError {
  kRunOk = 0,
  kNoMapMemory = 1,       // "Not Enough Memory for Maps"
  kObjectsFailed = 2,     // "Internal BP6 File Failed to Load"
  kReferencesFailed = 3,  // "Internal CL6 File Failed to Load"
};

// Where the map lies, in database units.
struct AreaFrame {
  std::int64_t x0 = 0;  // the database point of pixel (0, 0): the map window's lower-left corner
  std::int64_t y0 = 0;
  std::int64_t x1 = 0;  // right and top of the window test rectangle: instances and objects that
  std::int64_t y1 = 0;  // miss x0..x1 by y0..y1 are not drawn
  double pixel = 1.0;   // database units per pixel, at least 1
};

struct RasterModes {
  // Fixed-size mode: every box, and every polygon (width 0) of exactly five points, is drawn as a
  // side by side square at its lower-left corner; every other path and polygon is skipped.
  bool fixedSize = false;
  std::int32_t side = 0;
  // Overlap mode: pixels drawn where the target is set already (covered twice) are set here too.
  BitMap* overlap = nullptr;
};

// A point of a pixel polygon.
struct PixelPoint {
  long long x = 0;
  long long y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Scan-fills a pixel polygon into `target` by the fill rule above. With `closed` false the first and
// last points must be equal, else nothing is drawn. Rows and columns outside the map are skipped.
void FillPolygon(BitMap& target, std::vector<PixelPoint> points, bool closed, BitMap* overlap = nullptr);

class Rasteriser {
 public:
  explicit Rasteriser(db::Database& database);
  ~Rasteriser();
  Rasteriser(const Rasteriser&) = delete;
  Rasteriser& operator=(const Rasteriser&) = delete;

  // The cell to map with its hierarchy: a row of the cell index.
  void SetTopCell(int row) { topCell_ = row; }
  int TopCell() const { return topCell_; }

  // Clears `target` and draws layer `layer` (1..64) of the top cell's hierarchy into it: every
  // instance that meets the window, children before the cell that holds them, the top cell's own
  // boxes and paths last. Texts are never drawn. An instance whose cell's rank is not below its
  // holder's is skipped with what lies under it.
  // Gives a RunError: kRunOk also when `stop` cut the walk short (the caller knows why it stopped);
  // kReferencesFailed or kObjectsFailed when a cell file could not be read (the map is then partial).
  int MapLayer(BitMap& target, int layer, const AreaFrame& frame, const RasterModes& modes = {});

  // Polled in every loop of a walk; true stops it at once (Esc, Cancel, a run's stop flag).
  std::function<bool()> stop;
  // Rounding check of the layer-logic program: called for every converted point whose coordinate
  // rounds to another whole pixel than its fraction cut off would give; `x`, `y` are the database
  // point and `outlinePoint` tells a point of a wide path's outline. Answering false drops the
  // polygon (or box) being converted. Empty: no check.
  std::function<bool(double x, double y, bool outlinePoint)> roundingCheck;

  // Releases the cells read so far; the next walk reads them again.
  void ForgetCells();
  // Takes its cells from `source`'s store under `lock`, so that rasterisers of several threads read
  // each cell once between them. `source` is used only under the lock.
  void ShareCellsOf(Rasteriser& source, std::mutex& lock) {
    shared_ = &source;
    sharedLock_ = &lock;
  }
  // How many cell files (CL6 and BP6) were read since the Rasteriser was made, and how many times the
  // walk turned to another cell's objects than the last one (what a store that holds one cell at a
  // time would have read).
  long FileReads() const { return fileReads_; }
  long CellSwitches() const { return cellSwitches_; }

  // Records of the cells read so far that the loader set aside (a layer outside 1..64, a reference to
  // no cell): the walks go on without them. In row order, a cell's references before its objects,
  // each file once however often it was read; ForgetCells keeps them.
  struct SetAside {
    int row = 0;
    db::AsideRecords records;
  };
  std::vector<SetAside> SetAsideRecords() const;

  struct CellData;  // one cell's references and its boxes and paths by layer
  struct RefIndex;  // where the top cell's instances lie

 private:
  struct Walk;
  // Shared with the rasterisers that take their cells from this one; a new top cell gets a new one.
  std::shared_ptr<const RefIndex> index_;
  bool forgetPending_ = false;
  Rasteriser* shared_ = nullptr;
  std::mutex* sharedLock_ = nullptr;
  // Kept by cells_ until the next ForgetCells, which waits for the start of a walk.
  const CellData* References(int row, int& error);
  const CellData* Objects(int row, int& error);
  std::shared_ptr<CellData> Entry(int row);
  // A cell as the source holds it, `read` there by `load` under the lock when this store lacks it.
  const CellData* SharedCell(int row, std::atomic<bool> CellData::*read, const CellData* (Rasteriser::*load)(int, int&),
                             int& error);

  db::Database& db_;
  int topCell_ = 0;
  std::map<int, std::shared_ptr<CellData>> cells_;
  std::map<std::pair<int, int>, db::AsideRecords> aside_;  // (row, 0 CL6 / 1 BP6)
  long cachedWords_ = 0;
  long fileReads_ = 0;
  long cellSwitches_ = 0;
  int lastCell_ = 0;
};

// What the rasteriser's loads set aside, told through utilib::TellSetAside in row order: the run
// that mapped with it went on without those records.
void TellSetAsideRecords(utilib::Job& job, const Rasteriser& raster, const db::CellIndex& index);

}  // namespace drc
