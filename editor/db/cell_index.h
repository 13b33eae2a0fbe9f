// The cell index of a drawing folder (CELLS6.DBD), the look-up of a cell by name, the recent-cell
// list and the pool list that Attach offers.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/records.h"

namespace db {

struct CellIndex {
  std::array<CellIndexEntry, kCellIndexRows> rows{};  // row 0: Make's scratch cell
  int count = 0;
  // Result of the last FindCell.
  int foundRow = 0;
  int foundRank = 0;
  int foundAttached = 0;

  bool ValidRow(int row) const { return row >= 1 && row <= count; }
};

// Reads a CELLS6.DBD. 1 read; 0 the file is missing; -1 the file is damaged (no count, a count
// above 513, a row cut short, a number that is not a whole 32-bit number, a name of more than 32
// characters or holding a control character, text after the last counted row). Only a whole read changes the table, so a damaged file never leaves half a table that
// a later write would put back. Names are upper-cased.
int ReadCellIndexFile(CellIndex& index, std::string_view path);
int ReadCellIndex(CellIndex& index);  // "CELLS6.DBD" of the working folder

// Rewrites a CELLS6.DBD whole from rows 1..count (flags & 31); 1, or 0 when it cannot be written
// (the old file then stays as it was).
int WriteCellIndexFile(const CellIndex& index, std::string_view path);
constexpr std::string_view kCellIndexFile = "CELLS6.DBD";

// Rows 0..count compared exactly; sets foundRow, foundRank (flags & 15), foundAttached (flags & 16).
int FindCell(CellIndex& index, std::string_view name);

// "NAME (2)", "NAME (1+)" for an attached cell; "" for a row outside the table.
std::string FormatCellLabel(const CellIndex& index, int row);

// The nine most recently closed cells, place 1 first (index 0 here).
struct RecentCells {
  std::array<std::string, 9> places;
};
int FindRecentCell(const RecentCells& recent, std::string_view name);  // place 1..9, 0 absent
void PushRecentCell(RecentCells& recent, std::string_view name);
void RemoveRecentCell(RecentCells& recent, std::string_view name);

// Names and flags of the pool folder's cells, rows 1..count (rows[0] unused).
struct PoolCellList {
  struct Row {
    std::string name;
    std::int32_t flags = 0;
  };
  std::vector<Row> rows;
  int count = 0;
};
// Reads "%sCELLS6.DBD" of the pool folder: 1 read, 0 missing, -1 damaged (count left at 0).
int ReadPoolCellIndex(PoolCellList& pool, std::string_view poolFolder);

}  // namespace db
