// System Mode's dialogs run headless: scripted answers press their buttons and fill their fields as a
// user would, and the log shows what the user would have seen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/db/current_cell.h"
#include "editor/db/tests/collection_files.h"
#include "editor/db/tests/drawing_folder.h"
#include "editor/ui/system/attr_dialog.h"
#include "editor/ui/system/name_dialogs.h"
#include "editor/ui/system/system_mode.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace {

using dbtest::CellSpec;

// New cells are rank 1.
struct RankOne : db::Hooks {
  int NewCellRank(std::string_view) override { return 1; }
};

struct SystemDialogs : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;
  ui::WindowTalk talk;  // the editor's way of telling: message boxes without owner
  RankOne hooks;
  edsys::SystemContext c{*d};
  std::string help;

  void SetUp() override {
    ui::ResetForTests();
    d->SetTalk(&talk);
    d->SetHooks(&hooks);
    dbtest::WriteCollection(f.folder, {{"LEAF", 1, {{1, 0, 0, 10, 10}}, {}},
                                       {"MID", 2, {{2, 0, 0, 1, 1}}, {{1, 5, 5, 0}}},
                                       {"TOP", 3, {}, {{2, 0, 0, 0}, {1, 40, 0, 1}}}});
    ASSERT_EQ(db::OpenCellCollection(*d), 1);
    c.pendingHelp = &help;
  }
  void TearDown() override {
    ui::StartScriptForTests("", "");
    ui::ResetForTests();
  }
  // A main window that lets its messages wait in the queue for the test to look at.
  ui::Wnd MakeMain() {
    ui::WindowClass wc;
    wc.name = "SYSTEST";
    wc.proc = [](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) { return ui::DefaultProc(w, m, wp, lp); };
    ui::DefineClass(wc);
    return ui::MakeWindow("SYSTEST", "Main", 0, 0, 0, 100, 100, 0);
  }
  void Script(const std::string& text) { ASSERT_TRUE(ui::StartScriptForTests(text, f.root + "/run.log")); }
  std::string Log() const {
    std::string log = dbtest::ReadBytes(f.root + "/run.log");
    std::erase(log, '\r');
    return log;
  }
  bool Logged(const std::string& line) const { return Log().find(line + "\n") != std::string::npos; }
  std::vector<std::string> Names() {
    std::vector<std::string> n;
    for (const auto& r : dbtest::ReadIndex(f.folder)) n.push_back(r.name);
    return n;
  }
};

TEST_F(SystemDialogs, ButtonsRunTheirCommandsWithTheirDialogsAndStages) {
  Script("answer SYSTEM press 2005 press 149 press 1015\n"
         "answer RENAME set 1031 \"leaf\" set 1032 \"base\" press ok\n"
         "answer KILL press 1321 press ok\n"
         "answer ANYLIST dblclick 1006 1\n"
         "box yes\nbox yes\n");
  EXPECT_EQ(edsys::RunSystemDialog(c), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"BASE", "TOP"}));
  for (const char* line : {"dialog SYSTEM", "dialog RENAME", "item SYSTEM 1000 \"Renaming Cells ...\"",
                           "item SYSTEM 1002 \"Done !\"", "dialog KILL", "dialog ANYLIST",
                           "item ANYLIST 1009 \"Cell Collection\"",
                           "box \"Kill\" \"MID will be Removed Completely\\n\\nYou Sure ?\"",
                           "box \"Kill\" \"Cell is Used in TOP ... Continue ?\"",
                           "item SYSTEM 1000 \"Cleaning Cells ...\""})
    EXPECT_TRUE(Logged(line)) << line << "\n" << Log();
  EXPECT_FALSE(Log().find("unanswered") != std::string::npos) << Log();
}

TEST_F(SystemDialogs, EscLeavesEnterStartsNothingAndProgramButtonsEndTheDialog) {
  Script("answer SYSTEM press ok press cancel\nanswer SYSTEM press 3009\nbox ok\n");
  EXPECT_EQ(edsys::RunSystemDialog(c), 0);
  EXPECT_EQ(edsys::RunSystemDialog(c), 1);
  EXPECT_TRUE(Logged("box \"\" \"C:\\MERO6\\Wmerodrc.EXE is Missing\"")) << Log();
}

TEST_F(SystemDialogs, FOneOnAButtonPostsHelpAtItsTopic) {
  ui::Wnd main = MakeMain();
  c.main = main;
  Script("answer SYSTEM press 2008 press 1015\n");
  ui::PressKey(ui::key::F1, 0, 0);
  EXPECT_EQ(edsys::RunSystemDialog(c), 0);
  ui::ReleaseKey(ui::key::F1, 0);
  EXPECT_EQ(help, "Command Information/CellSort");
  EXPECT_FALSE(Logged("box \"CellSort\" \"Cells to be Sorted ... You Sure ?\""));
  EXPECT_EQ(edsys::CommandHelp(main, help, 4242), 0);
  EXPECT_EQ(help, "Command Information/CellSort");
}

TEST_F(SystemDialogs, ScaleShowsTheOldValuesAndTheNewMaximum) {
  Script("answer SYSTEM press 2003 press 2003 press 2003 press 1015\n"
         "answer SCALE set 1024 \"mil\" set 1025 \"-100\" press ok\n"
         "answer SCALE set 1025 \"0\" press ok\n"
         "answer SCALE set 1025 \"1e301\" press ok\n"
         "box ok\nbox ok\n");
  EXPECT_EQ(edsys::RunSystemDialog(c), 0);
  EXPECT_TRUE(Logged("item SCALE 1024 \"um\"")) << Log();
  EXPECT_TRUE(Logged("item SCALE 1025 \"20\""));
  EXPECT_TRUE(Logged("item SYSTEM 1000 \"Max. Size will be 167772 mil\""));
  EXPECT_TRUE(Logged("box \"Scale\" \"MERO Units/Phys Unit must not be 0\""));
  // A scale no program could read back as usable is refused too, and said so.
  EXPECT_TRUE(Logged("box \"Scale\" \"MERO Units/Phys Unit is Out of Range\"")) << Log();
  EXPECT_EQ(d->settings.scale, 100);
  EXPECT_EQ(d->settings.unitName, "mil");
}

TEST_F(SystemDialogs, ShowWalksIntoListedCellsAndBack) {
  // TOP's report lists " 1 MID" after its header, Objects, Outline and "Rank 2 Cells:".
  Script("answer SYSTEM press 2004 press 1015\n"
         "answer SHOW set 1021 \"top\" press ok\n"
         "answer SHOWLIST dblclick 1006 4\n"
         "answer SHOWLIST press 3\n"
         "answer SHOWLIST press cancel\n");
  EXPECT_EQ(edsys::RunSystemDialog(c), 0);
  EXPECT_TRUE(Logged("item SHOWLIST 3 \"TOP <--\"")) << Log();
  const std::string log = Log();
  std::size_t n = 0;
  for (std::size_t at = log.find("dialog SHOWLIST"); at != std::string::npos; at = log.find("dialog SHOWLIST", at + 1)) ++n;
  EXPECT_EQ(n, 3u);
}

TEST_F(SystemDialogs, ListButtonsFillTheirFields) {
  d->form.poolFolder = "C:\\LIB\\";
  std::filesystem::create_directories(f.root + "/Lib");
  dbtest::WriteCollection(f.root + "/Lib", {{"BLOCK", 2, {}, {}}, {"GATE", 1, {}, {}}, {"HELD", 17, {}, {}}});
  Script("answer ATTACH press 1321 press ok\nanswer ANYLIST dblclick 1006 0\n"
         "answer COPY press 1323 press 1321 press ok\nanswer ANYLIST dblclick 1006 2\nanswer ANYLIST dblclick 1006 1\n");
  edsys::Answers a;
  ASSERT_EQ(edsys::RunAttachDialog(0, *d, a), 1);
  EXPECT_EQ(a[0], "GATE");
  EXPECT_TRUE(Logged("item ANYLIST 1009 \"Attachable Cells\"")) << Log();
  ASSERT_EQ(edsys::RunCopyDialog(0, *d, a), 1);
  EXPECT_EQ(a, (edsys::Answers{"MID", "TOP"}));
}

TEST_F(SystemDialogs, SystemModeOpensTheCellAgainUnderItsNewName) {
  ASSERT_EQ(db::LoadCell(*d, "MID"), 1);
  ui::Wnd main = MakeMain();
  c.main = main;
  Script("answer SYSTEM press 2005 press 1015\nanswer RENAME set 1031 \"MID\" set 1032 \"CORE\" press ok\n");
  EXPECT_EQ(edsys::RunSystemMode(c), 0);
  EXPECT_EQ(d->current.name, "CORE");
  EXPECT_EQ(d->current.row, 2);
  EXPECT_EQ(d->store.boxCount, 1);
  ui::Msg m;
  bool drawPosted = false;
  while (ui::PeekMessage(m))
    drawPosted = drawPosted || (m.message == ui::msg::Command && ui::LowWord(m.wParam) == 27);
  EXPECT_TRUE(drawPosted);

  Script("answer SYSTEM press 149 press 1015\nanswer KILL set 1019 \"core\" press ok\nbox yes\nbox yes\n");
  EXPECT_EQ(edsys::RunSystemMode(c), 0);
  EXPECT_EQ(d->current.name, "(none)");
  EXPECT_EQ(d->current.row, 0);
}

TEST_F(SystemDialogs, AttributesAreHeldWithinTheirRanges) {
  bool noFill = false, solidFill = false, noDash = true;
  int layer = 3;
  d->settings.layerSelectionByTable = 0;
  Script("answer ATTR set 1300 \"B\" set 1301 \"20\" set 1302 \"-1\" set 1317 \"0\" press 1303 "
         "set 1301 \"5\" check 1304 1 check 1305 0 press 1312 press ok\nanswer LEGEND press cancel\n");
  EXPECT_EQ(edsys::RunAttrDialog(0, *d, {&noFill, &solidFill, &noDash}, layer), 1);
  EXPECT_EQ(db::GetLayerColorLetter(d->settings, 3), 'b');
  EXPECT_EQ(d->settings.layerFills[2], 13);
  EXPECT_EQ(d->settings.layerDashes[2], 0);
  EXPECT_EQ(layer, 1);
  EXPECT_EQ(d->settings.layerFills[0], 5);
  EXPECT_TRUE(noFill);
  EXPECT_FALSE(noDash);
  EXPECT_TRUE(Logged("item ATTR 1167 \"Layer 1 Attributes\"")) << Log();
  EXPECT_TRUE(Logged("dialog LEGEND"));
}

TEST_F(SystemDialogs, AttributesByTableChooseTheLayerFromItsRow) {
  d->form.layers = {{"poly", 5, 1, 1}, {"none", 0, 1, 1}, {"met", 9, 1, 1}};
  d->settings.layerSelectionByTable = 1;
  int layer = 5;
  Script("answer ATTR set 1301 \"2\" press 1052 set 1301 \"7\" press cancel\n");
  EXPECT_EQ(edsys::RunAttrDialog(0, *d, {}, layer), 0);
  EXPECT_EQ(d->settings.layerFills[4], 2);  // kept when the row was changed
  EXPECT_EQ(d->settings.layerFills[8], 0);  // cancelled
  EXPECT_EQ(layer, 9);
  EXPECT_TRUE(Logged("item ATTR 1050 \"poly   5\"")) << Log();
}

}  // namespace

namespace {

// Every name dialog finds its template and its field: what is typed comes back as the answer.
TEST_F(SystemDialogs, EachNameDialogGivesBackWhatWasTyped) {
  using Runner = int (*)(ui::Wnd, db::Database&, edsys::Answers&);
  const struct {
    const char* name;
    Runner run;
    int first;
    int second;
  } dialogs[] = {{"ATTACH", edsys::RunAttachDialog, 1004, 0},   {"IMPORT", edsys::RunImportDialog, 1018, 1020},
                 {"COPY", edsys::RunCopyDialog, 1017, 1005},     {"KILL", edsys::RunKillDialog, 1019, 0},
                 {"RENAME", edsys::RunRenameDialog, 1031, 1032}, {"RESIZE", edsys::RunResizeDialog, 1026, 1028},
                 {"RERANK", edsys::RunRerankDialog, 1029, 1030}, {"SHOW", edsys::RunShowDialog, 1021, 0},
                 {"SPAWN", edsys::RunSpawnDialog, 1325, 0},      {"CCEL", edsys::RunCcelDialog, 102, 0},
                 {"NOCELL", edsys::RunNoCellDialog, 1331, 0}};
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.name);
    std::string answer = std::string("answer ") + dialog.name + " set " + std::to_string(dialog.first) + " \"one\"";
    if (dialog.second) answer += " set " + std::to_string(dialog.second) + " \"two\"";
    Script(answer + " press ok\nanswer " + dialog.name + " set " + std::to_string(dialog.first) +
           " \"gone\" press cancel\n");
    edsys::Answers a;
    EXPECT_EQ(dialog.run(0, *d, a), 1);
    EXPECT_EQ(a, (edsys::Answers{"one", dialog.second ? "two" : ""}));
    EXPECT_EQ(dialog.run(0, *d, a), 0);
    EXPECT_EQ(a[0], "one");
    EXPECT_EQ(Log().find("unanswered"), std::string::npos) << Log();
  }
}

}  // namespace
