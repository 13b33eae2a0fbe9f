#include "convert/dxf/importer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <unordered_map>

#include "convert/dxf/curves.h"
#include "convert/dxf/group_reader.h"
#include "utilib/import_geometry.h"
#include "editor/db/records.h"
#include "editor/tlc/records.h"
#include "editor/tlc/run.h"
#include "platform/os/textfile.h"
#include "utilib/importer_tlc.h"

namespace dxf {

namespace {

using utilib::Format;

constexpr double kTlcLimit = 8388607;
constexpr int kLabelLayer = 64;
constexpr int kLabelSize = 75;
// A polyline's points with its arcs drawn: beyond this it is refused rather than held in memory.
constexpr std::size_t kMaxPolylinePoints = std::size_t{1} << 22;

// Layout blocks hold the drawing's spaces, never a cell anyone inserts.
bool IsLayoutBlock(const std::string& upper) {
  return upper == "*MODEL_SPACE" || upper == "$MODEL_SPACE" || upper.rfind("*PAPER_SPACE", 0) == 0 ||
         upper.rfind("$PAPER_SPACE", 0) == 0;
}

double RealOr(const DxfItem& item, int code, double otherwise) {
  const DxfGroup* g = item.Find(code);
  return g ? g->Real() : otherwise;
}

int IntegerOr(const DxfItem& item, int code, int otherwise) {
  const DxfGroup* g = item.Find(code);
  return g ? g->Integer() : otherwise;
}

struct Polyline {
  bool active = false;
  bool skip = false;  // its layer is not converted
  int layer = 64;
  int flags = 0;
  double width = 0;
  std::vector<Point2> vertices;
  std::vector<double> bulges;
};

class Importer {
 public:
  Importer(utilib::Job& job, ImportSettings& s, const DxfLayerMap& layers, const utilib::NewNameAsker& ask)
      : job_(job), s_(s), layers_(layers), ask_(ask) {
    table_.limit = kMaxBlocks;
    table_.overflowMessage = "Too Many Blocks in DXF File";
    table_.foreignWord = "Block";
    table_.formatWord = "DXF";
  }
  int Run(ImportResult* result, std::string* text = nullptr);

 private:
  // Hierarchy.
  bool ScanHierarchy();
  int Find(const std::string& upper) const {
    auto it = idOf_.find(upper);
    return it == idOf_.end() ? -1 : it->second;
  }
  int AddRow(const std::string& upper, bool named = true);
  utilib::StructureRow& Row(int id) { return table_.rows[rowOfId_[id]]; }

  // Conversion.
  bool ConvertDxf();
  void BeginBlock(const DxfItem& item);
  void BeginCell(int id);
  void EndCell();
  void Entity(const DxfItem& item);
  bool EntityLayer(const DxfItem& item, int& layer);
  void WritePoints(int layer, std::int32_t width, const std::vector<Point2>& points);
  void WritePieces(int layer, std::int32_t width, const std::vector<db::PathPoint>& points);
  void WriteLabel(const std::string& text, std::int32_t x, std::int32_t y);
  void Line(const DxfItem& item);
  void Circle(const DxfItem& item);
  void Arc(const DxfItem& item);
  void Solid(const DxfItem& item);
  void Text(const DxfItem& item);
  void Insert(const DxfItem& item);
  void FinishPolyline();
  bool WriteTokenCells();

  std::int32_t Length(double v) const {
    const double t = v * s_.scale;
    if (!(t < kTlcLimit)) return t != t ? 0 : static_cast<std::int32_t>(kTlcLimit);
    if (!(t > -kTlcLimit)) return static_cast<std::int32_t>(-kTlcLimit);
    return static_cast<std::int32_t>(std::round(t));  // halves away from zero
  }
  db::PathPoint Db(const Point2& p) const { return {Length(p.x - baseX_), Length(p.y - baseY_)}; }
  Point2 PointOf(const DxfItem& item, int xCode) const {
    return {RealOr(item, xCode, 0), RealOr(item, xCode + 10, 0)};
  }
  std::string At(const char* what, const db::PathPoint& p, int layer) const {
    return Format("%s at X=%g Y=%g L=%d", what, p.x / s_.scale, p.y / s_.scale, layer);
  }
  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void Note(const std::string& text) { utilib::ReportOnNextLine(job_, text, 4, kImpMessages); }
  // An entity refused with its own message: the run must not end as if it came in.
  void Refuse(const std::string& text) {
    Note(text);
    ++leftOut_;
  }
  tlc::TlcWriter& W() { return tlc_->Writer(); }

  utilib::Job& job_;
  ImportSettings& s_;
  const DxfLayerMap& layers_;
  const utilib::NewNameAsker& ask_;
  std::string text_;

  utilib::StructureTable table_;
  std::unordered_map<std::string, int> idOf_;
  std::vector<int> rowOfId_;
  // Ids are row numbers until the rows are sorted, as the ranking needs them.
  utilib::RankedHierarchy hierarchy_;
  int entitiesId_ = -1;

  std::unique_ptr<utilib::ImporterTlc> tlc_;
  std::vector<char> written_;
  int currentId_ = -1;
  bool converting_ = false;
  double baseX_ = 0, baseY_ = 0;
  double textHeight_ = 1;  // drawing units, until the header's $TEXTSIZE says otherwise
  Polyline polyline_;
  std::map<std::string, int> unconverted_;  // by kind, for the report
  int leftOut_ = 0;
  int approximated_ = 0;
  int tlcFiles_ = 0;
};

int Importer::AddRow(const std::string& upper, bool named) {
  if (named && !utilib::AddStructureName(job_, table_)) return -1;
  utilib::StructureRow row;
  row.foreignName = upper;
  row.rank = 1;
  const int id = static_cast<int>(rowOfId_.size());
  row.tag = id;
  table_.rows.push_back(row);
  rowOfId_.push_back(static_cast<int>(table_.rows.size()) - 1);
  if (named) idOf_.emplace(upper, id);
  return id;
}

// Pass 1 reads the file and keeps, for every block definition, the blocks it inserts; the passes
// after it walk only that list, with the same ranks as reading the file again.
bool Importer::ScanHierarchy() {
  utilib::SetItemText(job_, "Constructing Hierarchy ... Pass 1", kImpOperation);
  DxfScanner scanner(text_);
  DxfItem item;
  bool inBlock = false, skip = false;
  unsigned items = 0;
  auto endBlock = [&] {
    if (inBlock && !skip) hierarchy_.EndDefinition(table_);
    inBlock = skip = false;
  };
  while (!job_.abort && scanner.NextDxfItem(item)) {
    if ((++items & 1023) == 0) utilib::PollEscape(job_);
    if (item.section != DxfSection::Blocks) {
      endBlock();
      continue;
    }
    if (item.word == "BLOCK") {
      endBlock();
      const DxfGroup* g = item.Find(2);
      const std::string name = tlc::UpperCase(g ? g->Word() : std::string_view());
      inBlock = true;
      skip = IsLayoutBlock(name);
      if (skip) continue;
      utilib::SetItemText(job_, Format("Reading Block %s ...", name.c_str()), kImpBlock);
      utilib::ShowPause(job_, 500);
      const int known = Find(name);
      const int id = known >= 0 ? known : AddRow(name);
      if (id < 0) {
        skip = true;
        continue;
      }
      hierarchy_.BeginDefinition(table_, id, known < 0);
    } else if (item.word == "ENDBLK") {
      endBlock();
    } else if (item.word == "INSERT" && inBlock && !skip) {
      const DxfGroup* g = item.Find(2);
      const std::string name = tlc::UpperCase(g ? g->Word() : std::string_view());
      const int known = Find(name);
      hierarchy_.Place(table_, known >= 0 ? known : AddRow(name), known < 0);
    }
  }
  endBlock();
  if (job_.abort) return false;
  if (!scanner.SawEof()) {
    // A file cut short would lose its last block and its drawing without a word: stop instead.
    const DxfReadStatus status = scanner.Status();
    if (status == DxfReadStatus::Binary || (status == DxfReadStatus::BadCode && scanner.LineNumber() <= 1))
      Stop("DXF File is not a Text DXF ... Can't Continue");
    else if (status == DxfReadStatus::BadCode)
      Stop(Format("DXF Group Code Expected at Line %zu ... Can't Continue", scanner.LineNumber()));
    else
      Stop("DXF File Ends before EOF ... Can't Continue");
    return false;
  }

  bool changed = hierarchy_.changed;
  for (int pass = 2; changed && pass <= kMaxHierarchyPasses && !job_.abort; ++pass) {
    utilib::SetItemText(job_, Format("Constructing Hierarchy ... Pass %d", pass), kImpOperation);
    utilib::ShowPause(job_, 500);
    changed = hierarchy_.RaiseRanks(table_);
  }
  if (job_.abort) return false;
  int highest = 0;
  for (const utilib::StructureRow& row : table_.rows) {
    if (row.rank > kMaxRank - 1) {
      // The ENTITIES cell goes one rank above the highest block.
      Stop(Format("Hierarchy Deeper than %d Levels at %s ... Can't Continue", kMaxRank, row.foreignName.c_str()));
      return false;
    }
    highest = std::max(highest, row.rank);
  }
  entitiesId_ = AddRow(s_.mainCell, false);
  utilib::StructureRow& entities = Row(entitiesId_);
  entities.rank = highest + 1;
  entities.found = true;
  return true;
}

void Importer::WriteLabel(const std::string& text, std::int32_t x, std::int32_t y) {
  tlc::TlcText label;
  label.layer = kLabelLayer;
  label.size = kLabelSize;
  label.x = x;
  label.y = y;
  label.text = text.substr(0, tlc::kTextLength);
  label.vertexCount = tlc::TextVertexCount(label.text.size());
  W().PutText(label);
}

void Importer::BeginCell(int id) {
  currentId_ = id;
  converting_ = false;
  baseX_ = baseY_ = 0;
  if (written_[id]) {
    Note(Format("Block %s Defined Twice ... Second Skipped", Row(id).foreignName.c_str()));
    return;
  }
  written_[id] = 1;
  const utilib::StructureRow& row = Row(id);
  utilib::SetItemText(job_, row.cellName, kImpCell);
  utilib::SetItemText(job_, row.cellName + ".TLC", kImpBlock);
  utilib::SetItemText(job_, Format("%d", row.rank), kImpRank);
  if (!tlc_->CreateCellTlc(row.cellName)) {
    Stop("Unable to Open TLC File ... Can't Continue");
    return;
  }
  converting_ = true;
}

void Importer::BeginBlock(const DxfItem& item) {
  const DxfGroup* g = item.Find(2);
  const std::string name = tlc::UpperCase(g ? g->Word() : std::string_view());
  const int id = IsLayoutBlock(name) ? -1 : Find(name);
  if (id < 0) {
    currentId_ = -1;
    converting_ = false;
    return;
  }
  BeginCell(id);
  // Entities of a block lie around its base point, which an insert puts at the insertion point.
  const Point2 base = PointOf(item, 10);
  baseX_ = std::isfinite(base.x) ? base.x : 0;
  baseY_ = std::isfinite(base.y) ? base.y : 0;
}

void Importer::EndCell() {
  FinishPolyline();
  if (!converting_) {
    currentId_ = -1;
    return;
  }
  converting_ = false;
  utilib::StructureRow& row = Row(currentId_);
  currentId_ = -1;
  tlc::TlcRecordCounts counts = W().Counts();
  if (counts.boxes + counts.paths + counts.texts + counts.cellRefs == 0) {
    WriteLabel("<<EMPTY>>", 0, 0);
    counts = W().Counts();
  }
  tlc::TlcHeader header;
  header.name = row.cellName;
  header.scale = s_.scale;
  header.unit = s_.unit;
  header.rank = row.rank;
  header.boxes = counts.boxes;
  header.paths = counts.paths + counts.texts;
  header.vertices = static_cast<std::int32_t>(counts.vertices);
  header.cellRefs = counts.cellRefs;
  tlc::StampNow(header);
  W().PutHeader(header);
  row.boxes = counts.boxes;
  row.paths = counts.paths;
  row.texts = counts.texts;
  row.vertices = counts.vertices;
  row.cellRefs = counts.cellRefs;
  utilib::WriteStructureReportLine(job_, row);
  if (!tlc_->CloseCellTlc()) {
    Stop(Format("Unable to Write %s.TLC ... Can't Continue", row.cellName.c_str()));
    return;
  }
  ++tlcFiles_;
  utilib::ShowPause(job_, 200);
}

bool Importer::EntityLayer(const DxfItem& item, int& layer) {
  const DxfGroup* g = item.Find(8);
  if (!g) {
    layer = 64;
    return true;
  }
  const std::string name(g->Word());
  layer = layers_.MapDxfLayer(s_, name);
  if (layer != 0) return true;
  // Either answer stops the run: leaving the layer out would lose its entities unseen.
  utilib::ReportPrintf(job_, "Entity Layer %s Not in Layer Table\n", name.c_str());
  utilib::AskOkOrAbort(job_, "Entity Layer Not in Layer Table");
  job_.abort = true;
  return false;
}

void Importer::WritePieces(int layer, std::int32_t width, const std::vector<db::PathPoint>& points) {
  const std::size_t n = points.size();
  if (n == 0) return;
  std::vector<std::int32_t> x, y;
  auto put = [&](std::size_t begin, std::size_t end, const std::vector<db::PathPoint>& p) {
    x.clear();
    y.clear();
    for (std::size_t i = begin; i < end; ++i) {
      x.push_back(p[i].x);
      y.push_back(p[i].y);
    }
    W().PutPath(layer, width, x, y);
  };
  const std::size_t limit = static_cast<std::size_t>((width == 0 ? tlc::kMaxPathPairs : tlc::kMaxPathPairs / 2) - 12);
  const bool polygon = width == 0 && n >= 4 && points.front() == points.back();
  if (polygon && n > static_cast<std::size_t>(tlc::kMaxPathPairs)) {
    // Runs of vertices closed one by one would not add up to the polygon: cut it across instead.
    std::vector<std::vector<db::PathPoint>> pieces;
    if (!utilib::SplitPolygon(points, limit, pieces)) {
      Refuse(At(Format("Poly of %d Vertices not Converted", static_cast<int>(n)).c_str(), points.front(), layer));
      return;
    }
    Note("Polyline Broken into Pieces");
    for (const auto& piece : pieces) put(0, piece.size(), piece);
    return;
  }
  if (n <= limit || polygon) {
    put(0, n, points);
    return;
  }
  Note("Polyline Broken into Pieces");
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(n, start + limit);
    put(start, end, points);
    if (end == n) break;
    start = end - 1;
  }
}

void Importer::WritePoints(int layer, std::int32_t width, const std::vector<Point2>& points) {
  std::vector<db::PathPoint> p;
  p.reserve(points.size());
  for (const Point2& q : points) p.push_back(Db(q));
  WritePieces(layer, width, p);
}

void Importer::Line(const DxfItem& item) {
  int layer = 0;
  if (!s_.lines || !EntityLayer(item, layer)) return;
  WritePoints(layer, 0, {PointOf(item, 10), PointOf(item, 11)});
}

void Importer::Circle(const DxfItem& item) {
  int layer = 0;
  if (!s_.circles || !EntityLayer(item, layer)) return;
  const DxfGroup* r = item.Find(40);
  const double radius = r ? r->Real() : 100 / s_.scale;
  WritePoints(layer, 0, CirclePoints(PointOf(item, 10), radius, s_.segmentAngle));
}

void Importer::Arc(const DxfItem& item) {
  int layer = 0;
  if (!s_.arcs || !EntityLayer(item, layer)) return;
  const Point2 centre = PointOf(item, 10);
  const DxfGroup* r = item.Find(40);
  const double radius = r ? r->Real() : 100 / s_.scale;
  std::vector<Point2> points = ArcPoints(centre, radius, RealOr(item, 50, 0), RealOr(item, 51, 90), s_.clockwise,
                                         s_.segmentAngle);
  if (s_.closeArcs && !points.empty()) {
    points.push_back(centre);
    points.push_back(points.front());
  }
  WritePoints(layer, 0, points);
}

void Importer::Solid(const DxfItem& item) {
  int layer = 0;
  if (!s_.solids || !EntityLayer(item, layer)) return;
  for (int code : {10, 20, 11, 21, 12, 22, 13, 23}) {
    if (!item.Find(code)) {
      Refuse("Not Enough Points in Solid");
      return;
    }
  }
  // The third and fourth corners of a solid lie across from each other.
  std::vector<db::PathPoint> p = {Db(PointOf(item, 10)), Db(PointOf(item, 11)), Db(PointOf(item, 13)),
                                  Db(PointOf(item, 12))};
  if (p[3] == p[2]) p.pop_back();
  p.push_back(p.front());
  WritePieces(layer, 0, p);
}

void Importer::Text(const DxfItem& item) {
  int layer = 0;
  if (!s_.text || !EntityLayer(item, layer)) return;
  const DxfGroup* h = item.Find(40);
  const DxfGroup* t = item.Find(1);
  const int flags = IntegerOr(item, 71, 0);
  tlc::TlcText text;
  text.layer = layer;
  text.size = utilib::RoundTextSize15((h ? h->Real() : textHeight_) * s_.scale);
  const db::PathPoint at = Db(PointOf(item, 10));
  text.x = at.x;
  text.y = at.y;
  text.orientation = DxfOrientation(flags & 2, flags & 4, RealOr(item, 50, 0));
  text.text = t ? t->value : std::string();
  if (text.text.size() > tlc::kTextLength) {
    text.text.resize(tlc::kTextLength);
    Note(At("Text Cut to 64 Characters", at, layer));
  }
  text.vertexCount = tlc::TextVertexCount(text.text.size());
  W().PutText(text);
}

void Importer::Insert(const DxfItem& item) {
  const DxfGroup* g = item.Find(2);
  const std::string name = tlc::UpperCase(g ? g->Word() : std::string_view());
  const double sx = RealOr(item, 41, 1), sy = RealOr(item, 42, 1), rotation = RealOr(item, 50, 0);
  const Point2 at = PointOf(item, 10);
  // The whole entity is read before its orientation is made: mirrors and rotation come in any order.
  const int code = DxfOrientation(sx < 0, sy < 0, rotation);
  const int id = Find(name);
  if (id < 0) {
    Note(Format("Block %s is Missing", name.c_str()));
    const db::PathPoint p = Db(at);
    WriteLabel("<<" + name + ">>", p.x, p.y);
    return;
  }
  const utilib::StructureRow& row = Row(id);
  if (!row.found && !row.tlcPresent) Note(Format("Block %s is Missing", name.c_str()));
  const bool approximated =
      OffQuarterTurn(rotation) || std::fabs(std::fabs(sx) - 1) > 1e-9 || std::fabs(std::fabs(sy) - 1) > 1e-9;
  if (approximated) Note(Format("Non-orthogonal/scaled instance of %s approximated", name.c_str()));
  const long columns = std::max(IntegerOr(item, 70, 1), 1), rows = std::max(IntegerOr(item, 71, 1), 1);
  if (columns * rows > db::kRefLimit) {
    Refuse(Format("Array of %s with %ld x %ld Instances not Converted", name.c_str(), columns, rows));
    return;
  }
  if (approximated) ++approximated_;
  // The grid turns with the insert; it is not mirrored or scaled.
  const double cs = RealOr(item, 44, 0), rs = RealOr(item, 45, 0);
  const double turn = std::isfinite(rotation) ? rotation * std::numbers::pi / 180 : 0;
  const double c = std::cos(turn), s = std::sin(turn);
  tlc::TlcCellRef ref;
  ref.name = row.cellName;
  ref.orientation = code;
  for (long j = 0; j < rows; ++j) {
    for (long i = 0; i < columns; ++i) {
      const double ox = i * cs, oy = j * rs;
      const db::PathPoint p = Db({at.x + ox * c - oy * s, at.y + ox * s + oy * c});
      ref.x = p.x;
      ref.y = p.y;
      W().PutCellRef(ref);
    }
  }
}

void Importer::FinishPolyline() {
  if (!polyline_.active) return;
  Polyline& pl = polyline_;
  pl.active = false;
  if (pl.skip || pl.vertices.empty()) return;
  if (pl.flags & (16 | 64)) {
    // Meshes and polyface meshes: vertices that are not an outline.
    ++unconverted_["POLYLINE MESH"];
    ++leftOut_;
    return;
  }
  const std::int32_t width = Length(std::fabs(pl.width));
  const bool closing = width == 0 ? ((pl.flags & 1) || s_.closePolylines) : ((pl.flags & 1) && s_.closeWidePolylines);
  const std::size_t n = pl.vertices.size();
  auto bulge = [&](std::size_t i) {
    double b = pl.bulges[i];
    if (std::fabs(b) > kMaxBulge) {
      Note("Curve Fit Arc Exceeds 270 deg");
      b = b < 0 ? -kMaxBulge : kMaxBulge;
    }
    return b;
  };
  std::vector<Point2> points;
  for (std::size_t i = 0; i < n && points.size() <= kMaxPolylinePoints; ++i) {
    points.push_back(pl.vertices[i]);
    if (i + 1 < n && pl.bulges[i] != 0) {
      for (const Point2& p : BulgePoints(pl.vertices[i], pl.vertices[i + 1], bulge(i), s_.segmentAngle))
        points.push_back(p);
    }
  }
  if (closing && n >= 2 && pl.bulges[n - 1] != 0) {
    for (const Point2& p : BulgePoints(pl.vertices[n - 1], pl.vertices[0], bulge(n - 1), s_.segmentAngle))
      points.push_back(p);
  }
  if (points.size() > kMaxPolylinePoints) {
    Refuse(At("Polyline of too many Vertices not Converted", Db(pl.vertices[0]), pl.layer));
    return;
  }
  std::vector<db::PathPoint> p;
  p.reserve(points.size() + 1);
  for (const Point2& q : points) p.push_back(Db(q));
  if (closing && p.size() >= 3 && !(p.front() == p.back())) p.push_back(p.front());
  WritePieces(pl.layer, width, p);
}

void Importer::Entity(const DxfItem& item) {
  if (polyline_.active) {
    if (item.word == "VERTEX") {
      polyline_.vertices.push_back(PointOf(item, 10));
      polyline_.bulges.push_back(RealOr(item, 42, 0));
      return;
    }
    FinishPolyline();
    if (item.word == "SEQEND") return;
  }
  const std::string& w = item.word;
  if (w == "LINE") Line(item);
  else if (w == "CIRCLE") Circle(item);
  else if (w == "ARC") Arc(item);
  else if (w == "SOLID") Solid(item);
  else if (w == "TEXT") Text(item);
  else if (w == "INSERT") Insert(item);
  else if (w == "POLYLINE") {
    polyline_ = {};
    polyline_.active = true;
    polyline_.skip = !EntityLayer(item, polyline_.layer);
    polyline_.flags = IntegerOr(item, 70, 0);
    polyline_.width = RealOr(item, 40, 0);
  } else if (w != "SEQEND") {
    ++unconverted_[w];
    ++leftOut_;
  }
}

bool Importer::ConvertDxf() {
  written_.assign(rowOfId_.size(), 0);
  DxfScanner scanner(text_);
  DxfItem item;
  unsigned items = 0;
  while (!job_.abort && scanner.NextDxfItem(item)) {
    if ((++items & 1023) == 0) utilib::PollEscape(job_);
    switch (item.section) {
      case DxfSection::Header:
        if (item.word != "SECTION") break;
        for (std::size_t i = 0; i + 1 < item.groups.size(); ++i) {
          if (item.groups[i].code == 9 && SameWord(item.groups[i].Word(), "$TEXTSIZE") &&
              item.groups[i + 1].code == 40) {
            const double h = item.groups[i + 1].Real();
            if (std::isfinite(h) && h > 0) textHeight_ = h;
          }
        }
        break;
      case DxfSection::Blocks:
        if (item.word == "BLOCK") {
          EndCell();
          BeginBlock(item);
        } else if (item.word == "ENDBLK") {
          EndCell();
        } else if (converting_) {
          Entity(item);
        }
        break;
      case DxfSection::Entities:
        if (item.word == "SECTION") {
          EndCell();
          BeginCell(entitiesId_);
        } else if (converting_) {
          Entity(item);
        }
        break;
      default:
        // The end of a section ends a block or the drawing left open in it.
        EndCell();
        break;
    }
  }
  if (job_.abort) return false;
  EndCell();
  // A file without an ENTITIES section still gives the main cell the rest of the set refers to.
  if (!written_[entitiesId_]) {
    BeginCell(entitiesId_);
    EndCell();
  }
  if (job_.abort) return false;
  return WriteTokenCells();
}

// A block inserted but defined nowhere becomes a cell of its own holding its name as a label, so
// that every reference written has a TLC file to go to.
bool Importer::WriteTokenCells() {
  for (int id = 0; id < static_cast<int>(rowOfId_.size()) && !job_.abort; ++id) {
    const utilib::StructureRow& row = Row(id);
    if (row.found || row.tlcPresent) continue;
    BeginCell(id);
    if (!converting_) break;
    WriteLabel("<<" + row.cellName + ">>", 0, 0);
    EndCell();
  }
  return !job_.abort;
}

int Importer::Run(ImportResult* result, std::string* text) {
  if (text) {
    text_ = std::move(*text);
  } else if (!os::ReadWholeFile(s_.dxfFile, text_)) {
    Stop("DXF File is Missing ... Can't Continue");
    return 0;
  }
  if (!utilib::OpenConversionReport(job_, s_.reportFile, "DXF to TLC Conversion Report")) {
    Stop("Unable to Open Report File ... Can't Continue");
    return 0;
  }
  utilib::SetItemText(job_, Format("TLC Scale:  %s per 1%s", s_.main[3].c_str(), s_.unit.c_str()), kImpScale);
  utilib::ReportPrintf(job_, "DXF File Name: %s\n", s_.dxfFile.c_str());
  utilib::ReportPrintf(job_, "MERO Scale: %s per 1%s\n", s_.main[3].c_str(), s_.unit.c_str());

  if (!ScanHierarchy()) return 0;
  utilib::MakeCellNames(job_, table_, ask_);
  if (job_.abort) return 0;
  // The drawing stays above every block, whatever the older files in the destination hold.
  if (!utilib::ReadyCellTable(job_, table_, hierarchy_, s_.tlcFolder, s_.scale, rowOfId_, rowOfId_[entitiesId_]))
    return 0;

  tlc_ = std::make_unique<utilib::ImporterTlc>(job_, utilib::ImporterKind::Dxf, s_.tlcFolder);
  const int built =
      tlc_->ConstructTlcFiles(s_.makeRef, table_.Count(), 3, kImpMessages, [this] { return ConvertDxf(); });
  tlc_.reset();
  if (!built) return 0;

  if (!unconverted_.empty()) {
    utilib::ReportPrintf(job_, "\n");
    for (const auto& [word, count] : unconverted_)
      utilib::ReportPrintf(job_, "%s Entities not Converted: %d\n", word.c_str(), count);
  }
  if (result) {
    result->tlcFiles = tlcFiles_;
    result->leftOut = leftOut_;
    result->approximated = approximated_;
  }
  return 1;
}

}  // namespace

std::string ImportCompletedText(const ImportResult& result) {
  return utilib::ImportEndText(result.tlcFiles, result.leftOut, "Entities not Converted", result.approximated);
}

int ImportDxf(utilib::Job& job, ImportSettings& settings, const DxfLayerMap& layers,
              const utilib::NewNameAsker& askName, ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, layers, askName);
  return importer.Run(result);
}

int ImportDxfText(utilib::Job& job, ImportSettings& settings, const DxfLayerMap& layers,
                  const utilib::NewNameAsker& askName, std::string text, ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, layers, askName);
  return importer.Run(result, &text);
}

}  // namespace dxf
