#include "convert/cif/importer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "convert/cif/text_template.h"
#include "platform/tell/recorder.h"
#include "utilib/tests/conversion_fixture.h"

namespace {

using convtest::ReadFile;
using convtest::TlcRecords;
using convtest::WriteFile;
using Records = std::vector<std::string>;

std::string Unix(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

// The records of a TLC file without the header, whose date and counts the tests check apart.
Records Body(const std::string& path) {
  Records out;
  for (const std::string& r : TlcRecords(path))
    if (r.rfind("=H", 0) != 0) out.push_back(r);
  return out;
}

class ImporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    cif::SetImportDefaults(settings);
    settings.slots[cif::kImpCifFile] = folder / "in.cif";
    settings.slots[cif::kImpTlcFolder] = folder / "tlc";
    settings.slots[cif::kImpReportFile] = folder / "calimp.rpt";
    settings.slots[cif::kImpLayerFile] = "";  // the layer comments of the CIF file itself
    std::filesystem::create_directory(folder / "tlc");
    Normalise();
  }
  void Normalise() { cif::NormaliseImport(settings); }
  int Run(const std::string& cif) {
    WriteFile(folder / "IN.CIF", cif);
    return Run();
  }
  int Run() {
    utilib::Job job(cif::kImportProgram, ui);
    const int done = cif::ImportCif(job, settings, ask, &result);
    utilib::CloseReport(job);
    return done;
  }
  std::string Tlc(const std::string& cell) { return folder / ("tlc/" + cell + ".TLC"); }
  std::string LastBox() {
    const std::vector<std::string> boxes = ui.EventsOf("box");
    return boxes.empty() ? "" : boxes.back();
  }
  std::string Report() { return Unix(ReadFile(folder / "CALIMP.RPT")); }

  convtest::ScratchFolder folder;
  cif::ImportSettings settings;
  cif::ImportResult result;
  tell::Recorder ui;
  std::vector<std::string> asked;
  utilib::NewNameAsker ask = [this](std::string_view rejected) -> std::optional<std::string> {
    asked.emplace_back(rejected);
    return "RENAMED" + std::to_string(asked.size());
  };
};

const char* const kTwoSymbols =
    "(LAYER 1 CIF=\"CM1\");\n(LAYER 2 CIF=\"CPG\");\n"
    "DS 1 2 2;\n9 leaf;\nL CM1;\nB 100 50 500 0;\nLCPG;\nP 0 0 500 0 500 500 0 0;\n"
    "W 10 0 0 100 0 100 100;\n94 VDD 100 200 CM1;\nDF;\n"
    "DS 2 2 2;\n9 TOP;\nC 1 MY R0 1 T500 -100;\nC1 MX T 0 0;\nC 1 T 100 0 R 0 1;\nDF;\n"
    "C 2;\nE\n";

TEST_F(ImporterTest, SymbolsBecomeTlcFiles) {
  ASSERT_EQ(Run(kTwoSymbols), 1) << ::testing::PrintToString(ui.events);
  EXPECT_EQ(result.tlcFiles, 2);
  EXPECT_EQ(cif::ImportCompletedText(result), "Completed ... 2 TLC Files Made");
  // C = 100 CIF units per micrometre, S = 20: a CIF coordinate of 500 becomes 100.
  EXPECT_EQ(Body(Tlc("LEAF")),
            (Records{"=B|1 90 -5 110 5", "=P|2 0 4|0 0 100 0 100 100 0 0 ", "=P|2 -2 3|0 0 20 0 20 20 ",
                     "=T|1 195 2 0|20 40|VDD"}));
  // Transforms apply in the order written: a translation before a turn is turned too.
  EXPECT_EQ(Body(Tlc("TOP")), (Records{"=C|LEAF|5 100 -20 0", "=C|LEAF|6 0 0 0", "=C|LEAF|1 0 20 0"}));
  const std::string leaf = Unix(ReadFile(Tlc("LEAF")));
  EXPECT_NE(leaf.find("=H\nLEAF\n6.0\n6.0\n20\num\n03/07/24\n13:05:59\n1 0 0 1 0\n1 3 9 0\n"), std::string::npos)
      << leaf;
  EXPECT_NE(Unix(ReadFile(Tlc("TOP"))).find("\n2 0 0 1 0\n0 0 0 3\n"), std::string::npos);
  EXPECT_EQ(Unix(ReadFile(folder / "tlc/CELLS.REF")),
            "2\nLEAF\n1 0 0 20 0 1 3 9 0\nTOP\n2 0 0 20 0 0 0 0 3\n");

  const std::string report = Report();
  EXPECT_NE(report.find("*** CIF to TLC Conversion Report  03/07/24  13:05:59 ***\n\nCIF File Name: "),
            std::string::npos);
  EXPECT_NE(report.find("MERO Scale Units: 20units/um\n\nLayer List:\nNo.  Name\n---------\n 1   CM1\n 2   CPG\n\n"
                        "Cell                   Rank Boxes   Paths   Text  (Vertex)  Cells\n" +
                        std::string(66, '-') +
                        "\nLEAF                    1    1       2       1       9       0       \n"
                        "TOP                     2    0       0       0       0       3       \n"
                        "\nMin Feature=0.1um\nScales: CIF=0.01um/unit  TLC=20units/um\n"),
            std::string::npos)
      << report;
}

TEST_F(ImporterTest, BoxesPolygonsAndWires) {
  settings.slots[cif::kImpScale] = "";  // S from each symbol's scale: one TLC unit per CIF unit
  const struct {
    const char* commands;
    bool closeOpen, inlinePaths;
    Records records;
  } cases[] = {
      {"B 3 5 0 0;", false, false, {"=B|64 -1 -2 2 3"}},           // an odd box keeps its size
      {"B 100 50 0 0 5 0;", false, false, {"=B|64 -50 -25 50 25"}},  // along +x it stays a box
      {"B 100 50 0 0 0 1;", false, false, {"=P|64 0 5|25 -50 25 50 -25 50 -25 -50 25 -50 "}},
      {"B 100 50 10 10 -1 1;", false, false,
       {"=P|64 0 5|63 -7 -7 63 -43 27 27 -43 63 -7 "}},
      {"B 1 2 3;", false, false, {}},  // too few numbers
      {"P 0 0 10 0 10 10 0 10;", false, false, {"=P|64 0 4|0 0 10 0 10 10 0 10 "}},
      {"P 0 0 10 0 10 10 0 10;", true, false, {"=P|64 0 5|0 0 10 0 10 10 0 10 0 0 "}},
      {"P 0 0 10 0 10 10 0 0;", true, false, {"=P|64 0 4|0 0 10 0 10 10 0 0 "}},
      {"W 10 0 0 100 0;", false, false, {"=P|64 -10 2|0 0 100 0 "}},
      {"W 10 0 0 100 0;", false, true, {"=P|64 10 2|-5 0 105 0 "}},
      {"W 11 0 0 0 100 50 100;", false, true, {"=P|64 11 3|0 -6 0 100 56 100 "}},
      {"98 0;W 10 0 0 100 0;", false, true, {"=P|64 10 2|0 0 100 0 "}},  // flush wires stay flush
      {"98 0;W 10 0 0 100 0;98 2;W 10 0 0 100 0;", false, false,
       {"=P|64 10 2|0 0 100 0 ", "=P|64 -10 2|0 0 100 0 "}},
      {"W 10 5 5;P 1 1;", false, false, {}},  // single points are dropped
      {"R 10 0 0;", false, false, {}},
  };
  for (const auto& c : cases) {
    settings.slots[cif::kImpCloseOpenPoly] = c.closeOpen ? "Y" : "N";
    settings.slots[cif::kImpInlinePaths] = c.inlinePaths ? "Y" : "N";
    Normalise();
    ui = {};
    ASSERT_EQ(Run(std::string("(LAYER 1 CIF=A);DS 1;9 C;") + c.commands + "DF;E"), 1) << c.commands;
    EXPECT_EQ(Body(Tlc("C")), c.records) << c.commands;
  }
  const std::string report = Report();
  EXPECT_NE(report.find("Round Flash not Converted at X=0 Y=0 L=64"), std::string::npos) << report;
  ui = {};
  settings.slots[cif::kImpInlinePaths] = "Y";
  Normalise();
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1;9 C;W 10 0 0 0 0 100 0;DF;E"), 1);
  EXPECT_NE(Report().find("Vertex Coincidence at X=0 Y=0 L=64"), std::string::npos);
}

TEST_F(ImporterTest, CallTransforms) {
  settings.slots[cif::kImpScale] = "";
  Normalise();
  const struct {
    const char* call;
    const char* record;
  } cases[] = {
      {"C 1;", "0 0 0"},
      {"C 1 MX;", "6 0 0"},
      {"C 1 MY;", "4 0 0"},
      {"C 1 MY R0 1 T3 4;", "5 3 4"},
      {"C 1 R0 1 MX;", "5 0 0"},
      {"C 1 R -1 0 T 7 -8;", "2 7 -8"},
      {"C 1 R 0 -5;", "3 0 0"},
      {"C 1 MX MX;", "0 0 0"},
      {"C1 T10 0 MY R0 1;", "5 0 10"},
      {"C1 R1,1 T5,5;", "0 5 5"},  // a slanted turn is left out and reported
  };
  for (const auto& c : cases) {
    ui = {};
    ASSERT_EQ(Run(std::string("(LAYER 1 CIF=A);DS 1;9 AA;DF;DS 2;9 BB;") + c.call + "DF;E"), 1) << c.call;
    EXPECT_EQ(Body(Tlc("BB")), (Records{std::string("=C|AA|") + c.record + " 0"})) << c.call;
  }
  EXPECT_NE(Report().find("Non-orthogonal/scaled instance of AA approximated"), std::string::npos);
}

// Commands refused or left without a cell, and calls placed only roughly, end the run "Some Error
// Occurred" with their counts; the report tells each, and the rest comes in.
TEST_F(ImporterTest, CommandsLeftOutOrApproximatedAreCountedAtTheEnd) {
  const struct {
    const char* what;
    std::string cif;
    int leftOut, approximated;
    const char* completion;
    const char* reported;
  } cases[] = {
      {"all converted", "DS 1;9 AA;L A;B 10 10 5 5;DF;C 1;E", 0, 0, "Completed ... 1 TLC Files Made", ""},
      {"refused", "DS 1;9 AA;L A;B 10 10;R 10 0 0;C 7;B 10 10 5 5;DF;E", 3, 0,
       "Some Error Occurred ... 3 Commands not Converted ... Conversion may be Incorrect",
       "Box Command with 2 Numbers Skipped"},
      {"outside every symbol", "L A;B 10 10 5 5;P 0 0 1 1 1 0;DS 1;9 AA;L A;B 10 10 5 5;DF;E", 2, 0,
       "Some Error Occurred ... 2 Commands not Converted ... Conversion may be Incorrect",
       "Geometry outside Symbols Ignored"},
      {"defined twice", "DS 1;9 AA;L A;B 10 10 5 5;DF;DS 1;9 AA;L A;B 1 1 0 0;W 2 0 0 1 1;DF;E", 2, 0,
       "Some Error Occurred ... 2 Commands not Converted ... Conversion may be Incorrect",
       "Symbol #1 Defined Twice ... Second Skipped"},
      {"slanted call", "DS 1;9 AA;L A;B 10 10 5 5;DF;DS 2;9 BB;C 1 R 1 1;C 1;DF;E", 0, 1,
       "Some Error Occurred ... 1 Instances Approximated ... Conversion may be Incorrect",
       "Non-orthogonal/scaled instance of AA approximated"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui = {};
    result = {};
    ASSERT_EQ(Run(std::string("(LAYER 1 CIF=A);") + c.cif), 1) << ::testing::PrintToString(ui.events);
    EXPECT_EQ(result.leftOut, c.leftOut);
    EXPECT_EQ(result.approximated, c.approximated);
    EXPECT_EQ(cif::ImportCompletedText(result), c.completion);
    EXPECT_NE(Report().find(c.reported), std::string::npos) << Report();
    EXPECT_EQ(Body(Tlc("AA")).front().substr(0, 5), "=B|1 ");
  }
}

TEST_F(ImporterTest, LayersAndTexts) {
  settings.slots[cif::kImpLayerFile] = folder / "layers.lyr";
  settings.slots[cif::kImpScale] = "";
  Normalise();
  WriteFile(folder / "LAYERS.LYR", "(LAYER 3 CIF=METAL1)(LAYER 4 CIF=METAL2)(LAYER 9 CIF=Pc)");
  ASSERT_EQ(Run("DS 1;9 C;L METAL2;B 2 2 0 0;L pc;B 2 2 0 0;L XYZ;B 2 2 0 0;"
                "94 lbl 100,200 0;94 VDD 1 2 PC;94 GND 1 2 METAL2;94;91 other 1 2 PC;DF;E"),
            1);
  // Four characters decide; a name of none gives layer 64. Texts default to layer 64 and the
  // default size, 10 um at S = 100.
  EXPECT_EQ(Body(Tlc("C")), (Records{"=B|3 -1 -1 1 1", "=B|9 -1 -1 1 1", "=B|64 -1 -1 1 1",
                                       "=T|64 1005 2 0|100 200|lbl", "=T|9 1005 2 0|1 2|VDD",
                                       "=T|3 1005 2 0|1 2|GND", "=T|64 1005 2 0|0 0|NONE"}));

  settings.slots[cif::kImpTemplate] = cif::kMeroTemplate;
  settings.slots[cif::kImpTextSize] = "0.01";
  Normalise();
  ASSERT_EQ(Run("DS 1 2 2;9 C;99 5 300 6 -1 2 two  words ;99 0 1 9 0 0 " + std::string(70, 'x') + ";DF;E"), 1);
  EXPECT_EQ(Body(Tlc("C")), (Records{"=T|5 300 3 6|-1 2|two  words ", "=T|1 15 9 1|0 0|" + std::string(64, 'x')}));
  EXPECT_NE(Report().find("Text Cut to 64 Characters"), std::string::npos);
}

TEST_F(ImporterTest, NamesFromACellFileOrTheCifFile) {
  settings.slots[cif::kImpCellFile] = folder / "cells.cif";
  Normalise();
  WriteFile(folder / "CELLS.CIF", "(#1 LEAF);\n(#2 TOP);\n(LAYER 1 CIF=A);\n(#0 ZERO);");
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1 2 2;DF;DS 2 2 2;C 1;DF;E"), 1);
  EXPECT_EQ(Body(Tlc("TOP")), (Records{"=C|LEAF|0 0 0 0"}));

  // Without a cell file: the command right after DS with the name digit, "NONAME" when empty.
  settings.slots[cif::kImpCellFile] = "";
  settings.slots[cif::kImpNameDigit] = "7";
  Normalise();
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1;7 ;DF;DS 2;70 X;DF;DS 3;L A;7 LATE;DF;E"), 0);
  EXPECT_EQ(LastBox(), "box \"CALIMP\" \"Symbol #2 Name is Missing ... Can't Continue\"");
  EXPECT_TRUE(std::filesystem::exists(Tlc("NONAME")));

  // Names that are no legal cell names, or clash, are asked for.
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1;7 ..\\up;DF;DS 2;7 Same;DF;DS 3;7 SAME;C 2;C 9;DF;E"), 1);
  EXPECT_EQ(asked, (std::vector<std::string>{"..\\UP", "SAME"}));
  EXPECT_TRUE(std::filesystem::exists(Tlc("RENAMED1")));
  EXPECT_EQ(Body(Tlc("RENAMED2")), (Records{"=C|SAME|0 0 0 0"}));
  EXPECT_NE(Report().find("Call of Unnamed Symbol #9 Dropped"), std::string::npos);

  ask = [](std::string_view) { return std::nullopt; };
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1;7 a.b;DF;E"), 0);
}

TEST_F(ImporterTest, RanksAndEnds) {
  // Written top down: passes raise the ranks until they hold.
  std::string chain = "(LAYER 1 CIF=A);";
  for (int i = 1; i <= 15; ++i)
    chain += "DS " + std::to_string(i) + ";9 C" + std::to_string(i) + ";" +
             (i < 15 ? "C " + std::to_string(i + 1) + ";" : "") + "DF;";
  ASSERT_EQ(Run(chain + "E"), 1) << ::testing::PrintToString(ui.EventsOf("box"));
  EXPECT_NE(Unix(ReadFile(Tlc("C1"))).find("\n15 0 0 1 0\n"), std::string::npos);
  EXPECT_NE(Unix(ReadFile(Tlc("C15"))).find("\n1 0 0 1 0\n"), std::string::npos);

  const struct {
    std::string cif;
    const char* message;
  } stops[] = {
      {"(LAYER 1 CIF=A);DS 1;9 A;C 2;DF;DS 2;9 B;C 1;DF;E", "Hierarchy Deeper than 15 Levels at A ... Can't Continue"},
      {"(LAYER 1 CIF=A);DS 1;9 A;DF;E;E", "CIF File has Too Many End Commands ... Break Up File"},
      {"(LAYER 1 CIF=A);DS 1;DF;E", "Cell Info is Incorrect or Missing"},
      {"(LAYER CIF=A);DS 1;9 A;DF;E", "Layer Info is Incorrect or Missing"},
  };
  for (const auto& s : stops) {
    ui = {};
    EXPECT_EQ(Run(s.cif), 0) << s.cif;
    EXPECT_EQ(LastBox(), std::string("box \"CALIMP\" \"") + s.message + "\"") << s.cif;
  }
  // A destination that cannot take the files.
  settings.slots[cif::kImpTlcFolder] = folder / "no/such/folder";
  Normalise();
  for (const char* makeRef : {"Y", "N"}) {
    settings.slots[cif::kImpMakeRef] = makeRef;
    Normalise();
    ui = {};
    EXPECT_EQ(Run("(LAYER 1 CIF=A);DS 1;9 A;DF;E"), 0);
    EXPECT_EQ(LastBox(), std::string(*makeRef == 'Y' ? "box \"CALIMP\" \"Unable to Open REF File ... Can't Continue\""
                                                     : "box \"CALIMP\" \"Unable to Open A.TLC File ... Can't Continue\""));
  }
  settings.slots[cif::kImpTlcFolder] = folder / "tlc";
  Normalise();

  // An "E" inside a command is no end command.
  ui = {};
  EXPECT_EQ(Run("(LAYER 1 CIF=A; E);DS 1;9 ENDCELL;L E;DF;E"), 1);
  std::filesystem::remove(folder / "IN.CIF");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(LastBox(), "box \"CALIMP\" \"CIF File is Missing ... Can't Continue\"");

  // A file of another kind is read under the name given, not taken for a missing CHIP.CIF; a
  // name that is not there still gets ".CIF".
  WriteFile(folder / "chip.gds", std::string("\0\6\0\2\0\x58\0\4\4\0", 10));
  settings.slots[cif::kImpCifFile] = folder / "chip.gds";
  Normalise();
  EXPECT_TRUE(settings.cifFile.ends_with("CHIP.GDS")) << settings.cifFile;
  ui = {};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(LastBox(), "box \"CALIMP\" \"Cell Info is Incorrect or Missing\"");
  settings.slots[cif::kImpCifFile] = folder / "none.gds";
  Normalise();
  EXPECT_TRUE(settings.cifFile.ends_with("NONE.CIF")) << settings.cifFile;
}

TEST_F(ImporterTest, ResolutionAndScales) {
  // S = 20 per micrometre against CIF in hundredths: a feature of 0.01 um cannot be kept.
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1 2 2;9 A;B 1 3 0 0;DF;E"), 1);
  EXPECT_EQ(ui.items[cif::kImpResolution], "Resolution Lost ... MERO Units must be Multiple of 100");
  EXPECT_EQ(ui.items[cif::kImpMinFeature], "Min Feature=0.01um   Scales: CIF=0.01um/unit  TLC=20units/um");
  ui = {};
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1 2 2;9 A;B 10 10 0 0;DF;E"), 1);
  EXPECT_EQ(ui.items.count(cif::kImpResolution), 0u);

  // An empty scale slot takes each symbol's own: DS 1 1 10 has 1000 units per micrometre.
  settings.slots[cif::kImpScale] = "";
  Normalise();
  ASSERT_EQ(Run("(LAYER 1 CIF=A);DS 1 1 10;9 A;B 10 10 0 0;DF;E"), 1);
  EXPECT_NE(Unix(ReadFile(Tlc("A"))).find("\nA\n6.0\n6.0\n1000\num\n"), std::string::npos);
  EXPECT_NE(Report().find("MERO Scale Units per CIF Defintion\n\n"), std::string::npos);
}

TEST_F(ImporterTest, DamagedFilesEndCleanly) {
  settings.slots[cif::kImpScale] = "";
  Normalise();
  std::string big = "(LAYER 1 CIF=A);DS 1;9 A;P";
  for (int i = 0; i < 600; ++i) big += " " + std::to_string(i % 2 ? 1000 : 0) + " " + std::to_string(i);
  const std::string inputs[] = {
      "(LAYER 1 CIF=A);DS 1;9 A;(never closed",
      "(LAYER 1 CIF=A);DS",
      "(LAYER 1 CIF=A);DS 1 0 -4;9 A;B 99999999999 -5 -99999999999 7;W;P 1;C;C 1 T;94;DF;DF;E",
      "(LAYER 1 CIF=A);DS 1;9 A;DS 2;9 B;B 2 2 0 0",
      "(LAYER 1 CIF=A);B 2 2 0 0;94 X 1 2;DS 1;9 A;DD 1;DF;C 1;E",
      "(LAYER 1 CIF=A);DS 1;9 A;C 1 M;C 1 R;C 1 TTT;C 1 M Q T 5;DF;E",
      "\x01\xff(LAYER 1 CIF=A)\x80;DS 1;9 \xc3\xa9;DF;E",
      big + ";DF;E",
  };
  for (const std::string& in : inputs) {
    ui = {};
    const int done = Run(in);
    EXPECT_TRUE(done == 0 || done == 1) << in.substr(0, 60);
  }
  // The long polygon was cut into pieces that each fit a TLC record.
  const Records pieces = Body(Tlc("A"));
  EXPECT_GT(pieces.size(), 1u);
  EXPECT_NE(Report().find("Poly of 600 Vertices Cut into"), std::string::npos);

  // More than 999 symbols.
  std::string many = "(LAYER 1 CIF=A);";
  for (int i = 1; i <= 1000; ++i) many += "DS " + std::to_string(i) + ";9 S" + std::to_string(i) + ";DF;";
  ui = {};
  EXPECT_EQ(Run(many + "E"), 0);
  EXPECT_EQ(LastBox(), "box \"CALIMP\" \"Too Many Cells in CIF File\"");
}

TEST(ImportSettings, Normalised) {
  cif::ImportSettings s;
  cif::SetImportDefaults(s);
  EXPECT_EQ(s.slots, (std::vector<std::string>{"???.CIF", "", "???", "", "20", "9", "N", "N", "Y",
                                                "94 <TEXT> <X> <Y> <LNAME>", "10", "CALIMP.RPT"}));
  const struct {
    int slot;
    const char* in;
    const char* out;
  } cases[] = {
      {cif::kImpCifFile, "chip", "CHIP.CIF"},         {cif::kImpCifFile, "a.b.c", "A.CIF"},
      {cif::kImpTlcFolder, "out", "OUT\\"},           {cif::kImpTlcFolder, "", ""},
      {cif::kImpScale, "-1000", "100"},               {cif::kImpScale, "0.001", "0.01"},
      {cif::kImpScale, "12.3456789", "12.34568"},     {cif::kImpScale, "", ""},
      {cif::kImpNameDigit, "x", "9"},                 {cif::kImpTextSize, "0", "0.1"},
      {cif::kImpTextSize, "500", "100"},              {cif::kImpMakeRef, "no", "N"},
      {cif::kImpReportFile, "", "CALIMP.RPT"},
  };
  for (const auto& c : cases) {
    cif::SetImportDefaults(s);
    s.slots[c.slot] = c.in;
    cif::NormaliseImport(s);
    EXPECT_EQ(s.slots[c.slot], c.out) << c.in;
  }
  cif::SetImportDefaults(s);
  s.slots[cif::kImpLayerFile] = "";
  s.slots[cif::kImpCifFile] = "chip.cif";
  cif::NormaliseImport(s);
  EXPECT_EQ(s.layerFile, "CHIP.CIF");
  EXPECT_EQ(s.tlcFolder, ".\\");
}

}  // namespace
