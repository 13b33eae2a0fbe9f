// The extractor's setting dialogs: SETUP1 with its cell picker and the Fast Run switch, SETUP2 whose
// OK is Compare, TRACE and SMASH.
#pragma once
#include "editor/db/cell_index.h"
#include "extract/settings.h"

namespace ext {

// SETUP1 item ids beyond the slots 100..115.
constexpr int kFastRunItem = 120, kListButton = 1040;

// Each ends with 1 on OK (slots stored and normalised) and 0 on Cancel or close.
int RunSetup1Dialog(ExtractorSettings& s, const db::CellIndex& index);
int RunSetup2Dialog(ExtractorSettings& s);
int RunTraceDialog(ExtractorSettings& s);
int RunSmashDialog(ExtractorSettings& s);

}  // namespace ext
