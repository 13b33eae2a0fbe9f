// Windows, messages and their parameters. One thread; a window is a handle and a procedure that takes
// a message number and two parameters. Handles are never reused, so a stale handle is simply dead and
// every call on it does nothing.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/gfx/geometry.h"

namespace ui {

using Wnd = std::uint32_t;  // 0 is "no window"
using Message = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using Result = std::intptr_t;

// Pixels; rectangles leave out their right and bottom edges.
using Point = gfx::Point;
using Rect = gfx::Rect;

struct Msg {
  Wnd wnd = 0;
  Message message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  std::uint32_t time = 0;      // tick count when it was queued
  std::uint32_t charCode = 0;  // key downs: the character the key makes (TranslateKeys queues it)
};

// Message numbers. Programs' own messages start at User.
namespace msg {
constexpr Message Null = 0;
constexpr Message Create = 1;  // lParam: the creation parameter; return -1 to refuse
constexpr Message Destroy = 2;
constexpr Message Size = 3;  // wParam: size::...; lParam: MakeLParam(client width, height)
constexpr Message Paint = 4;
constexpr Message Close = 5;      // the close box; DefaultProc destroys the window
constexpr Message Quit = 6;       // never dispatched: NextMessage returns false with it
constexpr Message SetFocus = 7;   // wParam: the window that lost the focus
constexpr Message KillFocus = 8;  // wParam: the window that gets the focus
constexpr Message DisplayChange = 9;

constexpr Message KeyDown = 0x20;  // wParam: key::...; lParam: modifier bits (mod::...)
constexpr Message KeyUp = 0x21;
constexpr Message Char = 0x22;        // wParam: character code (Ctrl+A = 1 ... Ctrl+Z = 26, Enter 13, Esc 27)
constexpr Message SysKeyDown = 0x23;  // a key with Alt held
constexpr Message SysKeyUp = 0x24;
constexpr Message SysChar = 0x25;  // the character of an Alt key; DefaultProc runs menu mnemonics

// Mouse: wParam button and modifier bits (mouse::...), lParam MakeLParam(x, y) in client pixels.
constexpr Message MouseMove = 0x30;
constexpr Message LButtonDown = 0x31;
constexpr Message LButtonUp = 0x32;
constexpr Message LButtonDblClk = 0x33;
constexpr Message RButtonDown = 0x34;
constexpr Message RButtonUp = 0x35;
constexpr Message RButtonDblClk = 0x36;
constexpr Message NcMouseMove = 0x37;  // the pointer left the client area
constexpr Message SetCursor = 0x38;    // the pointer is over a dialog

constexpr Message Timer = 0x40;       // wParam: timer id
constexpr Message Command = 0x41;     // wParam: MakeWParam(id, notify::...); lParam: the control or 0
constexpr Message InitDialog = 0x42;  // lParam: the dialog's parameter
constexpr Message VScroll = 0x43;     // wParam: MakeWParam(scroll::..., position); lParam: the bar
constexpr Message HScroll = 0x44;

constexpr Message User = 0x400;
}  // namespace msg

namespace size {
constexpr WParam Restored = 0;
constexpr WParam Minimized = 1;
constexpr WParam Maximized = 2;
}  // namespace size

// Notification codes in the high word of a Command's wParam.
namespace notify {
constexpr int Clicked = 0;      // buttons; also menu items
constexpr int Accelerator = 1;  // a command from an accelerator table
constexpr int SelChange = 1;    // list and combo boxes: the selection changed
constexpr int DblClk = 2;       // list boxes: a row was double-clicked
constexpr int EditChange = 3;   // edits and the edit field of a combo box
}  // namespace notify

// Scroll-bar codes in the low word of VScroll/HScroll.
namespace scroll {
constexpr int LineUp = 0;
constexpr int LineDown = 1;
constexpr int PageUp = 2;
constexpr int PageDown = 3;
constexpr int ThumbPosition = 4;
constexpr int ThumbTrack = 5;
constexpr int Top = 6;
constexpr int Bottom = 7;
constexpr int EndScroll = 8;
}  // namespace scroll

// Mouse wParam bits.
namespace mouse {
constexpr WParam Left = 1;
constexpr WParam Right = 2;
constexpr WParam Shift = 4;
constexpr WParam Control = 8;
}  // namespace mouse

// Keyboard modifier bits (key message lParam, accelerator entries).
namespace mod {
constexpr unsigned Shift = 1;
constexpr unsigned Control = 2;
constexpr unsigned Alt = 4;
}  // namespace mod

// Dialog results and the standard button ids: Enter means Ok, Esc means Cancel.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

constexpr int LowWord(WParam w) { return int(w & 0xFFFF); }
constexpr int HighWord(WParam w) { return int((w >> 16) & 0xFFFF); }
constexpr WParam MakeWParam(int low, int high) { return (WParam(high & 0xFFFF) << 16) | WParam(low & 0xFFFF); }
// Two signed 16-bit halves, as mouse positions and sizes travel.
constexpr LParam MakeLParam(int low, int high) {
  return LParam(std::int32_t((std::uint32_t(high & 0xFFFF) << 16) | std::uint32_t(low & 0xFFFF)));
}
constexpr int LParamX(LParam l) { return int(std::int16_t(std::uint16_t(l & 0xFFFF))); }
constexpr int LParamY(LParam l) { return int(std::int16_t(std::uint16_t((l >> 16) & 0xFFFF))); }

using WndProc = std::function<Result(Wnd, Message, WParam, LParam)>;

}  // namespace ui
