#include "convert/cif/dialect.h"

#include <gtest/gtest.h>

#include "convert/cif/text_template.h"

namespace {

TEST(CifDialect, CallsCarryTheTransformOfTheirOrientation) {
  const char* const expected[8] = {"C3 T100 -40;\n",         "C3 R0 1 T100 -40;\n",    "C3 R-1 0 T100 -40;\n",
                                   "C3 R0 -1 T100 -40;\n",   "C3 MY T100 -40;\n",      "C3 MY R0 1 T100 -40;\n",
                                   "C3 MY R-1 0 T100 -40;\n", "C3 MY R0 -1 T100 -40;\n"};
  for (int code = 0; code < 8; ++code) {
    cif::CifText t;
    t.Call(3, code, 100, -40);
    EXPECT_EQ(t.Text(), expected[code]);
  }
}

TEST(CifDialect, PointListsBreakAfterEverySixthPoint) {
  std::vector<db::PathPoint> points;
  for (int i = 0; i < 7; ++i) points.push_back({i, -i});
  cif::CifText t;
  t.Polygon(points);
  EXPECT_EQ(t.Text(), "P 0 0 1 -1 2 -2 3 -3 4 -4 5 -5\n  6 -6;\n");
  points.resize(6);
  cif::CifText w;
  w.Wire(10, points);
  EXPECT_EQ(w.Text(), "W 10 0 0 1 -1 2 -2 3 -3 4 -4 5 -5;\n");
  points.resize(13);
  cif::CifText twice;
  twice.Polygon(std::vector<db::PathPoint>(13, {1, 2}));
  EXPECT_EQ(twice.Text(), "P 1 2 1 2 1 2 1 2 1 2 1 2\n  1 2 1 2 1 2 1 2 1 2 1 2\n  1 2;\n");
}

TEST(CifDialect, FileFrame) {
  cif::CifText t;
  t.FileComment("WORK\\TOP.TLC", "03/07/24", "13:05:59");
  t.LayerComment(5, "NM");
  t.BlankLine();
  t.SymbolNameComment(1, "LEAF");
  t.BlankLine();
  t.SymbolStart(1, cif::ScaleForGrid(0.01), "9", "LEAF");
  t.Layer("NM");
  t.Box(100, 50, 25, -10);
  t.SymbolEnd();
  t.SymbolStart(2, cif::ScaleForGrid(0.05), "", "TOP");
  t.End(2);
  EXPECT_EQ(t.Text(),
            "(! CIF file of WORK\\TOP.TLC made by CALEXP  03/07/24  13:05:59);\n\n"
            "(LAYER 5 CIF=\"NM\");\n\n"
            "(#1 LEAF);\n\n"
            "DS#1 2/2;\n9 LEAF;\nLNM;\nB 100 50 25 -10;\nDF;\n"
            "DS#2 10/2;\n"
            "C#2;\nE\n");
}

TEST(CifDialect, SymbolScaleOfAGrid) {
  const struct {
    double grid;
    int a;
  } cases[] = {{0.01, 2}, {0.02, 4}, {0.05, 10}, {0.1, 20}, {1, 200}, {10, 2000}, {0.015, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(cif::ScaleForGrid(c.grid).a, c.a) << c.grid;
    EXPECT_EQ(cif::ScaleForGrid(c.grid).b, 2);
  }
}

TEST(CifTextTemplate, LabelsFollowTheirTemplate) {
  cif::LabelValues v;
  v.layer = 7;
  v.layerName = "NM";
  v.size = 450;
  v.orientation = 5;
  v.x = -100;
  v.y = 20;
  v.text = "VDD";
  const struct {
    const char* tmpl;
    bool named;
    const char* command;
  } cases[] = {
      {cif::kDefaultTemplate, true, "94 VDD -100 20 NM"},
      {"94 <TEXT> <X> <Y> <LNAME>", false, "94 VDD -100 20"},  // a layer outside the table loses its name
      {cif::kMeroTemplate, true, "99 7 450 5 -100 20 VDD"},
      {"94 <text>", true, "94 VDD"},                           // 8 characters: written
      {"94 <x>", true, ""},                                    // 6: nothing
      {"95 <y> KEEP <x>", true, "95 20 KEEP -100"},
      {"9 a b c d e f g h i j k", true, "9 a b c d e f g h i"},  // nine fields at most
  };
  for (const auto& c : cases) {
    cif::LabelValues values = v;
    if (!c.named) values.layerName.reset();
    EXPECT_EQ(cif::BuildCifLabel(c.tmpl, values), c.command) << c.tmpl;
  }
}

TEST(CifTextTemplate, FieldsOfATextCommand) {
  using F = cif::TemplateField;
  using Fields = std::vector<std::pair<F, std::string>>;
  // Commas separate as blanks do; a last text field keeps its blanks.
  EXPECT_EQ(cif::SplitLabelFields("94 <TEXT> <X> <Y> <LNAME>", "94 lbl 100,200 0"),
            (Fields{{F::Text, "lbl"}, {F::X, "100"}, {F::Y, "200"}, {F::LayerName, "0"}}));
  EXPECT_EQ(cif::SplitLabelFields(cif::kMeroTemplate, "99 7 450 5 -100 20 two words here "),
            (Fields{{F::Layer, "7"}, {F::Size, "450"}, {F::Orientation, "5"}, {F::X, "-100"}, {F::Y, "20"},
                    {F::Text, "two words here "}}));
  EXPECT_EQ(cif::SplitLabelFields("94 <text> <x> <y>", "94 A"), (Fields{{F::Text, "A"}}));
  EXPECT_TRUE(cif::SplitLabelFields("94 text", "94 A 1 2").empty());
}

// A text field holds any text: what would split it or end the command goes out escaped, everything
// else (commas, a backslash that reads as no escape) as it is, and every text reads back whole.
TEST(CifTextTemplate, TextsGoOutEscapedAndComeBackWhole) {
  const struct {
    const char* text;
    const char* written;
  } cases[] = {
      {"A,B", "A,B"},           {"two words", "two\\20words"}, {"semi;colon", "semi\\3Bcolon"},
      {"tab\tin", "tab\\09in"}, {"C:\\TEMP", "C:\\TEMP"},       {"end\\", "end\\"},
      {"\\20", "\\5C20"},        {"\\5c;", "\\5C5c\\3B"},      {" ", "\\20"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cif::EscapeCifText(c.text), c.written) << c.text;
    EXPECT_EQ(cif::UnescapeCifText(c.written), c.text) << c.written;
    cif::LabelValues v;
    v.text = c.text;
    v.x = 3;
    v.y = -4;
    for (const char* tmpl : {"94 <text> <x> <y>", "99 <x> <y> <text>"}) {
      const std::string command = cif::BuildCifLabel(tmpl, v);
      EXPECT_EQ(command.find(';'), std::string::npos) << command;
      const auto fields = cif::SplitLabelFields(tmpl, command);
      ASSERT_EQ(fields.size(), 3u) << command;
      for (const auto& [field, piece] : fields)
        if (field == cif::TemplateField::Text) EXPECT_EQ(piece, c.text) << command;
    }
  }
  // A peer's text keeps its backslashes and blanks where no escape stands.
  EXPECT_EQ(cif::UnescapeCifText("A\\B \\2"), "A\\B \\2");
}

TEST(CifTextTemplate, HistoryAndDigits) {
  std::vector<std::string> h = cif::DefaultTemplates();
  ASSERT_EQ(h.size(), 5u);
  cif::RememberTemplate(h, "99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>");  // equal to entry 2 but for case
  EXPECT_EQ(h, (std::vector<std::string>{"99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>", cif::kDefaultTemplate, "",
                                         "", ""}));
  for (const char* t : {"91 <text>", "92 <text>", "93 <text>"}) cif::RememberTemplate(h, t);
  cif::RememberTemplate(h, "90 <text>");
  EXPECT_EQ(h, (std::vector<std::string>{"90 <text>", "93 <text>", "92 <text>", "91 <text>",
                                         "99 <LAYER> <SIZE> <ORIEN> <X> <Y> <TEXT>"}));
  cif::RememberTemplate(h, "");
  EXPECT_EQ(h[0], "90 <text>");
  cif::RememberTemplate(h, std::string(80, '9'));
  EXPECT_EQ(h[0].size(), cif::kTemplateLength);

  const struct {
    const char* in;
    const char* out;
  } digits[] = {{"94 X", "94 X"}, {"ABC", "9BC"}, {" 4", "04"}, {"", ""}, {"/", "0"}};
  for (const auto& d : digits) {
    std::string s = d.in;
    cif::ForceLeadingDigit(s);
    EXPECT_EQ(s, d.out) << d.in;
  }
}

}  // namespace
