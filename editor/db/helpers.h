// Small numeric and name routines used all over the editor and reused by the utilities.
#pragma once
#include <string>
#include <string_view>

namespace db {

constexpr int kCoordinateLimit = 8388608;  // 2^23: database coordinates stay within +-this
constexpr int kMaxCellNameLength = 32;
constexpr int kMaxCells = 512;

void SwapInts(int& a, int& b);
void SwapDoubles(double& a, double& b);
// Nearest whole number, halves away from zero.
int RoundHalfAway(double value);
// RoundHalfAway clamped to +-8388608.
int RoundToCoordinate(double value);
// atan2(dy, dx); a vertical vector gives -1.5707963 (dy <= 0) or +1.5707963 (dy > 0).
double ComputeDirectionAngle(double dx, double dy);
// Drops one trailing new-line, then cuts the text at `length` characters.
std::string& TrimLine(std::string& text, std::size_t length);
// Lower case but upper case after each "\" or "/", first character and the one after "X:";
// "none" for an empty path.
std::string ProperCasePath(std::string_view path);
// A text size: the magnitude to the nearest multiple of 15 (halves away from zero), held within
// 15..61440.
int RoundTextSize(double size);
// 1 when `name` cannot be a cell name, else 0. `cellCount` is how many cells the collection holds.
int CheckCellName(std::string_view name, int cellCount);

}  // namespace db
