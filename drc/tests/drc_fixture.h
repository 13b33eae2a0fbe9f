// Drawing folders for the checker's tests and benchmark: cells in a few lines (written as the editor
// writes them), the current folder moved into the drawing folder, and its database read as the
// checker reads it at start-up.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "drc/bitmap.h"
#include "editor/db/database.h"
#include "editor/tlc/tests/drawing_fixture.h"
#include "platform/os/tests/scratch.h"

namespace drctest {

using tlctest::CellSpec;
using tlctest::PathSpec;
using tlctest::RefSpec;
using Pixels = std::set<std::pair<int, int>>;

struct Drawing {
  ostest::Scratch scratch;
  std::unique_ptr<db::Database> db = std::make_unique<db::Database>();
  bool ok = false;  // the index and FORM.DBD were read back

  // Writes the folder (scale: database units per user unit), moves into it and reads it.
  explicit Drawing(const std::vector<CellSpec>& cells, double scale = 20, const std::string& unit = "um");
  int Row(const std::string& name);
};

// Three metal rules over four areas across at one database unit a pixel, 10 units a micrometre (scan
// window 0..300 by 0..50 um): a wire 2 um wide in the first area, a cut placed right at its metal's
// edge in the second, two wires 2 um apart in the third.
extern const char* const kRuleChecks;
std::vector<CellSpec> RuleLayout();

db::BoxRecord Box(int layer, int left, int bottom, int right, int top);
using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;
// A cell of the given rank and outline (left, bottom, right, top).
CellSpec Cell(const std::string& name, int rank, std::array<std::int32_t, 4> outline,
              std::vector<db::BoxRecord> boxes = {}, std::vector<PathSpec> paths = {},
              std::vector<RefSpec> refs = {});
PathSpec Path(int layer, std::int32_t width, Points points);
PathSpec Text(int layer, std::int32_t size, std::int32_t x, std::int32_t y, const std::string& chars);
// Pixels of the working rows.
Pixels SetPixels(const drc::BitMap& m);
Pixels Rect(int x1, int y1, int x2, int y2);
drc::BitMap NewMap();

}  // namespace drctest
