// Starting the suite's other programs without waiting for them: the utilities from the buttons of
// the SYSTEM dialog, the help viewer with a topic, and a reader program on a file.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/database.h"

namespace db {

struct SuiteProgram {
  std::string_view file;  // "Whpv.EXE"
  int buttonId = 0;
};

// The 13 programs in search order; row 0 is the help viewer (id 10).
std::span<const SuiteProgram> SuiteProgramTable();
// First row with that button id; -1 when none.
int FindSuiteProgram(int buttonId);

constexpr int kHelpButton = 10;
constexpr std::string_view kHelpFile = "MERO60.HPV";

// What the utilities are told of the editor's view: centre and width in user units, and the View
// layer mask (bit n-1 for layer n).
struct ProgramView {
  double centreX = 0;
  double centreY = 0;
  double width = 0;
  std::uint64_t viewMask = 0;
};

// "%s\MERO6\%s" of the drive ("C:" or "") and a file name.
std::string SuiteProgramPath(std::string_view drive, std::string_view file);

// The arguments after the program path: for the help viewer the help file and the topic (left out
// when there is none); for every other program the open cell's name ("(none)" without one), the view
// centre x and y and width ("%g") and the View mask as an unsigned decimal.
std::vector<std::string> SuiteProgramArguments(const Database& d, int row, const ProgramView& view,
                                               std::string_view helpTopic);

// Starts the program of a button; 0 when the id is no program's or the start failed (after the box
// "Help not Found" or "%s is Missing"), else the process id.
int LaunchSuiteProgram(Database& d, int buttonId, const ProgramView& view, std::string_view helpTopic);

// Starts `program` on `file` (its one argument); 1 started, 0 after message 29.
int StartReaderProgram(Database& d, std::string_view program, std::string_view file);

}  // namespace db
