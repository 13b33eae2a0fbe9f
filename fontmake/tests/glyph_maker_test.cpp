// One round of the font-table maker against files in a scratch folder: the messages a user sees and
// what reaches the font file.
#include <gtest/gtest.h>

#include <filesystem>

#include "fontmake/glyph_maker.h"
#include "fontmake/glyph_table.h"
#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace {

std::string Tlc(const std::string& body, int paths, int vertices) {
  return "=H\r\nCHAR\r\n6.0\r\n6.0\r\n1\r\num\r\n01/01/24\r\n00:00:00\r\n1 0 0 15 15\r\n0 " + std::to_string(paths) +
         " " + std::to_string(vertices) + " 0\r\n" + body;
}

const std::string kTriangles = Tlc("=P\r\n1 0 3\r\n0 0 4 14 8 0 \r\n=P\r\n1 0 3\r\n2 5 6 5 4 9 \r\n", 2, 6);

class GlyphRound : public ::testing::Test {
 protected:
  ostest::Scratch dir;
  tell::Recorder ui;
  fontmake::GlyphRequest request;

  void SetUp() override {
    std::filesystem::current_path(dir.root);
    dir.Write("A.TLC", kTriangles);
    request.tlcName = "a.tlc";
    request.code = 'A';
  }
  std::vector<std::string> Boxes() { return ui.EventsOf("box"); }
  std::string Slot(int code) { return dir.Read("TFF.DBD").substr((code - 32) * 128, 128); }
};

TEST_F(GlyphRound, AMissingFontFileIsMadeAndTheCharacterInstalled) {
  EXPECT_EQ(fontmake::InstallRound(request, ui), fontmake::RoundResult::Installed);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "box \"GlyphMk\" \"Font File is Missing ... New File will be Created\" okcancel",
                         "box \"GlyphMk\" \"2 Polygons with 6 Vertices\\nAssigned to Character A (65)\""}));
  EXPECT_EQ(Slot('A'), std::string("\x00\x4E\x80\xFF\x25\x65\x49\xFF", 8) + std::string(120, '\xFF'));
  EXPECT_EQ(dir.Read("TFF.DBD").size(), 12288u);

  // Again for another character: the first stays.
  dir.Write("B.TLC", Tlc("=B\r\n1 0 0 5 5\r\n", 0, 0));
  request.tlcName = "B";  // without extension, as the file list gives it
  request.code = 'B';
  ui.events.clear();
  EXPECT_EQ(fontmake::InstallRound(request, ui), fontmake::RoundResult::Installed);
  EXPECT_EQ(Slot('B'), std::string(128, '\xFF'));
  EXPECT_EQ(Slot('A').substr(0, 8), std::string("\x00\x4E\x80\xFF\x25\x65\x49\xFF", 8));
}

TEST_F(GlyphRound, RefusalsLeaveTheFontFileAsItWas) {
  auto said = [](const char* text) { return tell::Recorder::BoxLine("GlyphMk", text); };
  struct Case {
    const char* name;
    std::string font;  // font file content; "-" for none
    std::string tlc;
    int code;
    std::vector<tell::Answer> answers;
    std::vector<std::string> boxes;
  } cases[] = {
      {"short font", std::string(12287, '\x11'), "a.tlc", 'A', {}, {said("Font File is the Wrong Length ... Erase it")}},
      {"cancelled new font", "-", "a.tlc", 'A', {tell::Answer::Cancel},
       {tell::Recorder::BoxLine("GlyphMk", "Font File is Missing ... New File will be Created", tell::Buttons::OkCancel)}},
      {"missing TLC", std::string(12288, '\xFF'), "none.tlc", 'A', {}, {said("Character TLC File is Missing")}},
      {"no character", std::string(12288, '\xFF'), "a.tlc", 0, {}, {}},
      {"control character", std::string(12288, '\xFF'), "a.tlc", 9, {}, {}},
      {"code without a slot", std::string(12288, '\xFF'), "a.tlc", 0xE9, {},
       {said("Character Code 233 has no Place in the Font File")}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir.Path("TFF.DBD"));
    if (c.font != "-") dir.Write("TFF.DBD", c.font);
    ui.events.clear();
    ui.boxAnswers.assign(c.answers.begin(), c.answers.end());
    request.tlcName = c.tlc;
    request.code = c.code;
    EXPECT_EQ(fontmake::InstallRound(request, ui), fontmake::RoundResult::NotChanged) << c.name;
    EXPECT_EQ(Boxes(), c.boxes) << c.name;
    if (c.font == "-")
      EXPECT_FALSE(dir.Has("TFF.DBD")) << c.name;
    else
      EXPECT_EQ(dir.Read("TFF.DBD"), c.font) << c.name;
  }
}

TEST_F(GlyphRound, VerticesTheFormatCannotHoldAreToldAndDropped) {
  dir.Write("TFF.DBD", std::string(12288, '\xFF'));
  dir.Write("Q.TLC", Tlc("=P\r\n1 0 2\r\n15 15 0 0 \r\n=P\r\n1 0 2\r\n1 1 2 2 \r\n", 2, 4));
  request.tlcName = "Q.TLC";
  request.code = 'Q';
  EXPECT_EQ(fontmake::InstallRound(request, ui), fontmake::RoundResult::Installed);
  EXPECT_EQ(Boxes().back(), "box \"GlyphMk\" \"Vertex Outside the 16 x 16 Grid ... Polygon Dropped\"");
  EXPECT_EQ(Slot('Q').substr(0, 4), std::string("\x11\x22\xFF\xFF", 4));
}

}  // namespace
