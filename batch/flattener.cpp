#include "batch/flattener.h"

#include <strings.h>

#include <array>
#include <filesystem>
#include <memory>
#include <unordered_map>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/db/helpers.h"
#include "editor/db/hierarchy.h"
#include "editor/db/object_store.h"
#include "editor/db/orientation.h"
#include "editor/tlc/writer.h"
#include "platform/os/path.h"
#include "platform/os/process.h"
#include "utilib/small_readers.h"

namespace planer {

namespace {

constexpr int kCellPauseMs = 200;

// A cell's objects as the BP6 and CL6 hold them, decoded once however often the cell is placed.
struct CellObjects {
  std::vector<db::CellRefRecord> refs;
  std::vector<tlc::TlcBox> boxes;
  std::vector<tlc::TlcPath> paths;
  std::vector<tlc::TlcText> texts;
};

struct ListEntry {
  std::string name;
  int row = 0;
  int rank = 0;
  bool referenced = false;  // added through a reference
};

// The instance through which a depth was entered.
struct StackEntry {
  int orientation = 0;
  std::int32_t x = 0, y = 0;
};

struct DeviceInstance {
  std::int32_t x = 0, y = 0;
  int orientation = 0;
  int row = 0;
};

// What one file got, for its header, the display and the report.
struct FileCounts {
  int boxes = 0, paths = 0, texts = 0, cells = 0;
  std::int64_t vertices = 0;  // path vertices
};

class Flattener {
 public:
  Flattener(utilib::Job& job, const DrawingFolder& d, const PlanerSettings& s, FlattenResult& result)
      : job_(job), d_(d), s_(s), result_(result), work_(std::make_unique<db::Database>()) {
    work_->index = d.index;
    work_->folder = d.folder;
    work_->form.poolFolder = d.pool;
  }

  int Run();

 private:
  bool MakeOutputFolder();
  void BuildList();
  void SortList();
  void WriteTableHead(const char* title);
  bool WriteTokenCellFile(const ListEntry& e);
  bool WriteTopCellFile(const ListEntry& e);
  void WriteTokenCell(tlc::TlcWriter& out, const ListEntry& e);
  void FlattenLevel(tlc::TlcWriter& out, int row, int depth);
  bool WriteText(tlc::TlcWriter& out, const tlc::TlcText& text, int depth, const std::vector<DeviceInstance>& devices);
  void Finish(const std::string& name);
  const CellObjects& Objects(int row);
  // False, with the object counted as left out, when the point falls outside the TLC range.
  bool Transform(std::int32_t& x, std::int32_t& y, int depth);
  void OutOfRange(const char* what, int row);
  void RankBroken(int holder, int placed);
  int Orientation(int code, int depth) const;
  int Row(std::string_view name) const;
  void Message(std::string_view text) { utilib::RouteMessage(job_, text, utilib::MessageKind::ReportAndBox, 0); }
  void Item(int item, std::string_view text) { utilib::SetItemText(job_, text, item); }

  utilib::Job& job_;
  const DrawingFolder& d_;
  const PlanerSettings& s_;
  FlattenResult& result_;
  std::unique_ptr<db::Database> work_;  // the cell files are read through its loader
  std::unordered_map<int, std::unique_ptr<CellObjects>> cache_;
  std::vector<ListEntry> list_;
  std::array<StackEntry, kMaxDepth + 1> stack_{};
  FileCounts counts_;
  bool failed_ = false;
  bool deepShown_ = false;
  bool outOfRange_ = false;  // of the object being transformed
  int outOfRangeCount_ = 0;
  int rankErrors_ = 0;
  bool damaged_ = false;  // a cell file was read short: the run stops and writes nothing more
  int current_ = 0;  // row whose texts are being written
};

int Flattener::Row(std::string_view name) const {
  for (int row = 1; row <= d_.index.count; ++row)
    if (d_.index.rows[row].name.size() == name.size() &&
        strncasecmp(d_.index.rows[row].name.data(), name.data(), name.size()) == 0)
      return row;
  return 0;
}

const CellObjects& Flattener::Objects(int row) {
  auto& slot = cache_[row];
  if (slot) return *slot;
  slot = std::make_unique<CellObjects>();
  CellObjects& c = *slot;
  const db::CellIndexEntry& e = d_.index.rows[row];
  db::ObjectStore& st = work_->store;
  // A file read short (a zero record inside it) would come out as a smaller flat cell.
  auto readShort = [&](const char* what) {
    if (!damaged_) Message(utilib::Format("%s ... Unable to Read %s File", e.name.c_str(), what));
    damaged_ = true;
    job_.abort = true;
  };
  if (!db::WholeOrMissing(db::LoadRowObjects(*work_, row))) {
    readShort("BP6");
    return c;
  }
  if (e.Rank() > 1 && !db::WholeOrMissing(db::LoadRowRefs(*work_, row))) {
    readShort("CL6");
    return c;
  }
  db::AsideRecords aside;  // of these two loads: a rank-1 cell read no CL6
  aside.objects = st.aside.objects;
  if (e.Rank() > 1) aside.refs = st.aside.refs;
  utilib::TellSetAside(job_, e.name, aside);
  for (int r = 1; r <= st.refCount[0]; ++r) c.refs.push_back(st.GetCellRefRecord(0, r));
  for (int b = 1; b <= st.boxCount; ++b) {
    const db::BoxRecord box = st.GetBoxRecord(b);
    c.boxes.push_back({box.flags & 127, box.left, box.bottom, box.right, box.top});
  }
  tlc::TlcPath path;
  tlc::TlcText text;
  for (int p = 1; p <= st.pathCount; ++p) {
    if (tlc::ReadStorePath(st, p, path, text))
      c.texts.push_back(text);
    else
      c.paths.push_back(path);
  }
  st.FreeObjectStore();
  return c;
}

// Through every instance above the depth, innermost first, in 64 bits: placed far enough out, a
// point leaves the 32-bit range of the TLC numbers, and then it is not written rather than wrapped.
bool Flattener::Transform(std::int32_t& x, std::int32_t& y, int depth) {
  std::int64_t px = x, py = y;
  for (int k = depth - 1; k >= 0; --k) {
    db::OrientPoint(stack_[k].orientation, px, py);
    px += stack_[k].x;
    py += stack_[k].y;
  }
  constexpr std::int64_t kLow = INT32_MIN, kHigh = INT32_MAX;
  if (px < kLow || px > kHigh || py < kLow || py > kHigh) {
    outOfRange_ = true;
    return false;
  }
  x = static_cast<std::int32_t>(px);
  y = static_cast<std::int32_t>(py);
  return true;
}

void Flattener::OutOfRange(const char* what, int row) {
  outOfRange_ = false;
  // The first one with a box, every one in the report.
  const std::string text = utilib::Format("%s of %s Outside the Coordinate Range ... not Written", what,
                                          d_.index.rows[row].name.c_str());
  if (outOfRangeCount_++ == 0)
    Message(text);
  else
    utilib::ReportPrintf(job_, "%s\n", text.c_str());
}

void Flattener::RankBroken(int holder, int placed) {
  const std::string text = utilib::Format("%s ... %s Placed in %s not Written", db::kRankErrorText,
                                          d_.index.rows[placed].name.c_str(), d_.index.rows[holder].name.c_str());
  if (rankErrors_++ == 0)
    Message(text);
  else
    utilib::ReportPrintf(job_, "%s\n", text.c_str());
}

int Flattener::Orientation(int code, int depth) const {
  for (int k = depth - 1; k >= 0; --k) code = db::ComposeOrientation(stack_[k].orientation, code);
  return code;
}

bool Flattener::MakeOutputFolder() {
  std::string folder = s_.outFolder;
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  switch (os::MakeFolder(d_.folder + folder)) {
    case os::MkdirResult::Created:
      return true;
    case os::MkdirResult::Exists:
      return job_.ui->Box(kProgram, "Destination Folder Exists ... Continue?", tell::Buttons::YesNo) ==
             tell::Answer::Yes;
    default:
      Message("Unable to Make Destination Folder " + s_.outFolder);
      return false;
  }
}

void Flattener::BuildList() {
  list_.push_back({s_.cell, Row(s_.cell), 0, false});
  for (std::size_t i = 0; i < list_.size() && !job_.abort; ++i) {
    Item(kItemOperation, utilib::Format("Reading %s ...", list_[i].name.c_str()));
    list_[i].rank = d_.index.rows[list_[i].row].Rank();
    if (list_[i].rank > 1) {
      for (const db::CellRefRecord& ref : Objects(list_[i].row).refs) {
        const int used = db::RefRowOf(ref.flags);
        if (!d_.index.ValidRow(used)) continue;
        bool listed = false;
        for (const ListEntry& e : list_) listed = listed || e.row == used;
        if (!listed) list_.push_back({d_.index.rows[used].name, used, d_.index.rows[used].Rank(), true});
      }
    }
    utilib::ShowPause(job_, kCellPauseMs);
  }
}

void Flattener::SortList() {
  Item(kItemOperation, "Sorting Cells ...");
  // The exchange sort of the original order: equal ranks may swap places, as they always did.
  for (std::size_t i = 0; i < list_.size(); ++i)
    for (std::size_t k = i + 1; k < list_.size(); ++k)
      if (list_[k].rank < list_[i].rank) std::swap(list_[i], list_[k]);
  utilib::ShowPause(job_, kCellPauseMs);
}

void Flattener::WriteTableHead(const char* title) {
  utilib::ReportPrintf(job_, "\n%s\n%s\n",
                       utilib::Format("%s\nCellname    Boxes     Paths     Text     (Vertex)   Cells", title).c_str(),
                       std::string(58, '-').c_str());
}

void Flattener::Finish(const std::string& name) {
  Item(kItemCell, name);
  Item(kItemBoxes, std::to_string(counts_.boxes));
  Item(kItemPaths, std::to_string(counts_.paths));
  Item(kItemTexts, std::to_string(counts_.texts));
  Item(kItemVertices, std::to_string(counts_.vertices));
  Item(kItemCells, std::to_string(counts_.cells));
  utilib::ReportPrintf(job_, "%-13s%-10ld%-10ld%-10ld%-10ld%-10ld\n", name.c_str(), static_cast<long>(counts_.boxes),
                       static_cast<long>(counts_.paths), static_cast<long>(counts_.texts),
                       static_cast<long>(counts_.vertices), static_cast<long>(counts_.cells));
  utilib::ShowPause(job_, kCellPauseMs);
}

tlc::TlcHeader MakeHeader(const DrawingFolder& d, const std::string& name, int rank) {
  tlc::TlcHeader h;
  h.name = name;
  h.scale = d.scale.scale;
  // The drawing's own unit: a "mil" drawing's flat files must not claim micrometres.
  h.unit = d.scale.unit;
  tlc::StampNow(h);
  h.rank = rank;
  return h;
}

void Flattener::WriteTokenCell(tlc::TlcWriter& out, const ListEntry& e) {
  const db::CellIndexEntry& row = d_.index.rows[e.row];
  const CellObjects& c = Objects(e.row);
  out.PutBox({s_.outlineLayer, row.left, row.bottom, row.right, row.top});
  ++counts_.boxes;
  for (const tlc::TlcText& t : c.texts) {
    if (t.layer != s_.connectorLayer) continue;
    out.PutText(t);
    ++counts_.texts;
  }
}

bool Flattener::WriteTokenCellFile(const ListEntry& e) {
  const std::string path = d_.folder + s_.outFolder + e.name + ".TLC";
  Item(kItemFile, path);
  tlc::FileSink sink;
  if (!sink.Open(path)) {
    Message("Unable to Create Device TLC File");
    return false;
  }
  tlc::TlcWriter out(sink, tlc::UtilityWriterOptions());
  counts_ = {};
  WriteTokenCell(out, e);
  tlc::TlcHeader h = MakeHeader(d_, e.name, 1);
  const db::CellIndexEntry& row = d_.index.rows[e.row];
  h.left = row.left, h.bottom = row.bottom, h.right = row.right, h.top = row.top;
  h.boxes = 1;
  h.paths = counts_.texts;
  out.PutHeader(h);
  if (damaged_) {
    sink.Abandon();
    return false;
  }
  if (!out.Flush() || sink.Commit() != 1) {
    sink.Abandon();
    Message("Unable to Create Device TLC File");
    return false;
  }
  Finish(e.name);
  return true;
}

bool Flattener::WriteTopCellFile(const ListEntry& e) {
  const bool circuit = s_.circuitCompile;
  const char* failure = circuit ? "Unable to Write Flat TLC File" : "Unable to Write Smashed TLC File";
  if (circuit) WriteTableHead("Flat Cells:");
  Item(kItemOperation, circuit ? "Writing Flat Cell ..." : "Writing Smashed Cell ...");
  const std::string path = d_.folder + s_.outFolder + e.name + ".TLC";
  Item(kItemFile, path);
  tlc::FileSink sink;
  if (!sink.Open(path)) {
    Message(failure);
    return false;
  }
  tlc::TlcWriter out(sink, tlc::UtilityWriterOptions());
  counts_ = {};
  FlattenLevel(out, e.row, 0);
  tlc::TlcHeader h = MakeHeader(d_, e.name, circuit ? 2 : 1);
  h.boxes = counts_.boxes;
  h.paths = counts_.paths + counts_.texts;
  h.vertices = static_cast<std::int32_t>(counts_.vertices);
  h.cellRefs = counts_.cells;
  out.PutHeader(h);
  // A stopped run keeps what it wrote; a file that could not be written, or whose cells were read
  // short, keeps its old self.
  if (damaged_) {
    sink.Abandon();
    return false;
  }
  if (failed_ || !out.Flush() || sink.Commit() != 1) {
    sink.Abandon();
    Message(failure);
    return false;
  }
  result_.topFile = path;
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(os::NativePath(path), ec);
  result_.topFileBytes = ec ? 0 : static_cast<std::int64_t>(bytes);
  Finish(e.name);
  return true;
}

bool Flattener::WriteText(tlc::TlcWriter& out, const tlc::TlcText& text, int depth,
                          const std::vector<DeviceInstance>& devices) {
  if (s_.circuitCompile) {
    const int layer = text.layer;
    if (layer == s_.nodeLayer) {
      if (depth > 0 && !s_.keepAllNodeText) return true;
    } else if (layer == s_.deviceNameLayer || layer == s_.deviceParamLayer) {
      // The point in this cell's own coordinates, against the device outlines placed in it.
      bool inside = false;
      for (const DeviceInstance& dev : devices) {
        const db::CellIndexEntry& row = d_.index.rows[dev.row];
        std::int64_t x1 = row.left, y1 = row.bottom, x2 = row.right, y2 = row.top;
        db::OrientPoint(dev.orientation, x1, y1);
        db::OrientPoint(dev.orientation, x2, y2);
        if (x1 > x2) std::swap(x1, x2);
        if (y1 > y2) std::swap(y1, y2);
        if (text.x >= x1 + dev.x && text.x <= x2 + dev.x && text.y >= y1 + dev.y && text.y <= y2 + dev.y) {
          inside = true;
          break;
        }
      }
      if (!inside) return true;
    } else if (layer == s_.connectorLayer) {
      return true;
    }
  }
  tlc::TlcText t = text;
  if (!Transform(t.x, t.y, depth)) {
    OutOfRange("Text", current_);
    return true;
  }
  t.orientation = Orientation(t.orientation, depth);
  ++counts_.texts;
  return out.PutText(t);
}

void Flattener::FlattenLevel(tlc::TlcWriter& out, int row, int depth) {
  if (job_.abort || failed_) return;
  if (depth > kMaxDepth) {
    // Only a damaged index (a rank that does not fall, a cell inside itself) gets here.
    if (!deepShown_) utilib::ReportPrintf(job_, "Cells below %d Levels not Written\n", kMaxDepth + 1);
    deepShown_ = true;
    return;
  }
  const CellObjects& c = Objects(row);
  std::vector<DeviceInstance> devices;
  if (s_.circuitCompile) {
    for (const db::CellRefRecord& ref : c.refs) {
      const int used = db::RefRowOf(ref.flags);
      if (!d_.index.ValidRow(used) || d_.index.rows[used].refCount != 0) continue;
      if (static_cast<int>(devices.size()) >= kMaxDeviceInstances) {
        Message(utilib::Format("More than %d Device Instances in %s", kMaxDeviceInstances,
                               d_.index.rows[row].name.c_str()));
        job_.abort = true;
        return;
      }
      devices.push_back({ref.x, ref.y, db::OrientationOf(ref.flags), used});
    }
  }
  for (const tlc::TlcBox& box : c.boxes) {
    if (!s_.layers.IsLayerSelected(box.layer)) continue;
    tlc::TlcBox b = box;
    if (!Transform(b.left, b.bottom, depth) || !Transform(b.right, b.top, depth)) {
      OutOfRange("Box", row);
      continue;
    }
    utilib::OrderExtentCorners(b.left, b.bottom, b.right, b.top);
    ++counts_.boxes;
    if (!out.PutBox(b)) failed_ = true;
  }
  tlc::TlcPath p;
  for (const tlc::TlcPath& path : c.paths) {
    if (!s_.layers.IsLayerSelected(path.layer)) continue;
    p = path;
    bool inRange = true;
    for (std::size_t i = 0; i < p.x.size(); ++i) inRange = Transform(p.x[i], p.y[i], depth) && inRange;
    if (!inRange) {
      OutOfRange("Path", row);
      continue;
    }
    ++counts_.paths;
    counts_.vertices += static_cast<std::int64_t>(p.x.size());
    if (!out.PutPath(p)) failed_ = true;
  }
  current_ = row;
  for (const tlc::TlcText& text : c.texts)
    if (!WriteText(out, text, depth, devices)) failed_ = true;
  if (failed_) return;

  const int holderRank = d_.index.rows[row].Rank();
  for (const db::CellRefRecord& ref : c.refs) {
    if (job_.abort || failed_) return;
    const int used = db::RefRowOf(ref.flags);
    if (!d_.index.ValidRow(used)) continue;
    // A cell placing itself, or a cell not below it, would be followed until the disk is full.
    if (!db::PlacementAllowed(d_.index, holderRank, used)) {
      RankBroken(row, used);
      continue;
    }
    const int orientation = db::OrientationOf(ref.flags);
    if (s_.circuitCompile && d_.index.rows[used].flags == 1) {
      tlc::TlcCellRef device{d_.index.rows[used].name, Orientation(orientation, depth), ref.x, ref.y};
      if (Transform(device.x, device.y, depth)) {
        ++counts_.cells;
        if (!out.PutCellRef(device)) failed_ = true;
      } else {
        OutOfRange("Instance", row);
      }
    }
    if (depth + 1 <= kMaxDepth) stack_[depth] = {orientation, ref.x, ref.y};
    FlattenLevel(out, used, depth + 1);
  }
}

int Flattener::Run() {
  job_.abort = false;
  if (!d_.index.ValidRow(Row(s_.cell))) {
    Message(utilib::Format("%s is not in CELLS6.DBD", s_.cell.c_str()));
    return 0;
  }
  if (!MakeOutputFolder()) return 0;
  BuildList();
  if (job_.abort) return 0;
  SortList();
  if (job_.abort) return 0;

  const bool circuit = s_.circuitCompile;
  const std::string topFile = d_.folder + s_.outFolder + list_.back().name + ".TLC";
  utilib::OpenConversionReport(job_, d_.folder + s_.reportFile, "Flat TLC Conversion Report");
  utilib::ReportPrintf(job_, "Flat TLC File Name: %s\n", topFile.c_str());
  WriteTableHead(circuit ? "Token Cells:" : "Flat Cells:");
  Item(kItemOperation, "Writing Flat Cells ...");

  if (circuit) {
    for (std::size_t i = 0; i + 1 < list_.size() && !job_.abort; ++i) {
      Item(kItemOperation, "Writing Device Token Cells ...");
      if (d_.index.rows[list_[i].row].flags != 1) continue;
      if (!WriteTokenCellFile(list_[i])) return 0;
    }
  }
  if (job_.abort) return 0;
  if (!WriteTopCellFile(list_.back())) return 0;
  return job_.abort ? 0 : 1;
}

}  // namespace

int ReadDrawingFolder(DrawingFolder& d, std::string& message) {
  if (!tlc::ReadPoolFolder(d.folder, d.pool)) {
    message = "FORM.DBD is Missing";
    return 0;
  }
  switch (db::ReadCellIndexFile(d.index, d.folder + "CELLS6.DBD")) {
    case 1: break;
    case 0: message = "CELLS6.DBD is Missing"; return 0;
    default: message = "CELLS6.DBD is Damaged"; return 0;
  }
  if (!db::ReadDatabaseScale(d.scale, d.folder + std::string(db::kSettingsFile))) {
    message = "CONSTS6.DBD is Missing";
    return 0;
  }
  return 1;
}

int FlattenCollection(utilib::Job& job, const DrawingFolder& d, const PlanerSettings& s, FlattenResult& result) {
  result = {};
  Flattener run(job, d, s, result);
  return run.Run();
}

std::string CompletedText(const FlattenResult& result) {
  return utilib::Format("Completed ... %ld Bytes in Flat TLC File", static_cast<long>(result.topFileBytes));
}

}  // namespace planer
