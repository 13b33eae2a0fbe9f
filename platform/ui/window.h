// Window classes, windows, the message queue and loop, painting, focus and timers.
//
// - Send is a direct, re-entrant call of the window procedure. Post appends to one FIFO queue.
// - NextMessage returns posted messages first; when the queue is empty it makes a Paint for a window
//   with an invalid region, then a Timer for a due timer; mouse moves are coalesced.
// - Every modal loop (dialogs, message boxes, the file and print dialogs) dispatches posted messages of
//   every window, the main window's included.
// - A window's picture is a retained gfx::Surface of its client size. Programs draw into it at any
//   time; an exposure just shows it again and never makes a Paint. What was drawn shows after each
//   dispatched message, at EndPaint, at ShowNow, and during long handlers at the key polls.
// - Creating a window sends Create inside MakeWindow. A window may be destroyed inside its own
//   dispatch; calls on a dead or null handle do nothing.
#pragma once
#include <string>
#include <string_view>

#include "platform/gfx/surface.h"
#include "platform/ui/menu.h"
#include "platform/ui/types.h"

namespace ui {

namespace cls {
constexpr unsigned Redraw = 1;        // a size change invalidates the whole client area
constexpr unsigned DoubleClicks = 2;  // a second click in time makes a double-click message
}  // namespace cls

constexpr std::int64_t kNoBrush = -1;

struct WindowClass {
  std::string name;
  WndProc proc;
  unsigned style = 0;                  // cls::...
  std::int64_t background = 0x000000;  // 0x00RRGGBB the update region is erased with, or kNoBrush
  std::vector<MenuItem> menu = {};     // the menu bar of top-level windows of the class
};
// Replaces a class of the same name.
void DefineClass(const WindowClass& windowClass);

namespace style {
constexpr unsigned Caption = 1;
constexpr unsigned SysMenu = 2;
constexpr unsigned MinimizeBox = 4;
constexpr unsigned MaximizeBox = 8;
constexpr unsigned Sizable = 16;
constexpr unsigned Child = 32;    // a child window in the parent's client area (x, y relative to it)
constexpr unsigned Visible = 64;  // shown at once
}  // namespace style

// A top-level window (or, with style::Child, a child of `parent`). Width and height are the outer size
// of a top-level window (caption included) and the client size of a child. Create runs inside this
// call with lParam = createParam; a procedure that answers -1 refuses and 0 is returned. The first
// top-level window made is the program's main window.
Wnd MakeWindow(std::string_view className, std::string_view title, unsigned windowStyle, int x, int y, int width,
               int height, Wnd parent, LParam createParam = 0);
// Destroy goes to the window (owned dialogs first, children after it); then the handle is dead.
bool Destroy(Wnd w);
bool IsAlive(Wnd w);
Wnd MainWindow();
Wnd Parent(Wnd w);  // dialogs: their owner; controls: their dialog

Result Send(Wnd w, Message m, WParam wParam = 0, LParam lParam = 0);
bool Post(Wnd w, Message m, WParam wParam = 0, LParam lParam = 0);
void PostQuit(int code);

// The next message, waiting for one. False at Quit (msg.wParam holds the code). In a scripted run
// the driver acts whenever the program is idle here.
bool NextMessage(Msg& msg);
// True and the message when one is ready now (posted, paint or due timer); never waits.
bool PeekMessage(Msg& msg);
// Key downs that make characters queue Char (SysChar with Alt) right behind them.
void TranslateKeys(const Msg& msg);
Result Dispatch(const Msg& msg);
// What a window does with messages its procedure leaves: Close destroys, Paint validates, SysChar
// runs the menu bar's mnemonics.
Result DefaultProc(Wnd w, Message m, WParam wParam, LParam lParam);

namespace show {
constexpr int Hide = 0;
constexpr int Normal = 1;
constexpr int Minimized = 2;
constexpr int Maximized = 3;
}  // namespace show
// Shows the window; a change of the client size or of the state sends Size.
void Show(Wnd w, int how);
// Top-level windows: outer position and size on the screen. Others: position in the parent's client
// area and client size. A size change sends Size.
void Move(Wnd w, int x, int y, int width, int height);
Rect ClientRect(Wnd w);
Rect WindowRect(Wnd w);  // screen coordinates
void BringToTop(Wnd w);

// Title of a top-level window or dialog, text of a control. Shows at once.
void SetTitle(Wnd w, std::string_view text);
std::string Title(Wnd w);

Wnd Focus(Wnd w);  // returns the window that had the focus; sends KillFocus and SetFocus
Wnd Focused();
bool IsForeground(Wnd w);  // the window's top-level is the active one and no modal loop runs
void Enable(Wnd w, bool enable);
bool IsEnabled(Wnd w);

// Timer `id` of window `w` every `milliseconds` until stopped; Timer is made when the queue is empty.
void StartTimer(Wnd w, WParam id, int milliseconds);
void StopTimer(Wnd w, WParam id);

// Painting. Invalidate adds to the update region (nullptr: the whole client area); with `erase` the
// next BeginPaint fills the region with the class brush. BeginPaint works with an empty region too.
void Invalidate(Wnd w, const Rect* rect, bool erase);
void Validate(Wnd w);
struct PaintInfo {
  Rect rect;  // the update region's bounds (empty when nothing was invalid)
  bool erased = false;
};
PaintInfo BeginPaint(Wnd w);
void EndPaint(Wnd w);  // shows the picture now
// Sends Paint at once when the window has an invalid region.
void UpdateNow(Wnd w);
// The window's retained picture (client size); nullptr for a window without one. The object stays
// the same for the window's life; its size follows the client size.
gfx::Surface* WindowSurface(Wnd w);
// Shows what was drawn into the window's surface (and every picture of a dialog) now.
void ShowNow(Wnd w);

// The window's client area as the display shows it now, read back from the screen (for tests that
// check what reached a real display); empty when it cannot be read.
gfx::Surface GrabFromScreen(Wnd w);

// The system pointer over our windows is shown while the count is 0 or more; returns the new count.
int ShowPointer(bool show);

enum class Metric {
  ScreenWidth,
  ScreenHeight,
  FullScreenWidth,  // client area of a maximised window
  FullScreenHeight,
  CaptionHeight,
  MenuHeight,
  MenuButtonWidth,
  MenuButtonHeight,
};
int SystemMetric(Metric m);

// A standard loop: NextMessage, then `dialog` routing (a modeless dialog, may be 0), then the
// accelerator table for `main` when given, then TranslateKeys and Dispatch. Returns the Quit code.
int RunMessageLoop(Wnd main, const AcceleratorTable* accelerators, const Wnd* dialog = nullptr);

}  // namespace ui
