#include "convert/dxf/exporter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_set>

#include "convert/dxf/dxf_writer.h"
#include "editor/db/helpers.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/run.h"
#include "editor/tlc/stream.h"
#include "platform/os/textfile.h"
#include "utilib/cell_list.h"

namespace dxf {

namespace {

using db::PathPoint;
using utilib::Format;

constexpr double kAcuteTurn = 1.5723670963;

struct Counts {
  long polylines = 0, texts = 0, inserts = 0;
};

// Reads a TLC file's records, widening the drawing's extent by every coordinate.
class ExtentReader : public tlc::RecordConsumer {
 public:
  ExtentReader(DxfExtent& extent, double scale) : extent_(extent), scale_(scale) {}
  void CellRef(const tlc::TlcCellRef& r) override { Add(r.x, r.y); }
  void Box(const tlc::TlcBox& b) override {
    Add(b.left, b.bottom);
    Add(b.right, b.top);
  }
  void Path(const tlc::TlcPath& p) override {
    for (std::size_t i = 0; i < p.x.size(); ++i) Add(p.x[i], p.y[i]);
  }
  void Text(const tlc::TlcText& t) override { Add(t.x, t.y); }
  // A record that cannot be read stops the run when the layers are gathered.
  void ReadError(tlc::Keyword, std::string_view) override {}

 private:
  void Add(double x, double y) { extent_.ExtendDxfExtent(x / scale_, y / scale_); }
  DxfExtent& extent_;
  double scale_;
};

// Gathers the TLC layers in use; a record whose layer cannot be read stops the run.
class LayerCollector : public tlc::RecordConsumer {
 public:
  LayerCollector(utilib::Job& job, std::uint64_t& used) : job_(job), used_(used) {}
  void Box(const tlc::TlcBox& b) override { Use(b.layer); }
  void Path(const tlc::TlcPath& p) override { Use(p.layer); }
  void Text(const tlc::TlcText& t) override { Use(t.layer); }
  void ReadError(tlc::Keyword kind, std::string_view) override {
    const char* text = kind == tlc::Keyword::Box    ? "Box Layer Read Error"
                       : kind == tlc::Keyword::Path ? "Path Layer Read Error"
                       : kind == tlc::Keyword::Text ? "Text Layer Read Error"
                                                    : nullptr;
    if (!text) return;  // instances are read again, and judged, when they are written
    utilib::StopJob(job_, text);
  }
  bool Stopped() const override { return job_.abort; }

 private:
  void Use(int layer) {
    if (layer >= 1 && layer <= 64) used_ |= std::uint64_t{1} << (layer - 1);
  }
  utilib::Job& job_;
  std::uint64_t& used_;
};

class Exporter {
 public:
  Exporter(utilib::Job& job, ExportSettings& s) : job_(job), s_(s) {}
  int Run(ExportResult* result);

 private:
  friend class BlockBody;

  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void Report(const std::string& text) { utilib::ReportOnNextLine(job_, text, 5, kExpMessages); }
  std::string At(const char* what, const PathPoint& p, int layer) const {
    return utilib::AtPosition(geometry_, what, p.x, p.y, layer);
  }
  bool OpenTlc(tlc::FileLineSource& source, const std::string& cell) const {
    return utilib::OpenCellTlc(source, main_, cell, utilib::CellFileExtension::Tlc) == 1;
  }
  std::string LayerName(int layer) const { return s_.prefix + std::to_string(layer); }
  double Out(double value) const { return value / scale_; }
  // The block an instance goes to: the first listed cell of that name in any case, since DXF
  // block names are not told apart by case.
  const std::string& BlockName(const std::string& name) const {
    const int listed = cells_.FindListedCell(name);
    return listed ? cells_[listed].name : name;
  }

  bool ReadExtent();
  bool BuildCellList();
  void SortCells();
  bool CollectUsedLayers();
  bool WriteCell(const utilib::CellListEntry& cell, bool main);
  // Whether an instance of `name` may go out in the cell being written: the cell must be listed (a
  // full list leaves cells out), and only a cell of lower rank may be placed, so that no block is
  // inserted in itself, nor the drawing, which is no block, anywhere.
  bool Placeable(const std::string& name);
  void ShowCount(int index, long value, long* maximum);
  void WritePolyline(const utilib::Shape& shape);

  utilib::Job& job_;
  ExportSettings& s_;
  DxfWriter* out_ = nullptr;
  utilib::MainFileName main_;
  utilib::CellList cells_;
  double scale_ = 1;
  std::string unit_ = "um";
  std::string mainUnit_;
  DxfExtent extent_;
  std::uint64_t usedLayers_ = 0;
  utilib::GeometrySettings geometry_;
  Counts current_, maxima_;
  std::vector<DxfPoint> points_;
  const utilib::CellListEntry* writing_ = nullptr;
  bool writingMain_ = false;
  std::unordered_set<std::string> toldLeftOut_;
  bool leftOut_ = false;  // instances of cells a full list left out were not written
};

// Turns the records of one TLC file into the entities of its block (or of the drawing).
class BlockBody : public tlc::RecordConsumer {
 public:
  explicit BlockBody(Exporter& e) : e_(e) {}
  void CellRef(const tlc::TlcCellRef& ref) override;
  void Box(const tlc::TlcBox& box) override;
  void Path(const tlc::TlcPath& path) override;
  void Text(const tlc::TlcText& text) override;
  void ReadError(tlc::Keyword, std::string_view message) override { e_.Stop(std::string(message)); }
  bool Stopped() const override {
    if ((++records_ & 255) == 0) utilib::PollEscape(e_.job_);
    return e_.job_.abort;
  }

 private:
  Exporter& e_;
  mutable unsigned records_ = 0;
};

void Exporter::ShowCount(int index, long value, long* maximum) {
  utilib::SetItemNumber(job_, value, kExpCounts + index);
  if (value > *maximum) {
    *maximum = value;
    utilib::SetItemNumber(job_, value, kExpMaxima + index);
  }
}

void Exporter::WritePolyline(const utilib::Shape& shape) {
  ShowCount(0, ++current_.polylines, &maxima_.polylines);
  const bool polygon = shape.width == 0;
  std::size_t n = shape.v.size();
  // The closed flag draws the closing edge; the repeated first point goes out only on request.
  if (polygon && !s_.includeLastVertex && n > 1 && shape.v.front() == shape.v.back()) --n;
  points_.resize(n);
  for (std::size_t i = 0; i < n; ++i) points_[i] = {Out(shape.v[i].x), Out(shape.v[i].y)};
  const double width = std::fabs(static_cast<double>(shape.width));
  out_->WriteDxfPolyline(LayerName(shape.layer), Out(width), points_, polygon, s_.widthInVertex);
}

bool Exporter::Placeable(const std::string& name) {
  const int listed = cells_.FindListedCell(name);
  if (listed == 0) {
    leftOut_ = true;
    if (toldLeftOut_.insert(tlc::UpperCase(name)).second)
      Report(Format("Instance of %s Left Out with its Cell", name.c_str()));
    return false;
  }
  const utilib::CellListEntry& placed = cells_[listed];
  if (listed == 1 || (!writingMain_ && !utilib::ListedPlacementAllowed(*writing_, placed))) {
    Report(Format("Instance of %s (Rank %d) in %s (Rank %d) Breaks the Rank Rule ... Left Out", name.c_str(),
                  static_cast<int>(placed.rank), writing_->name.c_str(), static_cast<int>(writing_->rank)));
    return false;
  }
  return true;
}

void BlockBody::CellRef(const tlc::TlcCellRef& ref) {
  if (!e_.Placeable(ref.name)) return;
  e_.ShowCount(2, ++e_.current_.inserts, &e_.maxima_.inserts);
  e_.out_->WriteDxfInsert(e_.BlockName(ref.name), e_.Out(ref.x), e_.Out(ref.y), ref.orientation);
}

void BlockBody::Box(const tlc::TlcBox& box) {
  if (!utilib::CheckCrushedBox(e_.job_, e_.geometry_, box.layer, box.left, box.bottom, box.right, box.top))
    return;
  utilib::Shape shape;
  shape.layer = box.layer;
  shape.v = {{box.left, box.bottom}, {box.right, box.bottom}, {box.right, box.top}, {box.left, box.top},
             {box.left, box.bottom}};
  e_.WritePolyline(shape);
}

void BlockBody::Path(const tlc::TlcPath& path) {
  utilib::Shape shape;
  shape.layer = path.layer;
  shape.width = path.width;
  shape.v.resize(path.x.size());
  for (std::size_t i = 0; i < path.x.size(); ++i) shape.v[i] = {path.x[i], path.y[i]};
  if (e_.s_.pathsToPolygons && shape.width != 0) {
    if (utilib::PathToPolygon(e_.job_, e_.geometry_, shape))
      shape.v.erase(std::unique(shape.v.begin(), shape.v.end()), shape.v.end());
  } else if (e_.s_.inlineEnds && shape.width < 0 && shape.Count() >= 2) {
    const PathPoint first = shape.v[0];
    if (utilib::InlinePathEnds(e_.job_, e_.geometry_, shape))
      e_.Report(e_.At("Path Ends Changed to Inline", first, shape.layer));
  }
  if (!CheckDxfPolyline(e_.job_, e_.geometry_, e_.s_.properPolylines, shape)) return;
  if (shape.width < 0) e_.Report(e_.At("Path has Extended Ends", shape.v[0], shape.layer));
  e_.WritePolyline(shape);
}

void BlockBody::Text(const tlc::TlcText& text) {
  if (!e_.s_.convertText) return;
  e_.ShowCount(1, ++e_.current_.texts, &e_.maxima_.texts);
  e_.out_->WriteDxfText(e_.LayerName(text.layer), e_.Out(text.x), e_.Out(text.y), e_.Out(text.size), text.text,
                        text.orientation);
}

bool Exporter::ReadExtent() {
  utilib::SetItemText(job_, "Reading TLC Extent ...", kExpOperation);
  tlc::FileLineSource source;
  if (!OpenTlc(source, s_.mainCell)) {
    Stop("Main TLC file is Missing ... Can't Continue");
    return false;
  }
  tlc::TlcStream stream(source);
  ExtentReader reader(extent_, scale_);
  tlc::ReadTlcRecords(stream, reader);
  return true;
}

bool Exporter::BuildCellList() {
  utilib::SetItemText(job_, "Reading TLC Names ...", kExpOperation);
  utilib::CellListReading how;
  how.extension = utilib::CellFileExtension::Tlc;
  how.mainScale = scale_;
  how.mainUnit = mainUnit_;
  how.firstLine = kExpMessages;
  how.honourAbort = false;
  how.missingFormat = "%s.TLC file is Missing ... Can't Continue";
  return utilib::BuildCellList(job_, main_, s_.mainCell, cells_, how) == 1;
}

// The main cell stays first: it is the drawing, whatever rank its header gives. The others go into
// ascending rank, so every block is defined before a block that inserts it.
void Exporter::SortCells() {
  utilib::SetItemText(job_, "Sorting Cells ...", kExpOperation);
  utilib::RankSortCells(cells_, true, 2);
}

bool Exporter::CollectUsedLayers() {
  utilib::SetItemText(job_, "Reading TLC Layers ...", kExpOperation);
  for (const utilib::CellListEntry& cell : cells_.entries) {
    tlc::FileLineSource source;
    if (!OpenTlc(source, cell.name)) {
      Stop(Format("%s.TLC file is Missing ... Can't Continue", cell.name.c_str()));
      return false;
    }
    tlc::TlcStream stream(source);
    LayerCollector collector(job_, usedLayers_);
    tlc::ReadTlcRecords(stream, collector);
    if (job_.abort) return false;
  }
  return true;
}

bool Exporter::WriteCell(const utilib::CellListEntry& cell, bool main) {
  current_ = {};
  writing_ = &cell;
  writingMain_ = main;
  tlc::FileLineSource source;
  if (!OpenTlc(source, cell.name)) {
    Stop(Format("%s.TLC file is Missing ... Can't Continue", cell.name.c_str()));
    return false;
  }
  tlc::TlcStream stream(source);
  BlockBody body(*this);
  tlc::ReadTlcRecords(stream, body);
  return !job_.abort;
}

int Exporter::Run(ExportResult* result) {
  utilib::SetItemText(job_, "Reading TLC Header ...", kExpOperation);
  main_ = {s_.tlcDrive, s_.tlcFolder, s_.mainCell, ".TLC"};
  tlc::TlcHeader header;
  if (!utilib::ReadCellTlcHeader(main_, s_.mainCell, utilib::CellFileExtension::Tlc, header)) {
    Stop("Main TLC file is Missing ... Can't Continue");
    return 0;
  }
  if (!(header.scale > 0)) {
    Stop("TLC scale is Missing ... Can't Continue");
    return 0;
  }
  scale_ = header.scale;
  mainUnit_ = header.unit;
  // Drawing units are the TLC file's physical units: say which.
  unit_ = header.unit.empty() ? "um" : header.unit;
  for (char& c : unit_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  geometry_.scale = scale_;
  geometry_.protocol = s_.properPolylines;
  geometry_.firstLine = kExpMessages;
  geometry_.lines = 5;
  geometry_.operationItem = kExpOperation;
  utilib::SetItemText(job_,
                      Format("TLC Scale: %gunits/%s   DXF Scale: 1unit= 1%s", scale_, unit_.c_str(), unit_.c_str()),
                      kExpScales);
  if (!utilib::OpenConversionReport(job_, s_.reportFile, "TLC to DXF Conversion Report")) {
    Stop("Unable to Open Report File ... Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "Main TLC File Name: %s\n", s_.mainFile.c_str());
  utilib::ReportPrintf(job_, "DXF File Name: %s\n", s_.dxfFile.c_str());
  utilib::ReportPrintf(job_, "TLC Scale: %gunits/%s\n", scale_, unit_.c_str());
  utilib::ReportPrintf(job_, "DXF Scale: 1unit= 1%s\n", unit_.c_str());
  if (s_.pathsToPolygons) utilib::ReportPrintf(job_, "Paths were Converted to Polygons\n");
  utilib::ReportPrintf(job_, "\nBlock                  Polylines   Text       Inserts\n%s\n",
                       std::string(53, '-').c_str());
  utilib::ShowPause(job_, 500);
  if (job_.abort) return 0;

  if (!ReadExtent() || !BuildCellList()) return 0;
  SortCells();
  if (!CollectUsedLayers()) return 0;

  os::TextWriter file;
  if (!file.Open(s_.dxfFile)) {
    Stop("Unable to Open DXF File ... Can't Continue");
    return 0;
  }
  DxfWriter out([&file](std::string_view text) {
    file.Write(text);
    return !file.Failed();
  });
  out_ = &out;
  utilib::SetItemText(job_, "Writing DXF Header ...", kExpOperation);
  out.WriteDxfHeader(extent_);
  utilib::SetItemText(job_, "Writing DXF Tables ...", kExpOperation);
  out.WriteDxfTables(s_.prefix, usedLayers_);
  utilib::SetItemText(job_, "Writing DXF Blocks ...", kExpOperation);
  out.BeginBlocks();
  int blocks = 0;
  std::unordered_set<std::string> written;
  for (int i = 2; i <= cells_.Count() && !job_.abort; ++i) {
    const utilib::CellListEntry& cell = cells_[i];
    if (!written.insert(tlc::UpperCase(cell.name)).second) continue;
    utilib::ClearMessageLines(job_, 4, kExpMessages);
    utilib::SetItemText(job_, cell.name, kExpBlock);
    out.WriteDxfBlock(cell.name);
    const bool ok = WriteCell(cell, false);
    out.EndDxfBlock();
    utilib::ReportPrintf(job_, "%-24s%-12ld%-12ld%-12ld\n", cell.name.c_str(), current_.polylines, current_.texts,
                         current_.inserts);
    if (!ok || out.Failed()) break;
    ++blocks;
    utilib::ShowPause(job_, 200);
  }
  out.EndSection();
  if (!job_.abort && !out.Failed()) {
    utilib::SetItemText(job_, "Writing DXF Entities ...", kExpOperation);
    utilib::ClearMessageLines(job_, 4, kExpMessages);
    utilib::SetItemText(job_, s_.mainCell, kExpBlock);
    out.BeginEntities();
    if (WriteCell(cells_[1], true)) {
      utilib::ReportPrintf(job_, "%-24s%-12ld%-12ld%-12ld\n", s_.mainCell.c_str(), current_.polylines,
                           current_.texts, current_.inserts);
    }
    out.EndSection();
    if (!job_.abort) out.WriteEof();
  }
  out.Flush();
  out_ = nullptr;
  if (out.Failed() || !file.Commit()) {
    Stop("Unable to Write DXF File ... Can't Continue");
    return 0;
  }
  if (result) {
    result->bytes = out.FileBytes();
    result->blocks = blocks;
  }
  if (leftOut_ && !job_.abort) {
    // The file holds what the list had room for; the run did not convert the whole drawing.
    utilib::ReportPrintf(job_, "\nInstances of Cells Left Out of the Full Cell List were not Written\n");
    return 0;
  }
  return job_.abort ? 0 : 1;
}

// Turn at vertex b of the corner a, b, c: 0 straight on, pi straight back.
double Turn(const PathPoint& a, const PathPoint& b, const PathPoint& c) {
  double t1 = db::ComputeDirectionAngle(double(b.x) - a.x, double(b.y) - a.y);
  double t2 = db::ComputeDirectionAngle(double(c.x) - b.x, double(c.y) - b.y);
  double t = std::fabs(t2 - t1);
  return t > 3.1415926 ? 6.2831853 - t : t;
}

}  // namespace

int CheckDxfPolyline(utilib::Job& job, const utilib::GeometrySettings& g, bool proper, utilib::Shape& shape) {
  auto report = [&](const char* what, const PathPoint& p) {
    utilib::ReportOnNextLine(job, utilib::AtPosition(g, what, p.x, p.y, shape.layer), g.lines, g.firstLine);
  };
  const int n = shape.Count();
  if (n <= 1) {
    report("Single Point Removed", n ? shape.v[0] : PathPoint{});
    return 0;
  }
  const PathPoint first = shape.v[0];
  const bool polygon = shape.IsPolygon();
  const bool open = !shape.IsClosed();
  if (!proper) {
    if (polygon && n == 2) report("Poly Line Segment", first);
    else if (polygon && open) report("Open Poly", first);
    return 1;
  }
  auto corner = [&](int a, int b, int c) {
    const PathPoint &pa = shape.v[a], &pb = shape.v[b], &pc = shape.v[c];
    if (pa == pb || pb == pc || Turn(pa, pb, pc) > kAcuteTurn) report("Acute Poly/Path Angle", pb);
  };
  for (int i = 0; i + 2 < n; ++i) corner(i, i + 1, i + 2);
  if (polygon && !open && n >= 4) corner(n - 2, 0, 1);
  if (!polygon) return 1;
  utilib::CheckPolyCirculation(job, g, shape);
  if (n == 2) {
    if (!utilib::AskOkOrAbort(job, utilib::AtPosition(g, "Poly Line Segment", first.x, first.y, shape.layer) +
                                       "\n\nRemove It or Cancel Conversion?"))
      return 0;
    report("Poly Line Segment Removed", first);
    return 0;
  }
  if (open) {
    if (!utilib::AskOkOrAbort(job, utilib::AtPosition(g, "Open Poly", first.x, first.y, shape.layer) +
                                       "\n\nClose It or Cancel Conversion?"))
      return 0;
    // Past the record's room the closed flag alone closes it.
    if (n < utilib::kMaxShapeVertices) shape.v.push_back(first);
    report("Open Poly Closed", first);
    if (shape.IsClosed()) utilib::CheckAcuteAngles(job, g, shape, true);
  }
  return 1;
}

std::string ExportCompletedText(const ExportResult& result) {
  return Format("Completed ... %lld Bytes in DXF File", static_cast<long long>(result.bytes));
}

int ExportDxf(utilib::Job& job, ExportSettings& settings, ExportResult* result) {
  job.abort = false;
  Exporter exporter(job, settings);
  return exporter.Run(result);
}

}  // namespace dxf
