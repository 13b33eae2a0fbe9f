// The editor's numbered message texts and the stage texts of long System Mode and editing commands.
#pragma once

namespace edui {

constexpr int kMessageCount = 33;
constexpr int kProgressTextCount = 15;

// Text of message n (0 to 32); an out-of-range number gives message 0.
const char* MessageText(int n);
// Message-box style of message n: every row is a plain OK box.
int MessageStyle(int n);
// Stage text n (0 to 14) for the SYSTEM dialog and the BOTTOM bar; out of range gives "".
const char* ProgressText(int n);

// Nonzero when another editor is running; the lock is held for the rest of the process.
int SingleInstanceTest();
// The warning WinMain shows when SingleInstanceTest is nonzero, captioned kInstanceCaption.
extern const char* const kInstanceCaption;
extern const char* const kInstanceWarning;

}  // namespace edui
