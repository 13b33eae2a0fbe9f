// The editor's numbered message texts and the stage texts live with the cell database, which shows
// them too.
#pragma once
#include "editor/db/message_table.h"

namespace edui {

using db::kMessageCount;
using db::kProgressTextCount;
using db::MessageStyle;
using db::MessageText;
using db::ProgressText;

// Nonzero when another editor is running; the lock is held for the rest of the process.
int SingleInstanceTest();
// The warning the start-up shows when SingleInstanceTest is nonzero, captioned kInstanceCaption.
extern const char* const kInstanceCaption;
extern const char* const kInstanceWarning;

}  // namespace edui
