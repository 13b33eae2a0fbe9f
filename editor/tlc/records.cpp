#include "editor/tlc/records.h"

namespace tlc {

std::string EscapeKeywordText(std::string_view text) {
  if (KeywordOf(text) != Keyword::None) return " " + std::string(text);
  return std::string(text);
}

int TextVertexCount(std::size_t characters) {
  return 1 + static_cast<int>((characters + 7) / 8);
}

}  // namespace tlc
