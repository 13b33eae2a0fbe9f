#include "editor/db/programs.h"

#include <array>
#include <cinttypes>
#include <cstdio>

#include "editor/db/message_table.h"
#include "platform/os/process.h"

namespace db {

namespace {

// Searched in this order: the checker and the extractor come in the other order than their ids.
constexpr std::array<SuiteProgram, 13> kPrograms = {{
    {"Whpv.EXE", 10},
    {"Wstrmimp.EXE", 3002},
    {"Wstrmexp.EXE", 3003},
    {"Wcalimp.EXE", 3004},
    {"Wcalexp.EXE", 3005},
    {"Wxchimp.EXE", 3006},
    {"Wxchexp.EXE", 3007},
    {"Wmerodrc.EXE", 3009},
    {"Wmerockt.EXE", 3008},
    {"Wplaner.EXE", 3010},
    {"Wmerouue.EXE", 3011},
    {"Wmeroll.EXE", 3012},
    {"Wglyphmk.EXE", 3013},
}};

std::string G(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::span<const SuiteProgram> SuiteProgramTable() { return kPrograms; }

int FindSuiteProgram(int buttonId) {
  for (std::size_t i = 0; i < kPrograms.size(); ++i)
    if (kPrograms[i].buttonId == buttonId) return static_cast<int>(i);
  return -1;
}

std::string SuiteProgramPath(std::string_view drive, std::string_view file) {
  return std::string(drive) + "\\MERO6\\" + std::string(file);
}

std::vector<std::string> SuiteProgramArguments(const Database& d, int row, const ProgramView& view,
                                               std::string_view helpTopic) {
  if (row == 0) {
    std::vector<std::string> args = {SuiteProgramPath(d.suiteDrive, kHelpFile)};
    if (!helpTopic.empty()) args.emplace_back(helpTopic);
    return args;
  }
  char mask[24];
  std::snprintf(mask, sizeof mask, "%" PRIu64, view.viewMask);
  // ClearCurrentCell leaves "(none)" as the name.
  return {d.current.name.empty() ? std::string("(none)") : d.current.name, G(view.centreX), G(view.centreY),
          G(view.width), mask};
}

int LaunchSuiteProgram(Database& d, int buttonId, const ProgramView& view, std::string_view helpTopic) {
  const int row = FindSuiteProgram(buttonId);
  if (row < 0) return 0;
  const std::string path = SuiteProgramPath(d.suiteDrive, kPrograms[static_cast<std::size_t>(row)].file);
  const int pid = os::SpawnProgram(path, SuiteProgramArguments(d, row, view, helpTopic));
  if (pid != -1) return pid;
  if (row == 0) {
    d.talk->Box("", "Help not Found");
  } else {
    d.talk->Box("", path + " is Missing");
  }
  return 0;
}

int StartReaderProgram(Database& d, std::string_view program, std::string_view file) {
  if (os::SpawnProgram(program, {std::string(file)}) != -1) return 1;
  TellMessage(d.talk, 29);
  return 0;
}

}  // namespace db
