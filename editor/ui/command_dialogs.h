// Dialogs of the view and command-line commands: CMD, MACRO, DPTH, SWIN and WDGRD.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "editor/ui/editor.h"

namespace edui {

constexpr std::size_t kCommandLineChars = 79;  // the command line buffer holds 80 with its end
constexpr std::size_t kMacroChars = 1023;

// CMD: 1 Execute (ed.commandLine filled, the history updated), 2 Macro, 0 Cancel.
int RunCmdDialog(Editor& ed);
// MACRO: 1 Execute (ed.macroText stored), 0 Cancel.
int RunMacroDialog(Editor& ed);
// Puts a line first in the command history: an equal line (case-blind) moves up, else the oldest
// drops out. An empty line changes nothing.
void RememberCommand(std::array<std::string, 16>& history, std::string_view line);

// A dialog of one edit field: shows `shown`, and on OK hands the text typed (up to 64 characters) to
// `take`. 1 OK, 0 Cancel, -1 when the template is missing.
int RunValueDialog(Editor& ed, const char* name, int field, const std::string& shown,
                   const std::function<void(const std::string&)>& take);

// DPTH: stores the number typed as the display depth (the command limits it); 1 OK, 0 Cancel.
int RunDepthDialog(Editor& ed);
// SWIN: stores the number typed as the window number; 1 OK, 0 Cancel.
int RunWindowNumberDialog(Editor& ed);
// WDGRD: shows `value` (user units); on OK the text typed is in ed.answer. 1 OK, 0 Cancel.
int RunGridSizeDialog(Editor& ed, double value);

}  // namespace edui
