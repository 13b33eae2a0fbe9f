// The quick-help line tables of the TLCIN and TLCOUT set-up dialogs, and the scrolling of the HELPER
// text area over them.
#pragma once
#include <span>
#include <string_view>

namespace tlc {

std::span<const std::string_view> TlcInHelpLines();   // 67 lines
std::span<const std::string_view> TlcOutHelpLines();  // 69 lines

// Top line of the HELPER text area after a scroll-bar action.
enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom };
struct HelpScroll {
  int lines = 0;    // lines of the table
  int visible = 0;  // whole lines the text area shows
  int top = 0;
  // Highest top line; 0 when the whole table fits.
  int Range() const { return lines > visible ? lines - visible : 0; }
  void Apply(ScrollAction action, int thumbPosition = 0);
};

}  // namespace tlc
