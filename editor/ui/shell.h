// Small services every part of the editor uses: messages to the main window and message boxes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/ui/editor.h"
#include "platform/ui/types.h"

namespace edui {

ui::Result SendToMain(Editor& ed, ui::Message m, ui::WParam w = 0, ui::LParam l = 0);
void PostToMain(Editor& ed, ui::Message m, ui::WParam w = 0, ui::LParam l = 0);

// Message n of the message table in a box without owner and caption.
void ShowMessage(Editor& ed, int n);
// Any other OK box; an empty caption shows none.
void ShowTextBox(Editor& ed, std::string_view caption, std::string_view text);

}  // namespace edui

namespace edui {

// Numbers typed into dialogs and on the command line, read as atoi and atof read them in the "C"
// locale (db::LeadingInt, db::LeadingDouble): text that is not a decimal number reads as 0, and the
// result is always a finite value.
int TextToInt(std::string_view text);
double TextToDouble(std::string_view text);
// A typed value in database units as a coordinate: truncated toward zero, held within +-8388608.
std::int32_t TruncatedCoordinate(double units);
// "%.*g" of a value.
std::string FormatG(double value, int digits);
// Equal but for the case of letters, as typed command words and command lines compare.
bool SameNoCase(std::string_view a, std::string_view b);

}  // namespace edui
