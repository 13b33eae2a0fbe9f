// A utility's set-up file ("Strmexp.su6" in the current folder): the program's version line, its
// setting slots group by group, then the ten remembered reader programs and files, then any groups
// that came after them.
#pragma once
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace utilib {

constexpr std::size_t kSlotLength = 64;
constexpr int kReaderEntries = 10;

// The READER dialog's two remembered lists, most recent first; entry 0 is what Read starts.
struct ReaderLists {
  std::array<std::string, kReaderEntries> programs;
  std::array<std::string, kReaderEntries> files;

  // "Notepad" and the default file (the editor's "FORM.DBD", a utility's report name).
  void SetDefaults(std::string_view defaultFile);
  // Puts the chosen texts first in their lists; an empty text leaves its list alone.
  void Choose(std::string_view program, std::string_view file);
  // Empties all 20 entries.
  void Clean();
};

// A remembered list, most recent first: the text (cut to a slot) goes to the top; an entry equal to
// it without regard to case leaves its place, else the last entry drops out. Empty text: no change.
void MoveToFront(std::span<std::string> list, std::string_view text);

// A length as set-up files keep it: six significant digits and the drawing's unit name ("2.5um").
std::string FormatLength(double value, std::string_view unit);

struct SetupFile {
  std::string name;     // "Strmexp.su6"
  std::string version;  // "6.01"
  // The program's groups of slots, in file order.
  std::vector<std::vector<std::string>*> groups;
  ReaderLists* readers = nullptr;
  // Groups after the reader pairs: a version of the program that reads only up to the pairs still
  // reads the file. Lines missing from the file leave their slots as they were.
  std::vector<std::vector<std::string>*> afterReaders = {};

  // 1 when the file was read; 0 when it is missing or of another version (the values stay as they
  // were). The caller normalises its groups afterwards either way.
  int Read() const;
  // 1 when written. A file that cannot be written leaves the old one as it was.
  int Write() const;
};

}  // namespace utilib
