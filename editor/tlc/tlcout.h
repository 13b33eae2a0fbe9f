// TLCOUT: cells of a drawing folder into TLC files, with CELLS.REF and LAYERS.REF when all are written.
#pragma once
#include <string_view>

#include "editor/tlc/run.h"
#include "platform/tell/talk.h"

namespace tlc {

struct TlcRunSummary {
  int result = 0;  // the run's own result
  int cells = 0;   // cells converted or written
  bool error = false;
  bool stop = false;
};

// Runs TLCOUT with `setup` as the remembered values (the set-up dialog, when there is one, shows and
// updates them unless quiet).
// Quiet: no dialog, no display, no message when it succeeds (the cell save's TLC copy). The run
// works in a database of its own, so the caller's open cell is left as it was. 0 when the dialog is
// cancelled, else 1.
int ConvertCellsToTlc(bool quiet, TlcSetup& setup, tell::Talk& talk, TlcRunSummary* summary = nullptr,
                      const SetupDialog& dialog = {});

// The quiet TLCOUT of a cell save: the cell alone into the drawing folder itself. 1 done, 0 failed.
int QuietTlcOut(std::string_view cellName, tell::Talk& talk);

}  // namespace tlc
