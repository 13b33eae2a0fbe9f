#include "extract/node_list.h"

#include <gtest/gtest.h>

#include "extract/tests/sample_circuits.h"
#include "utilib/job.h"

namespace exttest {
namespace {

using Lines = std::vector<std::string>;

TEST(NodeList, NodesByNameWithTheirDeviceConnections) {
  Folder f;
  f.Make(SampleCells());
  ASSERT_EQ(f.Go("TOP"), 1);
  const std::string nod = f.Nod("TOP");
  EXPECT_EQ(nod.substr(0, nod.find("[NAND2]")),
            "*** Node List of TOP made by MEROCKT on 03/07/24 13:05:59 ***\n"
            "\n[INV]\n0:\n M1.3  M1.4 \nIN:\n M1.2  M2.2 \nOUT:\n M1.1  M2.3 \nVDD:\n M2.1  M2.4 \n::\n\n");
  EXPECT_NE(nod.find("\n[TOP]\nIN:\n X1.1  X3.1 \nMID:\n"), std::string::npos) << nod;
}

TEST(NodeList, LongNodesGoOnOnLinesThatBeginWithABlank) {
  Folder f;
  tlctest::CellSpec c = Cell("ROW", 2, -20, -20, 1000, 20);
  for (int i = 0; i < 12; ++i) {
    const int x = 40 * i;
    c.refs.push_back(Ref("NMOS", x, 0));
    c.paths.push_back(Text(kDeviceName, x + 3, 3, "MN" + std::to_string(i)));
    c.paths.push_back(Text(kParameter, x + 3, -3, "NCH"));
  }
  c.boxes = {Box(kPoly, -12, -2, 480, 2)};
  c.paths.push_back(Text(kNamed, -10, 0, "G"));
  f.Make({Transistor("NMOS"), c});
  ASSERT_EQ(f.Go("ROW"), 1);
  const std::string nod = f.Nod("ROW");
  // Every transistor's gate and bulk lie on the poly: 24 items of 7 or 8 characters.
  const std::size_t at = nod.find("\nG:\n");
  ASSERT_NE(at, std::string::npos) << nod;
  const std::string node = nod.substr(at + 4, nod.find("\n::") - at - 4);
  std::size_t lines = 0;
  for (std::size_t p = 0; p < node.size(); p = node.find('\n', p) + 1) {
    ++lines;
    EXPECT_EQ(node[p], ' ');
    if (node.find('\n', p) == std::string::npos) break;
  }
  EXPECT_GT(lines, 2u) << node;
}

struct Comparison {
  Folder f;
  int errors = -1;
  int Run(const std::string& first, const std::string& second, const std::string& base = "INV") {
    f.Write("A.NOD", first);
    f.Write("B.NOD", second);
    const ext::CompareSettings s{"A.NOD", "B.NOD", base, "NLC.RPT"};
    const int result = ext::CompareNodeLists(f.job, s, errors);
    utilib::CloseReport(f.job);
    return result;
  }
  // The error file after its title line.
  std::string Errors() const {
    const std::string all = f.Text("Nlc.rpt");
    return all.substr(std::min(all.size(), all.find('\n') + 2));
  }
};

std::string List(const std::string& body) { return "*** Node List ***\n\n[INV]" + body + "\n::\n"; }

TEST(Compare, IdenticalListsAgreeBothWays) {
  Comparison c;
  const std::string list = List("\nA:\n M1.1  M2.1 \nB:\n M3.1 ");
  EXPECT_EQ(c.Run(list, list), 1);
  EXPECT_EQ(c.errors, 0);
  // The way back is told on the display only.
  EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n");
  EXPECT_EQ(c.f.ui.items[600], "Comparing A.NOD to B.NOD");
  EXPECT_EQ(c.f.ui.items[601], "Comparing B.NOD to A.NOD");
  EXPECT_EQ(c.f.Text("Nlc.rpt").substr(0, 70),
            "*** Node Compare Error List made by MEROCKT on 03/07/24 13:05:59 ***\n\n");
}

TEST(Compare, AConnectionOnAnotherNodeIsToldFromBothSides) {
  Comparison c;
  EXPECT_EQ(c.Run(List("\nA:\n M1.1  M2.1 \nB:\n M3.1 "), List("\nA:\n M1.1 \nB:\n M2.1  M3.1 ")), 1);
  EXPECT_EQ(c.errors, 2);
  EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n"
                        "Connection M2.1 on Node A: is not on expected Node A:\n"
                        "Connection M3.1 on Node B: is not on expected Node A:\n");
}

TEST(Compare, ConnectionsMatchWholeWords) {
  Comparison c;
  // M1.1 is not M1.10.
  EXPECT_EQ(c.Run(List("\nA:\n M1.1  M2.1 "), List("\nA:\n M1.10  M2.1 ")), 1);
  EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n"
                        "Connection M1.1 on Node A: is not on expected Node ?\n"
                        "Connection M1.10 on Node A: is not on expected Node ?\n");
}

TEST(Compare, ABaseNameOpensEveryCircuitThatBeginsWithIt) {
  {
    // The only circuit whose name begins with INV.
    Comparison c;
    const std::string list = "*** Node List ***\n\n[INVX]\nA:\n M1.1 \n::\n";
    EXPECT_EQ(c.Run(list, list), 1);
    EXPECT_EQ(c.errors, 0);
    EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n");
  }
  {
    // INV and INVX are read as one circuit, NAND is not: the way back meets INVX's M4.1 only.
    Comparison c;
    const std::string inv = List("\nA:\n M1.1  M2.1 ");
    EXPECT_EQ(c.Run(inv, inv + "[INVX]\nB:\n M4.1 \n::\n[NAND]\nC:\n M3.1 \n::\n"), 1);
    EXPECT_EQ(c.errors, 1);
    EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n"
                          "Connection M4.1 on Node B: is not on expected Node ?\n");
  }
}

TEST(Compare, ListsWrittenWithCrLfAndLowerCase) {
  Comparison c;
  EXPECT_EQ(c.Run("[INV]\r\nA:\r\n m1.1  M2.1 \r\n::\r\n", List("\nA:\n M2.1  M1.1 ")), 1);
  EXPECT_EQ(c.errors, 1) << c.Errors();
  // The expected node is looked for as written; the connections are then compared without regard to
  // case, so only the first direction finds no node for "m1.1".
  EXPECT_EQ(c.Errors(), "Comparing A.NOD to B.NOD\n"
                        "Connection M1.1 on Node A: is not on expected Node ?\n");
}

TEST(Compare, WhatStopsAComparison) {
  {
    Comparison c;
    c.f.Write("A.NOD", List(""));
    const ext::CompareSettings s{"A.NOD", "MISSING.NOD", "INV", "NLC.RPT"};
    EXPECT_EQ(ext::CompareNodeLists(c.f.job, s, c.errors), 0);
    EXPECT_EQ(c.f.ui.items[602], "MISSING.NOD is Missing");
  }
  {
    Comparison c;
    EXPECT_EQ(c.Run(List(""), "[NAND]\n::\n"), 0);
    EXPECT_EQ(c.f.ui.items[602], "Nodelist of INV is not in B.NOD");
  }
  {
    Comparison c;
    EXPECT_EQ(c.Run(List(""), List(""), ""), 0);
    EXPECT_EQ(c.f.Boxes(), (Lines{"box \"Nodelist Compare\" \"Circuit Base Name is Needed\""}));
  }
  {
    Comparison c;
    std::string big = "\nA:";
    for (int i = 0; i < 300; ++i) big += "\n M" + std::to_string(i) + ".1 ";
    EXPECT_EQ(c.Run(List(big), List("")), 0);
    EXPECT_EQ(c.f.Boxes(), (Lines{"box \"Nodelist Compare\" \"Out of Connection Space in Circuit INV Node A:\""}));
  }
}

TEST(Compare, TheTenthMessageLineIsTheLastItemOfTheDisplay) {
  Comparison c;
  std::string first, second;
  for (int i = 0; i < 11; ++i) {
    first += "\nN" + std::to_string(i) + ":\n M" + std::to_string(i) + ".1  M" + std::to_string(i) + ".2 ";
    second += "\nN" + std::to_string(i) + ":\n M" + std::to_string(i) + ".1 ";
  }
  EXPECT_EQ(c.Run(List(first), List(second)), 1);
  EXPECT_EQ(c.errors, 11);
  std::vector<int> used;
  for (const std::string& e : c.f.ui.EventsOf("item"))
    if (e.find("Connection") != std::string::npos) used.push_back(std::stoi(e.substr(5, 3)));
  EXPECT_EQ(used, (std::vector<int>{602, 603, 604, 605, 606, 607, 608, 609, 610, 614, 602}));
}

}  // namespace
}  // namespace exttest
