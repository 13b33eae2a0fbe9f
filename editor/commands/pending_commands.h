// Commands whose handlers come with the editing commands not built yet: they take part in the
// protocol (a repeatable one waits, so the restart cycle stays calm) and tell the user they do nothing.
#pragma once
#include "editor/ui/editor.h"

namespace edcmd {

void PendingCommand(edui::Editor& ed);

}  // namespace edcmd
