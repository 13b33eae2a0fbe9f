// The two layouts the drawing benchmark redraws, shared with the picture test that holds their
// pictures fixed: a hierarchy of 10,000 leaf instances in every orientation holding 250,000 boxes,
// and a flat cell of 250,000 boxes on 64 layers.
#pragma once
#include <cstdint>
#include <vector>

#include "editor/db/extent.h"
#include "editor/db/settings.h"
#include "editor/ui/draw/tests/fixture.h"
#include "editor/ui/draw/view.h"

namespace drawtest {

// LEAF: 25 boxes on 8 layers, 3 wide paths and a polygon; MID: 100 LEAFs in all 8 orientations;
// TOP: 100 MIDs likewise. Fitted to the screen a LEAF is some 5 pixels wide; its boxes are made
// long enough (more than a thousandth of the view) to be drawn rather than skipped as too small.
// In the order they must be added.
inline std::vector<Cell> HierarchyLayout() {
  Cell leaf{"LEAF", 1, {}, {}, {}, {}};
  for (int i = 0; i < 25; ++i) {
    const std::int32_t x = 40 * (i % 5) * 4, y = 130 * (i / 5);
    leaf.boxes.push_back({1 + i % 8, x, y, x + 300 + 10 * (i % 3), y + 100});
  }
  for (int i = 0; i < 3; ++i)
    leaf.paths.push_back({9 + i, 30 - 60 * (i % 2), {{0, 650 + 40 * i}, {300, 650 + 40 * i}, {300 + 80 * i, 780}}});
  leaf.paths.push_back({12, 0, {{600, 0}, {760, 0}, {760, 500}, {680, 600}, {600, 0}}});
  Cell mid{"MID", 2, {{13, -100, -100, 10000, 0}, {14, -100, 0, 0, 10000}}, {}, {}, {}};
  for (int i = 0; i < 100; ++i)
    mid.refs.push_back({"LEAF", i % 8, 1000 * (i % 10) + 400, 1000 * (i / 10) + 400});
  Cell top{"TOP", 3, {{15, 0, -400, 120000, -300}}, {}, {}, {}};
  for (int j = 0; j < 100; ++j)
    top.refs.push_back({"MID", (j * 3) % 8, 12000 * (j % 10) + 6000, 12000 * (j / 10) + 6000});
  return {leaf, mid, top};
}

inline Cell FlatLayout() {
  Cell flat{"FLAT", 1, {}, {}, {}, {}};
  flat.boxes.reserve(250000);
  for (int i = 0; i < 250000; ++i) {
    const std::int32_t x = 100 * (i % 500), y = 100 * (i / 500);
    // long enough to be drawn at the fitted view, so they overlap their neighbours
    flat.boxes.push_back({1 + (i * 7) % 64, x, y, x + 150 + (i % 3) * 10, y + 60});
  }
  return flat;
}

// Their fills and colours: twelve fills and the twelve colours that have a letter, so that the
// settings file a drawing folder keeps them in gives the same picture.
inline void LayoutColours(db::Settings& s) {
  static constexpr char kLetters[] = "rbgmycoltavp";
  for (int l = 0; l < 64; ++l) {
    s.layerFills[std::size_t(l)] = 1 + l % 12;
    s.layerPalette[std::size_t(l)] = db::PaletteOfLetter(kLetters[l % 12]);
  }
}

// The editor's client area around a drawing rectangle of 702 x 711, as the headless editor has it.
constexpr int kClientWidth = 702 + 94;
constexpr int kClientHeight = 711 + 66;

// The view Fit gives for `row` in that client area.
inline void FitView(draw::ViewState& view, const db::Database& d, int row) {
  draw::SetDrawingArea(view, draw::LayoutDrawingArea(kClientWidth, kClientHeight));
  const db::CellIndexEntry& e = d.index.rows[std::size_t(row)];
  const db::ViewFit fit = db::FitViewToExtent(db::Extent{e.left, e.bottom, e.right, e.top}, view.ratio);
  view.width = fit.width;
  view.centreX = fit.centreX;
  view.centreY = fit.centreY;
  draw::NormalizeView(view, d.settings);
}

}  // namespace drawtest
