// Help text files (.HPV): a first line beginning with the bytes F0 F0, then main topics (a line that
// does not begin with a blank), secondary topics (one blank, then a name) and text lines (two blanks,
// or empty or one character). The viewer indexes a file once and reads one topic's text at a time.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/textfile.h"
#include "utilib/job.h"

namespace hpv {

inline constexpr const char* kCaption = "HPV 6.0";
inline constexpr int kMainTopicLimit = 32;        // indexing stops once the next main number is this
inline constexpr int kSecondaryTopicLimit = 256;  // and the next secondary number this
inline constexpr int kTopicLines = 384;           // text lines of one topic
inline constexpr std::size_t kLongestLine = 71;   // characters with the line feed
inline constexpr std::size_t kLinePiece = 79;     // what is kept of a longer line
inline constexpr std::size_t kNameChars = 79;

struct MainTopic {
  std::string name;
  std::int64_t position = 0;  // just behind its line
  int firstSecondary = 0;     // its secondary topics run up to the next main topic's first
};

struct SecondaryTopic {
  std::string name;
  std::int64_t position = 0;
};

// Main topics 1..mainCount own secondary topics [mains[m].firstSecondary, mains[m + 1].firstSecondary).
// Row 0 of both tables is unused; mains[mainCount + 1] holds only the number behind the last one.
struct TopicIndex {
  std::vector<MainTopic> mains;
  std::vector<SecondaryTopic> secondaries;
  int MainCount() const { return mains.empty() ? 0 : int(mains.size()) - 2; }
  int SecondaryCount() const { return secondaries.empty() ? 0 : int(secondaries.size()) - 1; }
  int FirstOf(int m) const { return mains[std::size_t(m)].firstSecondary; }
  int EndOf(int m) const { return mains[std::size_t(m) + 1].firstSecondary; }
  // The main topic that owns secondary topic s; 0 when none.
  int OwnerOf(int s) const;
  // First main topic named `name` without regard to case; 0 when none.
  int FindMain(std::string_view name) const;
  // Secondary topic of main topic m named `name` without regard to case; 0 when none.
  int FindSecondary(int m, std::string_view name) const;
};

enum class LineKind { Main, Secondary, Text };
// What a line (without its line end) is in a help file.
LineKind KindOf(std::string_view line);
// A text line "  " F0 F0 N: a new page begins there when fewer than N lines are left. It shows as
// an empty line. PageMarkLines gives N (0 for any other line).
bool IsPageMark(std::string_view line);
int PageMarkLines(std::string_view line);

enum class OpenResult { Opened, Missing, WrongFormat };
// Opens a help file and checks its first line; the messages are the caller's.
OpenResult OpenHelpFile(os::TextReader& in, std::string_view path);
inline constexpr const char* kMissingText = "No Help Text (.HPV) File was Found";
inline constexpr const char* kWrongFormatText = "The Help Text File is not in the Right Format";

// Indexes the file from its second line (the reader stands there) to its end or a topic limit.
// A long line is shown to the user: OK goes on, Cancel stops (0). Else 1.
int BuildTopicIndex(os::TextReader& in, TopicIndex& index, tell::Talk& ui);

// The text lines of secondary topic s, as the viewer shows them: no leading blank line, no
// separator before the next topic, an empty line as a single blank. At most 384 lines.
std::vector<std::string> LoadTopicText(os::TextReader& in, const TopicIndex& index, int s, tell::Talk& ui);

}  // namespace hpv
