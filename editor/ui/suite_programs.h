// Starting the other programs of the suite from the editor: the help viewer (Help and F1 on a
// button), the suite's utilities by their button ids, and the reader program of Read.
#pragma once
#include <string>
#include <vector>

#include "editor/ui/editor.h"

namespace edui {

// The program started for button `id`, with its arguments after the program path; false for an id
// that no program has.
bool SuiteProgramCommand(Editor& ed, int id, std::string& program, std::vector<std::string>& args);
// Starts the program of `id` without waiting: 0 when the id names none or the start failed (after a
// box saying so), else the start's result.
int LaunchSuiteProgram(Editor& ed, int id);
// READER, then the chosen program on the chosen file; 0 when cancelled or the start failed.
int RunReaderProgram(Editor& ed);
// The help topic word of a command, button or menu id; "" when none.
std::string HelpTopicWord(Editor& ed, int id);
// F1 on a button: the help viewer at the id's topic. 1 when the id has one, else 0.
int CommandHelp(Editor& ed, int id);

}  // namespace edui
