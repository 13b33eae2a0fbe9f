// How every program tells the user while it works: message boxes, the progress display, pauses the
// user may cancel, the key polls and the editor's title notices. Logic libraries take a Talk& and
// never touch a window; each program implements it with its windows (the boxes through the one
// bridge in platform/ui/talk_box.h), tests with tell::Recorder. Every default does nothing and never
// stops, so a run that shows nothing (a batch tool, a benchmark) uses Talk as it stands.
#pragma once
#include <string>
#include <string_view>

namespace tell {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// What a box nobody sees answers: OK, or Yes to a question, so the work goes on.
Answer GoOnAnswer(Buttons buttons);

class Talk {
 public:
  virtual ~Talk() = default;

  // A message box; an empty caption means none.
  virtual Answer Box(std::string_view /*caption*/, std::string_view text, Buttons buttons = Buttons::Ok);

  // The progress display of a run that opens its own (the frame of a utility opens it around the job).
  virtual void OpenDisplay(std::string_view /*caption*/) {}
  virtual void CloseDisplay() {}
  virtual void SetDisplayTitle(std::string_view /*text*/) {}
  // Text of one item of the progress display or of the dialog the work runs in.
  virtual void SetItemText(int /*item*/, std::string_view /*text*/) {}
  // A count in one item; a display that holds fast-changing items back formats it only when shown.
  virtual void SetItemNumber(int item, long long value);

  // Lets pending work run for this long; true when the user stopped the work (Esc, Cancel, closing
  // the display).
  virtual bool Pause(int /*milliseconds*/) { return false; }
  // True while the key is held down.
  virtual bool IsEscapePressed() { return false; }
  virtual bool IsControlPressed() { return false; }
  // An Esc key press waiting to be read, taken out of the queue.
  virtual bool EscapeWaiting() { return false; }

  // The editor's main-window title of kind 0..4 for the cell name (1 saving, 2 loading, 3 backup,
  // 4 TLCout, 0 the normal title), and how long a notice stays on screen.
  virtual void SetMainTitle(int /*kind*/, std::string_view /*cellName*/) {}
  virtual void HoldNotice(int /*milliseconds*/) {}
};

// A text in double quotes as MERO_LOG writes it: a line break as \n, a carriage return as \r, a
// double quote as \".
std::string QuoteForLog(std::string_view text);

// True for the text with which a job ends in failure: one that begins "Aborted", or ends (past
// trailing dots and blanks) in "Can't Continue" or "Missing". Warnings that go on ("... Token Cell
// Made", "... Trying TFF.DBD") are not such endings.
bool IsFailureEnding(std::string_view text);

}  // namespace tell
