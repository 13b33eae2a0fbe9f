// Orientation codes 0..7: quarter turns counter-clockwise in bits 0-1, a mirror in y (applied before
// the turn) in bit 2. The one place where a point is turned by a code; the drawing walk, the
// rasteriser and the cell extent all use it.
#pragma once
#include <cstdint>

namespace db {

template <class T>
inline void OrientPoint(int code, T& x, T& y) {
  const T a = x;
  const T b = y;
  switch (code & 7) {
    case 1: x = -b; y = a; break;
    case 2: x = -a; y = -b; break;
    case 3: x = b; y = -a; break;
    case 4: x = a; y = -b; break;
    case 5: x = b; y = a; break;
    case 6: x = -a; y = b; break;
    case 7: x = -b; y = -a; break;
    default: break;
  }
}

}  // namespace db
