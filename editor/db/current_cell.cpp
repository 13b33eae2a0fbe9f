#include "editor/db/current_cell.h"

#include <cmath>
#include <cstdio>

#include "editor/db/cell_files.h"
#include "editor/db/extent.h"
#include "editor/db/file_names.h"
#include "editor/db/helpers.h"
#include "editor/db/message_table.h"
#include "platform/os/path.h"
#include "platform/os/textfile.h"

namespace db {

namespace {

constexpr int kNoticeMilliseconds = 250;

std::int32_t WholeTowardZero(double v) {
  if (!(v > -2147483648.0)) return std::isnan(v) ? 0 : -2147483647 - 1;
  if (!(v < 2147483647.0)) return 2147483647;
  return static_cast<std::int32_t>(v);
}

CellIndexEntry* Row(Database& d, int row) {
  if (row < 0 || row >= kCellIndexRows) return nullptr;
  return &d.index.rows[static_cast<std::size_t>(row)];
}

}  // namespace

void ShowTitleNotice(Database& d, int kind, std::string_view cellName) {
  d.talk->SetMainTitle(kind, cellName);
  d.talk->HoldNotice(kNoticeMilliseconds);
  d.talk->SetMainTitle(0, d.current.name);
}

std::string GetLayerName(const Database& d, int layer) {
  if (d.settings.layerSelectionByTable == 1) {
    for (const LayerRow& row : d.form.layers)
      if (row.number == layer) return row.name;
  }
  return std::to_string(layer);
}

void SetDefaultSettings(Database& d) {
  SetDefaultSettings(d.settings);
  d.recent = RecentCells();
}

int OpenCellCollection(Database& d) {
  d.collectionOpen = 0;
  if (!ReadFormFile(d.form, kReadAll, d.suiteDrive) && !WriteDefaultFormFile()) {
    TellMessage(d.talk, 24);
    return 0;
  }
  const int index = ReadCellIndex(d.index);
  if (index == 0) d.index.count = 0;
  // A damaged CELLS6.DBD must stay as it is for the user to mend; only a missing one is created.
  if (index < 0 || (index == 0 && !WriteCellIndexFile(d.index, kCellIndexFile))) {
    TellMessage(d.talk, 27);
    return 0;
  }
  SetDefaultSettings(d);
  ApplyColorLetters(d.settings);
  bool scaleDamaged = false;
  int settings = ReadSettingsFile(d.settings, kSettingsFile, &scaleDamaged);
  if (settings == 0) settings = WriteSettingsFile(d.settings);
  if (settings != 1) {
    TellMessage(d.talk, 25);
    return 0;
  }
  if (scaleDamaged) d.talk->Box("MERO", kDamagedScaleText);
  ApplyColorLetters(d.settings);
  if (!LoadFontFile(d.form, d.font, d.talk)) {
    TellMessage(d.talk, 26);
    return 0;
  }
  d.collectionOpen = 1;
  // Every save would fail, each with its own box: said once now, before any edit.
  std::string reason;
  if (!os::CanWriteFolder(d.folder, &reason)) {
    const std::string folder = d.folder.empty() ? os::CurrentFolder() : os::NativePath(d.folder);
    d.talk->Box(kEditorCaption, "Drawing Folder " + folder + " Cannot be Written (" + reason +
                                    ") ... Changes will not be Saved");
  }
  return 1;
}

int NewCellDialog(Database& d, std::string_view name) {
  int rank = d.hooks->NewCellRank(name);
  if (rank == 0) return 0;
  // A rank above 15 would run into the attached bit of the flags.
  if (rank < 1) rank = 1;
  if (rank > 15) rank = 15;
  if (d.index.count >= kMaxIndexCount) return -1;
  const int row = d.index.count + 1;
  CellIndexEntry& e = d.index.rows[static_cast<std::size_t>(row)];
  e = CellIndexEntry();
  e.name = std::string(name);
  e.flags = rank;
  d.index.count = row;
  d.index.foundRow = row;
  d.index.foundRank = rank;
  d.index.foundAttached = 0;
  if (!WriteCellIndexFile(d.index, kCellIndexFile)) {
    d.index.count = row - 1;
    d.index.foundRow = 0;
    return -1;
  }
  return 1;
}

int LoadCell(Database& d, std::string_view name) {
  if (!d.collectionOpen) return 0;
  // The count rule applies to new cells only, below: an existing cell always opens.
  if (CheckCellName(name, 0)) {
    TellMessage(d.talk, 1);
    return 0;
  }
  FindCell(d.index, name);
  if (d.index.foundAttached) {
    TellMessage(d.talk, 21);
    return 0;
  }
  if (d.index.foundRow != 0) {
    if (d.index.foundRank < 1 || d.index.foundRank > 15) {
      TellMessage(d.talk, 5);
      return 0;
    }
  } else {
    if (d.index.count >= kMaxCells) {
      TellMessage(d.talk, 14);
      return 0;
    }
    const int before = d.index.count;
    os::TakeWriteFailures();
    const int added = NewCellDialog(d, name);
    if (added != 1) {
      if (added == 0)
        TellMessage(d.talk, 19);
      else
        TellWriteFailures(d.talk);
      return 0;
    }
    // Written without the store, so the cell still open keeps its contents if this fails.
    if (SaveEmptyCellFiles(name, d.index.foundRank) != 0) {
      d.index.count = before;
      d.index.foundRow = 0;
      WriteCellIndexFile(d.index, kCellIndexFile);
      TellWriteFailures(d.talk);
      return 0;
    }
  }
  const int row = d.index.foundRow;
  const int rank = d.index.foundRank;
  ClearCurrentCell(d);
  if (LoadObjectsOfCell(d, row) != 0) {
    TellMessage(d.talk, 6);
    return 0;
  }
  if (rank > 1 && LoadRefsOfCell(d, row, 0) != 0) TellMessage(d.talk, 7);
  // Once, at the opening: the records stay out of drawing and editing and go back with every save.
  // A file not read whole has had its own message, and is not saved over anyway.
  const std::string aside = DescribeAsideRecords(d.store, !d.load.objectLoadError, !d.load.refLoadError);
  if (!aside.empty()) d.talk->Box(kEditorCaption, std::string(name) + ": " + aside);
  d.current.row = row;
  d.current.rank = rank;
  d.current.name = std::string(name);
  SaveCellBackup(d);
  SaveUndoBackup(d);
  RemoveRecentCell(d.recent, name);
  ShowTitleNotice(d, kNoticeLoading, d.current.name);
  return 1;
}

void ClearCurrentCell(Database& d) {
  d.current.name = "(none)";
  d.current.rank = 0;
  d.current.row = 0;
  d.current.undoBackup = 0;
  d.store.refCount.fill(0);
  d.store.boxCount = d.store.pathCount = d.store.vertexCount = 0;
  // The error flags go too: they belong to the files of the cell being closed.
  d.load.refLoadFailed = d.load.refLoadError = 0;
  d.load.objectLoadFailed = d.load.objectLoadError = 0;
  d.load.loadedCell = 0;
  d.load.levelCell.fill(0);
  d.store.FreeObjectStore();
}

int WriteCellIndex(Database& d, std::string_view name, int row, int rank) {
  CellIndexEntry* e = Row(d, row);
  if (row != 0 && e && !name.empty()) {
    ComputeCellExtent(d);
    e->name = std::string(name);
    e->flags = rank;
    // Counts and outline describe the files; a file that was not read whole keeps its old ones.
    if (!d.load.objectLoadError && !d.load.refLoadError) {
      e->left = d.extent.left;
      e->bottom = d.extent.bottom;
      e->right = d.extent.right;
      e->top = d.extent.top;
    }
    const CellFileCounts saved = SavedRecordCounts(d.store);
    if (!d.load.objectLoadError) {
      e->boxCount = saved.boxes;
      e->pathCount = saved.paths;
      e->vertexCount = saved.vertices;
    }
    if (!d.load.refLoadError) e->refCount = saved.refs;
  }
  return WriteCellIndexFile(d.index, kCellIndexFile);
}

int WriteCurrentCellFiles(Database& d, int row, int rank) {
  CellIndexEntry* e = Row(d, row);
  if (!e || row == 0) return 1;
  ShowTitleNotice(d, kNoticeSaving, e->name);
  int failed = 0;
  bool writeFailed = false;  // told once for both files
  os::TakeWriteFailures();
  if (rank > 1) {
    if (d.load.refLoadError) {
      TellMessage(d.talk, 7);
      failed = 1;
    } else if (SaveRefsOfCell(d, row) != 0) {
      writeFailed = true;
      failed = 1;
    }
  } else if (e->flags == 1 && e->refCount == 0) {
    const std::string stale = CellFilePath("", e->name, ".CL6");
    if (os::FileExists(stale)) os::RemoveFile(stale);
  }
  if (d.load.objectLoadError) {
    TellMessage(d.talk, 6);
    failed = 1;
  } else if (SaveObjectsOfCell(d, row) != 0) {
    writeFailed = true;
    failed = 1;
  }
  if (writeFailed) TellWriteFailures(d.talk);
  return failed;
}

int SaveCellState(Database& d, int options) {
  if (!d.collectionOpen) return 0;
  if (!(options & kSaveKeepMarks)) ClearSelectionMarks(d);
  bool ok = true;
  bool filesOk = false;
  os::TakeWriteFailures();  // those of writes no one checks (the backups) are not this save's
  if (!WriteCellIndex(d, d.current.name, d.current.row, d.current.rank)) ok = false;
  if (!StoreRankView(d)) ok = false;
  if (!ok) TellWriteFailures(d.talk);
  if ((options & kSaveCellFiles) && d.current.row != 0) {
    filesOk = WriteCurrentCellFiles(d, d.current.row, d.current.rank) == 0;
    if (!filesOk) ok = false;
  }
  // The TLC copy is made from the files just written, and the cell is then read back from them: both
  // only make sense when the files hold what is in memory.
  if (d.settings.tlcOnSave == 1 && (options & kSaveAllowTlc) && filesOk) {
    ShowTitleNotice(d, kNoticeTlcOut, d.current.name);
    d.hooks->QuietTlcOut(d.current.name);
    if (LoadObjectsOfCell(d, d.current.row) != 0) TellMessage(d.talk, 6);
    if (d.current.rank >= 2 && LoadRefsOfCell(d, d.current.row, 0) != 0) TellMessage(d.talk, 7);
  }
  return ok ? 1 : 0;
}

int SaveOpenCell(Database& d, int options) {
  if (d.current.row == 0) return 0;
  int result = SaveCellState(d, options);
  PushRecentCell(d.recent, d.current.name);
  return result;
}

void ClearSelectionMarks(Database& d) {
  ObjectStore& s = d.store;
  for (int b = 1; b <= s.boxCount; ++b)
    if (std::int32_t* r = s.boxes.Slot(b)) r[0] &= kBoxFileBits;
  for (int p = 1; p <= s.pathCount; ++p)
    if (std::int32_t* r = s.paths.Slot(p)) r[0] &= kPathFileBits;
  for (int v = 1; v <= s.vertexCount; ++v)
    if (std::int32_t* r = s.vertices.Slot(v)) r[0] &= ~kVertexMemoryBits;
  for (int c = 1; c <= s.refCount[0]; ++c)
    if (std::int32_t* r = s.refs[0].Slot(c)) r[0] &= kRefFileBits;
  d.active = ActiveCounts();
}

void MarkAppendedObjects(Database& d) {
  ObjectStore& s = d.store;
  for (int b = d.load.boxBase + 1; b <= s.boxCount; ++b)
    if (std::int32_t* r = s.boxes.Slot(b)) r[0] |= kEdgesAll;
  for (int p = d.load.pathBase + 1; p <= s.pathCount; ++p)
    if (std::int32_t* r = s.paths.Slot(p)) r[0] |= kPathSelectedBit;
  for (int v = d.load.vertexBase + 1; v <= s.vertexCount; ++v)
    if (std::int32_t* r = s.vertices.Slot(v)) r[0] |= kVertexSelectedBit;
}

int StoreRankView(Database& d) {
  ViewNow view;
  const int rank = d.current.rank;
  if (rank >= 0 && rank <= kRanks && d.hooks->CurrentView(view)) {
    RankView& r = d.settings.rankViews[static_cast<std::size_t>(rank)];
    r.width = WholeTowardZero(view.width);
    r.centreX = WholeTowardZero(view.centreX);
    r.centreY = WholeTowardZero(view.centreY);
    r.workGrid = view.workGrid;
    r.dotGrid = view.dotGrid;
    r.dotShown = view.dotShown;
  }
  return WriteSettingsFile(d.settings);
}

namespace {

int SaveBackup(Database& d, std::string_view name, int& flag) {
  const bool ok = SaveObjectsByName(d, name) == 0 && SaveRefsByName(d, name) == 0;
  flag = ok ? 1 : 0;
  return flag;
}

}  // namespace

int SaveCellBackup(Database& d) { return SaveBackup(d, kCellBackup, d.current.cellBackup); }
int SaveUndoBackup(Database& d) { return SaveBackup(d, kUndoBackup, d.current.undoBackup); }

int RestoreBackup(Database& d, int kind) {
  if (d.current.row == 0) return 0;
  std::string_view name;
  if (kind == 1 && d.current.cellBackup) name = kCellBackup;
  if (kind == 2 && d.current.undoBackup) name = kUndoBackup;
  if (name.empty()) return 0;
  ShowTitleNotice(d, kNoticeBackup, d.current.name);
  // The flags describe the cell's own files, not the backup's: a cell whose file was not read whole
  // must not have it overwritten just because its backup reads well.
  const int objectError = d.load.objectLoadError;
  const int refError = d.load.refLoadError;
  const int row = d.current.row;
  const int rank = d.current.rank;
  int failedMessage = 0;
  if (LoadObjectsByName(d, name) != 0) {
    failedMessage = 6;
  } else if (rank > 1 && LoadRefsByName(d, name) != 0) {
    failedMessage = 7;
  }
  if (failedMessage) {
    TellMessage(d.talk, failedMessage);
    if (LoadObjectsOfCell(d, row) != 0) TellMessage(d.talk, 6);
    if (rank > 1 && LoadRefsOfCell(d, row, 0) != 0) TellMessage(d.talk, 7);
    return 0;
  }
  d.load.objectLoadError = objectError;
  d.load.refLoadError = refError;
  d.load.loadedCell = row;
  SaveCellState(d, kSaveCellFiles | kSaveAllowTlc);
  return 1;
}

}  // namespace db
