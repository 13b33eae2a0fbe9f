// Records of the TLC exchange format: one cell a text file, records introduced by keyword lines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlc {

constexpr std::size_t kNameLength = 32;     // cell names in headers and "=C" records
constexpr std::size_t kVersionLength = 5;   // version lines
constexpr std::size_t kUnitLength = 5;      // the unit line: the unit name every program keeps
constexpr std::size_t kDateLength = 8;      // MM/DD/YY and HH:MM:SS
constexpr std::size_t kTextLength = 64;     // what a reader keeps of a text line
constexpr int kMaxPathPairs = 512;          // vertex buffer of every "=P" reader
constexpr int kMaxLayer = 64;

enum class Keyword { None, Header, CellRef, Box, Path, Text };

// Keyword of a line that holds exactly "=H", "=C", "=B", "=P" or "=T" and nothing else.
inline Keyword KeywordOf(std::string_view line) {
  if (line.size() != 2 || line[0] != '=') return Keyword::None;
  switch (line[1]) {
    case 'H': return Keyword::Header;
    case 'C': return Keyword::CellRef;
    case 'B': return Keyword::Box;
    case 'P': return Keyword::Path;
    case 'T': return Keyword::Text;
    default: return Keyword::None;
  }
}
// The text as it goes on a text line: a text that is exactly a keyword gets one blank in front,
// so no text line can pass for a keyword line.
std::string EscapeKeywordText(std::string_view text);
// One vertex for the reference point plus one per 8 characters.
int TextVertexCount(std::size_t characters);

struct TlcHeader {
  std::string name;
  std::string version1;
  std::string version2;
  double scale = 0;
  std::string unit;
  std::string date;
  std::string time;
  int rank = 0;
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
  int boxes = 0;
  int paths = 0;  // paths, polygons and texts
  std::int32_t vertices = 0;
  int cellRefs = 0;
};

struct TlcCellRef {
  std::string name;
  int orientation = 0;  // 0..7
  std::int32_t x = 0, y = 0;
};

struct TlcBox {
  int layer = 1;
  std::int32_t left = 0, bottom = 0, right = 0, top = 0;
};

struct TlcPath {
  int layer = 1;
  std::int32_t width = 0;  // 0: polygon
  std::vector<std::int32_t> x;
  std::vector<std::int32_t> y;
  int VertexCount() const { return static_cast<int>(x.size()); }
};

struct TlcText {
  int layer = 1;
  std::int32_t size = 0;
  int vertexCount = 1;
  int orientation = 0;
  std::int32_t x = 0, y = 0;
  std::string text;
};

}  // namespace tlc
