#include "convert/gds/importer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <utility>
#include <vector>

#include "convert/gds/record.h"
#include "convert/gds/record_reader.h"
#include "editor/db/records.h"
#include "editor/tlc/records.h"
#include "platform/os/path.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"
#include "utilib/cores.h"
#include "utilib/import_geometry.h"
#include "utilib/importer_tlc.h"

namespace gds {

namespace {

using utilib::Format;
using utilib::MessageKind;
using utilib::TlcPoint;

constexpr std::int32_t kTlcLimit = 8388607;
constexpr int kNameLimit = 32;
constexpr int kTextLineLimit = 64;
// Records read while flattening, over the whole run: arrays placed in arrays multiply, and a
// hostile file must not keep the import busy for hours.
constexpr long long kFlatRecordLimit = 20000000;

// An ANGLE within 0.1 degree of a quarter turn counts as that turn: the quarter turns in *turns
// and true, or false for an angle between them.
bool QuarterTurns(double degrees, int* turns) {
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  *turns = 0;
  if (std::fabs(a) < 0.1 || std::fabs(a - 360) < 0.1) return true;
  for (int q = 1; q <= 3; ++q) {
    if (std::fabs(a - 90.0 * q) < 0.1) {
      *turns = q;
      return true;
    }
  }
  return false;
}

std::int64_t Gcd(std::int64_t a, std::int64_t b) {
  while (b != 0) {
    const std::int64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// Where the elements of a structure placed with a magnification or at an angle that TLC cannot
// hold land in the cell being written: GDS units of the structure into GDS units of the cell.
struct Placement {
  double xx = 1, xy = 0, yx = 0, yy = 1, dx = 0, dy = 0;
  double mag = 1;
  double angle = 0;  // degrees, 0 <= angle < 360
  bool mirror = false;

  static Placement Of(double x, double y, double mag, double angle, bool mirror) {
    Placement p;
    p.dx = x;
    p.dy = y;
    p.mag = mag;
    p.angle = std::fmod(angle, 360.0);
    if (p.angle < 0) p.angle += 360.0;
    // Quarter turns exactly: cos(90 degrees) is not 0 in floating point.
    double c = std::cos(p.angle * M_PI / 180), s = std::sin(p.angle * M_PI / 180);
    for (int q = 0; q < 4; ++q) {
      if (p.angle == 90.0 * q) {
        static const double kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
        c = kCos[q];
        s = kSin[q];
      }
    }
    const double f = mirror ? -1 : 1;
    p.xx = mag * c;
    p.xy = -mag * s * f;
    p.yx = mag * s;
    p.yy = mag * c * f;
    p.mirror = mirror;
    return p;
  }
  // This placement after `inner`: what lies in a structure placed by `inner` inside the one that
  // this places.
  Placement Then(const Placement& inner) const {
    Placement p = Of(0, 0, mag * inner.mag, mirror ? angle - inner.angle : angle + inner.angle,
                     mirror != inner.mirror);
    p.dx = xx * inner.dx + xy * inner.dy + dx;
    p.dy = yx * inner.dx + yy * inner.dy + dy;
    return p;
  }
  double X(double x, double y) const { return xx * x + xy * y + dx; }
  double Y(double x, double y) const { return yx * x + yy * y + dy; }
  // Quarter turns and size 1: a TLC instance holds it.
  bool Orthogonal() const { return std::fabs(mag - 1) < 1e-12 && QuarterTurn(); }
  bool QuarterTurn() const { return std::fmod(angle, 90.0) == 0; }
  // The TLC orientation code nearest to it.
  int Orientation() const {
    const int turns = static_cast<int>(std::lround(angle / 90)) & 3;
    return (mirror ? 4 : 0) | turns;
  }
};

struct RawPoint {
  std::int32_t x, y;
};

// The element being read, from its first record to ENDEL.
struct Element {
  enum Kind { kNone, kShape, kSref, kAref, kText } kind = kNone;
  bool isPath = false;
  int layer = 64;
  bool skipLayer = false;
  bool skipType = false;
  std::vector<TlcPoint> points;
  std::string sname;
  int columns = 1, rows = 1;
  // Optional records: with "Use Default Optional Records" off they carry over to the next element.
  std::int32_t width = 0;
  int endSign = 1;
  int pathType = 0;
  std::int32_t bgnExtension = 0, endExtension = 0;
  bool mirror = false;
  int turns = 0;
  bool offGrid = false;  // an angle that is no multiple of 90 degrees
  double angle = 0;      // as read, 0 <= angle < 360
  double mag = 1.0;
  int font = 0;
  int vertical = 0;  // 0 top, 1 middle, 2 bottom
  int textType = 0;
  std::string text;
  std::vector<RawPoint> raw;  // the points of an instance or array as read

  int Orientation() const { return (mirror ? 4 : 0) | (turns & 3); }
  // A placement that a TLC instance cannot hold.
  bool Odd() const { return offGrid || mag != 1.0; }
  // Its own placement at a point, the angle snapped to quarter turns where it is near one.
  Placement At(double x, double y) const {
    return Placement::Of(x, y, mag, offGrid ? angle : 90.0 * turns, mirror);
  }
  void ResetOptional() {
    width = 0;
    endSign = 1;
    pathType = 0;
    bgnExtension = endExtension = 0;
    mirror = false;
    turns = 0;
    offGrid = false;
    angle = 0;
    mag = 1.0;
    font = 0;
    vertical = 0;
  }
  void ResetAlways() {
    kind = kNone;
    isPath = false;
    layer = 64;
    skipLayer = skipType = false;
    points.clear();
    sname.clear();
    columns = rows = 1;
    text.clear();
    raw.clear();
  }
};

class Importer {
 public:
  Importer(utilib::Job& job, ImportSettings& s, const utilib::NewNameAsker& ask)
      : job_(job), s_(s), ask_(ask) {}
  int Run(ImportResult* result, std::string* given);

 private:
  // Hierarchy.
  bool ScanGdsHierarchy();
  int Find(const std::string& name) const {
    auto it = idOf_.find(name);
    return it == idOf_.end() ? -1 : it->second;
  }
  int AddRow(const std::string& name);
  utilib::StructureRow& Row(int id) { return table_.rows[rowOfId_[id]]; }
  bool TakeUnits(const GdsRecord& record);
  void ShowProgress(std::size_t position) {
    const std::size_t size = size_ == 0 ? 1 : size_;
    utilib::SetItemNumber(job_, static_cast<int>(position * 100 / size), kImpProgress);
  }

  // Conversion.
  bool ConvertGdsStructures();
  bool WriteNamFile();
  void BeginStructure(const std::string& name);
  bool EndStructure();
  bool FinishCellTlc(utilib::StructureRow& row);
  void Dispatch(const GdsRecord& r);
  void EndElement();
  void WriteShape();
  void WritePathPieces(const std::vector<TlcPoint>& points, std::int32_t width);
  void WriteInstance(const TlcPoint& at);
  void WriteInstanceAs(const TlcPoint& at, int orientation);
  void WriteArray();
  // Flattening of the instances a TLC instance cannot hold.
  bool LoadFlatBodies();
  void PlaceOdd();
  void FlattenInto(int id, const Placement& at);
  std::string CellBeingWritten() { return currentId_ >= 0 ? Row(currentId_).cellName : std::string(); }
  void Changed(const std::string& text) {
    Note(text);
    ++changedElements_;
  }
  void WriteText();
  bool WriteTokenCells();
  void CheckResolution(const utilib::StructureRow& row);

  // A value beyond the TLC range is held at its limit, and the element told as changed.
  std::int32_t ToTlc(std::int64_t value) const {
    if (unitScale_) {
      if (value > kTlcLimit || value < -kTlcLimit) {
        clamped_ = true;
        return value > 0 ? kTlcLimit : -kTlcLimit;
      }
      return static_cast<std::int32_t>(value);
    }
    return ToTlcReal(static_cast<double>(value));
  }
  // The same for a value of GDS units that a placement has made fractional.
  std::int32_t ToTlcReal(double value) const {
    const double t = unitScale_ ? value : value * f_;
    if (!(t < kTlcLimit)) {
      clamped_ = true;
      return kTlcLimit;
    }
    if (!(t > -kTlcLimit)) {
      clamped_ = true;
      return -kTlcLimit;
    }
    return static_cast<std::int32_t>(std::lround(t));  // halves away from zero
  }
  void Feature(std::int64_t raw) {
    // Once the divisor is 1 no value can change it: most structures get there within a few points.
    if (raw != 0 && gcd_ != 1) gcd_ = Gcd(gcd_, raw < 0 ? -raw : raw);
  }
  std::string At(const char* what, const TlcPoint& p, int layer) const {
    return Format("%s at X=%g Y=%g L=%d", what, p.x / s_.scale, p.y / s_.scale, layer);
  }
  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void StopOnRead(const GdsReader& reader) {
    Stop(ReadStatusMessage(reader.Status()));
    utilib::RouteMessage(job_, reader.HeaderLine(), MessageKind::ReportAndBox, 0);
  }
  void Note(const std::string& text) { utilib::ReportOnNextLine(job_, text, 4, kImpMessages); }
  std::string ReadName(const GdsRecord& r) {
    bool tooLong = false;
    std::string name = ReadGdsString(r, kMaxGdsStringBytes, &tooLong);
    if (name.size() > static_cast<std::size_t>(kNameLimit) && !longNameTold_.count(name)) {
      longNameTold_.emplace(name, 1);
      Note("String Data Length Exceeds Allocation");
    }
    return name;
  }

  utilib::Job& job_;
  ImportSettings& s_;
  const utilib::NewNameAsker& ask_;
  // A reader of the stream from its start: the file in blocks, or the bytes given by the caller.
  GdsReader StreamReader() {
    if (!file_) return GdsReader(reinterpret_cast<const std::uint8_t*>(given_.data()), given_.size());
    GdsReader reader(file_.get(), size_, utilib::RunCores() > 1);
    reader.Rewind();
    return reader;
  }
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string given_;
  std::size_t size_ = 0;

  utilib::StructureTable table_;
  std::vector<std::string> names_;  // full structure name of each id
  std::unordered_map<std::string, int> idOf_;
  std::vector<int> rowOfId_;
  std::unordered_map<std::string, int> longNameTold_;
  // Ids are row numbers until the rows are sorted, as the ranking needs them.
  utilib::RankedHierarchy hierarchy_;
  std::vector<std::size_t> definitionOffsets_;  // where each definition begins in the file

  double f_ = 1;        // TLC units per GDS unit
  bool unitScale_ = true;  // f_ is exactly 1: a GDS unit is a TLC unit
  double u_ = 1000;     // GDS units per user unit
  std::int64_t featureStart_ = 10000;
  std::int64_t fileMinimum_ = 0;
  std::int64_t gcd_ = 0;

  std::unique_ptr<utilib::ImporterTlc> tlc_;
  Element el_;
  std::vector<std::int32_t> pieceX_, pieceY_;  // the vertices of a path record, kept from path to path
  int currentId_ = -1;
  bool converting_ = false;
  std::vector<char> defined_;
  std::vector<char> layerTold_, typeTold_;
  int tlcFiles_ = 0;
  int rejectedLayerElements_ = 0;
  int changedElements_ = 0;   // held at the TLC limit, approximated or left out, each told
  mutable bool clamped_ = false;  // a value of the element being read was beyond the TLC range
  // Structures placed with a magnification or an odd angle, and what they place in turn: their
  // element records, kept to be flattened into the cells that place them so.
  std::vector<char> placedOdd_;
  std::vector<std::string> flatBodies_;
  std::vector<char> hasFlatBody_;
  const Placement* place_ = nullptr;  // while a structure is being flattened
  int flatDepth_ = 0;
  long long flatRecords_ = 0;
  unsigned records_ = 0;
};

int Importer::AddRow(const std::string& name) {
  if (!utilib::AddStructureName(job_, table_)) return -1;
  utilib::StructureRow row;
  row.foreignName = name.substr(0, kNameLimit);
  row.rank = 1;
  const int id = static_cast<int>(names_.size());
  row.tag = id;
  table_.rows.push_back(row);
  names_.push_back(name);
  rowOfId_.push_back(static_cast<int>(table_.rows.size()) - 1);
  idOf_.emplace(name, id);
  return id;
}

bool Importer::TakeUnits(const GdsRecord& r) {
  const double first = r.Real8(0), second = r.Real8(1);
  if (!(first > 0) || !(second > 0) || !std::isfinite(1 / first)) {
    Stop("GDS Scale is Wrong ... Can't Continue");
    return false;
  }
  u_ = 1 / first;
  utilib::RouteMessage(job_, Format("GDS Scale is %g per %gum", u_, second / first * 1e6),
                       MessageKind::ReportAndItem, kImpScale);
  f_ = second * s_.scale * (s_.mil ? 39370.0787 : 1e6);
  // 1e-9 * 1000 * 1e6 is not exactly 1 in binary: a factor within rounding of 1 is taken as 1.
  unitScale_ = std::fabs(f_ - 1) < 1e-9;
  if (u_ < 10000) featureStart_ = u_ < 1 ? 1 : static_cast<std::int64_t>(u_);
  return true;
}

// Pass 1 reads the file and keeps, for every structure definition, the structures it references;
// the passes after it walk only that list, with the same results as reading the file again.
bool Importer::ScanGdsHierarchy() {
  GdsReader reader = StreamReader();
  GdsRecord r;
  bool inStructure = false, skip = false;
  bool ended = false;
  // Whether the element being read places a structure with a magnification or at an odd angle.
  bool inInstance = false, magnified = false, turned = false;
  int placed = -1;
  while (!ended && !job_.abort && reader.Next(r)) {
    if ((++records_ & 4095) == 0) ShowProgress(reader.Position());
    switch (r.type) {
      case kHeader:
        utilib::SetItemText(job_, "Constructing Hierarchy ... Pass 1", kImpOperation);
        break;
      case kBgnLib:
        utilib::RouteMessage(job_,
                             Format("Date is %d-%d-%d  %d:%02d:%02d", r.Int2(1), r.Int2(2), r.Int2(0),
                                    r.Int2(3), r.Int2(4), r.Int2(5)),
                             MessageKind::ReportAndItem, kImpDate);
        break;
      case kLibName: {
        bool tooLong = false;
        const std::string name = ReadGdsString(r, kNameLimit, &tooLong);
        if (tooLong) Note("String Data Length Exceeds Allocation");
        utilib::RouteMessage(job_, Format("Library Name is %s", name.c_str()),
                             MessageKind::ReportAndItem, kImpLibrary);
        break;
      }
      case kUnits:
        if (!TakeUnits(r)) return false;
        break;
      case kBgnStr:
        ShowProgress(reader.Position());
        break;
      case kStrName: {
        const std::string name = ReadName(r);
        inStructure = true;
        skip = IsOmittedStructure(s_, name);
        if (skip) break;
        const int known = Find(name);
        const int id = known >= 0 ? known : AddRow(name);
        if (id < 0) {
          skip = true;
          break;
        }
        hierarchy_.BeginDefinition(table_, id, known < 0);
        definitionOffsets_.push_back(reader.Position());
        utilib::SetItemText(job_,
                            Format("Structure: %s  Present rank: %d", name.c_str(), hierarchy_.CurrentRank()),
                            kImpMessages);
        break;
      }
      case kSname: {
        if (!inStructure || skip) break;
        const std::string name = ReadName(r);
        const int known = Find(name);
        placed = known >= 0 ? known : AddRow(name);
        hierarchy_.Place(table_, placed, known < 0);
        break;
      }
      case kSref:
      case kAref:
        inInstance = true;
        break;
      case kMag:
        magnified = r.Real8(0) != 1.0;
        break;
      case kAngle: {
        int turns = 0;
        turned = !QuarterTurns(r.Real8(0), &turns);
        break;
      }
      case kEndEl:
        if (inInstance && placed >= 0 && (magnified || turned) && inStructure && !skip) {
          if (placedOdd_.size() <= static_cast<std::size_t>(placed)) placedOdd_.resize(placed + 1, 0);
          placedOdd_[placed] = 1;
        }
        if (s_.defaultOptional) magnified = turned = false;
        inInstance = false;
        placed = -1;
        break;
      case kEndStr:
        if (inStructure && !skip) hierarchy_.EndDefinition(table_);
        inStructure = skip = false;
        ShowProgress(reader.Position());
        break;
      case kEndLib:
        ended = true;
        break;
      default:
        break;
    }
  }
  if (job_.abort) return false;
  if (!ended) {
    StopOnRead(reader);
    return false;
  }
  int pass = 1;
  utilib::ShowPause(job_, 500);
  bool changed = hierarchy_.changed;
  while (changed && pass < kMaxHierarchyPasses && !job_.abort) {
    utilib::SetItemText(job_, Format("Constructing Hierarchy ... Pass %d", ++pass), kImpOperation);
    changed = hierarchy_.RaiseRanks(table_, [this](std::size_t i) { ShowProgress(definitionOffsets_[i]); });
    utilib::ShowPause(job_, 500);
  }
  if (job_.abort) return false;
  for (const utilib::StructureRow& row : table_.rows) {
    if (row.rank > kMaxRank) {
      Stop(Format("Hierarchy Deeper than %d Levels at %s ... Can't Continue", kMaxRank,
                  row.foreignName.c_str()));
      return false;
    }
  }
  return true;
}

bool Importer::WriteNamFile() {
  os::TextWriter nam;
  if (!nam.Open(s_.tlcFolder + s_.gdsName + ".NAM")) return false;
  nam.Printf("Cell-Structure Name List for %s\n", s_.gdsName.c_str());
  for (const utilib::StructureRow& row : table_.rows)
    nam.Printf("%s %s\n", row.cellName.c_str(), names_[row.tag].c_str());
  return nam.Commit() == 1;
}

void Importer::BeginStructure(const std::string& name) {
  converting_ = false;
  gcd_ = 0;
  if (IsOmittedStructure(s_, name)) return;
  currentId_ = Find(name);
  if (currentId_ < 0) return;
  if (defined_[currentId_]) {
    Note(Format("Structure %s Defined Twice ... Second Skipped", name.c_str()));
    return;
  }
  defined_[currentId_] = 1;
  utilib::StructureRow& row = Row(currentId_);
  if (!s_.replaceOld && row.tlcPresent) return;
  utilib::SetItemText(job_, row.cellName, kImpCell);
  utilib::SetItemText(job_, Format("%d", row.rank), kImpRank);
  if (!tlc_->CreateCellTlc(row.cellName)) {
    Stop("Unable to Open TLC File ... Can't Continue");
    return;
  }
  converting_ = true;
}

bool Importer::EndStructure() {
  if (!converting_) return true;
  converting_ = false;
  utilib::StructureRow& row = Row(currentId_);
  if (!FinishCellTlc(row)) return false;
  CheckResolution(row);
  utilib::ShowPause(job_, 500);
  return !job_.abort;
}

void Importer::CheckResolution(const utilib::StructureRow& row) {
  const std::int64_t n = utilib::LargestDivisorNotAbove(gcd_, featureStart_);
  if (fileMinimum_ == 0 || n < fileMinimum_) fileMinimum_ = n;
  gcd_ = 0;
  const long a = std::lround(u_ / static_cast<double>(n));
  if (a == 0) {
    Note(Format("Unknown Minimum Feature in %s", row.cellName.c_str()));
    return;
  }
  const char* unit = s_.Unit();
  utilib::SetItemText(job_,
                      Format("Min Feature=%g%s   Scales: GDS=%gunits/%s  TLC=%gunits/%s",
                             static_cast<double>(fileMinimum_) / u_, unit, u_, unit, s_.scale, unit),
                      kImpMinFeature);
  if (static_cast<double>(n) * s_.scale / u_ < 0.9999 || std::fmod(s_.scale, static_cast<double>(a)) != 0)
    utilib::SetItemText(job_, Format("Resolution may be Lost ... MERO Units must be Multiple of %ld", a),
                        kImpDate);
}

void Importer::Dispatch(const GdsRecord& r) {
  switch (r.type) {
    case kStrName:
      BeginStructure(ReadGdsString(r, kMaxGdsStringBytes));
      break;
    case kEndStr:
      EndStructure();
      break;
    case kBoundary:
    case kBox:
      el_.kind = Element::kShape;
      el_.isPath = false;
      break;
    case kPath:
      el_.kind = Element::kShape;
      el_.isPath = true;
      break;
    case kSref:
      el_.kind = Element::kSref;
      break;
    case kAref:
      el_.kind = Element::kAref;
      break;
    case kText:
      el_.kind = Element::kText;
      break;
    case kLayer: {
      const unsigned layer = r.Int2(0);
      if (layer > 63) {
        el_.skipLayer = true;
        if (converting_ && !place_) ++rejectedLayerElements_;
        if (layer < layerTold_.size() && !layerTold_[layer]) {
          layerTold_[layer] = 1;
          Note(Format("GDS Layer %u above 63 is not Converted", layer));
        }
        break;
      }
      el_.skipLayer = !s_.layers.IsLayerSelected(static_cast<int>(layer));
      el_.layer = layer == 0 ? s_.layer0To : static_cast<int>(layer);
      break;
    }
    case kDatatype: {
      const unsigned type = r.Int2(0);
      if (type > 63) {
        el_.skipType = true;
        if (type < typeTold_.size() && !typeTold_[type]) {
          typeTold_[type] = 1;
          Note(Format("GDS Data Type %u above 63 is not Converted", type));
        }
        break;
      }
      el_.skipType = !s_.dataTypes.IsLayerSelected(static_cast<int>(type));
      break;
    }
    case kTextType:
      el_.textType = static_cast<int>(r.Int2(0));
      break;
    case kWidth: {
      const std::int64_t raw = r.Int4(0);
      if (place_) {
        el_.width = ToTlcReal(std::fabs(static_cast<double>(raw)) * place_->mag);
        break;
      }
      Feature(raw);
      const std::int32_t w = ToTlc(raw);
      el_.width = w < 0 ? -w : w;
      break;
    }
    case kPathType:
      el_.pathType = static_cast<int>(r.Int2(0));
      el_.endSign = el_.pathType == 2 ? -1 : 1;
      break;
    case kBgnExtn:
      el_.bgnExtension = place_ ? ToTlcReal(r.Int4(0) * place_->mag) : ToTlc(r.Int4(0));
      break;
    case kEndExtn:
      el_.endExtension = place_ ? ToTlcReal(r.Int4(0) * place_->mag) : ToTlc(r.Int4(0));
      break;
    case kXy: {
      const std::size_t n = r.Int4Count() / 2;
      el_.points.resize(n);
      const bool instance = el_.kind == Element::kSref || el_.kind == Element::kAref;
      if (instance) el_.raw.resize(n);
      for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t x = r.Int4(2 * i), y = r.Int4(2 * i + 1);
        if (instance) el_.raw[i] = {x, y};
        if (place_) {
          el_.points[i] = {ToTlcReal(place_->X(x, y)), ToTlcReal(place_->Y(x, y))};
          continue;
        }
        Feature(x);
        Feature(y);
        el_.points[i] = {ToTlc(x), ToTlc(y)};
      }
      break;
    }
    case kSname:
      el_.sname = ReadGdsString(r, kMaxGdsStringBytes);
      break;
    case kColRow:
      el_.columns = static_cast<int>(r.Int2(0));
      el_.rows = static_cast<int>(r.Int2(1));
      break;
    case kStrans:
      el_.mirror = (r.Int2(0) & 0x8000) != 0;
      break;
    case kMag:
      el_.mag = r.Real8(0);
      break;
    case kAngle: {
      el_.angle = std::fmod(r.Real8(0), 360.0);
      if (el_.angle < 0) el_.angle += 360.0;
      el_.offGrid = !QuarterTurns(el_.angle, &el_.turns);
      break;
    }
    case kPresentation: {
      const unsigned v = r.Int2(0);
      el_.font = static_cast<int>((v >> 4) & 3);
      el_.vertical = static_cast<int>((v >> 2) & 3);
      break;
    }
    case kString: {
      bool tooLong = false;
      el_.text = ReadGdsString(r, kMaxGdsStringBytes, &tooLong);
      if (r.size > kMaxGdsStringBytes) Note("String Data Length Exceeds Allocation");
      break;
    }
    case kEndEl:
      EndElement();
      break;
    default:
      break;
  }
}

void Importer::EndElement() {
  if (converting_ && !el_.skipLayer && !el_.skipType) {
    switch (el_.kind) {
      case Element::kShape: WriteShape(); break;
      case Element::kSref:
        if (el_.points.empty()) break;
        if (place_ || el_.Odd()) {
          PlaceOdd();
          break;
        }
        WriteInstance(el_.points[0]);
        break;
      case Element::kAref:
        // Corners beyond the TLC range would misplace every instance: PlaceOdd works as read.
        if (place_ || el_.Odd() || clamped_) PlaceOdd();
        else WriteArray();
        break;
      case Element::kText:
        if (s_.convertText && !el_.points.empty()) WriteText();
        break;
      case Element::kNone: break;
    }
    if (clamped_) {
      static const char* const kKinds[] = {"Element", "Boundary", "Instance", "Array", "Text"};
      std::string what = el_.kind == Element::kShape && el_.isPath ? "Path" : kKinds[el_.kind];
      if (el_.kind == Element::kSref || el_.kind == Element::kAref) what += " of " + el_.sname;
      Changed(Format("%s in %s beyond the TLC Range ... Held at the Limit", what.c_str(),
                     CellBeingWritten().c_str()));
    }
  }
  clamped_ = false;
  if (s_.defaultOptional) el_.ResetOptional();
  el_.ResetAlways();
}

// A rectangle drawn as a closed polygon of four edges, horizontal and vertical in turn.
bool IsRectangle(const std::vector<TlcPoint>& p) {
  if (p.size() != 5 || !(p[0] == p[4])) return false;
  for (int start = 0; start < 2; ++start) {
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i) {
      const bool horizontal = (i + start) % 2 == 0;
      ok = horizontal ? p[i].y == p[i + 1].y : p[i].x == p[i + 1].x;
    }
    if (ok) return true;
  }
  return false;
}

// Moves the first point back by `begin` and the last forward by `end` along their segments.
void ExtendEnds(std::vector<TlcPoint>& p, std::int32_t begin, std::int32_t end) {
  auto move = [](TlcPoint& at, const TlcPoint& from, std::int32_t by) {
    const double dx = at.x - from.x, dy = at.y - from.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) return;
    at.x = static_cast<std::int32_t>(std::lround(at.x + dx / length * by));
    at.y = static_cast<std::int32_t>(std::lround(at.y + dy / length * by));
  };
  std::size_t i = 1;
  while (i < p.size() && p[i] == p[0]) ++i;
  if (i < p.size()) move(p[0], p[i], begin);
  std::size_t j = p.size() - 1;
  while (j > 0 && p[j - 1] == p.back()) --j;
  if (j > 0) move(p.back(), p[j - 1], end);
}

void Importer::WriteShape() {
  std::vector<TlcPoint>& p = el_.points;
  if (p.size() <= 1) return;
  const int layer = el_.layer;
  if (!el_.isPath) {
    if (s_.boundariesToBoxes && IsRectangle(p)) {
      tlc::TlcBox box;
      box.layer = layer;
      box.left = std::min(p[0].x, p[2].x);
      box.right = std::max(p[0].x, p[2].x);
      box.bottom = std::min(p[0].y, p[2].y);
      box.top = std::max(p[0].y, p[2].y);
      tlc_->Writer().PutBox(box);
      return;
    }
    if (s_.checkOpenPoly && !(p.front() == p.back())) Note(At("Open Poly", p.front(), layer));
    if (p.size() > static_cast<std::size_t>(tlc::kMaxPathPairs)) {
      std::vector<std::vector<TlcPoint>> pieces;
      if (!utilib::SplitPolygon(p, tlc::kMaxPathPairs, pieces)) {
        Note(At(Format("Poly of %d Vertices not Converted", static_cast<int>(p.size())).c_str(),
                p.front(), layer));
        return;
      }
      Note(At(Format("Poly of %d Vertices Cut into %d Polys", static_cast<int>(p.size()),
                     static_cast<int>(pieces.size())).c_str(),
              p.front(), layer));
      for (const auto& piece : pieces) WritePathPieces(piece, 0);
      return;
    }
    WritePathPieces(p, 0);
    return;
  }
  // A TLC path of width 0 is a polygon: a path without area has no TLC form.
  if (el_.width == 0) {
    Changed(At("Path of Width 0 not Converted", p.front(), layer));
    return;
  }
  std::int32_t width = el_.endSign * el_.width;
  if (el_.pathType == 4) {
    if (2 * el_.bgnExtension == el_.width && 2 * el_.endExtension == el_.width) {
      width = -el_.width;
    } else if (el_.bgnExtension != 0 || el_.endExtension != 0) {
      ExtendEnds(p, el_.bgnExtension, el_.endExtension);
    }
  } else if (el_.pathType == 1) {
    Note(At("Round Path Ends Made Flush", p.front(), layer));
  }
  WritePathPieces(p, width);
}

// A path of more vertices than a TLC record holds goes out in pieces that share one whole segment,
// so that the joins of the original path are all kept.
void Importer::WritePathPieces(const std::vector<TlcPoint>& points, std::int32_t width) {
  const std::size_t limit = tlc::kMaxPathPairs;
  std::vector<std::int32_t>& x = pieceX_;
  std::vector<std::int32_t>& y = pieceY_;
  std::size_t start = 0;
  if (points.size() > limit && width != 0)
    Note(At(Format("Path of %d Vertices Cut into Pieces", static_cast<int>(points.size())).c_str(),
            points.front(), el_.layer));
  for (;;) {
    const std::size_t end = std::min(points.size(), start + limit);
    x.clear();
    y.clear();
    for (std::size_t i = start; i < end; ++i) {
      x.push_back(points[i].x);
      y.push_back(points[i].y);
    }
    tlc_->Writer().PutPath(el_.layer, width, x, y);
    if (end == points.size()) break;
    start = end - 2;
  }
}

void Importer::WriteInstance(const TlcPoint& at) { WriteInstanceAs(at, el_.Orientation()); }

void Importer::WriteInstanceAs(const TlcPoint& at, int orientation) {
  const int ref = Find(el_.sname);
  if (ref < 0) {
    Note(Format("Structure %s is Missing", el_.sname.c_str()));
    return;
  }
  const utilib::StructureRow& row = Row(ref);
  if (!row.found && !row.tlcPresent)
    Note(Format("Structure %s is Missing ... Token Cell Made", el_.sname.c_str()));
  tlc::TlcCellRef cell;
  cell.name = row.cellName;
  cell.orientation = orientation;
  cell.x = at.x;
  cell.y = at.y;
  tlc_->Writer().PutCellRef(cell);
}

void Importer::WriteArray() {
  if (el_.points.empty()) return;
  const int c = el_.columns < 1 ? 1 : el_.columns;
  const int r = el_.rows < 1 ? 1 : el_.rows;
  if (static_cast<long>(c) * r > db::kRefLimit) {
    Note(Format("Array of %s with %d x %d Instances not Converted", el_.sname.c_str(), c, r));
    return;
  }
  const TlcPoint p0 = el_.points[0];
  const TlcPoint p1 = el_.points.size() > 1 ? el_.points[1] : p0;
  const TlcPoint p2 = el_.points.size() > 2 ? el_.points[2] : p0;
  const std::int64_t cx = c > 1 ? (static_cast<std::int64_t>(p1.x) - p0.x) / c : 0;
  const std::int64_t cy = c > 1 ? (static_cast<std::int64_t>(p1.y) - p0.y) / c : 0;
  const std::int64_t rx = r > 1 ? (static_cast<std::int64_t>(p2.x) - p0.x) / r : 0;
  const std::int64_t ry = r > 1 ? (static_cast<std::int64_t>(p2.y) - p0.y) / r : 0;
  for (int j = 0; j < r; ++j) {
    for (int i = 0; i < c; ++i) {
      const std::int64_t x = p0.x + i * cx + j * rx, y = p0.y + i * cy + j * ry;
      WriteInstance({static_cast<std::int32_t>(std::clamp<std::int64_t>(x, -kTlcLimit, kTlcLimit)),
                     static_cast<std::int32_t>(std::clamp<std::int64_t>(y, -kTlcLimit, kTlcLimit))});
    }
  }
}

// An instance or array that a TLC instance cannot hold, any in a structure being flattened, or an
// array whose corner points lie beyond the TLC range (only its instances count there). Each
// placement that comes out as quarter turns of size 1 stays an instance; the others take the
// placed structure's elements into the cell being written, placed exactly. A structure whose
// elements are not at hand (missing from the file) is placed at the nearest quarter turn and size
// 1, and told as changed.
void Importer::PlaceOdd() {
  if (el_.raw.empty()) return;
  int c = 1, r = 1;
  double cx = 0, cy = 0, rx = 0, ry = 0;
  const RawPoint p0 = el_.raw[0];
  if (el_.kind == Element::kAref) {
    c = el_.columns < 1 ? 1 : el_.columns;
    r = el_.rows < 1 ? 1 : el_.rows;
    if (static_cast<long>(c) * r > db::kRefLimit) {
      Note(Format("Array of %s with %d x %d Instances not Converted", el_.sname.c_str(), c, r));
      return;
    }
    const RawPoint p1 = el_.raw.size() > 1 ? el_.raw[1] : p0;
    const RawPoint p2 = el_.raw.size() > 2 ? el_.raw[2] : p0;
    if (c > 1) {
      cx = (static_cast<double>(p1.x) - p0.x) / c;
      cy = (static_cast<double>(p1.y) - p0.y) / c;
    }
    if (r > 1) {
      rx = (static_cast<double>(p2.x) - p0.x) / r;
      ry = (static_cast<double>(p2.y) - p0.y) / r;
    }
  }
  clamped_ = false;  // told for the instances below, not for the array's corner points
  const int ref = Find(el_.sname);
  const bool flattenable = ref >= 0 && static_cast<std::size_t>(ref) < hasFlatBody_.size() &&
                           hasFlatBody_[ref] && flatDepth_ < kMaxRank;
  bool toldFlat = false, toldApproximated = false;
  for (int j = 0; j < r && !job_.abort; ++j) {
    for (int i = 0; i < c && !job_.abort; ++i) {
      const Placement own = el_.At(p0.x + i * cx + j * rx, p0.y + i * cy + j * ry);
      const Placement full = place_ ? place_->Then(own) : own;
      const TlcPoint at{ToTlcReal(full.dx), ToTlcReal(full.dy)};
      if (full.Orthogonal()) {
        WriteInstanceAs(at, full.Orientation());
      } else if (flattenable && flatRecords_ < kFlatRecordLimit) {
        if (!toldFlat && !place_)
          Note(Format("Non-orthogonal/scaled instance of %s flattened into %s", el_.sname.c_str(),
                      CellBeingWritten().c_str()));
        toldFlat = true;
        FlattenInto(ref, full);
      } else {
        if (!toldApproximated)
          Note(Format("Non-orthogonal/scaled instance of %s approximated", el_.sname.c_str()));
        toldApproximated = true;
        ++changedElements_;
        WriteInstanceAs(at, full.Orientation());
      }
    }
  }
}

// The elements of a structure into the cell being written, through a placement; the instances
// among them go through PlaceOdd with the placement composed.
void Importer::FlattenInto(int id, const Placement& at) {
  Element outer = std::move(el_);
  const Placement* outerPlace = place_;
  const bool outerClamped = clamped_;
  el_ = Element{};
  place_ = &at;
  ++flatDepth_;
  const std::string& body = flatBodies_[id];
  GdsReader reader(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
  GdsRecord r;
  while (!job_.abort && reader.Next(r)) {
    Dispatch(r);
    if ((++flatRecords_ & 4095) == 0) utilib::PollEscape(job_);
  }
  --flatDepth_;
  place_ = outerPlace;
  clamped_ = outerClamped;
  el_ = std::move(outer);
}

// Structures placed with a magnification or at an odd angle, and all below them, have their element
// records kept in one more pass over the file; a file without such placements is not read again.
bool Importer::LoadFlatBodies() {
  if (placedOdd_.empty()) return true;
  std::vector<char> need(names_.size(), 0);
  std::vector<int> work;
  for (std::size_t id = 0; id < placedOdd_.size(); ++id) {
    if (placedOdd_[id]) {
      need[id] = 1;
      work.push_back(static_cast<int>(id));
    }
  }
  // The first definition counts, as in the conversion.
  std::vector<int> definitionOf(names_.size(), -1);
  for (std::size_t i = 0; i < hierarchy_.definitions.size(); ++i) {
    const int id = hierarchy_.definitions[i].row;
    if (id >= 0 && definitionOf[id] < 0) definitionOf[id] = static_cast<int>(i);
  }
  while (!work.empty()) {
    const int id = work.back();
    work.pop_back();
    if (definitionOf[id] < 0) continue;
    const utilib::RankedHierarchy::Definition& d = hierarchy_.definitions[definitionOf[id]];
    for (std::size_t k = d.firstRef; k < d.endRef; ++k) {
      const int placed = hierarchy_.refs[k];
      if (placed >= 0 && !need[placed]) {
        need[placed] = 1;
        work.push_back(placed);
      }
    }
  }
  flatBodies_.assign(names_.size(), std::string());
  hasFlatBody_.assign(names_.size(), 0);
  std::vector<char> seen(names_.size(), 0);
  GdsReader reader = StreamReader();
  GdsRecord r;
  int keeping = -1;
  unsigned records = 0;
  while (!job_.abort && reader.Next(r)) {
    if (r.type == kEndLib) return true;
    if ((++records & 4095) == 0) utilib::PollEscape(job_);
    if (r.type == kStrName) {
      const std::string name = ReadGdsString(r, kMaxGdsStringBytes);
      const int id = IsOmittedStructure(s_, name) ? -1 : Find(name);
      keeping = -1;
      if (id >= 0 && !seen[id]) {
        seen[id] = 1;
        if (need[id]) keeping = id;
      }
      continue;
    }
    if (r.type == kEndStr) {
      if (keeping >= 0) hasFlatBody_[keeping] = 1;
      keeping = -1;
      continue;
    }
    if (keeping < 0) continue;
    std::string& body = flatBodies_[keeping];
    const char header[4] = {static_cast<char>(r.length >> 8), static_cast<char>(r.length & 255),
                            static_cast<char>(r.type), static_cast<char>(r.dataType)};
    body.append(header, 4);
    body.append(reinterpret_cast<const char*>(r.data), r.size);
  }
  if (job_.abort) return false;
  StopOnRead(reader);
  return false;
}

void Importer::WriteText() {
  const TlcPoint at = el_.points[0];
  int row = -1;
  for (int i = 0; i < 4 && row < 0; ++i)
    if (s_.rows[i].font == el_.font) row = i;
  for (int i = 0; i < 4 && row < 0; ++i)
    if (s_.rows[i].textType == el_.textType) row = i;
  const ImportTextRow& flags = s_.rows[row < 0 ? 0 : row];
  double size = row < 0 ? 15 : s_.rows[row].size;
  if (flags.mag) size *= el_.mag;
  int orientation = el_.Orientation();
  if (place_) {
    size *= place_->mag;
    const Placement placed = place_->Then(Placement::Of(0, 0, 1, 90.0 * el_.turns, el_.mirror));
    orientation = placed.Orientation();
    if (!placed.QuarterTurn()) Note(At("Text Turned to the Nearest Quarter", at, el_.layer));
  }
  const std::int32_t tlcSize = utilib::RoundTextSize15(size);

  // Control characters other than the chosen line break become blanks; a CR LF pair is one break.
  const char nl = s_.newLine;
  std::string clean;
  bool replaced = false;
  const std::string& t = el_.text;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char ch = t[i];
    if (ch == nl || static_cast<unsigned char>(ch) >= 32) {
      clean += ch;
    } else if (nl == '\r' && ch == '\n' && i > 0 && t[i - 1] == '\r') {
    } else if (nl == '\n' && ch == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
    } else {
      clean += ' ';
      replaced = true;
    }
  }
  if (replaced) Note(At("Control Character in Text Made Blank", at, el_.layer));

  std::int32_t y = at.y;
  if (flags.justification) {
    if (el_.vertical == 0) y -= tlcSize;
    else if (el_.vertical == 1) y -= tlcSize / 2;
  }
  const std::int32_t pitch = tlcSize * 16 / 15;
  std::size_t begin = 0;
  for (;;) {
    std::size_t end = clean.find(nl, begin);
    const bool last = end == std::string::npos;
    if (last) end = clean.size();
    tlc::TlcText text;
    text.layer = el_.layer;
    text.size = tlcSize;
    text.orientation = orientation;
    text.x = at.x;
    text.y = y;
    text.text = clean.substr(begin, end - begin);
    if (text.text.size() > static_cast<std::size_t>(kTextLineLimit)) {
      text.text.resize(kTextLineLimit);
      Note(At("Text Cut to 64 Characters", at, el_.layer));
    }
    text.vertexCount = text.text.empty() ? 2 : tlc::TextVertexCount(text.text.size());
    tlc_->Writer().PutText(text);
    if (last) break;
    begin = end + 1;
    y -= pitch;
  }
}

// A structure referenced but defined nowhere becomes a cell of its own holding its name as a label,
// so that every reference written has a TLC file to go to.
bool Importer::WriteTokenCells() {
  for (utilib::StructureRow& row : table_.rows) {
    if (row.found || row.tlcPresent || job_.abort) continue;
    if (!tlc_->CreateCellTlc(row.cellName)) {
      Stop("Unable to Open TLC File ... Can't Continue");
      return false;
    }
    tlc::TlcText label;
    label.layer = 64;
    label.size = 75;
    label.text = "<<" + row.cellName + ">>";
    label.vertexCount = tlc::TextVertexCount(label.text.size());
    tlc_->Writer().PutText(label);
    if (!FinishCellTlc(row)) return false;
  }
  return true;
}

// The header with what the cell holds (texts counted with the paths), its report row, and the file
// closed.
bool Importer::FinishCellTlc(utilib::StructureRow& row) {
  const tlc::TlcRecordCounts counts = tlc_->Writer().Counts();
  tlc::TlcHeader header;
  header.name = row.cellName;
  header.scale = s_.scale;
  header.unit = s_.Unit();
  header.rank = row.rank;
  header.boxes = counts.boxes;
  header.paths = counts.paths + counts.texts;
  header.vertices = static_cast<std::int32_t>(counts.vertices);
  header.cellRefs = counts.cellRefs;
  tlc::StampNow(header);
  tlc_->Writer().PutHeader(header);
  row.boxes = counts.boxes;
  row.paths = counts.paths;
  row.texts = counts.texts;
  row.vertices = counts.vertices;
  row.cellRefs = counts.cellRefs;
  utilib::WriteStructureReportLine(job_, row);
  if (!tlc_->CloseCellTlc()) {
    Stop(Format("Unable to Write %s.TLC ... Can't Continue", row.cellName.c_str()));
    return false;
  }
  ++tlcFiles_;
  return true;
}

bool Importer::ConvertGdsStructures() {
  defined_.assign(names_.size(), 0);
  layerTold_.assign(65536, 0);
  typeTold_.assign(65536, 0);
  el_ = Element{};
  GdsReader reader = StreamReader();
  GdsRecord r;
  bool ended = false;
  while (!job_.abort && reader.Next(r)) {
    if (r.type == kEndLib) {
      ended = true;
      break;
    }
    if (r.type == kBgnStr || r.type == kEndStr) ShowProgress(reader.Position());
    Dispatch(r);
    if ((++records_ & 4095) == 0) {
      ShowProgress(reader.Position());  // a long structure moves the bar too
      utilib::PollEscape(job_);
    }
  }
  if (job_.abort) return false;
  if (!ended) {
    StopOnRead(reader);
    return false;
  }
  return WriteTokenCells();
}

int Importer::Run(ImportResult* result, std::string* given) {
  if (given) {
    given_ = std::move(*given);
    size_ = given_.size();
  } else {
    file_.reset(os::OpenFile(s_.gdsFile, "rb"));
    struct stat st {};
    if (!file_ || fstat(fileno(file_.get()), &st) != 0) {
      Stop("GDS File is Missing ... Can't Continue");
      return 0;
    }
    // A folder (or a device) is there but holds no stream to read.
    if (!S_ISREG(st.st_mode)) {
      Stop(ReadStatusMessage(ReadStatus::kReadError));
      return 0;
    }
    // The reader takes whole blocks: the stream's own buffer would only copy them once more.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    size_ = static_cast<std::size_t>(st.st_size);
  }
  utilib::SetItemText(job_, Format("%lld", static_cast<long long>(size_)), kImpFileSize);
  if (!utilib::OpenConversionReport(job_, s_.reportFile, "GDS to TLC Conversion Report")) {
    Stop("Unable to Open Report File ... Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "GDS File Name: %s\n", s_.gdsFile.c_str());
  utilib::ReportPrintf(job_, "GDS Information:\n");

  if (!ScanGdsHierarchy()) return 0;
  if (!LoadFlatBodies()) return 0;
  utilib::ShowPause(job_, 500);
  if (job_.abort) return 0;
  utilib::MakeCellNames(job_, table_, ask_);
  if (job_.abort) return 0;

  utilib::SetItemText(job_, "Reading for TLC Files ...", kImpOperation);
  if (!utilib::ReadyCellTable(job_, table_, hierarchy_, s_.tlcFolder, s_.scale, rowOfId_)) return 0;

  tlc_ = std::make_unique<utilib::ImporterTlc>(job_, utilib::ImporterKind::Gds, s_.tlcFolder);
  if (s_.makeNam) {
    utilib::SetItemText(job_, "Writing NAM File ...", kImpOperation);
    if (!WriteNamFile()) {
      Stop("Unable to Write NAM File ... Can't Continue");
      return 0;
    }
  }
  const int built = tlc_->ConstructTlcFiles(s_.makeRef, table_.Count(), 4, kImpMessages,
                                            [this] { return ConvertGdsStructures(); }, "Writing CELLS.REF File ...");
  tlc_.reset();
  if (!built) return 0;

  const char* unit = s_.Unit();
  if (rejectedLayerElements_ > 0)
    utilib::ReportPrintf(job_, "\nElements on GDS Layers above 63 not Converted: %d\n",
                         rejectedLayerElements_);
  if (changedElements_ > 0)
    utilib::ReportPrintf(job_, "\nElements Changed or not Converted (Told Above): %d\n",
                         changedElements_);
  utilib::ReportPrintf(job_, "\nMin Feature=%g%s\n", static_cast<double>(fileMinimum_) / u_, unit);
  utilib::ReportPrintf(job_, "Scales: GDS=%gunits/%s  TLC=%gunits/%s\n", u_, unit, s_.scale, unit);
  if (result) {
    result->tlcFiles = tlcFiles_;
    result->minFeature = static_cast<double>(fileMinimum_) / u_;
    result->gdsUnits = u_;
    result->rejectedLayerElements = rejectedLayerElements_;
    result->changedElements = changedElements_;
  }
  return 1;
}

}  // namespace

std::string ImportCompletedText(const ImportResult& result) {
  return utilib::ImportEndText(result.tlcFiles, result.changedElements, "Elements Changed or not Converted", 0);
}

int ImportGds(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
              ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, askName);
  return importer.Run(result, nullptr);
}

int ImportGdsBytes(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
                   std::string bytes, ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, askName);
  return importer.Run(result, &bytes);
}

}  // namespace gds
