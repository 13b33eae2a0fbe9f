#include "editor/commands/command_line.h"

#include <cmath>
#include <cstdlib>

#include "editor/commands/command_table.h"
#include "editor/db/helpers.h"
#include "editor/ui/command_dialogs.h"
#include "editor/ui/shell.h"

namespace edcmd {

std::vector<std::string> SplitCommandTokens(std::string_view line) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : line) {
    if (c == ' ' || c == ',') {
      if (!token.empty()) tokens.push_back(std::move(token));
      token.clear();
    } else {
      token += c;
    }
  }
  if (!token.empty()) tokens.push_back(std::move(token));
  return tokens;
}

std::int32_t TypedCoordinate(std::string_view token, double scale) {
  return edui::TruncatedCoordinate(edui::TextToDouble(token) * scale);
}

int ExecuteCommandLine(edui::Editor& ed) {
  const std::string line = ed.commandLine;
  if (line.size() < 3) return 0;
  const std::vector<std::string> tokens = SplitCommandTokens(line);
  if (tokens.empty()) return 0;
  const int row = FindTypedCommand(tokens[0]);
  if (row < 0) {
    edui::ShowMessage(ed, 17);
    return 0;
  }
  edui::SendToMain(ed, edui::wm::StartCommand, ui::WParam(row), 0);

  const double scale = ed.db.settings.scale;
  std::size_t next = 1;
  bool offsetGiven = false;
  // Numbers go to the command the line started; once it has ended (or a view command has handed
  // back to the command it interrupted) the rest of the line is left alone.
  while (ed.proto.now.pointState != 0 && ed.proto.now.current == row) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    const std::size_t left = tokens.size() - next;
    // A move or copy takes its two numbers as the offset from (0, 0); with four numbers the first
    // pair is its first point.
    if (ed.proto.typedOffset && left < 4 && !offsetGiven) {
      offsetGiven = true;
    } else {
      if (left < 2) return 0;
      x = TypedCoordinate(tokens[next], scale);
      y = TypedCoordinate(tokens[next + 1], scale);
      next += 2;
    }
    edui::SendToMain(ed, edui::wm::TypedPoint, edui::PackCoordinate(x),
                     ui::LParam(edui::PackCoordinate(y)));
  }
  return 1;
}

void RunMacro(edui::Editor& ed, std::string_view text) {
  std::string line;
  std::size_t gathered = 0;  // a skipped CR still counts
  for (char c : text) {
    if (c == '\n' || gathered == kMacroLineLength) {
      ed.commandLine = line;
      ExecuteCommandLine(ed);
      ed.commandLine.clear();
      line.clear();
      gathered = 0;
      continue;
    }
    ++gathered;
    if (c != '\r') line += c;
  }
}

void CmdCommand(edui::Editor& ed) {
  const int last = ed.proto.lastRepeatable;
  if (ed.macroFlag) {
    ExecuteCommandLine(ed);
  } else {
    const int r = edui::RunCmdDialog(ed);
    if (r == 1) {
      ExecuteCommandLine(ed);
    } else if (r == 2 && edui::RunMacroDialog(ed) == 1) {
      RunMacro(ed, ed.macroText);
    }
  }
  ed.proto.lastRepeatable = last;
}

}  // namespace edcmd
