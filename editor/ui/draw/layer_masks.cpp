#include "editor/ui/draw/layer_masks.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace draw {

std::uint64_t LayerBit(int n) {
  if (n < 1 || n > 64) return 0;
  return std::uint64_t{1} << (n - 1);
}

namespace {

// atoi of a token of at most 5 characters: no overflow is possible.
int TokenNumber(std::string_view token) {
  std::string t(token);
  return static_cast<int>(std::strtol(t.c_str(), nullptr, 10));
}

void SetRange(std::uint64_t& mask, int from, int to) {
  if (from > to) std::swap(from, to);
  from = std::max(from, 1);
  to = std::min(to, 64);
  for (int n = from; n <= to; ++n) mask |= LayerBit(n);
}

}  // namespace

std::uint64_t ParseLayerNumberList(std::string_view text) {
  std::uint64_t mask = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) {
      std::string_view token = text.substr(i, std::min<std::size_t>(j - i, 5));
      const std::size_t dash = token.find('-');
      if (dash == std::string_view::npos) {
        mask |= LayerBit(TokenNumber(token));
      } else {
        int from = TokenNumber(token.substr(0, dash));
        int to = TokenNumber(token.substr(dash + 1));
        if (from == 0) from = 1;
        if (to == 0) to = 64;
        SetRange(mask, from, to);
      }
    }
    i = j;
  }
  return mask;
}

std::uint64_t LayerTableMask(const db::FormFile& form, LayerSet which) {
  std::uint64_t bits = 0;
  const std::size_t rows = std::min<std::size_t>(form.layers.size(), 64);
  for (std::size_t i = 0; i < rows; ++i) {
    const db::LayerRow& r = form.layers[i];
    if ((which == LayerSet::View ? r.view : r.open) != 0) bits |= std::uint64_t{1} << i;
  }
  return bits;
}

void SetLayerFlagsFromMask(db::FormFile& form, LayerSet which, std::uint64_t rowBits) {
  const std::size_t rows = std::min<std::size_t>(form.layers.size(), 64);
  for (std::size_t i = 0; i < rows; ++i) {
    const int on = (rowBits >> i) & 1u ? 1 : 0;
    (which == LayerSet::View ? form.layers[i].view : form.layers[i].open) = on;
  }
}

namespace {

std::uint64_t BuildMask(const db::FormFile& form, const db::Settings& s, int rank, LayerSet which) {
  if (s.layerSelectionByTable) {
    std::uint64_t mask = 0;
    for (const db::LayerRow& r : form.layers)
      if ((which == LayerSet::View ? r.view : r.open) != 0) mask |= LayerBit(r.number & 127);
    return mask;
  }
  const int r = std::clamp(rank, 0, db::kRanks);
  const db::RankView& rv = s.rankViews[static_cast<std::size_t>(r)];
  return ParseLayerNumberList(which == LayerSet::View ? rv.viewList : rv.openList);
}

}  // namespace

void BuildViewMask(LayerMasks& m, const db::FormFile& form, const db::Settings& s, int rank) {
  m.view = BuildMask(form, s, rank, LayerSet::View);
}

void BuildOpenMask(LayerMasks& m, const db::FormFile& form, const db::Settings& s, int rank) {
  m.open = BuildMask(form, s, rank, LayerSet::Open);
}

void CombineLayerMasks(LayerMasks& m) {
  m.pickExclusion = ~((m.open | m.openOverride) & (m.view | m.viewOverride));
}

bool IsLayerInView(const LayerMasks& m, std::int32_t word) {
  return (m.view & LayerBit(word & 127)) != 0;
}

}  // namespace draw
