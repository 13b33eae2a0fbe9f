// Key codes and key-state polls. The table is kept up to date by the event stream; a poll only reads
// it. A redraw polls once per object, so a poll must cost nanoseconds: every few hundred polls one of
// them checks a clock and, at most every 20 ms, lets the device's pending input into the
// table and the queue (nothing is dispatched) and shows what was drawn meanwhile.
#pragma once
#include <cstdint>

namespace ui {

namespace key {
// Letters and digits are their upper-case characters ('A', '7').
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Shift = 0x100;
constexpr int Control = 0x101;
constexpr int Alt = 0x102;
constexpr int Left = 0x103;
constexpr int Up = 0x104;
constexpr int Right = 0x105;
constexpr int Down = 0x106;
constexpr int PageUp = 0x107;
constexpr int PageDown = 0x108;
constexpr int Home = 0x109;
constexpr int End = 0x10A;
constexpr int Insert = 0x10B;
constexpr int Delete = 0x10C;
constexpr int F1 = 0x120;  // F1 .. F12 are F1 + 0 .. F1 + 11
constexpr int F12 = F1 + 11;
constexpr int Count = 0x140;
constexpr int F(int n) { return F1 + n - 1; }
}  // namespace key

namespace detail {
inline std::uint8_t keyTable[key::Count] = {};
inline int pollBudget = 0;
void RefreshInput();
}  // namespace detail

// True while the key is held down now.
inline bool IsKeyDown(int k) {
  if (--detail::pollBudget < 0) detail::RefreshInput();
  return unsigned(k) < unsigned(key::Count) && detail::keyTable[k] != 0;
}

// Removes the first queued key-down of `k` (after letting pending input in); true when there was one.
// For "is an Esc waiting?" checks that must not let other input through.
bool TakeKeyPress(int k);

// Input as the device delivers it; the script driver uses the same entry points. A press marks the key
// down and queues KeyDown (SysKeyDown with Alt) to the focus window, with the character it makes;
// a release marks it up and queues KeyUp.
void PressKey(int k, unsigned modifiers, std::uint32_t ch);
void ReleaseKey(int k, unsigned modifiers);
// Forgets every held key (the program lost the keyboard).
void ReleaseAllKeys();

// "Esc", "F1", "ctrl+alt+C", "Left", "a" ... into a key and modifiers; false when unknown.
bool ParseKeyName(const char* name, int& k, unsigned& modifiers);

}  // namespace ui
