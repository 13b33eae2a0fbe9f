// The editor's starts of other programs: the help viewer (Help, and F1 on a button) and the reader
// program of Read.
#pragma once
#include "editor/ui/editor.h"

namespace edui {

// Starts the program of button `id` (the help viewer for 10, at the pending help topic); 0 when the
// id names none or the start failed (after a box saying so), else the start's result.
int LaunchSuiteProgram(Editor& ed, int id);
// READER, then the chosen program on the chosen file; 0 when cancelled or the start failed.
int RunReaderProgram(Editor& ed);
// F1 on a button: the help viewer at the id's topic. 1 when the id has one, else 0.
int CommandHelp(Editor& ed, int id);

}  // namespace edui
