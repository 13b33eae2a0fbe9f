// The importers' structure table: every foreign cell (GDSII structure, CIF symbol, DXF block) gets a
// legal and unique cell name, learns the rank and outline of a TLC file already in the destination,
// and the table is sorted by rank and reported.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utilib/job.h"

namespace utilib {

constexpr int kMaxStructures = 1600;

struct StructureRow {
  std::string foreignName;
  std::string cellName;  // upper case, up to 32 characters
  int rank = 1;
  bool found = false;       // defined in the foreign file
  bool tlcPresent = false;  // a TLC file of the cell is in the destination
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
  // What the importer wrote for the cell, and an index of its own; they move with the row.
  int boxes = 0, paths = 0, texts = 0, cellRefs = 0;
  std::int64_t vertices = 0;
  int tag = 0;
};

struct StructureTable {
  std::vector<StructureRow> rows;  // row 1 of the text is rows[0]
  bool overflow = false;
  // "Too Many Structures in GDS File"; the DXF importer says "Too Many Blocks in DXF File".
  std::string overflowMessage = "Too Many Structures in GDS File";
  std::string foreignWord = "Structure";  // "Block" in the DXF importer
  std::string formatWord = "GDS";         // the report's column of rows found in the foreign file
  int limit = kMaxStructures;             // the DXF importer's table holds 512 rows
  int Count() const { return static_cast<int>(rows.size()); }
};

// The hierarchy of a foreign file as an importer ranks it: each definition's row and the rows it
// places, by row index. A row ranks above every row it places. The first pass, made while the file is
// read, raises ranks as far as the file's order allows; each later pass walks the list.
struct RankedHierarchy {
  struct Definition {
    int row;
    std::size_t firstRef, endRef;  // its placements in `refs`
  };
  std::vector<Definition> definitions;
  std::vector<int> refs;  // rows placed; -1 for a name the table had no room for
  bool changed = false;   // a rank rose or a row came in since `changed` was last cleared

  // The first pass. A definition of `row` begins (the row new to the table when `added`); the row is
  // marked found in the file.
  void BeginDefinition(StructureTable& table, int row, bool added);
  // The definition places `row` (-1 when the table had no room; new to the table when `added`).
  void Place(const StructureTable& table, int row, bool added);
  // The definition ends with the rank its placements gave it.
  void EndDefinition(StructureTable& table);
  // The rank of the definition being read.
  int CurrentRank() const { return current_; }

  // A later pass over every definition; true when a rank rose. `visited` (optional) sees the index
  // of each definition once its rank is set.
  bool RaiseRanks(StructureTable& table, const std::function<void(std::size_t)>& visited = {});

 private:
  int current_ = 0;
};

// Room for one more row: true when there is; at the limit the overflow is told once.
bool AddStructureName(Job& job, StructureTable& table);
// A legal cell name (1..32 characters, no blank, control or reserved character, not a reserved
// name), while the table holds no more than 1600 rows.
bool IsValidCellName(std::string_view name, int rowCount);

// Asks for a new name (the NEWNAME dialog): the name that was refused in, the typed name out, or
// nothing when the user chose to abort the conversion.
using NewNameAsker = std::function<std::optional<std::string>(std::string_view rejected)>;

// Gives every row its cell name: the foreign name in upper case when it is legal and no earlier row
// has it, else a name the user types. Stops when the user aborts (that row gets "NONAME").
void MakeCellNames(Job& job, StructureTable& table, const NewNameAsker& ask);
// The NEWNAME loop for row `row` (0-based): until the typed name is legal and no other row's name.
std::string PromptNewCellName(Job& job, const StructureTable& table, int row, std::string rejected,
                              const NewNameAsker& ask);

// Marks the rows whose TLC file is in `destination` (ending in "\" or "/", or empty) and takes the
// highest rank and the last outline of the headers found there.
void CheckPreviousTlcFiles(Job& job, StructureTable& table, std::string_view destination, double scale);
// Lowest rank first; rows of equal rank keep no defined order.
void SortCellsByRank(StructureTable& table);
void ExchangeCellRows(StructureTable& table, int a, int b);

void ReportCellCollection(Job& job, const StructureTable& table);
// The head of the report's table of TLC files written, and one row of it.
void WriteStructureReportHead(Job& job);
void WriteStructureReportLine(Job& job, const StructureRow& row);

constexpr int kMaxCellRank = 15;
constexpr int kMaxRankPasses = 16;

// The TLC files already in `destination` looked at (`CheckPreviousTlcFiles`). An older file may hold a
// cell at a higher rank than the foreign file gives it, and that rank is kept: every row placing it,
// and every row above those, then rises again through `hierarchy` (bounded passes), or the set would
// break the rank rule and lose those references when it is loaded. `topRow` (-1 for none) ranks above
// every other row, whether it places them or not. A rank past 15 stops the job with "Hierarchy Deeper
// than 15 Levels at %s ... Can't Continue". False when the job stopped.
bool RankWithPreviousFiles(Job& job, StructureTable& table, RankedHierarchy& hierarchy, std::string_view destination,
                           double scale, int topRow = -1);

// The table made ready for writing the cells: ranked with the TLC files already in `destination`
// (`RankWithPreviousFiles`), the rows sorted by rank with `rowOfTag` following them, the collection
// reported and the head of the TLC files' table written. False when the job stopped on the way.
bool ReadyCellTable(Job& job, StructureTable& table, RankedHierarchy& hierarchy, std::string_view destination,
                    double scale, std::vector<int>& rowOfTag, int topRow = -1);

}  // namespace utilib
