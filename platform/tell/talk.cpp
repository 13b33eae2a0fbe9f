#include "platform/tell/talk.h"

#include <cstdio>

namespace tell {

Answer GoOnAnswer(Buttons buttons) {
  return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

Answer Talk::Box(std::string_view, std::string_view, Buttons buttons) { return GoOnAnswer(buttons); }

void Talk::SetItemNumber(int item, long long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%lld", value);
  SetItemText(item, text);
}

std::string QuoteForLog(std::string_view text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '\n')
      q += "\\n";
    else if (c == '\r')
      q += "\\r";
    else if (c == '"')
      q += "\\\"";
    else
      q += c;
  }
  return q + "\"";
}

}  // namespace tell
