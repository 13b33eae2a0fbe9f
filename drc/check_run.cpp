#include "drc/check_run.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/helpers.h"
#include "editor/db/text_numbers.h"
#include "editor/tlc/run.h"
#include "editor/tlc/writer.h"
#include "utilib/cores.h"
#include "utilib/setup_file.h"

namespace drc {

namespace {

constexpr long kMostAreas = 100000;

// Values the run refuses (CheckRunNumbers) still convert without overflow when shown.
long long Trunc(double v) {
  if (!(v > -9e18)) return v != v ? 0 : -9000000000000000000LL;
  if (!(v < 9e18)) return 9000000000000000000LL;
  return static_cast<long long>(std::trunc(v));
}
long long Round(double v) { return std::llround(std::clamp(v, -9e18, 9e18)); }

}  // namespace

ScanWindow ScanWindowOf(const DrcSettings& s, double u) {
  return {Trunc(s.scanLeft * u), Trunc(s.scanBottom * u), Trunc(s.scanRight * u), Trunc(s.scanTop * u)};
}

CheckGeometry ComputeAreaGeometry(double resolution, double distance, double lambda, double u, bool overlap) {
  CheckGeometry g;
  const Rounded r = RoundResolution(resolution, distance, lambda, u);
  g.resolution = r.resolution;
  g.distance = r.distance;
  g.pixel = std::max(u * g.resolution, 1.0);
  g.D = Round(g.distance * u);
  g.P = std::max(Round(g.resolution * u), 1LL);
  g.baseSpan = static_cast<int>(std::clamp(Round((g.distance - g.resolution) / g.resolution), -(1LL << 30), 1LL << 30));
  g.guard = overlap ? Round(5 * g.pixel) : Round(4.0 * double(g.P) + double(g.D));
  g.xStep = Round(1024 * g.pixel - 2.0 * double(g.guard));
  g.yStep = Round(640 * g.pixel - 2.0 * double(g.guard));
  return g;
}

void StartPosition(const DrcSettings& s, const ScanWindow& w, const CheckGeometry& g, double u, long long& x0,
                   long long& y0) {
  // Fractions count: a resume point keeps the area where the run stopped.
  const std::string& left = s[kAreaLeft];
  const std::string& bottom = s[kAreaBottom];
  x0 = left.empty() ? w.left - g.guard : Trunc(std::atof(left.c_str()) * u);
  y0 = bottom.empty() ? w.bottom - g.guard : Trunc(std::atof(bottom.c_str()) * u);
}

long long CountAreas(const ScanWindow& w, const CheckGeometry& g, long long y, long long x) {
  if (y > w.top) return 0;
  if (g.xStep <= 0 || g.yStep <= 0) return 1;
  const long long rowStart = w.left - g.guard;
  auto across = [&](long long from) { return from > w.right ? 0.0L : (long double)((w.right - from) / g.xStep + 1); };
  const long double rows = (long double)((w.top - y) / g.yStep + 1);
  const long double n = across(x) + (rows - 1) * across(rowStart);
  return n < 9e18L ? static_cast<long long>(n) : 9000000000000000000LL;
}

long CountRemainingAreas(const ScanWindow& w, const CheckGeometry& g, long long y, long long x) {
  return static_cast<long>(std::min<long long>(CountAreas(w, g, y, x), kMostAreas));
}

std::string CheckRunNumbers(const DrcSettings& s, double u, const CheckGeometry& g, double resolution,
                            double distance, const std::string& check) {
  // Every length of a run is a 32-bit database coordinate, and a map window of 1024 pixels must
  // span no more than they can: what lies beyond is refused before anything runs.
  constexpr double kMost = 2147483647.0;
  const double pixels = std::fabs(s.lambda * u * resolution);
  if (!(pixels <= kMaxPixel)) return check + "Resolution is Out of Range";
  if (!(std::fabs(s.lambda * u * distance) <= kMaxDistance)) return check + "Distance is Out of Range";
  const double reach = 1024.0 * g.pixel + 2.0 * double(g.guard);
  auto within = [&](double v) { return std::fabs(v) + reach <= kMost; };
  if (!within(s.scanLeft * u) || !within(s.scanBottom * u) || !within(s.scanRight * u) || !within(s.scanTop * u))
    return "Scan Window is Out of Range";
  for (Setting f : {kAreaLeft, kAreaBottom})
    if (!s[f].empty() && !within(std::atof(s[f].c_str()) * u)) return "Start Area is Out of Range";
  return "";
}

namespace {

// A check whose areas depend on nothing but themselves and show nothing while they run: every
// operator pure, S and the map slots written in the area before they are read. Its areas may then be
// worked out on several cores and taken in order.
bool AreasIndependent(const Check& check) {
  static const std::set<std::string> pure = {"MAP",  "MAPR",  "JRC",  "JR0",  "JRS",   "JR1",  "TESTR",
                                             "JRN",  "JNR",   "PUSH", "POPR", "PUSHR", "EXPR", "EXPRS",
                                             "GAGR", "GAGRS", "NOTR", "ANDRS", "ORRS", "XORRS", "SWPRS",
                                             "SWAPRS", "CLR", "CLRR", "STR",  "SETR",  "DBLR", "SIZE"};
  std::set<int> stored;
  bool sWritten = false;
  for (const std::string& line : check.operators) {
    const std::size_t comma = line.find(',');
    const std::string name = tlc::UpperCase(line.substr(0, comma));
    if (!pure.count(name)) return false;
    const std::string arg = comma == std::string::npos ? "" : line.substr(comma + 1, line.find(',', comma + 1) - comma - 1);
    if (name == "MAP") stored.insert(MapSlots::Key(arg));
    if (name == "MAPR") stored.insert(1);
    const bool readsS = name == "POPR" || name == "EXPRS" || name == "GAGRS" || name == "ANDRS" || name == "ORRS" ||
                        name == "XORRS" || name == "SWPRS" || name == "SWAPRS";
    if (readsS && !sWritten) return false;
    if (name == "PUSH" && !stored.count(MapSlots::Key(arg))) return false;
    if (name == "PUSHR" && !stored.count(1)) return false;
    if (name == "PUSH" || name == "PUSHR" || name == "EXPR" || name == "GAGR" || name == "SIZE") sWritten = true;
  }
  return true;
}

// The map window of the area whose guarded corner is (x0, y0).
AreaFrame AreaFrameAt(const CheckGeometry& g, long long x0, long long y0) {
  AreaFrame f;
  f.x0 = x0;
  f.y0 = y0;
  f.x1 = x0 + 2 * g.guard + g.xStep;
  f.y1 = y0 + 2 * g.guard + g.yStep;
  f.pixel = g.pixel;
  return f;
}

// The item texts a worker's operators would have shown, for the run to show in their place.
class StatusLog final : public tell::Talk {
 public:
  std::vector<std::string> texts;
  void SetItemText(int item, std::string_view text) override {
    if (item == kStatusItem) texts.emplace_back(text);
  }
  void SetItemNumber(int, long long) override {}
};

// What one area came to, worked out away from the run.
struct AreaResult {
  long long x0 = 0, y0 = 0;
  bool rowEnd = false;  // the last area of its row
  int flags = 0;
  bool flagged = false;
  int runError = kRunOk;
  bool storageFailed = false;
  std::string syntaxLine;
  bool syntax = false;
  std::vector<std::string> statuses;
};

// One core's machine: its own maps, slots and rasteriser (cells shared), showing nothing.
struct Worker {
  StatusLog log;
  utilib::Job job{"MERODRC", log};
  CheckView view;
  CheckMaps maps;
  std::unique_ptr<Machine> m;

  bool Start(Machine& main, std::mutex& cells) {
    if (!maps.Allocate()) return false;
    m = std::make_unique<Machine>(main.db, job, view, maps);
    m->raster.SetTopCell(main.raster.TopCell());
    m->raster.ShareCellsOf(main.raster, cells);
    m->cellName = main.cellName;
    m->scale = main.scale;
    m->unit = main.unit;
    m->lambda = main.lambda;
    m->enablePause = false;
    m->enableScpy = false;
    return true;
  }

  void Work(const Machine& main, const Check& check, AreaResult& a) {
    Machine& w = *m;
    w.checkNumber = main.checkNumber;
    w.title = main.title;
    w.geometry = main.geometry;
    w.side = main.side;
    w.runError = kRunOk;
    w.checkFlags = w.totalFlags = 0;
    w.flagged = false;
    job.abort = false;
    log.texts.clear();
    w.frame = AreaFrameAt(w.geometry, a.x0, a.y0);
    ClearMap(maps.R);
    for (const std::string& line : check.operators) {
      const int r = w.ExecOperator(line);
      if (w.runError != kRunOk || job.abort) break;
      if (r == 0) break;
      if (r < 0) {
        a.syntax = true;
        a.syntaxLine = line;
        break;
      }
    }
    a.flags = w.totalFlags;
    a.flagged = w.flagged;
    a.runError = w.runError;
    a.storageFailed = job.abort && w.runError == kRunOk;
    a.statuses = std::move(log.texts);
  }
};

// One Go's walk through the checks.
class Run {
 public:
  Run(Machine& m, DrcSettings& s, const DrawingUnits& d, const std::function<std::uint32_t()>& tick)
      : m_(m), s_(s), d_(d), tick_(tick), u_(d.scale > 0 ? d.scale : 20.0) {}

  RunOutcome Go();

 private:
  void Box(const std::string& text) { m_.job.ui->Box(kProgram, text, tell::Buttons::Ok); }
  void Lines();
  void ReportHeader();
  int Area();  // 1 go on, 0 the run ends (abort or run error)
  bool Areas();
  bool AreasOnCores(int cores);
  int TakeArea(AreaResult& a);  // Area() for an area worked out on a core
  // The area's count, frame and progress lines before its operators run.
  void BeginArea();
  void ReportFlaggedArea();
  void CountArea();  // for the time estimate
  // On past the area just done, or to the start of the next row, with a pause; false with the resume
  // point saved when the user stopped the run.
  bool AfterArea();
  bool AfterRow();
  bool GoOn();
  void SaveResumePoint();
  void FreeSlots() { m_.slots.Clear(); }

  Machine& m_;
  DrcSettings& s_;
  const DrawingUnits& d_;
  std::function<std::uint32_t()> tick_;
  double u_;
  ScanWindow w_;
  Check check_;
  long long x0_ = 0, y0_ = 0;
  long total_ = 0, done_ = 0, run_ = 0;
  std::uint32_t start_ = 0;
  double average_ = 0;
  std::mutex cells_;
  std::vector<std::unique_ptr<Worker>> workers_;
};

void Run::Lines() {
  const char* n = d_.unit.c_str();
  const long left = std::max(0L, total_ - done_);
  const long ms = static_cast<long>(std::lround(double(left) * average_));
  const long seconds = ms / 1000;
  m_.job.ui->SetItemText(kProgressItem1,
                         utilib::Format("Cell: %s    Check %d: %s    Est.Time: %ldhr %ldmin %ldsec", m_.cellName.c_str(),
                                        m_.checkNumber, m_.title.c_str(), seconds / 3600, seconds / 60 % 60,
                                        seconds % 60));
  m_.job.ui->SetItemText(kProgressItem2,
                         utilib::Format("%ld of %ld Areas Completed  (%d Flags, %d Total)   Res= %g%s   Dist= %g%s   "
                                        "Lambda= %g",
                                        done_, total_, m_.checkFlags, m_.totalFlags, m_.geometry.resolution, n,
                                        m_.geometry.distance, n, m_.lambda));
  const AreaFrame& f = m_.frame;
  m_.job.ui->SetItemText(
      kProgressItem3,
      utilib::Format("Area: L=%g%s B=%g%s R=%g%s T=%g%s   Window: L=%g%s B=%g%s R=%g%s T=%g%s", double(f.x0) / u_, n,
                     double(f.y0) / u_, n, double(f.x1) / u_, n, double(f.y1) / u_, n, double(w_.left) / u_, n,
                     double(w_.bottom) / u_, n, double(w_.right) / u_, n, double(w_.top) / u_, n));
  AreaProgress p{double(w_.left), double(w_.bottom), double(w_.right), double(w_.top),
                 double(f.x0),    double(f.y0),     double(f.x1),    double(f.y1)};
  m_.view.ShowProgress(p);
}

void Run::ReportHeader() {
  tlc::TlcHeader now;
  tlc::StampNow(now);
  const char* n = d_.unit.c_str();
  utilib::ReportPrintf(m_.job, "\n*** MERO Design Rule Check Flag Report ***\n\n");
  utilib::ReportPrintf(m_.job, "Cell: %s\n", m_.cellName.c_str());
  utilib::ReportPrintf(m_.job, "Check %d: %s\n", m_.checkNumber, m_.title.c_str());
  utilib::ReportPrintf(m_.job, "Date: %s\tTime: %s\n", now.date.c_str(), now.time.c_str());
  utilib::ReportPrintf(m_.job, "Resolution= %g%s  Distance= %g%s  Lambda= %g\n", m_.geometry.resolution, n,
                       m_.geometry.distance, n, m_.lambda);
  utilib::ReportPrintf(m_.job, "Area(s) Flagged:\n");
}

void Run::SaveResumePoint() {
  // Past the end of a row the next area is the first of the row above; past the last row the check
  // is done and the next one starts where it would.
  if (x0_ > w_.right) {
    x0_ = w_.left - m_.geometry.guard;
    y0_ += m_.geometry.yStep;
  }
  if (y0_ > w_.top) {
    s_[kAreaLeft].clear();
    s_[kAreaBottom].clear();
    s_[kStartCheck] = std::to_string(m_.checkNumber + 1);
    s_.SetResumePoint(0);
  } else {
    s_[kAreaLeft] = utilib::FormatLength(double(x0_) / u_, d_.unit);
    s_[kAreaBottom] = utilib::FormatLength(double(y0_) / u_, d_.unit);
    s_[kStartCheck] = std::to_string(m_.checkNumber);
    s_.SetResumePoint(m_.mapNumber);
  }
}

void Run::BeginArea() {
  done_ = total_ - CountRemainingAreas(w_, m_.geometry, y0_, x0_);
  m_.mapName = "Map Not Copied";
  m_.flagged = false;
  m_.frame = AreaFrameAt(m_.geometry, x0_, y0_);
  Lines();
}

void Run::ReportFlaggedArea() {
  if (m_.flagged)
    utilib::ReportPrintf(m_.job, "Area= ZOOM %g %g %g %g   Map= %s\n", double(m_.frame.x0) / u_,
                         double(m_.frame.y0) / u_, double(m_.frame.x1) / u_, double(m_.frame.y1) / u_,
                         m_.mapName.c_str());
}

void Run::CountArea() {
  ++run_;
  average_ = double(tick_() - start_) / double(run_);
}

bool Run::GoOn() {
  if (!m_.job.abort) return true;
  SaveResumePoint();
  return false;
}

bool Run::AfterArea() {
  x0_ += m_.geometry.xStep;
  if (done_ % 4 == 0) utilib::ShowPause(m_.job, 0);
  return GoOn();
}

bool Run::AfterRow() {
  x0_ = w_.left - m_.geometry.guard;
  y0_ += m_.geometry.yStep;
  utilib::ShowPause(m_.job, 0);
  return GoOn();
}

int Run::Area() {
  const CheckGeometry& g = m_.geometry;
  BeginArea();
  if (g.xStep < 2 * g.guard || g.yStep < 2 * g.guard) {
    Box("Guardband is Too Large for Check Area ... Use Coarser Resolution");
    m_.job.abort = true;
  }
  if (!m_.job.abort) {
    ClearMap(m_.maps.R);
    for (const std::string& line : check_.operators) {
      const int r = m_.ExecOperator(line);
      if (m_.runError != kRunOk || m_.job.abort) break;
      if (r == 0) break;
      if (r < 0) {
        Box(utilib::Format("Syntax Error: \"%s\"", line.c_str()));
        break;
      }
    }
  }
  if (m_.runError != kRunOk) return 0;
  if (m_.job.abort) {
    m_.CloseMapper();
    SaveResumePoint();
    return 0;
  }
  ReportFlaggedArea();
  m_.CloseMapper();
  CountArea();
  return 1;
}

bool Run::Areas() {
  const CheckGeometry& g = m_.geometry;
  const int cores = utilib::RunCores();
  if (cores > 1 && g.xStep >= 2 * g.guard && g.yStep >= 2 * g.guard && g.xStep > 0 && g.yStep > 0 &&
      x0_ <= w_.right && AreasIndependent(check_) && CountAreas(w_, g, y0_, x0_) > 1)
    return AreasOnCores(cores);
  while (y0_ <= w_.top) {
    while (x0_ <= w_.right)
      if (!Area() || !AfterArea()) return false;
    if (!AfterRow()) return false;
  }
  return true;
}

int Run::TakeArea(AreaResult& a) {
  BeginArea();
  for (const std::string& text : a.statuses)
    utilib::RouteMessage(m_.job, text, utilib::MessageKind::Item, kStatusItem);
  m_.checkFlags += a.flags;
  m_.totalFlags += a.flags;
  m_.flagged = a.flagged;
  if (a.runError != kRunOk) m_.runError = a.runError;
  if (a.storageFailed) {
    Box("Map Storage Allocation Failed");
    m_.job.abort = true;
  }
  if (a.syntax) Box(utilib::Format("Syntax Error: \"%s\"", a.syntaxLine.c_str()));
  if (!m_.job.abort) utilib::PollEscape(m_.job);
  if (m_.runError != kRunOk) return 0;
  if (m_.job.abort) {
    SaveResumePoint();
    return 0;
  }
  ReportFlaggedArea();
  CountArea();
  return 1;
}

bool Run::AreasOnCores(int cores) {
  const CheckGeometry& g = m_.geometry;
  while (static_cast<int>(workers_.size()) < cores) {
    auto w = std::make_unique<Worker>();
    if (!w->Start(m_, cells_)) break;
    workers_.push_back(std::move(w));
  }
  if (workers_.size() < 2) {
    workers_.clear();
    return Areas();
  }
  const int n = static_cast<int>(workers_.size());
  // The areas ahead in the run's order, a few for each core at a time.
  long long x = x0_, y = y0_;
  std::vector<AreaResult> batch;
  while (y <= w_.top) {
    batch.clear();
    while (static_cast<int>(batch.size()) < 16 * n && y <= w_.top) {
      AreaResult a;
      a.x0 = x, a.y0 = y;
      x += g.xStep;
      if (x > w_.right) {
        a.rowEnd = true;
        x = w_.left - g.guard;
        y += g.yStep;
      }
      batch.push_back(std::move(a));
    }
    // Each core takes the next area not yet taken; this thread works as one of them.
    std::atomic<std::size_t> next{0};
    auto work = [&](int t) {
      for (std::size_t i; (i = next.fetch_add(1)) < batch.size();) workers_[std::size_t(t)]->Work(m_, check_, batch[i]);
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < n; ++t) threads.emplace_back(work, t);
    work(0);
    for (std::thread& t : threads) t.join();
    for (AreaResult& a : batch) {
      x0_ = a.x0, y0_ = a.y0;
      if (!TakeArea(a) || !AfterArea() || (a.rowEnd && !AfterRow())) return false;
    }
  }
  return true;
}

RunOutcome Run::Go() {
  RunOutcome out;
  m_.runError = kRunOk;
  m_.job.abort = false;
  m_.totalFlags = 0;
  m_.copies = 0;
  m_.cellName = s_[kCell];
  m_.scale = u_;
  m_.unit = d_.unit;
  m_.lambda = s_.lambda;
  m_.enablePause = s_.enablePause;
  m_.enableScpy = s_.enableScpy;
  m_.pauseSeconds = s_.pauseSeconds;
  m_.fileLimit = s_.fileLimit;
  // A Go from where a stopped run left off carries on that run: its report and map files stay.
  const bool resuming = s_.Resuming();
  const int resumedLastMap = s_.ResumedLastMap();
  s_.resume.assign(kResumeCount, "");
  FreeSlots();
  auto finish = [&](int result) {
    FreeSlots();
    out.result = result;
    out.runError = m_.runError;
    out.totalFlags = m_.totalFlags;
    return out;
  };

  CheckFile file;
  if (!file.Open(s_[kCheckFile])) {
    s_[kCheckFile] = "???.DRC";
    Box("Check File is Missing");
    return finish(0);
  }
  if (!(std::isfinite(u_) && u_ > 0 && u_ <= kMaxPixel)) {
    Box("Database Scale is Out of Range");
    return finish(0);
  }
  const int startCheck = std::max(1, int(db::LeadingInt(s_[kStartCheck])));
  const int finishCheck = db::LeadingInt(s_[kFinishCheck]);
  int checksInFile = 0;  // read so far
  while (file.Counter() < startCheck - 1 && file.ReadCheck(check_)) ++checksInFile;
  w_ = ScanWindowOf(s_, u_);

  // The checks to run, each with its lengths, all looked at before the first area: a value no map
  // can hold stops the run before the report is touched, and the number of areas is known.
  struct Planned {
    Check check;
    CheckGeometry geometry;
  };
  std::vector<Planned> plan;
  long long areas = 0;
  {
    DrcSettings fields = s_;  // the Area and Resolution fields as each check will find them
    while (file.Counter() < finishCheck) {
      if (!file.ReadCheck(check_)) break;
      ++checksInFile;
      if (check_.hasLocation && fields[kAreaLeft].empty() && fields[kAreaBottom].empty()) {
        fields[kAreaLeft] = check_.locationX;
        fields[kAreaBottom] = check_.locationY;
      }
      const double res =
          fields[kResolution].empty() ? check_.resolution : std::fabs(std::atof(fields[kResolution].c_str()));
      const double dist = fields[kDistance].empty() ? check_.distance : std::fabs(std::atof(fields[kDistance].c_str()));
      const bool overlap = std::any_of(check_.operators.begin(), check_.operators.end(), [](const std::string& op) {
        return tlc::UpperCase(op.substr(0, op.find(','))) == "OVRLAP";
      });
      Planned p{check_, ComputeAreaGeometry(res, dist, s_.lambda, u_, overlap)};
      const std::string refused =
          CheckRunNumbers(fields, u_, p.geometry, res, dist, utilib::Format("Check %d: ", check_.number));
      if (!refused.empty()) {
        Box(refused);
        return finish(0);
      }
      long long x0 = 0, y0 = 0;
      StartPosition(fields, w_, p.geometry, u_, x0, y0);
      const long long n = CountAreas(w_, p.geometry, y0, x0);
      if (plan.empty() && n == 0) {
        Box("Start Area is Outside the Scan Window");
        return finish(0);
      }
      areas = std::min(areas + n, 9000000000000000000LL - n);
      plan.push_back(std::move(p));
      fields[kAreaLeft].clear();
      fields[kAreaBottom].clear();
      fields[kResolution].clear();
      fields[kDistance].clear();
    }
  }
  // A run that checks nothing has found nothing: that is no clean run.
  if (plan.empty()) {
    if (checksInFile == 0)
      Box(utilib::Format("No Check in Check File %s", s_[kCheckFile].c_str()));
    else
      Box(utilib::Format("No Check from Start Check %d to Finish Check %d", startCheck, finishCheck));
    return finish(0);
  }
  // Told before the run starts; a count no run could finish in minutes is asked about.
  utilib::SetItemText(m_.job, utilib::Format("%lld Areas to Check ...", areas), kStatusItem);
  if (areas > kAskAreas &&
      !utilib::AskOkOrAbort(m_.job, utilib::Format("%lld Areas to Check ... Continue?", areas)))
    return finish(0);

  // Without a report the flags would be lost: stop before any check runs.
  auto report = std::make_unique<os::TextWriter>();
  const bool erase = s_.eraseReport && !resuming;
  if (!report->Open(s_[kReportName], erase, !erase)) {
    Box("Can't Open Report File");
    return finish(0);
  }
  m_.job.report = std::move(report);
  if (!d_.index || db::FindCell(*d_.index, s_[kCell]) == 0) {
    s_[kCell] = "???";
    return finish(0);
  }
  m_.raster.SetTopCell(d_.index->foundRow);

  bool first = true;
  for (Planned& p : plan) {
    check_ = std::move(p.check);
    m_.checkNumber = check_.number;
    m_.title = check_.title;
    m_.checkFlags = 0;
    // A report that keeps its old lines keeps the map files they name: the copies are numbered after
    // those in the folder and, resuming, after those the stopped run made, which may have been moved
    // away. A report started afresh takes the old run's names from 1 again.
    m_.mapNumber = erase ? 0 : LastMapNumber(m_.cellName, m_.checkNumber);
    if (resuming && first) m_.mapNumber = std::max(m_.mapNumber, resumedLastMap);
    first = false;
    // A resume point, or a start the user set, wins over the check's own LOCATION.
    if (check_.hasLocation && s_[kAreaLeft].empty() && s_[kAreaBottom].empty()) {
      s_[kAreaLeft] = check_.locationX;
      s_[kAreaBottom] = check_.locationY;
    }
    m_.geometry = p.geometry;
    m_.side = m_.geometry.D;
    StartPosition(s_, w_, m_.geometry, u_, x0_, y0_);
    total_ = CountRemainingAreas(w_, m_.geometry, w_.bottom - m_.geometry.guard, w_.left - m_.geometry.guard);
    done_ = total_ - CountRemainingAreas(w_, m_.geometry, y0_, x0_);
    run_ = 0;
    average_ = 0;
    ReportHeader();
    start_ = tick_();
    if (!Areas()) return finish(0);
    s_[kAreaLeft].clear();
    s_[kAreaBottom].clear();
    s_[kResolution].clear();
    s_[kDistance].clear();
    utilib::ShowPause(m_.job, 500);
    FreeSlots();
    if (m_.job.abort) {
      // Stopped between checks: the next Go starts with the next one.
      s_[kStartCheck] = std::to_string(m_.checkNumber + 1);
      s_.SetResumePoint(0);
      return finish(0);
    }
  }
  s_[kAreaLeft].clear();
  s_[kAreaBottom].clear();
  s_[kResolution].clear();
  s_[kDistance].clear();
  return finish(1);
}

}  // namespace

RunOutcome RunChecks(Machine& m, DrcSettings& settings, const DrawingUnits& drawing,
                     const std::function<std::uint32_t()>& tick) {
  Run run(m, settings, drawing, tick);
  return run.Go();
}

}  // namespace drc
