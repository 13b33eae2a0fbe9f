#include "editor/tlc/tlcout.h"

#include <memory>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/db/helpers.h"
#include "editor/db/settings.h"
#include "editor/tlc/cell_files.h"
#include "editor/tlc/conversion.h"
#include "editor/tlc/writer.h"
#include "platform/os/path.h"

namespace tlc {

namespace {

// Counts the bytes of a TLC file on their way to it.
class CountingSink final : public ByteSink {
 public:
  explicit CountingSink(ByteSink& inner) : inner_(inner) {}
  bool Write(std::string_view bytes) override {
    bytes_ += static_cast<long>(bytes.size());
    return inner_.Write(bytes);
  }
  long bytes() const { return bytes_; }

 private:
  ByteSink& inner_;
  long bytes_ = 0;
};

class TlcOut : public Conversion {
 public:
  TlcOut(tell::Talk& talk, bool quiet)
      : Conversion(talk, "TLCOUT", quiet), work_(std::make_unique<db::Database>()),
        store_(work_->store), index_(&work_->index) {}

  int Run(const std::string& source, const std::string& destination, const std::string& name);

 private:
  bool CheckDestination(const std::string& destination);
  int BuildList(const std::string& source, const std::string& destination, const std::string& name);
  void ReadingPass();
  void WritingPass(const std::string& destination);
  // The cell's BP6 and CL6 files through the cell database's loader; false when they could not be
  // read whole (told).
  bool LoadCellFiles(int row, const ListEntry& entry);
  // False when the cell's files could not be read whole (told): its TLC file is not kept.
  bool WriteCellTlc(TlcWriter& writer, const ListEntry& entry);
  void WriteReferenceFiles(const std::string& source, const std::string& destination);
  void WriteFailed();
  void ResetStore();
  int Row(const std::string& name);

  std::unique_ptr<db::Database> work_;
  db::ObjectStore& store_;
  db::CellIndex* index_;
  db::DatabaseScale scale_;
  std::vector<ListEntry> list_;
  bool allMode_ = false;
  bool fullShown_ = false;
};

void TlcOut::ResetStore() {
  store_.FreeObjectStore();
  store_.boxCount = store_.pathCount = store_.vertexCount = 0;
  store_.refCount.fill(0);
}

int TlcOut::Row(const std::string& name) {
  return db::FindCell(*index_, name) ? index_->foundRow : 0;
}

void TlcOut::WriteFailed() {
  if (!fullShown_) Box("Destination is Full!");
  fullShown_ = true;
  flags.error = true;
  flags.stop = true;
}

bool TlcOut::CheckDestination(const std::string& destination) {
  std::string folder = destination;
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  switch (os::MakeFolder(folder)) {
    case os::MkdirResult::Created: return true;
    case os::MkdirResult::Exists:
      if (destination == ".\\" || destination == "./") return true;
      return talk.Box(caption, Format("Destination Folder %s Exists ... Continue?", destination.c_str()),
                      tell::Buttons::YesNo) == tell::Answer::Yes;
    default:
      Box(Format("Destination Folder %s is Invalid", destination.c_str()));
      return false;
  }
}

int TlcOut::Run(const std::string& source, const std::string& destination, const std::string& name) {
  if (!quiet && !CheckDestination(destination)) return 0;
  const int read = db::ReadCellIndexFile(*index_, source + "CELLS6.DBD");
  if (read == 0) {
    Box("Source CELLS6.DBD File is Missing");
    return 3;
  }
  if (read < 0) {
    Box("Unable to Read or Create CELLS6.DBD ... Unknown Reason");
    return 3;
  }
  if (!db::ReadDatabaseScale(scale_, source + std::string(db::kSettingsFile))) {
    Box("Source CONSTS6.DBD File is Missing");
    return 3;
  }
  if (scale_.damaged) Box(db::kDamagedScaleText);
  if (!ReadPoolFolder(source, work_->form.poolFolder)) {
    Box("Source FORM.DBD File is Missing");
    return 3;
  }
  work_->folder = source;
  if (quiet) {
    if (name.empty())
      flags.stop = true;
    else
      Append(list_, {name, 0});
  } else {
    talk.OpenDisplay(caption);
    const int built = BuildList(source, destination, name);
    if (built >= 0) return built;
  }
  if (!flags.stop) ReadingPass();
  if (Pause(200)) return 0;
  if (!quiet) {
    Item(kItemOperation, "Sorting Cells ...");
    SortByRank(list_);
    Pause(200);
  }
  WritingPass(destination);
  // A stopped run leaves CELLS.REF and LAYERS.REF alone: they would list cells never written.
  if (allMode_ && !flags.stop) WriteReferenceFiles(source, destination);
  if (flags.error) return 2;
  return flags.stop ? 0 : 1;
}

// -1 when the list is built, else the run's result.
int TlcOut::BuildList(const std::string& source, const std::string& destination,
                      const std::string& name) {
  if (name.empty()) {
    allMode_ = true;
    Item(kItemOperation, Format("All Cells in %s -> TLC Files in %s", source.c_str(), destination.c_str()));
    if (talk.Box(caption, "Any Old Cells will be Replaced ...", tell::Buttons::OkCancel) != tell::Answer::Ok)
      return 0;
    for (int row = 1; row <= index_->count; ++row)
      Append(list_, {index_->rows[row].name, index_->rows[row].Rank()});
    return -1;
  }
  Item(kItemOperation, Format("Named Cells in %s -> TLC Files in %s", source.c_str(), destination.c_str()));
  if (!HasWildcard(name)) {
    Append(list_, {name, 0});
  } else {
    for (int row = 1; row <= index_->count; ++row)
      if (MatchCellPattern(name, index_->rows[row].name))
        Append(list_, {index_->rows[row].name, index_->rows[row].Rank()});
    if (list_.empty()) {
      Fail("No Wildcard Cells Found!");
      return 0;
    }
  }
  AskReplaceLesser("Named Conversion ... Add/Replace Lesser Cell TLC Files?");
  return -1;
}

void TlcOut::ReadingPass() {
  for (std::size_t i = 0; i < list_.size() && !flags.stop; ++i) {
    const std::string name = list_[i].name;
    Item(kItemOperation, Format("Reading %s ...", name.c_str()));
    const int row = Row(name);
    if (row == 0) {
      Fail(Format("%s is Missing ... Token Cell will be Generated!", name.c_str()));
      list_[i].rank = 0;
      continue;
    }
    list_[i].rank = index_->rows[row].Rank();
    if (list_[i].rank <= 1 || quiet) continue;
    // A file that cannot be read whole lists what it gave; its cell's writing tells the damage.
    db::LoadRefsOfCell(*work_, row, 0);
    for (int r = 1; r <= store_.refCount[0]; ++r) {
      const int used = db::RefRowOf(store_.GetCellRef(0, 0, r));
      if (!index_->ValidRow(used)) continue;
      const std::string& usedName = index_->rows[used].name;
      if (FindListed(list_, usedName) < 0) {
        ListEntry lesser{UpperCase(usedName), 0};
        lesser.lesser = true;
        if (!Append(list_, lesser)) break;
      }
    }
  }
  ResetStore();
}

void TlcOut::WritingPass(const std::string& destination) {
  for (const ListEntry& entry : list_) {
    if (flags.stop) break;
    if (entry.lesser && !replaceLesser && Row(entry.name) != 0) continue;
    Item(kItemOperation, Format("Converting %s to TLC File ...", entry.name.c_str()));
    // The name becomes a file name: no separators, dots or device names.
    if (db::CheckCellName(entry.name, 0)) {
      Fail(Format("%s ... Not a Vaild Name", entry.name.c_str()));
      continue;
    }
    FileSink file;
    if (!file.Open(destination + entry.name + ".TLC")) {
      Fail("Unable to Make TLC File!");
      continue;
    }
    CountingSink counted(file);
    TlcWriter writer(counted);
    if (!WriteCellTlc(writer, entry)) {
      file.Abandon();
      continue;
    }
    if (!writer.Flush() || !file.Commit()) {
      file.Abandon();
      WriteFailed();
      break;
    }
    Item(kItemFile1, Format("%s.TLC  %ld Bytes  ", entry.name.c_str(), counted.bytes()));
    CellPause();
  }
  ResetStore();
}

bool TlcOut::LoadCellFiles(int row, const ListEntry& entry) {
  // A missing file is an empty table, as it always was; a file not read whole (or a page not had)
  // would go out as a smaller cell.
  if (!db::WholeOrMissing(db::LoadRowObjects(*work_, row))) {
    Fail(Format("%s ... Unable to Read BP6 File", entry.name.c_str()));
    return false;
  }
  if (entry.rank > 1 && !db::WholeOrMissing(db::LoadRowRefs(*work_, row))) {
    Fail(Format("%s ... Unable to Read CL6 File", entry.name.c_str()));
    return false;
  }
  // Records TLC cannot hold (a layer outside 1..64, a reference to no cell) stay in the cell files.
  // The quiet copy of a save says nothing: the editor told them when it opened the cell.
  if (!quiet && store_.aside.Count() > 0)
    Fail(UpperCase(entry.name) + ": " + db::DescribeAsideRecords(store_));
  return true;
}

bool TlcOut::WriteCellTlc(TlcWriter& writer, const ListEntry& entry) {
  ResetStore();
  const int row = Row(entry.name);
  const bool tokenCell = entry.rank < 1 || entry.rank > 15;
  if (row != 0 && !tokenCell && !LoadCellFiles(row, entry)) return false;
  TlcHeader h;
  h.name = UpperCase(entry.name);
  h.version1 = scale_.version;
  h.version2 = "6.05";
  h.scale = scale_.scale;
  h.unit = scale_.unit;
  StampNow(h);
  h.rank = 1;
  if (row != 0) {
    const db::CellIndexEntry& e = index_->rows[row];
    h.rank = e.Rank() == 0 ? 1 : e.Rank();
    h.left = e.left, h.bottom = e.bottom, h.right = e.right, h.top = e.top;
    // The index counts what the cell files hold; the TLC file holds that less what was set aside.
    const db::CellFileCounts all = db::SavedRecordCounts(store_);
    h.boxes = e.boxCount - (all.boxes - store_.boxCount);
    h.paths = e.pathCount - (all.paths - store_.pathCount);
    h.vertices = e.vertexCount - (all.vertices - store_.vertexCount);
    h.cellRefs = e.refCount - (all.refs - store_.refCount[0]);
  }
  if (!writer.PutHeader(h)) return true;
  ++cells;

  if (tokenCell) {
    TlcText token;
    token.layer = 64;
    token.size = 75;
    token.text = "<<" + h.name + ">>";
    token.vertexCount = TextVertexCount(token.text.size());
    writer.PutText(token);
    return true;
  }
  // The loader has set aside every reference to a row the index lacks.
  for (int r = 1; r <= store_.refCount[0]; ++r) {
    const db::CellRefRecord ref = store_.GetCellRefRecord(0, r);
    const int used = db::RefRowOf(ref.flags);
    if (!writer.PutCellRef({index_->rows[used].name, db::OrientationOf(ref.flags), ref.x, ref.y})) return true;
  }
  for (int b = 1; b <= store_.boxCount; ++b) {
    const db::BoxRecord box = store_.GetBoxRecord(b);
    if (!writer.PutBox({box.flags & 127, box.left, box.bottom, box.right, box.top})) return true;
  }
  TlcPath path;
  TlcText text;
  for (int p = 1; p <= store_.pathCount; ++p) {
    if (talk.EscapeWaiting()) {
      flags.stop = true;
      return true;
    }
    const bool ok = ReadStorePath(store_, p, path, text) ? writer.PutText(text) : writer.PutPath(path);
    if (!ok) return true;
  }
  return true;
}

void TlcOut::WriteReferenceFiles(const std::string& source, const std::string& destination) {
  Item(kItemOperation, "Writing CELLS.REF File ...");
  CellsRefWriter refs(index_->count);
  for (int row = 1; row <= index_->count; ++row) {
    const db::CellIndexEntry& e = index_->rows[row];
    refs.Entry(e.name, e.flags & 0xff9f, e.left, e.bottom, e.right, e.top, e.boxCount, e.pathCount,
               e.vertexCount, e.refCount);
  }
  if (!refs.Save(destination + "CELLS.REF", true)) {
    WriteFailed();
    return;
  }
  Pause(200);
  Item(kItemOperation, "Writing LAYERS.REF File ...");
  if (!WriteLayersRef(source + "FORM.DBD", destination + "LAYERS.REF")) {
    WriteFailed();
    return;
  }
  Pause(200);
}

}  // namespace

int ConvertCellsToTlc(bool quiet, TlcSetup& setup, tell::Talk& talk, TlcRunSummary* summary,
                      const SetupDialog& dialog) {
  TlcOut run(talk, quiet);
  std::string source = setup.source, destination = setup.destination;
  std::string name = TakeName(setup.name);
  if (quiet) {
    source = NormaliseFolder(source);
    destination = NormaliseFolder(destination);
  } else {
    TlcSetup values = setup;
    values.name = name;
    if (dialog && !dialog(run.caption, values)) return 0;
    if (!values.globalTlc) values.source = ".\\";
    setup.source = source = NormaliseFolder(values.source);
    setup.destination = destination = NormaliseFolder(values.destination);
    setup.name = name = TakeName(values.name);
    setup.fastRun = values.fastRun;
  }
  run.fastRun = quiet ? true : setup.fastRun;
  const int result = run.Run(source, destination, UpperCase(name));
  switch (result) {
    case 0:
      if (run.flags.stop) run.Box("Aborted ... Conversion may be Incomplete");
      break;
    case 1:
      if (!quiet) run.Box(Format("Conversion Complete ... %d Cells", run.cells));
      break;
    case 2: run.Box("Some Error Occurred ... Conversion may be Incorrect"); break;
    default: break;
  }
  if (!quiet) talk.CloseDisplay();
  if (summary) *summary = {result, run.cells, run.flags.error, run.flags.stop};
  return 1;
}

int QuietTlcOut(std::string_view cellName, tell::Talk& talk) {
  TlcSetup setup;
  setup.name = std::string(cellName);
  TlcRunSummary summary;
  ConvertCellsToTlc(true, setup, talk, &summary);
  return summary.result == 1 ? 1 : 0;
}

}  // namespace tlc
