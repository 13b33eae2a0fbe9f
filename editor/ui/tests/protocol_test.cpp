// The command protocol driven through the main window's messages, over a small table of commands that
// record how they are called.
#include <array>
#include <vector>

#include "editor/db/current_cell.h"
#include "editor/ui/draw/view.h"
#include "editor/ui/main_window.h"
#include "editor/ui/protocol.h"
#include "editor/ui/status_bar.h"
#include "editor/ui/tests/editor_fixture.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"

namespace edtest {
namespace {

using edui::Editor;

struct Call {
  int row;
  int state;
  int esc;
  edui::PointSlot p1;
  edui::PointSlot p2;
  std::int32_t dx;
  std::int32_t dy;
  int doubleClicked;
};
std::vector<Call> calls;

void Record(Editor& ed) {
  const auto& s = ed.proto.now;
  calls.push_back({s.current, s.pointState, ed.proto.escPressed, s.slots[1], s.slots[2], ed.proto.dx, ed.proto.dy,
                   s.doubleClicked});
}

void End(Editor& ed) { edui::ShowStatus(ed, ed.proto.now.statusMask); }

// Two points with a rubber rectangle, then it ends; Esc ends it at any step.
void TwoPoints(Editor& ed) {
  Record(ed);
  auto& s = ed.proto.now;
  if (ed.proto.escPressed) return End(ed);
  if (s.pointState == 0) {
    s.pointState = 1;
  } else if (s.pointState == 1) {
    s.bandMode = edui::kBandRect;
    s.pointState = 2;
  } else {
    End(ed);
  }
}

// A view command that waits for one point.
void OnePoint(Editor& ed) {
  Record(ed);
  auto& s = ed.proto.now;
  if (ed.proto.escPressed || s.pointState != 0) return End(ed);
  s.pointState = 1;
}

void OneStep(Editor& ed) {
  Record(ed);
  End(ed);
}

void CmdLike(Editor& ed) { Record(ed); }

enum { kTwo = 0, kOnePointView = 1, kStepView = 2, kPlain = 3, kCmd = 4, kOtherTwo = 5 };
constexpr std::array<edui::CommandEntry, 6> kTable = {{
    {"Two", &TwoPoints, 0x22, 120},
    {"Pnt", &OnePoint, 0x10, 108},
    {"Stp", &OneStep, 0x90, 27},
    {"Pln", &OneStep, 0x21, 146},
    {"Cmd", &CmdLike, 0x21, 166},
    {"Oth", &TwoPoints, 0x22, 122},
}};

class ProtocolTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    calls.clear();
    drive->Write("FORM.DBD", "pool=\r\nlayer=none 1\r\nmisc=nocellpopup\r\n");
    Start(kTable);
  }
  void Typed(std::int32_t x, std::int32_t y) {
    Send(edui::wm::TypedPoint, edui::PackCoordinate(x), ui::LParam(edui::PackCoordinate(y)));
  }
  void Begin(int row) { Send(edui::wm::StartCommand, ui::WParam(row)); }
  const Call& Last() { return calls.back(); }
  edui::CommandState& Now() { return E().proto.now; }
};

TEST_F(ProtocolTest, StartUpBeginsInRowZeroWaitingForItsFirstPoint) {
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().row, kTwo);
  EXPECT_EQ(calls.front().state, 0);
  EXPECT_EQ(Now().pointState, 1);
  EXPECT_EQ(E().proto.lastRepeatable, kTwo);
}

TEST_F(ProtocolTest, PointsStepTheHandlerAndTheEndRestartsTheRepeatableCommand) {
  calls.clear();
  Typed(-300, 40);
  Typed(-1000, -7);
  // Point 2 came with a rectangle band: the corners are put in order.
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].state, 1);
  EXPECT_EQ(calls[1].state, 2);
  EXPECT_EQ(calls[1].p1.x, -1000);
  EXPECT_EQ(calls[1].p1.y, -7);
  EXPECT_EQ(calls[1].p2.x, -300);
  EXPECT_EQ(calls[1].p2.y, 40);
  EXPECT_EQ(calls[1].dx, -700);
  EXPECT_EQ(calls[1].dy, -47);
  // The restart is posted: it runs after the ending step has returned.
  EXPECT_EQ(calls.size(), 2u);
  Drain();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].row, kTwo);
  EXPECT_EQ(calls[2].state, 0);
}

TEST_F(ProtocolTest, ClicksTakeTheSnappedPointButTypedPointsStayAsTyped) {
  E().db.settings.workGrids[1] = 100;
  E().view.workGrid = 1;
  edui::SetModeBits(E(), draw::kModeSnap, 1);
  const draw::DrawingArea a = E().view.area;
  calls.clear();
  Click(a.CentreX() + 7, a.CentreY() + 3);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].p1.x % 100, 0);
  EXPECT_EQ(calls[0].p1.y % 100, 0);
  Typed(13, 7);
  EXPECT_EQ(Last().p2.x, 13);
  EXPECT_EQ(Last().p2.y, 7);
}

TEST_F(ProtocolTest, StepBackRepeatsTheStepThatAskedAndNeverGoesBelowZero) {
  Typed(50, 60);
  ASSERT_EQ(Now().pointState, 2);
  calls.clear();
  Send(edui::wm::StepBack);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].state, 1);
  EXPECT_EQ(calls[0].p1.x, 50);
  EXPECT_EQ(Now().pointState, 2);
  Now().pointState = 0;
  Send(edui::wm::StepBack);
  EXPECT_EQ(Last().state, 0);
}

TEST_F(ProtocolTest, EscCallsTheHandlerOnceWithTheFlagAndTheCommandStartsAgain) {
  Typed(1, 2);
  calls.clear();
  Key(27);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].esc, 1);
  Drain();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].esc, 0);
  EXPECT_EQ(calls[1].state, 0);
}

TEST_F(ProtocolTest, AViewCommandInsideACommandHandsBackItsPointsAndBand) {
  Typed(10, 20);  // Two now waits for point 2
  calls.clear();
  Begin(kOnePointView);
  ASSERT_EQ(Last().row, kOnePointView);
  EXPECT_EQ(Now().bandMode, edui::kBandNone);
  Typed(999, 999);  // the view command's point
  Drain();
  // Two is called one step back: it asks for point 2 again, point 1 kept.
  const Call& c = Last();
  EXPECT_EQ(c.row, kTwo);
  EXPECT_EQ(c.state, 1);
  EXPECT_EQ(c.p1.x, 10);
  EXPECT_EQ(c.p1.y, 20);
  EXPECT_EQ(Now().current, kTwo);
  EXPECT_EQ(Now().pointState, 2);
  EXPECT_EQ(Now().bandMode, edui::kBandRect);
  Typed(30, 40);
  EXPECT_EQ(Last().p2.x, 30);
}

TEST_F(ProtocolTest, AViewCommandInsideAViewCommandResumesIt) {
  Typed(10, 20);
  Begin(kOnePointView);  // waits for its point
  calls.clear();
  Begin(kStepView);  // ends at once
  Drain();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].row, kStepView);
  EXPECT_EQ(calls[1].row, kOnePointView);
  EXPECT_EQ(Now().current, kOnePointView);
  EXPECT_EQ(Now().pointState, 1);
  Typed(5, 5);
  Drain();
  EXPECT_EQ(Last().row, kTwo);
  EXPECT_EQ(Last().p1.x, 10);
  EXPECT_EQ(Now().pointState, 2);
}

TEST_F(ProtocolTest, APlainCommandEndsByRestartingTheLastRepeatableOne) {
  Begin(kOtherTwo);
  Begin(kPlain);
  calls.clear();
  Drain();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].row, kOtherTwo);
  EXPECT_EQ(calls[0].state, 0);
}

TEST_F(ProtocolTest, TheCmdRowRunsInsideTheCurrentCommand) {
  Typed(10, 20);
  calls.clear();
  Begin(kCmd);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].row, kTwo);
  EXPECT_EQ(calls[0].state, 2);
  EXPECT_EQ(Now().current, kTwo);
  EXPECT_EQ(Now().pointState, 2);
}

TEST_F(ProtocolTest, ADoubleClickIsAOnePointWindowOnlyWhilePointTwoIsAwaited) {
  calls.clear();
  Send(ui::msg::LButtonDblClk);
  EXPECT_TRUE(calls.empty());
  Typed(70, 80);
  Send(ui::msg::LButtonDblClk);
  EXPECT_EQ(Last().state, 2);
  EXPECT_EQ(Last().doubleClicked, 1);
  EXPECT_EQ(Last().p2.x, 70);
  EXPECT_EQ(Last().p2.y, 80);
  EXPECT_EQ(Last().dx, 0);
  EXPECT_EQ(Last().dy, 0);
}

TEST_F(ProtocolTest, ARightClickSwitchesThePanelAndRestartsWithoutCallingTheCommand) {
  const std::string first = ui::TemplateName(E().panels.buttons);
  Typed(10, 20);
  calls.clear();
  Send(ui::msg::RButtonDown);
  EXPECT_TRUE(calls.empty());
  const std::string second = ui::TemplateName(E().panels.buttons);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.substr(0, 8), "MENUBTNS");
  Drain();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].state, 0);
  // A size change keeps the panel; the panel's own switch button goes back.
  Send(ui::msg::Size, ui::size::Restored, 0);
  EXPECT_EQ(ui::TemplateName(E().panels.buttons), second);
  Send(ui::msg::Command, ui::MakeWParam(edui::kMenuPanelSwitch, 0));
  EXPECT_EQ(ui::TemplateName(E().panels.buttons), first);
}

TEST_F(ProtocolTest, APanelButtonStartsItsCommandAndUnknownIdsDoNothing) {
  calls.clear();
  ui::Wnd panel = E().panels.buttons;
  ui::Send(panel, ui::msg::Command, ui::MakeWParam(146, 0));  // Pln's button id
  Drain();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].row, kPlain);
  calls.clear();
  ui::Send(panel, ui::msg::Command, ui::MakeWParam(151, 0));  // a button with no row here
  Drain();
  EXPECT_TRUE(calls.empty());
}

}  // namespace
}  // namespace edtest
