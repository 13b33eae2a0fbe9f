// Small helpers of the analysis programs: corner ordering, the wide-path outline for rasterising, and
// the character reader of check files. (The scale of CONSTS6.DBD: db::ReadDatabaseScale.)
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/db/path_outline.h"

namespace utilib {

// Orders an extent so that x1 <= x2 and y1 <= y2.
void OrderExtentCorners(std::int32_t& x1, std::int32_t& y1, std::int32_t& x2, std::int32_t& y2);

// The outline of a wide path into a buffer of at most `capacity` points (the rasteriser's 512).
inline db::OutlineStatus PathToOutline(const std::vector<db::PathPoint>& vertices, std::int32_t width,
                                       std::vector<db::PathPoint>& outline,
                                       std::size_t capacity = db::kOutlinePointLimit) {
  db::OutlineOptions options;
  options.maxPoints = capacity;
  return db::BuildPathOutline(vertices, width, outline, options);
}

// A text file read character by character, with a mark set when a line has ended.
class TextCursor {
 public:
  // Opens the file as the current file; 1 or 0.
  int OpenTextFile(std::string_view path);
  // Next character, '\n' at every line end (CR LF or LF), -1 at the end of the file.
  int Get();
  // 1 while the reader may read on in the current line: no line end met and the file not ended.
  int AtLineEnd() const { return !lineEnded_ && pos_ < text_.size() ? 1 : 0; }
  // Starts a new line: clears the line-end mark.
  void ClearLineEnd() { lineEnded_ = false; }
  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  std::string text_;
  std::size_t pos_ = 0;
  bool lineEnded_ = false;
};

}  // namespace utilib
