// Reading a DXF file: groups of a code line and a value line, gathered into items (a code-0 word
// and the groups up to the next code 0), with the section and table each item stands in.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dxf {

constexpr std::size_t kValueLength = 126;

struct DxfGroup {
  int code = 0;
  std::string value;  // the value line without its line end, at most 126 characters
  double Real() const;
  int Integer() const;
  // The value without surrounding blanks: words and names.
  std::string_view Word() const;
};

// How the reading of a file's groups ended.
enum class DxfReadStatus {
  Reading,     // not ended yet, or ended at its "EOF" item
  Ended,       // the text ended (before an "EOF" item, when the scanner says so)
  BadCode,     // a code line that is not a whole number: not a text DXF, or a damaged one
  Binary,      // the file is a binary DXF
};

// Groups from the text of a whole file, in order; Rewind starts again at the top. Comment groups
// (code 999) are passed over wherever a group is read.
class DxfGroupReader {
 public:
  explicit DxfGroupReader(std::string_view text);
  // Reads one group; false at the end of the text (a code line without its value line included) or
  // at a code line that is not a number (Status says which).
  bool ReadDxfGroup(DxfGroup& group);
  void Rewind() {
    pos_ = 0;
    line_ = 0;
    status_ = binary_ ? DxfReadStatus::Binary : DxfReadStatus::Reading;
  }
  std::size_t Position() const { return pos_; }
  DxfReadStatus Status() const { return status_; }
  // The number (from 1) of the last line read.
  std::size_t LineNumber() const { return line_; }

 private:
  bool Line(std::string_view& line);
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
  bool binary_ = false;
  DxfReadStatus status_ = DxfReadStatus::Reading;
};

enum class DxfSection { None, Header, Tables, Blocks, Entities, Other };

// One item: a code-0 word (upper case) and the groups after it, where it stands in the file.
struct DxfItem {
  std::string word;
  std::vector<DxfGroup> groups;
  DxfSection section = DxfSection::None;
  bool inLayerTable = false;
  // The first group of that code, or null.
  const DxfGroup* Find(int code) const;
};

// Walks the items of a file and keeps the reader's place: "SECTION" with its group 2 enters a
// section, "ENDSEC" leaves it, "TABLE" with its group 2 enters a table, "ENDTAB" leaves it. A group 2
// switches only right after its SECTION or TABLE word, so a layer or block named like a section
// changes nothing.
class DxfScanner {
 public:
  explicit DxfScanner(std::string_view text) : reader_(text) {}
  // The next item; false after "EOF" or at the end of the text.
  bool NextDxfItem(DxfItem& item);
  void Rewind();
  std::size_t Position() const { return reader_.Position(); }
  // Whether the "EOF" item was read, and how the reading of groups ended.
  bool SawEof() const { return sawEof_; }
  DxfReadStatus Status() const { return reader_.Status(); }
  std::size_t LineNumber() const { return reader_.LineNumber(); }

 private:
  DxfGroupReader reader_;
  DxfGroup pending_;
  bool havePending_ = false;
  bool ended_ = false;
  bool sawEof_ = false;
  DxfSection section_ = DxfSection::None;
  bool inLayerTable_ = false;
};

// Case-blind comparison of a word with an upper-case one.
bool SameWord(std::string_view word, std::string_view upper);

}  // namespace dxf
