// The typed command line, macros and the "Cmd" command.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ui/editor.h"

namespace edcmd {

constexpr std::size_t kMacroLineLength = 80;  // a macro line ends at its 80th character

// Words of a line: blanks and commas separate, runs of them count as one.
std::vector<std::string> SplitCommandTokens(std::string_view line);
// A typed number in user units to database units: read as the C library reads decimals (text that is
// not a number reads as 0), times the scale, truncated toward zero and kept within the coordinate
// range.
std::int32_t TypedCoordinate(std::string_view token, double scale);

// Runs ed.commandLine: 1 when the command ran and ended (or needed no points), 0 when the line was
// ignored, named no command, or ran out of numbers while the command still waits for points.
int ExecuteCommandLine(edui::Editor& ed);
// Runs a macro text line by line.
void RunMacro(edui::Editor& ed, std::string_view text);
// Handler of "Cmd".
void CmdCommand(edui::Editor& ed);

}  // namespace edcmd
