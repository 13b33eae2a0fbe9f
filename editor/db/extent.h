// The outline of the open cell: its boxes, its paths widened by half their width, its texts and the
// stored outlines of the cells it places; and the view that fits it.
#pragma once
#include <cstdint>

#include "editor/db/database.h"

namespace db {

constexpr double kTextWidthFactor = 0.81667;  // character width per unit of text size

// Sets d.extent; an empty cell gets the whole coordinate range.
void ComputeCellExtent(Database& d);
void ExtendExtentByObjects(Database& d);
void ExtendExtentByCellRefs(Database& d);

// Characters held by a character-vertex word (its non-zero bytes).
int CountWordCharacters(std::int32_t word);

struct ViewFit {
  double centreX = 0;
  double centreY = 0;
  double width = 0;
};
// Centre and width that show the extent with a tenth to spare; `ratio` is the drawing area's
// height / width.
ViewFit FitViewToExtent(const Extent& extent, double ratio);

}  // namespace db
