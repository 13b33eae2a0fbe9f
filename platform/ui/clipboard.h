// The clipboard: text both ways, a picture out. The clipboard keeps its own copy of what is put on it.
#pragma once
#include <string>
#include <string_view>

#include "platform/gfx/surface.h"

namespace ui {

bool CopyTextToClipboard(std::string_view text);
// "" when the clipboard holds no text.
std::string ClipboardText();
bool CopyImageToClipboard(const gfx::Surface& image);
// The picture on the clipboard; an empty surface when there is none.
gfx::Surface ClipboardImage();

}  // namespace ui
