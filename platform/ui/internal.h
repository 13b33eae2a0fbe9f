// Inside platform/ui: the window table, the queue, and the Qt widgets that show our windows.
// Qt is the device only: its events become queued messages and no window or dialog procedure ever
// runs inside a Qt event handler, so pumping Qt is safe anywhere (in a key poll, in SetItemText).
#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/surface.h"
#include "platform/ui/menu.h"
#include "platform/ui/script.h"
#include "platform/ui/types.h"
#include "platform/ui/window.h"

class QMenuBar;

namespace ui::detail {

enum class Kind { Top, Child, Dialog, Control };
enum class DialogKind { Modal, Floating, Docked };

class Canvas;

constexpr std::uint64_t kUnshown = ~std::uint64_t{0};

struct Record {
  Wnd handle = 0;
  Kind kind = Kind::Top;
  bool alive = true;
  WndProc proc;  // window procedure, or the dialog procedure of a dialog
  unsigned classStyle = 0;
  std::int64_t brush = 0;
  unsigned style = 0;
  Wnd parent = 0;  // child windows, panels, controls
  Wnd owner = 0;   // floating and modal dialogs
  bool enabled = true;

  // The retained picture (top-level and child windows, owner-painted areas).
  bool hasSurface = false;
  gfx::Surface surface;
  // surface.changes when the canvas last painted all of it that shows; kUnshown: show it again
  std::uint64_t shownChanges = kUnshown;
  bool invalid = false;
  bool eraseOnPaint = false;
  Rect update;

  QPointer<QWidget> window;   // the Qt window or panel root
  QPointer<Canvas> canvas;    // shows the surface
  QPointer<QWidget> control;  // a control's widget
  QPointer<QMenuBar> menuBar;
  std::vector<MenuItem> menu;
  std::string className;  // top-level and child windows
  int sizeState = -1;  // last size:: state told to the program
  int clientWidth = -1;
  int clientHeight = -1;

  // Dialogs.
  std::string templateName;
  DialogKind dialogKind = DialogKind::Modal;
  bool ended = false;
  int result = 0;
  std::map<int, Wnd> items;
  std::vector<Wnd> areas;
  QPoint placedAt;    // where a floating or modal dialog was put when made
  bool bare = false;  // a modal dialog of a template without widgets: its window is kept for reuse
  int id = 0;  // control id
};

struct TimerEntry {
  Wnd wnd = 0;
  WParam id = 0;
  int interval = 0;
  std::uint64_t due = 0;
};

// A modal loop in progress (dialog, message box, file or print dialog), innermost last.
struct ModalFrame {
  std::string name;  // template name ("OPENFILE", "PRINTSETUP" for those); a box: its text
  bool isBox = false;
  Wnd dialog = 0;  // the dialog record ("" boxes have none)
  bool ended = false;
  int result = 0;
  std::deque<Action> pending;
  bool answered = false;
  bool cancelRequested = false;
  // How actions and a cancel reach the dialog: a user's click, key or close.
  std::function<bool(const Action&, std::string& error)> apply;
  std::function<void()> cancel;
  std::function<void()> forceEnd;
};

struct State {
  std::map<Wnd, std::shared_ptr<Record>> windows;  // creation order
  std::map<std::string, WindowClass> classes;      // by upper-case name
  std::deque<Msg> queue;
  bool quitPending = false;
  int quitCode = 0;
  Wnd nextHandle = 1;
  Wnd mainWindow = 0;
  Wnd focus = 0;
  std::vector<TimerEntry> timers;
  int pointerCount = 0;
  std::vector<ModalFrame*> modals;
  std::vector<int> scriptReleases;  // keys the script pressed, let go when their KeyUp is taken
  std::string programName;
  int ownGeometry = 0;  // our own geometry calls send Size themselves
};
State& S();

// While our own calls change geometry, the device's resize events do not tell the program.
struct OwnGeometry {
  OwnGeometry() { ++S().ownGeometry; }
  ~OwnGeometry() { --S().ownGeometry; }
  OwnGeometry(const OwnGeometry&) = delete;
  OwnGeometry& operator=(const OwnGeometry&) = delete;
};

void EnsureApp();
Record* Find(Wnd w);
std::shared_ptr<Record> Keep(Wnd w);
Record* TopOf(Wnd w);  // the top-level record (or floating dialog) a window lives in
Wnd NewHandle();
Result Call(Wnd w, Message m, WParam wParam, LParam lParam);
Wnd WndOfWidget(const QObject* widget);  // the window a Qt widget belongs to

// Queueing from the device.
void PostInput(Wnd w, Message m, WParam wParam, LParam lParam);
void PostCommand(Wnd dialog, int id, int code, Wnd control);
void PostKey(Wnd w, Message m, int k, unsigned modifiers, std::uint32_t ch);
// The character a key makes with these modifiers (0 for none); `typed` is what the device typed.
std::uint32_t CharFor(int k, unsigned modifiers, std::uint32_t typed);
// Qt's key codes and modifiers as ours (0 for a key we do not name).
int KeyFromQt(int qtKey);
unsigned ModifiersFromQt(Qt::KeyboardModifiers modifiers);
// A key from the script: down now, up once the program has taken its KeyUp.
void ScriptKey(int k, unsigned modifiers);

// Presentation.
// On the offscreen device no picture is on a screen, so Qt's deferred repaints are dropped there:
// what needs the device's picture (a snapshot renders its window itself, a screen grab) asks for it,
// through a ScreenPictures while it reads the screen.
bool NoScreen();
struct ScreenPictures {
  ScreenPictures();
  ~ScreenPictures();
  ScreenPictures(const ScreenPictures&) = delete;
  ScreenPictures& operator=(const ScreenPictures&) = delete;
};
void Pump();             // lets Qt deliver pending events (into our queue) and paint
void PumpSoon();         // Pump at most every 10 ms
void MarkAllPictures();  // the next Pump shows every picture again
std::uint64_t NowMs();

// The modal loop used by dialogs, boxes and the file and print dialogs.
void RunModal(ModalFrame& frame);
// Next message to dispatch, waiting for one when `wait`. Quit comes back as msg::Quit.
bool TakeNext(Msg& msg, bool wait);

// Surfaces.
void ResizeSurface(Record& r, int width, int height);
void LayoutTop(Record& r);  // menu bar over the client picture
void ClientChanged(Record& r, bool send);

// A destroyed bare dialog's window kept for the next dialog of its template; false when it is not
// kept (then it is deleted).
bool KeepBareDialog(Record& r);

// Placing (placement.cpp). PlaceWidget puts a top-level widget at `wanted` (its outer rectangle;
// `captionAbove` pixels of it are the emulated caption over the widget) moved inside the available
// area of the owner's screen, and with MERO_LOG_PLACES logs "place NAME L T R B in L T R B".
// PlaceCentred centres a dialog's widget on its owner first.
bool LogPlaces();
Rect PlaceWidget(QWidget* widget, Rect wanted, std::string_view name, int captionAbove, Wnd owner);
void PlaceCentred(QWidget* widget, std::string_view name, Wnd owner);

// Dialog helpers shared with the script driver.
bool ApplyDialogAction(Wnd dialog, const Action& action, std::string& error);
// Posted to a dialog whose edit field `wParam` refused what the user typed or pasted past its length:
// handled here, before the dialog's procedure (RefuseLongText).
constexpr Message kFieldRefused = 0x3f0;
void RefuseLongText(Wnd dialog, int id);
void CancelDialog(Wnd dialog);

bool HasTimer(Wnd w);

// Script driver (script.cpp).
bool DriverStart(std::string_view text, std::string& error);  // "" text stops scripted mode
void DriverSetFolder(const std::string& folder);              // where script paths start
void DriverDialogOpened(ModalFrame& frame, bool selfClosing);
bool DriverAnswerStep();
void DriverFrameEnded(ModalFrame& frame);  // actions left over are a script error
bool DriverIdleStep();
bool DriverActive();
int DriverStatus();
void DriverJobFailed();
bool DriverJobHasFailed();

// Bytes <-> Qt text: Latin-1 keeps every byte.
inline QString Q(std::string_view s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }
inline std::string B(const QString& s) { return s.toLatin1().toStdString(); }

// Shows a surface and turns the mouse into messages for `target`; coordinates are relative to
// `origin` (the dialog's root for owner-painted areas) when given.
class Canvas : public QWidget {
 public:
  Canvas(QWidget* parent, Wnd picture, Wnd target, QWidget* origin);
  Wnd picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void PostMouse(Message m, QMouseEvent* event);
  Wnd picture_;
  Wnd target_;
  QPointer<QWidget> origin_;
};

}  // namespace ui::detail
