#include "editor/ui/suite_programs.h"

#include <cinttypes>
#include <cstdio>

#include "editor/ui/main_window.h"
#include "editor/ui/shell.h"
#include "editor/ui/suite_drive.h"
#include "platform/os/process.h"
#include "utilib/frame/dialogs.h"

namespace edui {

namespace {

struct ProgramRow {
  const char* file;
  int id;
};

// Searched in this order; the ids do not follow it.
constexpr ProgramRow kPrograms[] = {
    {"Whpv.EXE", 10},      {"Wstrmimp.EXE", 3002}, {"Wstrmexp.EXE", 3003}, {"Wcalimp.EXE", 3004},
    {"Wcalexp.EXE", 3005}, {"Wxchimp.EXE", 3006},  {"Wxchexp.EXE", 3007},  {"Wmerodrc.EXE", 3009},
    {"Wmerockt.EXE", 3008}, {"Wplaner.EXE", 3010}, {"Wmerouue.EXE", 3011}, {"Wmeroll.EXE", 3012},
    {"Wglyphmk.EXE", 3013},
};

struct TopicRow {
  const char* word;
  int id;
};

// Words of the buttons that are not commands of the table.
constexpr TopicRow kOtherTopics[] = {
    {"Attach", 2000}, {"Import", 2001}, {"Copy", 2002},   {"Scale", 2003}, {"Show", 2004},
    {"Kill", 149},    {"ReName", 2005}, {"ReSize", 2006}, {"ReRank", 2007}, {"CellSort", 2008},
    {"Clone", 1007},  {"TLCin", 3000},  {"TLCout", 3001}, {"Sys", 13},     {"Save", 14},
    {"Cell", 15},     {"List", 16},     {"Undo", 17},     {"Read", 11},
};

std::string G(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

}  // namespace

bool SuiteProgramCommand(Editor& ed, int id, std::string& program, std::vector<std::string>& args) {
  for (const ProgramRow& row : kPrograms) {
    if (row.id != id) continue;
    program = SuitePath(row.file);
    args.clear();
    if (id == kMenuHelp) {
      args.push_back(SuitePath("MERO60.HPV"));
      if (!ed.pendingHelp.empty()) args.push_back(ed.pendingHelp);
    } else {
      char mask[32];
      std::snprintf(mask, sizeof mask, "%" PRIu64, std::uint64_t(ed.masks.view));
      args = {ed.db.current.rank > 0 ? ed.db.current.name : std::string("(none)"), G(ed.view.userCentreX),
              G(ed.view.userCentreY), G(ed.view.userWidth), mask};
    }
    return true;
  }
  return false;
}

int LaunchSuiteProgram(Editor& ed, int id) {
  std::string program;
  std::vector<std::string> args;
  if (!SuiteProgramCommand(ed, id, program, args)) return 0;
  const int r = os::SpawnProgram(program, args);
  if (r != -1) return r;
  ShowTextBox(ed, "", id == kMenuHelp ? std::string("Help not Found") : program + " is Missing");
  return 0;
}

int RunReaderProgram(Editor& ed) {
  utilib::ReaderLists lists;
  auto& readers = ed.db.settings.readers;
  for (std::size_t i = 0; i < readers.size() && i < lists.programs.size(); ++i) {
    lists.programs[i] = readers[i].program;
    lists.files[i] = readers[i].file;
  }
  const int r = utilib::RunReaderDialog(ed.main, lists, "MERO");
  for (std::size_t i = 0; i < readers.size() && i < lists.programs.size(); ++i) {
    readers[i].program = lists.programs[i];
    readers[i].file = lists.files[i];
  }
  if (r != 1) return 0;
  if (os::SpawnProgram(lists.programs[0], {lists.files[0]}) == -1) {
    ShowMessage(ed, 29);
    return 0;
  }
  return 1;
}

std::string HelpTopicWord(Editor& ed, int id) {
  if (id == kMenuHelp) return "Help";
  for (const CommandEntry& e : ed.proto.table) {
    if (e.id != id) continue;
    if (id >= 18 && id <= 21) return "Pan";
    return std::string(e.word);
  }
  if (id >= 310 && id <= 319) return "Toggles";
  for (const TopicRow& row : kOtherTopics) {
    if (row.id == id) return row.word;
  }
  return "";
}

int CommandHelp(Editor& ed, int id) {
  const std::string word = HelpTopicWord(ed, id);
  if (word.empty()) return 0;
  ed.pendingHelp = "Command Information/" + word;
  PostToMain(ed, ui::msg::Command, ui::MakeWParam(kMenuHelp, 0));
  return 1;
}

}  // namespace edui
