#include <cctype>

#include "editor/db/cell_files.h"
#include "editor/db/collection.h"
#include "editor/db/collection_internal.h"
#include "editor/db/file_names.h"
#include "editor/db/helpers.h"
#include "editor/db/message_table.h"
#include "platform/os/path.h"

namespace db {

std::string DialogName(std::string_view typed) {
  std::string name(typed.substr(0, kMaxCellNameLength));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

bool PoolCollectionPresent(Database& d) {
  const std::string& pool = d.form.poolFolder;
  if (pool.empty() || !os::FileExists(pool + std::string(kCellIndexFile))) {
    TellMessage(d.talk, 18);
    return false;
  }
  return true;
}

namespace collection {

void ResetWorkArea(Database& d) {
  ObjectStore& s = d.store;
  s.boxCount = s.pathCount = s.vertexCount = 0;
  s.refCount.fill(0);
  LoadState& l = d.load;
  l.refBase = l.boxBase = l.pathBase = l.vertexBase = 0;
  l.refLoadFailed = l.refLoadError = l.objectLoadFailed = l.objectLoadError = 0;
  l.levelCell.fill(0);
  l.loadedCell = 0;
}

bool NameUsable(Database& d, std::string_view name) {
  if (CheckCellName(name, 0) == 0) return true;
  TellMessage(d.talk, 1);
  return false;
}

bool Sure(tell::Talk& t, std::string_view caption, std::string_view text) {
  return t.Box(caption, text, tell::Buttons::YesNo) == tell::Answer::Yes;
}

void ShowStage(tell::Talk& t, int stage) {
  t.SetItemText(stage == kStageDone ? kDoneItem : kStageItem, ProgressText(stage));
}

bool WriteIndexOrTell(Database& d) {
  if (WriteCellIndexFile(d.index, kCellIndexFile)) return true;
  TellMessage(d.talk, 11);
  return false;
}

std::string RefFile(std::string_view name) { return CellFilePath("", name, ".CL6"); }
std::string ObjectFile(std::string_view name) { return CellFilePath("", name, ".BP6"); }

bool LoadRefsOrNone(Database& d, int row) {
  const int loaded = LoadRefsOfCell(d, row, 0);
  if (loaded == 0) return true;
  if (loaded > 0 && !d.load.refLoadError &&
      !os::FileExists(RefFile(d.index.rows[static_cast<std::size_t>(row)].name))) {
    d.store.refCount[0] = 0;
    return true;
  }
  if (loaded > 0) TellMessage(d.talk, 7);
  return false;
}

namespace {

// Cell names hold no ".", so these never meet a cell's own files.
std::string StagedFile(std::string_view name) { return RefFile(std::string(name) + ".NEW"); }
std::string OldFile(std::string_view name) { return RefFile(std::string(name) + ".OLD"); }

void RemoveIfThere(const std::string& path) {
  if (os::FileExists(path)) os::RemoveFile(path);
}

}  // namespace

RefFileSwap::~RefFileSwap() {
  if (kept_) return;
  for (const Entry& e : entries_)
    if (!e.swapped) RemoveIfThere(StagedFile(e.name));
}

bool RefFileSwap::Stage(Database& d, const std::string& name) {
  RemoveIfThere(StagedFile(name));
  Entry e;
  e.name = name;
  entries_.push_back(e);
  return SaveCellRefs(d, name + ".NEW", 0) == 0;
}

bool RefFileSwap::Swap() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    RemoveIfThere(OldFile(e.name));
    e.hadOld = os::FileExists(RefFile(e.name));
    // The new table takes the old file's spelling.
    e.real = e.hadOld ? os::NativePath(RefFile(e.name)) : FileNameForWrite(RefFile(e.name));
    bool ok = !e.hadOld || os::RenameFile(e.real, FileNameForWrite(OldFile(e.name)));
    if (ok && !os::RenameFile(StagedFile(e.name), e.real)) {
      if (e.hadOld) os::RenameFile(OldFile(e.name), e.real);
      ok = false;
    }
    if (!ok) {
      UndoFirst(i);
      return false;
    }
    e.swapped = true;
  }
  return true;
}

void RefFileSwap::UndoFirst(std::size_t n) {
  for (std::size_t i = n; i-- > 0;) {
    Entry& e = entries_[i];
    if (!e.swapped) continue;
    // The new table goes back to its staging name, so the destructor clears it away.
    os::RenameFile(e.real, FileNameForWrite(StagedFile(e.name)));
    if (e.hadOld) os::RenameFile(OldFile(e.name), e.real);
    e.swapped = false;
  }
}

void RefFileSwap::Keep() {
  for (const Entry& e : entries_)
    if (e.swapped && e.hadOld) RemoveIfThere(OldFile(e.name));
  kept_ = true;
}

void RefFileSwap::Undo() { UndoFirst(entries_.size()); }

}  // namespace collection
}  // namespace db
