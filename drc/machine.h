// The operator machine: one check's operator lines run over the maps of one scan area. Each line is
// an operator name and its arguments separated by commas ("MAP,3", "GAGR", "DSP,3,R,2"); names are
// compared without regard to case.
#pragma once
#include <string>
#include <string_view>

#include "drc/map_ops.h"
#include "drc/pictures.h"
#include "drc/rasteriser.h"
#include "utilib/job.h"

namespace db {
class Database;
}

namespace drc {

// DISPLAY items: the operator's status line and the three progress lines of a run.
constexpr int kStatusItem = 500, kProgressItem1 = 501, kProgressItem2 = 502, kProgressItem3 = 503;
// The map window's two status lines.
constexpr int kMapperItem1 = 501, kMapperItem2 = 502;

// What a run shows besides the progress display's lines and its message boxes.
class CheckView {
 public:
  virtual ~CheckView() = default;
  // The progress picture of the area about to be checked.
  virtual void ShowProgress(const AreaProgress& area) { (void)area; }
  // The map window, opened by the first map an area shows and shown again with every later one.
  virtual void ShowMapper(const gfx::Surface& picture, std::string_view line1, std::string_view line2) {
    (void)picture, (void)line1, (void)line2;
  }
  virtual void CloseMapper() {}
};

// One check's lengths in database units.
struct CheckGeometry {
  double resolution = 0;  // user units, rounded (lambda applied)
  double distance = 0;
  double pixel = 1;       // p: database units per pixel
  long long P = 1;        // p rounded
  long long D = 0;        // the distance rounded: the side of SIZE's squares
  long long guard = 0;
  long long xStep = 0, yStep = 0;
  int baseSpan = 0;       // round((distance - resolution) / resolution)

  // The guard band in whole pixels.
  int GuardPixels() const { return P > 0 ? static_cast<int>(guard / P) : 0; }
};

// A check's map file: the cell, the check and the map's number, 1 for the first.
std::string MapFileName(std::string_view cell, int check, int number);
// The highest number among the cell's map files of the check in the current folder (names matched
// without regard to case), 0 when there are none.
int LastMapNumber(std::string_view cell, int check);

struct Machine {
  Machine(db::Database& database, utilib::Job& job, CheckView& view, CheckMaps& maps);

  db::Database& db;
  utilib::Job& job;
  CheckView& view;
  CheckMaps& maps;
  Rasteriser raster;
  MapSlots slots;

  // The run's settings.
  std::string cellName;
  double scale = 20;  // database units per user unit
  std::string unit;
  double lambda = 1;
  bool enablePause = true, enableScpy = true;
  int pauseSeconds = 5, fileLimit = 10;

  // The check.
  int checkNumber = 0;
  std::string title;
  CheckGeometry geometry;
  long long side = 0;  // the fixed side of SIZE (OVRLAP makes it one pixel)
  int checkFlags = 0, mapNumber = 0;
  // The run.
  int totalFlags = 0, copies = 0;
  int runError = kRunOk;
  // The area.
  AreaFrame frame;
  bool flagged = false;
  std::string mapName = "Map Not Copied";
  bool mapperOpen = false;
  gfx::Surface mapper;

  // 1: go on with the next line; 0: the area's list ends here; -1: a syntax error. A run error or
  // the job's abort flag, set meanwhile, ends the run (the caller looks).
  int ExecOperator(std::string_view line);
  // Ends the area's map window.
  void CloseMapper();
  // Polls Esc; true once the job is to stop.
  bool Stop();

 private:
  void Status(const std::string& text);
  void MapInto(BitMap& target, int layer, const RasterModes& modes);
  void Store(const BitMap& m, int key);
  void Show(std::string_view colour, std::string_view density);
  void Copy();
};

}  // namespace drc
