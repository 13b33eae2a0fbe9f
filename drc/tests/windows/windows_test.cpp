// The checker's windows run headless: SETUP and the map viewer driven by scripted answers, the map
// window and the progress picture drawn as a run draws them. Snapshots of the pictures are left in
// the build tree (drc/tests/windows/snapshots) for a look.
#include <gtest/gtest.h>

#include <filesystem>

#include "drc/pcx.h"
#include "drc/tests/drc_fixture.h"
#include "drc/windows.h"
#include "platform/gfx/png.h"
#include "platform/ui/dialog.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace drc {
namespace {

using namespace drctest;

std::string Snapshot(const std::string& name, const gfx::Surface& s) {
  std::filesystem::create_directories(MERO_SNAPSHOT_DIR);
  const std::string path = std::string(MERO_SNAPSHOT_DIR) + "/" + name;
  EXPECT_EQ(gfx::SavePng(path, s), 1) << path;
  return path;
}

// A drawing folder and a scripted run with its log.
struct Scripted {
  Drawing drawing{{Cell("INV1", 1, {0, 0, 200, 400}), Cell("NAND2", 1, {-20, -40, 300, 500})}, 20};
  DrcSettings s;
  DrawingUnits units;
  explicit Scripted(const std::string& script) {
    EXPECT_TRUE(drawing.ok);
    ui::ResetForTests();
    EXPECT_TRUE(ui::StartScriptForTests(script, drawing.scratch.Path("run.log")));
    SetDefaults(s);
    units.scale = 20;
    units.unit = "um";
    units.index = &drawing.db->index;
    NormaliseSettings(s, units);
  }
  ~Scripted() { ui::ResetForTests(); }
  std::string Log() const {
    std::string log;
    for (char c : drawing.scratch.Read("run.log"))
      if (c != '\r') log += c;
    return log;
  }
  bool Logged(const std::string& line) const { return Log().find(line + "\n") != std::string::npos; }
};

TEST(SetupDialog, FieldsComeBackNormalised) {
  Scripted run("answer SETUP set 100 \"inv1\" set 101 \"rules\" set 104 \"500\" set 105 \"0.123\" check 113 0 "
               "set 111 \"-5\" press ok\n");
  EXPECT_EQ(RunSetupDialog(0, run.s, run.units), 1);
  EXPECT_EQ(run.s[kCell], "INV1");
  EXPECT_EQ(run.s[kCheckFile], "RULES.DRC");
  EXPECT_EQ(run.s[kLambda], "100");
  EXPECT_EQ(run.s[kResolution], "0.1um");
  EXPECT_EQ(run.s[kEnableScpy], "N");
  EXPECT_EQ(run.s[kEnablePause], "Y");
  EXPECT_EQ(run.s[kScanLeft], "-5um");  // Right below Left: the two change places
  EXPECT_EQ(run.s[kScanRight], "0um");
  EXPECT_TRUE(run.Logged("dialog SETUP"));
  EXPECT_TRUE(run.Logged("item SETUP 109 \"0um\""));
}

TEST(SetupDialog, FitResetListAndCancel) {
  {
    // Fit takes the typed cell's outline as the scan window and empties the resume point.
    // A run stopped between checks leaves the Area fields empty: Fit empties them and still forgets it.
    Scripted run("answer SETUP set 100 \"nand2\" press 119 press ok\n");
    run.s.SetResumePoint(0);
    run.s[kAreaLeft] = "3", run.s[kAreaBottom] = "4";
    EXPECT_EQ(RunSetupDialog(0, run.s, run.units), 1);
    EXPECT_FALSE(run.s.Resuming());
    EXPECT_EQ(run.s[kCell], "NAND2");
    EXPECT_EQ(std::vector<std::string>(run.s.slots.begin() + kAreaLeft, run.s.slots.begin() + kScanTop + 1),
              (std::vector<std::string>{"", "", "-1um", "-2um", "15um", "25um"}));
    EXPECT_TRUE(run.Logged("item SETUP 111 \"15um\""));
  }
  {
    // Cancel puts back what Fit and Reset changed, the resume point too.
    Scripted run("answer SETUP set 100 \"inv1\" press 119 press 120 press cancel\n");
    run.s[kAreaLeft] = "3um";
    run.s.SetResumePoint(2);
    const auto before = run.s.slots;
    EXPECT_EQ(RunSetupDialog(0, run.s, run.units), 0);
    EXPECT_EQ(run.s.slots, before);
    EXPECT_TRUE(run.s.Resuming());
    EXPECT_TRUE(run.Logged("item SETUP 107 \"\""));
  }
  {
    Scripted run("answer SETUP press 121 press ok\nanswer ANYLIST dblclick 1006 1\n");
    EXPECT_EQ(RunSetupDialog(0, run.s, run.units), 1);
    EXPECT_EQ(run.s[kCell], "NAND2");
    EXPECT_TRUE(run.Logged("dialog ANYLIST"));
  }
}

TEST(ViewerDialog, OpensAMapFileOrTellsWhyNot) {
  {
    Scripted run("answer OPENFILE set 100 \"top_1_1.pcx\" press ok\nanswer VIEWER check 1057 1 check 1056 1 press ok\n");
    gfx::Surface pic(544, 336, 0xFF0000);
    ASSERT_EQ(WritePcxMap(run.drawing.scratch.Path("TOP_1_1.PCX"), pic, 0, 0, 544, 336), 1);
    RunViewerDialog(0);
    EXPECT_TRUE(run.Logged("dialog VIEWER"));
    EXPECT_TRUE(run.Logged("dialog OPENFILE"));
    EXPECT_EQ(run.Log().find("box"), std::string::npos) << run.Log();
    EXPECT_EQ(ui::ScriptStatus(), 0);
  }
  {
    // The viewer ends by itself: its answer has nothing to do.
    Scripted run("answer VIEWER\nanswer OPENFILE set 100 \"NOTAMAP.PCX\" press ok\nbox ok\n");
    run.drawing.scratch.Write("NOTAMAP.PCX", std::string(300, 'x'));
    RunViewerDialog(0);
    EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Not MERODRC Map File\""));
    EXPECT_EQ(ui::ScriptStatus(), 0);
  }
  {
    // Cancel in the file dialog closes the viewer.
    Scripted run("answer VIEWER\nanswer OPENFILE press cancel\n");
    RunViewerDialog(0);
    EXPECT_TRUE(run.Logged("dialog VIEWER"));
    EXPECT_EQ(ui::ScriptStatus(), 0);
  }
}

TEST(RunWindows, CancelAndCloseOfTheDisplayAskBeforeTheRunStops) {
  Scripted run("box no\nbox yes\n");
  bool abort = false;
  EXPECT_FALSE(AskAbortChecking(0, ui::msg::Command, ui::MakeWParam(ui::kIdOk, 0), abort));
  EXPECT_TRUE(AskAbortChecking(0, ui::msg::Command, ui::MakeWParam(ui::kIdCancel, 0), abort));
  EXPECT_FALSE(abort);
  EXPECT_TRUE(AskAbortChecking(0, ui::msg::Close, 0, abort));
  EXPECT_TRUE(abort);
  EXPECT_TRUE(run.Logged("box \"MERODRC\" \"Do You Want to Abort Checking?\""));
  EXPECT_EQ(ui::ScriptStatus(), 0);
}

TEST(RunWindows, MapWindowAndProgressPictureShowWhatTheRunDraws) {
  Scripted run("");
  WindowView view(0);
  ui::Wnd display = ui::OpenDialog("DISPLAY", 0, [](ui::Wnd, ui::Message, ui::WParam, ui::LParam) -> ui::Result { return 0; });
  ASSERT_NE(display, 0u);
  view.SetDisplay(display);
  view.ShowProgress({0, 0, 2000, 1000, -100, -100, 900, 500});
  gfx::Surface* progress = ui::ItemSurface(display, kDisplayPicture);
  ASSERT_NE(progress, nullptr);
  // The picture is the display less 9 on the left, 11 on the right and 75 at the bottom.
  EXPECT_EQ(progress->width, 700 - 20);
  EXPECT_EQ(progress->height, 420 - 75);
  EXPECT_EQ(progress->Row(2)[2], kProgressBackground);
  EXPECT_EQ(progress->Row(progress->height / 2 + 40)[progress->width / 2 - 100], 0xFF0000u);  // the area
  EXPECT_EQ(progress->Row(progress->height / 2 - 40)[progress->width / 2 + 100], 0x000080u);  // the rest
  Snapshot("progress.png", *progress);

  BitMap map = NewMap();
  for (int y = 100; y < 300; ++y) SetMapSpan(map, y, 200, 800);
  gfx::Surface picture = NewMapperPicture();
  PaintMapperMap(picture, map, DspColour("G"), 2, 80);
  view.ShowMapper(picture, "Cell: TOP   Check 1: width", "Area: ...");
  ASSERT_NE(view.MapperWindow(), 0u);
  gfx::Surface* shown = ui::ItemSurface(view.MapperWindow(), kMapperPicture);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->pixels, picture.pixels);
  Snapshot("mapper.png", *shown);
  EXPECT_TRUE(run.Logged("dialog MAPPER"));
  EXPECT_TRUE(run.Logged("item MAPPER 501 \"Cell: TOP   Check 1: width\""));
  view.CloseMapper();
  EXPECT_FALSE(ui::IsAlive(view.MapperWindow()));
  ui::Destroy(display);
}

}  // namespace
}  // namespace drc
