#include "editor/db/records.h"

#include <gtest/gtest.h>

namespace {

TEST(Records, FileBytesAreLittleEndianInWordOrder) {
  unsigned char b[db::kBoxBytes];
  db::EncodeBox({0x0F03, -1, 2, 0x01020304, -8388608}, b);
  const unsigned char want[db::kBoxBytes] = {0x03, 0x0F, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0,
                                             4, 3, 2, 1, 0, 0, 0x80, 0xFF};
  for (int i = 0; i < db::kBoxBytes; ++i) EXPECT_EQ(b[i], want[i]) << i;
  db::BoxRecord r = db::DecodeBox(b);
  EXPECT_EQ(r.flags, 0x0F03);
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.right, 0x01020304);
  EXPECT_EQ(r.top, -8388608);

  unsigned char v[db::kVertexBytes];
  db::EncodeVertex({db::kCharVertexBit | 5, 0x41424344, 0x45000000, 9}, v);
  EXPECT_EQ(v[3], 0x80);
  EXPECT_EQ(v[4], 0x44) << "the first character sits in the high byte, last in the file";
  EXPECT_EQ(v[7], 0x41);
  db::VertexRecord back = db::DecodeVertex(v);
  EXPECT_TRUE(db::IsText(back.flags));
  EXPECT_EQ(back.flags & db::kVertexOwnerMask, 5);
  EXPECT_EQ(back.next, 9);

  unsigned char c[db::kRefBytes];
  db::EncodeCellRef({0x4000 | (7 << 11) | 513, 3, -3}, c);
  db::CellRefRecord ref = db::DecodeCellRef(c);
  EXPECT_EQ(db::RefRowOf(ref.flags), 513);
  EXPECT_EQ(db::OrientationOf(ref.flags), 7);
  EXPECT_EQ(ref.y, -3);
}

}  // namespace
