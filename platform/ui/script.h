// The script of a scripted run, parsed. Used by the driver (script.cpp) and by tests.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui::detail {

// A scripted action on a dialog ("answer" lines) or a message box ("box" lines, a Press).
struct Action {
  enum class Kind { Set, Check, Pick, DblClick, Press } kind = Kind::Press;
  int id = 0;
  int value = 0;
  std::string text;
  int line = 0;
};

struct ScriptLine {
  enum class Kind { Answer, Box, Command, Char, Key, Text, Click, Move, Post, Wait, Snapshot, Quit };
  Kind kind = Kind::Wait;
  int number = 0;               // line number in the file
  std::string text;             // answer: template; text: the string; snapshot: the file
  std::vector<Action> actions;  // answer
  int id = 0;                   // box: kIdOk...; command: id; char: code; key: key code
  unsigned modifiers = 0;       // key
  int x = 0, y = 0;             // click, move
  int button = 0;               // click: 0 left, 1 right, 2 double
  std::uint32_t message = 0;    // post
  std::int64_t wParam = 0, lParam = 0;
};

// Words of a line: blanks separate, "..." holds blanks (\" a quote, \\ a backslash, \n a line break),
// # starts a comment. False with a message for an unclosed quote.
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error);
// The whole script; false with "line N: ..." for the first line that cannot be parsed.
bool ParseScript(std::string_view text, std::vector<ScriptLine>& lines, std::string& error);

}  // namespace ui::detail
