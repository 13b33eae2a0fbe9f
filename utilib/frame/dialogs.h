// Small modal dialogs shared by the utilities (and the editor): READER, the cell picker and NEWNAME.
#pragma once
#include <string>
#include <string_view>

#include "platform/ui/types.h"
#include "utilib/cell_naming.h"
#include "utilib/setup_file.h"

namespace db {
struct CellIndex;
}

namespace utilib {

// READER control ids.
constexpr int kReaderProgram = 400, kReaderFile = 401, kReaderClean = 410;
// NEWNAME.
constexpr int kNewNameText = 600, kNewNameEdit = 601;

// READER: 1 with the lists updated (entry 0 is the chosen pair), 0 when cancelled or cleaned.
// `caption` heads the Clean question ("MERO" in the editor, the utility's name in a utility).
int RunReaderDialog(ui::Wnd owner, ReaderLists& lists, std::string_view caption);
// The cell picker over a cell index, captioned "Cell Collection": 1 and the picked cell's name, or 0.
int RunCellPicker(ui::Wnd owner, const db::CellIndex& index, std::string& picked);
// NEWNAME as the importers' name asker; an abort sets nothing itself (the naming sets the flag).
NewNameAsker NewNameDialog(ui::Wnd owner);

// The open-file dialog of the checker's map files ("Open Map File", "*.pcx"); true and the path.
bool ChooseMapFile(ui::Wnd owner, std::string& path);

}  // namespace utilib
