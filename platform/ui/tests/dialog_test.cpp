// Dialogs and message boxes driven by scripted answers and by device events: every kind of control,
// Enter and Esc, nested modal loops, unanswered and unappliable answers, self-closing dialogs,
// modeless dialogs and docked panels.
#include "platform/ui/dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include "platform/ui/box.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/tests/fixture.h"

namespace uitest {
namespace {

using namespace ui;

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// What the FORM dialog held when OK was pressed.
struct FormValues {
  std::string name, history, unit, listRow, macro;
  bool fast = false, flat = false, smash = false, toggle = false;
  int listSelection = -2;
  std::vector<int> commands;
};

DialogProc FormProc(FormValues& v) {
  return [&v](Wnd d, Message m, WParam wp, LParam) -> Result {
    if (m == msg::InitDialog) {
      for (const char* h : {"h1", "h2"}) ListAdd(d, 106, h);
      for (const char* u : {"um", "mil"}) ListAdd(d, 107, u);
      for (const char* r : {"ALPHA", "BETA", "GAMMA"}) ListAdd(d, 108, r);
      SetItemText(d, 101, "start");
      return 1;
    }
    if (m != msg::Command) return 0;
    v.commands.push_back(LowWord(wp));
    switch (LowWord(wp)) {
      case kIdOk:
        v.name = ItemText(d, 101, 63);
        v.fast = IsItemChecked(d, 102);
        v.flat = IsItemChecked(d, 103);
        v.smash = IsItemChecked(d, 104);
        v.history = ItemText(d, 106);
        v.unit = ItemText(d, 107);
        v.listSelection = ListSelection(d, 108);
        v.listRow = ListText(d, 108, v.listSelection);
        v.macro = ItemText(d, 109);
        v.toggle = IsItemChecked(d, 114);
        FinishDialog(d, 1);
        return 1;
      case kIdCancel:
        FinishDialog(d, 0);
        return 1;
      case 3: {  // List: a nested picker fills the name
        int row = RunDialog("PICK", d, [](Wnd p, Message pm, WParam pwp, LParam) -> Result {
          if (pm == msg::InitDialog) {
            for (const char* r : {"NAND2", "NOR3"}) ListAdd(p, 1006, r);
            return 1;
          }
          if (pm == msg::Command && HighWord(pwp) == notify::DblClk) FinishDialog(p, ListSelection(p, 1006) + 10);
          if (pm == msg::Command && LowWord(pwp) == kIdCancel) FinishDialog(p, 0);
          return 0;
        });
        if (row >= 10) SetItemText(d, 101, row == 10 ? "NAND2" : "NOR3");
        return 1;
      }
      default:
        return 0;
    }
  };
}

class DialogTest : public UiTest {
 protected:
  void Script(const std::string& text) {
    logPath = TempPath("dialog.log");
    ASSERT_TRUE(StartScriptForTests(text, logPath));
  }
  std::vector<std::string> Log() { return FileLines(logPath); }
  std::string logPath;
};

TEST_F(DialogTest, AnAnswerWorksEveryKindOfControlAsAUserWould) {
  Script(
      "answer FORM set 101 \"NAND2 LO\" check 102 1 check 104 1 set 106 typed pick 107 1 pick 108 2 "
      "set 109 \"one\\ntwo\" check 114 1 press ok\n");
  FormValues v;
  EXPECT_EQ(RunDialog("FORM", 0, FormProc(v)), 1);
  EXPECT_EQ(v.name, "NAND2 LO");  // the whole field
  EXPECT_TRUE(v.fast);
  EXPECT_FALSE(v.flat);  // the radio group keeps one choice
  EXPECT_TRUE(v.smash);
  EXPECT_EQ(v.history, "typed");
  EXPECT_EQ(v.unit, "mil");
  EXPECT_EQ(v.listSelection, 2);
  EXPECT_EQ(v.listRow, "GAMMA");
  EXPECT_EQ(v.macro, "one\r\ntwo");  // multi-line text comes back with CR LF
  EXPECT_TRUE(v.toggle);
  // Clicks arrive as the user's would, in order, before OK.
  EXPECT_NE(std::find(v.commands.begin(), v.commands.end(), 102), v.commands.end());
  EXPECT_EQ(v.commands.back(), kIdOk);
  auto log = Log();
  EXPECT_TRUE(Has(log, "dialog FORM"));
  EXPECT_TRUE(Has(log, "item FORM 101 \"start\""));
  EXPECT_EQ(ScriptStatus(), 0);
}

TEST_F(DialogTest, NestedModalLoopsAndPostsToTheMainWindowInsideThem) {
  bool dialogOpenWhenPostArrived = false;
  bool dialogOpen = false;
  Wnd main = MakeRecorded(0, [&](Wnd, Message m, WParam, LParam) -> Result {
    if (m == msg::User + 1) dialogOpenWhenPostArrived = dialogOpen;
    return 0;
  });
  Script("answer FORM press 3 press ok\nanswer PICK dblclick 1006 1\n");
  FormValues v;
  DialogProc form = FormProc(v);
  Post(main, msg::User + 1);
  int result = RunDialog("FORM", main, [&](Wnd d, Message m, WParam wp, LParam lp) -> Result {
    if (m == msg::InitDialog) {
      dialogOpen = true;
      EXPECT_FALSE(IsEnabled(main));  // the owner is disabled while its dialog runs
    }
    return form(d, m, wp, lp);
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(dialogOpenWhenPostArrived);
  EXPECT_EQ(v.name, "NOR3");
  EXPECT_TRUE(IsEnabled(main));
}

TEST_F(DialogTest, EnterIsOkAndEscIsCancelWithoutSuchButtons) {
  for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
    std::vector<int> commands;
    int result = RunDialog("PICK", 0, [&](Wnd d, Message m, WParam wp, LParam) -> Result {
      if (m == msg::InitDialog) {
        ListAdd(d, 1006, "ONE");
        FocusItem(d, 1006);
        Post(d, msg::User + 7);
        return 1;
      }
      if (m == msg::User + 7) {  // the user presses the key in the list
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(WidgetOf(Item(d, 1006)), &e);
        return 1;
      }
      if (m == msg::Command && (LowWord(wp) == kIdOk || LowWord(wp) == kIdCancel)) {
        commands.push_back(LowWord(wp));
        FinishDialog(d, LowWord(wp) == kIdOk ? 5 : 6);
        return 1;
      }
      return 0;
    });
    EXPECT_EQ(result, key == Qt::Key_Return ? 5 : 6);
    EXPECT_EQ(commands, (std::vector<int>{key == Qt::Key_Return ? kIdOk : kIdCancel}));
  }
}

TEST_F(DialogTest, ClosingADialogIsCancel) {
  int result = RunDialog("FORM", 0, [](Wnd d, Message m, WParam wp, LParam) -> Result {
    if (m == msg::InitDialog) Post(d, msg::Close);
    if (m == msg::Command && LowWord(wp) == kIdCancel) FinishDialog(d, 42);
    return 0;
  });
  EXPECT_EQ(result, 42);
}

TEST_F(DialogTest, AnUnansweredDialogIsLoggedCancelledAndEndsTheRunWithThree) {
  Script("wait\n");
  FormValues v;
  EXPECT_EQ(RunDialog("FORM", 0, FormProc(v)), 0);
  EXPECT_EQ(v.commands.back(), kIdCancel);
  EXPECT_EQ(std::count(v.commands.begin(), v.commands.end(), kIdOk), 0);
  auto log = Log();
  EXPECT_TRUE(Has(log, "dialog FORM"));
  EXPECT_TRUE(Has(log, "unanswered dialog FORM"));
  EXPECT_EQ(ScriptStatus(), 3);
}

TEST_F(DialogTest, AnAnswerThatRunsOutLeavesTheDialogUnanswered) {
  Script("answer FORM set 101 X\n");
  FormValues v;
  EXPECT_EQ(RunDialog("FORM", 0, FormProc(v)), 0);
  EXPECT_TRUE(Has(Log(), "unanswered dialog FORM"));
  EXPECT_EQ(ScriptStatus(), 3);
}

TEST_F(DialogTest, AnAnswerThatCannotBeAppliedEndsTheRunWithTwo) {
  struct Case {
    const char* script;
  } cases[] = {{"answer FORM press 999\n"},                     // no such button
               {"answer FORM pick 108 7\n"},                    // no such row
               {"answer FORM check 112 1\n"},                   // a label is no check box
               {"answer FORM set 101 A press ok press ok\n"}};  // left over once the dialog ended
  for (const Case& c : cases) {
    ResetForTests();
    Script(c.script);
    FormValues v;
    RunDialog("FORM", 0, [&](Wnd d, Message m, WParam wp, LParam lp) -> Result {
      if (m == msg::InitDialog) EnableItem(d, 114, false);
      return FormProc(v)(d, m, wp, lp);
    });
    EXPECT_EQ(ScriptStatus(), 2) << c.script;
  }
  ResetForTests();
  Script("answer FORM check 114 1\n");  // a disabled control cannot be clicked
  FormValues v;
  RunDialog("FORM", 0, [&](Wnd d, Message m, WParam wp, LParam lp) -> Result {
    if (m == msg::InitDialog) EnableItem(d, 114, false);
    return FormProc(v)(d, m, wp, lp);
  });
  EXPECT_EQ(ScriptStatus(), 2);
}

TEST_F(DialogTest, AValueLongerThanItsFieldIsRefusedWholeWithTheSameText) {
  // A script's set: the whole field fits, one character more fails the line and the dialog is cancelled.
  for (const std::string& text : {std::string("ABCDEFGH"), std::string("ABCDEFGHI")}) {
    ResetForTests();
    Script("answer FORM set 101 \"" + text + "\" press ok\n");
    FormValues v;
    const int result = RunDialog("FORM", 0, FormProc(v));
    const bool fits = text.size() == 8;
    EXPECT_EQ(result, fits ? 1 : 0) << text;
    EXPECT_EQ(v.name, fits ? text : "") << text;
    EXPECT_EQ(ScriptStatus(), fits ? 0 : 2) << text;
  }
  EXPECT_EQ(FieldTooLongText(8), "Too Long for this Field ... 8 Characters at Most");

  // A user's paste past the length: the field keeps what it held, and the box says why.
  ResetForTests();
  Script("answer FORM\nbox ok\n");
  std::string after;
  RunDialog("FORM", 0, [&](Wnd d, Message m, WParam, LParam) -> Result {
    if (m == msg::InitDialog) {
      SetItemText(d, 101, "start");
      Post(d, msg::User + 7);
      return 1;
    }
    if (m == msg::User + 7) {
      qobject_cast<QLineEdit*>(WidgetOf(Item(d, 101)))->insert("ABCDEFG");
      Post(d, msg::User + 8);  // behind the refusal
      return 1;
    }
    if (m == msg::User + 8) {
      after = ItemText(d, 101);
      FinishDialog(d, 1);
      return 1;
    }
    return 0;
  });
  EXPECT_EQ(after, "start");
  EXPECT_TRUE(Has(Log(), "box \"Form\" \"Too Long for this Field ... 8 Characters at Most\""));
  EXPECT_EQ(ScriptStatus(), 0);
}

TEST_F(DialogTest, ASelfClosingDialogWaitsForItsTimerUnlessAnAnswerRunsFirst) {
  auto tick = [](Wnd d, Message m, WParam wp, LParam) -> Result {
    if (m == msg::InitDialog) StartTimer(d, 1, ScaledPause(200));
    if (m == msg::Timer) FinishDialog(d, 1);
    if (m == msg::Command && LowWord(wp) == kIdCancel) FinishDialog(d, 0);
    return 0;
  };
  Script("wait\n");
  EXPECT_EQ(ScaledPause(200), 0);
  EXPECT_EQ(RunDialog("TICK", 0, tick), 1);
  EXPECT_FALSE(Has(Log(), "unanswered dialog TICK"));
  EXPECT_EQ(ScriptStatus(), 0);

  Script("answer TICK press cancel\n");
  EXPECT_EQ(RunDialog("TICK", 0, tick), 0);
  EXPECT_EQ(ScriptStatus(), 0);
}

// The window of a dialog without controls is kept for the next one of its template: each use still
// opens as the template gives it, whatever the use before did to its title, size, place or state,
// and is logged as every dialog is.
TEST_F(DialogTest, ABareDialogOpensAsItsTemplateGivesItEveryTime) {
  Script("wait\n");
  Wnd main = MakeRecorded();
  std::vector<std::string> opened;
  for (int use = 0; use < 3; ++use) {
    EXPECT_EQ(RunDialog("TICK", main, [&](Wnd d, Message m, WParam, LParam) -> Result {
                if (m == msg::InitDialog) {
                  const Rect r = ClientRect(d);
                  opened.push_back("'" + Title(d) + "' " + std::to_string(r.Width()) + "x" +
                                   std::to_string(r.Height()) + (IsEnabled(d) ? "" : " disabled"));
                  SetTitle(d, "changed " + std::to_string(use));
                  Move(d, 40, 50, 300, 200);
                  Enable(d, false);
                  StartTimer(d, 1, 0);
                }
                if (m == msg::Timer) FinishDialog(d, 1);
                return 0;
              }),
              1);
  }
  EXPECT_EQ(opened, std::vector<std::string>(3, "'' 1x1"));
  std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "dialog TICK"), 3);
  EXPECT_TRUE(IsEnabled(main));
  EXPECT_EQ(ScriptStatus(), 0);
}

TEST_F(DialogTest, ItemsOfMissingControlsAndDeadDialogsDoNothing) {
  Script("wait\n");
  Wnd d = OpenDialog("STATUS", 0, [](Wnd, Message, WParam, LParam) -> Result { return 0; });
  ASSERT_NE(d, 0u);
  SetItemText(d, 500, "Step 1");
  SetItemText(d, 9999, "nowhere");
  EXPECT_EQ(ItemText(d, 9999), "");
  EXPECT_TRUE(FinishDialog(d, 0));  // a modeless dialog ends by going away
  EXPECT_FALSE(IsAlive(d));
  SetItemText(d, 500, "Step 2");
  CheckItem(d, 500, true);
  ListAdd(d, 500, "x");
  EXPECT_EQ(ItemText(d, 500), "");
  EXPECT_EQ(Item(d, 500), 0u);
  auto log = Log();
  EXPECT_TRUE(Has(log, "dialog STATUS"));
  EXPECT_TRUE(Has(log, "item STATUS 500 \"Step 1\""));
  EXPECT_FALSE(Has(log, "item STATUS 500 \"Step 2\""));
  EXPECT_FALSE(Has(log, "item STATUS 9999 \"nowhere\""));
}

TEST_F(DialogTest, StaticsKeepTheirTextAndShowLineBreaksAndAmpersands) {
  RunDialog("FORM", 0, [](Wnd d, Message m, WParam, LParam) -> Result {
    if (m != msg::InitDialog) return 0;
    EXPECT_EQ(ItemText(d, 112), "B&&W\nsecond &line");
    auto* label = qobject_cast<QLabel*>(WidgetOf(Item(d, 112)));
    EXPECT_EQ(label->text().toStdString(), "B&W\nsecond line");
    SetItemText(d, 3, ">>");  // a button's caption changes at run time
    EXPECT_EQ(ItemText(d, 3), ">>");
    SetItemText(d, 105, "Layer 3 Attributes");
    EXPECT_EQ(ItemText(d, 105), "Layer 3 Attributes");
    SetItemLimit(d, 101, 4);
    SetItemText(d, 101, "ABCDEFG");
    EXPECT_EQ(ItemText(d, 101), "ABCD");
    EXPECT_EQ(ItemText(d, 101, 2), "AB");
    FinishDialog(d, 0);
    return 1;
  });
}

TEST_F(DialogTest, BitmapButtonsTogglesListsAndProgressBars) {
  Script("");
  RunDialog("FORM", 0, [](Wnd d, Message m, WParam, LParam) -> Result {
    if (m != msg::InitDialog) return 0;
    auto* list = qobject_cast<QPushButton*>(WidgetOf(Item(d, 3)));
    SetButtonImage(d, 3, gfx::Surface(16, 15, 0x808080));
    EXPECT_FALSE(list->icon().isNull());
    EXPECT_EQ(list->iconSize(), QSize(16, 15));
    CheckItem(d, 114, true);  // a push-like toggle
    EXPECT_TRUE(IsItemChecked(d, 114));
    CheckItem(d, 103, false);  // the checked radio can be cleared by the program
    EXPECT_FALSE(IsItemChecked(d, 103));
    ListAdd(d, 108, "ONE");
    ListAdd(d, 108, "TWO");
    EXPECT_EQ(ListSelection(d, 108), -1);  // nothing picked yet
    ListSelect(d, 108, 1);
    EXPECT_EQ(ListSelection(d, 108), 1);
    ListColumnWidth(d, 108, 70);
    EXPECT_EQ(qobject_cast<QListWidget*>(WidgetOf(Item(d, 108)))->gridSize().width(), 70);
    ListClear(d, 108);
    EXPECT_EQ(ListCount(d, 108), 0);
    EXPECT_EQ(ListText(d, 108, 0), "");
    SetProgressRange(d, 111, 0, 100);
    SetProgress(d, 111, 150);
    EXPECT_EQ(qobject_cast<QProgressBar*>(WidgetOf(Item(d, 111)))->value(), 100);
    // A percentage set as the item's text moves the bar, held within its range, and is logged.
    for (auto [text, value] : {std::pair{"42", 42}, {" 7", 7}, {"250", 100}, {"-3", 0}, {"", 0}}) {
      SetItemText(d, 111, text);
      EXPECT_EQ(ItemText(d, 111), std::to_string(value)) << text;
    }
    FinishDialog(d, 0);
    return 1;
  });
  EXPECT_TRUE(Has(Log(), "item FORM 111 \"42\""));
}

TEST_F(DialogTest, TheScrollBarReportsEveryCodeAndMovesOnlyWhenTold) {
  std::vector<std::pair<int, int>> codes;
  RunDialog("FORM", 0, [&](Wnd d, Message m, WParam wp, LParam lp) -> Result {
    if (m == msg::InitDialog) {
      SetScrollRange(d, 110, 0, 49);
      SetScrollPage(d, 110, 20);
      SetScrollPos(d, 110, 10);
      Post(d, msg::User + 1);
      return 1;
    }
    if (m == msg::User + 1) {
      auto* bar = qobject_cast<QScrollBar*>(WidgetOf(Item(d, 110)));
      for (auto a : {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                     QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub,
                     QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum})
        bar->triggerAction(a);
      EXPECT_EQ(ScrollPos(d, 110), 10);  // the program moves the box itself
      Post(d, msg::User + 2);
      return 1;
    }
    if (m == msg::VScroll) {
      EXPECT_EQ(ItemId(Wnd(lp)), 110);
      codes.push_back({LowWord(wp), HighWord(wp)});
    }
    if (m == msg::User + 2) {
      SetScrollPos(d, 110, 49);
      EXPECT_EQ(ScrollPos(d, 110), 49);
      FinishDialog(d, 0);
    }
    return 0;
  });
  std::vector<int> only;
  for (auto& c : codes) only.push_back(c.first);
  EXPECT_EQ(only, (std::vector<int>{scroll::LineDown, scroll::LineUp, scroll::PageDown, scroll::PageUp, scroll::Top,
                                    scroll::Bottom}));
}

TEST_F(DialogTest, AnOwnerPaintedAreaHasAPictureAndAsksTheDialogToPaint) {
  int paints = 0;
  RunDialog("FORM", 0, [&](Wnd d, Message m, WParam, LParam) -> Result {
    if (m == msg::InitDialog) {
      gfx::Surface* s = ItemSurface(d, 113);
      EXPECT_NE(s, nullptr);
      if (s) {
        EXPECT_EQ(s->width, 120);
        EXPECT_EQ(s->height, 80);
      }
      EXPECT_EQ(ItemSurface(d, 101), nullptr);
      Validate(d);
      InvalidateItem(d, 113);
      return 1;
    }
    if (m == msg::Paint) {
      ++paints;
      BeginPaint(d);
      gfx::Surface* s = ItemSurface(d, 113);
      std::fill(s->pixels.begin(), s->pixels.end(), 0x00FF00u);
      EndPaint(d);
      FinishDialog(d, 0);
      return 1;
    }
    return 0;
  });
  EXPECT_EQ(paints, 1);
}

TEST_F(DialogTest, AModelessDialogRoutesItsMessagesAndDocksInAMainWindow) {
  Wnd main = MakeRecorded();
  Show(main, show::Normal);
  std::vector<int> panelCommands;
  Wnd panel = OpenPanel("PANEL", main, [&](Wnd, Message m, WParam wp, LParam) -> Result {
    if (m == msg::Command) panelCommands.push_back(LowWord(wp));
    return 0;
  });
  ASSERT_NE(panel, 0u);
  Move(panel, 200, 10, 90, 120);
  EXPECT_EQ(WidgetOf(panel)->parentWidget(), WidgetOf(main));  // docked in the client area
  EXPECT_EQ(WidgetOf(panel)->pos(), QPoint(200, 10));
  qobject_cast<QPushButton*>(WidgetOf(Item(panel, 202)))->click();
  Msg m;
  bool routed = false;
  while (PeekMessage(m)) {
    if (RouteDialogMessage(panel, m)) {
      routed = true;
      continue;
    }
    Dispatch(m);
  }
  EXPECT_TRUE(routed);
  EXPECT_EQ(panelCommands, (std::vector<int>{202}));
  Destroy(main);
  EXPECT_FALSE(IsAlive(panel));  // children go with their window
}

TEST_F(DialogTest, MessageBoxesTakeTheirAnswersAndDefaultToCancel) {
  struct Case {
    BoxButtons buttons;
    const char* answer;  // nullptr: unanswered
    int expected;
  } cases[] = {
      {BoxButtons::Ok, "ok", kIdOk},
      {BoxButtons::Ok, "cancel", kIdOk},
      {BoxButtons::Ok, nullptr, kIdOk},
      {BoxButtons::OkCancel, "ok", kIdOk},
      {BoxButtons::OkCancel, "cancel", kIdCancel},
      {BoxButtons::OkCancel, nullptr, kIdCancel},
      {BoxButtons::YesNo, "yes", kIdYes},
      {BoxButtons::YesNo, "no", kIdNo},
      {BoxButtons::YesNo, nullptr, kIdNo},
      {BoxButtons::YesNoCancel, "no", kIdNo},
      {BoxButtons::YesNoCancel, nullptr, kIdCancel},
  };
  for (const Case& c : cases) {
    ResetForTests();
    Script(c.answer ? std::string("box ") + c.answer + "\n" : "wait\n");
    EXPECT_EQ(ShowBox(0, "Line one\n\n\"Quoted\"", c.answer ? "TLCIN" : nullptr, c.buttons), c.expected)
        << (c.answer ? c.answer : "unanswered");
    auto log = Log();
    if (c.answer) {
      EXPECT_TRUE(Has(log, "box \"TLCIN\" \"Line one\\n\\n\\\"Quoted\\\"\""));
      EXPECT_EQ(ScriptStatus(), 0);
    } else {
      EXPECT_TRUE(Has(log, "box \"\" \"Line one\\n\\n\\\"Quoted\\\"\""));
      EXPECT_TRUE(Has(log, "unanswered box \"Line one\\n\\n\\\"Quoted\\\"\""));
      EXPECT_EQ(ScriptStatus(), 3);
    }
  }
  ResetForTests();
  Script("box yes\n");  // a Yes answer for an OK box cannot be applied
  EXPECT_EQ(ShowBox(0, "x", "y", BoxButtons::Ok), kIdOk);
  EXPECT_EQ(ScriptStatus(), 2);
}

// The programs' Talk shows a question with the buttons it asks for and reads the one pressed: a Yes/No
// question shown as an OK box could not take "box yes" (status 2) and would read its OK as Cancel.
TEST_F(DialogTest, TalkBoxesAskWithTheirOwnButtonsAndGiveThePressedAnswer) {
  using tell::Answer;
  using tell::Buttons;
  struct Case {
    Buttons buttons;
    const char* answer;  // nullptr: unanswered, the box is closed
    Answer expected;
  } cases[] = {
      {Buttons::Ok, "ok", Answer::Ok},
      {Buttons::OkCancel, "ok", Answer::Ok},
      {Buttons::OkCancel, "cancel", Answer::Cancel},
      {Buttons::YesNo, "yes", Answer::Yes},
      {Buttons::YesNo, "no", Answer::No},
      {Buttons::YesNo, nullptr, Answer::No},
      {Buttons::YesNoCancel, "yes", Answer::Yes},
      {Buttons::YesNoCancel, "no", Answer::No},
      {Buttons::YesNoCancel, "cancel", Answer::Cancel},
      {Buttons::YesNoCancel, nullptr, Answer::Cancel},
  };
  for (const Case& c : cases) {
    ResetForTests();
    Script(c.answer ? std::string("box ") + c.answer + "\n" : "wait\n");
    WindowTalk t;
    const std::string what = std::to_string(int(c.buttons)) + " " + (c.answer ? c.answer : "unanswered");
    EXPECT_EQ(t.Box("HPV", "Replace it?", c.buttons), c.expected) << what;
    EXPECT_EQ(ScriptStatus(), c.answer ? 0 : 3) << what;
    EXPECT_TRUE(Has(Log(), "box \"HPV\" \"Replace it?\"")) << what;
  }
}

TEST_F(DialogTest, ABoxDisablesEveryWindowOfTheProgramWhileItIsUp) {
  bool enabledDuringBox = true;
  Wnd main = MakeRecorded(0, [&](Wnd self, Message m, WParam, LParam) -> Result {
    if (m == msg::User + 1) enabledDuringBox = IsEnabled(self);
    return 0;
  });
  Script("box ok\n");
  Post(main, msg::User + 1);  // dispatched by the box's own loop
  EXPECT_EQ(ShowBox(0, "text", nullptr, BoxButtons::Ok), kIdOk);
  EXPECT_FALSE(enabledDuringBox);
  EXPECT_TRUE(IsEnabled(main));
}

TEST_F(DialogTest, AMissingTemplateGivesMinusOne) {
  EXPECT_EQ(RunDialog("NO_SUCH_TEMPLATE", 0, [](Wnd, Message, WParam, LParam) -> Result { return 0; }), -1);
  EXPECT_FALSE(TemplateExists("NO_SUCH_TEMPLATE"));
  EXPECT_TRUE(TemplateExists("form"));  // template names match case-blind
}

}  // namespace
}  // namespace uitest
