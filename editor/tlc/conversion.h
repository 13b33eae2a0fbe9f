// State and talk of one TLCIN or TLCOUT run, shared by the two conversions.
#pragma once
#include <string>
#include <string_view>

#include "editor/tlc/run.h"
#include "platform/tell/talk.h"

namespace tlc {

// printf into a string ("C" locale numbers).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

struct Conversion {
  Conversion(tell::Talk& talk, std::string caption, bool quiet)
      : talk(talk), caption(std::move(caption)), quiet(quiet) {}

  tell::Talk& talk;
  std::string caption;  // "TLCIN" or "TLCOUT"
  bool quiet;
  bool fastRun = true;
  bool replaceLesser = false;
  RunFlags flags;
  int cells = 0;  // converted or written
  int droppedRefs = 0;  // cell references refused, counted in the final message
  bool listFullShown = false;

  // DISPLAY items are written only in a run with a display.
  void Item(int item, std::string_view text) {
    if (!quiet) talk.SetItemText(item, text);
  }
  void Box(std::string_view text) { talk.Box(caption, text); }
  // A message that spoils the result.
  void Fail(std::string_view text) {
    Box(text);
    flags.error = true;
  }
  // ShowPause; gives the stop flag.
  bool Pause(int milliseconds) {
    if (talk.Pause(milliseconds)) flags.stop = true;
    return flags.stop;
  }
  // The pause between cells, left out in a Fast Run.
  void CellPause() {
    if (!fastRun) Pause(200);
  }
  // Appends a cell to a conversion list unless the list is full (told once per run).
  bool Append(std::vector<ListEntry>& list, ListEntry entry);
  // Yes replaces the lesser cells, No leaves them, Cancel stops the run.
  void AskReplaceLesser(std::string_view question);
  // The message that ends a run: error, aborted or complete (the last unless quiet).
  void FinalMessage(bool finished);
};

}  // namespace tlc
