// The CIF dialect both converters share: the character classes and the lexer that reads commands,
// numbers and names, the command splitter of the importer's passes, and the layer file (the layer
// comments "(LAYER 5 CIF="NM");" that the exporter also writes into every CIF file).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cif {

enum CharClass : int {
  kBlank = 0,  // anything else: space, tab, line end, '#', '"', '/', ',', '=', ...
  kSemicolon = 1,
  kOpen = 2,
  kClose = 3,
  kUpper = 4,
  kDigit = 5,
  kMinus = 6,
  kLower = 7,
};

int ClassOf(int ch);

// Reads a CIF text held in memory. The current class is the class of the last character read; at the
// end of the text it is ";", so a command cut short by the end ends there.
class CifLexer {
 public:
  explicit CifLexer(std::string_view text) : text_(text) {}

  // Reads one character: returns it (-1 at the end) and sets the current class.
  int ClassifyCifChar();
  int Class() const { return class_; }
  // The next character without reading it; -1 at the end.
  int Peek() const { return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  // True while the current class is not ";" and the text has not ended.
  bool MoreCifCommand() const { return class_ != kSemicolon && !AtEnd(); }
  // Reads to the ";" that ends the current command (or the end of the text).
  void SkipCifCommand();

  // Skips to the first digit (not past a ";" or an upper-case letter, which end the search), then
  // collects digits. A blank or ";" after the digits is read; anything else is left for the caller.
  // *found tells whether there were digits. Values beyond 32 bits saturate.
  std::uint32_t ReadCifNumber(bool* found = nullptr);
  // The same, taking a "-" anywhere before the digits as the sign.
  std::int32_t ReadCifInteger(bool* found = nullptr);
  // Skips blanks, then collects upper-case letters and digits (the importer's variant also lower-case
  // letters, "_" and "$"); other characters are passed over. Ends at the first blank after at least
  // one collected character, or at ";" (read).
  std::string ReadCifName(bool importer = false);

  std::size_t Position() const { return pos_; }
  void Seek(std::size_t position) {
    pos_ = position < text_.size() ? position : text_.size();
    class_ = kBlank;
  }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  int class_ = kBlank;
};

// One command of a CIF text: its first character and the span of its text ([begin, end), without
// the ";" that ends it). A comment runs from its "(" to the matching ")", nested parentheses
// included; "E" is a command of its own with no ";".
struct CifCommand {
  char kind = 0;  // 'D', 'L', 'B', 'P', 'W', 'R', 'C', 'E', '(' for a comment, a digit for a user command
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The next command from the lexer's position; false at the end of the text.
bool NextCifCommand(CifLexer& lexer, CifCommand& command);

// The CIF layer table: TLC layer number and CIF layer name, one entry per TLC layer at most.
struct CifLayer {
  int layer = 0;     // 1..64
  std::string name;  // letters and digits
};
constexpr int kMaxCifLayers = 64;

// Layer entries of the layer file form in `text`: inside any comment, the letters "LAYER", a number,
// "CIF=" and a name. A number outside 1..64 and a second entry for a layer are passed over.
// `importer` also takes lower-case letters, "_" and "$" into the names.
std::vector<CifLayer> ParseCifLayers(std::string_view text, bool importer = false);
// The layer file `path` read whole; the number of entries, 0 when the file is missing or holds none.
int ReadCifLayerFile(std::string_view path, std::vector<CifLayer>& table, bool importer = false);

}  // namespace cif
