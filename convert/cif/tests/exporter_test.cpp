#include "convert/cif/exporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "convert/cif/export_settings.h"
#include "platform/tell/recorder.h"
#include "utilib/tests/conversion_fixture.h"

namespace {

using convtest::ReadFile;
using convtest::WriteFile;

std::string Header(const std::string& name, int rank, const std::string& scale = "100") {
  return "=H\r\n" + name + "\r\n6.0\r\n6.0\r\n" + scale + "\r\num\r\n01/02/24\r\n03:04:05\r\n" +
         std::to_string(rank) + " 0 0 1 0\r\n0 0 0 0\r\n";
}

const char* const kLeafBody =
    "=B\r\n1 0 0 10 20\r\n"
    "=B\r\n2 0 0 3 5\r\n"
    "=P\r\n2 0 5\r\n0 0 100 0 100 100 0 100 0 0 \r\n"
    "=P\r\n1 -20 3\r\n0 0 0 1000 500 1000 \r\n"
    "=P\r\n1 10 2\r\n0 0 100 0 \r\n"
    "=B\r\n64 0 0 10 10\r\n"
    "=T\r\n5 300 2 0\r\n1 2\r\nHELLO\r\n";
const char* const kTopBody =
    "=C\r\nLEAF\r\n5 100 -40 0\r\n"
    "=B\r\n1 -5 -5 5 5\r\n"
    "=C\r\nLEAF\r\n0 0 0 0\r\n";

std::string Unix(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

class ExporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    cif::SetExportDefaults(settings);
    settings.slots[cif::kExpMainTlc] = folder / "top";
    settings.slots[cif::kExpLayerFile] = folder / "layers.lyr";
    settings.slots[cif::kExpCifFile] = folder / "out";
    Normalise();
    WriteFile(folder / "LAYERS.LYR", "(LAYER 2 CIF=\"CPG\");\r\n(LAYER 1 CIF=\"CM1\");\r\n(LAYER 7 CIF=\"X\");\r\n");
  }
  void Normalise() { cif::NormaliseExport(settings); }
  void WriteCells(const std::string& top, const std::string& leaf) {
    WriteFile(folder / "TOP.TLC", top + kTopBody);
    WriteFile(folder / "LEAF.TLC", leaf + kLeafBody);
  }
  int Run() {
    utilib::Job job(cif::kExportProgram, ui);
    const int done = cif::ExportCif(job, settings, &result);
    utilib::CloseReport(job);
    return done;
  }
  std::string Cif() { return Unix(ReadFile(folder / "OUT.CIF")); }
  std::string Report() { return Unix(ReadFile(folder / "CALEXP.RPT")); }
  std::vector<std::string> Boxes() { return ui.EventsOf("box"); }

  convtest::ScratchFolder folder;
  cif::ExportSettings settings;
  cif::ExportResult result;
  tell::Recorder ui;
};

TEST_F(ExporterTest, WritesSymbolsByLayerTableThenTextsThenCalls) {
  settings.slots[cif::kExpReportFile] = folder / "calexp.rpt";
  Normalise();
  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  const std::string cif = Cif();
  EXPECT_EQ(cif,
            "(! CIF file of " + settings.mainFile + " made by CALEXP  03/07/24  13:05:59);\n\n"
            "(LAYER 2 CIF=\"CPG\");\n(LAYER 1 CIF=\"CM1\");\n(LAYER 7 CIF=\"X\");\n\n"
            "(#1 LEAF);\n(#2 TOP);\n\n"
            "DS#1 2/2;\n9 LEAF;\n"
            "LCPG;\nP 0 0 3 0 3 5 0 5 0 0;\nP 0 0 100 0 100 100 0 100 0 0;\n"
            "LCM1;\nB 10 20 5 10;\nW 20 0 0 0 1000 500 1000;\nW 10 5 0 95 0;\n"
            "94 HELLO 1 2;\n99 5 300 0 1 2 HELLO;\n"
            "DF;\n"
            "DS#2 2/2;\n9 TOP;\nLCM1;\nB 10 10 0 0;\nC1 MY R0 1 T100 -40;\nC1 T0 0;\nDF;\n"
            "C#2;\nE\n");
  // The size counts the CR LF line ends that are on disk.
  EXPECT_EQ(result.bytes, static_cast<std::int64_t>(ReadFile(folder / "OUT.CIF").size()));
  EXPECT_EQ(cif::ExportCompletedText(result), "Completed ... " + std::to_string(result.bytes) + " Bytes in CIF File");

  const std::string report = Report();
  EXPECT_NE(report.find("*** TLC to CIF Conversion Report  03/07/24  13:05:59 ***\n\nMain TLC File Name: "),
            std::string::npos);
  EXPECT_NE(report.find("TLC Scale: 100units/um\nCIF Grid: 0.01um/unit\nRescale Ratio: 1\nLambda: 1\n\n"
                        "Layer List:\nNo.  Name\n---------\n 2   CPG\n 1   CM1\n 7   X\n"
                        "\nSymbol                 Boxes     Poly      Wires     Text     Calls\n" +
                        std::string(67, '-') + "\n"
                        // Positive-width path ends move in by half the width: CIF wires run past
                        // their end points.
                        "Path Ends Extended at X=0 Y=0 L=1\n"
                        "LEAF                    1         2         2         2         0         \n"
                        "TOP                     1         0         0         0         2         \n"),
            std::string::npos)
      << report;
  EXPECT_EQ(ui.items[cif::kExpMaxima + 3], "2");
  EXPECT_EQ(ui.items[cif::kExpMaxima + 4], "2");
}

TEST_F(ExporterTest, ScalesFromTheGridAndLambda) {
  const struct {
    const char* tlcScale;
    const char* grid;
    const char* lambda;
    int a;
    const char* box;  // the odd box of the leaf
    bool question;
  } cases[] = {
      {"100", "", "1", 2, "P 0 0 3 0 3 5 0 5 0 0;", false},
      {"100", "0.01", "2", 2, "B 6 10 3 5;", false},       // R = 2 makes it even
      {"50", "", "1", 4, "P 0 0 3 0 3 5 0 5 0 0;", false},  // g = 0.02, R = 1
      {"100", "0.05", "5", 10, "P 0 0 3 0 3 5 0 5 0 0;", false},
      {"1000", "", "1", 2, "P 0 0 0 0 0 1 0 1 0 0;", true},            // R = 0.1: asked, OK goes on
  };
  for (const auto& c : cases) {
    settings.slots[cif::kExpGrid] = c.grid;
    settings.slots[cif::kExpLambda] = c.lambda;
    settings.slots[cif::kExpProtocol] = "N";
    Normalise();
    WriteCells(Header("TOP", 2, c.tlcScale), Header("LEAF", 1, c.tlcScale));
    ui = {};
    ASSERT_EQ(Run(), 1) << c.tlcScale << " " << c.grid;
    const std::string cif = Cif();
    EXPECT_NE(cif.find("DS#1 " + std::to_string(c.a) + "/2;"), std::string::npos) << cif;
    EXPECT_NE(cif.find(std::string("LCPG;\n") + c.box), std::string::npos) << cif;
    const std::vector<std::string> boxes = Boxes();
    EXPECT_EQ(boxes.size(), c.question ? 1u : 0u) << ::testing::PrintToString(boxes);
    if (c.question) {
      EXPECT_EQ(boxes[0], "box \"CALEXP\" \"Resolution Lost ... Rescale Ratio is Not Integral\" okcancel");
    }
  }
}

TEST_F(ExporterTest, FailuresStopWithTheirMessage) {
  const struct {
    const char* what;
    std::string top, leaf;
    const char* layerFile;
    const char* message;
    bool cifWritten;
  } cases[] = {
      {"scale", Header("TOP", 2, "0"), Header("LEAF", 1), "(LAYER 1 CIF=A)", "TLC Scale is Missing ... Can't Continue",
       false},
      {"layers", Header("TOP", 2), Header("LEAF", 1), "(no layers here)",
       "Layer File is Incorrect or Missing ... Can't Continue", false},
      {"rank", Header("TOP", 2), Header("LEAF", 0), "(LAYER 1 CIF=A)", "LEAF Rank is Incorrect ... Can't Continue",
       true},
      {"box", Header("TOP", 2), Header("LEAF", 1) + "=B\r\n1 2 3\r\n", "(LAYER 1 CIF=A)",
       "Box Record Read Error ... Can't Continue", true},
      {"text", Header("TOP", 2), Header("LEAF", 1) + "=T\r\n1 2\r\n", "(LAYER 1 CIF=A)",
       "Text Record Read Error ... Can't Continue", true},
  };
  for (const auto& c : cases) {
    WriteCells(c.top, c.leaf);
    WriteFile(folder / "LAYERS.LYR", c.layerFile);
    std::remove((folder / "OUT.CIF").c_str());
    ui = {};
    EXPECT_EQ(Run(), 0) << c.what;
    const std::vector<std::string> boxes = Boxes();
    ASSERT_FALSE(boxes.empty()) << c.what;
    EXPECT_EQ(boxes.back(), std::string("box \"CALEXP\" \"") + c.message + "\"") << c.what;
    const std::string cif = Cif();
    EXPECT_EQ(!cif.empty(), c.cifWritten) << c.what;
    // A stopped file lacks its end.
    EXPECT_EQ(cif.find("\nE\n"), std::string::npos) << c.what;
  }
  // The symbol whose text could not be read has its geometry written before the stop.
  EXPECT_NE(Cif().find("W 10 5 0 95 0;"), std::string::npos);

  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  WriteFile(folder / "LAYERS.LYR", "(LAYER 1 CIF=A)");
  settings.slots[cif::kExpCifFile] = folder / "no/such/folder/out";
  Normalise();
  ui = {};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes().back(), "box \"CALEXP\" \"Unable to Create CIF File\"");

  std::remove((folder / "LEAF.TLC").c_str());
  ui = {};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes().back(), "box \"CALEXP\" \"LEAF.TLC File is Missing ... Can't Continue\"");
  std::remove((folder / "TOP.TLC").c_str());
  ui = {};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes().back(), "box \"CALEXP\" \"Main TLC File is Missing ... Can't Continue\"");
}

TEST_F(ExporterTest, CancelledQuestionsAndPausesStopTheRun) {
  WriteCells(Header("TOP", 2, "1000"), Header("LEAF", 1, "1000"));
  ui.boxAnswers = {tell::Answer::Cancel};
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(ReadFile(folder / "OUT.CIF").empty());

  WriteCells(Header("TOP", 2), Header("LEAF", 1));
  ui = {};
  ui.cancelAtPause = 1;  // the pause after reading the second cell's file
  EXPECT_EQ(Run(), 0);

  // A crushed box is asked about with the protocol switch on; Cancel there stops the conversion.
  WriteFile(folder / "LEAF.TLC", Header("LEAF", 1) + "=B\r\n1 0 0 0 10\r\n");
  ui = {};
  ui.boxAnswers = {tell::Answer::Cancel};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes()[0], "box \"CALEXP\" \"Crushed Box at X=0 Y=0 L=1\\n\\nRemove It or Cancel Conversion?\" okcancel");
}

TEST_F(ExporterTest, PathsToPolygonsAndTextChoices) {
  settings.slots[cif::kExpPathsToPoly] = "Y";
  settings.slots[cif::kExpIncludeMeroText] = "N";
  settings.slots[cif::kExpTemplate] = "95 <text> <lname> <x> <y>";
  settings.slots[cif::kExpNameDigit] = "";
  Normalise();
  WriteCells(Header("TOP", 2), Header("LEAF", 1) + "=T\r\n1 100 2 0\r\n-7 9\r\nA;B\r\n");
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  const std::string cif = Cif();
  EXPECT_NE(cif.find("LCM1;\nB 10 20 5 10;\nP 10 -10 -10 -10 -10 1010 510 1010 510 990 10 990\n  10 -10;\n"
                     "P 0 -5 0 5 100 5 100 -5 0 -5;\n"),
            std::string::npos)
      << cif;
  // No cell-name commands, the template's own order, and no bare ";" inside a text.
  EXPECT_NE(cif.find("DS#1 2/2;\nLCPG;"), std::string::npos);
  EXPECT_NE(cif.find("95 A\\3BB CM1 -7 9;\n95 HELLO 1 2;\nDF;"), std::string::npos) << cif;
}

TEST_F(ExporterTest, TopCallNamesTheMainCellAndCommentsStayClosed) {
  // A sub-cell with a stale rank equal to the main cell's stays after it in the list.
  WriteFile(folder / "TOP.TLC", Header("TOP", 2) + "=C\r\nA(B\r\n0 0 0 0\r\n");
  WriteFile(folder / "A(B.TLC", Header("A(B", 2) + "=B\r\n1 0 0 2 2\r\n");
  ASSERT_EQ(Run(), 1) << ::testing::PrintToString(ui.events);
  const std::string cif = Cif();
  EXPECT_NE(cif.find("(#1 TOP);\n(#2 AB);\n"), std::string::npos) << cif;
  EXPECT_NE(cif.find("DS#2 2/2;\n9 A(B;\n"), std::string::npos);
  // The call breaks the rank rule: told, and left out rather than written as a possible loop.
  EXPECT_EQ(cif.find("C2 T0 0;"), std::string::npos) << cif;
  EXPECT_NE(Report().find("Rank Error ... A(B Placed in TOP not Written"), std::string::npos) << Report();
  EXPECT_EQ(cif.substr(cif.size() - 7), "C#1;\nE\n");
  EXPECT_NE(Report().find("Parentheses of A(B Left out of its Symbol Name Comment"), std::string::npos);

  // A name that would break the commands is refused.
  WriteFile(folder / "TOP.TLC", Header("TOP", 2) + "=C\r\nA;B\r\n0 0 0 0\r\n");
  ui = {};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes().back(), "box \"CALEXP\" \"A;B is not a Legal Cell Name ... Can't Continue\"");
}

TEST(ExportSettings, Normalised) {
  cif::ExportSettings s;
  cif::SetExportDefaults(s);
  EXPECT_EQ(s.slots, (std::vector<std::string>{"???.TLC", "", "???.CIF", "", "1", "Y", "Y", "N", "Y",
                                                "94 <TEXT> <X> <Y> <LNAME>", "9", "0.05", "CALEXP.RPT"}));
  const struct {
    int slot;
    const char* in;
    const char* out;
  } cases[] = {
      {cif::kExpMainTlc, "d:\\work\\top.v2", "D:\\WORK\\TOP.TLC"},
      {cif::kExpMainTlc, "top", "TOP.TLC"},
      {cif::kExpCifFile, "out.a.b", "OUT.CIF"},
      {cif::kExpCifFile, "dir.x/chip", "DIR.X/CHIP.CIF"},
      {cif::kExpGrid, "-0.0349", "0.03"},
      {cif::kExpGrid, "0.001", "0.01"},
      {cif::kExpGrid, "25", "10"},
      {cif::kExpGrid, "0.125", "0.13"},
      {cif::kExpLambda, "", "1"},
      {cif::kExpLambda, "-250", "100"},
      {cif::kExpLambda, "0.001", "0.01"},
      {cif::kExpLambda, "1.23456789", "1.23457"},
      {cif::kExpIncludeMeroText, "yes", "YES"},
      {cif::kExpProtocol, "true", "N"},
      {cif::kExpTemplate, "x <text>", "9 <TEXT>"},
      {cif::kExpNameDigit, "#", "0"},
      {cif::kExpReportFile, "", "CALEXP.RPT"},
  };
  for (const auto& c : cases) {
    cif::SetExportDefaults(s);
    s.slots[c.slot] = c.in;
    cif::NormaliseExport(s);
    EXPECT_EQ(s.slots[c.slot], c.out) << c.in;
  }
  cif::SetExportDefaults(s);
  s.slots[cif::kExpMainTlc] = "d:\\work\\chip";
  s.slots[cif::kExpCifFile] = "";
  cif::NormaliseExport(s);
  EXPECT_EQ(s.cifFile, "D:\\WORK\\CHIP.CIF");
  EXPECT_EQ(s.mainCell, "CHIP");
  EXPECT_EQ(s.grid, 0);
}

}  // namespace
