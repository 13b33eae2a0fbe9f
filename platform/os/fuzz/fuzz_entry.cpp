#include "platform/os/fuzz/fuzz_entry.h"

#include <stdlib.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/path.h"
#include "platform/os/process.h"
#include "tests/fuzz_support.h"

namespace os {

namespace {

std::vector<std::string> Lines(std::string_view text, std::size_t most) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size() && lines.size() < most) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Paths through the resolver; only what lies in the scratch drive is listed.
void Resolve(const std::vector<std::string>& paths, std::size_t from) {
  const std::string& root = fuzzsupport::ScratchDrive::Get().Root();
  for (std::size_t i = from; i < paths.size(); ++i) {
    const std::string native = NativePath(paths[i]);
    FileExists(paths[i]);
    FolderExists(paths[i]);
    if (native.compare(0, root.size(), root) == 0) {
      ListFiles(paths[i]);
      ListFolders(paths[i]);
    }
    if (i > from) MatchWildcard(paths[i - 1], paths[i]);
  }
}

}  // namespace

// The input is the arguments, one a line (a NUL ends an argument, as it would in argv).
void FuzzOneCommandLineInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  std::vector<std::string> args = Lines(std::string_view(reinterpret_cast<const char*>(data), size), 64);
  for (std::string& a : args) a = a.c_str();
  std::vector<char*> argv;
  static char program[] = "wmero";
  argv.push_back(program);
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  InitProcess(int(argv.size()) - 1, argv.data());
  std::string joined;
  for (std::size_t i = 0; i < args.size(); ++i) joined += (i ? " " : "") + args[i];
  // The arguments come back whole, and the command line ends with them.
  if (CommandArgs() != joined) __builtin_trap();
  const std::string& line = CommandLine();
  if (!joined.empty() && (line.size() < joined.size() || line.compare(line.size() - joined.size(), joined.size(), joined) != 0))
    __builtin_trap();
  SetDriveTable("C=" + drive.Root());
  Resolve(args, 0);
}

// The first line is MERO_DRIVES; the others are paths resolved through the table it gives.
void FuzzOneDrivesInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::ScratchDrive& drive = fuzzsupport::ScratchDrive::Get();
  const auto visit = drive.Enter();
  std::vector<std::string> lines = Lines(std::string_view(reinterpret_cast<const char*>(data), size), 32);
  setenv("MERO_DRIVES", lines[0].c_str(), 1);
  InitDrives(drive.Root() + "/MERO6");
  unsetenv("MERO_DRIVES");
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = DriveRoot(letter);
    if (!root.empty() && root[0] != '/') __builtin_trap();
  }
  if (SuiteDriveLetter() != 0 && DriveRoot(SuiteDriveLetter()).empty()) __builtin_trap();
  Resolve(lines, 1);
}

}  // namespace os
