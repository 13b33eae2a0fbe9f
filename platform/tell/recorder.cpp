#include "platform/tell/recorder.h"

namespace tell {

namespace {

bool OfKind(const std::string& event, std::string_view kind) {
  return event.size() > kind.size() && event.compare(0, kind.size(), kind) == 0 && event[kind.size()] == ' ';
}

}  // namespace

std::string Recorder::BoxLine(std::string_view caption, std::string_view text, Buttons buttons) {
  std::string line = "box " + QuoteForLog(caption) + " " + QuoteForLog(text);
  switch (buttons) {
    case Buttons::Ok: break;
    case Buttons::OkCancel: line += " okcancel"; break;
    case Buttons::YesNo: line += " yesno"; break;
    case Buttons::YesNoCancel: line += " yesnocancel"; break;
  }
  return line;
}

Answer Recorder::Box(std::string_view caption, std::string_view text, Buttons buttons) {
  events.push_back(BoxLine(caption, text, buttons));
  if (boxAnswers.empty()) return GoOnAnswer(buttons);
  const Answer a = boxAnswers.front();
  boxAnswers.pop_front();
  return a;
}

void Recorder::OpenDisplay(std::string_view caption) {
  displayOpen = true;
  events.push_back("display " + QuoteForLog(caption));
}

void Recorder::CloseDisplay() {
  displayOpen = false;
  events.push_back("display closed");
}

void Recorder::SetDisplayTitle(std::string_view text) { events.push_back("title " + QuoteForLog(text)); }

void Recorder::SetItemText(int item, std::string_view text) {
  items[item] = std::string(text);
  events.push_back("item " + std::to_string(item) + " " + QuoteForLog(text));
}

bool Recorder::Pause(int milliseconds) {
  events.push_back("pause " + std::to_string(milliseconds));
  return pauses++ == cancelAtPause;
}

bool Recorder::IsEscapePressed() { return escapeAfterPolls >= 0 && polls++ >= escapeAfterPolls; }

void Recorder::SetMainTitle(int kind, std::string_view cellName) {
  events.push_back("maintitle " + std::to_string(kind) + " " + QuoteForLog(cellName));
}

std::vector<std::string> Recorder::EventsOf(std::string_view kind) const {
  std::vector<std::string> out;
  for (const std::string& e : events)
    if (OfKind(e, kind)) out.push_back(e);
  return out;
}

std::vector<std::string> Recorder::EventsExcept(std::string_view kind) const {
  std::vector<std::string> out;
  for (const std::string& e : events)
    if (!OfKind(e, kind)) out.push_back(e);
  return out;
}

}  // namespace tell
