#include "extract/trace.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "extract/tests/extract_fixture.h"

namespace exttest {
namespace {

struct Traced {
  Folder f;
  std::unique_ptr<Steps> s;
  void Run(const tlctest::CellSpec& cell, bool shorts = true) {
    f.settings.setup1[ext::kShorts] = shorts ? "Y" : "N";
    f.Make({cell});
    s = std::make_unique<Steps>(f);
    s->Load(cell.name);
    s->Trace();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& e : f.ui.EventsOf("item"))
      if (e.compare(5, 2, "52") == 0 && e.find("\"\"") == std::string::npos) out.push_back(e.substr(9));
    return out;
  }
};

TEST(Trace, ANamedNodeSpreadsOverEveryTouchingShapeOfItsLayer) {
  tlctest::CellSpec c = Cell("C", 1);
  // A chain whose records run against it, so the named box meets its neighbours only pass by pass.
  c.boxes = {Box(kMetal, 30, 0, 40, 10), Box(kMetal, 20, 0, 30, 10), Box(kMetal, 10, 0, 20, 10),
             Box(kMetal, 0, 0, 10, 10),  Box(kPoly, 0, 0, 40, 10),   Box(kMetal, 50, 0, 60, 10)};
  c.paths = {Text(kNamed, 5, 5, "A"), Wire(kMetal, 4, {{60, 5}, {60, 40}}), Wire(kMetal, 0, {{40, 10}, {45, 20}, {40, 30}, {40, 10}})};
  Traced t;
  t.Run(c);
  for (int b = 1; b <= 4; ++b) EXPECT_EQ(t.s->BoxName(b), "A") << "box " << b;
  EXPECT_EQ(t.s->BoxName(5), "A") << "the poly under the text is named by it too";
  EXPECT_EQ(t.s->PathName(3), "A") << "a closed polygon touching the chain's corner";
  // Apart from the chain: one virtual node for the box and the wide path that touches it.
  EXPECT_LT(t.s->BoxNode(6), 0);
  EXPECT_EQ(t.s->PathNode(2), t.s->BoxNode(6));
  EXPECT_EQ(t.f.errors + t.s->x.errors, 0);
}

TEST(Trace, ContactsCarryNodesBetweenTheRowsOfTheTraceTable) {
  tlctest::CellSpec c = Cell("C", 1);
  c.boxes = {Box(kPoly, 0, 0, 10, 10),     // named P
             Box(kContact, 4, 4, 6, 6),    // joins the poly to the metal over it
             Box(kMetal, 0, 0, 10, 10),
             Box(kPoly, 20, 0, 30, 10),    // poly and metal crossing without a contact
             Box(kMetal, 20, 0, 30, 10),
             Box(kContact, 40, 0, 50, 10)};  // a contact alone: named by nothing
  c.paths = {Text(kNamed, 1, 1, "P"), Text(kNamed, 25, 5, "Q"), Text(kNamed, 45, 5, "R")};
  Traced t;
  t.Run(c);
  EXPECT_EQ(t.s->BoxName(2), "P");
  EXPECT_EQ(t.s->BoxName(3), "P");
  // Both crossing shapes hold Q's point, so both are named Q, but as one node only by name.
  EXPECT_EQ(t.s->BoxName(4), "Q");
  EXPECT_EQ(t.s->BoxName(5), "Q");
  EXPECT_EQ(t.s->BoxNode(6), 0) << "a text over an insulator names nothing";
}

TEST(Trace, AnInsulatorPassesOnOnlyWhereThePlaceAboveInItsRowIsFilled) {
  // C1: layer 1 at place 1; C2: layer 3 at place 1 and layer 5 at place 2; I1: layer 2.
  tlctest::CellSpec c = Cell("C", 1);
  c.boxes = {Box(kPoly, 0, 0, 30, 10), Box(kContact, 0, 0, 10, 10), Box(kMetal, 0, 0, 10, 10), Box(5, 0, 0, 10, 10)};
  c.paths = {Text(kNamed, 25, 5, "P")};
  Traced t;
  t.f.settings.trace[ext::kConductorSlot + 1] = "3,5";
  ext::NormaliseSettings(t.f.settings, 2);
  t.Run(c);
  EXPECT_EQ(t.s->BoxName(3), "P");
  EXPECT_NE(t.s->BoxName(4), "P") << "place 2 of row 1 is empty: nothing comes down to layer 5";
}

TEST(Trace, ShortsAreToldAtEveryMeetingOfTheSweeps) {
  const std::string ab = "\"Nodes A and B are Shorted\"", ba = "\"Nodes B and A are Shorted\"";
  // Poly is the first row of the trace table, so only the downward sweep visits it; metal the second,
  // visited going down and coming up.
  tlctest::CellSpec poly = Cell("C", 1);
  poly.boxes = {Box(kPoly, 0, 0, 10, 10), Box(kPoly, 10, 0, 20, 10)};
  poly.paths = {Text(kNamed, 5, 5, "A"), Text(kNamed, 15, 5, "B")};
  // A chain whose middle box takes A in the first pass and meets B in both; the second sweep, run
  // because the first gave a node, meets them again. Boxes named by equal texts never meet.
  tlctest::CellSpec chain = Cell("C", 1);
  chain.boxes = {Box(kMetal, 0, 0, 10, 10), Box(kMetal, 10, 0, 20, 10), Box(kMetal, 20, 0, 30, 10),
                 Box(kMetal, 100, 0, 110, 10), Box(kMetal, 110, 0, 120, 10)};
  chain.paths = {Text(kNamed, 5, 5, "A"), Text(kNamed, 25, 5, "B"), Text(kNamed, 105, 5, "C"),
                 Text(kNamed, 115, 5, "C")};
  struct Case {
    const char* what;
    tlctest::CellSpec cell;
    bool shorts;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"two boxes of one row sharing an edge", poly, true, {ab, ba}},
      {"a chain on the second row", chain, true, {ab, ba, ab, ba, ab, ba, ab, ba, ab, ba}},
      {"the check switched off", chain, false, {}},
  };
  for (const Case& c : cases) {
    Traced t;
    t.Run(c.cell, c.shorts);
    EXPECT_EQ(t.Messages(), c.messages) << c.what;
    EXPECT_EQ(t.s->x.errors, static_cast<int>(c.messages.size())) << c.what;
  }
}

TEST(Trace, AVirtualNodeTellsEachShapeWithAnotherNodeItMeets) {
  // Contacts hand down to the first place of the poly row only, so the box on layer 4 (second place)
  // gives its virtual node to nothing named, but meets the contact that metal named X.
  tlctest::CellSpec c = Cell("C", 1);
  c.boxes = {Box(kMetal, 0, 0, 10, 10), Box(kContact, 4, 4, 6, 6), Box(4, 5, 5, 20, 6), Box(4, 30, 0, 40, 10)};
  c.paths = {Text(kNamed, 1, 1, "X")};
  Traced t;
  t.f.settings.trace[ext::kConductorSlot] = "1 4";
  ext::NormaliseSettings(t.f.settings, 2);
  t.Run(c);
  EXPECT_EQ(t.s->BoxName(2), "X");
  EXPECT_EQ(t.s->BoxName(3), "VN1");
  EXPECT_EQ(t.s->BoxName(4), "VN2");
  EXPECT_EQ(t.Messages(), (std::vector<std::string>{"\"Nodes VN1 and X are Shorted\""}));
}

TEST(Trace, VirtualNodesAreNumberedLinesFirstThenBoxesThenAreas) {
  tlctest::CellSpec c = Cell("C", 1);
  c.boxes = {Box(kMetal, 0, 0, 10, 10), Box(kPoly, 0, 100, 10, 110)};
  c.paths = {Wire(kMetal, 0, {{50, 50}, {50, 60}, {60, 60}, {50, 50}}),  // a closed polygon
             Wire(kMetal, 0, {{100, 0}, {100, 10}}),                     // a line
             Wire(kMetal, 0, {{100, 10}, {110, 10}}),                    // joined to it at a vertex
             Wire(kMetal, 0, {{95, 5}, {105, 5}}),                       // crossing it: apart
             Wire(kMetal, 0, {{105, 5}, {105, 15}})};                    // its vertex on a segment: joined
  Traced t;
  t.Run(c);
  EXPECT_EQ(t.s->PathNode(2), -1);
  EXPECT_EQ(t.s->PathNode(3), -1);
  EXPECT_EQ(t.s->PathNode(4), -2);
  EXPECT_EQ(t.s->PathNode(5), -2);
  EXPECT_EQ(t.s->BoxNode(1), -3);
  EXPECT_EQ(t.s->BoxNode(2), -4);
  EXPECT_EQ(t.s->PathNode(1), -5);
  EXPECT_EQ(t.s->x.NodeName(-3), "VN3");
}

// The virtual nodes are spread by a walk from each seed; the sweeps of the area pass must give the
// same result on any layout.
TEST(Trace, VirtualSpreadAgreesWithTheFullSweep) {
  std::mt19937 random(7);
  tlctest::CellSpec c = Cell("C", 1);
  for (int i = 0; i < 300; ++i) {
    const int layer = 1 + static_cast<int>(random() % 3);
    const int x = static_cast<int>(random() % 400), y = static_cast<int>(random() % 400);
    c.boxes.push_back(Box(layer, x, y, x + 5 + static_cast<int>(random() % 30), y + 5 + static_cast<int>(random() % 30)));
  }
  for (int i = 0; i < 12; ++i)
    c.paths.push_back(Text(kNamed, static_cast<int>(random() % 400), static_cast<int>(random() % 400), "N" + std::to_string(i)));
  Traced walked;
  walked.Run(c);

  Traced swept;
  swept.f.settings.setup1[ext::kShorts] = "Y";
  swept.f.Make({c});
  swept.s = std::make_unique<Steps>(swept.f);
  Steps& s = *swept.s;
  s.Load("C");
  ext::SeedNamedNodes(s.x);
  ext::ConnectAreaNodes(s.x, 0);
  for (int b = 1; b <= s.x.model.boxes; ++b) {
    if (s.BoxNode(b) != 0 || !s.x.roles.conductor[s.x.model.layer[b - 1]]) continue;
    --s.x.lastVirtual;
    s.x.SetNode(b - 1, s.x.lastVirtual);
    ext::ConnectAreaNodes(s.x, 1);
  }
  for (int b = 1; b <= s.x.model.boxes; ++b) EXPECT_EQ(walked.s->BoxNode(b), s.BoxNode(b)) << "box " << b;
  // The sweeps tell the meetings they see again for every new node; the walk tells each once.
  auto distinct = [](const std::vector<std::string>& v) { return std::set<std::string>(v.begin(), v.end()); };
  EXPECT_EQ(distinct(walked.Messages()), distinct(swept.Messages()));
}

}  // namespace
}  // namespace exttest

namespace exttest {
namespace {

TEST(Trace, NamedNodesBeyondAnyNumberASymbolCouldHave) {
  tlctest::CellSpec c = Cell("C", 1);
  for (int i = 0; i < 16390; ++i) c.paths.push_back(Text(50, i, 500, "X"));
  c.paths.push_back(Text(kNamed, 5, 5, "FAR"));
  c.boxes = {Box(kMetal, 0, 0, 10, 10)};
  Traced t;
  t.Run(c);
  EXPECT_EQ(t.s->BoxNode(1), 16391);
  EXPECT_FALSE(ext::IsSymbolNode(t.s->BoxNode(1)));
  EXPECT_EQ(t.s->BoxName(1), "FAR");
}

}  // namespace
}  // namespace exttest
