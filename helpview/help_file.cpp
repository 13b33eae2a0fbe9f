#include "helpview/help_file.h"

#include <algorithm>
#include <cctype>

namespace hpv {

namespace {

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A name of one or two characters is kept as a single blank.
std::string TopicName(std::string_view text) {
  std::string name(text.substr(0, kNameChars));
  return name.size() <= 2 ? std::string(" ") : name;
}

bool IsBlank(std::string_view line) { return line == " "; }

}  // namespace

int TopicIndex::OwnerOf(int s) const {
  for (int m = 1; m <= MainCount(); ++m)
    if (s >= FirstOf(m) && s < EndOf(m)) return m;
  return 0;
}

int TopicIndex::FindMain(std::string_view name) const {
  for (int m = 1; m <= MainCount(); ++m)
    if (SameText(mains[std::size_t(m)].name, name)) return m;
  return 0;
}

int TopicIndex::FindSecondary(int m, std::string_view name) const {
  if (m < 1 || m > MainCount()) return 0;
  for (int s = FirstOf(m); s < EndOf(m); ++s)
    if (SameText(secondaries[std::size_t(s)].name, name)) return s;
  return 0;
}

LineKind KindOf(std::string_view line) {
  if (line.size() < 2) return LineKind::Text;
  if (line[0] != ' ') return LineKind::Main;
  if (line[1] != ' ') return LineKind::Secondary;
  return LineKind::Text;
}

bool IsPageMark(std::string_view line) {
  return line.size() >= 4 && line[0] == ' ' && line[1] == ' ' && static_cast<unsigned char>(line[2]) == 0xF0 &&
         static_cast<unsigned char>(line[3]) == 0xF0;
}

int PageMarkLines(std::string_view line) {
  if (!IsPageMark(line)) return 0;
  int n = 0;
  for (std::size_t i = 4; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && n < 10000; ++i)
    n = n * 10 + (line[i] - '0');
  return n;
}

OpenResult OpenHelpFile(os::TextReader& in, std::string_view path) {
  in.Close();
  if (!in.Open(path)) return OpenResult::Missing;
  std::string first;
  if (!in.ReadLine(first, kLinePiece) || first.size() < 2 || static_cast<unsigned char>(first[0]) != 0xF0 ||
      static_cast<unsigned char>(first[1]) != 0xF0) {
    in.Close();
    return OpenResult::WrongFormat;
  }
  return OpenResult::Opened;
}

int BuildTopicIndex(os::TextReader& in, TopicIndex& index, tell::Talk& ui) {
  index.mains.assign(1, MainTopic{});
  index.secondaries.assign(1, SecondaryTopic{});
  int nextMain = 1;
  int nextSecondary = 1;
  std::string line;
  while (nextMain < kMainTopicLimit && nextSecondary < kSecondaryTopicLimit && in.ReadLine(line)) {
    if (line.size() + 1 > kLongestLine) {
      line.resize(std::min(line.size(), kLinePiece));
      if (ui.Box("Help Line Too Long!", line, tell::Buttons::OkCancel) != tell::Answer::Ok)
        return 0;
      // The rest of the line is gone with the warning: it never becomes a line of its own.
    }
    const std::int64_t position = in.Tell();
    switch (KindOf(line)) {
      case LineKind::Main:
        index.mains.push_back(MainTopic{TopicName(line), position, nextSecondary});
        ++nextMain;
        break;
      case LineKind::Secondary:
        // Above the first main topic nobody owns it: it reads as text.
        if (nextMain == 1) break;
        index.secondaries.push_back(SecondaryTopic{TopicName(std::string_view(line).substr(1)), position});
        ++nextSecondary;
        break;
      case LineKind::Text:
        break;
    }
  }
  index.mains.push_back(MainTopic{"", 0, nextSecondary});
  if (nextMain >= kMainTopicLimit || nextSecondary >= kSecondaryTopicLimit)
    ui.Box("", "Topic Limit Reached or Exceeded", tell::Buttons::Ok);
  return 1;
}

std::vector<std::string> LoadTopicText(os::TextReader& in, const TopicIndex& index, int s, tell::Talk& ui) {
  std::vector<std::string> lines;
  if (s < 1 || s > index.SecondaryCount() || !in.Seek(index.secondaries[std::size_t(s)].position)) return lines;
  std::string line;
  bool first = true;
  while (in.ReadLine(line, kLinePiece)) {
    if (line.empty()) line = " ";
    if (first) {
      first = false;
      if (IsBlank(line)) continue;
    }
    if (KindOf(line) != LineKind::Text) break;
    lines.push_back(line);
    if (int(lines.size()) == kTopicLines) {
      ui.Box(kCaption, "Too Many Help Text Lines", tell::Buttons::Ok);
      break;
    }
  }
  // The blank line that parts this topic from the next is no text of it.
  if (!lines.empty() && IsBlank(lines.back())) lines.pop_back();
  return lines;
}

}  // namespace hpv
