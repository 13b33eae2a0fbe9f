#include "extract/settings.h"

#include <gtest/gtest.h>

#include "platform/os/tests/scratch.h"
#include "utilib/setup_file.h"

namespace ext {
namespace {

TEST(Settings, NormalisedSlotsAndTheSwitchesTheyGive) {
  ExtractorSettings s;
  s.setup1[kCellName] = "top";
  s.setup1[kAliasFile] = "al.txt";
  s.setup1[kNamedLayer] = "0";
  s.setup1[kConnectorLayer] = "99";
  s.setup1[kDeviceLayer] = "12abc";
  s.setup1[kOpens] = "yes";
  s.setup1[kShorts] = "";
  s.setup1[kVirtual] = "y";
  s.setup1[kReportName] = "";
  NormaliseSettings(s, 0);
  EXPECT_EQ(s.setup1, (std::vector<std::string>{"TOP", "AL.TXT", "", "", "1", "64", "12", "63", "YES", "N", "Y", "Y",
                                                "Y", "N", "VN", "MEROCKT.RPT"}));
  s.setup2 = {"a.nod", "inv", "b.nod", "keep", ""};
  NormaliseSettings(s, 1);
  EXPECT_EQ(s.setup2, (std::vector<std::string>{"A.NOD", "INV", "B.NOD", "keep", "NODECOMP.ERR"}));
  s.smash[0] = "via";
  NormaliseSettings(s, 3);
  EXPECT_EQ(s.smash[0], "VIA");

  const RunSwitches r = MakeRunSwitches(s);
  EXPECT_EQ(r.namedLayer, 1);
  EXPECT_EQ(r.connectorLayer, 64);
  EXPECT_TRUE(r.opens);
  EXPECT_FALSE(r.shorts);
  EXPECT_TRUE(r.virtuals);
  EXPECT_FALSE(r.counts);
  EXPECT_TRUE(r.capacitance) << "an empty Capacitance slot is on";
  EXPECT_EQ(r.smash[0], "VIA");
}

TEST(Settings, TraceRowsSplitAtBlanksAndCommas) {
  ExtractorSettings s;
  s.trace[kConductorSlot] = "1, 3  5,,7";
  s.trace[kConductorSlot + 1] = "1 2 3 4 5 6 7 8 9";
  s.trace[kCapacitanceSlot + 1] = "2.5e-4";
  s.trace[kInsulatorSlot] = "x 4";
  s.trace[kCapacitanceSwitch] = "yes";
  NormaliseSettings(s, 2);
  const TraceTable& t = s.traceTable;
  EXPECT_EQ(t.conductors[0], (std::array<int, 8>{1, 3, 5, 7, 0, 0, 0, 0}));
  EXPECT_EQ(t.conductors[1], (std::array<int, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(t.insulators[0], (std::array<int, 8>{0, 4, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(t.insulators[4], (std::array<int, 8>{}));  // the default "Y" of row 5 is no layer
  EXPECT_DOUBLE_EQ(t.capacitance[1], 2.5e-4);
  EXPECT_EQ(s.trace[kCapacitanceSwitch], "YES");
}

TEST(Settings, SetupFileHoldsSixteenFiveSixteenAndEightSlots) {
  ostest::Scratch dir;
  ExtractorSettings s;
  s.smash[7] = "LAST";
  s.smashExtra[0] = "NEVER";
  utilib::ReaderLists readers;
  readers.SetDefaults(kReportDefault);
  const std::string path = dir.Path("Merockt.su6");
  utilib::SetupFile file{path, kSetupVersion, {&s.setup1, &s.setup2, &s.trace, &s.smash}, &readers};
  ASSERT_EQ(file.Write(), 1);
  const std::string text = dir.Read("Merockt.su6");
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 16 + 5 + 16 + 8 + 20);
  EXPECT_EQ(text.substr(0, 6), "6.03\r\n");
  EXPECT_EQ(text.find("NEVER"), std::string::npos);
  ExtractorSettings back;
  utilib::SetupFile in{path, kSetupVersion, {&back.setup1, &back.setup2, &back.trace, &back.smash}, &readers};
  ASSERT_EQ(in.Read(), 1);
  EXPECT_EQ(back.smash[7], "LAST");
  EXPECT_EQ(back.trace[kInsulator5Slot], "Y");
  EXPECT_EQ(back.trace[kCapacitanceSlot], "0.");
}

}  // namespace
}  // namespace ext
