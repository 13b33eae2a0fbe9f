#include "editor/commands/pending_commands.h"

#include <string>

#include "editor/ui/shell.h"
#include "editor/ui/status_bar.h"

namespace edcmd {

void PendingCommand(edui::Editor& ed) {
  const edui::CommandEntry* e = ed.proto.Row(ed.proto.now.current);
  if (!e) return;
  const std::string word(e->word);
  if (edui::KindOf(*e) == edui::kRepeatable) {
    // A repeatable command is what every command returns to: it waits quietly instead of ending,
    // which would restart it at once, again and again.
    if (ed.proto.escPressed) {
      edui::ShowStatus(ed, ed.proto.now.statusMask);
      return;
    }
    edui::SetStatusField(ed, edui::kFieldCommand, " " + word + " (n/a)");
    ed.proto.now.pointState = 1;
    return;
  }
  edui::ShowTextBox(ed, "MERO", word + " is not available in this version.");
  edui::ShowStatus(ed, ed.proto.now.statusMask);
}

}  // namespace edcmd
