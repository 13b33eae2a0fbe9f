// Dialogs of the editing and setting commands: each shows the current value and on OK hands back
// what was typed (in ed.answer) or stores the setting itself. All give 1 on OK and 0 on Cancel.
#pragma once
#include <string>

#include "editor/ui/editor.h"

namespace edui {

constexpr std::size_t kAnswerChars = 64;

// One number in ed.answer: SNAP shows `value` (user units), ROT the last angle, RESZ the last
// multiplier, OVSZ the last oversize amount, WSIZE `value` (user units, 10 digits).
int RunSnapDialog(Editor& ed, double value);
int RunRotDialog(Editor& ed);
int RunReszDialog(Editor& ed);
int RunOvszDialog(Editor& ed);
int RunWsizeDialog(Editor& ed, double value);
// MAKE/APPEND: the cell name typed or picked with List, in ed.answer.
int RunMakeDialog(Editor& ed);
// SMSH: 1 go on, 0 stop.
int RunSmshDialog(Editor& ed);
// TEXT: edits ed.edit.textBuffer (up to 64 characters).
int RunTextDialog(Editor& ed);
// ARC: stores the direction ("cw"/"ccw" as shown) and the segment count as typed.
int RunArcDialog(Editor& ed);
// The direction button's next text: "cw" becomes "ccw", anything else "cw".
std::string NextArcDirection(const std::string& now);
// STEP: stores columns and rows as typed and the two steps (typed x scale, truncated).
int RunStepDialog(Editor& ed);
// RESCAP: stores C, R and the parameter set number (Continue).
int RunResCapDialog(Editor& ed);
// The parameter set number Load shows: 9 and above give 9, below 2 give 1.
int LimitResSet(int n);
// FONT: stores the font path typed or picked (up to 64 characters) as the current font path.
int RunFontDialog(Editor& ed);
// SET: grids, drawing resolution, "TLCout when Saving Cell" and "Enable Global TLC".
int RunSetDialog(Editor& ed);
// ANYLIST "Available Objects": a double click gives "B", "P" or the cell's name in ed.answer.
int RunObjectListDialog(Editor& ed);

}  // namespace edui
