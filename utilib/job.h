// What a utility's job (a conversion, a check run) keeps while it runs: its talk to the user (the
// frame's DISPLAY, PAUSE and boxes; tell::Recorder in tests), the abort flag and the report file.
// A job's core takes a Job& and never touches a window itself.
#pragma once
#include <cstdarg>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/os/textfile.h"
#include "platform/tell/talk.h"

namespace db {
struct AsideRecords;
}

namespace utilib {

// Where a message goes.
enum class MessageKind {
  Item = 0,           // a DISPLAY item only
  ReportAndItem = 1,  // a line of the report file and a DISPLAY item
  ReportAndBox = 2,   // the report, framed by blank lines, and a message box
};

// The state one Go of a utility shares with the routines it calls.
struct Job {
  Job(std::string programName, tell::Talk& ui) : programName(std::move(programName)), ui(&ui) {}

  std::string programName;  // upper case, as in captions ("STRMEXP")
  tell::Talk* ui;
  bool abort = false;
  // A failure was told that the job's result does not carry (an installer's error box).
  bool failed = false;
  // Report line format of kind-1 messages; the design-rule checker adds a blank line after each.
  const char* reportLineFormat = "%s\n";
  // Pause before the last line of a set of rotating message lines is reused.
  int rotatingPauseMs = 500;

  // The report file while Go runs, else none.
  std::unique_ptr<os::TextWriter> report;
  std::string messageBuffer;  // the line about to go to the report
  int rotatingCounter = 0;

  // What TellSetAside told this run, and how many records it named.
  std::set<std::string> asideTold;
  int asideRecords = 0;
};

// Shows `text` by kind; any other kind does nothing.
void RouteMessage(Job& job, std::string_view text, MessageKind kind, int item);
void SetItemText(Job& job, std::string_view text, int item);
void SetItemNumber(Job& job, long long value, int item);
// Empties items first .. first + n (n + 1 items) and restarts the rotating lines.
void ClearMessageLines(Job& job, int n, int first);
// Id of the next of n rotating message lines from `first`; pauses before the last line of a set.
int NextMessageLine(Job& job, int n, int first);
// A kind-1 message on the next of n rotating lines from `first`.
void ReportOnNextLine(Job& job, std::string_view text, int n, int first);
// Appends the message buffer to the report when it is open.
void WriteReportBuffer(Job& job);

// Report file: created (replacing an old one) at Go; what was written stays when the job stops early.
bool OpenReport(Job& job, std::string_view path);
// OpenReport, then the title line "*** TITLE  DATE  TIME ***" (dates as "03/07/24") and a blank line.
bool OpenConversionReport(Job& job, std::string_view path, std::string_view title);
void ReportPrintf(Job& job, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Closes the report; 1 when every byte reached the file (or there was none), else 0.
int CloseReport(Job& job);

// Yields to the user for the given time; Esc, Cancel or closing sets the abort flag.
void ShowPause(Job& job, int milliseconds);
// Polls the Esc key; sets the abort flag while it is down. Gives the abort flag.
bool PollEscape(Job& job);
// A condition the job cannot go on from: the text in the report, framed by blank lines, and in a
// message box; the abort flag is set.
void StopJob(Job& job, std::string_view text);
// Records of a cell's files that the run cannot use: the loader set them aside (a layer outside
// 1..64, a reference to no cell) and the run goes on without them. Told in the editor's words
// ("LEAF: 1 Record Set Aside: ..."), each text once a run: the first in the report and a box, the
// others in the report; their count goes into the final message. Nothing when there are none.
// `records` holds those of one load (a BP6's objects, or a CL6's references).
void TellSetAside(Job& job, std::string_view cellName, const db::AsideRecords& records);
// `completion` as a run that left records out must end it: " ... 1 Record Set Aside, not Used" added.
std::string CompletionText(const Job& job, std::string_view completion);

// The last message of a Go, in the report and a message box: `completion` after a job that completed
// (1), with what TellSetAside told added (CompletionText), "Aborted ... Files may be Incomplete" after
// one that stopped (0), nothing after one that never began (2), its reason told already.
void ReportJobEnd(Job& job, int result, std::string_view completion);
// An OK/Cancel question captioned with the program name; Cancel sets the abort flag. True on OK.
bool AskOkOrAbort(Job& job, std::string_view text);
// printf into a std::string in the "C" locale.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

}  // namespace utilib
