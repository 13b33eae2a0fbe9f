// TLCIN: TLC files of a source folder into cells of a destination drawing folder (BP6, CL6 and the
// rows of its CELLS6.DBD).
#pragma once
#include "editor/tlc/run.h"
#include "editor/tlc/tlcout.h"

namespace tlc {

// Runs TLCIN with `setup` as the remembered values (the set-up dialog, when there is one, shows and
// updates them unless quiet).
// The run works in a database of its own; a caller whose drawing folder was the destination reads
// its CELLS6.DBD again. 0 when the dialog is cancelled, else 1.
int ConvertTlcToCells(bool quiet, TlcSetup& setup, tell::Talk& talk, TlcRunSummary* summary = nullptr,
                      const SetupDialog& dialog = {});

}  // namespace tlc
