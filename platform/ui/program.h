// Program start and scripted runs.
//
// Every program with a window calls InitProgram first thing in main. It sets up the process
// (os::InitProcess), the display device and the "C" numeric locale, opens MERO_LOG, and reads
// MERO_SCRIPT: then the program runs scripted, as architecture.md's "Scripted runs" lays down:
// - answers queue for dialogs ("answer TEMPLATE set|check|pick|dblclick|press ...") and message boxes
//   ("box ok|cancel|yes|no"); the others ("command", "char", "key", "text", "click", "move", "post",
//   "wait", "snapshot", "quit") run one at a time whenever the program is idle;
// - text in double quotes may hold blanks, \" is a quote, \\ a backslash and \n a line break;
// - paths in the script are taken from the folder the program started in;
// - a modal dialog or box without an answer is logged, cancelled, and the run ends with status 3;
//   a line that cannot be parsed or applied ends it with status 2 (the main window is closed as the
//   user would close it; the Quit code carries the status, and the process ends with it);
// - otherwise a run in which a job ended in failure ends with status 1 (TellJobFailed), whatever
//   main returns;
// - the file dialog is the dialog "OPENFILE" (filedialog.h), the print dialog "PRINTSETUP" (print.h).
#pragma once
#include <string>
#include <string_view>

#include "platform/tell/talk.h"

namespace ui {

// `name` is the program's name in lower case ("wmero"): its template folder under resources/ui.
// Exits with status 2 at once when MERO_SCRIPT cannot be read or parsed.
void InitProgram(int argc, char** argv, std::string_view name);
// For tests: runs `scriptText` as if it came from MERO_SCRIPT ("" ends scripted mode), logging to
// `logPath` ("" for no log). False when the script cannot be parsed.
bool StartScriptForTests(std::string_view scriptText, std::string_view logPath);

// For tests: destroys every window, empties the queue, drops timers and a pending Quit, ends the script.
void ResetForTests();

bool IsScripted();
// 0 when the script failed so far, else 2 or 3.
int ScriptStatus();
// A job of this run ended in failure. Every box whose text is such an ending (tell::IsFailureEnding)
// tells it; a program that closes for another failure (a file it needs) calls it itself.
void TellJobFailed();
// The status a scripted run ends with: ScriptStatus when the script failed, else 1 once a job
// failed, else 0 (the program's own status stands).
int RunStatus();

// How long pauses take: 1 normally, 0 in a scripted run unless MERO_PAUSE_SCALE says otherwise.
double PauseScale();
// `milliseconds` scaled by PauseScale (rounded; never below 0).
int ScaledPause(int milliseconds);

// A line for MERO_LOG (without its end). Texts go in double quotes through QuoteForLog.
void LogLine(std::string_view line);
using tell::QuoteForLog;

}  // namespace ui
