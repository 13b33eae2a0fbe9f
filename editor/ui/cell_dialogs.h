// The cell and point dialogs the main window opens: CELL, NEWCELL, UNDO, the cell-collection list,
// PKEX and PKEY, and the layer table LYRTABLE.
#pragma once
#include <string>
#include <string_view>

#include "editor/ui/editor.h"

namespace edui {

// CELL: 1 and the name typed (or picked with List) in ed.answer; 0 when cancelled.
int RunCellDialog(Editor& ed);
// NEWCELL for a cell that does not exist yet: the rank typed (below 1 gives 1), 0 when cancelled.
int RunNewCellDialog(Editor& ed);
// UNDO: 1 the backup of the last load, 2 the backup before the last destructive command, 0 Cancel.
int RunUndoDialog(Editor& ed);
// ANYLIST as the cell-collection list: the 1-based row picked, 0 when cancelled.
int RunCellCollectionDialog(Editor& ed);
// One line of that list: a recent cell begins with its place, the edited cell with "*".
std::string CollectionLine(Editor& ed, int row);
// PKEX (x = true) or PKEY: 1 with ed.typedX / ed.typedY set (database units), 0 when cancelled.
int RunPointDialog(Editor& ed, bool x);

// Layer table modes.
enum LayerTableMode { kLayerView = 0, kLayerOpen = 1, kLayerNumber = 2 };
// LYRTABLE: 1 on OK (ed.layerAnswer and ed.chosenLayer hold the answer), 0 when cancelled; a
// cancelled table leaves every flag and override as it found them.
int RunLayerTableDialog(Editor& ed, int mode);

}  // namespace edui
