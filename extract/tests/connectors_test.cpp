#include "extract/connectors.h"

#include <gtest/gtest.h>

#include "extract/tests/sample_circuits.h"

namespace exttest {
namespace {

using Lines = std::vector<std::string>;

// A device with two connector texts "1" (left and right) and one "2" (top).
tlctest::CellSpec Dual() {
  tlctest::CellSpec c = Cell("DUAL", 1);
  c.paths = {Text(kConnector, -10, 0, "1"), Text(kConnector, 10, 0, "1"), Text(kConnector, 0, 10, "2")};
  return c;
}

// A cell placing DUAL at the origin, named D1, with the given shapes and texts around it.
tlctest::CellSpec Parent(std::vector<db::BoxRecord> boxes, std::vector<tlctest::PathSpec> texts) {
  tlctest::CellSpec c = Cell("P", 2, -100, -100, 100, 100);
  c.refs = {Ref("DUAL", 0, 0)};
  c.boxes = std::move(boxes);
  c.paths = std::move(texts);
  c.paths.push_back(Text(kDeviceName, 3, 3, "D1"));
  c.paths.push_back(Text(kParameter, 3, -3, "DUALMODEL"));
  return c;
}

std::string Device(Folder& f) {
  for (const std::string& card : f.Cards("P"))
    if (card.rfind("D1 ", 0) == 0) return card;
  return "";
}

TEST(Connectors, OneNumberOnOnePlacedCellIsOnePort) {
  {
    // Its two texts on two named nodes: a short of the connectors.
    Folder f;
    f.Make({Dual(), Parent({Box(kMetal, -12, -2, -8, 2), Box(kMetal, 8, -2, 12, 2), Box(kMetal, -2, 8, 2, 12)},
                           {Text(kNamed, -10, 0, "A"), Text(kNamed, 10, 0, "B"), Text(kNamed, 0, 10, "T")})});
    EXPECT_EQ(f.Go("P"), 1);
    EXPECT_NE(f.Report().find("Shorted Connectors A and B on DUAL at X=-10 Y=0\n"), std::string::npos) << f.Report();
    EXPECT_EQ(Device(f), "D1 A T DUALMODEL");
  }
  {
    // One named, one unnamed: the unnamed shapes take the name, and no port is open or shorted.
    Folder f;
    f.Make({Dual(), Parent({Box(kMetal, -12, -2, -8, 2), Box(kMetal, 8, -2, 40, 2), Box(kMetal, -2, 8, 2, 12)},
                           {Text(kNamed, -10, 0, "A"), Text(kNamed, 0, 10, "T")})});
    f.settings.setup1[ext::kVirtual] = "Y";
    EXPECT_EQ(f.Go("P"), 1);
    EXPECT_EQ(f.errors, 0) << f.Report();
    EXPECT_EQ(Device(f), "D1 A T DUALMODEL");
    EXPECT_EQ(f.Report().find("Virtual Node"), std::string::npos) << "the right box is named A now";
  }
}

TEST(Connectors, PortsWithoutShapesFindNamedTextsAndSymbols) {
  Folder f;
  tlctest::CellSpec p = Parent({}, {Text(kNamed, 0, 10, "T")});
  p.refs.push_back(Ref("GND", -10, 0));
  f.Make({Dual(), Symbol("GND", "0"), p});
  EXPECT_EQ(f.Go("P"), 1);
  // The text right on the port names it; the symbol's origin on the other gives ground.
  EXPECT_EQ(Device(f), "D1 0 T DUALMODEL");
  EXPECT_EQ(f.errors, 0) << f.Report();
}

TEST(Connectors, OpenPortsAreToldUnlessATwinIsConnected) {
  Folder f;
  f.Make({Dual(), Parent({Box(kMetal, 8, -2, 12, 2)}, {Text(kNamed, 10, 0, "A")})});
  EXPECT_EQ(f.Go("P"), 1);
  EXPECT_EQ(f.Report().find("Open Connector 1"), std::string::npos);
  EXPECT_NE(f.Report().find("Open Connector 2 on Cell DUAL at X=0 Y=10\n"), std::string::npos) << f.Report();
  EXPECT_EQ(Device(f), "D1 A ? DUALMODEL");
}

TEST(Connectors, NumbersStartAtTheFirstDigit) {
  const std::pair<const char*, int> cases[] = {{"IN3", 3}, {"12A", 12}, {"A", 0}, {"", 0}, {"P0R7", 0}, {"99999999999", 2147483647}};
  for (const auto& [text, number] : cases) EXPECT_EQ(ext::ConnectorNumber(text), number) << text;
}

TEST(Connectors, TheTablesHaveTheirLimits) {
  for (int count : {255, 256}) {
    Folder f;
    tlctest::CellSpec c = Cell("C", 2, -10, -10, 1000, 10);
    for (int i = 0; i < count; ++i) c.paths.push_back(Text(kConnector, i, 0, std::to_string(i)));
    c.refs = {Ref("NMOS", 500, 500)};
    f.Make({Transistor("NMOS"), c});
    EXPECT_EQ(f.Go("C"), count == 256 ? 0 : 1) << count;
    EXPECT_EQ(f.Boxes().size(), count == 256 ? 1u : 0u) << count;
    if (count == 256) {
      EXPECT_EQ(f.Boxes()[0], "box \"MEROCKT\" \"Connector Table is Full\"");
    }
  }
}

TEST(Connectors, APlacedCellWithoutConnectorsFloats) {
  Folder f;
  tlctest::CellSpec logo = Cell("LOGO", 1);
  logo.boxes = {Box(kMetal, 0, 0, 5, 5)};
  tlctest::CellSpec via = Cell("VIA", 1);
  via.boxes = {Box(kContact, 0, 0, 1, 1)};
  tlctest::CellSpec p = Parent({}, {Text(kNamed, 10, 0, "A"), Text(kNamed, 0, 10, "T")});
  p.refs.push_back(Ref("LOGO", 40, 50));
  p.refs.push_back(Ref("VIA", 60, 50));
  p.refs.push_back(Ref("GND", 80, 50));
  f.Make({Dual(), logo, via, Symbol("GND", "0"), p});
  f.settings.smash[0] = "VIA";
  EXPECT_EQ(f.Go("P"), 1);
  EXPECT_NE(f.Report().find("Cell LOGO at X=40 Y=50 is Floating\n"), std::string::npos) << f.Report();
  EXPECT_EQ(f.Report().find("Cell VIA"), std::string::npos);
  EXPECT_EQ(f.Report().find("Cell GND"), std::string::npos);
  EXPECT_EQ(f.errors, 1) << f.Report();
}

TEST(Connectors, AGlobalNetIsNeverRenamedAfterANamedPort) {
  // DUAL's two "1" texts on ground and on A: a short, and ground stays ground for the other device.
  Folder f;
  tlctest::CellSpec p = Parent({Box(kMetal, -12, -2, -8, 2), Box(kMetal, 8, -2, 12, 2), Box(kMetal, -2, 8, 2, 12),
                                Box(kMetal, -20, -50, -8, -2)},
                               {Text(kNamed, 10, 0, "A"), Text(kNamed, 0, 10, "T")});
  p.refs.push_back(Ref("GND", -15, -40));
  p.refs.push_back(Ref("NMOS", 60, -40));
  p.boxes.push_back(Box(kMetal, -20, -52, 70, -48));  // the NMOS source on the ground net
  p.paths.push_back(Text(kDeviceName, 63, -37, "M9"));
  p.paths.push_back(Text(kParameter, 63, -43, "NCH"));
  f.Make({Dual(), Transistor("NMOS"), Symbol("GND", "0"), p});
  EXPECT_EQ(f.Go("P"), 1);
  EXPECT_NE(f.Report().find("Shorted Connectors"), std::string::npos) << f.Report();
  bool found = false;
  for (const std::string& card : f.Cards("P"))
    if (card.rfind("M9 ", 0) == 0) {
      found = true;
      EXPECT_EQ(card.substr(0, 12), "M9 ? ? 0 ? N") << card;
    }
  EXPECT_TRUE(found) << f.Cir("P");
}

}  // namespace
}  // namespace exttest
