// Everything the cell database keeps while a program runs: the object store, the cell index, the
// load state of the cell files, FORM.DBD, the font table, the settings and the open cell. One
// program holds one Database; tests and benchmarks make as many as they like.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "editor/db/cell_index.h"
#include "editor/db/form_file.h"
#include "editor/db/object_store.h"
#include "editor/db/settings.h"
#include "platform/tell/talk.h"
#include "editor/db/hooks.h"

namespace db {

// State of the CL6/BP6 loaders, read by the callers that renumber appended records.
struct LoadState {
  // Append bases: records already in the target table (0 = replace).
  int refBase = 0;
  int boxBase = 0;
  int pathBase = 0;
  int vertexBase = 0;
  // Failure: any failure, a missing file included. Error: the file was there but could not be read
  // whole (or held damaged records); while set, the cell's file is never written over.
  int refLoadFailed = 0;
  int refLoadError = 0;  // level 0 only
  int objectLoadFailed = 0;
  int objectLoadError = 0;
  // The last load failed for want of a page, not for the file (its error flag is set too).
  int pageFailed = 0;
  std::array<int, kRefLevels> levelCell{};  // cell row held by each reference level
  int loadedCell = 0;                       // row whose boxes, paths and vertices are loaded
};

struct Extent {
  std::int32_t left = 0;
  std::int32_t bottom = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
};

struct CurrentCell {
  std::string name = "(none)";
  int row = 0;
  int rank = 0;
  int cellBackup = 0;  // CELLBKUP written since the program started
  int undoBackup = 0;  // MAINBKUP written for the open cell
};

// Selected objects of the open cell (level-0 references, boxes with any edge, paths, vertices).
struct ActiveCounts {
  int refs = 0;
  int boxes = 0;
  int paths = 0;
  int vertices = 0;
};

class Database {
 public:
  Database() {
    SetTalk(nullptr);
    SetHooks(nullptr);
  }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Where messages, notices and questions go; nullptr restores the silent default.
  void SetTalk(tell::Talk* t) {
    talk = t ? t : &silent_;
    store.talk = talk;
  }
  // What the program answers beside its talk; nullptr restores the defaults.
  void SetHooks(Hooks* h) { hooks = h ? h : &noHooks_; }

  ObjectStore store;
  CellIndex index;
  LoadState load;
  FormFile form;
  FontTable font;
  Settings settings;
  RecentCells recent;
  PoolCellList pool;
  CurrentCell current;
  Extent extent;
  ActiveCounts active;
  std::string suiteDrive;  // "C:" or "": where the font tables are looked for
  // Where the cells' CL6 and BP6 files are read and written: "" the current folder, else a folder
  // ending in a separator. Attached cells' BP6 files come from form.poolFolder.
  std::string folder;
  int collectionOpen = 0;  // the start-up load succeeded; nothing is saved before it has
  tell::Talk* talk = nullptr;
  Hooks* hooks = nullptr;

 private:
  tell::Talk silent_;
  Hooks noHooks_;
};

}  // namespace db
