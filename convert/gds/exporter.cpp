#include "convert/gds/exporter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "convert/gds/record_writer.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/stream.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"
#include "utilib/cell_list.h"
#include "utilib/geometry_checks.h"

namespace gds {

namespace {

using utilib::Format;

struct Counts {
  long boundaries = 0, paths = 0, texts = 0, instances = 0;
};

class Exporter {
 public:
  Exporter(utilib::Job& job, ExportSettings& s) : job_(job), s_(s) {}
  int Run(ExportResult* result);

 private:
  friend class StructureBody;

  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void Report(const std::string& text) {
    utilib::ReportOnNextLine(job_, text, 5, kExpMessages);
  }
  bool OpenTlc(tlc::FileLineSource& source, const std::string& cell) const {
    return utilib::OpenCellTlc(source, main_, cell, utilib::CellFileExtension::Main) == 1;
  }
  std::int32_t Out(long double value) const {
    if (integralRatio_ != 0) {
      // Whole ratios need no rounding: the product is exact in 64 bits.
      const long double whole = std::trunc(value);
      if (whole == value && std::fabs(value) < 2147483648.0L) {
        const std::int64_t v = static_cast<std::int64_t>(value) * integralRatio_;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
      }
    }
    const long double v = std::trunc(value * ratio_);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
  }
  std::string ScalesLine() const {
    return Format("Scales: TLC=%gunits/%s  GDS=%gunits/%s   Rescale Ratio: %g   Lambda: %g%s",
                  scale_, unit_.c_str(), static_cast<double>(s_.gdsUnits), unit_.c_str(),
                  static_cast<double>(ratio_), s_.lambda, unit_.c_str());
  }
  bool ComputeScales(const tlc::TlcHeader& header);
  bool BuildCellList();
  bool WriteGdsStructure(const utilib::CellListEntry& cell);
  void ShowCount(int index, long value, long* maximum);
  void WriteOrientation(int code);

  utilib::Job& job_;
  ExportSettings& s_;
  GdsWriter* out_ = nullptr;
  utilib::MainFileName main_;
  utilib::CellList cells_;
  int writing_ = 0;  // the listed cell whose structure is being written
  double scale_ = 1;  // S
  double mainScale_ = 0;
  std::string mainUnit_;  // as the main header gives it
  std::string unit_ = "um";
  long double ratio_ = 1;  // R
  std::int64_t integralRatio_ = 1;  // R when it is a whole number up to 2^31, else 0
  utilib::GeometrySettings geometry_;
  Counts current_;
  Counts maxima_;
};

// Turns the records of one TLC file into the elements of its structure.
class StructureBody : public tlc::RecordConsumer {
 public:
  explicit StructureBody(Exporter& e) : e_(e) {}

  void CellRef(const tlc::TlcCellRef& ref) override;
  void Box(const tlc::TlcBox& box) override;
  void Path(const tlc::TlcPath& path) override;
  void Text(const tlc::TlcText& text) override;
  void ReadError(tlc::Keyword, std::string_view message) override {
    e_.Stop(std::string(message) + " ... Can't Continue");
  }
  bool Stopped() const override {
    // Esc is polled now and then: a poll is cheap, but not free on every record.
    if ((++records_ & 255) == 0) utilib::PollEscape(e_.job_);
    return e_.job_.abort;
  }

 private:
  int GdsLayer(int layer) const { return layer == 64 ? e_.s_.layer64To : layer; }
  GdsWriter& W() { return *e_.out_; }

  Exporter& e_;
  mutable unsigned records_ = 0;
  std::vector<GdsPoint> points_;
  utilib::Shape shape_;  // kept from path to path, so its vertices are not allocated afresh
};

void Exporter::WriteOrientation(int code) {
  out_->WriteStrans((code & 4) ? 0x8000 : 0);
}

void Exporter::ShowCount(int index, long value, long* maximum) {
  utilib::SetItemNumber(job_, value, kExpCounts + index);
  if (value > *maximum) {
    *maximum = value;
    utilib::SetItemNumber(job_, value, kExpMaxima + index);
  }
}

void StructureBody::CellRef(const tlc::TlcCellRef& ref) {
  Exporter& e = e_;
  // A reference names the structure of the first listed cell of its name without regard to case.
  const int listed = e.cells_.FindListedCell(ref.name);
  // One that breaks the rank rule (told while listing) would make a loop of the library.
  if (listed && !utilib::ListedPlacementAllowed(e.cells_[e.writing_], e.cells_[listed])) return;
  e.ShowCount(3, ++e.current_.instances, &e.maxima_.instances);
  std::string name = listed ? e.cells_[listed].name : ref.name;
  if (e.s_.lowercase)
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const long double kAngles[4] = {0.0L, 90.0L, 180.0L, 270.0L};
  W().WriteSref();
  W().WriteSname(name);
  e.WriteOrientation(ref.orientation);
  W().WriteMag(1.0L);
  W().WriteAngle(kAngles[ref.orientation & 3]);
  const GdsPoint p{e.Out(ref.x), e.Out(ref.y)};
  W().WriteXy(&p, 1);
  W().WriteEndEl();
}

void StructureBody::Box(const tlc::TlcBox& box) {
  Exporter& e = e_;
  if (!e.s_.layers.IsLayerSelected(box.layer)) return;
  if (!utilib::CheckCrushedBox(e.job_, e.geometry_, box.layer, box.left, box.bottom, box.right,
                               box.top))
    return;
  e.ShowCount(0, ++e.current_.boundaries, &e.maxima_.boundaries);
  const std::int32_t x1 = e.Out(box.left), y1 = e.Out(box.bottom);
  const std::int32_t x2 = e.Out(box.right), y2 = e.Out(box.top);
  const GdsPoint corners[5] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
  W().WriteBoundaryElement(GdsLayer(box.layer), e.s_.dataType, corners, 5);
}

void StructureBody::Path(const tlc::TlcPath& path) {
  Exporter& e = e_;
  if (!e.s_.layers.IsLayerSelected(path.layer)) return;
  utilib::Shape& shape = shape_;
  shape.layer = path.layer;
  shape.width = path.width;
  shape.toPath = false;
  shape.v.resize(path.x.size());
  for (std::size_t i = 0; i < path.x.size(); ++i) shape.v[i] = {path.x[i], path.y[i]};
  utilib::RemoveDuplicateVertices(e.job_, e.geometry_, shape);
  if (!utilib::CheckPolyShape(e.job_, e.geometry_, shape)) return;

  points_.resize(shape.v.size());
  for (std::size_t i = 0; i < shape.v.size(); ++i)
    points_[i] = {e.Out(shape.v[i].x), e.Out(shape.v[i].y)};
  if (shape.width == 0 && !shape.toPath) {
    // A BOUNDARY of fewer than four points is no closed figure: readers drop it. An open triangle
    // is closed; a line has no area to keep.
    if (points_.size() == 3 &&
        (points_[0].x != points_[2].x || points_[0].y != points_[2].y)) {
      points_.push_back(points_.front());
    } else if (points_.size() < 4) {
      e.Report(utilib::AtPosition(e.geometry_, "Poly Line Segment not Converted", shape.v[0].x,
                                  shape.v[0].y, shape.layer));
      return;
    }
    e.ShowCount(0, ++e.current_.boundaries, &e.maxima_.boundaries);
    W().WriteBoundaryElement(GdsLayer(shape.layer), e.s_.dataType, points_.data(), points_.size());
    return;
  }
  e.ShowCount(1, ++e.current_.paths, &e.maxima_.paths);
  const long double width = shape.toPath
                                ? static_cast<long double>(e.s_.defaultPathWidth) * e.scale_
                                : static_cast<long double>(shape.width);
  const std::int32_t w = e.Out(width);
  W().WritePathElement(GdsLayer(shape.layer), e.s_.dataType, shape.width < 0 ? 2 : 0,
                       w < 0 ? (w == INT32_MIN ? INT32_MAX : -w) : w, points_.data(), points_.size());
}

void StructureBody::Text(const tlc::TlcText& text) {
  Exporter& e = e_;
  if (!e.s_.convertText || !e.s_.layers.IsLayerSelected(text.layer)) return;
  e.ShowCount(2, ++e.current_.texts, &e.maxima_.texts);
  int r = 0;
  for (int i = 0; i < 4; ++i)
    if (e.s_.rows[i].size * e.scale_ - 1 <= text.size) r = i;
  const ExportTextRow& row = e.s_.rows[r];
  static const long double kAngles[4] = {0.0L, 90.0L, 180.0L, 270.0L};
  W().WriteText();
  W().WriteLayer(GdsLayer(text.layer));
  W().WriteTextType(row.textType);
  W().WritePresentation(row.justification + 16 * row.font);
  W().WriteWidth(e.Out(static_cast<long double>(row.width) * e.scale_));
  e.WriteOrientation(text.orientation);
  W().WriteMag(row.mag);
  W().WriteAngle(kAngles[text.orientation & 3]);
  const GdsPoint p{e.Out(text.x), e.Out(text.y)};
  W().WriteXy(&p, 1);
  W().WriteString(text.text);
  W().WriteEndEl();
}

bool Exporter::ComputeScales(const tlc::TlcHeader& header) {
  scale_ = header.scale < 1 ? 1 : header.scale;
  unit_ = header.unit;
  for (char& c : unit_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (unit_ != "um" && unit_ != "mil") {
    job_.ui->Box(kExportProgram, "Phys Units are not um or mil ... Defaulting to um",
                        tell::Buttons::Ok);
    unit_ = "um";
  }
  ratio_ = static_cast<long double>(s_.gdsUnits) / static_cast<long double>(scale_) *
           static_cast<long double>(s_.lambda);
  integralRatio_ = ratio_ == std::trunc(ratio_) && ratio_ >= 1 && ratio_ < 2147483648.0L
                       ? static_cast<std::int64_t>(ratio_)
                       : 0;
  if (ratio_ != std::trunc(ratio_) || ratio_ < 1)
    job_.ui->Box(kExportProgram, "Resolution may be Lost ... Rescale Ratio is not Integral",
                        tell::Buttons::Ok);
  geometry_.scale = scale_;
  geometry_.protocol = s_.protocol;
  geometry_.intersections = s_.intersections;
  geometry_.resolution = ResolutionInDatabaseUnits(s_, scale_);
  geometry_.defaultPathWidth =
      static_cast<std::int32_t>(std::lround(s_.defaultPathWidth * scale_));
  geometry_.firstLine = kExpMessages;
  geometry_.lines = 5;
  geometry_.operationItem = kExpOperation;
  geometry_.progressItem = kExpPercent;
  return true;
}

bool Exporter::BuildCellList() {
  utilib::CellListReading how;
  how.extension = utilib::CellFileExtension::Main;
  how.mainScale = mainScale_;
  how.mainUnit = mainUnit_;
  how.firstLine = kExpMessages;
  how.rankBreaksLeftOut = true;
  how.beforeCell = [this](const std::string& name) {
    utilib::SetItemText(job_, Format("Reading %s.TLC ...", name.c_str()), kExpOperation);
    return true;
  };
  return utilib::BuildCellList(job_, main_, s_.mainCell, cells_, how) == 1;
}

bool Exporter::WriteGdsStructure(const utilib::CellListEntry& cell) {
  current_ = {};
  utilib::ClearMessageLines(job_, 4, kExpMessages);
  std::string name = cell.name;
  if (s_.lowercase)
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  utilib::SetItemText(job_, name, kExpStructure);
  const std::tm now = os::LocalTime();
  out_->WriteBgnStr(now, now);
  out_->WriteStrName(name);
  if (cell.rank < 1 || cell.rank > 15) {
    Stop(Format("%s Rank is Incorrect ... Can't Continue", cell.name.c_str()));
  } else {
    tlc::FileLineSource source;
    if (!OpenTlc(source, cell.name)) {
      Stop(Format("%s.TLC File is Missing ... Can't Continue", cell.name.c_str()));
    } else {
      tlc::TlcStream stream(source);
      StructureBody body(*this);
      tlc::ReadTlcRecords(stream, body);
    }
  }
  out_->WriteEndStr();
  utilib::ReportPrintf(job_, "%-24s%-12ld%-12ld%-12ld%-12ld\n", name.c_str(), current_.boundaries,
                       current_.paths, current_.texts, current_.instances);
  return !job_.abort;
}

int Exporter::Run(ExportResult* result) {
  utilib::SetItemText(job_, Format("Reading %s.TLC ...", s_.mainCell.c_str()), kExpOperation);
  main_ = {s_.tlcDrive, s_.tlcFolder, s_.mainCell, s_.tlcExtension};
  tlc::TlcHeader header;
  if (!utilib::ReadCellTlcHeader(main_, s_.mainCell, utilib::CellFileExtension::Main, header)) {
    Stop("Main TLC file is Missing ... Can't Continue");
    return 0;
  }
  if (!(header.scale > 0)) {
    Stop("TLC Scale is Missing ... Can't Continue");
    return 0;
  }
  mainScale_ = header.scale;
  mainUnit_ = header.unit;
  ComputeScales(header);
  utilib::ShowScalesLine(job_, ScalesLine());
  if (!utilib::OpenConversionReport(job_, s_.reportFile, "TLC to GDS Conversion Report")) {
    Stop("Unable to Open Report File ... Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "GDS File Name: %s\n", s_.gdsFile.c_str());
  utilib::ReportPrintf(job_, "GDS Library Drawing Name: %s\n", s_.libraryName.c_str());
  utilib::ReportPrintf(job_, "GDS Scale: %g per %s\n", static_cast<double>(s_.gdsUnits),
                       unit_.c_str());
  utilib::ReportPrintf(job_, "MERO Scale: %g per %s\n", scale_, unit_.c_str());
  utilib::ReportPrintf(job_, "Rescale Ratio: %g\n", static_cast<double>(ratio_));
  utilib::ReportPrintf(job_, "Lambda: %g%s\n", s_.lambda, unit_.c_str());
  utilib::ReportPrintf(job_, "Filtered Layers: %s\n", s_.main[9].c_str());

  if (!BuildCellList()) return 0;
  utilib::SetItemText(job_, "Sorting Cells ...", kExpOperation);
  utilib::RankSortCells(cells_, s_.ascending);

  utilib::ShowScalesLine(job_, ScalesLine());
  utilib::ReportPrintf(job_, "\nStructure             Boundaries  Paths       Text        Srefs\n%s\n",
                       std::string(63, '-').c_str());
  os::BinaryWriter file;
  if (!file.Open(s_.gdsFile)) {
    Stop("Unable to Open GDS File ... Can't Continue");
    return 0;
  }
  GdsWriter out([&file](const std::uint8_t* data, std::size_t size) {
    file.Write(data, size);
    return !file.Failed();
  });
  out.SetReal8Correction(s_.correction);
  out_ = &out;

  const long double g = static_cast<long double>(s_.gdsUnits);
  out.WriteHeaderRecord();
  const std::tm now = os::LocalTime();
  out.WriteBgnLib(now, now);
  out.WriteLibName(s_.libraryName);
  out.WriteGenerations(3);
  out.WriteUnits(1.0L / g, 1.0L / g * (unit_ == "mil" ? 2.54e-5L : 1e-6L));

  const int structures = utilib::ConvertListedCells(
      job_, cells_, kExpOperation, 500, [&](int n) {
        writing_ = n;
        return WriteGdsStructure(cells_[n]) && !out.Failed();
      });
  if (!job_.abort) out.WriteEndLib();
  out.Flush();
  out_ = nullptr;
  if (out.Failed() || !file.Commit()) {
    file.Abandon();
    Stop("Unable to Write GDS File ... Can't Continue");
    return 0;
  }
  if (result) {
    result->bytes = out.BytesWritten();
    result->structures = structures;
  }
  return job_.abort ? 0 : 1;
}

}  // namespace

std::string ExportCompletedText(const ExportResult& result) {
  return Format("Completed ... %lld Bytes in GDS File", static_cast<long long>(result.bytes));
}

int ExportGds(utilib::Job& job, ExportSettings& settings, ExportResult* result) {
  job.abort = false;
  Exporter exporter(job, settings);
  return exporter.Run(result);
}

}  // namespace gds
