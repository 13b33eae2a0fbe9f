// The checker's settings: normal forms and the editor's command line.
#include <gtest/gtest.h>

#include "drc/settings.h"
#include "drc/tests/drc_fixture.h"

namespace drc {
namespace {

using namespace drctest;

struct Fixture {
  Drawing drawing{{Cell("INV1", 1, {0, 0, 200, 400}), Cell("TOP", 2, {0, 0, 10, 10})}, 20};
  DrcSettings s;
  DrawingUnits units;
  Fixture() {
    EXPECT_TRUE(drawing.ok);
    SetDefaults(s);
    units.scale = 20;
    units.unit = "um";
    units.index = &drawing.db->index;
  }
  std::vector<std::string> Normalised() {
    NormaliseSettings(s, units);
    return s.slots;
  }
};

TEST(DrcSettings, DefaultsInTheirNormalForm) {
  Fixture f;
  EXPECT_EQ(f.Normalised(), (std::vector<std::string>{"???", "???.DRC", "1", "1", "1", "", "", "", "", "0um", "0um",
                                                      "100um", "100um", "Y", "Y", "Y", "10", "5", "MERODRC.RPT"}));
}

TEST(DrcSettings, FieldsAreNormalised) {
  struct Case {
    Setting slot;
    const char* typed;
    const char* normal;
  };
  for (const Case& c : {Case{kCell, "inv1", "INV1"}, Case{kCell, "nosuch", "???"}, Case{kCheckFile, "rules", "RULES.DRC"},
                        Case{kCheckFile, "r.x", "R.X"}, Case{kStartCheck, "0", "1"}, Case{kStartCheck, "-2", "1"},
                        Case{kFinishCheck, "7", "7"}, Case{kLambda, "500", "100"}, Case{kLambda, "0", "0.01"},
                        Case{kLambda, "-2.5", "2.5"}, Case{kResolution, "0.123", "0.1um"},
                        Case{kResolution, "0.001", "0.05um"}, Case{kResolution, "-1", "1um"},
                        Case{kDistance, "3.01", "3um"}, Case{kDistance, "0.02", "0um"}, Case{kAreaLeft, "12.5", "12.5um"},
                        Case{kEnableScpy, "yes", "Y"}, Case{kEnablePause, "no", "N"}, Case{kEraseReport, "", "N"},
                        Case{kFileLimit, "0", "10"}, Case{kPauseTime, "0", "1"}, Case{kReportName, "", "MERODRC.RPT"},
                        Case{kReportName, "out.rpt", "OUT.RPT"}}) {
    Fixture f;
    f.s[c.slot] = c.typed;
    EXPECT_EQ(f.Normalised()[c.slot], c.normal) << c.typed;
  }
}

TEST(DrcSettings, ScanWindowIsOrderedAndNeverEmpty) {
  Fixture f;
  f.s[kScanLeft] = "50", f.s[kScanRight] = "50";
  f.s[kScanBottom] = "30", f.s[kScanTop] = "-10";
  f.Normalised();
  EXPECT_EQ(f.s[kScanRight], "50.5um");  // ten database units further
  EXPECT_EQ(f.s[kScanBottom], "-10um");
  EXPECT_EQ(f.s[kScanTop], "30um");
  EXPECT_DOUBLE_EQ(f.s.scanRight, 50.5);
}

TEST(DrcSettings, EditorCommandLinePresetsCellAndScanWindow) {
  Fixture f;
  ApplyCommandLine(f.s, f.units, {"INV1", "100", "50", "40", "18446744073709551615"});
  EXPECT_EQ(f.s[kCell], "INV1");
  EXPECT_EQ(f.s[kScanLeft], "80um");
  EXPECT_EQ(f.s[kScanRight], "120um");
  EXPECT_EQ(f.s[kScanBottom], "34um");
  EXPECT_EQ(f.s[kScanTop], "66um");
  EXPECT_FALSE(f.s.editorWindow);
  // The window stays once written; later normalisations keep it.
  f.Normalised();
  EXPECT_EQ(f.s[kScanLeft], "80um");

  // A cell the folder does not have, or the editor without an open cell: nothing is taken.
  Fixture g;
  ApplyCommandLine(g.s, g.units, {"(none)", "100", "50", "40"});
  ApplyCommandLine(g.s, g.units, {"GONE", "1", "2", "3"});
  EXPECT_EQ(g.Normalised()[kCell], "???");
  EXPECT_EQ(g.s[kScanLeft], "0um");
  // A cell alone.
  ApplyCommandLine(g.s, g.units, {"top"});
  EXPECT_EQ(g.s[kCell], "TOP");
  EXPECT_EQ(g.s[kScanRight], "100um");
}

}  // namespace
}  // namespace drc
