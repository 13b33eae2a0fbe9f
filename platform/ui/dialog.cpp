// Dialogs from Designer templates: modal loops, modeless dialogs and docked panels, and their controls
// addressed by the "id" property.
#include "platform/ui/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QUiLoader>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/ui/box.h"
#include "platform/ui/internal.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"

namespace ui {
namespace detail {

namespace {

constexpr const char* kTemplateRoot = ":/mero-ui";

// Template folders in lookup order: the program's own, any other program folder, then "common".
QStringList TemplateFolders() {
  QStringList folders = QDir(kTemplateRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  QStringList order;
  QString own = Q(S().programName);
  if (!own.isEmpty() && folders.contains(own)) order << own;
  for (const QString& f : folders)
    if (f != own && f != "common") order << f;
  if (folders.contains("common")) order << "common";
  return order;
}

QString SearchTemplate(std::string_view name) {
  QString wanted = Q(name);
  for (const QString& folder : TemplateFolders()) {
    QDir dir(QString(kTemplateRoot) + "/" + folder);
    QString exact = wanted + ".ui";
    if (dir.exists(exact)) return dir.filePath(exact);
    for (const QString& f : dir.entryList({"*.ui"}, QDir::Files))
      if (f.compare(exact, Qt::CaseInsensitive) == 0) return dir.filePath(f);
  }
  return {};
}

// The templates are built into the program and never change: each is looked up and read once.
struct Template {
  QString path;  // empty when there is none
  QByteArray text;
  // A template of a bare window without any widget inside (the self-closing pause) holds nothing a
  // use can change but its title, size and place: its windows are kept for the next use.
  bool bare = false;
  bool loaded = false;
  QString title;
  QSize size;
  std::vector<QPointer<QWidget>> spare;
};

std::string TemplateKey(std::string_view name) { return S().programName + '/' + std::string(name); }

std::map<std::string, Template>& Templates() {
  static std::map<std::string, Template> found;
  return found;
}

Template& FindTemplateOnce(std::string_view name) {
  std::map<std::string, Template>& found = Templates();
  const std::string key = TemplateKey(name);
  auto it = found.find(key);
  if (it != found.end()) return it->second;
  Template t;
  t.path = SearchTemplate(name);
  if (!t.path.isEmpty()) {
    QFile file(t.path);
    if (file.open(QIODevice::ReadOnly)) t.text = file.readAll();
  }
  return found.emplace(key, std::move(t)).first->second;
}

QString FindTemplate(std::string_view name) { return FindTemplateOnce(name).path; }

// One loader for every dialog. The templates use only the standard widgets, which the loader knows
// itself: it is made without the plugin folders, whose widget plugins would otherwise be loaded
// (with the libraries they need) when it is made.
QUiLoader* MakeLoader() {
  const QStringList folders = QCoreApplication::libraryPaths();
  QCoreApplication::setLibraryPaths({});
  auto* loader = new QUiLoader;
  QCoreApplication::setLibraryPaths(folders);
  return loader;
}

// Statics show "&&" as "&" and drop a lone "&", as the program's labels expect.
QString StripMnemonics(const QString& s) {
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += s[i];
  }
  return out;
}

bool IsArea(QWidget* w) {
  const char* c = w->metaObject()->className();
  return std::strcmp(c, "QWidget") == 0 || std::strcmp(c, "QFrame") == 0;
}

QWidget* ControlWidget(Wnd dialog, int id) {
  Record* d = Find(dialog);
  if (!d || d->kind != Kind::Dialog) return nullptr;
  auto it = d->items.find(id);
  if (it == d->items.end()) return nullptr;
  Record* c = Find(it->second);
  return c ? c->control.data() : nullptr;
}

template <class T>
T* Control(Wnd dialog, int id) {
  return qobject_cast<T*>(ControlWidget(dialog, id));
}

ModalFrame* FrameOf(Wnd dialog) {
  for (ModalFrame* f : S().modals)
    if (f->dialog == dialog) return f;
  return nullptr;
}

// Keys the controls left alone, the close box and the pointer over a dialog.
class DialogFilter : public QObject {
 public:
  DialogFilter(QWidget* root, Wnd dialog) : QObject(root), root_(root), dialog_(dialog) {}

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
        if (o == root_) return Key(static_cast<QKeyEvent*>(e));
        break;
      case QEvent::Close:
        if (o == root_) {
          e->ignore();
          PostInput(dialog_, msg::Close, 0, 0);
          return true;
        }
        break;
      case QEvent::MouseMove: {
        PostInput(dialog_, msg::SetCursor, 0, 0);
        if (o == root_) {
          QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
          PostInput(dialog_, msg::MouseMove, 0, MakeLParam(p.x(), p.y()));
        }
        break;
      }
      default:
        break;
    }
    return false;
  }

 private:
  bool Key(QKeyEvent* k) {
    Record* d = Find(dialog_);
    if (!d) return false;
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
      if (focused && focused->isEnabled() && WndOfWidget(focused) && root_->isAncestorOf(focused)) {
        focused->click();
        return true;
      }
      for (auto& [id, h] : d->items) {
        Record* c = Find(h);
        auto* b = c ? qobject_cast<QPushButton*>(c->control.data()) : nullptr;
        if (b && b->isDefault() && b->isEnabled()) {
          b->click();
          return true;
        }
      }
      PostCommand(dialog_, kIdOk, notify::Clicked, ui::Item(dialog_, kIdOk));
      return true;
    }
    if (k->key() == Qt::Key_Escape) {
      PostCommand(dialog_, kIdCancel, notify::Clicked, ui::Item(dialog_, kIdCancel));
      return true;
    }
    // Other keys go to the dialog too, so the program's accelerators see them.
    unsigned m = ModifiersFromQt(k->modifiers());
    int code = KeyFromQt(k->key());
    if (code) PostKey(dialog_, (m & mod::Alt) ? msg::SysKeyDown : msg::KeyDown, code, m, CharFor(code, m, 0));
    return false;
  }

  QWidget* root_;
  Wnd dialog_;
};

class AreaResizer : public QObject {
 public:
  AreaResizer(QWidget* area, Canvas* canvas) : QObject(area), area_(area), canvas_(canvas) {}

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == area_ && e->type() == QEvent::Resize && canvas_) canvas_->setGeometry(area_->rect());
    return false;
  }

 private:
  QWidget* area_;
  QPointer<Canvas> canvas_;
};

// The edit field's text as last accepted, and the refusal of an input past its length (a paste is cut
// to what fits before Qt tells it): the text goes back and the dialog is told, from the queue.
void WatchLength(Wnd d, int id, QLineEdit* e) {
  e->setProperty("_accepted", e->text());
  QObject::connect(e, &QLineEdit::textChanged, e, [e] { e->setProperty("_accepted", e->text()); });
  QObject::connect(e, &QLineEdit::inputRejected, e, [d, id, e] {
    if (e->validator()) return;  // no field has one; its refusals are not about length
    e->setProperty("_restore", e->property("_accepted"));
    PostInput(d, kFieldRefused, WParam(id), 0);
  });
}

void Connect(Wnd d, Record& c, QWidget* w) {
  int id = c.id;
  Wnd h = c.handle;
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    QObject::connect(b, &QAbstractButton::clicked, b, [d, id, h] { PostCommand(d, id, notify::Clicked, h); });
    if (auto* p = qobject_cast<QPushButton*>(w)) p->setAutoDefault(false);
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setProperty("_raw", l->text());
    l->setTextFormat(Qt::PlainText);
    l->setText(StripMnemonics(l->text()));
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    WatchLength(d, id, e);
    QObject::connect(e, &QLineEdit::textChanged, e, [d, id, h] { PostCommand(d, id, notify::EditChange, h); });
  } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
    QObject::connect(t, &QPlainTextEdit::textChanged, t, [d, id, h] { PostCommand(d, id, notify::EditChange, h); });
  } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
    cb->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(cb, &QComboBox::activated, cb, [d, id, h] { PostCommand(d, id, notify::SelChange, h); });
    if (cb->isEditable()) {
      if (cb->lineEdit()) WatchLength(d, id, cb->lineEdit());
      QObject::connect(cb, &QComboBox::editTextChanged, cb, [d, id, h] { PostCommand(d, id, notify::EditChange, h); });
    }
  } else if (auto* lw = qobject_cast<QListWidget*>(w)) {
    // Selections only: the current row moving with the focus is no pick.
    QObject::connect(lw, &QListWidget::itemSelectionChanged, lw,
                     [d, id, h] { PostCommand(d, id, notify::SelChange, h); });
    QObject::connect(lw, &QListWidget::itemDoubleClicked, lw, [d, id, h] { PostCommand(d, id, notify::DblClk, h); });
  } else if (auto* sb = qobject_cast<QScrollBar*>(w)) {
    Message m = sb->orientation() == Qt::Vertical ? msg::VScroll : msg::HScroll;
    QPointer<QScrollBar> bar(sb);
    QObject::connect(sb, &QAbstractSlider::actionTriggered, sb, [d, h, m, bar](int action) {
      if (!bar) return;
      int code = -1;
      switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
          code = scroll::LineDown;
          break;
        case QAbstractSlider::SliderSingleStepSub:
          code = scroll::LineUp;
          break;
        case QAbstractSlider::SliderPageStepAdd:
          code = scroll::PageDown;
          break;
        case QAbstractSlider::SliderPageStepSub:
          code = scroll::PageUp;
          break;
        case QAbstractSlider::SliderToMinimum:
          code = scroll::Top;
          break;
        case QAbstractSlider::SliderToMaximum:
          code = scroll::Bottom;
          break;
        case QAbstractSlider::SliderMove:
          code = scroll::ThumbTrack;
          break;
        default:
          return;
      }
      int position = bar->sliderPosition();
      // The program moves the box itself (SetScrollPos); only dragging moves it on its own.
      if (code != scroll::ThumbTrack) bar->setSliderPosition(bar->value());
      PostInput(d, m, MakeWParam(code, position), LParam(h));
    });
    QObject::connect(sb, &QAbstractSlider::sliderReleased, sb, [d, h, m, bar] {
      if (bar) PostInput(d, m, MakeWParam(scroll::ThumbPosition, bar->sliderPosition()), LParam(h));
    });
  }
}

void RegisterControls(Record& d, QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    QVariant idv = w->property("id");
    if (!idv.isValid()) continue;
    bool ok = false;
    int id = idv.toInt(&ok);
    if (!ok || d.items.count(id)) continue;
    auto c = std::make_shared<Record>();
    c->handle = NewHandle();
    c->kind = Kind::Control;
    c->parent = d.handle;
    c->id = id;
    c->control = w;
    c->window = w;
    w->setProperty("_mero_wnd", uint(c->handle));
    S().windows[c->handle] = c;
    d.items[id] = c->handle;
    if (IsArea(w)) {
      c->hasSurface = true;
      c->brush = kNoBrush;
      c->canvas = new Canvas(w, c->handle, d.handle, root);
      c->canvas->setGeometry(w->rect());
      w->installEventFilter(new AreaResizer(w, c->canvas));
      ResizeSurface(*c, w->width(), w->height());
      d.areas.push_back(c->handle);
    } else {
      Connect(d.handle, *c, w);
    }
  }
}

Wnd MakeDialog(std::string_view name, Wnd relative, DialogProc proc, DialogKind kind) {
  EnsureApp();
  Template& t = FindTemplateOnce(name);
  if (t.path.isEmpty()) {
    std::fprintf(stderr, "dialog template %.*s not found\n", int(name.size()), name.data());
    return 0;
  }
  if (t.text.isEmpty()) return 0;
  QWidget* root = nullptr;
  while (!root && !t.spare.empty()) {
    root = t.spare.back();
    t.spare.pop_back();
  }
  if (root) {
    root->setWindowTitle(t.title);
    root->resize(t.size);
    root->setEnabled(true);
  } else {
    static QUiLoader* loader = MakeLoader();
    QBuffer file;
    file.setData(t.text);
    file.open(QIODevice::ReadOnly);
    root = loader->load(&file, nullptr);
    if (!root) return 0;
    if (!t.loaded) {
      t.loaded = true;
      t.bare = root->findChildren<QWidget*>().isEmpty();
      t.title = root->windowTitle();
      t.size = root->size();
    }
  }

  auto rec = std::make_shared<Record>();
  rec->handle = NewHandle();
  rec->kind = Kind::Dialog;
  rec->dialogKind = kind;
  rec->templateName = std::string(name);
  rec->proc = std::move(proc);
  rec->window = root;
  rec->bare = t.bare && kind == DialogKind::Modal;
  Wnd h = rec->handle;
  S().windows[h] = rec;
  root->setProperty("_mero_wnd", uint(h));

  Record* other = Find(relative);
  if (kind == DialogKind::Docked) {
    rec->parent = relative;
    QWidget* host =
        other ? (other->canvas ? static_cast<QWidget*>(other->canvas.data()) : other->window.data()) : nullptr;
    QRect g = root->geometry();
    root->setParent(host, Qt::Widget);
    root->setGeometry(g);
  } else {
    rec->owner = relative;
    // A dialog of a pixel or two (the self-closing pause) takes the keyboard without showing a frame.
    bool tiny = root->width() <= 4 && root->height() <= 4;
    const Qt::WindowFlags flags =
        tiny ? Qt::Dialog | Qt::FramelessWindowHint
             : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (root->windowFlags() != flags) root->setWindowFlags(flags);
    Record* top = TopOf(relative);
    PlaceCentred(root, name, relative);
    rec->placedAt = root->pos();
    if (top && top->window && top->window->windowHandle()) {
      root->winId();
      if (root->windowHandle()) root->windowHandle()->setTransientParent(top->window->windowHandle());
    }
  }
  root->setAutoFillBackground(true);  // a docked panel hides the picture under it
  root->setMouseTracking(true);
  auto* filter = new DialogFilter(root, h);
  root->installEventFilter(filter);
  for (QWidget* w : root->findChildren<QWidget*>()) {
    w->installEventFilter(filter);
    if (!qobject_cast<QAbstractScrollArea*>(w)) w->setMouseTracking(true);
  }
  RegisterControls(*rec, root);
  rec->clientWidth = root->width();
  rec->clientHeight = root->height();
  return h;
}

}  // namespace

bool KeepBareDialog(Record& r) {
  if (!r.bare || !r.window) return false;
  auto it = Templates().find(TemplateKey(r.templateName));
  if (it == Templates().end() || it->second.spare.size() >= 2) return false;
  QWidget* root = r.window;
  // Whatever a use put inside (a child window, a docked panel) goes with the window.
  if (!root->findChildren<QWidget*>().isEmpty()) return false;
  root->hide();
  for (QObject* child : root->children())
    if (dynamic_cast<DialogFilter*>(child)) delete child;
  root->setProperty("_mero_wnd", QVariant());
  it->second.spare.emplace_back(root);
  return true;
}

bool ApplyDialogAction(Wnd d, const Action& a, std::string& error) {
  QWidget* w = ControlWidget(d, a.id);
  auto usable = [&](QWidget* c) {
    if (!c) {
      error = "no control " + std::to_string(a.id);
      return false;
    }
    if (!c->isEnabled()) {
      error = "control " + std::to_string(a.id) + " is disabled";
      return false;
    }
    return true;
  };
  switch (a.kind) {
    case Action::Kind::Press: {
      auto* b = qobject_cast<QAbstractButton*>(w);
      if (!b && (a.id == kIdOk || a.id == kIdCancel)) {
        PostCommand(d, a.id, notify::Clicked, 0);  // as Enter or Esc would
        return true;
      }
      if (!b) {
        error = "no button " + std::to_string(a.id);
        return false;
      }
      if (!usable(b)) return false;
      b->click();
      return true;
    }
    case Action::Kind::Set: {
      if (!usable(w)) return false;
      QString text = Q(a.text);
      QLineEdit* field = qobject_cast<QLineEdit*>(w);
      if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->isEditable()) field = cb->lineEdit();
      if (field && text.size() > field->maxLength()) {
        error = "set " + std::to_string(a.id) + ": " + FieldTooLongText(field->maxLength()) + " (" +
                std::to_string(text.size()) + " given)";
        return false;
      }
      if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
      } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        t->setPlainText(text);
      } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        if (cb->isEditable()) {
          cb->setEditText(text);
        } else {
          int row = cb->findText(text);
          if (row < 0) {
            error = "no row \"" + a.text + "\" in " + std::to_string(a.id);
            return false;
          }
          cb->setCurrentIndex(row);
          PostCommand(d, a.id, notify::SelChange, ui::Item(d, a.id));
        }
      } else {
        error = "control " + std::to_string(a.id) + " takes no text";
        return false;
      }
      return true;
    }
    case Action::Kind::Check: {
      auto* b = qobject_cast<QAbstractButton*>(w);
      if (!b || !b->isCheckable()) {
        error = "no check box " + std::to_string(a.id);
        return false;
      }
      if (!usable(b)) return false;
      if (b->isChecked() == (a.value != 0)) return true;
      if (!a.value && qobject_cast<QRadioButton*>(b)) {
        error = "a radio button is cleared by checking another";
        return false;
      }
      b->click();
      return true;
    }
    case Action::Kind::Pick:
    case Action::Kind::DblClick: {
      if (!usable(w)) return false;
      if (auto* lw = qobject_cast<QListWidget*>(w)) {
        if (a.value < 0 || a.value >= lw->count()) {
          error = "no row " + std::to_string(a.value) + " in " + std::to_string(a.id);
          return false;
        }
        lw->setCurrentRow(a.value);
        if (a.kind == Action::Kind::DblClick) PostCommand(d, a.id, notify::DblClk, ui::Item(d, a.id));
        return true;
      }
      auto* cb = qobject_cast<QComboBox*>(w);
      if (cb && a.kind == Action::Kind::Pick) {
        if (a.value < 0 || a.value >= cb->count()) {
          error = "no row " + std::to_string(a.value) + " in " + std::to_string(a.id);
          return false;
        }
        cb->setCurrentIndex(a.value);
        PostCommand(d, a.id, notify::SelChange, ui::Item(d, a.id));
        return true;
      }
      error = "control " + std::to_string(a.id) + " has no rows";
      return false;
    }
  }
  return false;
}

void CancelDialog(Wnd d) { PostCommand(d, kIdCancel, notify::Clicked, ui::Item(d, kIdCancel)); }

void RefuseLongText(Wnd d, int id) {
  QWidget* w = ControlWidget(d, id);
  QLineEdit* e = qobject_cast<QLineEdit*>(w);
  if (auto* cb = qobject_cast<QComboBox*>(w)) e = cb->lineEdit();
  if (!e) return;
  const QVariant restore = e->property("_restore");
  e->setProperty("_restore", QVariant());
  if (restore.isValid() && restore.toString() != e->text()) e->setText(restore.toString());
  Record* r = Find(d);
  const std::string caption = r && r->window ? B(r->window->windowTitle()) : std::string();
  ShowBox(d, FieldTooLongText(e->maxLength()), caption.c_str(), BoxButtons::Ok);
}

}  // namespace detail

using namespace detail;

// A dialog whose procedure left it where it was made is centred again with the size it now has;
// one the procedure moved keeps its place. Either way it opens inside the screen.
static void PlaceOpened(Record& r) {
  if (!r.window) return;
  if (r.window->pos() == r.placedAt) {
    PlaceCentred(r.window, r.templateName, r.owner);
    r.placedAt = r.window->pos();
  } else {
    const QRect g = r.window->frameGeometry();
    PlaceWidget(r.window, {g.x(), g.y(), g.x() + r.window->width(), g.y() + r.window->height()}, r.templateName, 0,
                r.owner);
  }
  ClientChanged(r, true);
}

int RunDialog(std::string_view templateName, Wnd owner, DialogProc proc, LParam param) {
  Wnd d = MakeDialog(templateName, owner, std::move(proc), DialogKind::Modal);
  if (!d) return -1;
  Record* ownerTop = TopOf(owner);
  Wnd ownerHandle = ownerTop ? ownerTop->handle : 0;
  bool disabled = ownerTop && ownerTop->enabled;
  if (disabled) Enable(ownerHandle, false);
  Wnd previousFocus = S().focus;

  ModalFrame frame;
  frame.name = std::string(templateName);
  frame.dialog = d;
  frame.apply = [d](const Action& a, std::string& error) { return ApplyDialogAction(d, a, error); };
  frame.cancel = [d] { CancelDialog(d); };
  frame.forceEnd = [&frame] {
    frame.ended = true;
    frame.result = 0;
  };
  S().modals.push_back(&frame);
  LogLine("dialog " + std::string(templateName));
  Call(d, msg::InitDialog, 0, param);
  if (Record* r = Find(d); r && !frame.ended) {
    PlaceOpened(*r);
    r->window->show();
    PlaceOpened(*r);  // the device's frame is known now
    r->window->activateWindow();
  }
  if (!frame.ended) DriverDialogOpened(frame, HasTimer(d));
  RunModal(frame);

  if (disabled && Find(ownerHandle)) Enable(ownerHandle, true);
  Destroy(d);
  if (Find(previousFocus)) Focus(previousFocus);
  return frame.result;
}

static Wnd OpenModeless(std::string_view templateName, Wnd relative, DialogProc proc, LParam param, DialogKind kind) {
  Wnd d = MakeDialog(templateName, relative, std::move(proc), kind);
  if (!d) return 0;
  LogLine("dialog " + std::string(templateName));
  Call(d, msg::InitDialog, 0, param);
  Record* r = Find(d);
  if (!r) return 0;
  if (kind != DialogKind::Docked) PlaceOpened(*r);
  r->window->show();
  if (kind != DialogKind::Docked) PlaceOpened(*r);  // the device's frame is known now
  return d;
}

Wnd OpenDialog(std::string_view templateName, Wnd owner, DialogProc proc, LParam param) {
  return OpenModeless(templateName, owner, std::move(proc), param, DialogKind::Floating);
}

Wnd OpenPanel(std::string_view templateName, Wnd parent, DialogProc proc, LParam param) {
  if (!Find(parent)) return 0;
  return OpenModeless(templateName, parent, std::move(proc), param, DialogKind::Docked);
}

bool FinishDialog(Wnd dialog, int result) {
  Record* r = Find(dialog);
  if (!r || r->kind != Kind::Dialog) return false;
  if (r->dialogKind != DialogKind::Modal) return Destroy(dialog);
  ModalFrame* f = FrameOf(dialog);
  if (!f) return false;
  f->ended = true;
  f->result = result;
  if (r->window) r->window->hide();
  return true;
}

bool EndOkCancel(Wnd dialog, int id, const std::function<void()>& take) {
  if (id == kIdOk) {
    if (take) take();
    FinishDialog(dialog, 1);
    return true;
  }
  if (id == kIdCancel) {
    FinishDialog(dialog, 0);
    return true;
  }
  return false;
}

bool RouteDialogMessage(Wnd dialog, const Msg& m) {
  Record* d = Find(dialog);
  if (!d || d->kind != Kind::Dialog) return false;
  Record* target = Find(m.wnd);
  if (!target || (m.wnd != dialog && target->parent != dialog)) return false;
  Dispatch(m);
  return true;
}

std::string TemplateName(Wnd dialog) {
  Record* r = Find(dialog);
  return r && r->kind == Kind::Dialog ? r->templateName : std::string();
}

bool TemplateExists(std::string_view templateName) {
  EnsureApp();
  return !FindTemplate(templateName).isEmpty();
}

Wnd Item(Wnd dialog, int id) {
  Record* d = Find(dialog);
  if (!d || d->kind != Kind::Dialog) return 0;
  auto it = d->items.find(id);
  return it != d->items.end() && Find(it->second) ? it->second : 0;
}

int ItemId(Wnd control) {
  Record* r = Find(control);
  return r && r->kind == Kind::Control ? r->id : 0;
}

void SetItemText(Wnd dialog, int id, std::string_view text) {
  QWidget* w = ControlWidget(dialog, id);
  if (!w) return;
  QString t = Q(text);
  bool same = false;  // a label showing this text already needs no new paint
  if (auto* l = qobject_cast<QLabel*>(w)) {
    same = l->property("_raw").toString() == t;
    l->setProperty("_raw", t);
    l->setText(StripMnemonics(t));
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(t);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(t);
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(t);
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
    p->setPlainText(t.replace("\r\n", "\n"));
  } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
    if (cb->isEditable())
      cb->setEditText(t);
    else
      cb->setCurrentIndex(cb->findText(t));
  } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
    bar->setValue(std::clamp(t.trimmed().toInt(), bar->minimum(), bar->maximum()));
  } else {
    return;
  }
  LogLine("item " + TemplateName(dialog) + " " + std::to_string(id) + " " + QuoteForLog(text));
  if (same) return;
  // Progress lines change in the middle of long jobs: show them now.
  w->update();
  Pump();
}

std::string ItemText(Wnd dialog, int id, std::size_t maxChars) {
  QWidget* w = ControlWidget(dialog, id);
  QString t;
  if (!w) return {};
  if (auto* l = qobject_cast<QLabel*>(w))
    t = l->property("_raw").toString();
  else if (auto* b = qobject_cast<QAbstractButton*>(w))
    t = b->text();
  else if (auto* g = qobject_cast<QGroupBox*>(w))
    t = g->title();
  else if (auto* e = qobject_cast<QLineEdit*>(w))
    t = e->text();
  else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
    t = p->toPlainText().replace("\n", "\r\n");
  else if (auto* cb = qobject_cast<QComboBox*>(w))
    t = cb->currentText();
  else if (auto* lw = qobject_cast<QListWidget*>(w))
    t = lw->currentItem() ? lw->currentItem()->text() : QString();
  else if (auto* bar = qobject_cast<QProgressBar*>(w))
    t = QString::number(bar->value());
  std::string s = B(t);
  if (s.size() > maxChars) s.resize(maxChars);
  return s;
}

void SetItemInt(Wnd dialog, int id, int value) { SetItemText(dialog, id, std::to_string(value)); }

void CheckItem(Wnd dialog, int id, bool checked) {
  auto* b = Control<QAbstractButton>(dialog, id);
  if (!b || !b->isCheckable()) return;
  bool exclusive = b->autoExclusive();
  if (!checked && exclusive) b->setAutoExclusive(false);  // so the last checked radio can be cleared
  b->setChecked(checked);
  if (!checked && exclusive) b->setAutoExclusive(true);
}

bool IsItemChecked(Wnd dialog, int id) {
  auto* b = Control<QAbstractButton>(dialog, id);
  return b && b->isChecked();
}

void EnableItem(Wnd dialog, int id, bool enable) { Enable(Item(dialog, id), enable); }
void FocusItem(Wnd dialog, int id) { Focus(Item(dialog, id)); }

std::string FieldTooLongText(int maxChars) {
  return "Too Long for this Field ... " + std::to_string(maxChars) + " Characters at Most";
}

void SetItemLimit(Wnd dialog, int id, int maxChars) {
  if (auto* e = Control<QLineEdit>(dialog, id)) e->setMaxLength(std::max(1, maxChars));
  if (auto* cb = Control<QComboBox>(dialog, id); cb && cb->lineEdit())
    cb->lineEdit()->setMaxLength(std::max(1, maxChars));
}

Rect ItemRect(Wnd dialog, int id) {
  QWidget* w = ControlWidget(dialog, id);
  Record* d = Find(dialog);
  if (!w || !d || !d->window) return {};
  QPoint p = w->mapTo(d->window.data(), QPoint(0, 0));
  return {p.x(), p.y(), p.x() + w->width(), p.y() + w->height()};
}

void MoveItem(Wnd dialog, int id, int x, int y, int width, int height) {
  QWidget* w = ControlWidget(dialog, id);
  Record* d = Find(dialog);
  if (!w || !d || !d->window) return;
  QPoint origin = w->parentWidget() ? w->parentWidget()->mapFrom(d->window.data(), QPoint(x, y)) : QPoint(x, y);
  w->setGeometry(origin.x(), origin.y(), std::max(0, width), std::max(0, height));
}

void SetButtonImage(Wnd dialog, int id, const gfx::Surface& image) {
  auto* b = Control<QAbstractButton>(dialog, id);
  if (!b || image.width <= 0 || image.height <= 0) return;
  QImage img(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
             QImage::Format_RGB32);
  b->setIcon(QIcon(QPixmap::fromImage(img.copy())));
  b->setIconSize(QSize(image.width, image.height));
}

void ListClear(Wnd dialog, int id) {
  if (auto* lw = Control<QListWidget>(dialog, id)) {
    QSignalBlocker block(lw);
    lw->clear();
  }
  if (auto* cb = Control<QComboBox>(dialog, id)) {
    QSignalBlocker block(cb);
    QString text = cb->currentText();
    cb->clear();
    if (cb->isEditable()) cb->setEditText(text);
  }
}

int ListAdd(Wnd dialog, int id, std::string_view text) {
  if (auto* lw = Control<QListWidget>(dialog, id)) {
    QSignalBlocker block(lw);
    lw->addItem(Q(text));
    return lw->count() - 1;
  }
  if (auto* cb = Control<QComboBox>(dialog, id)) {
    QSignalBlocker block(cb);
    QString current = cb->currentText();
    cb->addItem(Q(text));
    if (cb->isEditable()) cb->setEditText(current);  // adding rows never changes the typed field
    return cb->count() - 1;
  }
  return -1;
}

int ListCount(Wnd dialog, int id) {
  if (auto* lw = Control<QListWidget>(dialog, id)) return lw->count();
  if (auto* cb = Control<QComboBox>(dialog, id)) return cb->count();
  return 0;
}

int ListSelection(Wnd dialog, int id) {
  if (auto* lw = Control<QListWidget>(dialog, id)) {
    QListWidgetItem* it = lw->currentItem();
    return it && it->isSelected() ? lw->currentRow() : -1;
  }
  if (auto* cb = Control<QComboBox>(dialog, id)) return cb->currentIndex();
  return -1;
}

void ListSelect(Wnd dialog, int id, int row) {
  if (auto* lw = Control<QListWidget>(dialog, id)) {
    QSignalBlocker block(lw);
    if (row < 0 || row >= lw->count()) {
      lw->clearSelection();
      lw->setCurrentRow(-1);
    } else {
      lw->setCurrentRow(row);
    }
  }
  if (auto* cb = Control<QComboBox>(dialog, id)) {
    QSignalBlocker block(cb);
    cb->setCurrentIndex(row >= 0 && row < cb->count() ? row : -1);
  }
}

std::string ListText(Wnd dialog, int id, int row) {
  if (auto* lw = Control<QListWidget>(dialog, id))
    return row >= 0 && row < lw->count() ? B(lw->item(row)->text()) : std::string();
  if (auto* cb = Control<QComboBox>(dialog, id))
    return row >= 0 && row < cb->count() ? B(cb->itemText(row)) : std::string();
  return {};
}

void ListColumnWidth(Wnd dialog, int id, int pixels) {
  auto* lw = Control<QListWidget>(dialog, id);
  if (!lw || pixels <= 0) return;
  lw->setGridSize(QSize(pixels, lw->fontMetrics().height() + 2));
}

void SetScrollRange(Wnd dialog, int id, int minimum, int maximum) {
  if (auto* sb = Control<QScrollBar>(dialog, id)) {
    QSignalBlocker block(sb);
    sb->setRange(minimum, std::max(minimum, maximum));
  }
}

void SetScrollPage(Wnd dialog, int id, int page) {
  if (auto* sb = Control<QScrollBar>(dialog, id)) sb->setPageStep(std::max(1, page));
}

void SetScrollPos(Wnd dialog, int id, int position) {
  if (auto* sb = Control<QScrollBar>(dialog, id)) {
    QSignalBlocker block(sb);
    sb->setValue(position);
    sb->setSliderPosition(sb->value());
  }
}

int ScrollPos(Wnd dialog, int id) {
  auto* sb = Control<QScrollBar>(dialog, id);
  return sb ? sb->value() : 0;
}

void SetProgressRange(Wnd dialog, int id, int minimum, int maximum) {
  if (auto* p = Control<QProgressBar>(dialog, id)) p->setRange(minimum, std::max(minimum, maximum));
}

void SetProgress(Wnd dialog, int id, int value) {
  if (auto* p = Control<QProgressBar>(dialog, id)) {
    p->setValue(std::clamp(value, p->minimum(), p->maximum()));
    p->update();
    Pump();
  }
}

gfx::Surface* ItemSurface(Wnd dialog, int id) { return WindowSurface(Item(dialog, id)); }

void InvalidateItem(Wnd dialog, int id) {
  if (Item(dialog, id)) Invalidate(dialog, nullptr, false);
}

}  // namespace ui
