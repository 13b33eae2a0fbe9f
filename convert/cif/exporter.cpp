#include "convert/cif/exporter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "convert/cif/dialect.h"
#include "convert/cif/lexer.h"
#include "convert/cif/text_template.h"
#include "editor/db/helpers.h"
#include "editor/tlc/readers.h"
#include "editor/tlc/stream.h"
#include "editor/tlc/writer.h"
#include "platform/os/textfile.h"
#include "utilib/cell_list.h"
#include "utilib/geometry_checks.h"

namespace cif {

namespace {

using utilib::Format;

// The records of one TLC file in file order; a record that could not be read keeps its place.
struct CellRecords {
  struct Item {
    tlc::Keyword kind;
    int index;  // into the vector of its kind; -1 for a record that could not be read
  };
  std::vector<Item> items;
  std::vector<tlc::TlcCellRef> refs;
  std::vector<tlc::TlcBox> boxes;
  std::vector<tlc::TlcPath> paths;
  std::vector<tlc::TlcText> texts;
};

class Collector : public tlc::RecordConsumer {
 public:
  explicit Collector(CellRecords& r) : r_(r) {}
  void CellRef(const tlc::TlcCellRef& v) override { Add(tlc::Keyword::CellRef, r_.refs, v); }
  void Box(const tlc::TlcBox& v) override { Add(tlc::Keyword::Box, r_.boxes, v); }
  void Path(const tlc::TlcPath& v) override { Add(tlc::Keyword::Path, r_.paths, v); }
  void Text(const tlc::TlcText& v) override { Add(tlc::Keyword::Text, r_.texts, v); }
  void ReadError(tlc::Keyword kind, std::string_view) override { r_.items.push_back({kind, -1}); }

 private:
  template <class T>
  void Add(tlc::Keyword kind, std::vector<T>& list, const T& v) {
    r_.items.push_back({kind, static_cast<int>(list.size())});
    list.push_back(v);
  }
  CellRecords& r_;
};

struct Counts {
  long values[5] = {0, 0, 0, 0, 0};  // boxes, polygons, wires, texts, calls
};
enum CountIndex { kBoxes, kPolygons, kWires, kTexts, kCalls };

class Exporter {
 public:
  Exporter(utilib::Job& job, ExportSettings& s) : job_(job), s_(s) {}
  int Run(ExportResult* result);

 private:
  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void Note(const std::string& text) { utilib::ReportOnNextLine(job_, text, 5, kExpMessages); }
  std::int64_t Out(double value) const {
    const double v = std::round(value * ratio_);  // halves away from zero
    if (!(v < 9.0e18)) return v != v ? 0 : INT64_MAX;
    if (!(v > -9.0e18)) return INT64_MIN;
    return static_cast<std::int64_t>(v);
  }
  void Count(int index);
  bool ComputeScales(const tlc::TlcHeader& header);
  bool BuildCellList();
  void WriteCifSymbol(int number);
  void ConvertTlcRecordsToCif(const CellRecords& records, int selection, const CifLayer* layer);
  void WriteBox(const tlc::TlcBox& box);
  void WritePath(const tlc::TlcPath& path);
  void WriteTexts(const tlc::TlcText& text);
  void WriteCall(const tlc::TlcCellRef& ref);
  bool Flush(bool all);
  std::string ScalesLine() const {
    return Format("Scales: TLC=%gunits/%s  CIF=%gum/unit   Rescale Ratio: %g   Lambda: %g%s", scale_,
                  unit_.c_str(), grid_, ratio_, s_.lambda, unit_.c_str());
  }

  utilib::Job& job_;
  ExportSettings& s_;
  std::string template_;
  utilib::MainFileName main_;
  utilib::CellList cells_;
  int writing_ = 0;  // the listed cell whose symbol is being written
  std::vector<CifLayer> layers_;
  double scale_ = 1;  // S
  std::string unit_;
  double grid_ = 0.01;  // g
  SymbolScale symbolScale_;
  double ratio_ = 1;  // R
  utilib::GeometrySettings geometry_;
  Counts current_, maxima_;
  CifText out_;
  os::TextWriter file_;
  std::int64_t bytes_ = 0;
  unsigned records_ = 0;
};

void Exporter::Count(int index) {
  const long v = ++current_.values[index];
  utilib::SetItemNumber(job_, v, kExpCounts + index);
  if (v > maxima_.values[index]) {
    maxima_.values[index] = v;
    utilib::SetItemNumber(job_, v, kExpMaxima + index);
  }
}

bool Exporter::Flush(bool all) {
  std::string& text = out_.Text();
  if (!all && text.size() < (1u << 20)) return true;
  bytes_ += static_cast<std::int64_t>(text.size() + std::count(text.begin(), text.end(), '\n'));
  file_.Write(text);
  text.clear();
  return !file_.Failed();
}

bool Exporter::ComputeScales(const tlc::TlcHeader& header) {
  scale_ = header.scale;
  unit_ = header.unit;
  grid_ = s_.grid > 0 ? s_.grid : BoundGrid(1 / scale_);
  symbolScale_ = ScaleForGrid(grid_);
  grid_ = static_cast<double>(symbolScale_.a) / symbolScale_.b / 100;
  ratio_ = 1 / (grid_ * scale_) * s_.lambda;
  utilib::ShowScalesLine(job_, ScalesLine());
  utilib::ReportPrintf(job_, "TLC Scale: %gunits/um\n", scale_);
  utilib::ReportPrintf(job_, "CIF Grid: %gum/unit\n", grid_);
  utilib::ReportPrintf(job_, "Rescale Ratio: %g\n", ratio_);
  utilib::ReportPrintf(job_, "Lambda: %g\n\n", s_.lambda);

  // A ratio or grid computed in binary is whole to within its last bits.
  const double whole = std::round(ratio_);
  if (std::fabs(ratio_ - whole) > 1e-9 * std::max(1.0, whole) || whole < 1) {
    if (!utilib::AskOkOrAbort(job_, "Resolution Lost ... Rescale Ratio is Not Integral")) return false;
  }
  const double hundredths = grid_ * 100;
  if (std::fabs(hundredths - std::round(hundredths)) > 1e-9 * hundredths) {
    if (!utilib::AskOkOrAbort(job_, "CIF Grid is not Multiple of 0.01um")) return false;
  }

  double resolution = std::trunc(s_.resolution * scale_);
  if (!(resolution >= 1)) resolution = 1;
  if (resolution > db::kCoordinateLimit) resolution = db::kCoordinateLimit;
  s_.resolution = resolution / scale_;
  s_.slots[kExpResolution] = Format("%g", s_.resolution);
  geometry_.scale = scale_;
  geometry_.protocol = s_.protocol;
  geometry_.intersections = s_.intersections;
  geometry_.resolution = static_cast<std::int32_t>(resolution);
  geometry_.defaultPathWidth = 0;
  geometry_.firstLine = kExpMessages;
  geometry_.lines = 5;
  geometry_.operationItem = kExpOperation;
  geometry_.progressItem = kExpPercent;
  return true;
}

bool Exporter::BuildCellList() {
  utilib::CellListReading how;
  how.extension = utilib::CellFileExtension::MainElseTlc;
  how.mainScale = scale_;
  how.mainUnit = unit_;
  how.firstLine = kExpMessages;
  how.honourAbort = false;
  how.rankBreaksLeftOut = true;
  how.beforeCell = [this](const std::string& name) {
    utilib::SetItemText(job_, Format("Reading %s.TLC ...", name.c_str()), kExpOperation);
    // A blank, a control character or a ";" in a name would break the commands it is written into.
    if (name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
          return static_cast<unsigned char>(c) <= ' ' || c == ';';
        })) {
      Stop(Format("%s is not a Legal Cell Name ... Can't Continue", name.c_str()));
      return false;
    }
    return true;
  };
  return utilib::BuildCellList(job_, main_, s_.mainCell, cells_, how) == 1;
}

void Exporter::WriteBox(const tlc::TlcBox& box) {
  if (!utilib::CheckCrushedBox(job_, geometry_, box.layer, box.left, box.bottom, box.right, box.top))
    return;
  const std::int64_t x1 = Out(box.left), y1 = Out(box.bottom), x2 = Out(box.right), y2 = Out(box.top);
  // A box whose centre falls between CIF units is written by its corners, so that it keeps its place.
  if ((x1 + x2) % 2 == 0 && (y1 + y2) % 2 == 0) {
    out_.Box(x2 > x1 ? x2 - x1 : x1 - x2, y2 > y1 ? y2 - y1 : y1 - y2, (x1 + x2) / 2, (y1 + y2) / 2);
    Count(kBoxes);
    return;
  }
  auto c = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  out_.Polygon({{c(x1), c(y1)}, {c(x2), c(y1)}, {c(x2), c(y2)}, {c(x1), c(y2)}, {c(x1), c(y1)}});
  Count(kPolygons);
}

void Exporter::WritePath(const tlc::TlcPath& path) {
  utilib::Shape shape;
  shape.layer = path.layer;
  shape.width = path.width;
  shape.v.resize(path.x.size());
  for (std::size_t i = 0; i < path.x.size(); ++i) shape.v[i] = {path.x[i], path.y[i]};
  utilib::RemoveDuplicateVertices(job_, geometry_, shape);
  if (!utilib::CheckPolyShape(job_, geometry_, shape)) return;
  if (s_.pathsToPoly && shape.width != 0) {
    utilib::PathToPolygon(job_, geometry_, shape);
  }
  if (shape.width > 0) {
    const db::PathPoint first = shape.v.front();
    if (utilib::CheckPathEnds(job_, geometry_, shape))
      Note(utilib::AtPosition(geometry_, "Path Ends Extended", first.x, first.y, shape.layer));
  }
  std::vector<db::PathPoint> points(shape.v.size());
  for (std::size_t i = 0; i < shape.v.size(); ++i) {
    points[i] = {static_cast<std::int32_t>(std::clamp<std::int64_t>(Out(shape.v[i].x), INT32_MIN, INT32_MAX)),
                 static_cast<std::int32_t>(std::clamp<std::int64_t>(Out(shape.v[i].y), INT32_MIN, INT32_MAX))};
  }
  if (shape.width == 0) {
    out_.Polygon(points);
    Count(kPolygons);
  } else {
    out_.Wire(Out(std::fabs(static_cast<double>(shape.width))), points);
    Count(kWires);
  }
}

void Exporter::WriteTexts(const tlc::TlcText& text) {
  LabelValues v;
  v.layer = text.layer;
  for (const CifLayer& l : layers_)
    if (l.layer == text.layer) v.layerName = l.name;
  v.size = Out(text.size);
  v.orientation = text.orientation;
  v.x = Out(text.x);
  v.y = Out(text.y);
  // The template's text field escapes what would split the field or end the command.
  v.text = text.text;
  for (const std::string& tmpl : {template_, std::string(kMeroTemplate)}) {
    const std::string command = BuildCifLabel(tmpl, v);
    if (!command.empty()) {
      out_.UserCommand(command);
      Count(kTexts);
    }
    if (!s_.includeMeroText) break;
  }
}

void Exporter::WriteCall(const tlc::TlcCellRef& ref) {
  const int number = cells_.FindListedCell(ref.name, true);
  if (number == 0) {
    Note(Format("Cell %s is not in the Cell List", ref.name.c_str()));
    return;
  }
  // A call that breaks the rank rule (told while listing) would make a loop of the file.
  if (!utilib::ListedPlacementAllowed(cells_[writing_], cells_[number])) return;
  out_.Call(number, ref.orientation, Out(ref.x), Out(ref.y));
  Count(kCalls);
}

// One pass over a cell's records: selection > 0 the boxes and paths of one layer, -1 the texts,
// 0 the instances.
void Exporter::ConvertTlcRecordsToCif(const CellRecords& r, int selection, const CifLayer* layer) {
  bool layerWritten = false;
  for (const CellRecords::Item& item : r.items) {
    if ((++records_ & 255) == 0) utilib::PollEscape(job_);
    if (job_.abort || !Flush(false)) return;
    const bool geometry = item.kind == tlc::Keyword::Box || item.kind == tlc::Keyword::Path;
    const bool selected = selection > 0 ? geometry
                                        : item.kind == (selection < 0 ? tlc::Keyword::Text : tlc::Keyword::CellRef);
    if (!selected) continue;
    if (item.index < 0) {
      Stop(std::string(tlc::RecordErrorText(item.kind)) + " ... Can't Continue");
      return;
    }
    if (selection > 0) {
      const int recordLayer = item.kind == tlc::Keyword::Box ? r.boxes[item.index].layer : r.paths[item.index].layer;
      if (recordLayer != selection) continue;
      if (!layerWritten) {
        out_.Layer(layer->name);
        layerWritten = true;
      }
      if (item.kind == tlc::Keyword::Box) WriteBox(r.boxes[item.index]);
      else WritePath(r.paths[item.index]);
    } else if (selection < 0) {
      WriteTexts(r.texts[item.index]);
    } else {
      WriteCall(r.refs[item.index]);
    }
  }
}

void Exporter::WriteCifSymbol(int number) {
  const utilib::CellListEntry& cell = cells_[number];
  writing_ = number;
  current_ = {};
  for (int i = 0; i < 5; ++i) utilib::SetItemNumber(job_, 0, kExpCounts + i);
  utilib::ClearMessageLines(job_, 5, kExpMessages);
  utilib::SetItemText(job_, cell.name, kExpSymbol);
  out_.SymbolStart(number, symbolScale_, s_.nameDigit, cell.name);
  if (cell.rank < 1 || cell.rank > 15) {
    Stop(Format("%s Rank is Incorrect ... Can't Continue", cell.name.c_str()));
    return;
  }
  CellRecords records;
  {
    tlc::FileLineSource source;
    if (!utilib::OpenCellTlc(source, main_, cell.name, utilib::CellFileExtension::MainElseTlc)) {
      Stop(Format("%s.TLC File is Missing ... Can't Continue", cell.name.c_str()));
      return;
    }
    tlc::TlcStream stream(source);
    Collector collector(records);
    tlc::ReadTlcRecords(stream, collector);
  }
  for (const CifLayer& layer : layers_) ConvertTlcRecordsToCif(records, layer.layer, &layer);
  ConvertTlcRecordsToCif(records, -1, nullptr);
  ConvertTlcRecordsToCif(records, 0, nullptr);
  if (!job_.abort) out_.SymbolEnd();
}

int Exporter::Run(ExportResult* result) {
  template_ = s_.textTemplate;
  main_ = {s_.tlcDrive, s_.tlcFolder, s_.mainCell, s_.tlcExtension};
  utilib::SetItemText(job_, Format("Reading %s.TLC ...", s_.mainCell.c_str()), kExpOperation);
  tlc::TlcHeader header;
  if (!utilib::ReadCellTlcHeader(main_, s_.mainCell, utilib::CellFileExtension::MainElseTlc, header)) {
    Stop("Main TLC File is Missing ... Can't Continue");
    return 0;
  }
  if (!utilib::OpenConversionReport(job_, s_.reportFile, "TLC to CIF Conversion Report")) {
    Stop("Unable to Open Report File ... Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "Main TLC File Name: %s\n", s_.mainFile.c_str());
  utilib::ReportPrintf(job_, "Layer File Name: %s\n", s_.layerFile.c_str());
  utilib::ReportPrintf(job_, "CIF File Name: %s\n", s_.cifFile.c_str());
  if (!(header.scale > 0)) {
    Stop("TLC Scale is Missing ... Can't Continue");
    return 0;
  }
  if (!ComputeScales(header)) return 0;

  if (!BuildCellList()) return 0;
  utilib::SetItemText(job_, "Sorting Cells ...", kExpOperation);
  utilib::RankSortCells(cells_);

  utilib::SetItemText(job_, "Reading Layer File ...", kExpOperation);
  if (ReadCifLayerFile(s_.layerFile, layers_) == 0) {
    Stop("Layer File is Incorrect or Missing ... Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "Layer List:\nNo.  Name\n---------\n");
  for (const CifLayer& l : layers_) utilib::ReportPrintf(job_, " %-4d%s\n", l.layer, l.name.c_str());

  if (!file_.Open(s_.cifFile)) {
    Stop("Unable to Create CIF File");
    return 0;
  }
  tlc::TlcHeader stamp;
  tlc::StampNow(stamp);
  out_.FileComment(s_.mainFile, stamp.date, stamp.time);
  for (const CifLayer& l : layers_) out_.LayerComment(l.layer, l.name);
  out_.BlankLine();
  for (int i = 1; i <= cells_.Count(); ++i) {
    std::string name = cells_[i].name;
    // An unmatched parenthesis would run the comment on into the rest of the file.
    if (name.find_first_of("()") != std::string::npos) {
      Note(Format("Parentheses of %s Left out of its Symbol Name Comment", name.c_str()));
      std::erase_if(name, [](char c) { return c == '(' || c == ')'; });
    }
    out_.SymbolNameComment(i, name);
  }
  out_.BlankLine();
  utilib::ReportPrintf(job_, "\nSymbol                 Boxes     Poly      Wires     Text     Calls\n%s\n",
                       std::string(67, '-').c_str());

  const int symbols = utilib::ConvertListedCells(job_, cells_, kExpOperation, 500, [&](int i) {
    WriteCifSymbol(i);
    const long* c = current_.values;
    utilib::ReportPrintf(job_, "%-24s%-10ld%-10ld%-10ld%-10ld%-10ld\n", cells_[i].name.c_str(), c[kBoxes],
                         c[kPolygons], c[kWires], c[kTexts], c[kCalls]);
    return !job_.abort;
  });
  // The top call names the main cell, wherever a cell of the same rank left it in the list.
  if (!job_.abort) out_.End(cells_.FindListedCell(s_.mainCell, true));
  if (!Flush(true) || !file_.Commit()) {
    Stop("Unable to Write CIF File ... Can't Continue");
    return 0;
  }
  if (result) {
    result->bytes = bytes_;
    result->symbols = symbols;
  }
  return job_.abort ? 0 : 1;
}

}  // namespace

std::string ExportCompletedText(const ExportResult& result) {
  return Format("Completed ... %lld Bytes in CIF File", static_cast<long long>(result.bytes));
}

int ExportCif(utilib::Job& job, ExportSettings& settings, ExportResult* result) {
  job.abort = false;
  Exporter exporter(job, settings);
  return exporter.Run(result);
}

}  // namespace cif
