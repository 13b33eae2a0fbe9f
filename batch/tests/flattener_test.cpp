// The flattener over small drawing folders: smash and circuit-compile output, text rules, layer
// filter, depth, orientation of what lies under turned instances, the report and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "batch/flattener.h"
#include "drawing_fixture.h"
#include "editor/tlc/readers.h"
#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"
#include "platform/tell/recorder.h"

namespace {

using tlctest::Cell;
using tlctest::CellSpec;
using tlctest::PathSpec;

// Records of a TLC text in file order, each with its numbers.
struct Listing final : tlc::RecordConsumer {
  std::vector<std::string> records;
  void CellRef(const tlc::TlcCellRef& r) override {
    records.push_back("C " + r.name + " " + std::to_string(r.orientation) + " " + std::to_string(r.x) + " " +
                      std::to_string(r.y));
  }
  void Box(const tlc::TlcBox& b) override {
    records.push_back("B " + std::to_string(b.layer) + " " + std::to_string(b.left) + " " + std::to_string(b.bottom) +
                      " " + std::to_string(b.right) + " " + std::to_string(b.top));
  }
  void Path(const tlc::TlcPath& p) override {
    std::string r = "P " + std::to_string(p.layer) + " " + std::to_string(p.width);
    for (int i = 0; i < p.VertexCount(); ++i) r += " " + std::to_string(p.x[i]) + "," + std::to_string(p.y[i]);
    records.push_back(r);
  }
  void Text(const tlc::TlcText& t) override {
    records.push_back("T " + std::to_string(t.layer) + " " + std::to_string(t.orientation) + " " +
                      std::to_string(t.x) + " " + std::to_string(t.y) + " " + t.text);
  }
  void ReadError(tlc::Keyword, std::string_view m) override { records.push_back(std::string(m)); }
};

PathSpec Text(int layer, std::int32_t x, std::int32_t y, const std::string& chars, int orientation = 0) {
  PathSpec t = tlctest::Path(layer, 30, {{x, y}});
  t.text = true;
  t.chars = chars;
  t.orientation = orientation;
  return t;
}

class Flatten : public ::testing::Test {
 protected:
  ostest::Scratch dir;
  tell::Recorder ui;
  utilib::Job job{"PLANER", ui};
  planer::PlanerSettings settings;
  planer::FlattenResult result;

  void SetUp() override {
    setenv("MERO_NOW", "2024-03-07 13:05:59", 1);
    std::filesystem::current_path(dir.root);
    planer::SetPlanerDefaults(settings);
    settings.slots[planer::kCellSlot] = "top";
  }

  // A rank-1 device used twice by a rank-2 cell, which the rank-3 top places turned once more.
  std::vector<CellSpec> Gate() {
    CellSpec dev = Cell("DEV", 1, 0, 0, 10, 20);
    dev.boxes.push_back({3, 0, 0, 10, 20});
    dev.paths.push_back(tlctest::Path(5, 4, {{0, 0}, {10, 0}}));
    dev.paths.push_back(Text(61, 5, 20, "IN"));   // connector
    dev.paths.push_back(Text(60, 1, 1, "NODE"));  // node name below the top
    CellSpec mid = Cell("MID", 2, 0, 0, 200, 20);
    mid.boxes.push_back({2, 0, 0, 200, 5});
    mid.refs.push_back({"DEV", 0, 0, 0});
    mid.refs.push_back({"DEV", 1, 100, 0});
    mid.paths.push_back(Text(62, 5, 10, "M1"));    // inside the first device
    mid.paths.push_back(Text(63, 150, 15, "W=2")); // outside both
    mid.paths.push_back(Text(62, 95, 5, "M2"));    // inside the turned one: x -20..0 moved by 100
    CellSpec top = Cell("TOP", 3, 0, 0, 400, 400);
    top.boxes.push_back({1, 0, 0, 400, 400});
    top.paths.push_back(Text(60, 7, 7, "OUT"));
    top.refs.push_back({"MID", 4, 1000, 2000});  // mirrored in y
    return {dev, mid, top};
  }

  int Run(const std::vector<CellSpec>& cells, const std::string& unit = "um") {
    tlctest::WriteDrawingFolder(dir.root + "/", cells, 1000, unit);
    planer::NormaliseSettings(settings);
    planer::DrawingFolder d;
    std::string message;
    EXPECT_EQ(planer::ReadDrawingFolder(d, message), 1) << message;
    return planer::FlattenCollection(job, d, settings, result);
  }

  std::vector<std::string> Records(const std::string& file) {
    tlc::StringLineSource source(dir.Read(file));
    tlc::TlcStream stream(source);
    Listing listing;
    tlc::ReadTlcRecords(stream, listing);
    return listing.records;
  }
  tlc::TlcHeader Header(const std::string& file) {
    tlc::StringLineSource source(dir.Read(file));
    tlc::TlcStream stream(source);
    tlc::TlcHeader h;
    bool found = false;
    EXPECT_EQ(tlc::ReadTlcHeader(stream, h, &found), 1);
    EXPECT_TRUE(found) << file;
    return h;
  }
};

TEST_F(Flatten, CircuitCompileWritesTokenCellsAndAFlatTopWithTheDevicesKept) {
  ASSERT_EQ(Run(Gate()), 1);
  // The token cell: its outline on the outline layer and its connector texts.
  EXPECT_EQ(Records("FLAT/DEV.TLC"), (std::vector<std::string>{"B 64 0 0 10 20", "T 61 0 5 20 IN"}));
  const tlc::TlcHeader token = Header("FLAT/DEV.TLC");
  EXPECT_EQ(token.rank, 1);
  EXPECT_EQ(std::vector<int>({token.left, token.bottom, token.right, token.top, token.boxes, token.paths,
                              token.vertices, token.cellRefs}),
            std::vector<int>({0, 0, 10, 20, 1, 1, 0, 0}));
  EXPECT_FALSE(dir.Has("FLAT/MID.TLC"));
  // MID is mirrored in y at (1000, 2000); the second DEV is turned once more inside it.
  EXPECT_EQ(Records("FLAT/TOP.TLC"), (std::vector<std::string>{
                                         "B 1 0 0 400 400",
                                         "T 60 0 7 7 OUT",
                                         "B 2 1000 1995 1200 2000",
                                         "T 62 4 1005 1990 M1",
                                         "T 62 4 1095 1995 M2",
                                         "C DEV 4 1000 2000",
                                         "B 3 1000 1980 1010 2000",
                                         "P 5 4 1000,2000 1010,2000",
                                         "C DEV 7 1100 2000",
                                         "B 3 1080 1990 1100 2000",
                                         "P 5 4 1100,2000 1100,1990",
                                     }));
  const tlc::TlcHeader flat = Header("FLAT/TOP.TLC");
  EXPECT_EQ(flat.rank, 2);
  EXPECT_EQ(std::vector<int>({flat.left, flat.bottom, flat.right, flat.top, flat.boxes, flat.paths, flat.vertices,
                              flat.cellRefs}),
            std::vector<int>({0, 0, 0, 0, 4, 5, 4, 2}));
  EXPECT_EQ(flat.version1, "6.0");
  EXPECT_EQ(flat.unit, "um");
  // The header comes after every other record.
  const std::string text = dir.Read("FLAT/TOP.TLC");
  EXPECT_EQ(text.find("=H\r\n"), text.rfind("=P\r\n") + text.substr(text.rfind("=P\r\n")).find("=H\r\n"));
  EXPECT_EQ(planer::CompletedText(result),
            "Completed ... " + std::to_string(text.size()) + " Bytes in Flat TLC File");
}

TEST_F(Flatten, SmashWritesEveryObjectAndTextOnceInTopCoordinates) {
  settings.slots[planer::kCircuitSlot] = "N";
  ASSERT_EQ(Run(Gate()), 1);
  EXPECT_FALSE(dir.Has("FLAT/DEV.TLC"));
  const auto records = Records("FLAT/TOP.TLC");
  EXPECT_EQ(records.size(), 2u + 4u + 2u * 4u);
  for (const std::string& r : records) EXPECT_NE(r[0], 'C') << r;
  EXPECT_EQ(std::count(records.begin(), records.end(), "T 61 4 1005 1980 IN"), 1);
  EXPECT_EQ(std::count(records.begin(), records.end(), "T 61 7 1080 1995 IN"), 1);
  EXPECT_EQ(Header("FLAT/TOP.TLC").rank, 1);
}

TEST_F(Flatten, NodeNamesBelowTheTopOnlyWhenAllAreKept) {
  ASSERT_EQ(Run(Gate()), 1);
  auto records = Records("FLAT/TOP.TLC");
  auto texts = [&] {
    std::vector<std::string> t;
    for (const std::string& r : Records("FLAT/TOP.TLC"))
      if (r[0] == 'T') t.push_back(r.substr(r.rfind(' ') + 1));
    return t;
  };
  EXPECT_EQ(texts(), (std::vector<std::string>{"OUT", "M1", "M2"}));
  settings.slots[planer::kKeepNodeSlot] = "Y";
  ui.boxAnswers = {tell::Answer::Yes};  // the folder exists now
  ASSERT_EQ(Run(Gate()), 1);
  EXPECT_EQ(texts(), (std::vector<std::string>{"OUT", "M1", "M2", "NODE", "NODE"}));
}

TEST_F(Flatten, TheLayerListKeepsBoxesAndPathsOfItsLayersButEveryText) {
  settings.slots[planer::kCircuitSlot] = "N";
  settings.slots[planer::kLayersSlot] = "1-2 5";
  ASSERT_EQ(Run(Gate()), 1);
  std::string kinds;
  for (const std::string& r : Records("FLAT/TOP.TLC")) kinds += r.substr(0, r.find(' ', 2));
  EXPECT_EQ(kinds, "B 1T 60B 2T 62T 63T 62P 5T 61T 60P 5T 61T 60");
}

TEST_F(Flatten, EveryLevelOfTheDeepestHierarchyIsWritten) {
  std::vector<CellSpec> cells;
  for (int rank = 1; rank <= 15; ++rank) {
    CellSpec c = Cell(rank == 15 ? "TOP" : "C" + std::to_string(rank), rank);
    c.boxes.push_back({rank, 0, 0, 1, 1});
    if (rank > 1) c.refs.push_back({"C" + std::to_string(rank - 1), 0, 10, 0});
    cells.push_back(c);
  }
  settings.slots[planer::kCircuitSlot] = "N";
  ASSERT_EQ(Run(cells), 1);
  const auto records = Records("FLAT/TOP.TLC");
  ASSERT_EQ(records.size(), 15u);
  EXPECT_EQ(records.back(), "B 1 140 0 141 1");
}

// A hand-made loop: MID places itself twice and a cell of its own rank. Followed, the flat file
// would double at every level; the instances are skipped and reported, the rest is written.
TEST_F(Flatten, InstancesThatBreakTheRankRuleAreSkippedAndReported) {
  CellSpec leaf = Cell("LEAF", 1);
  leaf.boxes.push_back({1, 0, 0, 1, 1});
  CellSpec peer = Cell("PEER", 2);
  peer.boxes.push_back({2, 0, 0, 1, 1});
  CellSpec mid = Cell("MID", 2);
  mid.boxes.push_back({3, 0, 0, 1, 1});
  mid.refs = {{"LEAF", 0, 5, 0}, {"MID", 0, 100, 0}, {"MID", 0, 200, 0}, {"PEER", 0, 300, 0}};
  CellSpec top = Cell("TOP", 3);
  top.refs = {{"MID", 0, 0, 1000}, {"TOP", 0, 0, 0}};
  for (const char* mode : {"N", "Y"}) {
    SCOPED_TRACE(mode);
    settings.slots[planer::kCircuitSlot] = mode;
    ui.events.clear();
    ui.boxAnswers = {tell::Answer::Yes};
    ASSERT_EQ(Run({leaf, peer, mid, top}), 1);
    std::vector<std::string> expected = {"B 3 0 1000 1 1001", "B 1 5 1000 6 1001"};
    if (std::string(mode) == "Y") expected.insert(expected.begin() + 1, "C LEAF 0 5 1000");
    EXPECT_EQ(Records("FLAT/TOP.TLC"), expected);
    EXPECT_EQ(ui.EventsOf("box")[std::string(mode) == "Y" ? 1 : 0],
              "box \"PLANER\" \"Rank Error ... MID Placed in MID not Written\"");
    utilib::CloseReport(job);
    const std::string report = dir.Read("PLANER.RPT");
    for (const char* line : {"Rank Error ... MID Placed in MID not Written\r\n",
                             "Rank Error ... PEER Placed in MID not Written\r\n",
                             "Rank Error ... TOP Placed in TOP not Written\r\n"})
      EXPECT_NE(report.find(line), std::string::npos) << line << report;
  }
}

// Placed far out, a point leaves the 32-bit range: the object is left out with a message, never
// written wrapped round to the other end of the range.
TEST_F(Flatten, CoordinatesOutsideTheRangeAreReportedNotWrapped) {
  CellSpec leaf = Cell("LEAF", 1, 0, 0, 2147483600, 10);
  leaf.boxes.push_back({1, 2147483000, 0, 2147483600, 10});
  leaf.boxes.push_back({1, 0, 0, 10, 10});
  leaf.paths.push_back(tlctest::Path(2, 4, {{0, 0}, {2147483640, 0}}));
  leaf.paths.push_back(Text(9, 2147483500, 0, "FAR"));
  leaf.paths.push_back(Text(9, -2147483640, 0, "NEAR"));
  CellSpec top = Cell("TOP", 2);
  top.refs = {{"LEAF", 0, 200, 0}, {"LEAF", 2, -200, 0}};
  settings.slots[planer::kCircuitSlot] = "N";
  ASSERT_EQ(Run({leaf, top}), 1);
  EXPECT_EQ(Records("FLAT/TOP.TLC"),
            (std::vector<std::string>{"B 1 200 0 210 10", "T 9 0 -2147483440 0 NEAR", "B 1 -210 -10 -200 0",
                                      "T 9 2 2147483440 0 NEAR"}));
  EXPECT_EQ(ui.EventsOf("box")[0], "box \"PLANER\" \"Box of LEAF Outside the Coordinate Range ... not Written\"");
  utilib::CloseReport(job);
  const std::string report = dir.Read("PLANER.RPT");
  EXPECT_NE(report.find("Path of LEAF Outside the Coordinate Range"), std::string::npos) << report;
  EXPECT_NE(report.find("Box of LEAF Outside the Coordinate Range"), std::string::npos) << report;
  EXPECT_NE(report.find("Text of LEAF Outside the Coordinate Range"), std::string::npos) << report;
}

TEST_F(Flatten, TheDrawingsUnitAndTheReportRows) {
  ASSERT_EQ(Run(Gate(), "mil"), 1);
  EXPECT_EQ(Header("FLAT/TOP.TLC").unit, "mil");
  utilib::CloseReport(job);
  const std::string report = dir.Read("PLANER.RPT");
  const std::string dashes(58, '-');
  EXPECT_EQ(report,
            "*** Flat TLC Conversion Report  03/07/24  13:05:59 ***\r\n\r\n"
            "Flat TLC File Name: .\\FLAT\\TOP.TLC\r\n"
            "\r\nToken Cells:\r\nCellname    Boxes     Paths     Text     (Vertex)   Cells\r\n" + dashes + "\r\n"
            "DEV          1         0         1         0         0         \r\n"
            "\r\nFlat Cells:\r\nCellname    Boxes     Paths     Text     (Vertex)   Cells\r\n" + dashes + "\r\n"
            "TOP          4         2         3         4         2         \r\n")
      << report;
}

TEST_F(Flatten, RefusalsAndStops) {
  settings.slots[planer::kCellSlot] = "NONE";
  EXPECT_EQ(Run(Gate()), 0);
  EXPECT_EQ(ui.EventsOf("box"), std::vector<std::string>{"box \"PLANER\" \"NONE is not in CELLS6.DBD\""});
  EXPECT_FALSE(dir.Has("FLAT"));

  // The folder exists now: No keeps it as it is.
  settings.slots[planer::kCellSlot] = "TOP";
  std::filesystem::create_directory(dir.Path("FLAT"));
  ui.events.clear();
  ui.boxAnswers = {tell::Answer::No};
  EXPECT_EQ(Run(Gate()), 0);
  EXPECT_EQ(ui.EventsOf("box"), std::vector<std::string>{"box \"PLANER\" \"Destination Folder Exists ... Continue?\" yesno"});
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path("FLAT")));

  // Esc during a pause stops the run before the next cell.
  ui.boxAnswers = {tell::Answer::Yes};
  ui.pauses = 0;
  ui.cancelAtPause = 0;
  EXPECT_EQ(Run(Gate()), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path("FLAT")));
}

TEST(FlattenFolder, MissingDatabaseFilesAreNamed) {
  ostest::Scratch dir;
  const std::string folder = dir.root + "/";
  tlctest::WriteDrawingFolder(folder, {Cell("A", 1)});
  const std::pair<const char*, const char*> cases[] = {
      {"CONSTS6.DBD", "CONSTS6.DBD is Missing"}, {"CELLS6.DBD", "CELLS6.DBD is Missing"}, {"FORM.DBD", "FORM.DBD is Missing"}};
  for (const auto& [file, text] : cases) {
    os::RemoveFile(folder + file);
    planer::DrawingFolder d;
    d.folder = folder;
    std::string message;
    EXPECT_EQ(planer::ReadDrawingFolder(d, message), 0);
    EXPECT_EQ(message, text);
  }
}

TEST(PlanerSettings, NormalisedSlots) {
  planer::PlanerSettings s;
  planer::SetPlanerDefaults(s);
  EXPECT_EQ(s.outFolder, ".\\FLAT\\");
  s.slots = {"inv", ".\\", "1-10", "yes", "x", "0", "99", "7", "", "64", ""};
  planer::NormaliseSettings(s);
  EXPECT_EQ(s.slots, (std::vector<std::string>{"INV", ".\\FLAT", "1-10", "YES", "N", "1", "64", "7", "1", "64",
                                               "PLANER.RPT"}));
  EXPECT_EQ(s.cell, "INV");
  EXPECT_TRUE(s.circuitCompile);
  EXPECT_FALSE(s.keepAllNodeText);
  EXPECT_TRUE(s.layers.IsLayerSelected(10));
  EXPECT_FALSE(s.layers.IsLayerSelected(11));
  s.slots[planer::kPathSlot] = "d:\\out\\";
  planer::NormaliseSettings(s);
  EXPECT_EQ(s.outFolder, "D:\\OUT\\");
}

}  // namespace
