#include "convert/cif/lexer.h"

#include <cstring>

#include "platform/os/textfile.h"

namespace cif {

int ClassOf(int ch) {
  if (ch == ';') return kSemicolon;
  if (ch == '(') return kOpen;
  if (ch == ')') return kClose;
  if (ch >= 'A' && ch <= 'Z') return kUpper;
  if (ch >= '0' && ch <= '9') return kDigit;
  if (ch == '-') return kMinus;
  if (ch >= 'a' && ch <= 'z') return kLower;
  return kBlank;
}

int CifLexer::ClassifyCifChar() {
  if (pos_ >= text_.size()) {
    class_ = kSemicolon;
    return -1;
  }
  const int ch = static_cast<unsigned char>(text_[pos_++]);
  class_ = ClassOf(ch);
  return ch;
}

void CifLexer::SkipCifCommand() {
  while (MoreCifCommand()) ClassifyCifChar();
}

namespace {

constexpr std::uint64_t kSaturate = 0xFFFFFFFFull;

// Digits from the lexer's position; the character after them is read when it is a blank or ";".
std::uint64_t CollectDigits(CifLexer& lex) {
  std::uint64_t value = 0;
  while (ClassOf(lex.Peek()) == kDigit) {
    value = value * 10 + static_cast<unsigned>(lex.ClassifyCifChar() - '0');
    if (value > kSaturate) value = kSaturate;
  }
  const int next = ClassOf(lex.Peek());
  if (lex.Peek() >= 0 && (next == kBlank || next == kSemicolon)) lex.ClassifyCifChar();
  return value;
}

// Moves to the first digit; false at a ";" (read), an upper-case letter or the end. Counts the
// minus signs passed.
bool SkipToDigit(CifLexer& lex, bool* negative) {
  for (;;) {
    const int ch = lex.Peek();
    const int c = ClassOf(ch);
    if (ch < 0 || c == kUpper) return false;
    if (c == kDigit) return true;
    lex.ClassifyCifChar();
    if (c == kSemicolon) return false;
    if (c == kMinus && negative) *negative = true;
  }
}

bool IsNameChar(int ch, bool importer) {
  const int c = ClassOf(ch);
  if (c == kUpper || c == kDigit) return true;
  return importer && (c == kLower || ch == '_' || ch == '$');
}

}  // namespace

std::uint32_t CifLexer::ReadCifNumber(bool* found) {
  const bool any = SkipToDigit(*this, nullptr);
  if (found) *found = any;
  return any ? static_cast<std::uint32_t>(CollectDigits(*this)) : 0;
}

std::int32_t CifLexer::ReadCifInteger(bool* found) {
  bool negative = false;
  const bool any = SkipToDigit(*this, &negative);
  if (found) *found = any;
  if (!any) return 0;
  std::uint64_t v = CollectDigits(*this);
  if (v > 0x7FFFFFFFull) v = 0x7FFFFFFFull;
  return negative ? -static_cast<std::int32_t>(v) : static_cast<std::int32_t>(v);
}

std::string CifLexer::ReadCifName(bool importer) {
  std::string name;
  while (!AtEnd()) {
    const int ch = ClassifyCifChar();
    if (class_ == kSemicolon) break;
    if (IsNameChar(ch, importer)) {
      name += static_cast<char>(ch);
    } else if (class_ == kBlank && !name.empty()) {
      break;
    }
  }
  return name;
}

bool NextCifCommand(CifLexer& lex, CifCommand& command) {
  for (;;) {
    const int ch = lex.Peek();
    if (ch < 0) return false;
    const int c = ClassOf(ch);
    if (c == kUpper || c == kDigit || c == kOpen) break;
    lex.ClassifyCifChar();  // blanks, stray ";" and ")" between commands
  }
  command.kind = static_cast<char>(lex.Peek());
  command.begin = lex.Position();
  if (command.kind == '(') {
    int depth = 0;
    while (!lex.AtEnd()) {
      const int ch = lex.ClassifyCifChar();
      if (ch == '(') ++depth;
      if (ch == ')' && --depth == 0) break;
    }
    command.end = lex.Position();
    return true;
  }
  if (command.kind == 'E') {
    lex.ClassifyCifChar();
    command.end = lex.Position();
    return true;
  }
  while (!lex.AtEnd() && lex.Peek() != ';') lex.ClassifyCifChar();
  command.end = lex.Position();
  if (!lex.AtEnd()) lex.ClassifyCifChar();
  return true;
}

namespace {

// The entries of one comment's text.
void LayersOfComment(std::string_view text, bool importer, std::vector<CifLayer>& table) {
  std::size_t at = 0;
  while ((at = text.find("LAYER", at)) != std::string_view::npos) {
    CifLexer lex(text.substr(at + 5));
    at += 5;
    bool found = false;
    const std::uint32_t number = lex.ReadCifNumber(&found);
    if (!found) continue;
    // "CIF", blanks, then "=".
    const std::string_view rest = lex.Text().substr(lex.Position());
    std::size_t cifAt = 0;
    bool matched = false;
    while ((cifAt = rest.find("CIF", cifAt)) != std::string_view::npos) {
      std::size_t i = cifAt + 3;
      while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
      cifAt += 3;
      if (i < rest.size() && rest[i] == '=') {
        lex.Seek(lex.Position() + i + 1);
        matched = true;
        break;
      }
    }
    if (!matched) continue;
    const std::string name = lex.ReadCifName(importer);
    if (name.empty() || number < 1 || number > static_cast<std::uint32_t>(kMaxCifLayers)) continue;
    bool known = false;
    for (const CifLayer& e : table) known = known || e.layer == static_cast<int>(number);
    if (!known) table.push_back({static_cast<int>(number), name});
  }
}

}  // namespace

std::vector<CifLayer> ParseCifLayers(std::string_view text, bool importer) {
  std::vector<CifLayer> table;
  CifLexer lex(text);
  CifCommand command;
  while (NextCifCommand(lex, command)) {
    if (command.kind != '(') continue;
    std::string_view body = text.substr(command.begin + 1, command.end - command.begin - 1);
    if (!body.empty() && body.back() == ')') body.remove_suffix(1);
    LayersOfComment(body, importer, table);
  }
  return table;
}

int ReadCifLayerFile(std::string_view path, std::vector<CifLayer>& table, bool importer) {
  table.clear();
  std::string bytes;
  if (path.empty() || !os::ReadWholeFile(path, bytes)) return 0;
  table = ParseCifLayers(bytes, importer);
  return static_cast<int>(table.size());
}

}  // namespace cif
