#include "platform/ui/talk_box.h"

#include <string>

#include "platform/ui/box.h"
#include "platform/ui/keys.h"

namespace ui {

tell::Answer TalkBox(Wnd owner, std::string_view caption, std::string_view text, tell::Buttons buttons) {
  const std::string c(caption);
  switch (ShowBox(owner, text, c.empty() ? nullptr : c.c_str(), buttons)) {
    case kIdOk: return tell::Answer::Ok;
    case kIdYes: return tell::Answer::Yes;
    case kIdNo: return tell::Answer::No;
    default: return tell::Answer::Cancel;
  }
}

tell::Answer WindowTalk::Box(std::string_view caption, std::string_view text, tell::Buttons buttons) {
  return TalkBox(owner, caption, text, buttons);
}

bool WindowTalk::IsEscapePressed() { return IsKeyDown(key::Escape); }

bool WindowTalk::IsControlPressed() { return IsKeyDown(key::Control); }

}  // namespace ui
