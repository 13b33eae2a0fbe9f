// Message order and window behaviour: creation inside the create call, nested sends, the FIFO queue,
// paint only when idle, coalesced mouse moves, double clicks, keys, sizes, timers, destruction inside
// a dispatch.
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/ui/keys.h"
#include "platform/ui/menu.h"
#include "platform/ui/tests/fixture.h"

namespace uitest {
namespace {

using namespace ui;

constexpr Message kUser1 = msg::User + 1;
constexpr Message kUser2 = msg::User + 2;
constexpr Message kUser3 = msg::User + 3;

TEST_F(UiTest, CreateRunsInsideTheCreateCallAndItsPostsWait) {
  bool createdBeforeReturn = false;
  Wnd w = MakeRecorded(0, [&](Wnd self, Message m, WParam, LParam) -> Result {
    if (m == msg::Create) {
      createdBeforeReturn = true;
      Post(self, kUser1);
      EXPECT_EQ(ClientRect(self).Width(), 320);  // the client size is known during Create
    }
    return 0;
  });
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(createdBeforeReturn);
  EXPECT_EQ(Messages(w, {msg::Create, kUser1}), (std::vector<Message>{msg::Create}));
  Drain();
  EXPECT_EQ(Messages(w, {msg::Create, kUser1}), (std::vector<Message>{msg::Create, kUser1}));
  EXPECT_EQ(MainWindow(), w);
}

TEST_F(UiTest, CreateAnsweringMinusOneRefusesTheWindow) {
  Wnd w = MakeRecorded(0, [](Wnd, Message m, WParam, LParam) -> Result { return m == msg::Create ? -1 : 0; });
  EXPECT_EQ(w, 0u);
  EXPECT_EQ(Messages(seen.empty() ? 0 : seen.front().wnd, {msg::Destroy}).size(), 1u);
}

TEST_F(UiTest, SendsNestAndPostsRunInOrderAfterwards) {
  std::vector<std::string> trace;
  Wnd w = MakeRecorded(0, [&](Wnd self, Message m, WParam wp, LParam) -> Result {
    if (m == kUser1) {
      trace.push_back("enter1");
      Post(self, kUser3, 1);
      EXPECT_EQ(Send(self, kUser2, 5), 50);
      Post(self, kUser3, 2);
      trace.push_back("leave1");
      return 1;
    }
    if (m == kUser2) {
      trace.push_back("in2");
      return Result(wp * 10);
    }
    if (m == kUser3) trace.push_back("post" + std::to_string(wp));
    return 0;
  });
  Send(w, kUser1);
  EXPECT_EQ(trace, (std::vector<std::string>{"enter1", "in2", "leave1"}));
  Drain();
  EXPECT_EQ(trace, (std::vector<std::string>{"enter1", "in2", "leave1", "post1", "post2"}));
}

TEST_F(UiTest, PaintComesOnlyWhenTheQueueIsEmpty) {
  Wnd w = MakeRecorded();
  Show(w, show::Normal);
  Drain();
  seen.clear();
  Invalidate(w, nullptr, true);
  Post(w, kUser1);
  Post(w, kUser2);
  Drain();
  EXPECT_EQ(Messages(w, {kUser1, kUser2, msg::Paint}), (std::vector<Message>{kUser1, kUser2, msg::Paint}));
  // Validated by the default procedure: no second paint.
  seen.clear();
  Drain();
  EXPECT_TRUE(Messages(w, {msg::Paint}).empty());
}

TEST_F(UiTest, BeginPaintErasesTheUpdateRegionWithTheClassBrush) {
  Wnd w = MakeRecorded();
  gfx::Surface* s = WindowSurface(w);
  ASSERT_NE(s, nullptr);
  std::fill(s->pixels.begin(), s->pixels.end(), 0x123456u);
  Validate(w);
  Rect r{10, 10, 20, 20};
  Invalidate(w, &r, true);
  PaintInfo p = BeginPaint(w);
  EndPaint(w);
  EXPECT_TRUE(p.erased);
  EXPECT_EQ(p.rect.left, 10);
  EXPECT_EQ(s->Row(10)[10], 0x000000u);  // inside: class brush
  EXPECT_EQ(s->Row(19)[19], 0x000000u);
  EXPECT_EQ(s->Row(20)[20], 0x123456u);  // right and bottom are outside
  EXPECT_EQ(s->Row(9)[9], 0x123456u);
  // Invalidated without erase, or nothing invalid: the picture stays.
  Invalidate(w, &r, false);
  s->Row(12)[12] = 0xABCDEF;
  EXPECT_FALSE(BeginPaint(w).erased);
  EXPECT_EQ(s->Row(12)[12], 0xABCDEFu);
  EXPECT_TRUE(BeginPaint(w).rect.IsEmpty());
}

TEST_F(UiTest, MouseMovesFromTheDeviceAreCoalescedAndClicksKeepTheirOrder) {
  Wnd w = MakeRecorded();
  Show(w, show::Normal);
  Drain();
  seen.clear();
  QWidget* canvas = WidgetOf(w);
  ASSERT_NE(canvas, nullptr);
  auto move = [&](int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), canvas->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &e);
  };
  move(1, 1);
  move(2, 2);
  move(3, 3);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 5), canvas->mapToGlobal(QPointF(4, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::ControlModifier);
  QCoreApplication::sendEvent(canvas, &press);
  move(6, 6);
  Drain();
  std::vector<Seen> mouse;
  for (const Seen& s : seen)
    if (s.message == msg::MouseMove || s.message == msg::LButtonDown) mouse.push_back(s);
  ASSERT_EQ(mouse.size(), 3u);
  EXPECT_EQ(mouse[0].message, msg::MouseMove);
  EXPECT_EQ(LParamX(mouse[0].lParam), 3);
  EXPECT_EQ(mouse[1].message, msg::LButtonDown);
  EXPECT_EQ(LParamX(mouse[1].lParam), 4);
  EXPECT_EQ(LParamY(mouse[1].lParam), 5);
  EXPECT_EQ(mouse[1].wParam, mouse::Left | mouse::Control);
  EXPECT_EQ(LParamX(mouse[2].lParam), 6);
}

TEST_F(UiTest, ASecondClickIsADoubleClickOnlyForClassesThatAskForIt) {
  for (unsigned style : {0u, unsigned(cls::DoubleClicks)}) {
    ResetForTests();
    seen.clear();
    Wnd w = MakeRecorded(style);
    Show(w, show::Normal);
    Drain();
    QWidget* canvas = WidgetOf(w);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(7, 8), canvas->mapToGlobal(QPointF(7, 8)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &dbl);
    Drain();
    Message expected = style ? msg::LButtonDblClk : msg::LButtonDown;
    EXPECT_EQ(Messages(w, {msg::LButtonDown, msg::LButtonDblClk}), (std::vector<Message>{expected})) << style;
  }
}

TEST_F(UiTest, KeysMakeCharactersAndAcceleratorsTakeTheirKeysFirst) {
  AcceleratorTable table;
  table.entries = {{'H', mod::Alt, 10},
                   {'C', mod::Alt, 15},
                   {'C', mod::Alt | mod::Control, 15},
                   {key::F(2), 0, 1400},
                   {'H', mod::Alt, 99}};
  std::vector<int> commands;
  std::vector<WParam> chars;
  Wnd w = MakeRecorded(0, [&](Wnd, Message m, WParam wp, LParam) -> Result {
    if (m == msg::Command) commands.push_back(LowWord(wp));
    if (m == msg::Char) chars.push_back(wp);
    return 0;
  });
  SetMenuBar(w, {{10, "&Help"}, {11, "&Read"}, {0, ""}, {13, "S&ys"}, {14, "B&&W"}});
  Show(w, show::Normal);
  Focus(w);
  Drain();
  QWidget* canvas = WidgetOf(w);
  auto press = [&](int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(canvas, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(canvas, &up);
  };
  press(Qt::Key_H, Qt::AltModifier);                       // accelerator, first entry wins
  press(Qt::Key_C, Qt::AltModifier | Qt::KeypadModifier);  // num-pad state never counts
  press(Qt::Key_F2, Qt::NoModifier);
  press(Qt::Key_R, Qt::AltModifier);  // menu mnemonic, not an accelerator
  press(Qt::Key_Y, Qt::AltModifier);
  press(Qt::Key_W, Qt::AltModifier);  // "&&" is no mnemonic
  press(Qt::Key_A, Qt::ControlModifier);
  press(Qt::Key_Return, Qt::NoModifier, "\r");
  press(Qt::Key_Escape, Qt::NoModifier, "\x1b");
  press(Qt::Key_Z, Qt::ShiftModifier, "Z");
  Msg m;
  while (PeekMessage(m)) {
    if (ApplyAccelerators(w, table, m)) continue;
    TranslateKeys(m);
    Dispatch(m);
  }
  EXPECT_EQ(commands, (std::vector<int>{10, 15, 1400, 11, 13}));
  EXPECT_EQ(chars, (std::vector<WParam>{1, 13, 27, 'Z'}));
}

TEST_F(UiTest, ShowAndMoveSendSizeAtOnce) {
  std::vector<std::pair<WParam, LParam>> sizes;
  Wnd w = MakeRecorded(cls::Redraw, [&](Wnd, Message m, WParam wp, LParam lp) -> Result {
    if (m == msg::Size) sizes.push_back({wp, lp});
    return 0;
  });
  Show(w, show::Maximized);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].first, size::Maximized);
  EXPECT_EQ(LParamX(sizes[0].second), SystemMetric(Metric::FullScreenWidth));
  EXPECT_EQ(WindowSurface(w)->width, LParamX(sizes[0].second));
  Move(w, 0, 0, 200, 150);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(ClientRect(w).Width(), 200);
  EXPECT_EQ(WindowSurface(w)->height, ClientRect(w).Height());
  Show(w, show::Minimized);
  ASSERT_GE(sizes.size(), 3u);
  EXPECT_EQ(sizes[2].first, size::Minimized);
}

TEST_F(UiTest, AWindowMayBeDestroyedInsideItsOwnDispatch) {
  int afterDestroy = 0;
  Wnd w = MakeRecorded(0, [&](Wnd self, Message m, WParam, LParam) -> Result {
    if (m == kUser1) {
      Destroy(self);
      afterDestroy = IsAlive(self) ? 1 : 2;
      Post(self, kUser2);  // to a dead window: refused
    }
    return 0;
  });
  Post(w, kUser1);
  Post(w, kUser3);
  Drain();
  EXPECT_EQ(afterDestroy, 2);
  EXPECT_EQ(Messages(w, {kUser1, msg::Destroy, kUser2, kUser3}), (std::vector<Message>{kUser1, msg::Destroy}));
  // Every call on the dead handle does nothing.
  SetTitle(w, "x");
  Invalidate(w, nullptr, true);
  EXPECT_EQ(WindowSurface(w), nullptr);
  EXPECT_EQ(Send(w, kUser1), 0);
}

TEST_F(UiTest, CloseDestroysUnlessTheProcedureKeepsTheWindow) {
  bool keep = true;
  Wnd w = MakeRecorded(0, [&](Wnd, Message m, WParam, LParam) -> Result { return m == msg::Close && keep ? 1 : 0; });
  Post(w, msg::Close);
  Drain();
  EXPECT_TRUE(IsAlive(w));
  keep = false;
  Post(w, msg::Close);
  Drain();
  EXPECT_FALSE(IsAlive(w));
}

TEST_F(UiTest, TimersComeWhenNothingElseWaitsAndStopWhenStopped) {
  int ticks = 0;
  Wnd w = MakeRecorded(0, [&](Wnd self, Message m, WParam wp, LParam) -> Result {
    if (m == msg::Timer && wp == 7 && ++ticks == 3) StopTimer(self, 7);
    return 0;
  });
  StartTimer(w, 7, 0);
  Post(w, kUser1);
  Msg m;
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.message, kUser1);  // posted messages go before a due timer
  for (int i = 0; i < 10 && PeekMessage(m); ++i) Dispatch(m);
  EXPECT_EQ(ticks, 3);
}

TEST_F(UiTest, QuitEndsTheLoopWithItsCode) {
  Wnd w = MakeRecorded(0, [](Wnd, Message m, WParam, LParam) -> Result {
    if (m == msg::Destroy) PostQuit(5);
    return 0;
  });
  Post(w, msg::Close);
  EXPECT_EQ(RunMessageLoop(w, nullptr), 5);
}

TEST_F(UiTest, FocusSendsKillAndSetFocusAtOnce) {
  Wnd a = MakeRecorded();
  Wnd b = MakeRecorded();
  Focus(a);
  seen.clear();
  EXPECT_EQ(Focus(b), a);
  EXPECT_EQ(Focused(), b);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].wnd, a);
  EXPECT_EQ(seen[0].message, msg::KillFocus);
  EXPECT_EQ(seen[1].wnd, b);
  EXPECT_EQ(seen[1].message, msg::SetFocus);
}

TEST_F(UiTest, ThePointerCountHidesBelowZero) {
  EXPECT_EQ(ShowPointer(false), -1);
  EXPECT_EQ(ShowPointer(false), -2);
  EXPECT_EQ(ShowPointer(true), -1);
  EXPECT_EQ(ShowPointer(true), 0);
}

}  // namespace
}  // namespace uitest
