#include "platform/tell/talk.h"

#include <cctype>
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

namespace {
bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  text.remove_prefix(text.size() - end.size());
  for (std::size_t i = 0; i < end.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(end[i])))
      return false;
  return true;
}
}  // namespace

bool IsFailureEnding(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (blank(text.back()) || text.back() == '.' || text.back() == '!')) text.remove_suffix(1);
  if (text.starts_with("Aborted")) return true;
  return EndsWithNoCase(text, "Can't Continue") || EndsWithNoCase(text, "Missing");
}

}  // namespace tell
