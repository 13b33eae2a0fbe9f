// The box merge as a plain scan of the table, box after box: the reference the indexed merge must
// reproduce exactly, for the tests and for the benchmark's comparison.
#pragma once
#include <vector>

#include "layerlogic/vectorise.h"

namespace lltest {

inline void MergeByScan(std::vector<layerlogic::TileBox>& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i].deleted) continue;
    std::int32_t a = t[i].left, b = t[i].bottom, c = t[i].right, d = t[i].top;
    for (std::size_t j = i + 1; j < t.size(); ++j) {
      layerlogic::TileBox& o = t[j];
      if (o.deleted) continue;
      if (o.top == b && o.left == a && o.right == c) b = o.bottom;
      else if (o.left == c && o.top == d && o.bottom == b) c = o.right;
      else if (o.bottom == d && o.left == a && o.right == c) d = o.top;
      else if (o.right == a && o.top == d && o.bottom == b) a = o.left;
      else continue;
      o.deleted = true;
    }
    t[i] = {a, b, c, d, false};
  }
}

}  // namespace lltest
