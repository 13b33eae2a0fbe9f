// Slot writing rules, font files, and the suite's three built tables.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "fontmake/glyph_table.h"

namespace {

using fontmake::GlyphWriter;
using fontmake::PolygonResult;

struct Scratch {
  std::string dir;
  Scratch() {
    char pattern[] = "/tmp/mero-font-XXXXXX";
    dir = mkdtemp(pattern);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
};

std::vector<int> Slot(const db::FontTable& t, int code) {
  const unsigned char* g = t.Glyph(code);
  return std::vector<int>(g, g + db::kGlyphBytes);
}

std::vector<int> Expect(std::initializer_list<int> head) {
  std::vector<int> v(head);
  v.resize(db::kGlyphBytes, 0xFF);
  return v;
}

std::string Tlc(const std::string& body, int paths, int vertices) {
  return "=H\r\nCHAR\r\n6.0\r\n6.0\r\n1\r\num\r\n01/01/24\r\n00:00:00\r\n1 0 0 15 15\r\n0 " +
         std::to_string(paths) + " " + std::to_string(vertices) + " 0\r\n" + body;
}

TEST(GlyphTable, TwoTrianglesFillTheSlotAsTheFormatSays) {
  Scratch s;
  s.Write("A.TLC", Tlc("=P\r\n1 0 3\r\n0 0 4 14 8 0 \r\n=B\r\n1 0 0 5 5\r\n=P\r\n1 0 3\r\n2 5 6 5 4 9 \r\n", 2, 6));
  db::FontTable t;
  fontmake::ClearFontTable(t);
  t.bytes[0] = 0x12;  // something in another slot
  const auto r = fontmake::InstallGlyph(t, 'A', s.Path("A.TLC"));
  EXPECT_TRUE(r.opened);
  EXPECT_EQ(r.headerPaths, 2);
  EXPECT_EQ(r.headerVertices, 6);
  EXPECT_EQ(r.polygons, 2);
  EXPECT_EQ(Slot(t, 'A'), Expect({0x00, 0x4E, 0x80, 0xFF, 0x25, 0x65, 0x49, 0xFF, 0xFF}));
  // A second install replaces the slot and leaves the others.
  s.Write("A2.TLC", Tlc("=P\r\n1 0 2\r\n1 1 2 2 \r\n", 1, 2));
  fontmake::InstallGlyph(t, 'A', s.Path("A2.TLC"));
  EXPECT_EQ(Slot(t, 'A'), Expect({0x11, 0x22, 0xFF, 0xFF}));
  EXPECT_EQ(t.bytes[0], 0x12);
  // Only boxes: an empty character.
  s.Write("B.TLC", Tlc("=B\r\n1 0 0 5 5\r\n", 0, 0));
  fontmake::InstallGlyph(t, 'A', s.Path("B.TLC"));
  EXPECT_EQ(Slot(t, 'A'), Expect({}));
}

TEST(GlyphTable, ALongCharacterKeepsItsFirst126VertexBytesAndNeverTouchesTheNextSlot) {
  db::FontTable t;
  fontmake::ClearFontTable(t);
  std::fill(t.bytes.begin(), t.bytes.end(), 0x77);
  GlyphWriter w(t, 126);  // '~', the slot before the last
  std::vector<std::int32_t> x(200, 3), y(200, 4);
  EXPECT_EQ(w.AppendPolygon(x, y), PolygonResult::Cut);
  EXPECT_EQ(w.AppendPolygon(x, y), PolygonResult::Cut);
  w.Finish();
  w.Finish();
  const auto slot = Slot(t, 126);
  for (int i = 0; i < 126; ++i) ASSERT_EQ(slot[std::size_t(i)], 0x34) << i;
  EXPECT_EQ(slot[126], 0xFF);
  EXPECT_EQ(slot[127], 0xFF);
  for (int b : Slot(t, 127)) ASSERT_EQ(b, 0x77);
  for (int b : Slot(t, 125)) ASSERT_EQ(b, 0x77);
}

TEST(GlyphTable, OffGridVerticesAndCodesWithoutASlotAreRefused) {
  db::FontTable t;
  fontmake::ClearFontTable(t);
  const db::FontTable before = t;
  struct Case {
    std::vector<std::int32_t> x, y;
  } bad[] = {{{0, 16}, {0, 0}}, {{0, 1}, {0, -1}}, {{15, 0}, {15, 0}}, {{0, 20}, {0, 3}}};
  GlyphWriter w(t, 'Q');
  for (const Case& c : bad) EXPECT_EQ(w.AppendPolygon(c.x, c.y), PolygonResult::OffGrid);
  EXPECT_EQ(w.Position(), 0);
  for (int code : {31, 128, 255, -1, 0}) {
    GlyphWriter none(t, code);
    EXPECT_FALSE(none.Valid());
    const std::vector<std::int32_t> x{1, 2}, y{1, 2};
    none.AppendPolygon(x, y);
    none.Finish();
  }
  EXPECT_EQ(t.bytes, before.bytes);
}

TEST(GlyphTable, FontFilesOfTheWrongLengthAreNotRead) {
  Scratch s;
  db::FontTable t;
  fontmake::ClearFontTable(t);
  EXPECT_EQ(fontmake::ReadFontFile(s.Path("NONE.DBD"), t), 0);
  s.Write("SHORT.DBD", std::string(12287, '\x11'));
  EXPECT_EQ(fontmake::ReadFontFile(s.Path("SHORT.DBD"), t), -1);
  EXPECT_EQ(t.bytes[0], 0xFF);
  s.Write("LONG.DBD", std::string(12288, '\x22') + "tail");
  EXPECT_EQ(fontmake::ReadFontFile(s.Path("LONG.DBD"), t), 1);
  EXPECT_EQ(t.bytes[12287], 0x22);
  ASSERT_EQ(fontmake::WriteFontFile(s.Path("OUT.DBD"), t), 1);
  EXPECT_EQ(std::filesystem::file_size(s.Path("OUT.DBD")), 12288u);
}

// The suite's own tables: every character has a glyph (the blank none), every stroke of it lies
// within its slot, and the faces differ.
TEST(BuiltFonts, EveryCharacterOfEachFaceIsThereAndWellFormed) {
  std::vector<db::FontTable> faces;
  for (const char* name : {"TFF.DBD", "TFF2.DBD", "TFF3.DBD"}) {
    const std::string path = std::string(MERO_SUITE_DIR) + "/" + name;
    ASSERT_EQ(std::filesystem::file_size(path), 12288u) << name;
    db::FontTable t;
    ASSERT_EQ(fontmake::ReadFontFile(path, t), 1);
    for (int code = 32; code <= 127; ++code) {
      const unsigned char* g = t.Glyph(code);
      int i = 0, strokes = 0, widest = 0;
      while (i < db::kGlyphBytes && g[i] != 0xFF) {
        int points = 0;
        while (i < db::kGlyphBytes && g[i] != 0xFF) {
          widest = std::max(widest, g[i] >> 4);
          ++i;
          ++points;
        }
        ASSERT_LT(i, db::kGlyphBytes) << name << " " << code;  // the stroke has its end mark
        EXPECT_GE(points, 2) << name << " " << code;
        ++i;
        ++strokes;
      }
      ASSERT_LT(i, db::kGlyphBytes) << name << " " << code;  // and the glyph its own
      EXPECT_EQ(strokes == 0, code == 32) << name << " " << code;
      if (code != 32) {
        EXPECT_LE(widest, 13) << name << " " << code;
      }
    }
    faces.push_back(t);
  }
  EXPECT_NE(faces[0].bytes, faces[1].bytes);
  EXPECT_NE(faces[0].bytes, faces[2].bytes);
}

}  // namespace
