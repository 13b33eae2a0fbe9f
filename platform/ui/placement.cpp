#include "platform/ui/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "platform/ui/internal.h"
#include "platform/ui/program.h"

namespace ui {

namespace {

QScreen* ScreenUnder(QWidget* widget) {
  QScreen* screen = nullptr;
  if (widget) screen = QGuiApplication::screenAt(widget->frameGeometry().center());
  if (!screen && widget) screen = widget->screen();
  return screen ? screen : QGuiApplication::primaryScreen();
}

Rect AreaOf(QScreen* screen) {
  if (!screen) return {0, 0, 800, 600};
  const QRect a = screen->availableGeometry();
  return {a.x(), a.y(), a.x() + a.width(), a.y() + a.height()};
}

}  // namespace

Rect PlaceInside(const Rect& wanted, const Rect& area) {
  const int width = std::min(std::max(0, wanted.Width()), std::max(0, area.Width()));
  const int height = std::min(std::max(0, wanted.Height()), std::max(0, area.Height()));
  const int left = std::clamp(wanted.left, area.left, area.right - width);
  const int top = std::clamp(wanted.top, area.top, area.bottom - height);
  return {left, top, left + width, top + height};
}

Rect CentredOn(const Rect& owner, int width, int height) {
  const int left = owner.left + (owner.Width() - width) / 2;
  const int top = owner.top + (owner.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

Rect AvailableArea(Wnd near) {
  detail::EnsureApp();
  detail::Record* top = detail::TopOf(near);
  return AreaOf(ScreenUnder(top ? top->window.data() : nullptr));
}

namespace detail {

bool LogPlaces() {
  static const bool on = [] {
    const char* v = std::getenv("MERO_LOG_PLACES");
    return v && *v && std::string_view(v) != "0";
  }();
  return on;
}

Rect PlaceWidget(QWidget* widget, Rect wanted, std::string_view name, int captionAbove, Wnd owner) {
  if (!widget) return wanted;
  Record* top = TopOf(owner);
  QScreen* screen = top && top->window ? ScreenUnder(top->window) : nullptr;
  if (!screen) screen = QGuiApplication::screenAt(QPoint(wanted.left + wanted.Width() / 2, wanted.top + wanted.Height() / 2));
  const Rect area = AreaOf(screen ? screen : QGuiApplication::primaryScreen());
  Rect at;
  if (captionAbove > 0) {
    at = PlaceInside(wanted, area);
    widget->setGeometry(at.left, at.top + captionAbove, std::max(1, at.Width()), std::max(1, at.Height() - captionAbove));
  } else {
    // `wanted` is the widget's size at the frame's corner; the frame the device adds stays inside too
    const QRect frame = widget->frameGeometry(), inner = widget->geometry();
    const int extraWidth = std::max(0, frame.width() - inner.width());
    const int extraHeight = std::max(0, frame.height() - inner.height());
    at = PlaceInside({wanted.left, wanted.top, wanted.right + extraWidth, wanted.bottom + extraHeight}, area);
    const int width = std::max(1, at.Width() - extraWidth), height = std::max(1, at.Height() - extraHeight);
    if (width != widget->width() || height != widget->height()) widget->resize(width, height);
    widget->move(at.left, at.top);
  }
  if (LogPlaces())
    LogLine("place " + QuoteForLog(name) + " " + std::to_string(at.left) + " " + std::to_string(at.top) + " " +
            std::to_string(at.right) + " " + std::to_string(at.bottom) + " in " + std::to_string(area.left) + " " +
            std::to_string(area.top) + " " + std::to_string(area.right) + " " + std::to_string(area.bottom));
  return at;
}

void PlaceCentred(QWidget* widget, std::string_view name, Wnd owner) {
  if (!widget) return;
  Record* top = TopOf(owner);
  Rect around;
  if (top && top->window && top->kind == Kind::Top) {
    around = WindowRect(top->handle);
  } else if (top && top->window) {
    const QRect f = top->window->frameGeometry();
    around = {f.x(), f.y(), f.x() + f.width(), f.y() + f.height()};
  } else {
    around = AvailableArea(0);
  }
  const QSize frame = widget->frameGeometry().size();
  const Rect centred = CentredOn(around, frame.width(), frame.height());
  PlaceWidget(widget, {centred.left, centred.top, centred.left + widget->width(), centred.top + widget->height()}, name,
              0, owner);
}

}  // namespace detail

}  // namespace ui
