#include "convert/cif/importer.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

#include "convert/cif/lexer.h"
#include "convert/cif/text_template.h"
#include "editor/db/helpers.h"
#include "editor/db/orientation.h"
#include "editor/tlc/records.h"
#include "platform/os/textfile.h"
#include "utilib/import_geometry.h"
#include "utilib/importer_tlc.h"
#include "utilib/layer_filter.h"

namespace cif {

namespace {

using utilib::Format;
using Point = db::PathPoint;

std::int64_t Gcd(std::int64_t a, std::int64_t b) {
  while (b != 0) {
    const std::int64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// The command's text after its kind letters ("DS", "L", ...), for the number and name readers.
CifLexer After(std::string_view text, const CifCommand& c, std::size_t letters) {
  const std::size_t begin = std::min(c.begin + letters, c.end);
  return CifLexer(text.substr(begin, c.end - begin));
}

// The letter after "D" (DS, DF, DD), blanks allowed between.
char DefinitionLetter(std::string_view text, const CifCommand& c, std::size_t* letters) {
  std::size_t i = c.begin + 1;
  while (i < c.end && ClassOf(static_cast<unsigned char>(text[i])) == kBlank) ++i;
  *letters = i + 1 - c.begin;
  return i < c.end ? text[i] : 0;
}

// A user command "9 NAME" with the cell-name digit: the name, trimmed ("NONAME" when empty).
bool CellNameCommand(std::string_view command, char digit, std::string& name) {
  if (digit == 0 || command.empty() || command[0] != digit) return false;
  if (command.size() > 1 && ClassOf(static_cast<unsigned char>(command[1])) == kDigit) return false;
  std::string_view rest = command.substr(1);
  while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= ' ') rest.remove_prefix(1);
  while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= ' ') rest.remove_suffix(1);
  name = rest.empty() ? "NONAME" : std::string(rest);
  return true;
}

class Importer {
 public:
  Importer(utilib::Job& job, ImportSettings& s, const utilib::NewNameAsker& ask)
      : job_(job), s_(s), ask_(ask) {}
  int Run(ImportResult* result, std::string* text = nullptr);

 private:
  void Stop(const std::string& text) { utilib::StopJob(job_, text); }
  void Note(const std::string& text) { utilib::ReportOnNextLine(job_, text, 2, kImpMessages); }
  // A command refused with its own message: the run must not end as if it came in.
  void Refuse(const std::string& text) {
    Note(text);
    ++leftOut_;
  }
  std::string At(const char* what, Point p, int layer) const {
    const double s = scale_ > 0 ? scale_ : 1;
    return Format("%s at X=%g Y=%g L=%d", what, p.x / s, p.y / s, layer);
  }
  std::string_view Body(const CifCommand& c) const { return std::string_view(text_).substr(c.begin, c.end - c.begin); }

  // Analysis.
  int CountCifEnds();
  bool ReadCellFileNames(std::string_view cellText);
  bool ReadCifSymbolNames();
  bool AddSymbolName(std::int64_t number, const std::string& name);
  bool RankCifSymbols();
  int RowOf(std::int64_t number) const {
    auto it = rowOfSymbol_.find(number);
    return it == rowOfSymbol_.end() ? -1 : it->second;
  }
  int LayerOf(std::string_view name) const;

  // Conversion.
  bool ConvertCifSymbols();
  void BeginSymbol(const CifCommand& c, std::size_t letters);
  void EndSymbol();
  // The open cell file's header from what was written to it, its report line, and the file closed;
  // false when it could not be written (the run then stops).
  bool FinishCell(const utilib::StructureRow& row, double scale);
  void Feature(std::int64_t raw) {
    if (raw != 0) gcd_ = Gcd(gcd_, raw < 0 ? -raw : raw);
  }
  std::int32_t Tlc(std::int64_t raw) { return db::RoundToCoordinate(static_cast<double>(raw) * k_); }
  bool ReadPoints(CifLexer& lex, std::vector<Point>& points);
  void ConvertBox(const CifCommand& c);
  void ConvertPolygon(const CifCommand& c);
  void ConvertWire(const CifCommand& c);
  void ConvertCall(const CifCommand& c);
  void ConvertUserCommand(const CifCommand& c);
  void ConvertText(std::string_view command);
  void WritePath(const std::vector<Point>& points, std::int32_t width);
  void CheckResolution();
  bool WriteTokenCells();

  utilib::Job& job_;
  ImportSettings& s_;
  const utilib::NewNameAsker& ask_;
  std::string text_;
  utilib::StructureTable names_;
  std::unordered_map<std::int64_t, int> rowOfSymbol_;
  utilib::RankedHierarchy hierarchy_;
  std::vector<CifLayer> layers_;
  std::unique_ptr<utilib::ImporterTlc> tlc_;

  // The symbol being converted.
  bool inSymbol_ = false;
  bool writing_ = false;
  int row_ = -1;
  double c_ = 100;  // CIF units per micrometre
  double scale_ = 0;  // S
  double k_ = 1;      // TLC units per CIF unit
  int layer_ = 64;
  int wireType_ = 2;  // of the "98" command: 0 flush, 1 round, 2 extended
  bool roundTold_ = false;
  bool outsideTold_ = false;
  std::int64_t gcd_ = 0;
  std::vector<char> converted_;
  std::vector<char> called_;
  std::int64_t fileMinimum_ = 1000;
  int tlcFiles_ = 0;
  int leftOut_ = 0;
  int approximated_ = 0;
};

int Importer::CountCifEnds() {
  int ends = 0;
  CifLexer lex(text_);
  CifCommand c;
  while (NextCifCommand(lex, c))
    if (c.kind == 'E') ++ends;
  return ends;
}

bool Importer::AddSymbolName(std::int64_t number, const std::string& name) {
  if (number == 0 || rowOfSymbol_.count(number)) return true;
  if (names_.Count() >= kMaxSymbols) {
    Stop("Too Many Cells in CIF File");
    return false;
  }
  utilib::StructureRow row;
  row.foreignName = name;
  row.rank = 1;
  row.found = false;  // until its definition is seen
  row.tag = static_cast<int>(number);
  rowOfSymbol_.emplace(number, names_.Count());
  names_.rows.push_back(row);
  return true;
}

bool Importer::ReadCellFileNames(std::string_view cellText) {
  CifLexer lex(cellText);
  CifCommand c;
  while (NextCifCommand(lex, c)) {
    if (c.kind != '(') continue;
    std::string_view body = cellText.substr(c.begin, c.end - c.begin);
    const std::size_t hash = body.find('#');
    if (hash == std::string_view::npos) continue;
    CifLexer number(body.substr(hash + 1));
    bool found = false;
    const std::int32_t n = number.ReadCifInteger(&found);
    if (!found) continue;
    std::string_view rest = body.substr(hash + 1 + number.Position());
    std::size_t i = 0;
    while (i < rest.size() && (static_cast<unsigned char>(rest[i]) <= ' ')) ++i;
    std::size_t end = i;
    while (end < rest.size() && static_cast<unsigned char>(rest[end]) > ' ' && rest[end] != ')') ++end;
    if (end == i) continue;
    if (!AddSymbolName(n, std::string(rest.substr(i, end - i)))) return false;
  }
  return true;
}

bool Importer::ReadCifSymbolNames() {
  CifLexer lex(text_);
  CifCommand c;
  std::int64_t pending = 0;  // a DS waiting for its cell-name command
  bool waiting = false;
  while (NextCifCommand(lex, c)) {
    if (c.kind == 'E') break;
    if (c.kind == '(') continue;
    if (waiting) {
      waiting = false;
      std::string name;
      if (CellNameCommand(Body(c), s_.nameDigit, name) && !AddSymbolName(pending, name)) return false;
    }
    std::size_t letters = 0;
    if (c.kind == 'D' && DefinitionLetter(text_, c, &letters) == 'S') {
      CifLexer lex2 = After(text_, c, letters);
      bool found = false;
      pending = lex2.ReadCifInteger(&found);
      waiting = found;
    }
  }
  return true;
}

// The layer of a CIF layer name: the first table entry with the same first four characters.
int Importer::LayerOf(std::string_view name) const {
  const std::string wanted(name);
  for (const CifLayer& l : layers_)
    if (strncasecmp(l.name.c_str(), wanted.c_str(), 4) == 0) return l.layer;
  return 64;
}

bool Importer::RankCifSymbols() {
  // The first pass reads the file and keeps each definition's calls; the passes after it walk those.
  utilib::RankedHierarchy& hierarchy = hierarchy_;
  CifLexer lex(text_);
  CifCommand c;
  bool inDefinition = false;
  while (NextCifCommand(lex, c)) {
    if (c.kind == 'E') break;
    std::size_t letters = 0;
    if (c.kind == 'D') {
      const char d = DefinitionLetter(text_, c, &letters);
      if (d == 'S') {
        CifLexer body = After(text_, c, letters);
        const int row = RowOf(body.ReadCifInteger());
        // A symbol the table does not hold ranks nothing, and its calls with it.
        inDefinition = row >= 0;
        if (inDefinition) {
          names_.rows[static_cast<std::size_t>(row)].found = true;
          hierarchy.definitions.push_back({row, hierarchy.refs.size(), hierarchy.refs.size()});
        }
      } else if (d == 'F') {
        inDefinition = false;
      }
    } else if (c.kind == 'C' && inDefinition) {
      CifLexer body = After(text_, c, 1);
      bool found = false;
      const int called = RowOf(body.ReadCifInteger(&found));
      if (found && called >= 0) {
        hierarchy.refs.push_back(called);
        hierarchy.definitions.back().endRef = hierarchy.refs.size();
      }
    }
  }
  for (int pass = 1; pass <= kMaxRankPasses; ++pass) {
    utilib::SetItemText(job_, Format("Analyzing Cell Hierarchy ... Pass %d", pass), kImpOperation);
    const bool changed = hierarchy.RaiseRanks(names_);
    if (utilib::PollEscape(job_)) return false;
    if (!changed) break;
  }
  for (const utilib::StructureRow& row : names_.rows) {
    if (row.rank > 15) {
      Stop(Format("Hierarchy Deeper than 15 Levels at %s ... Can't Continue", row.cellName.c_str()));
      return false;
    }
  }
  return true;
}

void Importer::BeginSymbol(const CifCommand& c, std::size_t letters) {
  if (inSymbol_) {
    Note(Format("DF Missing before Symbol Start"));
    EndSymbol();
    if (job_.abort) return;
  }
  CifLexer lex = After(text_, c, letters);
  bool found = false;
  const std::int32_t n = lex.ReadCifInteger(&found);
  std::int32_t a = lex.ReadCifInteger(), b = lex.ReadCifInteger();
  if (a <= 0) a = 1;
  if (b <= 0) b = 1;
  inSymbol_ = true;
  writing_ = false;
  layer_ = 64;
  wireType_ = 2;
  roundTold_ = false;
  gcd_ = 0;
  row_ = found ? RowOf(n) : -1;
  if (row_ < 0) {
    Stop(Format("Symbol #%d Name is Missing ... Can't Continue", n));
    return;
  }
  if (converted_[row_]) {
    Note(Format("Symbol #%d Defined Twice ... Second Skipped", n));
    return;
  }
  converted_[row_] = 1;
  const utilib::StructureRow& row = names_.rows[row_];
  utilib::SetItemText(job_, row.cellName, kImpCell);
  utilib::SetItemText(job_, Format("%d", row.rank), kImpRank);
  if (!tlc_->CreateCellTlc(row.cellName)) {
    Stop(Format("Unable to Open %s.TLC File ... Can't Continue", row.cellName.c_str()));
    return;
  }
  c_ = 100.0 * b / a;
  scale_ = s_.scale > 0 ? s_.scale : c_;
  k_ = scale_ / c_;
  writing_ = true;
}

bool Importer::FinishCell(const utilib::StructureRow& row, double scale) {
  const tlc::TlcRecordCounts counts = tlc_->Writer().Counts();
  tlc::TlcHeader header;
  header.name = row.cellName;
  header.scale = scale;
  header.unit = "um";
  header.rank = row.rank;
  header.boxes = counts.boxes;
  header.paths = counts.paths + counts.texts;
  header.vertices = static_cast<std::int32_t>(counts.vertices);
  header.cellRefs = counts.cellRefs;
  tlc::StampNow(header);
  tlc_->Writer().PutHeader(header);
  utilib::ReportPrintf(job_, "%-24s%-5d%-8d%-8ld%-8ld%-8u%-8d\n", row.cellName.c_str(), row.rank, counts.boxes,
                       static_cast<long>(counts.paths), static_cast<long>(counts.texts),
                       static_cast<unsigned>(counts.vertices), counts.cellRefs);
  if (!tlc_->CloseCellTlc()) {
    Stop(Format("Unable to Write %s.TLC ... Can't Continue", row.cellName.c_str()));
    return false;
  }
  ++tlcFiles_;
  return true;
}

void Importer::EndSymbol() {
  inSymbol_ = false;
  if (!writing_) return;
  writing_ = false;
  if (!FinishCell(names_.rows[row_], scale_)) return;
  CheckResolution();
  utilib::ShowPause(job_, 500);
}

void Importer::CheckResolution() {
  const std::int64_t limit = c_ < 1 ? 1 : static_cast<std::int64_t>(c_);
  const std::int64_t n = utilib::LargestDivisorNotAbove(gcd_, limit);
  gcd_ = 0;
  if (n < fileMinimum_) fileMinimum_ = n;
  utilib::SetItemText(job_,
                      Format("Min Feature=%gum   Scales: CIF=%gum/unit  TLC=%gunits/um",
                             static_cast<double>(fileMinimum_) / c_, 1 / c_, scale_),
                      kImpMinFeature);
  const long a = std::lround(c_ / static_cast<double>(n));
  if (static_cast<double>(n) * scale_ / c_ < 0.999 || (a != 0 && std::fmod(scale_, static_cast<double>(a)) != 0))
    utilib::SetItemText(job_, Format("Resolution Lost ... MERO Units must be Multiple of %ld", a), kImpResolution);
}

bool Importer::ReadPoints(CifLexer& lex, std::vector<Point>& points) {
  points.clear();
  for (;;) {
    bool found = false;
    const std::int32_t x = lex.ReadCifInteger(&found);
    if (!found) return true;
    const std::int32_t y = lex.ReadCifInteger(&found);
    if (!found) return false;
    Feature(x);
    Feature(y);
    points.push_back({Tlc(x), Tlc(y)});
  }
}

void Importer::WritePath(const std::vector<Point>& points, std::int32_t width) {
  const std::size_t limit = kMaxSymbolPoints;
  if (points.size() <= limit) {
    std::vector<std::int32_t> x, y;
    for (const Point& p : points) x.push_back(p.x), y.push_back(p.y);
    tlc_->Writer().PutPath(layer_, width, x, y);
    return;
  }
  if (width == 0) {
    std::vector<std::vector<Point>> pieces;
    if (!utilib::SplitPolygon(points, limit, pieces)) {
      Refuse(At(Format("Poly of %d Vertices not Converted", static_cast<int>(points.size())).c_str(),
                points.front(), layer_));
      return;
    }
    Note(At(Format("Poly of %d Vertices Cut into %d Polys", static_cast<int>(points.size()),
                   static_cast<int>(pieces.size())).c_str(),
            points.front(), layer_));
    for (const auto& piece : pieces) WritePath(piece, 0);
    return;
  }
  // A long wire goes out in pieces that share a whole segment, so every join is kept.
  Note(At(Format("Path of %d Vertices Cut into Pieces", static_cast<int>(points.size())).c_str(),
          points.front(), layer_));
  for (std::size_t start = 0;; start += limit - 2) {
    const std::size_t end = std::min(points.size(), start + limit);
    WritePath(std::vector<Point>(points.begin() + static_cast<std::ptrdiff_t>(start),
                                 points.begin() + static_cast<std::ptrdiff_t>(end)),
              width);
    if (end == points.size()) break;
  }
}

void Importer::ConvertBox(const CifCommand& c) {
  CifLexer lex = After(text_, c, 1);
  std::int32_t v[6] = {0, 0, 0, 0, 0, 0};
  int count = 0;
  for (; count < 6; ++count) {
    bool found = false;
    v[count] = lex.ReadCifInteger(&found);
    if (!found) break;
  }
  if (count < 4) {
    Refuse(Format("Box Command with %d Numbers Skipped", count));
    return;
  }
  for (int i = 0; i < 4; ++i) Feature(v[i]);
  const std::int64_t length = std::abs(static_cast<std::int64_t>(Tlc(v[0])));
  const std::int64_t width = std::abs(static_cast<std::int64_t>(Tlc(v[1])));
  const std::int64_t cx = Tlc(v[2]), cy = Tlc(v[3]);
  const bool turned = count >= 6 && !(v[5] == 0 && v[4] > 0) && !(v[4] == 0 && v[5] == 0);
  if (!turned) {
    // Integer halves, and the far side one length away, so no box loses a unit.
    tlc::TlcBox box;
    box.layer = layer_;
    box.left = static_cast<std::int32_t>(cx - length / 2);
    box.right = static_cast<std::int32_t>(cx - length / 2 + length);
    box.bottom = static_cast<std::int32_t>(cy - width / 2);
    box.top = static_cast<std::int32_t>(cy - width / 2 + width);
    tlc_->Writer().PutBox(box);
    return;
  }
  const double norm = std::hypot(static_cast<double>(v[4]), static_cast<double>(v[5]));
  const double cs = v[4] / norm, sn = v[5] / norm;
  const double hl = static_cast<double>(length) / 2, hw = static_cast<double>(width) / 2;
  const double corners[4][2] = {{-hl, -hw}, {hl, -hw}, {hl, hw}, {-hl, hw}};
  std::vector<Point> points;
  for (const auto& corner : corners) {
    const double x = std::trunc(cs * corner[0] - sn * corner[1]);
    const double y = std::trunc(sn * corner[0] + cs * corner[1]);
    points.push_back({db::RoundToCoordinate(static_cast<double>(cx) + x),
                      db::RoundToCoordinate(static_cast<double>(cy) + y)});
  }
  points.push_back(points.front());
  WritePath(points, 0);
}

void Importer::ConvertPolygon(const CifCommand& c) {
  CifLexer lex = After(text_, c, 1);
  std::vector<Point> points;
  if (!ReadPoints(lex, points)) Note("Polygon with an Odd Number of Coordinates");
  if (points.size() < 2) return;
  if (s_.closeOpenPoly && !(points.front() == points.back()) && points.size() < kMaxSymbolPoints)
    points.push_back(points.front());
  WritePath(points, 0);
}

void Importer::ConvertWire(const CifCommand& c) {
  CifLexer lex = After(text_, c, 1);
  bool found = false;
  const std::int32_t raw = lex.ReadCifInteger(&found);
  if (!found) return;
  Feature(raw);
  const std::int32_t width = static_cast<std::int32_t>(std::abs(static_cast<std::int64_t>(Tlc(raw))));
  std::vector<Point> points;
  if (!ReadPoints(lex, points)) Note("Wire with an Odd Number of Coordinates");
  if (points.size() < 2) return;
  if (wireType_ == 0) {  // flush ends, as the "98 0" before it says
    WritePath(points, width);
    return;
  }
  if (wireType_ == 1 && !roundTold_) {
    roundTold_ = true;
    Note(At("Round Wire Ends Made Square", points.front(), layer_));
  }
  if (!s_.inlinePaths) {
    WritePath(points, -width);
    return;
  }
  const double half = width / 2.0;
  auto extend = [&](Point& end, const Point& next) {
    const double dx = static_cast<double>(end.x) - next.x, dy = static_cast<double>(end.y) - next.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) {
      Note(At("Vertex Coincidence", end, layer_));
      return;
    }
    auto away = [](double v) { return std::trunc(v + (v < 0 ? -0.999 : 0.999)); };
    end = {db::RoundToCoordinate(end.x + away(dx / length * half)),
           db::RoundToCoordinate(end.y + away(dy / length * half))};
  };
  extend(points.front(), points[1]);
  extend(points.back(), points[points.size() - 2]);
  WritePath(points, width);
}

void Importer::ConvertCall(const CifCommand& c) {
  CifLexer lex = After(text_, c, 1);
  bool found = false;
  const std::int32_t n = lex.ReadCifInteger(&found);
  if (!found) return;
  // The transforms apply in the order written.
  int code = 0;
  std::int64_t tx = 0, ty = 0;
  bool approximated = false;
  auto apply = [&](int op) {
    code = db::ComposeOrientation(op, code);
    db::OrientPoint(op, tx, ty);
  };
  while (!lex.AtEnd()) {
    const int ch = lex.ClassifyCifChar();
    if (ch == 'T') {
      const std::int32_t x = lex.ReadCifInteger(), y = lex.ReadCifInteger();
      Feature(x);
      Feature(y);
      tx += x;
      ty += y;
    } else if (ch == 'M') {
      int axis = 0;
      while (!lex.AtEnd() && ClassOf(axis = lex.ClassifyCifChar()) == kBlank) {
      }
      if (axis == 'X') apply(6);
      else if (axis == 'Y') apply(4);
    } else if (ch == 'R') {
      const std::int32_t a = lex.ReadCifInteger(), b = lex.ReadCifInteger();
      if (b == 0 && a > 0) {
      } else if (a == 0 && b > 0) {
        apply(1);
      } else if (b == 0 && a < 0) {
        apply(2);
      } else if (a == 0 && b < 0) {
        apply(3);
      } else {
        approximated = true;
      }
    }
  }
  const int row = RowOf(n);
  if (row < 0) {
    Refuse(Format("Call of Unnamed Symbol #%d Dropped", n));
    return;
  }
  const std::string& name = names_.rows[row].cellName;
  if (!names_.rows[row].found && !names_.rows[row].tlcPresent && !called_[row]) {
    // Named but defined nowhere, and no older file of it here: a token cell stands in for it, so that
    // the reference has a file.
    Note(Format("Symbol #%d %s is Missing ... Token Cell Made", n, name.c_str()));
  }
  called_[row] = 1;
  if (approximated) {
    Note(Format("Non-orthogonal/scaled instance of %s approximated", name.c_str()));
    ++approximated_;
  }
  tlc::TlcCellRef ref;
  ref.name = name;
  ref.orientation = code;
  ref.x = db::RoundToCoordinate(static_cast<double>(tx) * k_);
  ref.y = db::RoundToCoordinate(static_cast<double>(ty) * k_);
  tlc_->Writer().PutCellRef(ref);
}

void Importer::ConvertText(std::string_view command) {
  tlc::TlcText t;
  t.layer = 64;
  t.size = utilib::RoundTextSize15(s_.textSize * scale_);
  t.text = "NONE";
  for (const auto& [field, piece] : SplitLabelFields(s_.textTemplate, command)) {
    CifLexer lex(piece);
    switch (field) {
      case TemplateField::Layer: t.layer = utilib::ClampLayerNumber(lex.ReadCifInteger()); break;
      case TemplateField::LayerName: t.layer = LayerOf(piece); break;
      case TemplateField::Size: t.size = utilib::RoundTextSize15(lex.ReadCifInteger() * k_); break;
      case TemplateField::Orientation: t.orientation = lex.ReadCifInteger() & 7; break;
      case TemplateField::X: t.x = Tlc(lex.ReadCifInteger()); break;
      case TemplateField::Y: t.y = Tlc(lex.ReadCifInteger()); break;
      case TemplateField::Text: t.text = piece; break;
      case TemplateField::Other: break;
    }
  }
  if (t.text.size() > tlc::kTextLength) {
    t.text.resize(tlc::kTextLength);
    Note(At("Text Cut to 64 Characters", {t.x, t.y}, t.layer));
  }
  t.vertexCount = t.text.empty() ? 2 : tlc::TextVertexCount(t.text.size());
  tlc_->Writer().PutText(t);
}

void Importer::ConvertUserCommand(const CifCommand& c) {
  const std::string_view command = Body(c);
  const std::string& tmpl = s_.textTemplate;
  if (tmpl.size() >= 2 && command.size() >= 2 && command.compare(0, 2, tmpl, 0, 2) == 0) {
    ConvertText(command);
  } else if (command.size() >= 2 && command.compare(0, 2, "98") == 0) {
    CifLexer lex(command.substr(2));
    wireType_ = lex.ReadCifInteger();
  }
}

bool Importer::ConvertCifSymbols() {
  converted_.assign(names_.rows.size(), 0);
  called_.assign(names_.rows.size(), 0);
  CifLexer lex(text_);
  CifCommand c;
  unsigned commands = 0;
  while (!job_.abort && NextCifCommand(lex, c)) {
    if ((++commands & 4095) == 0 && utilib::PollEscape(job_)) break;
    if (c.kind == 'E') break;
    if (c.kind == '(') continue;
    std::size_t letters = 0;
    if (c.kind == 'D') {
      const char d = DefinitionLetter(text_, c, &letters);
      if (d == 'S') BeginSymbol(c, letters);
      else if (d == 'F') EndSymbol();
      continue;
    }
    if (!writing_) {
      // What stands outside every symbol has no cell to go to; a call there is the file's top call.
      // Told once; each one counts, as does what a definition given twice holds the second time.
      const bool shape = c.kind == 'B' || c.kind == 'P' || c.kind == 'W' || c.kind == 'R';
      if (!inSymbol_ && shape && !outsideTold_) {
        outsideTold_ = true;
        Note("Geometry outside Symbols Ignored");
      }
      if (shape || (inSymbol_ && c.kind == 'C')) ++leftOut_;
      continue;
    }
    switch (c.kind) {
      case 'L': {
        CifLexer name = After(text_, c, 1);
        layer_ = LayerOf(name.ReadCifName(true));
        break;
      }
      case 'B': ConvertBox(c); break;
      case 'P': ConvertPolygon(c); break;
      case 'W': ConvertWire(c); break;
      case 'C': ConvertCall(c); break;
      case 'R': {
        CifLexer body = After(text_, c, 1);
        body.ReadCifInteger();
        const std::int32_t x = body.ReadCifInteger(), y = body.ReadCifInteger();
        Refuse(At("Round Flash not Converted", {Tlc(x), Tlc(y)}, layer_));
        break;
      }
      default:
        if (ClassOf(static_cast<unsigned char>(c.kind)) == kDigit) ConvertUserCommand(c);
        break;
    }
  }
  if (job_.abort) return false;
  if (inSymbol_) {
    Note("DF Missing at End of File");
    EndSymbol();
  }
  return !job_.abort && WriteTokenCells();
}

// A called symbol that was named but never defined becomes a cell holding its name as a label; an older
// TLC file of it in the destination stands for it instead.
bool Importer::WriteTokenCells() {
  const double scale = s_.scale > 0 ? s_.scale : (scale_ > 0 ? scale_ : 100);
  for (std::size_t i = 0; i < names_.rows.size() && !job_.abort; ++i) {
    const utilib::StructureRow& row = names_.rows[i];
    if (!called_[i] || converted_[i] || row.tlcPresent) continue;
    if (!tlc_->CreateCellTlc(row.cellName)) {
      Stop(Format("Unable to Open %s.TLC File ... Can't Continue", row.cellName.c_str()));
      return false;
    }
    tlc::TlcText label;
    label.layer = 64;
    label.size = 75;
    label.text = ("<<" + row.cellName + ">>").substr(0, tlc::kTextLength);
    label.vertexCount = tlc::TextVertexCount(label.text.size());
    tlc_->Writer().PutText(label);
    if (!FinishCell(row, scale)) return false;
  }
  return !job_.abort;
}

int Importer::Run(ImportResult* result, std::string* text) {
  if (text) {
    text_ = std::move(*text);
  } else if (!os::ReadWholeFile(s_.cifFile, text_)) {
    Stop("CIF File is Missing ... Can't Continue");
    return 0;
  }
  utilib::SetItemText(job_, "Reading for CIF End ...", kImpOperation);
  if (CountCifEnds() >= 2) {
    Stop("CIF File has Too Many End Commands ... Break Up File");
    return 0;
  }

  utilib::SetItemText(job_, "Analyzing CIF Cells ...", kImpOperation);
  names_.foreignWord = "Symbol";
  if (!s_.cellFile.empty()) {
    std::string cellText;
    if (os::ReadWholeFile(s_.cellFile, cellText) && !ReadCellFileNames(cellText)) return 0;
  } else if (!ReadCifSymbolNames()) {
    return 0;
  }
  if (names_.Count() == 0) {
    Stop("Cell Info is Incorrect or Missing");
    return 0;
  }
  utilib::MakeCellNames(job_, names_, ask_);
  if (job_.abort) return 0;

  utilib::SetItemText(job_, "Analyzing CIF Layers ...", kImpOperation);
  if (s_.layerFile == s_.cifFile) layers_ = ParseCifLayers(text_, true);
  else ReadCifLayerFile(s_.layerFile, layers_, true);
  if (layers_.empty()) {
    Stop("Layer Info is Incorrect or Missing");
    return 0;
  }

  utilib::SetItemText(job_, "Analyzing Cell Hierarchy ...", kImpOperation);
  if (!RankCifSymbols()) return 0;
  if (!utilib::RankWithPreviousFiles(job_, names_, hierarchy_, s_.tlcFolder, s_.scale)) return 0;

  if (!utilib::OpenConversionReport(job_, s_.reportFile, "CIF to TLC Conversion Report")) {
    Stop("Unable to Open Report File .., Can't Continue");
    return 0;
  }
  utilib::ReportPrintf(job_, "CIF File Name: %s\n", s_.cifFile.c_str());
  utilib::ReportPrintf(job_, "Cell File Name: %s\n", s_.cellFile.c_str());
  utilib::ReportPrintf(job_, "Layer File Name: %s\n", s_.layerFile.c_str());
  utilib::ReportPrintf(job_, "Path of TLC Files: %s\n", s_.tlcFolder.c_str());
  if (s_.scale > 0) utilib::ReportPrintf(job_, "MERO Scale Units: %gunits/um\n\n", s_.scale);
  else utilib::ReportPrintf(job_, "MERO Scale Units per CIF Defintion\n\n");
  utilib::ReportPrintf(job_, "Layer List:\nNo.  Name\n---------\n");
  for (const CifLayer& l : layers_) utilib::ReportPrintf(job_, " %-4d%s\n", l.layer, l.name.c_str());
  utilib::ReportPrintf(job_, "\nCell                   Rank Boxes   Paths   Text  (Vertex)  Cells\n%s\n",
                       std::string(66, '-').c_str());

  tlc_ = std::make_unique<utilib::ImporterTlc>(job_, utilib::ImporterKind::Cif, s_.tlcFolder);
  const int built =
      tlc_->ConstructTlcFiles(s_.makeRef, names_.Count(), 1, kImpMessages, [this] { return ConvertCifSymbols(); });
  tlc_.reset();
  if (!built) return 0;

  utilib::ReportPrintf(job_, "\nMin Feature=%gum\n", static_cast<double>(fileMinimum_) / c_);
  utilib::ReportPrintf(job_, "Scales: CIF=%gum/unit  TLC=%gunits/um\n", 1 / c_, scale_);
  if (result) {
    result->tlcFiles = tlcFiles_;
    result->minFeature = static_cast<double>(fileMinimum_) / c_;
    result->leftOut = leftOut_;
    result->approximated = approximated_;
  }
  return 1;
}

}  // namespace

std::string ImportCompletedText(const ImportResult& result) {
  return utilib::ImportEndText(result.tlcFiles, result.leftOut, "Commands not Converted", result.approximated);
}

int ImportCif(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
              ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, askName);
  return importer.Run(result);
}

int ImportCifText(utilib::Job& job, ImportSettings& settings, const utilib::NewNameAsker& askName,
                  std::string text, ImportResult* result) {
  job.abort = false;
  Importer importer(job, settings, askName);
  return importer.Run(result, &text);
}

}  // namespace cif
