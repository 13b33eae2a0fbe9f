// Check files (extension DRC, written by hand): one or more checks, each a header of KEYWORD=value
// lines (TITLE, RESOLUTION, DISTANCE, LOCATION; keywords known by their first two letters) and then
// OPERATORS= with a block of operator lines in braces.
//
//   TITLE=Metal 1 spacing
//   RESOLUTION=0.5
//   DISTANCE=3
//   OPERATORS={
//     MAP,1       ; what follows a semicolon is a comment
//     EXPR
//     TESTR
//   }
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "utilib/small_readers.h"

namespace drc {

constexpr std::size_t kTitleLength = 80;
constexpr std::size_t kOperatorLength = 80;
constexpr std::size_t kLocationLength = 64;

struct Check {
  int number = 0;            // 1 for the first check of the file
  std::string title;         // "Check %d" for a check without a TITLE line
  // Header values in user units; a check that names none keeps those of the check before.
  double resolution = 0;     // pixel size
  double distance = 0;       // rule distance
  bool hasLocation = false;  // LOCATION: the lower-left start of the first scan area, as texts
  std::string locationX, locationY;
  std::vector<std::string> operators;  // letters, digits, ",", "-" only; comments and blanks gone
};

class CheckFile {
 public:
  // 1 opened, 0 missing.
  int Open(std::string_view path);
  // Reads the next check into `check` (number, title, location and operators replaced; resolution
  // and distance replaced when named). False when the file holds no further check: it ended before
  // an OPERATORS keyword.
  bool ReadCheck(Check& check);
  int Counter() const { return counter_; }

 private:
  void ReadBlock(Check& check);
  std::string RestOfLine();

  utilib::TextCursor cursor_;
  int counter_ = 0;
};

}  // namespace drc
