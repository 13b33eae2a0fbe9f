// Menu items of the desktop: the installer's shortcuts are desktop entries, one file per item, in
// the user's applications folder, where every desktop's menu finds them.
#pragma once
#include <string>
#include <string_view>

namespace install {

struct MenuEntry {
  std::string name;         // shown in the menu
  std::string description;  // the entry's comment
  std::string program;      // native path of the program it starts
  std::string folder;       // native working folder
};

// The text of the entry file (lines end in LF, as desktops read them).
std::string DesktopEntryText(const MenuEntry& entry);
// A value with its backslashes and line breaks escaped.
std::string EscapeEntryValue(std::string_view value);
// One argument of the entry's command, quoted so that blanks and special characters stay its own.
std::string QuoteCommandArgument(std::string_view argument);

}  // namespace install
