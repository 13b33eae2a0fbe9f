// Window table, classes, creation and destruction, geometry, titles, focus, timers and pictures.
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "platform/ui/dialog.h"
#include "platform/ui/internal.h"
#include "platform/ui/placement.h"
#include "platform/ui/program.h"

namespace ui {
namespace detail {

namespace {

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// The Qt window of a top-level window: a menu bar over the client picture.
class TopWidget : public QWidget {
 public:
  explicit TopWidget(Wnd w) : w_(w) {}
  void Layout() {
    Record* r = Find(w_);
    if (!r || !r->canvas) return;
    int menuHeight = 0;
    if (r->menuBar && !r->menuBar->isHidden()) {
      menuHeight = r->menuBar->sizeHint().height();
      r->menuBar->setGeometry(0, 0, width(), menuHeight);
    }
    r->canvas->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
  }

 protected:
  void resizeEvent(QResizeEvent*) override { Layout(); }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    PostInput(w_, msg::Close, 0, 0);
  }
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange && S().ownGeometry == 0) {
      Record* r = Find(w_);
      if (!r) return;
      int state = isMinimized() ? int(size::Minimized) : isMaximized() ? int(size::Maximized) : int(size::Restored);
      if (state != r->sizeState) {
        r->sizeState = state;
        PostInput(w_, msg::Size, WParam(state),
                  state == int(size::Minimized) ? 0 : MakeLParam(r->clientWidth, r->clientHeight));
      }
    }
    QWidget::changeEvent(event);
  }

 private:
  Wnd w_;
};

void FillRect(gfx::Surface& s, const Rect& rect, std::uint32_t colour) {
  ++s.changes;
  int x0 = std::max(0, rect.left), y0 = std::max(0, rect.top);
  int x1 = std::min(s.width, rect.right), y1 = std::min(s.height, rect.bottom);
  for (int y = y0; y < y1; ++y) std::fill(s.Row(y) + x0, s.Row(y) + x1, colour);
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

void RemoveTimers(Wnd w) {
  auto& t = S().timers;
  t.erase(std::remove_if(t.begin(), t.end(), [w](const TimerEntry& e) { return e.wnd == w; }), t.end());
}

}  // namespace

State& S() {
  static State state;
  return state;
}

Record* Find(Wnd w) {
  if (w == 0) return nullptr;
  auto& m = S().windows;
  auto it = m.find(w);
  return it == m.end() || !it->second->alive ? nullptr : it->second.get();
}

std::shared_ptr<Record> Keep(Wnd w) {
  auto& m = S().windows;
  auto it = m.find(w);
  return it == m.end() || !it->second->alive ? nullptr : it->second;
}

Record* TopOf(Wnd w) {
  Record* r = Find(w);
  while (r && (r->kind == Kind::Child || r->kind == Kind::Control ||
               (r->kind == Kind::Dialog && r->dialogKind == DialogKind::Docked)))
    r = Find(r->parent);
  return r;
}

Wnd NewHandle() { return S().nextHandle++; }

Wnd WndOfWidget(const QObject* o) {
  for (; o; o = o->parent()) {
    QVariant v = o->property("_mero_wnd");
    if (v.isValid()) {
      Wnd w = Wnd(v.toUInt());
      if (Find(w)) return w;
    }
  }
  return 0;
}

void ResizeSurface(Record& r, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (r.surface.width == width && r.surface.height == height) return;
  std::uint32_t fill = r.brush == kNoBrush ? 0 : std::uint32_t(r.brush);
  gfx::Surface next(width, height, fill);
  int w = std::min(width, r.surface.width), h = std::min(height, r.surface.height);
  for (int y = 0; y < h; ++y) std::copy(r.surface.Row(y), r.surface.Row(y) + w, next.Row(y));
  r.surface.width = width;
  r.surface.height = height;
  r.surface.pixels.swap(next.pixels);
  ++r.surface.changes;
}

// The client size the program knows follows the widget; Size tells it (sent from our own calls,
// posted when the device resized the window).
void ClientChanged(Record& r, bool send) {
  if (!r.canvas && !r.window) return;
  QWidget* client = r.canvas ? static_cast<QWidget*>(r.canvas.data()) : r.window.data();
  int w = client->width(), h = client->height();
  if (w == r.clientWidth && h == r.clientHeight) return;
  bool first = r.clientWidth < 0;
  r.clientWidth = w;
  r.clientHeight = h;
  if (r.hasSurface) {
    ResizeSurface(r, w, h);
    if (r.classStyle & cls::Redraw || first) Invalidate(r.handle, nullptr, true);
  }
  if (first) return;  // the first Size comes with Show
  if (r.sizeState == int(size::Minimized)) return;
  WParam state = r.sizeState < 0 ? size::Restored : WParam(r.sizeState);
  if (send)
    Call(r.handle, msg::Size, state, MakeLParam(w, h));
  else
    PostInput(r.handle, msg::Size, state, MakeLParam(w, h));
}

void LayoutTop(Record& r) {
  if (r.kind == Kind::Top && r.window) static_cast<TopWidget*>(r.window.data())->Layout();
}

bool HasTimer(Wnd w) {
  for (auto& t : S().timers)
    if (t.wnd == w) return true;
  return false;
}

void MarkAllPictures() {
  // a picture shown as it is needs no new paint
  for (auto& [w, r] : S().windows)
    if (r->alive && r->canvas && r->canvas->isVisible() && r->surface.changes != r->shownChanges &&
        !r->surface.beingDrawn)
      r->canvas->update();
}

}  // namespace detail

using namespace detail;

void DefineClass(const WindowClass& windowClass) { S().classes[Upper(windowClass.name)] = windowClass; }

Wnd MakeWindow(std::string_view className, std::string_view title, unsigned windowStyle, int x, int y, int width,
               int height, Wnd parent, LParam createParam) {
  EnsureApp();
  auto c = S().classes.find(Upper(className));
  if (c == S().classes.end()) return 0;
  bool child = windowStyle & style::Child;
  Record* parentRecord = Find(parent);
  if (child && !parentRecord) return 0;

  auto rec = std::make_shared<Record>();
  rec->handle = NewHandle();
  rec->kind = child ? Kind::Child : Kind::Top;
  rec->proc = c->second.proc;
  rec->classStyle = c->second.style;
  rec->brush = c->second.background;
  rec->style = windowStyle;
  rec->hasSurface = true;
  Wnd h = rec->handle;
  S().windows[h] = rec;
  {
    OwnGeometry own;

    if (child) {
      rec->parent = parent;
      QWidget* host =
          parentRecord->canvas ? static_cast<QWidget*>(parentRecord->canvas.data()) : parentRecord->window.data();
      rec->canvas = new Canvas(host, h, h, nullptr);
      rec->canvas->setGeometry(x, y, std::max(0, width), std::max(0, height));
      rec->window = rec->canvas.data();
    } else {
      rec->owner = parent;
      auto* top = new TopWidget(h);
      Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
      if (windowStyle & style::SysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      if (windowStyle & style::MinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
      if (windowStyle & style::MaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
      top->setWindowFlags(flags);
      top->setProperty("_mero_wnd", uint(h));
      top->setWindowTitle(Q(title));
      rec->window = top;
      rec->canvas = new Canvas(top, h, h, nullptr);
      rec->className = c->second.name;
      const int caption = SystemMetric(Metric::CaptionHeight);
      PlaceWidget(top, {x, y, x + std::max(1, width), y + std::max(caption + 1, height)}, rec->className, caption,
                  parent);
      if (!c->second.menu.empty()) SetMenuBar(h, c->second.menu);
      top->Layout();
      if (S().mainWindow == 0 || !Find(S().mainWindow)) S().mainWindow = h;
    }
    ClientChanged(*rec, true);
  }

  if (Call(h, msg::Create, 0, createParam) == -1) {
    Destroy(h);
    return 0;
  }
  if (!Find(h)) return 0;
  if (windowStyle & style::Visible) Show(h, show::Normal);
  return h;
}

bool Destroy(Wnd w) {
  auto keep = Keep(w);
  if (!keep) return false;
  Record& r = *keep;
  // Owned windows go first, then the window hears Destroy, then its children.
  std::vector<Wnd> owned, children;
  for (auto& [h, o] : S().windows) {
    if (!o->alive || h == w) continue;
    if (o->owner == w) owned.push_back(h);
    if (o->parent == w) children.push_back(h);
  }
  for (Wnd o : owned) Destroy(o);
  if (!Find(w)) return true;
  if (r.window && r.kind != Kind::Control) r.window->hide();
  if (r.kind != Kind::Control) Call(w, msg::Destroy, 0, 0);
  for (Wnd c : children) Destroy(c);
  if (!r.alive) return true;
  r.alive = false;
  r.ended = true;
  RemoveTimers(w);
  if (S().focus == w) S().focus = 0;
  if (S().mainWindow == w) S().mainWindow = 0;
  // Widgets of controls belong to their dialog's widget tree and go with it.
  if (r.kind != Kind::Control && r.window && !(r.kind == Kind::Dialog && KeepBareDialog(r)))
    delete r.window.data();
  S().windows.erase(w);
  return true;
}

bool IsAlive(Wnd w) { return Find(w) != nullptr; }
Wnd MainWindow() { return Find(S().mainWindow) ? S().mainWindow : 0; }

Wnd Parent(Wnd w) {
  Record* r = Find(w);
  if (!r) return 0;
  return r->parent ? r->parent : r->owner;
}

void Show(Wnd w, int how) {
  Record* r = Find(w);
  if (!r || !r->window) return;
  QWidget* win = r->window;
  int before = r->sizeState;
  int state = before;
  OwnGeometry own;
  switch (how) {
    case show::Hide:
      win->hide();
      return;
    case show::Minimized:
      win->showMinimized();
      state = int(size::Minimized);
      break;
    case show::Maximized:
      if (r->kind == Kind::Top) {
        QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        win->setGeometry(avail.x(), avail.y() + SystemMetric(Metric::CaptionHeight), avail.width(),
                         avail.height() - SystemMetric(Metric::CaptionHeight));
        win->showMaximized();
      } else {
        win->show();
      }
      state = int(size::Maximized);
      break;
    default:
      if (r->kind == Kind::Top && (win->isMinimized() || win->isMaximized()))
        win->showNormal();
      else
        win->show();
      state = int(size::Restored);
      break;
  }
  if (r->kind == Kind::Top) {
    static_cast<TopWidget*>(win)->Layout();
    bool stateChanged = state != before;
    r->sizeState = state;
    int before = r->clientWidth, beforeH = r->clientHeight;
    ClientChanged(*r, true);
    bool sizeChanged = before != r->clientWidth || beforeH != r->clientHeight;
    if (Find(w) && stateChanged && !sizeChanged) {
      Call(w, msg::Size, WParam(state),
           state == int(size::Minimized) ? 0 : MakeLParam(r->clientWidth, r->clientHeight));
    }
  }
}

void Move(Wnd w, int x, int y, int width, int height) {
  Record* r = Find(w);
  if (!r) return;
  width = std::max(0, width);
  height = std::max(0, height);
  OwnGeometry own;
  if (r->kind == Kind::Top) {
    int caption = SystemMetric(Metric::CaptionHeight);
    PlaceWidget(r->window, {x, y, x + std::max(1, width), y + std::max(caption + 1, height)}, r->className, caption,
                r->owner);
    static_cast<TopWidget*>(r->window.data())->Layout();
    ClientChanged(*r, true);
  } else if (r->kind == Kind::Control) {
    Record* d = Find(r->parent);
    if (r->control && d) MoveItem(d->handle, r->id, x, y, width, height);
  } else if (r->kind == Kind::Dialog && r->dialogKind != DialogKind::Docked && r->window) {
    // a dialog only resized where it was made (its corner as WindowRect gives it) still counts as
    // left in its place
    const QPoint corner = r->window->pos();
    if (QPoint(x, y) == r->window->mapToGlobal(QPoint(0, 0))) x = corner.x(), y = corner.y();
    const bool resized = corner == QPoint(x, y) && r->placedAt == QPoint(x, y);
    PlaceWidget(r->window, {x, y, x + width, y + height}, r->templateName, 0, r->owner);
    if (resized) r->placedAt = r->window->pos();
    ClientChanged(*r, true);
  } else if (r->window) {
    r->window->setGeometry(x, y, width, height);
    ClientChanged(*r, true);
  }
}

Rect ClientRect(Wnd w) {
  Record* r = Find(w);
  if (!r) return {};
  if (r->kind == Kind::Control && r->control) return {0, 0, r->control->width(), r->control->height()};
  if (r->clientWidth >= 0) return {0, 0, r->clientWidth, r->clientHeight};
  if (r->window) return {0, 0, r->window->width(), r->window->height()};
  return {};
}

Rect WindowRect(Wnd w) {
  Record* r = Find(w);
  if (!r) return {};
  QWidget* widget = r->kind == Kind::Control ? r->control.data() : r->window.data();
  if (!widget) return {};
  QPoint p = widget->mapToGlobal(QPoint(0, 0));
  if (r->kind == Kind::Top) {
    int caption = SystemMetric(Metric::CaptionHeight);
    return {p.x(), p.y() - caption, p.x() + widget->width(), p.y() + widget->height()};
  }
  return {p.x(), p.y(), p.x() + widget->width(), p.y() + widget->height()};
}

void BringToTop(Wnd w) {
  Record* r = Find(w);
  if (r && r->window) r->window->raise();
}

void SetTitle(Wnd w, std::string_view text) {
  Record* r = Find(w);
  if (!r) return;
  if (r->kind == Kind::Control) {
    Record* d = Find(r->parent);
    if (d) SetItemText(d->handle, r->id, text);
    return;
  }
  if (!r->window) return;
  const QString title = Q(text);
  const bool same = r->window->windowTitle() == title;
  r->window->setWindowTitle(title);
  if (r->kind == Kind::Top) LogLine("title " + QuoteForLog(text));
  // A title changed in the middle of a long job must reach the display now.
  if (!same) Pump();
}

std::string Title(Wnd w) {
  Record* r = Find(w);
  if (!r) return {};
  if (r->kind == Kind::Control) {
    Record* d = Find(r->parent);
    return d ? ItemText(d->handle, r->id) : std::string();
  }
  return r->window ? B(r->window->windowTitle()) : std::string();
}

Wnd Focus(Wnd w) {
  Wnd previous = S().focus;
  Record* r = Find(w);
  if (!r) return previous;
  QWidget* widget = r->kind == Kind::Control ? r->control.data()
                    : r->canvas              ? static_cast<QWidget*>(r->canvas.data())
                                             : r->window.data();
  S().focus = w;  // first, so the device's own focus event finds it done
  if (widget) widget->setFocus(Qt::OtherFocusReason);
  if (previous == w) return previous;
  if (Find(previous)) Call(previous, msg::KillFocus, w, 0);
  if (Find(w)) Call(w, msg::SetFocus, previous, 0);
  return previous;
}

Wnd Focused() { return Find(S().focus) ? S().focus : 0; }

bool IsForeground(Wnd w) {
  Record* top = TopOf(w);
  if (!top || !S().modals.empty() || !top->enabled) return false;
  if (IsScripted()) return true;
  return top->window && top->window->isActiveWindow();
}

void Enable(Wnd w, bool enable) {
  Record* r = Find(w);
  if (!r) return;
  r->enabled = enable;
  QWidget* widget = r->kind == Kind::Control ? r->control.data() : r->window.data();
  if (widget) widget->setEnabled(enable);
}

bool IsEnabled(Wnd w) {
  Record* r = Find(w);
  return r && r->enabled;
}

void StartTimer(Wnd w, WParam id, int milliseconds) {
  if (!Find(w)) return;
  milliseconds = std::max(0, milliseconds);
  for (auto& t : S().timers)
    if (t.wnd == w && t.id == id) {
      t.interval = milliseconds;
      t.due = NowMs() + std::uint64_t(milliseconds);
      return;
    }
  S().timers.push_back({w, id, milliseconds, NowMs() + std::uint64_t(milliseconds)});
}

void StopTimer(Wnd w, WParam id) {
  auto& t = S().timers;
  t.erase(std::remove_if(t.begin(), t.end(), [&](const TimerEntry& e) { return e.wnd == w && e.id == id; }), t.end());
}

void Invalidate(Wnd w, const Rect* rect, bool erase) {
  Record* r = Find(w);
  if (!r) return;
  if (r->kind == Kind::Control) {  // an owner-painted area is painted by its dialog
    r = Find(r->parent);
    if (!r) return;
    rect = nullptr;
  }
  // whatever its pixels were written by, the window and its areas are shown again
  r->shownChanges = kUnshown;
  for (Wnd a : r->areas)
    if (Record* area = Find(a)) area->shownChanges = kUnshown;
  Rect all = ClientRect(r->handle);
  Rect add = rect ? *rect : all;
  add = {std::max(add.left, 0), std::max(add.top, 0), std::min(add.right, all.right), std::min(add.bottom, all.bottom)};
  if (add.IsEmpty() && r->kind != Kind::Dialog) return;
  r->update = r->invalid ? Union(r->update, add) : add;
  r->invalid = true;
  r->eraseOnPaint = r->eraseOnPaint || erase;
}

void Validate(Wnd w) {
  Record* r = Find(w);
  if (!r) return;
  r->invalid = false;
  r->eraseOnPaint = false;
  r->update = {};
}

PaintInfo BeginPaint(Wnd w) {
  PaintInfo info;
  Record* r = Find(w);
  if (!r || !r->invalid) return info;
  info.rect = r->update;
  if (r->eraseOnPaint && r->hasSurface && r->brush != kNoBrush) {
    FillRect(r->surface, r->update, std::uint32_t(r->brush));
    info.erased = true;
  }
  Validate(w);
  return info;
}

void EndPaint(Wnd w) { ShowNow(w); }

void UpdateNow(Wnd w) {
  Record* r = Find(w);
  if (r && r->invalid) Call(w, msg::Paint, 0, 0);
}

gfx::Surface* WindowSurface(Wnd w) {
  Record* r = Find(w);
  return r && r->hasSurface ? &r->surface : nullptr;
}

void ShowNow(Wnd w) {
  Record* r = Find(w);
  if (!r) return;
  if (r->canvas) r->canvas->update();
  for (Wnd a : r->areas)
    if (Record* area = Find(a); area && area->canvas) area->canvas->update();
  Pump();
}

gfx::Surface GrabFromScreen(Wnd w) {
  Record* r = Find(w);
  if (!r || !r->canvas) return {};
  QWidget* c = r->canvas;
  ScreenPictures shown;
  for (int i = 0; i < 400; ++i) {  // a real display maps the window a little later
    QWindow* window = c->window()->windowHandle();
    if (window && window->isExposed()) break;
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // what the display shows: the paints asked for are made, none is forced
  Pump();
  QGuiApplication::sync();
  QScreen* screen = c->screen();
  if (!screen) return {};
  QPoint at = c->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
  QImage image =
      screen->grabWindow(0, at.x(), at.y(), c->width(), c->height()).toImage().convertToFormat(QImage::Format_RGB32);
  gfx::Surface shot(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) shot.Row(y)[x] = row[x] & 0x00FFFFFFu;
  }
  return shot;
}

int ShowPointer(bool show) {
  int& count = S().pointerCount;
  count += show ? 1 : -1;
  for (auto& [h, r] : S().windows)
    if (r->alive && r->canvas && r->kind != Kind::Control)
      r->canvas->setCursor(count >= 0 ? Qt::ArrowCursor : Qt::BlankCursor);
  return count;
}

int SystemMetric(Metric m) {
  EnsureApp();
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect full = screen ? screen->geometry() : QRect(0, 0, 800, 600);
  QRect avail = screen ? screen->availableGeometry() : full;
  // Fixed frame metrics: a tall title bar of some desktops must not make the programs warn.
  constexpr int kCaption = 19;
  constexpr int kMenu = 19;
  constexpr int kMenuButton = 18;
  switch (m) {
    case Metric::ScreenWidth:
      return full.width();
    case Metric::ScreenHeight:
      return full.height();
    case Metric::FullScreenWidth:
      return avail.width();
    case Metric::FullScreenHeight:
      return avail.height() - kCaption;
    case Metric::CaptionHeight:
      return kCaption;
    case Metric::MenuHeight:
      return kMenu;
    case Metric::MenuButtonWidth:
      return kMenuButton;
    case Metric::MenuButtonHeight:
      return kMenuButton;
  }
  return 0;
}

}  // namespace ui
