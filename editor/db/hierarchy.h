// The rank rule that keeps every cell hierarchy finite: a cell places only cells of lower rank. A
// reference that breaks it is a loop, or the start of one, so every writer of references refuses it
// and every walk of a hierarchy skips it ("Rank Error"); asking here keeps them all of one mind.
#pragma once
#include "editor/db/cell_index.h"

namespace db {

constexpr const char* kRankErrorText = "Rank Error";

// Ranks as the index keeps them (flags & 15). A cell of rank 0 holds nothing a walk descends into.
inline bool RankAllowsPlacement(int holderRank, int placedRank) {
  return placedRank >= 0 && placedRank < holderRank;
}

// A reference of the cell of rank `holderRank` to row `placedRow`: the row exists and its rank is
// below the holder's.
inline bool PlacementAllowed(const CellIndex& index, int holderRank, int placedRow) {
  return index.ValidRow(placedRow) &&
         RankAllowsPlacement(holderRank, index.rows[static_cast<std::size_t>(placedRow)].Rank());
}

}  // namespace db
