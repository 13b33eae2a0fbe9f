#include "layerlogic/run.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "drc/rasteriser.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/file_names.h"
#include "editor/db/helpers.h"
#include "editor/db/settings.h"
#include "editor/tlc/writer.h"
#include "layerlogic/tile_work.h"
#include "utilib/cores.h"

namespace layerlogic {

bool Maps::Allocate() {
  for (drc::BitMap* m : {&target, &result, &display, &work}) {
    if (!m->Allocate(drc::kTileRows, drc::kTileRows)) {
      Free();
      return false;
    }
  }
  return true;
}

void Maps::Free() {
  for (drc::BitMap* m : {&target, &result, &display, &work}) m->Free();
}

std::string CompletedText(const RunTotals& t) {
  return utilib::Format("Completed ... %d Boxes  %d Poly  %d Vertices", t.boxes, t.polygons,
                        static_cast<int>(t.vertices));
}

void ClipTileToWindow(drc::BitMap& map, std::int64_t x0, std::int64_t y0, std::int64_t step, std::int64_t right,
                      std::int64_t top) {
  if (x0 <= right && right < x0 + step) {
    const int c = static_cast<int>((right - x0) * kTilePixels / step);
    for (int s = c >> 5; s < drc::kMapStrips; ++s) {
      // Columns left of c keep their pixels in c's own strip.
      const std::uint32_t keep = s == (c >> 5) && (c & 31) ? ~(0xFFFFFFFFu >> (c & 31)) : 0u;
      std::uint32_t* strip = map.Strip(s);
      for (int r = 0; r < map.WritableRows(); ++r) strip[r] &= keep;
    }
  }
  if (y0 <= top && top < y0 + step) {
    const int first = static_cast<int>((top - y0) * kTilePixels / step);
    for (int s = 0; s < drc::kMapStrips; ++s) {
      std::uint32_t* strip = map.Strip(s);
      for (int r = first; r < map.WritableRows(); ++r) strip[r] = 0;
    }
  }
}

void TileRows(const drc::BitMap& map, std::vector<RowWords>& rows) {
  rows.resize(kTilePixels);
  for (int s = 0; s < kRowWords; ++s) {
    const std::uint32_t* strip = map.Strip(s);
    for (int r = 0; r < kTilePixels; ++r) rows[r][s] = strip[r];
  }
}

std::int64_t CountAllTiles(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top,
                           std::int64_t step) {
  if (right <= left || top <= bottom || step <= 0) return 0;
  const std::int64_t columns = (right - left + step - 1) / step;
  const std::int64_t rows = (top - bottom + step - 1) / step;
  // Windows and steps are held within the coordinates, so the product stays far from overflow;
  // still it is taken without trusting that.
  const long double n = static_cast<long double>(columns) * static_cast<long double>(rows);
  return n < 9e18L ? static_cast<std::int64_t>(n) : std::int64_t{9000000000000000000};
}

int CountTiles(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top, std::int64_t step) {
  return static_cast<int>(std::min<std::int64_t>(CountAllTiles(left, bottom, right, top, step), 100000));
}

namespace {

// Whole database units of a window edge, held within the coordinate range.
std::int64_t WindowUnits(double scale, double value) {
  double v = scale * value;
  if (!(v < db::kCoordinateLimit)) v = db::kCoordinateLimit;
  if (!(v > -db::kCoordinateLimit)) v = -db::kCoordinateLimit;
  return static_cast<std::int64_t>(std::trunc(v));
}

// A name the file system of the suite's users could never hold: the "???" of an unset field.
bool IsUsableFileName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  return !name.empty() && name.find_first_of("?*<>|\"") == std::string_view::npos;
}

class Run {
 public:
  Run(utilib::Job& job, db::Database& database, Settings& settings, const Drawing& drawing, Maps& maps,
      RunView& view, RunOutcome& outcome)
      : job_(job), db_(database), s_(settings), d_(drawing), maps_(maps), view_(view), out_(outcome),
        raster_(database) {}

  int Go();

 private:
  std::string Area(std::int64_t x0, std::int64_t y0) const {
    const double u = d_.scale;
    const char* unit = d_.unit.c_str();
    return utilib::Format("L=%g%s B=%g%s R=%g%s T=%g%s", x0 / u, unit, y0 / u, unit, (x0 + step_) / u, unit,
                          (y0 + step_) / u, unit);
  }
  bool Rounding(double x, double y, bool outlinePoint);
  // The tiles one after another, or worked out on several cores and taken in order; false when the
  // run stopped.
  bool Tiles();
  bool TilesOneByOne();
  bool TilesOnCores(int cores);
  void BeginTile(std::int64_t x0, std::int64_t y0);
  bool EndTile();
  // A tile worked out here, showing its map when asked to; false ends the run.
  bool WorkTile(std::int64_t x0, std::int64_t y0);
  // A tile a worker worked out: its questions and messages given as they came, then its output.
  bool TakeTile(TileWork& tile);
  bool PutPolygon(std::span<const Point> points);
  bool WriteBoxes(const std::vector<TileBox>& boxes);
  void WriteHeader();
  int Stop() {
    // What was written stays; the file then has no header.
    writer_->Flush();
    sink_.Commit();
    return 0;
  }

  utilib::Job& job_;
  db::Database& db_;
  Settings& s_;
  const Drawing& d_;
  Maps& maps_;
  RunView& view_;
  RunOutcome& out_;
  drc::Rasteriser raster_;
  tlc::FileSink sink_;
  std::unique_ptr<tlc::TlcWriter> writer_;
  std::vector<RowWords> rows_;
  std::vector<TileBox> boxes_;
  std::vector<std::int32_t> xs_, ys_;
  std::int64_t left_ = 0, bottom_ = 0, right_ = 0, top_ = 0, step_ = 1;
  bool ignorePaths_ = false, ignoreAll_ = false;
  RunTotals tile_;
  std::int64_t tiles_ = 0, done_ = 0;
  int total_ = 0;  // tiles_ as the display counts them
  std::string area_;
};

bool Run::Rounding(double x, double y, bool outlinePoint) {
  if (ignoreAll_ || (outlinePoint && ignorePaths_)) return true;
  const std::string text =
      utilib::Format("Warning ...\n\n Rounding occurred at  X=%g  Y=%g", x / d_.scale, y / d_.scale);
  switch (view_.AskRounding(text)) {
    case RoundingAnswer::Ignore: return true;
    case RoundingAnswer::IgnorePaths: ignorePaths_ = true; return true;
    case RoundingAnswer::IgnoreAll: ignoreAll_ = true; return true;
    case RoundingAnswer::Abort: break;
  }
  job_.abort = true;
  return false;
}

bool Run::PutPolygon(std::span<const Point> points) {
  xs_.clear();
  ys_.clear();
  for (const Point& p : points) {
    xs_.push_back(p.x);
    ys_.push_back(p.y);
  }
  ++tile_.polygons;
  tile_.vertices += static_cast<std::int64_t>(points.size());
  return writer_->PutPath(s_.layerOut, 0, xs_, ys_);
}

bool Run::WriteBoxes(const std::vector<TileBox>& boxes) {
  view_.CloseMap();
  utilib::ShowPause(job_, 200);
  const std::int32_t m = s_.resolution.minBox;
  for (const TileBox& b : boxes) {
    if (b.deleted) continue;
    if (!writer_->PutBox({s_.layerOut, b.left, b.bottom, b.right, b.top})) return false;
    ++tile_.boxes;
    if (m > 0 && (b.right - b.left < m || b.top - b.bottom < m)) {
      utilib::ReportOnNextLine(
          job_, utilib::Format("Box Under Minimum Size at X= %g Y= %g", b.left / d_.scale, b.bottom / d_.scale),
          kMessageLines, kFirstMessageLine);
    }
  }
  return true;
}

bool Run::WorkTile(std::int64_t x0, std::int64_t y0) {
  const TileSpan span{step_, right_, top_};
  if (!MapTile(raster_, job_, s_, span, x0, y0, maps_.result, maps_.work, out_.state)) return false;
  if (s_.showTimeMs > 0) {
    drc::CopyMap(maps_.display, maps_.result);
    view_.ShowMap(maps_.display, area_);
    utilib::ShowPause(job_, s_.showTimeMs);
  }
  const TileFrame frame{static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), s_.resolution.pixel};
  TileBoxes(job_, maps_.result, frame, rows_, boxes_);
  if (s_.convertToPoly &&
      !BoxesToPolygons(job_, boxes_, TilePolygonOptions(s_, d_.scale),
                       [this](std::span<const Point> points) { return PutPolygon(points); }))
    return false;
  return WriteBoxes(boxes_);
}

bool Run::TakeTile(TileWork& tile) {
  std::size_t e = 0;
  for (; e < tile.events.size() && tile.events[e].kind == TileEvent::Kind::Rounding; ++e)
    if (!Rounding(tile.events[e].x, tile.events[e].y, tile.events[e].outlinePoint)) return false;
  if (tile.state != 0) {
    out_.state = tile.state;
    return false;
  }
  // An Esc seen while the tile was worked out stops the run before it, as it would have stopped its walk.
  if (tile.cut || job_.abort) return false;
  std::size_t written = 0;
  auto putUpTo = [&](std::size_t n) {
    for (; written < n; ++written) {
      const std::size_t from = written == 0 ? 0 : tile.ends[written - 1];
      if (!PutPolygon(std::span<const Point>(tile.points).subspan(from, tile.ends[written] - from))) return false;
    }
    return true;
  };
  for (; e < tile.events.size(); ++e) {
    const TileEvent& ev = tile.events[e];
    if (!putUpTo(ev.polygonsBefore)) return false;
    if (ev.kind == TileEvent::Kind::Box) {
      job_.ui->Box(job_.programName, ev.text, tell::Buttons::Ok);
      if (ev.aborts) job_.abort = true;
    } else {
      utilib::ReportOnNextLine(job_, ev.text, kMessageLines, kFirstMessageLine);
    }
  }
  if (!putUpTo(tile.ends.size())) return false;
  return WriteBoxes(tile.boxes);
}

void Run::BeginTile(std::int64_t x0, std::int64_t y0) {
  area_ = Area(x0, y0);
  utilib::SetItemText(job_, utilib::Format("%lld of %d Areas Done", static_cast<long long>(done_), total_), kItemAreas);
  utilib::SetItemText(job_, "Area: " + area_, kItemArea);
  tile_ = {};
}

bool Run::EndTile() {
  RunTotals& sum = out_.totals;
  sum.boxes += tile_.boxes;
  sum.polygons += tile_.polygons;
  sum.vertices += tile_.vertices;
  ++done_;
  utilib::SetItemText(job_, utilib::Format("%lld of %d Areas Done", static_cast<long long>(done_), total_), kItemAreas);
  utilib::SetItemText(job_, utilib::Format("Area Box Count: %d  Total: %d", tile_.boxes, sum.boxes), kItemBoxes);
  utilib::SetItemText(job_, utilib::Format("Area Poly Count: %d  Total: %d", tile_.polygons, sum.polygons),
                      kItemPolygons);
  utilib::SetItemText(job_,
                      utilib::Format("Area Vertex Count: %d  Total: %d", static_cast<int>(tile_.vertices),
                                     static_cast<int>(sum.vertices)),
                      kItemVertices);
  utilib::SetItemText(job_, "Area: " + area_, kItemArea);
  if (done_ % 2 == 0) utilib::ShowPause(job_, 0);
  return !job_.abort;
}

bool Run::Tiles() {
  const int cores = utilib::RunCores();
  // The map window shows every tile as it is made, so a run that shows them makes them one by one.
  if (cores > 1 && s_.showTimeMs == 0 && tiles_ > 1)
    return TilesOnCores(cores);
  return TilesOneByOne();
}

bool Run::TilesOneByOne() {
  // A tile that would start on the window's right or top edge holds nothing of it. The count shown
  // stops at 100000; the tiles do not.
  for (std::int64_t y0 = bottom_; y0 < top_; y0 += step_) {
    for (std::int64_t x0 = left_; x0 < right_; x0 += step_) {
      BeginTile(x0, y0);
      if (!WorkTile(x0, y0) || !EndTile()) return false;
    }
    if (job_.abort) return false;
  }
  return true;
}

bool Run::TilesOnCores(int cores) {
  TileShared shared;
  shared.ignoreAll = ignoreAll_;
  shared.ignorePaths = ignorePaths_;
  std::mutex cells;
  std::vector<std::unique_ptr<TileWorker>> workers;
  // The run itself is one of the cores: it takes the tiles and writes them.
  while (static_cast<int>(workers.size()) < cores - 1) {
    auto w = std::make_unique<TileWorker>(db_);
    if (!w->Start(raster_, cells, shared)) break;
    workers.push_back(std::move(w));
  }
  if (workers.empty()) {
    // Too little memory for maps on several cores: one at a time, with the run's own maps.
    return TilesOneByOne();
  }

  // Tiles are numbered in the run's order, row by row; the workers work ahead of the tile the run
  // takes next by at most a ring of them, so that a long run holds only a few tiles at a time.
  const std::int64_t columns = (right_ - left_ + step_ - 1) / step_;
  const std::int64_t count = tiles_;
  const std::int64_t ring = 3 * static_cast<std::int64_t>(workers.size());
  std::vector<TileWork> tiles(static_cast<std::size_t>(ring));
  std::vector<char> ready(static_cast<std::size_t>(ring), 0);
  std::mutex lock;
  std::condition_variable madeOne, tookOne;
  std::int64_t next = 0, taken = 0;
  const TileSpan span{step_, right_, top_};
  const PolygonOptions polygons = TilePolygonOptions(s_, d_.scale);

  auto work = [&](TileWorker& worker) {
    for (;;) {
      std::int64_t i;
      {
        std::unique_lock<std::mutex> l(lock);
        tookOne.wait(l, [&] { return shared.stop || next >= count || next < taken + ring; });
        if (shared.stop || next >= count) return;
        i = next++;
      }
      TileWork& tile = tiles[static_cast<std::size_t>(i % ring)];
      tile.x0 = left_ + i % columns * step_;
      tile.y0 = bottom_ + i / columns * step_;
      worker.Work(s_, span, polygons, tile);
      std::lock_guard<std::mutex> l(lock);
      ready[static_cast<std::size_t>(i % ring)] = 1;
      madeOne.notify_one();
    }
  };
  std::vector<std::thread> threads;
  for (auto& w : workers) threads.emplace_back(work, std::ref(*w));
  auto finish = [&](bool result) {
    {
      std::lock_guard<std::mutex> l(lock);
      shared.stop = true;
    }
    tookOne.notify_all();
    for (std::thread& t : threads) t.join();
    return result;
  };

  for (std::int64_t i = 0; i < count; ++i) {
    const std::size_t slot = static_cast<std::size_t>(i % ring);
    {
      std::unique_lock<std::mutex> l(lock);
      // Esc is polled while the run waits; a walk it stops is not written, and a tile no worker
      // had begun is not begun.
      auto came = [&] { return ready[slot] != 0 || (shared.stop && i >= next); };
      while (!madeOne.wait_for(l, std::chrono::milliseconds(50), came)) {
        l.unlock();
        if (utilib::PollEscape(job_)) shared.stop = true;
        l.lock();
      }
      if (!ready[slot]) {
        l.unlock();
        return finish(false);
      }
    }
    TileWork& tile = tiles[slot];
    // Esc at least once a tile, as a walk here would poll it.
    if (utilib::PollEscape(job_)) shared.stop = true;
    BeginTile(tile.x0, tile.y0);
    const bool went = TakeTile(tile);
    shared.ignoreAll = ignoreAll_;
    shared.ignorePaths = ignorePaths_;
    if (!went || !EndTile()) return finish(false);
    {
      std::lock_guard<std::mutex> l(lock);
      ready[slot] = 0;
      taken = i + 1;
    }
    // Room for one more tile: one worker is enough to wake.
    tookOne.notify_one();
  }
  return finish(true);
}

void Run::WriteHeader() {
  tlc::TlcHeader h;
  h.name = OutputCellName(s_.OutputFile());
  h.scale = d_.scale;
  h.unit = d_.unit;
  tlc::StampNow(h);
  h.rank = 1;
  writer_->PutHeader(h);
}

int Run::Go() {
  job_.abort = false;
  out_ = {};

  const int row = db::FindCell(db_.index, s_.Cell()) ? db_.index.foundRow : 0;
  if (row < 1) {
    s_.slots[kCell] = "???";
    return 0;
  }
  const double u = d_.scale;
  left_ = WindowUnits(u, s_.window.left);
  bottom_ = WindowUnits(u, s_.window.bottom);
  right_ = WindowUnits(u, s_.window.right);
  top_ = WindowUnits(u, s_.window.top);
  step_ = std::int64_t{kTilePixels} * s_.resolution.pixel;
  // The number of tiles is told before anything is written; one no run could finish in minutes is
  // asked about first.
  tiles_ = CountAllTiles(left_, bottom_, right_, top_, step_);
  utilib::SetItemText(job_, utilib::Format("%lld Areas to Map ...", static_cast<long long>(tiles_)), kItemStatus);
  if (tiles_ > kAskTiles &&
      !utilib::AskOkOrAbort(job_, utilib::Format("%lld Areas to Map ... Continue?", static_cast<long long>(tiles_))))
    return 0;
  // Nothing replaces an old output file before the run can start.
  if (!IsUsableFileName(s_.OutputFile()) || !sink_.Open(db::FileNameForWrite(s_.OutputFile()))) return 0;
  tlc::TlcWriterOptions options = tlc::UtilityWriterOptions();
  options.outline = tlc::HeaderOutline::ScaleWide;
  options.countsFromRecords = true;
  options.unsignedVertexCount = true;
  writer_ = std::make_unique<tlc::TlcWriter>(sink_, options);
  // Without its report the run still runs: every message it has for the user also shows on screen.
  utilib::OpenReport(job_, s_.ReportFile());

  raster_.SetTopCell(row);
  raster_.stop = [this] { return utilib::PollEscape(job_); };
  raster_.roundingCheck = [this](double x, double y, bool outlinePoint) { return Rounding(x, y, outlinePoint); };

  total_ = CountTiles(left_, bottom_, right_, top_, step_);
  utilib::SetItemText(job_, utilib::Format("Creating %s ...", s_.OutputFile().c_str()), kItemStatus);

  tlc::TlcHeader now;
  tlc::StampNow(now);
  const char* unit = d_.unit.c_str();
  const Resolution& r = s_.resolution;
  utilib::ReportPrintf(job_, "\n*** MERO Layer Logic Conversion Report ***\n\n");
  utilib::ReportPrintf(job_, "Date: %s\tTime: %s\n", now.date.c_str(), now.time.c_str());
  utilib::ReportPrintf(job_, "Cell: %s\n", s_.Cell().c_str());
  utilib::ReportPrintf(job_, "Output File: %s\n", s_.OutputFile().c_str());
  utilib::ReportPrintf(job_, "Output Layer %d\n", s_.layerOut);
  utilib::ReportPrintf(job_, "Map Resolution= %g%s\n", r.pixel / u, unit);
  utilib::ReportPrintf(job_, "Poly Resolution= %g%s\n", static_cast<double>(r.ratio) * r.pixel / u, unit);
  utilib::ReportPrintf(job_, "Minimum Size= %g%s\n", r.minBox / u, unit);

  const bool whole = Tiles();
  drc::TellSetAsideRecords(job_, raster_, db_.index);
  if (!whole) return Stop();
  WriteHeader();
  return sink_.Commit() && !writer_->Failed() ? 1 : 0;
}

}  // namespace

std::string LoadDrawing(db::Database& database, Drawing& drawing, std::string_view suiteDrive) {
  if (!db::ReadFormFile(database.form, db::kReadPool, suiteDrive)) return "FORM.DBD is Missing";
  // A damaged index is as unusable as none.
  if (db::ReadCellIndex(database.index) != 1) return "CELLS6.DBD is Missing";
  db::DatabaseScale scale;
  if (!db::ReadDatabaseScale(scale)) return "CONSTS6.DBD is Missing";
  drawing.scale = scale.scale;
  drawing.unit = scale.unit;
  drawing.scaleDamaged = scale.damaged;
  db::CellIndex* index = &database.index;
  drawing.hasCell = [index](std::string_view name) { return db::FindCell(*index, name) && index->foundRow >= 1; };
  return "";
}

int RunLayerLogic(utilib::Job& job, db::Database& database, Settings& settings, const Drawing& drawing,
                  Maps& maps, RunView& view, RunOutcome& outcome) {
  Run run(job, database, settings, drawing, maps, view, outcome);
  return run.Go();
}

int GoLayerLogic(utilib::Job& job, db::Database& database, Settings& settings, const Drawing& drawing,
                 RunView& view, RunOutcome& outcome) {
  Maps maps;
  int result = 0;
  outcome = {};
  // Without its maps the run does not start at all.
  if (!maps.Allocate()) outcome.state = kStateNoMapMemory;
  else result = RunLayerLogic(job, database, settings, drawing, maps, view, outcome);
  view.CloseMap();
  maps.Free();
  if (result == 0) {
    static const char* const kStateText[] = {nullptr, "Not Enough Memory for Maps", "Internal BP6 File Failed to Load",
                                             "Internal CL6 File Failed to Load"};
    if (outcome.state >= 1 && outcome.state <= 3)
      job.ui->Box(job.programName, kStateText[outcome.state], tell::Buttons::Ok);
  }
  return result;
}

}  // namespace layerlogic
