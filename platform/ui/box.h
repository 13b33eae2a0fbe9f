// Message boxes: modal to the whole program (every window of it is disabled while a box is up), usable
// before any loop runs, from paint handlers and inside other modal loops; posted messages keep flowing.
#pragma once
#include <string_view>

#include "platform/tell/talk.h"
#include "platform/ui/types.h"

namespace ui {

// The programs' one button type; the programs' Talk reaches ShowBox through TalkBox (talk_box.h).
using BoxButtons = tell::Buttons;

// The answer: kIdOk, kIdCancel, kIdYes or kIdNo. A null caption shows "Error". Closing a box answers
// Cancel when it has one, Ok for an Ok box and No for a Yes/No box.
int ShowBox(Wnd owner, std::string_view text, const char* caption, BoxButtons buttons);

}  // namespace ui
