// The layout editor: the command line names the cell to open.
#include <memory>

#include "editor/commands/command_table.h"
#include "editor/ui/editor.h"
#include "editor/ui/main_window.h"
#include "platform/os/process.h"
#include "platform/ui/program.h"

int main(int argc, char** argv) {
  ui::InitProgram(argc, argv, "wmero");
  auto editor = std::make_unique<edui::Editor>();
  editor->proto.table = edcmd::CommandTable();
  return edui::RunEditor(*editor, os::CommandArgs());
}
