#include "editor/db/form_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "editor/db/tests/drawing_folder.h"

namespace {

using dbtest::DrawingFolder;

db::FormFile ReadForm(const std::string& text, int flags = db::kReadAll) {
  DrawingFolder f;
  f.Write("FORM.DBD", text);
  db::FormFile form;
  EXPECT_EQ(db::ReadFormFile(form, flags, "C:"), 1);
  return form;
}

TEST(FormFile, StatementsAsTheUserWritesThem) {
  db::FormFile form = ReadForm(
      "layer=metal1 3 ; comment\r\n"
      "LAYER=poly 65\r\n"
      "Layer=DIFF 2\r\n"
      "LAYER=\r\n"
      "fkey=Get\r\n"
      "FKEY=Mov  ; keeps its case\r\n"
      "POOL=c:\\lib\r\n"
      "RES=30,0.5 0.2 1.0\r\n"
      "RES=7\r\n"
      "misc=nocellpopup   \r\n"
      "nonsense=1\r\n");
  ASSERT_EQ(form.layers.size(), 2u);
  EXPECT_EQ(form.layers[0].name, "META");
  EXPECT_EQ(form.layers[0].number, 3);
  EXPECT_EQ(form.layers[1].name, "DIFF");
  EXPECT_EQ(form.layers[1].number, 2);
  ASSERT_EQ(form.macros.size(), 1u);
  EXPECT_EQ(form.macros[0], "Mov");
  EXPECT_EQ(form.poolFolder, "C:\\LIB\\");
  ASSERT_EQ(form.resSets.size(), 2u);
  EXPECT_DOUBLE_EQ(form.resSets[0].ohms, 30);
  EXPECT_DOUBLE_EQ(form.resSets[0].end, 0.5);
  EXPECT_DOUBLE_EQ(form.resSets[0].width, 1.0);
  EXPECT_DOUBLE_EQ(form.resSets[0].corner, 0.2);
  EXPECT_DOUBLE_EQ(form.resSets[1].ohms, 7);
  EXPECT_DOUBLE_EQ(form.resSets[1].corner, 0);
  EXPECT_EQ(form.noCellPopup, 1);
}

TEST(FormFile, ListsStopAtTheirCapacities) {
  std::string text;
  for (int i = 1; i <= 70; ++i) text += "LAYER=L" + std::to_string(i) + " " + std::to_string(i % 64 + 1) + "\n";
  for (int i = 1; i <= 12; ++i) text += "FKEY=m" + std::to_string(i) + "\n";
  for (int i = 1; i <= 7; ++i) text += "FONT=c:\\f" + std::to_string(i) + ".dbd\n";
  for (int i = 1; i <= 10; ++i) text += "RES=" + std::to_string(i) + "\n";
  text += "FONT=\n";
  db::FormFile form = ReadForm(text);
  EXPECT_EQ(form.layers.size(), 64u);
  EXPECT_EQ(form.macros.size(), 11u);
  EXPECT_EQ(form.macros[10], "m11");
  ASSERT_EQ(form.fonts.size(), 9u) << "three suite tables and the first six FONT= lines";
  EXPECT_EQ(form.fonts[0], "C:\\MERO6\\TFF.DBD");
  EXPECT_EQ(form.fonts[2], "C:\\MERO6\\TFF3.DBD");
  EXPECT_EQ(form.fonts[8], "C:\\F6.DBD");
  EXPECT_EQ(form.currentFontPath, form.fonts[0]);
  EXPECT_EQ(form.resSets.size(), 9u);
}

TEST(FormFile, OnlyTheFirst75CharactersCountAndTheRestIsNoStatement) {
  // The tail of an over-long line must not come back as a line of its own.
  std::string longMacro = "FKEY=" + std::string(100, 'x');
  std::string tail = std::string(75 - 5, 'y') + "LAYER=TAIL 9";
  db::FormFile form = ReadForm(longMacro + "\n" + "FKEY=" + tail + "\nLAYER=OK 4\n");
  ASSERT_EQ(form.macros.size(), 2u);
  EXPECT_EQ(form.macros[0], std::string(70, 'x'));
  EXPECT_EQ(form.macros[1], std::string(70, 'y'));
  ASSERT_EQ(form.layers.size(), 1u);
  EXPECT_EQ(form.layers[0].name, "OK");
}

TEST(FormFile, FlagsChooseWhatIsReplaced) {
  DrawingFolder f;
  f.Write("form.dbd", "POOL=\\other\nLAYER=M1 1\nFKEY=x\n");
  db::FormFile form;
  form.poolFolder = "KEPT\\";
  form.layers.push_back({"OLD", 5});
  ASSERT_EQ(db::ReadFormFile(form, db::kReadMacros, ""), 1);
  EXPECT_EQ(form.poolFolder, "KEPT\\");
  EXPECT_EQ(form.layers.size(), 1u);
  EXPECT_EQ(form.macros.size(), 1u);
  EXPECT_EQ(form.fonts[0], "\\MERO6\\TFF.DBD") << "no suite drive: the current drive";
  ASSERT_EQ(db::ReadFormFile(form, db::kReadPool, ""), 1);
  EXPECT_EQ(form.poolFolder, "\\OTHER\\");
}

TEST(FormFile, DefaultFileOfANewFolderAndAMissingOne) {
  DrawingFolder f;
  db::FormFile form;
  EXPECT_EQ(db::ReadFormFile(form, db::kReadAll, "C:"), 0);
  EXPECT_EQ(form.fonts.size(), 3u);
  ASSERT_EQ(db::WriteDefaultFormFile(), 1);
  EXPECT_EQ(f.Read("Form.dbd"), "pool=\r\nlayer=none 1\r\n");
  ASSERT_EQ(db::ReadFormFile(form, db::kReadAll, "C:"), 1);
  ASSERT_EQ(form.layers.size(), 1u);
  EXPECT_EQ(form.layers[0].name, "NONE");
  EXPECT_EQ(form.poolFolder, "");
}

struct FontTest : ::testing::Test {
  DrawingFolder f;
  tell::Recorder talk;
  db::FormFile form;
  db::FontTable font;
  void SetUp() override { db::ReadFormFile(form, db::kReadAll, "C:"); }
  void Put(const std::string& rel, const std::string& bytes) {
    std::ofstream(f.root + "/" + rel, std::ios::binary) << bytes;
  }
};

TEST_F(FontTest, WholeTableLoadsAndBytesBeyondAreIgnored) {
  std::string table(12288, '\xFF');
  table[('A' - 32) * 128] = 0x12;
  Put("MERO6/TFF2.DBD", table + "extra");
  form.currentFontPath = form.fonts[1];
  ASSERT_EQ(db::LoadFontFile(form, font, &talk), 1);
  EXPECT_EQ(font.Glyph('A')[0], 0x12);
  EXPECT_EQ(font.Glyph(' ')[0], 0xFF);
  EXPECT_EQ(font.Glyph(31), nullptr);
  EXPECT_EQ(form.currentFontPath, form.fonts[1]);
  EXPECT_TRUE(talk.events.empty());
}

TEST_F(FontTest, ShortTableLeavesTheLoadedFontWholeAndFallsBack) {
  font.bytes.fill(0x11);
  Put("MERO6/TFF2.DBD", std::string(12287, '\0'));
  form.currentFontPath = form.fonts[1];
  EXPECT_EQ(db::LoadFontFile(form, font, &talk), 0);
  EXPECT_EQ(font.bytes[0], 0x11);
  EXPECT_EQ(font.bytes[12286], 0x11) << "no half of one font mixed into another";
  EXPECT_EQ(form.currentFontPath, form.defaultFontPath);
  EXPECT_EQ(db::LoadFontFile(form, font, &talk), 1) << "the next load takes the default";
}

TEST_F(FontTest, MissingFontSaysSoAndTriesTheDefaultOnce) {
  form.currentFontPath = "C:\\MERO6\\NONE.DBD";
  EXPECT_EQ(db::LoadFontFile(form, font, &talk), 1);
  EXPECT_EQ(talk.events, std::vector<std::string>{dbtest::Message(23)});
  std::filesystem::remove(f.root + "/MERO6/TFF.DBD");
  form.currentFontPath = "C:\\MERO6\\NONE.DBD";
  EXPECT_EQ(db::LoadFontFile(form, font, &talk), 0);
}

}  // namespace
