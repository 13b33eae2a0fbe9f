// The editor's numbered message texts and the stage texts of long System Mode and editing commands,
// and the box that shows a numbered message.
#pragma once
#include "platform/tell/talk.h"

namespace db {

constexpr int kMessageCount = 33;
constexpr int kProgressTextCount = 15;

// Text of message n (0 to 32); an out-of-range number gives message 0.
const char* MessageText(int n);
// Message-box style of message n: every row is a plain OK box.
int MessageStyle(int n);
// Stage text n (0 to 14) for the SYSTEM dialog and the BOTTOM bar; out of range gives "".
const char* ProgressText(int n);

// Message n in an OK box without caption; nothing without a talk.
void TellMessage(tell::Talk* talk, int n);
// Message 11 for a save that failed, naming each file whose writing failed since the last call and
// the system's reason ("File Error ... Unable to Write /d/TOP.BP6 (Permission denied)"), in a box
// captioned MERO; the bare message when no write was noted. The failures told are taken.
void TellWriteFailures(tell::Talk* talk);

}  // namespace db
