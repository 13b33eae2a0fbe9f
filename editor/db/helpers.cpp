#include "editor/db/helpers.h"

#include <array>
#include <cctype>
#include <cmath>

namespace db {

void SwapInts(int& a, int& b) {
  int t = a;
  a = b;
  b = t;
}

void SwapDoubles(double& a, double& b) {
  double t = a;
  a = b;
  b = t;
}

int RoundHalfAway(double value) {
  double r = value < 0 ? value - 0.5 : value + 0.5;
  // Out-of-range doubles would make the conversion undefined; callers clamp first where it matters.
  if (!(r < 2147483647.0)) return 2147483647;
  if (!(r > -2147483648.0)) return -2147483647 - 1;
  return static_cast<int>(r);
}

int RoundToCoordinate(double value) {
  if (value >= kCoordinateLimit) return kCoordinateLimit;
  if (value <= -kCoordinateLimit) return -kCoordinateLimit;
  if (std::isnan(value)) return 0;
  return RoundHalfAway(value);
}

int RoundTextSize(double size) {
  const double magnitude = std::fabs(size);
  if (!(magnitude < 61440.0)) return 61440;  // NaN too
  const int size15 = RoundHalfAway(magnitude / 15) * 15;
  return size15 < 15 ? 15 : size15;
}

double ComputeDirectionAngle(double dx, double dy) {
  if (dx == 0.0) return dy <= 0.0 ? -1.5707963 : 1.5707963;
  return std::atan2(dy, dx);
}

std::string& TrimLine(std::string& text, std::size_t length) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.size() > length) text.resize(length);
  return text;
}

std::string ProperCasePath(std::string_view path) {
  if (path.empty()) return "none";
  std::string out(path);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto upper = [&](std::size_t i) {
    out[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[i])));
  };
  upper(0);
  if (out.size() > 2 && out[1] == ':') upper(2);
  for (std::size_t i = 0; i + 1 < out.size(); ++i)
    if (out[i] == '\\' || out[i] == '/') upper(i + 1);
  return out;
}

int CheckCellName(std::string_view name, int cellCount) {
  if (name.empty() || name.size() > static_cast<std::size_t>(kMaxCellNameLength)) return 1;
  static constexpr std::string_view kForbidden = "\"*+'`./:;<=>?\\|";
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 33 || c >= 128) return 1;
    if (kForbidden.find(ch) != std::string_view::npos) return 1;
  }
  static constexpr std::array<std::string_view, 17> kReserved = {
      "P",    "B",    "CON",  "PRN",  "AUX",  "NUL",      "CLOCK$",   "COM1",    "COM2",
      "COM3", "COM4", "LPT1", "LPT2", "LPT3", "MAKETEMP", "CELLBKUP", "MAINBKUP"};
  for (std::string_view r : kReserved)
    if (name == r) return 1;
  if (cellCount > kMaxCells) return 1;
  return 0;
}

}  // namespace db
