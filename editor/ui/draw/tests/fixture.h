// A drawing folder for one test: cells made from plain lists of boxes, paths and instances, saved as
// cell files with their index rows and outlines, and an engine drawing into a surface whose
// drawing rectangle shows world units one to one.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/db/cell_files.h"
#include "editor/db/database.h"
#include "editor/db/extent.h"
#include "editor/ui/draw/engine.h"
#include "editor/ui/draw/resources.h"
#include "platform/gfx/canvas.h"
#include "platform/os/path.h"

namespace drawtest {

struct Box {
  int layer = 1;
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
  std::int32_t extraFlags = 0;  // selection bits and the like
};

struct Path {
  int layer = 1;
  std::int32_t width = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> points;
  std::int32_t extraFlags = 0;
  std::int32_t vertexFlags = 0;  // given to every vertex (selection)
};

struct Text {
  int layer = 1;
  std::int32_t size = 15;
  int orientation = 0;
  std::int32_t x = 0, y = 0;
  std::string text;
};

struct Ref {
  std::string cell;
  int orientation = 0;
  std::int32_t x = 0, y = 0;
  std::int32_t extraFlags = 0;  // outline bit 14, selected bit 16
};

struct Cell {
  std::string name;
  int rank = 1;
  std::vector<Box> boxes;
  std::vector<Path> paths;
  std::vector<Text> texts;
  std::vector<Ref> refs;
};

// Records of a cell into the store (level 0 for the references), replacing what is there.
inline void PutInStore(db::Database& d, const Cell& c) {
  db::ObjectStore& s = d.store;
  s.FreeObjectPages();
  s.FreeCellRefSlot(0);
  s.boxCount = s.pathCount = s.vertexCount = 0;
  s.refCount[0] = 0;
  for (const Box& b : c.boxes)
    s.PutBoxRecord(++s.boxCount, db::BoxRecord{b.layer | b.extraFlags, b.left, b.bottom, b.right, b.top});
  for (const Path& p : c.paths) {
    const int path = ++s.pathCount;
    const int first = s.vertexCount + 1;
    for (std::size_t i = 0; i < p.points.size(); ++i) {
      const int v = ++s.vertexCount;
      const std::int32_t next = i + 1 < p.points.size() ? v + 1 : 0;
      s.PutVertexRecord(v, db::VertexRecord{path | p.vertexFlags, p.points[i].first, p.points[i].second, next});
    }
    s.PutPathRecord(path, db::PathRecord{p.layer | p.extraFlags, p.width, p.points.empty() ? 0 : first});
  }
  for (const Text& t : c.texts) {
    const int path = ++s.pathCount;
    const int first = s.vertexCount + 1;
    s.PutVertexRecord(++s.vertexCount, db::VertexRecord{path, t.x, t.y, 0});
    for (std::size_t i = 0; i < t.text.size(); i += 8) {
      std::uint32_t w[2] = {0, 0};
      for (std::size_t k = 0; k < 8 && i + k < t.text.size(); ++k)
        w[k / 4] |= std::uint32_t(static_cast<unsigned char>(t.text[i + k])) << (24 - 8 * (k % 4));
      s.SetVertex(s.vertexCount + 1, 3, s.vertexCount);
      s.PutVertexRecord(++s.vertexCount,
                        db::VertexRecord{static_cast<std::int32_t>(0x80000000u) | path,
                                         std::int32_t(w[0]), std::int32_t(w[1]), 0});
    }
    s.PutPathRecord(path, db::PathRecord{static_cast<std::int32_t>(0x80000000u) | t.layer |
                                             (t.orientation << db::kOrientationShift),
                                         t.size, first});
  }
  for (const Ref& r : c.refs) {
    db::FindCell(d.index, r.cell);
    s.PutCellRefRecord(0, ++s.refCount[0],
                       db::CellRefRecord{d.index.foundRow | (r.orientation << 11) | r.extraFlags, r.x, r.y});
  }
}

struct Folder {
  std::string root;
  std::string saved;
  db::Database d;

  Folder() {
    char pattern[] = "/tmp/mero-draw-XXXXXX";
    root = mkdtemp(pattern);
    saved = std::filesystem::current_path().string();
    std::filesystem::create_directories(root + "/MERO6");
    std::filesystem::create_directories(root + "/Work");
    os::SetDriveTable("C=" + root);
    std::filesystem::current_path(root + "/Work");
    d.settings.scale = 1;
    db::ApplyColorLetters(d.settings);
    for (int l = 0; l < 64; ++l) d.settings.layerFills[std::size_t(l)] = 13;
  }
  ~Folder() {
    std::filesystem::current_path(saved);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }

  // Adds the cell to the index with its outline and writes its files. Cells it places must exist.
  int Add(const Cell& c) {
    const int row = ++d.index.count;
    db::CellIndexEntry& e = d.index.rows[std::size_t(row)];
    e.name = c.name;
    e.flags = c.rank;
    PutInStore(d, c);
    db::ComputeCellExtent(d);
    e.left = d.extent.left;
    e.bottom = d.extent.bottom;
    e.right = d.extent.right;
    e.top = d.extent.top;
    e.boxCount = d.store.boxCount;
    e.pathCount = d.store.pathCount;
    e.vertexCount = d.store.vertexCount;
    e.refCount = d.store.refCount[0];
    db::SaveCellObjects(d, c.name);
    if (c.rank > 1) db::SaveCellRefs(d, c.name, 0);
    return row;
  }

  // Opens a cell as the edited cell, as the editor's cell load leaves the store.
  void Open(const std::string& name) {
    db::FindCell(d.index, name);
    const int row = d.index.foundRow;
    d.store.FreeObjectStore();
    d.load = db::LoadState{};
    db::LoadObjectsOfCell(d, row);
    if (d.index.rows[std::size_t(row)].Rank() > 1) db::LoadRefsOfCell(d, row, 0);
    else d.store.refCount[0] = 0;
    d.current.name = name;
    d.current.row = row;
    d.current.rank = d.index.rows[std::size_t(row)].Rank();
  }
};

// A 1:1 view: drawing rectangle `w` x `h` pixels from client (0, 24), world x 0..w, y 0..h.
struct Screen {
  draw::ViewState view;
  draw::LayerMasks masks;
  gfx::Surface surface;
  gfx::Canvas canvas;
  std::unique_ptr<draw::Engine> engine;

  Screen(db::Database& d, int w, int h) : surface(w + 94, h + 66), canvas(surface) {
    draw::SetDrawingArea(view, draw::LayoutDrawingArea(w + 94, h + 66));
    view.width = w;
    view.centreX = w / 2.0;
    view.centreY = h / 2.0;
    draw::NormalizeView(view, d.settings);
    engine = std::make_unique<draw::Engine>(d, view, masks);
    engine->canvas = &canvas;
  }
  void Clear() { std::fill(surface.pixels.begin(), surface.pixels.end(), 0u); }
  std::uint32_t At(int x, int y) const { return surface.Row(y)[x]; }
  // Client pixel of a world point in this view.
  int Px(double x) const { return int(x - view.left) + view.area.left; }
  int Py(double y) const { return int(view.top - y) + view.area.top; }
};

inline std::uint32_t PaletteRgb(int i) { return draw::EditorPalette()[std::size_t(i)]; }

}  // namespace drawtest
