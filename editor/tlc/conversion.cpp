#include "editor/tlc/conversion.h"

#include <cstdarg>
#include <cstdio>

namespace tlc {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
  va_end(args);
  return out;
}

bool Conversion::Append(std::vector<ListEntry>& list, ListEntry entry) {
  if (list.size() >= static_cast<std::size_t>(kMaxListEntries)) {
    if (!listFullShown) Fail("Too Many Cells");
    listFullShown = true;
    return false;
  }
  list.push_back(std::move(entry));
  return true;
}

void Conversion::AskReplaceLesser(std::string_view question) {
  switch (talk.Box(caption, question, tell::Buttons::YesNoCancel)) {
    case tell::Answer::Yes: replaceLesser = true; break;
    case tell::Answer::No: replaceLesser = false; break;
    default: flags.stop = true; break;
  }
}

void Conversion::FinalMessage(bool finished) {
  if (flags.error && droppedRefs > 0)
    Box(Format("Some Error Occurred ... %d Cell References Dropped ... Conversion may be Incorrect",
               droppedRefs));
  else if (flags.error)
    Box("Some Error Occurred ... Conversion may be Incorrect");
  else if (flags.stop)
    Box("Aborted ... Conversion may be Incomplete");
  else if (finished && !quiet)
    Box(Format("Conversion Complete ... %d Cells", cells));
}

}  // namespace tlc
