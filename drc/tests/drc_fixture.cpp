#include "drc/tests/drc_fixture.h"

#include <cstdlib>

#include "editor/db/cell_index.h"
#include "editor/db/form_file.h"
#include "platform/os/path.h"

namespace drctest {

Drawing::Drawing(const std::vector<CellSpec>& cells, double scale, const std::string& unit) {
  tlctest::WriteDrawingFolder(scratch.root + "/", cells, scale, unit);
  os::ChangeFolder(scratch.root);
  ok = db::ReadCellIndex(db->index) == 1 && db::ReadFormFile(db->form, db::kReadAll, "") == 1;
}

int Drawing::Row(const std::string& name) {
  db::FindCell(db->index, name);
  return db->index.foundRow;
}

const char* const kRuleChecks =
    "TITLE=Metal width\n"
    "RESOLUTION=0.1\n"
    "DISTANCE=3\n"
    "OPERATORS={\n"
    "  MAP,1\n  PUSH,1\n  NOTR   ; the space around the metal\n  GAGR\n  TESTR\n  DSPR,R\n  SCPY\n}\n"
    "TITLE=Metal spacing\n"
    "OPERATORS={\n  MAP,1\n  PUSH,1\n  GAGR\n  TESTR\n}\n"
    "TITLE=Cut enclosure\n"
    "DISTANCE=1\n"
    "OPERATORS={\n  MAP,3\n  MAP,1\n  PUSH,1\n  NOTR\n  PUSH,3\n  EXPRS\n  TESTR\n}\n";

std::vector<CellSpec> RuleLayout() {
  return {Cell("CUT", 1, {0, 0, 20, 20}, {Box(3, 0, 0, 20, 20)}),
          Cell("TOP", 2, {0, 0, 2300, 240},
               {Box(1, 0, 0, 300, 20), Box(1, 0, 100, 300, 160),              // narrow and wide wire
                Box(1, 1000, 100, 1300, 160),                                 // a wire with two cuts
                Box(1, 2000, 100, 2300, 160), Box(1, 2000, 180, 2300, 240)},  // too close
               {}, {{"CUT", 0, 1050, 120}, {"CUT", 0, 1200, 140}})};
}

db::BoxRecord Box(int layer, int left, int bottom, int right, int top) {
  return {layer, left, bottom, right, top};
}

CellSpec Cell(const std::string& name, int rank, std::array<std::int32_t, 4> outline,
              std::vector<db::BoxRecord> boxes, std::vector<PathSpec> paths, std::vector<RefSpec> refs) {
  CellSpec c;
  c.name = name;
  c.flags = rank;
  c.left = outline[0], c.bottom = outline[1], c.right = outline[2], c.top = outline[3];
  c.boxes = std::move(boxes);
  c.paths = std::move(paths);
  c.refs = std::move(refs);
  return c;
}

PathSpec Path(int layer, std::int32_t width, Points points) {
  PathSpec p;
  p.layer = layer;
  p.width = width;
  p.points = std::move(points);
  return p;
}

PathSpec Text(int layer, std::int32_t size, std::int32_t x, std::int32_t y, const std::string& chars) {
  PathSpec p = Path(layer, size, {{x, y}});
  p.text = true;
  p.chars = chars;
  return p;
}

Pixels SetPixels(const drc::BitMap& m) {
  Pixels out;
  for (int s = 0; s < drc::kMapStrips; ++s)
    for (int y = 0; y < m.Rows(); ++y)
      if (std::uint32_t w = m.Word(s, y))
        for (int b = 0; b < 32; ++b)
          if (w & drc::ColumnBit(b)) out.insert({32 * s + b, y});
  return out;
}

Pixels Rect(int x1, int y1, int x2, int y2) {
  Pixels p;
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x) p.insert({x, y});
  return p;
}

drc::BitMap NewMap() {
  drc::BitMap m;
  if (!m.Allocate()) std::abort();  // a test without memory for one map cannot go on
  return m;
}

}  // namespace drctest
