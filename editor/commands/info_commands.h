// Info and Show: the first selected object in one line, or in full.
#pragma once
#include <string>
#include <vector>

#include "editor/ui/editor.h"

namespace edcmd {

void InfoCommand(edui::Editor& ed);
void ShowCommand(edui::Editor& ed);

// The listing of the first selected box or path (heading first); empty when neither is selected.
std::vector<std::string> ObjectListing(edui::Editor& ed);

}  // namespace edcmd
