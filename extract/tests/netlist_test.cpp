#include "extract/netlist.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "extract/tests/sample_circuits.h"

namespace exttest {
namespace {

using Lines = std::vector<std::string>;

std::vector<tlctest::CellSpec> InverterDrawing() {
  return {Transistor("NMOS"), Transistor("PMOS"), Symbol("GND", "0"), Inverter()};
}

TEST(Netlist, InverterAsMainCircuit) {
  Folder f;
  f.Make(InverterDrawing());
  EXPECT_EQ(f.Go("inv"), 1);
  EXPECT_EQ(f.errors, 0) << f.Report();
  EXPECT_EQ(f.Cards("INV"), (Lines{"*MAIN CIRCUIT INV", "M1 OUT IN 0 0 NCH L=1U W=2U",
                                   "M2 VDD IN OUT VDD PCH L=1U W=4U", ".END"}))
      << f.Cir("INV");
  EXPECT_EQ(f.Text("INV.CIR").substr(0, 71),
            "*** SPICE Circuit File of INV made by MEROCKT on 03/07/24 13:05:59 ***\n");
  EXPECT_EQ(f.Report(), "*** Compile Error List for INV made by MEROCKT on 03/07/24 13:05:59 ***\n"
                        "\n[MAIN CIRCUIT] INV\n");
  // Files are written with CR LF.
  std::string bytes;
  ASSERT_TRUE(os::ReadWholeFile(f.Path("INV.CIR"), bytes));
  EXPECT_NE(bytes.find("W=2U\r\nM2"), std::string::npos);
}

TEST(Netlist, SubCircuitsComeOnceAndBeforeTheCellsThatUseThem) {
  Folder f;
  f.Make(SampleCells());
  EXPECT_EQ(f.Go("TOP"), 1);
  EXPECT_EQ(f.errors, 0) << f.Report();
  EXPECT_EQ(f.Cards("TOP"), (Lines{".SUBCKT INV IN OUT VDD", "M1 OUT IN 0 0 NCH L=1U W=2U",
                                   "M2 VDD IN OUT VDD PCH L=1U W=4U", ".ENDS",
                                   ".SUBCKT NAND2 A B OUT VDD", "M1 OUT A VN1 0 NCH L=1U W=4U",
                                   "M2 VN1 B 0 0 NCH L=1U W=4U", "M3 VDD A OUT VDD PCH L=1U W=4U",
                                   "M4 VDD B OUT VDD PCH L=1U W=4U", ".ENDS",
                                   "*MAIN CIRCUIT TOP", "X1 IN MID VDD INV", "X2 MID OUT VDD INV",
                                   "X3 IN MID OUT2 VDD NAND2", ".END"}))
      << f.Cir("TOP");
  EXPECT_EQ(f.Report(), "*** Compile Error List for TOP made by MEROCKT on 03/07/24 13:05:59 ***\n"
                        "\n[SUBCKT] INV\n\n[SUBCKT] NAND2\n\n[MAIN CIRCUIT] TOP\n");
  // The index flags of the run stay in memory only.
  db::CellIndex onDisk;
  ASSERT_EQ(db::ReadCellIndexFile(onDisk, f.Path("CELLS6.DBD")), 1);
  for (int row = 1; row <= onDisk.count; ++row) EXPECT_EQ(onDisk.rows[row].flags & ~31, 0);
}

TEST(Netlist, HeaderAndFooterFramedAndEndedByTheirOwnLines) {
  Folder f;
  f.Make(InverterDrawing());
  f.Write("HEAD.INC", ".MODEL NCH NMOS LEVEL=1\r\n.MODEL PCH PMOS LEVEL=1");  // no line end at the last card
  f.Write("FOOT.INC", ".OP\n");
  f.settings.setup1[ext::kHeaderFile] = "head.inc";
  f.settings.setup1[ext::kFooterFile] = "foot.inc";
  EXPECT_EQ(f.Go("INV"), 1);
  EXPECT_EQ(f.Cards("INV"), (Lines{"* START OF HEAD.INC", ".MODEL NCH NMOS LEVEL=1", ".MODEL PCH PMOS LEVEL=1",
                                   "* END OF HEAD.INC", "*MAIN CIRCUIT INV", "M1 OUT IN 0 0 NCH L=1U W=2U",
                                   "M2 VDD IN OUT VDD PCH L=1U W=4U", "* START OF FOOT.INC", ".OP",
                                   "* END OF FOOT.INC", ".END"}))
      << f.Cir("INV");
}

TEST(Netlist, ACellWithoutInstancesGivesTitleIncludesAndEndOnly) {
  Folder f;
  tlctest::CellSpec lone = Cell("LONE", 1);
  lone.boxes = {Box(kMetal, 0, 0, 5, 5)};
  f.Make({lone});
  f.Write("F.INC", ".OP\n");
  f.settings.setup1[ext::kFooterFile] = "F.INC";
  EXPECT_EQ(f.Go("LONE"), 1);
  EXPECT_EQ(f.Cards("LONE"), (Lines{"* START OF F.INC", ".OP", "* END OF F.INC", ".END"}));
  EXPECT_EQ(f.Nod("LONE"), "*** Node List of LONE made by MEROCKT on 03/07/24 13:05:59 ***\n");
}

TEST(Netlist, ACellNotInTheIndexIsToldAndTheRunFails) {
  Folder f;
  f.Make(InverterDrawing());
  EXPECT_EQ(f.Go("NOSUCH"), 0);
  EXPECT_EQ(f.Boxes(), (Lines{"box \"MEROCKT\" \"NOSUCH is not in CELLS6.DBD\""}));
  EXPECT_FALSE(f.Has("NOSUCH.CIR"));
  EXPECT_FALSE(f.Has("NOSUCH.NOD"));
}

// A sub-circuit whose ports 1 and 3 reach no node, and whose port 2 has two texts.
tlctest::CellSpec Ports() {
  tlctest::CellSpec c = Cell("PORTS", 2, -30, -30, 60, 30);
  c.refs = {Ref("NMOS", 0, 0)};
  c.boxes = {Box(kMetal, -2, 8, 40, 12)};
  c.paths = {Text(kConnector, 20, 10, "2"), Text(kConnector, 40, 10, "2"), Text(kConnector, 50, 20, "1"),
             Text(kConnector, 50, -20, "3"), Text(kNamed, 30, 10, "D"), Text(kDeviceName, 3, 3, "M1"),
             Text(kParameter, 3, -3, "NCH"), Text(kParameter, 55, 25, "W=2U")};  // the cell's own
  return c;
}

TEST(Netlist, EveryPortNumberIsOnTheSubcircuitLineAsOnTheLinesThatPlaceIt) {
  Folder f;
  tlctest::CellSpec top = Cell("TOP", 3, -100, -100, 100, 100);
  top.refs = {Ref("PORTS", 0, 0)};
  top.paths = {Text(kDeviceName, 1, 1, "X1"), Text(kParameter, 1, -1, "PORTS"), Text(kNamed, 50, 20, "P1"),
               Text(kNamed, 20, 10, "P2"), Text(kNamed, 50, -20, "P3")};
  f.Make({Transistor("NMOS"), Ports(), top});
  EXPECT_EQ(f.Go("TOP"), 1);
  const Lines cards = f.Cards("TOP");
  ASSERT_GE(cards.size(), 1u);
  // A blank keeps the cell's own parameter text apart from the last port.
  EXPECT_EQ(cards[0], ".SUBCKT PORTS ?1 D ?3 W=2U");
  EXPECT_NE(std::find(cards.begin(), cards.end(), "X1 P1 P2 P3 PORTS"), cards.end()) << f.Cir("TOP");
  EXPECT_NE(f.Report().find("Device Definition Node Name 1 is Unknown\nDevice Definition Node Name 3 is Unknown\n"),
            std::string::npos)
      << f.Report();
}

TEST(Netlist, ACellWithoutItsGeometryFileIsTold) {
  Folder f;
  f.Make(InverterDrawing());
  ASSERT_EQ(std::remove(f.Path("Inv.bp6").c_str()), 0);
  EXPECT_EQ(f.Go("INV"), 1);
  EXPECT_NE(f.Report().find("\n[MAIN CIRCUIT] INV\nINV.BP6 is Missing\n"), std::string::npos) << f.Report();
  EXPECT_GE(f.errors, 1);
}

TEST(Netlist, LongLinesGoOnAfterAPlus) {
  Folder f;
  tlctest::CellSpec c = Cell("C", 2, -30, -30, 30, 30);
  c.refs = {Ref("NMOS", 0, 0)};
  c.paths = {Text(kNamed, 0, 10, "A_VERY_LONG_NODE_NAME_NUMBER_ONE"), Text(kNamed, -10, 0, "A_VERY_LONG_NODE_NAME_TWO"),
             Text(kNamed, 0, -10, "SHORT"), Text(kNamed, 10, 0, "LAST"), Text(kDeviceName, 3, 3, "M1"),
             Text(kParameter, 3, -3, "NCH")};
  f.Make({Transistor("NMOS"), c});
  EXPECT_EQ(f.Go("C"), 1);
  // "M1 " and two names reach column 63; "SHORT " would pass 64 and starts a continuation, whose
  // column is counted as twice the item.
  EXPECT_EQ(f.Cards("C")[1], "M1 A_VERY_LONG_NODE_NAME_NUMBER_ONE A_VERY_LONG_NODE_NAME_TWO ");
  EXPECT_EQ(f.Cards("C")[2], "+ SHORT LAST NCH");
}

TEST(Netlist, ParasiticCapacitorsPerConnectedNode) {
  tlctest::CellSpec c = Cell("C", 2, -30, -30, 200, 30);
  c.refs = {Ref("NMOS", 0, 0)};
  c.boxes = {Box(kMetal, 200, 0, 210, 10),                     // a node without a connector: no capacitor
             Box(kMetal, -2, 8, 2, 20), Box(kPoly, -12, -2, -8, 2), Box(kMetal, -2, -20, 2, -8),
             Box(kMetal, 8, -2, 12, 2)};
  c.paths = {Text(kNamed, 0, 10, "D"), Text(kNamed, -10, 0, "G"), Text(kNamed, 0, -10, "0"), Text(kNamed, 10, 0, "B"),
             Text(kDeviceName, 3, 3, "M1"), Text(kParameter, 3, -3, "NCH"),
             Wire(kMetal, 0, {{2, 8}, {12, 8}, {2, 18}, {2, 8}}),  // a triangle on D's side
             Wire(kPoly, 4, {{-30, 0}, {-12, 0}})};               // a wire into G's box
  struct Case {
    const char* poly;
    Lines caps;
  };
  // Areas by the scan lines, whose bottom and top rows hold nothing: D's box 4 x 11 and the triangle
  // 9 + 8 + ... + 1; G's box 4 x 3 and the wire 18 x 3; B 4 x 3. Over a scale of 10 squared. A node
  // whose total is 0 is passed over, and the nodes after it keep their capacitors.
  const Case cases[] = {{"0.5", {"C_D D 0 1.78pF", "C_G G 0 0.33pF", "C_B B 0 0.24pF"}},
                        {"0.", {"C_D D 0 1.78pF", "C_B B 0 0.24pF"}}};
  for (const Case& k : cases) {
    Folder f;
    f.Make({Transistor("NMOS"), c}, 10);
    f.settings.trace[ext::kCapacitanceSlot] = k.poly;
    f.settings.trace[ext::kCapacitanceSlot + 1] = "2.";  // metal
    f.settings.trace[ext::kCapacitanceSwitch] = "Y";
    ext::NormaliseSettings(f.settings, 2);
    EXPECT_EQ(f.Go("C"), 1);
    Lines cards{"*MAIN CIRCUIT C", "M1 D G 0 B NCH", "* PARASITIC CAPS"};
    cards.insert(cards.end(), k.caps.begin(), k.caps.end());
    cards.push_back(".END");
    EXPECT_EQ(f.Cards("C"), cards) << f.Cir("C");
  }
}

TEST(Netlist, WithoutCapacitancesOnlyTheHeadingOfTheCapacitors) {
  Folder f;
  f.Make(InverterDrawing());
  f.settings.trace[ext::kCapacitanceSwitch] = "";  // an empty switch counts as on
  EXPECT_EQ(f.Go("INV"), 1);
  EXPECT_EQ(f.Cards("INV"), (Lines{"*MAIN CIRCUIT INV", "M1 OUT IN 0 0 NCH L=1U W=2U",
                                   "M2 VDD IN OUT VDD PCH L=1U W=4U", "* PARASITIC CAPS", ".END"}));
}

TEST(Netlist, ASmashCellAddsItsShapesToEveryCellThatPlacesIt) {
  Folder f;
  tlctest::CellSpec via = Cell("VIA", 1, -3, -3, 3, 3);
  via.boxes = {Box(kContact, -2, -2, 2, 2)};
  tlctest::CellSpec c = Cell("C", 2, -100, -30, 30, 30);
  // The gate's poly reaches the metal named G only through the placed contact cell.
  c.refs = {Ref("NMOS", 0, 0), Ref("VIA", -50, 0)};
  c.boxes = {Box(kPoly, -60, -2, -8, 2), Box(kMetal, -80, -2, -48, 2)};
  c.paths = {Text(kNamed, -75, 0, "G"), Text(kNamed, 0, 10, "D"), Text(kNamed, 0, -10, "0"), Text(kNamed, 10, 0, "0"),
             Text(kDeviceName, 3, 3, "M1"), Text(kParameter, 3, -3, "NCH")};
  f.Make({Transistor("NMOS"), via, c});
  f.settings.smash[0] = "via";
  ext::NormaliseSettings(f.settings, 3);
  EXPECT_EQ(f.Go("C"), 1);
  EXPECT_EQ(f.Cards("C")[1], "M1 D G 0 0 NCH");
  EXPECT_NE(f.Report().find("Cells Smashed to 1 Boxes and 0 Polygons"), std::string::npos);
  EXPECT_EQ(f.errors, 0) << f.Report();
}

TEST(Netlist, StoppedRunsLeaveTheirFilesWithoutTheEnd) {
  struct Case {
    const char* what;
    int cancelAtPause;
    bool fastRun;
    int escapeAfterPolls;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"Cancel at a pause", 3, false, -1, 0},
      {"Esc polled in a fast run", -1, true, 2, 1},
  };
  for (const Case& c : cases) {
    Folder f;
    f.Make(SampleCells());
    f.ui.cancelAtPause = c.cancelAtPause;
    f.ui.escapeAfterPolls = c.escapeAfterPolls;
    f.settings.fastRun = c.fastRun;
    EXPECT_EQ(f.Go("TOP"), 0) << c.what;
    EXPECT_EQ(f.Cir("TOP").find(".END"), std::string::npos) << c.what;
    EXPECT_EQ(f.Boxes().size(), c.boxes) << c.what;
  }
}

}  // namespace
}  // namespace exttest

namespace exttest {
namespace {

TEST(Netlist, DamagedCellFilesEndInAMessageNotACrash) {
  {
    // A cell index and CL6 that place a cell inside itself.
    Folder f;
    tlctest::CellSpec a = Cell("A", 2);
    a.refs = {Ref("NMOS", 0, 0), Ref("B", 0, 0)};
    tlctest::CellSpec b = Cell("B", 2);
    b.refs = {Ref("A", 50, 0)};
    f.Make({Transistor("NMOS"), a, b});
    EXPECT_EQ(f.Go("A"), 1);
    // B is of A's rank, so the walk does not enter it: the loop is told as the rank error it is.
    EXPECT_NE(f.Report().find("Rank Error ... B Placed in A"), std::string::npos) << f.Report();
  }
  {
    // Geometry of noise: links anywhere, layers of any number, texts without characters.
    Folder f;
    f.Make(SampleCells());
    std::string noise;
    std::uint32_t v = 12345;
    for (int i = 0; i < 4000; ++i) {
      v = v * 1103515245u + 12345u;
      noise += static_cast<char>(v >> 24);
    }
    f.Write("Inv.bp6", noise);
    f.Write("Nand2.cl6", noise.substr(0, 600));
    const int result = f.Go("TOP");
    EXPECT_TRUE(result == 0 || result == 1) << result;
  }
}

}  // namespace
}  // namespace exttest

namespace exttest {
namespace {

TEST(Netlist, RunningOutOfMemoryEndsTheRunWithItsMessage) {
  // Pages run out at each stage of the run in turn: loading, scanning the placed cells, tracing.
  for (long budget : {0, 2, 4, 6, 9, 12, 16}) {
    Folder f;
    f.Make(SampleCells());
    db::SetPageBudgetForTests(budget);
    const int result = f.Go("TOP");
    db::SetPageBudgetForTests(-1);
    EXPECT_EQ(result, 0) << budget;
    EXPECT_EQ(f.Boxes(), (Lines{"box \"MEROCKT\" \"Fatal Memory Error ... Can't Continue\""})) << budget;
  }
}

}  // namespace
}  // namespace exttest

namespace exttest {
namespace {

// A drain reached by a line that no text names, and a box of metal on its own: two virtual nodes.
std::vector<tlctest::CellSpec> VirtualNodes() {
  tlctest::CellSpec c = Cell("C", 2, -30, -30, 70, 70);
  c.refs = {Ref("NMOS", 0, 0)};
  c.boxes = {Box(kPoly, -12, -2, -8, 2), Box(kMetal, -2, -12, 2, -8), Box(kMetal, 8, -2, 12, 2),
             Box(kMetal, 50, 50, 60, 60)};
  c.paths = {Wire(kMetal, 0, {{0, 10}, {0, 40}}), Text(kNamed, -10, 0, "G"), Text(kNamed, 0, -10, "0"),
             Text(kNamed, 10, 0, "B"), Text(kDeviceName, 3, 3, "M1"), Text(kParameter, 3, -3, "NCH")};
  return {Transistor("NMOS"), c};
}

TEST(Netlist, VirtualNodesShowTheirStatusLinesAndYield) {
  const std::string lines = "item 501 \"Connecting Virtual Node VN1 Lines ... Pass 1\"";
  const std::string areas = "item 501 \"Connecting Virtual Node VN2 Areas on Layer 3 ... Pass 1\"";
  struct Case {
    bool fastRun;
    bool linesShown;
    const char* yield;  // the event after each status line
  };
  for (const Case& c : {Case{false, true, "pause 200"}, Case{true, false, nullptr}}) {
    Folder f;
    f.Make(VirtualNodes());
    f.settings.fastRun = c.fastRun;
    ASSERT_EQ(f.Go("C"), 1);
    EXPECT_EQ(f.Cards("C")[1], "M1 VN1 G 0 B NCH");
    const auto& e = f.ui.events;
    const auto line = std::find(e.begin(), e.end(), lines);
    const auto area = std::find(e.begin(), e.end(), areas);
    EXPECT_EQ(line != e.end(), c.linesShown) << c.fastRun;
    ASSERT_NE(area, e.end()) << c.fastRun;
    if (c.yield) {
      ASSERT_NE(line, e.end());
      EXPECT_EQ(*(line + 1), c.yield);
      EXPECT_EQ(*(area + 1), c.yield);
    }
  }
  // Cancel at the pause of either status line stops the run there.
  for (const std::string& status : {lines, areas}) {
    Folder f;
    f.Make(VirtualNodes());
    ASSERT_EQ(f.Go("C"), 1);
    const auto& e = f.ui.events;
    const auto at = std::find(e.begin(), e.end(), status);
    ASSERT_NE(at, e.end());
    const int pause = static_cast<int>(std::count_if(e.begin(), at, [](const std::string& s) {
      return s.rfind("pause ", 0) == 0;
    }));
    Folder stopped;
    stopped.Make(VirtualNodes());
    stopped.ui.cancelAtPause = pause;
    EXPECT_EQ(stopped.Go("C"), 0) << status;
    EXPECT_EQ(stopped.ui.events.back().rfind("pause", 0), 0u) << status;
    EXPECT_EQ(stopped.Cir("C").find("M1"), std::string::npos) << status;
  }
}

}  // namespace
}  // namespace exttest
