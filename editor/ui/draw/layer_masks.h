// Which of the 64 layers are drawn (View) and which may be picked (Open), from a rank's layer-list
// texts or from the View and Open flags of the FORM.DBD layer rows.
#pragma once
#include <cstdint>
#include <string_view>

#include "editor/db/database.h"

namespace draw {

struct LayerMasks {
  std::uint64_t view = ~std::uint64_t{0};  // bit n-1 for layer n
  std::uint64_t open = ~std::uint64_t{0};
  // All zeros or all ones ("All Layers" of the layer table); while the View override is not zero
  // every layer is drawn.
  std::uint64_t viewOverride = 0;
  std::uint64_t openOverride = 0;
  std::uint64_t pickExclusion = 0;  // a set bit: that layer cannot be picked
};

// Bit of layer n; 0 for n outside 1..64.
std::uint64_t LayerBit(int n);

// "1-64", "5", "10-3", "-" ... into a layer set. Tokens are cut to 5 characters; numbers outside
// 1..64 set nothing; an empty or 0 range end means 1 (left) or 64 (right).
std::uint64_t ParseLayerNumberList(std::string_view text);

enum class LayerSet { View = 0, Open = 1 };

// Row bitmap of the layer table's View or Open flags: bit i is row i, whatever layer it holds.
std::uint64_t LayerTableMask(const db::FormFile& form, LayerSet which);
void SetLayerFlagsFromMask(db::FormFile& form, LayerSet which, std::uint64_t rowBits);

// The View or Open mask of `rank`: from its layer list, or in table mode (settings'
// layerSelectionByTable) from the layer numbers of the flagged rows.
void BuildViewMask(LayerMasks& m, const db::FormFile& form, const db::Settings& s, int rank);
void BuildOpenMask(LayerMasks& m, const db::FormFile& form, const db::Settings& s, int rank);

// A layer can be picked only when it is open (or all are) and viewed (or all are).
void CombineLayerMasks(LayerMasks& m);

// Layer of a flag word (word & 127) in the View mask; layers outside 1..64 are never shown.
bool IsLayerInView(const LayerMasks& m, std::int32_t word);

}  // namespace draw
