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

namespace db {

// Orientation arithmetic of the editing commands: a quarter turn, a mirror and a code placed inside
// another keep OrientPoint exact, so turned and mirrored instances and texts never drift.

// q more quarter turns counter-clockwise; the mirror stays.
inline int RotateOrientation(int code, int q) { return (((code & 3) + q) & 3) | (code & 4); }

// Mirrored about a horizontal line (y -> -y) or a vertical one (x -> -x).
inline int MirrorOrientation(int code, bool vertical) {
  int turns = code & 3;
  const bool odd = (turns & 1) != 0;
  if ((!vertical && odd) || (vertical && !odd)) turns = (turns + 2) & 3;
  return turns | ((code & 4) ^ 4);
}

// The code of an inner code i seen through an outer code o: OrientPoint(result) = o after i.
inline int ComposeOrientation(int o, int i) {
  int turns = (o & 3) + (i & 3);
  if ((o & 4) && (i & 1)) turns += 2;
  return (turns & 3) | ((o ^ i) & 4);
}

}  // namespace db
