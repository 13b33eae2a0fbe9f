#include "utilib/setup_file.h"

#include <strings.h>

#include "editor/db/helpers.h"
#include "platform/os/textfile.h"
#include "utilib/job.h"

namespace utilib {

void ReaderLists::SetDefaults(std::string_view defaultFile) {
  Clean();
  programs[0] = "Notepad";
  files[0] = std::string(defaultFile);
}

void MoveToFront(std::span<std::string> list, std::string_view text) {
  if (text.empty() || list.empty()) return;
  std::string entry(text.substr(0, kSlotLength));
  std::size_t k = list.size() - 1;  // not found: the last entry drops out
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].size() == entry.size() && strncasecmp(list[i].data(), entry.data(), entry.size()) == 0) {
      k = i;
      break;
    }
  }
  for (std::size_t i = k; i > 0; --i) list[i] = list[i - 1];
  list[0] = entry;
}

void ReaderLists::Choose(std::string_view program, std::string_view file) {
  MoveToFront(programs, program);
  MoveToFront(files, file);
}

void ReaderLists::Clean() {
  for (auto& p : programs) p.clear();
  for (auto& f : files) f.clear();
}

namespace {

using Groups = std::vector<std::vector<std::string>*>;

void ReadGroups(os::TextReader& in, const Groups& groups) {
  std::string line;
  for (std::vector<std::string>* group : groups)
    for (std::string& slot : *group)
      if (in.ReadLine(line, kSlotLength)) slot = line;
}

void WriteGroups(os::TextWriter& out, const Groups& groups) {
  for (const std::vector<std::string>* group : groups)
    for (const std::string& slot : *group) out.Line(slot.substr(0, kSlotLength));
}

}  // namespace

int SetupFile::Read() const {
  os::TextReader in;
  if (!in.Open(db::ProperCasePath(name))) return 0;
  std::string line;
  if (!in.ReadLine(line, 63) || line != version) return 0;
  ReadGroups(in, groups);
  if (readers) {
    for (int i = 0; i < kReaderEntries; ++i) {
      if (in.ReadLine(line, kSlotLength)) readers->programs[i] = line;
      if (in.ReadLine(line, kSlotLength)) readers->files[i] = line;
    }
  }
  ReadGroups(in, afterReaders);
  return 1;
}

std::string FormatLength(double value, std::string_view unit) {
  return Format("%g%.*s", value, static_cast<int>(unit.size()), unit.data());
}

int SetupFile::Write() const {
  os::TextWriter out;
  if (!out.Open(db::ProperCasePath(name))) return 0;
  out.Line(version);
  WriteGroups(out, groups);
  if (readers)
    for (int i = 0; i < kReaderEntries; ++i) {
      out.Line(readers->programs[i]);
      out.Line(readers->files[i]);
    }
  WriteGroups(out, afterReaders);
  return out.Commit();
}

}  // namespace utilib
