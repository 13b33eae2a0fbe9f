#include "editor/tlc/records.h"

namespace tlc {

Keyword KeywordOf(std::string_view line) {
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

std::string EscapeKeywordText(std::string_view text) {
  if (KeywordOf(text) != Keyword::None) return " " + std::string(text);
  return std::string(text);
}

int TextVertexCount(std::size_t characters) {
  return 1 + static_cast<int>((characters + 7) / 8);
}

}  // namespace tlc
