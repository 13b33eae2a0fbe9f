// The queue, the message loop, the modal loop and dispatching.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "platform/ui/dialog.h"
#include "platform/ui/internal.h"
#include "platform/ui/keys.h"
#include "platform/ui/menu.h"
#include "platform/ui/program.h"

namespace ui {
namespace detail {

namespace {

std::uint64_t lastPump = 0;

bool MakePaint(Msg& m) {
  for (auto& [h, r] : S().windows) {
    if (!r->alive || !r->invalid) continue;
    if (!r->window || !r->window->isVisible()) continue;
    m = Msg{h, msg::Paint, 0, 0, std::uint32_t(NowMs()), 0};
    return true;
  }
  return false;
}

bool MakeTimer(Msg& m) {
  std::uint64_t now = NowMs();
  TimerEntry* best = nullptr;
  for (auto& t : S().timers)
    if (t.due <= now && (!best || t.due < best->due)) best = &t;
  if (!best || !Find(best->wnd)) return false;
  best->due = now + std::uint64_t(best->interval);
  m = Msg{best->wnd, msg::Timer, best->id, 0, std::uint32_t(now), 0};
  return true;
}

// Blocks until the device has something, or the next timer is due.
void Wait() {
  static QTimer* waker = nullptr;
  if (!waker) {
    waker = new QTimer;
    waker->setSingleShot(true);
  }
  std::uint64_t now = NowMs();
  bool timed = false;
  std::uint64_t next = 0;
  for (auto& t : S().timers)
    if (!timed || t.due < next) {
      next = t.due;
      timed = true;
    }
  if (timed) waker->start(int(std::min<std::uint64_t>(next > now ? next - now : 0, 60000)));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  waker->stop();
  lastPump = NowMs();
}

void PostMsg(const Msg& m, bool coalesce) {
  auto& q = S().queue;
  if (coalesce && !q.empty() && q.back().wnd == m.wnd && q.back().message == m.message) {
    q.back() = m;
    return;
  }
  q.push_back(m);
}

}  // namespace

std::uint64_t NowMs() {
  using namespace std::chrono;
  return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Pump() {
  if (!QCoreApplication::instance()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  lastPump = NowMs();
}

void PumpSoon() {
  if (NowMs() - lastPump >= 10) Pump();
}

void PostInput(Wnd w, Message m, WParam wParam, LParam lParam) {
  if (!Find(w)) return;
  PostMsg(Msg{w, m, wParam, lParam, std::uint32_t(NowMs()), 0}, m == msg::MouseMove || m == msg::SetCursor);
}

void PostCommand(Wnd dialog, int id, int code, Wnd control) {
  PostInput(dialog, msg::Command, MakeWParam(id, code), LParam(control));
}

void PostKey(Wnd w, Message m, int k, unsigned modifiers, std::uint32_t ch) {
  if (!Find(w)) return;
  PostMsg(Msg{w, m, WParam(k), LParam(modifiers), std::uint32_t(NowMs()), ch}, false);
}

Result Call(Wnd w, Message m, WParam wParam, LParam lParam) {
  auto keep = Keep(w);
  if (!keep) return 0;
  Record& r = *keep;
  if (r.kind == Kind::Control) return 0;
  if (r.kind == Kind::Dialog) {
    if (m == kFieldRefused) {
      RefuseLongText(w, int(wParam));
      return 1;
    }
    Result res = r.proc ? r.proc(w, m, wParam, lParam) : 0;
    if (res == 0 && r.alive) {
      if (m == msg::Close)
        Call(w, msg::Command, MakeWParam(kIdCancel, notify::Clicked), LParam(ui::Item(w, kIdCancel)));
      else if (m == msg::Paint)
        Validate(w);
    }
    return res;
  }
  if (r.proc) return r.proc(w, m, wParam, lParam);
  return DefaultProc(w, m, wParam, lParam);
}

bool TakeNext(Msg& m, bool wait) {
  for (;;) {
    auto& q = S().queue;
    if (q.empty() || NowMs() - lastPump >= 10) Pump();
    if (!q.empty()) {
      m = q.front();
      q.pop_front();
      if (m.message == msg::KeyUp || m.message == msg::SysKeyUp) {
        auto& rel = S().scriptReleases;
        auto it = std::find(rel.begin(), rel.end(), int(m.wParam));
        if (it != rel.end()) {
          rel.erase(it);
          if (m.wParam < WParam(key::Count)) keyTable[m.wParam] = 0;
        }
      }
      return true;
    }
    if (S().quitPending) {
      S().quitPending = false;
      m = Msg{0, msg::Quit, WParam(S().quitCode), 0, std::uint32_t(NowMs()), 0};
      return true;
    }
    if (MakePaint(m)) return true;
    if (DriverAnswerStep()) continue;
    // A modal loop whose end came without a message (a box's button) must get control back.
    if (!S().modals.empty() && S().modals.back()->ended) {
      m = Msg{};
      return true;
    }

    if (MakeTimer(m)) return true;
    if (DriverIdleStep()) continue;
    if (!wait) return false;
    Wait();
  }
}

void RunModal(ModalFrame& frame) {
  auto& stack = S().modals;
  if (std::find(stack.begin(), stack.end(), &frame) == stack.end()) stack.push_back(&frame);
  while (!frame.ended) {
    if (frame.dialog && !Find(frame.dialog)) {
      frame.ended = true;
      break;
    }
    Msg m;
    TakeNext(m, true);
    if (m.message == msg::Quit) {
      // The outer loop must still see the Quit.
      S().quitPending = true;
      S().quitCode = int(m.wParam);
      if (frame.forceEnd) frame.forceEnd();
      frame.ended = true;
      break;
    }
    if (frame.dialog && RouteDialogMessage(frame.dialog, m)) continue;
    TranslateKeys(m);
    Dispatch(m);
  }
  auto& modals = S().modals;
  modals.erase(std::remove(modals.begin(), modals.end(), &frame), modals.end());
  DriverFrameEnded(frame);
}

void RefreshInput() {
  pollBudget = 256;
  if (!QCoreApplication::instance()) return;
  if (NowMs() - lastPump < 20) return;
  MarkAllPictures();
  Pump();
}

}  // namespace detail

using namespace detail;

Result Send(Wnd w, Message m, WParam wParam, LParam lParam) { return Call(w, m, wParam, lParam); }

bool Post(Wnd w, Message m, WParam wParam, LParam lParam) {
  if (w != 0 && !Find(w)) return false;
  S().queue.push_back(Msg{w, m, wParam, lParam, std::uint32_t(NowMs()), 0});
  return true;
}

void PostQuit(int code) {
  S().quitPending = true;
  S().quitCode = code;
}

bool NextMessage(Msg& m) {
  EnsureApp();
  TakeNext(m, true);
  if (m.message != msg::Quit) return true;
  if (ScriptStatus() != 0) m.wParam = WParam(ScriptStatus());
  return false;
}

bool PeekMessage(Msg& m) {
  EnsureApp();
  return TakeNext(m, false);
}

void TranslateKeys(const Msg& m) {
  if ((m.message != msg::KeyDown && m.message != msg::SysKeyDown) || m.charCode == 0) return;
  Message c = m.message == msg::KeyDown ? msg::Char : msg::SysChar;
  S().queue.push_front(Msg{m.wnd, c, WParam(m.charCode), m.lParam, m.time, 0});
}

Result Dispatch(const Msg& m) {
  if (m.message == msg::Quit) return 0;
  Result r = Call(m.wnd, m.message, m.wParam, m.lParam);
  MarkAllPictures();
  return r;
}

Result DefaultProc(Wnd w, Message m, WParam wParam, LParam) {
  switch (m) {
    case msg::Close:
      Destroy(w);
      return 0;
    case msg::Paint:
      Validate(w);
      return 0;
    case msg::SysChar: {
      Record* top = TopOf(w);
      if (!top) return 0;
      int id = MenuMnemonic(top->handle, char(wParam));
      if (id) Post(top->handle, msg::Command, MakeWParam(id, notify::Clicked), 0);
      return 0;
    }
    default:
      return 0;
  }
}

int RunMessageLoop(Wnd main, const AcceleratorTable* accelerators, const Wnd* dialog) {
  Msg m;
  while (NextMessage(m)) {
    if (dialog && *dialog && RouteDialogMessage(*dialog, m)) continue;
    if (accelerators && ApplyAccelerators(main, *accelerators, m)) continue;
    TranslateKeys(m);
    Dispatch(m);
  }
  return int(m.wParam);
}

bool TakeKeyPress(int k) {
  Pump();
  auto& q = S().queue;
  for (auto it = q.begin(); it != q.end(); ++it)
    if ((it->message == msg::KeyDown || it->message == msg::SysKeyDown) && int(it->wParam) == k) {
      q.erase(it);
      return true;
    }
  return false;
}

}  // namespace ui
