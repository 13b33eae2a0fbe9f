// The main window as a whole: start-up on fresh and damaged folders, the cell named on the command
// line, minimising and closing, the status bar and title texts, keys and the help topics of buttons.
#include <array>
#include <filesystem>

#include "editor/db/current_cell.h"
#include "editor/ui/draw/view.h"
#include "editor/ui/main_window.h"
#include "editor/ui/protocol.h"
#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"
#include "platform/ui/keys.h"
#include "editor/ui/tests/editor_fixture.h"
#include "platform/os/path.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"

namespace edtest {
namespace {

using edui::Editor;

int waits = 0;
int draws = 0;
std::int32_t lastX = 0, lastY = 0;

// Waits for points and keeps the last one; Esc ends it.
void Wait(Editor& ed) {
  ++waits;
  auto& s = ed.proto.now;
  lastX = s.slots[1].x;
  lastY = s.slots[1].y;
  if (ed.proto.escPressed) return edui::ShowStatus(ed, s.statusMask);
  s.pointState = 1;
}

void DrawView(Editor& ed) {
  ++draws;
  edui::RequestRedraw(ed, 1);
  edui::RequestRedraw(ed, 2);
  edui::ShowStatus(ed, ed.proto.now.statusMask);
}

constexpr std::array<edui::CommandEntry, 2> kTable = {{
    {"Get", &Wait, 0xe2, 120},
    {"Draw", &DrawView, 0x90, 27},
}};

class WindowTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    waits = draws = 0;
  }
  void NoPopup() { drive->Write("FORM.DBD", "pool=\r\nlayer=none 1\r\nlayer=met1 5\r\nmisc=nocellpopup\r\n"); }
  std::string Folder() const { return os::CurrentFolder(); }
};

TEST_F(WindowTest, TheCellOfTheCommandLineOpensWithoutAsking) {
  WriteCells({{"TOP", 2, {}, {}}});
  Start(kTable, "top");
  EXPECT_EQ(E().db.current.name, "TOP");
  EXPECT_EQ(E().db.current.rank, 2);
  EXPECT_FALSE(Logged("dialog CELL"));
}

TEST_F(WindowTest, AnUnknownCellLeavesNoneOpenAndNoCellPopupKeepsTheDialogAway) {
  NoPopup();
  Start(kTable, "NO SUCH CELL NAME THAT IS FAR TOO LONG FOR A CELL");
  EXPECT_EQ(E().db.current.rank, 0);
  EXPECT_EQ(E().db.current.name, "(none)");
  EXPECT_FALSE(Logged("dialog CELL"));
}

TEST_F(WindowTest, AFailedStartUpWritesNothingOverTheFolder) {
  WriteCells({{"TOP", 1, {{5, 0, 0, 10, 10}}, {}}});
  // Settings cut short: the start-up stops with its message.
  const std::string consts = drive->Read("Consts6.dbd");
  ASSERT_GT(consts.size(), 40u);
  drive->Write("Consts6.dbd", consts.substr(0, 40));
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& f : std::filesystem::directory_iterator(drive->folder))
    files.emplace_back(f.path().filename().string(), drive->Read(f.path().filename().string()));
  Script("box ok\n");
  editor = std::make_unique<Editor>();
  talk = std::make_unique<edui::EditorTalk>(*editor);
  edui::AttachTalk(*editor, talk.get());
  const ui::Wnd w = edui::CreateEditorWindow(*editor, "TOP");
  Drain();
  EndScript();
  EXPECT_TRUE(Logged("box \"\" \"CONSTS6.DBD is Incorrect ... Delete it\""));
  EXPECT_FALSE(ui::IsAlive(w));
  std::size_t count = 0;
  for (const auto& f : std::filesystem::directory_iterator(drive->folder)) {
    (void)f;
    ++count;
  }
  EXPECT_EQ(count, files.size());
  for (const auto& [name, bytes] : files) EXPECT_EQ(drive->Read(name), bytes) << name;
}

TEST_F(WindowTest, MinimisingSavesTheCellWithoutItsSelectionAndRestoringRedraws) {
  WriteCells({{"TOP", 1, {{5, 0, 0, 10, 10}}, {}}});
  Start(kTable, "TOP");
  db::ObjectStore& st = E().db.store;
  st.SetBox(st.GetBox(0, 1) | db::kEdgesAll, 0, 1);
  st.PutBoxRecord(2, {5, 20, 20, 40, 30});
  st.boxCount = 2;
  Send(ui::msg::Size, ui::size::Minimized, 0);
  const std::string bp6 = drive->Read("Top.bp6");
  // Two boxes and the ending box, then the empty path and vertex tables.
  ASSERT_EQ(bp6.size(), 3u * 20u + 12u + 16u);
  EXPECT_EQ(bp6[0], 5);
  EXPECT_EQ(bp6[1], 0);  // no edge bits on disk
  EXPECT_EQ(bp6[20 + 4], 20);
  EXPECT_EQ(Title(), "TOP (min)");
  draws = 0;
  Send(ui::msg::Size, ui::size::Restored, 0);
  Drain();
  EXPECT_EQ(draws, 1);
}

TEST_F(WindowTest, ClosingSavesTheOpenCell) {
  WriteCells({{"TOP", 1, {}, {}}});
  Start(kTable, "TOP");
  E().db.store.PutBoxRecord(1, {5, 1, 2, 3, 4});
  E().db.store.boxCount = 1;
  Close();
  const std::string bp6 = drive->Read("Top.bp6");
  ASSERT_EQ(bp6.size(), 2u * 20u + 12u + 16u);
  EXPECT_EQ(bp6[4], 1);
}

TEST_F(WindowTest, TheStatusFieldsSayWhatTheCellHoldsAndWhatAddWouldMake) {
  NoPopup();
  WriteCells({{"SUB", 1, {}, {}}, {"TOP", 2, {{5, 0, 0, 10, 10}, {5, 0, 0, 5, 5}}, {{1, 0, 0}, {1, 9, 9}}}});
  Start(kTable, "TOP");
  db::Settings& s = E().db.settings;
  s.scale = 20;
  s.unitName = "um";
  s.workGrids[1] = 100;
  s.dotGrids[2] = 50;
  E().view.workGrid = 1;
  E().view.dotGrid = 2;
  s.layerSelectionByTable = 0;
  s.rankViews[2].viewList = "1-64";
  s.rankViews[2].openList = "3 5";
  s.layer = 5;
  edui::ShowStatus(E(), 0);
  EXPECT_EQ(Field(edui::kFieldInfo), " 2 Cells  2 Boxes  0 Paths  0 Vtx");
  EXPECT_EQ(Field(edui::kFieldLayers), " View(1-64) Open(3 5)");
  EXPECT_EQ(Field(edui::kFieldVariables), " wGrd=5um  dGrd=2.5um  Obj=BOX  Layr=5");

  E().db.store.SetBox(db::kEdgeTop | 5, 0, 2);
  struct Case {
    std::string kind;
    int width;
    int mask;
    const char* variables;
  } cases[] = {
      {"P", 0, 4, " wGrd=5um  dGrd=2.5um  Obj=POLY  Layr=5"},
      {"P", 30, 4, " wGrd=5um  dGrd=2.5um  Obj=PATH  Layr=5  Wdth=1.5um"},
      {"sub", 30, 4, " wGrd=5um  dGrd=2.5um  Obj=SUB"},
      {"B", 0, 4 | 128, " wGrd=5um  dGrd=2.5um  Obj=TEXT  Layr=1  Size=0.75um"},
  };
  for (const Case& c : cases) {
    s.addKind = c.kind;
    s.pathWidth = c.width;
    edui::ShowStatus(E(), c.mask);
    EXPECT_EQ(Field(edui::kFieldVariables), c.variables) << c.kind;
    EXPECT_EQ(Field(edui::kFieldInfo), " Active: 0 Cells  1 Boxes  0 Paths  0 Vtx");
  }
  s.layerSelectionByTable = 1;
  s.addKind = "NOSUCH";
  Script("box ok\n");
  edui::ShowStatus(E(), 32);
  EndScript();
  EXPECT_EQ(Field(edui::kFieldLayers), " Using Layer Table");
  EXPECT_TRUE(Logged("box \"\" \"No Object ... Using BOX\""));
  EXPECT_EQ(s.addKind, "B");
}

TEST_F(WindowTest, TitlesNameTheCellItsContextAndWhatIsHappening) {
  NoPopup();
  WriteCells({{"TOP", 2, {}, {}}});
  Start(kTable, "TOP");
  const std::string folder = Folder();
  EXPECT_EQ(edui::MainTitleText(E(), 1, "TOP"), "MERO 6.0     ( Saving TOP )");
  EXPECT_EQ(edui::MainTitleText(E(), 2, "TOP"), "MERO 6.0     ( Loading TOP )");
  EXPECT_EQ(edui::MainTitleText(E(), 3, "TOP"), "MERO 6.0     ( Loading Backup )");
  EXPECT_EQ(edui::MainTitleText(E(), 4, "TOP"), "MERO 6.0     ( TLCout TOP )");
  EXPECT_EQ(edui::MainTitleText(E(), 0, "TOP"), "MERO 6.0     Cell: TOP    Rank : 2    Directory : " + folder);
  E().draw.context.name = "CHIP";
  EXPECT_EQ(edui::MainTitleText(E(), 0, "TOP"), "MERO 6.0     Cell: CHIP.TOP    Rank : 2    Directory : " + folder);
}

TEST_F(WindowTest, PercentAndDistanceReadouts) {
  NoPopup();
  Start(kTable);
  edui::SetStatusField(E(), edui::kFieldInfo, "kept");
  edui::ShowPercent(E(), 5, 0);
  EXPECT_EQ(Field(edui::kFieldInfo), "kept");
  edui::ShowPercent(E(), 7, 5);
  EXPECT_EQ(Field(edui::kFieldInfo), " 100.0%");
  edui::ShowPercent(E(), 1, 3);
  EXPECT_EQ(Field(edui::kFieldInfo), "  33.3%");

  // Space without Z measures from (0, 0).
  E().db.settings.scale = 10;
  E().db.settings.modeWord = 0;
  E().proto.rawX = 30;
  E().proto.rawY = 40;
  Key(' ');
  EXPECT_EQ(Field(edui::kFieldInfo), " dx=3          dy=4          Dist=5         ");
  Key('z');
  E().proto.rawX = 30;
  E().proto.rawY = 10;
  Key(' ');
  EXPECT_EQ(Field(edui::kFieldInfo), " dx=0          dy=-3         Dist=3         ");
}

TEST_F(WindowTest, KeysToggleTheModeWordAndEnterRedraws) {
  NoPopup();
  Start(kTable);
  int& word = E().db.settings.modeWord;
  word = 0;
  Key('w');
  EXPECT_EQ(word, draw::kModeSnap);
  EXPECT_TRUE(ui::IsItemChecked(E().panels.bottom, 310));
  EXPECT_FALSE(ui::IsItemChecked(E().panels.bottom, 311));
  Key('A');
  EXPECT_EQ(word, 0);
  for (char c : std::string("cdinortv")) Key(unsigned(c));
  EXPECT_EQ(word, 0x1FE);
  EXPECT_TRUE(ui::IsItemChecked(E().panels.bottom, 319));
  Key('U');
  EXPECT_EQ(word & 1, 0);
  // The BOTTOM buttons: W twice leaves snap on, U clears it, the others toggle.
  ui::Send(E().panels.bottom, ui::msg::Command, ui::MakeWParam(310, 0));
  ui::Send(E().panels.bottom, ui::msg::Command, ui::MakeWParam(310, 0));
  EXPECT_EQ(word & 1, 1);
  ui::Send(E().panels.bottom, ui::msg::Command, ui::MakeWParam(311, 0));
  ui::Send(E().panels.bottom, ui::msg::Command, ui::MakeWParam(312, 0));
  EXPECT_EQ(word, 0x1FC);
  Key(9);
  EXPECT_EQ(E().crosshairOn, 1);
  draws = 0;
  Key(13);
  Drain();
  EXPECT_EQ(draws, 1);
}

TEST_F(WindowTest, TheXKeyTypesAPointInUserUnits) {
  NoPopup();
  Start(kTable);
  E().db.settings.scale = 1000;
  Script("answer PKEX set 153 \"1.2345\" set 1174 \"-0.0009\" press ok\n");
  Key('x');
  EndScript();
  EXPECT_TRUE(Logged("dialog PKEX"));
  EXPECT_EQ(lastX, 1234);
  EXPECT_EQ(lastY, 0);
}

TEST_F(WindowTest, F1OnAPanelButtonAsksForHelpInsteadOfRunningIt) {
  NoPopup();
  Start(kTable);
  ui::PressKey(ui::key::F1, 0, 0);
  waits = 0;
  ui::Send(E().panels.buttons, ui::msg::Command, ui::MakeWParam(120, 0));
  ui::ReleaseKey(ui::key::F1, 0);
  EXPECT_EQ(E().pendingHelp, "Command Information/Get");
  EXPECT_EQ(waits, 0);
}

}  // namespace
}  // namespace edtest
