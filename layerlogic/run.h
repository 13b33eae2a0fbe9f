// One Go of the layer-logic program: the cell's two layers rasterised tile by tile, combined,
// turned back into boxes and polygons and written as one TLC file with its header last.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drc/bitmap.h"
#include "layerlogic/settings.h"
#include "layerlogic/vectorise.h"
#include "utilib/job.h"

namespace db {
class Database;
}

namespace layerlogic {

// Items of the progress display.
enum DisplayItem {
  kItemStatus = 500,
  kItemAreas = 510,
  kItemBoxes = 511,
  kItemPolygons = 512,
  kItemVertices = 513,
  kItemArea = 514,
};

// Run states besides 0 (running): why a run stopped that the user must be told.
enum RunState {
  kStateRunning = 0,
  kStateNoMapMemory = 1,
  kStateObjectsFailed = 2,
  kStateReferencesFailed = 3,
};

// The four maps of a Go: the rasteriser's target, the running result, the copy the map window
// shows, and the map layer B is drawn into.
struct Maps {
  drc::BitMap target, result, display, work;
  // All four, or none.
  bool Allocate();
  void Free();
};

// Answers to the rounding warning.
enum class RoundingAnswer { Ignore, IgnorePaths, IgnoreAll, Abort };

// What the run shows besides the progress display.
class RunView {
 public:
  virtual ~RunView() = default;
  // The map window with the result of a tile; `area` is its "L=... B=... R=... T=..." line.
  virtual void ShowMap(const drc::BitMap& map, std::string_view area) = 0;
  virtual void CloseMap() = 0;
  // The RNDOFF question.
  virtual RoundingAnswer AskRounding(std::string_view text) = 0;
};

struct RunTotals {
  int boxes = 0;
  int polygons = 0;
  std::int64_t vertices = 0;
};

struct RunOutcome {
  int state = kStateRunning;
  RunTotals totals;
};

// The run as the Go command starts it, with the maps allocated. 1 completed, 0 stopped.
// `settings` is normalised; an unknown cell turns its field into "???".
int RunLayerLogic(utilib::Job& job, db::Database& database, Settings& settings, const Drawing& drawing,
                  Maps& maps, RunView& view, RunOutcome& outcome);

inline constexpr const char* kAbortedText = "Aborted ... TLC File may be Incomplete";
// "Completed ... %d Boxes  %d Poly  %d Vertices".
std::string CompletedText(const RunTotals& totals);

// Go: the maps for the run, the run, and when it stopped the message of its state. The final text
// (kAbortedText or CompletedText) is the caller's. 1 completed, 0 stopped.
int GoLayerLogic(utilib::Job& job, db::Database& database, Settings& settings, const Drawing& drawing,
                 RunView& view, RunOutcome& outcome);

// Reads FORM.DBD, CELLS6.DBD and CONSTS6.DBD of the current folder into `database` and `drawing`
// (whose hasCell then looks in `database`). "" when all are there, else the message of the first
// that is missing ("FORM.DBD is Missing"); a damaged scale is drawing.scaleDamaged, for the caller
// to tell. `suiteDrive` is where FORM.DBD's font list points.
std::string LoadDrawing(db::Database& database, Drawing& drawing, std::string_view suiteDrive);

// Tile steps.
// Clears the columns right of the window's right edge and the rows above its top edge.
void ClipTileToWindow(drc::BitMap& map, std::int64_t x0, std::int64_t y0, std::int64_t step, std::int64_t right,
                      std::int64_t top);
// Rows 0..1023 of a map, a row's 32 words together.
void TileRows(const drc::BitMap& map, std::vector<RowWords>& rows);
// Tile positions of the window from (left, bottom) while below (right, top), at most 100000.
int CountTiles(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top, std::int64_t step);
// The same without the cap.
std::int64_t CountAllTiles(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top,
                           std::int64_t step);
// A run of more tiles than this asks before it starts.
inline constexpr std::int64_t kAskTiles = 20000;

}  // namespace layerlogic
