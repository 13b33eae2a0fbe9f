#include "utilib/recording_ui.h"

namespace utilib {

namespace {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else {
      if (c == '"' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

void RecordingUi::SetItemText(int item, std::string_view text) {
  items[item] = std::string(text);
  events.push_back("item " + std::to_string(item) + " " + Quoted(text));
}

void RecordingUi::SetDisplayTitle(std::string_view text) { events.push_back("title " + Quoted(text)); }

BoxAnswer RecordingUi::MessageBox(std::string_view caption, std::string_view text, BoxButtons buttons) {
  events.push_back("box " + Quoted(caption) + " " + Quoted(text));
  if (!boxAnswers.empty()) {
    BoxAnswer a = boxAnswers.front();
    boxAnswers.pop_front();
    return a;
  }
  return buttons == BoxButtons::YesNo || buttons == BoxButtons::YesNoCancel ? BoxAnswer::Yes
                                                                            : BoxAnswer::Ok;
}

bool RecordingUi::Pause(int milliseconds) {
  events.push_back("pause " + std::to_string(milliseconds));
  return pauses++ == cancelAtPause;
}

bool RecordingUi::IsEscapePressed() {
  return escapeAfterPolls >= 0 && polls++ >= escapeAfterPolls;
}

std::vector<std::string> RecordingUi::EventsOf(std::string_view kind) const {
  std::vector<std::string> out;
  std::string prefix = std::string(kind) + " ";
  for (const std::string& e : events)
    if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
  return out;
}

}  // namespace utilib
