#include "editor/tlc/tlcin.h"

#include <memory>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/cell_index.h"
#include "editor/db/database.h"
#include "editor/db/extent.h"
#include "editor/db/helpers.h"
#include "editor/db/hierarchy.h"
#include "editor/db/settings.h"
#include "editor/tlc/cell_files.h"
#include "editor/tlc/cells_ref.h"
#include "editor/tlc/conversion.h"
#include "editor/tlc/readers.h"
#include "platform/os/path.h"

namespace tlc {

namespace {

class TlcIn;

// Stores the records of one TLC file into the work store, within the store's limits.
class CellLoader final : public RecordConsumer {
 public:
  CellLoader(TlcIn& run, db::Database& work, int rank) : run_(run), work_(work), rank_(rank) {}

  void CellRef(const TlcCellRef& ref) override;
  void Box(const TlcBox& box) override;
  void Path(const TlcPath& path) override;
  void Text(const TlcText& text) override;
  bool Full(Keyword kind) const override;
  void ReadError(Keyword kind, std::string_view message) override;
  bool Stopped() const override;

 private:
  // Room for one more record at `count` below `limit`; else the limit message, once per cell.
  bool Room(int count, int limit, bool& full, const char* message);
  bool RoomForVertex();
  int AddVertex(std::int32_t flags, std::int32_t x, std::int32_t y);
  void Unusable();
  void RankBroken(const std::string& placed);

  TlcIn& run_;
  db::Database& work_;
  int rank_;
  bool refsFull_ = false;
  bool boxesFull_ = false;
  bool pathsFull_ = false;
  bool verticesFull_ = false;
  bool unusableShown_ = false;
  bool rankShown_ = false;
};

class TlcIn : public Conversion {
 public:
  explicit TlcIn(tell::Talk& talk, bool quiet)
      : Conversion(talk, "TLCIN", quiet), work_(std::make_unique<db::Database>()) {}

  int Run(const std::string& source, const std::string& destination, const std::string& name);

 private:
  friend class CellLoader;
  // -1 when the list is built, else the run's result.
  int BuildList(const std::string& source, const std::string& destination, const std::string& name);
  bool ListName(const std::string& name);
  void HeaderPass(const std::string& source);
  // The entry is never converted: its cell in the destination stays as it is.
  void Refuse(ListEntry& entry, const std::string& message);
  static bool HoldsRecord(TlcStream& stream);
  void ConversionPass(const std::string& source, const std::string& destination);
  bool LoadCell(const std::string& source, ListEntry& entry, int row);
  bool WillConvert(const ListEntry& entry) const;
  // The rank a cell of the destination has once this run is done: a cell still to be converted
  // takes its new rank, so no reference can come to place a cell that outranks its holder.
  int RankAfterRun(const std::string& name, int row) const;
  void ResetStore();

  std::unique_ptr<db::Database> work_;
  ScaleCheck scaleCheck_;
  std::vector<ListEntry> list_;
  std::string current_;  // the cell being loaded
  mutable std::vector<int> rankAfterRun_ = std::vector<int>(db::kCellIndexRows, -1);
};

bool CellLoader::Room(int count, int limit, bool& full, const char* message) {
  if (full) return false;
  if (count < limit) return true;
  full = true;
  run_.Fail(message);
  return false;
}

bool CellLoader::RoomForVertex() {
  return Room(work_.store.vertexCount, db::kVertexLimit, verticesFull_, "Vertex Number Limit Reached");
}

// Appends a vertex, next = its own number + 1 (the caller ends the chain); 0 when no page is left.
int CellLoader::AddVertex(std::int32_t flags, std::int32_t x, std::int32_t y) {
  db::ObjectStore& s = work_.store;
  const int v = s.vertexCount + 1;
  if (!s.PutVertexRecord(v, {flags, x, y, v + 1})) {
    Room(db::kVertexLimit, db::kVertexLimit, verticesFull_, "Vertex Number Limit Reached");
    return 0;
  }
  s.vertexCount = v;
  return v;
}

void CellLoader::Unusable() {
  if (!unusableShown_) run_.Fail(RecordErrorText(Keyword::CellRef));
  unusableShown_ = true;
  run_.flags.error = true;
  ++run_.droppedRefs;
}

// A reference to a cell of equal or higher rank would make a loop of the hierarchy: never stored.
void CellLoader::RankBroken(const std::string& placed) {
  if (!rankShown_)
    run_.Fail(Format("%s in %s ... Cell Record Rank Error", placed.c_str(), run_.current_.c_str()));
  rankShown_ = true;
  run_.flags.error = true;
  ++run_.droppedRefs;
}

void CellLoader::CellRef(const TlcCellRef& ref) {
  db::ObjectStore& s = work_.store;
  if (!Room(s.refCount[0], db::kRefLimit, refsFull_, "Cell Number Limit Reached")) return;
  // Row 0 would be taken for the end of the CL6 file, and a rank-1 cell gets no CL6 file: such
  // references cannot be kept.
  const int row = db::FindCell(work_.index, UpperCase(ref.name)) ? work_.index.foundRow : 0;
  if (row < 1 || rank_ <= 1) {
    Unusable();
    return;
  }
  const std::string& placed = work_.index.rows[static_cast<std::size_t>(row)].name;
  if (!db::RankAllowsPlacement(rank_, run_.RankAfterRun(placed, row))) {
    RankBroken(placed);
    return;
  }
  const int r = s.refCount[0] + 1;
  if (!s.PutCellRefRecord(0, r, {row + (ref.orientation << db::kOrientationShift), ref.x, ref.y})) {
    Room(db::kRefLimit, db::kRefLimit, refsFull_, "Cell Number Limit Reached");
    return;
  }
  s.refCount[0] = r;
}

void CellLoader::Box(const TlcBox& box) {
  db::ObjectStore& s = work_.store;
  if (!Room(s.boxCount, db::kBoxLimit, boxesFull_, "Box Number Limit Reached")) return;
  const int b = s.boxCount + 1;
  if (!s.PutBoxRecord(b, {box.layer, box.left, box.bottom, box.right, box.top})) {
    Room(db::kBoxLimit, db::kBoxLimit, boxesFull_, "Box Number Limit Reached");
    return;
  }
  s.boxCount = b;
}

void CellLoader::Path(const TlcPath& path) {
  db::ObjectStore& s = work_.store;
  if (!Room(s.pathCount, db::kPathLimit, pathsFull_, "Path Number Limit Reached")) return;
  const int p = s.pathCount + 1;
  int first = 0, last = 0;
  for (int i = 0; i < path.VertexCount() && RoomForVertex(); ++i) {
    const int v = AddVertex(p, path.x[i], path.y[i]);
    if (!v) break;
    if (!first) first = v;
    last = v;
  }
  if (last) s.SetVertex(0, 3, last);
  if (!s.PutPathRecord(p, {path.layer, path.width, first})) {
    Room(db::kPathLimit, db::kPathLimit, pathsFull_, "Path Number Limit Reached");
    return;
  }
  s.pathCount = p;
}

void CellLoader::Text(const TlcText& text) {
  db::ObjectStore& s = work_.store;
  if (!Room(s.pathCount, db::kPathLimit, pathsFull_, "Path Number Limit Reached")) return;
  const int p = s.pathCount + 1;
  int first = 0, last = 0;
  if (RoomForVertex()) first = last = AddVertex(p, text.x, text.y);
  for (std::size_t i = 0; first && i < text.text.size() && RoomForVertex(); i += 8) {
    std::uint32_t words[2] = {0, 0};
    for (std::size_t k = 0; k < 8 && i + k < text.text.size(); ++k)
      words[k / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(text.text[i + k]))
                      << (24 - 8 * (k % 4));
    const int v = AddVertex(p | db::kCharVertexBit, static_cast<std::int32_t>(words[0]),
                            static_cast<std::int32_t>(words[1]));
    if (!v) break;
    last = v;
  }
  if (last) s.SetVertex(0, 3, last);
  const std::int32_t flags = db::kTextBit | (text.orientation << db::kOrientationShift) | text.layer;
  if (!s.PutPathRecord(p, {flags, text.size, first})) {
    Room(db::kPathLimit, db::kPathLimit, pathsFull_, "Path Number Limit Reached");
    return;
  }
  s.pathCount = p;
}

bool CellLoader::Full(Keyword kind) const {
  switch (kind) {
    case Keyword::CellRef: return refsFull_;
    case Keyword::Box: return boxesFull_;
    case Keyword::Path:
    case Keyword::Text: return pathsFull_ || verticesFull_;
    default: return false;
  }
}

void CellLoader::ReadError(Keyword, std::string_view message) { run_.Fail(message); }

bool CellLoader::Stopped() const { return run_.flags.stop; }

void TlcIn::ResetStore() {
  db::ObjectStore& s = work_->store;
  s.FreeObjectStore();
  s.boxCount = s.pathCount = s.vertexCount = 0;
  s.refCount.fill(0);
}

// Checks a name before it becomes a list entry, and so a file name.
bool TlcIn::ListName(const std::string& name) {
  if (db::CheckCellName(name, 0)) {
    Fail(Format("%s ... Not a Vaild Name", name.c_str()));
    return false;
  }
  return true;
}

int TlcIn::Run(const std::string& source, const std::string& destination, const std::string& name) {
  std::string pool;
  if (!ReadPoolFolder(destination, pool)) {
    Fail("Destination FORM.DBD File is Missing");
    return 0;
  }
  const int read = db::ReadCellIndexFile(work_->index, destination + "CELLS6.DBD");
  if (read < 0) {
    // Writing the index back would lose the cells it lists.
    Fail("Unable to Read or Create CELLS6.DBD ... Unknown Reason");
    return 0;
  }
  if (!quiet) {
    talk.OpenDisplay(caption);
    if (read == 0) Item(kItemOperation, "Creating Destination CELLS6.DBD File");
  }
  db::DatabaseScale scale;
  if (db::ReadDatabaseScale(scale, destination + std::string(db::kSettingsFile))) {
    if (scale.damaged) Box(db::kDamagedScaleText);
    scaleCheck_ = {true, scale.scale, scale.unit};
  }

  const int built = BuildList(source, destination, name);
  if (built >= 0) return built;
  if (flags.stop) {
    Pause(200);
    return 0;
  }
  HeaderPass(source);
  if (Pause(200)) return 0;
  if (!quiet) {
    Item(kItemOperation, "Sorting Cells ...");
    SortByRank(list_);
    Pause(200);
  }
  ConversionPass(source, destination);
  // Also after a stop, so the cells written so far have their rows.
  Item(kItemOperation, "Writing CELLS6.DBD File ...");
  if (!db::WriteCellIndexFile(work_->index, destination + "CELLS6.DBD")) flags.error = true;
  Pause(200);
  return 1;
}

int TlcIn::BuildList(const std::string& source, const std::string& destination, const std::string& name) {
  if (quiet) {
    if (name.empty())
      flags.stop = true;
    else if (ListName(name))
      Append(list_, {name, 0});
    return -1;
  }
  if (name.empty()) {
    Item(kItemOperation, Format("All TLC Files in %s -> Cells in %s", source.c_str(), destination.c_str()));
    if (talk.Box(caption, "Any Old Cells will be Replaced ...", tell::Buttons::OkCancel) != tell::Answer::Ok) return 0;
    std::vector<CellsRefEntry> entries;
    switch (ReadCellsRef(source + "CELLS.REF", entries)) {
      case CellsRefResult::Missing: Fail("Source CELLS.REF File is Missing"); return 0;
      case CellsRefResult::TooMany: Fail("Too Many Cells in CELLS.REF"); return 0;
      case CellsRefResult::Ok: break;
    }
    for (const CellsRefEntry& e : entries)
      if (ListName(e.name) && FindListed(list_, e.name) < 0) Append(list_, {e.name, e.rank});
    replaceLesser = false;
    return -1;
  }
  Item(kItemOperation, Format("Named TLC File in %s -> Cells in %s", source.c_str(), destination.c_str()));
  if (!HasWildcard(name)) {
    if (!ListName(name)) return 0;
    Append(list_, {name, 0});
  } else {
    for (const std::string& file : os::ListFiles(source + name + ".TLC")) {
      const std::string cell = UpperCase(file.substr(0, file.find('.')));
      if (cell.empty() || FindListed(list_, cell) >= 0 || !ListName(cell)) continue;
      if (!Append(list_, {cell, 0})) break;
    }
    if (list_.empty()) {
      Fail("No Wildcard TLC Files Found");
      return 0;
    }
  }
  AskReplaceLesser("Named Conversion ... Replace Lesser Cells");
  return -1;
}

void TlcIn::HeaderPass(const std::string& source) {
  for (std::size_t i = 0; i < list_.size() && !flags.stop; ++i) {
    const std::string name = list_[i].name;
    Item(kItemOperation, Format("Reading %s.TLC ...", name.c_str()));
    FileLineSource file;
    const std::string path = source + name + ".TLC";
    if (!file.Open(path)) {
      if (os::FileExists(path)) {
        // There but not readable: the cell of the destination stays, as for an empty file.
        Refuse(list_[i], Format("%s.TLC Cannot be Read", name.c_str()));
      } else {
        Fail(Format("%s.TLC is Missing", name.c_str()));
        list_[i].rank = 0;
      }
      CellPause();
      continue;
    }
    TlcStream stream(file);
    // A fresh header per file: a file without one must not inherit the last file's rank and outline.
    TlcHeader header;
    bool found = false;
    const int read = ReadTlcHeader(stream, header, &found);
    ListEntry& entry = list_[i];
    // A file with no record would replace the cell with an empty one: nothing in it is a cell.
    const bool empty = !stream.Failed() && !found && !HoldsRecord(stream);
    if (stream.Failed() || empty) {
      Refuse(entry, Format(empty ? "%s.TLC is Empty" : "%s.TLC Cannot be Read", name.c_str()));
      CellPause();
      continue;
    }
    entry.left = entry.bottom = entry.right = entry.top = 0;
    if (found && read) {
      const std::string mismatch = CheckTlcScale(header, scaleCheck_);
      if (!mismatch.empty()) Fail(mismatch);
      const int rank = header.rank & 0xff;
      if (rank > 15 || rank == 0) {
        // Taken as it stands, the cell would become a placeholder over its real contents; rank 0
        // is no rank a cell can have.
        Fail(Format("%s ... Rank Error", name.c_str()));
        entry.refused = true;
      }
      entry.rank = rank;
      entry.left = header.left, entry.bottom = header.bottom;
      entry.right = header.right, entry.top = header.top;
    } else {
      // No usable header: the rank from CELLS.REF when there is one, else 1; the outline from the
      // geometry.
      entry.rank = (entry.rank & 15) ? entry.rank & 15 : 1;
    }
    if (!quiet && stream.Rewind()) {
      TlcCellRef ref;
      while (!flags.stop && stream.Next()) {
        if (KeywordOf(stream.Line()) != Keyword::CellRef || !ReadTlcCellRef(stream, ref)) continue;
        const std::string used = UpperCase(ref.name);
        // Names that cannot be cells are left to the record loop, which refuses the reference.
        if (FindListed(list_, used) >= 0 || db::CheckCellName(used, 0)) continue;
        ListEntry lesser{used, 0};
        lesser.lesser = true;
        if (!Append(list_, lesser)) break;
      }
    }
    CellPause();
  }
}

void TlcIn::Refuse(ListEntry& entry, const std::string& message) {
  Fail(message);
  entry.refused = true;
}

bool TlcIn::HoldsRecord(TlcStream& stream) {
  if (!stream.Rewind()) return false;
  while (stream.Next())
    if (KeywordOf(stream.Line()) != Keyword::None) return true;
  return false;
}

bool TlcIn::WillConvert(const ListEntry& entry) const {
  if (entry.refused) return false;
  int found = 0;
  for (int row = 1; row <= work_->index.count && !found; ++row)
    if (work_->index.rows[static_cast<std::size_t>(row)].name == entry.name) found = row;
  if (entry.lesser && found && !replaceLesser) return false;
  return entry.lesser || entry.rank != 0;
}

int TlcIn::RankAfterRun(const std::string& name, int row) const {
  // Asked for every reference; the answer for a row stays the same for the whole run.
  int& known = rankAfterRun_[static_cast<std::size_t>(row)];
  if (known >= 0) return known;
  known = work_->index.rows[static_cast<std::size_t>(row)].Rank();
  const int listed = FindListed(list_, name);
  if (listed >= 0) {
    const ListEntry& entry = list_[static_cast<std::size_t>(listed)];
    if (WillConvert(entry)) known = entry.rank >= 1 && entry.rank <= 15 ? entry.rank : 1;
  }
  return known;
}

void TlcIn::ConversionPass(const std::string& source, const std::string& destination) {
  for (ListEntry& entry : list_) {
    if (flags.stop) break;
    if (!WillConvert(entry)) continue;
    const bool exists = db::FindCell(work_->index, entry.name) && work_->index.foundRow > 0;
    Item(kItemOperation, Format("Converting %s to Internal File ...", entry.name.c_str()));

    db::CellIndex& index = work_->index;
    int row = exists ? index.foundRow : 0;
    if (!row) {
      if (index.count >= db::kMaxCells) {
        // No row, no files: a BP6 without a row would be an orphan.
        Fail(Format("%s ... Too Many Cells", entry.name.c_str()));
        continue;
      }
      row = ++index.count;
      index.rows[row] = {};
      index.rows[row].name = entry.name;
    }
    LoadCell(source, entry, row);

    db::CellIndexEntry& e = index.rows[row];
    const db::ObjectStore& s = work_->store;
    if (entry.left != entry.right && entry.bottom != entry.top) {
      e.left = entry.left, e.bottom = entry.bottom, e.right = entry.right, e.top = entry.top;
    } else {
      db::ComputeCellExtent(*work_);
      db::Extent x = work_->extent;
      if (x.left > x.right) std::swap(x.left, x.right);
      if (x.bottom > x.top) std::swap(x.bottom, x.top);
      if (s.refCount[0] == 0 && s.boxCount == 0 && s.vertexCount == 0) {
        x.left /= 256, x.bottom /= 256, x.right /= 256, x.top /= 256;
      }
      e.left = x.left, e.bottom = x.bottom, e.right = x.right, e.top = x.top;
    }
    e.boxCount = s.boxCount;
    e.pathCount = s.pathCount;
    e.vertexCount = s.vertexCount;
    e.refCount = s.refCount[0];

    const std::string base = destination + entry.name;
    if (db::SaveCellObjects(*work_, base) == 0)
      ++cells;
    else
      flags.error = true;
    Item(kItemFile1, Format("%s%s.BP6  %ld Bytes  ", destination.c_str(), entry.name.c_str(),
                            20L * s.boxCount + 12L * s.pathCount + 16L * s.vertexCount + 48));
    if ((e.flags & 15) > 1) {
      if (db::SaveCellRefs(*work_, base, 0) != 0) flags.error = true;
      Item(kItemFile2, Format("%s%s.CL6  %ld Bytes", destination.c_str(), entry.name.c_str(),
                              12L * s.refCount[0] + 12));
    } else {
      Item(kItemFile2, "");
    }
    CellPause();
  }
  ResetStore();
}

bool TlcIn::LoadCell(const std::string& source, ListEntry& entry, int row) {
  ResetStore();
  db::CellIndexEntry& e = work_->index.rows[row];
  current_ = entry.name;
  if (entry.rank >= 1 && entry.rank <= 15) {
    // The row's rank is the one its references are tested against, itself included.
    e.flags = entry.rank;
    CellLoader loader(*this, *work_, entry.rank);
    FileLineSource file;
    if (file.Open(source + entry.name + ".TLC")) {
      TlcStream stream(file);
      ReadTlcRecords(stream, loader);
    }
    e.flags = entry.rank;
    return true;
  }
  CellLoader loader(*this, *work_, 1);
  TlcText placeholder;
  placeholder.layer = 64;
  placeholder.size = 75;
  placeholder.text = "<<" + entry.name + ">>";
  loader.Text(placeholder);
  e.flags = 1;
  return true;
}

}  // namespace

int ConvertTlcToCells(bool quiet, TlcSetup& setup, tell::Talk& talk, TlcRunSummary* summary,
                      const SetupDialog& dialog) {
  TlcIn run(talk, quiet);
  std::string source = setup.source, destination = setup.destination;
  std::string name = TakeName(setup.name);
  if (!quiet) {
    TlcSetup values = setup;
    values.name = name;
    if (dialog && !dialog(run.caption, values)) return 0;
    if (!values.globalTlc) values.destination = ".\\";
    source = values.source;
    destination = values.destination;
    name = TakeName(values.name);
    setup.fastRun = values.fastRun;
  }
  source = NormaliseFolder(source);
  destination = NormaliseFolder(destination);
  if (!quiet) {
    setup.source = source;
    setup.destination = destination;
    setup.name = name;
  }
  run.fastRun = quiet ? true : setup.fastRun;
  const int result = run.Run(source, destination, UpperCase(name));
  run.FinalMessage(result == 1);
  if (!quiet) talk.CloseDisplay();
  if (summary) *summary = {result, run.cells, run.flags.error, run.flags.stop};
  return 1;
}

}  // namespace tlc
