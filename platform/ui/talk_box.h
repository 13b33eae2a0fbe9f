// The one bridge from the programs' Talk to the platform's message box, and the Talk of a program
// whose work only shows boxes and reads the keys.
#pragma once
#include <string_view>

#include "platform/tell/talk.h"
#include "platform/ui/types.h"

namespace ui {

// A box of talk's buttons through ShowBox, its answer in talk's terms. An empty caption shows none.
tell::Answer TalkBox(Wnd owner, std::string_view caption, std::string_view text, tell::Buttons buttons);

// Boxes owned by `owner` through TalkBox, and Esc and Ctrl from the key table; the rest does nothing.
class WindowTalk : public tell::Talk {
 public:
  explicit WindowTalk(Wnd owner = 0) : owner(owner) {}
  tell::Answer Box(std::string_view caption, std::string_view text,
                   tell::Buttons buttons = tell::Buttons::Ok) override;
  bool IsEscapePressed() override;
  bool IsControlPressed() override;

  Wnd owner;
};

}  // namespace ui
