#include "convert/dxf/dxf_writer.h"

#include <gtest/gtest.h>

namespace dxf {
namespace {

TEST(DxfWriter, NumbersKeepOneDigitAfterThePoint) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {1, "1.0"},          {2.5, "2.5"},          {1500 / 1000.0, "1.5"}, {2000 / 1000.0, "2.0"},
      {0, "0.0"},          {-3, "-3.0"},          {0.123456789, "0.12345679"}, {1e-9, "0.0"},
      {-0.25, "-0.25"},    {8388607 / 0.001, "8388607000.0"}, {10.05, "10.05"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDxfNumber(c.value), c.text) << c.value;
}

TEST(DxfWriter, OrientationAngles) {
  const double angles[8] = {0, 90, 180, 270, 180, 270, 0, 90};
  for (int code = 0; code < 8; ++code) EXPECT_EQ(DxfAngleOf(code), angles[code]) << code;
}

TEST(DxfWriter, ExtentStartsAtTheFirstPoint) {
  DxfExtent e;
  e.ExtendDxfExtent(5, -2);
  EXPECT_EQ(e.minX, 5);
  EXPECT_EQ(e.maxX, 5);
  e.ExtendDxfExtent(-1, 7);
  EXPECT_EQ(e.minX, -1);
  EXPECT_EQ(e.minY, -2);
  EXPECT_EQ(e.maxX, 5);
  EXPECT_EQ(e.maxY, 7);
}

// Every line of a small drawing, as readers of release 12 files expect them.
TEST(DxfWriter, WritesTheFileGroupByGroup) {
  std::string text;
  int pieces = 0;
  {
    DxfWriter w([&](std::string_view s) {
      text.append(s);
      ++pieces;
      return true;
    });
    DxfExtent e;
    e.ExtendDxfExtent(-1.5, 0);
    e.ExtendDxfExtent(2, 3.25);
    w.WriteDxfHeader(e);
    w.WriteDxfTables("L", (std::uint64_t{1} << 2) | (std::uint64_t{1} << 63));
    w.BeginBlocks();
    w.WriteDxfBlock("LEAF");
    w.WriteDxfPolyline("L3", 0.5, {{0, 0}, {1, 0}}, false, true);
    w.EndDxfBlock();
    w.EndSection();
    w.BeginEntities();
    w.WriteDxfInsert("LEAF", 1, 2, 5);
    w.WriteDxfInsert("LEAF", 0, 0, 3);
    w.WriteDxfPolyline("L64", 0, {{0, 0}, {1, 0}, {1, 1}}, true, false);
    w.WriteDxfText("L3", 1, 2, 0.75, "HI", 4);
    w.EndSection();
    w.WriteEof();
    EXPECT_TRUE(w.Flush());
    EXPECT_FALSE(w.Failed());
    std::int64_t newlines = 0;
    for (char c : text) newlines += c == '\n';
    EXPECT_EQ(w.FileBytes(), static_cast<std::int64_t>(text.size()) + newlines);
  }
  const std::string expected =
      "  0\nSECTION\n  2\nHEADER\n"
      "  9\n$ACADVER\n  1\nAC1009\n"
      "  9\n$EXTMAX\n 10\n2.0\n 20\n3.25\n 30\n0.0\n"
      "  9\n$EXTMIN\n 10\n-1.5\n 20\n0.0\n 30\n0.0\n"
      "  9\n$DIMSCALE\n 40\n1.0\n"
      "  9\n$LUNITS\n 70\n2\n  9\n$LUPREC\n 70\n8\n"
      "  0\nENDSEC\n"
      "  0\nSECTION\n  2\nTABLES\n"
      "  0\nTABLE\n  2\nLTYPE\n 70\n1\n"
      "  0\nLTYPE\n2\nCONTINUOUS\n 70\n64\n"
      "  3\nLineType for PolyLines\n"
      " 72\n65\n 73\n0\n 40\n0.0\n"
      "  0\nENDTAB\n"
      "  0\nTABLE\n  2\nLAYER\n 70\n64\n"
      "  0\nLAYER\n  2\nL3\n 70\n64\n 62\n7\n  6\nCONTINUOUS\n"
      "  0\nLAYER\n  2\nL64\n 70\n64\n 62\n7\n  6\nCONTINUOUS\n"
      "  0\nENDTAB\n"
      "  0\nENDSEC\n"
      "  0\nSECTION\n  2\nBLOCKS\n"
      "  0\nBLOCK\n  8\n0\n  2\nLEAF\n 70\n0\n  3\nLEAF\n 10\n0.0\n 20\n0.0\n 30\n0.0\n"
      "  0\nPOLYLINE\n  8\nL3\n 66\n1\n 70\n0\n 40\n0.5\n 41\n0.5\n"
      "  0\nVERTEX\n  8\nL3\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 40\n0.5\n 41\n0.5\n"
      "  0\nVERTEX\n  8\nL3\n 10\n1.0\n 20\n0.0\n 30\n0.0\n 40\n0.5\n 41\n0.5\n"
      "  0\nSEQEND\n  8\nL3\n"
      "  0\nENDBLK\n  8\n0\n"
      "  0\nENDSEC\n"
      "  0\nSECTION\n  2\nENTITIES\n"
      "  0\nINSERT\n  8\n0\n  2\nLEAF\n 10\n1.0\n 20\n2.0\n 30\n0.\n 41\n-1.0\n 50\n270.0\n"
      "  0\nINSERT\n  8\n0\n  2\nLEAF\n 10\n0.0\n 20\n0.0\n 30\n0.\n 50\n270.0\n"
      "  0\nPOLYLINE\n  8\nL64\n 66\n1\n 70\n1\n 40\n0.0\n 41\n0.0\n"
      "  0\nVERTEX\n  8\nL64\n 10\n0.0\n 20\n0.0\n 30\n0.0\n"
      "  0\nVERTEX\n  8\nL64\n 10\n1.0\n 20\n0.0\n 30\n0.0\n"
      "  0\nVERTEX\n  8\nL64\n 10\n1.0\n 20\n1.0\n 30\n0.0\n"
      "  0\nSEQEND\n  8\nL64\n"
      "  0\nTEXT\n  8\nL3\n 10\n1.0\n 20\n2.0\n 30\n0.0\n 40\n0.75\n  1\nHI\n 50\n180.0\n 71\n2\n"
      "  0\nENDSEC\n"
      "  0\nEOF\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(pieces, 1);
}

TEST(DxfWriter, AFailedSinkIsRemembered) {
  int calls = 0;
  DxfWriter w([&](std::string_view) {
    ++calls;
    return false;
  });
  w.WriteEof();
  EXPECT_FALSE(w.Flush());
  EXPECT_TRUE(w.Failed());
  w.WriteEof();
  EXPECT_FALSE(w.Flush());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace dxf
