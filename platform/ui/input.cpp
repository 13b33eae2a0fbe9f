// The device's input turned into queued messages, the key table, and the picture widget.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/ui/internal.h"
#include "platform/ui/keys.h"

namespace ui {
namespace detail {

int KeyFromQt(int q) {
  if (q >= Qt::Key_A && q <= Qt::Key_Z) return 'A' + (q - Qt::Key_A);
  if (q >= Qt::Key_0 && q <= Qt::Key_9) return '0' + (q - Qt::Key_0);
  if (q >= Qt::Key_F1 && q <= Qt::Key_F12) return key::F1 + (q - Qt::Key_F1);
  switch (q) {
    case Qt::Key_Escape:
      return key::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return key::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return key::Tab;
    case Qt::Key_Backspace:
      return key::Backspace;
    case Qt::Key_Space:
      return key::Space;
    case Qt::Key_Shift:
      return key::Shift;
    case Qt::Key_Control:
      return key::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return key::Alt;
    case Qt::Key_Left:
      return key::Left;
    case Qt::Key_Up:
      return key::Up;
    case Qt::Key_Right:
      return key::Right;
    case Qt::Key_Down:
      return key::Down;
    case Qt::Key_PageUp:
      return key::PageUp;
    case Qt::Key_PageDown:
      return key::PageDown;
    case Qt::Key_Home:
      return key::Home;
    case Qt::Key_End:
      return key::End;
    case Qt::Key_Insert:
      return key::Insert;
    case Qt::Key_Delete:
      return key::Delete;
    default:
      return 0;
  }
}

unsigned ModifiersFromQt(Qt::KeyboardModifiers m) {
  unsigned r = 0;
  if (m & Qt::ShiftModifier) r |= mod::Shift;
  if (m & Qt::ControlModifier) r |= mod::Control;
  if (m & Qt::AltModifier) r |= mod::Alt;
  return r;
}

namespace {

void SyncModifiers(Qt::KeyboardModifiers m) {
  keyTable[key::Shift] = (m & Qt::ShiftModifier) ? 1 : 0;
  keyTable[key::Control] = (m & Qt::ControlModifier) ? 1 : 0;
  keyTable[key::Alt] = (m & Qt::AltModifier) ? 1 : 0;
}

// Every key event reaches the Qt window object once before any widget: the key table is kept there,
// whatever widget (ours or a Qt box) the key goes to.
class InputFilter : public QObject {
 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        if (o->isWindowType()) {
          auto* k = static_cast<QKeyEvent*>(e);
          int code = KeyFromQt(k->key());
          bool down = e->type() == QEvent::KeyPress;
          if (!down && k->isAutoRepeat()) break;
          if (code) keyTable[code] = down ? 1 : 0;
          if (code != key::Shift && code != key::Control && code != key::Alt) SyncModifiers(k->modifiers());
        }
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        if (o->isWindowType()) SyncModifiers(static_cast<QMouseEvent*>(e)->modifiers());
        break;
      case QEvent::ShortcutOverride: {
        // Keys in our own windows are the program's: no Qt shortcut may take them.
        if (dynamic_cast<Canvas*>(o)) {
          e->accept();
          return true;
        }
        break;
      }
      case QEvent::ApplicationDeactivate:
        ReleaseAllKeys();
        break;
      default:
        break;
    }
    return false;
  }
};

}  // namespace

void InstallInputFilter() {
  static InputFilter* filter = nullptr;
  if (filter || !QCoreApplication::instance()) return;
  filter = new InputFilter;
  QCoreApplication::instance()->installEventFilter(filter);
}

std::uint32_t CharFor(int k, unsigned modifiers, std::uint32_t typed) {
  bool letter = k >= 'A' && k <= 'Z';
  if (modifiers & mod::Control) return letter ? std::uint32_t(k - 'A' + 1) : 0;
  switch (k) {
    case key::Enter:
      return 13;
    case key::Escape:
      return 27;
    case key::Tab:
      return 9;
    case key::Backspace:
      return 8;
    case key::Space:
      return 32;
    default:
      break;
  }
  if (typed >= 32 && typed != 127 && typed < 256 && !(modifiers & mod::Alt)) return typed;
  if (letter) return std::uint32_t((modifiers & mod::Shift) ? k : std::tolower(k));
  if (k >= '0' && k <= '9') return std::uint32_t(k);
  return typed >= 32 && typed < 256 ? typed : 0;
}

void ScriptKey(int k, unsigned modifiers) {
  // Script keys go to the main window, whatever has the focus.
  Wnd target = MainWindow();
  if (unsigned(k) < unsigned(key::Count)) keyTable[k] = 1;
  PostKey(target, (modifiers & mod::Alt) ? msg::SysKeyDown : msg::KeyDown, k, modifiers, CharFor(k, modifiers, 0));
  Message up = (modifiers & mod::Alt) ? msg::SysKeyUp : msg::KeyUp;
  PostKey(target, up, k, modifiers, 0);
  auto& rel = S().scriptReleases;
  rel.push_back(k);
  if (modifiers & mod::Control) keyTable[key::Control] = 1, rel.push_back(key::Control);
  if (modifiers & mod::Alt) keyTable[key::Alt] = 1, rel.push_back(key::Alt);
  if (modifiers & mod::Shift) keyTable[key::Shift] = 1, rel.push_back(key::Shift);
  // The modifiers go up with the key itself.
  for (int m : {key::Control, key::Alt, key::Shift})
    if (std::count(rel.begin(), rel.end(), m) && m != k) PostKey(target, up, m, modifiers, 0);
}

Canvas::Canvas(QWidget* parent, Wnd picture, Wnd target, QWidget* origin)
    : QWidget(parent), picture_(picture), target_(target), origin_(origin) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(origin ? Qt::NoFocus : Qt::StrongFocus);
  setProperty("_mero_wnd", uint(picture));
  InstallInputFilter();
}

void Canvas::paintEvent(QPaintEvent* event) {
  Record* r = Find(picture_);
  if (!r || r->surface.width <= 0 || r->surface.height <= 0) return;
  const gfx::Surface& s = r->surface;
  // threads are drawing into it: the widget keeps what it showed until they are done
  if (s.beingDrawn) return;
  QImage image(reinterpret_cast<const uchar*>(s.pixels.data()), s.width, s.height, s.width * 4, QImage::Format_RGB32);
  QPainter p(this);
  QRect area = event->rect().intersected(QRect(0, 0, s.width, s.height));
  p.drawImage(area.topLeft(), image, area);
  QRegion rest = QRegion(event->rect()).subtracted(QRegion(0, 0, s.width, s.height));
  for (const QRect& q : rest) p.fillRect(q, Qt::black);
  // all of it that shows is painted now
  if (visibleRegion().subtracted(event->region()).isEmpty()) r->shownChanges = s.changes;
}

void Canvas::resizeEvent(QResizeEvent*) {
  Record* r = Find(picture_);
  if (!r) return;
  if (r->kind == Kind::Control) {
    ResizeSurface(*r, width(), height());
    Invalidate(r->parent, nullptr, false);
  } else if (S().ownGeometry == 0) {
    ClientChanged(*r, false);
  }
}

void Canvas::PostMouse(Message m, QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  if (origin_) p = mapTo(origin_, p);
  WParam flags = 0;
  if (event->buttons() & Qt::LeftButton) flags |= mouse::Left;
  if (event->buttons() & Qt::RightButton) flags |= mouse::Right;
  if (event->modifiers() & Qt::ShiftModifier) flags |= mouse::Shift;
  if (event->modifiers() & Qt::ControlModifier) flags |= mouse::Control;
  PostInput(target_, m, flags, MakeLParam(p.x(), p.y()));
}

void Canvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) PostMouse(msg::LButtonDown, event);
  if (event->button() == Qt::RightButton) PostMouse(msg::RButtonDown, event);
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) PostMouse(msg::LButtonUp, event);
  if (event->button() == Qt::RightButton) PostMouse(msg::RButtonUp, event);
}

void Canvas::mouseDoubleClickEvent(QMouseEvent* event) {
  Record* t = Find(target_);
  bool doubles = t && (t->kind == Kind::Dialog || (t->classStyle & cls::DoubleClicks));
  if (event->button() == Qt::LeftButton) PostMouse(doubles ? msg::LButtonDblClk : msg::LButtonDown, event);
  if (event->button() == Qt::RightButton) PostMouse(doubles ? msg::RButtonDblClk : msg::RButtonDown, event);
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
  PostMouse(msg::MouseMove, event);
  if (origin_) PostInput(target_, msg::SetCursor, 0, 0);
}

void Canvas::leaveEvent(QEvent*) {
  if (!origin_) PostInput(target_, msg::NcMouseMove, 0, 0);
}

void Canvas::focusInEvent(QFocusEvent*) {
  if (origin_ || S().focus == target_) return;
  Wnd previous = S().focus;
  S().focus = target_;
  PostInput(previous, msg::KillFocus, target_, 0);
  PostInput(target_, msg::SetFocus, previous, 0);
}

void Canvas::focusOutEvent(QFocusEvent* event) {
  if (origin_ || S().focus != target_) return;
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
    S().focus = 0;
    PostInput(target_, msg::KillFocus, 0, 0);
  }
}

void Canvas::keyPressEvent(QKeyEvent* event) {
  int k = KeyFromQt(event->key());
  unsigned m = ModifiersFromQt(event->modifiers());
  QString text = event->text();
  std::uint32_t typed = text.isEmpty() ? 0 : std::uint32_t(text.at(0).unicode());
  std::uint32_t ch = CharFor(k, m, typed);
  if (k == 0 && ch == 0) return;
  PostKey(target_, (m & mod::Alt) ? msg::SysKeyDown : msg::KeyDown, k, m, ch);
}

void Canvas::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  int k = KeyFromQt(event->key());
  unsigned m = ModifiersFromQt(event->modifiers());
  if (k) PostKey(target_, (m & mod::Alt) ? msg::SysKeyUp : msg::KeyUp, k, m, 0);
}

}  // namespace detail

using namespace detail;

void PressKey(int k, unsigned modifiers, std::uint32_t ch) {
  if (unsigned(k) < unsigned(key::Count)) keyTable[k] = 1;
  Wnd target = Focused() ? Focused() : MainWindow();
  PostKey(target, (modifiers & mod::Alt) ? msg::SysKeyDown : msg::KeyDown, k, modifiers, CharFor(k, modifiers, ch));
}

void ReleaseKey(int k, unsigned modifiers) {
  if (unsigned(k) < unsigned(key::Count)) keyTable[k] = 0;
  Wnd target = Focused() ? Focused() : MainWindow();
  PostKey(target, (modifiers & mod::Alt) ? msg::SysKeyUp : msg::KeyUp, k, modifiers, 0);
}

void ReleaseAllKeys() { std::memset(keyTable, 0, sizeof keyTable); }

bool ParseKeyName(const char* name, int& k, unsigned& modifiers) {
  std::string s(name ? name : "");
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  modifiers = 0;
  for (;;) {
    if (s.rfind("ctrl+", 0) == 0)
      modifiers |= mod::Control, s.erase(0, 5);
    else if (s.rfind("alt+", 0) == 0)
      modifiers |= mod::Alt, s.erase(0, 4);
    else if (s.rfind("shift+", 0) == 0)
      modifiers |= mod::Shift, s.erase(0, 6);
    else
      break;
  }
  static const struct {
    const char* name;
    int code;
  } kNames[] = {
      {"esc", key::Escape},
      {"escape", key::Escape},
      {"enter", key::Enter},
      {"return", key::Enter},
      {"tab", key::Tab},
      {"space", key::Space},
      {"backspace", key::Backspace},
      {"delete", key::Delete},
      {"del", key::Delete},
      {"insert", key::Insert},
      {"ins", key::Insert},
      {"home", key::Home},
      {"end", key::End},
      {"pageup", key::PageUp},
      {"pgup", key::PageUp},
      {"pagedown", key::PageDown},
      {"pgdn", key::PageDown},
      {"left", key::Left},
      {"up", key::Up},
      {"right", key::Right},
      {"down", key::Down},
      {"dn", key::Down},
      {"shift", key::Shift},
      {"ctrl", key::Control},
      {"control", key::Control},
      {"alt", key::Alt},
  };
  for (const auto& n : kNames)
    if (s == n.name) {
      k = n.code;
      return true;
    }
  if (s.size() >= 2 && s[0] == 'f' && std::isdigit(static_cast<unsigned char>(s[1]))) {
    int n = std::atoi(s.c_str() + 1);
    if (n >= 1 && n <= 12 && s.size() <= 3 && std::to_string(n) == s.substr(1)) {
      k = key::F(n);
      return true;
    }
    return false;
  }
  if (s.size() == 1 && std::isalnum(static_cast<unsigned char>(s[0]))) {
    k = std::toupper(static_cast<unsigned char>(s[0]));
    return true;
  }
  return false;
}

}  // namespace ui
