#include "editor/db/orientation.h"

#include <gtest/gtest.h>

namespace {

struct P {
  long x, y;
  bool operator==(const P&) const = default;
};

P Orient(int code, P p) {
  db::OrientPoint(code, p.x, p.y);
  return p;
}

const P kProbe{3, 7};  // no symmetry of its own: every code moves it somewhere else

TEST(Orientation, TurnsMirrorsAndCompositionsAgreeWithOrientPointForEveryCode) {
  for (int c = 0; c < 8; ++c) {
    const P placed = Orient(c, kProbe);
    for (int q = 0; q < 4; ++q)
      EXPECT_EQ(Orient(db::RotateOrientation(c, q), kProbe), Orient(q, placed)) << c << " turned " << q;
    EXPECT_EQ(Orient(db::MirrorOrientation(c, false), kProbe), (P{placed.x, -placed.y})) << c;
    EXPECT_EQ(Orient(db::MirrorOrientation(c, true), kProbe), (P{-placed.x, placed.y})) << c;
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(Orient(db::ComposeOrientation(c, i), kProbe), Orient(c, Orient(i, kProbe))) << c << " of " << i;
  }
}

TEST(Orientation, TheWorkedCodes) {
  EXPECT_EQ(db::RotateOrientation(4, 1), 5);
  EXPECT_EQ(db::MirrorOrientation(1, false), 7);
  EXPECT_EQ(db::ComposeOrientation(5, 1), 4);
  EXPECT_EQ(db::RotateOrientation(3, 3), 2);
}

}  // namespace
