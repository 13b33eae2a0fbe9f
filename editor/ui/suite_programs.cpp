#include "editor/ui/suite_programs.h"

#include "editor/db/programs.h"
#include "editor/ui/system/system_mode.h"
#include "utilib/frame/dialogs.h"

namespace edui {

int LaunchSuiteProgram(Editor& ed, int id) {
  const db::ProgramView view{ed.view.userCentreX, ed.view.userCentreY, ed.view.userWidth, ed.masks.view};
  return db::LaunchSuiteProgram(ed.db, id, view, ed.pendingHelp);
}

int RunReaderProgram(Editor& ed) {
  // The editor keeps the lists in its settings; the READER dialog works on the utilities' form.
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
  return db::StartReaderProgram(ed.db, lists.programs[0], lists.files[0]);
}

int CommandHelp(Editor& ed, int id) { return edsys::CommandHelp(ed.main, ed.pendingHelp, id); }

}  // namespace edui
