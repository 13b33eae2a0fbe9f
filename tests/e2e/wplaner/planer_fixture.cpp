// Writes the flattener's test drawing: a device in all eight orientations inside a row, the row
// placed turned and mirrored in the top cell. The drawing folder goes to FOLDER, and the same cells
// as TLC files (as TLCOUT would write them, one per cell) to FOLDER/hier.
//   planer_fixture FOLDER
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "editor/tlc/writer.h"

namespace {

using tlctest::Cell;
using tlctest::CellSpec;
using tlctest::PathSpec;

PathSpec Text(int layer, std::int32_t x, std::int32_t y, const std::string& chars, int orientation) {
  PathSpec t = tlctest::Path(layer, 40, {{x, y}});
  t.text = true;
  t.chars = chars;
  t.orientation = orientation;
  return t;
}

std::vector<CellSpec> Cells() {
  CellSpec dev = Cell("DEV", 1, 0, 0, 60, 40);
  dev.boxes.push_back({1, 0, 0, 60, 10});
  dev.boxes.push_back({2, 10, 10, 20, 40});
  dev.paths.push_back(tlctest::Path(3, 0, {{30, 10}, {60, 10}, {60, 40}, {40, 30}}));  // polygon
  dev.paths.push_back(tlctest::Path(4, 6, {{0, 20}, {25, 20}, {25, 35}}));            // wide path
  dev.paths.push_back(Text(5, 5, 5, "D", 1));
  CellSpec row = Cell("ROW", 2, 0, 0, 1000, 100);
  for (int o = 0; o < 8; ++o) row.refs.push_back({"DEV", o, 100 * o + 50, 50});
  row.boxes.push_back({6, 0, 0, 900, 5});
  row.paths.push_back(Text(5, 400, 90, "ROW", 0));
  CellSpec top = Cell("TOP", 3, 0, 0, 3000, 3000);
  top.refs.push_back({"ROW", 1, 1500, 0});
  top.refs.push_back({"ROW", 6, 2000, 2000});
  top.refs.push_back({"DEV", 5, -300, -300});
  top.boxes.push_back({7, 0, 0, 3000, 20});
  top.paths.push_back(Text(5, 10, 10, "TOP", 3));
  return {dev, row, top};
}

bool WriteTlc(const std::string& path, const CellSpec& c) {
  tlc::FileSink sink;
  if (!sink.Open(path)) return false;
  tlc::TlcWriter out(sink);
  tlc::TlcHeader h;
  h.name = c.name;
  h.version1 = "6.05";
  h.version2 = "6.05";
  h.scale = 1000;
  h.unit = "um";
  tlc::StampNow(h);
  h.rank = c.flags & 15;
  h.left = c.left, h.bottom = c.bottom, h.right = c.right, h.top = c.top;
  out.PutHeader(h);
  for (const tlctest::RefSpec& r : c.refs) out.PutCellRef({r.cell, r.orientation, r.x, r.y});
  for (const db::BoxRecord& b : c.boxes) out.PutBox({b.flags & 127, b.left, b.bottom, b.right, b.top});
  for (const PathSpec& p : c.paths) {
    if (p.text) {
      tlc::TlcText t;
      t.layer = p.layer;
      t.size = p.width;
      t.orientation = p.orientation;
      t.x = p.points[0].first;
      t.y = p.points[0].second;
      t.text = p.chars;
      t.vertexCount = tlc::TextVertexCount(p.chars.size());
      out.PutText(t);
    } else {
      std::vector<std::int32_t> x, y;
      for (auto [px, py] : p.points) x.push_back(px), y.push_back(py);
      out.PutPath(p.layer, p.width, x, y);
    }
  }
  return out.Flush() && sink.Commit() == 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: planer_fixture FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  std::filesystem::create_directories(folder + "hier");
  const auto cells = Cells();
  tlctest::WriteDrawingFolder(folder, cells);
  for (const CellSpec& c : cells)
    if (!WriteTlc(folder + "hier/" + c.name + ".TLC", c)) return 1;
  return 0;
}
