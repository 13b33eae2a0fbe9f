// The exporters' cell list: the main TLC file's cell and every cell it uses, directly or through
// other cells, as TLC files beside it; with the checks and file helpers around it.
#pragma once
#include <cstdint>
#include <cstdio>
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
// place (its rank sort); names come in through Append and go through ClearCellList.
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
// named in a "=C" record that is not listed yet. A full list stops growing with a report line.
int CollectReferencedCells(Job& job, tlc::TlcStream& stream, CellList& list, bool honourAbort = true);

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

// Size in bytes of an open output stream; the stream's position is left where it was.
std::int64_t GetOutputFileSize(std::FILE* stream);

// Reports "TLC Scale Units do not agree in %s" when the header's scale or unit (case-blind) differs
// from the main file's; the conversion goes on.
void CheckTlcScaleUnits(Job& job, const tlc::TlcHeader& header, double mainScale, std::string_view mainUnit,
                        int lines = 5, int firstLine = 511);
// The scales line in DISPLAY item 510.
void ShowScalesLine(Job& job, std::string_view line);

}  // namespace utilib
