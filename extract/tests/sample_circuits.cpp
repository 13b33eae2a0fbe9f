#include "extract/tests/sample_circuits.h"

namespace exttest {

tlctest::CellSpec Inverter(const std::string& name) {
  tlctest::CellSpec c = Cell(name, 2, -20, -20, 20, 130);
  c.refs = {Ref("NMOS", 0, 0), Ref("PMOS", 0, 100), Ref("GND", 5, -10)};
  c.boxes = {Box(kMetal, -2, 10, 2, 90),                                  // OUT
             Box(kPoly, -12, 0, -8, 100),                                 // IN
             Box(kMetal, -2, 108, 12, 112), Box(kMetal, 8, 98, 12, 112),  // VDD
             Box(kMetal, -2, -12, 12, -8), Box(kMetal, 8, -12, 12, 2)};   // ground
  c.paths = {Text(kNamed, 0, 50, "OUT"), Text(kConnector, 0, 50, "2"),
             Text(kNamed, -10, 50, "IN"), Text(kConnector, -10, 50, "1"),
             Text(kNamed, 11, 111, "VDD"), Text(kConnector, 11, 111, "3"),
             Text(kDeviceName, 3, 4, "M1"), Text(kParameter, 3, -4, "NCH L=1U W=2U"),
             Text(kDeviceName, 3, 104, "M2"), Text(kParameter, 3, 96, "PCH L=1U W=4U")};
  return c;
}

tlctest::CellSpec Nand2() {
  tlctest::CellSpec c = Cell("NAND2", 2, -30, -60, 60, 130);
  c.refs = {Ref("NMOS", 0, 0), Ref("NMOS", 0, -40), Ref("PMOS", 0, 100), Ref("PMOS", 40, 100), Ref("GND", 5, -50)};
  c.boxes = {Box(kMetal, -2, 10, 2, 90), Box(kMetal, -2, 88, 42, 92),     // OUT
             Box(kMetal, -2, 108, 52, 112), Box(kMetal, 8, 98, 12, 112),  // VDD
             Box(kMetal, 48, 98, 52, 112),
             Box(kPoly, -12, 0, -8, 100),                                 // A
             Box(kMetal, -2, -30, 2, -10),                                // between the two n-channels
             Box(kMetal, -2, -52, 12, -48), Box(kMetal, 8, -52, 12, 2)};  // ground
  c.paths = {Wire(kPoly, 4, {{-10, -40}, {-20, -40}, {-20, 120}, {30, 120}, {30, 100}}),  // B
             Text(kNamed, -10, 50, "A"), Text(kConnector, -10, 50, "1"),
             Text(kNamed, -20, 50, "B"), Text(kConnector, -20, 50, "2"),
             Text(kNamed, 20, 90, "OUT"), Text(kConnector, 20, 90, "3"),
             Text(kNamed, 25, 110, "VDD"), Text(kConnector, 25, 110, "4"),
             Text(kDeviceName, 3, 4, "M1"), Text(kParameter, 3, -4, "NCH L=1U W=4U"),
             Text(kDeviceName, 3, -36, "M2"), Text(kParameter, 3, -44, "NCH L=1U W=4U"),
             Text(kDeviceName, 3, 104, "M3"), Text(kParameter, 3, 96, "PCH L=1U W=4U"),
             Text(kDeviceName, 43, 104, "M4"), Text(kParameter, 43, 96, "PCH L=1U W=4U")};
  return c;
}

tlctest::CellSpec BufferAndNand() {
  tlctest::CellSpec c = Cell("TOP", 3, -20, -70, 310, 170);
  c.refs = {Ref("INV", 0, 0), Ref("INV", 100, 0), Ref("NAND2", 250, 0)};
  c.boxes = {// IN: the first inverter's input and the NAND's A
             Box(kMetal, -12, -62, -8, 50), Box(kMetal, -12, -62, 242, -58), Box(kMetal, 238, -62, 242, 50),
             // MID: metal between the inverters, through a contact to a poly run to the NAND's B
             Box(kMetal, -2, 48, 92, 52), Box(kContact, 43, 48, 47, 52), Box(kPoly, 43, 48, 47, 142),
             Box(kPoly, 43, 138, 232, 142), Box(kPoly, 228, 48, 232, 142),
             // VDD to all three
             Box(kMetal, 9, 109, 13, 162), Box(kMetal, 9, 158, 277, 162), Box(kMetal, 109, 109, 113, 162),
             Box(kMetal, 273, 108, 277, 162)};
  c.paths = {Text(kNamed, -10, 0, "IN"), Text(kNamed, 45, 50, "MID"), Text(kNamed, 11, 160, "VDD"),
             // outputs named by texts right on the ports
             Text(kNamed, 100, 50, "OUT"), Text(kNamed, 270, 90, "OUT2"),
             Text(kDeviceName, 5, 30, "X1"), Text(kParameter, 5, 20, "INV"),
             Text(kDeviceName, 105, 30, "X2"), Text(kParameter, 105, 20, "INV"),
             Text(kDeviceName, 290, 30, "X3"), Text(kParameter, 290, 20, "NAND2")};
  return c;
}

std::vector<tlctest::CellSpec> SampleCells() {
  return {Transistor("NMOS"), Transistor("PMOS"), Symbol("GND", "0"), Inverter(), Nand2(), BufferAndNand()};
}

std::vector<tlctest::CellSpec> CheckedCells() {
  const tlctest::PathSpec name = Text(kDeviceName, 3, 3, "M1"), parameters = Text(kParameter, 3, -3, "NCH");
  tlctest::CellSpec caps = Cell("CAPS", 2, -40, -30, 30, 30);
  caps.refs = {Ref("NMOS", 0, 0)};
  caps.boxes = {Box(kMetal, -2, 8, 2, 20),     // D, 4 x 12
                Box(kPoly, -12, -2, -8, 2),    // G
                Box(kMetal, -2, -20, 2, -8),   // S
                Box(kMetal, 8, -2, 12, 2)};    // ground: no capacitor
  caps.paths = {Text(kNamed, 0, 10, "D"), Text(kNamed, -10, 0, "G"), Text(kNamed, 0, -10, "S"), Text(kNamed, 10, 0, "0"),
                Wire(kPoly, 4, {{-30, 0}, {-12, 0}}),                   // into G's box
                Wire(kMetal, 0, {{2, -20}, {12, -20}, {2, -10}, {2, -20}}),  // a triangle on S's side
                name, parameters};
  tlctest::CellSpec shorts = Cell("SHORTS", 2, -30, -30, 30, 30);
  shorts.refs = {Ref("NMOS", 0, 0)};
  shorts.boxes = {Box(kPoly, -2, 0, 2, 20), Box(kPoly, -2, -20, 2, 0), Box(kPoly, -12, -2, -8, 2),
                  Box(kMetal, 8, -2, 12, 2)};
  shorts.paths = {Text(kNamed, 0, 15, "D"), Text(kNamed, 0, -15, "S"), Text(kNamed, -10, 0, "G"),
                  Text(kNamed, 10, 0, "B"), name, parameters};
  tlctest::CellSpec lines = Cell("LINES", 2, -30, -30, 70, 70);
  lines.refs = {Ref("NMOS", 0, 0)};
  lines.boxes = {Box(kPoly, -12, -2, -8, 2), Box(kMetal, -2, -12, 2, -8), Box(kMetal, 8, -2, 12, 2),
                 Box(kMetal, 50, 50, 60, 60)};
  lines.paths = {Wire(kMetal, 0, {{0, 10}, {0, 40}}), Text(kNamed, -10, 0, "G"), Text(kNamed, 0, -10, "0"),
                 Text(kNamed, 10, 0, "B"), name, parameters};
  return {Transistor("NMOS"), caps, shorts, lines};
}

}  // namespace exttest
