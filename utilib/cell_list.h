// The exporters' cell list: the main TLC file's cell and every cell it uses, directly or through
// other cells, as TLC files beside it; with the checks and file helpers around it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/tlc/records.h"
#include "editor/tlc/stream.h"
#include "utilib/job.h"

namespace utilib {

constexpr int kMaxListedCells = 1600;

struct CellListEntry {
  std::string name;  // up to 32 characters
  std::int32_t rank = 0;
};

// Entries are numbered from 1; number 0 means "not listed". An exporter may reorder the entries in
// place (RankSortCells), and then says so with EntriesMoved; names come in through Append and go
// through ClearCellList.
struct CellList {
  std::vector<CellListEntry> entries;
  int Count() const { return static_cast<int>(entries.size()); }
  CellListEntry& operator[](int number) { return entries[number - 1]; }
  const CellListEntry& operator[](int number) const { return entries[number - 1]; }

  // Appends a cell unless it is listed already (exact comparison); false when the list is full.
  bool Append(std::string_view name);
  // Number of the first entry with that name in list order, without regard to case unless `exact`;
  // 0 when absent. Hashed: an exporter looks up every reference it writes.
  int FindListedCell(std::string_view name, bool exact = false) const;
  void ClearCellList();
  // The look-up index is rebuilt at the next look-up: entries changed places, so one appended since
  // the last look-up may now stand before a name the index took for the first of its spelling.
  void EntriesMoved() const { stale_ = true; }

 private:
  struct Slot {
    int number;  // of the first entry indexed with the key
    int count;   // entries sharing the key
  };
  using Index = std::unordered_map<std::string, Slot>;
  void SyncIndex() const;
  int Scan(std::string_view name, bool exact) const;

  // Exact names and names in upper case, over entries 1 .. indexed_.
  mutable Index exact_, folded_;
  mutable std::size_t indexed_ = 0;
  mutable bool stale_ = false;  // entries moved since they were indexed
};

// Reads the stream to its end (or until the abort flag, when `honourAbort`) and appends every cell
// named in a "=C" record that is not listed yet. A full list stops growing with a report line on the
// next of `lines` rotating message lines from `firstLine`. `named`, when given, receives every name
// read, in file order.
int CollectReferencedCells(Job& job, tlc::TlcStream& stream, CellList& list, bool honourAbort = true,
                           int lines = 5, int firstLine = 511, std::vector<std::string>* named = nullptr);

// The main TLC file's name split as drive "D:", folder "\WORK\", base name "TOP", extension ".TLC".
struct MainFileName {
  std::string drive, folder, base, extension;
  static MainFileName Split(std::string_view path);
};

enum class CellFileExtension {
  Main,         // the main file's extension
  MainElseTlc,  // the main file's, ".TLC" when it has none
  Tlc,          // always ".TLC"
};

// Path of a cell's TLC file beside the main file; "" for a name that would leave that folder.
std::string CellTlcPath(const MainFileName& main, std::string_view cell, CellFileExtension ext);
// Opens the cell's TLC file; 1 or 0.
int OpenCellTlc(tlc::FileLineSource& source, const MainFileName& main, std::string_view cell,
                CellFileExtension ext);

// Reads the header of the cell's TLC file; 1, or 0 when the file cannot be opened.
int ReadCellTlcHeader(const MainFileName& main, std::string_view cell, CellFileExtension ext,
                      tlc::TlcHeader& header);

// How an exporter reads the cells while it lists them.
struct CellListReading {
  CellFileExtension extension = CellFileExtension::Main;
  // The main file's scale and unit, which every cell's header should repeat.
  double mainScale = 0;
  std::string mainUnit;
  // The exporter's rotating message lines.
  int lines = 5, firstLine = 511;
  // Whether the exporter leaves a reference that breaks the rank rule out of its output; its rank
  // error then says so ("... not Written").
  bool rankBreaksLeftOut = false;
  // Whether Esc stops the reading of a cell's references in the middle of its file.
  bool honourAbort = true;
  // The fatal message of a cell whose file is missing; "%s" is the cell's name.
  const char* missingFormat = "%s.TLC File is Missing ... Can't Continue";
  // Runs before a cell's file is read (the operation line, a check of the name); false stops the
  // list, the callback having told why.
  std::function<bool(const std::string& name)> beforeCell;
};

// Lists the main cell, then every cell its file and the files listed after it refer to, each with
// the rank its header gives, pausing 200 milliseconds after each file; a cell that places a cell of
// its own rank or above (itself included) is reported ("Rank Error ... B Placed in A"). 1 when every
// file was read; 0 when one is missing (with its message) or the job stopped.
int BuildCellList(Job& job, const MainFileName& main, std::string_view mainCell, CellList& list,
                  const CellListReading& how);

// Whether listed cell `holder` may place listed cell `placed` in an exporter's output: only a cell of
// lower rank, so that the output holds no loop.
bool ListedPlacementAllowed(const CellListEntry& holder, const CellListEntry& placed);

// The exporters' rank sort of entries `first` .. Count(): lowest rank first, or highest when not
// `ascending`. A selection sort by exchange, whose order of equal ranks is the order cells have always
// been written in.
void RankSortCells(CellList& list, bool ascending = true, int first = 1);

// Converts the listed cells in list order, each announced on the operation line ("Converting
// NAME.TLC ...") and followed by a pause; stops at the job's abort flag or when `convert` (given the
// entry's number) fails. The number of cells converted.
int ConvertListedCells(Job& job, const CellList& list, int operationItem, int pauseMs,
                       const std::function<bool(int number)>& convert);

// Size in bytes of an open output stream; the stream's position is left where it was.
std::int64_t GetOutputFileSize(std::FILE* stream);

// Reports "TLC Scale Units do not agree in %s" when the header's scale or unit (case-blind) differs
// from the main file's; the conversion goes on.
void CheckTlcScaleUnits(Job& job, const tlc::TlcHeader& header, double mainScale, std::string_view mainUnit,
                        int lines = 5, int firstLine = 511);
// The scales line in DISPLAY item 510.
void ShowScalesLine(Job& job, std::string_view line);

}  // namespace utilib
