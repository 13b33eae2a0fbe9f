// Drawing folders for the conversion tests: cells described in a few lines, written as the editor
// writes them (FORM.DBD, CONSTS6.DBD, CELLS6.DBD, BP6 and CL6), and read back for comparison.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "editor/db/records.h"

namespace tlctest {

struct PathSpec {
  int layer = 1;
  std::int32_t width = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> points;
  bool text = false;
  int orientation = 0;
  std::string chars;  // a text's characters; points[0] is its reference point
};

struct RefSpec {
  std::string cell;
  int orientation = 0;
  std::int32_t x = 0, y = 0;
};

struct CellSpec {
  std::string name;
  std::int32_t flags = 1;  // rank and the pool bit
  std::int32_t left = -100, bottom = -100, right = 100, top = 100;
  std::vector<db::BoxRecord> boxes;
  std::vector<PathSpec> paths;
  std::vector<RefSpec> refs;
};

// Writes every file of a drawing folder (folder ends in "/"). Rows follow the order of `cells`;
// the counts in CELLS6.DBD are those of the records.
void WriteDrawingFolder(const std::string& folder, const std::vector<CellSpec>& cells,
                        double scale = 1000, const std::string& unit = "um",
                        const std::string& extraForm = "");
// FORM.DBD and CONSTS6.DBD alone: an empty drawing folder.
void WriteEmptyDrawingFolder(const std::string& folder, double scale = 1000,
                             const std::string& unit = "um");

// A cell as read back: its index row, BP6 records and references by cell name.
struct LoadedCell {
  db::CellIndexEntry row;
  std::vector<db::BoxRecord> boxes;
  std::vector<db::PathRecord> paths;
  std::vector<db::VertexRecord> vertices;
  std::vector<std::pair<std::string, db::CellRefRecord>> refs;  // row bits replaced by the name
  bool hasCl6 = false;
};
std::map<std::string, LoadedCell> ReadDrawingFolder(const std::string& folder);

// Every word equal.
bool Same(const db::CellIndexEntry& a, const db::CellIndexEntry& b);
bool Same(const LoadedCell& a, const LoadedCell& b);

// Cell specs without the aggregate's field-by-field warnings.
CellSpec Cell(std::string name, std::int32_t flags, std::int32_t left = -100, std::int32_t bottom = -100,
              std::int32_t right = 100, std::int32_t top = 100);
PathSpec Path(int layer, std::int32_t width, std::vector<std::pair<std::int32_t, std::int32_t>> points);

}  // namespace tlctest
