#include "install/menu_entry.h"

namespace install {

std::string EscapeEntryValue(std::string_view value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string QuoteCommandArgument(std::string_view argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';  // a single % would start a field code
    quoted += c;
  }
  quoted += '"';
  // The command is a value too: its backslashes are escaped once more.
  return EscapeEntryValue(quoted);
}

std::string DesktopEntryText(const MenuEntry& e) {
  std::string t = "[Desktop Entry]\n";
  t += "Type=Application\n";
  t += "Version=1.0\n";
  t += "Name=" + EscapeEntryValue(e.name) + "\n";
  t += "Comment=" + EscapeEntryValue(e.description) + "\n";
  t += "Exec=" + QuoteCommandArgument(e.program) + "\n";
  t += "Path=" + EscapeEntryValue(e.folder) + "\n";
  t += "Terminal=false\n";
  t += "Categories=Graphics;Engineering;\n";
  return t;
}

}  // namespace install
